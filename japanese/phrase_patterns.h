// The two small pattern languages of the phrase splitter: the suppression
// patterns that name a span of the text no word may take as it stands, and
// the context strings that score a one-character particle.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ostrel::japanese {

// Where a suppression pattern matched: text positions of its "[" and "]"
// (-1 when the pattern has none) and of the first and behind the last
// character it read.
struct PatternMatch {
    int32_t open = -1;
    int32_t close = -1;
    int32_t start = 0;
    int32_t end = 0;
};

// Matches `pattern` against `text` from `position`. A leading "." restricts
// the pattern to the text start or the place right behind an ASCII full
// stop; inside the pattern "." reads the text end or a full stop (。 is no
// full stop here), H a kanji, J any character from U+3000, K a kana
// U+3041..U+30FF; "[" and "]" read nothing and mark the span (the first of
// each counts: a second "]" reads nothing and marks nothing); every other
// character reads itself.
bool MatchSegmentationPattern(std::u16string_view pattern, std::u16string_view text, int32_t position,
                              PatternMatch* match);

// Scores the text from a particle against the particle's context strings.
// A string starts with the particle; "-" gives it the value 1, "=" 2, none
// -1; "*" reads any character, "." the text end, "]" ends the counted part
// and "+" lets the counted part be shorter than `wordLength`, which it must
// equal otherwise. The first string that applies gives the value, none 0;
// `initial` then combines with it: 0 leaves it, a negative initial caps it,
// a positive one replaces it, and a result of 1 or more is pulled down by a
// negative value and up by a larger positive one.
int32_t MatchParticleContext(std::span<const std::u16string_view> table, std::u16string_view fromParticle,
                             int32_t wordLength, int32_t initial);

}  // namespace ostrel::japanese
