// CDMS: file ids, cursor handles, the common steps and failure step of every
// cursor operation, and the file and data operations.
#include "storage/dms.h"

#include "storage/data_blocks.h"

#include <algorithm>
#include <atomic>

namespace {

bool ResetsOrdinal(DmsOperation op) {
    int code = static_cast<int>(op);
    return code == 3 || code == 4 || code == 6 || (code >= 9 && code <= 13) || (code >= 20 && code <= 26) ||
           code == 40 || (code >= 43 && code <= 50);
}

// What CDMS::ChangeCount answers: every engine of the process counts here,
// so that no engine, file or cursor made at a reused address can pass for
// one seen before.
std::atomic<uint64_t> changeCount{0};
void NoteChange() { changeCount.fetch_add(1, std::memory_order_relaxed); }

bool IsTransactionCall(DmsOperation op) {
    return op == DmsOperation::BeginTransaction || op == DmsOperation::CommitTransaction ||
           op == DmsOperation::RollbackTransaction;
}

}  // namespace

CDMS::CDMS(IStorageIO& io, uint32_t cacheSlots) : io_(io), cache_(cacheSlots) { NoteChange(); }

CDMS::~CDMS() {
    while (!files_.empty()) CloseFile(files_.front()->file->Id());
    NoteChange();
}

uint64_t CDMS::ChangeCount() { return changeCount.load(std::memory_order_relaxed); }

CDMS::OpenedFile* CDMS::Find(int32_t fileId) {
    for (auto& f : files_) {
        if (f->file->Id() == fileId) return f.get();
    }
    return nullptr;
}

CDMS::OpenedFile* CDMS::FindByFile(const DMSFile& file) {
    for (auto& f : files_) {
        if (f->file.get() == &file) return f.get();
    }
    return nullptr;
}

const CDMS::OpenedFile* CDMS::FindByFile(const DMSFile& file) const {
    for (const auto& f : files_) {
        if (f->file.get() == &file) return f.get();
    }
    return nullptr;
}

DMSFile* CDMS::FindFile(int32_t fileId) {
    OpenedFile* f = Find(fileId);
    return f ? f->file.get() : nullptr;
}

XCursor* CDMS::FindCursor(uint32_t handle) {
    if (handle == 0) return nullptr;
    auto found = cursorsByHandle_.find(handle);
    return found != cursorsByHandle_.end() ? found->second : nullptr;
}

XCursor* CDMS::CurrentCursor(const DMSFile& file) const {
    const OpenedFile* f = FindByFile(file);
    return f ? f->current : nullptr;
}

DmsStatus CDMS::CreateFile(std::u16string_view path, std::string_view description) {
    DMSFile scratch(io_, cache_, 0);
    return scratch.Create(path, description);
}

DmsStatus CDMS::OpenFile(std::u16string_view path, int32_t mode, std::string_view description, int32_t* fileId) {
    if (fileId != nullptr) *fileId = 0;
    if (mode < 0 || mode > 2) return DmsStatus::InvalidParameter;
    NoteChange();
    auto opened = std::make_unique<OpenedFile>();
    opened->file = std::make_unique<DMSFile>(io_, cache_, fileCounter_ + 1);
    DmsStatus st = opened->file->Open(path, static_cast<OpenMode>(mode), description);
    if (Failed(st)) return opened->file->MapIoStatus(st);
    ++fileCounter_;
    if (fileId != nullptr) *fileId = opened->file->Id();
    files_.insert(files_.begin(), std::move(opened));
    return DmsStatus::Success;
}

void CDMS::DestroyCursors(OpenedFile& f) {
    for (const auto& c : f.cursors) cursorsByHandle_.erase(c->handle);
    f.cursors.clear();
    f.current = nullptr;
}

DmsStatus CDMS::CloseFile(int32_t fileId) {
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const std::unique_ptr<OpenedFile>& f) { return f->file->Id() == fileId; });
    if (it == files_.end()) return DmsStatus::FileNotOpened;
    NoteChange();
    // Entries of a bulk load still collected are inserted, not lost.
    DmsStatus bulk = FlushBulk(**it, nullptr);
    (*it)->bulk.Free();
    DmsStatus st = (*it)->file->Close();
    if (Failed(bulk) && !Failed(st)) st = bulk;
    DestroyCursors(**it);
    files_.erase(it);
    return st;
}

DmsStatus CDMS::OpenCursor(int32_t fileId, uint32_t* handle) {
    OpenedFile* f = Find(fileId);
    if (f == nullptr) return DmsStatus::FileNotOpened;
    if (handle == nullptr) return DmsStatus::InvalidParameter;
    f->cursors.push_back(std::make_unique<XCursor>(*f->file, ++cursorCounter_));
    *handle = f->cursors.back()->handle;
    cursorsByHandle_[*handle] = f->cursors.back().get();
    return DmsStatus::Success;
}

DmsStatus CDMS::GetFileCollatorKind(int32_t fileId, int32_t* kind) {
    DMSFile* f = FindFile(fileId);
    if (f == nullptr) return DmsStatus::FileNotOpened;
    if (kind != nullptr) *kind = f->CollatorKind();
    return DmsStatus::Success;
}

CDMS::Call::Call(CDMS& engine, uint32_t handle, DmsOperation op, bool writes) : engine_(engine), writes_(writes) {
    cursor_ = engine.FindCursor(handle);
    if (cursor_ == nullptr) {
        status_ = DmsStatus::WrongHandle;
        return;
    }
    file_ = cursor_->file;
    if (writes) NoteChange();
    cursor_->lastOperation = static_cast<uint16_t>(op);
    OpenMode mode = cursor_->file->Mode();
    if ((writes && mode == OpenMode::ReadOnly) || (IsTransactionCall(op) && mode != OpenMode::Journaled)) {
        status_ = DmsStatus::OperationNotAllowed;
    }
    if (ResetsOrdinal(op)) cursor_->ordinal = kUnknownOrdinal;
    OpenedFile* f = engine.FindByFile(*cursor_->file);
    outer_ = f->current;
    f->current = cursor_;
}

CDMS::Call::~Call() {
    if (file_ == nullptr) return;
    if (OpenedFile* f = engine_.FindByFile(*file_)) f->current = outer_;
}

DmsStatus CDMS::Call::Finish(DmsStatus status) {
    if (status == DmsStatus::WrongHandle || cursor_ == nullptr) return status;
    if (!Failed(status)) return status;
    cursor_->positioned = false;
    cursor_->ordinal = kUnknownOrdinal;
    DMSFile& f = *cursor_->file;
    // A changing operation that failed half-way in a journaled file: outside
    // a transaction every earlier operation is in the file, so going back to
    // it drops exactly this operation's changes; inside one, the transaction
    // may no longer commit. Refused transaction calls change nothing.
    if (writes_ && f.Mode() == OpenMode::Journaled && status != DmsStatus::OperationNotAllowed &&
        !IsTransactionCall(static_cast<DmsOperation>(cursor_->lastOperation))) {
        f.OperationFailed(status);
    }
    return f.MapIoStatus(status);
}

DmsStatus CDMS::CloseCursor(uint32_t handle) {
    Call call(*this, handle, DmsOperation::CloseCursor, false);
    if (call.status() == DmsStatus::WrongHandle) return call.status();
    XCursor* c = call.cursor();
    OpenedFile* f = FindByFile(*c->file);
    cursorsByHandle_.erase(handle);
    std::erase_if(f->cursors, [c](const std::unique_ptr<XCursor>& held) { return held.get() == c; });
    return DmsStatus::Success;
}

DmsStatus CDMS::SelectRecordType(uint32_t handle, int32_t recordTypeId) {
    Call call(*this, handle, DmsOperation::SelectRecordType, false);
    if (Failed(call.status())) return call.Finish(call.status());
    int32_t number = call.file().Description().FindRecordType(recordTypeId);
    if (number < 0) return call.Finish(DmsStatus::WrongKeyId);
    call.cursor()->recordType = number;
    return DmsStatus::Success;
}

DmsStatus CDMS::SetProgressCallback(uint32_t handle, DmsProgress callback) {
    Call call(*this, handle, DmsOperation::SetProgressCallback, false);
    if (Failed(call.status())) return call.Finish(call.status());
    call.cursor()->progress = callback;
    return DmsStatus::Success;
}

DmsStatus CDMS::WriteData(uint32_t handle, const void* bytes, uint32_t length, uint32_t* position) {
    Call call(*this, handle, DmsOperation::WriteData, true);
    if (Failed(call.status())) return call.Finish(call.status());
    if (position == nullptr || (bytes == nullptr && length > 0)) return call.Finish(DmsStatus::InvalidParameter);
    int32_t recordType = call.cursor()->recordType;
    uint8_t stamp = recordType < 0 ? chunk::kNoRecordType : static_cast<uint8_t>(recordType);
    DmsStatus st = StoreData(call.file(), stamp, {static_cast<const uint8_t*>(bytes), length}, *position);
    if (!Failed(st)) st = call.file().WriteBackIfJournaled();
    if (Failed(st)) *position = 0;
    return call.Finish(st);
}

DmsStatus CDMS::ReadData(uint32_t handle, uint32_t position, void* buffer, uint32_t* count) {
    Call call(*this, handle, DmsOperation::ReadData, false);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(ReadDataBlock(call.file(), position, static_cast<uint8_t*>(buffer), count));
}

DmsStatus CDMS::FreeDataCall(uint32_t handle, uint32_t position, bool wipe) {
    Call call(*this, handle, DmsOperation::FreeData, true);
    if (Failed(call.status())) return call.Finish(call.status());
    DmsStatus st = FreeDataBlock(call.file(), position, wipe);
    if (!Failed(st)) st = call.file().WriteBackIfJournaled();
    return call.Finish(st);
}

DmsStatus CDMS::FreeData(uint32_t handle, uint32_t position) { return FreeDataCall(handle, position, false); }

DmsStatus CDMS::FreeDataWipe(uint32_t handle, uint32_t position) { return FreeDataCall(handle, position, true); }

DmsStatus CDMS::BeginTransaction(uint32_t handle) {
    Call call(*this, handle, DmsOperation::BeginTransaction, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().BeginTransaction());
}

DmsStatus CDMS::CommitTransaction(uint32_t handle) {
    Call call(*this, handle, DmsOperation::CommitTransaction, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().CommitTransaction());
}

DmsStatus CDMS::RollbackTransaction(uint32_t handle) {
    Call call(*this, handle, DmsOperation::RollbackTransaction, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().RollbackTransaction());
}

DmsStatus CDMS::FlushCache(uint32_t handle) {
    Call call(*this, handle, DmsOperation::FlushCache, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().FlushCache());
}

DmsStatus CDMS::EnsureFileSize(uint32_t handle, uint64_t bytes) {
    Call call(*this, handle, DmsOperation::EnsureFileSize, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().EnsureFileSize(bytes));
}

DmsStatus CDMS::PadToWholePages(uint32_t handle) {
    Call call(*this, handle, DmsOperation::PadToWholePages, true);
    if (Failed(call.status())) return call.Finish(call.status());
    return call.Finish(call.file().PadToWholePages());
}
