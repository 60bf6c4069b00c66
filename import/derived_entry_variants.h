// Keys of the derived entries of an article (a word with "～" for the
// headword and "[...]" for optional parts): each entry is expanded into
// pairs of a reading form and a written form, one pair per combination of
// left-out optional groups. Pure text functions, code-point aware.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct VariantForms {
    std::u16string reading;
    std::u16string written;
};

// One expansion of `text` (its first 128 units) with the groups whose bits
// (1 the first "[", 2 the second, ...) are in `dropMask` left out. "～" stands
// for the headword (`headwordWritten` empty: its reading in both forms).
// Each form holds at most 127 units; both are empty when nothing but
// headword substitutions reached them.
VariantForms ExpandDerivedEntry(std::u16string_view text, std::u16string_view headwordReading,
                                std::u16string_view headwordWritten, uint32_t dropMask);

// How many combinations an entry has: 1 without "[", 2 with one, 4 with more
// (so with three or more groups only the first two are ever left out).
uint32_t DerivedEntryCombinations(std::u16string_view text);

// The compound table: written forms whose reading the expander knows.
struct CompoundReading {
    std::u16string_view written;
    std::u16string_view reading;
};
extern const CompoundReading kCompoundReadings[36];
