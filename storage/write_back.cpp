// DMSFile: the write-back protocol, transactions and recovery at open.
//
// A journaled write-back (mode 0):
//   1. place every changed page (allocation table files) and list the byte
//      ranges that will be overwritten: page 0, each changed page at its
//      place, each changed PAT page, all cut at the file's current length;
//   2. read those bytes from the file and write them to the journal with the
//      old length, a generation, the database's identity and a CRC; flush;
//   3. header with flag 0xFFFF, flush; pages and PAT pages, flush; header
//      with flag 0, flush;
//   4. empty the journal.
// A failure in 2 leaves the database untouched; a failure in 3 puts the
// journal's bytes back at once, and the journal is emptied only once the
// flag on the disk is clear. Either way the cache and the allocation table
// return to what they were before the write-back.
#include "storage/database_file.h"

#include "storage/byte_order.h"
#include "storage/journal.h"

#include <algorithm>
#include <chrono>

namespace {

// Statuses after which an operation may have changed part of what it meant to.
bool MayLeaveHalfDone(DmsStatus status) {
    switch (status) {
    case DmsStatus::PageLoadFailed:
    case DmsStatus::PageCreationFailed:
    case DmsStatus::FileIoError:
    case DmsStatus::NotEnoughMemory:
    case DmsStatus::NoDiskSpace:
    case DmsStatus::CannotAssignPosition:
    case DmsStatus::WrongPatSignature:
    case DmsStatus::Cancelled:
    case DmsStatus::PageNotStored:
        return true;
    default:
        return StatusCode(status) >= 100 && StatusCode(status) <= 107;
    }
}

}  // namespace

DmsStatus DMSFile::WriteBack() {
    if (mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    if (!file_) return DmsStatus::FileNotOpened;
    if (undoPending_) {
        if (Failed(ApplyJournal(*file_, *undoPending_))) return MapIoStatus(DmsStatus::FileIoError);
        undoPending_.reset();
        if (journal_) journal_->SetSize(0);
    }
    if (InTransaction()) return DmsStatus::Success;  // the commit writes
    return WriteBackNow();
}

DmsStatus DMSFile::WriteBackNow() {
    if (undoPending_) return MapIoStatus(DmsStatus::FileIoError);
    bool changed = cache_.HasChangedPages(*this) || pat_.HasChanges();
    if (!changed && !incompleteOnDisk_) return DmsStatus::Success;
    if (mode_ == OpenMode::Journaled && journal_) return WriteBackJournaled();
    return WriteBackWithoutJournal();
}

DmsStatus DMSFile::MarkIncomplete() {
    uint8_t mark[2];
    storage::StoreU16(mark, kIncompleteMark);
    if (file_->WriteAt(header::kWriteBackFlag, mark) != IoError::Ok) return DmsStatus::FileIoError;
    DmsStatus st = FlushFile();
    if (!Failed(st)) incompleteOnDisk_ = true;
    return st;
}

DmsStatus DMSFile::WriteHeader(uint16_t flag) {
    CachedPage h = cache_.Lookup(*this, 0);
    if (!h) return DmsStatus::PageLoadFailed;
    std::vector<uint8_t> stored(h.data, h.data + h.size);
    storage::StoreU16(stored.data() + header::kWriteBackFlag, flag);
    DmsStatus st = cache_.WriteSlotAs(h.slot, stored);
    return Failed(st) ? st : FlushFile();
}

DmsStatus DMSFile::WriteBackWithoutJournal() {
    // The mark goes first, so a crash before the clean header is reported as
    // damage; the pages, the table, then the header with the flag clear.
    DmsStatus st = incompleteOnDisk_ ? DmsStatus::Success : MarkIncomplete();
    if (!Failed(st)) st = cache_.WriteChangedPages(*this);
    if (!Failed(st)) st = pat_.WriteChanged(*file_);
    if (!Failed(st)) st = FlushFile();
    if (!Failed(st)) {
        writingCleanHeader_ = true;
        st = WriteHeader(0);
        writingCleanHeader_ = false;
    }
    if (!Failed(st)) {
        incompleteOnDisk_ = false;
        patInFile_ = pat_;
    }
    return st;
}

DmsStatus DMSFile::WriteBackJournaled() {
    struct Saved {
        uint32_t page;
        bool loaded;
        std::vector<uint8_t> before;
    };
    std::vector<Saved> saved;
    for (const CCache::ChangedPage& c : cache_.ChangedPages(*this))
        saved.push_back({c.page, c.loaded, {c.beforeImage.begin(), c.beforeImage.end()}});
    CachedPage h = Header();
    if (!h) return MapIoStatus(DmsStatus::PageLoadFailed);
    // The header is written in any case (the flag), so it is put back too.
    if (std::none_of(saved.begin(), saved.end(), [](const Saved& s) { return s.page == 0; }))
        saved.push_back({0, true, {h.data, h.data + h.size}});
    PageAllocationTable patBefore = pat_;
    auto restore = [&](DmsStatus status) {
        for (const Saved& s : saved) cache_.Unwrite(*this, s.page, s.before, s.loaded);
        pat_ = patBefore;
        return MapIoStatus(status);
    };

    // 1. Where every changed page will go.
    std::vector<ByteRange> ranges{{0, pageSize_}};
    for (const Saved& s : saved) {
        if (s.page == 0) continue;
        uint64_t position = uint64_t{s.page} * pageSize_;
        if (pat_.Present()) {
            uint32_t placed = 0;
            DmsStatus st = pat_.AssignPosition(s.page, pageSize_, false, placed);
            if (Failed(st)) return restore(st);
            position = placed;
        }
        ranges.push_back({position, pageSize_});
    }
    for (uint32_t position : pat_.ChangedPositions()) ranges.push_back({position, pageSize_});

    // 2. The bytes those places hold now, made durable in the journal.
    JournalContent content;
    if (file_->Size(content.oldLength) != IoError::Ok) return restore(DmsStatus::FileIoError);
    if (generation_ == 0)
        generation_ = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    content.generation = ++generation_;
    for (const ByteRange& r : JoinByteRanges(std::move(ranges), content.oldLength)) {
        JournalRecord record{r.position, std::vector<uint8_t>(static_cast<size_t>(r.length))};
        size_t done = 0;
        if (file_->ReadAt(r.position, record.bytes, done) != IoError::Ok || done != record.bytes.size())
            return restore(DmsStatus::FileIoError);
        content.records.push_back(std::move(record));
    }
    uint32_t identity = JournalIdentity(h.bytes(), static_cast<uint32_t>(description_.indexes.size()));
    content.headerTie = HeaderSectorCrc(h.bytes());
    DmsStatus st = WriteJournal(*journal_, pageSize_, identity, content);
    if (Failed(st)) return restore(st);

    // 3. The database, between the two header writes.
    st = WriteHeader(kWriteBackInProgress);
    if (!Failed(st)) st = cache_.WriteChangedPages(*this);
    if (!Failed(st)) st = pat_.WriteChanged(*file_);
    if (!Failed(st)) st = FlushFile();
    if (!Failed(st)) st = WriteHeader(0);
    if (Failed(st)) {
        // Put the old bytes back now; when that fails too, the flag and the
        // journal stay for the next open.
        if (!Failed(ApplyJournal(*file_, content)))
            journal_->SetSize(0);
        else
            undoPending_ = std::move(content);
        return restore(st);
    }
    patInFile_ = pat_;

    // 4. The write-back is complete; an empty journal is never needed again.
    if (journal_->SetSize(0) != IoError::Ok) return MapIoStatus(DmsStatus::FileIoError);
    return DmsStatus::Success;
}

void DMSFile::DiscardChanges() {
    cache_.RestoreFile(*this);
    pat_ = patInFile_;
}

void DMSFile::OperationFailed(DmsStatus status) {
    if (!InTransaction()) {
        DiscardChanges();
    } else if (MayLeaveHalfDone(status) && !Failed(transactionFailure_)) {
        transactionFailure_ = status;
    }
}

DmsStatus DMSFile::BeginTransaction() {
    if (mode_ == OpenMode::WithoutJournal) return DmsStatus::CannotStartTransaction;
    if (mode_ != OpenMode::Journaled || !file_) return DmsStatus::OperationNotAllowed;
    if (InTransaction()) return DmsStatus::AlreadyInTransaction;
    // Outside a transaction every change is already written back; what could
    // still be pending (a failed write-back) is not part of this transaction.
    DiscardChanges();
    flags_ |= kFlagInTransaction;
    transactionFailure_ = DmsStatus::Success;
    return DmsStatus::Success;
}

DmsStatus DMSFile::CommitTransaction() {
    if (!InTransaction()) return DmsStatus::NotInTransaction;
    if (Failed(transactionFailure_)) {
        DmsStatus failure = transactionFailure_;
        RollbackTransaction();
        return failure;
    }
    DmsStatus st = WriteBackNow();
    if (!Failed(st)) flags_ &= static_cast<uint16_t>(~kFlagInTransaction);
    return st;
}

DmsStatus DMSFile::RollbackTransaction() {
    if (!InTransaction()) return DmsStatus::NotInTransaction;
    DiscardChanges();
    flags_ &= static_cast<uint16_t>(~kFlagInTransaction);
    transactionFailure_ = DmsStatus::Success;
    return DmsStatus::Success;
}

DmsStatus DMSFile::RecoverFromJournal() {
    // Handles of its own: the open's are closed, and a read-only open
    // recovers through this writable one (which the sharing rule makes
    // exclusive) before it opens read-only again.
    std::unique_ptr<IStorageFile> database;
    std::unique_ptr<IStorageFile> journalFile;
    if (io_.Open(path_, OpenAccess::ReadWrite, database) != IoError::Ok) return DmsStatus::CannotOpenFile;
    if (io_.Open(journalPath_, OpenAccess::ReadWrite, journalFile) != IoError::Ok)
        return DmsStatus::CannotOpenJournal;

    uint64_t size = 0;
    if (journalFile->Size(size) != IoError::Ok) return DmsStatus::JournalIoError;
    if (size == 0) return DmsStatus::BrokenAfterRollback;
    if (size > journal::kMaxJournalBytes) return DmsStatus::NotEnoughMemory;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    size_t done = 0;
    if (journalFile->ReadAt(0, bytes, done) != IoError::Ok || done != bytes.size()) return DmsStatus::JournalIoError;

    std::vector<uint8_t> header(pageSize_);
    if (database->ReadAt(0, header, done) != IoError::Ok || done != header.size()) return DmsStatus::FileIoError;
    JournaledDatabase checked;
    checked.pageSize = pageSize_;
    checked.identity = JournalIdentity(header, static_cast<uint32_t>(description_.indexes.size()));
    checked.header = header;
    if (database->Size(checked.size) != IoError::Ok) return DmsStatus::FileIoError;
    // A journal nothing ties to this file is applied only when the user
    // opens it for writing.
    checked.mayApplyUnchecked = mode_ != OpenMode::ReadOnly;
    checked.keepsLength = mode_ == OpenMode::ReadOnly;
    JournalContent content;
    DmsStatus st = ParseJournal(bytes, checked, content);
    if (Failed(st)) return st;
    st = ApplyJournal(*database, content);
    if (Failed(st)) return st;
    // The flag is clear on the disk, so the journal is no longer needed.
    journalFile->SetSize(0);
    return DmsStatus::Success;
}
