// ShiftJisToUnicode in the Windows build: the system's converter for code
// page 932, so the program reads Shift-JIS exactly as other programs do.
#include <windows.h>

#include "common/text/japanese_code_pages.h"

int32_t ShiftJisToUnicode(const uint8_t* bytes, int32_t length, char16_t* out, int32_t outSize) {
    if (bytes == nullptr || outSize < 0 || (outSize > 0 && out == nullptr)) return 0;
    if (length == 0) return 0;
    return MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes), length < 0 ? -1 : length,
                               reinterpret_cast<wchar_t*>(out), outSize);
}
