// The "PRINT" dialog in the running program over a compiled EDICT slice,
// driven through its controls: nothing selected gives "Articles not
// selected.", the file output writes an RTF file with CR LF line ends that
// holds the current row's reading, OK on an existing file asks before
// rewriting and No keeps the dialog, the whole list's file is byte-equal to
// qdxexport's export of the same records, the clipboard output and Copy text
// (40647) leave the articles on the clipboard, Cancel closes, and the
// options chosen (and damaged ones, clamped) are what the settings file keeps;
// whole-list exports one after another keep no more memory than the first.
// The clipboard's rich text, read by Wine's rich edit, is its plain text,
// full-width forms and macrons of EDICT kept; a clipboard another program
// holds is told, on Copy text and in the dialog, which stays open; an output
// whose document would hold no text says so on every route and writes nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/win/tests/clipboard_reading.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/machine_pace.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/x_clipboard.h"

namespace {

constexpr UINT kPrintCommand = 40190;
constexpr UINT kCopyCommand = 40647;
constexpr UINT kSelectAllCommand = 40192;
constexpr int kAll = 1291, kSelected = 1292, kCount = 1276;
constexpr int kToFile = 1090, kToClipboard = 1093;
constexpr int kPath = 1186, kOpenAfter = 1092, kColumns = 1290, kFontSize = 1287;

bool WaitUntilGone(HWND window) {
    for (int i = 0, n = machine_pace::ScaledTries(200); i < n && IsWindow(window); ++i) Sleep(25);
    return !IsWindow(window);
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void ChooseItem(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Opens the clipboard (waiting for the program to let it go), reads its
// Unicode text and, with `empty`, empties it.
std::wstring ClipboardText(bool empty = false) {
    for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(20);
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    if (empty) EmptyClipboard();
    CloseClipboard();
    return text;
}

// Bytes handed to EM_STREAMIN.
struct StreamSource {
    const std::string* bytes;
    size_t at;
};

DWORD CALLBACK GiveBytes(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* from = reinterpret_cast<StreamSource*>(cookie);
    const size_t n = std::min(static_cast<size_t>(wanted), from->bytes->size() - from->at);
    std::memcpy(buffer, from->bytes->data() + from->at, n);
    from->at += n;
    *given = static_cast<LONG>(n);
    return 0;
}

// The text of an RTF document as a RichEdit 2.0 control of this process reads it.
std::wstring RichEditReading(const std::string& rtf) {
    static const HMODULE library = LoadLibraryW(L"Riched20.dll");
    HWND control = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
    if (library == nullptr || control == nullptr) return {};
    StreamSource source{&rtf, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &GiveBytes;
    SendMessageW(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageW(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    GETTEXTLENGTHEX length = {GTL_NUMCHARS, 1200};
    std::wstring text(static_cast<size_t>(SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0)) + 1,
                      L'\0');
    GETTEXTEX query = {static_cast<DWORD>(text.size() * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<size_t>(
        SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query), reinterpret_cast<LPARAM>(text.data()))));
    DestroyWindow(control);
    return text;
}

// The message box's text.
std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

class PrintExport : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
        folders = PrepareTest(L"PrintExport.Dialog");
        const std::wstring dictionary = folders.DictionariesFolder() + L"\\edict-slice.qdx";
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        const std::string binary = BinaryPath();
        ASSERT_TRUE(CopyFileW((std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\edict-slice.qdx").c_str(),
                              dictionary.c_str(), FALSE));
        // No clipboard monitor: the clipboard is the test's to read.
        WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n"
                               L"[Print]\r\nColumns=9\r\nFontSize=7\r\nAddBlankLines=100\r\n"
                               L"[Dictionaries]\r\nFile1=" + dictionary + L",0\r\n");
    }
    // ね typed into the input box: the first row of its readings is current
    // and selected once the key's Find has ended. The list shows one row
    // selected before the key too, and a command sent before the Find ends
    // meets the list the Find then replaces.
    static void SelectARow(ProgramRun& run, HWND frame) {
        HWND input = FindChild(frame, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        const std::wstring changedBefore = run.QueryState(frame)[L"stage.input"];
        PostMessageW(input, WM_CHAR, u'ね', 1);
        std::map<std::wstring, std::wstring> state;
        auto mark = [&](const wchar_t* stage) { return _wtoi64(state[std::wstring(L"stage.") + stage].c_str()); };
        for (int i = 0, n = machine_pace::ScaledTries(200); i < n; ++i, Sleep(50)) {
            state = run.QueryState(frame);
            // A Find ends after the change it was posted for.
            if (state[L"stage.input"] != changedBefore && mark(L"end") > mark(L"input")) break;
        }
        ASSERT_NE(state[L"stage.input"], changedBefore) << "the key never reached the input box";
        ASSERT_GT(mark(L"end"), mark(L"input")) << "the key's Find never ended";
        ASSERT_EQ(state[L"selected"], L"1");
    }
    // Opens the dialog from the frame.
    HWND OpenDialog(HWND frame) {
        PostMessageW(frame, WM_COMMAND, kPrintCommand, 0);
        return WaitForShownDialog(L"Print articles");
    }

    TestFolders folders;
};

// Without a dictionary the list is empty: OK says so and the dialog stays.
TEST(PrintExportEmpty, NoArticlesKeepTheDialogOpen) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    PrepareTest(L"PrintExport.Empty");
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, kPrintCommand, 0);
    HWND dialog = WaitForShownDialog(L"Print articles");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kAll);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND nothing = WaitForShownDialog(L"Nothing to do");
    ASSERT_NE(nothing, nullptr);
    PostMessageW(nothing, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(nothing));
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(PrintExport, DialogOutputsAndKeepsItsOptions) {
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    auto state = run.QueryState(frame);

    // A row of the reading list becomes current and selected.
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    for (char16_t c : std::u16string(u"ねこ")) PostMessageW(input, WM_CHAR, c, 1);
    std::wstring reading;
    auto currentReading = [&] {
        state = run.QueryState(frame);
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && (reading = currentReading()).rfind(L"ねこ", 0) != 0; ++i) Sleep(50);
    ASSERT_EQ(reading.rfind(L"ねこ", 0), 0u) << "the input box holds " << testing::PrintToString(editor_windows::WindowText(input))
                                           << ", the current row's reading is " << testing::PrintToString(reading)
                                           << "; list kind " << editor_windows::Utf8(state[L"kind"]) << ", rows "
                                           << editor_windows::Utf8(state[L"rows"]) << ", top " << editor_windows::Utf8(state[L"top"])
                                           << ", current " << editor_windows::Utf8(state[L"current"]) << ", the box's change at "
                                           << editor_windows::Utf8(state[L"stage.input"]) << ", the Find's end at "
                                           << editor_windows::Utf8(state[L"stage.end"]);
    ASSERT_EQ(state[L"selected"], L"1");

    // To a file, without opening it: the options show as clamped.
    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kColumns, CB_GETCURSEL, 0, 0), 2);    // 3 columns
    EXPECT_EQ(SendDlgItemMessageW(dialog, kFontSize, CB_GETCURSEL, 0, 0), 2);   // 10 points
    EXPECT_NE(ControlText(dialog, kPath).find(L"Ostrel-Pro-Words-1.rtf"), std::wstring::npos);
    Click(dialog, kSelected);
    EXPECT_NE(ControlText(dialog, kCount).find(L"  1"), std::wstring::npos);
    Click(dialog, kAll);
    EXPECT_NE(ControlText(dialog, kCount).find(L"  " + state[L"rows"]), std::wstring::npos);
    Click(dialog, kSelected);
    Click(dialog, kToFile);
    const std::wstring path = folders.root + L"\\words.rtf";
    SetDlgItemTextW(dialog, kPath, path.c_str());
    if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED) Click(dialog, kOpenAfter);
    ChooseItem(dialog, kColumns, 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND created = WaitForShownDialog(L"The document is created");
    ASSERT_NE(created, nullptr);
    PostMessageW(created, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    const std::string rtf = ReadText(path);
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    for (size_t i = 0; i < rtf.size(); ++i)
        if (rtf[i] == '\n') {
            ASSERT_TRUE(i > 0 && rtf[i - 1] == '\r') << "bare line feed at " << i;
        }
    std::string escaped;
    for (wchar_t c : reading) escaped += "\\u" + std::to_string(static_cast<int16_t>(c));
    EXPECT_NE(rtf.find(escaped.substr(0, escaped.find("\\u", 2))), std::string::npos);

    // The same file again: the rewrite question, No keeps the dialog.
    dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, kPath, path.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND exists = WaitForShownDialog(L"File already exists");
    ASSERT_NE(exists, nullptr);
    PostMessageW(exists, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(WaitUntilGone(exists));
    ASSERT_TRUE(run.WaitForPostedMessages(frame));  // the dialog has gone on from the answer
    EXPECT_TRUE(IsWindow(dialog));

    // To the clipboard.
    ClipboardText(true);
    Click(dialog, kToClipboard);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_NE(ClipboardText().find(reading), std::wstring::npos);

    // Copy text.
    ClipboardText(true);
    PostMessageW(frame, WM_COMMAND, kCopyCommand, 0);
    std::wstring copied;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && (copied = ClipboardText()).find(reading) == std::wstring::npos; ++i) Sleep(50);
    EXPECT_NE(copied.find(reading), std::wstring::npos);

    // The whole reading list to a file: the same bytes as qdxexport.exe
    // writes of the slice's records in reading-index order with the options shown.
    dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kAll);
    Click(dialog, kToFile);
    const std::wstring all = folders.root + L"\\all.rtf";
    SetDlgItemTextW(dialog, kPath, all.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    created = WaitForShownDialog(L"The document is created", 2400);
    ASSERT_NE(created, nullptr);
    PostMessageW(created, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    const std::string binary = BinaryPath();
    const std::wstring tree(binary.begin(), binary.end());
    const std::wstring exported = folders.root + L"\\qdxexport.rtf";
    std::wstring command = L"\"" + tree + L"\\tools\\qdxexport.exe\" --compact --columns 1 --blank 4 --index 101 \"" +
                           tree + L"\\ui\\e2e-data\\edict-slice.qdx\" \"" + exported + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string fromProgram = ReadText(all), fromTool = ReadText(exported);
    EXPECT_GT(fromProgram.size(), 100000u);
    EXPECT_TRUE(fromProgram == fromTool) << fromProgram.size() << " bytes from the dialog, " << fromTool.size()
                                         << " from qdxexport";

    // Cancel closes; the options are written whatever the outcome.
    dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kColumns, CB_GETCURSEL, 0, 0), 0);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(run.Exit(frame), 0);
    EXPECT_EQ(ReadIniString(folders, L"Print", L"Columns"), L"1");
    EXPECT_EQ(ReadIniString(folders, L"Print", L"FontSize"), L"10");
    EXPECT_EQ(ReadIniString(folders, L"Print", L"AddBlankLines"), L"4");
    EXPECT_EQ(ReadIniString(folders, L"Print", L"Destination"), L"1");
}

// Memory running out in the middle of an export (a small limit on the
// document stands in for it): the user is told how many articles the
// document holds, and the file holds them.
TEST_F(PrintExport, AnExportCutForLackOfMemorySaysSo) {
    ProgramRun run(L"", {{L"OSTREL_EXPORT_MEMORY_LIMIT", L"60000"}});
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    const std::wstring rows = run.QueryState(frame)[L"rows"];
    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kAll);
    Click(dialog, kToFile);
    const std::wstring path = folders.root + L"\\cut.rtf";
    SetDlgItemTextW(dialog, kPath, path.c_str());
    if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED) Click(dialog, kOpenAfter);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND cut = WaitForShownDialog(L"Not enough memory!", 400);
    ASSERT_NE(cut, nullptr) << "the cut export was not told";
    wchar_t text[256] = {};
    GetDlgItemTextW(cut, 0xFFFF, text, 256);  // a message box's text
    const std::wstring told = text;
    EXPECT_TRUE(told.starts_with(L"The document holds only the first ")) << std::string(told.begin(), told.end());
    EXPECT_TRUE(told.ends_with(L" of " + rows + L" articles.")) << std::string(told.begin(), told.end());
    const int kept = _wtoi(told.c_str() + std::wstring(L"The document holds only the first ").size());
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, _wtoi(rows.c_str()));
    PostMessageW(cut, WM_COMMAND, IDOK, 0);
    HWND created = WaitForShownDialog(L"The document is created");
    ASSERT_NE(created, nullptr);
    PostMessageW(created, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    const std::string rtf = ReadText(path);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_GT(rtf.size(), 1000u);
    EXPECT_EQ(run.Exit(frame), 0);
}

// A copy that memory cut short (a small limit on the document stands in
// for it) leaves the clipboard as an X program filled it: Copy text over
// every row and the dialog's clipboard output each say how far the document
// got and that nothing was copied, and the user's text is still there to paste.
TEST_F(PrintExport, ACutCopyKeepsTheUsersClipboard) {
    ProgramRun run(L"", {{L"OSTREL_EXPORT_MEMORY_LIMIT", L"12000"}});
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    SelectARow(run, frame);
    PostMessageW(frame, WM_COMMAND, kSelectAllCommand, 0);
    std::map<std::wstring, std::wstring> state;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && (state = run.QueryState(frame))[L"selected"] != state[L"rows"]; ++i) Sleep(50);
    const std::wstring rows = state[L"rows"];
    ASSERT_EQ(state[L"selected"], rows);
    ASSERT_GT(_wtoi(rows.c_str()), 20);
    const std::wstring kept = L"the user's own text, копия, 写し";
    ASSERT_TRUE(CopyInXProgram(kept, folders.root));
    auto expectCutBox = [&] {
        HWND box = WaitForShownDialog(L"Not enough memory!", 400);
        ASSERT_NE(box, nullptr) << "the cut copy was not told";
        const std::wstring told = BoxText(box);
        const std::wstring head = L"The document holds only the first ";
        const std::wstring tail = L" of " + rows + L" articles.\nNothing was copied: the clipboard keeps what it held.";
        EXPECT_TRUE(told.starts_with(head) && told.ends_with(tail)) << std::string(told.begin(), told.end());
        const int first = _wtoi(told.c_str() + head.size());
        EXPECT_GT(first, 0);
        EXPECT_LT(first, _wtoi(rows.c_str()));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(box));
    };

    PostMessageW(frame, WM_COMMAND, kCopyCommand, 0);
    expectCutBox();
    EXPECT_EQ(ClipboardText(), kept);
    const std::string keptBytes = "the user's own text, \xD0\xBA\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x8F, \xE5\x86\x99\xE3\x81\x97";
    std::string pasted;
    for (int i = 0, n = machine_pace::ScaledTries(100);
         i < n && (pasted = PastedInXProgram(folders.root)) != keptBytes; ++i)
        Sleep(50);
    EXPECT_EQ(pasted, keptBytes);

    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kAll);
    Click(dialog, kToClipboard);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (HWND many = WaitForShownDialog(L"Too many articles", 40)) PostMessageW(many, WM_COMMAND, IDYES, 0);
    expectCutBox();
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(ClipboardText(), kept);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(ClipboardText(), kept);
    EXPECT_EQ(run.Exit(frame), 0);
}

// Memory that runs out before the first article (a limit smaller than any
// article stands in for it): Copy text, the dialog's clipboard output and
// its file output each say so in one box, naming what was not done; the
// clipboard keeps what the user had there, no file is written, no "created".
TEST_F(PrintExport, AnOutputWithNoTextSaysSoOnEveryRoute) {
    ProgramRun run(L"", {{L"OSTREL_EXPORT_MEMORY_LIMIT", L"100"}});
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    SelectARow(run, frame);
    const std::wstring kept = L"the user's own clipboard text";
    ASSERT_TRUE(PutClipboardText(kept));
    const std::wstring cut = L"The document holds only the first 0 of 1 articles.\n";
    auto expectBox = [&](const std::wstring& text) {
        HWND box = WaitForShownDialog(L"Not enough memory!", 400);
        ASSERT_NE(box, nullptr) << "nothing was said";
        EXPECT_EQ(BoxText(box), text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(box));
    };

    PostMessageW(frame, WM_COMMAND, kCopyCommand, 0);
    expectBox(cut + L"The document would hold no text: the clipboard keeps what it held.");
    EXPECT_EQ(ClipboardText(), kept);

    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kSelected);
    Click(dialog, kToClipboard);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    expectBox(cut + L"The document would hold no text: the clipboard keeps what it held.");
    EXPECT_EQ(ClipboardText(), kept);
    EXPECT_TRUE(IsWindow(dialog));

    const std::wstring path = folders.root + L"\\empty.rtf";
    Click(dialog, kToFile);
    SetDlgItemTextW(dialog, kPath, path.c_str());
    if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED) Click(dialog, kOpenAfter);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    expectBox(cut + L"The document would hold no text: no file was written.");
    EXPECT_EQ(FindWindowW(L"#32770", L"The document is created"), nullptr);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(ClipboardText(true), kept);
    EXPECT_EQ(run.Exit(frame), 0);
}

// Whole-list exports one after another: what the first leaves behind (the
// list's and dictionary's caches) stays, each export's document is given back.
TEST_F(PrintExport, EachExportGivesItsMemoryBack) {
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    DWORD id = 0;
    GetWindowThreadProcessId(frame, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    ASSERT_NE(process, nullptr);
    auto committedKb = [&] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(process, &counters, sizeof(counters));
        return static_cast<long>(counters.PagefileUsage / 1024);
    };
    std::vector<long> after;
    for (int round = 1; round <= 3; ++round) {
        HWND dialog = OpenDialog(frame);
        ASSERT_NE(dialog, nullptr);
        Click(dialog, kAll);
        Click(dialog, kToFile);
        SetDlgItemTextW(dialog, kPath, (folders.root + L"\\all" + std::to_wstring(round) + L".rtf").c_str());
        if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED) Click(dialog, kOpenAfter);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND created = WaitForShownDialog(L"The document is created", 2000);
        ASSERT_NE(created, nullptr);
        PostMessageW(created, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(dialog));
        after.push_back(committedKb());
    }
    std::printf("committed after each export: %ld, %ld, %ld KB\n", after[0], after[1], after[2]);
    EXPECT_LT(after[2] - after[0], 1024) << "KB kept by two more exports";
    CloseHandle(process);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace

namespace {

// Words of the slice's EDICT lines that hold a full-width form (U+FF01 to
// U+FF5E) or a Latin letter with a macron, as EDICT writes them.
std::vector<std::wstring> WordsWithWideFormsOrMacrons() {
    std::vector<std::wstring> words;
    const std::vector<uint8_t> bytes = ReadBytes(BinaryPath() + "/ui/e2e-data/edict-slice");
    const std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::u16string line = DecodeEucJpLine(lines[i]);
        std::wstring word;
        for (size_t at = 0; at <= line.size(); ++at) {
            const wchar_t c = at < line.size() ? static_cast<wchar_t>(line[at]) : L' ';
            if (std::wstring_view(L" /;()[],").find(c) == std::wstring_view::npos) {
                word += c;
                continue;
            }
            const bool wide = std::any_of(word.begin(), word.end(), [](wchar_t w) {
                return (w >= 0xFF01 && w <= 0xFF5E) || std::wstring_view(L"ĀāĒēĪīŌōŪū").find(w) != std::wstring_view::npos;
            });
            if (wide) words.push_back(word);
            word.clear();
        }
    }
    return words;
}

TEST_F(PrintExport, TheClipboardsRichTextIsItsPlainText) {
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kAll);
    Click(dialog, kToClipboard);
    ClipboardText(true);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(dialog));
    for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(20);
    std::string rtf = ClipboardBytes(RegisterClipboardFormatW(L"Rich Text Format"));
    const std::string unicode = ClipboardBytes(CF_UNICODETEXT);
    CloseClipboard();
    rtf.resize(std::min(rtf.find('\0'), rtf.size()));
    std::wstring text(reinterpret_cast<const wchar_t*>(unicode.data()), unicode.size() / sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    ASSERT_GT(text.size(), 100000u);
    EXPECT_TRUE(LinesOf(RichEditReading(rtf)) == LinesOf(text)) << "the rich text reads otherwise than the plain text";
    const std::vector<std::wstring> words = WordsWithWideFormsOrMacrons();
    EXPECT_GT(words.size(), 20u);
    for (const std::wstring& word : words)
        EXPECT_NE(text.find(word), std::wstring::npos) << "not on the clipboard as EDICT writes it: word of "
                                                       << word.size() << " units, first U+" << std::hex
                                                       << static_cast<int>(word[0]);
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(PrintExport, AClipboardHeldByAnotherProgramIsTold) {
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    SelectARow(run, frame);
    const std::wstring busy = L"The clipboard could not be opened: another program is using it.";

    ASSERT_TRUE(OpenClipboard(nullptr));  // held here, as by another program
    PostMessageW(frame, WM_COMMAND, kCopyCommand, 0);
    HWND box = WaitForShownDialog(L"Copy to clipboard", 400);
    ASSERT_NE(box, nullptr) << "Copy text said nothing";
    EXPECT_EQ(BoxText(box), busy);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(box));

    HWND dialog = OpenDialog(frame);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kSelected);
    Click(dialog, kToClipboard);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    box = WaitForShownDialog(L"Copy to clipboard", 400);
    ASSERT_NE(box, nullptr) << "the dialog said nothing";
    EXPECT_EQ(BoxText(box), busy);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(box));
    ASSERT_TRUE(run.WaitForPostedMessages(frame));  // the dialog has gone on from the box
    EXPECT_TRUE(IsWindow(dialog));
    EmptyClipboard();
    CloseClipboard();

    PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // the clipboard free again
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_NE(ClipboardText().find(L"ね"), std::wstring::npos);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
