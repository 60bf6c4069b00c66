// IndexTree, changing side: insert after equal keys, delete the current
// entry, rewrite its reference, and the one routine that carries every
// change of a page up to the root (counts, high keys, splits, emptied pages,
// a new root). Pages are pinned while a change works on them.
#include "storage/index_tree.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <cstring>

using keypage::kNone;
using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

namespace {

// Puts `entries` [from, to) into a page image after its 16-byte head.
void WriteEntries(uint8_t* page, uint32_t pageSize, std::span<const EntryView> entries, size_t from, size_t to) {
    std::memset(page + keypage::kHeadSize, 0, pageSize - keypage::kHeadSize);
    uint32_t at = keypage::kHeadSize;
    for (size_t i = from; i < to; ++i) {
        std::memcpy(page + at, entries[i].data(), entries[i].size());
        at += static_cast<uint32_t>(entries[i].size());
    }
    StoreU16(page + keypage::kCount, static_cast<uint16_t>(to - from));
}

// The entry a page's parent keeps for it: its last key, its number, the leaf
// entries below it.
EntryBytes HighKeyEntry(uint32_t page, int32_t height, std::span<const EntryView> entries, size_t from, size_t to) {
    uint64_t below = 0;
    for (size_t i = from; i < to; ++i) below += height == 0 ? 1 : LoadU32(entries[i].data() + keypage::kEntryWord2);
    return MakeEntry(page, static_cast<uint32_t>(below), entries[to - 1].subspan(keypage::kEntryHead));
}

template <typename Entries>
size_t TotalBytes(const Entries& entries, size_t from, size_t to) {
    size_t sum = 0;
    for (size_t i = from; i < to; ++i) sum += entries[i].size();
    return sum;
}

void Partition(std::span<const EntryView> entries, size_t from, size_t to, uint32_t capacity,
               std::vector<size_t>& ends) {
    size_t total = TotalBytes(entries, from, to);
    if (total <= capacity || to - from < 2) {
        ends.push_back(to);
        return;
    }
    size_t half = total / 2;
    size_t before = 0;
    size_t boundary = to - 1;
    for (size_t i = from; i < to; ++i) {
        size_t with = before + entries[i].size();
        if (with > half) {
            // After this entry when that is at least as balanced as before it.
            bool after = std::max(with, total - with) <= std::max(before, total - before);
            boundary = after ? i + 1 : i;
            break;
        }
        before = with;
    }
    boundary = std::clamp(boundary, from + 1, to - 1);
    Partition(entries, from, boundary, capacity, ends);
    Partition(entries, boundary, to, capacity, ends);
}

}  // namespace

std::vector<size_t> PartitionEntries(std::span<const EntryView> entries, uint32_t capacity) {
    std::vector<size_t> ends;
    if (!entries.empty()) Partition(entries, 0, entries.size(), capacity, ends);
    return ends;
}

void IndexTree::MarkWritten(const CachedPage& page) {
    file_.Cache().MarkChanged(page);
    KeyPage::RecordWritten(file_.Cache(), page, *format_);
}

DmsStatus IndexTree::NewRoot(int32_t height, uint32_t& number) {
    CachedPage root;
    DmsStatus st = file_.NewPage(keypage::Signature(height), root);
    if (Failed(st)) return st;
    pins_.Pin(root);
    StoreU32(root.data + keypage::kNext, kNone);
    StoreU32(root.data + keypage::kPrev, kNone);
    MarkWritten(root);
    number = LoadU32(root.data);
    SetRoot(number);
    return DmsStatus::Success;
}

DmsStatus IndexTree::Relink(uint32_t number, int32_t height, bool setNext, uint32_t value) {
    if (number == kNone) return DmsStatus::Success;
    KeyPage page;
    DmsStatus st = Load(page, number, height);
    if (Failed(st)) return st;
    StoreU32(page.Data() + (setNext ? keypage::kNext : keypage::kPrev), value);
    MarkWritten(page.Cached());
    return DmsStatus::Success;
}

DmsStatus IndexTree::FreePage(KeyPage& page, int32_t height) {
    uint32_t prev = page.Prev();
    uint32_t next = page.Next();
    uint8_t* data = page.Data();
    std::memset(data + frame::kSignature, 0, file_.PageSize() - frame::kSignature);  // all but the number
    file_.Cache().MarkChanged(page.Cached());
    DmsStatus st = Relink(prev, height, true, next);
    if (!Failed(st)) st = Relink(next, height, false, prev);
    return st;
}

IndexTree::SpliceBytes IndexTree::MeasureSplice(const KeyPage& page, uint32_t at, uint32_t removeCount,
                                               const std::vector<EntryBytes>& entries) {
    SpliceBytes m;
    m.added = TotalBytes(entries, 0, entries.size());
    m.usedEnd = keypage::kHeadSize + page.UsedBytes();
    m.start = at == page.Count() ? m.usedEnd : static_cast<uint32_t>(page.Entry(at).data() - page.Data());
    m.removedEnd = at + removeCount == page.Count()
                       ? m.usedEnd
                       : static_cast<uint32_t>(page.Entry(at + removeCount).data() - page.Data());
    m.newUsed = uint64_t{m.usedEnd} - (m.removedEnd - m.start) + m.added;
    m.newCount = page.Count() - removeCount + static_cast<uint32_t>(entries.size());
    return m;
}

DmsStatus IndexTree::SpliceInPlace(KeyPage& page, int32_t level, uint32_t at, uint32_t removeCount,
                                   const std::vector<EntryBytes>& entries, const SpliceBytes& m) {
    const int32_t height = cursor_.depth - level;
    const uint32_t number = cursor_.path[level].page;
    // The page's new count and last key are known before the bytes move.
    auto below = [&](std::span<const uint8_t> e) -> uint64_t {
        return height == 0 ? 1 : LoadU32(e.data() + keypage::kEntryWord2);
    };
    uint64_t subtree = page.SubtreeCount();
    for (uint32_t i = at; i < at + removeCount; ++i) subtree -= below(page.Entry(i));
    for (const EntryBytes& e : entries) subtree += below(e);
    uint8_t* data = page.Data();
    if (m.start + m.added != m.removedEnd)
        std::memmove(data + m.start + m.added, data + m.removedEnd, m.usedEnd - m.removedEnd);
    uint32_t put = m.start;
    for (const EntryBytes& e : entries) {
        std::memcpy(data + put, e.data(), e.size());
        put += static_cast<uint32_t>(e.size());
    }
    if (m.newUsed < m.usedEnd) std::memset(data + m.newUsed, 0, m.usedEnd - m.newUsed);
    StoreU16(data + keypage::kCount, static_cast<uint16_t>(m.newCount));
    file_.Cache().MarkChanged(page.Cached());
    page.RecordSplice(file_.Cache(), at, removeCount, entries, subtree, *format_);
    if (level == 0) return DmsStatus::Success;
    return UpdateParentEntry(level - 1, number, page.Key(page.Count() - 1), subtree);
}

DmsStatus IndexTree::UpdateParentEntry(int32_t level, uint32_t child, std::span<const uint8_t> lastKey,
                                       uint64_t below) {
    const uint32_t at = static_cast<uint32_t>(cursor_.path[level].entry);
    KeyPage parent;
    DmsStatus st = Load(parent, cursor_.path[level].page, cursor_.depth - level);
    if (Failed(st)) return st;
    if (at >= parent.Count() || parent.Key(at).size() != lastKey.size()) {
        // A last key of another length (or a path Splice rejects): the entry
        // is rebuilt.
        std::vector<EntryBytes> highKey;
        highKey.push_back(MakeEntry(child, static_cast<uint32_t>(below), lastKey));
        return Splice(level, at, 1, std::move(highKey), child);
    }
    if (parent.Word1(at) != child) return DmsStatus::IntegrityBroken7;
    // The same bytes as Splice would write: the entry keeps its place and
    // length, and takes the count and the last key (the same key after most
    // inserts; a new one of the same length after an append of fixed keys).
    const uint64_t subtree = parent.SubtreeCount() - parent.Word2(at) + static_cast<uint32_t>(below);
    uint8_t* entry = parent.Data() + (parent.Entry(at).data() - parent.Data());
    StoreU32(entry + keypage::kEntryWord2, static_cast<uint32_t>(below));
    if (!lastKey.empty()) std::memmove(entry + keypage::kEntryHead, lastKey.data(), lastKey.size());
    file_.Cache().MarkChanged(parent.Cached());
    parent.RecordSplice(file_.Cache(), at, 0, {}, subtree, *format_);
    if (level == 0) return DmsStatus::Success;
    return UpdateParentEntry(level - 1, cursor_.path[level].page, parent.Key(parent.Count() - 1), subtree);
}

DmsStatus IndexTree::RemoveEmptiedPage(KeyPage& page, int32_t level) {
    const uint32_t number = cursor_.path[level].page;
    DmsStatus st = FreePage(page, cursor_.depth - level);
    if (Failed(st)) return st;
    if (level == 0) {
        SetRoot(kNone);
        cursor_.depth = -1;
        return DmsStatus::Success;
    }
    return Splice(level - 1, static_cast<uint32_t>(cursor_.path[level - 1].entry), 1, {}, number);
}

DmsStatus IndexTree::SplitPage(KeyPage& page, int32_t level, std::span<const EntryView> all,
                               std::vector<EntryBytes>& highKeys) {
    const int32_t height = cursor_.depth - level;
    const uint32_t pageSize = file_.PageSize();
    std::vector<size_t> ends = PartitionEntries(all, pageSize - keypage::kHeadSize);
    // Pieces after the first go to new pages linked in after this one.
    std::vector<CachedPage> pages{page.Cached()};
    std::vector<uint32_t> numbers{cursor_.path[level].page};
    for (size_t k = 1; k < ends.size(); ++k) {
        CachedPage made;
        DmsStatus st = file_.NewPage(keypage::Signature(height), made);
        if (Failed(st)) return st;
        pins_.Pin(made);
        pages.push_back(made);
        numbers.push_back(LoadU32(made.data));
    }
    const uint32_t oldNext = page.Next();
    size_t from = 0;
    for (size_t k = 0; k < ends.size(); ++k) {
        if (TotalBytes(all, from, ends[k]) > pageSize - keypage::kHeadSize) return DmsStatus::InvalidKeyValues;
        uint8_t* data = pages[k].data;
        WriteEntries(data, pageSize, all, from, ends[k]);
        if (k > 0) StoreU32(data + keypage::kPrev, numbers[k - 1]);
        StoreU32(data + keypage::kNext, k + 1 < ends.size() ? numbers[k + 1] : oldNext);
        MarkWritten(pages[k]);
        highKeys.push_back(HighKeyEntry(numbers[k], height, all, from, ends[k]));
        from = ends[k];
    }
    if (ends.size() > 1) return Relink(oldNext, height, false, numbers.back());
    return DmsStatus::Success;
}

DmsStatus IndexTree::RaiseHighKeys(int32_t level, std::vector<EntryBytes> highKeys) {
    const uint32_t number = cursor_.path[level].page;
    if (level > 0)
        return Splice(level - 1, static_cast<uint32_t>(cursor_.path[level - 1].entry), 1, std::move(highKeys),
                      number);
    if (highKeys.size() == 1) return DmsStatus::Success;
    // The root split: a new root above it takes the pieces' entries.
    const int32_t height = cursor_.depth - level;
    if (height + 1 > keypage::kMaxHeight) return DmsStatus::InvalidKeyValues;
    uint32_t rootNumber = 0;
    DmsStatus st = NewRoot(height + 1, rootNumber);
    if (Failed(st)) return st;
    for (int32_t l = cursor_.depth; l >= 0; --l) cursor_.path[l + 1] = cursor_.path[l];
    cursor_.path[0] = {rootNumber, 0};
    ++cursor_.depth;
    return Splice(0, 0, 0, std::move(highKeys), kNone);
}

DmsStatus IndexTree::Splice(int32_t level, uint32_t at, uint32_t removeCount, std::vector<EntryBytes> entries,
                            uint32_t expectChild) {
    // 1. The page at `level`, checked against the change asked of it.
    KeyPage page;
    DmsStatus st = Load(page, cursor_.path[level].page, cursor_.depth - level);
    if (Failed(st)) return st;
    if (uint64_t{at} + removeCount > page.Count()) return DmsStatus::PageLoadFailed;
    if (expectChild != kNone && (removeCount != 1 || page.Word1(at) != expectChild))
        return DmsStatus::IntegrityBroken7;

    // 2. The usual case: the page takes the change in place.
    const SpliceBytes m = MeasureSplice(page, at, removeCount, entries);
    if (m.newCount > 0 && m.newUsed <= file_.PageSize())
        return SpliceInPlace(page, level, at, removeCount, entries, m);

    // 3. Otherwise the page's entries with the change made, the old ones
    // read from a copy of the page (the spread below writes over it) ...
    const std::vector<uint8_t> copy(page.Data(), page.Data() + m.usedEnd);
    const auto copied = [&](uint32_t i) {
        const EntryView e = page.Entry(i);
        return EntryView(copy.data() + (e.data() - page.Data()), e.size());
    };
    std::vector<EntryView> all;
    all.reserve(m.newCount);
    for (uint32_t i = 0; i < at; ++i) all.push_back(copied(i));
    for (const EntryBytes& e : entries) all.emplace_back(e);
    for (uint32_t i = at + removeCount; i < page.Count(); ++i) all.push_back(copied(i));

    // 4. ... leave an emptied page out of its parent,
    if (all.empty()) return RemoveEmptiedPage(page, level);

    // 5. ... or spread over the page and new pages after it, whose high keys
    // replace the page's entry in its parent (6), or go to a new root.
    std::vector<EntryBytes> highKeys;
    st = SplitPage(page, level, all, highKeys);
    if (Failed(st)) return st;
    return RaiseHighKeys(level, std::move(highKeys));
}

DmsStatus IndexTree::InsertKey(const KeySegmentValue* key, RecordRef ref) {
    Unposition();
    DmsStatus st = format_->Encode(key, cursor_.keyScratch);
    if (Failed(st)) return st;
    return InsertEntry(MakeEntry(ref.first, ref.second, cursor_.keyScratch));
}

DmsStatus IndexTree::InsertEntry(std::span<const uint8_t> built) {
    Unposition();
    if (built.size() < keypage::kEntryHead || built.size() > keypage::MaxEntry(file_.PageSize()) ||
        LoadU16(built.data()) != built.size() || !format_->IsWellFormed(built.subspan(keypage::kEntryHead)))
        return DmsStatus::InvalidKeyValues;
    EntryBytes entry(built.begin(), built.end());
    const IndexKeyFormat::PreparedKey& searchKey = format_->Prepare(built.subspan(keypage::kEntryHead));
    DmsStatus st = DmsStatus::Success;
    pinning_ = true;
    if (Root() == kNone) {
        uint32_t number = 0;
        st = NewRoot(0, number);
        if (Failed(st)) return st;
        cursor_.path[0] = {number, -1};
        cursor_.depth = 0;
    } else {
        st = DescendBinary(searchKey, nullptr, true, true);
        if (Failed(st)) return st;
    }
    std::vector<EntryBytes> entries;
    entries.push_back(std::move(entry));
    uint32_t after = static_cast<uint32_t>(cursor_.path[cursor_.depth].entry + 1);
    st = Splice(cursor_.depth, after, 0, std::move(entries), kNone);
    if (Failed(st)) return st;
    SetDescriptorCount(DescriptorCount() + 1);
    return DmsStatus::Success;
}

DmsStatus IndexTree::DeleteCurrent() {
    DmsStatus st = CheckPath();
    Unposition();
    if (Failed(st)) return st;
    pinning_ = true;
    // A path made before another cursor changed the index is caught here,
    // before anything changes, rather than half-way up.
    for (int32_t level = 0; level < cursor_.depth; ++level) {
        KeyPage page;
        st = Load(page, cursor_.path[level].page, cursor_.depth - level);
        if (Failed(st)) return st;
        int32_t entry = cursor_.path[level].entry;
        if (entry < 0 || static_cast<uint32_t>(entry) >= page.Count() ||
            page.Word1(static_cast<uint32_t>(entry)) != cursor_.path[level + 1].page)
            return DmsStatus::PageLoadFailed;
    }
    int32_t entry = cursor_.path[cursor_.depth].entry;
    if (entry < 0) return DmsStatus::PageLoadFailed;
    st = Splice(cursor_.depth, static_cast<uint32_t>(entry), 1, {}, kNone);
    if (Failed(st)) return st;
    uint32_t count = DescriptorCount();
    if (count != 0) SetDescriptorCount(count - 1);
    return DmsStatus::Success;
}

DmsStatus IndexTree::UpdateCurrentKeyReference(RecordRef ref) {
    DmsStatus st = CheckPath();
    if (Failed(st)) return st;
    const IndexPosition::PathStep& at = cursor_.path[cursor_.depth];
    KeyPage leaf;
    st = Load(leaf, at.page, 0);
    if (Failed(st)) return st;
    if (at.entry < 0 || static_cast<uint32_t>(at.entry) >= leaf.Count()) return DmsStatus::PageLoadFailed;
    uint32_t index = static_cast<uint32_t>(at.entry);
    if (leaf.Word1(index) != ref.first || leaf.Word2(index) != ref.second) {
        uint8_t* e = leaf.Data() + (leaf.Entry(index).data() - leaf.Data());
        StoreU32(e + keypage::kEntryWord1, ref.first);
        StoreU32(e + keypage::kEntryWord2, ref.second);
        MarkWritten(leaf.Cached());
    }
    cursor_.firstReference = ref.first;
    return DmsStatus::Success;
}
