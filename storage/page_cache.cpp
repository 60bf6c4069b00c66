// CCache: slots, lookup through a chained hash of (file, page), least
// recently used replacement with index pages near the root kept longer, and
// the write steps of the write-back protocol. See page_cache.h.
#include "storage/page_cache.h"

#include "storage/byte_order.h"
#include "storage/page_frame.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

using storage::LoadU16;
using storage::StoreU16;
using storage::StoreU32;

namespace {
// Floor division of a slot's age by a key page's height + 2, done as a
// multiplication by floor(2^64 / d) + 1 (exact for every 32-bit age): the
// replacement scan divides once per slot, and a hardware division dominated it.
struct AgeDivisor {
    uint64_t magic = 0;
};
constexpr std::array<AgeDivisor, kMaxKeyPageHeight + 3> MakeAgeDivisors() {
    std::array<AgeDivisor, kMaxKeyPageHeight + 3> table{};
    for (uint32_t d = 2; d < table.size(); ++d) table[d].magic = UINT64_MAX / d + 1;
    return table;
}
constexpr std::array<AgeDivisor, kMaxKeyPageHeight + 3> kAgeDivisors = MakeAgeDivisors();

constexpr uint32_t DivideAge(uint32_t age, uint32_t divisor) {
    const uint64_t magic = kAgeDivisors[divisor].magic;
    const uint64_t low = uint64_t{age} * static_cast<uint32_t>(magic);
    const uint64_t high = uint64_t{age} * (magic >> 32);
    return static_cast<uint32_t>((high + (low >> 32)) >> 32);
}

constexpr bool DivideAgeIsExact() {
    const uint32_t ages[] = {0, 1, 2, 3, 20, 21, 22, 41, 42, 1000, 65535, 65536, 0x7FFFFFFF, 0x80000000,
                             0xFFFFFFFD, 0xFFFFFFFE, 0xFFFFFFFF};
    for (uint32_t d = 2; d < kAgeDivisors.size(); ++d) {
        for (uint32_t a : ages) {
            if (DivideAge(a, d) != a / d) return false;
            if (a >= d && DivideAge(a - 1, d) != (a - 1) / d) return false;
        }
        for (uint32_t q = 0xFFFFFFFFu / d - 3; q <= 0xFFFFFFFFu / d; ++q) {
            if (DivideAge(q * d, d) != q || DivideAge(q * d - 1, d) != q - 1) return false;
        }
    }
    return true;
}
static_assert(DivideAgeIsExact());

uint32_t AgeDivisorOf(uint16_t signature) {
    int32_t height = KeyPageHeight(signature);
    return height >= 0 ? static_cast<uint32_t>(height + 2) : 1;
}

uint32_t DividedAge(uint32_t age, uint32_t divisor) { return divisor == 1 ? age : DivideAge(age, divisor); }

uint64_t NextContentVersion() {
    static uint64_t last = 0;  // one sequence for every cache: versions never repeat
    return ++last;
}
}  // namespace

PinScope::~PinScope() {
    for (size_t i = 0; i < std::min(count_, kInPlace); ++i) cache_.Unpin(inPlace_[i].slot, inPlace_[i].generation);
    for (const Held& h : more_) cache_.Unpin(h.slot, h.generation);
}

void PinScope::Pin(const CachedPage& page) {
    if (!page) return;
    CCache::Slot& s = cache_.slots_[static_cast<size_t>(page.slot)];
    // A page this scope holds in place already stays pinned until the scope
    // ends (pages beyond are pinned again: a second pin is released too).
    const Held held{page.slot, s.generation};
    auto same = [&](const Held& h) { return h.slot == held.slot && h.generation == held.generation; };
    if (std::any_of(inPlace_, inPlace_ + std::min(count_, kInPlace), same)) return;
    ++s.pins;
    s.flags |= CCache::Pinned;
    if (count_ < kInPlace) {
        inPlace_[count_] = held;
    } else {
        more_.push_back(held);
    }
    ++count_;
}

void CCache::Unpin(int32_t slot, uint64_t generation) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.generation != generation || s.pins == 0) return;  // emptied meanwhile
    if (--s.pins == 0) s.flags &= static_cast<uint16_t>(~Pinned);
}

CCache::CCache(uint32_t slotCount)
    : slots_(std::max<uint32_t>(slotCount, 1)),
      hash_(std::bit_ceil(slots_.size() * 2), -1),
      queues_(kAgeDivisors.size()) {}

CCache::~CCache() = default;

uint16_t CCache::FlagsOf(int32_t slot) const { return slots_[static_cast<size_t>(slot)].flags; }
uint32_t CCache::PinCount(int32_t slot) const { return slots_[static_cast<size_t>(slot)].pins; }

CachedPage CCache::View(int32_t index) {
    Slot& s = slots_[static_cast<size_t>(index)];
    return CachedPage{index, s.image.get(), s.pageSize};
}

uint32_t CCache::Bucket(const IPageStore& file, uint32_t page) const {
    uint64_t key = (reinterpret_cast<uintptr_t>(&file) >> 4) * 0x9E3779B97F4A7C15ull + page;
    key *= 0xBF58476D1CE4E5B9ull;
    return static_cast<uint32_t>(key >> 32) & static_cast<uint32_t>(hash_.size() - 1);
}

void CCache::List(int32_t slot) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.listed) return;
    int32_t& head = hash_[Bucket(*s.file, s.page)];
    s.chain = head;
    head = slot;
    s.listed = true;
}

void CCache::Unlist(int32_t slot) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (!s.listed) return;
    for (int32_t* link = &hash_[Bucket(*s.file, s.page)]; *link >= 0;
         link = &slots_[static_cast<size_t>(*link)].chain) {
        if (*link == slot) {
            *link = s.chain;
            break;
        }
    }
    s.chain = -1;
    s.listed = false;
}

void CCache::Queue(int32_t slot) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.queue != 0) return;
    s.queue = AgeDivisorOf(s.signature);
    AgeQueue& q = queues_[s.queue];
    // From the young end to the first slot at least as old: almost always the
    // young end itself, as a slot joins when it is used.
    const uint32_t age = tick_ - s.tick;
    int32_t before = q.youngest;
    while (before >= 0 && tick_ - slots_[static_cast<size_t>(before)].tick < age)
        before = slots_[static_cast<size_t>(before)].older;
    s.older = before;
    s.younger = before >= 0 ? slots_[static_cast<size_t>(before)].younger : q.oldest;
    (before >= 0 ? slots_[static_cast<size_t>(before)].younger : q.oldest) = slot;
    (s.younger >= 0 ? slots_[static_cast<size_t>(s.younger)].older : q.youngest) = slot;
}

void CCache::Unqueue(int32_t slot) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.queue == 0) return;
    AgeQueue& q = queues_[s.queue];
    (s.older >= 0 ? slots_[static_cast<size_t>(s.older)].younger : q.oldest) = s.younger;
    (s.younger >= 0 ? slots_[static_cast<size_t>(s.younger)].older : q.youngest) = s.older;
    s.older = s.younger = -1;
    s.queue = 0;
}

void CCache::Reclass(int32_t slot) {
    const Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.queue != 0 && s.queue != AgeDivisorOf(s.signature)) Requeue(slot);
}

void CCache::Requeue(int32_t slot) {
    Unqueue(slot);
    Queue(slot);
}

// The evictable slot of greatest divided age, the lowest on a tie: the same
// slot as a look at every slot. Within a queue the divided age falls from the
// old end, so the greatest is its oldest evictable slot, and the slots that
// tie with the overall greatest lie at the old ends too.
int32_t CCache::ChooseVictim() {
    bool any = false;
    uint32_t greatest = 0;
    for (uint32_t d = 1; d < queues_.size(); ++d) {
        for (int32_t i = queues_[d].oldest; i >= 0; i = slots_[static_cast<size_t>(i)].younger) {
            const Slot& s = slots_[static_cast<size_t>(i)];
            if (!Evictable(s)) continue;
            uint32_t age = DividedAge(tick_ - s.tick, d);
            if (!any || age > greatest) greatest = age;
            any = true;
            break;
        }
    }
    if (!any) return -1;
    int32_t chosen = -1;
    for (uint32_t d = 1; d < queues_.size(); ++d) {
        for (int32_t i = queues_[d].oldest; i >= 0; i = slots_[static_cast<size_t>(i)].younger) {
            const Slot& s = slots_[static_cast<size_t>(i)];
            if (DividedAge(tick_ - s.tick, d) < greatest) break;
            if (Evictable(s) && (chosen < 0 || i < chosen)) chosen = i;
        }
    }
    return chosen;
}

int32_t CCache::Find(const IPageStore& file, uint32_t page) {
    ++tick_;
    ++counters_.lookups;
    for (int32_t i = hash_[Bucket(file, page)]; i >= 0; i = slots_[static_cast<size_t>(i)].chain) {
        const Slot& s = slots_[static_cast<size_t>(i)];
        if (s.file == &file && s.page == page) {
            ++counters_.hits;
            ++counters_.hashHits;
            return i;
        }
    }
    return -1;
}

CachedPage CCache::Lookup(const IPageStore& file, uint32_t page) {
    int32_t i = Find(file, page);
    return i < 0 ? CachedPage{} : View(i);
}

bool CCache::Evictable(const Slot& s) const {
    if (StaysCached(s) || s.pins > 0) return false;
    if (s.flags & Changed) return s.file->MayWriteEarly();
    return true;
}

void CCache::Empty(Slot& s, bool freeBuffers) {
    const auto index = static_cast<uint32_t>(&s - slots_.data());
    Unlist(static_cast<int32_t>(index));
    Unqueue(static_cast<int32_t>(index));
    if (s.flags & InUse) {
        --inUse_;
        firstFree_ = std::min(firstFree_, index);
    }
    s.flags = 0;
    s.file = nullptr;
    s.page = 0;
    s.signature = 0;
    s.tick = 0;
    s.pins = 0;
    ++s.generation;
    s.version = NextContentVersion();
    if (freeBuffers) {
        s.image.reset();
        s.before.reset();
        s.bufferSize = 0;
        s.pageSize = 0;
    }
}

void CCache::Shelve(Slot& s) {
    if (!(s.flags & InUse) || !s.listed || (s.flags & Changed) || !s.image || !s.file->NeverChanges()) return;
    PageImageStore::Image image{std::move(s.image), s.bufferSize, s.version};
    images_.Keep(*s.file, s.page, image);
    s.image = std::move(image.buffer);
}

int32_t CCache::TakeSlot(IPageStore& file) {
    int32_t chosen = -1;
    // The lowest free slot, when there is one.
    for (size_t i = firstFree_; inUse_ < slots_.size() && i < slots_.size(); ++i) {
        if (!(slots_[i].flags & InUse)) {
            chosen = static_cast<int32_t>(i);
            firstFree_ = static_cast<uint32_t>(i);
            counters_.highWater = std::max<uint32_t>(counters_.highWater, static_cast<uint32_t>(i) + 1);
            break;
        }
    }
    if (chosen < 0) {
        chosen = ChooseVictim();
        if (chosen < 0) return -1;
        Slot& victim = slots_[static_cast<size_t>(chosen)];
        if ((victim.flags & Changed) && Failed(WriteSlot(chosen))) return -1;
    }
    Slot& s = slots_[static_cast<size_t>(chosen)];
    uint32_t pageSize = file.PageSize();
    Shelve(s);
    Empty(s, s.bufferSize < pageSize);
    const bool newImage = !s.image;
    if (!s.image || !s.before) {
        // An image buffer given to the store without a spare back is made
        // again at the size of the before-image's.
        const uint32_t size = s.before ? s.bufferSize : pageSize;
        if (!s.image) s.image.reset(new (std::nothrow) uint8_t[size + 16]);
        if (!s.before) s.before.reset(new (std::nothrow) uint8_t[size + 16]);
        if (!s.image || !s.before) {
            Empty(s, true);
            return -1;
        }
        s.bufferSize = size;
    }
    // No clearing: GetPage's read fills the working image and copies it to the
    // before-image, NewPage clears what it hands out. The guard words stand
    // after the page bytes from the buffers' first use at this page size on;
    // nothing but an overrun writes there.
    if (s.pageSize != pageSize || newImage) {
        s.pageSize = pageSize;
        StoreU16(s.image.get() + pageSize, kGuardWord);
        StoreU16(s.before.get() + pageSize, kGuardWord);
    }
    s.flags = InUse;
    s.file = &file;
    ++inUse_;
    return chosen;
}

CachedPage CCache::GetPage(IPageStore& file, uint32_t page, DmsStatus* status) {
    if (status) *status = DmsStatus::Success;
    int32_t found = Find(file, page);
    if (found >= 0) {
        slots_[static_cast<size_t>(found)].tick = tick_;
        Requeue(found);
        return View(found);
    }
    int32_t i = TakeSlot(file);
    if (i < 0) {
        if (status) *status = DmsStatus::PageLoadFailed;
        return {};
    }
    Slot& s = slots_[static_cast<size_t>(i)];
    s.page = page;
    s.tick = tick_;
    ++counters_.loads;
    bool stored = false;
    uint64_t version = 0;
    if (file.NeverChanges()) {
        PageImageStore::Image image{std::move(s.image), s.bufferSize, 0};
        stored = images_.Take(file, page, image);
        s.image = std::move(image.buffer);
        version = image.version;
    }
    if (stored) {
        ++counters_.storedImages;
        StoreU16(s.image.get() + s.pageSize, kGuardWord);
    } else {
        DmsStatus read = file.ReadPage(page, std::span<uint8_t>(s.image.get(), s.pageSize));
        if (Failed(read)) {
            Empty(s, false);
            if (status) *status = read;
            return {};
        }
        version = NextContentVersion();
    }
    List(i);
    if (!file.NeverChanges()) {
        std::memcpy(s.before.get(), s.image.get(), s.pageSize);
        s.flags |= Loaded;
    }
    s.signature = LoadU16(s.image.get() + frame::kSignature);
    Queue(i);
    s.version = version;  // an image back from the store is the one it was
    return View(i);
}

CachedPage CCache::NewPage(IPageStore& file, uint32_t page, uint16_t signature) {
    // Reusing a slot of the same page keeps one slot per (file, page), also
    // when a rollback has handed the page number out again.
    int32_t i = Find(file, page);
    if (i < 0) i = TakeSlot(file);
    if (i < 0) return {};
    Slot& s = slots_[static_cast<size_t>(i)];
    std::memset(s.image.get(), 0, s.pageSize);
    if (!(s.flags & Loaded)) std::memset(s.before.get(), 0, s.pageSize);
    StoreU32(s.image.get(), page);
    StoreU16(s.image.get() + frame::kSignature, signature);
    // A reused loaded slot keeps its before-image: the page exists in the file.
    s.flags = static_cast<uint16_t>(InUse | Changed | (s.flags & (Loaded | Pinned)));
    s.page = page;
    s.signature = signature;
    s.version = NextContentVersion();
    s.tick = tick_;
    List(i);
    Requeue(i);
    return View(i);
}

void CCache::MarkChanged(const CachedPage& page) {
    if (!page) return;
    Slot& s = slots_[static_cast<size_t>(page.slot)];
    s.flags |= Changed;
    s.signature = LoadU16(s.image.get() + frame::kSignature);
    Reclass(page.slot);
    s.version = NextContentVersion();
}

DmsStatus CCache::WriteSlot(int32_t slot) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (!(s.flags & InUse) || !(s.flags & Changed)) return DmsStatus::Success;
    ++counters_.writes;
    DmsStatus st = s.file->WritePage(s.page, std::span<const uint8_t>(s.image.get(), s.pageSize));
    if (Failed(st)) return st;
    std::memcpy(s.before.get(), s.image.get(), s.pageSize);
    s.flags = static_cast<uint16_t>((s.flags & ~Changed) | Loaded);
    return DmsStatus::Success;
}

DmsStatus CCache::FlushInPageOrder(IPageStore& file) {
    std::vector<int32_t> order;
    for (size_t i = 0; i < slots_.size(); ++i) {
        const Slot& s = slots_[i];
        if ((s.flags & InUse) && (s.flags & Changed) && s.file == &file) order.push_back(static_cast<int32_t>(i));
    }
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        return slots_[static_cast<size_t>(a)].page < slots_[static_cast<size_t>(b)].page;
    });
    for (int32_t i : order) {
        DmsStatus st = WriteSlot(i);
        if (Failed(st)) return st;
    }
    return DmsStatus::Success;
}

DmsStatus CCache::WriteSlotAs(int32_t slot, std::span<const uint8_t> stored) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    ++counters_.writes;
    DmsStatus st = s.file->WritePage(s.page, stored.first(s.pageSize));
    if (Failed(st)) return st;
    std::memcpy(s.before.get(), s.image.get(), s.pageSize);
    s.flags = static_cast<uint16_t>((s.flags & ~Changed) | Loaded);
    return DmsStatus::Success;
}

DmsStatus CCache::WriteChangedPages(IPageStore& file) {
    for (size_t i = 0; i < slots_.size(); ++i) {
        const Slot& s = slots_[i];
        if (!(s.flags & InUse) || s.file != &file || StaysCached(s) || !(s.flags & Changed)) continue;
        DmsStatus st = WriteSlot(static_cast<int32_t>(i));
        if (Failed(st)) return st;
    }
    return DmsStatus::Success;
}

void CCache::RestoreFile(const IPageStore& file) {
    for (Slot& s : slots_) {
        if (!(s.flags & InUse) || s.file != &file || !(s.flags & Changed)) continue;
        if (s.flags & Loaded) {
            std::memcpy(s.image.get(), s.before.get(), s.pageSize);
            s.flags &= static_cast<uint16_t>(~Changed);
            s.signature = LoadU16(s.image.get() + frame::kSignature);
            Reclass(static_cast<int32_t>(&s - slots_.data()));
            s.version = NextContentVersion();
        } else {
            Empty(s, false);  // created since its last write: nothing to go back to
        }
    }
}

void CCache::Unwrite(const IPageStore& file, uint32_t page, std::span<const uint8_t> before, bool loaded) {
    int32_t i = Find(file, page);
    if (i < 0) return;
    Slot& s = slots_[static_cast<size_t>(i)];
    std::memset(s.before.get(), 0, s.pageSize);
    if (loaded) std::memcpy(s.before.get(), before.data(), std::min<size_t>(before.size(), s.pageSize));
    s.flags = static_cast<uint16_t>((s.flags & ~Loaded) | Changed | (loaded ? Loaded : 0));
}

bool CCache::HasChangedPages(const IPageStore& file) const {
    for (const Slot& s : slots_) {
        if ((s.flags & InUse) && s.file == &file && (s.flags & Changed)) return true;
    }
    return false;
}

std::vector<CCache::ChangedPage> CCache::ChangedPages(const IPageStore& file) const {
    std::vector<ChangedPage> result;
    for (const Slot& s : slots_) {
        if (!(s.flags & InUse) || s.file != &file || !(s.flags & Changed)) continue;
        result.push_back(ChangedPage{s.page, (s.flags & Loaded) != 0, {s.image.get(), s.pageSize},
                                     {s.before.get(), s.pageSize}});
    }
    return result;
}

void CCache::DropFile(const IPageStore& file) {
    for (Slot& s : slots_) {
        if (s.file == &file) Empty(s, true);
    }
    images_.Forget(file);
}

void CCache::DropPage(const IPageStore& file, uint32_t page) {
    int32_t i = Find(file, page);
    if (i >= 0) Empty(slots_[static_cast<size_t>(i)], false);
    images_.Forget(file, page);
}

bool CCache::CheckGuards(int32_t slot) const {
    if (slot < 0 || static_cast<size_t>(slot) >= slots_.size()) return true;
    const Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.image && LoadU16(s.image.get() + s.pageSize) != kGuardWord) return false;
    if (s.before && LoadU16(s.before.get() + s.pageSize) != kGuardWord) return false;
    return true;
}
