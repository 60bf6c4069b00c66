// The English texts of DmsStatus codes, exactly as callers have always shown
// them (the misspelt 19 included: users quote these texts in reports).
#include "storage/dms_status.h"

#include <cstdio>
#include <string>

namespace {

const char* FixedText(int32_t code) {
    switch (code) {
    case 0: return "Success";
    case 1: return "Cannot open a file";
    case 2: return "Cannot create a file";
    case 3: return "Wrong internal handle";
    case 4: return "Record not found";
    case 5: return "End of file";
    case 6: return "No current position";
    case 7: return "Too much files opened";
    case 8: return "Wrong file";
    case 9: return "Page load failed";
    case 10: return "Page creation failed";
    case 11: return "File input/output error";
    case 12: return "Operation not allowed";
    case 13: return "Cannot open preimage file";
    case 14: return "Cannot create preimage file";
    case 15: return "Broken preimage file";
    case 16: return "Not enough memory";
    case 17: return "Input/output error for preimage file";
    case 18: return "File broken after rollback";
    case 19: return "Fle already opened";
    case 24: return "Cancelled by caller";
    case 25: return "Invalid call argument";
    case 26: return "Wrong file description";
    case 27: return "Wrong record type";
    case 28: return "Wrong key identifier";
    case 29: return "Wrong field type";
    case 30: return "File not opened";
    case 31: return "Small page size";
    case 32: return "File already exists";
    case 33: return "Record changed by other user";
    case 34: return "Record deleted by other user";
    case 35: return "Cannot start a transaction";
    case 36: return "Not in transaction";
    case 37: return "Invalid key values";
    case 38: return "No disk space";
    case 39: return "Wrong version number";
    case 40: return "Pat already exists";
    case 41: return "Error when assigning page position";
    case 42: return "Wrong signature in PAT";
    case 43: return "Cancelled by user";
    case 44: return "Deleted";
    case 45: return "Invalid parameter";
    case 46: return "Already in transaction";
    case 47: return "Collator not found";
    case 100: return "Data integrity broken";
    default: return nullptr;
    }
}

}  // namespace

DmsStatus DmsErrorText(int32_t code, int32_t /*reserved*/, char16_t* buffer, int32_t size) {
    if (buffer == nullptr || size < 1) return DmsStatus::NotEnoughMemory;
    char text[64];
    if (const char* fixed = FixedText(code)) {
        std::snprintf(text, sizeof text, "%s", fixed);
    } else if (code >= 101 && code <= 107) {
        std::snprintf(text, sizeof text, "Data integrity broken %d", static_cast<int>(code - 100));
    } else {
        std::snprintf(text, sizeof text, "Unknown error (%d)", static_cast<int>(code));
    }
    int32_t i = 0;
    for (; text[i] != 0 && i < size - 1; ++i) buffer[i] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    buffer[i] = 0;
    return DmsStatus::Success;
}
