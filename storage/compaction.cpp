// Compaction (compaction.h): the file-order walk in runs, the writes that
// compress and move each page down, the allocation table written after every
// run and on every early return, and the cut at the used end.
#include "storage/compaction.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kSkipBelowFree = 16;  // a packed page with less free space after it stays

// Relocation and compression are on only while compaction runs; every way
// out puts them back.
class CompactionSettings {
public:
    explicit CompactionSettings(DMSFile& file)
        : file_(file), relocation_(file.Pat().Relocation()), compression_(file.Compression()) {
        file.Pat().SetRelocation(true);
        file.SetCompression(true);
    }
    ~CompactionSettings() {
        file_.Pat().SetRelocation(relocation_);
        file_.SetCompression(compression_);
    }
    CompactionSettings(const CompactionSettings&) = delete;
    CompactionSettings& operator=(const CompactionSettings&) = delete;

private:
    DMSFile& file_;
    bool relocation_;
    bool compression_;
};

class Compaction {
public:
    Compaction(DMSFile& file, CompactionProgress progress, void* context, uint32_t runPages)
        : file_(file), pat_(file.Pat()), progress_(progress), context_(context), runPages_(runPages) {}

    DmsStatus Run();

private:
    bool Skipped(uint32_t page) const;
    std::vector<uint32_t> NextRun();
    DmsStatus PlaceRun(const std::vector<uint32_t>& run);
    // The allocation table and the header go to the file: pages moved so far
    // are then found at their new places.
    DmsStatus Settle(DmsStatus status);
    bool Report(uint64_t done);

    DMSFile& file_;
    PageAllocationTable& pat_;
    CompactionProgress progress_;
    void* context_;
    uint32_t runPages_;
    std::vector<bool> visited_;
    uint64_t walkFrom_ = 0;  // file position where the walk goes on
    uint64_t counted_ = 0;   // pages the progress is measured over (skipped ones too)
    uint64_t done_ = 0;
    int32_t reported_ = 0;
};

bool Compaction::Skipped(uint32_t page) const {
    if (page == 0) return false;
    PageAllocationTable::Entry e;
    if (!pat_.Find(page, e)) return true;
    bool packed = (e.flags & PageAllocationTable::kFlagCompressed) != 0 || pat_.IsPatPage(page);
    if (!packed) return false;
    // Only the gap before a page lets it move down: a packed page with a
    // gap behind it (the table added at the end, a page after moved ones)
    // still moves, or the file could never shrink below it.
    uint32_t before = pat_.PageBefore(e.position);
    PageAllocationTable::Entry b;
    return before == PageAllocationTable::kNone || !pat_.Find(before, b) || b.freeBytes < kSkipBelowFree;
}

std::vector<uint32_t> Compaction::NextRun() {
    std::vector<uint32_t> run;
    const auto& map = pat_.PositionMap();
    auto at = std::lower_bound(map.begin(), map.end(), walkFrom_,
                               [](const PageAllocationTable::Placed& p, uint64_t pos) { return p.position < pos; });
    for (; at != map.end() && run.size() < runPages_; ++at) {
        walkFrom_ = uint64_t{at->position} + 1;
        if (at->page < visited_.size()) {
            if (visited_[at->page]) continue;
            visited_[at->page] = true;
        }
        run.push_back(at->page);
    }
    return run;
}

bool Compaction::Report(uint64_t done) {
    int32_t perMille = counted_ == 0 ? 1000 : static_cast<int32_t>(std::min<uint64_t>(done * 1000 / counted_, 1000));
    if (perMille <= reported_) return true;
    reported_ = perMille;
    return progress_ == nullptr || progress_(context_, perMille);
}

DmsStatus Compaction::PlaceRun(const std::vector<uint32_t>& run) {
    CCache& cache = file_.Cache();
    PinScope pins(cache);
    for (uint32_t page : run) {
        if (page == 0 || pat_.IsPatPage(page)) continue;
        DmsStatus st;
        CachedPage p = file_.GetPage(page, st);
        if (!p) return Failed(st) ? st : DmsStatus::PageLoadFailed;
        pins.Pin(p);
    }
    for (uint32_t page : run) {
        if (page == 0 || Skipped(page)) {
            // The header stays at position 0, uncompressed (it goes out with
            // the allocation table after the run); a packed page with no gap
            // before it has nowhere to go.
        } else if (pat_.IsPatPage(page)) {
            uint32_t position = 0;
            DmsStatus st = pat_.AssignPosition(page, file_.PageSize(), false, position);
            if (Failed(st)) return DmsStatus::CannotAssignPosition;
        } else {
            CachedPage p = cache.Lookup(file_, page);
            if (!p) return DmsStatus::PageLoadFailed;
            cache.MarkChanged(p);
            DmsStatus st = cache.WriteSlot(p.slot);
            if (Failed(st)) return st;
            cache.DropPage(file_, page);
        }
        if (!Report(++done_)) return DmsStatus::Cancelled;
    }
    return DmsStatus::Success;
}

DmsStatus Compaction::Settle(DmsStatus status) {
    DmsStatus st = file_.WriteBack();
    if (!Failed(st)) st = file_.FlushFile();
    return Failed(status) ? status : st;
}

DmsStatus Compaction::Run() {
    if (progress_ != nullptr && !progress_(context_, 0)) return DmsStatus::Cancelled;
    // Pages changed before compaction go out first, at their places.
    DmsStatus st = file_.WriteBack();
    if (Failed(st)) return st;
    if (!pat_.Present()) {
        st = file_.AddPageAllocationTable();
        if (Failed(st)) return st;
    }
    {
        CompactionSettings settings(file_);
        visited_.assign(size_t{pat_.PatPageCount()} * pat_.EntriesPerPage(), false);
        counted_ = pat_.PositionMap().size();
        for (;;) {
            std::vector<uint32_t> run = NextRun();
            if (run.empty()) break;
            st = PlaceRun(run);
            // After every run, and before any early return, the table is
            // written: a cancelled compaction leaves a readable file.
            st = Settle(st);
            if (Failed(st)) return st;
        }
    }
    uint64_t pageSize = file_.PageSize();
    uint64_t end = (file_.UsedEnd() + pageSize - 1) / pageSize * pageSize;
    if (file_.Handle()->SetSize(end) != IoError::Ok) return DmsStatus::FileIoError;
    st = file_.FlushFile();
    if (Failed(st)) return st;
    if (progress_ != nullptr) progress_(context_, 1000);
    return DmsStatus::Success;
}

}  // namespace

DmsStatus CompactFile(DMSFile& file, CompactionProgress progress, void* context, uint32_t runPages) {
    if (!file.IsOpen() || file.Mode() != OpenMode::WithoutJournal) return DmsStatus::OperationNotAllowed;
    Compaction compaction(file, progress, context, std::max<uint32_t>(runPages, 1));
    return compaction.Run();
}
