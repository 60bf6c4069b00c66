// Page frame signatures: the u16 at offset 4 of every page says what the page
// holds. Key pages carry their height in the high byte ("K0" a leaf up to "KC"
// at height 19), so the height cannot be read as one decimal digit.
#pragma once

#include <cstdint>

inline constexpr uint16_t kLeafPageSignature = 0x304B;  // "K0"
inline constexpr int32_t kMaxKeyPageHeight = 19;        // cursor paths have 20 levels

// Height of a key page from its signature, -1 when it names no key page.
inline int32_t KeyPageHeight(uint16_t signature) {
    if ((signature & 0xFF) != (kLeafPageSignature & 0xFF)) return -1;
    const int32_t height = (signature >> 8) - (kLeafPageSignature >> 8);
    return height >= 0 && height <= kMaxKeyPageHeight ? height : -1;
}
