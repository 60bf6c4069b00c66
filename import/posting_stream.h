// PostingStream: the postings of every article of a full-text build, kept in
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

class PostingStream {
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
        explicit Reader(const PostingStream& stream) : stream_(stream) {}
        // Moves to the next article, past what is left of this one; false at the end.
        bool NextArticle(uint32_t& position);
        // The article's next posting; false after its last.
        bool NextPosting(StreamedPosting& posting);

    private:
        const PostingStream& stream_;
        size_t block_ = 0;
        const uint8_t* at_ = nullptr;
        const uint8_t* articleEnd_ = nullptr;
        uint32_t wordId_ = 0;
    };

private:
    static constexpr size_t kBlockBytes = size_t{1} << 20;
    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    std::vector<size_t> blockBytes_;  // the bytes used of each block
    std::vector<uint8_t> packed_;     // one article's postings, packed before they go in
    size_t entries_ = 0;
};
