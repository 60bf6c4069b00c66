// The B-tree against an oracle: keys inserted one by one must read back in
// the order of std::stable_sort with the same comparator (equal keys in
// insertion order), and every seek, step, ordinal and count must agree with
// binary searches over that sorted model, through inserts and deletes. Real
// keys from EDICT; the structural verifier runs along the way.
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Trivially copyable, so erasing from a large model is one memmove.
struct ModelEntry {
    uint32_t key;  // into OracleCheck::keys
    RecordRef ref;
};

// The sorted model and the engine side by side.
class OracleCheck {
public:
    OracleCheck(CDMS& engine, uint32_t cursor, const IndexKeyFormat& format)
        : engine_(engine), cursor_(cursor), format_(format) {}

    std::vector<ModelEntry> model;
    std::vector<std::vector<uint8_t>> keys;  // encoded as the index stores them

    const std::vector<uint8_t>& KeyOf(const ModelEntry& e) const { return keys[e.key]; }
    uint32_t AddKey(std::vector<uint8_t> key) {
        keys.push_back(std::move(key));
        return static_cast<uint32_t>(keys.size() - 1);
    }

    bool Less(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) const {
        return format_.Compare(a, b) < 0;
    }
    size_t LowerBound(const std::vector<uint8_t>& key) const {
        return static_cast<size_t>(
            std::partition_point(model.begin(), model.end(), [&](const ModelEntry& e) { return Less(KeyOf(e), key); }) -
            model.begin());
    }
    size_t UpperBound(const std::vector<uint8_t>& key) const {
        return static_cast<size_t>(
            std::partition_point(model.begin(), model.end(), [&](const ModelEntry& e) { return !Less(key, KeyOf(e)); }) -
            model.begin());
    }
    void InsertIntoModel(std::vector<uint8_t> key, RecordRef ref) {
        size_t at = UpperBound(key);
        model.insert(model.begin() + static_cast<ptrdiff_t>(at), ModelEntry{AddKey(std::move(key)), ref});
    }

    // Expects the engine's answer to be model entry `at`, or `missing` when
    // `at` is past either end.
    void Expect(DmsStatus st, const EntryPosition& pos, int64_t at, DmsStatus missing, const char* what) {
        if (at < 0 || at >= static_cast<int64_t>(model.size())) {
            EXPECT_EQ(st, missing) << what;
            ++mismatches_;
            if (st == missing) --mismatches_;
            return;
        }
        ASSERT_EQ(st, DmsStatus::Success) << what << " at " << at;
        EXPECT_EQ(pos.ordinal, static_cast<uint32_t>(at)) << what;
        EXPECT_EQ(pos.ref, model[static_cast<size_t>(at)].ref) << what;
    }

    // All four seeks for one probe key, each followed by a step.
    void Probe(const KeySegmentValue* values) {
        std::vector<uint8_t> key;
        ASSERT_EQ(format_.Encode(values, key), DmsStatus::Success);
        size_t lower = LowerBound(key);
        size_t upper = UpperBound(key);
        EntryPosition pos;
        DmsStatus st = engine_.Seek(cursor_, values, nullptr, &pos);
        Expect(st, pos, lower < upper ? static_cast<int64_t>(lower) : -1, DmsStatus::RecordNotFound, "Seek");
        st = engine_.SeekGreaterOrEqual(cursor_, values, nullptr, &pos);
        Expect(st, pos, static_cast<int64_t>(lower), DmsStatus::RecordNotFound, "SeekGreaterOrEqual");
        if (st == DmsStatus::Success) {
            st = engine_.Next(cursor_, nullptr, &pos);
            Expect(st, pos, static_cast<int64_t>(lower) + 1, DmsStatus::EndOfFile, "Next");
        }
        st = engine_.SeekGreater(cursor_, values, nullptr, &pos);
        Expect(st, pos, static_cast<int64_t>(upper), DmsStatus::RecordNotFound, "SeekGreater");
        st = engine_.SeekLessOrEqual(cursor_, values, nullptr, &pos);
        Expect(st, pos, static_cast<int64_t>(upper) - 1, DmsStatus::RecordNotFound, "SeekLessOrEqual");
        if (st == DmsStatus::Success) {
            st = engine_.Prev(cursor_, nullptr, &pos);
            Expect(st, pos, static_cast<int64_t>(upper) - 2, DmsStatus::EndOfFile, "Prev");
        }
    }

    void MoveAndCount(std::mt19937& random) {
        uint32_t count = 0;
        ASSERT_EQ(engine_.GetCount(cursor_, &count), DmsStatus::Success);
        ASSERT_EQ(count, model.size());
        if (model.empty()) return;
        uint32_t n = static_cast<uint32_t>(random() % model.size());
        EntryPosition pos;
        Expect(engine_.MoveToOrdinal(cursor_, n, nullptr, &pos), pos, n, DmsStatus::RecordNotFound, "MoveToOrdinal");
    }

    // Deletes a run of at most `run` entries from a random ordinal in both
    // (runs keep the model's erasing cheap on large trees); returns the count.
    size_t DeleteRandom(std::mt19937& random, size_t run = 1) {
        uint32_t n = static_cast<uint32_t>(random() % model.size());
        size_t k = std::min<size_t>(1 + random() % run, model.size() - n);
        for (size_t i = 0; i < k; ++i) {
            EntryPosition pos;
            EXPECT_EQ(engine_.MoveToOrdinal(cursor_, n, nullptr, &pos), DmsStatus::Success);
            EXPECT_EQ(pos.ref, model[n + i].ref);
            EXPECT_EQ(engine_.DeleteCurrent(cursor_), DmsStatus::Success);
        }
        model.erase(model.begin() + n, model.begin() + n + static_cast<ptrdiff_t>(k));
        return k;
    }

    // A full First/Next walk matches the model.
    void Scan() {
        EntryPosition pos;
        DmsStatus st = engine_.First(cursor_, nullptr, &pos);
        size_t i = 0;
        size_t wrong = 0;
        for (; st == DmsStatus::Success; st = engine_.Next(cursor_, nullptr, &pos), ++i) {
            if (i >= model.size() || !(pos.ref == model[i].ref) || pos.ordinal != i) ++wrong;
        }
        EXPECT_EQ(st, model.empty() ? DmsStatus::RecordNotFound : DmsStatus::EndOfFile);
        EXPECT_EQ(i, model.size());
        EXPECT_EQ(wrong, 0u);
    }

    int mismatches_ = 0;

private:
    CDMS& engine_;
    uint32_t cursor_;
    const IndexKeyFormat& format_;
};

class IndexOracle : public IndexTest {
protected:
    // Opens a file on the long index with an empty model beside it.
    void StartLong() {
        OpenIndexFile(kLongIndex);
        EXPECT_EQ(format.Init(File().Description(), kLongIndex, File().CollatorKind()), DmsStatus::Success);
        check = std::make_unique<OracleCheck>(*engine, cursor, format);
    }
    // Opens a file on the text index with a model beside it; false when the
    // EDICT file is not installed.
    bool StartText(size_t limit) {
        pairs = LoadEdictKeys(limit);
        if (pairs.empty()) return false;
        OpenIndexFile(kTextIndex);
        EXPECT_EQ(format.Init(File().Description(), kTextIndex, File().CollatorKind()), DmsStatus::Success);
        check = std::make_unique<OracleCheck>(*engine, cursor, format);
        return true;
    }
    // Inserts the pairs one by one into the index and the model (file order
    // gives the references), then sorts the model stably with the same comparator.
    void InsertPairs() {
        for (size_t i = 0; i < pairs.size(); ++i) {
            TextPairKey key(pairs[i].first, pairs[i].second);
            RecordRef ref{static_cast<uint32_t>(i + 1), 0};
            ASSERT_EQ(engine->InsertKey(cursor, key.values, ref), DmsStatus::Success) << i;
            std::vector<uint8_t> bytes;
            format.Encode(key.values, bytes);
            check->model.push_back(ModelEntry{check->AddKey(std::move(bytes)), ref});
        }
        std::stable_sort(check->model.begin(), check->model.end(), [&](const ModelEntry& a, const ModelEntry& b) {
            return check->Less(check->KeyOf(a), check->KeyOf(b));
        });
    }

    std::vector<ReadingAndWord> pairs;
    IndexKeyFormat format;
    std::unique_ptr<OracleCheck> check;
};

TEST_F(IndexOracle, RandomInsertsAndDeletesOfLongKeys) {
    StartLong();
    std::mt19937 random(42);
    uint32_t nextRef = 1;
    for (int op = 1; op <= 30000; ++op) {
        // Grows for the first two thirds, then shrinks.
        bool insert = check->model.empty() || random() % 100 < (op < 20000 ? 70u : 30u);
        if (insert) {
            int32_t v = static_cast<int32_t>(random() % 5000) - 2500;
            LongKey key(v);
            RecordRef ref{nextRef, nextRef * 7};
            ++nextRef;
            ASSERT_EQ(engine->InsertKey(cursor, key.values, ref), DmsStatus::Success);
            std::vector<uint8_t> bytes;
            format.Encode(key.values, bytes);
            check->InsertIntoModel(std::move(bytes), ref);
        } else {
            check->DeleteRandom(random);
        }
        if (op % 10 == 0) {
            check->Probe(LongKey(static_cast<int32_t>(random() % 5200) - 2600).values);
            check->MoveAndCount(random);
        }
        if (op % 1000 == 0) {
            ASSERT_EQ(Verify(kLongIndex), DmsStatus::Success) << op;
        }
    }
    check->Scan();
    while (!check->model.empty()) check->DeleteRandom(random);
    EXPECT_EQ(storage::LoadU32(File().Descriptor(0) + 12), 0xFFFFFFFFu);
    Verify(kLongIndex);
}

// An insert takes the path of the one before it as a guess. Runs of equal
// keys longer than a page, fed in turns from their ends, their neighbours and
// keys between: every insert still lands after its equals, as the sorted
// model says, and the tree stays sound through the splits.
TEST_F(IndexOracle, InsertsNextToTheLastOneAmongRunsOfEqualKeys) {
    StartLong();
    std::mt19937 random(5);
    uint32_t nextRef = 1;
    // Mostly the run keys 10 and 20, and ascending or descending stretches
    // around them, so the guess is right, one entry off, or a page off.
    const int32_t pattern[] = {10, 10, 10, 20, 20, 9, 11, 21, 19, 10, 20, 20, 0, 30};
    for (int op = 0; op < 12000; ++op) {
        int32_t v = pattern[op % std::size(pattern)];
        if (op % 7 == 3) v = static_cast<int32_t>(random() % 40);
        if (op % 400 < 40) v = op % 400;  // an ascending stretch through the runs
        LongKey key(v);
        RecordRef ref{nextRef, nextRef};
        ++nextRef;
        ASSERT_EQ(engine->InsertKey(cursor, key.values, ref), DmsStatus::Success) << op;
        std::vector<uint8_t> bytes;
        format.Encode(key.values, bytes);
        check->InsertIntoModel(std::move(bytes), ref);
        if (op % 2000 == 1999) {
            ASSERT_EQ(Verify(kLongIndex), DmsStatus::Success) << op;
        }
    }
    check->Scan();
    for (int32_t v : {0, 9, 10, 11, 19, 20, 21, 39, 40}) check->Probe(LongKey(v).values);
}

// Every EDICT reading/headword pair (a subset under Wine) inserted one by one.
TEST_F(IndexOracle, EdictKeysMatchStableSortAndEveryProbe) {
#if defined(_WIN32)
    const size_t limit = 15000;
#else
    const size_t limit = 400000;
#endif
    if (!StartText(limit)) GTEST_SKIP() << "edict is not installed";
    InsertPairs();
    if (HasFatalFailure()) return;
    ASSERT_EQ(Verify(kTextIndex), DmsStatus::Success);
    check->Scan();

    // 80 % present keys, 20 % with one code unit changed.
    std::mt19937 random(7);
    for (int probe = 0; probe < 2000; ++probe) {
        const ReadingAndWord& p = pairs[random() % pairs.size()];
        TextPairKey key(p.first, p.second);
        if (random() % 5 == 0) {
            std::u16string& s = random() % 2 ? key.a : key.b;
            if (!s.empty()) s[random() % s.size()] += static_cast<char16_t>(1 + random() % 3);
        }
        check->Probe(key.values);
        check->MoveAndCount(random);
    }
    IndexStats stats;
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    EXPECT_EQ(stats.entries, pairs.size());
    EXPECT_EQ(stats.level[stats.levels - 1].entries, pairs.size());
}

// Deleting every key one by one in random order empties the index; the
// verifier passes after every thousand deletions and the probes still agree.
TEST_F(IndexOracle, EdictKeysDeletedOneByOne) {
#if defined(_WIN32)
    const size_t limit = 4000;
#else
    const size_t limit = 20000;
#endif
    if (!StartText(limit)) GTEST_SKIP() << "edict is not installed";
    InsertPairs();
    if (HasFatalFailure()) return;
    std::mt19937 random(11);
    size_t done = 0;
    while (!check->model.empty()) {
        check->DeleteRandom(random);
        if (++done % 1000 == 0) {
            ASSERT_EQ(Verify(kTextIndex), DmsStatus::Success) << done;
            const ReadingAndWord& p = pairs[random() % pairs.size()];
            check->Probe(TextPairKey(p.first, p.second).values);
            check->Scan();
        }
        if (HasFailure()) return;
    }
    EXPECT_EQ(storage::LoadU32(File().Descriptor(1) + 12), 0xFFFFFFFFu);
    EXPECT_EQ(storage::LoadU32(File().Descriptor(1) + 8), 0u);
}

}  // namespace
