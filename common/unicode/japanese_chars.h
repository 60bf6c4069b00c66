// Character classes of Japanese text, for the analysis and the formatters:
// CJK ideographs (BMP and supplementary), kana, and the katakana-to-hiragana
// fold of the matchers.
#pragma once

#include <cstdint>

namespace ostrel::japanese {

// U+2E80-2FDF, U+2FF0-2FFF, U+3190-319F, U+3400-4DBF, U+4E00-9FFF,
// U+F900-FAFF and the supplementary ideographic planes (U+20000-3FFFF).
constexpr bool IsCjkIdeograph(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x2FF0 && c <= 0x2FFF) ||
           (c >= 0x3190 && c <= 0x319F) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// Hiragana and katakana, U+3041..U+30FE.
constexpr bool IsKana(char32_t c) { return c >= 0x3041 && c <= 0x30FE; }

// The matchers read katakana U+30A1..U+30F3 as the hiragana 0x60 below it.
constexpr char16_t FoldKatakana(char16_t c) {
    return (c >= 0x30A1 && c <= 0x30F3) ? static_cast<char16_t>(c - 0x60) : c;
}

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

}  // namespace ostrel::japanese
