// Every window of the program in each interface language: no label or
// button shows an English text where the interface texts have it in the
// language shown, no label or button is cut (its text, measured in its own
// font by the program, fits the control), and a label of each window draws
// the scripts of the language (Latin, with Cyrillic or kana and kanji) as glyphs. The main window's dialogs and
// the settings pages (the editor's among them), the book reader on a stored
// book and the article editor, then the dialogs opened from the dictionaries dialog
// (new dictionary, properties, optimisation, book loader, conversion), the
// book reader and the file dialog of Ctrl+click on its button. The status
// line's count is in the interface language, and follows a language switch
// at once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/remote_list_view.h"
#include "ui/e2e/machine_pace.h"

namespace {

struct Language {
    UILanguage set;
    const wchar_t* flags;  // the settings' Flags for a shown window in that language
    const char* name;
    UINT command;          // the menu command that switches to it
};
constexpr Language kLanguages[] = {{UILanguage::Russian, L"32768", "Russian", 40144},
                                   {UILanguage::English, L"49152", "English", 40037},
                                   {UILanguage::Japanese, L"34816", "Japanese", 40141}};

// The windows opened by a command of the main window.
struct Window {
    UINT command;
    const char* name;
};
constexpr Window kWindows[] = {
    {40002, "About"},        {40645, "Settings"}, {40119, "Font settings"}, {40155, "Translation options"},
    {40070, "Dictionaries"}, {40190, "Print"},
};
// The settings dialog's page buttons (after its first page, fonts).
constexpr Window kSettingsPages[] = {{1051, "Settings: transliteration"}, {1052, "Settings: lists"},
                                     {1053, "Settings: editor"},          {1093, "Settings: miscellaneous"}};

constexpr UINT kDictionariesCommand = 40070, kBookReaderCommand = 40062, kNewArticleCommand = 40067;
constexpr UINT kEditorCancel = 1363;
constexpr int kInstalledList = 1294, kPropertiesSize = 1190, kTableOfContents = 1003;

std::wstring BinaryDir() {
    const std::string binary = BinaryPath();
    return std::wstring(binary.begin(), binary.end());
}

std::set<std::wstring> TextsOf(UILanguage language) {
    std::set<std::wstring> texts;
    for (const UITextEntry& entry : UITextSet(language)) texts.emplace(entry.text, entry.text + std::char_traits<char16_t>::length(entry.text));
    for (const UITextEntry& entry : UIExtraTextSet(language)) texts.emplace(entry.text, entry.text + std::char_traits<char16_t>::length(entry.text));
    return texts;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

std::wstring Wide(const char16_t* text) { return std::wstring(text, text + std::char_traits<char16_t>::length(text)); }

bool WaitFor(const auto& condition, int tries = 200) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i, Sleep(25))
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

// The control of a window whose glyphs are checked: the one with `id`, or
// else its first shown label with text (a button when it has none).
struct GlyphSearch {
    int id;
    HWND label = nullptr, button = nullptr, byId = nullptr;
};
BOOL CALLBACK FindGlyphTarget(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<GlyphSearch*>(data);
    if (!IsWindowVisible(child)) return TRUE;
    if (search->id != 0 && GetDlgCtrlID(child) == search->id) search->byId = child;
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (GetWindowTextLengthW(child) == 0) return TRUE;
    const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
    const bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ||
                      type == SS_SIMPLE;
    if (!search->label && text && lstrcmpiW(name, L"Static") == 0) search->label = child;
    if (!search->button && lstrcmpiW(name, L"Button") == 0) search->button = child;
    return TRUE;
}

// The program as one user in one interface language sees it: every window
// opened is asked for its faults, its glyphs checked, and kept as a picture.
class Tour {
public:
    Tour(ProgramRun& run, HWND frame, const Language& language, const TestFolders& folders, std::string& faults)
        : run_(run), frame_(frame), language_(language), folders_(folders), faults_(faults),
          english_(TextsOf(UILanguage::English)), shown_(TextsOf(language.set)) {}

    // The caption of the window in front of the frame ("" for none).
    std::wstring Front() { return run_.QueryState(frame_)[L"popup"]; }

    // Waits for a window in front captioned neither `before` nor `passing`
    // (a window it closes on the way), or captioned `expected` when given;
    // null (and a fault) when none comes.
    HWND WaitForNew(const std::wstring& before, const char* name, const std::wstring& passing = L"",
                    const std::wstring& expected = L"") {
        std::wstring caption;
        if (!WaitFor([&] {
                caption = Front();
                if (!expected.empty()) return caption == expected;
                return !caption.empty() && caption != before && caption != passing;
            }, 400)) {
            Fault(name, "not shown");
            return nullptr;
        }
        Sleep(200);  // the dialog's texts are set as it opens
        return FindWindowW(nullptr, Front().c_str());
    }

    // The window's faults, the glyphs of one of its controls, a picture. A
    // message box's buttons are the system's, in the system's language.
    void Check(const char* name, HWND window, int glyphControl = 0, bool shoot = false, bool box = false) {
        // A window gets its texts as it opens, a file dialog a moment after
        // it shows: its faults are those left once it has them.
        std::string found;
        WaitFor([&] {
            auto state = run_.QueryState(frame_);
            if (box)
                for (auto it = state.begin(); it != state.end();)
                    it = it->second.starts_with(L"1|") || it->second.starts_with(L"2|") ? state.erase(it)
                                                                                        : std::next(it);
            found = PopupFaults(state, language_, english_, shown_);
            return found.empty();
        }, 80);
        if (!found.empty()) faults_ += std::string(language_.name) + " " + name + ":\n" + found;
        if (!window) return;
        GlyphSearch search{glyphControl};
        EnumChildWindows(window, &FindGlyphTarget, reinterpret_cast<LPARAM>(&search));
        HWND target = search.byId ? search.byId : search.label ? search.label : search.button;
        if (target) {
            wchar_t kept[512] = {};  // asked of the control: another process's edit keeps no window name
            SendMessageW(target, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(kept));
            const auto glyphs = screen_ink::DrawsRealGlyphs(
                [&](const std::wstring& text) {
                    SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                    Sleep(40);
                    return screen_ink::InkOf(target);
                },
                Scripts());
            if (!glyphs) Fault(name, std::string("glyphs of control ") + std::to_string(GetDlgCtrlID(target)) + ": " + glyphs.message());
            SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kept));
        }
        if (shoot) {
            EXPECT_TRUE(WaitUntilDrawn(window)) << name;
            std::wstring file(name, name + strlen(name));
            for (wchar_t& c : file)
                if (c == L' ' || c == L':') c = L'_';
            EXPECT_TRUE(SaveScreenshot(folders_.root + L"\\" + file + L".png")) << name;
        }
    }

    // Closes the window by its Cancel and waits for `before` in front again.
    bool Close(const char* name, HWND window, const std::wstring& before, UINT command = IDCANCEL) {
        if (window) PostMessageW(window, WM_COMMAND, command, 0);
        if (WaitFor([&] { return Front() == before; }, 400)) return true;
        Fault(name, "did not close");
        return false;
    }

    // The scripts the interface language writes its texts in.
    std::vector<screen_ink::ScriptSamples> Scripts() const {
        std::vector<screen_ink::ScriptSamples> scripts;
        for (const screen_ink::ScriptSamples& s : screen_ink::AllScripts()) {
            const std::string script = s.script;
            if (script == "Latin" || (script == "Cyrillic" && language_.set == UILanguage::Russian) ||
                ((script == "kana" || script == "kanji") && language_.set == UILanguage::Japanese))
                scripts.push_back(s);
        }
        return scripts;
    }

    void Fault(const char* name, const std::string& what) {
        faults_ += std::string(language_.name) + " " + name + ": " + what + "\n";
    }
    const Language& language() const { return language_; }

private:
    ProgramRun& run_;
    HWND frame_;
    const Language& language_;
    const TestFolders& folders_;
    std::string& faults_;
    std::set<std::wstring> english_, shown_;
};

// A start with `dictionaries` of ui/e2e-data on the list (the EDICT slice;
// a stored book of four scripts, the whole EDICT), the window shown in `language`.
TestFolders PrepareLanguage(const std::wstring& test, const Language& language,
                            std::initializer_list<const wchar_t*> dictionaries = {L"edict-slice"}) {
    TestFolders folders = PrepareTest(test + L"." + std::wstring(language.name, language.name + strlen(language.name)));
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::wstring files;
    int slot = 1;
    for (const wchar_t* name : dictionaries) {
        const std::wstring dictionary = folders.DictionariesFolder() + L"\\" + name + L".qdx";
        EXPECT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\" + name + L".qdx").c_str(), dictionary.c_str(), FALSE));
        files += L"File" + std::to_wstring(slot++) + L"=" + dictionary + L",0\r\n";
    }
    WriteSettings(folders, std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=") + language.flags +
                               L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n"
                               L"[Dictionaries]\r\n" + files);
    return folders;
}

// The text of "Line %d from %d" before its first number.
std::wstring LineCountPrefix(UILanguage language) {
    const std::wstring format = Wide(UIExtraTextSet(language)[static_cast<int>(UIExtraText::kLineCount)].text);
    return format.substr(0, format.find(L'%'));
}

TEST(InterfaceTexts, EveryWindowSpeaksTheInterfaceLanguageAndCutsNoLabel) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    std::string faults;
    for (size_t l = 0; l < std::size(kLanguages); ++l) {
        const Language& language = kLanguages[l];
        TestFolders folders = PrepareLanguage(L"InterfaceTexts", language, {L"edict-slice", L"scripts-book"});
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr) << language.name;
        Tour tour(run, frame, language, folders, faults);
        // The status line's count, once the reading list holds the slice.
        std::map<std::wstring, std::wstring> state;
        ASSERT_TRUE(WaitFor([&] { return !(state = run.QueryState(frame))[L"status.1"].empty(); })) << language.name;
        if (!state[L"status.1"].starts_with(LineCountPrefix(language.set)))
            tour.Fault("status line", "\"" + Utf8(state[L"status.1"]) + "\"");

        for (const Window& window : kWindows) {
            PostMessageW(frame, WM_COMMAND, window.command, 0);
            HWND popup = tour.WaitForNew(L"", window.name);
            if (!popup) continue;
            tour.Check(window.name, popup);
            if (window.command == 40645) {
                for (const Window& page : kSettingsPages) {
                    PostMessageW(popup, WM_COMMAND, page.command, 0);
                    run.WaitForPostedMessages(frame);  // the page is shown
                    tour.Check(page.name, popup, 0, language.set != UILanguage::English);
                }
            }
            if (!tour.Close(window.name, popup, L"")) break;
        }
        const bool shoot = language.set != UILanguage::English;
        // The book reader on the stored book: its book and language boxes,
        // the table-of-contents switch, "+" and "-".
        PostMessageW(frame, WM_COMMAND, kBookReaderCommand, 0);
        if (HWND reader = tour.WaitForNew(L"", "Book reader with a book")) {
            tour.Check("Book reader with a book", reader, kTableOfContents, shoot);
            tour.Close("Book reader with a book", reader, L"");
        }
        // The article editor of a new article: its buttons under the text.
        PostMessageW(frame, WM_COMMAND, kNewArticleCommand, 0);
        if (HWND editor = tour.WaitForNew(L"", "Article editor")) {
            tour.Check("Article editor", editor, 0, shoot);
            tour.Close("Article editor", editor, L"", kEditorCancel);
        }

        // Switching the language retells the status line at once, the row unmoved.
        const Language& next = kLanguages[(l + 1) % std::size(kLanguages)];
        PostMessageW(frame, WM_COMMAND, next.command, 0);
        ASSERT_TRUE(WaitFor([&] {
            return (state = run.QueryState(frame))[L"language"] == std::to_wstring(static_cast<int>(next.set));
        })) << language.name;
        ASSERT_TRUE(run.WaitForPostedMessages(frame)) << language.name;
        state = run.QueryState(frame);
        if (!state[L"status.1"].starts_with(LineCountPrefix(next.set)))
            tour.Fault("status line after switching", "\"" + Utf8(state[L"status.1"]) + "\"");
        EXPECT_EQ(run.Exit(frame), 0) << language.name;
    }
    EXPECT_TRUE(faults.empty()) << faults;
}

// The dialogs a user reaches from the dictionaries dialog, and the book
// reader with its file dialog, in each language; pictures of each kept in
// the test's folder for the Russian and Japanese runs.
TEST(DialogTexts, NestedDialogsAndTheBookReaderSpeakTheInterfaceLanguage) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    std::string faults;
    for (const Language& language : kLanguages) {
        TestFolders folders = PrepareLanguage(L"DialogTexts", language, {L"edict-slice", L"edict"});
        const std::wstring source = folders.root + L"\\edict-slice";
        ASSERT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\edict-slice").c_str(), source.c_str(), FALSE));
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr) << language.name;
        Tour tour(run, frame, language, folders, faults);
        const bool shoot = language.set != UILanguage::English;

        PostMessageW(frame, WM_COMMAND, kDictionariesCommand, 0);
        HWND dictionaries = tour.WaitForNew(L"", "Dictionaries");
        ASSERT_NE(dictionaries, nullptr) << language.name;
        const std::wstring listCaption = tour.Front();
        HWND list = GetDlgItem(dictionaries, kInstalledList);

        // A new personal dictionary: the dialog, then made.
        PostMessageW(dictionaries, WM_COMMAND, 40147, 0);
        if (HWND create = tour.WaitForNew(listCaption, "New dictionary")) {
            tour.Check("New dictionary", create, 0, shoot);
            SetDlgItemTextW(create, 1186, L"Mine");
            tour.Close("New dictionary", create, listCaption, IDOK);
        }
        ASSERT_TRUE(WaitFor([&] { return RowOf(list, L"Mine.qdx") >= 0; })) << language.name;
        // The File column shows every name whole (beside its check box and
        // picture), so that Mine.qdx and Personal.qdx are told apart; the
        // count, date and size columns are as wide as the list makes a column
        // to show an entry whole (its text and 12 pixels), the whole EDICT's
        // 41,865,216 bytes among them.
        const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < 4; ++column) {
            const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
            for (int row = 0; row < rows; ++row) {
                const std::wstring cell = Cell(list, row, column);
                RemoteMemory text(list, (cell.size() + 1) * sizeof(wchar_t));
                text.Write(0, cell.c_str(), (cell.size() + 1) * sizeof(wchar_t));
                const int needed = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, text.At(0))) +
                                   (column == 0 ? 2 * 16 + 8 : 12);
                if (width < needed)
                    tour.Fault("Dictionaries", "column " + std::to_string(column) + " of " + std::to_string(width) +
                                                   " px cuts " + Utf8(cell) + " (" + std::to_string(needed) + " px)");
            }
        }

        // The dialogs of the new (empty, editable) dictionary.
        SelectRow(list, RowOf(list, L"Mine.qdx"));
        struct Nested {
            UINT command;
            const char* name;
            int glyphControl;
        };
        for (const Nested& nested : {Nested{40072, "Properties", kPropertiesSize}, Nested{40157, "Optimize", 0},
                                     Nested{40686, "Book loader", 0}}) {
            PostMessageW(dictionaries, WM_COMMAND, nested.command, 0);
            HWND dialog = tour.WaitForNew(listCaption, nested.name);
            if (!dialog) continue;
            tour.Check(nested.name, dialog, nested.glyphControl, shoot);
            if (!tour.Close(nested.name, dialog, listCaption)) break;
        }
        // The properties of the EDICT slice: its size in bytes, read in the interface's script.
        SelectRow(list, RowOf(list, L"edict-slice.qdx"));
        PostMessageW(dictionaries, WM_COMMAND, 40072, 0);
        if (HWND properties = tour.WaitForNew(listCaption, "Properties of a compiled dictionary")) {
            tour.Check("Properties of a compiled dictionary", properties, kPropertiesSize, shoot);
            tour.Close("Properties of a compiled dictionary", properties, listCaption);
        }
        // A source file added to the list asks for its conversion.
        PostMessageW(dictionaries, WM_COMMAND, 1003, 0);
        if (HWND files = tour.WaitForNew(listCaption, "Add dictionary")) {
            HWND name = FindChild(files, L"Edit", 0);
            if (!name) name = GetDlgItem(files, 0x480);
            SendMessageW(name ? name : GetDlgItem(files, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(source.c_str()));
            const std::wstring filesCaption = tour.Front();
            PostMessageW(files, WM_COMMAND, IDOK, 0);
            if (HWND convert = tour.WaitForNew(filesCaption, "Conversion", listCaption)) {
                tour.Check("Conversion", convert, 0, shoot);
                tour.Close("Conversion", convert, listCaption);
            }
        }
        tour.Close("Dictionaries", dictionaries, L"", IDOK);

        // The book reader (no book: its message first), then the file dialog
        // that Ctrl+click on the book button opens.
        PostMessageW(frame, WM_COMMAND, kBookReaderCommand, 0);
        const std::wstring noBooks = Wide(UITextSet(language.set)[662].text);
        if (HWND box = tour.WaitForNew(L"", "No books message", L"", noBooks)) {
            const std::wstring boxCaption = tour.Front();
            tour.Check("No books message", box, 0, false, true);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            if (HWND reader = tour.WaitForNew(boxCaption, "Book reader")) {
                tour.Check("Book reader", reader, kTableOfContents, shoot);
                tour.Close("Book reader", reader, L"");
            }
        }
        HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 1);
        ASSERT_NE(toolbar, nullptr);
        RemoteMemory rect(toolbar, sizeof(RECT));
        SendMessageW(toolbar, TB_GETRECT, kBookReaderCommand, rect.At(0));
        RECT button{};
        rect.Read(0, &button, sizeof(button));
        POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        ClientToScreen(toolbar, &centre);
        SetForegroundWindow(frame);
        SetCursorPos(centre.x, centre.y);
        INPUT inputs[4] = {};
        for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = VK_CONTROL;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[2].type = INPUT_MOUSE;
        inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        inputs[3].ki.wVk = VK_CONTROL;
        inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, inputs, sizeof(INPUT));
        if (HWND book = tour.WaitForNew(L"", "Text book file dialog")) {
            tour.Check("Text book file dialog", book, 0, shoot);
            tour.Close("Text book file dialog", book, L"");
        }
        EXPECT_EQ(run.Exit(frame), 0) << language.name;
    }
    EXPECT_TRUE(faults.empty()) << faults;
}

}  // namespace
