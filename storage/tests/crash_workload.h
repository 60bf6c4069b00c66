// A fixed workload of data operations on EDICT lines for the crash and error
// sweeps: writes of short and page-spanning blocks, frees with and without
// wipe, one committed and one rolled-back transaction. A reference run keeps
// the database bytes after every operation; a run cut short must reopen to
// the bytes after its last completed operation or after the one it was in.
#pragma once

#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/tests/dictionary_schema_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace crash_workload {

inline constexpr const char16_t* kPath = u"C:\\Dict\\work.qdx";
inline constexpr const char16_t* kJournal = u"C:\\Dict\\work.trn";

enum class Kind { Write, Free, FreeWipe, Begin, Commit, Rollback };

struct Step {
    Kind kind;
    std::vector<uint8_t> bytes;  // Write
    int32_t target = -1;         // Free: the step whose block is freed
};

// The first `count` lines of EDICT after its title line (raw EUC-JP bytes).
inline std::vector<std::vector<uint8_t>> EdictLines(size_t count) {
    std::vector<std::vector<uint8_t>> lines;
    std::FILE* f = std::fopen(OSTREL_HOST_ROOT "/usr/share/edict/edict", "rb");
    if (f == nullptr) return lines;
    std::vector<uint8_t> line;
    bool title = true;
    for (int c = std::fgetc(f); c != EOF && lines.size() < count; c = std::fgetc(f)) {
        if (c != '\n') {
            line.push_back(static_cast<uint8_t>(c));
            continue;
        }
        if (!title) lines.push_back(line);
        title = false;
        line.clear();
    }
    std::fclose(f);
    return lines;
}

// `operations` steps drawn with `seed`; blocks freed are ones that exist.
inline std::vector<Step> MakeSteps(size_t operations, uint32_t seed) {
    std::vector<std::vector<uint8_t>> lines = EdictLines(operations * 4);
    std::mt19937 random(seed);
    std::vector<Step> steps;
    std::vector<int32_t> live;          // steps whose blocks exist
    std::vector<int32_t> pendingWrites; // inside a transaction that is rolled back
    size_t nextLine = 0;
    auto line = [&]() -> std::vector<uint8_t> {
        size_t n = nextLine++;
        if (lines.empty()) return std::vector<uint8_t>(40 + n % 60, static_cast<uint8_t>(n));
        return lines[n % lines.size()];
    };
    size_t committedAt = operations / 3;
    size_t rolledBackAt = 2 * operations / 3;
    while (steps.size() < operations) {
        if (steps.size() == committedAt || steps.size() == rolledBackAt) {
            bool commit = steps.size() == committedAt;
            steps.push_back({Kind::Begin, {}, -1});
            for (int i = 0; i < 4; ++i) {
                int32_t at = static_cast<int32_t>(steps.size());
                steps.push_back({Kind::Write, line(), -1});
                if (commit) live.push_back(at);
            }
            if (commit && !live.empty()) {
                size_t pick = random() % live.size();
                steps.push_back({Kind::Free, {}, live[pick]});
                live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
            }
            steps.push_back({commit ? Kind::Commit : Kind::Rollback, {}, -1});
            continue;
        }
        uint32_t r = random() % 10;
        if (r < 2 && live.size() > 3) {
            size_t pick = random() % live.size();
            steps.push_back({r == 0 ? Kind::Free : Kind::FreeWipe, {}, live[pick]});
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
        } else {
            std::vector<uint8_t> bytes = line();
            if (r == 9) {  // a property record rewritten: a block over several pages
                while (bytes.size() < 9000) {
                    std::vector<uint8_t> more = line();
                    bytes.insert(bytes.end(), more.begin(), more.end());
                }
            }
            live.push_back(static_cast<int32_t>(steps.size()));
            steps.push_back({Kind::Write, std::move(bytes), -1});
        }
    }
    return steps;
}

// Runs steps on an engine over a disk, keeping the block positions.
class Runner {
public:
    Runner(IStorageIO& io, const std::vector<Step>& steps, uint32_t cacheSlots = CCache::kDefaultSlots)
        : engine_(std::make_unique<CDMS>(io, cacheSlots)), steps_(steps), positions_(steps.size(), 0) {}

    DmsStatus Create(std::string_view schema) { return engine_->CreateFile(kPath, schema); }
    DmsStatus Open(std::string_view schema) {
        DmsStatus st = engine_->OpenFile(kPath, 0, schema, &file_);
        if (Failed(st)) return st;
        st = engine_->OpenCursor(file_, &cursor_);
        if (Failed(st)) return st;
        return engine_->SelectRecordType(cursor_, 0);
    }
    DmsStatus Run(size_t i) {
        const Step& s = steps_[i];
        switch (s.kind) {
        case Kind::Write:
            return engine_->WriteData(cursor_, s.bytes.data(), static_cast<uint32_t>(s.bytes.size()), &positions_[i]);
        case Kind::Free: return engine_->FreeData(cursor_, positions_[static_cast<size_t>(s.target)]);
        case Kind::FreeWipe: return engine_->FreeDataWipe(cursor_, positions_[static_cast<size_t>(s.target)]);
        case Kind::Begin: return engine_->BeginTransaction(cursor_);
        case Kind::Commit: return engine_->CommitTransaction(cursor_);
        case Kind::Rollback: return engine_->RollbackTransaction(cursor_);
        }
        return DmsStatus::InvalidParameter;
    }
    CDMS& Engine() { return *engine_; }
    int32_t File() const { return file_; }
    uint32_t Cursor() const { return cursor_; }
    const std::vector<uint32_t>& Positions() const { return positions_; }
    void Kill() { engine_.reset(); }

private:
    std::unique_ptr<CDMS> engine_;
    const std::vector<Step>& steps_;
    std::vector<uint32_t> positions_;
    int32_t file_ = 0;
    uint32_t cursor_ = 0;
};

// The database bytes after each step of a run without faults; states[0] is
// the file before the first step. Also the positions the steps gave.
struct Reference {
    std::vector<std::vector<uint8_t>> states;
    std::vector<uint32_t> positions;
    uint64_t ioCalls = 0;   // calls of the whole run after the open
    uint64_t openCalls = 0; // calls up to and including the open
};

inline Reference RunReference(const std::vector<Step>& steps, std::string_view schema,
                              const std::vector<uint8_t>* initial = nullptr) {
    Reference ref;
    SimulatedDisk disk;
    if (initial != nullptr) disk.SetContents(kPath, *initial);
    Runner runner(disk, steps);
    if (initial == nullptr) {
        EXPECT_EQ(runner.Create(schema), DmsStatus::Success);
    }
    EXPECT_EQ(runner.Open(schema), DmsStatus::Success);
    ref.openCalls = disk.CallCount();
    ref.states.push_back(*disk.Contents(kPath));
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(runner.Run(i), DmsStatus::Success) << i;
        ref.states.push_back(*disk.Contents(kPath));
    }
    ref.ioCalls = disk.CallCount() - ref.openCalls;
    ref.positions = runner.Positions();
    return ref;
}

// Which reference state the bytes equal, looking only at states `first`
// and `first + 1`; nullopt when neither.
inline std::optional<size_t> MatchingState(const Reference& ref, const std::vector<uint8_t>& bytes, size_t first) {
    for (size_t s = first; s <= first + 1 && s < ref.states.size(); ++s) {
        if (ref.states[s] == bytes) return s;
    }
    return std::nullopt;
}

// Every block that state `state` holds reads back: live ones byte-exact with
// 0, freed ones with 44.
inline void ExpectBlocksOf(CDMS& engine, uint32_t cursor, const std::vector<Step>& steps, const Reference& ref,
                           size_t state) {
    std::vector<int> status(steps.size(), 0);  // 1 live, 2 freed
    std::vector<int> atBegin;
    bool open = false;
    for (size_t i = 0; i < state; ++i) {
        const Step& s = steps[i];
        if (s.kind == Kind::Write) {
            status[i] = 1;
        } else if (s.kind == Kind::Free || s.kind == Kind::FreeWipe) {
            status[static_cast<size_t>(s.target)] = 2;
        } else if (s.kind == Kind::Begin) {
            atBegin = status;
            open = true;
        } else {
            open = false;
            if (s.kind == Kind::Rollback) status = atBegin;
        }
    }
    // Inside an open transaction nothing of it is in the file yet.
    if (open) status = atBegin;
    for (size_t i = 0; i < state; ++i) {
        if (status[i] == 0 || steps[i].kind != Kind::Write) continue;
        std::vector<uint8_t> buffer(steps[i].bytes.size());
        uint32_t count = static_cast<uint32_t>(buffer.size());
        DmsStatus st = engine.ReadData(cursor, ref.positions[i], buffer.data(), &count);
        EXPECT_EQ(st, status[i] == 1 ? DmsStatus::Success : DmsStatus::Deleted) << "block of step " << i;
        if (status[i] == 1) {
            EXPECT_EQ(buffer, steps[i].bytes) << "block of step " << i;
        }
    }
}

}  // namespace crash_workload
