// OstrelPro.exe with the Latin word list or the EDICT slice: in the
// Translation tab a Latin word and a Japanese phrase typed one key at a time,
// with pauses, are translated as they are typed and the input box keeps
// every key: the hit shown for the text so far never takes the next key's place.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                     static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(length > 0 ? length : 0));
    return out;
}

// A text and the dictionary it is translated with.
struct Typed {
    const wchar_t* text;
    const wchar_t* dictionary;  // below the build tree
};

class TranslationTyping : public testing::TestWithParam<Typed> {};

TEST_P(TranslationTyping, TheInputBoxKeepsEveryKeyTyped) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::wstring text = GetParam().text;
    TestFolders folders = PrepareTest(L"TranslationTyping");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    const std::string binary = BinaryPath();
    const std::wstring built(binary.begin(), binary.end());
    const std::wstring dictionary = folders.DictionariesFolder() + L"\\typed.qdx";
    ASSERT_TRUE(CopyFileW((built + GetParam().dictionary).c_str(), dictionary.c_str(), FALSE));
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" +
                               dictionary + L",0\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);  // as a click on the tab

    ASSERT_TRUE(key_typing::TypeKeys(input, text, 150));
    std::map<std::wstring, std::wstring> state;
    auto translated = [&] {
        state = run.QueryState(frame);
        return state[L"kind"] == L"1" && !state[L"rows"].empty() && std::stoi(state[L"rows"]) > 0;
    };
    for (int i = 0; i < 100 && !translated(); ++i) Sleep(50);
    Sleep(300);  // the search of the last key has ended
    EXPECT_EQ(WindowText(input), text) << Utf8(WindowText(input));
    EXPECT_TRUE(translated()) << "kind " << Utf8(state[L"kind"]) << ", rows " << Utf8(state[L"rows"]);
    SaveScreenshot(folders.root + L"\\typed.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

INSTANTIATE_TEST_SUITE_P(LatinAndJapanese, TranslationTyping,
                         testing::Values(Typed{L"puellarum", L"\\latin\\data\\compiled_words.qdx"},
                                         Typed{L"\u308F\u305F\u3057\u306F\u306D\u3053",
                                               L"\\ui\\e2e-data\\edict-slice.qdx"}));

}  // namespace
