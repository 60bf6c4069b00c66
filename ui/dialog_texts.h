// Small text helpers of the dictionary dialogs: an interface text formatted
// with its arguments, a text chosen by interface language, and message boxes
// from interface-text slots.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "article/win/clipboard_render.h"
#include "common/base/bounded_format.h"

// `format` with its arguments, at most 2047 units.
std::u16string FormatInterfaceText(std::u16string_view format, std::initializer_list<FormatArg> args);
// One of three texts by the interface language (0 Russian, 1 English, 2 Japanese).
const char16_t* LanguageText(const char16_t* russian, const char16_t* english, const char16_t* japanese);
// A message box whose text and caption are UTF-16.
int ShowBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT type);
// A message box whose text and caption are interface-text slots.
int ShowSlotBox(HWND owner, int textSlot, int captionSlot, UINT type);
inline constexpr int kNotEnoughMemorySlot = 404;  // "Not enough memory!"
inline constexpr int kCopyToClipboardSlot = 620;  // the caption of a copy's message
// Says in a box owned by `owner` what a copy to the clipboard could not do;
// true when it was done.
bool TellClipboardCopy(HWND owner, ClipboardCopy copy);
