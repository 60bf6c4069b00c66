// The full-text search: looks a parsed query up in the full-text index of a
// dictionary (indexes 110 and 111, full_text_query_hits.h), keeps the
// articles holding every query word (phrase words right after each other),
// scores them by their best run of adjacent query words, and fills the
// search-results list from every dictionary of the list, word dictionaries
// before books.
#pragma once

#include "dictionary/full_text_query.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CDMS;
class WordList;

// One article's hits of one group, after the checked read of its hit list.
struct GroupHits {
    uint32_t position;
    std::vector<uint16_t> hits;  // ascending word numbers
};
using HitList = std::vector<GroupHits>;

struct ScoredArticle {
    uint32_t position;
    uint32_t score;
};

// The records of a hit-list block, read up to the first record that would
// run past its end.
HitList ReadHitList(std::span<const uint8_t> block);
// The group's alternatives merged into one list by article position; an
// article of a later alternative that an earlier one holds too is dropped.
HitList MergeAlternatives(std::span<const HitList> alternatives);
// Keeps the records of `list` whose article `other` holds; with an offset,
// only the hits whose word number + offset is a hit of `other` there (the
// others are removed, never left behind). Returns the records kept.
int32_t IntersectHits(HitList& list, const HitList& other, int32_t offset);
// Score of one article over the groups' lists: run × 65536 + the smallest
// field of the run + (255 − start when start ≤ 254); 0 without hits.
uint32_t ScoreArticle(std::span<const GroupHits* const> groupsAtArticle);

// The id index 110 gives `word` (cut as the index builder cuts it); false when absent.
bool FindWordId(CDMS& engine, uint32_t wordsCursor, const std::u16string& word, uint32_t& id);
// The hit list index 111 holds for `id`, read through ReadHitList; false when
// the id or its data block cannot be read.
bool LoadHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, HitList& list);

// The articles of one dictionary holding the query (`groupCount` groups),
// scored, in ascending position. Cursors on indexes 110 and 111.
std::vector<ScoredArticle> CollectHits(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                       uint32_t wordsCursor, uint32_t hitsCursor);
// The same on an open dictionary file.
std::vector<ScoredArticle> SearchDictionary(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                            int32_t fileId);

// Fills the stored list `list` from the dictionaries of its cursors (in its
// order, skipping those kept out of full-text search): empties it, adds the
// best articles (at most 2000), word dictionaries first, then books, and sorts it.
void SearchFullText(WordList& list, const FullTextQuery& query, int32_t groupCount);
// Parses `text` into `query` and fills the list; an empty query empties it.
void FillFromFullTextQuery(WordList& list, FullTextQuery& query, std::u16string_view text);
