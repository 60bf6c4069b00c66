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

}  // namespace
}  // namespace ostrel::japanese
