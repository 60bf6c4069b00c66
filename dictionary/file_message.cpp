// Path messages of the file services, formatted without overrunning and
// shown through the application context.
#include "dictionary/file_message.h"

#include <array>

#include "common/app_context.h"
#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"

namespace {
constexpr uint32_t kMessageBoxOk = 0;  // MB_OK
}

namespace {

std::u16string FormatPath(std::u16string_view format, std::u16string_view path) {
    // Room for the longest path the file object holds and any of the texts.
    std::array<char16_t, 1024> text{};
    const size_t length = FormatBounded(text, format, {path});
    return std::u16string(text.data(), length);
}

}  // namespace

std::u16string FormatPathMessage(int textSlot, std::u16string_view path) {
    return FormatPath(UIStringTable[textSlot], path);
}

std::u16string ShowPathMessageText(std::u16string_view format, int captionSlot, std::u16string_view path,
                                   std::u16string_view detail) {
    std::u16string text = FormatPath(format, path);
    if (!detail.empty()) text.append(u"\n").append(detail);
    App().ShowMessage(text, UIStringTable[captionSlot], kMessageBoxOk);
    return text;
}

std::u16string ShowPathMessage(int textSlot, int captionSlot, std::u16string_view path,
                               std::u16string_view detail) {
    return ShowPathMessageText(UIStringTable[textSlot], captionSlot, path, detail);
}
