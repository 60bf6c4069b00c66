// CCache: the one page cache shared by every open database file. Each slot
// holds one page of one file twice: the working image the engine changes and
// the before-image, the page as it last stood in the file (journal and
// rollback read it). Layers above reach pages only through this class; the
// cache reaches the file only through IPageStore.
//
// Invariants:
//  - at most one slot holds a given (file, page);
//  - flag Loaded means "before-image == the page's content in the file"; it is
//    set by every successful read or write of the slot and clear for a page
//    created and not yet written, and for pages of a file that NeverChanges,
//    whose reads make no before-image;
//  - a page its file says StaysCached (the header) is never given up while
//    the file is open; pinned slots and changed slots of journaled files neither;
//  - after the page bytes of each image stands the guard word 0xA5EF.
#pragma once

#include "storage/dms_status.h"
#include "storage/page_image_store.h"
#include "storage/page_store.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A page in the cache: its slot and its working image (PageSize bytes). Valid
// until the slot is given up, so callers pin what they hold across further
// page requests (PinScope).
struct CachedPage {
    int32_t slot = -1;
    uint8_t* data = nullptr;
    uint32_t size = 0;
    explicit operator bool() const { return data != nullptr; }
    std::span<uint8_t> bytes() const { return {data, size}; }
};

class CCache;

// Pins taken for one engine operation; released when the scope ends. Pins are
// counted per slot, so an operation entered again from a progress callback
// releases only its own pins, never the outer operation's.
class PinScope {
public:
    explicit PinScope(CCache& cache) : cache_(cache) {}
    PinScope(const PinScope&) = delete;
    PinScope& operator=(const PinScope&) = delete;
    ~PinScope();
    void Pin(const CachedPage& page);

private:
    struct Held {
        int32_t slot;
        uint64_t generation;
    };
    CCache& cache_;
    // A change pins one path of pages and a few new ones: they fit in place,
    // so a scope made per insert allocates nothing; more go to `more_`.
    static constexpr size_t kInPlace = 24;
    Held inPlace_[kInPlace];
    size_t count_ = 0;
    std::vector<Held> more_;
};

class CCache {
public:
    static constexpr uint32_t kDefaultSlots = 1000;
    static constexpr uint16_t kGuardWord = 0xA5EF;
    enum SlotFlag : uint16_t { InUse = 2, Changed = 4, Loaded = 8, Pinned = 16 };

    struct Counters {
        uint32_t highWater = 0;  // slots ever taken, in slot order
        uint32_t lookups = 0;
        uint32_t hits = 0;
        uint32_t hashHits = 0;
        uint32_t loads = 0;
        uint32_t storedImages = 0;  // loads answered by the image store, not the file
        uint32_t writes = 0;
    };

    // A changed page of a file as the journal sees it.
    struct ChangedPage {
        uint32_t page;
        bool loaded;                           // before-image valid
        std::span<const uint8_t> image;        // working image
        std::span<const uint8_t> beforeImage;  // as in the file when loaded
    };

    explicit CCache(uint32_t slotCount = kDefaultSlots);
    CCache(const CCache&) = delete;
    CCache& operator=(const CCache&) = delete;
    virtual ~CCache();

    // The page, loaded when absent. Null on failure, with *status set to the
    // reason (9 when no slot can be had, else the read's status).
    CachedPage GetPage(IPageStore& file, uint32_t page, DmsStatus* status = nullptr);
    // A slot for a page the file does not hold yet: zeroed, page number and
    // signature stamped, changed, not loaded. An existing slot of the same
    // (file, page) is reused. Null when no slot can be had (callers give 10).
    CachedPage NewPage(IPageStore& file, uint32_t page, uint16_t signature);
    // The cached page or null, without loading.
    CachedPage Lookup(const IPageStore& file, uint32_t page);
    void MarkChanged(const CachedPage& page);

    // Writes a changed slot; on success it is clean and loaded.
    DmsStatus WriteSlot(int32_t slot);
    // Every changed page of the file, lowest page number first; stops at the
    // first failure. No header protocol.
    DmsStatus FlushInPageOrder(IPageStore& file);
    // Every changed page of the file but those it says StaysCached, in slot
    // order; stops at the first failure. The write-back writes them between
    // its two header writes (write_back.cpp).
    DmsStatus WriteChangedPages(IPageStore& file);
    // Writes `stored` in place of the slot's working image: the same page
    // with bytes that only the file holds (the header's write-back flag).
    // Both cached images stay as they are; on success the slot is clean and
    // loaded, on failure its flags are unchanged.
    DmsStatus WriteSlotAs(int32_t slot, std::span<const uint8_t> stored);
    // Rollback: changed pages get their before-images back; changed pages
    // without one (created since their last write) are dropped.
    void RestoreFile(const IPageStore& file);
    // A write-back that failed has put the file back: the page is changed
    // again, with `before` (the page as the file holds it again) as its
    // before-image, or none when it did not exist there. Its working image stays.
    void Unwrite(const IPageStore& file, uint32_t page, std::span<const uint8_t> before, bool loaded);
    bool HasChangedPages(const IPageStore& file) const;
    std::vector<ChangedPage> ChangedPages(const IPageStore& file) const;  // slot order
    // Empties every slot of the file and frees its buffers (close, create).
    void DropFile(const IPageStore& file);
    // Empties one slot of the file, changed or not (compaction after a write).
    void DropPage(const IPageStore& file, uint32_t page);
    // True when the guard word after each buffer of the slot is intact.
    bool CheckGuards(int32_t slot) const;

    // A number naming the slot's image, never given to another in the run:
    // it changes whenever the image may have changed (loaded, created,
    // marked changed, restored, emptied), so layers above keep what they
    // derived from an image while it stays the same. A read-only file's page
    // back from the image store has the number it left with. Whoever writes
    // into an image calls MarkChanged before the page is read again.
    uint64_t ContentVersion(int32_t slot) const { return slots_[static_cast<size_t>(slot)].version; }

    Counters GetCounters() const { return counters_; }
    uint32_t SlotCount() const { return static_cast<uint32_t>(slots_.size()); }
    uint16_t FlagsOf(int32_t slot) const;
    uint32_t PinCount(int32_t slot) const;

private:
    friend class PinScope;
    struct Slot {
        uint16_t flags = 0;
        IPageStore* file = nullptr;
        uint32_t page = 0;
        uint32_t bufferSize = 0;  // page bytes the buffers were made for
        uint32_t pageSize = 0;    // the owning file's PageSize
        uint16_t signature = 0;
        uint32_t tick = 0;
        uint32_t pins = 0;
        uint64_t generation = 0;  // bumped when the slot is emptied
        uint64_t version = 0;     // see ContentVersion
        int32_t chain = -1;       // next slot of the same lookup bucket
        bool listed = false;      // reachable through its bucket
        int32_t older = -1;       // neighbours in its age queue
        int32_t younger = -1;
        uint32_t queue = 0;       // its age queue (the age divisor), 0 none
        std::unique_ptr<uint8_t[]> image;
        std::unique_ptr<uint8_t[]> before;
    };

    int32_t Find(const IPageStore& file, uint32_t page);
    int32_t TakeSlot(IPageStore& file);
    bool Evictable(const Slot& s) const;
    void Empty(Slot& s, bool freeBuffers);
    // A read-only file's page leaves its slot for the image store, buffer and
    // content version; the slot gets a spare buffer back, or none.
    void Shelve(Slot& s);
    bool StaysCached(const Slot& s) const { return s.file->StaysCached(s.page, s.signature); }
    CachedPage View(int32_t index);
    void Unpin(int32_t slot, uint64_t generation);
    uint32_t Bucket(const IPageStore& file, uint32_t page) const;
    // Makes the slot findable under its (file, page), or no longer so.
    void List(int32_t slot);
    void Unlist(int32_t slot);
    // Age queues: the slots in use by age divisor (1 for a page that is no
    // key page, height + 2 for a key page), oldest first. Replacement reads
    // only the old ends of the queues instead of every slot.
    void Queue(int32_t slot);
    void Unqueue(int32_t slot);
    void Requeue(int32_t slot);  // after its tick changed
    void Reclass(int32_t slot);  // after its signature may have changed
    int32_t ChooseVictim();

    std::vector<Slot> slots_;
    // bucket -> first slot of a chain through Slot::chain, -1 empty. Every
    // slot in use with its page set is in the chain of its (file, page).
    std::vector<int32_t> hash_;
    struct AgeQueue {
        int32_t oldest = -1;
        int32_t youngest = -1;
    };
    std::vector<AgeQueue> queues_;
    uint32_t inUse_ = 0;      // slots with flag InUse
    uint32_t firstFree_ = 0;  // no slot below this one is free
    uint32_t tick_ = 0;
    Counters counters_;
    // Images of read-only files' pages the slots gave up, taken back from here.
    PageImageStore images_;
};
