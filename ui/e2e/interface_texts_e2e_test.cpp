// Every window of the main window in each interface language: no label or
// button shows an English text where the interface texts have it in the
// language shown, and no label or button is cut (its text, measured in its
// own font by the program, fits the control). The status line's count is in
// the interface language too.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/tests/test_paths.h"
#include "ui/e2e/program_session.h"

namespace {

struct Language {
    UILanguage set;
    const wchar_t* flags;  // the settings' Flags for a shown window in that language
    const char* name;
};

// The windows opened by a command of the main window.
struct Window {
    UINT command;
    const char* name;
};
constexpr Window kWindows[] = {
    {40002, "About"},        {40645, "Settings"}, {40119, "Font settings"}, {40155, "Translation options"},
    {40070, "Dictionaries"}, {40190, "Print"},
};

std::wstring SliceDictionary() {
    const std::string binary = BinaryPath();
    return std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\edict-slice.qdx";
}

std::set<std::wstring> TextsOf(UILanguage language) {
    std::set<std::wstring> texts;
    for (const UITextEntry& entry : UITextSet(language)) texts.emplace(entry.text, entry.text + std::char_traits<char16_t>::length(entry.text));
    return texts;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

bool WaitFor(const auto& condition, int tries = 200) {
    for (int i = 0; i < tries; ++i, Sleep(25))
        if (condition()) return true;
    return false;
}

// The faults of the window in front of the frame, one line each.
std::string PopupFaults(const std::map<std::wstring, std::wstring>& state, const Language& language,
                        const std::set<std::wstring>& english, const std::set<std::wstring>& shown) {
    std::string faults;
    for (const auto& [name, value] : state) {
        if (name.rfind(L"control.", 0) != 0) continue;
        // id|fits|needed|room|text
        std::vector<std::wstring> fields;
        size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            size_t bar = value.find(L'|', start);
            fields.push_back(value.substr(start, bar - start));
            start = bar + 1;
        }
        const std::wstring text = value.substr(start);
        if (fields[1] == L"0")
            faults += "  cut: \"" + Utf8(text) + "\" (control " + Utf8(fields[0]) + ", needs " + Utf8(fields[2]) +
                      " px, has " + Utf8(fields[3]) + ")\n";
        if (language.set != UILanguage::English && english.count(text) && !shown.count(text))
            faults += "  English: \"" + Utf8(text) + "\" (control " + Utf8(fields[0]) + ")\n";
    }
    return faults;
}

TEST(InterfaceTexts, EveryWindowSpeaksTheInterfaceLanguageAndCutsNoLabel) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::set<std::wstring> english = TextsOf(UILanguage::English);
    std::string faults;
    for (const Language& language : {Language{UILanguage::Russian, L"32768", "Russian"},
                                     Language{UILanguage::English, L"49152", "English"},
                                     Language{UILanguage::Japanese, L"34816", "Japanese"}}) {
        const std::set<std::wstring> shown = TextsOf(language.set);
        TestFolders folders = PrepareTest(L"InterfaceTexts." + std::wstring(language.name, language.name + strlen(language.name)));
        const std::wstring dictionary = folders.DictionariesFolder() + L"\\edict-slice.qdx";
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(SliceDictionary().c_str(), dictionary.c_str(), FALSE));
        WriteSettings(folders, std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=") + language.flags +
                                   L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n"
                                   L"[Dictionaries]\r\nFile1=" + dictionary + L",0\r\n");
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr) << language.name;
        // The status line's count, once the reading list holds the slice.
        std::map<std::wstring, std::wstring> state;
        ASSERT_TRUE(WaitFor([&] { return !(state = run.QueryState(frame))[L"status.1"].empty(); })) << language.name;
        const std::wstring count = state[L"status.1"];
        if (language.set != UILanguage::English && count.rfind(L"Line ", 0) == 0)
            faults += std::string(language.name) + " status line: \"" + Utf8(count) + "\"\n";

        for (const Window& window : kWindows) {
            PostMessageW(frame, WM_COMMAND, window.command, 0);
            std::wstring caption;
            if (!WaitFor([&] { return !(caption = (state = run.QueryState(frame))[L"popup"]).empty(); })) {
                faults += std::string(language.name) + " " + window.name + ": not shown\n";
                continue;
            }
            Sleep(200);  // the dialog's texts are set as it opens
            state = run.QueryState(frame);
            std::string found = PopupFaults(state, language, english, shown);
            if (!found.empty()) faults += std::string(language.name) + " " + window.name + ":\n" + found;
            HWND popup = FindWindowW(L"#32770", caption.c_str());
            if (popup) PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
            if (!WaitFor([&] { return run.QueryState(frame)[L"popup"].empty(); })) {
                faults += std::string(language.name) + " " + window.name + ": did not close\n";
                break;
            }
        }
        EXPECT_EQ(run.Exit(frame), 0) << language.name;
    }
    EXPECT_TRUE(faults.empty()) << faults;
}

}  // namespace
