// Where the principal parts of a Latin dictionary form end.
#include "article/latin_principal_parts.h"

#include <string_view>

#include "article/display_attributes.h"

namespace {

bool At(const char16_t* text, int32_t position, int32_t end, std::u16string_view word) {
    if (position + static_cast<int32_t>(word.size()) > end) return false;
    return std::u16string_view(text + position, word.size()) == word;
}

// A remark word ends the run before the blank that precedes it, and before a
// comma in front of that blank.
int32_t BackOverBlankAndComma(const char16_t* text, int32_t start, int32_t position) {
    if (position > start && text[position - 1] == u' ') {
        --position;
        if (position > start && text[position - 1] == u',') --position;
    }
    return position;
}

}  // namespace

int32_t BoldPrincipalParts(const char16_t* text, uint32_t* attributes, int32_t start, int32_t end) {
    if (start < 0 || end < 0 || text == nullptr || attributes == nullptr) return 0;
    int32_t runEnd = end;
    for (int32_t p = start; p < end && p < runEnd; ++p) {
        const char16_t c = text[p];
        if (p >= start + 2 && c >= u'A' && c <= u'Z' && text[p - 1] == u' ' && text[p - 2] != u',') {
            runEnd = p;
            break;
        }
        if ((At(text, p, end, u"abb.") && p + 3 < end) || (At(text, p, end, u"undecl") && p + 5 < end)) {
            runEnd = BackOverBlankAndComma(text, start, p);
            break;
        }
    }
    for (int32_t p = start; p < runEnd; ++p) attributes[p] |= kAttrBold;
    for (int32_t p = start; p + 6 <= end; ++p) {
        if (!At(text, p, end, u"(gen.)")) continue;
        for (int32_t q = p; q < p + 6; ++q) attributes[q] &= ~kAttrBold;
    }
    return 0;
}
