// The hover hint's rules that need no window: when it waits, shows and hides
// (a tracker fed with the item under the pointer and the timers' firing),
// where it goes inside the work area, and its balloon shape as rows of spans.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int32_t kHintWidth = 200;
inline constexpr int32_t kHintInitialHeight = 100;
inline constexpr int32_t kHintPointerHeight = 12;
inline constexpr uint32_t kHintShowDelayMs = 500;
inline constexpr int32_t kHintAutoHideSeconds = 10;
inline constexpr int32_t kHintMainWindowAutoHideSeconds = 15;

// An item under the pointer: a kind of window and an id within it (0 none).
struct HintItem {
    int32_t kind = 0;
    int32_t id = 0;
    bool operator==(const HintItem&) const = default;
};

// What the window side does after a step of the tracker, in this order.
struct HintActions {
    bool killShowTimer = false;
    bool hide = false;             // hide the window and kill the hide timer
    bool startShowTimer = false;
    bool show = false;             // show the kept item's hint (and start the hide timer)
};

class HintTracker {
public:
    // Every UI tick: whether hints are on and the item now under the pointer.
    HintActions Track(bool hintsOn, HintItem item);
    // The show timer fired.
    HintActions OnShowTimer();
    // The hide timer fired, or a mouse button was pressed: the item stays
    // kept, so the hint comes back only over another item.
    HintActions OnHide();
    // The window side tells whether showing worked (no text hides).
    void SetShown(bool shown) { shown_ = shown; }

    bool Shown() const { return shown_; }
    bool Waiting() const { return waiting_; }
    HintItem Kept() const { return kept_; }

private:
    HintItem kept_;
    bool waiting_ = false;  // the show timer runs
    bool shown_ = false;
};

struct HintRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Where the hint goes: its window's top-left, height, the pointer's x inside
// it, and whether the pointer is at the bottom (hint above the item).
struct HintPlacement {
    int32_t x = 0, y = 0;
    int32_t height = 0;
    int32_t pointerOffset = 0;
    bool pointerBelow = false;
};
// The anchor is the bottom centre of the item (`itemTop` its top edge);
// `contentHeight` what the text asks for. The hint goes below the item; when
// it would pass the work area's bottom it goes above it with the pointer
// flipped, and when that passes the top it is clamped inside.
HintPlacement PlaceHint(int32_t anchorX, int32_t anchorY, int32_t itemTop, int32_t contentHeight,
                        const HintRect& workArea, int32_t width = kHintWidth);

// One row of the window's shape: x from `left` up to `right` (exclusive).
struct HintSpan {
    int32_t y, left, right;
};
// The balloon: the body from the pointer's base to `height`, corners rounded
// (4, 2, 1 pixels off the first and last three rows; a top corner only where
// the pointer is not within 10 pixels of it), and a 12-row pointer whose apex
// is at (pointerOffset, 0), one pixel wider on each side per row. Flipped, the
// shape is mirrored top to bottom.
std::vector<HintSpan> HintShapeRows(int32_t width, int32_t height, int32_t pointerOffset, bool pointerBelow);
