// The Windows edge of the portable text type: on mingw wchar_t is 16-bit, so
// UTF-16 text crosses between char16_t and the W functions unchanged.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

// A terminated copy for a W function.
inline std::wstring WideString(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string_view Char16View(std::wstring_view text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
}
