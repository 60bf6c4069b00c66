// CSearchEngine: builds a dictionary's full-text index while the compiler
// runs. The lexicon step gives every distinct word an id and collects one
// posting tuple per word occurrence into an in-memory stream; the later steps
// write the word table (index 110), one hit list per word (data blocks, see
// dictionary/full_text_query_hits.h) and the id -> hit list index (111). When
// index 111 already holds entries, new words continue its ids and new hits
// are merged into the stored hit lists.
//
// Posting tuples of an article, sorted by word id and word number before
// they go into the stream (import/posting_stream.h) behind the article's
// header.
//
// | offset | size | posting tuple                      | header tuple           |
// |--------|------|------------------------------------|------------------------|
// | 0      | 4    | word id                            | article data position  |
// | 4      | 2    | class of a sense word, else 0      | -                      |
// | 6      | 2    | phrase code, then the hit weight   | 0xFFFF                 |
// | 8      | 4    | start of the word in the clean text| -                      |
// | 12     | 4    | end of the word                    | -                      |
// | 16     | 4    | word number (at most 4095)         | tuples that follow     |
#pragma once

#include "import/full_text_word_table.h"
#include "import/posting_stream.h"
#include "import/spelling_id_cache.h"
#include "storage/dms_status.h"
#include "storage/index_values.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDMS;

struct PostingTuple {
    uint32_t wordId;
    uint16_t wordClass;
    uint16_t phrase;      // phrase code, then the hit weight 0..15
    uint32_t start;
    uint32_t end;
    uint32_t wordNumber;  // in the header: tuples that follow
};
static_assert(sizeof(PostingTuple) == 20);

class CSearchEngine {
public:
    static constexpr uint32_t kTupleCapacity = 4096;
    static constexpr uint32_t kMaxWordNumber = 4095;
    static constexpr size_t kBatchPostings = 1000000;
    // Progress callback of the writing steps: (done, total); 0 cancels.
    using Progress = int32_t (*)(void* context, int64_t done, int64_t total);

    // Cursors of the converter on indexes 110 and 111. A last entry in 111
    // makes this a merge: its key is the highest word id so far.
    CSearchEngine(CDMS& engine, uint32_t wordsCursor, uint32_t hitsCursor);
    DmsStatus status() const { return status_; }
    bool Merging() const { return merging_; }

    // Step 110, per article.
    void BeginArticle() { tuples_.clear(); }
    bool HasRoom() const { return tuples_.size() < kTupleCapacity - 1; }
    // The word's id, a new one when it is unknown; -1 on failure.
    int64_t GetWordId(std::u16string_view word);
    // Tuple count, or -1 when the article's buffer is full (posting dropped).
    int32_t AddPosting(uint32_t wordId, uint32_t start, uint32_t end, uint32_t wordNumber);
    std::span<PostingTuple> Tuples() { return tuples_; }
    // Sorts the article's tuples and appends them behind their header; -1 on a refused block.
    int32_t FlushRecordPostings(uint32_t position);

    // Steps 1101, 1110 and 111: false with status() on a storage failure or a cancel.
    bool WriteWordTable(Progress progress, void* context);
    bool BuildPostings(Progress progress, void* context);
    bool IndexPostings(Progress progress, void* context);

    // Removal of one article (the stream holds its postings alone): drops
    // its hit records from the stored lists of its words; a list left empty
    // goes with its index-111 entry and the word's index-110 entry.
    bool RemoveArticleHits(uint32_t position);

    uint32_t HighestWordId() const { return highestId_; }
    size_t WordCount() const { return words_.Size(); }
    size_t batchPostings = kBatchPostings;  // tests lower it to force batches
    CDataStream stream;
    SpellingIdCache spellingIds;  // the lexicon's shortcut past search keys
    // The lexicon's working room for one article, kept from one to the next.
    struct ArticleWords {
        struct Word {
            int32_t start, end;
            uint32_t number;
            uint32_t offset, length;  // its spelling in `spellings`
        };
        std::vector<uint16_t> bits;
        std::vector<char16_t> clean;
        std::vector<char16_t> spellings;
        std::vector<Word> words;
    } articleWords;

private:
    // The hit lists of word ids firstId..lastId, in room BuildPostings made.
    bool ProcessPostingBatch(uint32_t firstId, uint32_t lastId, int64_t doneBefore, int64_t total, Progress progress,
                             void* context);
    static uint32_t PackPostings(uint8_t* record, uint32_t position, uint32_t hits);
    std::span<const uint8_t> SortedByPosition(std::span<const uint8_t> list, std::vector<uint8_t>& out);
    bool WriteHitLists(uint32_t firstId, uint32_t lastId, int64_t doneBefore, int64_t share, int64_t total,
                       Progress progress, void* context);
    bool ReadStoredList(uint32_t wordId, uint32_t& position, std::vector<uint8_t>& list);
    bool Fail(DmsStatus status);
    bool RemoveWordHits(uint32_t wordId, std::u16string_view word, uint32_t position);
    bool SeekEntry(uint32_t cursor, const KeySegmentValue& key);

    CDMS& engine_;
    uint32_t wordsCursor_;
    uint32_t hitsCursor_;
    DmsStatus status_ = DmsStatus::Success;
    bool merging_ = false;
    uint32_t highestId_ = 0;
    uint32_t storedHighestId_ = 0;  // the highest id index 111 held at the start
    std::vector<PostingTuple> tuples_;
    std::vector<uint64_t> keys_;            // the article's tuples as word id, word number, hit
    std::vector<StreamedPosting> flushed_;  // the article's tuples as the stream keeps them
    struct WordCounts {
        uint32_t postings;  // in the stream
        uint32_t articles;  // that hold the word: its hit records
        uint32_t bytes;     // of its hit records
    };
    std::vector<WordCounts> counts_;        // by word id
    uint32_t lastPosition_ = 0;             // of the article flushed last
    bool positionsRise_ = true;             // the articles were flushed by rising position
    // Word table: key -> id (keys are compared whole, up to the index's cut).
    // Given back once index 110 is written: the later steps go by id.
    WordTable words_;
    size_t articles_ = 0;                   // in the stream
    std::vector<CDataStream::Reader::Mark> marks_;  // by article, between batches
    std::vector<uint8_t> batchBytes_;
    std::vector<std::pair<uint32_t, uint32_t>> order_;  // (position, offset) of a list's records
    std::vector<uint32_t> hitListPositions_;  // by word id, 0 none
};
