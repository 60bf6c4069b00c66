// The dictionary form of a Latin entry: its principal parts with the part of
// speech, declension or conjugation and gender or verb kind, such as
// "rosa, rosae  N   (1st) F" or "amo, amare, amavi, amatus  V   (1st)".
#pragma once

#include <cstdint>

#include "latin/dictionary_entry.h"

inline constexpr int kDictionaryFormSize = 256;   // 255 characters and a terminator

// Writes the form into out (kDictionaryFormSize bytes); empty when the
// entry's class has no form. Returns 0.
int MakeDictionaryForm(char* out, const DictionaryEntry& entry);

// The form of a UTF-16 code line with its code letters, age and frequency
// words, written to out (capacity units, terminator included); returns the
// number of characters written, 0 for an empty form or a line of 512 or more.
int MakeDictionaryFormText(char16_t* out, int capacity, const char16_t* line, int length);
