// The article editor with an article of the shape users write, in
// OstrelPro.exe under Wine, timed where the user waits: 400 paragraphs of
// EDICT lines and Russian words, 32,767 units (the longest article), opened
// from the clipboard, saved, opened again with Edit, typed into one real key
// at a time (Backspace and a letter by turns, in the middle of the text),
// saved again; and 30,000 units pasted into an empty editor with Ctrl+V.
// Each step is timed until the window has answered and painted. The peers,
// in the same run: a bare RichEdit 2.0 control in this process given the
// same text by its own EM_STREAMIN (the floor of an open), the same keys in
// a short article in the same editor (a key's floor on the same path), and
// the same text opened from the clipboard (what a paste is held to).
// Medians, 90th percentiles and worst of the rounds, and the ratios.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "article/win/rich_edit_stream.h"
#include "common/win/tests/key_typing.h"
#include "ui/e2e/article_paragraphs.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using namespace editor_windows;

constexpr size_t kParagraphs = 400;
constexpr size_t kLongest = 32767;
constexpr size_t kPasted = 30000;
int g_rounds = 3;  // the first argument, when given
constexpr int kKeyPairs = 20;  // Backspace and a letter, per round
constexpr UINT kFromClipboard = 40083, kNewArticle = 40067, kEditCurrent = 40064, kSave = 1362;

struct Clock {
    LARGE_INTEGER start{};
    Clock() { QueryPerformanceCounter(&start); }
    double Ms() const {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
};

struct Figures {
    std::vector<double> values;
    double Median() const { return At(0.5); }
    double P90() const { return At(0.9); }
    double Worst() const { return At(1.0); }
    double At(double share) const {
        if (values.empty()) return 0;
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, static_cast<size_t>(share * static_cast<double>(sorted.size())))];
    }
};

// The text's length with every paragraph end counted as CR LF, as the
// clipboard's text holds it (the editor counts one unit for each).
LRESULT Length(HWND control) { return SendMessageW(control, WM_GETTEXTLENGTH, 0, 0); }

// A text as a control holds it: each CR LF one paragraph end.
std::wstring AsControlHolds(std::wstring text) {
    for (size_t at = 0; (at = text.find(L"\r\n", at)) != std::wstring::npos;) text.erase(at + 1, 1);
    return text;
}

// The control's text as WM_GETTEXT gives it (paragraph ends as CR LF).
std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<size_t>(Length(control)) + 1, L'\0');
    // Sent, not GetWindowTextW, which reads another process's control's caption.
    text.resize(static_cast<size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The editor window and what it shows are painted (its margin and text).
void Painted(HWND editor) { RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// Waits (without sleeping in between) until `done`, at most `limitMs`.
bool Spin(const auto& done, double limitMs = 60000) {
    Clock clock;
    while (!done())
        if (clock.Ms() > limitMs) return false;
    return true;
}

// An editor other than `skip` holding `units`, null after a minute.
HWND EditorWith(LRESULT units, HWND skip = nullptr) {
    HWND editor = nullptr;
    Spin([&] {
        editor = FindEditorWindow(skip);
        return editor && Length(GetDlgItem(editor, kTextId)) == units;
    });
    if (editor && Length(GetDlgItem(editor, kTextId)) == units) return editor;
    std::printf("no editor with %ld units (%s)\n", static_cast<long>(units),
                editor ? std::to_string(Length(GetDlgItem(editor, kTextId))).c_str() : "none");
    return nullptr;
}

// Milliseconds from `act` until an editor holds `units`, has answered and painted.
double TimeOpen(HWND& editor, LRESULT units, const auto& act, HWND skip = nullptr) {
    Clock clock;
    act();
    editor = EditorWith(units, skip);
    if (!editor) return -1;
    Painted(editor);
    return clock.Ms();
}

double TimeSave(HWND editor) {
    Clock clock;
    PostMessageW(editor, WM_COMMAND, kSave, 0);
    return Spin([&] { return !IsWindow(editor); }) ? clock.Ms() : -1;
}

void CloseUnsaved(HWND editor) {
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169), 40)) CloseBox(question, IDNO);
    WaitFor([&] { return !IsWindow(editor); });
}

// One key pressed and released in the focused text; timed until the text
// length is `expected` (the program has handled it) and the editor painted.
double TimeKey(HWND editor, HWND text, WORD key, LRESULT expected) {
    Clock clock;
    key_typing::PressKey(key);
    if (!Spin([&] { return Length(text) == expected; }, 20000)) return -1;
    Painted(editor);
    return clock.Ms();
}

// Backspace and a letter by turns at `at`; every key's time.
void TimeKeyPairs(HWND editor, Figures& keys, LRESULT at) {
    HWND text = GetDlgItem(editor, kTextId);
    key_typing::FocusWindow(text);
    SendMessageW(text, EM_SETSEL, at, at);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    Painted(editor);
    const LRESULT length = Length(text);
    for (int i = 0; i < kKeyPairs; ++i) {
        keys.values.push_back(TimeKey(editor, text, VK_BACK, length - 1));
        keys.values.push_back(TimeKey(editor, text, static_cast<WORD>('A' + i % 26), length));
    }
}

// The floor of an open: a bare control of the editor's size, the text
// streamed in as plain UTF-16 by the control's own EM_STREAMIN.
void MeasureStreamIn(const std::wstring& text, Figures& open) {
    LoadLibraryW(L"Riched20.dll");
    HWND parent = CreateWindowExW(0, L"STATIC", L"peer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 560, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND control = CreateWindowExW(0, L"RichEdit20W", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                                   38, 29, 640, 380, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kLongest));
    Clock clock;
    StreamIntoRichEdit(control, SF_TEXT | SF_UNICODE, text.data(), static_cast<int32_t>(text.size() * sizeof(wchar_t)));
    UpdateWindow(control);
    open.values.push_back(clock.Ms());
    DestroyWindow(parent);
}

void Row(const char* name, const Figures& f, const Figures* peer, const char* aim) {
    std::printf("  %-34s %8.1f %8.1f %8.1f", name, f.Median(), f.P90(), f.Worst());
    if (peer && peer->Median() > 0) std::printf("  %6.1f x peer", f.Median() / peer->Median());
    else std::printf("  %13s", "");
    std::printf("  %s\n", aim);
}

double LoadAverage() {
    FILE* file = std::fopen("/proc/loadavg", "r");  // Wine maps Unix paths
    double load = -1;
    if (file) {
        if (std::fscanf(file, "%lf", &load) != 1) load = -1;
        std::fclose(file);
    }
    return load;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_rounds = std::max(1, std::atoi(argv[1]));
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::wstring longest = ArticleParagraphs(kParagraphs, kLongest);
    const std::wstring pasted = ArticleParagraphs(kParagraphs * kPasted / kLongest, kPasted);
    if (longest.empty() || pasted.empty()) {
        std::printf("EDICT or the Russian hunspell list is missing\n");
        return 1;
    }
    const std::wstring reading = longest.substr(0, longest.find(L'\r'));
    const std::wstring plain = AsControlHolds(longest);

    Figures open, save, edit, keys, resave, paste, pasteOpen, peerOpen, shortKeys;
    for (int round = 0; round < g_rounds; ++round) MeasureStreamIn(plain, peerOpen);

    TestFolders folders = PrepareTest(L"EditorLoadBench");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor(120000);
    if (!frame) {
        std::printf("the program did not start\n");
        return 1;
    }
    for (int round = 0; round < g_rounds; ++round) {
        HWND editor = nullptr;
        PutClipboardText(longest);
        open.values.push_back(
            TimeOpen(editor, longest.size(), [&] { PostMessageW(frame, WM_COMMAND, kFromClipboard, 0); }));
        if (!editor) break;
        save.values.push_back(TimeSave(editor));
        if (!MakeReadingCurrent(run, frame, reading)) {
            std::printf("the saved article is not listed under %ls\n", reading.c_str());
            break;
        }
        edit.values.push_back(TimeOpen(editor, longest.size(), [&] { PostMessageW(frame, WM_COMMAND, kEditCurrent, 0); }));
        if (!editor) break;
        TimeKeyPairs(editor, keys, static_cast<LRESULT>(kLongest / 2));
        resave.values.push_back(TimeSave(editor));

        // The paste, and the same text opened from the clipboard (its route's own time).
        PutClipboardText(pasted);
        pasteOpen.values.push_back(
            TimeOpen(editor, pasted.size(), [&] { PostMessageW(frame, WM_COMMAND, kFromClipboard, 0); }));
        if (editor) CloseUnsaved(editor);
        HWND empty = nullptr;
        TimeOpen(empty, 0, [&] { PostMessageW(frame, WM_COMMAND, kNewArticle, 0); });
        if (!empty) break;
        // The same keys in a short article, then the paste over it.
        HWND text = GetDlgItem(empty, kTextId);
        key_typing::TypeKeys(text, L"lorem ipsum", 20);
        if (!Spin([&] { return Length(text) == 11; })) break;
        TimeKeyPairs(empty, shortKeys, 11);
        SendMessageW(text, EM_SETSEL, 0, -1);
        Clock clock;
        key_typing::PressKey('V', true);
        if (Spin([&] { return Length(text) == static_cast<LRESULT>(pasted.size()); })) {
            Painted(empty);
            const double ms = clock.Ms();
            // Timed only when the editor holds the clipboard's very text.
            const std::wstring held = ControlText(text);
            if (held != pasted) {
                size_t at = 0;
                while (at < held.size() && at < pasted.size() && held[at] == pasted[at]) ++at;
                std::printf("the pasted editor holds %zu units, the clipboard %zu; they differ from unit %zu\n",
                            held.size(), pasted.size(), at);
            }
            paste.values.push_back(held == pasted ? ms : -1);
        }
        CloseUnsaved(empty);
    }
    // Every step of every round done (a step that failed gives -1 or no
    // time at all), before any time is given.
    const size_t rounds = static_cast<size_t>(g_rounds), keyCount = rounds * 2 * kKeyPairs;
    const std::tuple<const char*, const Figures*, size_t> steps[] = {
        {"open from the clipboard", &open, rounds},  {"save", &save, rounds},
        {"Edit", &edit, rounds},                     {"keys in the long article", &keys, keyCount},
        {"save after the keys", &resave, rounds},    {"open of 30,000", &pasteOpen, rounds},
        {"paste of 30,000 (the clipboard's text in the editor)", &paste, rounds},
        {"keys in the short article", &shortKeys, keyCount}};
    for (const auto& [step, figures, wanted] : steps) {
        const auto& v = figures->values;
        if (v.size() != wanted || std::any_of(v.begin(), v.end(), [](double ms) { return ms < 0; })) {
            std::printf("the %s did not finish in every round (%zu of %zu)\n", step,
                        static_cast<size_t>(std::count_if(v.begin(), v.end(), [](double ms) { return ms >= 0; })),
                        wanted);
            run.Exit(frame);
            return 1;
        }
    }
    std::printf("every step of every round finished: each editor held its text's units (the pasted one the"
                " clipboard's very text), each save closed its editor and listed the article\n");
    const double load = LoadAverage();
    std::printf("the article editor, %zu paragraphs of %zu units (EDICT and Russian words), %d rounds, load %.1f\n",
                kParagraphs, kLongest, g_rounds, load);
    std::printf("  %-34s %8s %8s %8s  (ms)\n", "", "median", "90%", "worst");
    Row("open from the clipboard", open, &peerOpen, "aim 1000");
    Row("save a new article", save, nullptr, "aim 1000");
    Row("Edit: open the stored article", edit, &peerOpen, "aim 1000");
    Row("a key (Backspace, a letter)", keys, &shortKeys, "aim 50; peer: the short article's");
    Row("save the edited article", resave, nullptr, "aim 1000");
    Row("open 30,000 from the clipboard", pasteOpen, &peerOpen, "");
    Row("paste 30,000 with Ctrl+V", paste, &pasteOpen, "aim: within the open's time; peer: the open");
    Row("peer: EM_STREAMIN, plain text", peerOpen, nullptr, "");
    Row("peer: a key in 11 units", shortKeys, nullptr, "");
    return run.Exit(frame) == 0 ? 0 : 1;
}
