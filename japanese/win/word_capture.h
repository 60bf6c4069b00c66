// The capture from the word processor's window ("OpusApp"): its open document
// is found in the running object table by the file name in the window's
// caption, and the range at the pointer, widened by 20 characters each side,
// is read through automation by member names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>

#include "japanese/win/capture_sink.h"
#include "japanese/win/com_holders.h"

namespace ostrel::japanese {

// Whether this process runs elevated (a token that cannot be read: no).
bool ProcessIsElevated();

class WordProcessorCapture {
public:
    // 0 when the window has no caption, else 1 (also when nothing was found).
    int32_t GetWordFromWord(HWND window, const CaptureTranslate& translate);

    // The IDispatch of the running document whose base name the caption
    // holds (the longest such name first); empty when none binds. The first
    // miss of the run makes the note due and calls `postNote`.
    ComPtr<IDispatch> FindWordDocument(std::u16string_view caption);

    // Shows the note made due by a miss, once per run, owned by `owner`. The
    // frame calls it after the step has returned: a box inside the step would
    // hold the timer (a beep on every tick) and re-enter it.
    void ShowPendingNote(HWND owner);

    // Seams: the elevation query, the request to show the note later, the box.
    std::function<bool()> isElevated = ProcessIsElevated;
    std::function<void()> postNote;
    std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)> messageBox = MessageBoxW;

private:
    bool noteTaken_ = false;  // the run's one note was made due
    bool noteDue_ = false;    // made due and not shown yet
    bool noteElevated_ = false;
};

}  // namespace ostrel::japanese
