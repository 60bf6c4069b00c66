// The full-text query: the words of the text the user typed, as a chain of
// word groups (one per word), each a chain of alternatives (the word's search
// key first, then Russian spelling variants and inflected forms), with the
// phrase numbers of quoted words and of ideographic words written together.
// The search (full_text_search.h) reads it; one query object is owned by
// whoever runs the searches (the shelf), rebuilt by every parse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Alternative kinds.
inline constexpr uint32_t kAlternativeAsTyped = 0;  // also any inflected form but the two below
inline constexpr uint32_t kAlternativeFeminine = 1;
inline constexpr uint32_t kAlternativeNeuter = 2;
inline constexpr uint32_t kAlternativeSpelling = 4;

struct FullTextQueryRecord {
    uint32_t flags = 0;
    int32_t phrase = 0;             // place in its phrase from 1, 0 outside any phrase
    int32_t nextGroup = -1;         // record numbers in the pool, -1 none
    int32_t previousGroup = -1;
    int32_t nextAlternative = -1;
    uint32_t alternativeKind = kAlternativeAsTyped;
    std::u16string word;            // the search key, at most 256 units
    int32_t start = 0;              // in the query text; alternatives take their group's
    int32_t length = 0;             // units of `word`
};

class FullTextQuery {
public:
    static constexpr int32_t kMaxRecords = 256;
    static constexpr int32_t kMaxWordUnits = 255;   // of a query word as typed
    static constexpr int32_t kMaxKeyUnits = 256;

    // Parses `text`; the number of word groups (0 when nothing is left to search).
    int32_t Parse(std::u16string_view text);
    // The alternative of group `group` with this text (an existing one when
    // the group already has it), or -1 when the pool is full.
    int32_t AddQueryAlternative(int32_t group, std::u16string_view text, uint32_t kind = kAlternativeAsTyped);

    int32_t GroupCount() const { return groupCount_; }
    int32_t FirstGroup() const { return records_.empty() ? -1 : 0; }
    const FullTextQueryRecord& Record(int32_t i) const { return records_[static_cast<size_t>(i)]; }
    FullTextQueryRecord& Record(int32_t i) { return records_[static_cast<size_t>(i)]; }
    int32_t RecordCount() const { return static_cast<int32_t>(records_.size()); }
    // The alternatives of a group, the group record first.
    std::vector<int32_t> Alternatives(int32_t group) const;
    // The groups in query order.
    std::vector<int32_t> Groups() const;
    // End (start + length) of the last word: the matched part of result rows.
    int32_t MatchEnd() const;

private:
    int32_t TakeRecord();
    void AddRussianForms(int32_t group);
    void AddInflections(int32_t group, const std::u16string& word);

    std::vector<FullTextQueryRecord> records_;
    int32_t groupCount_ = 0;
    int32_t lastGroup_ = -1;
};

// Parses `text` into `query`: the number of words parsed.
int32_t ParseFullTextQuery(FullTextQuery& query, std::u16string_view text);
