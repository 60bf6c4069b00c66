// The code page 932 decoding table, generated at build time by
// tools/cp932 (see common/CMakeLists.txt). Read by code_page_932.cpp only.
#pragma once

#include <cstdint>

// Unit of each single byte; lead bytes have an entry too but are not read.
extern const char16_t kCodePage932Single[256];
// 0 for a byte that is not a lead byte, else 1 + its row in kCodePage932Pairs.
extern const uint8_t kCodePage932LeadRow[256];
// Unit of each (lead, trail) pair by the lead's row and the trail byte;
// pairs the code page does not define hold the default character.
extern const char16_t kCodePage932Pairs[][256];
