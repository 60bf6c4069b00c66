// Which edit commands of a context menu are enabled for a rich edit, from
// whether it may be changed, holds text and has a selection.
#pragma once

#include <array>
#include <cstdint>

struct EditMenuItemState {
    uint32_t command;
    bool enabled;
};

// Clear all 40034, Paste 40025, Cut 40024, Clear 40017, Find in list 40167,
// Find in text 40169, Translate words 40171, Copy 40033, Add to dictionary
// 40500 and Select all 40032, in that order.
std::array<EditMenuItemState, 10> EditMenuItemStates(bool editable, bool hasText, bool hasSelection);
