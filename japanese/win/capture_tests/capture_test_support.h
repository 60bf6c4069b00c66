// What the capture tests share: a host that records what the step hands the
// translator, top-level test windows of a given class at a fixed place, and
// the four timer steps that bring a resting pointer to a capture.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "japanese/win/under_cursor_step.h"

namespace ostrel::japanese::testing {

struct Translation {
    std::u16string text;
    int32_t caret = 0;
    bool operator==(const Translation&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Translation& t) {
    out << "(";
    for (char16_t c : t.text) out << (c < 0x80 ? static_cast<char>(c) : '?');
    return out << ", " << t.caret << ")";
}

class RecordingHost : public IUnderCursorHost {
public:
    UnderCursorGate gate{under_cursor_flag::kStarted | under_cursor_flag::kWindowShown | under_cursor_flag::kOn,
                         false, 1, 1};
    HWND mainWindow = nullptr;
    PointerRest rest;
    std::vector<Translation> translations;
    int notesPosted = 0;

    UnderCursorGate Gate() override { return gate; }
    HWND MainWindow() override { return mainWindow; }
    PointerRest& Rest() override { return rest; }
    void TranslateText(const std::u16string& text, int32_t caret) override { translations.push_back({text, caret}); }
    void PostNote() override { ++notesPosted; }
};

// A window class of the test whose procedure is `procedure`; registered
// again when another procedure is asked for under the same name. A null
// procedure keeps what is registered (DefWindowProcW for a new name).
void RegisterTestClass(const wchar_t* name, WNDPROC procedure = nullptr);

// A visible top-level window of `className` with the caption, or a child of
// `parent` filling its client area.
HWND MakeWindow(const wchar_t* className, RECT rect, const wchar_t* caption = L"", HWND parent = nullptr);

// Dispatches what is queued (Wine delivers its window changes through it).
void Pump();

// Puts the pointer at (x, y) and runs the step four times (arrival and
// three ticks at rest); the step's answers.
void RestPointerAt(UnderCursorStep& step, int x, int y);

// Appends to a fake's record of calls; an allocation failure is swallowed,
// since no exception may unwind into the caller's COM frames.
template <typename List, typename Value>
void RecordCall(List& list, const Value& value) noexcept {
    try {
        list.push_back(value);
    } catch (...) {
    }
}

// The centre of a window's rectangle on the screen.
POINT CentreOf(HWND window);

}  // namespace ostrel::japanese::testing
