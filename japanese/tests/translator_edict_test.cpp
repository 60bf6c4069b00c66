// The word translator over real EDICT keys: the worked inflected forms, the
// script and width rules, MinKanaLength, several dictionaries and the caret
// in mode 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "dictionary/format_detection.h"
#include "japanese/tests/translator_fixture.h"

namespace ostrel::japanese {
namespace {

// Every text the tests translate: the slice holds the words they can reach.
constexpr std::u16string_view kTexts =
    u"食べました食べています書かなかった高くなかった来たネコねこＡＢＣABC猫がいる私は学生です"
    u"勉強しますお待ちください行かなければならない話したい出したい貸したい押したくない"
    u"タベマシタタベタカイタヨマナイ食ベタ発生しました選択しました無視されました表示します存在せず"
    u"ししししできます指定すると有効になったＳＩＴシャツｒｅｍ"
    u"日本における地震による被害発生したため作ろうとして古すぎますことがないように"
    u"ほんをよみます。ごはんをたべます。テレビをみます。みたきた"
    u"開くとき、彼の行い、オンにすると、すると、現在わかっている特記すべき複数あることが分かった";

class TranslatorEdictTest : public TranslatorTest {
protected:
    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) { d.Add(u"C:\\D\\edict.qdx", EdictSlice(0, kTexts)); });
        MakeList();
    }
    std::vector<HitRow> Translate(std::u16string_view text, int32_t mode = 2, int32_t caret = 0) {
        EXPECT_EQ(translator->Translate(*list, text, mode, caret), 1u);
        return Entries();
    }
    void ExpectHit(std::u16string_view text, int32_t start, int32_t length, std::u16string_view form,
                   std::vector<int> tags) {
        auto rows = Translate(text);
        const HitRow* hit = Find(rows, start, length, form);
        ASSERT_NE(hit, nullptr) << Describe(rows);
        EXPECT_EQ(hit->tags, tags) << Describe(rows);
    }
};

TEST_F(TranslatorEdictTest, InflectedFormsReachTheirDictionaryForm) {
    ExpectHit(u"食べました", 0, 5, u"食べる", {3, 35});
    ExpectHit(u"食べています", 0, 6, u"食べる", {3, 8, 33});
    ExpectHit(u"書かなかった", 0, 6, u"書く", {3, 11, 136});
    ExpectHit(u"高くなかった", 0, 6, u"高い", {3, 137, 136});
    ExpectHit(u"来た", 0, 2, u"来る", {3, 6});
}

// A godan verb in す with たい is the desiderative, not the past with い
// left over, and it reaches further than 出る with する behind it.
// Endings written in katakana read as their hiragana, whatever script the
// stem is in; a katakana ending behind a hiragana stem starts another word.
TEST_F(TranslatorEdictTest, InflectedFormsInKatakanaReachTheirDictionaryForm) {
    ExpectHit(u"タベマシタ", 0, 5, u"食べる", {3, 35});
    ExpectHit(u"タベタ", 0, 3, u"食べる", {3, 6});
    ExpectHit(u"カイタ", 0, 3, u"書く", {3, 6});
    ExpectHit(u"ヨマナイ", 0, 4, u"読む", {3, 11});
    ExpectHit(u"食ベタ", 0, 3, u"食べる", {3, 6});
    EXPECT_EQ(Find(Translate(u"タベマシタネ"), 0, 5, u"食べる"), nullptr);  // not inside a katakana word
    const std::vector<HitRow> rows = Translate(u"たべマシタ");
    for (const HitRow& r : rows) EXPECT_TRUE(r.start >= 2 || r.start + r.length <= 2) << Describe(rows);
}

// A noun and する make one verb, which heads the default view's group; the
// one-kanji readings inside it (生す of 発生しました) fall into its group.
TEST_F(TranslatorEdictTest, NounWithSuruHeadsItsGroup) {
    options.expand = 2;
    struct Case {
        std::u16string_view text, noun;
        std::vector<int> tags;
    };
    for (const Case& c : {Case{u"発生しました", u"発生", {21, 3, 35}}, Case{u"選択しました", u"選択", {21, 3, 35}},
                          Case{u"無視されました", u"無視", {21, 3, 9, 35}}, Case{u"表示します", u"表示", {21, 3, 33}},
                          Case{u"存在せず", u"存在", {21, 3, 15}}}) {
        translator->Translate(*list, c.text, 2, 0);
        const std::vector<HitRow> rows = Rows();
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0].word, c.noun) << Describe(rows);
        EXPECT_EQ(rows[0].length, static_cast<int32_t>(c.text.size())) << Describe(rows);
        EXPECT_EQ(rows[0].tags, c.tags) << Describe(rows);
        for (const HitRow& r : rows) EXPECT_EQ(r.start, 0) << Describe(rows);
    }
    // The negative せず of する itself.
    ExpectHit(u"存在せず", 2, 2, u"する", {3, 15, 22});
}

// The default view's first row over a word is the word the text holds:
// できます is 出来る, not the colloquial でく that inflects to it too; the
// する of a noun with する is the verb, not the start of すると; に behind a
// noun is the particle and なった is なる, not 担う read in kana.
TEST_F(TranslatorEdictTest, TheWordWrittenHeadsItsGroup) {
    options.expand = 2;
    translator->Translate(*list, u"できます", 2, 0);
    std::vector<HitRow> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].reading, u"できる") << Describe(rows);
    EXPECT_EQ(rows[0].tags, (std::vector<int>{3, 33})) << Describe(rows);

    translator->Translate(*list, u"指定すると", 2, 0);
    rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].word, u"指定") << Describe(rows);
    EXPECT_EQ(rows[0].length, 4) << Describe(rows);
    for (const HitRow& r : rows) EXPECT_NE(r.reading, u"すると") << Describe(rows);

    translator->Translate(*list, u"有効になった", 2, 0);
    rows = Rows();
    const auto at = [&](int32_t start) {
        return std::find_if(rows.begin(), rows.end(), [&](const HitRow& r) { return r.start == start; });
    };
    ASSERT_NE(at(3), rows.end()) << Describe(rows);
    EXPECT_EQ(at(3)->reading, u"なる") << Describe(rows);
    EXPECT_EQ(at(3)->length, 3) << Describe(rows);
    for (const HitRow& r : rows) EXPECT_NE(r.reading, u"になう") << Describe(rows);
}

// Each word of the text heads the group it begins: a kanji word the kana
// reach from inside the word before (認める from したため, 牢として, 内容
// from ないよう) stays among that word's rows; behind a noun the set
// expressions that begin with に stay; an adjective with すぎる goes on as
// the verb すぎる does. The noun spelled as a verb's form stays first behind
// の and behind a verb (開くとき, not 解く); する behind a particle is the
// verb, and すると the conjunction only where a clause starts. わかって
// is 分かる, which the index would put behind 分かつ 'to divide'. A verb
// of one kanji and its kana begun on the last kanji of a word in kanji
// (記す of 特記すべき, 数ある of 複数ある) stays among that word's rows.
TEST_F(TranslatorEdictTest, EachWordHeadsTheGroupItBegins) {
    options.expand = 2;
    struct Case {
        std::u16string_view text;
        int32_t start, length;
        std::u16string_view reading;
    };
    for (const Case& c : {Case{u"日本における地震による被害", 2, 4, u"における"},
                          Case{u"日本における地震による被害", 8, 3, u"による"}, Case{u"発生したため", 4, 2, u"ため"},
                          Case{u"作ろうとして", 3, 3, u"として"}, Case{u"古すぎます", 0, 5, u"ふるい"},
                          Case{u"ことがないように", 5, 3, u"ように"}, Case{u"開くとき、", 2, 2, u"とき"},
                          Case{u"彼の行い、", 2, 2, u"おこない"}, Case{u"オンにすると、", 3, 2, u"する"},
                          Case{u"すると、", 0, 3, u"すると"}, Case{u"現在わかっている", 2, 6, u"わかる"}, Case{u"ことが分かった", 3, 4, u"わかる"},
                          Case{u"特記すべき", 2, 3, u"すべき"}, Case{u"複数ある", 2, 2, u"ある"}}) {
        translator->Translate(*list, c.text, 2, 0);
        const std::vector<HitRow> rows = Rows();
        // The row a reader meets at the word: the first of the last rows to start at or before it.
        const HitRow* head = nullptr;
        for (const HitRow& r : rows)
            if (r.start <= c.start && (head == nullptr || r.start > head->start)) head = &r;
        ASSERT_NE(head, nullptr) << Describe(rows);
        EXPECT_EQ(head->start, c.start) << Utf16ToUtf8(c.text) << Describe(rows);
        EXPECT_EQ(head->length, c.length) << Utf16ToUtf8(c.text) << Describe(rows);
        EXPECT_EQ(head->reading, c.reading) << Utf16ToUtf8(c.text) << Describe(rows);
    }
    ExpectHit(u"古すぎます", 0, 5, u"古い", {3, 142, 33});
}

// A beginner's sentence in kana: the verbs with two common spellings are
// headed by the everyday one (読む, 見る), which the index would put behind
// the other by its kanji's code (詠む, 看る).
TEST_F(TranslatorEdictTest, ABeginnersVerbsAreHeadedByTheirEverydaySpelling) {
    options.expand = 2;
    translator->Translate(*list, u"ほんをよみます。ごはんをたべます。テレビをみます。", 2, 0);
    const std::vector<HitRow> rows = Rows();
    const auto head = [&](int32_t start) {
        return std::find_if(rows.begin(), rows.end(), [&](const HitRow& r) { return r.start == start; });
    };
    struct Case {
        int32_t start, length;
        std::u16string_view reading, word;
    };
    for (const Case& c : {Case{2, 1, u"を", u""}, Case{3, 4, u"よむ", u"読む"}, Case{17, 3, u"テレビ", u""},
                          Case{21, 3, u"みる", u"見る"}}) {
        const auto at = head(c.start);
        ASSERT_NE(at, rows.end()) << c.start << Describe(rows);
        EXPECT_EQ(at->length, c.length) << c.start << Describe(rows);
        EXPECT_EQ(at->reading, c.reading) << c.start << Describe(rows);
        EXPECT_EQ(at->word, c.word) << c.start << Describe(rows);
    }

    // きた spells 北 'north' whole; 来る's past follows it.
    translator->Translate(*list, u"きた", 2, 0);
    const std::vector<HitRow> past = Rows();
    ASSERT_GE(past.size(), 2u) << Describe(past);
    EXPECT_EQ(past[0].word, u"北") << Describe(past);
    EXPECT_EQ(past[1].word, u"来る") << Describe(past);
    EXPECT_EQ(past[1].tags, (std::vector<int>{3, 6})) << Describe(past);
}

TEST_F(TranslatorEdictTest, GodanSuWithTaiIsTheDesiderative) {
    ExpectHit(u"話したい", 0, 4, u"話す", {3, 38});
    ExpectHit(u"貸したい", 0, 4, u"貸す", {3, 38});
    ExpectHit(u"押したくない", 0, 6, u"押す", {3, 38, 137});
    const std::vector<HitRow> rows = Translate(u"出したい");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].word, u"出す") << Describe(rows);
    EXPECT_EQ(rows[0].length, 4) << Describe(rows);
    EXPECT_EQ(rows[0].tags, (std::vector<int>{3, 38})) << Describe(rows);
}

TEST_F(TranslatorEdictTest, ProgressiveFormAlsoGivesItsTeForm) {
    ExpectHit(u"食べています", 0, 3, u"食べる", {3, 7});
}

TEST_F(TranslatorEdictTest, KatakanaTextMatchesHiraganaKeysButNotTheReverse) {
    auto katakana = Translate(u"ネコ");
    EXPECT_NE(Find(katakana, 0, 2, u"猫"), nullptr) << Describe(katakana);
    EXPECT_NE(Find(katakana, 0, 2, u"ネコ"), nullptr) << Describe(katakana);
    auto hiragana = Translate(u"ねこ");
    EXPECT_NE(Find(hiragana, 0, 2, u"猫"), nullptr) << Describe(hiragana);
    EXPECT_EQ(Find(hiragana, 0, 2, u"ネコ"), nullptr) << Describe(hiragana);
}

// ASCII letters stand for the key's fullwidth ones in their own case only:
// a capitalised word (the Latin Si, Rem at a sentence start) is no acronym.
TEST_F(TranslatorEdictTest, AsciiLettersAreAdmittedAgainstTheFullwidthKeyInTheirCase) {
    struct Case {
        std::u16string_view text, key;
        bool admitted;
    };
    for (const Case& c : {Case{u"ＡＢＣ", u"ＡＢＣ", true}, Case{u"ABC", u"ＡＢＣ", true}, Case{u"SI", u"ＳＩ", true},
                          Case{u"Tシャツ", u"Ｔシャツ", true}, Case{u"rem", u"ｒｅｍ", true}, Case{u"Si", u"ＳＩ", false},
                          Case{u"sI", u"ＳＩ", false}, Case{u"si", u"ＳＩ", false}, Case{u"Rem", u"ｒｅｍ", false}}) {
        const auto rows = Translate(c.text);
        const HitRow* hit = Find(rows, 0, static_cast<int32_t>(c.text.size()), c.key);
        EXPECT_EQ(hit != nullptr, c.admitted) << Utf16ToUtf8(c.text) << " " << Describe(rows);
    }
}

TEST_F(TranslatorEdictTest, MinKanaLengthTwoDropsSingleKanaWords) {
    auto all = Translate(u"猫がいる");
    EXPECT_NE(Find(all, 1, 1, u"が"), nullptr) << Describe(all);
    options.minKanaLength = 2;
    auto rows = Translate(u"猫がいる");
    for (const HitRow& r : rows) EXPECT_FALSE(r.length == 1 && r.word.empty()) << Describe(rows);
    EXPECT_NE(Find(rows, 0, 1, u"猫"), nullptr) << Describe(rows);
    EXPECT_NE(Find(rows, 2, 2, u"いる"), nullptr) << Describe(rows);
}

TEST_F(TranslatorEdictTest, EmptyTextAnswersZeroAndClearsTheList) {
    Translate(u"猫");
    ASSERT_GT(list->EntryCount(), 0);
    EXPECT_EQ(translator->Translate(*list, u"", 2, 0), 0u);
    EXPECT_EQ(list->EntryCount(), 0);
    EXPECT_EQ(list->RowCount(), 0);
}

TEST_F(TranslatorEdictTest, ListReadsTheTranslatorsOwnCopyOfTheText) {
    {
        std::u16string shortLived = u"私は学生です";
        translator->Translate(*list, shortLived, 2, 0);
        shortLived.assign(shortLived.size(), u'x');
    }
    ASSERT_NE(list->analysedText, nullptr);
    EXPECT_EQ(std::u16string_view(list->analysedText), u"私は学生です");
}

TEST_F(TranslatorEdictTest, TextIsCutAt2047UnitsAndListedWhole) {
    std::u16string longText(2500, u'猫');
    translator->Translate(*list, longText, 2, 0);
    EXPECT_EQ(translator->Length(), kMaxTranslatedUnits);
    EXPECT_EQ(translator->StoppedAt(), -1);
    int32_t reach = 0;
    for (const HitRow& r : Entries()) reach = std::max(reach, r.start + r.length);
    EXPECT_EQ(reach, kMaxTranslatedUnits);
    EXPECT_LE(list->EntryCount(), list->EntryLimit());
}

// The list has room for a couple of dozen hits a character. A text with
// more (each し is a hundred words here) is listed whole up to the first
// word that lost a hit, and nothing behind it: a word is never shown with
// some of its rows missing.
TEST_F(TranslatorEdictTest, MoreHitsThanTheListHoldsStopAtAWordAndSaySo) {
    const std::u16string text = std::u16string(300, u'し') + u"猫";
    translator->Translate(*list, text, 2, 0);
    const int32_t stop = translator->StoppedAt();
    ASSERT_GT(stop, 0);
    ASSERT_LT(stop, 300);
    const std::vector<HitRow> rows = Entries();
    EXPECT_LE(list->EntryCount(), list->EntryLimit());
    std::vector<int32_t> perStart(static_cast<size_t>(stop), 0);
    for (const HitRow& r : rows) {
        ASSERT_LT(r.start, stop) << Describe(rows);
        ++perStart[static_cast<size_t>(r.start)];
    }
    // Every position before the stop keeps all its words: as many as the
    // same run of し gives at its middle when the text is short.
    translator->Translate(*list, u"ししししし", 2, 0);
    int32_t middle = 0;
    for (const HitRow& r : Entries()) middle += r.start == 2 ? 1 : 0;
    for (int32_t p = 2; p + 3 < stop; ++p) EXPECT_EQ(perStart[static_cast<size_t>(p)], middle) << p;
    translator->Translate(*list, u"猫", 2, 0);
    EXPECT_EQ(translator->StoppedAt(), -1);
}

TEST_F(TranslatorEdictTest, ModeZeroListsOnlyTheWordsInsideTheHitsOverTheCaret) {
    // Caret on 学 of 私は学生です: は [1, 2) and 学生 [2, 4) touch it, so
    // nothing before 1 or behind 4 stays (私, です).
    translator->Translate(*list, u"私は学生です", 0, 2);
    auto rows = Entries();
    ASSERT_FALSE(rows.empty());
    for (const HitRow& r : rows) {
        EXPECT_GE(r.start, 1) << Describe(rows);
        EXPECT_LE(r.start + r.length, 4) << Describe(rows);
    }
    EXPECT_NE(Find(rows, 2, 2, u"学生"), nullptr) << Describe(rows);
}

TEST_F(TranslatorEdictTest, HitsComeOrderedByPositionWithTheLongerFirst) {
    translator->Translate(*list, u"私は学生です", 2, 0);
    auto rows = Entries();
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_LE(rows[i - 1].start, rows[i].start);
        if (rows[i - 1].start == rows[i].start) {
            ASSERT_GE(rows[i - 1].length, rows[i].length);
        }
    }
}

TEST_F(TranslatorEdictTest, ExpandZeroListsEveryHitAndTwoOnlyGroupHeads) {
    options.expand = 0;
    translator->Translate(*list, u"私は学生です", 2, 0);
    const int32_t all = list->RowCount();
    options.expand = 2;
    translator->Translate(*list, u"私は学生です", 2, 0);
    EXPECT_LT(list->RowCount(), all);
    EXPECT_GT(list->RowCount(), 0);
}

class TranslatorTwoDictionariesTest : public TranslatorTest {
protected:
    void SetUp() override {
        std::vector<KeyPair> keys = {{u"ねこ", u"猫"}, {u"がくせい", u"学生"}};
        Dictionaries([&](TranslatorDictionaries& d) {
            d.Add(u"C:\\D\\edict.qdx", keys, 1);
            d.Add(u"C:\\D\\enamdict.qdx", {{u"ねこ", u"猫"}, {u"がく", u"学"}}, 500);
        });
        MakeList();
    }
};

TEST_F(TranslatorTwoDictionariesTest, TheSameWordInTwoDictionariesKeepsBothHits) {
    translator->Translate(*list, u"ねこ", 2, 0);
    std::set<const RDFDictionary*> found;
    for (int32_t i = 0; i < list->EntryCount(); ++i) found.insert(list->EntryAt(i).dictionary);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(translator->NamesDictionary(), dictionaries->shelf.dictionaries[1]);
}

TEST_F(TranslatorTwoDictionariesTest, NamesSwitchKeepsTheNamesDictionaryOutOfReadingPasses) {
    options.skipNamesDictionary = 1;
    translator->Translate(*list, u"がく", 2, 0);
    for (int32_t i = 0; i < list->EntryCount(); ++i) EXPECT_NE(list->EntryAt(i).dictionary, dictionaries->shelf.dictionaries[1]);
    translator->Translate(*list, u"学", 2, 0);  // the kanji pass still reads it
    bool names = false;
    for (int32_t i = 0; i < list->EntryCount(); ++i) names = names || list->EntryAt(i).dictionary == dictionaries->shelf.dictionaries[1];
    EXPECT_TRUE(names);
}

TEST_F(TranslatorTwoDictionariesTest, ExcludedDictionariesAreNotRead) {
    dictionaries->shelf.dictionaries[1]->flags |= kDictionaryNotTranslated;
    translator->Translate(*list, u"ねこ", 2, 0);
    for (int32_t i = 0; i < list->EntryCount(); ++i) EXPECT_EQ(list->EntryAt(i).dictionary, dictionaries->shelf.dictionaries[0]);
}

// KANJIDIC's on-readings (katakana) of the kanji read シ, ス, テ or ム, in a
// file of KANJIDIC records: opening it makes it a kanji dictionary.
class TranslatorKanjiDictionaryTest : public TranslatorTest {
protected:
    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) {
            std::vector<KeyPair> keys;
            for (const std::u16string& line : EdictLines("kanjidic", 1)) {
                const std::u16string kanji = line.substr(0, line.find(u' '));
                for (size_t at = 0; at < line.size();) {
                    const size_t end = std::min(line.find(u' ', at), line.size());
                    const std::u16string token = line.substr(at, end - at);
                    const bool onReading = !token.empty() && std::all_of(token.begin(), token.end(), [](char16_t c) {
                        return c >= 0x30A1 && c <= 0x30FC;
                    });
                    if (onReading && std::u16string_view(u"システム").find(token[0]) != std::u16string_view::npos)
                        keys.emplace_back(token, kanji);
                    at = end + 1;
                }
            }
            EXPECT_NE(d.Add(u"C:\\D\\kanjidic.qdx", keys, 1, {}, 6)->flags & kFormatKanji, 0u);
        });
        MakeList();
    }
    int32_t HitsAt(int32_t start) const {
        int32_t count = 0;
        for (const HitRow& r : Entries()) count += r.start == start ? 1 : 0;
        return count;
    }
};

// シ is a hundred and more kanji read シ; inside システム it is none of them.
TEST_F(TranslatorKanjiDictionaryTest, OnReadingsAreNotMatchedInsideKatakanaWords) {
    translator->Translate(*list, u"シ", 2, 0);
    EXPECT_GT(HitsAt(0), 100);
    translator->Translate(*list, u"システム", 2, 0);
    EXPECT_EQ(list->EntryCount(), 0) << Describe(Entries());
    translator->Translate(*list, u"ムとシ", 2, 0);  // whole katakana words between hiragana
    EXPECT_GT(HitsAt(0), 10);
    EXPECT_GT(HitsAt(2), 100);
}

}  // namespace
}  // namespace ostrel::japanese

namespace ostrel::japanese {
namespace {

// Random kana, kanji of the slice, punctuation, Latin letters and blanks
// through the whole translation under the sanitizers: every listed hit lies
// inside the text and the list never exceeds its capacity.
// OSTREL_LONG_FUZZ=1: 20 times as many rounds.
TEST_F(TranslatorEdictTest, RandomTextsStayInsideTheirBounds) {
    const std::u16string alphabet = std::u16string(kTexts) + u"、。・～ ー々ABCａｂ０9\u3000ぁゃっゔヴヶ";
    std::mt19937 random(25);
    const int rounds = std::getenv("OSTREL_LONG_FUZZ") != nullptr ? 2000 : 100;
    for (int round = 0; round < rounds; ++round) {
        std::u16string text(1 + random() % (round % 20 == 0 ? 1100 : 40), u' ');
        for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
        const int32_t mode = static_cast<int32_t>(random() % 3);
        const int32_t caret = static_cast<int32_t>(random() % text.size());
        translator->Translate(*list, text, mode, caret);
        const int32_t length = translator->Length();
        ASSERT_LE(length, kMaxTranslatedUnits);
        ASSERT_LE(list->EntryCount(), list->EntryLimit());
        for (int32_t r = 0; r < list->RowCount(); ++r) {
            const WordListEntry& e = list->EntryAt(list->EntryOfRow(r));
            ASSERT_GE(e.matchStart, 0);
            ASSERT_GT(e.matchLength, 0);
            ASSERT_LE(e.matchStart + e.matchLength, length) << round;
        }
    }
}

}  // namespace
}  // namespace ostrel::japanese
