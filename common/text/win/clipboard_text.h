// Unicode text from the clipboard (paste into the input line, clipboard
// monitoring); the text arrives as a new buffer the caller owns.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

// Opens the clipboard for `owner`, waiting up to a second while another
// program holds it open (a clipboard manager serving the last copy to
// another program does, for a moment after every copy).
bool OpenClipboardPatiently(HWND owner);

// Copies the clipboard's CF_UNICODETEXT into a new zero-terminated buffer,
// which the caller frees with delete[]. Returns the length in units before
// the first 0 (also in *length); 0 with *buffer null when there is no text,
// the clipboard cannot be opened or read, or the text is empty.
int32_t GetClipboardText(char16_t** buffer, uint32_t* length);

// The same, owned: null when there is no text.
struct ClipboardText {
    std::unique_ptr<char16_t[]> text;
    uint32_t length = 0;
};
ClipboardText ReadClipboardText();
