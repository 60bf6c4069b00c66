// The dispatcher's rules: list commands and kinds, the editing-state cascade,
// the context-menu labels and states, the conversion mode, and the words
// carried by web-search commands.
#include <gtest/gtest.h>

#include "common/ui_text/ui_text.h"
#include "ui/command_rules.h"
#include "ui/start_arguments.h"
#include "ui/timer_rules.h"
#include "ui/web_search_words.h"

namespace {

TEST(ListCommands, MapToTheirKindsBothWays) {
    const std::pair<uint32_t, int32_t> table[] = {{40003, 1},  {40004, 2},  {40006, 4},  {40007, 5},  {40140, 13},
                                                  {40139, 14}, {40142, 15}, {40143, 16}, {40138, 17}, {40145, 18}};
    for (auto [id, kind] : table) {
        EXPECT_EQ(ListKindOfCommand(id), kind) << id;
        EXPECT_EQ(ListCommandOfKind(kind), id) << kind;
    }
    EXPECT_EQ(ListKindOfCommand(40010), 0);
    EXPECT_FALSE(IsCheckedListCommand(40145));
    EXPECT_TRUE(IsCheckedListCommand(40138));
    EXPECT_EQ(ListNumberOfCommand(40007), 2);
    EXPECT_EQ(ListNumberOfCommand(40143), 7);
    EXPECT_EQ(ListNumberOfCommand(40145), -1);
}

struct EditingCase {
    const char* name;
    EditingInputs in;
    // 40064, 40400, 40067, 40083, 40029, 40066, 40065: 1 on, 0 off, -1 unchanged
    int expected[7];
};

int State(const std::optional<bool>& s) { return s ? (*s ? 1 : 0) : -1; }

class EditingCascade : public testing::TestWithParam<EditingCase> {};

TEST_P(EditingCascade, LaterStepsOverrideEarlierOnes) {
    EditingStates s = ComputeEditingStates(GetParam().in);
    int got[7] = {State(s.edit),        State(s.copyToWorking), State(s.newArticle), State(s.newFromClipboard),
                  State(s.deleteLines), State(s.deleteArticle), State(s.editAlt)};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got[i], GetParam().expected[i]) << i;
}

// Fields: row dictionary, row working, selected, kind, working exists, current row.
const EditingCase kEditingCases[] = {
    {"NoRowNoWorking", {false, false, 0, 2, false, false}, {0, 0, 0, 0, 0, 0, 0}},
    {"OtherDictionaryRowWithWorking", {true, false, 1, 2, true, true}, {0, 1, 1, 1, 0, -1, -1}},
    {"WorkingRowInReadingList", {true, true, 1, 2, true, true}, {1, 0, 1, 1, 1, 1, 1}},
    {"WorkingRowInSelectedListWithoutSelection", {true, true, 0, 13, true, true}, {0, 0, 1, 1, 0, 0, 0}},
    {"OtherRowInTranslationSelected", {true, false, 2, 1, true, true}, {0, 0, 1, 1, 1, -1, -1}},
    {"WorkingRowInHistory", {true, true, 1, 16, true, true}, {1, 0, 1, 1, 0, 0, -1}},
};

INSTANTIATE_TEST_SUITE_P(Table, EditingCascade, testing::ValuesIn(kEditingCases),
                         [](const testing::TestParamInfo<EditingCase>& info) { return info.param.name; });

TEST(ListMenu, LabelsNameTheWorkingDictionaryAndFollowTheList) {
    SetUILanguage(1);
    ListMenuInputs in;
    in.kind = 16;
    in.selected = 1;
    in.hasCurrentRow = true;
    in.workingExists = true;
    in.workingName = u"Personal";
    in.rowDictionary = true;
    in.rowIsWorking = true;
    ListMenuStates s = ComputeListMenuStates(in);
    EXPECT_EQ(s.deleteLabel, u"Delete Lines from List");
    EXPECT_EQ(s.copyToWorkingLabel, u"Copy the Article to \"Personal\" Dictionary");
    EXPECT_EQ(s.newArticleLabel, u"Add New Article to \"Personal\" Dictionary");
    EXPECT_TRUE(s.edit);
    EXPECT_FALSE(s.deleteArticle);  // not in the history list
    EXPECT_FALSE(s.copyToWorking);  // the row is the working dictionary's
    in.kind = 2;
    in.recordDeleted = true;
    s = ComputeListMenuStates(in);
    EXPECT_EQ(s.deleteLabel, u"Delete Article from Dictionary...");
    EXPECT_FALSE(s.deleteArticle);  // a deleted record
    EXPECT_FALSE(s.copyAndPrint);
    EXPECT_FALSE(s.addToSelected);
    in = ListMenuInputs{};
    s = ComputeListMenuStates(in);
    EXPECT_EQ(s.newFromSelectionLabel, u"Add Selected Text to \"...\" Dictionary");
    EXPECT_TRUE(s.editMenuGrey);
    EXPECT_TRUE(s.webMenuGrey);
    EXPECT_FALSE(s.newArticles);
}

TEST(ConversionMode, ReadingAlternatesAndWordsGoesThroughTwo) {
    EXPECT_EQ(NextConversionMode(2, 0), 1);
    EXPECT_EQ(NextConversionMode(2, 1), 0);
    EXPECT_EQ(NextConversionMode(4, 0), 2);
    EXPECT_EQ(NextConversionMode(4, 1), 2);
    EXPECT_EQ(NextConversionMode(4, 2), 0);
    EXPECT_EQ(NextConversionMode(5, 0), -1);
}

TEST(StartArguments, AreRecognisedAsWritten) {
    EXPECT_TRUE(IsUninstallArgument(u"/uninstall"));
    EXPECT_FALSE(IsUninstallArgument(u"/UNINSTALL"));
    EXPECT_TRUE(IsDictionariesArgument(u"/Dictionaries"));
    EXPECT_TRUE(IsSavedListArgument(u"C:\\lists\\a.OXM"));
    EXPECT_FALSE(IsSavedListArgument(u"-a.oxm"));
    EXPECT_FALSE(IsSavedListArgument(u"oxm"));
    EXPECT_TRUE(IsFileArgument(u"edict"));
}

TEST(StartArguments, AMemoPathTooLongForAPathIsIgnored) {
    EXPECT_EQ(UsableMemoPath(std::u16string(259, u'a'), u"d"), std::u16string(259, u'a'));
    EXPECT_EQ(UsableMemoPath(std::u16string(260, u'a'), u"d"), u"d");
    EXPECT_EQ(UsableMemoPath(std::u16string(511, u'a'), u"d"), u"d");
    EXPECT_EQ(UsableMemoPath(u"", u"d"), u"d");
}

TEST(WebSearchWords, OnlyWordsHandedOutAreTakenBackAndEachOnce) {
    WebSearchWords words;
    BSTR word = SysAllocString(L"\u732b");
    LPARAM value = words.HandOut(word);
    BSTR foreign = SysAllocString(L"x");
    EXPECT_EQ(words.TakeBack(0), nullptr);
    EXPECT_EQ(words.TakeBack(-1), nullptr);
    EXPECT_EQ(words.TakeBack(reinterpret_cast<LPARAM>(foreign)), nullptr);
    EXPECT_EQ(words.Held(), 1u);
    BSTR back = words.TakeBack(value);
    EXPECT_EQ(back, word);
    EXPECT_EQ(words.TakeBack(value), nullptr);  // a second arrival is refused
    SysFreeString(back);
    SysFreeString(foreign);
    words.HandOut(SysAllocString(L"never posted"));  // freed by the destructor
}

TEST(UnderCursorWatch, AStuckStepIsReportedOncePerStep) {
    UnderCursorWatch watch;
    watch.Begin(0xFFFFF000u);  // the tick count wraps during the step
    EXPECT_FALSE(watch.ReportStuck(0xFFFFF000u + 5000));
    EXPECT_TRUE(watch.IsStuck(0xFFFFF000u + 5001));
    EXPECT_TRUE(watch.ReportStuck(0xFFFFF000u + 5001));
    EXPECT_FALSE(watch.ReportStuck(0xFFFFF000u + 9000));
    EXPECT_TRUE(watch.IsStuck(0xFFFFF000u + 9000));
    watch.End();
    EXPECT_FALSE(watch.IsStuck(0xFFFFF000u + 9100));
    watch.Begin(100);
    EXPECT_TRUE(watch.ReportStuck(5200));  // the next stuck step is reported again
    EXPECT_TRUE(IsUpdateTick(40));
    EXPECT_FALSE(IsUpdateTick(41));
    EXPECT_FALSE(IsUpdateCheckDue(0, 100));
    EXPECT_TRUE(IsUpdateCheckDue(99, 100));
}

}  // namespace
