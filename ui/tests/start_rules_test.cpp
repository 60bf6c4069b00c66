// Program start without windows: the first-run rectangle, keeping a window on
// the screen, the help file and topic, the developer folder and the usage
// counters, checked against the program's fixed sizes, pages and rules.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ui/start_rules.h"

namespace {

struct FirstRunCase {
    int32_t dpi;
    int32_t width, height, listHeight;
};

class FirstRunRectangle : public testing::TestWithParam<FirstRunCase> {};

TEST_P(FirstRunRectangle, ScalesAboveNinetySixDpiAndSitsTopRight) {
    const FirstRunCase& c = GetParam();
    WindowRect rect = FirstRunRect(c.dpi, 1280);
    EXPECT_EQ(rect.width, c.width);
    EXPECT_EQ(rect.height, c.height);
    EXPECT_EQ(rect.listHeight, c.listHeight);
    EXPECT_EQ(rect.x, 1280 - 16 - c.width);
    EXPECT_EQ(rect.y, 16);
}

// 97 DPI jumps to 344 x 97 / 96 = 347 wide: the width formula is not 400-based.
INSTANTIATE_TEST_SUITE_P(Dpi, FirstRunRectangle,
                         testing::Values(FirstRunCase{96, 400, 520, 320}, FirstRunCase{120, 430, 650, 400},
                                         FirstRunCase{97, 347, 525, 323}, FirstRunCase{0, 400, 520, 320}));

TEST(KeepOnScreen, PullsBackPastTheEdgesAndNeverBelowZero) {
    WindowRect wide{100, 50, 1500, 400, 0};
    KeepOnScreen(wide, 1280, 1024);
    EXPECT_EQ(wide.x, 0);  // 1280 - 1500 is negative
    EXPECT_EQ(wide.y, 50);
    WindowRect low{900, 900, 300, 200, 0};
    KeepOnScreen(low, 1280, 1024);
    EXPECT_EQ(low.x, 900);
    EXPECT_EQ(low.y, 824);
    WindowRect tiny{-5, -5, 3, 16, 0};
    KeepOnScreen(tiny, 1280, 1024);
    EXPECT_EQ(tiny.width, 16);
    EXPECT_EQ(tiny.height, 16);
    EXPECT_EQ(tiny.x, 0);
    EXPECT_EQ(tiny.y, 0);
}

// A damaged settings file: corners far off every side (the largest ints once
// wrapped past the edge test and stayed off screen) come back inside a work
// area that begins below a task bar at the top.
TEST(KeepOnWorkArea, BringsAnyCornerInside) {
    const WindowRect area{0, 30, 1280, 994, 0};
    for (WindowRect rect : {WindowRect{2147483000, 2147483000, 700, 560, 0}, WindowRect{-2147483000, -40000, 700, 560, 0},
                            WindowRect{5000, 300, 700, 560, 0}}) {
        KeepOnWorkArea(rect, area);
        EXPECT_GE(rect.x, 0);
        EXPECT_LE(rect.x + rect.width, 1280);
        EXPECT_GE(rect.y, 30);
        EXPECT_LE(rect.y + rect.height, 1024);
        EXPECT_EQ(rect.width, 700);
        EXPECT_EQ(rect.height, 560);
    }
}

struct HelpCase {
    int32_t language;
    std::set<std::u16string> installed;
    std::u16string chosen;
};

class HelpFileChoice : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpFileChoice, FallsBackInTheLanguagesOrder) {
    const HelpCase& c = GetParam();
    auto exists = [&c](const std::u16string& path) { return c.installed.count(path) != 0; };
    EXPECT_EQ(ChooseHelpFile(c.language, u"C:\\P\\", exists), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Installed, HelpFileChoice,
    testing::Values(HelpCase{1, {u"C:\\P\\OstrelProJp.chm"}, u"C:\\P\\OstrelProJp.chm"},
                    HelpCase{0, {u"C:\\P\\OstrelProEn.chm", u"C:\\P\\OstrelProJp.chm"}, u"C:\\P\\OstrelProEn.chm"},
                    HelpCase{2, {u"C:\\P\\OstrelProRu.chm", u"C:\\P\\OstrelProEn.chm"}, u"C:\\P\\OstrelProEn.chm"},
                    HelpCase{1, {u"C:\\P\\OstrelProRu.chm"}, u"C:\\P\\OstrelProRu.chm"},
                    HelpCase{2, {}, u"C:\\P\\OstrelProEn.chm"}));

TEST(HelpTopic, PagesAreAppendedAsWrittenAndUnknownTopicsOpenTheFile) {
    EXPECT_EQ(HelpTopicPath(u"h.chm", 148), u"h.chm::/html/list_selected.htm");
    EXPECT_EQ(HelpTopicPath(u"h.chm", 124), u"h.chm::/html/addic.htm#hid_adddicweb");
    EXPECT_EQ(HelpTopicPath(u"h.chm", 0), u"h.chm");
    EXPECT_EQ(HelpTopicPath(u"h.chm", 103), u"h.chm");
}

// Every id from 100 to 160 against the topic table: the listed ones open
// their page, every other id the file's default page.
TEST(HelpTopic, EveryIdOpensThePageOfTheTopicTable) {
    const std::map<int32_t, std::u16string_view> table = {
        {101, u"purpose.htm"},          {102, u"requirements.htm"},      {106, u"searchlist.htm"},
        {107, u"monitorie.htm"},        {108, u"monitorclipboard.htm"},  {109, u"list_readings.htm"},
        {110, u"list_russian.htm"},     {111, u"list_translation.htm"},  {120, u"edit_words.htm"},
        {123, u"addic.htm"},            {124, u"addic.htm#hid_adddicweb"}, {127, u"list_history.htm"},
        {130, u"support.htm"},          {131, u"settings_topmost.htm"},  {132, u"settings_language.htm"},
        {133, u"settings_font.htm"},    {134, u"settings_hide.htm"},     {135, u"settings_translit.htm"},
        {136, u"settings_trayicon.htm"}, {138, u"settings_windows.htm"}, {139, u"list_kanji.htm"},
        {142, u"import.htm"},           {143, u"imported_types.htm"},    {144, u"article.htm"},
        {145, u"print.htm"},            {146, u"list_search.htm"},       {147, u"list_lexicon.htm"},
        {148, u"list_selected.htm"},      {149, u"settings_list.htm"},     {152, u"book.htm"},
        {153, u"book_add.htm"},
    };
    for (int32_t id = 100; id <= 160; ++id) {
        const auto found = table.find(id);
        EXPECT_EQ(HelpTopicPage(id), found == table.end() ? u"" : found->second) << id;
    }
}

TEST(DeveloperBuildFolder, NeedsEveryProjectFolderAndABuildKind) {
    EXPECT_TRUE(IsDeveloperBuildPath(u"D:\\Projects\\Ostrel\\OstrelPro\\Release\\"));
    EXPECT_TRUE(IsDeveloperBuildPath(u"C:\\x\\Projects\\Ostrel\\OstrelPro\\bin\\Debug\\"));
    EXPECT_FALSE(IsDeveloperBuildPath(u"D:\\Projects\\Ostrel\\OstrelPro\\"));
    EXPECT_FALSE(IsDeveloperBuildPath(u"C:\\Program Files\\OstrelPro\\Release\\"));
}

TEST(UsageCounters, ADateCountsAsTodayByYearMonthAndDayOnly) {
    RegistryDate today{2026, 12, 1, 7, 9, 30, 0, 0};
    RegistryDate earlier = today;
    earlier.hour = 1;
    earlier.dayOfWeek = 5;
    auto bytes = [](const RegistryDate& d) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&d), sizeof(d));
    };
    EXPECT_TRUE(IsStoredDateToday(bytes(earlier), today));
    RegistryDate yesterday = today;
    yesterday.day = 6;
    EXPECT_FALSE(IsStoredDateToday(bytes(yesterday), today));
    EXPECT_FALSE(IsStoredDateToday(bytes(today).first(15), today));  // short data: no date
    EXPECT_FALSE(IsStoredDateToday({}, today));
}

TEST(UsageCounters, MinutesOfUseAddUpInTheWordAtByteThirtySix) {
    StatisticsRecord record{};
    record[35] = 0xAA;
    record[40] = 0xBB;
    AddMinutesOfUse(record, 59999);
    EXPECT_EQ(StatisticsMinutes(record), 0u);
    AddMinutesOfUse(record, 3 * 60000 + 5);
    EXPECT_EQ(StatisticsMinutes(record), 3u);
    EXPECT_EQ(record[36], 3);
    EXPECT_EQ(record[35], 0xAA);  // the neighbours stay
    EXPECT_EQ(record[40], 0xBB);
}

}  // namespace
