// The before-image journal (".trn" beside the database): the exact bytes a
// write-back is about to overwrite, made durable before the database's
// write-back flag is set, and applied at the next open when a crash left the
// flag set. It records file byte ranges, not pages, so replaying it needs no
// page allocation table and covers PAT pages and stored forms alike.
//
// Journal file (little-endian):
//   offset  size  field
//   0       8     magic "DMS\0JRNL"
//   8       u32   format version (1)
//   12      u32   PageSize of the database
//   16      u64   generation: a new number for every write-back of the session
//   24      u32   identity of the database (JournalIdentity)
//   28      u32   CRC-32 of the first sector of the header this write-back
//                 writes (HeaderSectorCrc); 0 when not recorded
//   32      u64   database length before the write-back (recovery cuts to it)
//   40      u64   bytes of records that follow the header
//   48      u32   record count
//   52      u32   CRC-32 of bytes 0..51 and of every record byte
//   56      8     0
//   64      ...   records: {u64 file position, u32 length, u32 CRC-32 of the
//                 bytes, bytes}
// Bytes past the records are a stale tail and ignored. A journal of whole
// raw page images without the magic comes from older writers; it is replayed
// only when the database has no allocation table, every image is sane, and
// the open may write (nothing ties such a journal to its database).
//
// What a journal may ask is what a write-back of this very database could
// have needed: its identity fields match; the database's first header
// sector is the one the write-back wrote or the one it overwrote (so a
// journal of another file of the same schema is refused); the database
// never shrank below the recorded old length, every record lies below it,
// and so do the pages the header image names (pages 0 to its last page, or
// its allocation table's first page).
#pragma once

#include "storage/dms_status.h"
#include "storage/storage_io.h"

#include <cstdint>
#include <span>
#include <vector>

namespace journal {
inline constexpr uint32_t kHeaderSize = 64;
inline constexpr uint32_t kRecordHead = 16;
inline constexpr uint32_t kVersion = 1;
// No journal is read into memory beyond this (a transaction of a full cache
// of 64 KB pages stays far below it).
inline constexpr uint64_t kMaxJournalBytes = uint64_t{1} << 30;
}  // namespace journal

struct JournalRecord {
    uint64_t position = 0;
    std::vector<uint8_t> bytes;  // as they stood in the database
};

struct JournalContent {
    uint64_t generation = 0;
    uint64_t oldLength = 0;        // the database is cut to this after replay
    bool keepLength = false;       // older journals: leave the length alone
    uint32_t headerTie = 0;        // HeaderSectorCrc of the header the write-back writes
    std::vector<JournalRecord> records;
};

// Ties a journal to its database: the CRC-32 of the header fields a file
// keeps for its whole life (version, PageSize, descriptor table offset and
// every descriptor's record type id and key id). `header` is page 0 as read.
uint32_t JournalIdentity(std::span<const uint8_t> header, uint32_t indexCount);

// Writes the records after the header's room, then the header with count and
// CRC, then flushes. 11 (or the I/O error mapped by the caller) on failure.
DmsStatus WriteJournal(IStorageFile& journal, uint32_t pageSize, uint32_t identity, const JournalContent& content);

// A byte range of the database file.
struct ByteRange {
    uint64_t position;
    uint64_t length;
};

// The ranges a write-back overwrites as its journal keeps them: sorted,
// overlapping or touching ranges joined into one, everything at or past
// `end` (the file's length before the write-back) cut off.
std::vector<ByteRange> JoinByteRanges(std::vector<ByteRange> ranges, uint64_t end);

// CRC-32 of the first min(PageSize, 512) bytes of a header page with its
// write-back flag taken as 0: what sector-atomic writes leave whole. Never 0
// (0 means "not recorded").
uint32_t HeaderSectorCrc(std::span<const uint8_t> header);

// What the database looks like when its journal is checked.
struct JournaledDatabase {
    uint32_t pageSize = 0;
    uint32_t identity = 0;                 // JournalIdentity of its page 0
    std::span<const uint8_t> header;       // page 0 as read now
    uint64_t size = 0;                     // its length now
    bool mayApplyUnchecked = false;        // raw images of older writers allowed
    bool keepsLength = false;              // a read-only open: never cut the file
};

// Checks and decodes a whole journal read into `bytes`. 15 when the journal
// is not one this database may replay.
DmsStatus ParseJournal(std::span<const uint8_t> bytes, const JournaledDatabase& database, JournalContent& content);

// Puts the records back into the database: every range (the write-back flag
// held at 0xFFFF while they go in), the length cut back, flush, then the flag
// cleared and flushed. A crash anywhere in it leaves the flag set and the
// journal whole, so the next open repeats it.
DmsStatus ApplyJournal(IStorageFile& database, const JournalContent& content);
