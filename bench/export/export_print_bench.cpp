// The program's print path under Wine, timed where the user waits: a driver
// starts OstrelPro.exe over the first 20,000 EDICT entries (compiled as qdxc
// compiles them), and through the "PRINT" dialog outputs 3 selected
// articles and then all 20,000 to the clipboard and to a file, and copies
// the 3 with Copy text (40647). Each output is timed from OK (for 20,000,
// from Yes on the question that many ask) until the dialog is gone and the
// main window answers WM_NULL; a file's time adds the wait from OK on "The
// document is created" until the window answers. Beside it, in the same
// run, qdxexport.exe exports the same records in the same order with the
// same options, started as a process; its start-up alone (no record) is
// given too, so the work compares. Before any time is given every output
// is checked: the reading list holds all 20,000 rows, the same output in
// every round, the clipboard's rich text the program's file of the same
// rows, the file of 20,000 qdxexport's. Medians of 5: wall time, and the
// program's CPU time (Wine's account of a finished child process's CPU is
// not to be trusted, so qdxexport's is not given). The clipboard cases are
// run again with the clipboard monitor on, which sees the program's own
// copy and must not search it.
// With --managed, Wine leaves the windows to a window manager, as it does
// by default: on a display without one (the bench's Xvfb), every dialog and
// message box that closes then waits two seconds for it.
// Windows tree only:
//   cmake --build build/win --target export_print_bench export_print_data
//   tools/ci/with-display.sh cmake/wine-run.sh build/win/bench/export/export_print_bench.exe [--managed]
//     [--runs N] [--data DIR]   (DIR holds edict-20000.qdx; the bench pass runs it once)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

int g_runs = 5;  // --runs N
constexpr int kListRows = 20000;  // rows of the reading list over the first 20,000 entries (checked)
constexpr int kAll = 1291, kSelected = 1292, kToFile = 1090, kToClipboard = 1093, kPath = 1186, kOpenAfter = 1092;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

double NowMs() {
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of `process` so far, in ms.
double CpuMs(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) { return static_cast<double>((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 300000, &ignored) != 0;
}

// A shown dialog titled `title`, or null at once.
HWND Shown(const wchar_t* title) {
    HWND box = FindWindowW(L"#32770", title);
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

struct Timing {
    double wallMs = 0, cpuMs = 0;   // CPU of the program only
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Medians of the runs of one case.
struct Figures {
    std::vector<double> wall, cpu;
    void Add(Timing t) {
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
    }
    void Print(const char* name) const {
        std::printf("%-44s wall %8.1f ms", name, Median(wall));
        if (name[0] != 'q') std::printf("   CPU %6.0f ms", Median(cpu));
        std::printf("\n");
    }
};

class Driver {
public:
    Driver(ProgramRun& run, HWND frame, HANDLE process, std::wstring folder)
        : run_(run), frame_(frame), process_(process), folder_(std::move(folder)) {}

    // The dialog over the selected rows or the whole list, to `destination`
    // (0: Cancel instead of OK, the floor of any output from the dialog).
    Timing Output(bool all, int destination) {
        PostMessageW(frame_, WM_COMMAND, cmd::kPrint, 0);
        HWND dialog = WaitForShownDialog(L"Print articles", 2000);
        if (dialog == nullptr) return {};
        SendMessageW(GetDlgItem(dialog, all ? kAll : kSelected), BM_CLICK, 0, 0);
        if (destination != 0) SendMessageW(GetDlgItem(dialog, destination), BM_CLICK, 0, 0);
        if (destination == kToFile) {
            const std::wstring path = folder_ + L"\\program.rtf";
            DeleteFileW(path.c_str());
            SetDlgItemTextW(dialog, kPath, path.c_str());
            if (IsDlgButtonChecked(dialog, kOpenAfter) == BST_CHECKED)
                SendMessageW(GetDlgItem(dialog, kOpenAfter), BM_CLICK, 0, 0);
        }
        double cpu = CpuMs(process_), start = NowMs();
        PostMessageW(dialog, WM_COMMAND, destination != 0 ? IDOK : IDCANCEL, 0);
        while (IsWindow(dialog)) {
            if (HWND question = Shown(L"Too many articles")) {
                cpu = CpuMs(process_);
                start = NowMs();
                PostMessageW(question, WM_COMMAND, IDYES, 0);
                while (IsWindow(question)) Sleep(0);
            } else if (HWND created = Shown(L"The document is created")) {
                PostMessageW(created, WM_COMMAND, IDOK, 0);
                while (IsWindow(created)) Sleep(0);
            }
            Sleep(0);
        }
        Answers(frame_);
        return {NowMs() - start, CpuMs(process_) - cpu};
    }

    // Copy text (40647) of the selected rows.
    Timing CopyText() {
        const double cpu = CpuMs(process_), start = NowMs();
        SendMessageW(frame_, WM_COMMAND, 40647, 0);
        Answers(frame_);
        return {NowMs() - start, CpuMs(process_) - cpu};
    }

    // Selects `count` rows from the one ねこ makes current, with Shift+Down.
    bool SelectRows(int count) {
        HWND input = FindChild(frame_, L"RichEdit20W", 202);
        if (input == nullptr) return false;
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        for (char16_t c : std::u16string(u"ねこ")) PostMessageW(input, WM_CHAR, c, 1);
        for (int i = 0; i < 200 && run_.QueryState(frame_)[L"selected"] != L"1"; ++i) Sleep(25);
        HWND list = nullptr;
        for (HWND w = FindWindowExW(frame_, nullptr, L"Ostrel List View", nullptr); w;
             w = FindWindowExW(frame_, w, L"Ostrel List View", nullptr))
            if (IsWindowVisible(w)) list = w;
        if (list == nullptr || !key_typing::FocusWindow(list)) return false;
        const WORD shift = static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
        const WORD down = static_cast<WORD>(MapVirtualKeyW(VK_DOWN, MAPVK_VK_TO_VSC));
        for (int i = 1; i < count; ++i) {
            INPUT keys[4] = {};
            for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
            keys[0].ki = {VK_SHIFT, shift, 0, 0, 0};
            keys[1].ki = {VK_DOWN, down, 0, 0, 0};
            keys[2].ki = {VK_DOWN, down, KEYEVENTF_KEYUP, 0, 0};
            keys[3].ki = {VK_SHIFT, shift, KEYEVENTF_KEYUP, 0, 0};
            SendInput(4, keys, sizeof(INPUT));
            for (int k = 0; k < 200 && run_.QueryState(frame_)[L"selected"] != std::to_wstring(i + 1); ++k) Sleep(25);
        }
        return run_.QueryState(frame_)[L"selected"] == std::to_wstring(count);
    }

private:
    ProgramRun& run_;
    HWND frame_;
    HANDLE process_;
    std::wstring folder_;
};

// The clipboard's data in `format` up to its first NUL ("Rich Text Format"
// as bytes, CF_UNICODETEXT as UTF-16 units in a string of bytes); empty when
// the clipboard holds none or cannot be opened.
std::string ClipboardBytes(UINT format, size_t unit) {
    for (int i = 0; i < 200 && !OpenClipboard(nullptr); ++i) Sleep(10);
    std::string bytes;
    if (HANDLE data = GetClipboardData(format)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            const size_t size = GlobalSize(data);
            for (size_t at = 0; at + unit <= size; at += unit) {
                if (std::all_of(p + at, p + at + unit, [](char c) { return c == 0; })) break;
                bytes.append(p + at, unit);
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

std::string ClipboardRtf() { return ClipboardBytes(RegisterClipboardFormatW(L"Rich Text Format"), 1); }

std::wstring ClipboardText() {
    const std::string bytes = ClipboardBytes(CF_UNICODETEXT, sizeof(wchar_t));
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// What each output left, by case: every round's must be the same, and the
// clipboard's what the program writes to a file for the same rows (its
// lines ended as a file's).
struct Outputs {
    std::map<std::string, std::vector<std::string>> kept;
    void Keep(const std::string& name, std::string bytes) { kept[name].push_back(std::move(bytes)); }
    // The one output every round of `name` gave; empty when they differ or none was.
    std::string Same(const std::string& name) const {
        const auto it = kept.find(name);
        if (it == kept.end() || it->second.empty()) return {};
        for (const std::string& bytes : it->second)
            if (bytes != it->second.front()) return {};
        return it->second.front();
    }
};

// qdxexport.exe with `arguments`, timed as a process from start to exit.
Timing Qdxexport(const std::wstring& arguments) {
    std::wstring command = L"\"" + Widen(BinaryPath()) + L"\\tools\\qdxexport.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // its report line is not wanted here
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    WaitForSingleObject(process.hProcess, INFINITE);
    const Timing timing{NowMs() - start, 0};
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    std::wstring data = Widen(OSTREL_BENCH_DATA);
    bool managed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--managed") managed = true;
        else if (arg == "--runs" && i + 1 < argc) g_runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--data" && i + 1 < argc) data = Widen(argv[++i]);
    }
    TestFolders folders = PrepareTest(L"ExportPrint");
    if (managed) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Y"), 4);
        RegCloseKey(key);
    }
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    const std::wstring dictionary = folders.DictionariesFolder() + L"\\edict-20000.qdx";
    if (!CopyFileW((data + L"\\edict-20000.qdx").c_str(), dictionary.c_str(), FALSE)) {
        std::printf("missing %ls\\edict-20000.qdx (build export_print_data)\n", data.c_str());
        return 1;
    }
    // No clipboard monitor: it would take the program's own copies for the user's.
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\n"
                           L"cy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" + dictionary + L",0\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrame(120000);
    if (frame == nullptr) {
        std::printf("the program did not come up\n");
        return 1;
    }
    if (!FrameHasSize(frame, 700, 560)) return 1;
    DWORD id = 0;
    GetWindowThreadProcessId(frame, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    Driver driver(run, frame, process, folders.root);
    // The reading list holds every row of the 20,000 entries: a list that
    // shows fewer (a search's few rows) would time far less work.
    const auto listHoldsAll = [&] {
        const std::wstring rows = run.QueryState(frame)[L"rows"];
        if (rows == std::to_wstring(kListRows)) return true;
        std::printf("the reading list has %ls rows, not %d\n", rows.c_str(), kListRows);
        return false;
    };
    if (!listHoldsAll() || !driver.SelectRows(3)) {
        std::printf("3 rows could not be selected\n");
        return 1;
    }

    std::map<std::string, Figures> figures;
    Outputs outputs;
    const std::wstring out = L"\"" + folders.root + L"\\qdxexport.rtf\"";
    const std::wstring source = L"\"" + dictionary + L"\" ";
    const auto programFile = [&] {
        const std::vector<unsigned char> bytes = ReadBytes(folders.root + L"\\program.rtf");
        return std::string(bytes.begin(), bytes.end());
    };
    const auto copyText = [&](const std::string& name) {
        figures[name].Add(driver.CopyText());
        const std::wstring text = ClipboardText();
        outputs.Keep(name, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    };
    const auto toClipboard = [&](const std::string& name, bool all) {
        figures[name].Add(driver.Output(all, kToClipboard));
        outputs.Keep(name, ClipboardRtf());
    };
    for (int i = 0; i < g_runs; ++i) {
        copyText("3 selected, Copy text");
        figures["3 selected, dialog cancelled (the floor)"].Add(driver.Output(false, 0));
        toClipboard("3 selected, dialog to the clipboard", false);
        figures["3 selected, dialog to a file"].Add(driver.Output(false, kToFile));
        outputs.Keep("3 selected, dialog to a file", programFile());
        toClipboard("20,000, dialog to the clipboard", true);
        figures["20,000, dialog to a file"].Add(driver.Output(true, kToFile));
        outputs.Keep("20,000, dialog to a file", programFile());
        const std::wstring options = L"--compact --index 101 ";
        figures["qdxexport start-up alone (no record)"].Add(Qdxexport(options + L"--first 0 " + source + out));
        figures["qdxexport 3 records to a file"].Add(Qdxexport(options + L"--first 3 " + source + out));
        figures["qdxexport 20,000 records to a file"].Add(Qdxexport(options + source + out));
    }
    // The clipboard monitor on: the program's own copy is seen, never searched.
    // Turned on, it posts a switch to the translated words, which a loaded
    // machine may handle after a reading list asked for at once (a list of
    // 3 rows was then timed): the reading list is taken again once the
    // switch has come.
    const std::wstring readingKind = run.QueryState(frame)[L"kind"];
    SendMessageW(frame, WM_COMMAND, cmd::kClipboardMonitor, 0);
    for (int i = 0; i < 400 && run.QueryState(frame)[L"kind"] == readingKind; ++i) Sleep(25);
    SendMessageW(frame, WM_COMMAND, cmd::kListReading, 0);
    if (!listHoldsAll() || !driver.SelectRows(3)) {
        std::printf("3 rows could not be selected again\n");
        return 1;
    }
    for (int i = 0; i < g_runs; ++i) {
        copyText("3 selected, Copy text, monitor on");
        toClipboard("3 selected, dialog to the clipboard, monitor on", false);
        toClipboard("20,000, dialog to the clipboard, monitor on", true);
    }
    if (!listHoldsAll()) return 1;
    // Each output checked before any time is given: the same in every round,
    // the clipboard's rich text the program's file of the same rows, and the
    // program's file of 20,000 qdxexport's, byte for byte.
    const std::vector<unsigned char> peerFile = ReadBytes(folders.root + L"\\qdxexport.rtf");
    const std::string selectedFile = outputs.Same("3 selected, dialog to a file");
    const std::string allFile = outputs.Same("20,000, dialog to a file");
    // The clipboard's document ends its lines in LF, a file's in CR LF.
    const auto asFile = [&](const std::string& name) {
        std::string rtf = outputs.Same(name);
        for (size_t at = 0; (at = rtf.find('\n', at)) != std::string::npos; at += 2) rtf.insert(at, 1, '\r');
        return rtf;
    };
    const std::string copied = outputs.Same("3 selected, Copy text");
    const std::wstring copiedText(reinterpret_cast<const wchar_t*>(copied.data()), copied.size() / sizeof(wchar_t));
    const std::pair<const char*, bool> checks[] = {
        {"the 3 articles of Copy text, the same each time, starting at ねこ", copiedText.rfind(L"ねこ", 0) == 0},
        {"Copy text the same with the monitor on", outputs.Same("3 selected, Copy text, monitor on") == copied},
        {"the file of the 3 selected, the same each time", selectedFile.rfind("{\\rtf1", 0) == 0},
        {"the file of 20,000, the same each time, longer than the 3's", allFile.size() > 100 * selectedFile.size()},
        {"the program's file of 20,000 qdxexport's bytes", allFile == std::string(peerFile.begin(), peerFile.end())},
        {"the clipboard's 3 the file's", asFile("3 selected, dialog to the clipboard") == selectedFile},
        {"the clipboard's 20,000 the file's", asFile("20,000, dialog to the clipboard") == allFile},
        {"the clipboard's 3 the file's, monitor on",
         asFile("3 selected, dialog to the clipboard, monitor on") == selectedFile},
        {"the clipboard's 20,000 the file's, monitor on",
         asFile("20,000, dialog to the clipboard, monitor on") == allFile},
    };
    bool checked = true;
    for (const auto& [what, held] : checks) {
        if (!held) std::printf("output check failed: %s\n", what);
        checked &= held;
    }
    if (!checked) {
        for (const auto& [name, kept] : outputs.kept)
            std::printf("  %-48s %zu bytes the first time\n", name.c_str(), kept.front().size());
        run.Exit(frame);
        return 1;
    }
    std::printf("every output checked: %d rows listed; the 3 selected in %zu bytes of rich text, the 20,000 in %zu, "
                "on the clipboard as in the file\n", kListRows, selectedFile.size(), allFile.size());
    for (const auto& [name, figure] : figures) figure.Print(name.c_str());
    CloseHandle(process);
    return run.Exit(frame) == 0 ? 0 : 1;
}
