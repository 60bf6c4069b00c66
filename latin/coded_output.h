// The analyser's coded output lines: each word's results grouped by
// dictionary entry, ordered by how well their dictionary form matches the
// word, and written as lines that open with a two-digit code, which the host
// bridge reads back into word-list rows.
//
// Lines of one word (Latin-1 bytes as UTF-16 units; codes only with
// DO_TARVEL_CODES, the group line always):
//   "10 kind id"      one per group (ResultKind, record id or addon index)
//   "01 " "05 " "07 " an inflection: stem.ending - codes [age] [frequency]
//                     (05 for addons, 07 for tricks and syncope), then with
//                     DO_EXAMPLES an English rendering on the next line
//   "02 "             the dictionary form, kind 7, when it changes
//   "03 " / "06 "     meaning, numeral or name note / addon meaning or note
//   "04 "             word "    ========   UNKNOWN    "
//   ""                closes the word; then "*" when the sweep dropped results
#pragma once

#include <cstdint>

#include "common/base/string_builder.h"
#include "latin/analysis_driver.h"
#include "latin/dictionary_entry.h"

inline constexpr int kMaxGroups = 100;
inline constexpr int kMaxGroupLines = 250;

struct EntryGroup {
    int32_t kind = RESULT_NONE;
    uint32_t id = 0;
    DictionaryEntry entry;      // all zero when none was read
    int firstLine = -1;         // index in the line table, -1 while it has none
    int lineCount = 0;
    int score = 0;
    bool split = false;         // a reading of the word split before its enclitic (arma + que) or behind a prefix (num + quam)
    bool whole = false;         // the form's head is the whole word
    bool byFurtherPart = false; // scored against a principal part other than the head (natum: nascor's natus)
    int exactCase = 0;          // of the score, the letters that match in case too
    int commonness = 0;         // 0 (very rare) to 5 (very frequent)
    int rank = 0;               // ReadingRank
};

// A reading's rank adds to its score (one a letter) twice its commonness
// (0 very rare to 5 very frequent, each class about three times the next;
// an entry without a frequency letter counts as the middle, D), and to a
// word of one form of at least kWholeWordLetters letters that is the whole
// word (maxime, multo, partim) a bonus, so that a form of a lemma two
// classes commoner does not overtake it (magnus, multus, pars); a short one
// (quo, eo) is a form of the far commoner pronoun first.
inline constexpr int kUnknownCommonness = 2;
inline constexpr int kCommonnessWeight = 2;
inline constexpr int kWholeWordBonus = 4;
inline constexpr int kWholeWordLetters = 4;

struct GroupLine {
    char stem[kStemSize] = {};
    InflectionRecord inflection;
};

// The grouping tables of one word: at most 100 groups and 250 lines.
struct Grouping {
    EntryGroup groups[kMaxGroups];
    GroupLine lines[kMaxGroupLines];
    int groupCount = 0;
    int lineCount = 0;

    bool Full() const { return lineCount >= kMaxGroupLines || groupCount >= kMaxGroups; }
    // Copies the record's stem and inflection into the last group; nothing
    // without a group or with 250 lines held.
    void AddLineToGroup(const ParseRecord& record);
    // Opens a group (the entry read when asked); false when it cannot be read.
    bool Open(const ParseRecord& record, bool readEntry);
};

// The length of the common beginning of a word and a dictionary form; a
// capital of the word matches the form's small letter, not the other way.
int MatchedLength(const char* word, const char* form);

// The rank a group is ordered by, higher first (after ScoreAndOrder's scores).
int ReadingRank(const EntryGroup& group, const Grouping& g);

// Groups a swept list by entry and part of speech into g (emptied first).
void GroupRecords(const ResultList& results, Grouping& g);

// Writes the coded lines of every word into its builder.
class CodedLineWriter : public LatinWordOutput {
public:
    explicit CodedLineWriter(CStringBuilder& out) : out_(out) {}
    void ListStems(const char* word, ResultList& results) override;
private:
    CStringBuilder& out_;
};

// The lines of one word; results may be swept and extended.
void ListStems(CStringBuilder& out, const char* word, ResultList& results);

// The grammatical codes of an inflection ("v. 1.1, praes. ind. act., 3 sg.")
// into out (at least 128 bytes). deponent shows the voice as "-".
void PutInflectionCodes(char* out, const InflectionRecord& inflection, bool deponent = false);

// Appends the "-e" adverbs of vocative adjectives (with their suffix note);
// the list grows by what fits.
void AddAdverbFromAdjective(ResultList& results);
