// CDMS bulk load and compaction: the handle operations that begin, end and
// cancel a bulk load, collect InsertKey's entries while one is active, insert
// them into the file's index batch by batch, and compact the file. Both write
// outside the journal, so they are refused on journaled files (mode 0).
#include "storage/dms.h"

#include "storage/compaction.h"
#include "storage/index_tree.h"
#include "storage/key_page.h"

namespace {

// Inserts prebuilt entries into one index of a file and passes progress to
// the calling cursor's callback.
class IndexSink final : public BulkLoad::Sink {
public:
    IndexSink(DMSFile& file, int32_t keyId, DmsProgress progress)
        : file_(file), scratch_(file, 0), progress_(progress) {
        scratch_.indexPosition = file.Description().FindIndex(keyId);
        scratch_.keyId = keyId;
    }
    DmsStatus Insert(std::span<const uint8_t> entry) override {
        // One tree per entry: its pins end with the insert, so a long flush
        // never holds more than one path of pages.
        IndexTree tree(file_, scratch_);
        DmsStatus st = tree.Open();
        return Failed(st) ? st : tree.InsertEntry(entry);
    }
    bool Progress(int32_t perMille) override { return progress_ == nullptr || progress_(perMille) != 0; }

private:
    DMSFile& file_;
    XCursor scratch_;
    DmsProgress progress_;
};

bool ToCursorProgress(void* context, int32_t perMille) {
    DmsProgress progress = *static_cast<const DmsProgress*>(context);
    return progress == nullptr || progress(perMille) != 0;
}

}  // namespace

DmsStatus CDMS::FlushBulk(OpenedFile& f, XCursor* cursor) {
    if (!f.bulk.Active()) return DmsStatus::Success;
    DMSFile& file = *f.file;
    if (file.Mode() != OpenMode::WithoutJournal) return DmsStatus::OperationNotAllowed;
    // Pages changed so far go out in page order before the batches start.
    DmsStatus st = cache_.FlushInPageOrder(file);
    if (Failed(st)) return st;
    IndexSink sink(file, f.bulk.KeyId(), cursor != nullptr ? cursor->progress : nullptr);
    return f.bulk.Flush(sink);
}

DmsStatus CDMS::CollectBulkEntry(Call& call, const KeySegmentValue* key, RecordRef ref) {
    DMSFile& file = call.file();
    OpenedFile& f = *FindByFile(file);
    if (file.Mode() != OpenMode::WithoutJournal) return DmsStatus::OperationNotAllowed;
    IndexTree tree(file, *call.cursor());
    DmsStatus st = tree.Open();
    if (Failed(st)) return st;
    std::vector<uint8_t>& keyBytes = bulkKey_;
    st = tree.Format().Encode(key, keyBytes);
    if (Failed(st)) return st;
    EntryBytes& entry = bulkEntry_;
    MakeEntryInto(entry, ref.first, ref.second, keyBytes);
    if (entry.size() > keypage::MaxEntry(file.PageSize())) return DmsStatus::InvalidKeyValues;
    // The classes come from the first segment's bytes: a text's units, or a
    // fixed segment's raw bytes read as units.
    const IndexKeyFormat::Segment& first = tree.Format().Segments().front();
    std::span<const uint8_t> lead(keyBytes);
    lead = first.variable ? lead.subspan(2) : lead.first(std::min<size_t>(first.width, lead.size()));
    IndexSink sink(file, f.bulk.KeyId(), call.cursor()->progress);
    return f.bulk.Collect(entry, BulkClassesOf(lead), file.PageSize() / 4, sink);
}

DmsStatus CDMS::BeginBulkLoad(uint32_t handle) {
    Call call(*this, handle, DmsOperation::BeginBulkLoad, true);
    if (Failed(call.status())) return call.Finish(call.status());
    DMSFile& file = call.file();
    OpenedFile& f = *FindByFile(file);
    if (file.Mode() != OpenMode::WithoutJournal) return call.Finish(DmsStatus::OperationNotAllowed);
    if (f.bulk.Active()) return DmsStatus::Success;
    XCursor& c = *call.cursor();
    if (c.indexPosition < 0) return call.Finish(DmsStatus::WrongKeyId);
    bool variable = false;
    for (const SegmentDefinition& s : file.Description().SegmentsOf(c.keyId)) variable |= IsVariableLength(s.type);
    if (!variable) return DmsStatus::Success;  // inserts go straight into the index
    return call.Finish(f.bulk.Begin(c.keyId, bulkLimits_));
}

DmsStatus CDMS::EndBulkLoad(uint32_t handle) {
    Call call(*this, handle, DmsOperation::EndBulkLoad, true);
    if (Failed(call.status())) return call.Finish(call.status());
    OpenedFile& f = *FindByFile(call.file());
    if (!f.bulk.Active()) return DmsStatus::Success;
    DmsStatus st = FlushBulk(f, call.cursor());
    f.bulk.Free();
    return call.Finish(st);
}

DmsStatus CDMS::CancelBulkLoad(uint32_t handle) {
    Call call(*this, handle, DmsOperation::CancelBulkLoad, true);
    if (Failed(call.status())) return call.Finish(call.status());
    FindByFile(call.file())->bulk.Free();
    return DmsStatus::Success;
}

DmsStatus CDMS::Compact(uint32_t handle, uint32_t /*unused*/) {
    Call call(*this, handle, DmsOperation::Compact, true);
    if (Failed(call.status())) return call.Finish(call.status());
    DmsProgress progress = call.cursor()->progress;
    return call.Finish(CompactFile(call.file(), &ToCursorProgress, &progress));
}
