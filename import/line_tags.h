// The tag at the start of a line of parallel text: language lines, headings,
// paragraphs and segment continuations. The book reader and the compiler's
// book values use it.
#pragma once

#include <cstdint>

// Line types, in bits 24 to 31 of a tag code; the value is in the low 16 bits.
inline constexpr uint32_t kLineParagraph = 0;  // "<P>", "<p>" (0), "<Pn>" (n), "<Pnm>" (n + 256 m)
inline constexpr uint32_t kLineHeading = 1;    // "<Hn>", "<hn>" (n)
inline constexpr uint32_t kLineOther = 3;      // "<+>" and anything else
inline constexpr uint32_t kLineLanguage = 4;   // "<Xxxx>": a capital, three small letters

inline constexpr uint32_t LineTagType(uint32_t code) { return code >> 24; }
inline constexpr uint32_t LineTagValue(uint32_t code) { return code & 0xFFFF; }

// The tag code of the line at `text`; never reads `length` units or more.
uint32_t ClassifyMarkupTag(const char16_t* text, int32_t length);
