// What the editor's end-to-end cases ask of the program's windows from
// outside: waiting, the editor window, a control's whole text, how soon a
// window's thread answers, and the message boxes the program shows.
#pragma once

#include <windows.h>

#include <string>

#include "common/ui_text/ui_text.h"
#include "ui/e2e/machine_pace.h"

namespace editor_windows {

inline constexpr int kTextId = 201;      // the editor's text control
inline constexpr int kProblemsId = 1300;  // the editor's problems box

inline bool WaitFor(const auto& condition, int tries = 100, DWORD pauseMs = 50) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        if (condition()) return true;
        Sleep(pauseMs);
    }
    return condition();
}

namespace detail {
struct EditorSearch {
    HWND skip = nullptr;
    HWND found = nullptr;
};
inline BOOL CALLBACK MatchEditor(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<EditorSearch*>(context);
    if (IsWindowVisible(window) && GetDlgItem(window, kTextId) && GetDlgItem(window, kProblemsId) && window != s->skip) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace detail

// The program's editor window (its text control and problems box) other than
// `skip`, null when none.
inline HWND FindEditorWindow(HWND skip = nullptr) {
    detail::EditorSearch search{skip};
    EnumWindows(detail::MatchEditor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::wstring WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// `text` as UTF-8, for test messages.
inline std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                           static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(length > 0 ? length : 0));
    return out;
}

// Milliseconds until `window`'s thread answers a message, or -1 after `limitMs`.
inline long AnswerTime(HWND window, UINT limitMs) {
    const DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result)) return -1;
    return static_cast<long>(GetTickCount() - start);
}

// A text of the interface's string table in `language`.
inline std::wstring Slot(UILanguage language, int slot) {
    return reinterpret_cast<const wchar_t*>(UITextSet(language)[slot].text);
}

// The message box captioned `caption` once it is up (null after the tries),
// and the text it shows.
inline HWND WaitForBox(const std::wstring& caption, int tries = 100) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindWindowW(L"#32770", caption.c_str())) != nullptr; }, tries);
    return box;
}
inline std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }
// Presses `button` in `box` and waits until it is gone.
inline bool CloseBox(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, button, 0);
    return WaitFor([&] { return !IsWindow(box); });
}

}  // namespace editor_windows
