#include "common/base/number_format.h"

int FormatThousands(char16_t* out, size_t capacity, int32_t number, UILanguage language) {
    const char16_t separator = language == UILanguage::Russian ? u' ' : u',';
    int64_t value = number;  // INT32_MIN has no positive i32
    const bool negative = value < 0;
    if (negative) value = -value;

    char16_t reversed[kThousandsCapacity];
    size_t n = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) reversed[n++] = separator;
        reversed[n++] = char16_t(u'0' + value % 10);
        value /= 10;
        ++digits;
    } while (value > 0);
    if (negative) reversed[n++] = u'-';

    if (capacity < n + 1) {
        if (capacity > 0) out[0] = 0;
        return 1;
    }
    for (size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = 0;
    return 0;
}
