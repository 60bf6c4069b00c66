// Article records: building one from an article's text, and reading the text
// back out of a stored block whose size is untrusted.
#include "import/article_record.h"

#include <string>

namespace {

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> BuildArticleRecord(uint32_t articleNumber, uint16_t formatType, std::u16string_view text) {
    std::vector<uint8_t> record(kArticleRecordHeadBytes + 2 * text.size());
    PutU32(record, 0, articleNumber);
    PutU32(record, 4, articleNumber);
    record[8] = static_cast<uint8_t>(formatType);
    record[9] = static_cast<uint8_t>(formatType >> 8);
    size_t at = kArticleRecordHeadBytes;
    for (char16_t c : text) {
        record[at++] = static_cast<uint8_t>(c);
        record[at++] = static_cast<uint8_t>(c >> 8);
    }
    return record;
}

std::u16string ArticleRecordText(const uint8_t* bytes, uint32_t size) {
    std::u16string text;
    if (bytes == nullptr || size < kArticleRecordHeadBytes) return text;
    const uint32_t units = (size - kArticleRecordHeadBytes) / 2;
    text.resize(units);
    for (uint32_t i = 0; i < units; ++i) {
        const uint8_t* p = bytes + kArticleRecordHeadBytes + 2 * i;
        text[i] = static_cast<char16_t>(p[0] | p[1] << 8);
    }
    return text;
}
