// The collation elements of a text under the UCA collator and the sort key
// made of them: the expansion rules for Hangul, repetition signs and the
// prolonged sound sign (kept here once), DUCET look-up, shifted variable
// weighting, and the per-call bounds. XCollator1, its table of context-free
// primaries and its prepared texts all make elements through this file.
#pragma once

#include <cstdint>
#include <span>

#include "common/collation/collation_tables.h"
#include "common/collation/ducet_table.h"
#include "common/unicode/text_walk.h"

// Per-call bounds: code points after expansion and collation elements made.
inline constexpr int32_t kUcaMaxCodePoints = 256;
inline constexpr int32_t kUcaMaxElements = 1000;

// Stands for "the code point before, again"; weighed as a fourth-level mark.
inline constexpr char32_t kUcaRepetition = 0xF0FF;
inline constexpr char32_t kUcaVoicedSoundMark = 0x3099;

inline bool IsUcaIdeograph(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x20000 && c <= 0x2A6DF);
}

// What one code point of a text stands for before look-up, given the code
// point processed before it: a Hangul syllable its jamo; 々 or 〻 after an
// ideograph, and a kana repetition sign after kana, the code point before and
// the repetition stand-in (with the voiced sound mark between them for the
// voiced signs); the prolonged sound sign after kana the vowel of that kana
// and the stand-in. `processed` is what the next code point sees as the one
// before it.
struct UcaExpansion {
    char32_t codePoints[3];
    uint8_t count;
    char32_t processed;
};

inline UcaExpansion ExpandForCollation(char32_t cp, bool hasPrevious, char32_t previous) {
    const bool kanaBefore = hasPrevious && previous >= 0x3001 && previous <= 0x30FE;
    if (cp >= 0xAC00 && cp <= 0xD7A3) {
        char32_t s = cp - 0xAC00;
        char32_t lead = 0x1100 + s / 588, vowel = 0x1161 + (s / 28) % 21;
        if (s % 28 == 0) return {{lead, vowel, 0}, 2, vowel};
        char32_t trail = 0x11A7 + s % 28;
        return {{lead, vowel, trail}, 3, trail};
    }
    if (hasPrevious && (cp == 0x3005 || cp == 0x303B) && IsUcaIdeograph(previous))
        return {{previous, kUcaRepetition, 0}, 2, cp};
    if (kanaBefore) {
        if (cp == 0x309D || cp == 0x30FD || cp == 0x3031 || cp == 0x3033 || cp == 0x3035)
            return {{previous, kUcaRepetition, 0}, 2, cp};
        if (cp == 0x309E || cp == 0x30FE || cp == 0x3032 || cp == 0x3034)
            return {{previous, kUcaVoicedSoundMark, kUcaRepetition}, 3, cp};
        if (cp == 0x30FC) {
            char32_t vowel = collation::KanaVowel(static_cast<char16_t>(previous));
            return {{vowel, kUcaRepetition, 0}, 2, vowel};
        }
    }
    return {{cp, 0, 0}, 1, cp};
}

// Makes the collation elements of one text a code point at a time, so that a
// comparison can stop at the first differing primary: each code point is
// expanded (at most kUcaMaxCodePoints after expansion), gets its elements,
// and each element is weighed (shifted) as soon as the element after it is
// known.
class UcaElementBuilder {
public:
    UcaElementBuilder(const DucetTable& table, const char16_t* text, int32_t length, std::span<CollationElement> out)
        : table_(table), walk_(text ? text : u"", text ? length : 0), out_(out) {}

    // Adds the elements of the next code point of the text and weighs what
    // can be weighed; false when the text (or a bound) was already reached,
    // by then every element is weighed.
    bool Advance();
    void Finish() {
        while (Advance()) {}
    }

    size_t Weighed() const { return weighed_; }
    bool FourthLevelUsed() const { return fourthLevelUsed_; }

    // The next non-zero primary from `next` on, making elements as needed; -1
    // after the last.
    int64_t NextPrimary(size_t& next) {
        for (;;) {
            while (next < weighed_) {
                uint32_t p = out_[next++].primary;
                if (p) return p;
            }
            if (!Advance() && next >= weighed_) return -1;
        }
    }

private:
    void Put(char32_t cp);
    void Weigh(size_t limit);

    const DucetTable& table_;
    TextWalk walk_;
    std::span<CollationElement> out_;
    int32_t position_ = 0;          // next unit of the text
    int32_t codePoints_ = 0;        // code points after expansion
    size_t count_ = 0;              // elements made
    size_t weighed_ = 0;            // elements with their final weights
    char32_t previous_ = 0;         // the code point processed last (the vowel after ー)
    bool hasPrevious_ = false;
    bool afterVariable_ = false;
    bool fourthLevelUsed_ = false;
    bool done_ = false;
};

// The collation elements of a text after expansion and variable weighting, as
// the key is built from them: at most `out.size()` elements; sets
// *fourthLevelUsed when a variable or repetition element appeared.
int32_t MakeCollationElements(const DucetTable& table, const char16_t* text, int32_t length,
                              std::span<CollationElement> out, bool* fourthLevelUsed);

// The last level of a key: 0 primaries only, 2 three levels, 3 four.
inline int UcaLastLevel(bool allLevels, bool fourth) { return allLevels ? (fourth ? 3 : 2) : 0; }

// The weights of a sort key one at a time, without building it: the non-zero
// primaries, then (with more levels) a 0 and the non-zero weights of the next
// level, and so on up to `lastLevel`.
class UcaSortKeyStream {
public:
    UcaSortKeyStream(std::span<const CollationElement> elements, int lastLevel)
        : elements_(elements), lastLevel_(lastLevel) {}

    // The next weight, or -1 at the end of the key.
    int64_t Next() {
        for (;;) {
            while (next_ < elements_.size()) {
                const CollationElement& e = elements_[next_++];
                uint32_t w = level_ == 0 ? e.primary : level_ == 1 ? e.secondary : level_ == 2 ? e.tertiary : e.fourth;
                if (w) return w;
            }
            if (level_ == lastLevel_) return -1;
            ++level_;
            next_ = 0;
            return 0;
        }
    }

private:
    std::span<const CollationElement> elements_;
    int lastLevel_;
    int level_ = 0;
    size_t next_ = 0;
};

// The key of those elements: primaries, then with allLevels 0 and the
// secondaries, 0 and the tertiaries, and with fourth also 0 and the fourth
// weights; zero weights are left out. At most out.size() weights.
int32_t MakeSortKey(std::span<const CollationElement> elements, bool allLevels, bool fourth,
                    std::span<uint32_t> out);
