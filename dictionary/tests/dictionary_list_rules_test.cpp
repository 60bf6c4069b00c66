// The dictionaries and properties dialogs' window-free rules: row pictures,
// cell texts, refusals and the path split and join.
#include "dictionary/dictionary_list_rules.h"

#include <gtest/gtest.h>

#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"

namespace {

constexpr uint32_t kOpen = kDictionaryOpen;

TEST(DictionaryListRules, RowImageFollowsTheFlagsTable) {
    struct Case {
        uint32_t flags;
        int32_t image;
    } cases[] = {
        {kDictionaryBook | kDictionaryEditable | kOpen, 13}, {kDictionaryBook | kDictionaryEditable, 8},
        {kDictionaryBook | kOpen, 9},                        {kDictionaryBook | kOpen | kDictionaryToClose, 8},
        {kDictionaryWorking | kDictionaryEditable | kOpen, 3}, {kDictionaryWorking | kDictionaryEditable, 4},
        {kDictionaryEditable | kOpen, 2},                    {kOpen, 1}, {0, 4}, {kOpen | kDictionaryToClose, 4},
    };
    for (const Case& c : cases) EXPECT_EQ(DictionaryRowImage(c.flags), c.image) << std::hex << c.flags;
    EXPECT_TRUE(IsActiveDictionary(kOpen));
    EXPECT_FALSE(IsActiveDictionary(kOpen | kDictionaryToClose));
}

TEST(DictionaryListRules, CellTextsAtTheirEdges) {
    EXPECT_EQ(GroupArticleCount(0), u"0");
    EXPECT_EQ(GroupArticleCount(999), u"999");
    EXPECT_EQ(GroupArticleCount(1000), u"1 000");
    EXPECT_EQ(GroupArticleCount(999999), u"999 999");
    EXPECT_EQ(GroupArticleCount(1000000), u"1 000 000");
    EXPECT_EQ(GroupArticleCount(4294967295u), u"4294 967 295");  // groups only the last six digits
    EXPECT_EQ(CutDateText(u"2026-12-07 18:00:00"), u"2026-12-07");
    EXPECT_EQ(CutDateText(std::u16string(100, u'9')).size(), 80u);
    EXPECT_EQ(FileDateText(2026, 3, 7), u"2026-03-07");
    EXPECT_EQ(ScaleColumnWidth(130, 96), 104);
    EXPECT_EQ(ScaleColumnWidth(130, 99), 104);
    EXPECT_EQ(ScaleColumnWidth(130, 100), 130);
}

// Unchecking and removing make the same refusals.
TEST(DictionaryListRules, ClosingIsRefusedUnderAnEditorOrAReader) {
    const uint32_t working = kDictionaryWorking | kDictionaryEditable | kOpen;
    EXPECT_EQ(RefuseClosing(working, true, false), CloseRefusal::kWorkingHasEditor);
    EXPECT_EQ(RefuseClosing(working, false, false), CloseRefusal::kNone);
    EXPECT_EQ(RefuseClosing(kDictionaryEditable | kOpen, true, false), CloseRefusal::kNone);
    EXPECT_EQ(RefuseClosing(kDictionaryBook | kOpen, false, true), CloseRefusal::kShownInBookReader);
    EXPECT_TRUE(CloseNeedsConfirmation(0));
    EXPECT_FALSE(CloseNeedsConfirmation(1));
}

TEST(DictionaryListRules, PathSplitsAndJoinsBack) {
    struct Case {
        const char16_t *path, *folder, *name, *joined;
    } cases[] = {
        {u"C:\\Dicts\\Personal.qdx", u"C:\\Dicts", u"Personal.qdx", u"C:\\Dicts\\Personal.qdx"},
        {u"C:Personal.qdx", u"C:", u"Personal.qdx", u"C:Personal.qdx"},
        {u"C:\\Personal.qdx", u"C:\\", u"Personal.qdx", u"C:\\Personal.qdx"},
        {u"Personal.qdx", u"", u"Personal.qdx", u"Personal.qdx"},
    };
    for (const Case& c : cases) {
        const SplitPathParts parts = SplitDictionaryPath(c.path);
        EXPECT_EQ(parts.folder, c.folder);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(JoinDictionaryPath(parts.folder, parts.name), c.joined);
    }
    EXPECT_EQ(JoinDictionaryPath(u"C:\\Dicts\\", u"a.qdx"), u"C:\\Dicts\\a.qdx");
    EXPECT_EQ(WithDictionaryExtension(u"Mine"), u"Mine.qdx");
    EXPECT_EQ(WithDictionaryExtension(u"Mine.dat"), u"Mine.dat");
    EXPECT_TRUE(PathFits(std::u16string(259, u'a')));
    EXPECT_FALSE(PathFits(std::u16string(260, u'a')));
    EXPECT_EQ(WithCarriageReturns(u"a\nb\r\nc\n"), u"a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithCarriageReturns(u"\n"), u"\r\n");
}

}  // namespace
