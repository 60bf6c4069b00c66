// CSelection: the clicks of a list view (plain, Shift, Ctrl) and the walk
// over the selected rows, checked against the rows each range covers.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "dictionary/selection.h"

namespace {

std::multiset<int32_t> RowsOf(const CSelection& s) {
    std::multiset<int32_t> rows;
    for (int32_t i = 0; i < s.RangeCount(); ++i)
        for (int32_t row = std::min(s.RangeAt(i).a, s.RangeAt(i).b); row <= std::max(s.RangeAt(i).a, s.RangeAt(i).b); ++row)
            rows.insert(row);
    return rows;
}

TEST(Selection, ClicksOfTheListView) {
    CSelection s;
    s.SetSingle(14, 10);
    s.Add(12, false, true);  // Ctrl inside a range of five rows: two ranges of two
    EXPECT_EQ(s.RangeCount(), 2);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{10, 11, 13, 14}));
    s.Add(10, false, true);  // at an end: shrinks towards the other end
    s.Add(11, false, true);  // a one-row range goes
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{13, 14}));

    CSelection shift;
    shift.Add(7, true, false);  // Shift with nothing selected: rows 0 to 7
    EXPECT_EQ(shift.Count(), 8);
    shift.Add(2, false, false);
    shift.Add(20, false, true);
    shift.Add(25, true, false);  // Shift after Ctrl: only from the last anchor
    EXPECT_EQ(RowsOf(shift), (std::multiset<int32_t>{20, 21, 22, 23, 24, 25}));
    shift.merge = 0;
    shift.Add(9, true, true);
    EXPECT_EQ(RowsOf(shift), (std::multiset<int32_t>{9}));
    EXPECT_EQ(shift.Add(-1, false, false), -1);
}

TEST(Selection, TheHundredAndFirstRangeGrowsTheBufferTo200Pairs) {
    CSelection s;
    for (int32_t i = 0; i < 101; ++i) ASSERT_EQ(s.Add(i * 2, false, true), i * 2);
    EXPECT_EQ(s.Capacity(), 200);
    EXPECT_EQ(s.Count(), 101);
    EXPECT_EQ(s.NextSelected(200), -1);
}

TEST(Selection, CountContainsAndNextSelectedAgreeWithTheCoveredRows) {
    std::mt19937 random(16);
    for (int round = 0; round < 200; ++round) {
        CSelection s;
        for (int click = 0; click < 12; ++click)
            s.Add(static_cast<int32_t>(random() % 60), random() % 5 == 0, random() % 2 == 0);
        std::multiset<int32_t> rows = RowsOf(s);
        EXPECT_EQ(s.Count(), static_cast<int32_t>(rows.size()));
        std::set<int32_t> distinct(rows.begin(), rows.end());
        std::vector<int32_t> walked;
        for (int32_t row = s.NextSelected(-2); row >= 0; row = s.NextSelected(row)) walked.push_back(row);
        EXPECT_EQ(walked, std::vector<int32_t>(distinct.begin(), distinct.end()));
        for (int32_t row = 0; row < 62; ++row) EXPECT_EQ(s.Contains(row) >= 0, distinct.count(row) == 1);
    }
}

}  // namespace
