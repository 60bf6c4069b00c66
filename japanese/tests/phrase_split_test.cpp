// The phrase splitter over hand-built hits: the comparison of two ways on,
// the particle scores, the marks and rules, the endings and the bounds.
#include <gtest/gtest.h>

#include <random>

#include "japanese/phrase_split.h"
#include "japanese/tests/phrase_hits.h"

namespace ostrel::japanese {
namespace {

using test::PhraseHits;

SplitChoice Way(int32_t covered, int32_t words, int32_t particle = 0, int32_t continuation = 0, bool ha = false) {
    return SplitChoice{1, covered, words, particle, continuation, ha};
}

TEST(CompareSplits, FollowsItsRulesInOrder) {
    EXPECT_TRUE(CompareSplits(SplitChoice{}, Way(1, 1)));                     // anything beats nothing
    EXPECT_FALSE(CompareSplits(Way(3, 1), Way(0, 0)));                        // 1: nothing covered loses
    EXPECT_TRUE(CompareSplits(Way(3, 1), Way(4, 3)));                         // 1: longer wins
    EXPECT_FALSE(CompareSplits(Way(4, 1), Way(3, 1, 2)));
    EXPECT_TRUE(CompareSplits(Way(4, 3, 2), Way(4, 1)));                      // 2: two words fewer win
    EXPECT_FALSE(CompareSplits(Way(4, 1), Way(4, 3, 2)));
    EXPECT_TRUE(CompareSplits(Way(4, 1), Way(4, 2, 1)));                     // 3: then the particle score
    EXPECT_FALSE(CompareSplits(Way(4, 2, 1), Way(4, 1)));
    EXPECT_TRUE(CompareSplits(Way(4, 3), Way(4, 2)));                         // 4: then one word fewer
    EXPECT_FALSE(CompareSplits(Way(4, 2), Way(4, 3)));
    EXPECT_FALSE(CompareSplits(Way(4, 2, 0, 0), Way(4, 2, 0, -1)));          // 5: negative way on loses
    EXPECT_TRUE(CompareSplits(Way(4, 2, 0, -2), Way(4, 2, 0, 1)));           //    against a negative one
    EXPECT_FALSE(CompareSplits(Way(4, 2, 0, -1), Way(4, 2, 0, -2)));
    EXPECT_TRUE(CompareSplits(Way(4, 2), Way(4, 2, 0, 0, true)));             // 6: は at 4 or more
    EXPECT_FALSE(CompareSplits(Way(3, 2), Way(3, 2, 0, 0, true)));
    EXPECT_FALSE(CompareSplits(Way(4, 2), Way(4, 2)));                        //    else the earlier stays
}

TEST(PhraseSplit, CutsAPhraseIntoItsWords) {
    PhraseHits hits(u"わたしはがくせいです");
    hits.Words({u"わたし", u"わた", u"がくせい", u"がく", u"せい", u"です", u"いで", u"はが"}).Particles();
    EXPECT_EQ(hits.Split(), u"わたし|は|がくせい|です");
}

TEST(PhraseSplit, ParticleWithAnEqualsContextWinsAtOnceUnlessTheLongestIsIsolated) {
    // が before いいん scores 2; the longest word at が would win by word count.
    PhraseHits crossed(u"あがいいん私");
    crossed.Words(u"あ あがい がいいん私 いいん 私").Particles();
    EXPECT_EQ(crossed.Split(), u"あ|が|いいん|私");
    PhraseHits isolated(u"あがいいん私");
    isolated.Words(u"あ がいいん私 いいん 私").Particles();
    EXPECT_EQ(isolated.Split(), u"あ|がいいん私");
}

struct ParticleCase {
    std::u16string_view text;
    std::u16string_view words;  // separated by spaces
    int32_t position, previousLength;  // previous word ends at the position; 0 for none
    uint8_t previousCode;
    int32_t nextLength;                // word behind the particle; 0 for none
    bool particle;                     // a particle hit answers
    int32_t score;
};

class ScoreParticleCase : public ::testing::TestWithParam<ParticleCase> {};

TEST_P(ScoreParticleCase, ScoresItsContext) {
    const ParticleCase& c = GetParam();
    PhraseHits hits(c.text);
    hits.Words(c.words).Particles();
    if (c.previousLength > 0 && hits.Find(c.position - c.previousLength, c.previousLength) < 0) {
        hits.Word(c.position - c.previousLength, c.previousLength);
    }
    if (c.previousLength > 0) {
        for (auto& hit : hits.Hits()) {
            if (hit.matchStart == c.position - c.previousLength && hit.matchLength == c.previousLength) {
                hit.tags[0] = c.previousCode;
            }
        }
    }
    PhraseSplitter& splitter = hits.Prepare();
    const int32_t previous = c.previousLength > 0 ? hits.Find(c.position - c.previousLength, c.previousLength) : -1;
    const int32_t candidate = splitter.FindHitAt(c.position, 1);
    const int32_t next = c.nextLength > 0 ? hits.Find(c.position + 1, c.nextLength) : -1;
    int32_t score = 99;
    const int32_t particle = splitter.ScoreParticle(c.position, previous, candidate, next, &score);
    EXPECT_EQ(particle >= 0, c.particle);
    if (particle >= 0) {
        EXPECT_EQ(hits.Hits()[particle].tags[0], kParticleTag);
        EXPECT_EQ(score, c.score);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreParticleCase,
    ::testing::Values(
        ParticleCase{u"がいいん", u"いいん", 0, 0, 0, 3, true, 2},          // が=いいん
        ParticleCase{u"がする", u"する", 0, 0, 0, 2, true, 1},              // が-する
        ParticleCase{u"ねこがいる", u"ねこ いる", 2, 2, 0, 2, true, 1},  // after a word without codes
        ParticleCase{u"ねこがいる", u"ねこ いる", 2, 2, 3, 2, true, 0},  // after one with codes
        ParticleCase{u"ようなもの", u"よう もの", 2, 2, 0, 2, false, 0}, // な refused in ような
        ParticleCase{u"そうだなあ", u"そうだ", 3, 3, 0, 0, false, 0},        // and in うだな
        ParticleCase{u"みんなで", u"みん", 2, 2, 0, 0, false, 0},            // and after ん
        ParticleCase{u"しずかなひと", u"しずか ひと", 3, 3, 0, 2, true, 0},
        ParticleCase{u"ないものを", u"ないもの", 0, 0, 0, 3, true, 0},       // な + いもの
        ParticleCase{u"なくて", u"くて", 0, 0, 0, 2, true, -1},             // なく+
        ParticleCase{u"をのぞく", u"のぞく", 1, 1, 0, 0, false, 0},          // の after を
        ParticleCase{u"そのひと", u"ひと", 1, 0, 0, 0, false, 0},            // の after そ
        ParticleCase{u"私のこと", u"私 こと", 1, 1, 0, 2, true, 1},      // kanji の こと
        ParticleCase{u"あのので", u"あの", 2, 2, 0, 1, true, -1},            // の + で
        ParticleCase{u"みんなら", u"みんな", 3, 3, 0, 0, true, -1},          // ら after な
        ParticleCase{u"たちらは", u"たち", 2, 2, 0, 0, true, 0},
        ParticleCase{u"たちらは", u"たち", 2, 2, 3, 0, false, 0},            // previous with codes
        ParticleCase{u"あら", u"", 1, 1, 0, 0, false, 0},                      // previous a single kana
        ParticleCase{u"ほんを", u"ほん", 2, 2, 0, 0, true, 1},               // を
        ParticleCase{u"おちゃ", u"おちゃ", 0, 0, 0, 0, false, 0},            // お refused by a longer word
        ParticleCase{u"おか", u"", 0, 0, 0, 0, true, 0},
        ParticleCase{u"人にあう", u"人 あう", 1, 1, 0, 2, true, 1},      // に あう behind a kanji
        ParticleCase{u"によって", u"よって", 0, 0, 0, 3, true, -1},
        ParticleCase{u"そうとみえる", u"そう", 2, 2, 0, 0, true, 1},         // と after そう
        ParticleCase{u"だれとも", u"だれ とも", 2, 2, 0, 0, true, -1},   // と after だれ
        ParticleCase{u"本はない", u"本 ない", 1, 1, 0, 2, true, 1},      // は-ない+
        ParticleCase{u"ねこはないよう", u"ねこ ないよう", 2, 2, 0, 4, true, 1},
        ParticleCase{u"はな", u"な", 0, 0, 0, 1, true, -1},                 // はな.
        ParticleCase{u"てもいい", u"いい", 1, 1, 0, 2, true, -1},            // もいい+ caps the て start
        ParticleCase{u"てもあ", u"あ", 1, 1, 0, 1, true, 1},                 // も after て
        ParticleCase{u"んだろ", u"だ", 0, 0, 0, 1, true, 1},                 // ん-だ]ろ
        ParticleCase{u"ぞう", u"", 0, 0, 0, 0, true, 0}));

TEST(PhraseSplit, TekiNaTakesItsTwoCharacterHitBehindAKanji) {
    PhraseHits hits(u"化学的なもの");
    hits.Words({u"化学", u"的", u"的な", u"もの", u"な"});
    PhraseSplitter& splitter = hits.Prepare();
    int32_t score = 0;
    const int32_t particle = splitter.ScoreParticle(2, hits.Find(0, 2), hits.Find(2, 1), -1, &score);
    ASSERT_GE(particle, 0);
    EXPECT_EQ(hits.Hits()[particle].matchLength, 2);
    PhraseHits kana(u"あ的な");
    kana.Words({u"あ", u"的", u"的な"});
    EXPECT_LT(kana.Prepare().ScoreParticle(1, 0, kana.Find(1, 1), -1, &score), 0);  // not behind a kanji
}

TEST(PhraseSplit, MarksWhereWordsStartAndEndAndWhatIsIsolated) {
    PhraseHits hits(u"ねこ、いぬがいる");
    hits.Words({u"ねこ", u"いぬ", u"ぬが", u"いる"}).Particles();
    PhraseSplitter& splitter = hits.Prepare();
    const auto& h = hits.Hits();
    EXPECT_NE(h[hits.Find(0, 2)].flags & kHitIsolated, 0u);
    EXPECT_NE(h[hits.Find(0, 2)].flags & kHitDelimited, 0u);   // text start and 、
    EXPECT_NE(h[hits.Find(0, 2)].flags & kHitAtWordStart, 0u);
    EXPECT_NE(h[hits.Find(0, 2)].flags & kHitAtWordEnd, 0u);
    EXPECT_NE(h[hits.Find(3, 2)].flags & kHitAtWordStart, 0u); // behind the comma
    EXPECT_EQ(h[hits.Find(3, 2)].flags & kHitIsolated, 0u);    // ぬが goes on behind it
    EXPECT_EQ(h[hits.Find(3, 2)].flags & kHitDelimited, 0u);
    EXPECT_NE(h[hits.Find(6, 2)].flags & kHitAtWordEnd, 0u);   // the text end
    EXPECT_EQ(splitter.FirstHitEnding(6), hits.Find(4, 2));    // ぬが, the longest ending there
    EXPECT_NE(splitter.PositionFlags(3) & kNoWordAcross, 0);
    EXPECT_EQ(splitter.PositionFlags(4) & kNoWordAcross, 0);
    EXPECT_EQ(splitter.PositionFlags(3) & kNoWordGoesOn, 0);
}

TEST(PhraseSplit, ExceptionPairsSuppressUnlessTheHitIsDelimited) {
    PhraseHits inside(u"めがよ");
    inside.Words({u"めが", u"め"}).Particles();
    EXPECT_EQ(inside.Split(), u"め|が|よ");
    PhraseHits alone(u"めが");
    alone.Words({u"めが", u"め"}).Particles();
    EXPECT_EQ(alone.Split(), u"めが");  // a delimited hit survives every rule
    PhraseHits kanji(u"がはい");  // がは/画派: only that kanji form
    kanji.Word(0, 2, u"画派").Word(0, 2, u"我は").Words({u"い"});
    PhraseSplitter& splitter = kanji.Prepare();
    EXPECT_NE(kanji.Hits()[0].flags & kEntryDeleted, kanji.Hits()[1].flags & kEntryDeleted);
    EXPECT_GE(splitter.FindHitAt(0, 2), 0);
}

TEST(PhraseSplit, KaraRulesSuppressWordsRunningIntoKara) {
    PhraseHits hits(u"ねこからだ");  // ねこか runs into から; からだ stays
    hits.Words({u"ねこか", u"ねこ", u"から", u"からだ"});
    PhraseSplitter& splitter = hits.Prepare();
    EXPECT_EQ(splitter.FindHitAt(0, 3), hits.Find(0, 2));
    PhraseHits three(u"からいも");  // から + い, with いも at its last character
    three.Words({u"からい", u"から", u"いも"});
    EXPECT_EQ(three.Prepare().FindHitAt(0, 3), three.Find(0, 2));
}

TEST(PhraseSplit, PatternsSuppressTheSpanTheyName) {
    PhraseHits hits(u"ひとはいけない");  // [はいけ]: the hit はいけ goes
    hits.Words({u"ひと", u"はいけ", u"いけない"}).Particles();
    EXPECT_EQ(hits.Split(), u"ひと|は|いけない");
    PhraseHits wa(u"ねこはないよ");  // は-ない+ keeps は apart from はな
    wa.Words({u"ねこ", u"はな", u"ない", u"いよ"}).Particles();
    EXPECT_EQ(wa.Split(), u"ねこ|は|ない|よ");
}

TEST(PhraseSplit, LeadingFullStopPatternAppliesOnlyAtThePhraseStart) {
    PhraseHits hits(u"はなはな");
    hits.Words({u"はな"});
    PhraseSplitter& splitter = hits.Prepare();
    const std::u16string_view list[] = {u".[はな]"};
    EXPECT_EQ(splitter.MatchSegmentationPatterns(list), 1);
    EXPECT_NE(hits.Hits()[hits.Find(0, 2)].flags & kHitSuppressed, 0u);
    EXPECT_EQ(hits.Hits()[hits.Find(2, 2)].flags & kHitSuppressed, 0u);
}

TEST(PhraseSplit, EndingAtTheSegmentEndReplacesTheWordCoveringIt) {
    PhraseHits hits(u"がくせいです");
    hits.Words({u"がくせいで", u"がくせい", u"がく", u"す", u"です"});
    EXPECT_EQ(hits.Split(), u"がくせい|です");
}

TEST(PhraseSplit, EndingsChainBackwardsAfterTheOnesThatAllowIt) {
    PhraseHits desune(u"ほんですね");
    desune.Words({u"ほん", u"ほんで", u"すね", u"です"}).Particles();
    EXPECT_EQ(desune.Split(), u"ほん|です|ね");
    PhraseHits nanoni(u"ほんなのに");  // the longest ending first: なのに, not に
    nanoni.Words({u"ほん", u"なのに", u"のに"}).Particles();
    EXPECT_EQ(nanoni.Split(), u"ほん|なのに");
    PhraseHits kane(u"おかね");  // a word ending in ね other than よね/すね/しかね stays
    kane.Words({u"おかね", u"か"}).Particles();
    EXPECT_EQ(kane.Split(), u"おかね");
}

TEST(PhraseSplit, AWordEndingInNoListsItsShorterCompanions) {
    PhraseHits hits(u"わたしの");
    hits.Word(0, 4, u"", 500).Word(0, 3, u"私", 600).Particles();
    PhraseSplitter& splitter = hits.Prepare();
    ASSERT_EQ(splitter.ChooseBestSplit(), 1);
    EXPECT_EQ(hits.Chosen(), u"わたしの");
    const int32_t chosen = splitter.ChosenWords()[0];
    EXPECT_EQ(MarkChosenWord(hits.Hits(), chosen), 3);
    const WordListEntry& companion = hits.Hits()[hits.Find(0, 3)];
    EXPECT_NE(companion.flags & kEntryListed, 0u);
    EXPECT_EQ(companion.tags[0], kCompanionCode);
    EXPECT_NE(hits.Hits()[hits.Find(3, 1)].flags & kEntryListed, 0u);
}

TEST(PhraseSplit, BoundsHoldOnTheLongestKey) {
    // 1023 characters of one-character words and 2000 hits: the search
    // keeps its own stack and the chosen words stay within their array.
    std::u16string text(1100, u'あ');
    PhraseHits hits(text);
    for (int32_t i = 0; i < 1023; ++i) hits.Word(i, 1);
    for (int32_t i = 0; i < 977; ++i) hits.Word(i, 2 + i % 5);
    hits.Word(1050, 2);  // beyond the longest key: left alone
    PhraseSplitter& splitter = hits.Prepare();
    const int32_t chosen = splitter.ChooseBestSplit();
    EXPECT_GT(chosen, 0);
    EXPECT_LE(chosen, kMaxChosenWords);
    int32_t covered = 0;
    for (const int32_t hit : splitter.ChosenWords()) covered += hits.Hits()[hit].matchLength;
    EXPECT_EQ(covered, 1023);
}

TEST(PhraseSplit, RandomHitsNeverLeaveTheText) {
    const char* env = std::getenv("OSTREL_LONG_FUZZ");
    const int rounds = env != nullptr && env[0] == '1' ? 200000 : 3000;
    std::mt19937 random(26);
    const std::u16string_view alphabet = u"おごかがしぞとだでなねにのもはへやよらをんいうえきくけこさすせそ的私本。、.a ";
    for (int round = 0; round < rounds; ++round) {
        std::u16string text(1 + random() % 40, u' ');
        for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
        PhraseHits hits(text);
        const int32_t count = static_cast<int32_t>(random() % 60);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t start = static_cast<int32_t>(random() % text.size());
            const int32_t length = 1 + static_cast<int32_t>(random() % std::min<size_t>(6, text.size() - start));
            hits.Word(start, length);
            if (random() % 4 == 0) hits.Last().tags[0] = static_cast<uint8_t>(random() % 200);
        }
        hits.Particles();
        hits.scatterHidden = static_cast<int32_t>(random() % 3);
        PhraseSplitter& splitter = hits.Prepare();
        const int32_t chosen = splitter.ChooseBestSplit();
        int32_t end = 0;
        for (const int32_t hit : splitter.ChosenWords()) {
            const WordListEntry& entry = hits.Hits()[hit];
            ASSERT_EQ(entry.flags & kEntryDeleted, 0u);
            ASSERT_GE(entry.matchStart, end) << round;  // in order, not overlapping
            end = entry.matchStart + entry.matchLength;
            ASSERT_LE(end, static_cast<int32_t>(text.size()));
            MarkChosenWord(hits.Hits(), hit);
        }
        ASSERT_LE(chosen, kMaxChosenWords);
    }
}

}  // namespace
}  // namespace ostrel::japanese
