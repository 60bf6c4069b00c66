// Matchers of the phrase splitter's suppression patterns and particle
// context strings.
#include "japanese/phrase_patterns.h"

#include <algorithm>

#include "common/unicode/japanese_chars.h"

namespace ostrel::japanese {
namespace {

// The class letters and literal characters both languages share.
bool CharacterFits(char16_t rule, char16_t c) {
    switch (rule) {
        case u'H': return IsCjkIdeograph(c);
        case u'J': return c >= 0x3000;
        case u'K': return c >= 0x3041 && c <= 0x30FF;
        default: return rule == c;
    }
}

}  // namespace

bool MatchSegmentationPattern(std::u16string_view pattern, std::u16string_view text, int32_t position,
                              PatternMatch* match) {
    const int32_t length = static_cast<int32_t>(text.size());
    if (position < 0 || position > length) return false;
    size_t i = 0;
    if (!pattern.empty() && pattern[0] == u'.') {
        if (position > 0 && text[position - 1] != u'.') return false;
        i = 1;
    }
    PatternMatch found;
    found.start = position;
    int32_t t = position;
    for (; i < pattern.size(); ++i) {
        const char16_t rule = pattern[i];
        if (rule == u'[') {
            if (found.open < 0) found.open = t;
        } else if (rule == u']') {
            if (found.close < 0) found.close = t;
        } else if (rule == u'.') {
            if (t < length) {
                if (text[t] != u'.') return false;
                ++t;
            }
        } else {
            if (t >= length || !CharacterFits(rule, text[t])) return false;
            ++t;
        }
    }
    found.end = t;
    if (match != nullptr) *match = found;
    return true;
}

int32_t MatchParticleContext(std::span<const std::u16string_view> table, std::u16string_view fromParticle,
                             int32_t wordLength, int32_t initial) {
    int32_t value = 0;
    for (const std::u16string_view pattern : table) {
        int32_t patternValue = -1;
        bool longer = false;
        bool counting = true;
        int32_t counted = 0;
        size_t t = 0;
        bool fits = !pattern.empty();
        for (size_t i = 0; fits && i < pattern.size(); ++i) {
            const char16_t rule = pattern[i];
            if (rule == u'-') {
                patternValue = 1;
            } else if (rule == u'=') {
                patternValue = 2;
            } else if (rule == u'+') {
                longer = true;
            } else if (rule == u']') {
                counting = false;
            } else if (rule == u'.') {
                fits = t == fromParticle.size();
            } else {
                fits = t < fromParticle.size() && (rule == u'*' || rule == fromParticle[t]);
                ++t;
                if (counting) ++counted;
            }
        }
        if (fits && (longer ? counted <= wordLength : counted == wordLength)) {
            value = patternValue;
            break;
        }
    }
    int32_t result = value;
    if (initial < 0) result = std::min(initial, value);
    else if (initial > 0) result = initial;
    if (result < 1) return result;
    return value < 0 ? std::min(result, value) : std::max(result, value);
}

}  // namespace ostrel::japanese
