// The toolbars' button tables, the tab images and the list-tab rule.
#include "ui/bar_tables.h"

#include "ui/command_rules.h"

namespace {

constexpr ToolbarButton kSeparator{0, 0};

constexpr ToolbarButton kToolbar1[] = {
    {2, 40671}, kSeparator, {41, 40070}, kSeparator, {51, 40062}, kSeparator, {10, 40190},
    kSeparator, {4, 40645}, kSeparator, {17, 40064}, {18, 40400}, {19, 40067}, {20, 40083},
    kSeparator, {30, 40013}};
constexpr ToolbarButton kToolbar2[] = {
    {53, 40010}, {26, 40011}, kSeparator, {29, 40012}, {50, 40114}, kSeparator,
    {12, 40194}, {14, 40029}, kSeparator, {21, 40205}, {22, 40206}};
constexpr ToolbarButton kToolbar3[] = {{14, 40014}, {35, 40172}};

constexpr int32_t kTabImages[] = {16, 13, 2, 3, 9, 10, 6, 11};

}  // namespace

std::span<const ToolbarButton> ToolbarButtons(int32_t toolbar) {
    switch (toolbar) {
    case 1: return kToolbar1;
    case 2: return kToolbar2;
    case 3: return kToolbar3;
    default: return {};
    }
}

int32_t ToolbarOfCommand(uint32_t command) {
    if (command == 0) return 0;
    for (int32_t toolbar = 1; toolbar <= 3; ++toolbar)
        for (const ToolbarButton& button : ToolbarButtons(toolbar))
            if (button.command == command) return toolbar;
    return 0;
}

int32_t TabImageOfCommand(uint32_t command) {
    if (!ListKindOfCommand(command)) return -1;
    for (int32_t i = 0; i < 8; ++i)
        if (kTabCommands[i] == command) return kTabImages[i];
    return 0;
}

int32_t FindOrInsertListTab(IListTabStrip& strip, int32_t position, uint32_t command, bool insert) {
    int32_t count = strip.Count();
    for (int32_t i = 0; i < count; ++i) {
        if (strip.CommandAt(i) != command) continue;
        if (!insert && ListKindOfCommand(command)) strip.Remove(i);
        return i;
    }
    int32_t image = TabImageOfCommand(command);
    if (!insert || image < 0) return -1;
    return strip.Insert(position, command, image);
}
