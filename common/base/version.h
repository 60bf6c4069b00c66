// Versions as packed integers: up to four dot-separated numbers of at most
// 100, one per byte with the first in the most significant byte, so packed
// versions compare as unsigned integers (1.2 packs to 0x01020000).
#pragma once

#include <cstdint>

// 1 with the numbers in `parts` (missing ones 0), or 0: null text, or a number above 100.
// A part that does not start with a digit counts 0 and ends the text.
int ParseVersionA(uint32_t parts[4], const char* text);
int ParseVersionPackedW(uint32_t* packed, const char16_t* text);
