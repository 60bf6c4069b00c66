// Parsing one Latin word as stem + ending: the pronoun pass, the endings of
// the inflection table, the stem look-up through the host, the fit of each
// candidate to the entries found, prefixes, suffixes and tackons. Appends
// its analyses to the word's result list.
#pragma once

#include <string>
#include <vector>

#include "latin/grammar_codes.h"
#include "latin/parse_record.h"

inline constexpr int kMaxFound = 82;        // entries found by one search
inline constexpr int kMaxSearchSteps = 1000;  // index steps for one stem
inline constexpr int kStemSlots = kMaxStem + 1;

// One dictionary entry found for a stem (from its stem-index line).
struct FoundEntry {
    char stem[kMaxStem + 1] = {};
    PartEntry part;
    int32_t stemKey = 0;    // which of the entry's stems, 1..4, 0 for a shared one
    uint32_t id = 0;
    int32_t kind = RESULT_ENTRY;
};

// One stem per length 0..18 (slot 0 holds a single blank when used).
struct StemSlots {
    std::string stems[kStemSlots];
    bool used[kStemSlots] = {};
};

void ParseWord(const char* word, ResultList& results);

int RunInflections(const std::string& word, std::vector<ParseRecord>& candidates, StemSlots& slots);

// Looks each stem up (callbacks 1 and 2): filter 1 every part of speech but
// PACK, 2 only PRON of declension 1, 3 only PACK, any other everything.
// Returns the last callback status (1 without the callbacks).
int SearchInDBDictionary(const std::vector<std::string>& stems, int32_t kind, std::vector<FoundEntry>& found,
                         int filter);

// Look-ups are remembered for one word (one WordBudget); a new load of the
// data forgets them too.
void ForgetStemLookups();

void TryTackons(const std::string& word, ResultList& results);
