// The text-under-cursor step that the main window's 100 ms timer runs: when
// the gate allows and the pointer has rested three ticks, the window under it
// and its parents are matched by class, and the first known one's capture
// hands the text there to the translator. The program's own book view is
// asked by a private message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "japanese/under_cursor_rules.h"
#include "japanese/win/accessible2_capture.h"
#include "japanese/win/browser_control_capture.h"
#include "japanese/win/word_capture.h"

namespace ostrel::japanese {

// The book view's answer to this message: wParam the address of an i32
// offset, lParam the address of a BSTR the sender frees; nonzero when it
// stored a line and the offset in it.
inline constexpr UINT kBookTextUnderCursorMessage = 0x8046;

// What the step needs of the program.
class IUnderCursorHost {
public:
    virtual ~IUnderCursorHost() = default;
    virtual UnderCursorGate Gate() = 0;
    // The main window (its minimised state stops the step).
    virtual HWND MainWindow() = 0;
    // The pointer position and rest count, reset by the on and off commands.
    virtual PointerRest& Rest() = 0;
    // Translates around the caret (12 characters either side, the run about it).
    virtual void TranslateText(const std::u16string& text, int32_t caret) = 0;
    // Asks the main window to call ShowPendingNote once the step has returned.
    virtual void PostNote() = 0;
};

class UnderCursorStep {
public:
    explicit UnderCursorStep(IUnderCursorHost& host);
    UnderCursorStep(const UnderCursorStep&) = delete;
    UnderCursorStep& operator=(const UnderCursorStep&) = delete;

    // One step; always 0. Catches everything: no exception may unwind into
    // the timer's caller, which is the system's.
    int32_t PollTextUnderCursor() noexcept;
    // Shows a note a capture left (the word processor's), outside the step.
    void ShowPendingNote() noexcept;

    // The pointer reader (a seam: it can fail, on a locked desktop).
    BOOL(WINAPI* getCursorPos)(POINT*) = ::GetCursorPos;

    WordProcessorCapture word;
    BrowserControlCapture browser;
    Accessible2Capture accessible;

private:
    void Capture(CaptureKind kind, HWND window);
    void AskBookView(HWND view);

    IUnderCursorHost& host_;
    CaptureTranslate translate_;
};

}  // namespace ostrel::japanese
