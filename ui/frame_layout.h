// The geometry of the main window with no window in sight: where the three
// toolbars, the input box, the tab strip, the list, the size bar, the article
// view and the status bar go for a client size, how far the size bar may be
// dragged, how wide the status bar's name part is and how a dictionary name
// too wide for it is shortened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

inline constexpr int32_t kToolbar1Height = 26;
inline constexpr int32_t kToolbar2Height = 25;
inline constexpr int32_t kTabStripHeight = 24;
inline constexpr int32_t kSizeBarHeight = 5;

struct PaneRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct LayoutInput {
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t statusHeight = 0;
    int32_t inputFontSize = 0;  // points of the input box's font
    int32_t split = 0;          // the size bar's y as last kept
    // Width of toolbar 3's two buttons as the toolbar lays them out; 49 or
    // less keeps the input box 53 and the indent 51 short of the width.
    int32_t inputButtonsWidth = 0;
};

struct FrameLayout {
    PaneRect toolbars[3];
    PaneRect input;              // inside toolbar 3
    int32_t toolbar3Indent = 0;  // puts toolbar 3's two buttons at its right end, wholly inside
    PaneRect tabs, list, sizeBar, article, status;
    int32_t split = 0;           // the split after the limits, kept for the run
};

// Every height and width is at least 0, however small the client area; the
// list is always 60 high (the split never rises above tab y + 84).
FrameLayout ComputeFrameLayout(const LayoutInput& in);

// The size bar's y while dragged: at least toolbar 1's height + 30, at most
// 11 above the client bottom (the lower limit wins in a tiny window).
int32_t ClampSizeBarPosition(int32_t y, int32_t clientHeight);

// Right edge of the status bar's name part: the client width less the
// measured width of the widest line count ("Line 99999999 from 99999999" in
// the interface language and "ЖЖ") less 8, 0 when unmeasured (negative).
int32_t StatusNamePartEnd(int32_t clientWidth, int32_t measuredWidth);

// `text` as it fits in `width` pixels by `measure`: unchanged when it fits;
// a path with a drive prefix ("C:\") keeps it, then "...", then as many of its
// last characters as fit; any other text is cut to what fits with "..." after
// it. Surrogate pairs are never split.
std::u16string ShortenStatusText(std::u16string_view text, int32_t width,
                                 const std::function<int32_t(std::u16string_view)>& measure);
