// A Latin dictionary entry as the analyser sees it: the fixed-column code
// line that opens its article, parsed into stems, part-of-speech codes, the
// five code letters and the meaning.
//
// DictionaryLine columns (from 0):
//   0, 19, 38, 57  stems 1-4, letters only, at most 18 each ("zzz": no such form)
//   76             PartEntry text, 23 wide (part of speech and its fields)
//   100            age, area, geography, frequency, source letters, blank-separated
//   110            the meaning (80 characters kept)
#pragma once

#include <cstdint>

#include "latin/grammar_codes.h"

struct DictionaryEntry {
    char stems[4][kMaxStem + 1] = {};   // empty when absent
    PartEntry part;
    int32_t age = 0;        // index in kAgeCodes
    int32_t area = 0;
    int32_t geography = 0;
    int32_t frequency = 0;
    int32_t source = 0;
    char meaning[kMeaningWidth + 1] = {};   // blank-padded to 80
};

// Parses a code line (zero-terminated, any length); *end, when given, is the
// position after the code letters.
void ParseDictionaryLine(const char* line, DictionaryEntry* entry, const char** end);

// Reads the entry's first article line through host callback 3 and parses
// it; a failing callback leaves the entry unchanged and returns its status.
int ReadDictionaryEntry(DictionaryEntry* entry, uint32_t recordId);
