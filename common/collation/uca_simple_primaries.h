// The primaries of the code points whose primary weights XCollator1 can take
// without their neighbours: kana, Latin, Cyrillic, punctuation and the CJK
// ideographs. Compare reads them to decide most comparisons without making
// collation elements; anything not listed here goes the element-making way.
#pragma once

#include <cstdint>
#include <vector>

#include "common/collation/ducet_table.h"

class SimplePrimaryTable {
public:
    // What Put of one code point gives at the primary level, after shifted
    // weighting: at most two non-zero primaries, and how many code points and
    // elements it takes of the per-call bounds.
    struct Entry {
        uint16_t primaries[2];   // the first `count` are used
        uint8_t count;           // 0..2 non-zero primaries
        uint8_t elements;        // collation elements made (before weighting)
        bool usable;             // false: the weights depend on the context
    };

    // Fills the table from `table` (the elements are made the one way
    // XCollator1 makes them); an empty table answers nothing.
    void Build(const DucetTable& table);
    void Clear() { entries_.clear(); ideographsImplicit_ = false; }

    // The entry of `unit`, or null when the element-making way must decide.
    const Entry* Find(char16_t unit, Entry& scratch) const {
        if (unit < entries_.size()) return entries_[unit].usable ? &entries_[unit] : nullptr;
        if (!ideographsImplicit_) return nullptr;
        // CJK ideographs have no listed elements: two implicit primaries.
        uint16_t base;
        if (unit >= 0x4E00 && unit <= 0x9FFF) base = 0xFB40;
        else if (unit >= 0x3400 && unit <= 0x4DBF) base = 0xFB80;
        else return nullptr;
        scratch = {{static_cast<uint16_t>(base + (unit >> 15)), static_cast<uint16_t>((unit & 0x7FFF) | 0x8000)},
                   2, 2, true};
        return &scratch;
    }

    // Code units below this have entries (Latin, Greek, Cyrillic, kana).
    static constexpr char16_t kListedEnd = 0x3100;

private:
    std::vector<Entry> entries_;
    bool ideographsImplicit_ = false;   // no ideograph has listed elements
};
