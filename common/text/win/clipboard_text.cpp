// GetClipboardText: the clipboard's Unicode text, copied out while the
// clipboard is open and its block locked; both are released on every path.
#include "common/text/win/clipboard_text.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

constexpr int kOpenTries = 50;  // of 20 ms each
constexpr DWORD kOpenPauseMs = 20;

class OpenedClipboard {
public:
    OpenedClipboard() : open_(OpenClipboardPatiently(nullptr)) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool ok() const { return open_; }

private:
    bool open_;
};

class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~LockedBlock() {
        if (data_ != nullptr) GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const void* data() const { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace

bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(kOpenPauseMs);
    }
    return false;
}

ClipboardText ReadClipboardText() {
    ClipboardText result;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return result;
    OpenedClipboard clipboard;
    if (!clipboard.ok()) return result;
    HGLOBAL block = GetClipboardData(CF_UNICODETEXT);
    if (block == nullptr) return result;
    SIZE_T bytes = GlobalSize(block);
    if (bytes == 0) return result;
    LockedBlock locked(block);
    if (locked.data() == nullptr) return result;

    // The block's size bounds the copy; the text may lack its own 0.
    size_t units = bytes / sizeof(char16_t);
    std::unique_ptr<char16_t[]> copy(new (std::nothrow) char16_t[units + 1]);
    if (!copy) return result;
    std::memcpy(copy.get(), locked.data(), units * sizeof(char16_t));
    copy[units] = 0;
    size_t length = 0;
    while (copy[length] != 0) ++length;
    if (length == 0) return result;
    result.text = std::move(copy);
    result.length = static_cast<uint32_t>(length);
    return result;
}

int32_t GetClipboardText(char16_t** buffer, uint32_t* length) {
    if (buffer != nullptr) *buffer = nullptr;
    if (length != nullptr) *length = 0;
    if (buffer == nullptr) return 0;
    ClipboardText text = ReadClipboardText();
    if (!text.text) return 0;
    if (length != nullptr) *length = text.length;
    *buffer = text.text.release();
    return static_cast<int32_t>(text.length);
}
