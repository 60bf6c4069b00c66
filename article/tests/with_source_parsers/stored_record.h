// Records parsed the way a cursor has them parsed: the article text stored
// behind its 10-byte header in the dictionary's record buffer, then handed
// to CDictionary::ParseRecord with the source parsers of import/ registered.
#pragma once

#include <cstring>
#include <string_view>

#include "dictionary/dictionary.h"
#include "import/import_registration.h"

// Stores `text` as a record of `formatType` and parses it; false when it
// made no entry.
inline bool ParseStoredRecord(CDictionary& dictionary, uint16_t formatType, std::u16string_view text) {
    static const bool registered = (RegisterImportParsers(), true);
    (void)registered;
    const uint32_t size = static_cast<uint32_t>(10 + text.size() * 2);
    uint8_t* record = dictionary.ReserveRecordBuffer(size);
    if (record == nullptr) return false;
    std::memset(record, 0, 10);
    record[8] = static_cast<uint8_t>(formatType);
    std::memcpy(record + 10, text.data(), text.size() * 2);
    dictionary.SetRecordSize(size);
    return dictionary.ParseRecord(record, size) == 1 && dictionary.ElementCount() > 0 &&
           dictionary.Elements()[0].kind == 2;
}
