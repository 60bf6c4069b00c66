// Search keys: the normalised form under which every dictionary index, word
// list, full-text index and translator look-up compares words. Keys are
// stored in dictionary files, so MakeSearchKey must keep giving exactly the
// same results: full compatibility decomposition (voiced kana and Й/й kept
// whole), combining marks, punctuation other than connectors, symbols,
// separators and controls dropped by category, then lower case.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Decomposition stops once this many units have been written.
inline constexpr int32_t kDecomposedTextLimit = 1000;

// Writes the full compatibility decomposition of `text` to `out` without
// canonical reordering or Hangul; surrogate pairs are joined, lone surrogates
// become U+FFFD. Writing stops once 1000 units are written (a pair straddling
// that limit is written whole) or when the next code point does not fit in
// `out` (a pair is never cut). Returns the units written (out is not
// terminated), or -1 when the table cannot be loaded.
int32_t DecomposeString(std::u16string_view text, std::span<char16_t> out);

// Drops combining marks (Mn, Mc, Me) and categories Pd..Cf, keeping letters,
// numbers, connector punctuation and units without data; U+2E80..U+2FD5 count
// as letters. A non-spacing mark right after a space also takes back the last
// unit kept before it. `out` needs room for text.size() units and may be
// text.data() (in place). Returns the length kept.
int32_t StripByCategory(std::u16string_view text, char16_t* out);

// The search key of `text` in `out`, not terminated, at most min(out.size(),
// 1000) units and never half a surrogate pair; returns its length. A text of
// the single unit "_" or U+02B0..U+02FF gives the empty key with out[0] = 0.
// Without the character tables the key is empty.
int32_t MakeSearchKey(std::u16string_view text, std::span<char16_t> out);

// Cuts trailing units below U+0021 from the zero-terminated `text` in place
// (writes a 0 after the last unit >= U+0021) and returns the new length; 0 for null.
int32_t TrimRight(char16_t* text);
