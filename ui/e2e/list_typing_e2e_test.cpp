// OstrelPro.exe with a dictionary compiled from a slice of Debian's EDICT
// listed in its settings: kana typed into the input box fill the reading
// list, the current row is the typed reading, the article view shows that
// entry's English gloss, and the current row is painted in the selection
// colour.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/text/kana_transcription.h"
#include "ui/e2e/edict_slice.h"
#include "ui/e2e/machine_pace.h"
#include "ui/e2e/program_session.h"

namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring WindowText(HWND window) {
    wchar_t text[4096] = {};
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND VisibleList(HWND frame) {
    HWND found = nullptr;
    for (HWND child = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); child && !found;
         child = FindWindowExW(frame, child, L"Ostrel List View", nullptr))
        if (IsWindowVisible(child)) found = child;
    return found;
}

// Text of part `part` of the status bar, read through memory in the program.
std::wstring StatusText(HWND frame, int part) {
    HWND status = FindChild(frame, L"msctls_statusbar32", 200);
    if (!status) return {};
    RemoteMemory memory(status, 256 * sizeof(wchar_t));
    SendMessageW(status, SB_GETTEXTW, part, memory.At(0));
    wchar_t text[256] = {};
    memory.Read(0, text, sizeof(text) - sizeof(wchar_t));
    return text;
}

int HeaderWidth(HWND list, int item) {
    HWND header = FindWindowExW(list, nullptr, L"SysHeader32", nullptr);
    if (!header) return -1;
    RemoteMemory memory(header, sizeof(RECT));
    if (!SendMessageW(header, HDM_GETITEMRECT, item, memory.At(0))) return -1;
    RECT rect{};
    memory.Read(0, &rect, sizeof(rect));
    return static_cast<int>(rect.right - rect.left);
}

class ListTyping : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
    // Folders for the test with the compiled slices `names` in its
    // Dictionaries folder, listed in the settings after `settings`.
    TestFolders PrepareWithSlice(const std::wstring& name, const std::wstring& settings = L"",
                                 std::vector<std::wstring> names = {L"edict-slice"}) {
        TestFolders folders = PrepareTest(name);
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        std::string binary = BinaryPath();
        std::wstring slots = L"[Dictionaries]\r\n";
        for (size_t i = 0; i < names.size(); ++i) {
            std::wstring dictionary = folders.DictionariesFolder() + L"\\" + names[i] + L".qdx";
            EXPECT_TRUE(CopyFileW((std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\" + names[i] + L".qdx").c_str(),
                                  dictionary.c_str(), FALSE));
            slots += L"File" + std::to_wstring(i + 1) + L"=" + dictionary + L",0\r\n";
        }
        WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n" + settings + slots);
        return folders;
    }
};

TEST_F(ListTyping, KanaTypedFillTheReadingListAndShowTheArticle) {
    std::vector<SliceEntry> slice = ReadSlice();
    ASSERT_GT(slice.size(), 100u) << "the EDICT slice was not made";
    const SliceEntry& chosen = slice[slice.size() / 2];
    std::vector<std::u16string> glosses;
    for (const SliceEntry& entry : slice)
        if (entry.reading == chosen.reading) glosses.insert(glosses.end(), entry.glosses.begin(), entry.glosses.end());

    TestFolders folders = PrepareWithSlice(L"ListTyping.KanaTyped");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    auto state = run.QueryState(frame);
    EXPECT_EQ(state[L"dictionaries"], L"2") << "the slice and the personal dictionary made at the first run";
    EXPECT_EQ(state[L"kind"], L"2");

    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    for (char16_t c : chosen.reading) PostMessageW(input, WM_CHAR, c, 1);
    std::wstring reading = Wide(chosen.reading);
    auto currentReading = [&] {
        state = run.QueryState(frame);
        int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    for (int i = 0; i < 100 && currentReading() != reading; ++i) Sleep(50);
    EXPECT_EQ(currentReading(), reading);
    EXPECT_GT(std::stoi(state[L"rows"]), 1000);
    std::wstring line = StatusText(frame, 1);
    EXPECT_NE(line.find(std::to_wstring(std::stoi(state[L"current"]) + 1)), std::wstring::npos) << "status: " << line.size();
    EXPECT_NE(line.find(state[L"rows"]), std::wstring::npos);

    HWND article = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(article, nullptr);
    std::wstring shown = WindowText(article);
    bool glossShown = std::any_of(glosses.begin(), glosses.end(),
                                  [&](const std::u16string& g) { return shown.find(Wide(g)) != std::wstring::npos; });
    EXPECT_TRUE(glossShown) << "article: " << std::string(shown.begin(), shown.end());

    // The current row is filled with the selection colour.
    HWND list = VisibleList(frame);
    ASSERT_NE(list, nullptr);
    HWND header = FindWindowExW(list, nullptr, L"SysHeader32", nullptr);
    ASSERT_NE(header, nullptr);
    RemoteMemory memory(header, sizeof(HDITEMW) + 64 * sizeof(wchar_t));
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof(HDITEMW)));
    item.cchTextMax = 64;
    ASSERT_TRUE(memory.Write(0, &item, sizeof(item)));
    SendMessageW(header, HDM_GETITEMW, 1, memory.At(0));
    wchar_t title[64] = {};
    memory.Read(sizeof(HDITEMW), title, sizeof(title));
    EXPECT_NE(std::wstring(title), L"") << "the reading column's title";
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(200);
    RECT box{};
    GetWindowRect(list, &box);
    HDC screen = GetDC(nullptr);
    int selected = 0;
    for (int y = box.top; y < box.bottom; ++y)
        if (GetPixel(screen, box.left + 15, y) == RGB(0, 0, 127)) ++selected;
    ReleaseDC(nullptr, screen);
    EXPECT_GE(selected, 10) << "one row's height in the selection colour";
    EXPECT_LE(selected, 40);
    SaveScreenshot(folders.root + L"\\reading_list.png");

    // Keys page the list. Of the keys typed into it a letter goes on to the
    // input box; 0, Space and the minus key change nothing.
    int current = std::stoi(state[L"current"]);
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    for (int i = 0, n = machine_pace::ScaledTries(250);
         i < n && std::stoi(run.QueryState(frame)[L"current"]) == current; ++i)
        Sleep(20);
    EXPECT_EQ(std::stoi(run.QueryState(frame)[L"current"]), current + 1);
    const std::wstring before = WindowText(input);
    for (UINT key : {UINT{'0'}, UINT{VK_SPACE}, UINT{VK_OEM_MINUS}, UINT{'X'}}) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(list, WM_KEYDOWN, key, scan | 1);
        PostMessageW(list, WM_KEYUP, key, scan | 1 | static_cast<LPARAM>(0xC0000000));
    }
    for (int i = 0, n = machine_pace::ScaledTries(250); i < n && WindowText(input) == before; ++i) Sleep(20);
    Sleep(300);  // a stray character would follow the letter's
    EXPECT_EQ(WindowText(input), before + L"x");
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(ListTyping, RomajiReachTheKanaRowAndColumnWidthsSurviveARestart) {
    std::vector<SliceEntry> slice = ReadSlice();
    ASSERT_GT(slice.size(), 100u);
    // A reading whose romaji turns back into the same kana.
    std::u16string reading, romaji;
    for (size_t i = slice.size() / 3; i < slice.size() && romaji.empty(); ++i) {
        char16_t latin[64] = {}, back[64] = {};
        const std::u16string& kana = slice[i].reading;
        int32_t length = KanaToRomaji(latin, kana.c_str(), static_cast<int32_t>(kana.size()), 64, kTranscribeLatin);
        RomajiToKana(latin, back, length, 64, 0, nullptr);
        if (kana == back) {
            reading = kana;
            romaji.assign(latin, latin + length);
        }
    }
    ASSERT_FALSE(romaji.empty());
    TestFolders folders = PrepareWithSlice(L"ListTyping.Romaji", L"[View]\r\nWordsKanaList=dic=20,wkn=111,wkj=70,wse=320\r\n");
    {
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        HWND input = FindChild(frame, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        for (char16_t c : romaji) PostMessageW(input, WM_CHAR, c, 1);
        std::map<std::wstring, std::wstring> state;
        auto currentReading = [&] {
            state = run.QueryState(frame);
            int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
            return state[L"cell." + std::to_wstring(current - top) + L".0"];
        };
        for (int i = 0; i < 100 && currentReading() != Wide(reading); ++i) Sleep(50);
        EXPECT_EQ(currentReading(), Wide(reading)) << "typed " << std::string(romaji.begin(), romaji.end());
        HWND list = VisibleList(frame);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(HeaderWidth(list, 1), 111);
        // The current row goes to the selected-articles list, which is saved.
        SendMessageW(list, WM_COMMAND, 40194, 0);
        SendMessageW(frame, WM_COMMAND, 40140, 0);
        state = run.QueryState(frame);
        EXPECT_EQ(state[L"kind"], L"13");
        EXPECT_EQ(state[L"rows"], L"1");
        EXPECT_EQ(run.Exit(frame), 0);
    }
    EXPECT_EQ(ReadIniString(folders, L"View", L"WordsKanaList"), L"dic=20,wkn=111,wkj=70,wse=320");
    ProgramRun again;
    HWND frame = again.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND list = VisibleList(frame);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(HeaderWidth(list, 1), 111);
    SendMessageW(frame, WM_COMMAND, 40140, 0);
    auto state = again.QueryState(frame);
    EXPECT_EQ(state[L"rows"], L"1") << "the selected article came back";
    EXPECT_EQ(state[L"cell.0.0"], Wide(reading));
    EXPECT_EQ(again.Exit(frame), 0);
}

TEST_F(ListTyping, AWordOfAGlossFillsTheSearchResultsAndIsColouredInTheArticle) {
    std::vector<SliceEntry> slice = ReadSlice();
    ASSERT_GT(slice.size(), 100u);
    // A plain word of six letters or more from a gloss in the middle of the slice.
    std::u16string word;
    for (size_t i = slice.size() / 2; i < slice.size() && word.empty(); ++i)
        for (const std::u16string& gloss : slice[i].glosses) {
            size_t end = gloss.find(u' ');
            std::u16string first = gloss.substr(0, end);
            if (first.size() >= 6 && std::all_of(first.begin(), first.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; })) {
                word = first;
                break;
            }
        }
    ASSERT_FALSE(word.empty());
    TestFolders folders = PrepareWithSlice(L"ListTyping.FullText");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    SendMessageW(frame, WM_COMMAND, 40139, 0);  // the search results
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    for (char16_t c : word) PostMessageW(input, WM_CHAR, c, 1);
    // Every letter starts a search: wait for the whole word, then for its search.
    for (int i = 0; i < 100 && SendMessageW(input, WM_GETTEXTLENGTH, 0, 0) < static_cast<LRESULT>(word.size()); ++i)
        Sleep(20);
    std::map<std::wstring, std::wstring> state;
    for (int i = 0; i < 100; ++i) {
        state = run.QueryState(frame);
        if (state[L"kind"] == L"14" && state[L"rows"] != L"0" && state[L"current"] != L"-1") break;
        Sleep(50);
    }
    ASSERT_EQ(state[L"kind"], L"14");
    ASSERT_GT(std::stoi(state[L"rows"]), 0) << std::string(word.begin(), word.end());
    HWND article = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(article, nullptr);
    // The colour of the word's first place in the article; the last letter's
    // search may still be on its way, so ask until it settles.
    auto colourOfWord = [&]() -> COLORREF {
        std::wstring shown = WindowText(article);
        std::wstring lower = shown;
        for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
        size_t at = lower.find(Wide(word));
        if (at == std::wstring::npos) return CLR_INVALID;
        // The control counts a CR LF pair as one position.
        LONG position = static_cast<LONG>(at);
        for (size_t i = 0; i + 1 < at; ++i)
            if (shown[i] == L'\r' && shown[i + 1] == L'\n') --position;
        return RemoteCharFormat(article, {position, position + static_cast<LONG>(word.size())}).crTextColor;
    };
    COLORREF colour = CLR_INVALID;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && (colour = colourOfWord()) != RGB(191, 0, 0); ++i)
        Sleep(50);
    EXPECT_EQ(colour, RGB(191, 0, 0)) << "the query's word in the article";
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(ListTyping, AKanjiTypedFindsItsKanjidicArticleInTheKanjiList) {
    TestFolders folders = PrepareWithSlice(L"ListTyping.Kanji", L"", {L"edict-slice", L"kanjidic-slice"});
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.QueryState(frame)[L"dictionaries"], L"3");
    SendMessageW(frame, WM_COMMAND, 40007, 0);  // the list by kanji
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    PostMessageW(input, WM_CHAR, 0x4E9C, 1);  // 亜, the first kanji of KANJIDIC
    std::map<std::wstring, std::wstring> state;
    auto currentKanji = [&] {
        state = run.QueryState(frame);
        int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    for (int i = 0; i < 100 && currentKanji() != L"\u4E9C"; ++i) Sleep(50);
    EXPECT_EQ(state[L"kind"], L"5");
    EXPECT_EQ(currentKanji(), L"\u4E9C");
    HWND article = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(article, nullptr);
    std::wstring shown = WindowText(article);
    EXPECT_NE(shown.find(L"Asia"), std::wstring::npos) << "article: " << std::string(shown.begin(), shown.end());
    SaveScreenshot(folders.root + L"\\kanji_list.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
