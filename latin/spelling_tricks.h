// Retries of a word that plain parsing does not know: letter variants of
// common prefixes, syncopated perfects, spelling tricks of classical and
// medieval Latin, two-word splits and Roman numerals. A retry that finds
// something leaves a tag record before its results and a note.
#pragma once

#include "latin/parse_record.h"

void TryRomanNumeral(const char* word, ResultList& results);
void TryLetterVariants(const char* word, ResultList& results);
void TrySyncope(const char* word, ResultList& results);
void TryTricks(const char* word, ResultList& results);
void TwoWords(const char* word, ResultList& results);

bool IsRomanLetters(const char* word);
int RomanLetterValue(char letter);
// The value of a well-formed numeral (I V X L C D M, subtractive pairs, at
// most four I, X or C in a row), 0 for anything else.
int ParseRomanNumeral(const char* word);
