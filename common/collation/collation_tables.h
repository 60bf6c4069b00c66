// The fold, tie and vowel tables of the two collators. Stored B-trees are
// ordered by them, so every value is fixed, odd ones included (ÿ folds to S,
// Ѝ to П).
#pragma once

#include <array>
#include <cstdint>

namespace collation {

// XCollator0's primary folding skips units that fold to these.
inline constexpr char16_t kLatinSkip = 0x007F;
inline constexpr char16_t kCyrillicSkip = 0x047F;

extern const std::array<char16_t, 0x250> kLatinFold;      // U+0000..U+024F
extern const std::array<char16_t, 0x100> kCyrillicFold;   // U+0400..U+04FF
extern const std::array<char16_t, 0x100> kKanaFold;       // U+3000..U+30FF
extern const std::array<char16_t, 0x100> kKanaTie;        // U+3000..U+30FF
extern const std::array<char16_t, 0x100> kKanaVowel;      // U+3000..U+30FF

// The vowel a prolonged sound sign takes after `unit` (U+3000..U+30FF).
inline char16_t KanaVowel(char16_t unit) { return kKanaVowel[unit - 0x3000]; }

}  // namespace collation
