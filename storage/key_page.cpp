// Key pages: the load-time check and entry access. Layout: key_page.h.
#include "storage/key_page.h"

#include "storage/byte_order.h"

#include <cstring>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

namespace {

// What the check of a key page found, kept per cache slot while the slot's
// content version stays the same: a page read again and again (every step of
// a scan, the root of every seek) is checked once. Versions never repeat, so
// an entry left by another cache never matches.
struct CheckedPage {
    const CCache* cache = nullptr;
    uint64_t version = 0;
    uint32_t number = 0;
    int32_t height = -1;
    uint32_t shapeId = 0;  // IndexKeyFormat::ShapeId of the check
    uint64_t subtree = 0;  // KeyPage::SubtreeCount
    std::shared_ptr<KeyPageEntries> entries;
};

CheckedPage& CheckedSlot(int32_t slot) {
    static std::vector<CheckedPage>* const checked = new std::vector<CheckedPage>;  // the engine's one thread
    if (checked->size() <= static_cast<size_t>(slot)) checked->resize(static_cast<size_t>(slot) + 1);
    return (*checked)[static_cast<size_t>(slot)];
}

// Checks of key pages of files that never change, kept apart from the cache
// slots. Reading a dictionary, such a page leaves its slot and comes back
// (from the store of inflated images) again and again, and its check
// compares every key with the one before it through the collator: most of
// what a look-up costs when it misses the cache. A record keeps the bytes it
// was made from (the frame and the entries; the check reads nothing else)
// and serves only a page of the same size whose bytes are the same, so it
// holds for any file whatever its address, and a file changed on the disk
// behind the read is checked again. An image the cache's store gave back
// keeps its content version: the record of that version needs no comparison.
class KeptChecks {
public:
    static constexpr size_t kPages = 4096;

    const CheckedPage* Find(const IPageStore& file, const CCache& cache, const CachedPage& p, uint32_t number,
                            uint32_t shapeId) {
        const auto found = records_.find(Key{&file, number});
        if (found == records_.end()) return nullptr;
        Record& record = *found->second;
        CheckedPage& checked = record.checked;
        if (record.pageSize != p.size || checked.shapeId != shapeId) return nullptr;
        const uint64_t version = cache.ContentVersion(p.slot);
        if (checked.cache != &cache || checked.version != version) {
            const size_t used = checked.entries->offsets.back();
            if (record.bytes.size() != used || std::memcmp(record.bytes.data(), p.data, used) != 0) return nullptr;
            checked.cache = &cache;
            checked.version = version;
        }
        order_.splice(order_.begin(), order_, found->second);
        return &checked;
    }

    void Keep(const IPageStore& file, const CachedPage& p, const CheckedPage& checked) {
        const Key key{&file, checked.number};
        if (const auto old = records_.find(key); old != records_.end()) {
            order_.erase(old->second);
            records_.erase(old);
        }
        if (records_.size() >= kPages) {
            records_.erase(order_.back().key);
            order_.pop_back();
        }
        const size_t used = checked.entries->offsets.back();
        order_.push_front(Record{key, p.size, std::vector<uint8_t>(p.data, p.data + used), checked});
        records_.emplace(key, order_.begin());
    }

private:
    using Key = StoredPageKey;
    using KeyHash = StoredPageKeyHash;
    struct Record {
        Key key;
        uint32_t pageSize;
        std::vector<uint8_t> bytes;
        CheckedPage checked;
    };
    std::list<Record> order_;  // most recently used first
    std::unordered_map<Key, std::list<Record>::iterator, KeyHash> records_;
};

KeptChecks& KeptChecksOfUnchangingFiles() {
    static KeptChecks* const kept = new KeptChecks;  // the engine's one thread
    return *kept;
}

// The walk of the check over a page's frame and entries: entry starts and
// subtree count into `out`. Keys are checked against `keys` (each
// well-formed and not before the one ahead of it), and their prefixes kept
// when it has them, unless it is null, for a page whose entries were all
// checked before the tree wrote them.
DmsStatus WalkEntries(const CachedPage& p, uint32_t number, int32_t height, const IndexKeyFormat* keys,
                      CheckedPage& out) {
    const uint32_t size = p.size;
    if (size < keypage::kHeadSize || LoadU32(p.data) != number) return DmsStatus::PageLoadFailed;
    int32_t h = keypage::HeightOf(LoadU16(p.data + frame::kSignature));
    if (h < 0) return DmsStatus::PageLoadFailed;
    if (height >= 0 && h != height) return DmsStatus::IntegrityBroken;
    uint32_t count = LoadU16(p.data + keypage::kCount);
    uint32_t at = keypage::kHeadSize;
    auto entries = std::make_shared<KeyPageEntries>();
    std::vector<uint32_t>& offsets = entries->offsets;
    offsets.reserve(count + 1);
    offsets.push_back(at);
    const bool prefixed = keys != nullptr && keys->HasPrefixes();
    if (prefixed) entries->prefixes.reserve(count);
    uint64_t subtree = h == 0 ? count : 0;
    std::span<const uint8_t> previous;
    KeyPrefix previousPrefix;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < keypage::kEntryHead) return DmsStatus::IntegrityBroken;
        uint32_t length = LoadU16(p.data + at);
        if (length < keypage::kEntryHead || length > size - at) return DmsStatus::IntegrityBroken;
        if (keys) {
            const std::span<const uint8_t> key{p.data + at + keypage::kEntryHead, length - keypage::kEntryHead};
            if (!keys->IsWellFormed(key)) return DmsStatus::IntegrityBroken;
            // Every search trusts the order inside a page: keys out of it
            // would make scans answer out of order and seeks land wrong.
            if (prefixed) {
                const KeyPrefix prefix = keys->PrefixOf(key);
                if (i > 0 && keys->Compare(previous, previousPrefix, key, prefix) > 0)
                    return DmsStatus::IntegrityBroken;
                entries->prefixes.push_back(prefix);
                previousPrefix = prefix;
            } else if (i > 0 && keys->Compare(previous, key) > 0) {
                return DmsStatus::IntegrityBroken;
            }
            previous = key;
        }
        if (h > 0) subtree += LoadU32(p.data + at + keypage::kEntryWord2);
        at += length;
        offsets.push_back(at);
    }
    out.number = number;
    out.height = h;
    out.subtree = subtree;
    out.entries = std::move(entries);
    return DmsStatus::Success;
}

}  // namespace

EntryBytes MakeEntry(uint32_t word1, uint32_t word2, std::span<const uint8_t> key) {
    EntryBytes e;
    MakeEntryInto(e, word1, word2, key);
    return e;
}

void MakeEntryInto(EntryBytes& e, uint32_t word1, uint32_t word2, std::span<const uint8_t> key) {
    e.resize(keypage::kEntryHead + key.size());
    StoreU16(e.data(), static_cast<uint16_t>(e.size()));
    StoreU32(e.data() + keypage::kEntryWord1, word1);
    StoreU32(e.data() + keypage::kEntryWord2, word2);
    if (!key.empty()) std::memcpy(e.data() + keypage::kEntryHead, key.data(), key.size());
}

void KeyPage::Clear() {
    page_ = {};
    held_.reset();
    offsets_ = kNoEntries;
    prefixes_ = nullptr;
    count_ = 0;
    subtree_ = 0;
}

DmsStatus KeyPage::Load(CCache& cache, IPageStore& file, uint32_t number, int32_t height,
                        const IndexKeyFormat& format) {
    Clear();
    DmsStatus st = DmsStatus::Success;
    CachedPage p = cache.GetPage(file, number, &st);
    if (!p) return Failed(st) ? st : DmsStatus::PageLoadFailed;
    CheckedPage& checked = CheckedSlot(p.slot);
    if (checked.cache != &cache || checked.version != cache.ContentVersion(p.slot) || checked.number != number ||
        checked.shapeId != format.ShapeId()) {
        const bool unchanging = file.NeverChanges();
        const CheckedPage* kept =
            unchanging ? KeptChecksOfUnchangingFiles().Find(file, cache, p, number, format.ShapeId()) : nullptr;
        CheckedPage found;
        if (kept != nullptr) {
            found = *kept;
        } else {
            st = WalkEntries(p, number, height, &format, found);
            if (Failed(st)) return st;
            found.shapeId = format.ShapeId();
            found.cache = &cache;
            found.version = cache.ContentVersion(p.slot);
            if (unchanging) KeptChecksOfUnchangingFiles().Keep(file, p, found);
        }
        if (height >= 0 && found.height != height) return DmsStatus::IntegrityBroken;
        checked = std::move(found);
    } else if (height >= 0 && checked.height != height) {
        return DmsStatus::IntegrityBroken;
    }
    held_ = checked.entries;
    offsets_ = held_->offsets.data();
    prefixes_ = held_->prefixes.empty() ? nullptr : held_->prefixes.data();
    count_ = static_cast<uint32_t>(held_->offsets.size()) - 1;
    page_ = p;
    number_ = number;
    height_ = checked.height;
    subtree_ = checked.subtree;
    return DmsStatus::Success;
}

void KeyPage::RecordWritten(CCache& cache, const CachedPage& page, const IndexKeyFormat& format) {
    if (!page) return;
    CheckedPage written;
    if (Failed(WalkEntries(page, LoadU32(page.data), -1, nullptr, written))) return;  // Load checks it in full
    written.cache = &cache;
    written.version = cache.ContentVersion(page.slot);
    written.shapeId = format.ShapeId();
    CheckedSlot(page.slot) = std::move(written);
}

void KeyPage::RecordSplice(CCache& cache, uint32_t at, uint32_t removeCount, std::span<const EntryBytes> added,
                           uint64_t subtree, const IndexKeyFormat& format) {
    CheckedPage& slot = CheckedSlot(page_.slot);
    // The record is shared by the slot and this page alone, or copied. The
    // prefixes are not carried along: the tree's searches go without them
    // until the page is read and checked again.
    if (slot.entries != held_ || held_.use_count() != 2) {
        auto copy = std::make_shared<KeyPageEntries>();
        copy->offsets = held_->offsets;
        held_ = std::move(copy);
    }
    held_->prefixes.clear();
    prefixes_ = nullptr;
    std::vector<uint32_t>& offsets = held_->offsets;
    const uint32_t start = offsets[at];
    const uint32_t removedBytes = offsets[at + removeCount] - start;
    uint32_t addedBytes = 0;
    for (const EntryBytes& e : added) addedBytes += static_cast<uint32_t>(e.size());
    // Starts after the change move by the difference; the replaced run's
    // starts give way to the added entries'.
    if (addedBytes != removedBytes)
        for (size_t i = at + removeCount; i < offsets.size(); ++i) offsets[i] = offsets[i] + addedBytes - removedBytes;
    const auto tail = offsets.begin() + at + removeCount;
    if (added.size() < removeCount) {
        offsets.erase(offsets.begin() + at + static_cast<std::ptrdiff_t>(added.size()), tail);
    } else if (added.size() > removeCount) {
        offsets.insert(tail, added.size() - removeCount, 0u);
    }
    uint32_t put = start;
    for (size_t k = 0; k < added.size(); ++k) {
        offsets[at + k] = put;
        put += static_cast<uint32_t>(added[k].size());
    }
    slot.cache = &cache;
    slot.version = cache.ContentVersion(page_.slot);
    slot.number = number_;
    slot.height = height_;
    slot.shapeId = format.ShapeId();
    slot.subtree = subtree;
    slot.entries = held_;
    offsets_ = held_->offsets.data();
    count_ = static_cast<uint32_t>(held_->offsets.size()) - 1;
    subtree_ = subtree;
}


