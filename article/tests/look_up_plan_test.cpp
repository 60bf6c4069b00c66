// Looking up a selected text: cleaning, the list chosen by command and
// script, and the "reading【word】" cut of clicked links.
#include <gtest/gtest.h>

#include <string>

#include "article/look_up_plan.h"
#include "common/tests/edict_files.h"

namespace {

auto Lists(bool words4, bool kanji5) {
    return [=](int32_t kind) { return kind == 4 ? words4 : kind == 5 ? kanji5 : false; };
}

TEST(LookUpPlan, ReadingAndWordOfALinkAreSearchedTogether) {
    LookUpPlan plan = PlanLookUp(u"ねこ【猫】", kLookUpLink, Lists(true, true));
    ASSERT_TRUE(plan.run);
    EXPECT_EQ(plan.text, u"ねこ");
    EXPECT_EQ(plan.second, u"猫");
    // A space before the bracket is dropped, one only.
    plan = PlanLookUp(u"ねこ  【猫】", kLookUpLink, Lists(true, true));
    EXPECT_EQ(plan.text, u"ねこ ");
    EXPECT_EQ(plan.second, u"猫");
}

TEST(LookUpPlan, ACloseBracketBeforeTheOpenOneSearchesTheWholeText) {
    LookUpPlan plan = PlanLookUp(u"a】b【c", kLookUpLink, Lists(true, true));
    ASSERT_TRUE(plan.run);
    EXPECT_EQ(plan.text, u"a】b【c");
    EXPECT_TRUE(plan.second.empty());
    // Without a close bracket the word runs to the end.
    plan = PlanLookUp(u"ねこ【猫", kLookUpLink, Lists(true, true));
    EXPECT_EQ(plan.text, u"ねこ");
    EXPECT_EQ(plan.second, u"猫");
}

TEST(LookUpPlan, BracketsPastTheFirstHundredUnitsAreNotCut) {
    const std::u16string text = std::u16string(100, u'あ') + u"【猫】";
    LookUpPlan plan = PlanLookUp(text, kLookUpLink, Lists(true, true));
    EXPECT_EQ(plan.text, text);
    EXPECT_TRUE(plan.second.empty());
}

TEST(LookUpPlan, OnlyALinkLookUpCutsAtBrackets) {
    LookUpPlan plan = PlanLookUp(u"ねこ【猫】", kLookUpInList, Lists(true, true));
    EXPECT_EQ(plan.text, u"ねこ【猫】");
    EXPECT_TRUE(plan.second.empty());
}

TEST(LookUpPlan, ControlUnitsBecomeSpacesAndTrailingBlanksGo) {
    LookUpPlan plan = PlanLookUp(u"\tcat\r\n \u3000", kLookUpInList, Lists(true, true));
    ASSERT_TRUE(plan.run);
    EXPECT_EQ(plan.text, u" cat");
    EXPECT_FALSE(PlanLookUp(u" \r\n\u3000\t", kLookUpInList, Lists(true, true)).run);
    EXPECT_FALSE(PlanLookUp(u"", kLookUpInList, Lists(true, true)).run);
}

struct ListCase {
    const char* name;
    std::u16string text;
    uint32_t command;
    bool words4, kanji5;
    int32_t kind;
    uint32_t listCommand;
};

class LookUpListChoice : public ::testing::TestWithParam<ListCase> {};

TEST_P(LookUpListChoice, CommandAndScriptPickTheList) {
    const ListCase& c = GetParam();
    LookUpPlan plan = PlanLookUp(c.text, c.command, Lists(c.words4, c.kanji5));
    EXPECT_EQ(plan.kind, c.kind);
    EXPECT_EQ(plan.listCommand, c.listCommand);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookUpListChoice,
    ::testing::Values(ListCase{"Translate", u"猫", kLookUpTranslated, true, true, 1, 40003},
                      ListCase{"FullText", u"cat", kLookUpInFullText, true, true, 14, 40139},
                      ListCase{"LatinToWords", u"cat", kLookUpLink, true, true, 4, 40006},
                      ListCase{"LatinWithoutWordsToLexicon", u"cat", kLookUpLink, false, true, 15, 40142},
                      ListCase{"KanaToReadings", u"ねこ cat", kLookUpInList, true, true, 2, 40004},
                      ListCase{"HanToKanji", u"ねこ猫", kLookUpInList, true, true, 5, 40007},
                      ListCase{"SupplementaryHanToKanji", u"\U00020B9F", kLookUpInList, true, true, 5, 40007},
                      ListCase{"HanWithoutKanjiList", u"猫", kLookUpInList, true, false, 10, 40149},
                      ListCase{"SymbolsToKanjiOr10", u"\u2605", kLookUpInList, true, false, 10, 40149}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

// Every EDICT entry with a kanji headword, written as its reading and word
// the way articles link them, comes apart into that reading and word.
TEST(LookUpPlan, EdictLinksComeApartIntoReadingAndWord) {
    const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    if (bytes.empty()) GTEST_SKIP() << "edict not installed";
    int checked = 0;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        const std::u16string decoded = DecodeEucJpLine(line);
        const size_t space = decoded.find(u" [");
        const size_t close = decoded.find(u']');
        if (space == std::u16string::npos || close == std::u16string::npos || close < space) continue;
        const std::u16string word = decoded.substr(0, space);
        const std::u16string reading = decoded.substr(space + 2, close - space - 2);
        if (reading.size() + word.size() > 90 || word.find(u'【') != std::u16string::npos) continue;
        LookUpPlan plan = PlanLookUp(reading + u"【" + word + u"】", kLookUpLink, Lists(true, true));
        ASSERT_EQ(plan.text, reading);
        ASSERT_EQ(plan.second, word);
        ++checked;
    }
    EXPECT_GT(checked, 100000);
}

}  // namespace
