// FrameUnderCursor: the text-under-cursor step joined to the main window: the
// timer's Poll runs the step over the frame's flags, lists, pointer rest and
// translator, and the note a capture leaves is posted to the frame and shown
// when the frame answers msg::kCaptureNote.
#pragma once

#include "japanese/win/under_cursor_step.h"
#include "ui/frame_slots.h"

class CFrame;

class FrameUnderCursor : public IFrameUnderCursor, private ostrel::japanese::IUnderCursorHost {
public:
    explicit FrameUnderCursor(CFrame& frame);

    void Poll() override { step_.PollTextUnderCursor(); }
    void ShowPendingNote() override;

    ostrel::japanese::UnderCursorStep& Step() { return step_; }

private:
    ostrel::japanese::UnderCursorGate Gate() override;
    HWND MainWindow() override;
    ostrel::japanese::PointerRest& Rest() override;
    void TranslateText(const std::u16string& text, int32_t caret) override;
    void PostNote() override;

    CFrame& frame_;
    ostrel::japanese::UnderCursorStep step_;
};
