// The bold run of a Latin dictionary form: its principal parts, up to the
// part-of-speech code or an "abb." / "undecl" remark; "(gen.)" stays plain.
// Shared by the article text and the RTF of the Latin word-list format.
#pragma once

#include <cstdint>

// Sets the bold bit (0x2) of attributes[start, run end) and clears it on
// every "(gen.)" in [start, end). Nothing is done when start or end is
// negative. Returns 0.
int32_t BoldPrincipalParts(const char16_t* text, uint32_t* attributes, int32_t start, int32_t end);
