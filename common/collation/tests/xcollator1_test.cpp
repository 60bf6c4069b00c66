#include "common/collation/xcollator1.h"
#include "common/collation/tests/uca_whole_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

XCollator1& Uca() {
    EXPECT_TRUE(UcaCollator().LoadTable());
    return UcaCollator();
}

int32_t Cmp(std::u16string_view a, std::u16string_view b, uint32_t flags = 1) {
    return Uca().Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(), static_cast<uint32_t>(b.size()), 0,
                         flags);
}

std::vector<uint32_t> Key(std::u16string_view text, int32_t allLevels = 1) {
    std::vector<uint32_t> key(kMaxSortKeyWeights);
    key.resize(Uca().GetSortKey(text.data(), static_cast<int32_t>(text.size()), key.data(), allLevels));
    return key;
}

// The key without its fourth level (from the third 0 separator on).
std::vector<uint32_t> KeyToLevel3(std::u16string_view text) {
    std::vector<uint32_t> key = Key(text);
    int zeros = 0;
    for (size_t i = 0; i < key.size(); ++i)
        if (key[i] == 0 && ++zeros == 3) return {key.begin(), key.begin() + i};
    return key;
}

TEST(UcaTable, HasTheFiguresOfDucet500) {
    const DucetTable& t = Uca().Table();
    EXPECT_EQ(t.ElementCount(), 23595u);
    EXPECT_EQ(t.NodeCount(), 1019u);
    EXPECT_EQ(t.Stage2Blocks(), 0x5Au);
    EXPECT_EQ(t.VariableTop(), 0x0F98u);
}

TEST(UcaTable, RefusesBlobsThatDoNotCheckOut) {
    DucetTable t;
    std::vector<uint32_t> words(200, 0);
    EXPECT_FALSE(t.Attach({reinterpret_cast<const uint8_t*>(words.data()), words.size() * 4}));
    words[0] = 0x636F6C74;
    words[16] = 0x2000;        // stage 1 count
    words[17] = 0x70;          // stage 1 offset: past the end of this small blob
    EXPECT_FALSE(t.Attach({reinterpret_cast<const uint8_t*>(words.data()), words.size() * 4}));
    EXPECT_FALSE(t.IsLoaded());
}

TEST(UcaCollation, KeysAreTheLevelsOfTheListedElements) {
    // и + breve keeps its two elements: contractions are not applied.
    EXPECT_EQ(Key(u"и\u0306"), (std::vector<uint32_t>{0x13A0, 0, 0x20, 0x37, 0, 0x2, 0x2}));
    EXPECT_EQ(Key(u"й"), (std::vector<uint32_t>{0x13B4, 0, 0x20, 0, 0x2}));
    EXPECT_EQ(Cmp(u"и\u0306", u"й", 0), ~0);
    EXPECT_EQ(Key(u"и\u0306", 0), (std::vector<uint32_t>{0x13A0}));
    // Implicit weights: base by block, then the low bits.
    EXPECT_EQ(Key(u"漢", 0), (std::vector<uint32_t>{0xFB40, 0xEF22}));
    EXPECT_EQ(Key(u"\U00020000", 0), (std::vector<uint32_t>{0xFB84, 0x8000}));
    EXPECT_EQ(Key(u"\u3400", 0), (std::vector<uint32_t>{0xFB80, 0xB400}));
    EXPECT_EQ(Key(u"\uE000", 0), (std::vector<uint32_t>{0xFBC1, 0xE000}));
    // Hangul syllables are collated as their jamo.
    EXPECT_EQ(Key(u"\uD55C"), Key(u"\u1112\u1161\u11AB"));
    EXPECT_EQ(Key(u"\uD558"), Key(u"\u1112\u1161"));
}

TEST(UcaCollation, RepetitionSignsRepeatTheCodePointBefore) {
    // Equal to the written-out form at levels 1-3, after it at level 4.
    EXPECT_EQ(KeyToLevel3(u"佐々木"), KeyToLevel3(u"佐佐木"));
    EXPECT_EQ(Cmp(u"佐々木", u"佐佐木", 0), 0);
    EXPECT_GT(Cmp(u"佐々木", u"佐佐木"), 0);
    EXPECT_LT(Cmp(u"佐佐木", u"佐々木"), 0);
    EXPECT_EQ(KeyToLevel3(u"ここゝ"), KeyToLevel3(u"こここ"));
    EXPECT_EQ(KeyToLevel3(u"ココヽ"), KeyToLevel3(u"コココ"));
    // A voiced repetition writes the voicing once, even after a voiced kana.
    EXPECT_EQ(KeyToLevel3(u"かゞ"), KeyToLevel3(u"かが"));
    EXPECT_EQ(KeyToLevel3(u"がゞ"), KeyToLevel3(u"がが"));
    // The prolonged sound sign takes the vowel of the kana before it.
    EXPECT_EQ(KeyToLevel3(u"カード"), KeyToLevel3(u"カアド"));
    EXPECT_EQ(KeyToLevel3(u"キー"), KeyToLevel3(u"キイ"));
    EXPECT_EQ(KeyToLevel3(u"らーめん"), KeyToLevel3(u"らあめん"));
    EXPECT_GT(Cmp(u"カード", u"カアド"), 0);
}

TEST(UcaCollation, SignsWithoutTheirContextStandForThemselves) {
    EXPECT_EQ(Key(u"ー"), (std::vector<uint32_t>{0x0FA3, 0, 0x20, 0, 0x2}));
    EXPECT_EQ(Key(u"ゝ"), (std::vector<uint32_t>{0x0FA2, 0, 0x20, 0, 0x2}));
    // 々 repeats only an ideograph; after kana it is itself.
    EXPECT_EQ(Key(u"か々", 0), (std::vector<uint32_t>{0x22FD, 0x0F9D}));
    EXPECT_EQ(Key(u"aー", 0), (std::vector<uint32_t>{Key(u"a", 0)[0], 0x0FA3}));
}

TEST(UcaCollation, ShiftedVariableWeighting) {
    // Punctuation is variable: ignored at levels 1-3, its primary at level 4.
    EXPECT_EQ(Cmp(u"a-b", u"ab", 0), 0);
    EXPECT_LT(Cmp(u"a-b", u"ab", 1), 0);   // a variable primary sorts below 0xFF00
    std::vector<uint32_t> key = Key(u"a-b");
    ASSERT_GE(key.size(), 3u);
    EXPECT_EQ(key.back(), 0xFF00u);
    // Without a variable element there is no fourth level at all.
    std::vector<uint32_t> plain = Key(u"ab");
    EXPECT_EQ(std::count(plain.begin(), plain.end(), 0u), 2);
    // A mark after a variable element is ignored with it.
    EXPECT_EQ(KeyToLevel3(u"a-\u0301b"), KeyToLevel3(u"ab"));
}

TEST(UcaCollation, CaseAndKanaKindDifferAtLevel3Only) {
    EXPECT_EQ(Cmp(u"abc", u"ABC", 0), 0);
    EXPECT_LT(Cmp(u"abc", u"ABC"), 0);
    EXPECT_EQ(Cmp(u"かな", u"カナ", 0), 0);
    EXPECT_LT(Cmp(u"かな", u"カナ"), 0);
    EXPECT_EQ(Cmp(u"", u""), 0);
    EXPECT_EQ(Cmp(u"", u"a"), ~0);
    EXPECT_EQ(Cmp(u"a", u""), 1);
    EXPECT_EQ(Cmp(u"ab", u"ac", 0), ~1);
}

TEST(UcaCollation, CutsLongTextsAtTheBoundsWithoutOverflow) {
    // U+FDFA has 18 elements; 300 of them exceed every bound.
    std::u16string longText(300, u'\uFDFA');
    std::vector<uint32_t> key = Key(longText);
    EXPECT_EQ(key.size(), static_cast<size_t>(kMaxSortKeyWeights));
    EXPECT_EQ(Cmp(longText, longText + u"x"), 0);
    std::u16string kanji(1000, u'漢');
    EXPECT_EQ(Cmp(kanji, kanji + u"字"), 0);
    EXPECT_LT(Cmp(std::u16string(255, u'a') + u"a", std::u16string(255, u'a') + u"b"), 0);
}

TEST(UcaCollation, KindAndQueryInterface) {
    EXPECT_EQ(Uca().GetKind(), 1u);
    void* object = &object;
    IID iid{};
    EXPECT_EQ(Uca().QueryInterface(iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

class NoDataResources final : public IDataResourceProvider {
public:
    std::span<const uint8_t> Find(std::string_view) const override { return {}; }
};

TEST(UcaHandOut, FailsWithoutTheTableAndAnswersEqual) {
    NoDataResources none;
    IDataResourceProvider* previous = SetDataResourceProvider(&none);
    UcaCollator().FreeTable();
    ICollator* out = reinterpret_cast<ICollator*>(&none);
    EXPECT_EQ(GetUcaCollator(&out), E_FAIL);
    EXPECT_EQ(out, nullptr);
    // Reached anyway, the collator answers "equal" and writes no key.
    uint32_t key[4] = {9, 9, 9, 9};
    EXPECT_EQ(UcaCollator().Compare(u"a", 1, u"b", 1, 0, 1), 0);
    EXPECT_EQ(UcaCollator().GetSortKey(u"a", 1, key, 1), 0);
    SetDataResourceProvider(previous);
    ULONG before = UcaCollator().ReferenceCount();
    ASSERT_EQ(GetUcaCollator(&out), S_OK);
    EXPECT_EQ(out, &UcaCollator());
    EXPECT_EQ(out->GetKind(), 1u);
    EXPECT_EQ(out->Release(), before);
}

}  // namespace

namespace {

int32_t CompareWholeKeys(std::u16string_view a, std::u16string_view b, uint32_t flags) {
    return CompareWholeUcaKeys(Uca(), a, b, flags);
}

TEST(UcaCollation, CompareAnswersAsTheWholeKeysDo) {
    const std::u16string alphabet = u"aAbé-. かがカガゞヽゝー々佐木\u3099\uFF9Eん한\u0301ё\U00020000";
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    auto text = [&] {
        std::u16string t;
        for (uint32_t n = next() % 7; n > 0; --n) {
            size_t at = next() % alphabet.size();
            // Keep surrogate pairs whole most of the time, and sometimes not.
            t += alphabet[at];
            if (at + 1 < alphabet.size() && alphabet[at] >= 0xD800 && alphabet[at] <= 0xDBFF && next() % 4)
                t += alphabet[at + 1];
        }
        return t;
    };
    for (int k = 0; k < 20000; ++k) {
        std::u16string a = text(), b = next() % 3 ? text() : a + text();
        if (next() % 5 == 0) b = a;
        for (uint32_t flags : {0u, 1u})
            ASSERT_EQ(Cmp(a, b, flags), CompareWholeKeys(a, b, flags)) << k;
    }
    // Past the bounds as well.
    std::u16string longA(300, u'\uFDFA'), longB = longA + u"x";
    EXPECT_EQ(Cmp(longA, longB), CompareWholeKeys(longA, longB, 1));
    std::u16string manyA(800, u'a'), manyB = manyA;
    manyB[760] = u'b';
    EXPECT_EQ(Cmp(manyA, manyB), CompareWholeKeys(manyA, manyB, 1));
}

}  // namespace
