// The analyser's results: one ParseRecord per analysis of a word, the result
// list of a word (at most 250 records), the context of the word under
// analysis with its notes, and the work budget that bounds one word.
#pragma once

#include <cstdint>
#include <memory>

#include "latin/inflection_table.h"

enum ResultKind : int32_t {
    RESULT_NONE = 0,
    RESULT_ADDON = 1,     // prefix, suffix, tackon, packon; id = the addon's meaning index
    RESULT_TRICK = 2,     // spelling trick or two words
    RESULT_SYNCOPE = 3,
    RESULT_NAME = 4,      // unknown capitalised word taken as a name
    RESULT_ROMAN = 5,
    RESULT_NOTE = 6,
    RESULT_ENTRY = 7      // a dictionary entry; id = its record id
};

inline constexpr int kMaxResults = 250;
inline constexpr int kStemSize = 20;

struct ParseRecord {
    char stem[kStemSize] = {};   // for an addon or tag record its text
    InflectionRecord inflection;
    int32_t kind = RESULT_NONE;
    uint32_t id = 0;
};

// A word's results: records[0..last], last = -1 when empty. Lives on the
// heap (250 records are about 22 KB).
struct ResultList {
    ParseRecord records[kMaxResults];
    int last = -1;

    int Count() const { return last + 1; }
    bool Full() const { return last >= kMaxResults - 1; }
    // Appends when there is room; false when full.
    bool Append(const ParseRecord& record) {
        if (Full()) return false;
        records[++last] = record;
        return true;
    }
    // Inserts at position, moving the records from there up; false when full.
    bool Insert(int position, const ParseRecord& record);
    void Remove(int position);
};

std::unique_ptr<ResultList> NewResultList();

// A record of an addon, tag or note: stem = text, every other field 0 but
// these.
ParseRecord MakeTagRecord(const char* text, int32_t partOfSpeech, int32_t kind, uint32_t id);

inline constexpr int kNoteSize = 88;

// The word under analysis (set by Translate) and the notes of the kinds 2 to
// 6 that the tries write and the output prints.
struct WordContext {
    int wordNumber = 0;
    bool followsPeriod = false;
    bool endsAtPeriod = false;
    bool capitalised = false;
    bool allCapitals = false;
    bool tackonSplit = false;
    char notes[7][kNoteSize] = {};    // by ResultKind
};

extern WordContext g_word;

void SetNote(int kind, const char* text);

// The work of one word is bounded: dictionary steps, and how deep the tackon
// tries may nest. A word that has spent its budget simply finds no more.
inline constexpr int kWordStepBudget = 400000;
inline constexpr int kMaxParseDepth = 4;
inline constexpr int kMaxStemRetries = 7;   // i-to-j respellings of one stem
inline constexpr int kMaxTrickLength = 25;  // longer words get no tricks or splits

uint32_t NextBudgetSerial();

struct WordBudget {
    int steps = 0;       // dictionary steps taken for this word
    int depth = 0;       // ParseWord nesting
    uint32_t serial = NextBudgetSerial();   // what is remembered for one word is kept under this
    bool Spent() const { return steps >= kWordStepBudget; }
};

extern WordBudget g_budget;
