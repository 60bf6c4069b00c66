// The values that cross the engine's interface for index operations: key
// segments in and out, the record reference kept in every leaf entry, the
// position a seek or step reports, and the statistics block of an index.
#pragma once

#include <cstdint>

// One segment of a key, in the index's segment order. On input `length` is
// the byte count of a variable segment (UString, Binary, Path); fixed
// segments are read at their width whatever it says. On output the caller
// points `data` at a buffer: a variable segment gets at most `length` bytes
// and `length` becomes the bytes copied; a fixed segment gets its width.
struct KeySegmentValue {
    void* data = nullptr;
    int32_t length = 0;
};

// The 8 bytes stored with every leaf entry; the engine gives them no meaning.
struct RecordRef {
    uint32_t first = 0;
    uint32_t second = 0;
    friend bool operator==(const RecordRef&, const RecordRef&) = default;
};

inline constexpr uint32_t kUnknownOrdinal = 0xFFFFFFFF;

// What every seek, step and move reports about the entry it found.
struct EntryPosition {
    RecordRef ref;
    uint32_t ordinal = kUnknownOrdinal;  // place in the index from 0
};
static_assert(sizeof(EntryPosition) == 12);

// GetIndexStats' block: 220 bytes of u32, zero where nothing is counted.
struct IndexStats {
    static constexpr int kMaxLevels = 10;
    uint32_t reserved;
    uint32_t entries;     // the descriptor's entry count
    uint32_t entryBytes;  // bytes used by entries over all levels
    uint32_t pageBytes;   // key pages x PageSize over all levels
    uint32_t levels;
    struct Level {        // from the root down
        uint32_t pages;
        uint32_t entries;
        uint32_t entryBytes;
        uint32_t pageBytes;
        uint32_t backwardLinks;  // next links that lead to a lower page number
    } level[kMaxLevels];
};
static_assert(sizeof(IndexStats) == 220);
