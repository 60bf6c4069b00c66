// DMSFile: create, open and close a database file, read and write pages at
// their stored places (expanding compressed pages), hand out page numbers, and
// the write-back protocol. Formats: database_file.h, page_allocation_table.h.
#include "storage/database_file.h"

#include "storage/byte_order.h"
#include "storage/index_keys.h"

#include <algorithm>
#include <cstring>
#include <vector>

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

namespace {

// The stored form of a compressed page (database_file.h tables it).
constexpr uint32_t kCompressedMarker = 0xFFFFFFFE;
constexpr uint32_t kCompressedMarkerAt = 6;
constexpr uint32_t kCompressedLengthAt = 10;
constexpr uint32_t kCompressedHead = 14;
constexpr uint64_t kLowDiskSpace = 128000;

DmsStatus CloseAndDelete(IStorageIO& io, std::unique_ptr<IStorageFile>& file, const std::u16string& path,
                         DmsStatus status) {
    file.reset();
    io.Delete(path);
    return status;
}

}  // namespace

std::u16string JournalPathFor(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/");
    size_t dot = path.rfind(u'.');
    std::u16string result(path);
    if (dot != std::u16string_view::npos && (slash == std::u16string_view::npos || dot > slash)) {
        result.resize(dot);
    }
    return result + u".trn";
}

DMSFile::DMSFile(IStorageIO& io, CCache& cache, int32_t id) : io_(io), cache_(cache), id_(id) {
    pat_.SetFirstPositionSink(&DMSFile::SetFirstPatPosition, this);
}

DMSFile::~DMSFile() {
    // An owner that forgot Close loses unwritten changes but never leaves the
    // cache pointing at a destroyed file.
    cache_.DropFile(*this);
}

void DMSFile::SetFirstPatPosition(void* self, uint32_t position) {
    static_cast<DMSFile*>(self)->SetHeaderU32(header::kFirstPatPosition, position);
}

CachedPage DMSFile::Header() { return cache_.Lookup(*this, 0); }

uint32_t DMSFile::HeaderU32(uint32_t offset) {
    CachedPage h = Header();
    return h ? LoadU32(h.data + offset) : kNoPage;
}

void DMSFile::SetHeaderU32(uint32_t offset, uint32_t value) {
    CachedPage h = Header();
    if (!h) return;
    StoreU32(h.data + offset, value);
    cache_.MarkChanged(h);
}

uint8_t* DMSFile::Descriptor(int32_t position) {
    CachedPage h = Header();
    if (!h || position < 0 || position >= static_cast<int32_t>(description_.indexes.size())) return nullptr;
    uint32_t table = LoadU16(h.data + header::kDescriptorOffset);
    return h.data + table + static_cast<uint32_t>(position) * header::kDescriptorSize;
}

CachedPage DMSFile::GetPage(uint32_t page, DmsStatus& status) { return cache_.GetPage(*this, page, &status); }

DmsStatus DMSFile::NewPage(uint16_t signature, CachedPage& page) {
    page = {};
    uint32_t last = HeaderU32(header::kLastPage);
    uint64_t n = uint64_t{last} + 1;
    bool withPat = pat_.Present();
    uint64_t needed = withPat ? n + 2 : n + 1;  // a new PAT page may take n + 1
    if (needed * pageSize_ > static_cast<uint64_t>(kMaxFileBytes)) return DmsStatus::PageCreationFailed;
    uint32_t number = static_cast<uint32_t>(n);
    DmsStatus unused = CheckPageUnused(number);
    if (Failed(unused)) return unused;
    CachedPage made = cache_.NewPage(*this, number, signature);
    if (!made) return DmsStatus::PageCreationFailed;
    bool madePatPage = false;
    DmsStatus st = pat_.AllocatePage(number, signature, number + 1, madePatPage);
    if (Failed(st)) {
        cache_.DropPage(*this, number);
        return st == DmsStatus::NotEnoughMemory ? st : DmsStatus::PageCreationFailed;
    }
    SetHeaderU32(header::kLastPage, madePatPage ? number + 1 : number);
    page = made;
    return DmsStatus::Success;
}

DmsStatus DMSFile::CheckPageUnused(uint32_t page) {
    // Header field 28 is read from the file: when it points back into pages
    // in use, the next page handed out would overwrite one of them.
    if (cache_.Lookup(*this, page)) return DmsStatus::IntegrityBroken;
    if (pat_.Present()) return pat_.IsPlaced(page) ? DmsStatus::IntegrityBroken : DmsStatus::Success;
    // Without a table, a place inside the file as it was opened holds a page
    // in use unless its frame is zero (preallocated or extended space).
    uint64_t at = uint64_t{page} * pageSize_;
    if (at + frame::kSize > sizeAtOpen_) return DmsStatus::Success;
    uint8_t frame[frame::kSize];
    size_t done = 0;
    if (file_->ReadAt(at, frame, done) != IoError::Ok || done != sizeof frame) return DmsStatus::FileIoError;
    bool zero = std::all_of(std::begin(frame), std::end(frame), [](uint8_t b) { return b == 0; });
    return zero ? DmsStatus::Success : DmsStatus::IntegrityBroken;
}

bool DMSFile::MayWriteEarly() const { return mode_ == OpenMode::WithoutJournal && !InTransaction(); }

DmsStatus DMSFile::FlushFile() {
    if (!file_ || file_->Flush() != IoError::Ok) return DmsStatus::FileIoError;
    return DmsStatus::Success;
}

DmsStatus DMSFile::ReadPage(uint32_t page, std::span<uint8_t> image) {
    if (!file_ || image.size() < pageSize_) return DmsStatus::PageLoadFailed;
    uint64_t position = uint64_t{page} * pageSize_;
    uint32_t length = pageSize_;
    PageAllocationTable::Entry entry;
    bool fromPat = pat_.Present() && page != 0;
    if (fromPat) {
        DmsStatus st = pat_.CheckReadable(page, entry);
        if (Failed(st)) return st;
        position = entry.position;
        length = entry.storedLength;
    }
    bool flagged = fromPat && (entry.flags & PageAllocationTable::kFlagCompressed) != 0;
    std::span<uint8_t> target = image.first(pageSize_);
    if (length != pageSize_ || flagged) {  // expanded into `image` from a copy
        storedCopy_.resize(length);
        target = storedCopy_;
    }
    size_t done = 0;
    if (file_->ReadAt(position, target, done) != IoError::Ok) return DmsStatus::FileIoError;
    if (done != target.size()) return DmsStatus::PageLoadFailed;  // past the end of the file

    bool marked = IsStoredCompressed(target);
    if (marked != flagged && (fromPat || marked)) return DmsStatus::PageNotStored;
    if (marked) {
        // Stored form: page number, signature, marker, u16 c, 2 bytes, c bytes
        // of zlib stream of the page's bytes 6..PageSize-1.
        uint32_t c = LoadU16(target.data() + kCompressedLengthAt);
        if (page == 0 || c + kCompressedHead > target.size() || LoadU32(target.data()) != page)
            return DmsStatus::PageNotStored;
        size_t expanded = 0;
        std::memcpy(image.data(), target.data(), frame::kSize);
        if (!inflater_.Expand(std::span<const uint8_t>(target).subspan(kCompressedHead, c),
                              image.subspan(frame::kSize, pageSize_ - frame::kSize), expanded) ||
            expanded != pageSize_ - frame::kSize)
            return DmsStatus::PageNotStored;
    }
    if (!fromPat) return DmsStatus::Success;
    // Two entries may claim one place in a damaged table: the page found
    // there must be the one asked for.
    if (LoadU32(image.data()) != page) return DmsStatus::PageNotStored;
    return pat_.CheckSignature(page, LoadU16(image.data() + frame::kSignature));
}

// The stored form of a compressed page (layout in database_file.h), kept
// only when it is smaller than the page, so incompressible pages are stored
// as they are.
DmsStatus DMSFile::StoredForm(uint32_t page, std::span<const uint8_t> image, std::vector<uint8_t>& buffer,
                              std::span<const uint8_t>& stored) const {
    stored = image.first(pageSize_);
    if (!compress_ || page == 0 || !pat_.Present()) return DmsStatus::Success;
    if (LoadU32(image.data()) != page) return DmsStatus::PageNotStored;
    buffer.resize(pageSize_);
    size_t c = 0;
    if (deflater_.Compress(image.subspan(frame::kSize, pageSize_ - frame::kSize),
                           std::span<uint8_t>(buffer).subspan(kCompressedHead), c) &&
        c + kCompressedHead < pageSize_ && c <= 0xFFFF) {
        std::memcpy(buffer.data(), image.data(), frame::kSize);
        StoreU32(buffer.data() + kCompressedMarkerAt, kCompressedMarker);
        StoreU16(buffer.data() + kCompressedLengthAt, static_cast<uint16_t>(c));
        StoreU16(buffer.data() + kCompressedLengthAt + 2, 0);
        stored = std::span<const uint8_t>(buffer.data(), c + kCompressedHead);
    }
    return DmsStatus::Success;
}

bool DMSFile::IsStoredCompressed(std::span<const uint8_t> stored) {
    return stored.size() >= kCompressedHead && LoadU32(stored.data() + kCompressedMarkerAt) == kCompressedMarker;
}

DmsStatus DMSFile::MarkIncompleteOnce() {
    if (!(flags_ & kFlagWithoutJournal) || writingCleanHeader_ || incompleteOnDisk_) return DmsStatus::Success;
    return MarkIncomplete();
}

DmsStatus DMSFile::WriteStored(uint64_t position, std::span<const uint8_t> bytes) {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    DmsStatus st = MarkIncompleteOnce();
    if (Failed(st)) return st;
    if (file_->WriteAt(position, bytes) != IoError::Ok) return DmsStatus::FileIoError;
    return DmsStatus::Success;
}

DmsStatus DMSFile::WriteAllocationTable() {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    DmsStatus st = MarkIncompleteOnce();
    return Failed(st) ? st : pat_.WriteChanged(*file_);
}

DmsStatus DMSFile::WritePage(uint32_t page, std::span<const uint8_t> image) {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    // A file opened without journal carries the incomplete mark from its
    // first write until the write-back's clean header; a header written in
    // between (adding an allocation table) keeps the mark.
    std::vector<uint8_t> markedHeader;
    if ((flags_ & kFlagWithoutJournal) && !writingCleanHeader_) {
        if (!incompleteOnDisk_) {
            DmsStatus marked = MarkIncomplete();
            if (Failed(marked)) return marked;
        }
        if (page == 0) {
            markedHeader.assign(image.begin(), image.begin() + pageSize_);
            StoreU16(markedHeader.data() + header::kWriteBackFlag, kIncompleteMark);
            image = markedHeader;
        }
    }
    uint32_t position = 0;
    std::span<const uint8_t> stored;
    std::vector<uint8_t> compressed;
    DmsStatus formed = StoredForm(page, image, compressed, stored);
    if (Failed(formed)) return formed;
    if (pat_.Present()) {
        bool isCompressed = stored.size() != pageSize_;
        DmsStatus st = pat_.AssignPosition(page, static_cast<uint32_t>(stored.size()), isCompressed, position);
        if (Failed(st)) return st;
    } else {
        uint64_t at = uint64_t{page} * pageSize_;
        if (at > UINT32_MAX) return DmsStatus::CannotAssignPosition;
        position = static_cast<uint32_t>(at);
    }
    if (file_->WriteAt(position, stored) != IoError::Ok) return DmsStatus::FileIoError;
    return DmsStatus::Success;
}

DmsStatus DMSFile::AddPageAllocationTable() {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    if (pat_.Present()) return DmsStatus::PatAlreadyExists;
    // It writes pages outside the write-back: never a transaction's.
    if (InTransaction()) return DmsStatus::OperationNotAllowed;
    uint32_t pageCount = HeaderU32(header::kLastPage) + 1;
    DmsStatus st = pat_.Create(pageSize_, pageCount);
    if (Failed(st)) return st;
    // Pages still changed in the cache go to their places first, so the
    // table describes what the file holds.
    st = cache_.FlushInPageOrder(*this);
    if (!Failed(st)) st = pat_.WriteChanged(*file_);
    if (!Failed(st)) st = FlushFile();
    if (Failed(st)) return st;
    CachedPage h = Header();
    StoreU32(h.data + header::kFirstPatPosition, pageCount * pageSize_);
    StoreU32(h.data + header::kLastPage, pageCount + pat_.PatPageCount() - 1);
    StoreU16(h.data + header::kVersion, kCurrentVersion);
    cache_.MarkChanged(h);
    version_ = kCurrentVersion;
    st = cache_.WriteSlot(h.slot);
    if (!Failed(st)) st = FlushFile();
    return st;
}

DmsStatus DMSFile::WriteBackIfJournaled() {
    if (mode_ != OpenMode::Journaled || InTransaction()) return DmsStatus::Success;
    return WriteBack();
}

uint64_t DMSFile::UsedEnd() {
    if (pat_.Present()) return pat_.UsedEnd();
    return (uint64_t{HeaderU32(header::kLastPage)} + 1) * pageSize_;
}

DmsStatus DMSFile::MapIoStatus(DmsStatus status) {
    if (status != DmsStatus::FileIoError) return status;
    DriveSpace space;
    if (io_.FreeSpace(path_, space) == IoError::Ok && space.available < kLowDiskSpace) return DmsStatus::NoDiskSpace;
    return status;
}

DmsStatus DMSFile::FlushCache() {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    if (mode_ == OpenMode::Journaled) return InTransaction() ? DmsStatus::OperationNotAllowed : WriteBack();
    return cache_.FlushInPageOrder(*this);
}

DmsStatus DMSFile::EnsureFileSize(uint64_t bytes) {
    if (!file_ || mode_ == OpenMode::ReadOnly) return DmsStatus::OperationNotAllowed;
    uint64_t wanted = (bytes + pageSize_ - 1) / pageSize_ * pageSize_;
    if (wanted > static_cast<uint64_t>(kMaxFileBytes)) return DmsStatus::InvalidParameter;
    uint64_t size = 0;
    if (file_->Size(size) != IoError::Ok) return DmsStatus::FileIoError;
    if (size >= wanted) return DmsStatus::Success;
    return file_->SetSize(wanted) == IoError::Ok ? DmsStatus::Success : DmsStatus::FileIoError;
}

DmsStatus DMSFile::PadToWholePages() { return EnsureFileSize(UsedEnd()); }

DmsStatus DMSFile::Create(std::u16string_view path, std::string_view description) {
    if (description.empty() || ParseDescription(description, description_) != 0)
        return DmsStatus::WrongFileDescription;
    collatorKind_ = 1;
    int32_t indexes = static_cast<int32_t>(description_.indexes.size());
    if (description_.pageSize < (indexes + 3) * 16) return DmsStatus::SmallPageSize;
    path_ = io_.FullPath(path);
    IoError created = io_.CreateNew(path_, file_);
    if (created == IoError::AlreadyExists) return DmsStatus::FileAlreadyExists;
    if (created != IoError::Ok) return DmsStatus::CannotCreateFile;
    pageSize_ = static_cast<uint32_t>(description_.pageSize);
    mode_ = OpenMode::WithoutJournal;

    CachedPage h = cache_.NewPage(*this, 0, kHeaderSignature);
    if (!h) return CloseAndDelete(io_, file_, path_, DmsStatus::CannotCreateFile);
    uint8_t* b = h.data;
    StoreU16(b + header::kVersion, kCurrentVersion);
    StoreU32(b + header::kPageSize, pageSize_);
    StoreU16(b + header::kDescriptorOffset, static_cast<uint16_t>(header::kDescriptorTable));
    StoreU32(b + header::kFirstPatPosition, kNoPage);
    StoreU32(b + header::kCurrentDataPage, kNoPage);
    StoreU32(b + header::kLastPage, 0);
    uint32_t preAllocate = static_cast<uint32_t>(std::max(description_.preAllocate, 1));
    StoreU32(b + header::kPreAllocate, preAllocate);
    for (int32_t i = 0; i < indexes; ++i) {
        const IndexDefinition& index = description_.indexes[static_cast<size_t>(i)];
        uint8_t* d = b + header::kDescriptorTable + static_cast<uint32_t>(i) * header::kDescriptorSize;
        StoreU32(d + descriptor::kRecordType, index.type == 2 ? static_cast<uint32_t>(index.recordId) : kNoPage);
        StoreU32(d + descriptor::kKeyId, static_cast<uint32_t>(index.keyId));
        StoreU32(d + descriptor::kCount, 0);
        StoreU32(d + descriptor::kRoot, kNoPage);
    }
    // The header goes out with its flag clear and is flushed: a crash during
    // create leaves a file that is either whole or unreadable, never one that
    // asks for a journal that does not exist.
    DmsStatus st = DmsStatus::Success;
    if (file_->SetSize(uint64_t{preAllocate} * pageSize_) != IoError::Ok) st = DmsStatus::FileIoError;
    if (!Failed(st)) st = cache_.WriteSlot(h.slot);
    if (!Failed(st)) st = FlushFile();
    cache_.DropFile(*this);
    if (Failed(st)) return CloseAndDelete(io_, file_, path_, MapIoStatus(st));
    file_.reset();
    return DmsStatus::Success;
}

DmsStatus DMSFile::Open(std::u16string_view path, OpenMode mode, std::string_view description) {
    path_ = io_.FullPath(path);
    journalPath_ = JournalPathFor(path);
    unrecoveredStatus_ = DmsStatus::Success;
    bool flagSet = false;
    DmsStatus st = OpenOnce(path, mode, description, flagSet);
    if (!Failed(st) && flagSet) {
        // A write-back was cut short. Recovery puts the journal's bytes back
        // through a writable handle of its own (also for a read-only open),
        // then the file is opened afresh; a flag still set then is damage.
        CloseHandles();
        st = RecoverFromJournal();
        if (!Failed(st)) {
            st = OpenOnce(path, mode, description, flagSet);
            if (!Failed(st) && flagSet) st = DmsStatus::BrokenAfterRollback;
        } else if (mode == OpenMode::ReadOnly &&
                   (st == DmsStatus::CannotOpenJournal || st == DmsStatus::BrokenJournal ||
                    st == DmsStatus::BrokenAfterRollback || st == DmsStatus::CannotOpenFile)) {
            // Without a usable journal, or without write access (read-only
            // media, another reader), the file stays as it is and can still
            // be read; the journal is kept for the next writer or a repair.
            unrecoveredReadOnly_ = true;
            unrecoveredStatus_ = st;
            st = OpenOnce(path, mode, description, flagSet);
        }
    }
    if (Failed(st)) {
        CloseHandles();
        unrecoveredReadOnly_ = false;
        unrecoveredStatus_ = DmsStatus::Success;
    }
    return st;
}

DmsStatus DMSFile::OpenOnce(std::u16string_view path, OpenMode mode, std::string_view description,
                            bool& flagSet) {
    flagSet = false;
    mode_ = mode;
    flags_ = 0;
    OpenAccess access = mode == OpenMode::ReadOnly ? OpenAccess::Read : OpenAccess::ReadWrite;
    if (io_.Open(path_, access, file_) != IoError::Ok) return DmsStatus::CannotOpenFile;

    uint64_t size = 0;
    if (file_->Size(size) != IoError::Ok) return DmsStatus::FileIoError;
    if (size < header::kMinimumRead) return DmsStatus::WrongFile;
    sizeAtOpen_ = size;
    uint8_t head[header::kMinimumRead];
    size_t done = 0;
    if (file_->ReadAt(0, head, done) != IoError::Ok || done != sizeof head) return DmsStatus::FileIoError;
    version_ = LoadU16(head + header::kVersion);
    if (version_ < 0x0402 || version_ > 0x0404) return DmsStatus::WrongVersion;
    if (description.empty() || ParseDescription(description, description_) != 0)
        return DmsStatus::WrongFileDescription;
    // Every header field is untrusted: a download or a damaged disk may hold
    // anything, and the page size sizes every buffer below.
    uint32_t pageSize = LoadU32(head + header::kPageSize);
    if (LoadU32(head) != 0 || LoadU16(head + frame::kSignature) != kHeaderSignature ||
        pageSize != static_cast<uint32_t>(description_.pageSize) || size < pageSize)
        return DmsStatus::WrongFile;
    uint32_t table = LoadU16(head + header::kDescriptorOffset);
    if (table < header::kMinimumRead ||
        table + description_.indexes.size() * header::kDescriptorSize > pageSize)
        return DmsStatus::WrongFile;
    pageSize_ = pageSize;

    DmsStatus st;
    if (!cache_.GetPage(*this, 0, &st)) return Failed(st) ? st : DmsStatus::PageLoadFailed;
    collatorKind_ = version_ == 0x0404 ? 1 : 0;
    if (IndexCollator(collatorKind_) == nullptr) return DmsStatus::CollatorNotFound;
    if (mode == OpenMode::WithoutJournal) flags_ |= kFlagWithoutJournal;

    uint16_t flag = LoadU16(head + header::kWriteBackFlag);
    if (flag == kIncompleteMark) return DmsStatus::IntegrityBroken;
    if (flag != 0 && !unrecoveredReadOnly_) {
        flagSet = true;
        return DmsStatus::Success;
    }
    st = pat_.Load(*file_, pageSize_, LoadU32(head + header::kFirstPatPosition),
                   PageAllocationTable::kMaxWritablePages);
    if (Failed(st)) return st;
    patInFile_ = pat_;
    incompleteOnDisk_ = false;
    transactionFailure_ = DmsStatus::Success;
    if (mode == OpenMode::Journaled) {
        if (io_.CreateAlways(journalPath_, journal_) != IoError::Ok) return DmsStatus::CannotCreateJournal;
        // Recovery must find the journal after a power cut: its name is made
        // durable once, before any write-back relies on it.
        if (io_.FlushFolder(journalPath_) != IoError::Ok) return DmsStatus::CannotCreateJournal;
    }
    return DmsStatus::Success;
}

void DMSFile::CloseHandles() {
    cache_.DropFile(*this);
    journal_.reset();
    file_.reset();
    pat_ = PageAllocationTable{};
    pat_.SetFirstPositionSink(&DMSFile::SetFirstPatPosition, this);
    patInFile_ = pat_;
    undoPending_.reset();
}

DmsStatus DMSFile::Close() {
    if (!file_) return DmsStatus::FileNotOpened;
    if (InTransaction()) RollbackTransaction();
    DmsStatus st = DmsStatus::Success;
    if (mode_ != OpenMode::ReadOnly) st = MapIoStatus(WriteBack());
    CloseHandles();
    // A journal left after a failed write-back is what repairs the file.
    bool keepJournal = unrecoveredReadOnly_;
    unrecoveredReadOnly_ = false;
    unrecoveredStatus_ = DmsStatus::Success;
    // After a successful write-back the file needs no journal, so one of the
    // same name left behind earlier (in any mode) is stale and goes.
    if (!Failed(st) && !keepJournal && io_.Exists(journalPath_)) io_.Delete(journalPath_);
    return st;
}
