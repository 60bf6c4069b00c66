// Damaged and hostile files: valid files are mutated (header fields,
// descriptor offsets, chunk lengths and links, allocation-table entries,
// random bytes), then opened, read, verified, written and freed, and read
// again. Every call must give one of the documented statuses: never a crash,
// a hang or a write outside the file (the sanitizers and the page guards
// watch the rest). A read that answers 0 must give the block's own bytes and
// total (unless the mutation changed those very bytes), a block that read
// back whole still does after the writes, and a failed read is a fault the
// structure verifier reports too.
#include "storage/data_blocks.h"
#include "storage/structure_verifier.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

namespace {

const std::set<DmsStatus> kDocumented = {
    DmsStatus::Success,          DmsStatus::CannotOpenFile,   DmsStatus::WrongFile,
    DmsStatus::PageLoadFailed,   DmsStatus::PageCreationFailed, DmsStatus::FileIoError,
    DmsStatus::CannotOpenJournal, DmsStatus::BrokenJournal,   DmsStatus::NotEnoughMemory,
    DmsStatus::WrongFileDescription, DmsStatus::WrongVersion, DmsStatus::CannotAssignPosition,
    DmsStatus::WrongPatSignature, DmsStatus::Deleted,         DmsStatus::InvalidParameter,
    DmsStatus::IntegrityBroken,  DmsStatus::PageNotStored,  DmsStatus::BrokenAfterRollback,
};

struct Base {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> blocks;
    std::vector<std::vector<uint8_t>> contents;  // of each block
    std::vector<uint32_t> chunks;  // every chunk position of every block
    // The file ranges holding each block's data bytes where they are stored
    // as they are (a mutation there changes the block, and no check can tell).
    std::vector<std::vector<std::pair<uint64_t, uint64_t>>> dataRanges;
    uint32_t patPosition = 0xFFFFFFFF;
};

class Robustness : public EngineTest, public ::testing::WithParamInterface<bool> {
protected:
    Base MakeBase(bool withPat) {
        std::string schema = DictionarySchemaForTests();
        int32_t id = CreateAndOpen(schema, 1);
        uint32_t cursor = Cursor(id);
        engine->SelectRecordType(cursor, 1);
        Base base;
        std::mt19937 random(11);
        for (int i = 0; i < 120; ++i) {
            size_t n = i % 10 == 0 ? 9000 + random() % 5000 : 20 + random() % 300;
            std::vector<uint8_t> bytes(n);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % 40 + 'A');
            uint32_t position = 0;
            EXPECT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(n), &position), DmsStatus::Success);
            base.blocks.push_back(position);
            base.contents.push_back(bytes);
            if (i % 7 == 3) {
                EXPECT_EQ(engine->FreeData(cursor, position), DmsStatus::Success);
            }
        }
        DMSFile* file = engine->FindFile(id);
        for (uint32_t block : base.blocks) {
            WalkDataBlock(*file, block, [&](const ChunkView& c) {
                base.chunks.push_back(c.position);
                return true;
            });
        }
        if (withPat) {
            EXPECT_EQ(file->AddPageAllocationTable(), DmsStatus::Success);
            file->SetCompression(true);
            for (uint32_t page = 1; page <= file->HeaderU32(header::kLastPage); ++page) {
                DmsStatus st;
                if (file->Pat().IsPatPage(page)) continue;
                CachedPage p = file->GetPage(page, st);
                if (p) file->Cache().MarkChanged(p);
            }
        }
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
        base.bytes = Bytes();
        base.patPosition = U32At(base.bytes, 20);
        EXPECT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
        file = engine->FindFile(id);
        for (uint32_t block : base.blocks) {
            base.dataRanges.emplace_back();
            WalkDataBlock(*file, block, [&](const ChunkView& c) {
                uint32_t page = c.position / 4096;
                uint64_t at = uint64_t{page} * 4096;
                PageAllocationTable::Entry e;
                if (file->Pat().Present()) {
                    if (!file->Pat().Find(page, e) || e.storedLength != 4096) return true;
                    at = e.position;
                }
                at += c.position % 4096 + chunk::kHeadSize;
                base.dataRanges.back().emplace_back(at, at + c.dataBytes);
                return true;
            });
        }
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
        return base;
    }

    // Mutates `b`; the offsets of bytes changed go to `changed`.
    void Mutate(std::vector<uint8_t>& b, const Base& base, std::mt19937& random, std::vector<uint64_t>& changed) {
        auto put32 = [&](size_t at, uint32_t v) {
            if (at + 4 > b.size()) return;
            storage::StoreU32(b.data() + at, v);
            for (size_t i = 0; i < 4; ++i) changed.push_back(at + i);
        };
        const uint32_t interesting[] = {0,    1,    13,   14,         15,         4095,      4096,
                                        4097, 8192, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFE, 0x80000000};
        auto value = [&]() -> uint32_t {
            switch (random() % 4) {
            case 0: return interesting[random() % std::size(interesting)];
            case 1: return base.chunks[random() % base.chunks.size()];
            case 2: return base.chunks[random() % base.chunks.size()] + static_cast<uint32_t>(random() % 64) - 32;
            default: return static_cast<uint32_t>(random());
            }
        };
        switch (random() % 6) {
        case 0: {  // a header field
            const size_t fields[] = {0, 4, 6, 8, 12, 14, 16, 20, 24, 28, 32};
            size_t at = fields[random() % std::size(fields)];
            if (at == 4 || at == 6 || at == 12 || at == 14 || at == 16)
                storage::StoreU16(b.data() + at, static_cast<uint16_t>(value()));
            else
                put32(at, value());
            changed.push_back(at);
            break;
        }
        case 1: {  // a descriptor
            put32(48 + 16 * (random() % 17) + 4 * (random() % 4), value());
            break;
        }
        case 2:
        case 3: {  // a chunk head
            uint32_t chunkAt = base.chunks[random() % base.chunks.size()];
            const size_t fields[] = {0, 4, 10};
            size_t pick = random() % 4;
            if (pick == 3) {
                b[chunkAt + 9] = static_cast<uint8_t>(random());
                changed.push_back(chunkAt + 9);
            } else
                put32(chunkAt + fields[pick], value());
            break;
        }
        case 4: {  // the allocation table, or a page frame without one
            if (base.patPosition != 0xFFFFFFFF && base.patPosition < b.size()) {
                size_t at = base.patPosition + (random() % 4096);
                at -= at % 4;
                put32(at, value());
            } else {
                put32(4096 * (1 + random() % (b.size() / 4096 - 1)) + (random() % 2) * 4, value());
            }
            break;
        }
        default: {
            size_t at = random() % b.size();
            b[at] = static_cast<uint8_t>(random());
            changed.push_back(at);
        }
        }
    }

    static bool DataChanged(const Base& base, size_t block, const std::vector<uint64_t>& changed) {
        for (auto [from, to] : base.dataRanges[block]) {
            for (uint64_t at : changed)
                if (at >= from && at < to) return true;
        }
        return false;
    }

    void Expect(DmsStatus st, const char* where, int iteration) {
        EXPECT_TRUE(kDocumented.count(st)) << where << " gave " << StatusCode(st) << " in iteration " << iteration;
    }

    // Reads every block read-only; gives for each whether it read back whole.
    std::vector<bool> ReadAll(const Base& base, const std::vector<uint64_t>& changed, int iteration,
                              const std::vector<bool>* before, bool verify) {
        std::vector<bool> whole(base.blocks.size(), false);
        int32_t id = 0;
        DmsStatus st = engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id);
        Expect(st, "open", iteration);
        if (Failed(st)) return whole;
        uint32_t cursor = Cursor(id);
        std::vector<uint8_t> buffer(1 << 16);
        bool failedRead = false;
        for (size_t i = 0; i < base.blocks.size(); ++i) {
            const std::vector<uint8_t>& content = base.contents[i];
            bool dataChanged = DataChanged(base, i, changed);
            uint32_t total = 0;
            st = engine->ReadData(cursor, base.blocks[i], nullptr, &total);
            Expect(st, "read total", iteration);
            bool good = st == DmsStatus::Success || st == DmsStatus::Deleted;
            if (good) {
                EXPECT_EQ(total, content.size()) << "a forged total, block " << i << " iteration " << iteration;
            }
            uint32_t count = static_cast<uint32_t>(buffer.size());
            st = engine->ReadData(cursor, base.blocks[i], buffer.data(), &count);
            Expect(st, "read", iteration);
            if (st == DmsStatus::Success || st == DmsStatus::Deleted) {
                bool same = count == content.size() && std::equal(content.begin(), content.end(), buffer.begin());
                bool freedHere = before != nullptr && i % 4 == 0;  // the writes freed it (wiped, maybe)
                EXPECT_TRUE(same || dataChanged || freedHere)
                    << "0 with other bytes, block " << i << " iteration " << iteration;
                whole[i] = same;
            } else {
                failedRead = true;
            }
            if (before != nullptr && (*before)[i]) {
                EXPECT_TRUE(whole[i]) << "block " << i << " lost by the writes, iteration " << iteration;
            }
        }
        if (verify) {
            VerifyReport report = VerifyFile(*engine->FindFile(id));
            if (failedRead) {
                EXPECT_FALSE(report.ok()) << "a failed read the verifier missed, iteration " << iteration;
            }
        }
        Expect(engine->CloseFile(id), "close", iteration);
        return whole;
    }

    void Exercise(const Base& base, const std::vector<uint64_t>& changed, int iteration) {
        std::vector<bool> whole = ReadAll(base, changed, iteration, nullptr, true);
        int32_t id = 0;
        DmsStatus st = engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id);
        Expect(st, "open for writing", iteration);
        if (Failed(st)) return;
        uint32_t cursor = Cursor(id);
        std::vector<uint8_t> fresh(5000, 'z');
        uint32_t position = 0;
        Expect(engine->WriteData(cursor, fresh.data(), 5000, &position), "write", iteration);
        for (size_t i = 0; i < base.blocks.size(); i += 4) {  // ReadAll knows these
            Expect(i % 8 ? engine->FreeData(cursor, base.blocks[i]) : engine->FreeDataWipe(cursor, base.blocks[i]),
                   "free", iteration);
            whole[i] = false;  // freed (or wiped) on purpose
        }
        Expect(engine->CloseFile(id), "close", iteration);
        ReadAll(base, changed, iteration, &whole, false);
    }
};

TEST_P(Robustness, MutatedFilesGiveOnlyDocumentedStatuses) {
    Base base = MakeBase(GetParam());
    ASSERT_FALSE(base.chunks.empty());
    std::mt19937 random(GetParam() ? 2024 : 1999);
    for (int iteration = 0; iteration < 150; ++iteration) {
        std::vector<uint8_t> b = base.bytes;
        int mutations = 1 + static_cast<int>(random() % 3);
        std::vector<uint64_t> changed;
        for (int m = 0; m < mutations; ++m) Mutate(b, base, random, changed);
        disk.SetContents(kPath, b);
        disk.Delete(u"C:\\Dictionaries\\test.trn");
        // A hang guard, not a speed check: a loop in a chain walk would run
        // far past this bound.
        auto start = std::chrono::steady_clock::now();
        Exercise(base, changed, iteration);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << iteration;
        // The file never grows past a few new pages: nothing is written far away.
        EXPECT_LT(disk.Contents(kPath)->size(), b.size() + 16 * 4096) << iteration;
        if (HasFailure()) break;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Robustness, ::testing::Values(false, true));

}  // namespace
