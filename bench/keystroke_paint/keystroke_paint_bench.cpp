// Keystroke-to-painted-page time of OstrelPro.exe under Wine, over EDICT,
// ENAMDICT and KANJIDIC open at once. Each EDICT reading is typed into the
// input box one kana at a time, as WM_CHAR, first with the reading list
// shown, then with the translated-words list. The input box answers a change by
// posting Find to the frame, which searches, fills the page and repaints the
// list at once (UpdateWindow). A keystroke is timed from its WM_CHAR until a
// marker posted behind that Find (EM_SETSEL to the start of the input) has
// been handled: the program's queue is first in, first out, so by then the
// search and the paint are done. Prints the median, the 90th percentile and
// the worst keystroke beside the floor, the list window's own paint of the
// same page (invalidated and painted at once, nothing searched), and the
// one-frame aim of 16 ms; and the list refreshes and articles loaded per
// Find, which the test hook counts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

constexpr int kInputBoxId = 202;
constexpr size_t kMaxReadings = 120;
constexpr double kFrameMs = 16.0;
constexpr int kFloorPaints = 200;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::vector<std::wstring> ReadReadings(const std::string& path) {
    std::vector<std::wstring> readings;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line) && readings.size() < kMaxReadings;) {
        wchar_t wide[64] = {};
        int units = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide, 63);
        std::wstring reading(wide, units > 0 ? units : 0);
        bool hiragana = reading.size() >= 2 && reading.size() <= 8 &&
                        std::all_of(reading.begin(), reading.end(), [](wchar_t c) { return c >= 0x3041 && c <= 0x3093; });
        if (hiragana) readings.push_back(reading);
    }
    return readings;
}

HWND VisibleList(HWND frame) {
    for (HWND list = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); list;
         list = FindWindowExW(frame, list, L"Ostrel List View", nullptr))
        if (IsWindowVisible(list)) return list;
    return nullptr;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())))];
}

}  // namespace

int main() {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    std::vector<std::wstring> readings = ReadReadings(OSTREL_BENCH_DATA "/readings.txt");
    if (readings.empty()) {
        std::printf("no readings in %s\n", OSTREL_BENCH_DATA "/readings.txt");
        return 1;
    }
    TestFolders folders = PrepareTest(L"KeystrokePaint");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::wstring listed;
    int slot = 1;
    for (const char* name : {"edict", "enamdict", "kanjidic"}) {
        std::wstring target = folders.DictionariesFolder() + L"\\" + Widen(name) + L".qdx";
        if (!CopyFileW(Widen(std::string(OSTREL_BENCH_DATA "/") + name + ".qdx").c_str(), target.c_str(), FALSE)) {
            std::printf("missing %s.qdx\n", name);
            return 1;
        }
        listed += L"File" + std::to_wstring(slot++) + L"=" + target + L",0\r\n";
    }
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\n" + listed);

    ProgramRun run;
    HWND frame = run.WaitForFrame(120000);
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    if (!input || !VisibleList(frame)) {
        std::printf("the program did not come up with an input box and a list\n");
        return 1;
    }
    std::map<std::wstring, std::wstring> state = run.QueryState(frame);
    std::printf("dictionaries %ls, list kind %ls, rows %ls\n", state[L"dictionaries"].c_str(), state[L"kind"].c_str(),
                state[L"rows"].c_str());

    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    auto caretAtStart = [&] { return LOWORD(SendMessageW(input, EM_GETSEL, 0, 0)) == 0; };
    // Every reading typed into one list, its figures printed.
    auto typeInto = [&](const char* name, UINT listCommand) {
        SendMessageW(frame, WM_COMMAND, listCommand, 1);  // as a click on its tab
        Sleep(200);
        std::map<std::wstring, std::wstring> before = run.QueryState(frame);
        std::vector<double> keystrokes;
        for (const std::wstring& reading : readings) {
            SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            Sleep(30);  // the search for the empty input
            for (wchar_t c : reading) {
                LARGE_INTEGER start{}, painted{};
                QueryPerformanceCounter(&start);
                SendMessageW(input, WM_CHAR, c, 1);
                PostMessageW(input, EM_SETSEL, 0, 0);
                while (!caretAtStart()) Sleep(0);
                QueryPerformanceCounter(&painted);
                keystrokes.push_back(Milliseconds(start, painted, frequency));
                LRESULT length = SendMessageW(input, WM_GETTEXTLENGTH, 0, 0);
                SendMessageW(input, EM_SETSEL, length, length);
            }
        }
        std::map<std::wstring, std::wstring> after = run.QueryState(frame);
        // Each reading starts from an emptied input box, which is searched too.
        const double finds = static_cast<double>(keystrokes.size() + readings.size());
        auto counted = [&](const wchar_t* counter) {
            return (std::stod(after[counter].empty() ? L"0" : after[counter]) -
                    std::stod(before[counter].empty() ? L"0" : before[counter])) / finds;
        };
        std::printf("%s: %zu keystrokes over %zu readings, the last on row %ls of %ls\n", name, keystrokes.size(),
                    readings.size(), after[L"current"].c_str(), after[L"rows"].c_str());
        std::printf("  keystroke to painted page: median %.2f ms, 90%% %.2f ms, worst %.2f ms\n",
                    Percentile(keystrokes, 0.5), Percentile(keystrokes, 0.9), Percentile(keystrokes, 1.0));
        std::printf("  per Find: %.2f list refreshes, %.2f articles loaded\n", counted(L"refreshes"),
                    counted(L"articles"));
    };
    typeInto("reading list", cmd::kListReading);
    typeInto("translated-words list", cmd::kListTranslation);
    // The floor: the list window painting its page, nothing searched.
    HWND list = VisibleList(frame);
    std::vector<double> paints;
    for (int i = 0; i < kFloorPaints && list; ++i) {
        LARGE_INTEGER start{}, painted{};
        QueryPerformanceCounter(&start);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(list, WM_NULL, 0, 0);
        QueryPerformanceCounter(&painted);
        paints.push_back(Milliseconds(start, painted, frequency));
    }
    std::printf("floor, the list's own paint: median %.2f ms, 90%% %.2f ms (aim %.0f ms)\n", Percentile(paints, 0.5),
                Percentile(paints, 0.9), kFrameMs);
    return run.Exit(frame) == 0 ? 0 : 1;
}
