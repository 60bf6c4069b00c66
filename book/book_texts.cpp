#include "book/book_texts.h"

#include "common/ui_text/ui_text.h"

std::u16string InterfaceText(std::u16string_view english) {
    const auto set = UITextSet(UILanguage::English);
    for (size_t slot = 0; slot < set.size() && slot < static_cast<size_t>(kUIStringCount); ++slot) {
        if (set[slot].text == nullptr || std::u16string_view(set[slot].text) != english) continue;
        const char16_t* current = UIStringTable[slot];
        return current ? std::u16string(current) : std::u16string(english);
    }
    // Texts the numbered slots have no place for stand beside them.
    const auto extras = UIExtraTextSet(UILanguage::English);
    for (size_t n = 0; n < extras.size(); ++n)
        if (extras[n].text != nullptr && std::u16string_view(extras[n].text) == english)
            return UIExtra(static_cast<UIExtraText>(n));
    return std::u16string(english);
}

std::u16string InterfaceText(std::u16string_view english, std::u16string_view argument) {
    std::u16string text = InterfaceText(english);
    const size_t at = text.find(u"%s");
    if (at != std::u16string::npos) text.replace(at, 2, argument);
    return text;
}
