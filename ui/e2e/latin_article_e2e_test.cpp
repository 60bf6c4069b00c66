// A Latin word's first row on the translated-words list shows its whole
// article: the inflection lines the analyser found, the dictionary form and
// the meaning, as latintool prints them for the same word through the same
// dictionary (the one a user gets, converted from Debian's collatinus
// lexicon; the build runs latintool over ui/e2e/latin_article_words.txt).
// Words with one inflection line and with several. A pronoun's row, typed
// one key at a time, copies and exports the form that names the pronoun and
// its meaning.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/x_clipboard.h"

namespace {

using editor_windows::WaitFor;
using editor_windows::WindowText;

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A word's first row in latintool's coded output (its first group and any
// later group of the same record): its inflection lines (01),
// its dictionary form with the entry's flags (02) and its meaning (03, cut at
// the analyser's line width), without their codes and trailing blanks.
struct Expected {
    std::wstring word;
    std::vector<std::wstring> lines;
    int inflections = 0;
    std::wstring form, flags, meaning;
    std::wstring formLine;  // the form with the flags, as the record keeps it
    std::string group;      // the first group's line: its kind and record
};

std::wstring Widened(const std::string& latin1) {
    std::wstring out;
    for (unsigned char c : latin1) out += static_cast<wchar_t>(c);
    while (!out.empty() && out.back() == L' ') out.pop_back();
    return out;
}

std::vector<Expected> ExpectedArticles() {
    const std::vector<std::string> words = Lines(SourcePath("/ui/e2e/latin_article_words.txt"));
    const std::vector<std::string> output = Lines(BinaryPath() + "/ui/e2e-data/latin-analyses.txt");
    std::vector<Expected> articles;
    size_t word = 0;
    bool firstRow = false;
    for (const std::string& line : output) {
        if (word >= words.size()) break;
        if (line.rfind("=> ", 0) == 0) {
            ++word;
            continue;
        }
        if (line.rfind("10 ", 0) == 0) {
            // A later group of the first row's record is part of that row.
            const bool opens = articles.size() == word;
            if (opens) {
                articles.emplace_back();
                articles.back().word.assign(words[word].begin(), words[word].end());
                articles.back().group = line;
            }
            firstRow = opens || (articles.size() == word + 1 && articles.back().group == line);
            continue;
        }
        if (!firstRow || line.size() < 3 || (line.rfind("01 ", 0) != 0 && line.rfind("02 ", 0) != 0 && line.rfind("03 ", 0) != 0))
            continue;
        Expected& e = articles.back();
        const std::wstring text = Widened(line.substr(3));
        if (line[1] == '1') {
            e.lines.push_back(text);
            ++e.inflections;
        } else if (line[1] == '2') {
            e.formLine = text;
            const size_t flags = text.rfind(L" [");
            e.form = text.substr(0, flags);
            while (!e.form.empty() && e.form.back() == L' ') e.form.pop_back();
            e.flags = flags == std::wstring::npos ? std::wstring() : text.substr(flags + 1);
        } else {
            e.meaning = text;
            while (!e.meaning.empty() && e.meaning.back() == L';') e.meaning.pop_back();
        }
    }
    return articles;
}

// The view's paragraphs, trailing blanks and empty ones dropped.
std::vector<std::wstring> Paragraphs(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::string Narrow(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const std::wstring& line : lines) {
        for (wchar_t c : line) out += c < 0x80 ? static_cast<char>(c) : '?';
        out += " | ";
    }
    return out;
}

// The program over the converted lexicon, on its translated-words list.
struct LatinWindows {
    HWND frame = nullptr, input = nullptr, view = nullptr;
};

// True once the key last taken by the input box has been searched: a key
// was taken since `keyBefore` (the hook's mark) and a Find ended after it.
// Keys come from the input queue, which a thread reads after its posted
// messages, so each key's Find ends before the next key is taken.
bool SearchedAfterKeys(ProgramRun& run, HWND frame, const std::wstring& keyBefore) {
    std::map<std::wstring, std::wstring> state = run.QueryState(frame);
    return state[L"stage.key"] != keyBefore && _wtoi64(state[L"stage.end"].c_str()) > _wtoi64(state[L"stage.key"].c_str());
}

LatinWindows StartOnTheTranslationList(ProgramRun& run, TestFolders& folders) {
    LatinWindows w;
    w.frame = StartWithDictionaries(run, folders, {L"collatinus.qdx"});
    if (w.frame == nullptr) return w;
    w.input = FindChild(w.frame, L"RichEdit20W", 202);
    w.view = FindChild(w.frame, L"RichEdit20W", 201);
    SendMessageW(w.frame, WM_COMMAND, cmd::kListTranslation, 1);  // as a click on the tab
    return w;
}

TEST(LatinArticle, AFirstRowShowsEveryInflectionLineTheDictionaryFormAndTheMeaning) {
    const std::vector<Expected> articles = ExpectedArticles();
    ASSERT_EQ(articles.size(), 24u) << "latintool's analyses of the twenty-four words";
    int several = 0;
    for (const Expected& e : articles) several += e.inflections > 1;
    ASSERT_GE(several, 5) << "words with several inflection lines";
    ASSERT_GE(static_cast<int>(articles.size()) - several, 5) << "words with one inflection line";

    TestFolders folders = PrepareTest(L"LatinArticle.FirstRows");
    ProgramRun run;
    const auto [frame, input, view] = StartOnTheTranslationList(run, folders);
    ASSERT_TRUE(frame && input && view);
    bool pictured = false;
    for (const Expected& e : articles) {
        SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e.word.c_str()));
        PostMessageW(frame, WM_COMMAND, cmd::kFind, 0);
        // The view once the Find has run: the inflection lines, then the
        // record's article (its dictionary form, its whole meaning and the
        // entry's flags).
        const size_t n = e.lines.size();
        ASSERT_TRUE(run.WaitForPostedMessages(frame)) << Narrow({e.word});
        const std::vector<std::wstring> shown = Paragraphs(WindowText(view));
        const std::string said = Narrow({e.word}) + "\n  shown:     " + Narrow(shown) + "\n  latintool: " + Narrow(e.lines) +
                                 Narrow({e.form, e.meaning, e.flags});
        ASSERT_EQ(shown.size(), n + 3) << said;
        EXPECT_EQ(std::vector<std::wstring>(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(n)), e.lines) << said;
        EXPECT_EQ(shown[n], e.form) << said;
        EXPECT_EQ(shown[n + 1].rfind(e.meaning, 0), 0u) << said;
        EXPECT_EQ(shown[n + 2], e.flags) << said;
        if (!pictured && e.inflections > 2) {
            screen_ink::SaveScreenshot(folders.root + L"\\latin_article.png");
            pictured = true;
        }
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

// Over EDICT and the Latin dictionary together, a sentence typed one key at
// a time reads its capitalised first word as the Latin word, as its lower
// case reads: si "if; whether", not EDICT's acronym ＳＩ, its row and its
// article with the note drawn, once Home and Return translate again with
// the caret on it (typed, the line shows the word just typed, pacem); and
// Utrumque reads uterque first.
TEST(LatinArticle, ACapitalisedFirstWordReadsAsTheLatinWordBesideEdict) {
    TestFolders folders = PrepareTest(L"LatinArticle.FirstWord");
    ProgramRun run;
    const HWND frame = StartWithDictionaries(run, folders, {L"edict.qdx", L"collatinus.qdx"});
    ASSERT_NE(frame, nullptr);
    const HWND input = FindChild(frame, L"RichEdit20W", 202), view = FindChild(frame, L"RichEdit20W", 201);
    ASSERT_TRUE(input && view);
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);  // as a click on the tab
    std::map<std::wstring, std::wstring> state;
    std::vector<std::wstring> shown;
    auto readsSi = [&] {
        state = run.QueryState(frame);
        shown = Paragraphs(WindowText(view));
        return state[L"kind"] == L"1" && state[L"rows"] == L"1" && state[L"cell.0.2"] == L"if; whether" &&
               !shown.empty() && shown.front() == L"si - conj.";
    };
    auto said = [&] {
        std::vector<std::wstring> cells{L"rows " + state[L"rows"]};
        for (int row = 0; row < 3; ++row)
            for (int cell = 0; cell < 4; ++cell) cells.push_back(state[L"cell." + std::to_wstring(row) + L"." + std::to_wstring(cell)]);
        return "list: " + Narrow(cells) + "\n  view: " + Narrow(shown);
    };
    ASSERT_TRUE(key_typing::TypeKeys(input, L"Si vis pacem", 60));
    // Typed, the line shows the word just typed; Home and Return its first word.
    EXPECT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return state[L"cell.0.1"] == L"pax";
    }, 200)) << said();
    ASSERT_TRUE(key_typing::PressKey(input, VK_HOME));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    EXPECT_TRUE(WaitFor(readsSi, 200)) << said();
    screen_ink::SaveScreenshot(folders.root + L"\\si_vis_pacem.png");
    // The row is drawn in glyphs: its band of the list holds ink.
    HWND list = nullptr;
    for (HWND w = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); w && !list;
         w = FindWindowExW(frame, w, L"Ostrel List View", nullptr))
        if (IsWindowVisible(w)) list = w;
    ASSERT_NE(list, nullptr);
    RECT client{}, head{};
    GetClientRect(list, &client);
    GetWindowRect(FindWindowExW(list, nullptr, L"SysHeader32", nullptr), &head);
    const RECT firstRow{0, head.bottom - head.top, client.right, head.bottom - head.top + 18};
    EXPECT_GT(screen_ink::InkOf(list, &firstRow).Count(), 40u);
    // So is the article with its note above it, drawn once both are in: the
    // view is shown and its first line, the note's, holds ink.
    RECT viewClient{};
    GetClientRect(view, &viewClient);
    const RECT noteLine{0, 0, viewClient.right, 18};
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_GT(screen_ink::InkOf(view, &noteLine).Count(), 40u);
    const std::wstring keyBefore = run.QueryState(frame)[L"stage.key"];
    ASSERT_TRUE(key_typing::PressKey(input, VK_HOME));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return SearchedAfterKeys(run, frame, keyBefore); }, 200)) << "Return searched nothing";
    EXPECT_TRUE(readsSi()) << said();

    // A capitalised lemma in -que: the lemma first, then utrum with -que,
    // as in lower case.
    SendMessageW(input, EM_SETSEL, 0, -1);
    ASSERT_TRUE(key_typing::TypeKeys(input, L"Utrumque laudo.", 60));
    ASSERT_TRUE(key_typing::PressKey(input, VK_HOME));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    EXPECT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        shown = Paragraphs(WindowText(view));
        return state[L"cell.0.1"] == L"uterque" && state[L"cell.1.1"] == L"utrum";
    }, 200)) << said();
    EXPECT_EQ(run.Exit(frame), 0);
}

// The clipboard's Unicode text once it holds some, emptied first by the caller.
std::wstring CopiedText() {
    std::wstring text;
    WaitFor([&] {
        if (!OpenClipboard(nullptr)) return false;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return !text.empty();
    });
    return text;
}

void EmptyTheClipboard() {
    WaitFor([] { return OpenClipboard(nullptr) != FALSE; });
    EmptyClipboard();
    CloseClipboard();
}

// `text` as the RTF builder writes it: one \u escape per unit.
std::string Escaped(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += "\\u" + std::to_string(static_cast<int16_t>(c));
    return out;
}

TEST(LatinArticle, APronounsRowCopiesAndExportsItsFormAndMeaning) {
    std::map<std::wstring, Expected> byWord;
    for (const Expected& e : ExpectedArticles()) byWord[e.word] = e;
    TestFolders folders = PrepareTest(L"LatinArticle.PronounOutput");
    ProgramRun run;
    const auto [frame, input, view] = StartOnTheTranslationList(run, folders);
    ASSERT_TRUE(frame && input && view);
    const std::wstring file = folders.root + L"\\pronoun.rtf";
    for (const wchar_t* word : {L"qui", L"quem", L"sibi", L"Ego", L"nos"}) {
        const Expected& e = byWord[word];
        const std::string said = Narrow({e.word, e.form, e.meaning});
        ASSERT_NE(e.form.find(L"  PRON"), std::wstring::npos) << said;
        SendMessageW(input, EM_SETSEL, 0, -1);
        ASSERT_TRUE(key_typing::TypeKeys(input, e.word, 60));
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::wstring> shown = Paragraphs(WindowText(view));
            return shown.size() > e.lines.size() && shown.front() == e.lines.front() && shown[e.lines.size()] == e.form;
        }, 200)) << said;

        // Copy text: the compact article, its form with the entry's flags,
        // then the meaning.
        EmptyTheClipboard();
        PostMessageW(frame, WM_COMMAND, cmd::kCopy, 0);
        const std::wstring copied = CopiedText();
        EXPECT_EQ(copied.rfind(e.formLine + L" - " + e.meaning, 0), 0u) << said << " | " << Narrow({copied});

        // Print to a file: the same article in the RTF file.
        PostMessageW(frame, WM_COMMAND, cmd::kPrint, 0);
        HWND dialog = WaitForShownDialog(L"Print articles");
        ASSERT_NE(dialog, nullptr);
        SendDlgItemMessageW(dialog, 1292, BM_CLICK, 0, 0);  // the selected row
        SendDlgItemMessageW(dialog, 1090, BM_CLICK, 0, 0);  // to a file
        SetDlgItemTextW(dialog, 1186, file.c_str());
        if (IsDlgButtonChecked(dialog, 1092) == BST_CHECKED) SendDlgItemMessageW(dialog, 1092, BM_CLICK, 0, 0);
        DeleteFileW(file.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND created = WaitForShownDialog(L"The document is created");
        ASSERT_NE(created, nullptr) << said;
        PostMessageW(created, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The bold run of the principal parts ends before the part of speech.
        EXPECT_NE(rtf.find(Escaped(e.form.substr(0, e.form.find(L"  ")))), std::string::npos) << said;
        EXPECT_NE(rtf.find(Escaped(L" - " + e.meaning)), std::string::npos) << said;
    }
    SaveScreenshot(folders.root + L"\\pronoun.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// `file` as LibreOffice reads it (converted to UTF-8 text in `folder`), its
// paragraphs; none when LibreOffice could not read it.
std::vector<std::wstring> ReadByLibreOffice(const std::wstring& file, const std::wstring& folder) {
    const std::wstring out = UnixPath(folder);
    const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
    const std::filesystem::path text = folder + L"\\office\\" + name.substr(0, name.rfind(L'.')) + L".txt";
    std::filesystem::remove(text);
    RunUnix(L"/bin/sh -c \"PATH=/usr/bin:/bin; cd '" + out + L"' && soffice -env:UserInstallation=file://" + out +
                L"/office-profile --headless --convert-to txt:Text:UTF8 --outdir '" + out + L"/office' '" +
                UnixPath(file) + L"' > /dev/null 2>&1\"",
            180000);
    // The converter runs apart from the program that starts it: its text is
    // waited for.
    std::string bytes;
    size_t before = 0;
    WaitFor([&] {
        std::ifstream in(text, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const bool settled = !bytes.empty() && bytes.size() == before;
        before = bytes.size();
        return settled;
    }, 1200);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    std::wstring read(bytes.size(), L'\0');
    read.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        read.data(), static_cast<int>(read.size()))));
    return Paragraphs(read);
}

// Rows the analyser makes without a record (a Roman numeral, a capitalised
// word it does not know) are output as the view shows them, never as a
// read failure: Copy text, the print dialog's clipboard and its RTF file
// (read back by LibreOffice) each hold the lines the article view shows.
TEST(LatinArticle, ARowOfNoRecordIsCopiedAndSavedAsShown) {
    TestFolders folders = PrepareTest(L"LatinArticle.RowOfNoRecord");
    ProgramRun run;
    const auto [frame, input, view] = StartOnTheTranslationList(run, folders);
    ASSERT_TRUE(frame && input && view);
    for (const wchar_t* word : {L"XIV", L"USER"}) {
        const std::string said = Narrow({word});
        SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(input, EM_SETSEL, 0, -1);
        const std::wstring keyBefore = run.QueryState(frame)[L"stage.key"];
        ASSERT_TRUE(key_typing::TypeKeys(input, word, 60));
        // The last key searched: the whole word in the box, and a Find ended after its key.
        ASSERT_TRUE(WaitFor([&] { return WindowText(input) == word && SearchedAfterKeys(run, frame, keyBefore); }, 200))
            << said;
        std::vector<std::wstring> shown = Paragraphs(WindowText(view));
        ASSERT_TRUE(!shown.empty() && run.QueryState(frame)[L"rows"] == L"1") << said << " shows " << Narrow(shown);
        const std::string wanted = said + " shows " + Narrow(shown);

        EmptyTheClipboard();
        PostMessageW(frame, WM_COMMAND, cmd::kCopy, 0);
        EXPECT_EQ(Paragraphs(CopiedText()), shown) << wanted;
        EXPECT_EQ(FindWindowW(L"#32770", L"Cannot Read a File"), nullptr) << wanted;

        auto openDialog = [&](int destination) {
            PostMessageW(frame, WM_COMMAND, cmd::kPrint, 0);
            HWND dialog = WaitForShownDialog(L"Print articles");
            if (dialog != nullptr) {
                SendDlgItemMessageW(dialog, 1292, BM_CLICK, 0, 0);  // the selected row
                SendDlgItemMessageW(dialog, destination, BM_CLICK, 0, 0);
            }
            return dialog;
        };
        EmptyTheClipboard();
        HWND dialog = openDialog(1093);  // to the clipboard
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << wanted << ": the dialog stays";
        EXPECT_EQ(Paragraphs(CopiedText()), shown) << wanted;

        const std::wstring file = folders.root + L"\\" + word + L".rtf";
        dialog = openDialog(1090);  // to a file
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextW(dialog, 1186, file.c_str());
        if (IsDlgButtonChecked(dialog, 1092) == BST_CHECKED) SendDlgItemMessageW(dialog, 1092, BM_CLICK, 0, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND created = WaitForShownDialog(L"The document is created");
        ASSERT_NE(created, nullptr) << wanted;
        PostMessageW(created, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(ReadByLibreOffice(file, folders.root), shown) << wanted;
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
