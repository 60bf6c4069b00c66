// A book loaded as a user loads one, in OstrelPro.exe under Wine with EDICT
// and KANJIDIC open: the dictionaries dialog's Create makes a book
// dictionary, its book loader is given a parallel text of about 100 KB and
// Download is pressed; the time runs until the "Books Loaded" box shows
// (the dictionary closed, the text compiled into a copy beside it with the
// progress drawn, the copy put in its place, the dictionary marked finished
// and opened again, the lists refreshed). Five loads, each into a new
// dictionary. The peer, in this process: the same text compiled into a
// copy of the same empty dictionary with no window at all, as qdxc does.
// Prints the median and worst load, the peer's median, their difference
// (what the program adds to the compile) and the aim of 2 s.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"
#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

int g_loads = 5;  // --loads N
constexpr double kAimSeconds = 2.0;
constexpr uint32_t kBookLoadFlags = 0x404008;  // parallel text, UTF-8, line text

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The shown dialog owned by `owner` whose caption is `caption`, waiting up
// to a minute; null when none shows.
HWND WaitForOwned(HWND owner, const wchar_t* caption) {
    for (int i = 0; i < 60000; ++i, Sleep(1)) {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            wchar_t title[128] = {};
            GetWindowTextW(w, title, 128);
            if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w) && (!caption || wcscmp(title, caption) == 0))
                return w;
        }
    }
    return nullptr;
}

bool WaitGone(HWND window) {
    for (int i = 0; i < 600 && IsWindow(window); ++i) Sleep(50);
    return !IsWindow(window);
}

// One load through the program's dialogs: seconds from Download to the box,
// or a negative number when a step did not come.
double LoadThroughTheProgram(HWND frame, const std::wstring& name, const std::wstring& book,
                             const std::wstring* emptyCopy, std::wstring& stored) {
    PostMessageW(frame, WM_COMMAND, cmd::kDictionaries, 0);
    HWND dictionaries = WaitForOwned(frame, nullptr);
    if (!dictionaries) return -1;
    PostMessageW(dictionaries, WM_COMMAND, 40147, 0);  // Create
    HWND create = WaitForOwned(dictionaries, nullptr);
    if (!create) return -2;
    SetDlgItemTextW(create, 1186, name.c_str());
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    if (!WaitGone(create)) return -3;
    PostMessageW(dictionaries, WM_COMMAND, 40686, 0);  // load a book into the new dictionary
    HWND loader = WaitForOwned(dictionaries, nullptr);
    if (!loader) return -4;
    wchar_t path[MAX_PATH] = {};
    GetDlgItemTextW(loader, 1349, path, MAX_PATH);
    stored = path;
    if (emptyCopy && !CopyFileW(path, emptyCopy->c_str(), FALSE)) return -5;
    SetDlgItemTextW(loader, 1351, book.c_str());
    LARGE_INTEGER start{}, shown{};
    QueryPerformanceCounter(&start);
    PostMessageW(loader, WM_COMMAND, IDOK, 0);
    HWND box = WaitForOwned(loader, L"Books Loaded");
    QueryPerformanceCounter(&shown);
    if (!box) return -6;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (!WaitGone(loader)) return -7;
    PostMessageW(dictionaries, WM_COMMAND, IDOK, 0);
    if (!WaitGone(dictionaries)) return -8;
    return Seconds(start, shown);
}

// The peer: the compile alone, into a fresh copy of the empty dictionary.
double CompileAlone(const std::wstring& empty, const std::wstring& work, const std::wstring& book) {
    if (!CopyFileW(empty.c_str(), work.c_str(), FALSE)) return -1;
    CDMS engine{SystemStorageIO()};
    CDictionary dictionary(kDictionaryStoreDatabase | kDictionaryBook, engine);
    const std::u16string target(work.begin(), work.end()), source(book.begin(), book.end());
    dictionary.File().SetPath(target.c_str());
    dictionary.File().codePage = 65001;
    SilentCompileUi ui;  // no bar: nothing drawn, nothing pumped
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kExistingFile, ui, env);
    LARGE_INTEGER start{}, done{};
    QueryPerformanceCounter(&start);
    const int32_t result = converter.Convert(kBookLoadFlags, source, target);
    QueryPerformanceCounter(&done);
    return result == 1 ? Seconds(start, done) : -2;
}

// The records of a book dictionary (the entries of its index 3), -1 when it
// cannot be opened: what a load stored, compared with the peer's compile.
int64_t BookRecords(const std::wstring& path) {
    CDMS engine{SystemStorageIO()};
    RDFDictionary dictionary(kDictionaryStoreDatabase | kDictionaryBook, engine);
    const std::u16string file(path.begin(), path.end());
    dictionary.File().SetPath(file.c_str());
    if (dictionary.Open(2) != 0) return -1;
    int64_t records = 0;
    {
        CCursor cursor(&dictionary, 3);
        for (DmsStatus s = cursor.MoveFirst(); s == DmsStatus::Success; s = cursor.Next()) ++records;
    }
    dictionary.Close();
    return records;
}

}  // namespace

// Arguments: [--data DIR] [--loads N]: DIR holds edict.qdx, kanjidic.qdx and
// book.txt in place of the tree's data (the bench pass gives slices of the
// dictionaries and loads once).
int main(int argc, char** argv) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    RegisterImportParsers();
    std::string data = OSTREL_BENCH_DATA;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) data = argv[++i];
        else if (arg == "--loads" && i + 1 < argc) g_loads = std::max(1, std::atoi(argv[++i]));
    }
    const std::wstring book = Widen(data + "/book.txt");
    TestFolders folders = PrepareTest(L"BookLoad");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::wstring listed;
    int slot = 1;
    for (const char* name : {"edict", "kanjidic"}) {
        const std::wstring target = folders.DictionariesFolder() + L"\\" + Widen(name) + L".qdx";
        if (!CopyFileW(Widen(data + "/" + name + ".qdx").c_str(), target.c_str(), FALSE)) {
            std::printf("missing %s.qdx: build the target book_load_data\n", name);
            return 1;
        }
        listed += L"File" + std::to_wstring(slot++) + L"=" + target + L",0\r\n";
    }
    // The version line makes the window's place and size count.
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\n"
                           L"cy=560\r\ncy2=300\r\n[Dictionaries]\r\n" + listed);

    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor(120000);
    if (!frame) {
        std::printf("the program did not come up\n");
        return 1;
    }
    if (!FrameHasSize(frame, 700, 560)) return 1;
    const std::wstring empty = folders.root + L"\\empty.qdx";
    std::vector<double> loads;
    std::vector<std::wstring> stored(static_cast<size_t>(g_loads));
    for (int i = 0; i < g_loads; ++i) {
        const double seconds = LoadThroughTheProgram(frame, L"Book" + std::to_wstring(i + 1), book,
                                                     i == 0 ? &empty : nullptr, stored[static_cast<size_t>(i)]);
        if (seconds < 0) {
            std::printf("load %d stopped at its step %d\n", i + 1, static_cast<int>(-seconds));
            return 1;
        }
        loads.push_back(seconds);
    }
    run.Exit(frame);
    std::vector<double> alone;
    for (int i = 0; i < g_loads; ++i) {
        const double seconds = CompileAlone(empty, folders.root + L"\\peer.qdx", book);
        if (seconds < 0) {
            std::printf("the compile alone failed\n");
            return 1;
        }
        alone.push_back(seconds);
    }
    // Each load stored the whole book, as the compile alone stores it, before
    // any time is given.
    const int64_t records = BookRecords(folders.root + L"\\peer.qdx");
    for (const std::wstring& path : stored) {
        const int64_t loaded = BookRecords(path);
        if (records <= 0 || loaded != records) {
            std::printf("%ls holds %lld records of the book, the compile alone %lld\n", path.c_str(),
                        static_cast<long long>(loaded), static_cast<long long>(records));
            return 1;
        }
    }
    const double program = Median(loads), peer = Median(alone);
    std::printf("every load stored the book's %lld records, as the compile alone does\n",
                static_cast<long long>(records));
    std::printf("book load of %ls, %d loads\n", book.c_str(), g_loads);
    std::printf("  in the program, Download to the box: median %.3f s, worst %.3f s (aim %.1f s)\n", program,
                *std::max_element(loads.begin(), loads.end()), kAimSeconds);
    std::printf("  the compile alone (peer): median %.3f s; the program adds %.3f s (%.1f x)\n", peer, program - peer,
                peer > 0 ? program / peer : 0.0);
    return 0;
}
