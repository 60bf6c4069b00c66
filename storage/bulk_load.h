// Bulk load: the entries of one index with a text key are collected in memory
// as prebuilt index entries and inserted in batches of like leading
// characters, so the B-tree fills leaf by leaf instead of at random. This file
// holds the collection area, the batch choice and the passes; dms_bulk.cpp
// binds them to a file's index and to the engine's handle operations.
//
// Batches are chosen over a 16-bit class of each of the first four UTF-16
// units of the key's first segment (BulkCharacterClass): Latin letters fold
// to their capital base letter, Cyrillic letters to the Russian capital of
// like sound, every other unit is its own class. A batch is every entry whose
// class tuple is not greater than a bound (compared class by class); entries
// of one batch go in in collection order, so equal keys keep that order.
#pragma once

#include "storage/dms_status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

using BulkClasses = std::array<uint16_t, 4>;

// The batching class of one UTF-16 unit.
uint16_t BulkCharacterClass(char16_t unit);
// The classes of the first four units of `text` (UTF-16LE bytes; a missing
// unit, or an odd byte left over, gives 0).
BulkClasses BulkClassesOf(std::span<const uint8_t> text);

struct BulkLimits {
    uint32_t maxEntries = 1000000;  // entries held before a flush
    uint32_t areaBytes = 32000000;  // bytes of prebuilt entries held
    uint32_t lowMark = 15000;       // a batch takes more than this many entries...
    uint32_t highMark = 20000;      // ...and is refined while it reaches this many
    // Where the buffers come from (tests make it fail); freed with std::free.
    void* (*allocate)(size_t bytes) = &std::malloc;
};

// Chooses the next batch among `sorted` (the class tuples of the entries
// still to insert, in ascending order): sets `bound` and returns how many
// entries lie at or below it, a prefix of `sorted` (0 when none is left).
// Per level the entries sharing the bound's classes so far are counted class
// by class upward; the first class that takes the count past the low mark is
// chosen, and refined at the next level while the count reaches the high mark.
size_t SelectBulkBatch(std::span<const BulkClasses> sorted, const BulkLimits& limits, BulkClasses& bound);

class BulkLoad {
public:
    // Inserts one prebuilt entry into the index; its status ends the flush.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual DmsStatus Insert(std::span<const uint8_t> entry) = 0;
        // Per-mille progress; false asks the flush to stop (43).
        virtual bool Progress(int32_t perMille) = 0;
    };

    BulkLoad() = default;
    BulkLoad(const BulkLoad&) = delete;
    BulkLoad& operator=(const BulkLoad&) = delete;
    ~BulkLoad() = default;

    // Allocates what is missing of the buffers (16 when that fails, leaving
    // the load inactive) and starts collecting for the index `keyId`.
    DmsStatus Begin(int32_t keyId, const BulkLimits& limits);
    bool Active() const { return active_; }
    int32_t KeyId() const { return keyId_; }
    uint32_t Collected() const { return count_; }

    // Takes one entry whose first segment's text gave `classes`. Flushes first
    // when the entry would not fit (or the area is nearly full, or the entry
    // count is reached), returning the flush's failure without the entry.
    DmsStatus Collect(std::span<const uint8_t> entry, const BulkClasses& classes, uint32_t nearlyFull,
                      Sink& sink);
    // Inserts every collected entry batch by batch, each batch in collection
    // order. A failed insert empties the area and gives its status; a cancel
    // (43) keeps the entries not yet inserted, in collection order, for a
    // later flush.
    DmsStatus Flush(Sink& sink);
    // Drops the entries and the buffers; the load is no longer active.
    void Free();

private:
    std::span<const uint8_t> EntryAt(uint32_t i) const;
    // order_ gets the entries' numbers sorted by class tuple (stable, so
    // collection order within a tuple) and sorted_ their tuples in that order.
    void SortByClasses();
    // Keeps the entries order_[from, count_) for a later flush: moved to the
    // front in collection order.
    void KeepForLater(uint32_t from);

    // A buffer from BulkLimits::allocate, given back with std::free.
    struct FreeBuffer {
        void operator()(void* p) const { std::free(p); }
    };
    template <typename T>
    using Buffer = std::unique_ptr<T[], FreeBuffer>;

    bool active_ = false;
    int32_t keyId_ = -1;
    BulkLimits limits_;
    Buffer<uint8_t> area_;              // limits_.areaBytes of prebuilt entries
    Buffer<uint32_t> offsets_;          // entry starts in the area, collection order
    Buffer<BulkClasses> classes_;       // each entry's class tuple
    Buffer<uint32_t> counting_;         // 65,536 counters of the radix sort by classes
    Buffer<uint32_t> order_;            // entry numbers by class tuple, then a batch's in collection order
    Buffer<uint32_t> scratch_;          // the radix sort's other half
    Buffer<BulkClasses> sorted_;        // classes_ in the order of order_
    uint32_t used_ = 0;                 // next free byte of the area
    uint32_t count_ = 0;                // entries held
};
