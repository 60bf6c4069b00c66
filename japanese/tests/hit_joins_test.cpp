// The post-processing passes of a translation, one group per pass, over
// hand-made hits of the translated-words list, and every pass on a full list.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/tests/word_list_fixture.h"
#include "japanese/hit_joins.h"

namespace ostrel::japanese {
namespace {

class HitJoinsTest : public ::testing::Test {
protected:
    HitJoinsTest() : list(&shelf, kListTranslatedWords) {}

    WordListEntry* Hit(int32_t start, int32_t length, std::u16string_view reading, std::vector<uint8_t> tags,
                       RDFDictionary* dictionary = nullptr) {
        WordListEntry e;
        std::memset(&e, 0, sizeof e);
        e.flags = kEntryListed;
        e.matchStart = start;
        e.matchLength = length;
        e.dictionary = dictionary;
        e.priority = kDefaultEntryPriority;
        std::copy(reading.begin(), reading.end(), e.reading);
        e.readingLength = static_cast<int32_t>(reading.size());
        std::copy(tags.begin(), tags.end(), e.tags);
        return list.AppendRaw(e);
    }
    // The tags of the visible entry over [start, start + length), empty when none.
    std::vector<int> TagsOf(int32_t start, int32_t length) const {
        for (int32_t i = 0; i < list.EntryCount(); ++i) {
            const WordListEntry& e = list.EntryAt(i);
            if ((e.flags & kEntryDeleted) || e.matchStart != start || e.matchLength != length) continue;
            std::vector<int> out;
            for (uint8_t t : e.tags) {
                if (t == 0) break;
                out.push_back(t);
            }
            return out;
        }
        return {-1};
    }

    TestShelf shelf;
    WordList list;
};

TEST_F(HitJoinsTest, NounParticlesLengthenTheWordBeforeThem) {
    Hit(0, 2, u"がくせい", {});
    JoinNounParticles(list, u"学生の本");
    EXPECT_EQ(TagsOf(0, 3), std::vector<int>{kJoinNo});
}

TEST_F(HitJoinsTest, NounParticleRulesRefuseTheirContexts) {
    Hit(0, 1, u"かれ", {});
    JoinNounParticles(list, u"彼のに");  // の before に
    EXPECT_EQ(TagsOf(0, 1), std::vector<int>{});
    Hit(0, 1, u"かれ", {3});  // a chain that is not empty
    JoinNounParticles(list, u"彼の本");
    EXPECT_EQ(TagsOf(0, 1), std::vector<int>{3});
}

// 符号なし is the noun and 無し 'without': な joins no noun before a なし
// that ends there; before しくみ it is the adjectival な.
TEST_F(HitJoinsTest, NaIsNoParticleOfAnAdjectiveBeforeNashiThatEndsAWord) {
    for (const char16_t* text : {u"符号なし 64", u"符号なしで", u"符号なし、", u"符号なしの"}) {
        list.Clear();
        Hit(0, 2, u"ふごう", {});
        JoinNounParticles(list, text);
        EXPECT_EQ(TagsOf(0, 2), std::vector<int>{}) << Utf16ToUtf8(text);
    }
    list.Clear();
    Hit(0, 2, u"かんたん", {});
    JoinNounParticles(list, u"簡単なしくみ");
    EXPECT_EQ(TagsOf(0, 3), std::vector<int>{kJoinNa});
}

TEST_F(HitJoinsTest, TekiAndTekiNaJoinOnlyBehindAKanji) {
    Hit(0, 2, u"けいざい", {});
    JoinNounParticles(list, u"経済的な人");
    EXPECT_EQ(TagsOf(0, 4), std::vector<int>{kJoinTekiNa});
    list.Clear();
    Hit(0, 2, u"けいざい", {});
    JoinNounParticles(list, u"経済的に");  // 的な is refused before に: 的 alone
    EXPECT_EQ(TagsOf(0, 3), std::vector<int>{kJoinTeki});
    list.Clear();
    Hit(0, 2, u"あれ", {});
    JoinNounParticles(list, u"あれ的");
    EXPECT_EQ(TagsOf(0, 2), std::vector<int>{});
}

TEST_F(HitJoinsTest, SuruVerbJoinsTheStemBeforeIt) {
    Hit(0, 2, u"べんきょう", {2});
    Hit(2, 2, u"する", {3, kJoinSuruMarker});
    JoinSuruVerbs(list, u"勉強する");
    EXPECT_EQ(TagsOf(0, 4), (std::vector<int>{kJoinSuruVerb, 3}));
}

// A noun of two kanji or katakana and more takes する; a lone kanji, a
// hiragana word or an inflected word does not, and the する of a second
// dictionary makes no second join.
TEST_F(HitJoinsTest, SuruVerbJoinsANounWrittenInKanjiOrKatakana) {
    Hit(0, 2, u"はっせい", {});
    Hit(2, 4, u"する", {3, 35, kJoinSuruMarker});
    Hit(2, 4, u"する", {3, 35, kJoinSuruMarker});
    JoinSuruVerbs(list, u"発生しました");
    EXPECT_EQ(TagsOf(0, 6), (std::vector<int>{kJoinSuruVerb, 3, 35}));
    EXPECT_EQ(list.EntryCount(), 4);
    list.Clear();
    Hit(0, 2, u"はっせい", {});
    Hit(2, 4, u"する", {3, 35, kJoinSuruMarker});
    JoinSuruVerbs(list, u"発生しました", false);  // a phrase split keeps them apart
    EXPECT_EQ(list.EntryCount(), 2);
    list.Clear();
    Hit(0, 3, u"コピー", {});
    Hit(3, 2, u"する", {3, kJoinSuruMarker});
    JoinSuruVerbs(list, u"コピーする");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{kJoinSuruVerb, 3}));
    for (auto [text, stem] : {std::pair<std::u16string_view, std::vector<uint8_t>>{u"愛する", {}}, {u"これする", {}},
                              {u"高くする", {3, 137}}}) {
        list.Clear();
        const int32_t at = static_cast<int32_t>(text.size()) - 2;
        Hit(0, at, u"x", stem);
        Hit(at, 2, u"する", {3, kJoinSuruMarker});
        JoinSuruVerbs(list, text);
        EXPECT_EQ(list.EntryCount(), 2) << Utf16ToUtf8(text);
    }
}

TEST_F(HitJoinsTest, SuruVerbIsNotJoinedWhenTheDictionaryHoldsTheWhole) {
    auto* d = reinterpret_cast<RDFDictionary*>(&shelf);  // only compared, never read
    Hit(0, 2, u"べんきょう", {2}, d);
    Hit(0, 4, u"べんきょうする", {3}, d);
    Hit(2, 2, u"する", {3, kJoinSuruMarker});
    JoinSuruVerbs(list, u"勉強する");
    EXPECT_EQ(list.EntryCount(), 3);
    // A verb spelled as the noun with す but read otherwise is another word
    // (指示す さししめす): the noun still joins its する.
    list.Clear();
    Hit(0, 2, u"しじ", {}, d);
    Hit(0, 5, u"さししめす", {3, 33}, d);
    Hit(2, 3, u"する", {3, 33, kJoinSuruMarker});
    JoinSuruVerbs(list, u"指示します");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{3, 33}));
    EXPECT_EQ(list.EntryCount(), 4);
}

TEST_F(HitJoinsTest, RequestJoinsTheTeFormAndKudasai) {
    Hit(0, 3, u"まつ", {3, 7});
    Hit(3, 4, u"ください", {3});
    JoinRequests(list, u"待ってください");
    EXPECT_EQ(TagsOf(0, 7), (std::vector<int>{3, kJoinKudasai}));
}

TEST_F(HitJoinsTest, NegativeRequestTurns30Into11) {
    Hit(0, 5, u"まつ", {3, 30});
    Hit(5, 4, u"ください", {3});
    JoinRequests(list, u"待たないでください");
    EXPECT_EQ(TagsOf(0, 9), (std::vector<int>{3, 11, kJoinKudasai}));
}

TEST_F(HitJoinsTest, KudasaimasenkaTakesTheQuestionMark) {
    Hit(0, 3, u"まつ", {3, 7});
    Hit(3, 6, u"くださる", {3, 33});
    JoinRequests(list, u"待ってくださいますか");
    EXPECT_EQ(TagsOf(0, 10), (std::vector<int>{3, kJoinKudasai, 33}));
}

TEST_F(HitJoinsTest, HonorificPrefixJoinsStemAndTail) {
    Hit(1, 2, u"まつ", {3, 2});
    Hit(3, 4, u"ください", {3});
    JoinHonorificPrefixes(list, u"お待ちください");
    EXPECT_EQ(TagsOf(0, 7), (std::vector<int>{3, kJoinKudasai}));
}

TEST_F(HitJoinsTest, HonorificPrefixBeforeAKanjiNounGives161) {
    Hit(1, 2, u"れんらく", {});
    Hit(3, 2, u"です", {});
    JoinHonorificPrefixes(list, u"ご連絡です");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{kJoinHonorificKanji}));
}

TEST_F(HitJoinsTest, HonorificJoinGoesOnBehindShite) {
    Hit(1, 2, u"まつ", {3, 2});
    Hit(3, 2, u"する", {3, 7});
    Hit(5, 4, u"ください", {3});
    JoinHonorificPrefixes(list, u"お待ちしてください");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{3, kJoinSuru, 7}));
    EXPECT_EQ(TagsOf(0, 9), (std::vector<int>{3, kJoinSuru, 7, kJoinKudasai}));
}

TEST_F(HitJoinsTest, ObligationAfterANegativeConditional) {
    Hit(0, 6, u"いく", {3, 11, 14});
    JoinObligations(list, u"行かなければならない");
    EXPECT_EQ(TagsOf(0, 10), (std::vector<int>{3, kJoinNegativeObligation}));
}

TEST_F(HitJoinsTest, ObligationAfterTeWaAndAPositiveConditional) {
    Hit(0, 5, u"いく", {3, 137, 7});
    JoinObligations(list, u"行かなくてはいけない");
    EXPECT_EQ(TagsOf(0, 10), (std::vector<int>{3, kJoinNegativeObligation}));
    list.Clear();
    Hit(0, 3, u"いく", {3, 14});
    JoinObligations(list, u"行けばだめ");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{3, kJoinObligation}));
}

TEST_F(HitJoinsTest, NegativeConditionalBecomesOneCode) {
    Hit(0, 6, u"いく", {3, 11, 14});
    NameNegativeConditionals(list, u"行かなければ");
    EXPECT_EQ(TagsOf(0, 6), (std::vector<int>{3, kJoinNegativeConditional}));
}

TEST_F(HitJoinsTest, ColloquialNegativeConditionalDependsOnWhatFollows) {
    Hit(0, 5, u"いく", {3, 11, 42});
    NameNegativeConditionals(list, u"行かなきゃ。");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{3, kJoinNegativeObligation}));
    list.Clear();
    Hit(0, 5, u"いく", {3, 11, 42});
    NameNegativeConditionals(list, u"行かなきゃ駄目");
    EXPECT_EQ(TagsOf(0, 5), (std::vector<int>{3, kJoinNegativeConditional}));
}

// Behind a noun, a word in kanji that the kana read from a particle into a
// form of する is hidden (二死 from にし of 有効にします, 猛者 from もさ of
// 削除もされません); one that reads on past the form (若しくは), a word in
// kana alone that does not inflect (にして), and one behind a hiragana stay.
TEST_F(HitJoinsTest, AWordReadFromAParticleIntoSuruIsHidden) {
    const auto word = [&](int32_t start, int32_t length, std::u16string_view reading, std::u16string_view spelled) {
        WordListEntry* e = Hit(start, length, reading, {});
        e->indexId = kIndexReadingWord;
        std::copy(spelled.begin(), spelled.end(), e->word);
        e->wordLength = static_cast<int32_t>(spelled.size());
        return e;
    };
    const auto shown = [&](std::u16string_view text, int32_t at, int32_t length, std::u16string_view reading,
                           std::u16string_view spelled, int32_t suruLength) {
        list.Clear();
        word(at, length, reading, spelled);
        Hit(at + 1, suruLength, u"する", {3, 33, kJoinSuruMarker});
        HideWordsOverParticleAndSuru(list, text);
        return (list.EntryAt(0).flags & kEntryDeleted) == 0;
    };
    EXPECT_FALSE(shown(u"有効にします", 2, 2, u"にし", u"二死", 3));
    EXPECT_FALSE(shown(u"削除もされません", 2, 2, u"もさ", u"猛者", 5));
    EXPECT_TRUE(shown(u"刊行物もしくは本", 3, 4, u"もしくは", u"若しくは", 1));
    EXPECT_TRUE(shown(u"有効にして", 2, 3, u"にして", u"", 2));
    EXPECT_TRUE(shown(u"ようにします", 2, 2, u"にし", u"二死", 3));
}

// The quoting と behind kana: a word in kanji read from it into する
// (年 of ようとし) goes, とする written in kana stays.
TEST_F(HitJoinsTest, AWordInKanjiReadFromTheQuotingToIntoSuruIsHidden) {
    const auto shown = [&](std::u16string_view text, int32_t at, std::u16string_view spelled,
                           std::vector<uint8_t> tags) {
        list.Clear();
        WordListEntry* e = Hit(at, 2, u"とし", tags);
        e->indexId = kIndexReadingWord;
        std::copy(spelled.begin(), spelled.end(), e->word);
        e->wordLength = static_cast<int32_t>(spelled.size());
        Hit(at + 1, 1, u"する", {3, 2, kJoinSuruMarker});
        HideWordsOverParticleAndSuru(list, text);
        return (list.EntryAt(0).flags & kEntryDeleted) == 0;
    };
    EXPECT_FALSE(shown(u"見つけようとし、", 5, u"年", {}));
    EXPECT_FALSE(shown(u"原盤だとし、", 3, u"都市", {}));
    EXPECT_TRUE(shown(u"見つけようとし、", 5, u"", {3, 2, 71}));
    EXPECT_TRUE(shown(u"目的とし、", 2, u"", {3, 2, 71}));
    EXPECT_TRUE(shown(u"とし、", 0, u"年", {}));  // nothing quoted before it
}

// A verb read from the particle に behind kana, where a common verb's form
// reads the same kana from behind it: 担った of ように|なった goes, and a
// verb with nothing behind its に (似て) stays.
TEST_F(HitJoinsTest, AVerbReadOverNiGivesWayToAFormBehindIt) {
    const auto shown = [&](std::u16string_view text, int32_t at, int32_t length, std::u16string_view behind,
                           bool common) {
        list.Clear();
        WordListEntry* verb = Hit(at, length, u"になう", {3, 6});
        verb->indexId = kIndexReadingWord;
        const std::u16string_view spelled = u"担う";
        std::copy(spelled.begin(), spelled.end(), verb->word);
        verb->wordLength = 2;
        if (!behind.empty()) {
            WordListEntry* form = Hit(at + 1, length - 1, behind, {3, 6});
            if (common) form->flags |= kEntryCommonWord;
        }
        HideVerbsOverParticleNi(list, text);
        return (list.EntryAt(0).flags & kEntryDeleted) == 0;
    };
    EXPECT_FALSE(shown(u"ようになった", 2, 4, u"なる", true));
    EXPECT_TRUE(shown(u"ようになった", 2, 4, u"なる", false));
    EXPECT_TRUE(shown(u"ようになった", 2, 4, u"", true));
}

// A word in kanji read from hiragana that the kana part into a common
// word's form and a word in kana alone: 内科 of ない|か and 内容 of
// ない|よう go; so does nothing where the word is usually written in kana
// (様に of よう|に), the form is a bare stem (食べ物 of たべ|もの) or rare,
// or the text writes the word in kanji.
TEST_F(HitJoinsTest, AWordInKanjiThatTheKanaSplitIntoAFormAndAParticleIsHidden) {
    struct Part {
        int32_t start, length;
        std::u16string_view reading, spelled;
        std::vector<uint8_t> tags;
        uint32_t flags;
    };
    const auto shown = [&](std::u16string_view text, std::vector<Part> parts) {
        list.Clear();
        for (const Part& p : parts) {
            WordListEntry* e = Hit(p.start, p.length, p.reading, p.tags);
            std::copy(p.spelled.begin(), p.spelled.end(), e->word);
            e->wordLength = static_cast<int32_t>(p.spelled.size());
            e->flags |= p.flags;
        }
        HideKanjiWordsSplitByForms(list, text);
        return (list.EntryAt(0).flags & kEntryDeleted) == 0;
    };
    const uint32_t inKanji = kEntryCommonWord | kEntryWrittenInKanji;
    const Part naika{2, 3, u"ないか", u"内科", {}, inKanji};
    const Part nai{2, 2, u"ない", u"無い", {3}, kEntryCommonWord};
    const Part ka{4, 1, u"か", u"", {}, kEntryCommonWord};
    EXPECT_FALSE(shown(u"本がないか、", {naika, nai, ka}));
    EXPECT_TRUE(shown(u"本がないか、", {naika, nai}));                      // no particle behind
    EXPECT_TRUE(shown(u"本がないか、", {naika, {2, 2, u"ない", u"無い", {3}, 0}, ka}));  // rare
    EXPECT_TRUE(shown(u"本が内科か", {naika, nai, ka}));                     // written in kanji
    EXPECT_TRUE(shown(u"本がないか、", {{2, 3, u"ないか", u"内科", {}, kEntryUsuallyKana}, nai, ka}));
    // A dictionary compiled before the kana mark was read: nothing is known.
    EXPECT_TRUE(shown(u"本がないか、", {{2, 3, u"ないか", u"内科", {}, kEntryCommonWord}, nai, ka}));
    EXPECT_FALSE(shown(u"本がないように", {{2, 4, u"ないよう", u"内容", {}, inKanji}, nai,
                                         {4, 2, u"よう", u"様", {}, kEntryUsuallyKana}}));
    EXPECT_TRUE(shown(u"本がないように", {{2, 4, u"ないよう", u"内容", {}, inKanji}, nai,
                                        {4, 2, u"よう", u"様", {}, kEntryWrittenInKanji}}));
    EXPECT_FALSE(shown(u"本がないように", {{2, 4, u"ないよう", u"内容", {}, inKanji}, nai,
                                         {4, 2, u"よう", u"", {}, 0}}));
    EXPECT_TRUE(shown(u"たべもの", {{0, 4, u"たべもの", u"食べ物", {}, inKanji},
                                   {0, 2, u"たべる", u"食べる", {3, 2}, kEntryCommonWord},
                                   {2, 2, u"もの", u"", {}, kEntryCommonWord}}));
}

TEST_F(HitJoinsTest, EveryPassSurvivesAFullList) {
    const std::u16string text = u"お待ちしてください勉強する行かなければならない学生の本";
    for (int32_t i = 0; i < WordList::kMaxEntries; ++i) {
        switch (i % 4) {
            case 0: Hit(1, 2, u"まつ", {3, 2}); break;
            case 1: Hit(3, 2, u"する", {3, 7, kJoinSuruMarker}); break;
            case 2: Hit(5, 4, u"ください", {3}); break;
            default: Hit(13, 6, u"いく", {3, 11, 14}); break;
        }
    }
    ASSERT_EQ(list.EntryCount(), WordList::kMaxEntries);
    EXPECT_EQ(PostProcessHits(list, text, true, 2), 1);
    EXPECT_EQ(list.EntryCount(), WordList::kMaxEntries);
}

}  // namespace
}  // namespace ostrel::japanese
