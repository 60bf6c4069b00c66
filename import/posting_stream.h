// CDataStream: the postings of every article of a full-text build, kept in
// memory from the lexicon step until the hit lists are written. A large
// dictionary has millions of them, so they are kept packed: per article its
// data position and the byte length of its postings, then per posting the
// rise of its word id over the posting before it (an article's postings come
// sorted by word id) and its hit, each a base-128 number of one to five
// bytes. The bytes lie in blocks of 1 MiB; an article never spans two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// One posting as the hit lists take it: the word id and the hit as a hit
// list stores it (weight << 12 | word number).
struct StreamedPosting {
    uint32_t wordId;
    uint16_t hit;
};

class CDataStream {
public:
    // Postings and article heads taken at most: as many as 4096 blocks of
    // 1,000,000 bytes held as twenty-byte tuples.
    static constexpr size_t kMaxEntries = size_t{4096} * (1000000 / 20);

    // Appends one article's postings, sorted by word id. 0, or -1 when
    // refused (past maxEntries, or no memory): nothing is written then.
    int32_t Write(uint32_t position, std::span<const StreamedPosting> postings);
    // The postings and article heads written.
    size_t Size() const { return entries_; }
    void Clear();
    size_t maxEntries = kMaxEntries;  // tests lower it

    // Reads the articles in the order they were written.
    class Reader {
    public:
        explicit Reader(const CDataStream& stream) : stream_(stream) {}
        // Moves to the next article, past what is left of this one; false at the end.
        bool NextArticle(uint32_t& position);
        // The article's next posting; false after its last.
        bool NextPosting(StreamedPosting& posting);
        // Where the reading of the article stands, and a return there after
        // NextArticle moved to it again in another reading of the stream.
        struct Mark {
            uint32_t wordId = 0;  // of the posting read last, 0 before the first
            uint32_t offset = 0;  // bytes of the article's postings read
        };
        Mark Here() const { return {wordId_, static_cast<uint32_t>(at_ - articleStart_)}; }
        void Resume(Mark mark) {
            at_ = articleStart_ + mark.offset;
            wordId_ = mark.wordId;
        }

    private:
        const CDataStream& stream_;
        size_t block_ = 0;
        const uint8_t* at_ = nullptr;
        const uint8_t* articleStart_ = nullptr;  // its first posting
        const uint8_t* articleEnd_ = nullptr;
        uint32_t wordId_ = 0;
    };

private:
    static constexpr size_t kBlockBytes = size_t{1} << 20;
    static uint32_t TakeNumber(const uint8_t*& at);
    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    std::vector<size_t> blockBytes_;  // the bytes used of each block
    std::vector<uint8_t> packed_;     // one article's postings, packed before they go in
    size_t entries_ = 0;
};

// The reading is inline: a hit-list batch reads the whole stream.
inline uint32_t CDataStream::TakeNumber(const uint8_t*& at) {
    uint32_t value = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = *at++;
        value |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return value;
    }
}

inline bool CDataStream::Reader::NextArticle(uint32_t& position) {
    if (at_ == nullptr) {
        if (stream_.blocks_.empty()) return false;
        at_ = articleEnd_ = stream_.blocks_[0].get();
    }
    at_ = articleEnd_;
    if (at_ == stream_.blocks_[block_].get() + stream_.blockBytes_[block_]) {
        if (block_ + 1 >= stream_.blocks_.size()) return false;
        at_ = stream_.blocks_[++block_].get();
    }
    position = TakeNumber(at_);
    const uint32_t bytes = TakeNumber(at_);
    articleStart_ = at_;
    articleEnd_ = at_ + bytes;
    wordId_ = 0;
    return true;
}

inline bool CDataStream::Reader::NextPosting(StreamedPosting& posting) {
    if (at_ == articleEnd_) return false;
    wordId_ += TakeNumber(at_);
    posting.wordId = wordId_;
    const uint32_t hit = TakeNumber(at_);  // word number << 4 | weight
    posting.hit = static_cast<uint16_t>((hit & 0xF) << 12 | (hit >> 4 & 0x0FFF));
    return true;
}
