// Validation and look-up of the DUCET blob.
#include "common/collation/ducet_table.h"

#include <cstring>

namespace {

constexpr uint32_t kMagic = 0x636F6C74;

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;   // the blob is little-endian, as are both targets
}

struct Area {
    uint32_t count;
    uint32_t offset;
};

// An area of `count` items of `itemSize` bytes inside the blob, 4-byte aligned.
bool ReadArea(std::span<const uint8_t> blob, size_t descriptor, uint32_t itemSize, Area& area) {
    area.count = ReadU32(blob.data() + descriptor + 4);
    area.offset = ReadU32(blob.data() + descriptor + 8);
    if (area.offset % 4 != 0 || area.offset > blob.size()) return false;
    return static_cast<uint64_t>(area.count) * itemSize <= blob.size() - area.offset;
}

bool ValidReference(uint32_t reference, uint32_t elementCount) {
    uint32_t count = (reference >> 16) & 0xFF, index = reference & 0xFFFF;
    return (reference >> 24) == 0 && index + count <= elementCount;
}

}  // namespace

bool DucetTable::Attach(std::span<const uint8_t> blob) {
    Detach();
    if (blob.size() < 108 || reinterpret_cast<uintptr_t>(blob.data()) % 4 != 0) return false;
    if (ReadU32(blob.data()) != kMagic) return false;
    Area stage1, stage2, elements, nodes;
    if (!ReadArea(blob, 60, 4, stage1) || stage1.count != DucetTable::kStage1Entries) return false;
    if (!ReadArea(blob, 72, 1024, stage2) || !ReadArea(blob, 84, 16, elements) ||
        !ReadArea(blob, 96, 16, nodes))
        return false;
    const int32_t* s1 = reinterpret_cast<const int32_t*>(blob.data() + stage1.offset);
    const uint32_t* s2 = reinterpret_cast<const uint32_t*>(blob.data() + stage2.offset);
    const uint32_t* nd = reinterpret_cast<const uint32_t*>(blob.data() + nodes.offset);
    const uint64_t stage2Entries = static_cast<uint64_t>(stage2.count) * 256;
    for (uint32_t i = 0; i < DucetTable::kStage1Entries; ++i)
        if (s1[i] != -1 && (s1[i] < 0 || static_cast<uint64_t>(s1[i]) + 256 > stage2Entries)) return false;
    for (uint64_t i = 0; i < stage2Entries; ++i) {
        uint32_t e = s2[i];
        if (e == 0) continue;
        if (e >> 24) {
            if ((e & 0xFFFF) >= nodes.count) return false;
        } else if (!ValidReference(e, elements.count)) {
            return false;
        }
    }
    for (uint32_t n = 0; n < nodes.count; ++n) {
        const uint32_t* node = nd + 4 * n;
        if (node[1] != kNone && !ValidReference(node[1], elements.count)) return false;
        for (int link : {2, 3})
            if (node[link] != kNone && node[link] >= nodes.count) return false;
    }
    stage1_ = s1;
    stage2_ = s2;
    elements_ = reinterpret_cast<const CollationElement*>(blob.data() + elements.offset);
    nodes_ = nd;
    stage2Blocks_ = stage2.count;
    elementCount_ = elements.count;
    nodeCount_ = nodes.count;
    variableTop_ = ReadU32(blob.data() + 48);
    return true;
}
