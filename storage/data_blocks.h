// Data blocks: byte strings of any length (articles, property records,
// full-text hit lists) cut into chunks that fill data pages and are chained
// by file position. A block is known by the data position of its first chunk.
//
// Data page (PageSize bytes):
//   offset  size  field
//   0       u32   page number
//   4       u16   signature 0x4144 ("DA")
//   6       ...   chunks one after another; a chunk length of 0 ends the used
//                 space (new pages are all zero)
// Chunk (14-byte head, then its data):
//   0       u32   length of the chunk including the head (>= 14)
//   4       u32   total length of the block (first chunk of a block; else 0)
//   8       u8    record type number (0xFF when the cursor has none)
//   9       u8    flags: 1 first chunk carrying the total, 2 last chunk,
//                 8 deleted
//   10      u32   data position of the next chunk; 0 in the last
//   14      ...   data
// Data position = page x PageSize + offset of the chunk (> PageSize). Header
// field 24 names the page that receives new blocks.
//
// A stored chain has a shape every reader checks, so a damaged or hostile
// file gives a status, never a loop, a read outside a page or another
// block's bytes: the first chunk carries flag 1; every chunk after it starts
// at offset 6 of a data page above the page of the chunk before, with no page
// between holding chunks (a block's later pages are made as it is stored, so
// a link into another block's chain fails here), has no flag 1, total 0 and
// the first chunk's record type; every chunk but the last ends exactly at
// its page's end and carries less than the bytes still missing; the last
// carries exactly those. Freed space is never reused, and a freed block
// stays readable with 44 "Deleted".
#pragma once

#include "storage/database_file.h"
#include "storage/dms_status.h"

#include <cstdint>
#include <span>

namespace chunk {
inline constexpr uint32_t kHeadSize = 14;
inline constexpr uint32_t kFirstOffset = 6;
inline constexpr uint32_t kLength = 0;
inline constexpr uint32_t kTotal = 4;
inline constexpr uint32_t kRecordType = 8;
inline constexpr uint32_t kFlags = 9;
inline constexpr uint32_t kNext = 10;
inline constexpr uint8_t kFlagFirst = 1;
inline constexpr uint8_t kFlagLast = 2;
inline constexpr uint8_t kFlagDeleted = 8;
inline constexpr uint8_t kNoRecordType = 0xFF;
}  // namespace chunk

// Stores `bytes` as a new block of `recordType` (a record type number or
// 0xFF) and gives its data position; an empty block gives position 0 and
// stores nothing. The caller writes back.
DmsStatus StoreData(DMSFile& file, uint8_t recordType, std::span<const uint8_t> bytes, uint32_t& position,
                    bool withTotal = true);

// Reads the block at `position`. With a buffer, `count` is its capacity on
// input and the bytes delivered on output; with a null buffer `count`
// receives the block's total. The whole chain is checked in either case, so
// 0 always means the bytes and the total are the block's. 45 for a position
// that is no block's start, 100 for a damaged chain (count 0), 44 when the
// block is freed (bytes still delivered).
DmsStatus ReadDataBlock(DMSFile& file, uint32_t position, uint8_t* buffer, uint32_t* count);

// Marks every chunk of the block deleted (and with `wipe` zeroes its data).
// The whole chain is checked before anything is marked, so a failed free
// leaves the block as it was. Position 0 frees nothing. The caller writes back.
DmsStatus FreeDataBlock(DMSFile& file, uint32_t position, bool wipe);

// One chunk of a block as the checked walk sees it.
struct ChunkView {
    uint32_t position;
    uint32_t length;      // including the head
    uint32_t total;       // from the first chunk
    uint8_t recordType;
    uint8_t flags;
    uint32_t dataBytes;   // bytes of the block this chunk carries
    CachedPage page;      // the data page holding it
};

// Walks the block's chain with every check above; `visit` returns false to
// stop early. The verifier and the three operations above share it.
template <typename Visit>
DmsStatus WalkDataBlock(DMSFile& file, uint32_t position, Visit&& visit);

#include "storage/data_blocks_walk.h"
