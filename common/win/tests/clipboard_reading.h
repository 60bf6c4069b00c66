// Reading the clipboard back in tests: the bytes of one format, and texts
// compared line by line (a rich edit and the clipboard differ only in how
// they end a line).
#pragma once

#include <windows.h>

#include <string>

// The clipboard's bytes of `format` as the system keeps them (the block's
// whole size), empty when it has none; the clipboard is open.
inline std::string ClipboardBytes(UINT format) {
    HANDLE data = GetClipboardData(format);
    if (data == nullptr) return {};
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    std::string copy(bytes, GlobalSize(data));
    GlobalUnlock(data);
    return copy;
}

// `text` with each line end (CR LF, CR, LF, vertical tab) as LF and none at
// its end.
template <class String> String LinesOf(const String& text) {
    String out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\r' || text[i] == '\v' ? '\n' : text[i];
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}
