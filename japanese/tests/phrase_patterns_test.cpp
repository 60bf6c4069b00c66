// The splitter's rule tables and its two pattern languages.
#include <gtest/gtest.h>

#include "japanese/phrase_patterns.h"
#include "japanese/phrase_split_tables.h"

namespace ostrel::japanese {
namespace {

TEST(PhraseSplitTables, HoldTheirRowsAndTheParticleTablesBehindTheListEnds) {
    EXPECT_EQ(SegmentationExceptionTable().size(), 67u);
    EXPECT_EQ(SegmentationExceptionTable().back().reading, u"もす");
    EXPECT_EQ(SegmentationPatternTables(0).size(), 358u);
    EXPECT_EQ(SegmentationPatternTables(0).back(), u"[にた]くさ");
    EXPECT_EQ(SegmentationPatternTables(1).size(), 45u);
    // The は table lies behind the first list's empty string and is alive.
    const auto wa = ParticleContextTable(u'は');
    ASSERT_EQ(wa.size(), 14u);
    EXPECT_EQ(wa.front(), u"はな.");
    EXPECT_EQ(wa.back(), u"はかりごと");
    const auto ga = ParticleContextTable(u'が');
    ASSERT_EQ(ga.size(), 6u);
    EXPECT_EQ(ga.front(), u"が=いいん");
    EXPECT_EQ(ParticleContextTableOfTekiNa().size(), ParticleContextTable(u'な').size());
    EXPECT_TRUE(ParticleContextTable(u'を').empty());
}

struct PatternCase {
    std::u16string_view pattern, text;
    int32_t position;
    bool matches;
    int32_t open = 0, close = 0, end = 0;  // unread where the pattern does not match
};

class SegmentationPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(SegmentationPattern, ReadsItsLanguage) {
    const PatternCase& c = GetParam();
    PatternMatch match;
    ASSERT_EQ(MatchSegmentationPattern(c.pattern, c.text, c.position, &match), c.matches);
    if (!c.matches) return;
    EXPECT_EQ(match.open, c.open);
    EXPECT_EQ(match.close, c.close);
    EXPECT_EQ(match.start, c.position);
    EXPECT_EQ(match.end, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Features, SegmentationPattern,
    ::testing::Values(PatternCase{u"[さんが]", u"たなかさんが", 3, true, 3, 6, 6},
                      PatternCase{u"[さんが]", u"たなかさんが", 2, false},
                      PatternCase{u"[はつい]て", u"はついて", 0, true, 0, 3, 4},
                      PatternCase{u"い[けま", u"いけません", 0, true, 1, -1, 3},   // "[" alone
                      PatternCase{u"をし]K", u"をしま", 0, true, -1, 2, 3},         // "]" alone
                      PatternCase{u"H[のこ]", u"私のこ", 0, true, 1, 3, 3},          // H a kanji
                      PatternCase{u"H[のこ]", u"わのこ", 0, false},
                      PatternCase{u"[のだ]J", u"のだ。", 0, true, 0, 2, 3},           // J from U+3000
                      PatternCase{u"[のだ]J", u"のだa", 0, false},
                      PatternCase{u"[なんてい]K", u"なんていう", 0, true, 0, 4, 5},   // K a kana
                      PatternCase{u"[なんてい]K", u"なんてい人", 0, false},
                      PatternCase{u"[からだ].", u"からだ", 0, true, 0, 3, 3},         // "." the text end
                      PatternCase{u"[からだ].", u"からだ.よ", 0, true, 0, 3, 4},      // or a full stop
                      PatternCase{u"[からだ].", u"からだ。", 0, false},              // 。 is none
                      PatternCase{u".[ab]", u"abab", 0, true, 0, 2, 2},              // leading "."
                      PatternCase{u".[ab]", u"abab", 2, false},
                      PatternCase{u".[ab]", u"x.ab", 2, true, 2, 4, 4},
                      // A second "]" reads nothing and marks nothing; a digit reads itself.
                      PatternCase{u"H[におい]で]", u"花においで", 0, true, 1, 4, 5},
                      PatternCase{u"2[におい]で]", u"2においで", 0, true, 1, 4, 5},
                      PatternCase{u"[にた]くさ", u"にた", 0, false}));

struct ContextCase {
    std::u16string_view table, text;
    int32_t wordLength, initial, value;
};

class ParticleContext : public ::testing::TestWithParam<ContextCase> {};

TEST_P(ParticleContext, ScoresTheFirstStringThatApplies) {
    const ContextCase& c = GetParam();
    std::vector<std::u16string_view> table;
    for (size_t at = 0; at < c.table.size();) {
        const size_t bar = std::min(c.table.find(u'|', at), c.table.size());
        table.push_back(c.table.substr(at, bar - at));
        at = bar + 1;
    }
    EXPECT_EQ(MatchParticleContext(table, c.text, c.wordLength, c.initial), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, ParticleContext,
    ::testing::Values(ContextCase{u"と-まず", u"とまずい", 3, 0, 1},      // "-" 1
                      ContextCase{u"が=いいん", u"がいいんだ", 4, 0, 2},    // "=" 2
                      ContextCase{u"とても", u"とても", 3, 0, -1},         // plain -1
                      ContextCase{u"とても", u"とても", 2, 0, 0},          // length differs: none applies
                      ContextCase{u"です+", u"ですか", 4, 0, -1},         // "+": the word may be longer
                      ContextCase{u"です+", u"ですか", 1, 0, 0},
                      ContextCase{u"でし*+", u"でした", 3, 0, -1},        // "*" any character
                      ContextCase{u"はな.", u"はな", 2, 0, -1},           // "." the text end
                      ContextCase{u"はな.", u"はなし", 2, 0, 0},
                      ContextCase{u"とき]が", u"ときが", 2, 0, -1},       // "]" ends the count
                      ContextCase{u"とき]が", u"ときに", 2, 0, 0},
                      ContextCase{u"x|と-まず", u"とまず", 3, 0, 1},       // the first that applies
                      // Initial values: negative caps, positive replaces, 1 or more meets the value.
                      ContextCase{u"と-まず", u"とまず", 3, -1, -1},
                      ContextCase{u"とても", u"とても", 3, 1, -1},
                      ContextCase{u"が=いいん", u"がいいん", 4, 1, 2},
                      ContextCase{u"がまんする", u"がまんし", 5, 1, 1},
                      ContextCase{u"が-する", u"がする", 3, 1, 1}));

}  // namespace
}  // namespace ostrel::japanese
