// The index walks the translator keeps from one text to the next: while no
// file changes the next text reads them, and a word put into an open
// dictionary after one translation is found by the next, exactly as a fresh
// translator finds it.
#include <gtest/gtest.h>

#include <algorithm>

#include "japanese/tests/translator_fixture.h"

namespace ostrel::japanese {
namespace {

constexpr std::u16string_view kText = u"私は日本語を勉強しています";

class TranslatorKeptWalksTest : public TranslatorTest {
protected:
    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) {
            // EDICT's keys the text reaches, but for 勉強 (put in later).
            std::vector<KeyPair> keys = EdictSlice(0, kText);
            std::erase_if(keys, [](const KeyPair& k) { return k.second == u"勉強"; });
            RDFDictionary* edict = d.Add(u"C:\\D\\edict.qdx", keys);
            // Reopened for editing, as a user's own dictionary is.
            EXPECT_EQ(edict->Close(), 0u);
            EXPECT_EQ(edict->Open(0), 0u);
        });
        MakeList();
    }
    std::vector<HitRow> Translate(CTranslate& by) {
        EXPECT_EQ(by.Translate(*list, kText, 2, 0), 1u);
        return Entries(true);
    }
    // The 勉強 keys into both indexes of the open file.
    void PutWordIn() {
        RDFDictionary* edict = dictionaries->shelf.dictionaries[0];
        uint32_t cursor = 0;
        ASSERT_EQ(edict->Engine().OpenCursor(edict->fileId, &cursor), DmsStatus::Success);
        std::u16string reading = u"べんきょう", word = u"勉強";
        for (int32_t index : {kIndexReadingWord, kIndexWordReading}) {
            ASSERT_EQ(edict->Engine().SelectIndex(cursor, index), DmsStatus::Success);
            std::u16string& first = index == kIndexReadingWord ? reading : word;
            std::u16string& second = index == kIndexReadingWord ? word : reading;
            KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                      {second.data(), static_cast<int32_t>(second.size() * 2)}};
            ASSERT_EQ(edict->Engine().InsertKey(cursor, key, RecordRef{900000, 0}), DmsStatus::Success);
        }
        ASSERT_EQ(edict->Engine().CloseCursor(cursor), DmsStatus::Success);
    }
    static bool HasWord(const std::vector<HitRow>& rows) {
        return std::any_of(rows.begin(), rows.end(), [](const HitRow& r) { return r.word == u"勉強"; });
    }
};

TEST_F(TranslatorKeptWalksTest, AWordPutInAfterOneTextIsFoundByTheNextAsAFreshTranslatorFindsIt) {
    const std::vector<HitRow> before = Translate(*translator);
    ASSERT_FALSE(before.empty());
    EXPECT_FALSE(HasWord(before)) << Describe(before);
    // The same text again reads the kept walks and gives the same entries.
    EXPECT_EQ(Describe(Translate(*translator)), Describe(before));

    PutWordIn();
    const std::vector<HitRow> after = Translate(*translator);
    EXPECT_TRUE(HasWord(after)) << Describe(after);
    CTranslate fresh(options);
    EXPECT_EQ(Describe(after), Describe(Translate(fresh)));
    EXPECT_EQ(Describe(Translate(*translator)), Describe(after));
}

// Texts enough to pass a small limit several times over: the sweep drops the
// walks used longest ago and keeps the rest, and no answer changes.
constexpr std::u16string_view kSweptTexts[] = {
    u"私は日本語を勉強しています", u"猫が魚を食べました",         u"明日は雨が降るでしょう",
    u"駅まで歩いて行きます",       u"この本はとても面白かった",   u"友達に手紙を書かなければならない",
    u"新しい車を買いたい",         u"昨日は早く寝ませんでした",   u"先生に質問してもいいですか",
    u"電車が遅れて会議に間に合わなかった", u"窓を開けてください",     u"子供たちは公園で遊んでいる",
};

class TranslatorWalkSweepTest : public TranslatorTest {
protected:
    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) {
            std::u16string all;
            for (std::u16string_view text : kSweptTexts) all += text;
            d.Add(u"C:\\D\\edict.qdx", EdictSlice(0, all));
        });
        MakeList();
    }
    std::vector<HitRow> Translate(CTranslate& by, std::u16string_view text) {
        EXPECT_EQ(by.Translate(*list, text, 2, 0), 1u);
        return Entries(true);
    }
};

TEST_F(TranslatorWalkSweepTest, ASmallLimitDropsTheWalksUsedLongestAgoAndChangesNoAnswer) {
    constexpr size_t kLimit = 160 << 10;
    translator->SetKeptWalkLimit(kLimit);
    CTranslate unswept(options);  // its limit is never reached here
    int sweeps = 0;
    size_t addedByLastText = 0;
    for (int round = 0; round < 2; ++round) {
        for (std::u16string_view text : kSweptTexts) {
            // The sweep runs as a text begins: it leaves at most half the
            // room held and keeps the walks the text before used.
            const size_t before = translator->KeptWalkBytes();
            ASSERT_TRUE(translator->BeginText(*list, text));
            const size_t after = translator->KeptWalkBytes();
            if (before > kLimit) {
                ++sweeps;
                EXPECT_LE(after, kLimit / 2);
                if (addedByLastText <= kLimit / 2) {
                    EXPECT_GE(after, addedByLastText);
                }
            } else {
                EXPECT_EQ(after, before);
            }
            const std::vector<HitRow> swept = Translate(*translator, text);
            addedByLastText = translator->KeptWalkBytes() - after;
            EXPECT_FALSE(swept.empty());
            EXPECT_EQ(Describe(swept), Describe(Translate(unswept, text)));
        }
    }
    EXPECT_GE(sweeps, 3);
}

}  // namespace
}  // namespace ostrel::japanese
