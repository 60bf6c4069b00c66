// The list window in a real window under Wine: header titles from the layout,
// the page after keys, clicks and small wheel turns, the selection colour of
// the current row on the screen, and characters that reach the list staying
// out of the input box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "dictionary/tests/own_text_rows.h"
#include "ui/frame.h"
#include "ui/list_view.h"
#include "ui/tests/list_view_test_site.h"

namespace {

class ListWindow : public testing::Test {
protected:
    void SetUp() override {
        ListView::RegisterWindowClass();
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 500, 400, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        site_.input = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 370, 200, 24, parent_, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        list_ = std::make_unique<WordList>(nullptr, kListSelected);
        for (int32_t i = 0; i < 300; ++i) {
            std::string digits = "row " + std::to_string(i);
            AppendOwnTextRow(*list_, std::u16string(digits.begin(), digits.end()));
        }
        view_ = std::make_unique<ListView>(kViewSelected, list_.get(), site_);
        ASSERT_TRUE(view_->Create(parent_, 0, 0, 480, 360));
        view_->Move(0, 0, 480, 360);
        view_->Show(SW_SHOW);
        view_->GoToFirst();
    }
    void TearDown() override {
        view_.reset();
        DestroyWindow(parent_);
        UnregisterClassW(reinterpret_cast<const wchar_t*>(kListViewClassName), GetModuleHandleW(nullptr));
    }
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    LPARAM RowPoint(int32_t line, int32_t x = 60) {
        return MAKELPARAM(x, view_->headerHeight + line * view_->lineHeight + view_->lineHeight / 2);
    }

    TestSite site_;
    HWND parent_ = nullptr;
    std::unique_ptr<WordList> list_;
    std::unique_ptr<ListView> view_;
};

TEST_F(ListWindow, HeaderItemsCarryTheLayoutsTitlesAndWidths) {
    HWND header = view_->Header();
    ASSERT_NE(header, nullptr);
    const ListLayout& layout = view_->Columns();
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), layout.Count());
    for (int32_t i = 0; i < layout.Count(); ++i) {
        wchar_t text[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.cxy, layout.columns[i].width);
        const char16_t* title = ColumnTitle(layout.columns[i].kind, kViewSelected);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), std::u16string(title ? title : u"")) << i;
    }
    // The titles are drawn: dark pixels on the header.
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    RECT box{};
    GetWindowRect(header, &box);
    HDC screen = GetDC(nullptr);
    int ink = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.left + 200; ++x) ink += GetRValue(GetPixel(screen, x, y)) < 80;
    ReleaseDC(nullptr, screen);
    EXPECT_GT(ink, 20);
}

TEST_F(ListWindow, KeysClicksAndSmallWheelTurnsMoveTheCurrentRow) {
    HWND window = view_->Window();
    int32_t page = view_->rowsPerPage;
    ASSERT_GT(page, 5);
    SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(view_->currentRow, page - 1);
    SendMessageW(window, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(view_->currentRow, 0);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(3));
    SendMessageW(window, WM_LBUTTONUP, 0, RowPoint(3));
    EXPECT_EQ(view_->currentRow, 3);
    EXPECT_EQ(view_->selection.Count(), 1);
    // A touchpad's small deltas: three of 40 make one notch, one line down.
    for (int i = 0; i < 3; ++i) SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-40)), 0);
    EXPECT_EQ(view_->currentRow, 4);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(view_->currentRow, 3);
    SendMessageW(window, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(view_->currentRow, 299);
    EXPECT_EQ(view_->topRow, 300 - page);
    EXPECT_GT(site_.articles, 0);
}

TEST_F(ListWindow, TheCurrentRowIsPaintedInTheSelectionColour) {
    SendMessageW(view_->Window(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(view_->Window(), WM_KEYDOWN, VK_DOWN, 0);
    RedrawWindow(view_->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    POINT at{15, view_->headerHeight + 2 * view_->lineHeight + view_->lineHeight / 2};
    ClientToScreen(view_->Window(), &at);
    HDC screen = GetDC(nullptr);
    COLORREF selected = GetPixel(screen, at.x, at.y);
    COLORREF above = GetPixel(screen, at.x, at.y - view_->lineHeight);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(selected, RGB(0, 0, 127));
    EXPECT_EQ(above, GetSysColor(COLOR_WINDOW));
}

// The keys a list hands on reach the input box through the message loop
// before they become characters (the program's typing test); a character
// that reaches the list itself, such as 0 or Space, changes nothing.
TEST_F(ListWindow, CharactersThatReachTheListStayOutOfTheInputBox) {
    SetFocus(view_->Window());
    for (wchar_t c : std::wstring(L"0 -a\u306D")) SendMessageW(view_->Window(), WM_CHAR, c, 1);
    EXPECT_EQ(GetWindowTextLengthW(site_.input), 0);
    EXPECT_EQ(GetFocus(), view_->Window());
    EXPECT_EQ(view_->currentRow, 0);
}

// A translated-words list of one open group of three hits in a window
// narrower than its columns.
TEST(ListWindowGroups, TheExpanderIsHitWhereItIsDrawnAfterHorizontalScrolling) {
    ListView::RegisterWindowClass();
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    WordList list(nullptr, kListTranslatedWords);
    for (uint32_t flags : {kEntryGroupStart | kEntryGroupExpanded, kEntryGroupExpanded, kEntryGroupExpanded})
        AppendOwnTextRow(list, u"hit", flags);
    TestSite site;
    ListView view(kViewTranslatedWords, &list, site);
    ASSERT_TRUE(view.Create(parent, 0, 0, 380, 280));
    view.Move(0, 0, 380, 280);
    view.Show(SW_SHOW);
    view.GoToFirst();
    ASSERT_EQ(view.Columns().columns[0].kind, kColumnExpander);
    LPARAM onBox = MAKELPARAM(5, view.headerHeight + view.lineHeight / 2);
    SendMessageW(view.Window(), WM_HSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(view.horizontalOffset, 10);
    SendMessageW(view.Window(), WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    SendMessageW(view.Window(), WM_LBUTTONUP, 0, onBox);
    EXPECT_EQ(list.RowCount(), 3) << "the box is scrolled away from x 5";
    SendMessageW(view.Window(), WM_HSCROLL, SB_LINEUP, 0);
    SendMessageW(view.Window(), WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    SendMessageW(view.Window(), WM_LBUTTONUP, 0, onBox);
    EXPECT_EQ(list.RowCount(), 1) << "a press on the box closes the group";
    DestroyWindow(parent);
    UnregisterClassW(reinterpret_cast<const wchar_t*>(kListViewClassName), GetModuleHandleW(nullptr));
}

}  // namespace
