// Compaction (compaction.h): the file-order walk in runs, the writes that
// compress and move each page down, the allocation table written after every
// run and on every early return, and the cut at the used end.
#include "storage/compaction.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kSkipBelowFree = 16;  // a packed page with less free space after it stays
constexpr uint64_t kReadSpan = 1 << 20;  // bytes read, and written, at a time

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
    struct SpanPage {
        uint32_t page;
        PageAllocationTable::Entry entry;
    };
    bool Skipped(uint32_t page) const;
    std::vector<uint32_t> NextRun();
    DmsStatus PlaceRun(const std::vector<uint32_t>& run);
    DmsStatus ReadSpan(const std::vector<uint32_t>& run, size_t from, size_t& count);
    DmsStatus MovePage(const SpanPage& source);
    DmsStatus WritePending();
    // The pending pages, the allocation table and the header go to the file,
    // which is then marked whole: pages moved so far are found at their new
    // places.
    DmsStatus Settle(DmsStatus status);
    // Cuts the file at its used end rounded up to whole pages.
    DmsStatus CutAtUsedEnd();
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
    std::vector<SpanPage> spanPages_;  // the pages of the span read last
    std::vector<uint8_t> spanBytes_;   // their stored forms as the file holds them
    uint64_t spanStart_ = 0;           // file position of spanBytes_[0]
    std::vector<uint8_t> formBuffer_;  // a page's compressed form
    std::vector<uint8_t> pending_;     // stored forms placed one after another...
    uint64_t pendingAt_ = 0;           // ...from this file position, not yet written
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

// The run's pages in file order are read in spans of neighbouring stored
// forms, at most kReadSpan bytes each. A page already stored compressed
// moves as the bytes it is stored as; any other page is compressed once.
// Each page is placed by the relocation rule and its stored form joins the
// pending write while the places follow on; a page only ever lands in free
// space or its own old place, so the pending bytes never cover a page not
// yet read.
DmsStatus Compaction::PlaceRun(const std::vector<uint32_t>& run) {
    for (size_t i = 0; i < run.size();) {
        const uint32_t page = run[i];
        if (page == 0 || Skipped(page)) {
            // The header stays at position 0, uncompressed (it goes out with
            // the allocation table after the run); a packed page with no gap
            // before it has nowhere to go.
            ++i;
        } else if (pat_.IsPatPage(page)) {
            uint32_t position = 0;
            DmsStatus st = pat_.AssignPosition(page, file_.PageSize(), false, position);
            if (Failed(st)) return DmsStatus::CannotAssignPosition;
            ++i;
        } else {
            size_t count = 0;
            DmsStatus st = ReadSpan(run, i, count);
            if (Failed(st)) return st;
            for (size_t k = 0; k < count; ++k) {
                // A page placed before it in this span may have taken the
                // gap in front of it.
                if (!Skipped(spanPages_[k].page)) st = MovePage(spanPages_[k]);
                if (Failed(st)) return st;
                if (!Report(++done_)) return DmsStatus::Cancelled;
            }
            i += count;
            continue;
        }
        if (!Report(++done_)) return DmsStatus::Cancelled;
    }
    return DmsStatus::Success;
}

// Reads the stored forms of the movable pages from run[from] on whose places
// lie close together; `count` tells how many of the run it took (at least one).
DmsStatus Compaction::ReadSpan(const std::vector<uint32_t>& run, size_t from, size_t& count) {
    spanPages_.clear();
    uint64_t begin = 0, end = 0;
    for (size_t i = from; i < run.size(); ++i) {
        const uint32_t page = run[i];
        if (page == 0 || pat_.IsPatPage(page) || Skipped(page)) break;
        PageAllocationTable::Entry e;
        DmsStatus st = pat_.CheckReadable(page, e);
        if (Failed(st)) {
            if (spanPages_.empty()) return st;
            break;
        }
        if (!spanPages_.empty() &&
            (e.position < end || e.position - end > file_.PageSize() || uint64_t{e.position} + e.storedLength - begin > kReadSpan))
            break;
        if (spanPages_.empty()) begin = e.position;
        end = uint64_t{e.position} + e.storedLength;
        spanPages_.push_back({page, e});
    }
    count = spanPages_.size();
    spanStart_ = begin;
    spanBytes_.resize(end - begin);
    size_t done = 0;
    if (file_.Handle()->ReadAt(begin, spanBytes_, done) != IoError::Ok) return DmsStatus::FileIoError;
    if (done != spanBytes_.size()) return DmsStatus::PageLoadFailed;  // past the end of the file
    return DmsStatus::Success;
}

// Checks a page's stored form as a read would (255 for a form its entry does
// not describe, 42 for a signature other than the recorded one), then places
// it: as it stands when compressed, else compressed now (or kept whole).
DmsStatus Compaction::MovePage(const SpanPage& source) {
    const uint32_t page = source.page;
    std::span<const uint8_t> bytes(spanBytes_.data() + (source.entry.position - spanStart_), source.entry.storedLength);
    const bool flagged = (source.entry.flags & PageAllocationTable::kFlagCompressed) != 0;
    if (DMSFile::IsStoredCompressed(bytes) != flagged || bytes.size() < frame::kSize ||
        storage::LoadU32(bytes.data()) != page || (!flagged && bytes.size() != file_.PageSize()))
        return DmsStatus::PageNotStored;
    DmsStatus st = pat_.CheckSignature(page, storage::LoadU16(bytes.data() + frame::kSignature));
    if (Failed(st)) return st;
    std::span<const uint8_t> stored = bytes;
    // A page changed in the cache since the last write-back goes out as it
    // stands there.
    CachedPage cached = file_.Cache().Lookup(file_, page);
    if (cached && (file_.Cache().FlagsOf(cached.slot) & CCache::Changed)) {
        st = file_.StoredForm(page, cached.bytes(), formBuffer_, stored);
        if (Failed(st)) return st;
        file_.Cache().DropPage(file_, page);
    } else if (!flagged) {
        st = file_.StoredForm(page, bytes, formBuffer_, stored);
        if (Failed(st)) return st;
    }
    uint32_t position = 0;
    st = pat_.AssignPosition(page, static_cast<uint32_t>(stored.size()), stored.size() != file_.PageSize(), position);
    if (Failed(st)) return st;
    if (pending_.empty() || pendingAt_ + pending_.size() != position) {
        st = WritePending();
        if (Failed(st)) return st;
        pendingAt_ = position;
    }
    pending_.insert(pending_.end(), stored.begin(), stored.end());
    return pending_.size() >= kReadSpan ? WritePending() : DmsStatus::Success;
}

DmsStatus Compaction::WritePending() {
    if (pending_.empty()) return DmsStatus::Success;
    DmsStatus st = file_.WriteStored(pendingAt_, pending_);
    pending_.clear();
    return st;
}

DmsStatus Compaction::Settle(DmsStatus status) {
    // The pages placed so far reach the file before the table that finds
    // them; the write-back flushes before and after its clean header.
    DmsStatus st = WritePending();
    if (!Failed(st)) st = file_.WriteBack();
    return Failed(status) ? status : st;
}

DmsStatus Compaction::CutAtUsedEnd() {
    const uint64_t pageSize = file_.PageSize();
    const uint64_t end = (file_.UsedEnd() + pageSize - 1) / pageSize * pageSize;
    return file_.Handle()->SetSize(end) == IoError::Ok ? DmsStatus::Success : DmsStatus::FileIoError;
}

DmsStatus Compaction::Run() {
    if (progress_ != nullptr && !progress_(context_, 0)) return DmsStatus::Cancelled;
    // Pages changed before compaction go out first, at their places, with
    // the file marked incomplete as for any page write. No clean header
    // follows: the mark stays on the disk until the write-back that ends
    // the compaction (a clean header here, flushed, would be marked again
    // by the first page moved).
    DmsStatus st = file_.FlushCache();
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
            // After every run the table is written, the file still marked
            // incomplete: a crash in the middle gives a file reported
            // damaged, without a flush per run. Before any early return it
            // is written back whole: a cancelled compaction leaves a
            // readable file.
            if (!Failed(st)) st = WritePending();
            if (!Failed(st)) st = file_.WriteAllocationTable();
            if (Failed(st)) return Settle(st);
        }
        // Once every page and the table are out the used end is final: the
        // file is cut there while still marked incomplete, and the flushes
        // of the write-back make the cut and the clean header last together.
        st = file_.FlushCache();
        if (!Failed(st)) st = file_.WriteAllocationTable();
        if (!Failed(st)) st = CutAtUsedEnd();
        st = Settle(st);
        if (Failed(st)) return st;
    }
    if (progress_ != nullptr) progress_(context_, 1000);
    return DmsStatus::Success;
}

}  // namespace

DmsStatus CompactFile(DMSFile& file, CompactionProgress progress, void* context, uint32_t runPages) {
    if (!file.IsOpen() || file.Mode() != OpenMode::WithoutJournal) return DmsStatus::OperationNotAllowed;
    Compaction compaction(file, progress, context, std::max<uint32_t>(runPages, 1));
    return compaction.Run();
}
