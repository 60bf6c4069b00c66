// Word and sentence segments (reduced UAX #29 rules with fixed overrides) and
// the line-break search (the UAX #14 pair-table method over the first 256
// units). Word segments feed the full-text index builder and the translator;
// sentences and line breaks serve the book reader.
#pragma once

#include <cstdint>

#include "common/segmentation/break_properties.h"

// Word-break classes (the WORD_BREAK_PROPERTIES numbering; 5 is unused).
enum WordBreakClass : int8_t {
    kWordOther = 0, kWordFormat = 1, kWordKatakana = 2, kWordALetter = 3, kWordMidLetter = 4,
    kWordNumeric = 6, kWordExtendNumLet = 7, kWordExtend = 8, kWordCR = 9, kWordLF = 10,
    kWordNewline = 11, kWordMidNum = 12,
};

// Sentence-break classes (the SENTENCE_BREAK_PROPERTIES numbering).
enum SentenceBreakClass : int8_t {
    kSentenceOther = 0, kSentenceCR = 1, kSentenceLF = 2, kSentenceExtend = 3, kSentenceSep = 4,
    kSentenceFormat = 5, kSentenceSp = 6, kSentenceLower = 7, kSentenceUpper = 8,
    kSentenceOLetter = 9, kSentenceNumeric = 10, kSentenceATerm = 11, kSentenceSTerm = 12,
    kSentenceClose = 13, kSentenceSContinue = 14,
};

// The segmenters over one set of property tables. Texts are UTF-16 with an
// explicit length; the word and sentence rules join surrogate pairs, the
// line-break search classifies single units. Every answer stays inside
// [0, length].
class TextSegmenter {
public:
    explicit TextSegmenter(const BreakProperties& tables) : tables_(tables) {}

    int32_t GetWordBreakProperty(char32_t codePoint) const;
    // 1 and the segment [*start, *end) from *start; 0 when *start is outside the text.
    int32_t NextWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* end) const;
    // 1 and the segment that ends after the code point at *position: *start its
    // first unit, *position its end; 0 on an empty text or a negative position.
    int32_t PrevWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* position) const;
    int32_t WordAt(const char16_t* text, int32_t length, int32_t position, int32_t* start, int32_t* end) const;
    // The next segment that yields a word: its length (the word copied to
    // `word`, at most `maximum` units plus a terminating 0), or -1.
    int32_t NextWord(const char16_t* text, int32_t length, int32_t* position, int32_t* end,
                     char16_t* word, int32_t maximum) const;
    int32_t NextSentence(const char16_t* text, int32_t length, int32_t* start, int32_t* end) const;
    // The last unit index after which a line may break, -1 when none.
    int32_t FindLastLineBreak(const char16_t* text, int32_t length) const;

private:
    const BreakProperties& tables_;
};

// The same operations over the program's built-in tables.
int32_t GetWordBreakProperty(char32_t codePoint);
int32_t NextWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* end);
int32_t PrevWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* position);
int32_t WordAt(const char16_t* text, int32_t length, int32_t position, int32_t* start, int32_t* end);
int32_t NextWord(const char16_t* text, int32_t length, int32_t* position, int32_t* end,
                 char16_t* word, int32_t maximum);
int32_t NextSentence(const char16_t* text, int32_t length, int32_t* start, int32_t* end);
int32_t FindLastLineBreak(const char16_t* text, int32_t length);
