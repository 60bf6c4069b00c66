// The outputs of a long list: the reading list of the whole of EDICT (about
// 267,000 articles). The question before so many names what will be done.
// "All articles" to the clipboard ends within a generous
// bound, with the document's own RTF and its text on the clipboard, and the
// program answers at once afterwards (a copy through a rich edit never
// ended). During a long export to a file the label "Articles processed:"
// and the running count are drawn, the other controls take no input, and a
// click on Cancel stops the export at once: the dialog closes, no result box,
// and the file the export was to replace keeps its bytes. Send to printer
// asks for the printer before it prepares a single article, and a printer
// dialog cancelled leaves the print dialog as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr UINT kPrintCommand = 40190;
constexpr int kAll = 1291, kToPrinter = 1089, kToFile = 1090, kToClipboard = 1093, kPath = 1186, kOpenAfter = 1092, kColored = 1094;
constexpr int kProgressLabel = 1280, kProgressCount = 1281;

// Milliseconds until `window` is gone, or -1 after `limitMs`.
long MsUntilGone(HWND window, DWORD limitMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > limitMs) return -1;
        Sleep(25);
    }
    return static_cast<long>(GetTickCount() - start);
}

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored) != 0;
}

// A left click at the centre of `window`, as the mouse gives it.
void ClickCentre(HWND window) {
    RECT box{};
    GetWindowRect(window, &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A message box's text.
std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

struct BoxSearch {
    DWORD process;
    HWND besides, found;
};

BOOL CALLBACK ConsiderBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    wchar_t name[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || window == search->besides || !IsWindowVisible(window) ||
        !GetClassNameW(window, name, 16) || std::wstring(name) != L"#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

// A dialog box of `dialog`'s process other than `dialog` itself, once one is
// shown; null after `tries` looks 25 ms apart.
HWND WaitForOtherBox(HWND dialog, int tries) {
    BoxSearch search{0, dialog, nullptr};
    GetWindowThreadProcessId(dialog, &search.process);
    for (int i = 0; i < tries && search.found == nullptr; ++i) {
        EnumWindows(&ConsiderBox, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) Sleep(25);
    }
    return search.found;
}

class LongOutput : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
        folders = PrepareTest(L"LongOutput");
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    }
    // `copies` copies of the compiled EDICT open in the program: their
    // reading list has `copies` times its articles.
    void OpenEdict(int copies) {
        const std::string binary = BinaryPath();
        const std::wstring compiled = std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\edict.qdx";
        std::wstring files;
        for (int i = 1; i <= copies; ++i) {
            const std::wstring dictionary = folders.DictionariesFolder() + L"\\edict" + std::to_wstring(i) + L".qdx";
            ASSERT_TRUE(CopyFileW(compiled.c_str(), dictionary.c_str(), FALSE));
            files += L"File" + std::to_wstring(i) + L"=" + dictionary + L",0\r\n";
        }
        WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\n"
                               L"cy=560\r\ncy2=300\r\n[Dictionaries]\r\n" + files);
    }
    // The "PRINT" dialog over the whole list, `destination` checked, OK
    // pressed and the question about so many articles (kept in `asked`)
    // answered Yes.
    HWND StartAll(HWND frame, int destination, const std::wstring& path = L"") {
        PostMessageW(frame, WM_COMMAND, kPrintCommand, 0);
        HWND dialog = WaitForShownDialog(L"Print articles", 400);
        if (dialog == nullptr) return nullptr;
        SendMessageW(GetDlgItem(dialog, kAll), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(dialog, destination), BM_CLICK, 0, 0);
        if (!path.empty()) {
            SetDlgItemTextW(dialog, kPath, path.c_str());
            if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED)
                SendMessageW(GetDlgItem(dialog, kOpenAfter), BM_CLICK, 0, 0);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND question = WaitForShownDialog(L"Too many articles", 400);
        if (question == nullptr) return nullptr;
        asked = BoxText(question);
        PostMessageW(question, WM_COMMAND, IDYES, 0);
        if (!path.empty()) {
            HWND exists = WaitForShownDialog(L"File already exists", 400);
            if (exists == nullptr) return nullptr;
            PostMessageW(exists, WM_COMMAND, IDYES, 0);
        }
        return dialog;
    }

    TestFolders folders;
    std::wstring asked;
};

TEST_F(LongOutput, AllOfEdictGoesToTheClipboardAndTheProgramAnswers) {
    OpenEdict(1);
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    const std::wstring rows = run.QueryState(frame)[L"rows"];
    ASSERT_GT(std::stoi(rows), 250000);
    HWND dialog = StartAll(frame, kToClipboard);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(asked, L"Do you want to copy " + rows + L" articles to the clipboard?");
    const long ms = MsUntilGone(dialog, 240000);
    ASSERT_GE(ms, 0) << "the copy did not end in 4 minutes";
    std::printf("all of EDICT to the clipboard: %ld ms\n", ms);
    EXPECT_TRUE(Answers(frame));
    for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(20);
    HANDLE rtf = GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(rtf, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(rtf)), 6), "{\\rtf1");
    GlobalUnlock(rtf);
    EXPECT_GT(GlobalSize(rtf), 50000000u);
    EXPECT_GT(GlobalSize(text), 20000000u);
    EmptyClipboard();  // the next tests start from an empty clipboard
    CloseClipboard();
    EXPECT_TRUE(Answers(frame));
    EXPECT_EQ(run.Exit(frame), 0);
}

// Two copies of EDICT: the export lasts long enough to be watched on a fast machine.
TEST_F(LongOutput, TheProgressIsDrawnAndCancelStopsTheExport) {
    OpenEdict(2);
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    const int rows = std::stoi(run.QueryState(frame)[L"rows"]);
    const std::wstring path = folders.root + L"\\kept.rtf";
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteBytes(path, old);
    HWND dialog = StartAll(frame, kToFile, path);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(asked, L"Do you want to save " + std::to_wstring(rows) + L" articles in a file?");
    HWND label = GetDlgItem(dialog, kProgressLabel), count = GetDlgItem(dialog, kProgressCount);
    for (int i = 0; i < 400 && (!IsWindowVisible(count) || WindowText(count).empty()); ++i) Sleep(25);
    ASSERT_TRUE(IsWindowVisible(label));

    // The label is drawn while the walk runs: what it is given shows at once.
    const std::wstring shown = WindowText(label);
    auto draw = [&](const std::wstring& text) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 2000, &ignored);
        Sleep(250);  // the export runs the dialog's messages ten times a second
        return screen_ink::InkOf(label);
    };
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw));
    draw(shown);
    EXPECT_EQ(shown, L"Articles processed:");
    screen_ink::SaveScreenshot(folders.root + L"\\export_progress.png");

    // Only Cancel takes input meanwhile: a click on a box leaves it as it
    // was and the focus on Cancel; the walk's pump has seen the click once
    // the count has moved on twice.
    HWND colored = GetDlgItem(dialog, kColored);
    const LRESULT ticked = SendMessageW(colored, BM_GETCHECK, 0, 0);
    ClickCentre(colored);
    for (int moves = 0; moves < 2 && IsWindow(dialog);) {
        const std::wstring seen = WindowText(count);
        for (int i = 0; i < 400 && IsWindow(dialog) && WindowText(count) == seen; ++i) Sleep(10);
        ++moves;
    }
    ASSERT_TRUE(IsWindow(dialog)) << "the export ended before Cancel";
    EXPECT_EQ(SendMessageW(colored, BM_GETCHECK, 0, 0), ticked);
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &input);
    EXPECT_EQ(input.hwndFocus, GetDlgItem(dialog, IDCANCEL));
    const std::wstring before = WindowText(count);
    ASSERT_LT(std::stoi(before), rows) << "the export ended before Cancel";

    ClickCentre(GetDlgItem(dialog, IDCANCEL));
    const long ms = MsUntilGone(dialog, 10000);
    EXPECT_GE(ms, 0) << "Cancel did not stop the export";
    EXPECT_LT(ms, static_cast<long>(machine_pace::ScaledMs(2000)));
    EXPECT_EQ(FindWindowW(L"#32770", L"The document is created"), nullptr);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(Answers(frame));
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(LongOutput, ThePrinterIsAskedForBeforeAnyArticleIsPrepared) {
    OpenEdict(1);
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    const std::wstring rows = run.QueryState(frame)[L"rows"];
    HWND dialog = StartAll(frame, kToPrinter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(asked, L"Do you want to print " + rows + L" articles?");
    for (int i = 0; i < 200 && FindWindowW(L"#32770", L"Too many articles") != nullptr; ++i) Sleep(25);
    // Wine's printer dialog, or what it says without a printer; Cancel (or
    // OK) on each until none is left.
    int windows = 0;
    for (HWND printer = WaitForOtherBox(dialog, 600); printer != nullptr; printer = WaitForOtherBox(dialog, 80), ++windows) {
        std::printf("asked: \"%ls\" \"%ls\"\n", WindowText(printer).c_str(), BoxText(printer).c_str());
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kProgressLabel))) << "articles were prepared first";
        if (windows == 0) screen_ink::SaveScreenshot(folders.root + L"\\printer_asked.png");
        PostMessageW(printer, WM_COMMAND, IDCANCEL, 0);
        for (int i = 0; i < 100 && IsWindow(printer); ++i) Sleep(25);
        if (windows > 3) break;
    }
    EXPECT_GE(windows, 1) << "no printer was asked for";
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kProgressLabel)));
    EXPECT_TRUE(Answers(dialog));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_GE(MsUntilGone(dialog, 10000), 0);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
