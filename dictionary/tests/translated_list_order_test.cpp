// Ordering and groups of the translated-words list: competing hits, groups of
// nested hits, collapse and expand, and reading the analysed text no further
// than its end.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"

namespace {

WordListEntry Hit(int32_t start, int32_t length, int32_t priority, std::vector<uint8_t> tags = {3},
                  int32_t recordId = 0) {
    WordListEntry entry{};
    entry.matchStart = start;
    entry.matchLength = length;
    entry.priority = priority;
    entry.recordId = static_cast<uint32_t>(recordId);
    entry.indexId = kIndexReadingWord;
    for (size_t i = 0; i < tags.size() && i < 16; ++i) entry.tags[i] = tags[i];
    entry.flags = kEntryListed;
    return entry;
}

struct OrderTest : ::testing::Test {
    std::u16string text = u"食べています";
    WordList list{nullptr, kListTranslatedWords};
    void SetUp() override { list.analysedText = text.c_str(); }
    std::vector<int32_t> Records() {
        std::vector<int32_t> ids;
        for (int32_t i = 0; i < list.EntryCount(); ++i) ids.push_back(static_cast<int32_t>(list.EntryAt(i).recordId));
        return ids;
    }
};

TEST_F(OrderTest, SameStartPlacesTheLongerThenTheHigherPriorityFirst) {
    list.AppendRaw(Hit(2, 1, 200, {3}, 1));
    list.AppendRaw(Hit(0, 2, 100, {3}, 2));
    list.AppendRaw(Hit(0, 6, 100, {3, 8, 33}, 3));
    list.AppendRaw(Hit(0, 2, 150, {3}, 4));
    EXPECT_EQ(list.SortByTextPosition(2), 1);
    EXPECT_EQ(Records(), (std::vector<int32_t>{3, 4, 2, 1}));
    EXPECT_NE(list.EntryAt(0).flags & kEntryGroupEnd, 0u);
    EXPECT_EQ(list.EntryAt(3).flags & kEntryGroupEnd, 0u);  // nested in the first
}

TEST_F(OrderTest, WithExpandTwoTheLastOfIdenticalHitsHeadsTheGroup) {
    for (int32_t id = 1; id <= 3; ++id) list.AppendRaw(Hit(0, 2, 100, {3}, id));
    list.SortByTextPosition(2);
    EXPECT_EQ(list.EntryAt(0).flags & kEntryGroupStart, 0u);
    EXPECT_NE(list.EntryAt(2).flags & kEntryGroupStart, 0u);
    list.SortByTextPosition(1);
    EXPECT_NE(list.EntryAt(0).flags & kEntryGroupStart, 0u);
}

TEST_F(OrderTest, CollapsingAGroupOfFourLeavesOneRowAndExpandingShowsFour) {
    list.AppendRaw(Hit(0, 6, 100, {3}, 1));
    list.AppendRaw(Hit(0, 2, 100, {3}, 2));
    list.AppendRaw(Hit(2, 1, 100, {3}, 3));
    list.AppendRaw(Hit(3, 2, 100, {3}, 4));
    list.SortByTextPosition(1);
    list.RebuildVisibleIndex();
    EXPECT_EQ(list.RowCount(), 4);
    auto collapsed = list.CollapseGroup(2);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(collapsed.first, 0);
    auto expanded = list.ExpandGroup(2);
    EXPECT_EQ(list.RowCount(), 4);
    EXPECT_EQ(expanded.first, 2);
    EXPECT_EQ(expanded.second, 3);
    EXPECT_EQ(list.OffsetInGroup(3), 3);
    EXPECT_EQ(list.FindPrevFlagged(3, kEntryGroupEnd), 0);
}

TEST_F(OrderTest, SuruBareFormAndOtherCodesDecideBeforeTheShelf) {
    // 3, 21, 22 and 71 count as no other codes.
    EXPECT_EQ(list.PreferHit(Hit(0, 2, 100, {3, 22}), Hit(0, 2, 200, {3})), 1);
    EXPECT_EQ(list.PreferHit(Hit(0, 2, 100, {3, 71}), Hit(0, 2, 100, {3, 21})), 1);
    EXPECT_EQ(list.PreferHit(Hit(0, 2, 100, {3}), Hit(0, 2, 100, {3, 8})), 1);   // fewer codes
    EXPECT_EQ(list.PreferHit(Hit(0, 2, 100, {3, 8}), Hit(0, 2, 100, {3})), 0);
    EXPECT_EQ(list.PreferHit(Hit(0, 2, 90, {3, 8}), Hit(0, 2, 100, {3, 6})), 0);  // both inflected: priority
}

// Behind て, を or で a dictionary form is preferred to a hit without one,
// where nothing before decides; elsewhere the two tie (the shelf decides).
TEST_F(OrderTest, BehindTeWoAndDeTheDictionaryFormIsPreferred) {
    const WordListEntry form = Hit(2, 2, 100, {3, 8}), other = Hit(2, 2, 100, {5});
    for (const char16_t* behind : {u"見てある", u"本をある", u"車である", u"本がある"}) {
        text = behind;
        list.analysedText = text.c_str();
        const bool particle = text[1] != u'が';
        EXPECT_EQ(list.PreferHit(form, other), particle ? 1 : 0) << Utf16ToUtf8(text);
        EXPECT_EQ(list.PreferHit(other, form), 0) << Utf16ToUtf8(text);
    }
}

TEST_F(OrderTest, ReadingAgreementStopsAtTheTextEnd) {
    text = u"たべ";
    list.analysedText = text.c_str();
    WordListEntry a = Hit(0, 2, 100), b = Hit(0, 2, 100);
    const std::u16string ra = u"たべるもの", rb = u"たかいやま";
    std::memcpy(a.reading, ra.data(), ra.size() * 2);
    std::memcpy(b.reading, rb.data(), rb.size() * 2);
    a.readingLength = b.readingLength = 5;  // longer than the text: read up to its end only
    EXPECT_EQ(list.PreferHit(a, b), 1);
}

// Hits the rules leave even: the spelling its dictionary marks common heads,
// wherever the index put it (読む behind 訓む and 詠む for よみます); the
// reading's agreement with the text chooses only between rare words, so
// おります stays 居る, the first of two common words, before 下りる.
TEST_F(OrderTest, EvenHitsPutTheCommonSpellingFirstAndAgreementDecidesOnlyBetweenRareOnes) {
    const auto spelled = [](std::u16string_view reading, bool common, int32_t record) {
        WordListEntry hit = Hit(0, 4, 100, {3, 33}, record);
        std::memcpy(hit.reading, reading.data(), reading.size() * 2);
        hit.readingLength = static_cast<int32_t>(reading.size());
        if (common) hit.flags |= kEntryCommonWord;
        return hit;
    };
    text = u"よみます";
    list.analysedText = text.c_str();
    list.AppendRaw(spelled(u"よむ", false, 1));  // 訓む
    list.AppendRaw(spelled(u"よむ", false, 2));  // 詠む
    list.AppendRaw(spelled(u"よむ", true, 3));   // 読む
    list.SortByTextPosition(1);
    EXPECT_EQ(Records(), (std::vector<int32_t>{3, 1, 2}));

    text = u"おります";
    list.analysedText = text.c_str();
    EXPECT_EQ(list.PreferHit(spelled(u"おりる", true, 0), spelled(u"おる", true, 0)), 0);
    EXPECT_EQ(list.PreferHit(spelled(u"おりる", false, 0), spelled(u"おる", false, 0)), 1);
    EXPECT_EQ(list.PreferHit(spelled(u"おる", true, 0), spelled(u"おりる", false, 0)), 1);
}

// A rare word the text spells whole gives way to a common word it reads as
// a form of (共 before 見た), but a common word spelled whole keeps its place
// before a form (北 before 来た), and between two rare words the one with
// fewer codes still goes first.
TEST_F(OrderTest, ACommonWordsFormGoesBeforeARareWordSpelledWhole) {
    text = u"みた";
    list.analysedText = text.c_str();
    const auto hit = [](bool common, std::vector<uint8_t> tags) {
        WordListEntry entry = Hit(0, 2, 100, tags);
        if (common) entry.flags |= kEntryCommonWord;
        return entry;
    };
    EXPECT_EQ(list.PreferHit(hit(true, {3, 6}), hit(false, {})), 1);
    EXPECT_EQ(list.PreferHit(hit(false, {}), hit(true, {3, 6})), 0);
    EXPECT_EQ(list.PreferHit(hit(true, {}), hit(true, {3, 6})), 1);
    EXPECT_EQ(list.PreferHit(hit(true, {3, 6}), hit(true, {})), 0);
    EXPECT_EQ(list.PreferHit(hit(false, {3, 6}), hit(false, {})), 0);
}

// A common verb's conjunctive form that closes a clause behind a case
// particle goes before the noun spelled alike (行い of テストを行い、, 蟻 of
// があり、, 使い of を使い root); behind の, before a kanji or no comma, or
// when the verb is rare, the noun
// keeps its place, and from kana an adjective (よい of もよい、) is no noun
// to give way to a verb's -い form.
TEST_F(OrderTest, AVerbClosingAClauseGoesBeforeTheNounSpelledAlike) {
    const auto word = [](std::u16string_view spelled, std::u16string_view reading, bool common,
                         std::vector<uint8_t> tags, int32_t start) {
        WordListEntry hit = Hit(start, 2, 100, tags);
        std::memcpy(hit.word, spelled.data(), spelled.size() * 2);
        hit.wordLength = static_cast<int32_t>(spelled.size());
        std::memcpy(hit.reading, reading.data(), reading.size() * 2);
        hit.readingLength = static_cast<int32_t>(reading.size());
        if (common) hit.flags |= kEntryCommonWord;
        return hit;
    };
    const auto verbFirst = [&](std::u16string_view sentence, int32_t at, std::u16string_view verb,
                               std::u16string_view noun, std::u16string_view reading, bool common = true) {
        text = sentence;
        list.analysedText = text.c_str();
        const std::u16string_view verbReading = reading.substr(0, reading.size() - 1);
        const std::u16string nounReading(reading);
        // The hits reach the comma, or two characters where none follows.
        const size_t comma = sentence.find(u'、', static_cast<size_t>(at));
        const int32_t length = comma == sentence.npos ? 2 : static_cast<int32_t>(comma) - at;
        WordListEntry verbHit = word(verb, std::u16string(verbReading) + u"う", common, {3, 2}, at);
        WordListEntry nounHit = word(noun, nounReading, true, {3}, at);
        verbHit.matchLength = nounHit.matchLength = length;
        return list.PreferHit(verbHit, nounHit);
    };
    EXPECT_EQ(verbFirst(u"テストを行い、", 4, u"行う", u"行い", u"おこない"), 1);
    EXPECT_EQ(verbFirst(u"部分があり、", 3, u"有る", u"蟻", u"あり"), 1);
    EXPECT_EQ(verbFirst(u"彼の行い、", 2, u"行う", u"行い", u"おこない"), 0);
    EXPECT_EQ(verbFirst(u"テストを行い", 4, u"行う", u"行い", u"おこない"), 0);
    EXPECT_EQ(verbFirst(u"テストを行い、", 4, u"行う", u"行い", u"おこない", false), 0);
    EXPECT_EQ(verbFirst(u"してもよい、", 3, u"酔う", u"良い", u"よい"), 0);
    EXPECT_EQ(verbFirst(u"指定でき、", 2, u"出来う", u"出来", u"でき"), 1);
    EXPECT_EQ(verbFirst(u"を使い root", 1, u"使う", u"使い", u"つかい"), 1);
    EXPECT_EQ(verbFirst(u"を使い先", 1, u"使う", u"使い", u"つかい"), 0);
    EXPECT_EQ(verbFirst(u"開くとき、", 2, u"解う", u"時", u"とき"), 0);
    // Behind から, まで and より as behind a one-kana particle; from kana
    // behind a Latin word or a digit as behind kanji, not behind a bracket
    // or where the text begins.
    EXPECT_EQ(verbFirst(u"1 から始まり、", 4, u"始まる", u"始まり", u"はじまり"), 1);
    EXPECT_EQ(verbFirst(u"行の始まり、", 2, u"始まる", u"始まり", u"はじまり"), 0);
    EXPECT_EQ(verbFirst(u"タイプ 2となり、", 5, u"となる", u"隣", u"となり"), 1);
    EXPECT_EQ(verbFirst(u"(つまり、", 1, u"詰まる", u"詰まり", u"つまり"), 0);
    EXPECT_EQ(verbFirst(u"となり、", 0, u"となる", u"隣", u"となり"), 0);
    // Behind を and が before kana that are no particle or copula.
    EXPECT_EQ(verbFirst(u"パネルがありそれぞれ", 4, u"有る", u"蟻", u"あり"), 1);
    EXPECT_EQ(verbFirst(u"性がありカスタム化", 2, u"有る", u"蟻", u"あり"), 1);
    EXPECT_EQ(verbFirst(u"これが蟻だ", 3, u"有る", u"蟻", u"あり"), 0);
    EXPECT_EQ(verbFirst(u"人に使いを", 2, u"使う", u"使い", u"つかい"), 0);
    EXPECT_EQ(verbFirst(u"ために使い続け", 4, u"使う", u"使い", u"つかい"), 0);
    // A lone kana behind a noun is the particle, not a verb's stem (で、).
    text = u"例外で、";
    list.analysedText = text.c_str();
    WordListEntry particle = Hit(2, 1, 100, {});
    particle.flags |= kEntryCommonWord;
    WordListEntry deru = word(u"出る", u"でる", true, {3, 2}, 2);
    deru.matchLength = 1;
    EXPECT_EQ(list.PreferHit(deru, particle), 0);
}

// A verb the dictionary holds, read in the same forms as another verb's
// potential, goes first, whatever the priority table ranks: 入れておく is
// 入れる 'to put in', not 入る 'can enter', and てくれる 呉れる, not 来る.
TEST_F(OrderTest, AVerbSpelledAsAnotherVerbsPotentialGoesFirst) {
    text = u"入れておく";
    list.analysedText = text.c_str();
    const WordListEntry ireru = Hit(0, 3, 100, {3, 7}), hairu = Hit(0, 3, 200, {3, 13, 7});
    EXPECT_EQ(list.PreferHit(ireru, hairu), 1);
    EXPECT_EQ(list.PreferHit(hairu, ireru), 0);
    // Other forms than the potential's: the priority decides as before.
    EXPECT_EQ(list.PreferHit(Hit(0, 3, 100, {3, 8}), hairu), 0);
    // Whichever reading of the request joined behind each (166 ください,
    // 160 くださる): 入れないで下さい is 入れる.
    text = u"入れないで下さい";
    list.analysedText = text.c_str();
    const WordListEntry ireruKudasai = Hit(0, 8, 100, {3, 11, 166}), hairuKudasaru = Hit(0, 8, 200, {3, 13, 11, 160});
    EXPECT_EQ(list.PreferHit(ireruKudasai, hairuKudasaru), 1);
    EXPECT_EQ(list.PreferHit(hairuKudasaru, ireruKudasai), 0);
}

// Behind a case particle a common verb's inflected form written in kana
// goes before a noun in kanji the kana spell (プロセスがいない is いる, not
// 以内); not a bare stem, not a noun usually written in kana or one its
// dictionary says nothing of, not at the text's start, not a rare verb.
TEST_F(OrderTest, BehindAParticleAVerbsFormInKanaGoesBeforeANounInKanji) {
    const auto first = [&](std::u16string_view sentence, int32_t at, std::vector<uint8_t> formTags, bool common,
                           uint32_t nounFlags) {
        text = sentence;
        list.analysedText = text.c_str();
        WordListEntry form = Hit(at, 3, 100, formTags), noun = Hit(at, 3, 100, {});
        const std::u16string_view spelled = u"以内";
        std::memcpy(noun.word, spelled.data(), spelled.size() * 2);
        noun.wordLength = 2;
        if (common) form.flags |= kEntryCommonWord;
        noun.flags |= kEntryCommonWord | nounFlags;
        return std::pair{list.PreferHit(form, noun), list.PreferHit(noun, form)};
    };
    const uint32_t inKanji = kEntryWrittenInKanji;
    EXPECT_EQ(first(u"プロセスがいない場合", 5, {3, 11}, true, inKanji), std::pair(1, 0));
    EXPECT_EQ(first(u"いない場合", 0, {3, 11}, true, inKanji), std::pair(0, 1));
    EXPECT_EQ(first(u"プロセスがいない場合", 5, {3, 11}, false, inKanji), std::pair(0, 1));
    EXPECT_EQ(first(u"プロセスがいない場合", 5, {3, 2}, true, inKanji), std::pair(0, 1));  // a bare stem
    EXPECT_EQ(first(u"プロセスがいない場合", 5, {3, 11}, true, kEntryUsuallyKana), std::pair(0, 1));
    EXPECT_EQ(first(u"プロセスがいない場合", 5, {3, 11}, true, 0), std::pair(0, 1));  // nothing known
    EXPECT_EQ(first(u"プロセスが以内場合", 5, {3, 11}, true, inKanji), std::pair(0, 1));  // written in kanji
}

TEST_F(OrderTest, SortIndexOrdersByEndAndMarksDeletedEntries) {
    list.AppendRaw(Hit(0, 2, 100, {3}, 1));
    list.AppendRaw(Hit(0, 6, 100, {3}, 2));
    list.AppendRaw(Hit(2, 1, 100, {3}, 3));
    list.EntryAt(2).flags |= kEntryDeleted;
    int32_t index[3];
    EXPECT_EQ(list.SortIndex(index), 0);
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(index[1], 0);
    EXPECT_EQ(index[2], -1);
}

}  // namespace

namespace {

// The plain selection sort the ordering stands for: for each place, the scan
// over the rest keeps the smaller start, then the longer, then the preferred;
// the one it keeps leaves the rest in their order. Deleted entries keep
// their places.
std::vector<int32_t> ScanSortedRecords(const WordList& list) {
    std::vector<WordListEntry> rest;
    std::vector<size_t> places;
    for (int32_t i = 0; i < list.EntryCount(); ++i) {
        if (list.EntryAt(i).flags & kEntryDeleted) continue;
        rest.push_back(list.EntryAt(i));
        places.push_back(static_cast<size_t>(i));
    }
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < list.EntryCount(); ++i) ids.push_back(static_cast<int32_t>(list.EntryAt(i).recordId));
    for (size_t place : places) {
        size_t best = 0;
        for (size_t j = 1; j < rest.size(); ++j) {
            const WordListEntry& c = rest[j];
            const WordListEntry& held = rest[best];
            if (c.matchStart != held.matchStart) { if (c.matchStart < held.matchStart) best = j; }
            else if (c.matchLength != held.matchLength) { if (c.matchLength > held.matchLength) best = j; }
            else if (list.PreferHit(c, held) == 1) best = j;
        }
        ids[place] = static_cast<int32_t>(rest[best].recordId);
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(best));
    }
    return ids;
}

TEST_F(OrderTest, GroupedSelectionGivesTheScansOrderOnRandomHits) {
    std::mt19937 random(127);
    for (int round = 0; round < 200; ++round) {
        list.Clear();
        const int n = 1 + static_cast<int>(random() % 60);
        for (int id = 1; id <= n; ++id) {
            std::vector<uint8_t> tags;
            for (int t = static_cast<int>(random() % 4); t > 0; --t) tags.push_back(static_cast<uint8_t>(1 + random() % 80));
            WordListEntry hit = Hit(static_cast<int32_t>(random() % 5), 1 + static_cast<int32_t>(random() % 4),
                                    100 + static_cast<int32_t>(random() % 3), tags, id);
            if (random() % 7 == 0) hit.flags |= kEntryDeleted;
            list.AppendRaw(hit);
        }
        const std::vector<int32_t> expected = ScanSortedRecords(list);
        list.SortByTextPosition(2);
        ASSERT_EQ(Records(), expected) << "round " << round;
    }
}

}  // namespace

namespace {

// Every group shown at once leaves the flags and rows that showing each
// visible head in turn leaves, collapsed and expanded, at each expand option.
TEST(ShowEveryGroup, LeavesWhatShowingEachHeadInTurnLeaves) {
    std::mt19937 random(39);
    const std::u16string text = u"食べています";
    for (int round = 0; round < 100; ++round) {
        WordList each{nullptr, kListTranslatedWords}, all{nullptr, kListTranslatedWords};
        each.analysedText = all.analysedText = text.c_str();
        const int n = 1 + static_cast<int>(random() % 40);
        for (int id = 1; id <= n; ++id) {
            WordListEntry hit = Hit(static_cast<int32_t>(random() % 5), 1 + static_cast<int32_t>(random() % 4), 127,
                                    {3}, id);
            if (random() % 6 == 0) hit.flags |= kEntryDeleted;
            each.AppendRaw(hit);
            all.AppendRaw(hit);
        }
        const int32_t expandOption = static_cast<int32_t>(random() % 3);
        const bool expand = random() % 2 == 0;
        each.SortByTextPosition(expandOption);
        all.SortByTextPosition(expandOption);
        for (int32_t i = 0; i < each.EntryCount(); ++i) {
            if ((each.EntryAt(i).flags & (kEntryGroupStart | kEntryDeleted)) != kEntryGroupStart) continue;
            if (expand) each.ExpandGroup(i);
            else each.CollapseGroup(i);
        }
        all.ShowEveryGroup(expand);
        ASSERT_EQ(all.RowCount(), each.RowCount()) << "round " << round;
        for (int32_t i = 0; i < each.EntryCount(); ++i) ASSERT_EQ(all.EntryAt(i).flags, each.EntryAt(i).flags) << i;
        for (int32_t r = 0; r < each.RowCount(); ++r) ASSERT_EQ(all.EntryOfRow(r), each.EntryOfRow(r)) << r;
    }
}

}  // namespace
