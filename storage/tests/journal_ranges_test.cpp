// The byte ranges a journal keeps, against a brute-force model: the joined
// ranges cover exactly the bytes below the file's end that any range covers,
// sorted, with gaps between them (overlapping and touching ranges joined,
// one range inside another never shortening it).
#include "storage/journal.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(JournalRanges, CoverExactlyTheBytesOfTheRangesBelowTheEnd) {
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        const uint64_t end = 50 + random() % 400;
        std::vector<ByteRange> ranges;
        std::vector<bool> covered(600, false);
        size_t count = 1 + random() % 8;
        for (size_t i = 0; i < count; ++i) {
            // Page-like ranges, some inside others, some past the end.
            ByteRange r{random() % 500, random() % 3 == 0 ? 64 : 1 + random() % 100};
            ranges.push_back(r);
            for (uint64_t b = r.position; b < r.position + r.length && b < end; ++b) covered[b] = true;
        }
        std::vector<ByteRange> joined = JoinByteRanges(ranges, end);
        std::vector<bool> got(600, false);
        for (size_t i = 0; i < joined.size(); ++i) {
            const ByteRange& r = joined[i];
            ASSERT_GT(r.length, 0u);
            ASSERT_LE(r.position + r.length, end);
            if (i > 0) {
                ASSERT_GT(r.position, joined[i - 1].position + joined[i - 1].length) << "not joined";
            }
            for (uint64_t b = r.position; b < r.position + r.length; ++b) got[b] = true;
        }
        ASSERT_EQ(got, covered) << "round " << round;
    }
}

}  // namespace
