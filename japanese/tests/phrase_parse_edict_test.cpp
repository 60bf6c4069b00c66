// The phrase split over real EDICT keys: a typed phrase comes back as its
// words, particles only with a dictionary file the split trusts for them,
// and the search's options put back on every way out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "japanese/tests/phrase_split_fixture.h"

namespace ostrel::japanese {
namespace {

// The characters of the random keys.
constexpr std::u16string_view kTexts = u"わたしはがくせいです私は学生ですねこがすきですか食べましたほんですね";


TEST_F(PhraseSplitTest, TypedPhraseComesBackAsItsWords) {
    EXPECT_EQ(Split(u"わたしはがくせいです"), u"わたし|は|がくせい|です");
    EXPECT_EQ(Split(u"私は学生です"), u"私|は|学生|です");
    EXPECT_EQ(Split(u"ねこがすきですか"), u"ねこ|が|すき|ですか");
    EXPECT_EQ(Split(u"ほんですね"), u"ほん|です|ね");
}

TEST_F(PhraseSplitTest, AnInflectedFormIsOneWordCoveringTheKey) {
    Split(u"食べました");
    ASSERT_GT(list->RowCount(), 0);
    EXPECT_EQ(list->RowEntry(0)->matchLength, 5);
    EXPECT_EQ(std::u16string_view(list->RowEntry(0)->word, 3), u"食べる");
}

TEST_F(PhraseSplitTest, ParticlesOnlyWithADictionaryFileTrustedForThem) {
    EXPECT_TRUE(PhraseParticlesAllowed(*list));
    dictionaries->shelf.dictionaries[0]->flags |= kDictionaryNotTranslated;  // words.qdx alone
    EXPECT_FALSE(PhraseParticlesAllowed(*list));
    ParsePhrase(*translator, *list, u"わたしはがくせいです", 0);
    for (int32_t i = 0; i < list->EntryCount(); ++i) EXPECT_NE(list->EntryAt(i).tags[0], kParticleTag) << i;
}

TEST_F(PhraseSplitTest, EmptyTextGivesNothing) {
    EXPECT_EQ(ParsePhrase(*translator, *list, u"", 0), 0u);
    EXPECT_EQ(list->RowCount(), 0);
}

// A translation reads 2047 units, the splitter 1023: a longer key is split
// over its first 1023, not past the splitter's positions.
TEST_F(PhraseSplitTest, ALongKeyIsSplitOverTheSplittersPositions) {
    EXPECT_EQ(ParsePhrase(*translator, *list, std::u16string(1020, u' ') + u"猫がいる" + std::u16string(400, u' '), 0),
              1u);
    EXPECT_EQ(translator->Length(), 1023);
    ASSERT_GT(list->EntryCount(), 0);
    for (int32_t i = 0; i < list->EntryCount(); ++i)
        EXPECT_LE(list->EntryAt(i).matchStart + list->EntryAt(i).matchLength, 1023);
}

TEST_F(PhraseSplitTest, SearchSplitRestoresTheOptionsOnEveryPath) {
    options.underCursor = 1;
    options.minKanaLength = 1;
    options.skipNamesDictionary = 0;
    PhraseSearchSplitter splitter(*translator, options, *list);
    std::u16string seen;
    splitter.keyToInputContext = &seen;
    splitter.keyToInput = [](void* context, std::u16string_view key) { *static_cast<std::u16string*>(context) = key; };
    WordListEntry first{};
    EXPECT_TRUE(splitter.SplitKey(u"食べました", first));
    EXPECT_EQ(seen, u"食べました");
    EXPECT_EQ(first.matchLength, 5);
    for (std::u16string_view key : {std::u16string_view(u"食べました"), std::u16string_view(u"")}) {
        splitter.SplitKey(key, first);
        EXPECT_EQ(options.underCursor, 1);
        EXPECT_EQ(options.minKanaLength, 1);
        EXPECT_EQ(options.skipNamesDictionary, 0);
    }
}

TEST_F(PhraseSplitTest, RandomKeysSplitInsideTheirText) {
    // OSTREL_LONG_FUZZ=1: a long run.
    const char* env = std::getenv("OSTREL_LONG_FUZZ");
    const int rounds = env != nullptr && env[0] == '1' ? 20000 : 200;
    const std::u16string alphabet = std::u16string(kTexts) + u"、。ー「」 ａ1";
    std::mt19937 random(2626);
    for (int round = 0; round < rounds; ++round) {
        std::u16string key(1 + random() % (round % 100 == 0 ? 1023 : 40), u' ');
        for (char16_t& c : key) c = alphabet[random() % alphabet.size()];
        int32_t end = 0;
        for (const auto& [start, length] : ChosenSpans(key)) {
            ASSERT_GE(start, end) << round;
            end = start + length;
            ASSERT_LE(end, static_cast<int32_t>(key.size())) << round;
        }
    }
}

}  // namespace
}  // namespace ostrel::japanese
