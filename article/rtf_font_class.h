// Which of the RTF document's fonts writes a character: the code point's
// Unicode subset (the bit numbers of the Windows font signature, block by
// block) and the font class of that subset.
#pragma once

#include <cstdint>

// Font classes the RTF writer tells apart (font numbers in rtf_document.h).
inline constexpr int32_t kRtfClassDefault = 0;      // Arial
inline constexpr int32_t kRtfClassGothic = 1;       // Japanese, "MS UI Gothic"
inline constexpr int32_t kRtfClassMincho = 2;       // Japanese, "MS Mincho"
inline constexpr int32_t kRtfClassHangul = 3;       // "Gulim"
inline constexpr int32_t kRtfClassSimSun = 4;       // Chinese, "SimSun"
inline constexpr int32_t kRtfClassUnicode = 9;      // phonetic letters, "Arial Unicode MS"
inline constexpr int32_t kRtfClassExtB = 11;        // supplementary ideographs, "SimSun-ExtB"
inline constexpr int32_t kRtfClassExtBTraditional = 12;  // "PMingLiU-ExtB"

// The subset bit of the block holding `codePoint`: 0 for the ASCII letters
// U+0040-U+005A and U+0060-U+007A, -1 for digits, blanks, ASCII punctuation,
// the C1 controls and code points in no listed block. U+25C7 counts as CJK
// symbols (48); the ideographs of planes 2 and 3 are 128.
int32_t GetUnicodeSubsetIndex(uint32_t codePoint);
// The font class of a subset; 0 for an index outside 0 to 128.
int32_t GetSubsetFontClass(int32_t subset);
int32_t GetCharFontClass(uint32_t codePoint);
// The font number of the document's font table for a class (0 for a class
// that has no font).
int32_t RtfFontNumberOfClass(int32_t fontClass);
