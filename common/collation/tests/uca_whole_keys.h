// The straightforward answer XCollator1::Compare must give: build both whole
// sort keys from their elements and compare them weight by weight.
#pragma once

#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/collation/xcollator1.h"

// Compare stops at the first differing primary; its answer must be that of
// comparing the two whole keys (the fourth level when either text used it).
inline int32_t CompareWholeUcaKeys(const XCollator1& collator, std::u16string_view a, std::u16string_view b,
                                   uint32_t flags) {
    std::vector<CollationElement> ea(XCollator1::kMaxElements), eb(XCollator1::kMaxElements);
    bool fa = false, fb = false;
    ea.resize(MakeCollationElements(collator.Table(), a.data(), static_cast<int32_t>(a.size()), ea, &fa));
    eb.resize(MakeCollationElements(collator.Table(), b.data(), static_cast<int32_t>(b.size()), eb, &fb));
    std::vector<uint32_t> ka(kMaxSortKeyWeights), kb(kMaxSortKeyWeights);
    ka.resize(MakeSortKey(ea, flags != 0, fa || fb, ka));
    kb.resize(MakeSortKey(eb, flags != 0, fb || fa, kb));
    for (int32_t i = 0;; ++i) {
        if (i == static_cast<int32_t>(ka.size())) return i == static_cast<int32_t>(kb.size()) ? 0 : ~i;
        if (i == static_cast<int32_t>(kb.size()) || ka[i] > kb[i]) return i + 1;
        if (ka[i] < kb[i]) return ~i;
    }
}

// Pairs of random texts over `alphabet` (up to 8 units each): unrelated,
// one extending the other, sharing a prefix, equal, or differing in one unit
// (where a context decides). Surrogates of the alphabet usually stay paired.
inline std::vector<std::pair<std::u16string, std::u16string>> RandomTextPairs(const std::u16string& alphabet,
                                                                             uint32_t seed, int count) {
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto text = [&] {
        std::u16string t;
        for (size_t n = pick(9); n > 0; --n) {
            size_t at = pick(alphabet.size());
            t += alphabet[at];
            if (at + 1 < alphabet.size() && alphabet[at] >= 0xD800 && alphabet[at] <= 0xDBFF && pick(4))
                t += alphabet[at + 1];
        }
        return t;
    };
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    for (int k = 0; k < count; ++k) {
        std::u16string a = text();
        std::u16string b = pick(3) ? text() : a + text();
        if (pick(4) == 0) b = a.substr(0, pick(a.size() + 1)) + text();
        if (pick(8) == 0) b = a;
        if (pick(3) == 0 && !a.empty()) {
            b = a;
            b[pick(b.size())] = alphabet[pick(alphabet.size())];
        }
        pairs.emplace_back(std::move(a), std::move(b));
    }
    return pairs;
}

// Texts made of the units whose weights depend on their neighbours, mixed
// with plain ones: repetition signs after kana, ideographs and neither, the
// prolonged sound sign, voicing marks (combining, spacing, halfwidth),
// Hangul, ignorables, variable (fourth-level) characters, the repetition
// stand-in U+F0FF, whole and lone surrogates.
inline std::u16string ContextAlphabet() {
    std::u16string alphabet =
        u"aAzZ09 -.,'é\u0301\u00AD\u200B\u0000\u0008ёЯあかがきゃっんアイウエオガヵヶーゝゞヽヾ々〻〱〲〳〴〵"
        u"\u3099\u309A\u309B\u309C\uFF9E\uFF9Fｶﾞｰ・、。佐木日本한각\u1100\u1161\u11A8\uF0FF\uFFFD"
        u"\U00020000\U0001D11E";
    alphabet += {char16_t(0xD800), char16_t(0xDC00)};
    return alphabet;
}
