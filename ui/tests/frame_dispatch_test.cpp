// The main frame in real windows under Wine, with a stand-in shelf and web
// services: the language switch keeps the current list's tab, keys typed in
// a list reach the input box through the loop, web-search commands free only
// their own words, Exit waits for a modal dialog, a stored selected-list
// path too long for a path is replaced by the default, pasted rich text is
// evened out in the input box and the program's own texts there start no search;
// a failed text-under-cursor step beeps and a capture's note waits for the frame.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <ostream>
#include <stdexcept>
#include <map>
#include <string>
#include <vector>

#include "article/look_up_plan.h"
#include "article/win/article_view.h"
#include "article/win/article_view_host.h"
#include "article/win/rich_edit.h"
#include "article/win/tests/rich_edit_window.h"
#include "common/settings/win/private_profile_store.h"
#include "common/win/wide_text.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"
#include "ui/modeless_dialogs.h"
#include "ui/tests/frame_window_classes.h"

namespace {

// A shelf with one list of a fixed kind and a window to type into.
class StandInLists final : public IFrameLists {
public:
    HWND CurrentListWindow() override { return window; }
    int32_t CurrentKind() override { return kind; }
    int32_t SetCurrentListByKind(int32_t k) override { return k == kind ? kind : 0; }
    int32_t SelectStartList(int32_t) override { return kind; }
    bool LoadSelectedList(const std::u16string& path) override {
        loaded.push_back(path);
        return true;
    }
    bool AutoLocateOff() override { return autoLocateOff; }
    void SearchAsYouType() override { ++searches; }
    void CloseAllEditors() override {
        // The last moment the input box still exists.
        wchar_t text[64] = {};
        GetWindowTextW(input, text, 64);
        inputAtClose = text;
        focusAtClose = GetFocus();
    }

    HWND window = nullptr, input = nullptr;
    int32_t kind = 4;
    bool autoLocateOff = false;
    int searches = 0;  // Find reached the current list
    std::vector<std::u16string> loaded;
    std::wstring inputAtClose;
    HWND focusAtClose = nullptr;
};

class RecordingWeb final : public IFrameWeb {
public:
    void OpenWebSearch(uint32_t id, BSTR word) override {
        searches.emplace_back(id, std::wstring(word, SysStringLen(word)));
        SysFreeString(word);
    }
    std::vector<std::pair<uint32_t, std::wstring>> searches;
};

class FrameDispatch : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"ostrel_frame_test";
        CreateDirectoryW(folder_.c_str(), nullptr);
        DeleteFileW((folder_ + L"\\OstrelPro.ini").c_str());
        app_ = std::make_unique<Application>(GetModuleHandleW(nullptr));
        g_application = app_.get();
        app_->ini = OpenSettingsFile(Char16View(folder_));
        app_->richEdit = LoadLibraryW(L"Riched20.dll");
        app_->flags = app_flag::kWindowShown | app_flag::kEnglishInterface;
        app_->language = 1;
        app_->web = &web_;
        frame_ = std::make_unique<CFrame>(GetModuleHandleW(nullptr), 0, std::vector<std::u16string>{}, SW_SHOW);
        g_frame = frame_.get();
        frame_->lists = &lists_;
    }

    // Creates the frame (with its tab strip of the full set of list tabs),
    // then the list window (its part comes later).
    void Create() {
        ASSERT_EQ(frame_->Create(20, 20, 400, 520), 1);
        HWND window = frame_->Window();
        lists_.input = frame_->InputBox();
        lists_.window = CreateWindowExW(0, L"Ostrel List View", L"", WS_CHILD | WS_VISIBLE, 0, 40, 300, 200, window,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    int SelectedTab() { return static_cast<int>(SendMessageW(frame_->tabControl, TCM_GETCURSEL, 0, 0)); }

    void TearDown() override {
        frame_.reset();
        g_frame = nullptr;
        app_.reset();
        g_application = nullptr;
        UnregisterFrameClassesAndDrainMessages();
    }

    std::wstring folder_;
    StandInLists lists_;
    RecordingWeb web_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<CFrame> frame_;
};

TEST_F(FrameDispatch, LanguageSwitchKeepsTheCurrentListsTab) {
    Create();
    SendMessageW(frame_->Window(), WM_COMMAND, cmd::kListWords, 0);
    ASSERT_EQ(SelectedTab(), 3);
    SendMessageW(frame_->Window(), WM_COMMAND, cmd::kJapaneseInterface, 0);
    EXPECT_EQ(app_->language, 2);
    EXPECT_EQ(SelectedTab(), 3);  // still the Words list's tab, not Reading's
    UINT japanese = GetMenuState(frame_->ApplicationMenu(), cmd::kJapaneseInterface, MF_BYCOMMAND);
    UINT english = GetMenuState(frame_->ApplicationMenu(), cmd::kEnglishInterface, MF_BYCOMMAND);
    EXPECT_TRUE(japanese & MF_CHECKED);
    EXPECT_FALSE(english & MF_CHECKED);
    SendMessageW(frame_->Window(), WM_CLOSE, 0, 0);
}

// Every tick of the application menu, by command id.
std::map<UINT, bool> MenuTicks(HMENU menu) {
    std::map<UINT, bool> ticks;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            ticks.merge(MenuTicks(sub));
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1)) ticks[id] = GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED;
    }
    return ticks;
}

TEST_F(FrameDispatch, ALanguageSwitchKeepsEveryTickButTheLanguages) {
    Create();
    HWND window = frame_->Window();
    SendMessageW(window, WM_COMMAND, cmd::kClipboardMonitorOn, 0);
    SendMessageW(window, WM_COMMAND, cmd::kListWords, 0);
    std::map<UINT, bool> before = MenuTicks(frame_->ApplicationMenu());
    ASSERT_TRUE(before[cmd::kClipboardMonitor]);
    ASSERT_TRUE(before[cmd::kHints]);
    SendMessageW(window, WM_COMMAND, cmd::kRussianInterface, 0);
    std::map<UINT, bool> after = MenuTicks(frame_->ApplicationMenu());
    for (UINT language : {cmd::kEnglishInterface, cmd::kRussianInterface, cmd::kJapaneseInterface}) {
        EXPECT_EQ(after[language], language == cmd::kRussianInterface) << language;
        before.erase(language);
        after.erase(language);
    }
    EXPECT_EQ(after, before);
    SendMessageW(window, WM_COMMAND, cmd::kClipboardMonitorOff, 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
}

TEST_F(FrameDispatch, LettersTypedInAListGoToTheInputBoxButZeroStays) {
    Create();
    auto key = [this](UINT vk) {
        LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16 | 1;
        PostMessageW(lists_.window, WM_KEYDOWN, vk, scan);
    };
    key('K');
    key('0');
    key('9');
    PostMessageW(frame_->Window(), WM_COMMAND, cmd::kExit, 0);
    EXPECT_EQ(frame_->MessageLoop(), 0);
    EXPECT_EQ(lists_.inputAtClose, L"k9");
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A modeless dialog of two edit boxes, as an article editor or the book
// reader would be.
HWND CreateTwoFieldDialog(HWND owner) {
    alignas(4) uint8_t buffer[256] = {};
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFOREGROUND;
    dialog->cdit = 2;
    dialog->cx = 120;
    dialog->cy = 60;
    auto* words = reinterpret_cast<WORD*>(dialog + 1);
    words += 3;  // no menu, default class, no title
    for (int i = 0; i < 2; ++i) {
        words = reinterpret_cast<WORD*>((reinterpret_cast<uintptr_t>(words) + 3) & ~uintptr_t{3});
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(words);
        item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER;
        item->x = 5;
        item->y = static_cast<short>(5 + 20 * i);
        item->cx = 100;
        item->cy = 14;
        item->id = static_cast<WORD>(100 + i);
        words = reinterpret_cast<WORD*>(item + 1);
        *words++ = 0xFFFF;
        *words++ = 0x0081;  // edit
        *words++ = 0;       // no text
        *words++ = 0;       // no creation data
    }
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog, owner, PlainDialogProc, 0);
}

TEST_F(FrameDispatch, ModelessDialogsGetTabNavigationInTheirControls) {
    Create();
    HWND dialog = CreateTwoFieldDialog(frame_->Window());
    ASSERT_NE(dialog, nullptr);
    AddModelessDialog(dialog);
    HWND first = GetDlgItem(dialog, 100), second = GetDlgItem(dialog, 101);
    SetFocus(first);
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_TAB, MAPVK_VK_TO_VSC)) << 16 | 1;
    PostMessageW(first, WM_KEYDOWN, VK_TAB, scan);
    PostMessageW(frame_->Window(), WM_COMMAND, cmd::kExit, 0);
    frame_->MessageLoop();
    EXPECT_EQ(lists_.focusAtClose, second);
    RemoveModelessDialog(dialog);
    DestroyWindow(dialog);
}

TEST_F(FrameDispatch, WebSearchesCarryOnlyTheWordsTheFrameHandedOut) {
    Create();
    SetWindowTextW(frame_->InputBox(), L"\u732b\u3068\u72ac");
    SendMessageW(frame_->InputBox(), EM_SETSEL, 0, 1);
    EXPECT_EQ(PostTextCommand(40170, frame_->InputBox()), 1);
    EXPECT_EQ(PostTextCommand(cmd::kFind, frame_->InputBox()), 0);  // not a web search
    PostMessageW(frame_->Window(), WM_COMMAND, 40183, 0);
    PostMessageW(frame_->Window(), WM_COMMAND, 40183, -1);
    PostMessageW(frame_->Window(), WM_COMMAND, cmd::kExit, 0);
    frame_->MessageLoop();
    ASSERT_EQ(web_.searches.size(), 1u);
    EXPECT_EQ(web_.searches[0].first, 40170u);
    EXPECT_EQ(web_.searches[0].second, L"\u732b");
}

TEST_F(FrameDispatch, ExitWaitsWhileAModalDialogRuns) {
    Create();
    HWND window = frame_->Window();
    app_->flags |= app_flag::kModalDialog;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    app_->flags &= ~app_flag::kModalDialog;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

// A text-under-cursor step that can fail, and the notes the frame shows for it.
class StandInUnderCursor final : public IFrameUnderCursor {
public:
    void Poll() override {
        ++polls;
        if (fail) throw std::runtime_error("capture failed");
    }
    void ShowPendingNote() override { ++notes; }
    bool fail = false;
    int polls = 0, notes = 0;
};

std::vector<std::pair<DWORD, DWORD>> g_beeps;
BOOL WINAPI RecordBeep(DWORD frequency, DWORD milliseconds) {
    g_beeps.emplace_back(frequency, milliseconds);
    return TRUE;
}

TEST_F(FrameDispatch, TheTimerBeepsForAFailedStepAndACaptureNoteIsShownAfterTheStep) {
    Create();
    StandInUnderCursor step;
    frame_->textUnderCursor = &step;
    frame_->beep = RecordBeep;
    g_beeps.clear();
    CFrame::TimerProc(nullptr, WM_TIMER, kFrameTimerId, 1000);
    step.fail = true;
    CFrame::TimerProc(nullptr, WM_TIMER, kFrameTimerId, 1100);
    EXPECT_EQ(step.polls, 2);
    EXPECT_EQ(g_beeps, (std::vector<std::pair<DWORD, DWORD>>{{1, 1000}}));
    EXPECT_EQ(step.notes, 0);
    PostMessageW(frame_->Window(), msg::kCaptureNote, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(step.notes, 1);

    // Switching on puts the rest back to the origin; switching off keeps the place.
    frame_->pointerRest = {40, 50, 7};
    SendMessageW(frame_->Window(), WM_COMMAND, cmd::kUnderCursorOff, 0);
    EXPECT_EQ(frame_->pointerRest.x, 40);
    EXPECT_EQ(frame_->pointerRest.count, 0);
    frame_->pointerRest.count = 7;
    SendMessageW(frame_->Window(), WM_COMMAND, cmd::kUnderCursorOn, 0);
    EXPECT_EQ(frame_->pointerRest.x, 0);
    EXPECT_EQ(frame_->pointerRest.count, 0);
    EXPECT_TRUE(app_->flags & app_flag::kUnderCursor);
    frame_->textUnderCursor = nullptr;
}

TEST_F(FrameDispatch, AStoredSelectedListPathLongerThanAPathIsIgnored) {
    std::u16string longPath(300, u'a');
    app_->ini->WriteString(u"Memo", u"File1", longPath);
    Create();
    std::u16string fallback = app_->dictionariesFolder + u"\\Selected.oxm";
    ASSERT_EQ(lists_.loaded.size(), 1u);
    EXPECT_EQ(lists_.loaded[0], fallback);
    SendMessageW(frame_->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app_->ini->GetString(u"Memo", u"File1"), fallback);
}

TEST_F(FrameDispatch, HelpOpensTheFileThatWasChosenNotTheInterfaceLanguagesOwn) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring program = std::wstring(temp) + L"ostrel_help_test\\";
    CreateDirectoryW(program.c_str(), nullptr);
    HANDLE file =
        CreateFileW((program + L"OstrelProJp.chm").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    app_->programFolder = std::u16string(Char16View(program));
    app_->language = 1;
    app_->CheckHelpFiles();
    EXPECT_EQ(app_->HelpTopicTarget(148), app_->programFolder + u"OstrelProJp.chm::/html/list_selected.htm");
    DeleteFileW((program + L"OstrelProJp.chm").c_str());
}

// A 20-point red run and a 10.5-point run, for an input font of 10 points.
constexpr char kFarAndNearRtf[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                                  "\\f0\\fs40\\cf1 big\\fs21\\cf0 near}";

struct PasteRoute {
    const char* name;
    bool throughLoop;    // WM_PASTE reaching the box through the loop, else the Paste command
    bool autoLocateOff;  // no search (and no reformatting) on the change itself
};

void PrintTo(const PasteRoute& route, std::ostream* out) { *out << route.name; }

class InputBoxPaste : public FrameDispatch, public testing::WithParamInterface<PasteRoute> {};

TEST_P(InputBoxPaste, FarSizesTakeTheInputFontSizeAndColourTurnsBlack) {
    Create();
    lists_.autoLocateOff = GetParam().autoLocateOff;
    frame_->SetInputFontSize(ArticleViewHost().InputFontPoints());
    ASSERT_EQ(ArticleViewHost().InputFontPoints(), 10);
    HWND input = frame_->InputBox();
    frame_->InputEdit()->SetText(u"ab");
    SendMessageW(input, EM_SETSEL, 2, 2);
    ASSERT_TRUE(PutRtfOnClipboard(frame_->Window(), kFarAndNearRtf));
    if (GetParam().throughLoop) PostMessageW(input, WM_PASTE, 0, 0);
    else PostMessageW(frame_->Window(), WM_COMMAND, cmd::kInputPaste, 0);
    PostQuitMessage(0);
    frame_->MessageLoop();
    ASSERT_EQ(ControlText(input), u"abbignear");
    for (LONG i = 0; i < 9; ++i) {
        const CHARFORMAT2W format = UnitFormat(input, i);
        EXPECT_EQ(format.yHeight, i >= 5 ? 210 : 200) << i;
        EXPECT_TRUE((format.dwEffects & CFE_AUTOCOLOR) || format.crTextColor == 0) << i;
    }
    SendMessageW(frame_->Window(), WM_CLOSE, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Routes, InputBoxPaste,
                         testing::Values(PasteRoute{"LoopSearching", true, false},
                                         PasteRoute{"LoopNotSearching", true, true},
                                         PasteRoute{"CommandSearching", false, false},
                                         PasteRoute{"CommandNotSearching", false, true}),
                         [](const testing::TestParamInfo<PasteRoute>& info) { return info.param.name; });

TEST_F(FrameDispatch, TextsTheProgramPutsIntoTheInputBoxStartNoSearchButTypingDoes) {
    Create();
    PumpPendingMessages();
    lists_.searches = 0;
    frame_->InputEdit()->SetText(u"\u732b");
    frame_->InputEdit()->Clear();
    frame_->InputEdit()->SetText(u"\u72ac");
    PumpPendingMessages();
    EXPECT_EQ(lists_.searches, 0);
    SendMessageW(frame_->InputBox(), EM_SETSEL, 1, 1);
    SendMessageW(frame_->InputBox(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    PumpPendingMessages();
    EXPECT_EQ(lists_.searches, 1);
    SendMessageW(frame_->Window(), WM_CLOSE, 0, 0);
}

// The article view's host, as far as a looked-up selection needs it.
class InputBoxHost final : public IArticleViewHost {
public:
    HWND MainWindow() override { return g_frame->Window(); }
    bool ListHasWords(int32_t) override { return true; }
    int32_t SetCurrentListByKind(int32_t kind) override { return kind; }
    CRichEdit* InputBox() override { return g_frame->InputEdit(); }
    void SetBusy(bool busy) override { g_application->inputBusy = busy ? 1 : 0; }
};

TEST_F(FrameDispatch, ASelectionLookedUpFillsTheInputBoxAndSearchesOnce) {
    Create();
    PumpPendingMessages();
    lists_.searches = 0;
    InputBoxHost host;
    SetArticleViewHost(&host);
    LookUpText(u"\u732b", kLookUpInList);
    PumpPendingMessages();
    SetArticleViewHost(nullptr);
    EXPECT_EQ(ControlText(frame_->InputBox()), u"\u732b");
    EXPECT_EQ(lists_.searches, 1);  // the Find of the look-up, none from the change
    SendMessageW(frame_->Window(), WM_CLOSE, 0, 0);
}

TEST(PumpPendingMessages, DispatchesWhatIsQueuedAndKeepsTheQuitForTheMainLoop) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);  // its default handling destroys the window
    PostQuitMessage(7);
    PumpPendingMessages();
    EXPECT_FALSE(IsWindow(window));
    MSG message{};
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);  // the quit is still there
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
