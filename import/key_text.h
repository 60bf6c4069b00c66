// Code-point aware helpers for key texts: key segments hold at most 128
// UTF-16 units, and a cut never leaves half of a surrogate pair.
#pragma once

#include "common/unicode/text_walk.h"

#include <cstddef>
#include <string_view>

inline TextWalk WalkOf(std::u16string_view text) { return {text.data(), static_cast<int32_t>(text.size())}; }

// The units of the code point at `i`: 2 for a whole pair, else 1.
inline size_t CodePointUnits(std::u16string_view text, size_t i) {
    return WalkOf(text).PairAt(static_cast<int32_t>(i)) ? 2 : 1;
}

inline char32_t CodePointAt(std::u16string_view text, size_t i) {
    return WalkOf(text).CodePointAt(static_cast<int32_t>(i));
}

// The first `maxUnits` units of `text`, one less when the cut would split a pair.
inline std::u16string_view CutKeyText(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    if (maxUnits > 0 && WalkOf(text).PairAt(static_cast<int32_t>(maxUnits - 1))) --maxUnits;
    return text.substr(0, maxUnits);
}

inline constexpr size_t kMaxKeyUnits = 128;
