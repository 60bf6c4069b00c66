// The size bounds of pasted text in the input box (the menu rules and the
// whole paste are checked in a real control under Wine).
#include <gtest/gtest.h>

#include "article/pasted_text_format.h"

namespace {

TEST(PastedTextFormat, BoundsAreTruncatedPointsAroundTheInputSize) {
    // 10 points: 9 and 11 stay, 8.5 and 11.5 take 10; colour turns black.
    EXPECT_EQ(EvenOutPastedRun({180, 0, false}, 10).twips, 180);
    EXPECT_EQ(EvenOutPastedRun({170, 0, false}, 10).twips, 200);
    EXPECT_EQ(EvenOutPastedRun({220, 0, false}, 10).twips, 220);
    EXPECT_EQ(EvenOutPastedRun({230, 0x0000FF, false}, 10).twips, 200);
    EXPECT_EQ(EvenOutPastedRun({230, 0x0000FF, false}, 10).colour, 0u);
    // 12 points: bounds 10 and 13 (10.8 and 13.2 truncated).
    EXPECT_EQ(EvenOutPastedRun({200, 0, false}, 12).twips, 200);
    EXPECT_EQ(EvenOutPastedRun({199, 0, false}, 12).twips, 240);
    EXPECT_EQ(EvenOutPastedRun({260, 0, false}, 12).twips, 260);
    // The control's automatic colour is left as it is.
    EXPECT_EQ(EvenOutPastedRun({200, 0x123456, true}, 10).colour, 0x123456u);
}

}  // namespace
