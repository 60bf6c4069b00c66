// DucetTable: a checked view of the inflated DUCET_5_0_0_0_1 blob, the
// collation elements of single code points for XCollator1.
//
// | offset  | size          | field                                          |
// |---------|---------------|------------------------------------------------|
// | 0       | 4             | u32 magic 0x636F6C74 ("tloc")                  |
// | 4, 8    | 4 + 4         | u32 1, u32 1                                   |
// | 12      | 36            | zero                                           |
// | 48      | 4             | u32 variable top (0x0F98)                      |
// | 52      | 4             | u32 3                                          |
// | 56      | 4             | unused (0)                                     |
// | 60      | 12            | stage 1 {u32 pointer, u32 count 0x2000, u32 offset}  |
// | 72      | 12            | stage 2 {pointer, blocks, offset}              |
// | 84      | 12            | elements {pointer, count, offset}              |
// | 96      | 12            | contraction nodes {pointer, count, offset}     |
// | offsets | ...           | the four areas (0x70, 0x8070, 0x1E870, 0x7AB20)|
// Pointer words are 0 in the file; this view never uses them (a 64-bit
// pointer does not fit), it adds offsets to the blob start instead.
// Stage 1: i32 per 256 code points, the index of the block's first stage-2
// entry or -1. Stage 2: u32 per code point: 0 no entry; any of bits 24-31 set:
// contraction starter, head node index in bits 0-15; else element count in
// bits 16-23 and first element index in bits 0-15. Element: u32 primary,
// secondary, tertiary, fourth (the allkeys fourth weight as written). Node:
// u32 code point (0 for head and terminal nodes), u32 element reference
// (count << 16 | index), u32 next sibling, u32 child (-1 none).
#pragma once

#include <cstdint>
#include <span>

struct CollationElement {
    uint32_t primary;
    uint32_t secondary;
    uint32_t tertiary;
    uint32_t fourth;
};

// A fourth weight that names a voicing mark (the second component of a voiced
// kana's expansion): the U+3099 that may follow writes the voicing again.
inline bool IsVoicingWeight(uint32_t fourth) {
    return (fourth >= 0x3099 && fourth <= 0x309C) || fourth == 0xFF9E || fourth == 0xFF9F;
}

class DucetTable {
public:
    DucetTable() = default;

    // Checks every offset, count and reference of `blob` (which must outlive
    // the view); false leaves the view empty.
    bool Attach(std::span<const uint8_t> blob);
    void Detach() { *this = DucetTable(); }
    bool IsLoaded() const { return elements_ != nullptr; }

    uint32_t VariableTop() const { return variableTop_; }
    uint32_t ElementCount() const { return elementCount_; }
    uint32_t NodeCount() const { return nodeCount_; }
    uint32_t Stage2Blocks() const { return stage2Blocks_; }

    // The listed elements of one code point (a contraction starter gives its
    // head node's); false when the code point has no entry (implicit weights).
    bool Lookup(char32_t codePoint, std::span<const CollationElement>& elements) const;

    static constexpr uint32_t kStage1Entries = 0x2000;
    static constexpr uint32_t kNone = 0xFFFFFFFF;   // no node or element reference

private:
    const int32_t* stage1_ = nullptr;
    const uint32_t* stage2_ = nullptr;
    const CollationElement* elements_ = nullptr;
    const uint32_t* nodes_ = nullptr;   // four u32 per node
    uint32_t stage2Blocks_ = 0;
    uint32_t elementCount_ = 0;
    uint32_t nodeCount_ = 0;
    uint32_t variableTop_ = 0;
};

inline bool DucetTable::Lookup(char32_t cp, std::span<const CollationElement>& elements) const {
    elements = {};
    if (!elements_ || (cp >> 8) >= kStage1Entries) return false;
    int32_t block = stage1_[cp >> 8];
    if (block < 0) return false;
    uint32_t entry = stage2_[static_cast<uint32_t>(block) + (cp & 0xFF)];
    if (entry == 0) return false;
    if (entry >> 24) {
        // Contractions are not applied: the starter stands alone.
        entry = nodes_[4 * (entry & 0xFFFF) + 1];
        if (entry == kNone) return true;
    }
    elements = {elements_ + (entry & 0xFFFF), (entry >> 16) & 0xFF};
    return true;
}
