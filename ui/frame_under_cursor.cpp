// The text-under-cursor step over the main window's state.
#include "ui/frame_under_cursor.h"

#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"

namespace {

// Characters the translator takes either side of the captured caret, and its
// mode for captured text (the run of characters about the caret).
constexpr int32_t kCaptureSpan = 12;
constexpr int32_t kCaptureMode = 0;

}  // namespace

FrameUnderCursor::FrameUnderCursor(CFrame& frame) : frame_(frame), step_(*this) {}

ostrel::japanese::UnderCursorGate FrameUnderCursor::Gate() {
    ostrel::japanese::UnderCursorGate gate;
    gate.flags = g_application ? g_application->flags : 0;
    gate.hasOpenEditors = frame_.lists && frame_.lists->HasOpenEditors();
    gate.autoSwitchTranslationList = frame_.translator ? frame_.translator->AutoSwitchTranslationList() : 1;
    gate.currentKind = frame_.lists ? frame_.lists->CurrentKind() : 0;
    return gate;
}

HWND FrameUnderCursor::MainWindow() { return frame_.Window(); }

ostrel::japanese::PointerRest& FrameUnderCursor::Rest() { return frame_.pointerRest; }

void FrameUnderCursor::TranslateText(const std::u16string& text, int32_t caret) {
    if (frame_.translator) frame_.translator->TranslateText(text, caret, kCaptureSpan, kCaptureSpan, kCaptureMode);
}

void FrameUnderCursor::PostNote() { PostMessageW(frame_.Window(), msg::kCaptureNote, 0, 0); }

void FrameUnderCursor::ShowPendingNote() {
    // The note is a modal box of the program: no capture runs under it.
    uint32_t kept = g_application ? g_application->flags & app_flag::kModalDialog : 0;
    if (g_application) g_application->flags |= app_flag::kModalDialog;
    step_.ShowPendingNote();
    if (g_application) g_application->flags = (g_application->flags & ~app_flag::kModalDialog) | kept;
}
