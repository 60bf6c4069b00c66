// The enabling of edit commands and the evening out of pasted runs.
#include <gtest/gtest.h>

#include "article/edit_menu_rules.h"
#include "article/pasted_text_format.h"

namespace {

bool Enabled(bool editable, bool hasText, bool hasSelection, uint32_t command) {
    for (const EditMenuItemState& item : EditMenuItemStates(editable, hasText, hasSelection))
        if (item.command == command) return item.enabled;
    ADD_FAILURE() << "no item " << command;
    return false;
}

TEST(EditMenuRules, ReadOnlyTextWithSelectionOffersOnlyReadingCommands) {
    for (uint32_t command : {40167u, 40169u, 40171u, 40033u, 40500u, 40032u})
        EXPECT_TRUE(Enabled(false, true, true, command)) << command;
    for (uint32_t command : {40034u, 40025u, 40024u, 40017u}) EXPECT_FALSE(Enabled(false, true, true, command)) << command;
}

TEST(EditMenuRules, AnEmptyEditableBoxOffersOnlyPaste) {
    for (const EditMenuItemState& item : EditMenuItemStates(true, false, false))
        EXPECT_EQ(item.enabled, item.command == 40025) << item.command;
}

TEST(EditMenuRules, CuttingNeedsAnEditableSelection) {
    EXPECT_TRUE(Enabled(true, true, true, 40024));
    EXPECT_TRUE(Enabled(true, true, true, 40017));
    EXPECT_TRUE(Enabled(true, true, false, 40034));
    EXPECT_FALSE(Enabled(true, true, false, 40024));
}

TEST(PastedTextFormat, FarSizesAndColoursEvenOutNearSizesStay) {
    const RunFormat big = EvenOutPastedRun({400, 0x0000FF, false}, 10);  // 20 pt red
    EXPECT_EQ(big.twips, 200);
    EXPECT_EQ(big.colour, 0u);
    EXPECT_EQ(EvenOutPastedRun({210, 0, false}, 10).twips, 210);   // 10.5 pt
    EXPECT_EQ(EvenOutPastedRun({180, 0, false}, 10).twips, 180);   // 9 pt: on the bound
    EXPECT_EQ(EvenOutPastedRun({170, 0, false}, 10).twips, 200);
    EXPECT_EQ(EvenOutPastedRun({230, 0, false}, 10).twips, 200);   // 11.5 pt
    // 12 points: bounds 10 and 13 (10.8 and 13.2 truncated).
    EXPECT_EQ(EvenOutPastedRun({200, 0, false}, 12).twips, 200);
    EXPECT_EQ(EvenOutPastedRun({199, 0, false}, 12).twips, 240);
    EXPECT_EQ(EvenOutPastedRun({260, 0, false}, 12).twips, 260);
    // The control's automatic colour is left as it is.
    EXPECT_EQ(EvenOutPastedRun({200, 0x123456, true}, 10).colour, 0x123456u);
}

}  // namespace
