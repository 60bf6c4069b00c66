// Loading INFLECTS.SEC: the packed layout, the project's generated table and
// its ending index, and tables that are damaged or change between loads.
#include <gtest/gtest.h>

#include <set>

#include "latin/grammar_codes.h"
#include "latin/inflection_table.h"
#include "latin_test_data.h"

namespace {

TEST(InflectionRecord, PacksAndUnpacksEveryLayout) {
    InflectionRecord v = MakeInflection(POS_V, 3, 4, "iebamur", 2);
    for (int i = 0; i < 5; ++i) v.fields[i] = i + 1;
    v.age = -2;          // stored as a signed byte
    v.frequency = 7;
    InflectionRecord vpar = MakeInflection(POS_VPAR, 1, 1, "antis");
    for (int i = 0; i < 6; ++i) vpar.fields[i] = 6 - i;
    InflectionRecord adv = MakeInflection(POS_ADV, COMP_SUPER, 0, "");
    for (const InflectionRecord& r : {v, vpar, adv}) {
        unsigned char packed[kInflectionRecordSize];
        PackInflectionRecord(r, packed);
        InflectionRecord back;
        UnpackInflectionRecord(packed, &back);
        EXPECT_EQ(back.partOfSpeech, r.partOfSpeech);
        EXPECT_EQ(back.first, r.first);
        EXPECT_EQ(back.variant, r.variant);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(back.fields[i], r.fields[i]);
        EXPECT_EQ(back.stemKey, r.stemKey);
        EXPECT_EQ(back.endingLength, r.endingLength);
        EXPECT_STREQ(back.ending, r.ending);
        EXPECT_EQ(back.age, r.age);
        EXPECT_EQ(back.frequency, r.frequency);
    }
    unsigned char packed[kInflectionRecordSize];
    PackInflectionRecord(v, packed);
    EXPECT_EQ(packed[36], 0xFE);
    EXPECT_EQ(packed[24], 7);        // ending length, little-endian u32
    EXPECT_EQ(std::string(reinterpret_cast<char*>(packed + 28), 7), "iebamur");
}

// Every indexed record of a section is reachable through its key, and every
// key range holds only records of that key.
void ExpectIndexCovers(int section, unsigned char maxCharacter, bool pronouns) {
    ASSERT_EQ(LoadSectionForLetter(section == 1 ? 'a' : section == 2 ? 'm' : section == 3 ? 's' : 't'), 0);
    const InflectionTables& t = g_inflections;
    for (int i = 0; i < kRecordsPerSection && t.section[i].partOfSpeech != 0; ++i) {
        const InflectionRecord& r = t.section[i];
        const bool pronoun = r.partOfSpeech == POS_PRON && (r.first == 1 || r.first == 2);
        if (section == 4 && pronoun != pronouns) continue;
        const unsigned char c = r.endingLength ? r.ending[r.endingLength - 1] : 0;
        if (c > maxCharacter) continue;
        int from = 0, to = 0;
        const bool found = pronouns ? EndingRange(t.pronounFirst, t.pronounLast, r.endingLength, c, &from, &to)
                                    : EndingRange(t.first, t.last, r.endingLength, c, &from, &to);
        ASSERT_TRUE(found) << "section " << section << " record " << i << " ending " << r.ending;
        EXPECT_LE(from, i);
        EXPECT_GE(to, i);
        for (int k = from; k <= to; ++k) {
            EXPECT_EQ(t.section[k].endingLength, r.endingLength);
            EXPECT_EQ(t.section[k].ending[r.endingLength - (r.endingLength ? 1 : 0)], r.ending[r.endingLength - (r.endingLength ? 1 : 0)]);
        }
    }
}

TEST(InflectionTable, ProjectTableLoadsWholeAndIndexesEveryRecord) {
    MemoryLatinHost host;
    InstallProjectData(host);
    ASSERT_EQ(host.inflects.size(), static_cast<size_t>(kInflectsFileSize));
    ASSERT_EQ(LoadInflections(), 0);
    EXPECT_EQ(g_inflections.recordsSkipped, 0);
    EXPECT_GT(g_inflections.lastKept, 10);
    for (int i = 0; i <= g_inflections.lastKept; ++i) EXPECT_EQ(g_inflections.kept[i].endingLength, 0);
    EXPECT_EQ(g_inflections.loadedSection, 4);
    // A word ending in "a" reloads section 1 and finds its records through
    // the entries built first, although three builds ran after them.
    ExpectIndexCovers(1, 0xFF, false);
    ExpectIndexCovers(2, 'r', false);
    ExpectIndexCovers(3, 's', false);
    ExpectIndexCovers(4, 0xFF, false);
    ExpectIndexCovers(4, 0xFF, true);
    int from = 0, to = 0;
    ASSERT_TRUE(EndingRange(g_inflections.pronounFirst, g_inflections.pronounLast, 2, 'd', &from, &to));
    EXPECT_STREQ(g_inflections.section[from].ending, "od");   // quod
}

TEST(InflectionTable, DamagedRecordsAreSkippedAndTheRestIndexed) {
    MemoryLatinHost host;
    host.inflects.assign(kInflectsFileSize, 0);
    InflectionRecord longEnding = MakeInflection(POS_N, 1, 1, "a");
    longEnding.endingLength = 9;
    InflectionRecord negative = MakeInflection(POS_N, 1, 1, "a");
    negative.endingLength = -1;
    InflectionRecord highLetter = MakeInflection(POS_N, 1, 1, "{");
    InflectionRecord badPart = MakeInflection(20, 1, 1, "ae");
    InflectionRecord zeroInside = MakeInflection(POS_N, 1, 1, "ae");
    zeroInside.ending[0] = 0;
    PutRecords(host.inflects, 1, {MakeInflection(POS_N, 1, 1, "a"), MakeInflection(POS_N, 1, 1, "a"), longEnding,
                                  negative, highLetter, badPart, zeroInside, MakeInflection(POS_N, 1, 1, "ae"),
                                  MakeInflection(POS_N, 1, 1, "ae")});
    PutRecords(host.inflects, 5, {MakeInflection(POS_N, 3, 1, ""), badPart, MakeInflection(POS_ADV, 1, 0, "")});
    host.addons = "x";
    host.Install();
    ASSERT_EQ(LoadInflections(), 0);
    EXPECT_EQ(g_inflections.recordsSkipped, 6);
    EXPECT_EQ(g_inflections.lastKept, 1);
    int from = 0, to = 0;
    ASSERT_TRUE(EndingRange(g_inflections.first, g_inflections.last, 1, 'a', &from, &to));
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 1);
    ASSERT_TRUE(EndingRange(g_inflections.first, g_inflections.last, 2, 'e', &from, &to));
    EXPECT_EQ(from, 7);
    EXPECT_EQ(to, 8);
    EXPECT_FALSE(EndingRange(g_inflections.first, g_inflections.last, 1, '{', &from, &to));
}

TEST(InflectionTable, NothingSurvivesFromAnotherTable) {
    MemoryLatinHost first;
    first.inflects.assign(kInflectsFileSize, 0);
    PutRecords(first.inflects, 1, {MakeInflection(POS_N, 1, 1, "ae"), MakeInflection(POS_N, 1, 1, "ae")});
    PutRecords(first.inflects, 2, {MakeInflection(POS_N, 1, 1, "am"), MakeInflection(POS_N, 1, 1, "am")});
    first.Install();
    ASSERT_EQ(LoadInflections(), 0);
    int from = 0, to = 0;
    ASSERT_TRUE(EndingRange(g_inflections.first, g_inflections.last, 2, 'e', &from, &to));

    MemoryLatinHost second;
    second.inflects.assign(kInflectsFileSize, 0);
    // An empty section 2; section 1 without "ae".
    PutRecords(second.inflects, 1, {MakeInflection(POS_N, 1, 1, "a"), MakeInflection(POS_N, 1, 1, "a")});
    second.Install();
    ASSERT_EQ(LoadInflections(), 0);
    EXPECT_FALSE(EndingRange(g_inflections.first, g_inflections.last, 2, 'e', &from, &to));
    EXPECT_FALSE(EndingRange(g_inflections.first, g_inflections.last, 2, 'm', &from, &to));
    EXPECT_TRUE(EndingRange(g_inflections.first, g_inflections.last, 1, 'a', &from, &to));
    EXPECT_EQ(g_inflections.recordsLoaded, 2);
}

TEST(InflectionTable, FullSectionEndsAtTheZeroRecordBehindIt) {
    MemoryLatinHost host;
    host.inflects.assign(kInflectsFileSize, 0);
    std::vector<InflectionRecord> full(kRecordsPerSection, MakeInflection(POS_N, 3, 1, "is"));
    PutRecords(host.inflects, 3, full);
    host.Install();
    ASSERT_EQ(LoadInflections(), 0);
    EXPECT_EQ(g_inflections.recordsLoaded, kRecordsPerSection);
    int from = 0, to = 0;
    ASSERT_EQ(LoadSectionForLetter('s'), 0);
    ASSERT_TRUE(EndingRange(g_inflections.first, g_inflections.last, 2, 's', &from, &to));
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, kRecordsPerSection - 1);
    EXPECT_EQ(g_inflections.section[kRecordsPerSection].partOfSpeech, 0);
}

int FailingInflects(void*, int section, int) { return section == 3 ? 7 : 0; }

TEST(InflectionTable, TheSameBytesKeepTheTablesAndAFailedLoadForgetsThem) {
    MemoryLatinHost host;
    InstallProjectData(host);
    ASSERT_EQ(LoadInflections(), 0);
    const int loaded = g_inflections.recordsLoaded, kept = g_inflections.lastKept;
    ASSERT_EQ(LoadSectionForLetter('s'), 0);
    ASSERT_EQ(LoadInflections(), 0);   // the same bytes: the tables stay, section 4 in use as after a build
    EXPECT_EQ(g_inflections.loadedSection, 4);
    EXPECT_EQ(g_inflections.recordsLoaded, loaded);
    ExpectIndexCovers(3, 's', false);

    LatinHostCallbacks failing = host.Callbacks();
    failing.readInflects = FailingInflects;   // section 3 fails: 5, 1 and 2 are built
    InitLatinAnalyser(failing);
    ASSERT_EQ(LoadInflectionSections(), 7);
    int from = 0, to = 0;
    EXPECT_FALSE(EndingRange(g_inflections.first, g_inflections.last, 2, 's', &from, &to));
    EXPECT_LT(g_inflections.recordsLoaded, loaded);

    host.Install();
    ASSERT_EQ(LoadInflections(), 0);
    EXPECT_EQ(g_inflections.recordsLoaded, loaded);
    EXPECT_EQ(g_inflections.lastKept, kept);
    ExpectIndexCovers(3, 's', false);
    ExpectIndexCovers(4, 0xFF, true);
}

TEST(InflectionTable, AFailingReadEndsTheLoad) {
    MemoryLatinHost host;
    InstallProjectData(host);
    LatinHostCallbacks callbacks = host.Callbacks();
    callbacks.readInflects = FailingInflects;
    InitLatinAnalyser(callbacks);
    EXPECT_EQ(LoadInflectionSections(), 7);
    EXPECT_EQ(LoadInflections(), 14);
    InitLatinAnalyser(LatinHostCallbacks{});
    EXPECT_EQ(LoadInflections(), 14);
}

}  // namespace
