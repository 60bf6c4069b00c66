// Value names and text rules of the program's registry key.
#include "common/settings/registry_values.h"

#include <algorithm>

std::u16string NoRemindValueName(int32_t newsItem) {
    if (newsItem < 0 || newsItem > 9) return {};
    std::u16string name = u"NoRemind";
    name.push_back(static_cast<char16_t>(u'1' + newsItem));  // item 9 gives ':'
    return name;
}

bool IsInstallationId(std::u16string_view text) { return text.size() == kInstallationIdUnits; }

std::u16string RegistryStringFromData(std::span<const uint8_t> data) {
    size_t units = std::min(data.size() / 2, kRegistryStringMaxUnits);
    std::u16string text;
    text.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        char16_t unit = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}
