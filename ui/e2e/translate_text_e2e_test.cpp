// OstrelPro.exe with a slice of Debian's EDICT: a kana word typed into the
// input box and Find on the translated-words list fill that list with the
// word's hits, one of them showing the typed reading; an inflected verb's
// article shows the deinflection note above it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

// An ichidan verb of the slice with a kanji headword: its ます-past form.
std::u16string SliceIchidanPast() {
    std::vector<uint8_t> bytes = ReadBytes(BinaryPath() + "/ui/e2e-data/edict-slice");
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    for (size_t i = 1; i < lines.size(); ++i) {
        std::u16string text = DecodeEucJpLine(lines[i]);
        size_t space = text.find(u' ');
        if (space == std::u16string::npos || space < 2 || text.find(u"(v1") == std::u16string::npos) continue;
        std::u16string head = text.substr(0, space);
        if (head.back() != u'る' || head[0] < 0x4E00 || head[0] > 0x9FFF) continue;
        return head.substr(0, head.size() - 1) + u"ました";
    }
    return {};
}

std::wstring WindowText(HWND window) {
    wchar_t text[4096] = {};
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return text;
}

using editor_windows::Utf8;

// "from:" in the English or Japanese interface, "от:" in the Russian one.
bool HasFrom(const std::wstring& text) {
    return text.find(L"from:") != std::wstring::npos || text.find(L"от:") != std::wstring::npos;
}

// Makes the translated-words list current and runs Find on `text` typed into
// the input box; false when the box is missing.
bool FindInTranslatedWords(HWND frame, const std::wstring& text) {
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 0);
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    if (input == nullptr) return false;
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PostMessageW(frame, WM_COMMAND, cmd::kFind, 0);
    return true;
}

TEST(TranslateTextEndToEnd, InflectedVerbShowsItsNoteAboveTheArticle) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string past = SliceIchidanPast();
    ASSERT_FALSE(past.empty()) << "no ichidan verb in the EDICT slice";
    TestFolders folders = PrepareTest(L"TranslateText.Note");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    ASSERT_NE(frame, nullptr);
    const std::wstring wide(past.begin(), past.end());
    ASSERT_TRUE(FindInTranslatedWords(frame, wide));
    HWND article = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(article, nullptr);
    std::wstring shown;
    for (int i = 0; i < 300; ++i, Sleep(50)) {  // up to 15 s on a loaded machine
        shown = WindowText(article);
        if (shown.rfind(wide, 0) == 0 && HasFrom(shown)) break;
    }
    EXPECT_EQ(shown.rfind(wide, 0), 0u) << Utf8(shown) << "\n(typed " << Utf8(wide) << ", input "
                                        << Utf8(WindowText(FindChild(frame, L"RichEdit20W", 202))) << ")";
    EXPECT_TRUE(HasFrom(shown));
    // One note, not one from the list and one from the article's host.
    const size_t noteEnd = shown.find(L"\r");
    EXPECT_EQ(shown.find(wide, noteEnd), std::wstring::npos) << Utf8(shown);
    // The note's letters behind the Japanese verb keep the Latin face's
    // character set: under the Japanese one they were drawn as boxes.
    const LONG note = static_cast<LONG>(wide.size());
    EXPECT_NE(RemoteCharFormat(article, {note, note + 1}).bCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(RemoteCharFormat(article, {0, 1}).bCharSet, SHIFTJIS_CHARSET);
    Sleep(300);  // the article view's own repaint of the note
    SaveScreenshot(folders.root + L"\\deinflection_note.png");
    // A switch to the Russian interface retells the note at once, the row
    // unmoved, and still once.
    PostMessageW(frame, WM_COMMAND, 40144, 0);
    for (int i = 0; i < 100 && (shown = WindowText(article)).find(L"от:") == std::wstring::npos; ++i) Sleep(50);
    EXPECT_NE(shown.find(L"от:"), std::wstring::npos) << Utf8(shown);
    EXPECT_EQ(shown.find(L"from:"), std::wstring::npos) << Utf8(shown);
    EXPECT_EQ(shown.rfind(wide, 0), 0u) << Utf8(shown);
    EXPECT_EQ(shown.find(wide, shown.find(L"\r")), std::wstring::npos) << Utf8(shown);
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST(TranslateTextEndToEnd, FindOnTheTranslatedWordsListFillsItWithTheTypedWord) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string reading = SliceReading();
    ASSERT_FALSE(reading.empty()) << "the EDICT slice was not made";
    TestFolders folders = PrepareTest(L"TranslateText.Find");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    ASSERT_NE(frame, nullptr);
    const std::wstring wide(reading.begin(), reading.end());
    ASSERT_TRUE(FindInTranslatedWords(frame, wide));
    auto state = run.QueryState(frame);
    auto shown = [&] {
        state = run.QueryState(frame);
        if (state[L"kind"] != L"1" || state[L"rows"].empty() || std::stoi(state[L"rows"]) < 1) return false;
        for (int row = 0; row < 8; ++row)
            for (int cell = 0; cell < 4; ++cell)
                if (state[L"cell." + std::to_wstring(row) + L"." + std::to_wstring(cell)].find(wide) !=
                    std::wstring::npos)
                    return true;
        return false;
    };
    bool found = false;
    for (int i = 0; i < 300 && !(found = shown()); ++i) Sleep(50);
    EXPECT_TRUE(found) << "kind " << std::string(state[L"kind"].begin(), state[L"kind"].end()) << " rows "
                       << std::string(state[L"rows"].begin(), state[L"rows"].end());
    SaveScreenshot(folders.root + L"\\translated_words.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
