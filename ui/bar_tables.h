// The fixed contents of the main window's bars: the button tables of the three
// toolbars (image index and command, 0 for a separator), the tab image of each
// list command, and the rule by which the shelf adds and removes list tabs,
// over a tab strip interface so the rule runs without a window.
#pragma once

#include <cstdint>
#include <span>

struct ToolbarButton {
    int32_t image;
    uint32_t command;  // 0: a separator
};

// Buttons of toolbar 1, 2 or 3 in order; empty for other numbers.
std::span<const ToolbarButton> ToolbarButtons(int32_t toolbar);
// The toolbar (1, 2, 3, searched in that order) whose table holds `command`, 0 when none.
int32_t ToolbarOfCommand(uint32_t command);

// The tabs of the full strip, in order: their list commands.
inline constexpr uint32_t kTabCommands[] = {40003, 40004, 40007, 40006, 40142, 40139, 40140, 40143};
// Image of a list command's tab (0 for list commands without a tab of their
// own, such as 40145); -1 for commands that are no list command.
int32_t TabImageOfCommand(uint32_t command);

// A tab strip whose tabs carry the command they run.
class IListTabStrip {
public:
    virtual ~IListTabStrip() = default;
    virtual int32_t Count() = 0;
    virtual uint32_t CommandAt(int32_t index) = 0;
    virtual void Remove(int32_t index) = 0;
    // Inserts a tab at `position`; its index, -1 on failure.
    virtual int32_t Insert(int32_t position, uint32_t command, int32_t image) = 0;
};

// The tab of `command`: when present, its index, and with `insert` 0 a list
// command's tab is removed. When absent: -1, unless `insert` is set and the
// command is a list command, when a tab is inserted at `position` and its
// index returned.
int32_t FindOrInsertListTab(IListTabStrip& strip, int32_t position, uint32_t command, bool insert);
