// The hover hint's tracker, placement and shape.
#include "common/ui_text/hint_rules.h"

#include <algorithm>

HintActions HintTracker::Track(bool hintsOn, HintItem item) {
    HintActions actions;
    if (!hintsOn || item.id <= 0) {
        actions.killShowTimer = waiting_;
        actions.hide = shown_;
        waiting_ = shown_ = false;
        kept_ = {};
        return actions;
    }
    if (kept_.id <= 0) {
        kept_ = item;
        waiting_ = actions.startShowTimer = true;
        return actions;
    }
    if (item == kept_) return actions;
    // From one item to the next the hint follows at once.
    kept_ = item;
    actions.killShowTimer = waiting_;
    actions.hide = shown_;
    waiting_ = false;
    actions.show = true;
    shown_ = true;
    return actions;
}

HintActions HintTracker::OnShowTimer() {
    HintActions actions;
    actions.killShowTimer = true;
    if (!waiting_) return actions;
    waiting_ = false;
    actions.show = kept_.id > 0;
    shown_ = actions.show;
    return actions;
}

HintActions HintTracker::OnHide() {
    HintActions actions;
    actions.hide = shown_;
    shown_ = false;
    return actions;
}

HintPlacement PlaceHint(int32_t anchorX, int32_t anchorY, int32_t itemTop, int32_t contentHeight,
                        const HintRect& workArea, int32_t width) {
    HintPlacement p;
    anchorX = std::clamp(anchorX, workArea.left, std::max(workArea.left, workArea.right - 1));
    p.x = std::max(anchorX - width / 2, workArea.left);
    if (p.x + width > workArea.right) p.x = workArea.right - width;
    p.pointerOffset = anchorX - p.x;
    if (p.pointerOffset < 16) {
        p.x = anchorX;
        p.pointerOffset = 0;
    } else if (p.pointerOffset > width - 16) {
        p.x = anchorX - width;
        p.pointerOffset = width;
    }
    p.height = kHintPointerHeight + 11 + std::max(contentHeight, 0) + 1;
    p.y = anchorY;
    if (p.y + p.height > workArea.bottom) {
        p.pointerBelow = true;
        p.y = itemTop - p.height;
        if (p.y < workArea.top) {
            // No room above either: inside the work area, over the item.
            p.pointerBelow = false;
            p.y = std::max(workArea.top, workArea.bottom - p.height);
        }
    }
    return p;
}

std::vector<HintSpan> HintShapeRows(int32_t width, int32_t height, int32_t pointerOffset, bool pointerBelow) {
    constexpr int32_t kCorner[3] = {4, 2, 1};
    std::vector<HintSpan> rows;
    for (int32_t r = 0; r < kHintPointerHeight; ++r) {
        const int32_t left = std::max(0, pointerOffset - r), right = std::min(width, pointerOffset + r + 1);
        if (left < right) rows.push_back({r, left, right});
    }
    const bool roundTopLeft = pointerOffset > 10;
    const bool roundTopRight = pointerOffset < width - 10;
    const int32_t bodyRows = height - kHintPointerHeight;
    for (int32_t r = 0; r < bodyRows; ++r) {
        int32_t left = 0, right = width;
        if (r < 3) {
            if (roundTopLeft) left = kCorner[r];
            if (roundTopRight) right = width - kCorner[r];
        }
        if (bodyRows - 1 - r < 3) {
            left = std::max(left, kCorner[bodyRows - 1 - r]);
            right = std::min(right, width - kCorner[bodyRows - 1 - r]);
        }
        rows.push_back({kHintPointerHeight + r, left, right});
    }
    if (pointerBelow)
        for (HintSpan& row : rows) row.y = height - 1 - row.y;
    return rows;
}
