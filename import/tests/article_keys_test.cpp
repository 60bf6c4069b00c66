// Keys of single articles: the worked examples of the key rules, the kanji
// dictionary rules, WARODAI derived-entry variants, and code-point aware cuts.
#include "import/article_keys.h"
#include "import/article_record.h"
#include "import/derived_entry_variants.h"
#include "import/key_text.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::vector<DictionaryKey> Keys(void (*build)(std::span<const KeyElement>, uint32_t, std::vector<DictionaryKey>&),
                                const std::vector<KeyElement>& article, uint32_t format) {
    std::vector<DictionaryKey> keys;
    build(article, format, keys);
    return keys;
}

TEST(ArticleKeys, TwoReadingsAndThreeWordsGiveSixKeysEachWay) {
    const std::vector<KeyElement> article = {
        {kKeyArticle, 0, 0, u""},     {kKeyWord, 0, 0, u"噯"},     {kKeyWord, 0, 0, u"噫"},
        {kKeyWord, 0, 0, u"嗚呼"},    {kKeyReading, 0, 0, u"ああ"}, {kKeyReading, 0, 0, u"あゝ"},
        {kKeyTranslation, 0, 0, u"Ah!"},
    };
    const auto reading = Keys(BuildReadingKeys, article, 3);
    const auto kanji = Keys(BuildKanjiKeys, article, 3);
    ASSERT_EQ(reading.size(), 6u);
    ASSERT_EQ(kanji.size(), 6u);
    std::set<std::pair<std::u16string, std::u16string>> a, b;
    for (const auto& k : reading) a.insert({k.first, k.second});
    for (const auto& k : kanji) b.insert({k.second, k.first});
    EXPECT_EQ(a.size(), 6u);
    EXPECT_EQ(a, b);  // index 102 holds the same pairs the other way round
    EXPECT_EQ(reading[0], (DictionaryKey{u"ああ", u"噯", kOrdinaryKey, 0}));
}

TEST(ArticleKeys, ArticleWithoutReadingsOrWords) {
    const std::vector<KeyElement> wordsOnly = {{kKeyArticle, 0, 0, u""}, {kKeyWord, 0, 0, u"猫"}};
    EXPECT_TRUE(Keys(BuildReadingKeys, wordsOnly, 1).empty());
    EXPECT_EQ(Keys(BuildKanjiKeys, wordsOnly, 1), (std::vector<DictionaryKey>{{u"猫", u"", 1, 0}}));
    const std::vector<KeyElement> readingOnly = {{kKeyArticle, 0, 0, u""}, {kKeyReading, 0, 0, u"ねこ"}};
    EXPECT_EQ(Keys(BuildReadingKeys, readingOnly, 1), (std::vector<DictionaryKey>{{u"ねこ", u"", 1, 0}}));
    EXPECT_TRUE(Keys(BuildKanjiKeys, readingOnly, 1).empty());
}

TEST(ArticleKeys, KanjiDictionaryReadingsAndOwnEntry) {
    const std::vector<KeyElement> article = {
        {kKeyArticle, 0, 0, u""},          {kKeyWord, 0, 0, u"新"},
        {kKeyOnReading, 0x2, 0, u"シン"},  {kKeyKunReading, 0, 0, u"あたら.しい"},
        {kKeyKunReading, 0, 0, u"にい-"},  {kKeyKunReading, 0, 0, u"あら.た"},
        {kKeySubsense, 0, 0, u"new"},
    };
    const std::vector<DictionaryKey> expected = {
        {u"シン", u"新", kOnReadingKey, 0},
        {u"あたらしい", u"新しい", kKunTwoOkuriganaKey, 0},
        {u"にい", u"新", kKunReadingKey, 0},
        {u"あらた", u"新た", kKunOneOkuriganaKey, 0},
    };
    EXPECT_EQ(Keys(BuildReadingKeys, article, 2), expected);
    EXPECT_EQ(Keys(BuildKanjiKeys, article, 2), (std::vector<DictionaryKey>{{u"新", u"", kKanjiOwnEntryKey, 0}}));
    std::vector<DictionaryKey> alphabetic;
    BuildAlphabeticKeys(article, 6, {}, alphabetic);
    EXPECT_EQ(alphabetic, (std::vector<DictionaryKey>{{u"new", u"", 1, 0}}));

    // Three okurigana kana count as none.
    EXPECT_EQ(SplitKunReading(u"み.じかい").okurigana, u"じかい");
    const std::vector<KeyElement> three = {{kKeyArticle, 0, 0, u""}, {kKeyWord, 0, 0, u"短"},
                                           {kKeyKunReading, 0, 0, u"み.じかい"}};
    EXPECT_EQ(Keys(BuildReadingKeys, three, 2)[0].flag, kKunReadingKey);
}

TEST(ArticleKeys, KanjiOutsideThePlaneKeepsItsPair) {
    const std::u16string extB = u"\U00020B9F";  // a CJK Extension B kanji: two units
    const std::u16string word = extB + u"x";
    const std::vector<KeyElement> article = {{kKeyArticle, 0, 0, u""},
                                             {kKeyWord, 0, 0, word},
                                             {kKeyOnReading, 0, 0, u"シツ"},
                                             {kKeyKunReading, 0, 0, u"しか.る"}};
    const auto keys = Keys(BuildReadingKeys, article, 2);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].second, extB);
    EXPECT_EQ(keys[1].second, extB + u"る");
}

TEST(ArticleKeys, LongKeysAreCutWithoutSplittingAPair) {
    const std::u16string pair = u"\U00020000";
    const std::u16string text = std::u16string(127, u'あ') + pair + u"い";
    EXPECT_EQ(CutKeyText(text, 128).size(), 127u);
    EXPECT_EQ(CutKeyText(std::u16string(126, u'あ') + pair + u"い", 128).size(), 128u);
    const std::vector<KeyElement> article = {{kKeyArticle, 0, 0, u""}, {kKeyReading, 0, 0, text}};
    EXPECT_EQ(Keys(BuildReadingKeys, article, 1)[0].first, std::u16string(127, u'あ'));

    // A DSL headword is cleaned before it is cut: the cut still keeps the
    // pair whole, and a cut that ends on a blank drops it as the cleaner does.
    // The escape "\\" cleans to one unit, which brings the pair across the limit.
    const std::u16string escaped = u"\\\\" + std::u16string(126, u'あ') + pair + u"い";
    const std::vector<KeyElement> dsl = {{kKeyArticle, 0, 0, u""}, {kKeyWord, 0, 0, escaped}};
    EXPECT_EQ(Keys(BuildKanjiKeys, dsl, 9)[0].first, u"\\" + std::u16string(126, u'あ'));
    const std::u16string blankAt128 = std::u16string(127, u'あ') + u" い";
    const std::vector<KeyElement> blank = {{kKeyArticle, 0, 0, u""}, {kKeyWord, 0, 0, blankAt128}};
    EXPECT_EQ(Keys(BuildKanjiKeys, blank, 9)[0].first, std::u16string(127, u'あ'));
}

TEST(ArticleKeys, OwnMarkupTranslationsSplitIntoRuns) {
    const std::vector<KeyElement> article = {{kKeyArticle, 0, 0, u""},
                                             {kKeyTranslation, 0, 0, u" cat, house cat;; kitty "}};
    std::vector<DictionaryKey> split, whole;
    BuildAlphabeticKeys(article, 1, {.splitTranslations = true}, split);
    BuildAlphabeticKeys(article, 1, {}, whole);
    std::vector<std::u16string> texts;
    for (const auto& k : split) texts.push_back(k.first);
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"cat", u"house cat", u"kitty "}));
    ASSERT_EQ(whole.size(), 1u);

    // A kanji dictionary of own markup splits the texts it indexes, its sub-senses, too.
    const std::vector<KeyElement> kanji = {{kKeyArticle, 0, 0, u""}, {kKeyWord, 0, 0, u"猫"},
                                           {kKeySubsense, 0, 0, u"cat, house cat"}};
    std::vector<DictionaryKey> kanjiSplit;
    BuildAlphabeticKeys(kanji, 2, {.splitTranslations = true}, kanjiSplit);
    EXPECT_EQ(kanjiSplit, (std::vector<DictionaryKey>{{u"cat", u"", 1, 0}, {u"house cat", u"", 1, 0}}));

    std::vector<KeyElement> many = {{kKeyArticle, 0, 0, u""}};
    const std::u16string runs = u"a,b,c,d,e,f,g,h,i,j";
    for (int i = 0; i < 30; ++i) many.push_back({kKeyTranslation, 0, 0, runs});
    std::vector<DictionaryKey> capped;
    BuildAlphabeticKeys(many, 1, {.splitTranslations = true}, capped);
    EXPECT_EQ(capped.size(), 200u);
    // Whole texts at the limit's edge: 200 are all kept, of 201 the last is not.
    for (size_t texts : {200u, 201u}) {
        std::vector<KeyElement> whole200 = {{kKeyArticle, 0, 0, u""}};
        std::vector<std::u16string> names;
        for (size_t i = 0; i < texts; ++i) names.push_back(u"t" + std::u16string(1, char16_t(0x100 + i)));
        for (const std::u16string& n : names) whole200.push_back({kKeyTranslation, 0, 0, n});
        std::vector<DictionaryKey> kept;
        BuildAlphabeticKeys(whole200, 3, {}, kept);
        ASSERT_EQ(kept.size(), 200u);
        EXPECT_EQ(kept.back().first, names[199]);
    }
}

// DSL (format 9): headword and reading lines are cleaned of escapes and
// blank runs before they become keys; a character record (article flag
// 0x40000) pairs each word with no reading; alphabetic texts lose every "\"
// and their "{...}" parts; with the translation-words option the words of
// the "[trn]" translations without kana or ideographs get keys of their own.
TEST(ArticleKeys, DslKeysAreCleanedAndCharacterRecordsTakeNoReadings) {
    const std::vector<KeyElement> article = {
        {kKeyArticle, 0, 0, u""},
        {kKeyWord, 0, 0, u"\\(中ぽつ\\)  なかぽつ"},
        {kKeyReading, 0, 0, u"なか\\{ぽつ\\}"},
        {kKeyTranslation, 0, 0, u"dog\\(s\\)"},
        {kKeyTranslation, 0, 0, u"cat{s}"},
        {kKeyTranslation, 0, 0, u"{the }mouse\\\\"},
        {kKeySense, 0, 0, u"[m1][trn]big dog, 大きい犬 [p]n[/p] [!trs]hidden[/!trs]кот[/trn] never"},
    };
    EXPECT_EQ(Keys(BuildReadingKeys, article, 9),
              (std::vector<DictionaryKey>{{u"なか{ぽつ}", u"(中ぽつ) なかぽつ", 1, 0}}));
    EXPECT_EQ(Keys(BuildKanjiKeys, article, 9),
              (std::vector<DictionaryKey>{{u"(中ぽつ) なかぽつ", u"なか{ぽつ}", 1, 0}}));
    std::vector<KeyElement> character = article;
    character[0].flags = 0x40000;
    character.insert(character.begin() + 2, {kKeyWord, 0, 0, u"中"});
    EXPECT_EQ(Keys(BuildKanjiKeys, character, 9),
              (std::vector<DictionaryKey>{{u"(中ぽつ) なかぽつ", u"", 1, 0}, {u"中", u"", 1, 0}}));
    EXPECT_EQ(Keys(BuildReadingKeys, character, 9).size(), 2u);  // readings still lead to the words

    std::vector<DictionaryKey> plain, withWords;
    BuildAlphabeticKeys(article, 9, {}, plain);
    BuildAlphabeticKeys(article, 9, {.dslTranslationWords = true}, withWords);
    const std::vector<DictionaryKey> texts = {{u"dog(s)", u"", 1, 0}, {u"cat", u"", 1, 0}, {u"mouse", u"", 1, 0}};
    EXPECT_EQ(plain, texts);
    std::vector<DictionaryKey> words = texts;
    for (const char16_t* w : {u"big", u"dog", u"кот"}) words.push_back({w, u"", 1, 0});
    EXPECT_EQ(withWords, words);
    // Other formats keep their texts as they are, and never read the option.
    std::vector<DictionaryKey> edict;
    BuildAlphabeticKeys(article, 3, {.dslTranslationWords = true}, edict);
    ASSERT_EQ(edict.size(), 3u);
    EXPECT_EQ(edict[0].first, u"dog\\(s\\)");
}

TEST(DerivedEntryVariants, OptionalGroupsAndTheHeadword) {
    EXPECT_EQ(DerivedEntryCombinations(u"～する"), 1u);
    EXPECT_EQ(DerivedEntryCombinations(u"～[を]する"), 2u);
    EXPECT_EQ(DerivedEntryCombinations(u"[a]b[c]d[e]"), 4u);
    const VariantForms kept = ExpandDerivedEntry(u"～[を]する", u"かける", u"", 0);
    const VariantForms dropped = ExpandDerivedEntry(u"～[を]する", u"かける", u"", 1);
    EXPECT_EQ(kept.reading, u"かけるをする");
    EXPECT_EQ(dropped.reading, u"かけるする");
    EXPECT_EQ(kept.written, u"かけるをする");  // no written headword: its reading stands in
    EXPECT_TRUE(ExpandDerivedEntry(u"～…", u"かける", u"掛ける", 0).reading.empty());
}

TEST(DerivedEntryVariants, CompoundsAndOtherIdeographs) {
    const VariantForms forms = ExpandDerivedEntry(u"～的な政治", u"せいじ", u"政治", 0);
    EXPECT_EQ(forms.reading, u"せいじてきなせいじ");
    EXPECT_EQ(forms.written, u"政治的な政治");
    // An ideograph the table does not know goes to the reading form only,
    // and a supplementary one goes there whole.
    const VariantForms other = ExpandDerivedEntry(u"猫\U00020000を", u"", u"", 0);
    EXPECT_EQ(other.reading, u"猫\U00020000を");
    EXPECT_EQ(other.written, u"を");
    EXPECT_EQ(kCompoundReadings[0].written, u"的");
    EXPECT_EQ(kCompoundReadings[35].reading, u"きんし");
}

TEST(DerivedEntryVariants, WarodaiArticleGetsVariantKeysWithOrdinals) {
    const std::vector<KeyElement> article = {
        {kKeyArticle, 0, 0, u""},   {kKeyReading, 0, 0, u"かける"}, {kKeyWord, 0, 0, u"掛ける"},
        {kKeyDerived, 0, 0, u"～[を]する"}, {kKeyDerived, 0, 0, u"…"},
    };
    const auto reading = Keys(BuildReadingKeys, article, kWarodaiFormat);
    const std::vector<DictionaryKey> expected = {
        {u"かける", u"掛ける", 1, 0},
        {u"かけるをする", u"掛けるをする", 1, 1},
        {u"かけるする", u"掛けるする", 1, 1},
    };
    EXPECT_EQ(reading, expected);
    const auto kanji = Keys(BuildKanjiKeys, article, kWarodaiFormat);
    ASSERT_EQ(kanji.size(), 3u);
    EXPECT_EQ(kanji[1], (DictionaryKey{u"掛けるをする", u"かけるをする", 1, 1}));
    // A headword of kana only has its reading key all the same: typing ああ finds it.
    const std::vector<KeyElement> kanaOnly = {{kKeyArticle, 0, 0, u""}, {kKeyReading, 0, 0, u"ああ"}};
    EXPECT_EQ(Keys(BuildReadingKeys, kanaOnly, kWarodaiFormat), (std::vector<DictionaryKey>{{u"ああ", u"", 1, 0}}));
    EXPECT_TRUE(Keys(BuildKanjiKeys, kanaOnly, kWarodaiFormat).empty());
}

TEST(ArticleRecord, LayoutAndDamagedSizes) {
    const auto record = BuildArticleRecord(7, 1, u"{\\a}");
    ASSERT_EQ(record.size(), 18u);
    EXPECT_EQ(record[0], 7);
    EXPECT_EQ(record[4], 7);
    EXPECT_EQ(record[8], 1);
    EXPECT_EQ(record[10], '{');
    EXPECT_EQ(ArticleRecordText(record.data(), 18), u"{\\a}");
    EXPECT_EQ(ArticleRecordText(record.data(), 17), u"{\\a");  // odd: the last byte is dropped
    EXPECT_EQ(ArticleRecordText(record.data(), 9), u"");
    const RecordRef ref = MakeKeyReference(0x1234, 6, kKunTwoOkuriganaKey, 3);
    EXPECT_EQ(ref.first, 0x1234u);
    EXPECT_EQ(KeyReferenceFormat(ref), 6);
    EXPECT_EQ(KeyReferenceFlag(ref), 14);
    EXPECT_EQ(KeyReferenceVariant(ref), 3);
}

}  // namespace
