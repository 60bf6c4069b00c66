// Decimal integers and dictionary slots as the settings file stores them.
#include "common/settings/settings_values.h"

#include <limits>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The number at the start of `text` after blanks and an optional sign, or
// false when no digit follows.
bool LeadingInteger(std::u16string_view text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i])) return false;
    // Accumulate as a negative number so that INT32_MIN fits, clamping on overflow.
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > -kLowest) magnitude = -kLowest;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int32_t>::max()) signedValue = std::numeric_limits<int32_t>::max();
    value = static_cast<int32_t>(signedValue);
    return true;
}

}  // namespace

int32_t ParseProfileInt(std::u16string_view text, int32_t defaultValue) {
    if (text.empty()) return defaultValue;
    int32_t value = 0;
    return LeadingInteger(text, value) ? value : 0;
}

bool IsStorableProfileEntry(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    auto singleLine = [](std::u16string_view text) { return text.find_first_of(u"\r\n\0", 0, 3) == text.npos; };
    return !section.empty() && !key.empty() && singleLine(section) && singleLine(key) && singleLine(value);
}

std::u16string FormatProfileInt(int32_t value) {
    char16_t digits[12];
    size_t n = 0;
    // Work on the negative magnitude so INT32_MIN needs no special case.
    int64_t rest = value < 0 ? value : -static_cast<int64_t>(value);
    do {
        digits[n++] = static_cast<char16_t>(u'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    std::u16string text;
    if (value < 0) text.push_back(u'-');
    while (n > 0) text.push_back(digits[--n]);
    return text;
}

std::u16string FormatDictionarySlot(std::u16string_view path, int32_t state) {
    std::u16string value(path);
    value.push_back(u',');
    value += FormatProfileInt(state);
    return value;
}

DictionarySlot SplitDictionarySlot(std::u16string_view value) {
    DictionarySlot slot;
    size_t comma = value.rfind(u',');
    int32_t state = 0;
    if (comma != std::u16string_view::npos && LeadingInteger(value.substr(comma + 1), state)) {
        slot.path.assign(value.substr(0, comma));
        slot.state = state;
    } else {
        slot.path.assign(value);
    }
    return slot;
}
