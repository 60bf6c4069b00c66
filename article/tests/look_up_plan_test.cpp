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

struct CutCase {
    const char* name;
    std::u16string text;
    uint32_t command;
    std::u16string searched, second;
};

class LookUpCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(LookUpCut, TextsSearched) {
    const CutCase& c = GetParam();
    const LookUpPlan plan = PlanLookUp(c.text, c.command, Lists(true, true));
    ASSERT_TRUE(plan.run);
    EXPECT_EQ(plan.text, c.searched);
    EXPECT_EQ(plan.second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookUpCut,
    ::testing::Values(CutCase{"ReadingAndWord", u"ねこ【猫】", kLookUpLink, u"ねこ", u"猫"},
                      CutCase{"OneSpaceBeforeTheBracketGoes", u"ねこ  【猫】", kLookUpLink, u"ねこ ", u"猫"},
                      CutCase{"CloseBeforeOpenIsWholeText", u"a】b【c", kLookUpLink, u"a】b【c", u""},
                      CutCase{"NoCloseRunsToTheEnd", u"ねこ【猫", kLookUpLink, u"ねこ", u"猫"},
                      CutCase{"BracketsPastUnit100StayText", std::u16string(100, u'あ') + u"【猫】", kLookUpLink,
                              std::u16string(100, u'あ') + u"【猫】", u""},
                      CutCase{"OnlyLinksAreCut", u"ねこ【猫】", kLookUpInList, u"ねこ【猫】", u""},
                      CutCase{"ControlsToSpacesTrailingBlanksGo", u"\tcat\r\n \u3000", kLookUpInList, u" cat", u""}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

TEST(LookUpPlan, NothingLeftAfterTrimmingStops) {
    EXPECT_FALSE(PlanLookUp(u" \r\n\u3000\t", kLookUpInList, Lists(true, true)).run);
    EXPECT_FALSE(PlanLookUp(u"", kLookUpInList, Lists(true, true)).run);
}

TEST(LookUpPlan, CommandAndScriptPickTheList) {
    const struct {
        std::u16string text;
        uint32_t command;
        bool words4, kanji5;
        int32_t kind;
        uint32_t listCommand;
    } cases[] = {{u"猫", kLookUpTranslated, true, true, 1, 40003},    {u"cat", kLookUpInFullText, true, true, 14, 40139},
                 {u"cat", kLookUpLink, true, true, 4, 40006},         {u"cat", kLookUpLink, false, true, 15, 40142},
                 {u"ねこ cat", kLookUpInList, true, true, 2, 40004},  {u"ねこ猫", kLookUpInList, true, true, 5, 40007},
                 {u"\U00020B9F", kLookUpInList, true, true, 5, 40007}, {u"猫", kLookUpInList, true, false, 10, 40149},
                 {u"\u2605", kLookUpInList, true, false, 10, 40149}};
    for (const auto& c : cases) {
        const LookUpPlan plan = PlanLookUp(c.text, c.command, Lists(c.words4, c.kanji5));
        EXPECT_EQ(plan.kind, c.kind) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(plan.listCommand, c.listCommand);
    }
}

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
