// SimulatedDisk: an in-memory IStorageIO for tests of durability and error
// handling. It keeps, per file, the durable bytes (what survives a power cut)
// and a log of the operations since the last barrier, and it can
//  - crash: rebuild the disk as a process kill (every pending operation lands),
//    an ordered power cut (a random prefix of the log lands) or an unordered
//    power cut (a random subset lands, writes whole, dropped or torn at
//    512-byte sectors, size changes applied or not);
//  - stop after the k-th I/O call, as a process dies mid-operation;
//  - fail the n-th read, write, flush, size change or delete with EIO or
//    ENOSPC, write only a prefix before failing, and report any free space.
// Flush(file) is a barrier for that file and for every create or delete logged
// before it (metadata commits in order, as on a journaling file system);
// FlushFolder(path) is a barrier for the creates and deletes in that folder.
// The disk must outlive every file handle it gave out.
#pragma once

#include "storage/storage_io.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class SimulatedDisk final : public IStorageIO {
public:
    enum class Operation { Read, Write, Flush, SetSize, Delete, Create, Open, FlushFolder };
    // ProcessKill: every write survives (the system's cache does). Ordered
    // power cut: a prefix of the writes since the last flushes survives.
    // Unordered: any subset, writes torn by sector. OneWriteLost: every
    // write since the last flushes survives but one (the seed counts which,
    // from the oldest), the drive having reordered them: losing each in turn
    // finds every missing flush barrier.
    enum class CrashModel { ProcessKill, OrderedPowerCut, UnorderedPowerCut, OneWriteLost };
    static constexpr uint32_t kSectorSize = 512;

    SimulatedDisk();
    ~SimulatedDisk() override;

    // IStorageIO
    IoError Open(std::u16string_view path, OpenAccess access, std::unique_ptr<IStorageFile>& file) override;
    IoError CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override;
    IoError CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override;
    IoError Delete(std::u16string_view path) override;
    bool Exists(std::u16string_view path) override;
    IoError FlushFolder(std::u16string_view path) override;
    std::u16string FullPath(std::u16string_view path) override;
    IoError FreeSpace(std::u16string_view path, DriveSpace& space) override;

    // Fails the `nth` (1 = the next) call of `op` from now with `error`. With
    // `prefixBytes` a failing write first writes that many bytes.
    void InjectFault(Operation op, uint64_t nth, IoError error, std::optional<uint32_t> prefixBytes = {});
    void ClearFaults();
    // After `calls` more I/O calls every call fails, as if the process had died
    // there; Crash() then builds the disk a restarted process sees.
    void StopAfter(uint64_t calls);
    bool Stopped() const { return stopped_; }
    // Every I/O call so far (reads, writes, flushes, size changes, creates,
    // deletes, opens): the crash points of a sweep.
    uint64_t CallCount() const { return calls_; }
    void SetFreeSpace(uint64_t bytes) { freeSpace_ = bytes; }

    // Rebuilds the disk after a crash; every handle given out before fails
    // from now on. The seed picks the prefix or subset for the power cuts.
    void Crash(CrashModel model, uint32_t seed);

    // Direct access for tests; bypasses faults, counts and the log.
    std::optional<std::vector<uint8_t>> Contents(std::u16string_view path) const;
    void SetContents(std::u16string_view path, std::vector<uint8_t> bytes);  // durable at once
    size_t PendingOperations() const { return log_.size(); }

private:
    friend class SimulatedFile;
    struct Entry {
        Operation op;          // Write, SetSize, Create or Delete
        std::u16string path;
        uint64_t offset = 0;   // Write: offset; SetSize: new size
        std::vector<uint8_t> bytes;
    };
    struct Holder {
        int readers = 0;
        int writers = 0;
    };

    // Counts a call and decides whether it fails; Ok when it goes ahead.
    IoError Enter(Operation op, std::optional<uint32_t>* prefix = nullptr);
    IoError OpenOrCreate(std::u16string_view path, bool create, bool exclusive, bool truncate,
                         OpenAccess access, std::unique_ptr<IStorageFile>& file);
    IoError FileRead(const std::u16string& path, uint64_t offset, std::span<uint8_t> out, size_t& done);
    IoError FileWrite(const std::u16string& path, uint64_t offset, std::span<const uint8_t> bytes);
    IoError FileSetSize(const std::u16string& path, uint64_t size, bool counted);
    IoError FileFlush(const std::u16string& path);
    void Release(const std::u16string& path, bool writer);
    static void Apply(std::map<std::u16string, std::vector<uint8_t>>& files, const Entry& e);

    std::map<std::u16string, std::vector<uint8_t>> visible_;  // what reads see now
    std::map<std::u16string, std::vector<uint8_t>> durable_;  // what survives a power cut
    std::vector<Entry> log_;                                  // since the barriers
    std::map<std::u16string, Holder> holders_;
    struct Fault {
        Operation op;
        uint64_t remaining;
        IoError error;
        std::optional<uint32_t> prefix;
    };
    std::vector<Fault> faults_;
    uint64_t calls_ = 0;
    std::optional<uint64_t> stopAfter_;
    bool stopped_ = false;
    uint64_t generation_ = 1;  // handles of an older generation are dead
    uint64_t freeSpace_ = uint64_t{1} << 40;
};
