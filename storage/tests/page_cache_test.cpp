// CCache over an in-memory page store: replacement, pinning, the loaded
// flag, slot reuse, rollback, the write-back protocol and the guards.
#include "storage/byte_order.h"
#include "storage/page_cache.h"
#include "storage/page_frame.h"
#include "storage/page_image_store.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Pages by number; records every write in order.
class FakePageStore final : public IPageStore {
public:
    explicit FakePageStore(uint32_t pageSize = 256, bool writeEarly = false)
        : pageSize_(pageSize), writeEarly_(writeEarly) {}

    void Put(uint32_t page, uint16_t signature) {
        std::vector<uint8_t> bytes(pageSize_, 0);
        storage::StoreU32(bytes.data(), page);
        storage::StoreU16(bytes.data() + 4, signature);
        bytes[10] = static_cast<uint8_t>(page * 3);
        pages[page] = bytes;
    }

    uint32_t PageSize() const override { return pageSize_; }
    DmsStatus ReadPage(uint32_t page, std::span<uint8_t> image) override {
        ++reads;
        auto it = pages.find(page);
        if (it == pages.end()) return DmsStatus::PageLoadFailed;
        std::copy(it->second.begin(), it->second.end(), image.begin());
        return DmsStatus::Success;
    }
    DmsStatus WritePage(uint32_t page, std::span<const uint8_t> image) override {
        if (failWrites) return DmsStatus::FileIoError;
        pages[page].assign(image.begin(), image.end());
        writes.push_back({page, storage::LoadU16(image.data() + 14)});
        return DmsStatus::Success;
    }
    DmsStatus FlushFile() override {
        ++flushes;
        return DmsStatus::Success;
    }
    bool MayWriteEarly() const override { return writeEarly_; }
    bool NeverChanges() const override { return readOnly; }
    bool StaysCached(uint32_t page, uint16_t signature) const override { return page == 0 && signature == 0x4346; }

    struct Write {
        uint32_t page;
        uint16_t flagField;  // bytes 14..15: the header's write-back flag
        bool operator==(const Write&) const = default;
    };
    std::map<uint32_t, std::vector<uint8_t>> pages;
    std::vector<Write> writes;
    int reads = 0;
    int flushes = 0;
    bool failWrites = false;
    bool readOnly = false;

private:
    uint32_t pageSize_;
    bool writeEarly_;
};

constexpr uint16_t kHeader = 0x4346;
constexpr uint16_t kData = 0x4144;

FakePageStore StoreWithPages(uint32_t count, bool writeEarly = false) {
    FakePageStore store(256, writeEarly);
    store.Put(0, kHeader);
    for (uint32_t p = 1; p <= count; ++p) store.Put(p, kData);
    return store;
}

TEST(PageCache, LoadingMorePagesThanSlotsGivesUpTheOldestNeverTheHeader) {
    FakePageStore store = StoreWithPages(1001);
    CCache cache(1000);
    ASSERT_TRUE(cache.GetPage(store, 0));
    for (uint32_t p = 1; p <= 999; ++p) ASSERT_TRUE(cache.GetPage(store, p));
    EXPECT_EQ(cache.GetCounters().highWater, 1000u);
    ASSERT_TRUE(cache.GetPage(store, 1000));
    EXPECT_FALSE(cache.Lookup(store, 1));  // used longest ago
    EXPECT_TRUE(cache.Lookup(store, 0));
    EXPECT_TRUE(cache.Lookup(store, 2));
    cache.GetPage(store, 2);  // a use makes page 2 younger than page 3
    ASSERT_TRUE(cache.GetPage(store, 1001));
    EXPECT_FALSE(cache.Lookup(store, 3));
    EXPECT_TRUE(cache.Lookup(store, 2));
    EXPECT_TRUE(cache.Lookup(store, 0));
}

TEST(PageCache, ChangedPagesOfAJournaledFileAreNeverGivenUp) {
    FakePageStore store = StoreWithPages(1000, false);
    CCache cache(1000);
    ASSERT_TRUE(cache.GetPage(store, 0));
    for (uint32_t p = 1; p <= 999; ++p) {
        CachedPage page = cache.GetPage(store, p);
        ASSERT_TRUE(page);
        cache.MarkChanged(page);
    }
    DmsStatus st = DmsStatus::Success;
    EXPECT_FALSE(cache.GetPage(store, 1000, &st));
    EXPECT_EQ(st, DmsStatus::PageLoadFailed);
    EXPECT_FALSE(cache.NewPage(store, 1001, kData));
    EXPECT_TRUE(store.writes.empty());
}

TEST(PageCache, WithoutJournalTheOldestChangedPageIsWrittenAndItsSlotReused) {
    FakePageStore store = StoreWithPages(1000, true);
    CCache cache(1000);
    ASSERT_TRUE(cache.GetPage(store, 0));
    for (uint32_t p = 1; p <= 999; ++p) {
        CachedPage page = cache.GetPage(store, p);
        page.data[20] = 0xEE;
        cache.MarkChanged(page);
    }
    ASSERT_TRUE(cache.GetPage(store, 1000));
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0].page, 1u);
    EXPECT_EQ(store.pages[1][20], 0xEE);
    EXPECT_FALSE(cache.Lookup(store, 1));
}

TEST(PageCache, FailedEarlyWriteMakesTheLoadFailNotLoseTheChange) {
    FakePageStore store = StoreWithPages(3, true);
    CCache cache(2);
    ASSERT_TRUE(cache.GetPage(store, 0));
    CachedPage one = cache.GetPage(store, 1);
    one.data[20] = 0x11;
    cache.MarkChanged(one);
    store.failWrites = true;
    EXPECT_FALSE(cache.GetPage(store, 2));
    CachedPage again = cache.Lookup(store, 1);
    ASSERT_TRUE(again);
    EXPECT_EQ(again.data[20], 0x11);
    EXPECT_TRUE(cache.FlagsOf(again.slot) & CCache::Changed);
}

TEST(PageCache, TwoFilesWithTheSamePageNumbersStaySeparate) {
    FakePageStore a = StoreWithPages(5), b = StoreWithPages(5);
    b.pages[3][10] = 0x77;
    CCache cache(16);
    CachedPage pa = cache.GetPage(a, 3), pb = cache.GetPage(b, 3);
    ASSERT_TRUE(pa && pb);
    EXPECT_NE(pa.slot, pb.slot);
    EXPECT_EQ(pa.data[10], 9);
    EXPECT_EQ(pb.data[10], 0x77);
    cache.DropFile(a);
    EXPECT_FALSE(cache.Lookup(a, 3));
    EXPECT_TRUE(cache.Lookup(b, 3));
}

TEST(PageCache, NewPageIsStampedChangedAndNotLoaded) {
    FakePageStore store = StoreWithPages(0);
    CCache cache(8);
    CachedPage page = cache.NewPage(store, 7, kData);
    ASSERT_TRUE(page);
    EXPECT_EQ(storage::LoadU32(page.data), 7u);
    EXPECT_EQ(storage::LoadU16(page.data + 4), kData);
    EXPECT_EQ(cache.FlagsOf(page.slot), CCache::InUse | CCache::Changed);
}

TEST(PageCache, WritingAPageSetsLoadedSoItsBeforeImageIsTrusted) {
    FakePageStore store = StoreWithPages(0);
    CCache cache(8);
    CachedPage page = cache.NewPage(store, 7, kData);
    page.data[30] = 1;
    ASSERT_EQ(cache.WriteSlot(page.slot), DmsStatus::Success);
    EXPECT_EQ(cache.FlagsOf(page.slot), CCache::InUse | CCache::Loaded);
    // A later change can now be rolled back to what the file holds.
    page.data[30] = 2;
    cache.MarkChanged(page);
    cache.RestoreFile(store);
    ASSERT_TRUE(cache.Lookup(store, 7));
    EXPECT_EQ(cache.Lookup(store, 7).data[30], 1);
    ASSERT_EQ(cache.ChangedPages(store).size(), 0u);
}

TEST(PageCache, FlushInPageOrderAndHeaderWritesSetLoadedToo) {
    FakePageStore store = StoreWithPages(0);
    CCache cache(8);
    CachedPage header = cache.NewPage(store, 0, kHeader);
    CachedPage nine = cache.NewPage(store, 9, kData);
    CachedPage four = cache.NewPage(store, 4, kData);
    ASSERT_EQ(cache.FlushInPageOrder(store), DmsStatus::Success);
    EXPECT_EQ(store.writes, (std::vector<FakePageStore::Write>{{0, 0}, {4, 0}, {9, 0}}));
    for (const CachedPage& p : {header, nine, four}) EXPECT_TRUE(cache.FlagsOf(p.slot) & CCache::Loaded);
}

TEST(PageCache, NewPageReusesTheSlotOfTheSamePage) {
    FakePageStore store = StoreWithPages(2);
    CCache cache(8);
    CachedPage loaded = cache.GetPage(store, 2);
    CachedPage made = cache.NewPage(store, 2, kData);
    EXPECT_EQ(loaded.slot, made.slot);
    CachedPage first = cache.NewPage(store, 5, kData);
    CachedPage second = cache.NewPage(store, 5, kData);
    EXPECT_EQ(first.slot, second.slot);
    int slotsOfFive = 0;
    for (const auto& c : cache.ChangedPages(store)) slotsOfFive += c.page == 5;
    EXPECT_EQ(slotsOfFive, 1);
}

TEST(PageCache, RollbackRestoresLoadedPagesAndDropsNewOnes) {
    FakePageStore store = StoreWithPages(3);
    CCache cache(8);
    CachedPage one = cache.GetPage(store, 1);
    PinScope pins(cache);
    pins.Pin(one);
    one.data[40] = 0x55;
    cache.MarkChanged(one);
    cache.NewPage(store, 9, kData);
    cache.RestoreFile(store);
    CachedPage back = cache.Lookup(store, 1);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.data[40], 0);
    EXPECT_EQ(cache.FlagsOf(back.slot), CCache::InUse | CCache::Loaded | CCache::Pinned);  // other flags kept
    EXPECT_FALSE(cache.Lookup(store, 9));
    EXPECT_FALSE(cache.HasChangedPages(store));
}

TEST(PageCache, PinsAreCountedPerOperation) {
    FakePageStore store = StoreWithPages(3);
    CCache cache(3);
    CachedPage one = cache.GetPage(store, 1);
    {
        PinScope outer(cache);
        outer.Pin(one);
        {
            PinScope inner(cache);  // an operation re-entered from a callback
            inner.Pin(one);
            inner.Pin(cache.GetPage(store, 2));
        }
        EXPECT_EQ(cache.PinCount(one.slot), 1u);
        EXPECT_TRUE(cache.FlagsOf(one.slot) & CCache::Pinned);
        // The outer operation's page survives any amount of further loading.
        for (uint32_t p : {2u, 3u, 2u, 3u, 0u}) {
            store.Put(0, kHeader);
            cache.GetPage(store, p);
        }
        EXPECT_TRUE(cache.Lookup(store, 1));
    }
    EXPECT_EQ(cache.PinCount(one.slot), 0u);
    EXPECT_FALSE(cache.FlagsOf(one.slot) & CCache::Pinned);
}

// A scope keeps every page it pinned, however often, and releases them all,
// also beyond what it holds in place.
TEST(PageCache, ScopeReleasesEveryPinItTook) {
    FakePageStore store = StoreWithPages(40);
    CCache cache(64);
    std::vector<CachedPage> pages;
    {
        PinScope pins(cache);
        for (uint32_t p = 1; p <= 40; ++p) {
            pages.push_back(cache.GetPage(store, p));
            pins.Pin(pages.back());
            pins.Pin(pages.back());
        }
        for (const CachedPage& page : pages) EXPECT_GE(cache.PinCount(page.slot), 1u);
        EXPECT_EQ(cache.PinCount(pages.front().slot), 1u);
    }
    for (const CachedPage& page : pages) {
        EXPECT_EQ(cache.PinCount(page.slot), 0u);
        EXPECT_FALSE(cache.FlagsOf(page.slot) & CCache::Pinned);
    }
}

TEST(PageCache, PinOfAnEmptiedSlotIsNotReleasedTwice) {
    FakePageStore store = StoreWithPages(3);
    CCache cache(4);
    PinScope other(cache);
    CachedPage again;
    {
        PinScope pins(cache);
        CachedPage one = cache.GetPage(store, 1);
        pins.Pin(one);
        cache.DropFile(store);
        again = cache.GetPage(store, 2);
        ASSERT_EQ(again.slot, one.slot);  // the emptied slot is taken again
        other.Pin(again);
    }
    // `pins` ended first and must not have touched the slot's new pin.
    EXPECT_EQ(cache.PinCount(again.slot), 1u);
    EXPECT_TRUE(cache.FlagsOf(again.slot) & CCache::Pinned);
}

TEST(PageCache, FullCacheOfPinnedSlotsIsAStatus) {
    FakePageStore store = StoreWithPages(5);
    CCache cache(2);
    PinScope pins(cache);
    pins.Pin(cache.GetPage(store, 1));
    pins.Pin(cache.GetPage(store, 2));
    DmsStatus st = DmsStatus::Success;
    EXPECT_FALSE(cache.GetPage(store, 3, &st));
    EXPECT_EQ(st, DmsStatus::PageLoadFailed);
    EXPECT_FALSE(cache.NewPage(store, 4, kData));
}

TEST(PageCache, KeyPagesNearTheRootStayLonger) {
    FakePageStore store(256);
    store.Put(0, kHeader);
    store.Put(1, 0x314B);  // K1: age divided by 3
    store.Put(2, kData);
    store.Put(3, 0x304B);  // K0: age divided by 2
    store.Put(4, kData);
    CCache cache(4);
    cache.GetPage(store, 0);
    cache.GetPage(store, 1);
    cache.GetPage(store, 2);
    cache.GetPage(store, 3);
    cache.GetPage(store, 4);  // the data page 2 goes although the K1 page is older
    EXPECT_TRUE(cache.Lookup(store, 1));
    EXPECT_FALSE(cache.Lookup(store, 2));
}

TEST(PageCache, WriteSlotAsWritesTheStoredFormAndKeepsBothImages) {
    FakePageStore store = StoreWithPages(1);
    CCache cache(4);
    CachedPage header = cache.GetPage(store, 0);
    header.data[20] = 7;
    cache.MarkChanged(header);
    std::vector<uint8_t> stored(header.data, header.data + header.size);
    storage::StoreU16(stored.data() + 14, 0xFFFF);
    store.failWrites = true;
    EXPECT_EQ(cache.WriteSlotAs(header.slot, stored), DmsStatus::FileIoError);
    EXPECT_TRUE(cache.FlagsOf(header.slot) & CCache::Changed);
    store.failWrites = false;
    ASSERT_EQ(cache.WriteSlotAs(header.slot, stored), DmsStatus::Success);
    EXPECT_EQ(store.writes, (std::vector<FakePageStore::Write>{{0, 0xFFFF}}));
    EXPECT_EQ(cache.FlagsOf(header.slot), CCache::InUse | CCache::Loaded);
    EXPECT_EQ(storage::LoadU16(header.data + 14), 0);
    ASSERT_EQ(cache.ChangedPages(store).size(), 0u);
    header.data[21] = 1;
    cache.MarkChanged(header);
    EXPECT_EQ(cache.ChangedPages(store)[0].beforeImage[14], 0);  // the before-image has the working bytes
    EXPECT_EQ(cache.ChangedPages(store)[0].beforeImage[20], 7);
}

TEST(PageCache, GuardsDetectAnOverrun) {
    FakePageStore store = StoreWithPages(2);
    CCache cache(4);
    CachedPage p = cache.GetPage(store, 1);
    EXPECT_TRUE(cache.CheckGuards(p.slot));
    EXPECT_TRUE(cache.CheckGuards(-1));
    p.data[256] = 0;  // one past the page: the guard word
    EXPECT_FALSE(cache.CheckGuards(p.slot));
}

TEST(PageCache, SlotsAreReusedAcrossPageSizes) {
    FakePageStore small(128), large(1024);
    small.Put(1, kData);
    large.Put(1, kData);
    CCache cache(1);
    ASSERT_TRUE(cache.GetPage(small, 1));
    ASSERT_TRUE(cache.GetPage(large, 1));  // the buffers grow
    CachedPage p = cache.Lookup(large, 1);
    EXPECT_EQ(p.size, 1024u);
    EXPECT_TRUE(cache.CheckGuards(p.slot));
    ASSERT_TRUE(cache.GetPage(small, 1));  // and are kept when large enough
    EXPECT_TRUE(cache.CheckGuards(cache.Lookup(small, 1).slot));
}

TEST(PageCache, CountersCountLookupsHitsAndWrites) {
    FakePageStore store = StoreWithPages(3);
    CCache cache(4);
    cache.GetPage(store, 1);
    cache.GetPage(store, 1);
    cache.GetPage(store, 2);
    cache.MarkChanged(cache.GetPage(store, 2));
    cache.FlushInPageOrder(store);
    CCache::Counters c = cache.GetCounters();
    EXPECT_EQ(c.lookups, 4u);
    EXPECT_EQ(c.hits, 2u);
    EXPECT_EQ(c.hashHits, 2u);
    EXPECT_EQ(c.loads, 2u);
    EXPECT_EQ(c.writes, 1u);
    EXPECT_EQ(c.highWater, 2u);
}

TEST(PageCache, FailedReadLeavesNoSlotBehind) {
    FakePageStore store = StoreWithPages(1);
    CCache cache(2);
    DmsStatus st = DmsStatus::Success;
    EXPECT_FALSE(cache.GetPage(store, 50, &st));
    EXPECT_EQ(st, DmsStatus::PageLoadFailed);
    EXPECT_FALSE(cache.Lookup(store, 50));
    EXPECT_TRUE(cache.GetPage(store, 1));
}

// A read-only file's pages the slots gave up come back from the image store,
// byte for byte, without a read; a file that can change is read again, and a
// dropped file's images are forgotten (its address may serve another file).
TEST(PageCache, GivenUpPagesOfAReadOnlyFileAreReadOnceUntilTheFileIsDropped) {
    for (bool readOnly : {true, false}) {
        FakePageStore store = StoreWithPages(6);
        store.readOnly = readOnly;
        CCache cache(3);
        std::map<uint32_t, uint64_t> versions;
        for (int round = 0; round < 2; ++round)
            for (uint32_t p = 1; p <= 6; ++p) {
                CachedPage page = cache.GetPage(store, p);
                ASSERT_TRUE(page);
                EXPECT_EQ(page.data[10], static_cast<uint8_t>(p * 3)) << p;
                EXPECT_TRUE(cache.CheckGuards(page.slot));
                // An image back from the store is the one that left: what was
                // derived from it holds; a page read again is another image.
                const uint64_t version = cache.ContentVersion(page.slot);
                if (round == 1) {
                    EXPECT_EQ(version == versions[p], readOnly) << p;
                }
                versions[p] = version;
            }
        EXPECT_EQ(store.reads, readOnly ? 6 : 12);
        EXPECT_EQ(cache.GetCounters().storedImages, readOnly ? 6u : 0u);
        if (!readOnly) continue;
        cache.DropFile(store);
        store.pages[1][10] = 0x77;
        CachedPage again = cache.GetPage(store, 1);
        ASSERT_TRUE(again);
        EXPECT_EQ(again.data[10], 0x77);
        EXPECT_EQ(store.reads, 7);
    }
}

// The store keeps the images given up most recently, to its count, and
// hands buffers over without copying: a taken image leaves the store, and
// the buffer that came in is the spare a later slot gets back.
TEST(PageImageStore, KeepsTheNewestImagesAndHandsTheirBuffersOver) {
    FakePageStore file(16);
    FakePageStore other(16);
    PageImageStore store(3);
    auto image = [](uint8_t mark, uint32_t size = 16) {
        PageImageStore::Image i{std::make_unique<uint8_t[]>(size + 16), size, 100u + mark};
        i.buffer[0] = mark;
        return i;
    };
    for (uint8_t p = 1; p <= 4; ++p) {
        PageImageStore::Image given = image(p);
        store.Keep(file, p, given);
        EXPECT_EQ(given.buffer != nullptr, p == 4) << "the buffer of page 1, given up, comes back";
    }
    PageImageStore::Image given = image(9);
    store.Keep(other, 2, given);  // the same page number of another file; gives up page 2
    EXPECT_EQ(store.Count(), 3u);
    PageImageStore::Image slot = image(0);
    const uint8_t* slotBuffer = slot.buffer.get();
    EXPECT_FALSE(store.Take(file, 1, slot));
    EXPECT_FALSE(store.Take(file, 2, slot));
    ASSERT_TRUE(store.Take(file, 3, slot));
    EXPECT_EQ(slot.buffer[0], 3);
    EXPECT_EQ(slot.version, 103u);
    EXPECT_FALSE(store.Take(file, 3, slot)) << "a taken image has left the store";
    // Kept again it is the newest; the buffer the slot gave comes back as the spare.
    store.Keep(file, 3, slot);
    EXPECT_EQ(slot.buffer.get(), slotBuffer);
    PageImageStore::Image fifth = image(5);
    store.Keep(file, 5, fifth);  // gives up page 4, the oldest
    PageImageStore::Image wider = image(0, 32);
    EXPECT_FALSE(store.Take(file, 4, wider));
    ASSERT_TRUE(store.Take(file, 3, wider));  // a buffer of another size is copied into
    EXPECT_EQ(wider.buffer[0], 3);
    EXPECT_EQ(wider.version, 103u);
    store.Forget(file);
    EXPECT_EQ(store.Count(), 1u);
    ASSERT_TRUE(store.Take(other, 2, slot));
    EXPECT_EQ(slot.buffer[0], 9);
}

}  // namespace

// The replacement rule written out plainly, slot by slot: the lowest free
// slot, else the unpinned slot of greatest age (divided by height + 2 for
// key pages), the lowest such slot on a tie. The cache must pick the very
// same slots however it finds them.
class ReplacementModel {
public:
    explicit ReplacementModel(size_t slotCount) : slots_(slotCount) {}

    int32_t Get(const IPageStore* file, uint32_t page, uint16_t signature) {
        ++tick_;
        int32_t found = Find(file, page);
        if (found >= 0) {
            slots_[static_cast<size_t>(found)].tick = tick_;
            return found;
        }
        int32_t chosen = -1;
        for (size_t i = 0; i < slots_.size() && chosen < 0; ++i)
            if (!slots_[i].inUse) chosen = static_cast<int32_t>(i);
        if (chosen < 0) {
            uint32_t oldest = 0;
            for (size_t i = 0; i < slots_.size(); ++i) {
                const Slot& s = slots_[i];
                if ((s.page == 0 && s.signature == kHeader) || s.pinned) continue;
                uint32_t age = tick_ - s.tick;
                int height = KeyPageHeight(s.signature);
                if (height >= 0) age /= static_cast<uint32_t>(height + 2);
                if (chosen < 0 || age > oldest) {
                    chosen = static_cast<int32_t>(i);
                    oldest = age;
                }
            }
        }
        slots_[static_cast<size_t>(chosen)] = Slot{true, file, page, signature, tick_};
        return chosen;
    }
    void Drop(const IPageStore* file, uint32_t page) {
        ++tick_;
        int32_t found = Find(file, page);
        if (found >= 0) slots_[static_cast<size_t>(found)] = Slot{};
    }
    void Look() { ++tick_; }
    void Change(int32_t slot, uint16_t signature) { slots_[static_cast<size_t>(slot)].signature = signature; }
    void Pin(int32_t slot, bool pinned) { slots_[static_cast<size_t>(slot)].pinned = pinned; }

private:
    struct Slot {
        bool inUse = false;
        const IPageStore* file = nullptr;
        uint32_t page = 0;
        uint16_t signature = 0;
        uint32_t tick = 0;
        bool pinned = false;
    };
    int32_t Find(const IPageStore* file, uint32_t page) const {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].inUse && slots_[i].file == file && slots_[i].page == page) return static_cast<int32_t>(i);
        return -1;
    }
    std::vector<Slot> slots_;
    uint32_t tick_ = 0;
};

TEST(PageCache, ReplacementPicksTheSameSlotsAsThePlainRule) {
    // Two files with the same page numbers, leaves, branches and data pages;
    // changed pages may be written early, so only pins hold a slot.
    FakePageStore a(256, true), b(256, true);
    auto signatureOf = [](uint32_t page) -> uint16_t {
        if (page == 0) return kHeader;
        if (page % 7 == 0) return kData;
        return static_cast<uint16_t>(0x304B + 256 * (page % 5 == 0 ? page % 3 : 0));
    };
    for (uint32_t p = 0; p < 400; ++p) {
        a.Put(p, signatureOf(p));
        b.Put(p, signatureOf(p));
    }
    CCache cache(64);
    ReplacementModel model(64);
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    std::optional<PinScope> pins;
    std::vector<int32_t> pinned;
    for (int step = 0; step < 20000; ++step) {
        if (step % 50 == 0) {  // a new operation pins a few pages of its own
            pins.reset();
            for (int32_t slot : pinned) model.Pin(slot, false);
            pinned.clear();
            pins.emplace(cache);
        }
        FakePageStore& store = (next() % 3 == 0) ? b : a;
        // Mostly a small working set, now and then a page far off.
        uint32_t page = next() % 8 == 0 ? next() % 400 : next() % 80;
        uint32_t action = next() % 16;
        if (action == 0) {
            cache.DropPage(store, page);
            model.Drop(&store, page);
            model.Look();
            ASSERT_FALSE(cache.Lookup(store, page)) << "step " << step;
            continue;
        }
        CachedPage got = cache.GetPage(store, page);
        ASSERT_TRUE(got) << "step " << step;
        ASSERT_EQ(got.slot, model.Get(&store, page, storage::LoadU16(got.data + 4))) << "step " << step;
        ASSERT_EQ(storage::LoadU32(got.data), page);
        if (action == 1 && page != 0) {  // the page is rebuilt at another height
            uint16_t signature = static_cast<uint16_t>(0x304B + 256 * (next() % 4));
            storage::StoreU16(got.data + 4, signature);
            cache.MarkChanged(got);
            model.Change(got.slot, signature);
        } else if (action == 2 && pinned.size() < 4) {
            pins->Pin(got);
            model.Pin(got.slot, true);
            pinned.push_back(got.slot);
        }
    }
}
