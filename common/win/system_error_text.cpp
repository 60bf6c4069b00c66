// SystemErrorText: FormatMessageW over the system's message table.
#include "common/win/system_error_text.h"

#include <windows.h>

#include <string>

std::u16string SystemErrorText(uint32_t code) {
    wchar_t text[512] = {};
    const DWORD units = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                       text, 512, nullptr);
    std::u16string result(reinterpret_cast<const char16_t*>(text), units);
    while (!result.empty() && (result.back() == u'\n' || result.back() == u'\r' || result.back() == u' '))
        result.pop_back();
    if (result.empty()) {
        const std::string number = "Error " + std::to_string(code);
        result.assign(number.begin(), number.end());
    }
    return result;
}
