// ClassifyMarkupTag: a line's leading tag as a type and a value.
#include "import/line_tags.h"

namespace {

constexpr uint32_t Code(uint32_t type, uint32_t value) { return type << 24 | value; }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsSmall(char16_t c) { return c >= u'a' && c <= u'z'; }

}  // namespace

uint32_t ClassifyMarkupTag(const char16_t* text, int32_t length) {
    if (text == nullptr || length < 3 || text[0] != u'<') return Code(kLineOther, 0);
    const auto at = [&](int32_t i) { return i < length ? text[i] : u'\0'; };
    if (length >= 6 && IsCapital(text[1]) && IsSmall(text[2]) && IsSmall(text[3]) && IsSmall(text[4]) && text[5] == u'>')
        return Code(kLineLanguage, 0);
    if ((text[1] == u'H' || text[1] == u'h') && IsDigit(at(2)) && at(3) == u'>')
        return Code(kLineHeading, static_cast<uint32_t>(text[2] - u'0'));
    if ((text[1] == u'P' || text[1] == u'p') && text[2] == u'>') return Code(kLineParagraph, 0);
    if (text[1] == u'P' && IsDigit(text[2])) {
        const uint32_t first = static_cast<uint32_t>(text[2] - u'0');
        if (at(3) == u'>') return Code(kLineParagraph, first);
        if (IsDigit(at(3)) && at(4) == u'>') return Code(kLineParagraph, first + 256 * static_cast<uint32_t>(text[3] - u'0'));
    }
    return Code(kLineOther, 0);
}
