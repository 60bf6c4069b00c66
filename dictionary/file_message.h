// The messages the dictionary's file services show about one file: an
// interface text whose %s is the file's path, in a box owned by the main
// window with an OK button (through the application context).
#pragma once

#include <string>
#include <string_view>

// UIStringTable[textSlot] with its %s replaced by `path`.
std::u16string FormatPathMessage(int textSlot, std::u16string_view path);
// Shows that text, followed by `detail` on a line of its own when there is
// one, under the caption of `captionSlot`, and returns what it showed.
std::u16string ShowPathMessage(int textSlot, int captionSlot, std::u16string_view path,
                               std::u16string_view detail = {});
// The same with the text given (an extra text) rather than its slot.
std::u16string ShowPathMessageText(std::u16string_view format, int captionSlot, std::u16string_view path,
                                   std::u16string_view detail = {});
