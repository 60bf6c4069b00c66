// The two EDITSTREAM callbacks of the program, over a per-call byte buffer.
#include "article/win/rich_edit_stream.h"

#include <richedit.h>

#include <cstring>

namespace {

struct ByteStream {
    BYTE* buffer;
    LONG capacity;  // bytes
    LONG position;  // bytes done, never above capacity
    bool cut;       // the control had more than capacity to hand out
};

// Hands the control what it asks for, up to what is left, and advances by
// what it copied; 0 bytes once everything is out.
DWORD CALLBACK TextStreamInCallback(DWORD_PTR cookie, LPBYTE out, LONG wanted, LONG* given) {
    auto* stream = reinterpret_cast<ByteStream*>(cookie);
    const LONG remaining = stream->capacity - stream->position;
    const LONG count = wanted < 0 ? 0 : (wanted < remaining ? wanted : remaining);
    if (count > 0) std::memcpy(out, stream->buffer + stream->position, static_cast<size_t>(count));
    stream->position += count;
    *given = count;
    return 0;
}

// Takes what the control hands over while it fits; stops the stream with an
// error at the capacity.
DWORD CALLBACK TextStreamOutCallback(DWORD_PTR cookie, LPBYTE in, LONG count, LONG* taken) {
    auto* stream = reinterpret_cast<ByteStream*>(cookie);
    const LONG room = stream->capacity - stream->position;
    const LONG copy = count < 0 ? 0 : (count < room ? count : room);
    if (copy > 0) std::memcpy(stream->buffer + stream->position, in, static_cast<size_t>(copy));
    stream->position += copy;
    *taken = copy;
    if (copy < count) {
        stream->cut = true;
        return 1;
    }
    return 0;
}

RichEditStreamResult Run(HWND control, UINT message, UINT format, BYTE* bytes, int32_t size,
                         EDITSTREAMCALLBACK callback) {
    ByteStream stream = {bytes, size < 0 ? 0 : size, 0, false};
    EDITSTREAM edit = {};
    edit.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
    edit.pfnCallback = callback;
    RichEditStreamResult result;
    if (!control) return result;
    SendMessageW(control, message, format, reinterpret_cast<LPARAM>(&edit));
    result.bytes = stream.position;
    result.ok = edit.dwError == 0 && !stream.cut;
    return result;
}

}  // namespace

RichEditStreamResult StreamIntoRichEdit(HWND control, UINT format, const void* bytes, int32_t size) {
    return Run(control, EM_STREAMIN, format, static_cast<BYTE*>(const_cast<void*>(bytes)), size, TextStreamInCallback);
}

RichEditStreamResult StreamOutOfRichEdit(HWND control, UINT format, void* bytes, int32_t capacity) {
    return Run(control, EM_STREAMOUT, format, static_cast<BYTE*>(bytes), capacity, TextStreamOutCallback);
}
