// The hover hint's tracker, placement, shape and texts.
#include "common/ui_text/hint_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "common/ui_text/hint_texts.h"

namespace {

TEST(HintTracker, WaitsThenShowsAndMovesOnAtOnce) {
    HintTracker tracker;
    const HintItem first{2, 40010}, second{2, 40014};
    HintActions a = tracker.Track(true, first);
    EXPECT_TRUE(a.startShowTimer);
    EXPECT_FALSE(a.show);
    EXPECT_FALSE(tracker.Track(true, first).show);  // the same item: nothing
    a = tracker.OnShowTimer();
    EXPECT_TRUE(a.killShowTimer && a.show);
    EXPECT_TRUE(tracker.Shown());
    a = tracker.Track(true, second);  // the next button: at once
    EXPECT_TRUE(a.hide && a.show && !a.startShowTimer);
    a = tracker.OnHide();  // auto-hide or a mouse press: the item stays kept
    EXPECT_TRUE(a.hide);
    EXPECT_FALSE(tracker.Track(true, second).show);
    a = tracker.Track(true, {});
    EXPECT_FALSE(a.hide);
    EXPECT_EQ(tracker.Kept().id, 0);
    tracker.Track(true, first);
    a = tracker.Track(false, first);  // hints off
    EXPECT_TRUE(a.killShowTimer);
    EXPECT_FALSE(tracker.Waiting());
    EXPECT_FALSE(tracker.OnShowTimer().show);
}

// A show timer whose firing arrives after the hint was hidden (auto-hide, a
// mouse press, the pointer gone) never brings the hint back.
TEST(HintTracker, ALateShowTimerAfterHidingShowsNothing) {
    HintTracker tracker;
    const HintItem item{12, 1330};
    tracker.Track(true, item);
    ASSERT_TRUE(tracker.OnShowTimer().show);
    EXPECT_TRUE(tracker.OnHide().hide);
    HintActions late = tracker.OnShowTimer();
    EXPECT_FALSE(late.show);
    EXPECT_FALSE(tracker.Shown());
    EXPECT_FALSE(tracker.Track(true, item).show);  // still over the same item
    EXPECT_EQ(tracker.Kept(), item);
    // Moved off before the delay ran out: the timer's late firing shows nothing.
    HintTracker moved;
    moved.Track(true, item);
    EXPECT_TRUE(moved.Track(true, {}).killShowTimer);
    late = moved.OnShowTimer();
    EXPECT_FALSE(late.show || late.hide);
    EXPECT_FALSE(moved.Shown());
}

TEST(HintPlacement, StaysInsideTheWorkArea) {
    const HintRect work{0, 0, 1024, 768};
    HintPlacement p = PlaceHint(500, 100, 80, 40, work);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.pointerOffset, 100);
    EXPECT_EQ(p.height, 12 + 11 + 40 + 1);
    EXPECT_FALSE(p.pointerBelow);
    p = PlaceHint(5, 100, 80, 40, work);  // near the left edge
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.pointerOffset, 0);
    p = PlaceHint(1020, 100, 80, 40, work);  // near the right edge
    EXPECT_EQ(p.x, 820);
    EXPECT_EQ(p.pointerOffset, 200);
    // A status-bar part at the bottom: above the item, pointer flipped.
    p = PlaceHint(300, 766, 746, 40, work);
    EXPECT_TRUE(p.pointerBelow);
    EXPECT_EQ(p.y + p.height, 746);
    EXPECT_GE(p.y, work.top);
    // No room above either: clamped inside.
    p = PlaceHint(300, 60, 50, 720, work);
    EXPECT_FALSE(p.pointerBelow);
    EXPECT_GE(p.y, 0);
    EXPECT_LE(p.y + p.height, 768);
}

TEST(HintShape, BalloonRows) {
    const int32_t height = 12 + 11 + 30 + 1;
    const std::vector<HintSpan> rows = HintShapeRows(200, height, 100, false);
    // The apex, one pixel wider per row, then the body.
    EXPECT_EQ(rows[0].y, 0);
    EXPECT_EQ(rows[0].left, 100);
    EXPECT_EQ(rows[0].right, 101);
    EXPECT_EQ(rows[11].left, 89);
    EXPECT_EQ(rows[11].right, 112);
    EXPECT_EQ(rows[12].y, 12);
    EXPECT_EQ(rows[12].left, 4);  // rounded top corners
    EXPECT_EQ(rows[14].right, 199);
    EXPECT_EQ(rows[15].left, 0);
    EXPECT_EQ(rows.back().y, height - 1);
    EXPECT_EQ(rows.back().left, 4);
    // A pointer at the left end leaves the top-left corner square.
    EXPECT_EQ(HintShapeRows(200, height, 0, false)[12].left, 0);
    // Flipped: the apex is the last row.
    const std::vector<HintSpan> flipped = HintShapeRows(200, height, 100, true);
    EXPECT_EQ(flipped[0].y, height - 1);
    EXPECT_EQ(flipped[0].left, 100);
}

TEST(HintTexts, KeysLanguagesAndFallbacks) {
    EXPECT_EQ(HintTextRows().size(), 2u + 15u + 16u + 9u + 81u);
    std::set<std::pair<int32_t, int32_t>> keys;
    for (const HintTextRow& row : HintTextRows()) {
        EXPECT_TRUE(keys.insert({row.kind, row.id}).second) << row.kind << " " << row.id;
        EXPECT_NE(row.texts[1], nullptr) << row.id;
    }
    EXPECT_EQ(std::u16string(GetHintText(1, 6, 1)), u"Name of the dictionary with current article");
    EXPECT_EQ(std::u16string(GetHintText(1005, 7, 1)), u"Turn the dictionary on / off");
    EXPECT_EQ(std::u16string(GetHintText(3, 8, 1)), u"The line contains word reading");
    EXPECT_EQ(std::u16string(GetHintText(40400, 2, 1)), u"Copy the article to the working dictionary");
    EXPECT_EQ(std::u16string(GetHintText(40622, 8, 1)), u"Undo (Ctrl+Z)");  // a group's id falls back to the commands
    // A missing Japanese text is taken in English.
    EXPECT_EQ(std::u16string(GetHintText(1341, 12, 2)), u"Book of the fourth column");
    EXPECT_EQ(GetHintText(99999, 2, 0), nullptr);
    EXPECT_EQ(GetHintText(1341, 2, 1), nullptr);  // a book reader id is no command
}

}  // namespace
