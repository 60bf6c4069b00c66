// The main window's layout rules, size-bar limits and status-name shortening.
#include "ui/frame_layout.h"

#include <algorithm>

namespace {

constexpr int32_t kMinListBelowTabs = 84;  // tab strip y to the lowest split
constexpr int32_t kSplitAboveStatus = 40;
// The input box ends 53 and toolbar 3's indent 51 short of the width, room
// for two buttons of 24; wider buttons (24-pixel pictures with padding are
// 26 to 32 wide) push both further left, or the input box covers them.
constexpr int32_t kInputRightMargin = 53;
constexpr int32_t kIndentRightMargin = 51;
constexpr int32_t kIndentBeyondButtons = 2;
constexpr int32_t kDragAboveToolbar = 30;
constexpr int32_t kDragAboveBottom = 11;
constexpr char16_t kEllipsis[] = u"...";

int32_t NonNegative(int32_t value) { return std::max(value, 0); }

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Length of the drive prefix ("C:\" or "C:/") at the start of `text`, 0 when
// it has none.
size_t DrivePrefixLength(std::u16string_view text) {
    size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos || colon + 1 >= text.size()) return 0;
    char16_t next = text[colon + 1];
    return next == u'\\' || next == u'/' ? colon + 2 : 0;
}

}  // namespace

FrameLayout ComputeFrameLayout(const LayoutInput& in) {
    FrameLayout out;
    int32_t width = NonNegative(in.clientWidth);
    int32_t inputHeight = std::max(2 * in.inputFontSize + 8, 24);
    out.toolbars[0] = {0, 0, width, kToolbar1Height};
    out.toolbars[1] = {0, kToolbar1Height, width, kToolbar2Height};
    out.toolbars[2] = {0, kToolbar1Height + kToolbar2Height, width, inputHeight + 3};
    int32_t indentMargin = std::max(kIndentRightMargin, in.inputButtonsWidth + kIndentBeyondButtons);
    out.input = {1, 1, NonNegative(width - indentMargin - (kInputRightMargin - kIndentRightMargin)), inputHeight};
    out.toolbar3Indent = NonNegative(width - indentMargin);

    int32_t tabY = out.toolbars[2].y + out.toolbars[2].height;
    out.tabs = {0, tabY, width, kTabStripHeight};
    int32_t statusHeight = NonNegative(in.statusHeight);
    int32_t statusY = in.clientHeight - statusHeight;
    out.status = {0, statusY, width, statusHeight};

    int32_t split = std::min(statusY - kSplitAboveStatus, in.split);
    if (split < tabY + kMinListBelowTabs) split = tabY + kMinListBelowTabs;
    out.split = split;
    out.list = {0, tabY + kTabStripHeight, width, NonNegative(split - tabY - kTabStripHeight)};
    out.sizeBar = {0, split, width, kSizeBarHeight};
    int32_t articleY = split + kSizeBarHeight;
    out.article = {0, articleY, width, NonNegative(in.clientHeight - articleY - statusHeight)};
    return out;
}

int32_t ClampSizeBarPosition(int32_t y, int32_t clientHeight) {
    return std::max(std::min(y, clientHeight - kDragAboveBottom), kToolbar1Height + kDragAboveToolbar);
}

int32_t StatusNamePartEnd(int32_t clientWidth, int32_t measuredWidth) {
    if (measuredWidth < 0) return 0;
    return NonNegative(clientWidth - measuredWidth - 8);
}

std::u16string ShortenStatusText(std::u16string_view text, int32_t width,
                                 const std::function<int32_t(std::u16string_view)>& measure) {
    if (measure(text) <= width) return std::u16string(text);
    int32_t ellipsis = measure(kEllipsis);
    size_t prefix = DrivePrefixLength(text);
    if (prefix > 0) {
        std::u16string head(text.substr(0, prefix));
        head += kEllipsis;
        int32_t room = width - measure(head);
        size_t start = text.size();
        while (start > prefix) {
            size_t next = start - 1;
            if (next > prefix && IsLowSurrogate(text[next]) && IsHighSurrogate(text[next - 1])) --next;
            if (measure(text.substr(next)) > room) break;
            start = next;
        }
        return head + std::u16string(text.substr(start));
    }
    int32_t room = width - ellipsis;
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + 1;
        if (next < text.size() && IsHighSurrogate(text[end]) && IsLowSurrogate(text[next])) ++next;
        if (measure(text.substr(0, next)) > room) break;
        end = next;
    }
    return std::u16string(text.substr(0, end)) + kEllipsis;
}
