// SimulatedDisk: see simulated_disk.h for the crash and fault model.
#include "storage/simulated_disk.h"

#include <algorithm>
#include <random>

class SimulatedFile final : public IStorageFile {
public:
    SimulatedFile(SimulatedDisk& disk, std::u16string path, bool writer)
        : disk_(disk), path_(std::move(path)), writer_(writer), generation_(disk.generation_) {}
    ~SimulatedFile() override {
        if (Alive()) disk_.Release(path_, writer_);
    }

    IoError ReadAt(uint64_t offset, std::span<uint8_t> out, size_t& done) override {
        done = 0;
        if (!Alive()) return IoError::Failed;
        return disk_.FileRead(path_, offset, out, done);
    }
    IoError WriteAt(uint64_t offset, std::span<const uint8_t> bytes) override {
        if (!Alive() || !writer_) return IoError::Failed;
        return disk_.FileWrite(path_, offset, bytes);
    }
    IoError Size(uint64_t& size) override {
        if (!Alive()) return IoError::Failed;
        auto it = disk_.visible_.find(path_);
        if (it == disk_.visible_.end()) return IoError::Failed;
        size = it->second.size();
        return IoError::Ok;
    }
    IoError SetSize(uint64_t size) override {
        if (!Alive() || !writer_) return IoError::Failed;
        return disk_.FileSetSize(path_, size, true);
    }
    IoError Flush() override {
        if (!Alive()) return IoError::Failed;
        return disk_.FileFlush(path_);
    }

private:
    bool Alive() const { return generation_ == disk_.generation_; }

    SimulatedDisk& disk_;
    std::u16string path_;
    bool writer_;
    uint64_t generation_;
};

SimulatedDisk::SimulatedDisk() = default;
SimulatedDisk::~SimulatedDisk() = default;

IoError SimulatedDisk::Enter(Operation op, std::optional<uint32_t>* prefix) {
    if (stopped_) return IoError::Failed;
    if (stopAfter_ && calls_ >= *stopAfter_) {
        stopped_ = true;
        return IoError::Failed;
    }
    ++calls_;
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->op != op) continue;
        if (--it->remaining == 0) {
            IoError error = it->error;
            if (prefix != nullptr) *prefix = it->prefix;
            faults_.erase(it);
            return error;
        }
    }
    return IoError::Ok;
}

IoError SimulatedDisk::Open(std::u16string_view path, OpenAccess access, std::unique_ptr<IStorageFile>& file) {
    return OpenOrCreate(path, false, false, false, access, file);
}

IoError SimulatedDisk::CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) {
    return OpenOrCreate(path, true, true, false, OpenAccess::ReadWrite, file);
}

IoError SimulatedDisk::CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) {
    return OpenOrCreate(path, true, false, true, OpenAccess::ReadWrite, file);
}

IoError SimulatedDisk::OpenOrCreate(std::u16string_view pathView, bool create, bool exclusive, bool truncate,
                                    OpenAccess access, std::unique_ptr<IStorageFile>& file) {
    file.reset();
    IoError e = Enter(create ? Operation::Create : Operation::Open);
    if (e != IoError::Ok) return e;
    std::u16string path(pathView);
    bool exists = visible_.count(path) != 0;
    if (exists && exclusive) return IoError::AlreadyExists;
    if (!exists && !create) return IoError::NotFound;
    bool writer = access == OpenAccess::ReadWrite;
    Holder& h = holders_[path];
    if (h.writers > 0 || (writer && h.readers > 0)) return IoError::Sharing;
    if (!exists) {
        visible_[path];
        log_.push_back(Entry{Operation::Create, path, 0, {}});
    }
    (writer ? h.writers : h.readers) += 1;
    file = std::make_unique<SimulatedFile>(*this, path, writer);
    if (truncate && !visible_[path].empty()) FileSetSize(path, 0, false);
    return IoError::Ok;
}

void SimulatedDisk::Release(const std::u16string& path, bool writer) {
    auto it = holders_.find(path);
    if (it == holders_.end()) return;
    (writer ? it->second.writers : it->second.readers) -= 1;
    if (it->second.readers == 0 && it->second.writers == 0) holders_.erase(it);
}

IoError SimulatedDisk::Delete(std::u16string_view pathView) {
    IoError e = Enter(Operation::Delete);
    if (e != IoError::Ok) return e;
    std::u16string path(pathView);
    if (visible_.count(path) == 0) return IoError::NotFound;
    if (holders_.count(path) != 0) return IoError::Sharing;  // as Windows refuses
    visible_.erase(path);
    log_.push_back(Entry{Operation::Delete, path, 0, {}});
    return IoError::Ok;
}

IoError SimulatedDisk::FlushFolder(std::u16string_view path) {
    IoError e = Enter(Operation::FlushFolder);
    if (e != IoError::Ok) return e;
    auto folderOf = [](std::u16string_view p) { return p.substr(0, p.find_last_of(u"\\/") + 1); };
    std::u16string_view folder = folderOf(path);
    std::vector<Entry> rest;
    for (Entry& entry : log_) {
        bool metadata = entry.op == Operation::Create || entry.op == Operation::Delete;
        if (metadata && folderOf(entry.path) == folder) {
            Apply(durable_, entry);
        } else {
            rest.push_back(std::move(entry));
        }
    }
    log_ = std::move(rest);
    return IoError::Ok;
}

bool SimulatedDisk::Exists(std::u16string_view path) { return visible_.count(std::u16string(path)) != 0; }

std::u16string SimulatedDisk::FullPath(std::u16string_view path) { return std::u16string(path); }

IoError SimulatedDisk::FreeSpace(std::u16string_view, DriveSpace& space) {
    space.available = space.free = freeSpace_;
    space.total = uint64_t{1} << 41;
    return IoError::Ok;
}

IoError SimulatedDisk::FileRead(const std::u16string& path, uint64_t offset, std::span<uint8_t> out, size_t& done) {
    IoError e = Enter(Operation::Read);
    if (e != IoError::Ok) return e;
    const std::vector<uint8_t>& bytes = visible_[path];
    if (offset >= bytes.size()) return IoError::Ok;
    done = static_cast<size_t>(std::min<uint64_t>(out.size(), bytes.size() - offset));
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), done, out.begin());
    return IoError::Ok;
}

IoError SimulatedDisk::FileWrite(const std::u16string& path, uint64_t offset, std::span<const uint8_t> bytes) {
    std::optional<uint32_t> prefix;
    IoError e = Enter(Operation::Write, &prefix);
    if (e != IoError::Ok && !prefix) return e;
    std::span<const uint8_t> landed = bytes;
    if (e != IoError::Ok) landed = bytes.first(std::min<size_t>(*prefix, bytes.size()));
    Entry entry{Operation::Write, path, offset, std::vector<uint8_t>(landed.begin(), landed.end())};
    Apply(visible_, entry);
    log_.push_back(std::move(entry));
    return e;
}

IoError SimulatedDisk::FileSetSize(const std::u16string& path, uint64_t size, bool counted) {
    if (counted) {
        IoError e = Enter(Operation::SetSize);
        if (e != IoError::Ok) return e;
    }
    Entry entry{Operation::SetSize, path, size, {}};
    Apply(visible_, entry);
    log_.push_back(std::move(entry));
    return IoError::Ok;
}

IoError SimulatedDisk::FileFlush(const std::u16string& path) {
    IoError e = Enter(Operation::Flush);
    if (e != IoError::Ok) return e;
    // Everything of this file, and every create and delete logged before its
    // last entry, becomes durable in log order.
    size_t last = 0;
    bool any = false;
    for (size_t i = 0; i < log_.size(); ++i) {
        if (log_[i].path == path) {
            last = i;
            any = true;
        }
    }
    std::vector<Entry> rest;
    for (size_t i = 0; i < log_.size(); ++i) {
        Entry& entry = log_[i];
        bool metadata = entry.op == Operation::Create || entry.op == Operation::Delete;
        if (entry.path == path || (any && metadata && i < last)) {
            Apply(durable_, entry);
        } else {
            rest.push_back(std::move(entry));
        }
    }
    log_ = std::move(rest);
    return IoError::Ok;
}

void SimulatedDisk::Apply(std::map<std::u16string, std::vector<uint8_t>>& files, const Entry& e) {
    switch (e.op) {
    case Operation::Create: files[e.path]; break;
    case Operation::Delete: files.erase(e.path); break;
    case Operation::SetSize: {
        auto it = files.find(e.path);
        if (it != files.end()) it->second.resize(static_cast<size_t>(e.offset), 0);
        break;
    }
    case Operation::Write: {
        auto it = files.find(e.path);
        if (it == files.end()) break;
        std::vector<uint8_t>& bytes = it->second;
        size_t end = static_cast<size_t>(e.offset) + e.bytes.size();
        if (bytes.size() < end) bytes.resize(end, 0);
        std::copy(e.bytes.begin(), e.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(e.offset));
        break;
    }
    default: break;
    }
}

void SimulatedDisk::Crash(CrashModel model, uint32_t seed) {
    std::mt19937 random(seed);
    auto result = durable_;
    switch (model) {
    case CrashModel::ProcessKill:
        for (const Entry& e : log_) Apply(result, e);
        break;
    case CrashModel::OrderedPowerCut: {
        size_t count = std::uniform_int_distribution<size_t>(0, log_.size())(random);
        for (size_t i = 0; i < count; ++i) Apply(result, log_[i]);
        break;
    }
    case CrashModel::OneWriteLost: {
        size_t writes = static_cast<size_t>(
            std::count_if(log_.begin(), log_.end(), [](const Entry& e) { return e.op == Operation::Write; }));
        size_t lost = writes == 0 ? 0 : seed % writes;
        for (const Entry& e : log_) {
            if (e.op == Operation::Write && lost-- == 0) continue;
            Apply(result, e);
        }
        break;
    }
    case CrashModel::UnorderedPowerCut:
        for (const Entry& e : log_) {
            int choice = std::uniform_int_distribution<int>(0, 2)(random);
            if (choice == 0) continue;  // dropped
            if (choice == 1 || e.op != Operation::Write) {
                Apply(result, e);
                continue;
            }
            // Torn: each 512-byte sector of the write lands or not.
            uint64_t pos = e.offset;
            size_t taken = 0;
            while (taken < e.bytes.size()) {
                uint64_t sectorEnd = (pos / kSectorSize + 1) * kSectorSize;
                size_t n = static_cast<size_t>(std::min<uint64_t>(sectorEnd - pos, e.bytes.size() - taken));
                if (random() & 1) {
                    Entry piece{Operation::Write, e.path, pos,
                                std::vector<uint8_t>(e.bytes.begin() + static_cast<std::ptrdiff_t>(taken),
                                                     e.bytes.begin() + static_cast<std::ptrdiff_t>(taken + n))};
                    Apply(result, piece);
                }
                pos += n;
                taken += n;
            }
        }
        break;
    }
    durable_ = result;
    visible_ = std::move(result);
    log_.clear();
    holders_.clear();
    faults_.clear();
    stopAfter_.reset();
    stopped_ = false;
    ++generation_;
}

void SimulatedDisk::InjectFault(Operation op, uint64_t nth, IoError error, std::optional<uint32_t> prefixBytes) {
    if (nth == 0) nth = 1;
    faults_.push_back(Fault{op, nth, error, prefixBytes});
}

void SimulatedDisk::ClearFaults() { faults_.clear(); }

void SimulatedDisk::StopAfter(uint64_t calls) { stopAfter_ = calls_ + calls; }

std::optional<std::vector<uint8_t>> SimulatedDisk::Contents(std::u16string_view path) const {
    auto it = visible_.find(std::u16string(path));
    if (it == visible_.end()) return std::nullopt;
    return it->second;
}

void SimulatedDisk::SetContents(std::u16string_view pathView, std::vector<uint8_t> bytes) {
    std::u16string path(pathView);
    visible_[path] = bytes;
    durable_[path] = std::move(bytes);
}
