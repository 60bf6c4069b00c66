// Text helpers of the dictionary dialogs.
#include "ui/dialog_texts.h"

#include <array>

#include "common/ui_text/ui_text.h"
#include "ui/application.h"

std::u16string FormatInterfaceText(std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::array<char16_t, 2048> text{};
    const size_t n = FormatBounded(text, format, args);
    return std::u16string(text.data(), n);
}

const char16_t* LanguageText(const char16_t* russian, const char16_t* english, const char16_t* japanese) {
    const int32_t language = g_application ? g_application->language : 1;
    return language == 0 ? russian : language == 2 ? japanese : english;
}

int ShowBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT type) {
    const std::u16string t(text), c(caption);
    return MessageBoxW(owner, reinterpret_cast<const wchar_t*>(t.c_str()), reinterpret_cast<const wchar_t*>(c.c_str()),
                       type);
}

int ShowSlotBox(HWND owner, int textSlot, int captionSlot, UINT type) {
    return ShowBox(owner, UIStringTable[textSlot], UIStringTable[captionSlot], type);
}

bool TellClipboardCopy(HWND owner, ClipboardCopy copy) {
    if (copy == ClipboardCopy::Copied) return true;
    const std::u16string_view text = copy == ClipboardCopy::ClipboardBusy ? UIExtra(UIExtraText::kClipboardBusy)
                                                                          : UIStringTable[kNotEnoughMemorySlot];
    ShowBox(owner, text, UIStringTable[kCopyToClipboardSlot], MB_OK | MB_ICONEXCLAMATION);
    return false;
}
