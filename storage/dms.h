// CDMS: the storage engine's front end. Callers know an open file by an
// integer file id and a cursor by an integer handle; every operation returns
// a DmsStatus. This file holds the engine object, the cursor object and the
// file and data operations; index operations join them on the same cursor.
#pragma once

#include "storage/bulk_load.h"
#include "storage/database_file.h"
#include "storage/dms_status.h"
#include "storage/index_keys.h"
#include "storage/index_tree.h"
#include "storage/index_values.h"
#include "storage/page_cache.h"
#include "storage/storage_io.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ICollator;  // common/collator.h

// The space of the drive that holds `path` (64-bit byte counts; any out
// pointer may be null): 0, or 38 when the query fails.
DmsStatus CheckDiskSpace(std::u16string_view path, uint64_t* available, uint64_t* total, uint64_t* free);

// A progress callback: per-mille value in, zero out asks the operation to stop (43).
using DmsProgress = int32_t (*)(int32_t perMille);

// Operation codes, recorded in the cursor by every handle operation.
enum class DmsOperation : uint16_t {
    SelectIndex = 3,
    SelectRecordType = 4,
    CloseCursor = 6,
    InsertKey = 9,
    WriteData = 10,
    BeginBulkLoad = 11,
    EndBulkLoad = 12,
    CancelBulkLoad = 13,
    FlushCache = 14,
    EnsureFileSize = 15,
    PadToWholePages = 16,
    FreeData = 17,
    Seek = 20,
    SeekGreaterOrEqual = 21,
    SeekGreater = 22,
    SeekLessOrEqual = 24,
    First = 25,
    Last = 26,
    Next = 27,
    Prev = 28,
    ReadData = 31,
    GetOrdinal = 33,
    MoveToOrdinal = 35,
    CompareKeys = 39,
    GetIndexStats = 40,
    Compact = 43,
    SetProgressCallback = 44,
    GetCount = 45,
    UpdateCurrentKeyReference = 46,
    DeleteCurrent = 47,
    BeginTransaction = 48,
    CommitTransaction = 49,
    RollbackTransaction = 50,
};

// A cursor: its file, the record type it stamps on stored data, the last
// operation, and its position in an index.
class XCursor : public IndexPosition {
public:
    XCursor(DMSFile& owner, uint32_t cursorHandle) : file(&owner), handle(cursorHandle) {}
    virtual ~XCursor() = default;

    DMSFile* file;
    int32_t recordType = -1;         // record type number stamped on stored data, -1 none
    uint32_t handle;
    uint16_t lastOperation = 0;
    DmsProgress progress = nullptr;
};

class CDMS {
public:
    explicit CDMS(IStorageIO& io, uint32_t cacheSlots = CCache::kDefaultSlots);
    CDMS(const CDMS&) = delete;
    CDMS& operator=(const CDMS&) = delete;
    // Closes every file still open (their statuses are lost: close them first).
    virtual ~CDMS();

    // Files by id. (Windows code that includes <windows.h> must #undef
    // CreateFile before calling the engine's, which the header maps to CreateFileW.)
    DmsStatus CreateFile(std::u16string_view path, std::string_view description);
    DmsStatus OpenFile(std::u16string_view path, int32_t mode, std::string_view description, int32_t* fileId);
    DmsStatus CloseFile(int32_t fileId);
    DMSFile* FindFile(int32_t fileId);
    DmsStatus OpenCursor(int32_t fileId, uint32_t* handle);
    DmsStatus GetFileCollatorKind(int32_t fileId, int32_t* kind);
    // The collator of `kind`: 0 the dictionary collator, 1 or -1 the UCA
    // collator (its table loaded on first use), handed out with a reference
    // the caller releases. 47 when the UCA table cannot be loaded (out set to
    // null); any other kind gives 45 and leaves `out` unchanged.
    static DmsStatus GetCollator(int32_t kind, ICollator** out);

    // Cursor operations.
    DmsStatus CloseCursor(uint32_t handle);
    DmsStatus SelectRecordType(uint32_t handle, int32_t recordTypeId);
    DmsStatus SetProgressCallback(uint32_t handle, DmsProgress callback);
    DmsStatus WriteData(uint32_t handle, const void* bytes, uint32_t length, uint32_t* position);
    DmsStatus ReadData(uint32_t handle, uint32_t position, void* buffer, uint32_t* count);
    DmsStatus FreeData(uint32_t handle, uint32_t position);
    DmsStatus FreeDataWipe(uint32_t handle, uint32_t position);
    // File size and cached pages (DMSFile::FlushCache, EnsureFileSize,
    // PadToWholePages say what each does in each mode).
    DmsStatus FlushCache(uint32_t handle);
    DmsStatus EnsureFileSize(uint32_t handle, uint64_t bytes);
    DmsStatus PadToWholePages(uint32_t handle);
    // Transactions on the cursor's file (mode 0 only; 12 otherwise).
    DmsStatus BeginTransaction(uint32_t handle);
    DmsStatus CommitTransaction(uint32_t handle);
    DmsStatus RollbackTransaction(uint32_t handle);

    // Index operations (dms_index.cpp): keys are arrays of one value per
    // segment of the current index; `out` and `position` may be null.
    DmsStatus SelectIndex(uint32_t handle, int32_t keyId);
    DmsStatus InsertKey(uint32_t handle, const KeySegmentValue* key, RecordRef ref);
    DmsStatus Seek(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out, EntryPosition* position);
    DmsStatus SeekGreaterOrEqual(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out,
                                 EntryPosition* position);
    DmsStatus SeekGreater(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out, EntryPosition* position);
    DmsStatus SeekLessOrEqual(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out,
                              EntryPosition* position);
    DmsStatus First(uint32_t handle, KeySegmentValue* out, EntryPosition* position);
    DmsStatus Last(uint32_t handle, KeySegmentValue* out, EntryPosition* position);
    DmsStatus Next(uint32_t handle, KeySegmentValue* out, EntryPosition* position);
    DmsStatus Prev(uint32_t handle, KeySegmentValue* out, EntryPosition* position);
    DmsStatus GetOrdinal(uint32_t handle, uint32_t* ordinal);
    DmsStatus MoveToOrdinal(uint32_t handle, uint32_t ordinal, KeySegmentValue* out, EntryPosition* position);
    DmsStatus CompareKeys(uint32_t handle, const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result);
    DmsStatus GetIndexStats(uint32_t handle, IndexStats* stats);
    DmsStatus GetCount(uint32_t handle, uint32_t* count);
    DmsStatus UpdateCurrentKeyReference(uint32_t handle, RecordRef ref);
    DmsStatus DeleteCurrent(uint32_t handle);

    // Bulk load and compaction (dms_bulk.cpp; mode 1 only, 12 otherwise).
    // While a bulk load is active, InsertKey on its index collects the entry;
    // End inserts what is collected, Cancel drops it. An index without a
    // variable-length segment takes its keys directly.
    DmsStatus BeginBulkLoad(uint32_t handle);
    DmsStatus EndBulkLoad(uint32_t handle);
    DmsStatus CancelBulkLoad(uint32_t handle);
    DmsStatus Compact(uint32_t handle, uint32_t unused = 0);
    // The sizes of the bulk-load buffers for loads begun from now on.
    void SetBulkLimits(const BulkLimits& limits) { bulkLimits_ = limits; }

    // A number that moves whenever a file of any engine of the process may
    // have changed: an engine made or destroyed, a file opened or closed, any
    // call that may write. What was read from an index is still what the
    // index holds while this number stands still.
    static uint64_t ChangeCount();

    CCache& Cache() { return cache_; }
    CCache::Counters GetCacheCounters() const { return cache_.GetCounters(); }
    IStorageIO& Io() { return io_; }
    XCursor* FindCursor(uint32_t handle);

    // The common steps of a cursor operation: look the handle up (3), record
    // the code, refuse writes on read-only files and transactions on files in
    // mode 1 or 2 (12), reset the ordinal where the code asks for it, and make
    // the cursor the file's current one for the call.
    class Call {
    public:
        Call(CDMS& engine, uint32_t handle, DmsOperation op, bool writes);
        ~Call();
        DmsStatus status() const { return status_; }
        XCursor* cursor() const { return cursor_; }
        DMSFile& file() const { return *cursor_->file; }
        // The engine's failure step; returns the status to give the caller.
        DmsStatus Finish(DmsStatus status);

    private:
        CDMS& engine_;
        XCursor* cursor_ = nullptr;
        DMSFile* file_ = nullptr;   // kept apart: CloseCursor destroys the cursor
        XCursor* outer_ = nullptr;  // the file's current cursor before this call
        bool writes_;
        DmsStatus status_ = DmsStatus::Success;
    };

    // The cursor of the operation in progress on a file (null when none).
    XCursor* CurrentCursor(const DMSFile& file) const;

private:
    struct OpenedFile {
        std::unique_ptr<DMSFile> file;
        std::vector<std::unique_ptr<XCursor>> cursors;  // oldest first
        XCursor* current = nullptr;  // cursor of the operation in progress
        BulkLoad bulk;               // the file's bulk-load state
    };
    OpenedFile* Find(int32_t fileId);
    OpenedFile* FindByFile(const DMSFile& file);
    const OpenedFile* FindByFile(const DMSFile& file) const;
    DmsStatus FreeDataCall(uint32_t handle, uint32_t position, bool wipe);
    // dms_bulk.cpp: collects an InsertKey of an active bulk load, and
    // inserts a file's collected entries.
    DmsStatus CollectBulkEntry(Call& call, const KeySegmentValue* key, RecordRef ref);
    DmsStatus FlushBulk(OpenedFile& f, XCursor* cursor);
    void DestroyCursors(OpenedFile& f);

    IStorageIO& io_;
    CCache cache_;
    std::vector<std::unique_ptr<OpenedFile>> files_;  // newest first
    // Every open cursor by its handle: each call finds its cursor here
    // instead of walking every file's cursors (a shelf holds dozens).
    std::unordered_map<uint32_t, XCursor*> cursorsByHandle_;
    uint32_t cursorCounter_ = 0;
    int32_t fileCounter_ = 0;
    BulkLimits bulkLimits_;
    // CollectBulkEntry's key and entry, kept so collecting allocates nothing.
    std::vector<uint8_t> bulkKey_;
    std::vector<uint8_t> bulkEntry_;
};
