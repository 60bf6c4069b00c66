// One tick of the text-under-cursor translation: gate, rest, window walk and
// the capture of the class found.
#include "japanese/win/under_cursor_step.h"

#include <oleauto.h>

#include "japanese/win/com_holders.h"

namespace ostrel::japanese {

namespace {

constexpr int kClassUnits = 255;

// The capture of the first window from `window` up through its parents
// whose class is known; kNone when a class cannot be read or none is known.
CaptureKind FindCaptureWindow(HWND& window) {
    for (; window; window = GetParent(window)) {
        wchar_t name[kClassUnits + 1] = {};
        int length = GetClassNameW(window, name, kClassUnits);
        if (length <= 0) return CaptureKind::kNone;
        CaptureKind kind =
            MatchCaptureClass(std::u16string_view(reinterpret_cast<const char16_t*>(name), static_cast<size_t>(length)));
        if (kind != CaptureKind::kNone) return kind;
    }
    return CaptureKind::kNone;
}

}  // namespace

UnderCursorStep::UnderCursorStep(IUnderCursorHost& host)
    : host_(host), translate_([this](const std::u16string& text, int32_t caret) { host_.TranslateText(text, caret); }) {
    word.postNote = [this] { host_.PostNote(); };
}

int32_t UnderCursorStep::PollTextUnderCursor() noexcept {
    try {
        if (!MayPollUnderCursor(host_.Gate())) return 0;
        if (IsIconic(host_.MainWindow())) return 0;
        POINT point{};
        if (!getCursorPos || !getCursorPos(&point)) return 0;
        if (!host_.Rest().Track(point.x, point.y)) return 0;
        HWND window = WindowFromPoint(point);
        if (!window) return 0;
        CaptureKind kind = FindCaptureWindow(window);
        if (kind != CaptureKind::kNone) Capture(kind, window);
    } catch (...) {
        // A capture that failed ends the step quietly.
    }
    return 0;
}

void UnderCursorStep::ShowPendingNote() noexcept {
    try {
        word.ShowPendingNote(host_.MainWindow());
    } catch (...) {
    }
}

void UnderCursorStep::Capture(CaptureKind kind, HWND window) {
    switch (kind) {
    case CaptureKind::kWordProcessor:
        word.GetWordFromWord(window, translate_);
        break;
    case CaptureKind::kBrowserControl:
        browser.GetWordFromInternetExplorer(window, translate_);
        break;
    case CaptureKind::kAccessible2:
        accessible.GetWordFromChromium(window, translate_);
        break;
    case CaptureKind::kBookView:
        AskBookView(window);
        break;
    case CaptureKind::kNone:
        break;
    }
}

void UnderCursorStep::AskBookView(HWND view) {
    // The message carries this process's addresses: a book view of another
    // process (a second instance) would write through them into its own.
    DWORD process = 0;
    GetWindowThreadProcessId(view, &process);
    if (process != GetCurrentProcessId()) return;
    int32_t offset = -1;
    BstrHolder line;
    LRESULT answer = SendMessageW(view, kBookTextUnderCursorMessage, reinterpret_cast<WPARAM>(&offset),
                                  reinterpret_cast<LPARAM>(line.Out()));
    if (answer == 0 || !line.Get() || offset < 0 || static_cast<UINT>(offset) >= line.Length()) return;
    host_.TranslateText(line.Text(), offset);
}

}  // namespace ostrel::japanese
