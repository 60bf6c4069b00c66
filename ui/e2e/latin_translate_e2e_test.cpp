// OstrelPro.exe with the project's Latin word list compiled as a dictionary:
// an inflected Latin word put into the input box and Find on the
// translated-words list give the analyser's rows through the program's own
// bridge, among them the entry of the word's lemma.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/tests/test_paths.h"
#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

TEST(LatinEndToEnd, AnInflectedWordGivesTheAnalysisRowsOfItsLemma) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"Latin.Translate");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    const std::wstring dictionary = folders.DictionariesFolder() + L"\\latin-words.qdx";
    const std::string binary = BinaryPath();
    ASSERT_TRUE(CopyFileW((std::wstring(binary.begin(), binary.end()) + L"\\latin\\data\\compiled_words.qdx").c_str(),
                          dictionary.c_str(), FALSE));
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" +
                               dictionary + L",0\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);

    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 0);
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"puellarum"));
    PostMessageW(frame, WM_COMMAND, cmd::kFind, 0);

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

}  // namespace
