// Forward matchers: given the dictionary word found for a stem, decide that
// the text continues it with a conjugated ending of the word's class, how far
// the inflected form reaches and which forms it went through (tag codes).
// They look nothing up; a character at or behind the text end reads as 0.
#pragma once

#include <cstdint>
#include <string_view>

#include "japanese/tag_chain.h"

namespace ostrel::japanese {

// What the matchers need of the translator: the analysed text and the
// dictionary word under test.
struct MatchContext {
    std::u16string_view text;     // the analysed text; positions index into it
    std::u16string_view reading;  // reading of the word under test
    std::u16string_view kanji;    // its kanji form (empty when none)

    char16_t At(int32_t position) const {
        return position >= 0 && static_cast<size_t>(position) < text.size() ? text[position] : 0;
    }
};

// Answer of a matcher: the position behind the recognised form.
constexpr int32_t kNoMatch = -1;

// Continuations deeper than this fail (the chain holds 16 codes anyway).
constexpr int32_t kMaxContinuationDepth = 16;

// Walks `word` (length at least 2, or 1 from the kanji index) against the
// text from `position`, folding katakana, then hands over to the ending
// matchers of `classBit`. True with `end` set on a match.
bool MatchInflectedForm(const MatchContext& context, int32_t position, std::u16string_view word,
                        bool kanjiIndex, uint32_t classBit, int32_t& end, TagChain& tags);

// The conjugation rows of `classBit` from `position` (row 1 onward).
int32_t MatchConjugationRows(const MatchContext& context, int32_t position, TagChain& tags,
                             uint32_t classBit, int32_t depth = 0);

// The ます family, たい, つつ, ながら, なさい, にくい, やすい, だって, そう, すぎる.
int32_t MatchAuxiliaryEndings(const MatchContext& context, int32_t position, TagChain& tags);

// The i-adjective endings from `position` (the place of the dictionary い).
int32_t MatchAdjectiveEndings(const MatchContext& context, int32_t position, TagChain& tags,
                              int32_t depth = 0);

// The rows of `classBit`'s table from row 0, where a row whose only
// difference is its final る still counts (させた reads as させる, code 12).
int32_t MatchIrregularRows(const MatchContext& context, uint32_t classBit, int32_t position,
                           TagChain& tags);
int32_t MatchSuruForms(const MatchContext& context, int32_t position, TagChain& tags);
int32_t MatchKuruForms(const MatchContext& context, int32_t position, TagChain& tags);

}  // namespace ostrel::japanese
