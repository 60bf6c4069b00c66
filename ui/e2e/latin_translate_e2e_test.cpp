// OstrelPro.exe with the project's Latin word list compiled as a dictionary:
// an inflected Latin word put into the input box and Find on the
// translated-words list give the analyser's rows through the program's own
// bridge, among them the entry of the word's lemma; a damaged copy of it is
// named in one message instead of giving no rows in silence, and a command
// chosen while that message is up runs once it is closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/tests/test_paths.h"
#include "ui/command_ids.h"
#include "ui/e2e/machine_pace.h"
#include "ui/e2e/program_session.h"

namespace {

// The project's word list compiled by the build.
std::string CompiledWords() {
    const std::string binary = BinaryPath();
    std::ifstream in(std::filesystem::path(std::wstring(binary.begin(), binary.end()) + L"\\latin\\data\\compiled_words.qdx"),
                     std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes `bytes` as the one dictionary of the settings.
void PrepareDictionary(const TestFolders& folders, const std::wstring& dictionary, const std::string& bytes) {
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::ofstream(std::filesystem::path(dictionary), std::ios::binary) << bytes;
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" +
                               dictionary + L",0\r\n");
}

// Asks the started program's translated-words list for `word`; its main
// window, or null.
HWND FindInTranslation(ProgramRun& run, const wchar_t* word) {
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    HWND input = frame ? FindChild(frame, L"RichEdit20W", 202) : nullptr;
    if (input == nullptr) return nullptr;
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 0);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    PostMessageW(frame, WM_COMMAND, cmd::kFind, 0);
    return frame;
}

TEST(LatinEndToEnd, AnInflectedWordGivesTheAnalysisRowsOfItsLemma) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"Latin.Translate");
    const std::string words = CompiledWords();
    ASSERT_FALSE(words.empty());
    PrepareDictionary(folders, folders.DictionariesFolder() + L"\\latin-words.qdx", words);
    ProgramRun run;
    HWND frame = FindInTranslation(run, L"puellarum");
    ASSERT_NE(frame, nullptr);

    // The genitive plural of puella: an entry row whose cells name the lemma
    // or its meaning ("girl, maiden" in the word list).
    std::map<std::wstring, std::wstring> state;
    auto lemmaShown = [&] {
        state = run.QueryState(frame);
        if (state[L"kind"] != L"1" || state[L"rows"].empty() || std::stoi(state[L"rows"]) < 1) return false;
        for (int row = 0; row < 8; ++row)
            for (int cell = 0; cell < 4; ++cell) {
                const std::wstring& text = state[L"cell." + std::to_wstring(row) + L"." + std::to_wstring(cell)];
                if (text.find(L"puell") != std::wstring::npos || text.find(L"girl") != std::wstring::npos)
                    return true;
            }
        return false;
    };
    bool shown = false;
    for (int i = 0; i < 300 && !(shown = lemmaShown()); ++i) Sleep(50);  // up to 15 s on a loaded machine
    EXPECT_TRUE(shown) << "kind " << std::string(state[L"kind"].begin(), state[L"kind"].end()) << " rows "
                       << std::string(state[L"rows"].begin(), state[L"rows"].end());
    SaveScreenshot(folders.root + L"\\latin_rows.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// A visible message box of the program whose text holds `part`.
HWND BoxHolding(const std::wstring& part) {
    for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        wchar_t text[1024] = {};
        GetWindowTextW(GetDlgItem(w, 0xFFFF), text, 1024);
        if (IsWindowVisible(w) && std::wstring(text).find(part) != std::wstring::npos) return w;
    }
    return nullptr;
}

TEST(LatinEndToEnd, ADamagedLatinDictionaryIsNamedInOneMessage) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"Latin.Damaged");
    const std::wstring dictionary = folders.DictionariesFolder() + L"\\latin-words.qdx";
    // The page after the first two holds INFLECTS.SEC: 32 bytes garbled at
    // its middle, as the native damage test garbles every page.
    std::string bytes = CompiledWords();
    ASSERT_GT(bytes.size(), 3u * 4096);
    for (size_t i = 0; i < 32; ++i) bytes[2 * 4096 + 2048 + i] = static_cast<char>(i * 37 + 2);
    PrepareDictionary(folders, dictionary, bytes);
    ProgramRun run;
    HWND frame = FindInTranslation(run, L"puellarum");
    ASSERT_NE(frame, nullptr);

    HWND box = nullptr;
    for (int i = 0; i < 300 && !(box = BoxHolding(dictionary)); ++i) Sleep(50);
    ASSERT_NE(box, nullptr) << "no message names the damaged dictionary";
    wchar_t text[1024] = {};
    GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 1024);
    EXPECT_NE(std::wstring(text).find(L"INFLECTS.SEC"), std::wstring::npos) << std::string(text, text + wcslen(text));
    SaveScreenshot(folders.root + L"\\latin_damaged.png");

    // A command chosen while the box is up (here the reading list) waits
    // for the box to close, then runs.
    const std::wstring kindUnderTheBox = run.QueryState(frame)[L"kind"];
    ASSERT_NE(kindUnderTheBox, L"2");
    PostMessageW(frame, WM_COMMAND, cmd::kListReading, 0);
    ASSERT_TRUE(run.WaitForPostedMessages(frame)) << "the command never reached the program";
    EXPECT_EQ(run.QueryState(frame)[L"kind"], kindUnderTheBox) << "the list changed under the message box";
    EXPECT_TRUE(IsWindow(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && IsWindow(box); ++i) Sleep(50);
    bool switched = false;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && !(switched = run.QueryState(frame)[L"kind"] == L"2"); ++i) Sleep(50);
    EXPECT_TRUE(switched) << "the command waiting for the box never ran";
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 0);
    ASSERT_TRUE(run.WaitForPostedMessages(frame));  // what the switch posted has run

    // Once: Find again ends without a second box (a box would hold the Find
    // until it closed).
    const std::wstring findEnded = run.QueryState(frame)[L"stage.end"];
    PostMessageW(frame, WM_COMMAND, cmd::kFind, 0);
    bool ended = false;
    for (int i = 0, n = machine_pace::ScaledTries(300); i < n && !BoxHolding(dictionary); ++i, Sleep(50))
        if ((ended = run.QueryState(frame)[L"stage.end"] != findEnded)) break;
    EXPECT_EQ(BoxHolding(dictionary), nullptr) << "the refusal was shown twice";
    EXPECT_TRUE(ended) << "the second Find never ended";
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
