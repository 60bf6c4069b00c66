// The enabling rules of the edit commands.
#include "article/edit_menu_rules.h"

std::array<EditMenuItemState, 10> EditMenuItemStates(bool editable, bool hasText, bool hasSelection) {
    return {{
        {40034, editable && hasText},
        {40025, editable},
        {40024, editable && hasSelection},
        {40017, editable && hasSelection},
        {40167, hasSelection},
        {40169, hasSelection},
        {40171, hasSelection},
        {40033, hasSelection},
        {40500, hasSelection},
        {40032, hasText},
    }};
}
