// Toolbar tooltips from the command titles, and the start-up language choice.
#include "common/ui_text/toolbar_tooltip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui_text/ui_text.h"

namespace {

std::u16string Tooltip(uint32_t command, std::u16string_view working, bool* isNull = nullptr) {
    std::vector<char16_t> out(kToolbarTooltipUnits + 1, u'#');
    char16_t* result = FormatToolbarTooltip(command, working, std::span<char16_t>(out.data(), kToolbarTooltipUnits));
    EXPECT_EQ(out[kToolbarTooltipUnits], u'#');
    if (isNull) *isNull = result == nullptr;
    return result ? std::u16string(result) : std::u16string();
}

class ToolbarTooltip : public ::testing::Test {
protected:
    void TearDown() override { SetUILanguage(1); }
};

TEST(FileTitle, DropsFolderAndExtension) {
    EXPECT_EQ(FileTitleOf(u"C:\\Dictionaries\\My Words.qdx"), u"My Words");
    EXPECT_EQ(FileTitleOf(u"/home/u/edict.v2.qdx"), u"edict.v2");
    EXPECT_EQ(FileTitleOf(u"D:Personal1.qdx"), u"Personal1");
    EXPECT_EQ(FileTitleOf(u"C:\\a.dir\\plain"), u"plain");
    EXPECT_EQ(FileTitleOf(u""), u"");
}

TEST_F(ToolbarTooltip, NamesTheWorkingDictionary) {
    EXPECT_EQ(Tooltip(40067, u"C:\\Dictionaries\\Personal1.qdx"), u"Add New Article to \"Personal1\" Dictionary");
    EXPECT_EQ(Tooltip(40083, u"C:\\D\\w.qdx"), u"Add New Article from Clipboard to \"w\" Dictionary");
    EXPECT_EQ(Tooltip(40500, u"w.qdx"), u"Add Selected Text to \"w\" Dictionary");
    EXPECT_EQ(Tooltip(40400, u"w.qdx"), u"Copy the Article to \"w\" Dictionary");
}

TEST_F(ToolbarTooltip, EmptyNameWithoutWorkingDictionary) {
    EXPECT_EQ(Tooltip(40067, u""), u"Add New Article to \"\" Dictionary");
}

TEST_F(ToolbarTooltip, LongNameIsCutToTheBuffer) {
    std::u16string path = u"C:\\" + std::u16string(260, u'x') + u".qdx";
    std::u16string tip = Tooltip(40067, path);
    EXPECT_EQ(tip.size(), kToolbarTooltipUnits - 1);
    EXPECT_EQ(tip, (u"Add New Article to \"" + std::u16string(260, u'x')).substr(0, kToolbarTooltipUnits - 1));
}

TEST_F(ToolbarTooltip, PlainTitlesAndUnknownCommands) {
    EXPECT_EQ(Tooltip(40010, u"ignored.qdx"), u"Search");
    EXPECT_EQ(Tooltip(40045, u""), u"Run Flashcards");   // the later record wins
    bool isNull = false;
    Tooltip(40999, u"", &isNull);
    EXPECT_TRUE(isNull);
    Tooltip(0, u"", &isNull);
    EXPECT_TRUE(isNull);
}

TEST_F(ToolbarTooltip, FollowsTheInterfaceLanguage) {
    SetUILanguage(0);
    EXPECT_EQ(Tooltip(40067, u"w.qdx"), u"Добавить новую статью в словарь \"w\"");
    SetUILanguage(2);
    EXPECT_EQ(Tooltip(40067, u"w.qdx"), u"辞書「w」に新しい項目を追加");
}

struct StartCase {
    bool stateValid;
    uint32_t flags;
    uint16_t systemLanguage;
    uint32_t language;
    uint32_t flagsAfter;
};

class StartupLanguage : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartupLanguage, ChoosesFromFlagsOrSystem) {
    StartCase c = GetParam();
    uint32_t flags = c.flags;
    EXPECT_EQ(ChooseStartupLanguage(c.stateValid, flags, c.systemLanguage), c.language);
    EXPECT_EQ(flags, c.flagsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupLanguage,
    ::testing::Values(StartCase{true, 0x4800, 1041, 1, 0x4800},   // English bit wins over Japanese
                      StartCase{true, 0x0800, 1033, 2, 0x0800}, StartCase{true, 0x0000, 1041, 0, 0x0000},
                      StartCase{false, 0x29000, 1041, 2, 0x29800}, StartCase{false, 0x29000, 1049, 0, 0x29000},
                      StartCase{false, 0x29000, 1033, 1, 0x2D000}, StartCase{false, 0x29800, 1058, 1, 0x2D000}));

}  // namespace
