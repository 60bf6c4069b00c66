// Code-point aware helpers for key texts: key segments hold at most 128
// UTF-16 units, and a cut never leaves half of a surrogate pair.
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The units of the code point at `i`: 2 for a whole pair, else 1.
inline size_t CodePointUnits(std::u16string_view text, size_t i) {
    return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

inline char32_t CodePointAt(std::u16string_view text, size_t i) {
    if (CodePointUnits(text, i) == 2)
        return 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
    return text[i];
}

// The first `maxUnits` units of `text`, one less when the cut would split a pair.
inline std::u16string_view CutKeyText(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    if (maxUnits > 0 && IsHighSurrogate(text[maxUnits - 1]) && IsLowSurrogate(text[maxUnits])) --maxUnits;
    return text.substr(0, maxUnits);
}

inline constexpr size_t kMaxKeyUnits = 128;
