// UrlEncode: builds the query part of the web-search addresses.
#include "common/text/url_encode.h"

namespace {

bool KeptAsIs(uint8_t b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

int32_t UrlEncode(const uint8_t* text, uint8_t* out, uint32_t* size, uint32_t flags) {
    if (size == nullptr || text == nullptr) return kUrlEncodeNoRoom;
    uint32_t inputLength = 0;
    uint32_t encodedLength = 0;
    while (inputLength < kUrlEncodeMaxInput && text[inputLength] != 0)
        encodedLength += KeptAsIs(text[inputLength++]) ? 1 : 3;

    if (out == nullptr || encodedLength + 1 > *size) {
        *size = encodedLength + 1;
        return kUrlEncodeNoRoom;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    uint8_t* w = out;
    for (uint32_t i = 0; i < inputLength; ++i) {
        uint8_t b = text[i];
        if (KeptAsIs(b)) {
            *w++ = b;
        } else {
            *w++ = '%';
            *w++ = static_cast<uint8_t>(kHex[b >> 4]);
            *w++ = static_cast<uint8_t>(kHex[b & 0xF]);
        }
    }
    *w = 0;
    *size = encodedLength;
    return kUrlEncodeOk;
}
