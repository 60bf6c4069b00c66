#include "common/collation/xcollator0.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/collation/collation_tables.h"
#include "common/tests/unicode_data_oracle.h"

namespace {

int32_t Cmp(std::u16string_view a, std::u16string_view b, int32_t mode = 0, uint32_t flags = 0) {
    return DictionaryCollator().Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(),
                                        static_cast<uint32_t>(b.size()), mode, flags);
}

int Sign(int32_t v) { return (v > 0) - (v < 0); }

struct OrderCase {
    const char16_t* a;
    const char16_t* b;
    int32_t mode;
    uint32_t flags;
    int32_t expected;   // the exact coded answer
};

class DictionaryCollation : public testing::TestWithParam<OrderCase> {};

TEST_P(DictionaryCollation, AnswersTheCodedResult) {
    const OrderCase& c = GetParam();
    EXPECT_EQ(Cmp(c.a, c.b, c.mode, c.flags), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    PinnedCases, DictionaryCollation,
    testing::Values(
        // カード reads as かあど at primary level; the mode orders katakana by the tie-break.
        OrderCase{u"カード", u"かあど", 0, 0, 0},
        OrderCase{u"カード", u"かあど", 6, 1, ~0},
        OrderCase{u"カード", u"かあど", 2, 1, 1},
        OrderCase{u"かあど", u"カード", 6, 1, 1},
        OrderCase{u"かあど", u"カード", 2, 1, ~0},
        // ё folds with е and goes after it on the tie-break.
        OrderCase{u"ёж", u"еж", 0, 0, 0},
        OrderCase{u"ёж", u"еж", 0, 1, 1},
        OrderCase{u"еж", u"ёж", 0, 1, ~0},
        OrderCase{u"Ёж", u"ёж", 0, 1, ~0},
        // Accents and case fold away; raw code order puts R before r.
        OrderCase{u"Résumé", u"resume", 0, 0, 0},
        OrderCase{u"Résumé", u"resume", 0, 1, ~0},
        OrderCase{u"resume", u"Résumé", 0, 1, 1},
        // Fullwidth parentheses are never seen.
        OrderCase{u"（ABC）", u"ABC", 0, 0, 0},
        OrderCase{u"（ABC）", u"ABC", 0, 1, 0},
        // Small kana, voicing and script fold at primary level.
        OrderCase{u"いっしょ", u"イッショ", 0, 0, 0},
        OrderCase{u"いっしょ", u"いっしよ", 0, 0, 0},
        OrderCase{u"がっこう", u"かつこう", 0, 0, 0},
        // Small kana sort after large ones in the tie-break, but ゅ keeps sorting before ゆ.
        OrderCase{u"いっしょ", u"いつしよ", 0, 1, 2},
        OrderCase{u"しゅ", u"しゆ", 0, 1, ~1},
        OrderCase{u"シュ", u"シユ", 0, 1, 2},
        // Positions count folded units; skipped punctuation takes none.
        OrderCase{u"abc", u"abd", 0, 0, ~2},
        OrderCase{u"abd", u"abc", 0, 0, 3},
        OrderCase{u"a-b-d", u"abc", 0, 0, 3},
        OrderCase{u"ab", u"abc", 0, 0, ~2},
        OrderCase{u"abc", u"ab", 0, 0, 3},
        OrderCase{u"", u"", 0, 1, 0},
        OrderCase{u"", u"a", 0, 0, ~0},
        OrderCase{u"a", u"", 0, 0, 1},
        // Digits and the space are kept; letters sort after digits.
        OrderCase{u"a 1", u"a1", 0, 0, ~1},
        OrderCase{u"1", u"a", 0, 0, ~0},
        // General punctuation (U+2000..U+206F) is skipped.
        OrderCase{u"a\u2014b", u"ab", 0, 0, 0},
        OrderCase{u"a\u2014b", u"ab", 0, 1, 2},
        // Cyrillic folds: ѝ and U+0400 are skipped, Ѝ folds to П, the extended block to U+0400.
        OrderCase{u"а\u045Dб", u"аб", 0, 0, 0},
        OrderCase{u"\u040D", u"П", 0, 0, 0},
        OrderCase{u"\u04E9", u"\u0490", 0, 0, 0},
        OrderCase{u"і", u"и", 0, 0, 0},
        OrderCase{u"ї", u"й", 0, 0, 0},
        // The odd Latin folds stored indexes rely on.
        OrderCase{u"ÿ", u"s", 0, 0, 0},
        OrderCase{u"ß", u"s", 0, 0, 0},
        OrderCase{u"×", u"÷", 0, 0, 0},
        OrderCase{u"Þ", u"z", 0, 0, 1},
        OrderCase{u"œ", u"o", 0, 0, 0},
        // Mode 0 and other modes leave kana order to the tie table and code order.
        OrderCase{u"カ", u"か", 0, 1, 1},
        OrderCase{u"カ", u"か", 10, 1, 1}));

TEST(DictionaryCollation, ProlongedSignTakesTheVowelOfTheKanaBefore) {
    EXPECT_EQ(Cmp(u"ラーメン", u"らあめん"), 0);
    EXPECT_EQ(Cmp(u"キー", u"きい"), 0);
    EXPECT_EQ(Cmp(u"ニュース", u"にゆうす"), 0);
    EXPECT_EQ(Cmp(u"ヴー", u"うう"), 0);
    EXPECT_EQ(Cmp(u"カーー", u"かああ"), 0);
    // Skipped units do not interrupt it; a non-kana before it leaves it alone.
    EXPECT_EQ(Cmp(u"カ（ー", u"かあ"), 0);
    EXPECT_EQ(Cmp(u"Aー", u"Aあ"), CollateAfter(1));
    EXPECT_EQ(Cmp(u"ー", u"あ"), CollateAfter(0));
}

TEST(DictionaryCollation, ComparesAtMostOneHundredPositions) {
    std::u16string a(100, u'a'), b(100, u'a');
    a += u'x';
    b += u'y';
    EXPECT_EQ(Cmp(a, b), 0);
    EXPECT_EQ(Cmp(a, b, 0, 1), 0);
    std::u16string c(99, u'a');
    EXPECT_EQ(Cmp(c + u'x', c + u'y'), ~99);
    // The tie-break counts raw units up to 100 as well.
    std::u16string d(100, u'a');
    EXPECT_EQ(Cmp(d + u'A', d + u'a', 0, 1), 0);
}

TEST(DictionaryCollation, SortKeyIsEmptyAndKindIsZero) {
    uint32_t key[4] = {7, 7, 7, 7};
    EXPECT_EQ(DictionaryCollator().GetSortKey(u"abc", 3, key, 1), 0);
    EXPECT_EQ(key[0], 7u);
    EXPECT_EQ(DictionaryCollator().GetKind(), 0u);
}

TEST(DictionaryCollation, QueryInterfaceRefusesAndClearsTheOutPointer) {
    void* object = &object;
    IID iid{};
    EXPECT_EQ(DictionaryCollator().QueryInterface(iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST(DictionaryCollation, HandOutCountsReferencesOnTheStaticInstance) {
    ICollator* c = nullptr;
    ULONG before = DictionaryCollator().AddRef();
    ASSERT_EQ(GetDictionaryCollator(&c), S_OK);
    EXPECT_EQ(c, &DictionaryCollator());
    EXPECT_EQ(c->Release(), before);
    EXPECT_EQ(DictionaryCollator().Release(), before - 1);
}

// Every string of one or two units over small kana, Cyrillic and Latin
// alphabets: the comparator must be antisymmetric and induce a total order in
// every mode the engine passes, so B-tree searches stay consistent.
TEST(DictionaryCollation, OrderIsTotalOverSmallAlphabets) {
    const std::u16string alphabet =
        u"あぁつっゆゅかがアァツッカヵーヽ"
        u"еёЕЁиі"
        u"aAéßÿ1 （";
    std::vector<std::u16string> words;
    for (char16_t x : alphabet) {
        words.emplace_back(1, x);
        for (char16_t y : alphabet) words.push_back(std::u16string{x, y});
    }
    for (int32_t mode : {0, 2, 6}) {
        for (uint32_t flags : {0u, 1u}) {
            std::vector<std::u16string> sorted = words;
            std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& l, const auto& r) {
                return Cmp(l, r, mode, flags) < 0;
            });
            size_t bad = 0;
            for (size_t i = 0; i < sorted.size() && bad < 5; ++i) {
                for (size_t j = i; j < sorted.size(); ++j) {
                    int forward = Sign(Cmp(sorted[i], sorted[j], mode, flags));
                    int backward = Sign(Cmp(sorted[j], sorted[i], mode, flags));
                    if (forward > 0 || forward != -backward) {
                        ++bad;
                        ADD_FAILURE() << "mode " << mode << " flags " << flags << " at " << i << ", " << j;
                        break;
                    }
                }
            }
        }
    }
}

// The Latin table is defined by character names: the capital letter that
// begins the word after LETTER, except the 53 listed code points.
TEST(DictionaryCollationTables, LatinFoldFollowsTheCharacterNames) {
    const std::map<uint32_t, OracleCharacter> characters = ReadOracleUnicodeData(kUnicodeDataPath);
    ASSERT_FALSE(characters.empty());
    std::map<int, char16_t> exceptions = {
        {0xD0, u'D'}, {0xF0, u'D'}, {0xD7, 0xFFD7}, {0xF7, 0xFFD7}, {0xDE, 0xFFDE}, {0xFE, 0xFFDE},
        {0xFF, u'S'}, {0x131, u'I'}, {0x132, u'I'}, {0x133, u'I'}, {0x14A, u'N'}, {0x14B, u'N'},
        {0x152, u'O'}, {0x153, u'O'}, {0x17F, u'S'}, {0x184, u'Z'}, {0x185, u'Z'}, {0x189, u'D'},
        {0x18D, u'D'}, {0x18E, u'E'}, {0x18F, u'E'}, {0x190, u'E'}, {0x19C, u'M'}, {0x1A6, u'R'},
        {0x1DD, u'E'}, {0x1EE, u'Z'}, {0x1EF, u'Z'}, {0x21C, u'Z'}, {0x21D, u'Z'}, {0x222, u'U'},
        {0x223, u'U'}, {0x237, u'J'}, {0x245, u'V'}, {0x24A, u'Q'}, {0x1BF, u'W'}};
    for (int u = 0x1A7; u <= 0x1AA; ++u) exceptions[u] = u'S';
    for (int u = 0x1B7; u <= 0x1BE; ++u) exceptions[u] = u'Z';
    for (int u : {0x1C0, 0x1C1, 0x1C2, 0x1C3, 0x241, 0x242}) exceptions[u] = collation::kLatinSkip;
    ASSERT_EQ(exceptions.size(), 53u);
    for (int u = 0xC0; u < 0x250; ++u) {
        char16_t expected;
        if (auto e = exceptions.find(u); e != exceptions.end()) {
            expected = e->second;
        } else {
            std::istringstream words(characters.at(u).name);
            std::string w;
            while (words >> w && w != "LETTER") {}
            ASSERT_TRUE(words >> w) << std::hex << u;
            expected = static_cast<char16_t>(w[0]);
        }
        EXPECT_EQ(collation::kLatinFold[u], expected) << std::hex << u << " " << characters.at(u).name;
    }
}

// Kana folding and vowels checked against the names (HIRAGANA LETTER SMALL
// KA, KATAKANA LETTER GA ...) and the canonical decompositions of voiced kana.
TEST(DictionaryCollationTables, KanaTablesFollowTheCharacterData) {
    const std::map<uint32_t, OracleCharacter> characters = ReadOracleUnicodeData(kUnicodeDataPath);
    ASSERT_FALSE(characters.empty());
    std::map<std::string, int> byName;
    for (auto& [cp, c] : characters) byName[c.name] = static_cast<int>(cp);
    // A voiced kana decomposes canonically to its plain kana and a sound mark.
    auto plainOf = [&](int cp) {
        const std::vector<uint32_t>& d = characters.at(cp).decomposition;
        return d.size() == 2 ? static_cast<int>(d[0]) : cp;
    };
    for (int base : {0x3041, 0x30A1}) {
        for (int cp = base; cp <= base + 0x52; ++cp) {
            const std::string& name = characters.at(cp).name;
            // Syllable letters: drop the script prefix and SMALL.
            std::string syllable = name.substr(name.rfind(' ') + 1);
            bool small = name.find("SMALL") != std::string::npos;
            char vowel = syllable == "N" ? 'n' : syllable.back();
            std::string vowelName = std::string(base == 0x3041 ? "HIRAGANA" : "KATAKANA") +
                                    " LETTER " + (vowel == 'n' ? std::string("N") : std::string(1, vowel));
            EXPECT_EQ(collation::KanaVowel(static_cast<char16_t>(cp)), byName.at(vowelName)) << name;
            // Primary fold: large, unvoiced, hiragana.
            int large = small ? byName.at(std::string(name).erase(name.find("SMALL "), 6)) : cp;
            int plain = plainOf(large);
            int hiragana = plain - (base == 0x30A1 ? 0x60 : 0);
            EXPECT_EQ(collation::kKanaFold[cp - 0x3000], hiragana) << name;
        }
    }
}

}  // namespace
