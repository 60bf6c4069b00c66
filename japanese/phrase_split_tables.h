// The rule tables of the phrase splitter: readings that are never cut out of
// a phrase as words, the patterns that forbid words in given contexts, the
// contexts that make a one-character particle likely or unlikely, and the
// grammatical endings that become words of their own at a phrase's end.
#pragma once

#include <span>
#include <string_view>

namespace ostrel::japanese {

// A reading never taken as a word of a phrase; an empty kanji form matches
// every kanji form of that reading.
struct SegmentationException {
    std::u16string_view reading;
    std::u16string_view kanji;
};

std::span<const SegmentationException> SegmentationExceptionTable();

// Suppression patterns (see MatchSegmentationPattern): list 0 for kana
// contexts, list 1 for contexts with kanji.
std::span<const std::u16string_view> SegmentationPatternTables(int list);

// Context strings of a one-character particle (see MatchParticleContext), or
// of 的な; empty for other characters. The tables of は and が are stored
// behind the ends of the two pattern lists.
std::span<const std::u16string_view> ParticleContextTable(char16_t particle);
std::span<const std::u16string_view> ParticleContextTableOfTekiNa();

}  // namespace ostrel::japanese
