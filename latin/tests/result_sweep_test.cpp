// Sweeping a word's results: ranges, order, trimming and duplicates, on
// lists built by hand over entries of the project's word list.
#include "analysis_fixture.h"

#include "latin/inflection_order.h"
#include "latin/latin_options.h"

namespace {

class ResultSweep : public LatinAnalysisTest {
protected:
    ParseRecord Noun(uint32_t id, int casus, int number, int frequency = 1, const char* stem = "ros") {
        ParseRecord r = MakeTagRecord(stem, POS_N, RESULT_ENTRY, id);
        r.inflection.first = 1;
        r.inflection.variant = 1;
        r.inflection.fields[F_CASE] = casus;
        r.inflection.fields[F_NUMBER] = number;
        r.inflection.fields[F_GENDER] = GENDER_F;
        r.inflection.frequency = frequency;
        r.inflection.stemKey = 2;
        return r;
    }
    ParseRecord Verb(uint32_t id, int first, int variant, int person) {
        ParseRecord r = MakeTagRecord("am", POS_V, RESULT_ENTRY, id);
        r.inflection.first = first;
        r.inflection.variant = variant;
        r.inflection.fields[F_TENSE] = TENSE_PRES;
        r.inflection.fields[F_VOICE] = VOICE_ACTIVE;
        r.inflection.fields[F_MOOD] = MOOD_IMP;
        r.inflection.fields[F_PERSON] = person;
        r.inflection.fields[F_VERB_NUMBER] = NUMBER_S;
        return r;
    }
    std::unique_ptr<ResultList> List(std::initializer_list<ParseRecord> records) {
        auto list = NewResultList();
        for (const ParseRecord& r : records) list->Append(r);
        return list;
    }
    void SetUp() override {
        LatinAnalysisTest::SetUp();
        rosa = IdOf("ros", "N      1 1 F");
        amo = IdOf("am", "V      1 1");
        ASSERT_NE(rosa, 0u);
        ASSERT_NE(amo, 0u);
    }
    uint32_t rosa = 0;
    uint32_t amo = 0;
    int dropped = 0;
};

TEST_F(ResultSweep, UncommonReadingsStayWhenNothingCommonIs) {
    auto list = List({Noun(rosa, CASE_GEN, NUMBER_S, 3), Noun(rosa, CASE_DAT, NUMBER_S, 4)});
    SweepList(*list, &dropped);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(dropped, 0);
    list = List({Noun(rosa, CASE_GEN, NUMBER_S, 3), Noun(rosa, CASE_NOM, NUMBER_P, 1)});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->records[0].inflection.fields[F_CASE], CASE_NOM);
    EXPECT_EQ(dropped, 1);
}

TEST_F(ResultSweep, WithoutTrimmingOnlyDuplicatesGoAndCodesChange) {
    g_wordOptions.Set(TRIM_OUTPUT, 0);
    // A first-person imperative would be trimmed; 3 4 becomes 4 1.
    auto list = List({Verb(amo, 1, 1, 1), Verb(amo, 1, 1, 1), Verb(amo, 3, 4, 2)});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(list->records[1].inflection.first, 4);
    EXPECT_EQ(list->records[1].inflection.variant, 1);
    g_wordOptions.Set(TRIM_OUTPUT, 1);
    list = List({Verb(amo, 1, 1, 1), Verb(amo, 1, 1, 2)});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->records[0].inflection.fields[F_PERSON], 2);
}

TEST_F(ResultSweep, CapitalsWithAPeriodKeepTheAbbreviation) {
    const std::string codes = "N      9 8 M X          X X X A X Gaius (praenomen)";
    char line[300];
    snprintf(line, sizeof line, "%-18s %-18s %-18s %-18s %s", "C", "", "", "", codes.c_str());
    host.entries.push_back(line);
    host.BuildStemIndex();
    const uint32_t gaius = static_cast<uint32_t>(host.entries.size());
    ParseRecord abbreviation = MakeTagRecord("C", POS_N, RESULT_ENTRY, gaius);
    abbreviation.inflection.first = 9;
    abbreviation.inflection.variant = 8;
    abbreviation.inflection.fields[F_GENDER] = GENDER_M;
    ParseRecord letter = Noun(gaius, CASE_NOM, NUMBER_S, 1, "C");
    ParseRecord other = Noun(rosa, CASE_NOM, NUMBER_S, 1, "ros");
    ParseRecord verb = Verb(amo, 1, 1, 2);
    g_word.allCapitals = true;
    g_word.endsAtPeriod = true;
    auto list = List({abbreviation, letter, other, verb});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 2);   // ordered by record id
    EXPECT_STREQ(list->records[0].stem, "ros");
    EXPECT_EQ(list->records[1].inflection.first, 9);
    g_word.endsAtPeriod = false;
    list = List({abbreviation, letter, other, verb});
    SweepList(*list, &dropped);
    EXPECT_EQ(list->Count(), 4);
}

TEST_F(ResultSweep, APrefixSweepsOnlyTheRunBehindIt) {
    ParseRecord prefix = MakeTagRecord("re", POS_PREFIX, RESULT_ADDON, 3);
    ParseRecord second = Noun(rosa, CASE_GEN, NUMBER_P, 1);
    ParseRecord first = Noun(rosa, CASE_NOM, NUMBER_S, 1);
    ParseRecord verb = Verb(amo, 1, 1, 1);   // would be trimmed inside a range
    auto list = List({prefix, second, first, verb});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 4);
    EXPECT_EQ(list->records[0].inflection.partOfSpeech, POS_PREFIX);
    EXPECT_EQ(list->records[1].inflection.fields[F_NUMBER], NUMBER_S);   // ordered: singular first
    EXPECT_EQ(list->records[2].inflection.fields[F_NUMBER], NUMBER_P);
    EXPECT_EQ(list->records[3].inflection.partOfSpeech, POS_V);
}

TEST_F(ResultSweep, EqualInflectionsOfOneEntryOnce) {
    ParseRecord a = Noun(rosa, CASE_NOM, NUMBER_S, 1, "ros");
    ParseRecord b = Noun(rosa, CASE_NOM, NUMBER_S, 1, "rosx");
    ParseRecord c = Noun(rosa + 1, CASE_NOM, NUMBER_S, 1, "ros");
    auto list = List({a, b, c});
    SweepList(*list, &dropped);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_STREQ(list->records[0].stem, "ros");
    EXPECT_EQ(list->records[1].id, rosa + 1);
    // A stray record without part of speech and no range is removed.
    list = List({MakeTagRecord("", 0, 0, 0), a});
    SweepList(*list, &dropped);
    EXPECT_EQ(list->Count(), 1);
    ParseRecord zero;
    EXPECT_TRUE(IsAllZeroRecord(zero));
    EXPECT_TRUE(IsAllZero(&zero, 0));
}

// The analyses of one verb are listed by tense, then voice (number first):
// lower first. Participles are duplicates only when every field of theirs is
// equal, tense and voice included.
TEST_F(ResultSweep, VerbsByTenseThenVoiceAndParticiplesEqualInEveryField) {
    auto verb = [&](int tense, int voice) {
        ParseRecord r = Verb(amo, 1, 1, 3);
        r.inflection.fields[F_MOOD] = MOOD_IND;
        r.inflection.fields[F_TENSE] = tense;
        r.inflection.fields[F_VOICE] = voice;
        return r;
    };
    auto list = List({verb(TENSE_PERF, VOICE_ACTIVE), verb(TENSE_FUT, VOICE_ACTIVE), verb(TENSE_PRES, VOICE_PASSIVE),
                      verb(TENSE_PRES, VOICE_ACTIVE), verb(TENSE_IMPF, VOICE_PASSIVE)});
    SweepList(*list, &dropped);
    std::vector<std::pair<int, int>> order;
    for (int i = 0; i < list->Count(); ++i)
        order.push_back({list->records[i].inflection.fields[F_TENSE], list->records[i].inflection.fields[F_VOICE]});
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{TENSE_PRES, VOICE_ACTIVE},
                                                       {TENSE_PRES, VOICE_PASSIVE},
                                                       {TENSE_IMPF, VOICE_PASSIVE},
                                                       {TENSE_FUT, VOICE_ACTIVE},
                                                       {TENSE_PERF, VOICE_ACTIVE}}));

    auto participle = [&](int field3, int field4) {
        ParseRecord r = Noun(amo, CASE_NOM, NUMBER_S, 1, "am");
        r.inflection.partOfSpeech = POS_VPAR;
        r.inflection.fields[3] = field3;
        r.inflection.fields[4] = field4;
        return r;
    };
    for (auto [field3, field4] : {std::pair{1, 1}, std::pair{3, 1}, std::pair{1, 2}}) {
        list = List({participle(1, 1), participle(field3, field4)});
        SweepList(*list, &dropped);
        EXPECT_EQ(list->Count(), field3 == 1 && field4 == 1 ? 1 : 2) << field3 << " " << field4;
    }
}

// An entry's declension pair fits an inflection's: the same pair; an
// inflection of 0 0, unless the entry is of declension 9; or the same
// declension with an inflection of variant 0.
TEST(DeclensionPairs, FitByTheThreeRules) {
    EXPECT_TRUE(DeclensionFits(3, 2, 3, 2));
    EXPECT_TRUE(DeclensionFits(3, 2, 0, 0));
    EXPECT_FALSE(DeclensionFits(9, 8, 0, 0));
    EXPECT_TRUE(DeclensionFits(9, 8, 9, 0));
    EXPECT_TRUE(DeclensionFits(3, 2, 3, 0));
    EXPECT_FALSE(DeclensionFits(3, 2, 3, 1));
    EXPECT_FALSE(DeclensionFits(3, 2, 2, 0));
    EXPECT_FALSE(DeclensionFits(3, 0, 3, 2));  // an entry of variant 0 takes only variant 0
}

}  // namespace
