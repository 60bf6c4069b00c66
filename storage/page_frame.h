// The page frame every layer reads: each page starts with its number (u32 at
// 0) and a signature (u16 at 4) saying what it holds; page 0, the header,
// carries the file's fields and the write-back flag. Defined once here; the
// tables of the header and of each page kind are in the file that owns them.
// Key pages carry their height in the high byte ("K0" a leaf up to "KC" at
// height 19), so the height cannot be read as one decimal digit.
#pragma once

#include <cstdint>

namespace frame {
inline constexpr uint32_t kPageNumber = 0;
inline constexpr uint32_t kSignature = 4;
inline constexpr uint32_t kSize = 6;  // what every page starts with
}  // namespace frame

inline constexpr uint16_t kHeaderSignature = 0x4346;    // "FC", page 0 only
inline constexpr uint16_t kDataSignature = 0x4144;      // "DA"
inline constexpr uint16_t kPatSignature = 0x5450;       // "PT"
inline constexpr uint16_t kLeafPageSignature = 0x304B;  // "K0"
inline constexpr int32_t kMaxKeyPageHeight = 19;        // cursor paths have 20 levels

// Height of a key page from its signature, -1 when it names no key page.
inline int32_t KeyPageHeight(uint16_t signature) {
    if ((signature & 0xFF) != (kLeafPageSignature & 0xFF)) return -1;
    const int32_t height = (signature >> 8) - (kLeafPageSignature >> 8);
    return height >= 0 && height <= kMaxKeyPageHeight ? height : -1;
}

// Header fields (database_file.h tables them).
namespace header {
inline constexpr uint32_t kVersion = 6;
inline constexpr uint32_t kPageSize = 8;
inline constexpr uint32_t kWriteBackFlag = 14;
inline constexpr uint32_t kDescriptorOffset = 16;
inline constexpr uint32_t kFirstPatPosition = 20;
inline constexpr uint32_t kCurrentDataPage = 24;
inline constexpr uint32_t kLastPage = 28;
inline constexpr uint32_t kPreAllocate = 32;
inline constexpr uint32_t kMinimumRead = 36;
inline constexpr uint32_t kDescriptorTable = 48;
inline constexpr uint32_t kDescriptorSize = 16;
}  // namespace header

// Index descriptor fields (database_file.h tables them).
namespace descriptor {
inline constexpr uint32_t kRecordType = 0;
inline constexpr uint32_t kKeyId = 4;
inline constexpr uint32_t kCount = 8;
inline constexpr uint32_t kRoot = 12;
}  // namespace descriptor

// Write-back flag values. 0 in a file at rest and in every cached image (the
// flag lives only in the file). A file compiled without journal carries
// kIncompleteMark from its first write until a clean close, so a crash there
// is reported as damage, never replayed from an unrelated journal.
inline constexpr uint16_t kWriteBackInProgress = 0xFFFF;
inline constexpr uint16_t kIncompleteMark = 0x4E49;
