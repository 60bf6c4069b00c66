// The server list of the dictionaries dialog against the web tests' own
// server on 127.0.0.1 (run through web/win/served/with_test_server.sh): a
// dictionary compiled from Debian's KANJIDIC is offered, installed through
// the pane (driven by its messages, boxes answered by their buttons) and
// arrives byte-identical, on the shelf and open; updated in place, also
// from an entry whose Size is smaller than the file; and every hostile or
// broken download (unsafe names, truncated, absurd length, not a database,
// stalled, a server that never answers, cancelled) leaves the Dictionaries folder and its parent exactly
// as they were and says why; Cancel ends a stalled download at once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/base/crc32.h"
#include "common/global_objects.h"
#include "common/tests/test_paths.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "import/import_registration.h"
#include "storage/global_engine.h"
#include "ui/e2e/program_session.h"
#include "ui/server_list_pane.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file below `folder` with the CRC-32 of its bytes.
std::map<std::string, uint32_t> Listing(const fs::path& folder) {
    std::map<std::string, uint32_t> files;
    CCrc32Dynamic crc;
    crc.Init();
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string bytes = entry.is_regular_file() ? ReadFile(entry.path()) : std::string("<dir>");
        files[entry.path().generic_string()] =
            crc.Compute(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    return files;
}

ServerListPane* g_pane = nullptr;
std::vector<std::wstring> g_boxes;   // texts of the message boxes shown, in order

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDownloadDoneMessage && g_pane) {
        g_pane->OnDownloadFinished(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Answers every message box of this thread with Yes (Wine's boxes end on any
// of their command ids), keeping its text.
BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && !GetPropW(window, L"answered")) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 1024);
        g_boxes.push_back(text);
        SetPropW(window, L"answered", reinterpret_cast<HANDLE>(1));
        PostMessageW(window, WM_COMMAND, IDYES, 0);
    }
    return TRUE;
}

void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0); }

class ServerListPaneTest : public testing::Test {
protected:
    void SetUp() override {
        port = Env("OSTREL_TEST_SERVER_PORT");
        if (port.empty()) GTEST_SKIP() << "run through with_test_server.sh (ctest: ui_served_tests)";
        RegisterImportParsers();
        root = fs::path(std::string(OSTREL_HOST_ROOT) + Env("OSTREL_TEST_SERVER_ROOT"));
        work = root / "install";
        fs::remove_all(work);
        dictionaries = work / "Dictionaries";
        fs::create_directories(dictionaries);
        ASSERT_TRUE(CopyFileW(fs::path(BinaryPath() + "/ui/e2e-data/kanjidic-slice.qdx").c_str(),
                              (root / "kanjidic.qdx").c_str(), FALSE));
        std::ofstream(root / "notdb.qdx", std::ios::binary) << std::string(5000, 'x');
        served = ReadFile(root / "kanjidic.qdx");
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OstrelServerPaneTest";
        RegisterClassW(&wc);
        dialog = CreateWindowW(L"OstrelServerPaneTest", L"Server list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400,
                               nullptr, nullptr, wc.hInstance, nullptr);
        auto child = [&](const wchar_t* cls, int id, DWORD style) {
            CreateWindowW(cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 700, 200, dialog,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance, nullptr);
        };
        auto place = [&](int id, int x, int y, int width, int height) {
            MoveWindow(GetDlgItem(dialog, id), x, y, width, height, FALSE);
        };
        child(WC_LISTVIEWW, 1295, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER);
        child(L"STATIC", 1287, 0);
        child(PROGRESS_CLASSW, 1275, 0);
        child(L"BUTTON", 1316, 0);
        child(L"BUTTON", IDOK, 0);
        place(1295, 8, 8, 760, 220);
        place(1287, 8, 236, 760, 20);
        place(1275, 8, 262, 760, 16);
        place(1316, 8, 290, 90, 24);
        place(IDOK, 108, 290, 90, 24);
        answering = SetTimer(nullptr, 0, 100, AnswerBoxes);
        g_boxes.clear();
    }
    void TearDown() override {
        if (answering) KillTimer(nullptr, answering);
        g_pane = nullptr;
        if (dialog) DestroyWindow(dialog);
    }
    std::string Url(const std::string& kind) const { return "http://127.0.0.1:" + port + "/" + kind + "/"; }
    // The served list: the KANJIDIC dictionary under each route, and names
    // no download may use.
    std::string ListText(const std::string& version) const {
        const std::string size = std::to_string(served.size());
        std::string text;
        auto item = [&](const std::string& title, const std::string& url, const std::string& file, const std::string& bytes) {
            text += "[Dic " + title + "]\nShortNameE=" + title + "\nLongNameE=KANJIDIC slice\nUrl=" + url +
                    "\nFilename=" + file + "\nSize=" + bytes + "\nArticles=12345\nVersion=" +
                    version + "\nType=Dictionary\n";
        };
        item("good", Url("files"), "kanjidic.qdx", size);
        item("truncated", Url("truncated"), "kanjidic.qdx", size);
        item("undersized", Url("files"), "kanjidic.qdx", std::to_string(served.size() / 2));
        item("absurd", Url("absurd"), "kanjidic.qdx", size);
        item("notdb", Url("files"), "notdb.qdx", "5000");
        item("stalled", "http://127.0.0.1:" + port + "/stall/" + size + "/", "kanjidic.qdx", size);
        item("slow", "http://127.0.0.1:" + port + "/slow/" + size + "/", "kanjidic.qdx", size);
        item("silent", "https://127.0.0.1:" + Env("OSTREL_TEST_SILENT_PORT") + "/", "kanjidic.qdx", size);
        item("local", "file:///etc/", "kanjidic.qdx", size);   // no transfer fetches it: not offered
        for (const char* hostile : {"..\\evil.qdx", "../evil.qdx", "C:evil.qdx", "sub\\evil.qdx", "evil.qdx:stream",
                                    "CON.qdx", "evil.exe", "..qdx"})
            item("hostile", Url("files"), hostile, size);
        return text;
    }
    void Offer(const std::string& version = "1.0") {
        list.SetText(ListText(version));
        list.Parse();
        list.status = 3;
    }
    int RowOf(const std::wstring& title) {
        HWND view = GetDlgItem(dialog, 1295);
        for (int row = 0; row < ListView_GetItemCount(view); ++row) {
            wchar_t text[64] = {};
            ListView_GetItemText(view, row, 0, text, 64);
            if (title == text) return row;
        }
        return -1;
    }
    // Installs the row titled `title`; pumps until the pane is idle again.
    void Install(const std::wstring& title, bool cancel = false) {
        HWND view = GetDlgItem(dialog, 1295);
        int row = RowOf(title);
        ASSERT_GE(row, 0);
        ListView_SetItemState(view, row, LVIS_SELECTED, LVIS_SELECTED);
        pane->OnCommand(1316, 0);
        ASSERT_EQ(pane->State(), DownloadState::Downloading);
        if (cancel) {
            Pump(400);
            // The pane during a download, for people to look at.
            SaveScreenshot((work.parent_path() / "server_list_download.png").wstring());
            pane->OnCommand(1317, 0);
            EXPECT_EQ(pane->State(), DownloadState::Cancelling);
        }
        for (int i = 0; i < 600 && pane->DownloadRunning(); ++i) Pump(50);
        EXPECT_FALSE(pane->DownloadRunning());
        EXPECT_EQ(lines.Head(), nullptr);   // the download's line is gone with its request
    }
    // A cancelled transfer that has not yet noticed the cancel (a busy
    // machine) is let go; it deletes the file it wrote once it ends.
    void WaitForCancelledDownloadFile() {
        for (int i = 0; i < 300 && fs::exists(dictionaries / "Download.qdx"); ++i) Pump(50);
    }
    void Pump(DWORD ms) {
        DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < ms) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            pane->OnTimer();
            Sleep(10);
        }
    }
    void Attach() {
        pane = std::make_unique<ServerListPane>(list, lines, [] {});
        pane->transferTimeoutMs = 2000;
        g_pane = pane.get();
        pane->Attach(dialog, *shelf, dictionaries.u16string(), nullptr);
    }

    ProgramGlobals globals{StorageEngineHooks()};
    CInput input;
    std::unique_ptr<CShelf> shelf = std::make_unique<CShelf>(*GlobalEngine(), nullptr, input);
    CWebDictionaries list;
    CHomeLines lines;
    std::unique_ptr<ServerListPane> pane;
    std::string port, served;
    fs::path root, work, dictionaries;
    HWND dialog = nullptr;
    UINT_PTR answering = 0;
};

TEST_F(ServerListPaneTest, InstallsUpdatesAndRefusesEveryBrokenDownload) {
    Offer();
    Attach();
    // Only the usable items are rows: the hostile names never are.
    EXPECT_EQ(pane->RowCount(), 8);
    EXPECT_EQ(RowOf(L"hostile"), -1);
    EXPECT_EQ(RowOf(L"local"), -1);
    struct Refused {
        const wchar_t* title;
        const wchar_t* reason;
    };
    for (const Refused r : {Refused{L"truncated", L"\nThe connection ended before the whole file arrived ("},
                            Refused{L"absurd", L"\nThe server announces more bytes than a download may take."},
                            Refused{L"notdb", L"\nThe downloaded file is not a dictionary that opens."},
                            Refused{L"stalled", L"\nThe server sent nothing for 2 seconds."},
                            // Accepts and never answers: the handshake ends at the transfer's deadline.
                            Refused{L"silent", L"\nThe server sent nothing for 2 seconds."}}) {
        SCOPED_TRACE(std::string(r.title, r.title + wcslen(r.title)));
        auto before = Listing(work);
        g_boxes.clear();
        Install(r.title);
        EXPECT_EQ(Listing(work), before);
        ASSERT_FALSE(g_boxes.empty());
        EXPECT_EQ(g_boxes.back().rfind(L"Could not install", 0), 0u);
        EXPECT_NE(g_boxes.back().find(r.reason), std::wstring::npos) << g_boxes.back();
    }
    // The good one arrives whole, on the shelf and open.
    g_boxes.clear();
    Install(L"good");
    const fs::path target = dictionaries / "kanjidic.qdx";
    EXPECT_TRUE(ReadFile(target) == served);
    EXPECT_FALSE(fs::exists(dictionaries / "Download.qdx"));
    RDFDictionary* installed = shelf->FindByPath(target.u16string());
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(installed->flags & kDictionaryOpen, 0u);
    ASSERT_FALSE(g_boxes.empty());
    EXPECT_NE(g_boxes.back().find(L"is installed."), std::wstring::npos);
    // Matched with the shelf now: no date to compare, the same size: the same.
    EXPECT_EQ(list.Items()[0].localStatus, local_status::kSame);

    // A failed or cancelled update leaves the installed copy as it was.
    for (const wchar_t* title : {L"truncated", L"slow"}) {
        auto before = Listing(work);
        g_boxes.clear();
        Install(title, std::wstring(title) == L"slow");
        WaitForCancelledDownloadFile();
        EXPECT_EQ(Listing(work), before) << title;
        EXPECT_EQ(shelf->FindByPath(target.u16string()), installed);
        EXPECT_NE(installed->flags & kDictionaryOpen, 0u);
        if (std::wstring(title) == L"slow") {
            ASSERT_FALSE(g_boxes.empty());
            EXPECT_NE(g_boxes.back().find(L"\nThe download was cancelled."), std::wstring::npos) << g_boxes.back();
        }
    }
    // A Size smaller than the file is for showing only: the file installs whole.
    g_boxes.clear();
    Install(L"undersized");
    ASSERT_FALSE(g_boxes.empty());
    EXPECT_NE(g_boxes.back().find(L"is updated."), std::wstring::npos) << g_boxes.back();
    EXPECT_TRUE(ReadFile(target) == served);
    installed = shelf->FindByPath(target.u16string());
    ASSERT_NE(installed, nullptr);

    // A newer version on the server: "will be updated", replaced in place.
    Offer("99");
    pane->OnTimer();
    EXPECT_EQ(list.Items()[0].localStatus, local_status::kNewerOnServer);
    g_boxes.clear();
    Install(L"good");
    ASSERT_GE(g_boxes.size(), 2u);
    EXPECT_NE(g_boxes[0].find(L"will be updated"), std::wstring::npos);
    EXPECT_NE(g_boxes.back().find(L"is updated."), std::wstring::npos);
    EXPECT_TRUE(ReadFile(target) == served);
    EXPECT_EQ(shelf->DictionaryCount(), 1);
    EXPECT_NE(shelf->FindByPath(target.u16string())->flags & kDictionaryOpen, 0u);
}

// Cancel on a download that stalls ends it at once, not at its time-out;
// the file the stalled transfer wrote goes when that transfer ends, and a
// download started meanwhile (of another item) installs under its own name.
TEST_F(ServerListPaneTest, CancelEndsAStalledDownloadAtOnce) {
    Offer();
    Attach();
    pane->transferTimeoutMs = 10000;
    auto before = Listing(work);
    const DWORD start = GetTickCount();
    Install(L"stalled", true);
    EXPECT_LT(GetTickCount() - start, pane->transferTimeoutMs / 2);   // well before the time-out, even on a busy machine
    ASSERT_FALSE(g_boxes.empty());
    EXPECT_NE(g_boxes.back().find(L"\nThe download was cancelled."), std::wstring::npos) << g_boxes.back();
    g_boxes.clear();
    Install(L"good");
    ASSERT_FALSE(g_boxes.empty());
    EXPECT_NE(g_boxes.back().find(L"is installed."), std::wstring::npos) << g_boxes.back();
    EXPECT_TRUE(ReadFile(dictionaries / "kanjidic.qdx") == served);
    WaitForCancelledDownloadFile();
    auto after = Listing(work);
    after.erase((dictionaries / "kanjidic.qdx").generic_string());
    EXPECT_EQ(after, before);
}

TEST_F(ServerListPaneTest, AWorkingDictionaryIsNeverReplaced) {
    Offer();
    Attach();
    Install(L"good");
    const fs::path target = dictionaries / "kanjidic.qdx";
    RDFDictionary* installed = shelf->FindByPath(target.u16string());
    ASSERT_NE(installed, nullptr);
    installed->flags |= kDictionaryWorking;
    auto before = Listing(work);
    g_boxes.clear();
    HWND view = GetDlgItem(dialog, 1295);
    ListView_SetItemState(view, RowOf(L"good"), LVIS_SELECTED, LVIS_SELECTED);
    pane->OnCommand(1316, 0);
    Pump(300);
    EXPECT_EQ(pane->State(), DownloadState::Idle);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find(L"will not be installed"), std::wstring::npos);
    EXPECT_EQ(Listing(work), before);
}

}  // namespace
