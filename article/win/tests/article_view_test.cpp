// CArticleView in real windows: articles styled from their attribute
// arrays and read back unit by unit, notes inserted in front, link clicks
// and selections looked up in the lists, commands passed to the main
// window, and the lifetime of hidden views.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "article/display_attributes.h"
#include "article/win/article_view.h"
#include "article/win/tests/recording_view_host.h"
#include "article/win/tests/rich_edit_window.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/screen_ink.h"

namespace {

// The commands posted to a window, taken from the queue.
std::vector<std::pair<uint32_t, LPARAM>> PostedCommands(HWND window) {
    std::vector<std::pair<uint32_t, LPARAM>> commands;
    MSG message;
    while (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        commands.push_back({LOWORD(message.wParam), message.lParam});
    return commands;
}

HWND MakeMainWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);
}

class ArticleViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(main_, nullptr);
        host_.mainWindow = main_;
        view_ = std::make_unique<CArticleView>(main_, 0, 0, 500, 400);
        ASSERT_NE(view_->Window(), nullptr);
        ASSERT_NE(view_->RichEditWindow(), nullptr);
        host_.mainView = view_.get();
    }
    void TearDown() override {
        view_.reset();
        DestroyWindow(main_);
    }
    HWND Edit() const { return view_->RichEditWindow(); }

    RecordingViewHost host_;
    HWND main_ = MakeMainWindow();
    std::unique_ptr<CArticleView> view_;
};

TEST_F(ArticleViewTest, EachUnitCarriesTheFormatsOfItsAttributes) {
    // Headword, reading, a bold run touching an italic one, a unit both bold
    // and italic, a CR LF (one unit in the control) whose halves differ, the
    // other colour classes (0x90 must not take 0x80's colour) and a colour
    // run with a tab at the end.
    const std::u16string text = u"猫ねこ abcd\r\npqrsxy\t";
    const std::vector<uint32_t> attributes = {0x30, 0x20, 0x20, 0x40, 0x42, 0x42, 0x44, 0x46,
                                              0,    0x20, 0x90, 0x50, 0x60, 0x70, 0x80, 0x80, 0x80};
    view_->SetArticle(text.c_str(), static_cast<int32_t>(text.size()), attributes.data(), true);
    ASSERT_EQ(ControlText(Edit()), u"猫ねこ abcd\rpqrsxy\t");
    EXPECT_TRUE(GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY);
    CHARRANGE caret = {};
    SendMessageW(Edit(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, 0);
    EXPECT_EQ(caret.cpMax, 0);

    const struct {
        LONG position;
        bool bold, italic, automatic;
        COLORREF colour;
    } expected[] = {{0, 0, 0, 0, RGB(0, 0, 127)}, {1, 0, 0, 0, RGB(127, 0, 0)}, {3, 0, 0, 1, 0}, {4, 1, 0, 1, 0},
                    {5, 1, 0, 1, 0}, {6, 0, 1, 1, 0}, {7, 1, 1, 1, 0}, {8, 0, 0, 1, 0},
                    {9, 0, 0, 0, RGB(31, 0, 31)}, {10, 0, 0, 0, RGB(127, 127, 127)}, {11, 0, 0, 0, RGB(191, 0, 0)},
                    {12, 0, 0, 0, RGB(0, 127, 0)}, {13, 0, 0, 0, RGB(0, 95, 0)}, {14, 0, 0, 0, RGB(0, 95, 0)},
                    {15, 0, 0, 0, RGB(0, 95, 0)}};
    for (const auto& unit : expected) {
        const CHARFORMAT2W format = UnitFormat(Edit(), unit.position);
        EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, unit.bold) << unit.position;
        EXPECT_EQ((format.dwEffects & CFE_ITALIC) != 0, unit.italic) << unit.position;
        EXPECT_EQ((format.dwEffects & CFE_AUTOCOLOR) != 0, unit.automatic) << unit.position;
        EXPECT_TRUE(unit.automatic || format.crTextColor == unit.colour) << unit.position;
        EXPECT_EQ(format.yHeight, 200) << unit.position;
        // Each script in its face and character set.
        const bool japanese = unit.position < 3;
        EXPECT_EQ(std::wstring(format.szFaceName), japanese ? L"MS Gothic" : L"Tahoma") << unit.position;
        EXPECT_EQ(format.bCharSet, japanese ? 128 : 204) << unit.position;
    }
}

TEST_F(ArticleViewTest, NotesGoInFrontInTheirOwnFaceAndColour) {
    const std::u16string text = u"ねこ cat";
    const std::vector<uint32_t> attributes(text.size(), 0x42);
    host_.articlePoints = 14;  // as the font settings left it
    view_->SetArticle(text.c_str(), static_cast<int32_t>(text.size()), attributes.data(), true);
    InsertTextIntoArticleView(u"note: ", 6, 0, u"Tahoma", RGB(127, 0, 0), true);
    EXPECT_EQ(ControlText(Edit()), u"note: ねこ cat");
    for (LONG i = 0; i < 6; ++i) {
        const CHARFORMAT2W format = UnitFormat(Edit(), i);
        EXPECT_EQ(std::wstring(format.szFaceName), L"Tahoma") << i;
        EXPECT_EQ(format.crTextColor, RGB(127, 0, 0)) << i;
        EXPECT_TRUE(format.dwEffects & CFE_ITALIC) << i;
        EXPECT_FALSE(format.dwEffects & CFE_BOLD) << i;
    }
    EXPECT_TRUE(UnitFormat(Edit(), 6).dwEffects & CFE_BOLD);  // the article keeps its own
    EXPECT_EQ(UnitFormat(Edit(), 6).yHeight, 280);
    EXPECT_TRUE(GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY);
    InsertTextIntoArticleView(u"x", 0, 0, u"Tahoma", 0, false);  // a zero length does nothing
    EXPECT_EQ(ControlText(Edit()), u"note: ねこ cat");
}

// The analyser's note above a Latin article in one edit: unit for unit the
// text and the formats (face, size, colour, slant, weight) the same note
// gets inserted run by run, over an article that opens in bold.
TEST_F(ArticleViewTest, ANoteInsertedInOneEditIsTheNoteInsertedRunByRun) {
    const std::u16string article = u"arma, armorum  N\r\nImplements of war";
    const std::vector<uint32_t> attributes(article.size(), 0x42);
    const std::u16string note = u"arm.a - n. 2.2 n., nom. pl.\narm.a - n. 2.2 n., acc. pl.\n";
    const std::vector<CArticleView::InsertedRun> runs = {
        {6, RGB(0x80, 0, 0), false}, {21, 0, true}, {1, 0, false},
        {6, RGB(0x80, 0, 0), false}, {21, 0, true}, {1, 0, false}};
    auto formats = [&] {
        std::vector<std::tuple<std::wstring, LONG, COLORREF, DWORD>> units;
        for (LONG i = 0; i < static_cast<LONG>(note.size()) + 3; ++i) {
            const CHARFORMAT2W f = UnitFormat(Edit(), i);
            units.emplace_back(f.szFaceName, f.yHeight, f.crTextColor, f.dwEffects & (CFE_ITALIC | CFE_BOLD));
        }
        return std::make_pair(ControlText(Edit()), units);
    };
    view_->SetArticle(article.c_str(), static_cast<int32_t>(article.size()), attributes.data(), true);
    int32_t position = 0;
    for (const CArticleView::InsertedRun& run : runs) {
        view_->InsertText(note.c_str() + position, run.length, position, u"Tahoma", run.colour, run.italic);
        position += run.length;
    }
    const auto runByRun = formats();
    view_->SetArticle(article.c_str(), static_cast<int32_t>(article.size()), attributes.data(), true);
    view_->InsertRuns(note, 0, u"Tahoma", runs);
    EXPECT_EQ(formats(), runByRun);
    EXPECT_EQ(std::get<2>(runByRun.second[0]), RGB(0x80, 0, 0));
    EXPECT_TRUE(std::get<3>(runByRun.second[6]) & CFE_ITALIC);
    EXPECT_TRUE(std::get<3>(runByRun.second[note.size()]) & CFE_BOLD);  // the article's own
}

// A conjugated verb's note: the matched text in the Japanese face, then the
// note in the Latin face right behind it. The note's letters take the Latin
// face's character set, not the Japanese run's before it, and are drawn as
// glyphs of their own, in every script a note is written in.
TEST_F(ArticleViewTest, NoteTextBehindJapaneseIsDrawnInRealGlyphs) {
    ShowWindow(main_, SW_SHOW);
    ShowWindow(view_->Window(), SW_SHOW);
    SetWindowPos(main_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const std::u16string article = u"\u898B\u308B\r\nto see";  // 見る
    auto draw = [&](const std::wstring& sample) {
        view_->SetArticle(article.c_str(), static_cast<int32_t>(article.size()), nullptr, true);
        view_->InsertText(u"\u898B", 1, 0, u"MS Gothic", RGB(0, 0, 0), false);
        const std::u16string note(sample.begin(), sample.end());
        view_->InsertText(note.c_str(), static_cast<int32_t>(note.size()), 1, u"Tahoma", RGB(0x40, 0x40, 0x80), true);
        RedrawWindow(Edit(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        POINTL at = {};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 1);
        const RECT cell = {at.x, at.y, at.x + 28, at.y + 20};
        return screen_ink::InkOf(Edit(), &cell);
    };
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw));
    draw(L"past");
    EXPECT_EQ(UnitFormat(Edit(), 1).bCharSet, 204);
    EXPECT_EQ(UnitFormat(Edit(), 0).bCharSet, 128);
}

// The lexicon's hint: the markers are hidden, the word between them is a
// link, and clicking it searches it.
TEST_F(ArticleViewTest, HintLinksHideTheirMarkersAndLookUpTheirWord) {
    const std::u16string text = u"2 articles:\r\n<<ねこ【猫】>> and <<cat>>";
    view_->SetLinkedText(text, true);
    ASSERT_EQ(ControlText(Edit()), u"2 articles:\r<<ねこ【猫】>> and <<cat>>");
    EXPECT_TRUE(UnitFormat(Edit(), 12).dwEffects & CFE_HIDDEN);
    EXPECT_TRUE(UnitFormat(Edit(), 14).dwEffects & CFE_LINK);
    EXPECT_FALSE(UnitFormat(Edit(), 14).dwEffects & CFE_HIDDEN);
    EXPECT_TRUE(UnitFormat(Edit(), 19).dwEffects & CFE_HIDDEN);
    EXPECT_FALSE(UnitFormat(Edit(), 21).dwEffects & (CFE_LINK | CFE_HIDDEN));
    EXPECT_TRUE(UnitFormat(Edit(), 28).dwEffects & CFE_LINK);
    RECT client = {}, inner = {};
    GetClientRect(Edit(), &client);
    SendMessageW(Edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&inner));
    EXPECT_EQ(inner.left, client.left + 4);
    EXPECT_EQ(inner.right, client.right - 4);

    POINTL at = {};
    SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 15);
    const LPARAM point = MAKELPARAM(at.x + 2, at.y + 4);
    SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(Edit(), WM_LBUTTONUP, 0, point);
    PumpMessages();
    EXPECT_EQ(host_.searched, u"ねこ");
    EXPECT_EQ(host_.searchedSecond, u"猫");
    EXPECT_EQ(host_.currentKind, 5);  // the text has a Han ideograph
    EXPECT_EQ(host_.updatedCommand, 40007u);
    EXPECT_EQ(host_.redraws, 1);
}

TEST_F(ArticleViewTest, RtfArticlesStreamInReadOnly) {
    const std::string rtf = "{\\rtf1\\ansi{\\colortbl;\\red127\\green0\\blue0;}\\cf1 red\\cf0  plain}";
    EXPECT_EQ(view_->SetRtfArticle(rtf), 1);
    EXPECT_EQ(ControlText(Edit()), u"red plain");
    EXPECT_EQ(UnitFormat(Edit(), 0).crTextColor, RGB(127, 0, 0));
    EXPECT_EQ(CRichEdit::GetTextUtf16(Edit()), u"red plain");  // reading leaves it read-only
    EXPECT_TRUE(GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY);
}

// An article long enough that the view takes it out piece by piece (the
// control is made writable for that), then each kind of article, and none:
// the view stays read-only, and a typed key changes nothing.
TEST_F(ArticleViewTest, TheViewStaysReadOnlyAfterALongArticle) {
    std::u16string longText;
    while (longText.size() < 5000) longText += u"lorem ipsum \u732B\u3068 dolor\r\n";
    const std::u16string shortText = u"\u306D\u3053 cat";
    const std::vector<uint32_t> attributes(shortText.size(), 2);
    const struct {
        const char* what;
        void (*show)(CArticleView&, const std::u16string&, const std::vector<uint32_t>&);
    } nexts[] = {
        {"no article", [](CArticleView& v, const auto&, const auto&) { v.SetArticle(nullptr, 0, nullptr, true); }},
        {"an empty article", [](CArticleView& v, const auto&, const auto&) { v.SetArticle(u"", 0, nullptr, true); }},
        {"a plain article", [](CArticleView& v, const auto& t, const auto&) { v.SetArticle(t, {}, true); }},
        {"a styled article", [](CArticleView& v, const auto& t, const auto& a) { v.SetArticle(t, a, true); }},
        {"a linked text", [](CArticleView& v, const auto& t, const auto&) { v.SetLinkedText(u"<<" + t + u">>", true); }},
        {"an RTF article", [](CArticleView& v, const auto&, const auto&) { v.SetRtfArticle("{\\rtf1\\ansi cat}"); }},
    };
    for (const auto& next : nexts) {
        view_->SetArticle(longText, {}, true);
        ASSERT_GT(ControlText(Edit()).size(), 4096u);
        next.show(*view_, shortText, attributes);
        EXPECT_TRUE(GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY) << next.what;
        const std::u16string shown = ControlText(Edit());
        SendMessageW(Edit(), EM_SETSEL, 0, 0);
        SendMessageW(Edit(), WM_CHAR, 'x', 1);
        EXPECT_EQ(ControlText(Edit()), shown) << next.what << ": a typed key went in";
    }
}

TEST_F(ArticleViewTest, LookingUpASelectionGoesThroughTheInputBox) {
    CRichEdit input(main_, false, 9, 0, 0, 100, 20, false);
    host_.inputBox = &input;
    view_->SetArticle(u"the cat sat", 11, nullptr, true);
    SendMessageW(Edit(), EM_SETSEL, 7, 4);
    SendMessageW(view_->Window(), WM_COMMAND, 40167, 0);
    EXPECT_EQ(ControlText(input.Window()), u"cat");
    EXPECT_EQ(host_.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(host_.finds, 1);
    EXPECT_EQ(host_.currentKind, 4);
    host_.wordsList = false;
    SendMessageW(view_->Window(), WM_COMMAND, 40167, 0);
    EXPECT_EQ(host_.currentKind, 15);
    // Without a selection nothing happens.
    SendMessageW(Edit(), EM_SETSEL, 2, 2);
    SendMessageW(view_->Window(), WM_COMMAND, 40169, 0);
    EXPECT_EQ(host_.finds, 2);
}

TEST_F(ArticleViewTest, EditAndDictionaryCommands) {
    view_->SetArticle(u"abc", 3, nullptr, true);
    SendMessageW(view_->Window(), WM_COMMAND, 40032, 0);  // select all
    SendMessageW(view_->Window(), WM_COMMAND, 40064, 0);  // edit: the main window's
    SendMessageW(view_->Window(), WM_COMMAND, 40119, 0);  // font settings
    SendMessageW(view_->Window(), WM_COMMAND, 40010, 0);  // not the view's: ignored
    const auto commands = PostedCommands(main_);
    PumpMessages();
    EXPECT_EQ(CRichEdit::GetSelectedText(Edit()), u"abc");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], (std::pair<uint32_t, LPARAM>{40064, reinterpret_cast<LPARAM>(Edit())}));
    EXPECT_EQ(commands[1], (std::pair<uint32_t, LPARAM>{40119, 0}));
    SendMessageW(view_->Window(), WM_COMMAND, 40034, 0);  // clear all
    EXPECT_TRUE(ControlText(Edit()).empty());
    view_->SetArticle(u"abc", 3, nullptr, true);
    view_->SetArticle(nullptr, 0, nullptr, true);  // no article: empty
    EXPECT_TRUE(ControlText(Edit()).empty());
}

// The menu of the article: picked by keys posted while it is tracked.
class ArticleMenuTest : public ArticleViewTest {
protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        menus_ = CreateMenu();
        for (int i = 0; i < 5; ++i) AppendMenuW(menus_, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"-");
        menu_ = CreatePopupMenu();
        AppendMenuW(menu_, MF_STRING, 40033, L"Copy");
        AppendMenuW(menu_, MF_STRING, 40183, L"Search the web");
        for (UINT id : {40167u, 40169u, 40171u, 40500u, 40032u, 40034u}) AppendMenuW(menu_, MF_STRING, id, L"x");
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"old title");
        AppendMenuW(menus_, MF_POPUP, reinterpret_cast<UINT_PTR>(menu_), L"article");
        host_.contextMenus = menus_;
        view_->SetArticle(u"cat", 3, nullptr, true);
    }
    void TearDown() override {
        DestroyMenu(menus_);
        ArticleViewTest::TearDown();
    }
    // Opens the menu and presses Down `downs` times and then Enter.
    void PickWithKeys(int downs) {
        keys_.clear();
        for (int i = 0; i < downs; ++i) keys_.push_back(VK_DOWN);
        keys_.push_back(VK_RETURN);
        target_ = view_->Window();
        SetTimer(nullptr, 0, 30, PressKeys);
        SendMessageW(view_->Window(), WM_APP + 1, 0, MAKELPARAM(10, 10));
        PumpMessages();
    }
    static void CALLBACK PressKeys(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        for (WPARAM key : keys_) {
            PostMessageW(target_, WM_KEYDOWN, key, 0);
            PostMessageW(target_, WM_KEYUP, key, 0xC0000000);
        }
    }
    static inline std::vector<WPARAM> keys_;
    static inline HWND target_ = nullptr;
    HMENU menus_ = nullptr, menu_ = nullptr;
};

TEST_F(ArticleMenuTest, RetitledAndEnabledByTheSelectionTheChosenCommandIsRouted) {
    SendMessageW(Edit(), EM_SETSEL, 0, 3);
    PickWithKeys(1);
    EXPECT_EQ(host_.listMenuFlag, 3);
    wchar_t title[64] = {};
    GetMenuStringW(menu_, 8, title, 64, MF_BYPOSITION);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(title)), UIStringTable[78]);
    EXPECT_FALSE(GetMenuState(menu_, 8, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu_, 40034, MF_BYCOMMAND) & MF_GRAYED);  // read-only
    // Copy was chosen: the article's selection is on the clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, L"cat");
    // A web search goes to the main window with the text.
    PickWithKeys(2);
    EXPECT_EQ(host_.textCommand, 40183u);
    // Without a selection the web items and Copy are grey.
    SendMessageW(Edit(), EM_SETSEL, 1, 1);
    PickWithKeys(0);
    EXPECT_TRUE(GetMenuState(menu_, 8, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu_, 40033, MF_BYCOMMAND) & MF_GRAYED);
}

TEST(HiddenArticleView, ViewsAndWindowsLetGoOfEachOther) {
    RecordingViewHost host;
    HWND main = MakeMainWindow();
    for (int i = 0; i < 3; ++i) {  // as printing and copying make them
        auto view = std::make_unique<CArticleView>(main, 0, 0, 200, 200);
        const HWND window = view->Window(), edit = view->RichEditWindow();
        ASSERT_TRUE(IsWindow(window));
        view->SetArticle(u"printed", 7, nullptr, true);
        view.reset();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(IsWindow(edit));
    }
    EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
    // A view whose parent went first no longer reaches the dead windows.
    CArticleView view(main, 0, 0, 200, 200);
    DestroyWindow(main);
    EXPECT_EQ(view.Window(), nullptr);
    EXPECT_EQ(view.RichEditWindow(), nullptr);
    EXPECT_EQ(view.RichEdit()->Window(), nullptr);
    view.SetArticle(u"late", 4, nullptr, true);
}

}  // namespace
