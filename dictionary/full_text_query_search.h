// The full-text search: looks a parsed query up in the full-text index of a
// dictionary (indexes 110 and 111, full_text_query_hits.h), keeps the
// articles holding every query word (phrase words right after each other),
// scores them by their best run of adjacent query words, and fills the
// search-results list from every dictionary of the list, word dictionaries
// before books.
#pragma once

#include "dictionary/full_text_query.h"
#include "storage/dms_status.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

class CDMS;
class WordList;

// One article's hits of one group: the value the list is built from and read back as.
struct GroupHits {
    uint32_t position;
    std::vector<uint16_t> hits;  // ascending word numbers
};

// The articles of one hit list, after the checked read of its block, in
// ascending position. The hits stay where the block had them (one array of
// 16-bit units, record heads between them): a common word's list covers
// tens of thousands of articles, and it is read without a copy per article.
class HitList {
public:
    HitList() = default;
    HitList(std::initializer_list<GroupHits> records) {
        for (const GroupHits& r : records) Append(r.position, r.hits);
    }
    // Takes a hit-list block (`bytes` long, in `units`) and finds its records
    // up to the first that would run past the end or whose position does not
    // ascend (a damaged list keeps the records before the damage).
    static HitList FromBlock(std::vector<uint16_t> units, size_t bytes);

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    uint32_t Position(size_t i) const { return records_[i].position; }
    std::span<const uint16_t> Hits(size_t i) const {
        return {units_.data() + records_[i].begin, records_[i].end - records_[i].begin};
    }
    // The record of `position` at or after record `from` (ascending walks
    // pass the index of their last find); size() when the list lacks it.
    size_t Find(uint32_t position, size_t from = 0) const;

    void Append(uint32_t position, std::span<const uint16_t> hits);
    void AppendRecord(const HitList& other, size_t i) { Append(other.Position(i), other.Hits(i)); }
    // Appends a record whose `count` hits are stored little-endian at `bytes`.
    void AppendStored(uint32_t position, const uint8_t* bytes, size_t count);
    // The articles' positions, ascending.
    std::vector<uint32_t> Positions() const;
    // Keeps the records for which `keep(i, hits)` answers true, in order,
    // with the hits it leaves in `hits` (it may only shorten them).
    template <class Keep>
    void Compact(Keep keep);

private:
    struct Record {
        uint32_t position;  // the article's data position
        uint32_t begin;     // its hits are units_[begin, end)
        uint32_t end;
    };
    std::vector<Record> records_;
    std::vector<uint16_t> units_;
};

template <class Keep>
void HitList::Compact(Keep keep) {
    size_t kept = 0, written = 0;
    for (size_t i = 0; i < records_.size(); ++i) {
        std::span<uint16_t> hits{units_.data() + records_[i].begin, records_[i].end - records_[i].begin};
        if (!keep(i, hits)) continue;
        // Kept hits only move down the array, never over hits still to be read.
        std::copy(hits.begin(), hits.end(), units_.begin() + static_cast<std::ptrdiff_t>(written));
        const uint32_t begin = static_cast<uint32_t>(written);
        written += hits.size();
        records_[kept++] = {records_[i].position, begin, static_cast<uint32_t>(written)};
    }
    records_.resize(kept);
    units_.resize(written);
}

struct ScoredArticle {
    uint32_t position;
    uint32_t score;
};

// The records of a hit-list block, read up to the first record that would
// run past its end.
HitList ReadHitList(std::span<const uint8_t> block);
// The group's alternatives merged into one list by article position; an
// article of a later alternative that an earlier one holds too is dropped.
HitList MergeAlternatives(std::vector<HitList> alternatives);
// Keeps the records of `list` whose article `other` holds; with an offset,
// only the hits whose word number + offset is a hit of `other` there (the
// others are removed, never left behind). Returns the records kept.
int32_t IntersectHits(HitList& list, const HitList& other, int32_t offset);
// The articles of `wanted` (ascending) where a hit of `later` stands right
// after a hit of `earlier`.
std::vector<uint32_t> KeepAdjacent(const std::vector<uint32_t>& wanted, const HitList& earlier, const HitList& later);
// Score of one article over the groups' hits there (an empty span where a
// group has none): run × 65536 + the smallest field of the run + (255 −
// start when start ≤ 254); 0 without hits.
uint32_t ScoreArticle(std::span<const std::span<const uint16_t>> groupsAtArticle);

// The id index 110 gives `word` (cut as the index builder cuts it): Success;
// RecordNotFound when the index lacks the word; else the engine's refusal
// (a damaged page is never taken for a word the index lacks).
DmsStatus FindWordId(CDMS& engine, uint32_t wordsCursor, const std::u16string& word, uint32_t& id);
// The hit list index 111 holds for `id`, every record of it
// (ReadStoredHitList): Success; RecordNotFound when there is none; else the
// engine's refusal.
DmsStatus LoadHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, HitList& list);

// The articles of one dictionary holding the query (`groupCount` groups),
// scored, in ascending position. Cursors on indexes 110 and 111. A read the
// engine refuses gives no articles and its status in `*refusal` (when given).
std::vector<ScoredArticle> CollectHits(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                       uint32_t wordsCursor, uint32_t hitsCursor, DmsStatus* refusal = nullptr);
// The same on an open dictionary file (a file without the full-text indexes
// gives nothing and no refusal).
std::vector<ScoredArticle> SearchDictionary(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                            int32_t fileId, DmsStatus* refusal = nullptr);

// Leaves the `limit` best articles of `articles` (ascending positions, as
// CollectHits gives them) by descending score, ties in position order: what
// a stable sort by score and a cut at `limit` would leave.
void KeepBestArticles(std::vector<ScoredArticle>& articles, size_t limit);

// Fills the stored list `list` from the dictionaries of its cursors (in its
// order, skipping those kept out of full-text search): empties it, adds the
// best articles (at most 2000), word dictionaries first, then books, and sorts it.
// A dictionary whose full-text index the engine refuses to read gives nothing
// and keeps the refusal (CDictionary::NoteReadRefusal) for the caller to tell
// once the list is shown (WordList::ReportReadRefusals).
void SearchFullText(WordList& list, const FullTextQuery& query, int32_t groupCount);
// Parses `text` into `query` and fills the list; an empty query empties it.
void FillFromQuery(WordList& list, FullTextQuery& query, std::u16string_view text);
// Fills the list again for `text` (after the set of open dictionaries
// changed) and answers the row of the article that stood at row `row` (same
// dictionary and record); when it is gone, `row` kept within the new rows,
// -1 for an empty list.
int32_t RefillFromFullTextQuery(WordList& list, FullTextQuery& query, std::u16string_view text, int32_t row);
