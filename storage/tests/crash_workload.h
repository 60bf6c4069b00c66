// A fixed workload on EDICT for the crash and error sweeps: data blocks of
// EDICT lines (short and page-spanning), their (headword, reading) keys
// inserted, deleted and pointed elsewhere, frees with and without wipe, one
// committed and one rolled-back transaction. A reference run keeps
// the database bytes after every operation; a run cut short must reopen to
// the bytes after its last completed operation or after the one it was in.
#pragma once

#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/index_tree.h"
#include "storage/tests/dictionary_schema_text.h"
#include "storage/tests/edict_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace crash_workload {

inline constexpr const char16_t* kPath = u"C:\\Dict\\work.qdx";
inline constexpr const char16_t* kJournal = u"C:\\Dict\\work.trn";

// The index the keys go to: (headword, reading), the headword compared
// exactly, so each distinct headword is found again by an equal seek.
inline constexpr int32_t kKeyIndex = 102;

enum class Kind { Write, Free, FreeWipe, Begin, Commit, Rollback, InsertKey, DeleteKey, RepointKey };

struct Step {
    Kind kind;
    std::vector<uint8_t> bytes;  // Write
    int32_t target = -1;         // Free: the step whose block is freed; key steps: the block referred to
    int32_t key = -1;            // key steps: index into Keys()
};

// Distinct headwords of EDICT with their readings, decoded once.
inline const std::vector<ReadingAndWord>& Keys() {
    static const std::vector<ReadingAndWord> keys = [] {
        std::vector<ReadingAndWord> all = LoadEdictKeys(3000), unique;
        std::vector<std::u16string> seen;
        for (ReadingAndWord& k : all) {
            if (std::find(seen.begin(), seen.end(), k.second) != seen.end()) continue;
            seen.push_back(k.second);
            unique.push_back(std::move(k));
        }
        return unique;
    }();
    return keys;
}

// The two segments of key `n`, kept alive while the engine reads them.
struct WordKey {
    std::u16string word, reading;
    KeySegmentValue values[2];
    explicit WordKey(size_t n) {
        const std::vector<ReadingAndWord>& keys = Keys();
        if (keys.empty()) {
            word = u"w" + std::u16string(1, static_cast<char16_t>(u'A' + n % 26)) + std::u16string(n / 26 + 1, u'x');
            reading = word;
        } else {
            word = keys[n % keys.size()].second + (n >= keys.size() ? u"+" : u"");
            reading = keys[n % keys.size()].first;
        }
        values[0] = {word.data(), static_cast<int32_t>(word.size() * 2)};
        values[1] = {reading.data(), static_cast<int32_t>(reading.size() * 2)};
    }
};

// The first `count` lines of EDICT after its title line (raw EUC-JP bytes).
inline std::vector<std::vector<uint8_t>> EdictLines(size_t count) {
    static const std::vector<uint8_t> edict = ReadEdictFile("edict");  // read once for every sweep
    const std::vector<std::span<const uint8_t>> all = SplitLines(edict);
    std::vector<std::vector<uint8_t>> lines;
    for (size_t i = 1; i < all.size() && lines.size() < count; ++i) lines.emplace_back(all[i].begin(), all[i].end());
    return lines;
}

// `operations` steps drawn with `seed`; blocks freed are ones that exist.
// `firstKey` numbers the keys, so a second workload on the same file uses
// keys of its own.
inline std::vector<Step> MakeSteps(size_t operations, uint32_t seed, int32_t firstKey = 0) {
    std::vector<std::vector<uint8_t>> lines = EdictLines(operations * 4);
    std::mt19937 random(seed);
    std::vector<Step> steps;
    std::vector<int32_t> live;          // steps whose blocks exist
    std::vector<int32_t> liveKeys;      // keys in the index
    size_t nextLine = 0;
    int32_t nextKey = firstKey;
    // A block and its key, as a dictionary stores an entry.
    auto entry = [&](std::vector<uint8_t> bytes, bool keep) {
        int32_t at = static_cast<int32_t>(steps.size());
        steps.push_back({Kind::Write, std::move(bytes), -1, -1});
        steps.push_back({Kind::InsertKey, {}, at, nextKey});
        if (keep) {
            live.push_back(at);
            liveKeys.push_back(nextKey);
        }
        ++nextKey;
    };
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
            steps.push_back({Kind::Begin, {}, -1, -1});
            for (int i = 0; i < 3; ++i) entry(line(), commit);
            if (commit && live.size() > 1) {
                size_t pick = random() % (live.size() - 1);  // a block from before the transaction
                steps.push_back({Kind::Free, {}, live[pick], -1});
                live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
            }
            if (commit && liveKeys.size() > 1) {
                size_t pick = random() % liveKeys.size();
                steps.push_back({Kind::DeleteKey, {}, -1, liveKeys[pick]});
                liveKeys.erase(liveKeys.begin() + static_cast<std::ptrdiff_t>(pick));
            }
            steps.push_back({commit ? Kind::Commit : Kind::Rollback, {}, -1, -1});
            continue;
        }
        uint32_t r = random() % 12;
        if (r < 2 && live.size() > 3) {
            size_t pick = random() % live.size();
            steps.push_back({r == 0 ? Kind::Free : Kind::FreeWipe, {}, live[pick], -1});
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
        } else if (r == 2 && liveKeys.size() > 3) {
            size_t pick = random() % liveKeys.size();
            steps.push_back({Kind::DeleteKey, {}, -1, liveKeys[pick]});
            liveKeys.erase(liveKeys.begin() + static_cast<std::ptrdiff_t>(pick));
        } else if (r == 3 && !liveKeys.empty() && !live.empty()) {
            steps.push_back({Kind::RepointKey, {}, live[random() % live.size()], liveKeys[random() % liveKeys.size()]});
        } else if (r < 9) {
            entry(line(), true);
        } else {
            std::vector<uint8_t> bytes = line();
            if (r == 9) {  // a property record rewritten: a block over several pages
                while (bytes.size() < 9000) {
                    std::vector<uint8_t> more = line();
                    bytes.insert(bytes.end(), more.begin(), more.end());
                }
            }
            live.push_back(static_cast<int32_t>(steps.size()));
            steps.push_back({Kind::Write, std::move(bytes), -1, -1});
        }
    }
    steps.resize(operations);  // a pair cut at the end leaves a block without key
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
        st = engine_->SelectIndex(cursor_, kKeyIndex);
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
        case Kind::InsertKey:
            return engine_->InsertKey(cursor_, WordKey(static_cast<size_t>(s.key)).values,
                                      RecordRef{positions_[static_cast<size_t>(s.target)], 0});
        case Kind::DeleteKey:
        case Kind::RepointKey: {
            WordKey key(static_cast<size_t>(s.key));
            EntryPosition found;
            DmsStatus st = engine_->Seek(cursor_, key.values, nullptr, &found);
            if (Failed(st)) return st;
            if (s.kind == Kind::DeleteKey) return engine_->DeleteCurrent(cursor_);
            return engine_->UpdateCurrentKeyReference(cursor_, RecordRef{positions_[static_cast<size_t>(s.target)], 7});
        }
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
// 0, freed ones with 44; every key it holds is found with its reference, and
// the index counts them (plus `keysBefore` from an earlier workload).
inline void ExpectBlocksOf(CDMS& engine, uint32_t cursor, const std::vector<Step>& steps, const Reference& ref,
                           size_t state, uint32_t keysBefore = 0) {
    struct Expected {
        std::vector<int> block;                  // 1 live, 2 freed
        std::map<int32_t, RecordRef> keys;       // key -> its reference
    };
    Expected now{std::vector<int>(steps.size(), 0), {}};
    Expected atBegin = now;
    bool open = false;
    for (size_t i = 0; i < state; ++i) {
        const Step& s = steps[i];
        auto position = [&](int32_t step) { return ref.positions[static_cast<size_t>(step)]; };
        switch (s.kind) {
        case Kind::Write: now.block[i] = 1; break;
        case Kind::Free:
        case Kind::FreeWipe: now.block[static_cast<size_t>(s.target)] = 2; break;
        case Kind::InsertKey: now.keys[s.key] = RecordRef{position(s.target), 0}; break;
        case Kind::DeleteKey: now.keys.erase(s.key); break;
        case Kind::RepointKey: now.keys[s.key] = RecordRef{position(s.target), 7}; break;
        case Kind::Begin:
            atBegin = now;
            open = true;
            break;
        case Kind::Commit: open = false; break;
        case Kind::Rollback:
            open = false;
            now = atBegin;
            break;
        }
    }
    // Inside an open transaction nothing of it is in the file yet.
    if (open) now = atBegin;
    const std::vector<int>& status = now.block;
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
    uint32_t count = 0;
    EXPECT_EQ(engine.GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, keysBefore + now.keys.size());
    for (const auto& [key, expected] : now.keys) {
        EntryPosition found;
        EXPECT_EQ(engine.Seek(cursor, WordKey(static_cast<size_t>(key)).values, nullptr, &found), DmsStatus::Success)
            << "key " << key;
        EXPECT_EQ(found.ref, expected) << "key " << key;
    }
}

}  // namespace crash_workload
