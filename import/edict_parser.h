// The EDICT line format (EDICT, ENAMDICT, JR-EDICT): one line in, the parts
// of its article out, as offsets into the line. Pure functions, so the
// importer, the tests and the fuzzer share them.
//
//   headword;headword(note) [reading;reading(note)] /(grammar,codes) sense/(P)/EntL1234567X/
//   reading /sense/                       (no brackets: the headwords are readings)
//   ？？？ /EDICT .../Copyright .../        (header line: name and copyright)
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One part of a line: element kind, flags and where its text lies in the line.
struct SourcePart {
    uint32_t kind = 0;
    uint32_t flags = 0;   // grammar bits on the article, reading flags on kanji readings
    int32_t offset = 0;   // into the line, in UTF-16 units
    int32_t length = 0;
};

// Element kinds of EDICT articles.
enum EdictElementKind : uint32_t {
    kEdictArticle = 2,
    kEdictReading = 3,
    kEdictWord = 4,
    kEdictSense = 5,
    kEdictName = 15,
    kEdictCopyright = 16,
    kEdictReadingNote = 35,
    kEdictWordNote = 36,
    kEdictGrammar = 37,     // leading grammar groups, and a sense that is exactly "(P)"
    kEdictEntryNumber = 38, // a sense of at least 5 characters beginning "EntL"
};

// The grammar bits one code of a group sets ("v5k-s" gives v5's 0x401); 0
// for codes that set none. `code` runs from the character after "(" or ","
// to the end of the group.
uint32_t EdictGrammarBits(std::u16string_view code);

// True when the line begins with "？", "?" or U+3000 "？".
bool IsEdictHeaderLine(std::u16string_view line);

// The parts of an article line, the article itself (kind 2, the whole line,
// its grammar bits as flags) first. False, with no parts, for a line without
// "/" or with only one of its brackets before the first "/". `articleOnly`:
// the article part alone, without grammar bits.
bool ParseEdictArticleLine(std::u16string_view line, std::vector<SourcePart>& parts, bool articleOnly = false);

// The name (kind 15) and copyright (16) parts of a header line whose "/" and
// "／" the caller has already turned into blanks; none for a line shorter than
// 11 units or without the words.
void ParseEdictHeaderLine(std::u16string_view line, std::vector<SourcePart>& parts);

// Where any of `words` first begins in `text`, ASCII letters compared without
// case; npos when none does.
size_t FindFirstWordNoCase(std::u16string_view text, std::initializer_list<std::u16string_view> words,
                           size_t from = 0);
