// ReadClipboardText: the clipboard opened, its block locked and both released
// on every path; the ANSI text is sized by the conversion's own count.
#include "import/win/clipboard_articles.h"

#include "common/app_context.h"
#include "common/ui_text/ui_text.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

constexpr int kCaptionSlot = 401;
constexpr int kNoTextSlot = 402;
constexpr int kNoDataSlot = 403;
constexpr int kNoMemorySlot = 404;

int32_t Refuse(int slot) {
    App().ShowMessage(UIStringTable[slot], UIStringTable[kCaptionSlot], MB_OK);
    return 0;
}

// Up to and including the first zero, at most `units`.
int32_t LengthWithTerminator(const char16_t* text, size_t units) {
    size_t n = 0;
    while (n < units && text[n] != 0) ++n;
    return static_cast<int32_t>(n < units ? n + 1 : units);
}

}  // namespace

int32_t ReadClipboardText(std::unique_ptr<char16_t[]>& out) {
    out.reset();
    const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    if (!unicode && !IsClipboardFormatAvailable(CF_TEXT)) return Refuse(kNoTextSlot);
    if (!OpenClipboard(nullptr)) return Refuse(kNoDataSlot);
    struct Closer {
        ~Closer() { CloseClipboard(); }
    } closer;
    HGLOBAL block = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT);
    if (block == nullptr) return Refuse(kNoDataSlot);
    const SIZE_T size = GlobalSize(block);
    const void* data = size ? GlobalLock(block) : nullptr;
    if (data == nullptr) return Refuse(kNoTextSlot);
    struct Unlocker {
        HGLOBAL block;
        ~Unlocker() { GlobalUnlock(block); }
    } unlocker{block};

    size_t units = unicode ? size / sizeof(char16_t) : 0;
    if (!unicode) {
        const int needed = MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(data), static_cast<int>(size),
                                               nullptr, 0);
        if (needed <= 0) return Refuse(kNoTextSlot);
        units = static_cast<size_t>(needed);
    }
    std::unique_ptr<char16_t[]> text(new (std::nothrow) char16_t[units + 1]);
    if (!text) return Refuse(kNoMemorySlot);
    if (unicode) {
        std::memcpy(text.get(), data, units * sizeof(char16_t));
    } else if (MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(data), static_cast<int>(size),
                                   reinterpret_cast<wchar_t*>(text.get()), static_cast<int>(units)) == 0) {
        return Refuse(kNoTextSlot);
    }
    text[units] = 0;
    const int32_t length = LengthWithTerminator(text.get(), units);
    if (length == 0) return Refuse(kNoTextSlot);
    out = std::move(text);
    return length;
}
