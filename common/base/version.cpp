#include "common/base/version.h"

namespace {

template <typename Char>
int ParseVersionParts(uint32_t parts[4], const Char* text) {
    for (int i = 0; i < 4; ++i) parts[i] = 0;
    if (!text) return 0;
    for (int i = 0; i < 4; ++i) {
        if (*text < '0' || *text > '9') break;
        uint32_t value = 0;
        while (*text >= '0' && *text <= '9') {
            // Stop growing once past the limit, so long digit runs cannot overflow.
            if (value <= 100) value = value * 10 + uint32_t(*text - '0');
            ++text;
        }
        if (value > 100) return 0;
        parts[i] = value;
        if (*text != '.') break;
        ++text;
    }
    return 1;
}

}  // namespace

int ParseVersionA(uint32_t parts[4], const char* text) { return ParseVersionParts(parts, text); }

int ParseVersionPackedW(uint32_t* packed, const char16_t* text) {
    uint32_t parts[4];
    *packed = 0;
    if (!ParseVersionParts(parts, text)) return 0;
    *packed = (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
    return 1;
}
