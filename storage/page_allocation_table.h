// PageAllocationTable: where each page of a file with a page allocation table
// (PAT) is stored, how long its stored form is, and where a page that changed
// size goes. Files without a PAT store page n at n x PageSize; compaction adds
// a PAT so pages can be stored compressed and moved down.
//
// PAT page (PageSize bytes; the k-th describes pages k*E .. k*E+E-1):
//   offset  size  field
//   0       u32   page number of this PAT page
//   4       u16   signature 0x5450 ("PT")
//   6       u16   E = (PageSize - 16) / 16 entries per PAT page
//   8       u32   file position of the next PAT page; 0 or 0xFFFFFFFF: last
//   12      u32   first page described, k * E
//   16      16*E  entries
// PAT entry (16 bytes):
//   0       u32   file position of the stored page; 0xFFFFFFFF: none
//   4       u16   signature of the stored page
//   6       u16   flags: 1 signature not yet recorded, 2 stored compressed,
//                 8 not yet placed
//   8       u32   stored length: PageSize, or 14 + compressed bytes (at
//                 most PageSize + 14: a stream may be as long as the page)
//   12      u32   free bytes after the stored page up to the next one
//
// Everything read from the file is checked here once: chain length and loops,
// E and first-page fields, the table pages' own entries (8 when any of these
// is wrong), stored lengths (14 < L <= PageSize + 14, L == PageSize when
// uncompressed) and places inside the file (a page whose entry fails is
// taken as not stored: 255 when read), free bytes cut at the next stored
// page, and the position map's capacity on every insertion.
#pragma once

#include "storage/dms_status.h"
#include "storage/page_frame.h"
#include "storage/storage_io.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class PageAllocationTable {
public:
    static constexpr uint16_t kSignature = kPatSignature;
    static constexpr uint16_t kFlagSignatureNotRecorded = 1;
    static constexpr uint16_t kFlagCompressed = 2;
    static constexpr uint16_t kFlagNotPlaced = 8;
    static constexpr uint32_t kNone = 0xFFFFFFFF;
    static constexpr uint32_t kMaxPatPages = 1999;
    static constexpr uint32_t kMaxWritablePages = 382500;

    struct Entry {
        uint32_t position = kNone;
        uint16_t signature = 0;
        uint16_t flags = 0;
        uint32_t storedLength = 0;
        uint32_t freeBytes = 0;
    };

    // Where the header keeps the first PAT page's position (field 20).
    // The table calls it when the first PAT page moves.
    using FirstPositionSink = void (*)(void* context, uint32_t position);

    // Reads the chain from `firstPosition` (0 or 0xFFFFFFFF: no PAT). `maxPages`
    // bounds the position map: 382,500 for writable files, the file's page
    // count for read-only ones. 16 for a 2000th PAT page, 11 for a failed read,
    // 8 for a damaged chain or PAT page. Damaged entries of other pages are
    // corrected in memory (see above), never refused.
    DmsStatus Load(IStorageFile& file, uint32_t pageSize, uint32_t firstPosition, uint32_t maxPages);
    bool Present() const { return !pages_.empty(); }
    // Every placed page in file order, as {position, page}.
    struct Placed {
        uint32_t position;
        uint32_t page;
    };
    const std::vector<Placed>& PositionMap() const { return map_; }
    uint32_t EntriesPerPage() const { return perPage_; }
    uint32_t PatPageCount() const { return static_cast<uint32_t>(pages_.size()); }
    bool IsPatPage(uint32_t page) const;
    // True when the page has a stored place.
    bool IsPlaced(uint32_t page) const;
    // What Load found wrong with entries and corrected in memory, one line
    // each (the structure verifier reports them).
    const std::vector<std::string>& Corrections() const { return corrections_; }

    // The entry of page n, or false when no PAT page describes it.
    bool Find(uint32_t page, Entry& entry) const;
    // Checks an entry before its page is read: placed, stored length sane.
    // 255 when the page has no stored place or a damaged length.
    DmsStatus CheckReadable(uint32_t page, Entry& entry) const;
    // Records the signature of a page read for the first time (flag 1), or
    // compares it: 42 on a mismatch.
    DmsStatus CheckSignature(uint32_t page, uint16_t signature);

    // The placement policy: a file position for `length` stored bytes of
    // `page`; sets the entry's compressed flag. 41 when none can be given.
    DmsStatus AssignPosition(uint32_t page, uint32_t length, bool compressed, uint32_t& position);
    // Called after header field 28 handed out page n: makes the entry of n,
    // and a new PAT page (number `nextFree`, taken by the caller) when n lies
    // beyond the table. `madePatPage` tells the caller it took that number.
    DmsStatus AllocatePage(uint32_t page, uint16_t signature, uint32_t nextFree, bool& madePatPage);

    // Builds a PAT for a file of `pageCount` pages stored at n x PageSize:
    // ceil(pageCount / (E - 1)) PAT pages numbered and stored after them,
    // existing pages with their signatures still to be recorded. The caller
    // writes the table and sets the header (first PAT position pageCount x
    // PageSize, last page pageCount + PatPageCount() - 1). 40 when a PAT exists.
    DmsStatus Create(uint32_t pageSize, uint32_t pageCount);

    // Writes the changed PAT pages at their positions (11 on failure).
    DmsStatus WriteChanged(IStorageFile& file);
    bool HasChanges() const;
    // File positions of the changed PAT pages (what WriteChanged overwrites).
    std::vector<uint32_t> ChangedPositions() const;
    // The largest position + stored length among placed pages.
    uint64_t UsedEnd() const;
    void SetFirstPositionSink(FirstPositionSink sink, void* context) {
        sink_ = sink;
        sinkContext_ = context;
    }
    void SetRelocation(bool on) { relocate_ = on; }
    bool Relocation() const { return relocate_; }
    // The page stored just before `position` in file order, or kNone.
    uint32_t PageBefore(uint32_t position) const;

private:
    struct PatPage {
        std::vector<uint8_t> bytes;  // PageSize bytes
        uint32_t position = kNone;   // where it is stored
        bool changed = false;
        // At least the free bytes of every placed entry of this page (the
        // largest is kNone until a search for a gap has looked at them all):
        // that search passes over pages whose gaps are all too small.
        uint32_t mostFree = kNone;
    };
    uint8_t* EntryBytes(uint32_t page);
    const uint8_t* EntryBytes(uint32_t page) const;
    Entry Read(uint32_t page) const;
    void Write(uint32_t page, const Entry& e);
    DmsStatus MapInsert(uint32_t position, uint32_t page);
    // The map entry of `page` at `position`, or map_.end().
    std::vector<Placed>::iterator MapFind(uint32_t page, uint32_t position);
    // The map entry of a placed page moves from `from` to `to`.
    DmsStatus MapMove(uint32_t page, uint32_t from, uint32_t to);
    void PatPageMoved(uint32_t patIndex, uint32_t position);
    void SetFreeBytes(uint32_t page, uint32_t freeBytes);
    // The steps of AssignPosition, in the order it tries them.
    struct Placement {
        uint32_t position = kNone;
        uint32_t freeBytes = 0;
    };
    bool StayInPlace(uint32_t page, const Entry& p, uint32_t length, Placement& to) const;
    bool MoveIntoGapBefore(const Entry& p, uint32_t length, Placement& to);
    bool TakeFirstGap(uint32_t page, uint32_t length, Placement& to);
    DmsStatus AppendAtEnd(uint32_t page, const Entry& p, bool placed, uint32_t length, Placement& to);
    void LeavePlace(const Entry& p);
    DmsStatus RecordPlacement(uint32_t page, const Entry& old, bool placed, uint32_t length, bool compressed,
                              const Placement& to);
    // A stored length the entry's flags allow (a compressed stream may be as
    // long as the page, so up to PageSize + 14), inside the first `fileSize`
    // bytes.
    bool StoredFormFits(const Entry& e, uint64_t fileSize) const;
    // Cuts every page's free bytes at the next stored page.
    void ClampGaps();

    uint32_t pageSize_ = 0;
    uint32_t perPage_ = 0;
    uint32_t maxPages_ = 0;
    std::vector<PatPage> pages_;
    std::vector<Placed> map_;  // sorted by position
    std::vector<std::string> corrections_;
    bool relocate_ = false;
    FirstPositionSink sink_ = nullptr;
    void* sinkContext_ = nullptr;
};
