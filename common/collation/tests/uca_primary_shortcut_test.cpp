// XCollator1::Compare reads most primaries from its table of context-free
// code points; these cases check that its answers (0, the position of the
// difference, its sign) stay those of the whole keys on dictionary words,
// on random texts full of contexts, and on every pair of sampled code points.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/text/japanese_code_pages.h"
#include "common/tests/edict_files.h"
#include "common/collation/tests/uca_whole_keys.h"
#include "common/collation/xcollator1.h"

namespace {

XCollator1& Uca() {
    EXPECT_TRUE(UcaCollator().LoadTable());
    return UcaCollator();
}

int32_t Cmp(std::u16string_view a, std::u16string_view b, uint32_t flags) {
    return Uca().Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(), static_cast<uint32_t>(b.size()), 0,
                         flags);
}

// Both orders with both flags; the whole keys answer the swapped pair with
// the same position.
void ExpectWholeKeyAnswersBothWays(std::u16string_view a, std::u16string_view b) {
    for (uint32_t flags : {0u, 1u}) {
        const int32_t expected = CompareWholeUcaKeys(Uca(), a, b, flags);
        const int32_t swapped = expected == 0 ? 0 : expected > 0 ? ~(expected - 1) : ~expected + 1;
        ASSERT_EQ(Cmp(a, b, flags), expected) << flags;
        ASSERT_EQ(Cmp(b, a, flags), swapped) << flags;
    }
}

// Headwords and readings of every `step`-th line of an EDICT-format file.
std::vector<std::u16string> HeadwordsAndReadings(const char* file, size_t step) {
    std::vector<uint8_t> bytes = ReadEdictFile(file);
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    std::vector<std::u16string> words;
    for (size_t n = 0; n < lines.size(); n += step) {
        std::vector<uint8_t> sjis(lines[n].begin(), lines[n].end());
        sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
        std::u16string text(sjis.size(), u'\0');
        text.resize(static_cast<size_t>(DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()),
                                                          text.data(), static_cast<int32_t>(text.size()))));
        size_t space = text.find(u' ');
        if (space == std::u16string::npos) continue;
        words.push_back(text.substr(0, space));
        size_t open = text.find(u" ["), close = text.find(u']');
        if (open == space && close != std::u16string::npos && close > open)
            words.push_back(text.substr(open + 2, close - open - 2));
    }
    return words;
}

// Neighbours in a shuffle (differ early) and in sorted order (share prefixes).
void ExpectWholeKeyAnswersOnNeighbours(std::vector<std::u16string> words) {
    ASSERT_GT(words.size(), 1000u);
    std::mt19937 random(7);
    for (int order = 0; order < 2; ++order) {
        if (order == 0) std::shuffle(words.begin(), words.end(), random);
        else std::sort(words.begin(), words.end());
        for (size_t i = 1; i < words.size(); ++i)
            ASSERT_NO_FATAL_FAILURE(ExpectWholeKeyAnswersBothWays(words[i - 1], words[i])) << i;
    }
}

TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysOnEdictWords) {
    ExpectWholeKeyAnswersOnNeighbours(HeadwordsAndReadings("edict", 12));
}

TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysOnEnamdictNames) {
    ExpectWholeKeyAnswersOnNeighbours(HeadwordsAndReadings("enamdict", 96));
}

// Random text pairs over `alphabet`, compared both ways with both flags.
void ExpectWholeKeyAnswersOnRandomTexts(const std::u16string& alphabet, uint32_t seed) {
    int k = 0;
    for (const auto& [a, b] : RandomTextPairs(alphabet, seed, 20000))
        ASSERT_NO_FATAL_FAILURE(ExpectWholeKeyAnswersBothWays(a, b)) << k++;
}

TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysOnTextsFullOfContexts) {
    ExpectWholeKeyAnswersOnRandomTexts(ContextAlphabet(), 2024);
}

// A few kana with every sign that looks back at them, so that a sign often
// meets, at the same place, the very code point it stands for.
TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysWhereSignsMeetWhatTheyStandFor) {
    ExpectWholeKeyAnswersOnRandomTexts(u"かがカガあアーゝゞヽヾ々〻佐\u3099\u309B\uFF9E-", 99);
}

// Long texts reach the bounds on code points, elements and weights: the
// shortcut must leave those cuts to the element-making way.
TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysPastTheBounds) {
    const std::u16string units[] = {u"a", u"か", u"カー", u"かゝ", u"佐々", u"\uFDFA", u"\u3099", u"-"};
    for (const std::u16string& unit : units)
        for (size_t count : {80u, 127u, 128u, 250u, 253u, 254u, 255u, 256u, 257u, 400u, 800u}) {
            std::u16string a;
            while (a.size() < count) a += unit;
            for (const std::u16string& b : {a, a + u"b", a.substr(0, a.size() - 1) + u"b", u"b" + a})
                ASSERT_NO_FATAL_FAILURE(ExpectWholeKeyAnswersBothWays(a, b)) << count;
        }
}

// Every pair of a few thousand code points, each as a text of its own: the
// reference keys are made once per code point.
TEST(UcaPrimaryShortcut, AnswersAsTheWholeKeysOnEveryPairOfSampledCodePoints) {
    std::vector<std::u16string> texts;
    for (char32_t c = 0; c < 0x10000; ++c) {
        bool dense = (c >= 0x3000 && c <= 0x30FF) || c < 0x80 || (c >= 0xFF00 && c <= 0xFFEF);
        if (dense || c % 61 == 0 || c == 0xF0FF || c == 0xFDFA) texts.emplace_back(1, static_cast<char16_t>(c));
    }
    texts.push_back(u"\U00020000");
    texts.push_back(u"\U0001D11E");
    ASSERT_GT(texts.size(), 1500u);
    struct Keys {
        std::vector<uint32_t> primaries, threeLevels, fourLevels;
        bool fourth;
    };
    std::vector<Keys> keys;
    for (const std::u16string& t : texts) {
        std::vector<CollationElement> elements(XCollator1::kMaxElements);
        bool fourth = false;
        elements.resize(MakeCollationElements(Uca().Table(), t.data(), static_cast<int32_t>(t.size()), elements,
                                              &fourth));
        Keys k{std::vector<uint32_t>(kMaxSortKeyWeights), std::vector<uint32_t>(kMaxSortKeyWeights),
               std::vector<uint32_t>(kMaxSortKeyWeights), fourth};
        k.primaries.resize(MakeSortKey(elements, false, false, k.primaries));
        k.threeLevels.resize(MakeSortKey(elements, true, false, k.threeLevels));
        k.fourLevels.resize(MakeSortKey(elements, true, true, k.fourLevels));
        keys.push_back(std::move(k));
    }
    auto compareKeys = [](const std::vector<uint32_t>& ka, const std::vector<uint32_t>& kb) {
        for (int32_t i = 0;; ++i) {
            if (i == static_cast<int32_t>(ka.size())) return i == static_cast<int32_t>(kb.size()) ? 0 : ~i;
            if (i == static_cast<int32_t>(kb.size()) || ka[i] > kb[i]) return i + 1;
            if (ka[i] < kb[i]) return ~i;
        }
    };
    for (size_t x = 0; x < texts.size(); ++x)
        for (size_t y = 0; y < texts.size(); ++y) {
            const Keys &kx = keys[x], &ky = keys[y];
            ASSERT_EQ(Cmp(texts[x], texts[y], 0), compareKeys(kx.primaries, ky.primaries)) << x << ' ' << y;
            const bool fourth = kx.fourth || ky.fourth;
            ASSERT_EQ(Cmp(texts[x], texts[y], 1), fourth ? compareKeys(kx.fourLevels, ky.fourLevels)
                                                         : compareKeys(kx.threeLevels, ky.threeLevels))
                << x << ' ' << y;
        }
}

}  // namespace
