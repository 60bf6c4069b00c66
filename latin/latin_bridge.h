// LatinBridge: the analyser's host over a compiled Latin dictionary. It
// prepares a text (accents dropped, ligatures folded, Latin-1), answers the
// five callbacks through the storage engine (index 121 of stems, the article
// records, properties 21-25 and 31), runs the analysis and turns the coded
// output lines into rows of the translated-words list.
//
// Rows by the kind of each "10 kind id" group (lines collected without their
// code, each ending in a newline, at most 1,023 units per row):
//   1 addon          05 and 06 lines            text row
//   2 trick          06 and 07 lines            text row when it begins "2 words"
//   3 syncope        06 and 07 lines            none
//   4 name, 5 numeral 01 and 03 lines           text row
//   6 note           01 and 06 lines            text row
//   7 entry          01 lines; the 03 line after a 02 line holding " NUM "
//                                               entry row (its note), or a text
//                                               row for record id 0
// Text rows carry kEntryOwnText, entry rows kEntryNote.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/base/string_builder.h"

class CCursor;
class RDFDictionary;
class WordList;

inline constexpr int kMaxOutputLines = 100;
inline constexpr int kLatinTextSize = 512;       // the Latin-1 copy, terminator included
inline constexpr int kRowTextUnits = 1024;       // one row's text, terminator included
inline constexpr int kAcceptedUnits = 510;

struct LatinOutputLine {
    const char16_t* start = nullptr;
    int32_t length = 0;      // without the newline
    int32_t code = 0;        // the two leading digits; 0 without them and a blank
    int32_t kind = 0;        // code 10 only
    uint32_t recordId = 0;   // code 10 only
};

struct LatinOutputGroup {
    int32_t line = 0;        // its code-10 line
    int32_t lineCount = 0;   // that line and the lines up to the next group
};

class LatinBridge {
public:
    LatinBridge();
    ~LatinBridge();
    LatinBridge(const LatinBridge&) = delete;
    LatinBridge& operator=(const LatinBridge&) = delete;

    // Analyses the text against the dictionary and adds the result rows to
    // list. 1 when the first word was recognised (the output does not begin
    // with "04 "), else 0: also for a text with a unit outside A-Z, a-z,
    // "-", ".", blank and the ligatures (nothing is analysed), and when the
    // dictionary lacks the analyser's data. The bridge becomes the current one.
    int32_t Analyse(std::u16string_view text, RDFDictionary* dictionary, WordList& list);
    // Whether the last Analyse read its first word only by changing it: a
    // spelling trick or a split into two words, which the analyser tries
    // only for a word with no reading as it stands (The as te, tu's).
    bool ReadOnlyByTrick() const { return Output().substr(0, 5) == u"10 2 "; }

    // Opens the two cursors of an analysis on the dictionary (the callbacks
    // answer through them) and makes this the current bridge; Release closes
    // them. Analyse does both around its work.
    void Attach(RDFDictionary* dictionary);
    void Release();

    // The first read of the last Analyse that the dictionary refused (a
    // storage status other than "not found" and "end of file", or data
    // files that do not read whole): the dictionary's path and what could
    // not be read; empty when every read succeeded. The analysis of that
    // text is incomplete and must not be taken for "unknown word".
    const std::u16string& Fault() const { return fault_; }

    // The coded output of the last Analyse, and its lines and groups.
    std::u16string_view Output() const { return output_.View(); }
    int32_t SplitOutputLines(const char16_t* start, const char16_t* end);
    int32_t LineCount() const { return lineCount_; }
    const LatinOutputLine& Line(int32_t i) const { return lines_[i]; }
    const LatinOutputGroup& Group(int32_t i) const { return groups_[i]; }

    // The text as the analyser gets it (Latin-1); false when a unit is not accepted.
    static bool PrepareText(std::u16string_view text, char (&out)[kLatinTextSize]);

    // The callbacks; 255 without a current bridge or its cursor.
    static int OnFindFirstStem(const char* stem, char* line);
    static int OnFindNextStem(char* line);
    static int OnReadEntryText(uint32_t recordId, char* out, int capacity);
    static int OnReadInflects(void* buffer, int section, int size);
    static int OnReadAddons(void* buffer, int* size);

private:
    void AddResultRows(WordList& list);
    void AddRow(WordList& list, uint32_t recordId, bool entry);
    int StemLine(int status, char* line);
    // Keeps the first refusal of the current Analyse, with the engine's text
    // of the status when it is the engine's; returns status.
    int NoteFault(int status, const std::string& what, bool engineStatus = true);

    bool initialised_ = false;
    char analysed_[kLatinTextSize] = {};
    RDFDictionary* dictionary_ = nullptr;
    std::unique_ptr<CCursor> main_;
    std::unique_ptr<CCursor> stems_;
    CStringBuilder output_;
    LatinOutputLine lines_[kMaxOutputLines];
    int32_t lineCount_ = 0;
    LatinOutputGroup groups_[kMaxOutputLines];
    int32_t groupCount_ = 0;
    char16_t rowText_[kRowTextUnits] = {};
    int32_t rowLength_ = 0;
    std::u16string fault_;
};

// The bridge the callbacks serve: the one the main window made current when
// it created it (or, in tools and tests, the last one that analysed); cleared
// when it is destroyed.
LatinBridge* CurrentLatinBridge();
void SetCurrentLatinBridge(LatinBridge* bridge);
