// The window-free rules of the main window's bars: the layout over window
// sizes from tiny to 4K at 96, 120 and 144 DPI, the size-bar limits, the
// status name's shortening (one pixel per character), the toolbar and tab
// tables and the list-tab rule over a tab strip held in a vector.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "resources/program/resource_ids.h"
#include "ui/bar_tables.h"
#include "ui/frame_layout.h"

namespace {

void ExpectNonNegative(const PaneRect& rect) {
    EXPECT_GE(rect.width, 0);
    EXPECT_GE(rect.height, 0);
}

TEST(FrameLayout, EverySizeFromTinyTo4KAtThreeDpis) {
    struct Dpi {
        int32_t status, font;
    };
    for (Dpi dpi : {Dpi{22, 12}, Dpi{27, 15}, Dpi{33, 18}}) {
        for (int32_t width : {0, 1, 40, 53, 120, 400, 1024, 3840}) {
            for (int32_t height : {0, 10, 100, 200, 520, 1080, 2160}) {
                for (int32_t split : {-50, 0, 150, 300, 5000}) {
                    FrameLayout l = ComputeFrameLayout({width, height, dpi.status, dpi.font, split});
                    SCOPED_TRACE(testing::Message() << width << "x" << height << " split " << split);
                    for (const PaneRect& r : {l.toolbars[0], l.toolbars[1], l.toolbars[2], l.input, l.tabs,
                                              l.list, l.sizeBar, l.article, l.status})
                        ExpectNonNegative(r);
                    EXPECT_GE(l.toolbar3Indent, 0);
                    int32_t inputHeight = std::max(2 * dpi.font + 8, 24);
                    EXPECT_EQ(l.toolbars[1].y, 26);
                    EXPECT_EQ(l.toolbars[2].y, 51);
                    EXPECT_EQ(l.toolbars[2].height, inputHeight + 3);
                    EXPECT_EQ(l.input.height, inputHeight);
                    EXPECT_EQ(l.tabs.y, 51 + inputHeight + 3);
                    EXPECT_EQ(l.list.y, l.tabs.y + 24);
                    EXPECT_EQ(l.list.height, l.split - l.tabs.y - 24);
                    EXPECT_GE(l.list.height, 60);
                    EXPECT_EQ(l.sizeBar.y, l.split);
                    EXPECT_EQ(l.article.y, l.split + 5);
                    EXPECT_EQ(l.status.y, height - dpi.status);
                    bool fits = height - dpi.status - 40 >= l.tabs.y + 84;
                    if (fits) {
                        // Everything lies inside the client area, stacked without gaps.
                        EXPECT_LE(l.split, height - dpi.status - 40);
                        EXPECT_EQ(l.article.y + l.article.height, l.status.y);
                        if (split >= l.tabs.y + 84 && split <= height - dpi.status - 40) {
                            EXPECT_EQ(l.split, split);
                        }
                    }
                    if (width >= 53) {
                        EXPECT_EQ(l.input.width, width - 53);
                        EXPECT_EQ(l.toolbar3Indent, width - 51);
                    }
                }
            }
        }
    }
}

TEST(FrameLayout, InputBoxEndsWhereToolbar3sButtonsBeginHoweverWideTheyAre) {
    for (int32_t buttons : {0, 48, 49, 52, 64}) {
        for (int32_t width : {400, 800, 1200}) {
            LayoutInput in{width, 560, 22, 12, 300};
            in.inputButtonsWidth = buttons;
            FrameLayout l = ComputeFrameLayout(in);
            SCOPED_TRACE(testing::Message() << buttons << " at " << width);
            EXPECT_LE(l.toolbar3Indent + buttons, width) << "the last button inside the toolbar";
            EXPECT_LE(l.input.x + l.input.width, l.toolbar3Indent) << "the input box left of the first button";
            if (buttons <= 49) {
                EXPECT_EQ(l.toolbar3Indent, width - 51);
            }
        }
    }
}

TEST(FrameLayout, ASmallWindowStillGetsAListSixtyHighAndNoNegativeArticle) {
    FrameLayout l = ComputeFrameLayout({300, 150, 22, 12, 400});
    EXPECT_EQ(l.list.height, 60);
    EXPECT_EQ(l.article.height, 0);
    EXPECT_EQ(l.input.x, 1);
    EXPECT_EQ(l.input.y, 1);
}

TEST(SizeBarDrag, StopsBelowToolbarOneAndAboveTheBottom) {
    EXPECT_EQ(ClampSizeBarPosition(-500, 600), 56);
    EXPECT_EQ(ClampSizeBarPosition(300, 600), 300);
    EXPECT_EQ(ClampSizeBarPosition(5000, 600), 589);
    EXPECT_EQ(ClampSizeBarPosition(5000, 20), 56);  // the upper limit cannot pass the lower
}

TEST(StatusLine, NamePartLeavesRoomForTheLineCount) {
    EXPECT_EQ(StatusNamePartEnd(400, 150), 242);
    EXPECT_EQ(StatusNamePartEnd(400, -1), 0);
    EXPECT_EQ(StatusNamePartEnd(100, 150), 0);
}

struct ShortenCase {
    const char16_t* text;
    int32_t width;
    const char16_t* expected;
};

class StatusNameShortening : public testing::TestWithParam<ShortenCase> {};

TEST_P(StatusNameShortening, OnePixelPerCharacter) {
    auto measure = [](std::u16string_view text) { return static_cast<int32_t>(text.size()); };
    EXPECT_EQ(ShortenStatusText(GetParam().text, GetParam().width, measure), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusNameShortening,
    testing::Values(ShortenCase{u"C:\\Dicts\\edict.qdx", 18, u"C:\\Dicts\\edict.qdx"},
                    ShortenCase{u"C:\\Dictionaries\\edict.qdx", 15, u"C:\\...edict.qdx"},
                    ShortenCase{u"D:/a/very/long/path/kanjidic.qdx", 18, u"D:/...kanjidic.qdx"},
                    ShortenCase{u"Japanese-Russian", 10, u"Japanes..."},
                    ShortenCase{u"ab\U0001F600cd", 5, u"ab..."},
                    ShortenCase{u"C:\\ab\U0001F600y", 7, u"C:\\...y"},
                    ShortenCase{u"", 0, u""}));

TEST(ToolbarTables, TheImageStripHoldsTheHighestImage) {
    int32_t highest = 0;
    for (int32_t toolbar = 1; toolbar <= 3; ++toolbar)
        for (const ToolbarButton& button : ToolbarButtons(toolbar)) highest = std::max(highest, button.image);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TOOLBAR_IMAGES),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    BITMAP info{};
    GetObjectW(strip, sizeof(info), &info);
    DeleteObject(strip);
    EXPECT_EQ(highest, 53);
    EXPECT_GE(info.bmWidth / 16, highest + 1);
}

class VectorStrip final : public IListTabStrip {
public:
    int32_t Count() override { return static_cast<int32_t>(tabs.size()); }
    uint32_t CommandAt(int32_t index) override { return tabs[index].first; }
    void Remove(int32_t index) override { tabs.erase(tabs.begin() + index); }
    int32_t Insert(int32_t position, uint32_t command, int32_t image) override {
        position = std::min(position, Count());
        tabs.insert(tabs.begin() + position, {command, image});
        return position;
    }
    std::vector<std::pair<uint32_t, int32_t>> tabs;
};

TEST(ListTabs, InsertFindAndRemove) {
    VectorStrip strip;
    for (uint32_t command : {40003u, 40004u, 40007u})
        strip.Insert(strip.Count(), command, TabImageOfCommand(command));
    EXPECT_EQ(FindOrInsertListTab(strip, 1, 40004, true), 1);  // present: nothing inserted
    EXPECT_EQ(strip.Count(), 3);
    EXPECT_EQ(FindOrInsertListTab(strip, 3, 40142, true), 3);  // image 9 from the tab table
    EXPECT_EQ(strip.tabs[3], (std::pair<uint32_t, int32_t>{40142, 9}));
    EXPECT_EQ(FindOrInsertListTab(strip, 0, 40145, true), 0);
    EXPECT_EQ(strip.tabs[0].second, 0);
    EXPECT_EQ(FindOrInsertListTab(strip, 0, 40141, true), -1);  // a language item is no list
    EXPECT_EQ(FindOrInsertListTab(strip, 0, 40006, false), -1);
    EXPECT_EQ(FindOrInsertListTab(strip, 0, 40004, false), 2);  // removed
    EXPECT_EQ(FindOrInsertListTab(strip, 0, 40004, false), -1);
    EXPECT_EQ(strip.Count(), 4);
}

}  // namespace
