// OstrelPro.exe against the web tests' own server on 127.0.0.1 (run through
// web/win/served/with_test_server.sh; skipped otherwise): the update check
// fetches the list and posts the scrambled update body, which the server
// unscrambles and checks (P18 against Python's zlib.crc32 of the exe); a
// News2 reply brings the notice, whose OK opens the download page; the web
// searches open their query URLs. The prefix's browser is a script that
// only records the URLs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/remote_list_view.h"
#include "ui/e2e/machine_pace.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Waits until `done` holds, at most `ms`.
template <typename Condition>
bool WaitFor(Condition done, DWORD ms = 20000) {
    for (DWORD waited = 0, limit = machine_pace::ScaledMs(ms); waited < limit; waited += 100) {
        if (done()) return true;
        Sleep(100);
    }
    return done();
}

// A window's text, narrowed for a test message.
std::string WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c) narrow += *c < 0x80 ? static_cast<char>(*c) : '?';
    return narrow;
}

// Distinct colours in a grid of points over the window: a painted dialog has many.
size_t Colours(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (LONG y = rect.top; y < rect.bottom; y += 3)
        for (LONG x = rect.left; x < rect.right; x += 3) colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return colours.size();
}

class WebServices : public testing::Test {
protected:
    void SetUp() override {
        port = Env("OSTREL_TEST_SERVER_PORT");
        if (port.empty()) GTEST_SKIP() << "run through with_test_server.sh (ctest: ui_e2e_web)";
        SetProcessDPIAware();
        CloseLeftoverFrames();
        root = std::string(OSTREL_HOST_ROOT) + Env("OSTREL_TEST_SERVER_ROOT");
        log = std::string(OSTREL_HOST_ROOT) + Env("OSTREL_TEST_SERVER_LOG");
        // Each case gives the server its own list and news.
        for (const char* name : {"/browser.log", "/dictionary_list.txt", "/news.txt"}) DeleteFileA((root + name).c_str());
        // The shell's browser (HKCU\Software\Wine\WineBrowser "Browsers")
        // is a script that appends each URL to browser.log, never a real one.
        // with_test_server.sh made it in the server's root (the shell starts
        // it without the test's environment, so the log's path is written in).
        const std::string unixRoot = Env("OSTREL_TEST_SERVER_ROOT");
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        std::wstring script = Widen(unixRoot + "/record_url.sh");
        RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(script.c_str()),
                       static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    std::string Home() const { return "http://127.0.0.1:" + port + "/"; }
    std::string Recorded() const { return ReadFile(root + "/browser.log"); }
    std::string port, root, log;
};

TEST_F(WebServices, UpdateCheckPostsTheScrambledBodyAndTheNoticeOpensTheDownloadPage) {
    WriteFile(root + "/dictionary_list.txt",
              "[Dictionary1]\nUrl=" + Home() + "files/\nFilename=kanjidic-slice.qdx\nSize=1000\n");
    WriteFile(root + "/news.txt", "<p>News1_3=hello News2_5=11.12</p>");
    TestFolders folders = PrepareTest(L"WebServices.Update");
    WriteSettings(folders, L"[Application]\r\nHomeSite=" + Widen(Home()) + L"\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.QueryState(frame)[L"homeSite"], Widen(Home()));

    HWND notice = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (notice = FindWindowW(L"#32770", L"Ostrel Web Updates")) != nullptr; }));
    std::string requests = ReadFile(log);
    EXPECT_TRUE(std::regex_search(requests, std::regex(R"("GET", "path": "/update/dictionary_list\.txt\?\d{10}")")))
        << requests;
    EXPECT_TRUE(std::regex_search(requests, std::regex(R"("POST", "path": "/update/\?\d{10}")"))) << requests;
    EXPECT_NE(requests.find("\"p18_ok\": true"), std::string::npos) << requests;
    EXPECT_NE(requests.find("\"crlf\": true"), std::string::npos);
    // The fields in their order, P15 left out (no registry write failed).
    std::smatch fields;
    ASSERT_TRUE(std::regex_search(requests, fields, std::regex(R"("fields": (\[.*?\]\]))")));
    EXPECT_TRUE(std::regex_search(fields[1].str(),
                                  std::regex(R"(^\[\["P01", "Pro_11\.11\.0"\], \["P02", "[0-9A-F-]{36}"\], \["P04", "[012]"\], )"
                                             R"(\["P12", "\d+"\], \["P14", "-?\d+"\], \["P16", "[^"]*"\], \["P18", "[0-9A-F]+"\]\]$)")))
        << fields[1].str();
    auto date = ReadProgramValue(L"UpdateReqDate");
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->size(), 16u);

    Sleep(300);
    EXPECT_GT(Colours(notice), 5u);
    SaveScreenshot(folders.root + L"\\update_notice.png");
    HWND remind = GetDlgItem(notice, 1293);
    EXPECT_EQ(SendMessageW(remind, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(remind, BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return Recorded().find("download/download_") != std::string::npos; }));
    EXPECT_TRUE(std::regex_search(Recorded(), std::regex("^" + std::regex_replace(Home(), std::regex(R"([.])"), R"(\.)") +
                                                         R"(download/download_[rej]\.htm$)", std::regex::multiline)))
        << Recorded();
    auto noRemind = ReadProgramValue(L"NoRemind2");
    ASSERT_TRUE(noRemind.has_value());
    EXPECT_EQ((*noRemind)[0], 5);
    EXPECT_EQ(run.Exit(frame), 0);
}

HWND VisibleList(HWND frame) {
    for (HWND child = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); child;
         child = FindWindowExW(frame, child, L"Ostrel List View", nullptr))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

// The ten searches of the kanji list's current row 亜 (U+4E9C, 20124): the
// kanji dictionary by its code point, the others by the word in UTF-8.
TEST_F(WebServices, WebSearchesOpenTheirQueryUrlsThroughTheShell) {
    TestFolders folders = PrepareTest(L"WebServices.Search");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    const std::wstring dictionary = folders.DictionariesFolder() + L"\\kanjidic-slice.qdx";
    const std::string binary = BinaryPath();
    ASSERT_TRUE(CopyFileW((Widen(binary) + L"\\ui\\e2e-data\\kanjidic-slice.qdx").c_str(), dictionary.c_str(), FALSE));
    WriteSettings(folders, L"[Application]\r\nHomeSite=" + Widen(Home()) + L"\r\n[Dictionaries]\r\nFile1=" +
                               dictionary + L",0\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    SendMessageW(frame, WM_COMMAND, 40007, 0);  // the list by kanji
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    PostMessageW(input, WM_CHAR, 0x4E9C, 1);
    auto currentKanji = [&] {
        auto state = run.QueryState(frame);
        int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    ASSERT_TRUE(WaitFor([&] { return currentKanji() == L"\u4E9C"; }, 10000));
    HWND list = VisibleList(frame);
    ASSERT_NE(list, nullptr);
    const std::pair<int, std::string> expected[] = {
        {40183, "https://www.google.com/search?hl=en&q=%E4%BA%9C"},
        {40184, "https://www.google.com/search?hl=en&lr=lang_ja&q=%E4%BA%9C"},
        {40185, "https://www.google.com/images?hl=en&q=%E4%BA%9C"},
        {40186, "https://ja.wikipedia.org/wiki/%E4%BA%9C"},
        {40187, "https://dictionary.goo.ne.jp/srch/all/%E4%BA%9C/m0u/"},
        {40188, "https://eow.alc.co.jp/search?q=%E4%BA%9C"},
        {40166, "https://www.weblio.jp/content/%E4%BA%9C"},
        {40691, "https://ejje.weblio.jp/content/%E4%BA%9C"},
        {40164, "https://www.yarxi.ru/online/?u=20124"},
        {40170, "https://jisho.org/search/%E4%BA%9C"},
    };
    std::string all;
    for (const auto& [command, url] : expected) {
        PostMessageW(list, WM_COMMAND, command, 0);
        all += url + "\n";
        ASSERT_TRUE(WaitFor([&] { return Recorded() == all; }, 15000)) << Recorded();
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

// Presses and releases a mouse button at a point of the screen, as a user does.
void ClickAt(POINT at, bool right) {
    SetCursorPos(at.x, at.y);
    Sleep(50);
    INPUT clicks[2] = {};
    for (INPUT& click : clicks) click.type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

// The centre of a list row on the screen.
POINT RowCentre(HWND list, int row) {
    RemoteMemory memory(list, sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    memory.Write(0, &rect, sizeof(rect));
    SendMessageW(list, LVM_GETITEMRECT, row, memory.At(0));
    memory.Read(0, &rect, sizeof(rect));
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &centre);
    return centre;
}

// A shown message box with the caption (its text in *text).
HWND ShownBox(const wchar_t* caption, std::wstring* text = nullptr) {
    HWND box = FindWindowW(L"#32770", caption);
    if (!box || !IsWindowVisible(box)) return nullptr;
    if (text) {
        wchar_t buffer[512] = {};
        GetDlgItemTextW(box, 0xFFFF, buffer, 512);
        *text = buffer;
    }
    return box;
}

// The dictionaries dialog lists the server's KANJIDIC dictionary; its
// right-click menu's Install brings it byte-identical into the Dictionaries
// folder, and the installed list shows it at once, selected. In the Russian
// interface a second Install asks (in Russian) before it replaces the copy.
// A home site whose list redirects to itself: the check ends after eleven
// requests, and the dictionaries dialog says why the list did not come.
TEST_F(WebServices, AListThatRedirectsInALoopIsRefusedSayingSo) {
    WriteFile(root + "/list_loop", "");
    TestFolders folders = PrepareTest(L"WebServices.RedirectLoop");
    WriteSettings(folders, L"[Application]\r\nHomeSite=" + Widen(Home()) + L"\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 40070, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        dialog = FindWindowW(L"#32770", L"Installed Dictionaries and Books");
        return dialog && IsWindowVisible(dialog);
    }));
    const std::string said =
        "Cannot receive the list of dictionaries from the server: The server redirected more than 10 times (a loop).";
    EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(dialog, 1287)).find(said) != std::string::npos; }))
        << WindowText(GetDlgItem(dialog, 1287));
    SaveScreenshot(folders.root + L"\\redirect_loop.png");
    const std::string requests = ReadFile(log);
    size_t asked = 0;
    for (size_t at = requests.find("/update/dictionary_list.txt"); at != std::string::npos;
         at = requests.find("/update/dictionary_list.txt", at + 1))
        ++asked;
    EXPECT_GE(asked, 11u) << requests;   // a check: the request and ten redirects
    DeleteFileA((root + "/list_loop").c_str());
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(WebServices, TheDictionariesDialogInstallsADictionaryFromTheServer) {
    const std::string binary = BinaryPath();
    ASSERT_TRUE(CopyFileW((Widen(binary) + L"\\ui\\e2e-data\\kanjidic-slice.qdx").c_str(),
                          Widen(root + "/kanjidic.qdx").c_str(), FALSE));
    const std::string served = ReadFile(root + "/kanjidic.qdx");
    WriteFile(root + "/dictionary_list.txt",
              "[Dictionary1]\nShortNameE=KANJIDIC\nLongNameE=KANJIDIC slice\nShortNameR=KANJIDIC\nUrl=" + Home() +
                  "files/\nFilename=kanjidic.qdx\nSize=" + std::to_string(served.size()) + "\nType=Dictionary\n");
    TestFolders folders = PrepareTest(L"WebServices.Install");
    WriteSettings(folders, L"[Application]\r\nHomeSite=" + Widen(Home()) + L"\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    // The window bears its caption before its controls exist; a modal dialog
    // is shown only once WM_INITDIALOG has made them.
    auto openDialog = [&](const wchar_t* caption) {
        PostMessageW(frame, WM_COMMAND, 40070, 0);
        HWND dialog = nullptr;
        WaitFor([&] {
            dialog = FindWindowW(L"#32770", caption);
            return dialog && IsWindowVisible(dialog);
        });
        return dialog;
    };
    HWND dialog = openDialog(L"Installed Dictionaries and Books");
    ASSERT_NE(dialog, nullptr);
    HWND view = GetDlgItem(dialog, 1295), installed = GetDlgItem(dialog, 1294);
    ASSERT_NE(view, nullptr);
    // On failure: the pane's status line ("receiving" or "failed") and what
    // reached the server tell a lost reply from a failed request.
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1; }))
        << "status line: " << WindowText(GetDlgItem(dialog, 1287)) << "\nrequests:\n" << ReadFile(log);
    EXPECT_LT(RowOf(installed, L"kanjidic.qdx"), 0);
    key_typing::FocusWindow(view);
    ClickAt(RowCentre(view, 0), true);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }, 5000))
        << "no pop-up over the server list";
    key_typing::PressKey(VK_DOWN);
    key_typing::PressKey(VK_RETURN);
    HWND done = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (done = ShownBox(L"Dictionary Is Installed")) != nullptr; }));
    // The installed list has the new dictionary, selected, before the box is answered.
    const int row = RowOf(installed, L"kanjidic.qdx");
    EXPECT_GE(row, 0) << "the installed list was not filled again";
    EXPECT_EQ(SelectedRow(installed), row);
    Sleep(300);  // the box and the list painted
    SaveScreenshot(folders.root + L"\\installed.png");
    PostMessageW(done, WM_COMMAND, IDOK, 0);
    const std::wstring target = folders.DictionariesFolder() + L"\\kanjidic.qdx";
    {
        // Closed before the second install, which replaces the file.
        std::ifstream in(std::filesystem::path(target), std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == served);
    }
    EXPECT_EQ(GetFileAttributesW((folders.DictionariesFolder() + L"\\Download.qdx").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WaitFor([&] { return ShownBox(L"Dictionary Is Installed") == nullptr; }));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(dialog); }, 5000);

    // The same in the Russian interface: the question and the answer in Russian.
    PostMessageW(frame, WM_COMMAND, 40144, 0);
    dialog = openDialog(L"Установленные словари и книги");
    ASSERT_NE(dialog, nullptr);
    view = GetDlgItem(dialog, 1295);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    RemoteMemory memory(view, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ASSERT_TRUE(memory.Write(0, &item, sizeof item));
    SendMessageW(view, LVM_SETITEMSTATE, 0, memory.At(0));
    PostMessageW(dialog, WM_COMMAND, 1316, 0);
    HWND ask = nullptr;
    std::wstring question;
    ASSERT_TRUE(WaitFor([&] { return (ask = ShownBox(L"Заменить существующий словарь?", &question)) != nullptr; }))
        << "no Russian question";
    EXPECT_NE(question.find(L"KANJIDIC"), std::wstring::npos);
    EXPECT_NE(question.find(L"будет заменён"), std::wstring::npos);
    PostMessageW(ask, WM_COMMAND, IDYES, 0);
    const bool answered = WaitFor([&] { return (done = ShownBox(L"Словарь установлен")) != nullptr; });
    SaveScreenshot(folders.root + L"\\installed_ru.png");
    ASSERT_TRUE(answered) << WindowText(GetDlgItem(dialog, 1287));
    PostMessageW(done, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return ShownBox(L"Словарь установлен") == nullptr; }));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(dialog); }, 5000);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
