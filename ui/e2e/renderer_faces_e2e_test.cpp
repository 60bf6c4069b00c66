// The faces the article renderers name draw kana and kanji in the program's
// prefix: a real KANJIDIC article copied into the editor (its kanji in the
// Chinese face the renderer chose, its Latin text in the face full-width
// forms also take) and a DSL article of freedict's Japanese-Russian
// dictionary in the article pane (a Chinese piece language). Each surface
// draws characters of every script in the face and character set it gave
// its own text, and those are glyphs, not boxes. Screenshots are kept.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/win/tests/screen_ink.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using namespace editor_windows;

constexpr UINT kCopyToWorking = 40400;

// The face and character set at `at` of a rich edit of the program.
CHARFORMAT2W FaceAt(HWND edit, LONG at) {
    CHARFORMAT2W format = RemoteCharFormat(edit, {at, at + 1});
    SendMessageW(edit, EM_SETSEL, 0, 0);
    return format;
}

std::string Describe(const CHARFORMAT2W& format) {
    std::string face;
    for (const wchar_t* c = format.szFaceName; *c; ++c) face += static_cast<char>(*c);
    return face + " (character set " + std::to_string(format.bCharSet) + ")";
}

POINTL PointOf(HWND edit, LONG at) {
    RemoteMemory point(edit, sizeof(POINTL));
    POINTL p{};
    SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(point.At(0)), at);
    point.Read(0, &p, sizeof p);
    return p;
}

// Puts `sample` as a paragraph of its own after the first `kept` units of
// `edit`, in the face and character set of `face` (set after the text is in,
// so that the editor's own faces for typed text do not replace it), and
// returns the ink of that line left of the caret.
screen_ink::Ink DrawInFace(HWND edit, LONG kept, const std::wstring& sample, const CHARFORMAT2W& face) {
    const std::wstring added = L"\r" + sample;
    RemoteMemory memory(edit, sizeof(CHARFORMAT2W));
    CHARFORMAT2W format = face;
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_CHARSET;
    memory.Write(0, &format, sizeof format);
    const bool readOnly = GetWindowLongW(edit, GWL_STYLE) & ES_READONLY;
    if (readOnly) SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, kept, -1);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));  // Wine carries the text over
    const LONG end = static_cast<LONG>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    Sleep(200);  // the editor gives typed text its faces first
    SendMessageW(edit, EM_SETSEL, kept + 1, end);
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, memory.At(0));
    SendMessageW(edit, EM_SETSEL, end, end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    if (readOnly) SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(250);
    const POINTL line = PointOf(edit, kept + 1), caret = PointOf(edit, end);
    const RECT box = {0, line.y, std::max<LONG>(caret.x - 2, 1), line.y + 24};
    return screen_ink::InkOf(edit, &box);
}

// Every script in `face` on `edit` after its first `kept` units, full-width
// forms in `fullWidthFace`: glyphs, not boxes.
void ExpectRealGlyphs(HWND edit, LONG kept, const CHARFORMAT2W& face, const CHARFORMAT2W& fullWidthFace) {
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& s) { return DrawInFace(edit, kept, s, face); }))
        << "in " << Describe(face);
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& s) { return DrawInFace(edit, kept, s, fullWidthFace); },
                                            {{"full-width forms", L"\uFF06", L"\uFF21"}, {"kana", L"\u3042", L"\u306D"}}))
        << "in " << Describe(fullWidthFace);
}

// Puts `reading` in the input box and waits until the current row's reading
// starts with it; the row's second cell (its word), none when no such row came.
std::optional<std::wstring> ShowReading(ProgramRun& run, HWND frame, const std::wstring& reading) {
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reading.c_str()));
    std::optional<std::wstring> word;
    WaitFor([&] {
        std::map<std::wstring, std::wstring> state = run.QueryState(frame);
        if (state[L"current"].empty() || state[L"top"].empty()) return false;
        const std::wstring row = L"cell." + std::to_wstring(std::stoi(state[L"current"]) - std::stoi(state[L"top"]));
        if (state[row + L".0"].rfind(reading, 0) != 0) return false;
        word = state[row + L".1"];
        return true;
    });
    return word;
}

LONG FirstOf(const std::wstring& text, const wchar_t* any) {
    const size_t at = text.find_first_of(any);
    return at == std::wstring::npos ? -1 : static_cast<LONG>(at);
}

TEST(RendererFaces, AKanjidicArticleInTheEditorDrawsKanaKanjiAndFullWidthForms) {
    TestFolders folders = PrepareTest(L"RendererFaces.Kanjidic");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"kanjidic-slice.qdx"});
    ASSERT_NE(frame, nullptr);
    // The first kanji read "a" that the slice keeps.
    const std::optional<std::wstring> word = ShowReading(run, frame, L"\u3042");
    ASSERT_TRUE(word && !word->empty()) << "the KANJIDIC slice has no kanji read a";
    const wchar_t kanjiOfRow = (*word)[0];
    ASSERT_GE(kanjiOfRow, 0x4E00);
    PostMessageW(frame, WM_COMMAND, kCopyToWorking, 0);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; }));
    HWND text = GetDlgItem(editor, kTextId);
    std::wstring shown;
    ASSERT_TRUE(WaitFor([&] { return (shown = WindowText(text)).find(kanjiOfRow) != std::wstring::npos; }));
    // The control keeps a CR LF pair as one paragraph end.
    shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
    const CHARFORMAT2W kanji = FaceAt(text, static_cast<LONG>(shown.find(kanjiOfRow)));
    const CHARFORMAT2W latin = FaceAt(text, FirstOf(shown, L"abcdefghijklmnopqrstuvwxyz"));
    std::printf("the editor's kanji in %s, its Latin text in %s\n", Describe(kanji).c_str(), Describe(latin).c_str());
    SetForegroundWindow(editor);
    EXPECT_TRUE(WaitUntilDrawn(editor));
    screen_ink::SaveScreenshot(folders.root + L"\\kanjidic_editor.png");
    ExpectRealGlyphs(text, static_cast<LONG>(shown.size()), kanji, latin);
    screen_ink::SaveScreenshot(folders.root + L"\\kanjidic_editor_samples.png");
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169), 40)) CloseBox(question, IDNO);
    EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }));
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST(RendererFaces, ADslArticleInTheArticlePaneDrawsKanaAndKanji) {
    TestFolders folders = PrepareTest(L"RendererFaces.Dsl");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"jpn-rus.qdx"});
    ASSERT_NE(frame, nullptr);
    // The card of "maru", whose sense names its word {丸・まる・1}.
    ASSERT_TRUE(ShowReading(run, frame, L"\u307E\u308B")) << "freedict's dictionary has no row for maru";
    HWND view = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(view, nullptr);
    std::wstring shown;
    ASSERT_TRUE(WaitFor([&] { return (shown = WindowText(view)).find(L'\u4E38') != std::wstring::npos; }))
        << "the article of maru does not show its kanji";
    shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
    const LONG kanjiAt = static_cast<LONG>(shown.find(L'\u4E38'));
    const CHARFORMAT2W kanji = FaceAt(view, kanjiAt);
    const CHARFORMAT2W kana = FaceAt(view, static_cast<LONG>(shown.find(L'\u307E', static_cast<size_t>(kanjiAt))));
    std::printf("the pane's kanji in %s, its kana in %s\n", Describe(kanji).c_str(), Describe(kana).c_str());
    SetForegroundWindow(frame);
    EXPECT_TRUE(WaitUntilDrawn(frame));
    screen_ink::SaveScreenshot(folders.root + L"\\dsl_article.png");
    ExpectRealGlyphs(view, static_cast<LONG>(shown.size()), kanji, kana);
    EXPECT_EQ(run.Exit(frame), 0);
}

// A card's pronunciation ("あの /ˈäno̞/") shows in the pane as the list shows
// it: its stress mark, its phonetic letters and its combining marks are drawn
// in the face the article gives them, as glyphs, where the default face of
// the articles' other Latin text has none of them and drew empty boxes.
TEST(RendererFaces, ADslPronunciationInTheArticlePaneDrawsItsPhoneticLetters) {
    TestFolders folders = PrepareTest(L"RendererFaces.Phonetic");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"jpn-rus-pronounced.qdx"});
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(ShowReading(run, frame, L"\u3042\u306E")) << "freedict's dictionary has no row for ano";
    HWND view = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_NE(view, nullptr);
    std::wstring shown;
    ASSERT_TRUE(WaitFor([&] { return (shown = WindowText(view)).find(L'\u02C8') != std::wstring::npos; }))
        << "the article of ano shows no pronunciation";
    shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
    const LONG stressAt = static_cast<LONG>(shown.find(L'\u02C8'));
    const LONG markAt = static_cast<LONG>(shown.find(L'\u031E'));
    ASSERT_GE(markAt, 0) << "no combining mark in the pronunciation";
    const CHARFORMAT2W stress = FaceAt(view, stressAt), mark = FaceAt(view, markAt);
    std::printf("the pane's stress mark in %s, its combining mark in %s\n", Describe(stress).c_str(),
                Describe(mark).c_str());
    SetForegroundWindow(frame);
    EXPECT_TRUE(WaitUntilDrawn(frame));
    screen_ink::SaveScreenshot(folders.root + L"\\dsl_pronunciation.png");
    const std::vector<screen_ink::ScriptSamples> phonetic = {{"phonetic letters", L"\u0250", L"\u0283"},
                                                             {"stress and length marks", L"\u02C8", L"\u02D0"},
                                                             {"more phonetic letters", L"\u026A", L"\u025B"}};
    const LONG end = static_cast<LONG>(shown.size());
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& s) { return DrawInFace(view, end, s, stress); },
                                            phonetic))
        << "in " << Describe(stress);
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& s) { return DrawInFace(view, end, L"o" + s, mark); },
                                            {{"combining marks", L"\u031E", L"\u0308"}}))
        << "in " << Describe(mark);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
