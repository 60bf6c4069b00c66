// A stored article corrected as users correct it, in the real program over
// the EDICT slice, whose headword the personal dictionary then holds too:
// the whole text selected and pasted over with real keys from an X program's
// copy, the same text put in place of itself (EM_REPLACESEL), a paste taken
// back with Ctrl+Z; each saves with the kinds the lines read as, and the
// list then shows the saved article, not the slice's row of that headword.
// An article typed full refuses the next key with a word in the problems box.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/x_clipboard.h"

namespace {

using namespace editor_windows;

constexpr UINT kCopyToWorking = 40400, kEditCurrent = 40064, kNewArticle = 40067, kNewFromClipboard = 40083,
               kSave = 1362;
constexpr int kCannotSaveCaption = 179;
constexpr int kMostUnits = 32767;

LRESULT Length(HWND control) { return SendMessageW(control, WM_GETTEXTLENGTH, 0, 0); }

// The editor's text with CR LF line ends, as a copy of it holds them.
std::wstring EditorText(HWND editor) { return WindowText(GetDlgItem(editor, kTextId)); }

// Ctrl+A with a real key, until the whole text (a paragraph end one unit) is selected.
bool SelectAllByKey(HWND editor) {
    HWND text = GetDlgItem(editor, kTextId);
    const std::wstring whole = EditorText(editor);
    LRESULT units = static_cast<LRESULT>(whole.size());
    for (size_t at = 0; (at = whole.find(L"\r\n", at)) != std::wstring::npos; at += 2) --units;
    // The control's select-all takes the closing paragraph mark too.
    return key_typing::PressKey(text, 'A', true) && WaitFor([&] {
               const LRESULT selection = SendMessageW(text, EM_GETSEL, 0, 0);
               return LOWORD(selection) == 0 && HIWORD(selection) >= units;
           });
}

// Posts Save and waits for the editor to close; false, with the refusal's
// box closed, when it did not.
bool Saves(HWND editor, std::wstring& refusal) {
    PostMessageW(editor, WM_COMMAND, kSave, 0);
    HWND box = nullptr;
    WaitFor([&] {
        return !IsWindow(editor) ||
               (box = FindWindowW(L"#32770", Slot(UILanguage::English, kCannotSaveCaption).c_str())) != nullptr;
    });
    if (box) {
        refusal = BoxText(box) + L" / " + WindowText(GetDlgItem(editor, kProblemsId));
        CloseBox(box, IDOK);
    }
    return WaitFor([&] { return !IsWindow(editor); }, 40);
}

// The kind of the line the editor's caret is on (the paragraph style the
// editor keeps it in), read without moving the caret; -1 when unread.
int CaretLineKind(HWND text, RemoteMemory& remote) {
    if (!remote.Valid()) return -1;
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STYLE;
    remote.Write(0, &format, sizeof format);
    SendMessageW(text, EM_GETPARAFORMAT, 0, remote.At(0));
    remote.Read(0, &format, sizeof format);
    return format.sStyle;
}

int CaretLineKind(HWND editor) {
    HWND text = GetDlgItem(editor, kTextId);
    RemoteMemory remote(text, sizeof(PARAFORMAT2));
    return CaretLineKind(text, remote);
}

// Each line's kind. It moves the caret from line to line: a key waiting for
// the editor while it runs would meet the caret elsewhere.
std::vector<int> LineKinds(HWND editor) {
    HWND text = GetDlgItem(editor, kTextId);
    const std::wstring whole = EditorText(editor);
    std::vector<int> kinds;
    RemoteMemory remote(text, sizeof(PARAFORMAT2));
    if (!remote.Valid()) return kinds;
    LONG position = 0;  // in the control's units, where a CR LF is one
    for (size_t at = 0;;) {
        SendMessageW(text, EM_SETSEL, position, position);
        kinds.push_back(CaretLineKind(text, remote));
        const size_t end = whole.find(L"\r\n", at);
        if (end == std::wstring::npos) break;
        position += static_cast<LONG>(end - at) + 1;
        at = end + 2;
    }
    return kinds;
}

class ArticleEditorReplace : public ::testing::Test {
protected:
    // The program over the slice and, listed after it, the personal
    // dictionary, with one of the slice's articles copied into the personal
    // dictionary and saved (the list then on that copy).
    void StartWithCopiedArticle(const wchar_t* name) {
        folders_ = PrepareTest(name);
        {
            ProgramRun first;  // copies the slice in and makes the personal dictionary
            HWND frame = StartWithSlice(first, folders_);
            ASSERT_NE(frame, nullptr);
            ASSERT_EQ(first.Exit(frame), 0);
        }
        const std::wstring folder = folders_.DictionariesFolder();
        WriteSettings(folders_, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" +
                                    folder + L"\\edict-slice.qdx,0\r\nFile2=" + folder + L"\\Personal.qdx,0\r\nWorking=" +
                                    folder + L"\\Personal.qdx\r\n");
        run_.emplace();
        frame_ = run_->WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame_, nullptr);
        const std::u16string reading = SliceReading();
        ASSERT_FALSE(reading.empty());
        reading_.assign(reading.begin(), reading.end());
        HWND input = FindChild(frame_, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        for (wchar_t c : reading_) PostMessageW(input, WM_CHAR, c, 1);
        ASSERT_TRUE(WaitFor([&] { return CurrentCell(0) == reading_; }));
        ASSERT_TRUE(WaitFor([&] { return CurrentDictionary().find(L"edict-slice") != std::wstring::npos; }));
        PostMessageW(frame_, WM_COMMAND, kCopyToWorking, 0);
        HWND editor = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr && EditorText(editor).size() > 4; }));
        std::wstring refusal;
        ASSERT_TRUE(Saves(editor, refusal)) << Utf8(refusal);
    }

    // The program with no dictionaries, and an editor of a new article.
    void StartWithNewArticle(const wchar_t* name, HWND& editor) {
        folders_ = PrepareTest(name);
        run_.emplace();
        frame_ = run_->WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame_, nullptr);
        PostMessageW(frame_, WM_COMMAND, kNewArticle, 0);
        ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; }));
    }

    std::map<std::wstring, std::wstring> State() { return run_->QueryState(frame_); }
    std::wstring CurrentCell(int cell) {
        std::map<std::wstring, std::wstring> state = State();
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L"." + std::to_wstring(cell)];
    }
    // The status line's part that names the current row's dictionary.
    std::wstring CurrentDictionary() {
        std::map<std::wstring, std::wstring> state = State();
        return state[L"status.0"] + L"|" + state[L"status.1"];
    }
    std::wstring ArticleShown() {
        HWND view = FindChild(frame_, L"Ostrel Article View", 0);
        return view ? WindowText(FindWindowExW(view, nullptr, L"RichEdit20W", nullptr)) : L"";
    }
    // Edit on the current row: its editor once the stored text is in.
    HWND EditCurrent() {
        PostMessageW(frame_, WM_COMMAND, kEditCurrent, 0);
        HWND editor = nullptr;
        WaitFor([&] { return (editor = FindEditorWindow()) != nullptr && EditorText(editor).size() > 4; });
        return editor;
    }
    // After a save: the list's current row is the personal dictionary's, and
    // the article view shows the text that was saved.
    void ExpectSavedArticleShown(const std::wstring& line, const char* route) {
        EXPECT_TRUE(WaitFor([&] { return CurrentDictionary().find(L"Personal") != std::wstring::npos; }))
            << route << ": the list shows " << Utf8(CurrentDictionary());
        EXPECT_TRUE(WaitFor([&] { return ArticleShown().find(line) != std::wstring::npos; }))
            << route << ": the article view shows " << Utf8(ArticleShown());
    }

    TestFolders folders_;
    std::optional<ProgramRun> run_;  // started once the test's settings are written
    HWND frame_ = nullptr;
    std::wstring reading_;
};

TEST_F(ArticleEditorReplace, AWholeArticlePastedOverItselfSavesAndIsShown) {
    ASSERT_NO_FATAL_FAILURE(StartWithCopiedArticle(L"ArticleEditorReplace.Paste"));
    ExpectSavedArticleShown(reading_, "the copy");

    // Select all and paste a corrected text with real keys, from an X program's copy.
    HWND editor = EditCurrent();
    ASSERT_NE(editor, nullptr);
    HWND text = GetDlgItem(editor, kTextId);
    const std::wstring stored = EditorText(editor);
    const std::wstring corrected = stored + L"\r\ncorrected by a paste";
    std::wstring copied = corrected;
    for (size_t at = 0; (at = copied.find(L"\r\n", at)) != std::wstring::npos;) copied.erase(at, 1);
    ASSERT_TRUE(CopyInXProgram(copied, folders_.root));
    ASSERT_TRUE(SelectAllByKey(editor));
    ASSERT_TRUE(key_typing::PressKey(text, 'V', true));
    ASSERT_TRUE(WaitFor([&] { return EditorText(editor) == corrected; })) << Utf8(EditorText(editor));
    EXPECT_EQ(WindowText(GetDlgItem(editor, kProblemsId)).find(L"Head word missed"), std::wstring::npos);
    screen_ink::SaveScreenshot(folders_.root + L"\\pasted.png");
    std::wstring refusal;
    EXPECT_TRUE(Saves(editor, refusal)) << Utf8(refusal);
    ExpectSavedArticleShown(L"corrected by a paste", "the paste");

    // The article's own text put in place of itself.
    editor = EditCurrent();
    ASSERT_NE(editor, nullptr);
    text = GetDlgItem(editor, kTextId);
    const std::wstring own = EditorText(editor);
    RemoteMemory remote(text, (own.size() + 1) * sizeof(wchar_t));
    ASSERT_TRUE(remote.Valid() && remote.Write(0, own.c_str(), (own.size() + 1) * sizeof(wchar_t)));
    SendMessageW(text, EM_SETSEL, 0, -1);
    SendMessageW(text, EM_REPLACESEL, TRUE, remote.At(0));
    EXPECT_EQ(EditorText(editor), own);
    EXPECT_TRUE(Saves(editor, refusal)) << Utf8(refusal);
    ExpectSavedArticleShown(L"corrected by a paste", "the text replaced by itself");

    // A paste over everything taken back with Ctrl+Z: the lines read as they were.
    editor = EditCurrent();
    ASSERT_NE(editor, nullptr);
    text = GetDlgItem(editor, kTextId);
    const std::wstring before = EditorText(editor);
    ASSERT_TRUE(CopyInXProgram(L"\u732B", folders_.root));
    ASSERT_TRUE(SelectAllByKey(editor));
    ASSERT_TRUE(key_typing::PressKey(text, 'V', true));
    ASSERT_TRUE(WaitFor([&] { return EditorText(editor) == L"\u732B"; })) << Utf8(EditorText(editor));
    ASSERT_TRUE(key_typing::PressKey(text, 'Z', true));
    ASSERT_TRUE(WaitFor([&] { return EditorText(editor) == before; })) << Utf8(EditorText(editor));
    EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(editor, kProblemsId)).find(L"Head word missed") == std::wstring::npos; }))
        << Utf8(WindowText(GetDlgItem(editor, kProblemsId)));
    EXPECT_TRUE(Saves(editor, refusal)) << Utf8(refusal);
    EXPECT_EQ(run_->Exit(frame_), 0);
}

// The list's own ways into the editor: a double-click on a row of the
// personal dictionary edits it, and its context menu's Edit, Add New Article
// and Add New Article from Clipboard open their editors, as the toolbar's
// buttons do. (The menu's choice reaches the list as the WM_COMMAND posted
// here; the double-click acts on the current row wherever it falls.)
TEST_F(ArticleEditorReplace, TheListsDoubleClickAndContextMenuOpenTheEditor) {
    ASSERT_NO_FATAL_FAILURE(StartWithCopiedArticle(L"ArticleEditorReplace.ListWays"));
    ExpectSavedArticleShown(reading_, "the copy");
    HWND list = nullptr;
    for (HWND w = FindWindowExW(frame_, nullptr, L"Ostrel List View", nullptr); w && !list;
         w = FindWindowExW(frame_, w, L"Ostrel List View", nullptr))
        if (IsWindowVisible(w)) list = w;
    ASSERT_NE(list, nullptr);
    const std::wstring stored = ArticleShown();
    // Opens an editor by `open`, checks its text, and closes it unsaved.
    auto opens = [&](const char* route, auto open, auto textIsRight) {
        SCOPED_TRACE(route);
        open();
        HWND editor = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; })) << "no editor";
        EXPECT_TRUE(WaitFor([&] { return textIsRight(EditorText(editor)); })) << Utf8(EditorText(editor));
        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        if (HWND question = WaitForBox(Slot(UILanguage::English, 169), 20)) CloseBox(question, IDNO);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    };
    auto isStored = [&](const std::wstring& text) { return text.find(reading_) == 0; };
    opens("double-click", [&] {
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
        PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    }, isStored);
    opens("Edit", [&] { PostMessageW(list, WM_COMMAND, kEditCurrent, 0); }, isStored);
    opens("Add New Article", [&] { PostMessageW(list, WM_COMMAND, kNewArticle, 0); },
          [](const std::wstring& text) { return text.empty(); });
    ASSERT_TRUE(PutClipboardText(L"\u5B50\u72AC\r\npuppy"));
    opens("Add New Article from Clipboard", [&] { PostMessageW(list, WM_COMMAND, kNewFromClipboard, 0); },
          [](const std::wstring& text) { return text == L"\u5B50\u72AC\r\npuppy"; });
    EXPECT_EQ(ArticleShown(), stored) << "the list's article is as it was";
    EXPECT_EQ(run_->Exit(frame_), 0);
}

// One Ctrl+Z takes a paste back whole, and one Ctrl+Y brings it again with
// the kinds the lines were given, where the first presses took back only
// those kinds (the margin changed, the text stayed); a kind the user chose
// is a step of its own, taken back alone.
TEST_F(ArticleEditorReplace, OneUndoTakesBackAPasteWithTheKindsItsLinesWereGiven) {
    HWND editor = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithNewArticle(L"ArticleEditorReplace.Undo", editor));
    HWND text = GetDlgItem(editor, kTextId);
    const std::wstring pasted = L"\u306D\u3053\r\n\u732B\r\ncat\r\nfeline animal";
    const std::vector<int> classified{3, 4, 5, 5};  // reading, word in kanji, two translations
    ASSERT_TRUE(PutClipboardText(pasted));
    ASSERT_TRUE(key_typing::PressKey(text, 'V', true));
    ASSERT_TRUE(WaitFor([&] { return EditorText(editor) == pasted; })) << Utf8(EditorText(editor));
    ASSERT_TRUE(WaitFor([&] { return LineKinds(editor) == classified; }));

    ASSERT_TRUE(key_typing::PressKey(text, 'Z', true));
    EXPECT_TRUE(WaitFor([&] { return EditorText(editor).empty(); })) << "one Ctrl+Z left " << Utf8(EditorText(editor));
    ASSERT_TRUE(key_typing::PressKey(text, 'Y', true));
    EXPECT_TRUE(WaitFor([&] { return EditorText(editor) == pasted; })) << Utf8(EditorText(editor));
    EXPECT_EQ(LineKinds(editor), classified) << "one Ctrl+Y brings the kinds too";

    // A note chosen for the third line (F7), then one Ctrl+Z: the kind goes back, the paste stays.
    // The key is waited for at the caret's line, which the wait leaves in place.
    SendMessageW(text, EM_SETSEL, 5, 5);
    ASSERT_TRUE(key_typing::PressKey(text, VK_F7));
    ASSERT_TRUE(WaitFor([&] { return CaretLineKind(editor) == 109; })) << "F7 gave the caret's line no note";
    EXPECT_EQ(LineKinds(editor), (std::vector<int>{3, 4, 109, 5}));
    ASSERT_TRUE(key_typing::PressKey(text, 'Z', true));
    EXPECT_TRUE(WaitFor([&] { return LineKinds(editor) == classified; }));
    EXPECT_EQ(EditorText(editor), pasted);

    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169))) CloseBox(question, IDNO);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_EQ(run_->Exit(frame_), 0);
}

// Typed keys past the longest article are refused, and the problems box
// says so, once; a deleted character makes room, and the note goes.
TEST_F(ArticleEditorReplace, AKeyTypedIntoAFullArticleIsRefusedWithAWord) {
    HWND editor = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithNewArticle(L"ArticleEditorReplace.Full", editor));
    HWND text = GetDlgItem(editor, kTextId);
    HWND problems = GetDlgItem(editor, kProblemsId);
    // Two CR LF pairs, each one unit in the control: one unit short of the longest article.
    const size_t fillerUnits = static_cast<size_t>(kMostUnits) + 1;
    std::wstring filler = L"\u3042\u3044\r\n\u611B\r\n";
    while (filler.size() < fillerUnits) filler += L"lorem \u043A\u043E\u0448\u043A\u0430 ";
    filler.resize(fillerUnits);
    ASSERT_TRUE(PutClipboardText(filler));
    PostMessageW(editor, WM_COMMAND, 40025, 0);
    ASSERT_TRUE(WaitFor([&] { return Length(text) == static_cast<LRESULT>(filler.size()); }, 200)) << Length(text);
    SendMessageW(text, EM_SETSEL, -1, -1);
    const std::wstring fullNote = L"The article is full: it holds 32767 characters, the most an article can. "
                                  L"Delete some text to type more.\r\n";
    const std::wstring checked = WindowText(problems);
    EXPECT_EQ(checked.find(fullNote), std::wstring::npos) << "a word before the article is full";

    ASSERT_TRUE(key_typing::TypeKeys(text, L"xyz", 100));
    ASSERT_TRUE(WaitFor([&] { return WindowText(problems).find(fullNote) != std::wstring::npos; }))
        << "nothing said: " << Utf8(WindowText(problems));
    EXPECT_EQ(Length(text), static_cast<LRESULT>(filler.size()) + 1) << "the key that fits is taken";
    EXPECT_EQ(WindowText(problems), checked + fullNote) << "said once, after the check";
    EXPECT_EQ(EditorText(editor).back(), L'x');
    screen_ink::SaveScreenshot(folders_.root + L"\\full.png");

    ASSERT_TRUE(key_typing::PressKey(text, VK_BACK));
    EXPECT_TRUE(WaitFor([&] { return WindowText(problems) == checked; })) << Utf8(WindowText(problems));
    ASSERT_TRUE(key_typing::TypeKeys(text, L"q", 100));
    EXPECT_TRUE(WaitFor([&] { return EditorText(editor).back() == L'q'; }));
    EXPECT_EQ(WindowText(problems), checked);
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169))) CloseBox(question, IDNO);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_EQ(run_->Exit(frame_), 0);
}

}  // namespace
