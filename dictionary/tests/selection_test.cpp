// CSelection: the clicks of a list view (plain, Shift, Ctrl) and the walk
// over the selected rows, checked against the set of rows each range covers.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "dictionary/selection.h"

namespace {

std::multiset<int32_t> RowsOf(const CSelection& s) {
    std::multiset<int32_t> rows;
    for (int32_t i = 0; i < s.RangeCount(); ++i) {
        const auto& r = s.RangeAt(i);
        for (int32_t row = std::min(r.a, r.b); row <= std::max(r.a, r.b); ++row) rows.insert(row);
    }
    return rows;
}

TEST(Selection, CtrlClickInsideAFiveRowRangeLeavesTwoRangesOfTwo) {
    for (bool reversed : {false, true}) {
        CSelection s;
        s.SetSingle(reversed ? 14 : 10, reversed ? 10 : 14);
        EXPECT_EQ(s.Add(12, false, true), 12);
        ASSERT_EQ(s.RangeCount(), 2);
        EXPECT_EQ(s.Count(), 4);
        EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{10, 11, 13, 14}));
    }
}

TEST(Selection, CtrlClickAtEitherEndShrinksTowardsTheOtherAndDropsOneRowRanges) {
    CSelection s;
    s.SetSingle(3, 5);
    s.Add(3, false, true);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{4, 5}));
    s.Add(5, false, true);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{4}));
    s.Add(4, false, true);
    EXPECT_EQ(s.RangeCount(), 0);
    s.Add(9, false, true);
    EXPECT_EQ(s.Contains(9), 0);
}

TEST(Selection, ShiftClickWithNothingSelectedTakesRowsFromZero) {
    CSelection s;
    s.Add(7, true, false);
    EXPECT_EQ(s.Count(), 8);
    EXPECT_EQ(s.Contains(0), 0);
}

TEST(Selection, ShiftClickAfterCtrlClickKeepsOnlyTheRangeFromTheLastAnchor) {
    CSelection s;
    s.Add(2, false, false);
    s.Add(20, false, true);
    s.Add(25, true, false);
    ASSERT_EQ(s.RangeCount(), 1);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{20, 21, 22, 23, 24, 25}));
    s.Add(15, true, false);  // the anchor stays at 20
    EXPECT_EQ(s.Count(), 6);
    EXPECT_EQ(s.Contains(15), 0);
}

TEST(Selection, MergeOffAndPlainClicksSelectOneRow) {
    CSelection s;
    s.Add(4, false, true);
    s.Add(6, false, true);
    s.Add(8, false, false);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{8}));
    s.merge = 0;
    s.Add(9, true, true);
    EXPECT_EQ(RowsOf(s), (std::multiset<int32_t>{9}));
    EXPECT_EQ(s.Add(-1, false, false), -1);
}

TEST(Selection, TheHundredAndFirstRangeGrowsTheBufferTo200Pairs) {
    CSelection s;
    for (int32_t i = 0; i < 101; ++i) ASSERT_EQ(s.Add(i * 2, false, true), i * 2);
    EXPECT_EQ(s.RangeCount(), 101);
    EXPECT_EQ(s.Capacity(), 200);
    EXPECT_EQ(s.Count(), 101);
}

TEST(Selection, NextSelectedWalksTheCoveredRowsInOrder) {
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
