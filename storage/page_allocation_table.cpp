// PageAllocationTable: loading and checking the PAT chain, the sorted
// position map, and the placement policy for pages whose stored length
// changes. The layout is at the top of page_allocation_table.h.
#include "storage/page_allocation_table.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <set>

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

namespace {
constexpr uint32_t kPatHead = 16;
constexpr uint32_t kEntrySize = 16;
// PAT page head and entry fields (tabled in page_allocation_table.h).
constexpr uint32_t kPerPageField = 6;
constexpr uint32_t kNextPatField = 8;
constexpr uint32_t kFirstDescribedField = 12;
constexpr uint32_t kSignatureField = 4;
constexpr uint32_t kFlagsField = 6;
constexpr uint32_t kStoredLengthField = 8;
constexpr uint32_t kFreeBytesField = 12;
constexpr uint32_t kMinStoredLength = 14;  // a compressed page's head
}  // namespace

DmsStatus PageAllocationTable::Load(IStorageFile& file, uint32_t pageSize, uint32_t firstPosition,
                                    uint32_t maxPages) {
    pages_.clear();
    map_.clear();
    corrections_.clear();
    pageSize_ = pageSize;
    perPage_ = (pageSize - kPatHead) / kEntrySize;
    maxPages_ = maxPages;
    if (firstPosition == 0 || firstPosition == kNone) return DmsStatus::Success;

    std::set<uint32_t> seen;
    uint32_t position = firstPosition;
    while (position != 0 && position != kNone) {
        if (pages_.size() >= kMaxPatPages) return DmsStatus::NotEnoughMemory;
        if (!seen.insert(position).second) return DmsStatus::WrongFile;  // the chain loops
        PatPage p;
        p.bytes.assign(pageSize, 0);
        p.position = position;
        size_t done = 0;
        if (file.ReadAt(position, p.bytes, done) != IoError::Ok) return DmsStatus::FileIoError;
        if (done != pageSize) return DmsStatus::WrongFile;
        const uint8_t* b = p.bytes.data();
        uint32_t k = static_cast<uint32_t>(pages_.size());
        if (LoadU16(b + frame::kSignature) != kSignature || LoadU16(b + kPerPageField) != perPage_ ||
            LoadU32(b + kFirstDescribedField) != k * perPage_)
            return DmsStatus::WrongFile;
        position = LoadU32(b + kNextPatField);
        pages_.push_back(std::move(p));
    }
    uint64_t fileSize = 0;
    if (file.Size(fileSize) != IoError::Ok) return DmsStatus::FileIoError;
    // The table's own pages must be where its entries say: it is written
    // back at the chain's positions and placed by its entries.
    for (const PatPage& p : pages_) {
        uint32_t number = LoadU32(p.bytes.data());
        Entry e;
        if (!Find(number, e) || (e.flags & (kFlagNotPlaced | kFlagCompressed)) || e.position != p.position ||
            e.storedLength != pageSize_)
            return DmsStatus::WrongFile;
    }
    for (uint32_t k = 0; k < pages_.size(); ++k) {
        for (uint32_t i = 0; i < perPage_; ++i) {
            uint32_t page = k * perPage_ + i;
            Entry e = Read(page);
            if ((e.flags & kFlagNotPlaced) || e.position == kNone) continue;
            if (!StoredFormFits(e, fileSize)) {
                // A place that cannot hold the page: it is not stored anywhere
                // (reading it gives 255) and its gap is no gap.
                Write(page, Entry{kNone, e.signature, static_cast<uint16_t>(e.flags | kFlagNotPlaced), pageSize_, 0});
                corrections_.push_back("page " + std::to_string(page) + ": stored form at " +
                                       std::to_string(e.position) + " of length " + std::to_string(e.storedLength) +
                                       " does not fit the file; taken as not stored");
                continue;
            }
            DmsStatus st = MapInsert(e.position, page);
            if (Failed(st)) return st;
        }
    }
    ClampGaps();
    // What Load corrected stays in memory until the table is written anyway.
    for (PatPage& p : pages_) p.changed = false;
    return DmsStatus::Success;
}

bool PageAllocationTable::StoredFormFits(const Entry& e, uint64_t fileSize) const {
    bool compressed = (e.flags & kFlagCompressed) != 0;
    uint32_t longest = compressed ? pageSize_ + kMinStoredLength : pageSize_;
    if (e.storedLength <= kMinStoredLength || e.storedLength > longest || (!compressed && e.storedLength != pageSize_))
        return false;
    return uint64_t{e.position} + e.storedLength <= fileSize;
}

void PageAllocationTable::ClampGaps() {
    // A page's free bytes reach at most to the next stored page; where two
    // pages claim overlapping places neither has a gap (reading the one
    // whose place it is not gives 255: the stored page number differs).
    for (size_t i = 0; i + 1 < map_.size(); ++i) {
        Entry e = Read(map_[i].page);
        uint64_t end = uint64_t{e.position} + e.storedLength;
        uint64_t next = map_[i + 1].position;
        uint64_t gap = next > end ? next - end : 0;
        if (e.freeBytes > gap) {
            corrections_.push_back("page " + std::to_string(map_[i].page) + ": " + std::to_string(e.freeBytes) +
                                   " free bytes run into the next stored page; cut to " + std::to_string(gap));
            e.freeBytes = static_cast<uint32_t>(gap);
            Write(map_[i].page, e);
        }
    }
}

uint8_t* PageAllocationTable::EntryBytes(uint32_t page) {
    return pages_[page / perPage_].bytes.data() + kPatHead + (page % perPage_) * kEntrySize;
}

const uint8_t* PageAllocationTable::EntryBytes(uint32_t page) const {
    return pages_[page / perPage_].bytes.data() + kPatHead + (page % perPage_) * kEntrySize;
}

PageAllocationTable::Entry PageAllocationTable::Read(uint32_t page) const {
    const uint8_t* b = EntryBytes(page);
    return Entry{LoadU32(b), LoadU16(b + kSignatureField), LoadU16(b + kFlagsField), LoadU32(b + kStoredLengthField),
                 LoadU32(b + kFreeBytesField)};
}

void PageAllocationTable::Write(uint32_t page, const Entry& e) {
    uint8_t* b = EntryBytes(page);
    StoreU32(b, e.position);
    StoreU16(b + kSignatureField, e.signature);
    StoreU16(b + kFlagsField, e.flags);
    StoreU32(b + kStoredLengthField, e.storedLength);
    StoreU32(b + kFreeBytesField, e.freeBytes);
    PatPage& p = pages_[page / perPage_];
    p.changed = true;
    p.mostFree = std::max(p.mostFree, e.freeBytes);
}

bool PageAllocationTable::Find(uint32_t page, Entry& entry) const {
    if (perPage_ == 0 || page / perPage_ >= pages_.size()) return false;
    entry = Read(page);
    return true;
}

DmsStatus PageAllocationTable::CheckReadable(uint32_t page, Entry& entry) const {
    if (!Find(page, entry)) return DmsStatus::PageNotStored;
    if (entry.position == kNone || (entry.flags & kFlagNotPlaced)) return DmsStatus::PageNotStored;
    return StoredFormFits(entry, kNone) ? DmsStatus::Success : DmsStatus::PageNotStored;
}

DmsStatus PageAllocationTable::CheckSignature(uint32_t page, uint16_t signature) {
    Entry e;
    if (!Find(page, e)) return DmsStatus::PageNotStored;
    if (e.flags & kFlagSignatureNotRecorded) {
        e.signature = signature;
        e.flags &= static_cast<uint16_t>(~kFlagSignatureNotRecorded);
        Write(page, e);
        return DmsStatus::Success;
    }
    return e.signature == signature ? DmsStatus::Success : DmsStatus::WrongPatSignature;
}

DmsStatus PageAllocationTable::MapInsert(uint32_t position, uint32_t page) {
    if (map_.size() >= maxPages_) return DmsStatus::NotEnoughMemory;
    auto at = std::lower_bound(map_.begin(), map_.end(), position,
                               [](const Placed& p, uint32_t pos) { return p.position < pos; });
    map_.insert(at, Placed{position, page});
    return DmsStatus::Success;
}

std::vector<PageAllocationTable::Placed>::iterator PageAllocationTable::MapFind(uint32_t page, uint32_t position) {
    auto at = std::lower_bound(map_.begin(), map_.end(), position,
                               [](const Placed& p, uint32_t pos) { return p.position < pos; });
    for (; at != map_.end() && at->position == position; ++at)
        if (at->page == page) return at;
    return map_.end();
}

DmsStatus PageAllocationTable::MapMove(uint32_t page, uint32_t from, uint32_t to) {
    const auto at = MapFind(page, from);
    if (at == map_.end()) return MapInsert(to, page);
    // The entry lands where an erase and an insert would put it: before the
    // first other entry not below `to`. Only the entries between its old and
    // new places shift, and a page moving into the gap before it shifts none.
    auto target = std::lower_bound(map_.begin(), map_.end(), to,
                                   [](const Placed& p, uint32_t pos) { return p.position < pos; });
    if (target <= at) {
        std::rotate(target, at, at + 1);
        target->position = to;
    } else {
        std::rotate(at, at + 1, target);
        (target - 1)->position = to;
    }
    return DmsStatus::Success;
}

uint32_t PageAllocationTable::PageBefore(uint32_t position) const {
    auto at = std::lower_bound(map_.begin(), map_.end(), position,
                               [](const Placed& p, uint32_t pos) { return p.position < pos; });
    if (at == map_.begin()) return kNone;
    return (at - 1)->page;
}

void PageAllocationTable::PatPageMoved(uint32_t patIndex, uint32_t position) {
    pages_[patIndex].position = position;
    if (patIndex == 0) {
        if (sink_) sink_(sinkContext_, position);
    } else {
        StoreU32(pages_[patIndex - 1].bytes.data() + kNextPatField, position);
        pages_[patIndex - 1].changed = true;
    }
}

void PageAllocationTable::SetFreeBytes(uint32_t page, uint32_t freeBytes) {
    Entry e = Read(page);
    e.freeBytes = freeBytes;
    Write(page, e);
}

// 1. Stay in place when the page and the gap behind it hold it; the page
// stored last may always grow in place, nothing follows it.
bool PageAllocationTable::StayInPlace(uint32_t page, const Entry& p, uint32_t length, Placement& to) const {
    uint64_t room = uint64_t{p.storedLength} + p.freeBytes;
    bool last = !map_.empty() && map_.back().page == page;
    if (room < length && !last) return false;
    to = {p.position, room >= length ? static_cast<uint32_t>(room - length) : 0};
    return true;
}

// 2. Move down into the gap of the page stored just before it.
bool PageAllocationTable::MoveIntoGapBefore(const Entry& p, uint32_t length, Placement& to) {
    uint32_t before = PageBefore(p.position);
    if (before == kNone) return false;
    Entry b = Read(before);
    uint64_t room = uint64_t{b.freeBytes} + p.freeBytes + p.storedLength;
    if (room < length) return false;
    to = {b.position + b.storedLength, static_cast<uint32_t>(room - length)};
    SetFreeBytes(before, 0);
    return true;
}

// 3. The first gap that fits in page-number order.
bool PageAllocationTable::TakeFirstGap(uint32_t page, uint32_t length, Placement& to) {
    for (uint32_t k = 0; k < pages_.size(); ++k) {
        if (pages_[k].mostFree < length) continue;
        uint32_t mostFree = 0;
        for (uint32_t n = k * perPage_; n < (k + 1) * perPage_; ++n) {
            Entry q = Read(n);
            if ((q.flags & kFlagNotPlaced) || q.position == kNone) continue;
            mostFree = std::max(mostFree, q.freeBytes);
            if (n == page || q.freeBytes < length) continue;
            to = {q.position + q.storedLength, q.freeBytes - length};
            SetFreeBytes(n, 0);
            return true;
        }
        pages_[k].mostFree = mostFree;
    }
    return false;
}

// 4. The end of the file: behind the last stored page other than P, which
// gives up its free bytes so it can never grow into P.
DmsStatus PageAllocationTable::AppendAtEnd(uint32_t page, const Entry& p, bool placed, uint32_t length,
                                           Placement& to) {
    uint64_t end = pageSize_;
    uint32_t lastOther = kNone;
    for (auto it = map_.rbegin(); it != map_.rend(); ++it) {
        if (it->page != page) {
            lastOther = it->page;
            break;
        }
    }
    if (lastOther != kNone) {
        Entry last = Read(lastOther);
        end = uint64_t{last.position} + last.storedLength;
        if (placed && p.position > last.position) {
            // P was stored last: it starts where the file ends now that it
            // moves out, after the other page's gap.
            end += last.freeBytes;
        } else {
            SetFreeBytes(lastOther, 0);
        }
    }
    if (end + length > kNone) return DmsStatus::CannotAssignPosition;
    to = {static_cast<uint32_t>(end), 0};
    return DmsStatus::Success;
}

// After 3 or 4: the space P leaves behind joins the gap of the page stored
// before it.
void PageAllocationTable::LeavePlace(const Entry& p) {
    uint32_t before = PageBefore(p.position);
    if (before == kNone) return;
    Entry b = Read(before);
    SetFreeBytes(before, b.freeBytes + p.storedLength + p.freeBytes);
}

// 5. The entry, the position map and a moved PAT page take the new place.
DmsStatus PageAllocationTable::RecordPlacement(uint32_t page, const Entry& old, bool placed, uint32_t length,
                                               bool compressed, const Placement& to) {
    DmsStatus inserted = placed ? MapMove(page, old.position, to.position) : MapInsert(to.position, page);
    if (Failed(inserted)) return inserted;
    Entry p = Read(page);
    p.position = to.position;
    p.storedLength = length;
    p.freeBytes = to.freeBytes;
    p.flags &= static_cast<uint16_t>(~kFlagNotPlaced);
    if (compressed)
        p.flags |= kFlagCompressed;
    else
        p.flags &= static_cast<uint16_t>(~kFlagCompressed);
    Write(page, p);
    for (uint32_t k = 0; k < pages_.size(); ++k) {
        if (LoadU32(pages_[k].bytes.data()) == page && pages_[k].position != to.position) {
            PatPageMoved(k, to.position);
        }
    }
    return DmsStatus::Success;
}

DmsStatus PageAllocationTable::AssignPosition(uint32_t page, uint32_t length, bool compressed,
                                              uint32_t& position) {
    if (page == 0) {
        position = 0;
        return DmsStatus::Success;
    }
    Entry p;
    if (!Find(page, p) || length == 0) return DmsStatus::CannotAssignPosition;
    bool placed = !(p.flags & kFlagNotPlaced) && p.position != kNone;
    if (!placed && map_.size() >= maxPages_) return DmsStatus::NotEnoughMemory;

    Placement to;
    bool found = placed && !relocate_ && StayInPlace(page, p, length, to);
    if (!found && placed) found = MoveIntoGapBefore(p, length, to);
    if (!found) {
        if (!TakeFirstGap(page, length, to)) {
            DmsStatus st = AppendAtEnd(page, p, placed, length, to);
            if (Failed(st)) return st;
        }
        if (placed && to.position != p.position) LeavePlace(p);
    }
    if (uint64_t{to.position} + length > kNone) return DmsStatus::CannotAssignPosition;
    DmsStatus st = RecordPlacement(page, p, placed, length, compressed, to);
    if (Failed(st)) return st;
    position = to.position;
    return DmsStatus::Success;
}

DmsStatus PageAllocationTable::AllocatePage(uint32_t page, uint16_t signature, uint32_t nextFree, bool& madePatPage) {
    madePatPage = false;
    if (!Present()) return DmsStatus::Success;
    uint32_t k = page / perPage_;
    if (k > pages_.size()) return DmsStatus::PageCreationFailed;
    if (k == pages_.size()) {
        if (pages_.size() >= kMaxPatPages) return DmsStatus::NotEnoughMemory;
        if (nextFree / perPage_ != k) return DmsStatus::PageCreationFailed;
        PatPage p;
        p.bytes.assign(pageSize_, 0);
        uint8_t* b = p.bytes.data();
        StoreU32(b, nextFree);
        StoreU16(b + frame::kSignature, kSignature);
        StoreU16(b + kPerPageField, static_cast<uint16_t>(perPage_));
        StoreU32(b + kNextPatField, kNone);
        StoreU32(b + kFirstDescribedField, k * perPage_);
        for (uint32_t i = 0; i < perPage_; ++i) {
            StoreU32(b + kPatHead + i * kEntrySize, kNone);
            StoreU16(b + kPatHead + i * kEntrySize + kFlagsField, kFlagNotPlaced);
        }
        p.changed = true;
        pages_.push_back(std::move(p));
        madePatPage = true;
    }
    Write(page, Entry{kNone, signature, kFlagNotPlaced, pageSize_, 0});
    uint32_t position = 0;
    DmsStatus st = AssignPosition(page, pageSize_, false, position);
    if (Failed(st) || !madePatPage) return st;
    Write(nextFree, Entry{kNone, kSignature, kFlagNotPlaced, pageSize_, 0});
    st = AssignPosition(nextFree, pageSize_, false, position);
    return st;  // placing it linked it into the chain
}

DmsStatus PageAllocationTable::Create(uint32_t pageSize, uint32_t pageCount) {
    if (Present()) return DmsStatus::PatAlreadyExists;
    pageSize_ = pageSize;
    perPage_ = (pageSize - kPatHead) / kEntrySize;
    maxPages_ = kMaxWritablePages;
    map_.clear();
    if (perPage_ < 2 || pageCount == 0) return DmsStatus::InvalidParameter;
    uint64_t patPages = (uint64_t{pageCount} + perPage_ - 2) / (perPage_ - 1);
    if (patPages >= kMaxPatPages + 1) return DmsStatus::NotEnoughMemory;
    uint64_t total = pageCount + patPages;
    if (total > maxPages_ || total * pageSize > kNone) return DmsStatus::NotEnoughMemory;
    for (uint32_t k = 0; k < patPages; ++k) {
        PatPage p;
        p.bytes.assign(pageSize, 0);
        uint8_t* b = p.bytes.data();
        uint32_t number = pageCount + k;
        StoreU32(b, number);
        StoreU16(b + frame::kSignature, kSignature);
        StoreU16(b + kPerPageField, static_cast<uint16_t>(perPage_));
        StoreU32(b + kNextPatField, k + 1 < patPages ? (number + 1) * pageSize : kNone);
        StoreU32(b + kFirstDescribedField, k * perPage_);
        p.position = number * pageSize;
        p.changed = true;
        pages_.push_back(std::move(p));
    }
    for (uint32_t n = 0; n < patPages * perPage_; ++n) {
        Entry e;
        if (n == 0) {
            e = Entry{0, kHeaderSignature, 0, pageSize, 0};
        } else if (n < pageCount) {
            e = Entry{n * pageSize, 0, kFlagSignatureNotRecorded, pageSize, 0};
        } else if (n < total) {
            e = Entry{n * pageSize, kSignature, 0, pageSize, 0};
        } else {
            e = Entry{kNone, 0, kFlagNotPlaced, 0, 0};
        }
        Write(n, e);
        if (n < total) map_.push_back(Placed{e.position, n});
    }
    return DmsStatus::Success;
}

DmsStatus PageAllocationTable::WriteChanged(IStorageFile& file) {
    for (PatPage& p : pages_) {
        if (!p.changed) continue;
        if (p.position == kNone) return DmsStatus::CannotAssignPosition;
        if (file.WriteAt(p.position, p.bytes) != IoError::Ok) return DmsStatus::FileIoError;
        p.changed = false;
    }
    return DmsStatus::Success;
}

bool PageAllocationTable::IsPatPage(uint32_t page) const {
    return std::any_of(pages_.begin(), pages_.end(), [&](const PatPage& p) { return LoadU32(p.bytes.data()) == page; });
}

bool PageAllocationTable::IsPlaced(uint32_t page) const {
    Entry e;
    return Find(page, e) && !(e.flags & kFlagNotPlaced) && e.position != kNone;
}

bool PageAllocationTable::HasChanges() const {
    return std::any_of(pages_.begin(), pages_.end(), [](const PatPage& p) { return p.changed; });
}

std::vector<uint32_t> PageAllocationTable::ChangedPositions() const {
    std::vector<uint32_t> positions;
    for (const PatPage& p : pages_) {
        if (p.changed && p.position != kNone) positions.push_back(p.position);
    }
    return positions;
}

uint64_t PageAllocationTable::UsedEnd() const {
    uint64_t end = pageSize_;
    for (const Placed& placed : map_) {
        Entry e = Read(placed.page);
        end = std::max<uint64_t>(end, uint64_t{e.position} + e.storedLength);
    }
    return end;
}
