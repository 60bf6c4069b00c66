// IndexTree, reading side: seeks, steps, counted moves, ordinals, counts and
// statistics. The changing side is in index_tree_change.cpp.
#include "storage/index_tree.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <cstring>

using keypage::kNone;

namespace {

const IndexKeyFormat& NoFormat() {
    static const IndexKeyFormat* const none = new IndexKeyFormat;  // kept for the whole run
    return *none;
}

}  // namespace

IndexTree::IndexTree(DMSFile& file, IndexPosition& cursor)
    : file_(file), cursor_(cursor), format_(&NoFormat()), pins_(file.Cache()) {}

DmsStatus IndexTree::Open() {
    indexPosition_ = cursor_.indexPosition;
    if (indexPosition_ < 0 || file_.Descriptor(indexPosition_) == nullptr) return DmsStatus::WrongKeyId;
    // Built once per selected index and kept on the cursor: an open file's
    // description and collator never change, and only SelectIndex changes
    // the key id. Failures are not kept, so they are found again each call.
    if (cursor_.keyFormat == nullptr) cursor_.keyFormat = std::make_unique<IndexKeyFormat>();
    if (cursor_.keyFormatId != cursor_.keyId) {
        cursor_.keyFormatId = -1;
        DmsStatus st = cursor_.keyFormat->Init(file_.Description(), cursor_.keyId, file_.CollatorKind());
        if (st != DmsStatus::Success) return st;
        cursor_.keyFormatId = cursor_.keyId;
    }
    format_ = cursor_.keyFormat.get();
    return DmsStatus::Success;
}

uint32_t IndexTree::Root() const { return storage::LoadU32(file_.Descriptor(indexPosition_) + descriptor::kRoot); }
uint32_t IndexTree::DescriptorCount() const {
    return storage::LoadU32(file_.Descriptor(indexPosition_) + descriptor::kCount);
}

void IndexTree::SetRoot(uint32_t page) {
    storage::StoreU32(file_.Descriptor(indexPosition_) + descriptor::kRoot, page);
    file_.Cache().MarkChanged(file_.Header());
}

void IndexTree::SetDescriptorCount(uint32_t count) {
    storage::StoreU32(file_.Descriptor(indexPosition_) + descriptor::kCount, count);
    file_.Cache().MarkChanged(file_.Header());
}

DmsStatus IndexTree::Load(KeyPage& page, uint32_t number, int32_t height) {
    DmsStatus st = page.Load(file_.Cache(), file_, number, height, *format_);
    if (!Failed(st) && pinning_) pins_.Pin(page.Cached());
    return st;
}

void IndexTree::Unposition() {
    cursor_.positioned = false;
    cursor_.ordinal = kUnknownOrdinal;
}

DmsStatus IndexTree::Report(const KeyPage& leaf, uint32_t index, uint32_t ordinal, KeySegmentValue* out,
                            EntryPosition* position) {
    cursor_.positioned = true;
    cursor_.ordinal = ordinal;
    cursor_.firstReference = leaf.Word1(index);
    format_->Decode(leaf.Key(index), out);
    if (position != nullptr) {
        position->ref = RecordRef{leaf.Word1(index), leaf.Word2(index)};
        position->ordinal = ordinal;
    }
    return DmsStatus::Success;
}

template <typename Choose>
DmsStatus IndexTree::Descend(KeyPage& page, Choose&& choose) {
    cursor_.depth = -1;
    uint32_t number = Root();
    if (number == kNone) return DmsStatus::RecordNotFound;
    int32_t height = -1;  // the root's own, then one less at each level
    // The leaf entries the level above counts for this page (the descriptor
    // for the root): a page that disagrees would give wrong ordinals and
    // counts, so the descent stops there.
    uint64_t expected = DescriptorCount();
    for (int32_t level = 0; level < IndexPosition::kMaxDepth; ++level) {
        DmsStatus st = Load(page, number, height);
        if (Failed(st)) return st;
        if (page.Count() == 0) return DmsStatus::IntegrityBroken;
        if (page.SubtreeCount() != expected)
            return level == 0 ? DmsStatus::IntegrityBroken4 : DmsStatus::IntegrityBroken;
        int32_t entry = 0;
        st = choose(page, entry);
        if (Failed(st)) return st;
        cursor_.path[level] = {number, entry};
        if (page.IsLeaf()) {
            cursor_.depth = level;
            return DmsStatus::Success;
        }
        number = page.Word1(static_cast<uint32_t>(entry));
        expected = page.Word2(static_cast<uint32_t>(entry));
        height = page.Height() - 1;
    }
    return DmsStatus::IntegrityBroken;
}

uint64_t IndexTree::CountBefore(const KeyPage& page, uint32_t entry) {
    if (page.IsLeaf()) return entry;
    // The page's total is known from its check: sum the shorter side.
    uint64_t sum = 0;
    if (entry <= page.Count() / 2) {
        for (uint32_t k = 0; k < entry; ++k) sum += page.Word2(k);
        return sum;
    }
    for (uint32_t k = entry; k < page.Count(); ++k) sum += page.Word2(k);
    return page.SubtreeCount() - sum;
}

DmsStatus IndexTree::Seek(const KeySegmentValue* key, SeekMode mode, KeySegmentValue* out,
                          EntryPosition* position) {
    Unposition();
    DmsStatus st = format_->Encode(key, cursor_.keyScratch);
    if (Failed(st)) return st;
    const IndexKeyFormat::PreparedKey& searchKey = format_->Prepare(cursor_.keyScratch);
    // In every page the first entry not less than the key (greater, for
    // Greater), found by binary search; the entries passed add their counts
    // to the ordinal. The same entry and ordinal as a scan from the left.
    uint64_t counted = 0;
    KeyPage page;
    st = Descend(page, [&](const KeyPage& p, int32_t& entry) {
        uint32_t i = Bound(p, searchKey, mode != Greater);
        if (i == p.Count()) return DmsStatus::RecordNotFound;
        counted += CountBefore(p, i);
        entry = static_cast<int32_t>(i);
        return DmsStatus::Success;
    });
    if (Failed(st)) return st;
    uint32_t i = static_cast<uint32_t>(cursor_.path[cursor_.depth].entry);
    if (mode == Equal && format_->Compare(page.Key(i), searchKey) != 0) return DmsStatus::RecordNotFound;
    return Report(page, i, static_cast<uint32_t>(counted), out, position);
}

uint32_t IndexTree::Bound(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, bool orEqual) const {
    const int32_t least = orEqual ? 0 : 1;  // smallest comparison result that stops
    uint32_t lo = 0;
    uint32_t hi = page.Count();
    const KeyPrefix* prefixes = page.Prefixes();
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        const int32_t order = prefixes != nullptr
                                  ? format_->Compare([&] { return page.Key(mid); }, prefixes[mid], key)
                                  : format_->Compare(page.Key(mid), key);
        if (order >= least) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

bool IndexTree::ChoosesChild(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, uint32_t entry) const {
    return entry < page.Count() && (entry == 0 || format_->Compare(page.Key(entry - 1), key) <= 0) &&
           (entry + 1 == page.Count() || format_->Compare(page.Key(entry), key) > 0);
}

bool IndexTree::IsUpperBound(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, uint32_t upper) const {
    return upper <= page.Count() && (upper == 0 || format_->Compare(page.Key(upper - 1), key) <= 0) &&
           (upper == page.Count() || format_->Compare(page.Key(upper), key) > 0);
}

DmsStatus IndexTree::DescendBinary(const IndexKeyFormat::PreparedKey& key, uint64_t* counted, bool pin,
                                   bool afterInsert) {
    if (counted != nullptr) *counted = 0;
    bool wasPinning = pinning_;
    pinning_ = pin;
    KeyPage page;
    // After an insert the cursor's path still names the pages it went
    // through (Descend overwrites a level only once its choice is made). The
    // next key of a bulk load or an append mostly takes the same way, which a
    // comparison or two per page confirm; the binary search runs only where
    // they fail, and finds the same entry.
    int32_t level = 0;
    DmsStatus st = Descend(page, [&](const KeyPage& p, int32_t& entry) {
        const IndexPosition::PathStep before = cursor_.path[level++];
        const bool guided = afterInsert && before.page == p.Number() && before.entry >= -1;
        if (p.IsLeaf()) {
            // The last insert went in after the entry its descent chose.
            const uint32_t guess = static_cast<uint32_t>(before.entry + 2);
            const uint32_t upper = guided && IsUpperBound(p, key, guess) ? guess : Bound(p, key, false);
            entry = static_cast<int32_t>(upper) - 1;
            return DmsStatus::Success;
        }
        // Into the first child whose last key is greater, else the last child,
        // so that a run of equal keys is entered at its end.
        const uint32_t i = guided && ChoosesChild(p, key, static_cast<uint32_t>(before.entry))
                               ? static_cast<uint32_t>(before.entry)
                               : std::min(Bound(p, key, false), p.Count() - 1);
        if (counted != nullptr) *counted += CountBefore(p, i);
        entry = static_cast<int32_t>(i);
        return DmsStatus::Success;
    });
    pinning_ = wasPinning;
    return st;
}

DmsStatus IndexTree::SeekLessOrEqual(const KeySegmentValue* key, KeySegmentValue* out, EntryPosition* position) {
    Unposition();
    DmsStatus st = format_->Encode(key, cursor_.keyScratch);
    if (Failed(st)) return st;
    uint64_t counted = 0;
    st = DescendBinary(format_->Prepare(cursor_.keyScratch), &counted, false);
    if (Failed(st)) return st;
    int32_t& leafEntry = cursor_.path[cursor_.depth].entry;
    if (leafEntry >= 0) return ReportCurrent(out, position, static_cast<uint32_t>(counted + leafEntry));
    // Nothing here is small enough: the answer is the previous leaf's last entry.
    KeyPage leaf;
    st = Load(leaf, cursor_.path[cursor_.depth].page, 0);
    if (Failed(st)) return st;
    if (leaf.Prev() == kNone || counted == 0) return DmsStatus::RecordNotFound;
    leafEntry = 0;
    st = StepPath(cursor_.depth, -1);
    if (st == DmsStatus::EndOfFile) return DmsStatus::IntegrityBroken;  // a previous leaf its parents lack
    if (Failed(st)) return st;
    return ReportCurrent(out, position, static_cast<uint32_t>(counted - 1));
}

DmsStatus IndexTree::ReportCurrent(KeySegmentValue* out, EntryPosition* position, uint32_t ordinal) {
    KeyPage leaf;
    const IndexPosition::PathStep& at = cursor_.path[cursor_.depth];
    DmsStatus st = Load(leaf, at.page, 0);
    if (Failed(st)) return st;
    if (at.entry < 0 || static_cast<uint32_t>(at.entry) >= leaf.Count()) return DmsStatus::PageLoadFailed;
    return Report(leaf, static_cast<uint32_t>(at.entry), ordinal, out, position);
}

DmsStatus IndexTree::First(KeySegmentValue* out, EntryPosition* position) {
    Unposition();
    KeyPage page;
    DmsStatus st = Descend(page, [](const KeyPage&, int32_t& entry) {
        entry = 0;
        return DmsStatus::Success;
    });
    return Failed(st) ? st : Report(page, 0, 0, out, position);
}

DmsStatus IndexTree::Last(KeySegmentValue* out, EntryPosition* position) {
    Unposition();
    uint64_t counted = 0;
    KeyPage page;
    DmsStatus st = Descend(page, [&](const KeyPage& p, int32_t& entry) {
        uint32_t last = p.Count() - 1;
        counted += CountBefore(p, last);
        entry = static_cast<int32_t>(last);
        return DmsStatus::Success;
    });
    if (Failed(st)) return st;
    if (counted + 1 != DescriptorCount()) return DmsStatus::IntegrityBroken4;
    return Report(page, page.Count() - 1, static_cast<uint32_t>(counted), out, position);
}

DmsStatus IndexTree::CheckPath() {
    if (!cursor_.positioned) return DmsStatus::NoCurrentPosition;
    // A path from before a change that moved the root, or from another index,
    // no longer leads anywhere.
    if (cursor_.depth < 0 || cursor_.depth >= IndexPosition::kMaxDepth || cursor_.path[0].page != Root())
        return DmsStatus::PageLoadFailed;
    return DmsStatus::Success;
}

DmsStatus IndexTree::StepPath(int32_t level, int32_t direction, KeyPage* samePage) {
    IndexPosition::PathStep& at = cursor_.path[level];
    KeyPage local;
    KeyPage& page = samePage != nullptr ? *samePage : local;
    DmsStatus st = Load(page, at.page, cursor_.depth - level);
    if (Failed(st)) return st;
    // The page may have lost entries to another cursor since the path was made.
    if (at.entry < 0 || static_cast<uint32_t>(at.entry) >= page.Count()) return DmsStatus::PageLoadFailed;
    int64_t moved = int64_t{at.entry} + direction;
    if (moved >= 0 && moved < page.Count()) {
        at.entry = static_cast<int32_t>(moved);
        return DmsStatus::Success;
    }
    uint32_t sibling = direction > 0 ? page.Next() : page.Prev();
    if (samePage != nullptr) *samePage = KeyPage{};  // the step leaves it; loading parents may evict it
    if (sibling == kNone || level == 0) return DmsStatus::EndOfFile;
    KeyPage other;
    st = Load(other, sibling, cursor_.depth - level);
    if (Failed(st)) return st;
    if (other.Count() == 0) return DmsStatus::IntegrityBroken;
    int32_t entry = direction > 0 ? 0 : static_cast<int32_t>(other.Count()) - 1;
    st = StepPath(level - 1, direction);
    if (st == DmsStatus::EndOfFile) return DmsStatus::IntegrityBroken;  // a sibling its parents do not know
    if (Failed(st)) return st;
    // The parent's new entry must name the sibling: links that disagree with
    // the parents (a cycle in a damaged file) stop here.
    KeyPage parent;
    const IndexPosition::PathStep& up = cursor_.path[level - 1];
    st = Load(parent, up.page, cursor_.depth - level + 1);
    if (Failed(st)) return st;
    if (parent.Word1(static_cast<uint32_t>(up.entry)) != sibling ||
        parent.Word2(static_cast<uint32_t>(up.entry)) != other.SubtreeCount())
        return DmsStatus::IntegrityBroken;
    at = {sibling, entry};
    return DmsStatus::Success;
}

DmsStatus IndexTree::Step(int32_t direction, KeySegmentValue* out, EntryPosition* position) {
    DmsStatus st = CheckPath();
    if (Failed(st)) return st;
    uint32_t ordinal = cursor_.ordinal;
    KeyPage leaf;
    st = StepPath(cursor_.depth, direction, &leaf);
    if (Failed(st)) return st;
    if (ordinal != kUnknownOrdinal) ordinal += static_cast<uint32_t>(direction);
    // Most steps stay in the leaf StepPath checked; only a step to a sibling loads it again.
    if (leaf) return Report(leaf, static_cast<uint32_t>(cursor_.path[cursor_.depth].entry), ordinal, out, position);
    return ReportCurrent(out, position, ordinal);
}

DmsStatus IndexTree::Next(KeySegmentValue* out, EntryPosition* position) { return Step(+1, out, position); }

DmsStatus IndexTree::Prev(KeySegmentValue* out, EntryPosition* position) { return Step(-1, out, position); }

DmsStatus IndexTree::MoveToOrdinal(uint32_t n, KeySegmentValue* out, EntryPosition* position) {
    if (Root() == kNone || n >= DescriptorCount()) {
        Unposition();
        return DmsStatus::RecordNotFound;
    }
    bool positioned = cursor_.positioned;
    uint32_t known = cursor_.ordinal;
    if (positioned && known != kUnknownOrdinal) {
        if (n == known) {
            DmsStatus st = CheckPath();
            return Failed(st) ? st : ReportCurrent(out, position, known);
        }
        if (n == known + 1) return Next(out, position);
        if (known > 0 && n == known - 1) return Prev(out, position);
    }
    if (n == 0) return First(out, position);
    Unposition();
    uint64_t counted = 0;
    KeyPage page;
    DmsStatus st = Descend(page, [&](const KeyPage& p, int32_t& entry) {
        if (p.IsLeaf()) {
            uint64_t index = n - counted;
            if (index >= p.Count()) return DmsStatus::IntegrityBroken2;
            entry = static_cast<int32_t>(index);
            return DmsStatus::Success;
        }
        for (uint32_t i = 0; i < p.Count(); ++i) {
            uint32_t below = p.Word2(i);
            if (counted + below > n) {
                entry = static_cast<int32_t>(i);
                return DmsStatus::Success;
            }
            counted += below;
        }
        return DmsStatus::RecordNotFound;
    });
    if (Failed(st)) return st;
    return Report(page, static_cast<uint32_t>(cursor_.path[cursor_.depth].entry), n, out, position);
}

DmsStatus IndexTree::GetOrdinal(uint32_t* ordinal) {
    DmsStatus st = CheckPath();
    if (Failed(st)) return st;
    if (cursor_.ordinal == kUnknownOrdinal) {
        uint64_t counted = 0;
        for (int32_t level = 0; level <= cursor_.depth; ++level) {
            const IndexPosition::PathStep& at = cursor_.path[level];
            KeyPage page;
            st = Load(page, at.page, cursor_.depth - level);
            if (Failed(st)) return st;
            if (at.entry < 0 || static_cast<uint32_t>(at.entry) >= page.Count()) return DmsStatus::PageLoadFailed;
            counted += CountBefore(page, static_cast<uint32_t>(at.entry));
        }
        cursor_.ordinal = static_cast<uint32_t>(counted);
    }
    if (ordinal != nullptr) *ordinal = cursor_.ordinal;
    return DmsStatus::Success;
}

uint32_t IndexTree::GetCount() { return Root() == kNone ? 0 : DescriptorCount(); }

DmsStatus IndexTree::GetIndexStats(IndexStats* stats) {
    if (stats == nullptr) return DmsStatus::InvalidParameter;
    std::memset(stats, 0, sizeof *stats);
    uint32_t number = Root();
    if (number == kNone) return DmsStatus::RecordNotFound;
    stats->entries = DescriptorCount();
    // Every walk along the links is bounded by the file's page count, so a
    // cycle of links in a damaged file ends in 100 instead of a hang.
    uint64_t pageLimit = uint64_t{file_.HeaderU32(header::kLastPage)} + 1;
    int32_t height = -1;
    for (int32_t level = 0; level < IndexPosition::kMaxDepth; ++level) {
        IndexStats::Level counts{};
        uint32_t leftmostChild = kNone;
        int32_t levelHeight = height;
        uint64_t walked = 0;
        for (uint32_t at = number; at != kNone;) {
            if (++walked > pageLimit) return DmsStatus::IntegrityBroken;
            KeyPage page;
            DmsStatus st = Load(page, at, levelHeight);
            if (Failed(st)) return st;
            levelHeight = page.Height();
            if (leftmostChild == kNone && !page.IsLeaf() && page.Count() > 0) leftmostChild = page.Word1(0);
            ++counts.pages;
            counts.entries += page.Count();
            counts.entryBytes += page.UsedBytes();
            counts.pageBytes += file_.PageSize();
            uint32_t next = page.Next();
            if (next != kNone && next < at) ++counts.backwardLinks;
            at = next;
        }
        if (level < IndexStats::kMaxLevels) stats->level[level] = counts;
        stats->entryBytes += counts.entryBytes;
        stats->pageBytes += counts.pageBytes;
        stats->levels = static_cast<uint32_t>(level + 1);
        if (levelHeight == 0) return DmsStatus::Success;
        if (leftmostChild == kNone) return DmsStatus::IntegrityBroken;
        number = leftmostChild;
        height = levelHeight - 1;
    }
    return DmsStatus::IntegrityBroken;
}

DmsStatus IndexTree::CompareKeyValues(const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result) {
    if (result == nullptr) return DmsStatus::InvalidParameter;
    return format_->CompareValues(a, b, result);
}
