// The clipboard reader behind "Add articles from clipboard": Unicode text,
// or ANSI text converted from the ANSI code page, copied into a new buffer.
// Every failure is shown to the user in a box of that caption.
#pragma once

#include <cstdint>
#include <memory>

// Fills `out` with the text and a terminating zero; answers its length in
// characters including the terminator (counted up to the first zero), or 0
// with `out` empty after showing why.
int32_t ReadClipboardText(std::unique_ptr<char16_t[]>& out);
