// DMSFile: one open database file. It owns the file and journal handles, the
// parsed description and the page allocation table, creates and opens files,
// and reads and writes pages at their stored places for the page cache
// (IPageStore). Layers above reach its header only through the accessors here.
//
// Page frame (every page, PageSize bytes):
//   offset  size  field
//   0       u32   page number (0 for the header)
//   4       u16   signature: 0x4346 "FC" header, 0x304B + 256*h "Kh" key page
//                 at height h, 0x4144 "DA" data page, 0x5450 "PT" PAT page,
//                 0 a key page freed by the B-tree
//
// Header page (page 0):
//   offset  size  field
//   0       u32   0
//   4       u16   0x4346
//   6       u16   format version: 0x0404 written now; 0x0402, 0x0403 still read
//   8       u32   PageSize (48..65535, equal to the description's)
//   12      u16   0
//   14      u16   write-back flag: 0, or 0xFFFF while pages are being written
//   16      u16   offset of the index descriptor table (48 when written)
//   18      u16   0
//   20      u32   file position of the first PAT page; 0 or 0xFFFFFFFF: none
//   24      u32   current data page receiving new blocks; 0xFFFFFFFF: none
//   28      u32   last page number allocated
//   32      u32   PreAllocate (at least 1)
//   36      12    0
//   48      16*n  index descriptors, in the description's index order
//
// Index descriptor (16 bytes):
//   0       u32   record type id of a Type 2 index, else 0xFFFFFFFF
//   4       u32   key id
//   8       u32   number of entries
//   12      u32   root key page, 0xFFFFFFFF when the index is empty
//
// Compressed page as stored (never page 0; only in files with a PAT, whose
// entry carries the stored length c + 14 and flag 2):
//   0       u32   page number
//   4       u16   signature of the page
//   6       u32   0xFFFFFFFE: marks the stored form (no uncompressed page has it)
//   10      u16   c: bytes of zlib stream
//   12      u16   0 (ignored on read)
//   14      c     zlib stream of the page's bytes 6..PageSize-1
// This engine stores a page compressed only when that is smaller than the
// page; it reads stored forms up to c = PageSize (stored length PageSize + 14).
//
// Every header field is checked once at open: version, signature, PageSize
// against the description, the descriptor table inside page 0. Pages are
// numbered so that page x PageSize stays below 2^31 (data positions are
// compared by signed difference).
#pragma once

#include "storage/dms_status.h"
#include "storage/file_description.h"
#include "storage/journal.h"
#include "storage/page_allocation_table.h"
#include "storage/page_cache.h"
#include "storage/page_deflater.h"
#include "storage/page_frame.h"
#include "storage/page_inflater.h"
#include "storage/page_store.h"
#include "storage/storage_io.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


inline constexpr uint16_t kCurrentVersion = 0x0404;
inline constexpr uint32_t kNoPage = 0xFFFFFFFF;

// Open modes.
enum class OpenMode : int32_t { Journaled = 0, WithoutJournal = 1, ReadOnly = 2 };

// The journal path: the extension (the last "." after the last "\" and "/")
// replaced by ".trn", or ".trn" appended when the name has none.
std::u16string JournalPathFor(std::u16string_view path);

class DMSFile final : public IPageStore {
public:
    // File flags.
    static constexpr uint16_t kFlagWithoutJournal = 1;
    static constexpr uint16_t kFlagInTransaction = 2;

    DMSFile(IStorageIO& io, CCache& cache, int32_t id);
    DMSFile(const DMSFile&) = delete;
    DMSFile& operator=(const DMSFile&) = delete;
    ~DMSFile() override;

    // Creates a new file from the description; the file is closed afterwards.
    DmsStatus Create(std::u16string_view path, std::string_view description);
    DmsStatus Open(std::u16string_view path, OpenMode mode, std::string_view description);
    // Writes back (unless read-only), closes the handles, deletes the journal
    // when the write-back succeeded, drops the pages. Returns the write-back's
    // status: a failed write-back is never reported as success.
    DmsStatus Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Opened read-only with the write-back flag set and no journal that could
    // put the file right (13, 15, 18...): the status recovery met, so that a
    // reader can say the content is as a cut-short save left it. 0 otherwise.
    DmsStatus UnrecoveredStatus() const { return unrecoveredStatus_; }

    // Writes the file's changed pages with the header protocol (mode 0 and 1
    // outside a transaction), then the changed PAT pages. 12 when read-only.
    DmsStatus WriteBack();
    // Writes back when the mode asks for it after a changing operation: mode 0
    // outside a transaction.
    DmsStatus WriteBackIfJournaled();

    // Transactions (mode 0; write_back.cpp). Begin: 35 without journal, 46
    // when one is open. Commit writes the changes back as one write-back; when
    // that fails the transaction stays open with its changes (Rollback or a
    // new Commit follow), and when an operation inside it failed half-way
    // Commit rolls back and gives that operation's status. Rollback returns
    // the cache and the allocation table to the state at Begin. 36 without one.
    DmsStatus BeginTransaction();
    DmsStatus CommitTransaction();
    DmsStatus RollbackTransaction();
    // A changing operation failed: outside a transaction its changes are
    // dropped (every earlier one is in the file); inside one, with a status
    // that may have left it half done, the transaction can no longer commit.
    void OperationFailed(DmsStatus status);

    // IPageStore
    uint32_t PageSize() const override { return pageSize_; }
    DmsStatus ReadPage(uint32_t page, std::span<uint8_t> image) override;
    DmsStatus WritePage(uint32_t page, std::span<const uint8_t> image) override;
    DmsStatus FlushFile() override;
    bool MayWriteEarly() const override;
    bool NeverChanges() const override { return mode_ == OpenMode::ReadOnly; }
    // The header page stays in the cache while the file is open.
    bool StaysCached(uint32_t page, uint16_t signature) const override {
        return page == 0 && signature == kHeaderSignature;
    }

    // The header page (always cached while the file is open).
    CachedPage Header();
    uint32_t HeaderU32(uint32_t offset);
    void SetHeaderU32(uint32_t offset, uint32_t value);  // marks the header changed
    // Descriptor of the index at `position` in the description (null when
    // out of range); callers mark the header changed after writing to it.
    uint8_t* Descriptor(int32_t position);

    // Hands out the next page number (header field 28) and makes its slot in
    // the cache: zeroed, stamped, changed. 10 when the page cannot be made,
    // also once page x PageSize would reach 2^31; 100 when field 28 is
    // damaged so that the number belongs to a page in use.
    DmsStatus NewPage(uint16_t signature, CachedPage& page);
    // The page from the cache (loading it), with the load's status.
    CachedPage GetPage(uint32_t page, DmsStatus& status);

    const FileDescription& Description() const { return description_; }
    CCache& Cache() { return cache_; }
    int32_t Id() const { return id_; }
    OpenMode Mode() const { return mode_; }
    uint16_t Flags() const { return flags_; }
    bool InTransaction() const { return (flags_ & kFlagInTransaction) != 0; }
    // Which collator the file's text keys are ordered by: 0 for versions
    // 0x0402 and 0x0403, 1 for 0x0404. The indexes take the collator itself.
    int32_t CollatorKind() const { return collatorKind_; }
    uint16_t Version() const { return version_; }
    const std::u16string& Path() const { return path_; }
    IStorageIO& Io() { return io_; }
    IStorageFile* Handle() { return file_.get(); }
    PageAllocationTable& Pat() { return pat_; }
    // Bytes used by pages: the PAT's used end, else (last page + 1) x PageSize.
    uint64_t UsedEnd();
    // Adds a page allocation table to a file without one (compaction's first
    // step): writes the table and the header at once and flushes. 40 when the
    // file has one, 12 when read-only.
    DmsStatus AddPageAllocationTable();
    // Pages written from now on are stored zlib-compressed where that is
    // smaller (only in files with a PAT; never page 0).
    void SetCompression(bool on) { compress_ = on; }
    bool Compression() const { return compress_; }
    // What WritePage would store for `image` of `page`: the compressed form
    // in `buffer` when compression is on and that is smaller, else the image.
    // 255 when the image does not carry its page number.
    DmsStatus StoredForm(uint32_t page, std::span<const uint8_t> image, std::vector<uint8_t>& buffer,
                         std::span<const uint8_t>& stored) const;
    // True when stored bytes are a compressed page's stored form.
    static bool IsStoredCompressed(std::span<const uint8_t> stored);
    // Writes stored page forms whose places the allocation table has already
    // given (compaction's runs), with the incomplete mark on the disk first as
    // for any page write in mode 1.
    DmsStatus WriteStored(uint64_t position, std::span<const uint8_t> bytes);
    // Writes the changed pages of the allocation table, the file marked
    // incomplete (mode 1; no flush): between compaction's runs.
    DmsStatus WriteAllocationTable();
    // Maps 11 to 38 when the drive of the file has less than 128,000 bytes free.
    DmsStatus MapIoStatus(DmsStatus status);

    // Writes every changed page, lowest page number first, outside the
    // journal: mode 1 only. A journaled file writes back as after any
    // changing operation; inside a transaction nothing may reach the file
    // before the commit, so it is refused with 12.
    DmsStatus FlushCache();
    // Extends the file to at least `bytes` rounded up to whole pages (never
    // cuts it). 45 beyond the largest file the positions can address, 11 when
    // the size cannot be read or set.
    DmsStatus EnsureFileSize(uint64_t bytes);
    // Extends the file to its used end rounded up to whole pages.
    DmsStatus PadToWholePages();

private:
    // write_back.cpp
    DmsStatus WriteBackNow();
    DmsStatus WriteBackJournaled();
    DmsStatus WriteBackWithoutJournal();
    DmsStatus MarkIncomplete();
    // MarkIncomplete unless the mark is on the disk (or not wanted: mode 0).
    DmsStatus MarkIncompleteOnce();
    // Writes the cached header with `flag` in its write-back flag, then
    // flushes. The cached images keep 0 there. 9 when the header is not cached.
    DmsStatus WriteHeader(uint16_t flag);
    void DiscardChanges();
    DmsStatus RecoverFromJournal();

    DmsStatus OpenOnce(std::u16string_view path, OpenMode mode, std::string_view description, bool& flagSet);
    // 100 when `page`, about to be handed out as new, is a page in use.
    DmsStatus CheckPageUnused(uint32_t page);
    void CloseHandles();
    static void SetFirstPatPosition(void* self, uint32_t position);

    IStorageIO& io_;
    CCache& cache_;
    int32_t id_;
    FileDescription description_;
    std::unique_ptr<IStorageFile> file_;
    std::unique_ptr<IStorageFile> journal_;
    PageAllocationTable pat_;
    std::u16string path_;
    std::u16string journalPath_;
    OpenMode mode_ = OpenMode::ReadOnly;
    uint16_t flags_ = 0;
    uint16_t version_ = 0;
    uint32_t pageSize_ = 0;
    uint64_t sizeAtOpen_ = 0;  // pages past it were all made in this session
    int32_t collatorKind_ = -1;
    bool compress_ = false;
    mutable PageDeflater deflater_;  // one zlib stream for every page compressed
    PageInflater inflater_;          // and one for every page expanded
    std::vector<uint8_t> storedCopy_;  // a stored page read before it is expanded
    // The allocation table as the file holds it after the last write-back;
    // rollback and a failed operation go back to it.
    PageAllocationTable patInFile_;
    uint64_t generation_ = 0;               // of the journal's last write-back
    DmsStatus transactionFailure_ = DmsStatus::Success;
    bool incompleteOnDisk_ = false;         // mode 1: the mark is on the disk
    bool writingCleanHeader_ = false;       // mode 1: the write-back's last step
    // Mode 2 opened with the flag set and no usable journal: read as it is,
    // journal kept.
    bool unrecoveredReadOnly_ = false;
    DmsStatus unrecoveredStatus_ = DmsStatus::Success;  // what recovery met then
    // A failed write-back whose bytes could not be put back: the flag is
    // set on the disk and the journal holds them. Retried before any other
    // write; until it succeeds the journal is neither reused nor deleted.
    std::optional<JournalContent> undoPending_;
};
