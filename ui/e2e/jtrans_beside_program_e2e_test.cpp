// OstrelPro.exe and jtrans over the same EDICT and KANJIDIC files: a Japanese
// paragraph full of katakana words, pasted into the input box with Ctrl+V
// and translated with Return in the translated-words list, lists in the
// window the rows jtrans prints for it, to its last word, and says nothing
// about a list too small: both open KANJIDIC as the kanji dictionary it is.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using State = std::map<std::wstring, std::wstring>;
using editor_windows::Utf8;
using editor_windows::WindowText;

constexpr int kInputBoxId = 202;
constexpr int kReportedRows = 40;  // rows from the top the test hook reports

// Katakana words hold the on-readings of hundreds of kanji; a translator
// that read them there would fill its list before the paragraph's end.
constexpr wchar_t kParagraph[] =
    L"サーバーのデータベースをバックアップするには、コマンドラインからスクリプトを実行して、"
    L"ファイルシステムのディレクトリを指定します。ネットワークのインターフェースがダウンしたときは、"
    L"ルーターのログファイルをチェックしてください。";

template <typename Condition>
bool WaitFor(Condition condition, int tries = 400) {
    for (int i = 0; i < tries; ++i, Sleep(50))
        if (condition()) return true;
    return condition();
}

long Number(State& state, const wchar_t* name) {
    const std::wstring& text = state[name];
    return text.empty() ? -2 : std::stol(text);
}

// The state once the list has stopped refreshing (two answers 300 ms apart that agree).
State Settled(ProgramRun& run, HWND frame) {
    State last = run.QueryState(frame);
    for (int i = 0; i < 60; ++i) {
        Sleep(300);
        State now = run.QueryState(frame);
        if (now[L"refreshes"] == last[L"refreshes"] && now[L"rows"] == last[L"rows"]) return now;
        last = now;
    }
    return last;
}

// The text column of every row of the current list, read page by page as
// PageDown in the input box moves the list.
std::vector<std::wstring> AllRowTexts(ProgramRun& run, HWND frame, HWND input) {
    State state = Settled(run, frame);
    const long rows = Number(state, L"rows");
    std::vector<std::wstring> texts(static_cast<size_t>(rows > 0 ? rows : 0));
    for (int page = 0; page < 200; ++page) {
        const long top = Number(state, L"top");
        for (long row = 0; row < kReportedRows && top + row < rows; ++row)
            texts[static_cast<size_t>(top + row)] = state[L"cell." + std::to_wstring(row) + L".0"];
        if (top < 0 || top + kReportedRows >= rows) break;
        if (!key_typing::PressKey(input, VK_NEXT)) break;
        WaitFor([&] { return Number(state = run.QueryState(frame), L"top") != top; }, 100);
        if (Number(state, L"top") == top) break;
    }
    return texts;
}

// jtrans.exe of this build over `dictionaries` on `text`, as the input line
// translates it (mode 2, the caret behind the text): the matched text of
// each row it prints; what it said on its error stream in `*errors`.
std::vector<std::wstring> JtransRowTexts(const std::wstring& folder, const std::wstring& text,
                                         const std::vector<std::wstring>& dictionaries, std::string* errors) {
    const std::wstring in = folder + L"\\jtrans-in.txt", out = folder + L"\\jtrans-out.txt",
                       err = folder + L"\\jtrans-err.txt";
    if (FILE* file = _wfopen(in.c_str(), L"wb")) {
        const std::string bytes = Utf8(text) + "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    const std::string binary = BinaryPath();
    std::wstring command = L"\"" + std::wstring(binary.begin(), binary.end()) + L"\\tools\\jtrans.exe\" --dict";
    for (const std::wstring& dictionary : dictionaries) command += L" \"" + dictionary + L"\"";
    command += L" --mode 2 --caret " + std::to_wstring(text.size());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    auto open = [&](const std::wstring& path, bool write) {
        return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &inherit,
                           write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    };
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = open(in, false);
    startup.hStdOutput = open(out, true);
    startup.hStdError = open(err, true);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(handle);
    auto read = [](const std::wstring& path) {
        std::string bytes;
        if (FILE* file = _wfopen(path.c_str(), L"rb")) {
            char chunk[4096];
            for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
            std::fclose(file);
        }
        return bytes;
    };
    *errors = read(err);
    // Rows: line, start, length, reading, word, tags.
    std::vector<std::wstring> texts;
    const std::string rows = read(out);
    for (size_t at = 0; at < rows.size();) {
        size_t end = rows.find('\n', at);
        if (end == std::string::npos) end = rows.size();
        long line = 0, start = 0, length = 0;
        if (std::sscanf(rows.substr(at, end - at).c_str(), "%ld\t%ld\t%ld", &line, &start, &length) == 3 &&
            start >= 0 && length > 0 && static_cast<size_t>(start + length) <= text.size())
            texts.push_back(text.substr(static_cast<size_t>(start), static_cast<size_t>(length)));
        at = end + 1;
    }
    return texts;
}

TEST(JtransBesideProgram, APastedParagraphOfKatakanaWordsListsTheRowsJtransPrints) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"JtransBesideProgram");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"edict.qdx", L"kanjidic.qdx"});
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    ASSERT_NE(input, nullptr);
    const std::wstring text = kParagraph;

    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);  // as a click on the tab
    ASSERT_TRUE(PutClipboardText(text));
    ASSERT_TRUE(key_typing::PressKey(input, 'V', true));
    ASSERT_TRUE(WaitFor([&] { return WindowText(input) == text; })) << Utf8(WindowText(input));
    // The caret on the first word, so that the list stands at its top: behind
    // the text it would stand on the last word, and the rows are read page by
    // page from the top shown.
    ASSERT_TRUE(key_typing::PressKey(input, VK_HOME));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    State state = Settled(run, frame);
    EXPECT_EQ(Number(state, L"kind"), 1);
    // A list too small for the paragraph would say so in a box in front.
    EXPECT_EQ(state[L"popup"], L"") << "a box in front of the list";
    SaveScreenshot(folders.root + L"\\translated-paragraph.png");
    const std::vector<std::wstring> shown = AllRowTexts(run, frame, input);

    std::string errors;
    const std::vector<std::wstring> printed = JtransRowTexts(
        folders.root, text, {folders.DictionariesFolder() + L"\\edict.qdx", folders.DictionariesFolder() + L"\\kanjidic.qdx"},
        &errors);
    EXPECT_EQ(errors, "");
    ASSERT_FALSE(printed.empty());
    EXPECT_TRUE(printed.back().ends_with(L"ください")) << "jtrans's last row: " << Utf8(printed.back());
    EXPECT_EQ(shown.size(), printed.size());
    for (size_t i = 0; i < shown.size() && i < printed.size(); ++i)
        EXPECT_EQ(Utf8(shown[i]), Utf8(printed[i])) << "row " << i;
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
