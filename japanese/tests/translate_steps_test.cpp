// Boundary flags of the analysed text and the merge of a pass's hits.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "japanese/translate_steps.h"

namespace ostrel::japanese {
namespace {

TEST(BoundaryFlags, MarkPunctuationNeighboursInsideTheTextOnly) {
    std::array<uint16_t, 8> flags{};
    flags.fill(0xFFFF);
    ComputeBoundaryFlags(u"。食べた  ", std::span(flags).subspan(1, 6));  // guards either side
    EXPECT_EQ(flags[0], 0xFFFF);
    EXPECT_EQ(flags[7], 0xFFFF);
    EXPECT_EQ(flags[1], kWordMayStart | kPunctuation);  // no neighbour before it
    EXPECT_EQ(flags[2], kWordMayStart);
    EXPECT_EQ(flags[4], kWordMayEnd);  // before the trailing blanks
    EXPECT_EQ(flags[5], kWordMayEnd);
    EXPECT_EQ(flags[6], kWordMayEnd);
    std::array<uint16_t, 3> blanks{};
    ComputeBoundaryFlags(u"   ", blanks);  // trailing blanks down to index 0
    EXPECT_EQ(blanks[0], kWordMayStart | kWordMayEnd);
}

TEST(MergeHits, AgreesWithAStableMergeAndKeepsTheCap) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        auto make = [&](size_t n, uint32_t tag) {
            std::vector<WordListEntry> list(n);
            for (size_t i = 0; i < n; ++i) {
                list[i] = WordListEntry{};
                list[i].matchStart = static_cast<int32_t>(random() % 40);
                list[i].recordId = tag + static_cast<uint32_t>(i);
            }
            std::stable_sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.matchStart < b.matchStart; });
            return list;
        };
        // Held hits named out of order in the pool, behind a left-over entry.
        const size_t held = random() % 1500, added = random() % 1500;
        const size_t limit = round % 2 == 0 ? size_t{kMaxHits} : 500 + random() % 1000;
        std::vector<WordListEntry> hits = make(held, 0), entries = make(added, 100000);
        std::vector<WordListEntry> expected;
        std::merge(hits.begin(), hits.end(), entries.begin(), entries.end(), std::back_inserter(expected),
                   [](auto& a, auto& b) { return a.matchStart < b.matchStart; });
        // The first hit the cut leaves out, by the merged order.
        const int32_t cutAt = expected.size() > limit ? expected[limit].matchStart : -1;
        expected.resize(std::min(expected.size(), limit));
        std::vector<WordListEntry> pool(1 + held);
        std::vector<int32_t> order(held);
        for (size_t i = 0; i < held; ++i) {
            order[i] = static_cast<int32_t>(held - i);
            pool[held - i] = hits[i];
        }
        const size_t first = pool.size();
        pool.insert(pool.end(), entries.begin(), entries.end());
        EXPECT_EQ(MergeHits(order, pool, first, limit), cutAt);
        ASSERT_EQ(order.size(), expected.size());
        for (size_t i = 0; i < order.size(); ++i)
            ASSERT_EQ(pool[static_cast<size_t>(order[i])].recordId, expected[i].recordId) << i;
        // The new entries the cut left out are gone from the pool.
        const size_t keptNew = static_cast<size_t>(std::count_if(
            expected.begin(), expected.end(), [](const WordListEntry& e) { return e.recordId >= 100000; }));
        EXPECT_EQ(pool.size(), first + keptNew);
    }
}

TEST(DropDuplicateHits, TheSameRecordFoundTwiceKeepsTheHigherPriority) {
    std::vector<WordListEntry> hits(4, WordListEntry{});
    for (auto& hit : hits) hit.matchLength = 2;
    hits[0].priority = 127;
    hits[1].priority = 200;  // same record, higher priority: stays
    hits[2].priority = 200;  // same again, equal priority, later: hidden
    hits[3].priority = 50;
    hits[3].recordId = 9;    // another record: stays
    EXPECT_EQ(DropDuplicateHits(hits), 2);
    EXPECT_EQ(hits[0].flags & kEntryDeleted, kEntryDeleted);
    EXPECT_EQ(hits[1].flags & kEntryDeleted, 0u);
    EXPECT_EQ(hits[2].flags & kEntryDeleted, kEntryDeleted);
    EXPECT_EQ(hits[3].flags & kEntryDeleted, 0u);
}

// The pairwise rule itself, as an oracle for the one-pass version.
int32_t PairwiseDrop(std::vector<WordListEntry>& hits) {
    int32_t hidden = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        for (size_t j = i + 1; j < hits.size() && (hits[i].flags & kEntryDeleted) == 0; ++j) {
            const WordListEntry &a = hits[i], &b = hits[j];
            if ((b.flags & kEntryDeleted) || a.matchStart != b.matchStart || a.matchLength != b.matchLength ||
                a.recordId != b.recordId)
                continue;
            (a.priority < b.priority ? hits[i] : hits[j]).flags |= kEntryDeleted;
            ++hidden;
        }
    }
    return hidden;
}

TEST(DropDuplicateHits, OnePassHidesWhatThePairwiseRuleHides) {
    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round) {
        std::vector<WordListEntry> hits(1 + random() % 40, WordListEntry{});
        for (auto& hit : hits) {
            hit.matchStart = static_cast<int32_t>(random() % 3);
            hit.matchLength = 1 + static_cast<int32_t>(random() % 2);
            hit.recordId = random() % 3;
            hit.priority = static_cast<int32_t>(random() % 3);
            hit.flags = random() % 6 == 0 ? kEntryDeleted : 0;
        }
        std::vector<WordListEntry> expected = hits;
        const int32_t hidden = PairwiseDrop(expected);
        ASSERT_EQ(DropDuplicateHits(hits), hidden);
        for (size_t i = 0; i < hits.size(); ++i) ASSERT_EQ(hits[i].flags, expected[i].flags) << round << " " << i;
    }
}

}  // namespace
}  // namespace ostrel::japanese
