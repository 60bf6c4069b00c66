// Keystroke-to-painted-page time of OstrelPro.exe under Wine, over EDICT,
// ENAMDICT and KANJIDIC open at once. Each EDICT reading is typed into the
// input box one kana at a time, first with the reading list shown, then with
// the translated-words list, each twice: as WM_CHAR sent to the box, and as
// real keys (SendInput), which come through the program's queue, message
// loop and key routing as a keyboard's do. The input box answers a change by
// posting Find to the frame, which searches, fills the page and repaints the
// list at once (UpdateWindow), then loads the current row's article. A
// keystroke is timed from its key until a marker posted behind that Find
// (EM_SETSEL to the start of the input) has been handled: the program's
// queue is first in, first out, so by then the search and the paints are
// done. After each keystroke the test hook hands over the counter readings
// the program took at each stage of that Find (ui/find_stages.h), and the
// bench prints, per stage, the time from the key to it and the stage's own
// time: median and 90th percentile. The list's last pixel is the end of its
// paint; the aim is 16 ms (a frame) at the median, 33 ms at the 90th.
// Beside it the floor: the list window's own paint of the same page
// (invalidated and painted at once, nothing searched); and the list
// refreshes and articles loaded per Find, which the test hook counts.
// Then the program a Latin reader has (EDICT, KANJIDIC and the Latin
// dictionary converted from collatinus, as ./run.sh opens them): phrases of
// collatinus's Latin sample text typed one letter at a time, spaces too, into
// the Translation tab, where each key translates the word at the caret (the
// Latin analyser through the dictionary's stem index, the reverse indexes),
// both ways, with the same stages.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"
#include "ui/find_stages.h"

namespace {

constexpr int kInputBoxId = 202;
size_t g_maxReadings = 120;  // --readings N
size_t g_maxLatinKeys = 600;  // --latin-keys N
constexpr size_t kLatinPhraseWords = 4;
constexpr double kFrameMs = 16.0;
constexpr double kTwoFramesMs = 33.0;
constexpr int kFloorPaints = 200;
constexpr int kStages = static_cast<int>(FindStage::Count);

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::vector<std::wstring> ReadReadings(const std::string& path) {
    std::vector<std::wstring> readings;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line) && readings.size() < g_maxReadings;) {
        wchar_t wide[64] = {};
        int units = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide, 63);
        std::wstring reading(wide, units > 0 ? units : 0);
        bool hiragana = reading.size() >= 2 && reading.size() <= 8 &&
                        std::all_of(reading.begin(), reading.end(), [](wchar_t c) { return c >= 0x3041 && c <= 0x3093; });
        if (hiragana) readings.push_back(reading);
    }
    return readings;
}

// Phrases of up to four words of the Latin text, lower-case letters only,
// about 600 keys in all: the words a reader types, with the spaces between.
std::vector<std::wstring> ReadLatinPhrases(const std::string& path) {
    std::vector<std::wstring> phrases;
    std::ifstream in(path, std::ios::binary);
    std::wstring phrase;
    size_t words = 0, keys = 0;
    for (std::string word; in >> word && keys < g_maxLatinKeys;) {
        // Stops and quotes around a word go; names (capitalised) and
        // abbreviations are left out.
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.back()))) word.pop_back();
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.front()))) word.erase(0, 1);
        if (word.size() < 2 || !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            continue;
        const std::wstring letters = Widen(word);
        phrase += (phrase.empty() ? L"" : L" ") + letters;
        if (++words == kLatinPhraseWords) {
            keys += phrase.size();
            phrases.push_back(phrase);
            phrase.clear();
            words = 0;
        }
    }
    return phrases;
}

HWND VisibleList(HWND frame) {
    for (HWND list = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); list;
         list = FindWindowExW(frame, list, L"Ostrel List View", nullptr))
        if (IsWindowVisible(list)) return list;
    return nullptr;
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now;
}

double Milliseconds(long long from, long long to) {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return 1000.0 * static_cast<double>(to - from) / frequency;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())))];
}

double Number(const std::wstring& text) { return text.empty() ? 0 : std::stod(text); }

// Per stage, over the keystrokes whose Find reached it: the time from the
// key, and the stage's own time (from the stage reached just before it).
struct StageFigures {
    std::vector<double> fromKey[kStages];
    std::vector<double> own[kStages];

    void Add(long long key, const std::map<std::wstring, std::wstring>& state) {
        // The stages this keystroke's Find reached, in the order it reached
        // them (the translator paints its list before the Find's search ends).
        std::vector<std::pair<long long, int>> reached;
        for (int stage = 0; stage < kStages; ++stage) {
            auto found = state.find(std::wstring(L"stage.") + reinterpret_cast<const wchar_t*>(kFindStageNames[stage]));
            long long mark = found == state.end() ? 0 : std::stoll(found->second);
            if (mark >= key) reached.emplace_back(mark, stage);
        }
        std::sort(reached.begin(), reached.end());
        long long previous = key;
        for (const auto& [mark, stage] : reached) {
            fromKey[stage].push_back(Milliseconds(key, mark));
            own[stage].push_back(Milliseconds(previous, mark));
            previous = mark;
        }
    }

    void Print(size_t keystrokes) const {
        std::printf("  %-10s %9s %22s %22s\n", "stage", "reached", "from the key: med  90%", "own time: med  90%");
        for (int stage = 0; stage < kStages; ++stage) {
            if (fromKey[stage].empty()) continue;
            std::printf("  %-10ls %4zu/%-4zu %12.2f %8.2f ms %12.2f %8.2f ms\n",
                        reinterpret_cast<const wchar_t*>(kFindStageNames[stage]), fromKey[stage].size(), keystrokes,
                        Percentile(fromKey[stage], 0.5), Percentile(fromKey[stage], 0.9), Percentile(own[stage], 0.5),
                        Percentile(own[stage], 0.9));
        }
    }

    // The list's last pixel: the end of its paint, where the Find painted it.
    const std::vector<double>& ListPainted() const { return fromKey[static_cast<int>(FindStage::ListPainted)]; }
};

// One list typed into one way, over every round of one program.
struct PassFigures {
    const char* list = "";
    uint32_t command = 0;  // the tab clicked
    bool realKeys = false;
    std::vector<double> keystrokes;  // key to the Find's end
    size_t wrong = 0;                // texts whose list did not show what they find
    StageFigures stages;
    double finds = 0, refreshes = 0, articles = 0;
    std::wstring lastRow;

    PassFigures(const char* listName, uint32_t tab, bool real) : list(listName), command(tab), realKeys(real) {}

    void Print() const {
        std::printf("%s, %s: %zu keystrokes, the last on row %ls\n", list, realKeys ? "real keys" : "WM_CHAR",
                    keystrokes.size(), lastRow.c_str());
        std::printf("  key to the list's last pixel: median %.2f ms, 90%% %.2f ms, worst %.2f ms (aim %.0f / %.0f ms)\n",
                    Percentile(stages.ListPainted(), 0.5), Percentile(stages.ListPainted(), 0.9),
                    Percentile(stages.ListPainted(), 1.0), kFrameMs, kTwoFramesMs);
        std::printf("  key to the Find's end: median %.2f ms, 90%% %.2f ms, worst %.2f ms\n",
                    Percentile(keystrokes, 0.5), Percentile(keystrokes, 0.9), Percentile(keystrokes, 1.0));
        stages.Print(keystrokes.size());
        std::printf("  per Find: %.2f list refreshes, %.2f articles loaded\n", refreshes / finds, articles / finds);
    }
};

// The passes of one start of the program: its dictionaries and what is typed.
struct Session {
    std::wstring settings;
    const std::vector<std::wstring>* texts = nullptr;
    std::vector<PassFigures> passes;
};

struct ProgramFigures {
    std::wstring program;  // empty: the tree's own OstrelPro.exe
    Session japanese, latin;
    std::vector<double> floor;  // the list's own paint, in the Japanese session
};

// The text typed whole stands in the input box, and the list shows what it
// finds: an EDICT reading as the reading list's current row, and some rows
// in a list of translated words.
bool ShowsWhatItFinds(HWND input, const PassFigures& pass, const std::wstring& text,
                      std::map<std::wstring, std::wstring>& state) {
    wchar_t typed[256] = {};
    SendMessageW(input, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(typed));  // the box of another process
    if (text != typed) return false;
    if (pass.command != cmd::kListReading) return Number(state[L"rows"]) > 0;
    const int row = static_cast<int>(Number(state[L"current"]) - Number(state[L"top"]));
    return state[L"cell." + std::to_wstring(row) + L".0"] == text;
}

// Starts the program over the session's dictionaries and types every text
// into each of its lists both ways; false when it did not come up.
bool RunSession(const std::wstring& program, Session& session, std::vector<double>* floor) {
    ProgramRun run(L"", {}, program);
    HWND frame = run.WaitForFrameWithoutClipboardMonitor(120000);
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    if (!input || !VisibleList(frame)) {
        std::printf("the program did not come up with an input box and a list\n");
        return false;
    }
    if (!FrameHasSize(frame, 700, 560)) return false;
    auto caretAtStart = [&] { return LOWORD(SendMessageW(input, EM_GETSEL, 0, 0)) == 0; };
    auto textLength = [&] { return SendMessageW(input, WM_GETTEXTLENGTH, 0, 0); };
    // One key: sent as WM_CHAR, or pressed as a keyboard presses it; back
    // when its Find is done. The key's counter reading.
    auto typeKey = [&](wchar_t c, bool realKey) {
        const LRESULT before = textLength();
        LARGE_INTEGER start = Now();
        if (realKey) {
            std::vector<INPUT> keys = key_typing::detail::KeysOf(c);
            SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
            // The key's Find is posted when the box has the character: the
            // marker goes behind it.
            while (textLength() == before) Sleep(0);
        } else {
            SendMessageW(input, WM_CHAR, c, 1);
        }
        PostMessageW(input, EM_SETSEL, 0, 0);
        while (!caretAtStart()) Sleep(0);
        return start.QuadPart;
    };
    for (PassFigures& pass : session.passes) {
        SendMessageW(frame, WM_COMMAND, pass.command, 1);
        Sleep(200);
        if (pass.realKeys && !key_typing::FocusWindow(input)) {
            std::printf("%s: the input box did not take the keyboard focus\n", pass.list);
            return false;
        }
        std::map<std::wstring, std::wstring> before = run.QueryState(frame);
        size_t keys = 0;
        for (const std::wstring& reading : *session.texts) {
            SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            Sleep(30);  // the search for the empty input
            std::map<std::wstring, std::wstring> state;
            for (wchar_t c : reading) {
                long long start = typeKey(c, pass.realKeys);
                pass.keystrokes.push_back(Milliseconds(start, Now().QuadPart));
                state = run.QueryState(frame);
                pass.stages.Add(start, state);
                ++keys;
                LRESULT length = textLength();
                SendMessageW(input, EM_SETSEL, length, length);
            }
            if (!ShowsWhatItFinds(input, pass, reading, state)) ++pass.wrong;
        }
        std::map<std::wstring, std::wstring> after = run.QueryState(frame);
        // Each reading starts from an emptied input box, which is searched too.
        pass.finds += static_cast<double>(keys + session.texts->size());
        pass.refreshes += Number(after[L"refreshes"]) - Number(before[L"refreshes"]);
        pass.articles += Number(after[L"articles"]) - Number(before[L"articles"]);
        pass.lastRow = after[L"current"] + L" of " + after[L"rows"];
    }
    // The floor: the list window painting its page, nothing searched.
    HWND list = VisibleList(frame);
    for (int i = 0; i < kFloorPaints && list && floor; ++i) {
        LARGE_INTEGER start = Now();
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(list, WM_NULL, 0, 0);
        floor->push_back(Milliseconds(start.QuadPart, Now().QuadPart));
    }
    return run.Exit(frame) == 0;
}

// A program named by its Linux path, as Wine names it.
std::wstring WindowsPath(const char* path) {
    std::wstring wide = Widen(path);
    if (wide.empty() || wide[0] != L'/') return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

}  // namespace

// Arguments: [--rounds N] [--data DIR] [--readings N] [--latin-keys N]
// [PROGRAM ...]: other builds of OstrelPro.exe timed in the same run, round
// by round beside the tree's own; DIR holds the dictionaries (edict, enamdict,
// kanjidic and latin .qdx) and readings.txt in place of the tree's data (the
// bench pass gives slices of them, and fewer readings and Latin keys).
int main(int argc, char** argv) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    int rounds = 1;
    std::string data = OSTREL_BENCH_DATA;
    std::vector<ProgramFigures> programs(1);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--data" && i + 1 < argc) data = argv[++i];
        else if (arg == "--readings" && i + 1 < argc) g_maxReadings = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--latin-keys" && i + 1 < argc) g_maxLatinKeys = std::max(1, std::atoi(argv[++i]));
        else programs.emplace_back().program = WindowsPath(argv[i]);
    }
    const std::vector<std::wstring> readings = ReadReadings(data + "/readings.txt");
    const std::vector<std::wstring> phrases = ReadLatinPhrases(OSTREL_BENCH_LATIN_TEXT);
    if (readings.empty() || phrases.empty()) {
        std::printf("no readings in %s/readings.txt or no Latin words in %s\n", data.c_str(), OSTREL_BENCH_LATIN_TEXT);
        return 1;
    }
    TestFolders folders = PrepareTest(L"KeystrokePaint");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    // Each session's settings list its dictionaries, copied in once.
    auto listed = [&](std::initializer_list<const char*> names, std::wstring& settings) {
        // The version line makes the window's place and size count (a file
        // without one is a first run's, which takes the default size).
        settings = L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\n"
                   L"cy=560\r\ncy2=300\r\n[Dictionaries]\r\n";
        int slot = 1;
        for (const char* name : names) {
            std::wstring target = folders.DictionariesFolder() + L"\\" + Widen(name) + L".qdx";
            if (!CopyFileW(Widen(data + "/" + name + ".qdx").c_str(), target.c_str(), FALSE)) {
                std::printf("missing %s.qdx\n", name);
                return false;
            }
            settings += L"File" + std::to_wstring(slot++) + L"=" + target + L",0\r\n";
        }
        return true;
    };
    std::wstring japaneseSettings, latinSettings;
    if (!listed({"edict", "enamdict", "kanjidic"}, japaneseSettings) || !listed({"edict", "kanjidic", "latin"}, latinSettings))
        return 1;
    for (ProgramFigures& figures : programs) {
        figures.japanese.settings = japaneseSettings;
        figures.japanese.texts = &readings;
        figures.latin.settings = latinSettings;
        figures.latin.texts = &phrases;
        // The reading list and the translated-words list typed in kana, the
        // Translation tab in Latin: as WM_CHAR, then as real keys.
        for (bool realKeys : {false, true}) {
            figures.japanese.passes.emplace_back("reading list", cmd::kListReading, realKeys);
            figures.japanese.passes.emplace_back("translated-words list", cmd::kListTranslation, realKeys);
            figures.latin.passes.emplace_back("Translation tab, Latin phrases", cmd::kListTranslation, realKeys);
        }
    }
    for (int round = 0; round < rounds; ++round) {
        for (ProgramFigures& figures : programs) {
            for (Session* session : {&figures.japanese, &figures.latin}) {
                WriteSettings(folders, session->settings);  // each run starts from the same window and lists
                if (!RunSession(figures.program, *session, session == &figures.japanese ? &figures.floor : nullptr))
                    return 1;
            }
        }
    }
    // Every text typed showed what it finds, before any time is given.
    bool shown = true;
    for (const ProgramFigures& figures : programs)
        for (const Session* session : {&figures.japanese, &figures.latin})
            for (const PassFigures& pass : session->passes)
                if (pass.wrong > 0) {
                    std::printf("%s, %s: %zu of %zu texts typed did not show what they find\n", pass.list,
                                pass.realKeys ? "real keys" : "WM_CHAR", pass.wrong, session->texts->size() * rounds);
                    shown = false;
                }
    if (!shown) return 1;
    std::printf("every text typed showed what it finds: each reading the reading list's current row, rows in every list"
                " of translated words\n");
    for (const ProgramFigures& figures : programs) {
        std::printf("== %ls, %d round(s)\n", figures.program.empty() ? L"this tree's OstrelPro.exe" : figures.program.c_str(),
                    rounds);
        for (const Session* session : {&figures.japanese, &figures.latin})
            for (const PassFigures& pass : session->passes) pass.Print();
        std::printf("floor, the list's own paint: median %.2f ms, 90%% %.2f ms (aim %.0f ms)\n",
                    Percentile(figures.floor, 0.5), Percentile(figures.floor, 0.9), kFrameMs);
    }
    return 0;
}
