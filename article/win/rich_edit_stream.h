// Streaming bytes into and out of a rich edit control. Each call carries its
// own {buffer, capacity, position} through the EDITSTREAM cookie, so streams
// may nest or repeat freely and never read or write past their buffer.
#pragma once

#include <windows.h>

#include <cstdint>

struct RichEditStreamResult {
    int32_t bytes = 0;  // bytes the control took (in) or handed over (out)
    bool ok = false;    // the control reported no error and nothing was cut
};

// EM_STREAMIN of `size` bytes in `format` (SF_TEXT, SF_RTF, with SF_UNICODE).
RichEditStreamResult StreamIntoRichEdit(HWND control, UINT format, const void* bytes, int32_t size);
// EM_STREAMOUT into `capacity` bytes; a stream longer than that stops at the
// capacity with ok false.
RichEditStreamResult StreamOutOfRichEdit(HWND control, UINT format, void* bytes, int32_t capacity);
