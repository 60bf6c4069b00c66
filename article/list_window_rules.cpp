// The list window's pure rules: script slots, runs, colours, fonts, the
// dictionary sign, the expander, scroll and wheel arithmetic, drag threshold.
#include "article/list_window_rules.h"

#include <algorithm>
#include <cstdlib>

#include "article/display_attributes.h"

namespace {

bool Between(char16_t c, char16_t first, char16_t last) { return c >= first && c <= last; }

bool IsRightToLeftScript(char16_t c) { return Between(c, 0x0590, 0x07FF); }

int32_t SlotOf(uint32_t attribute) { return static_cast<int32_t>((attribute & kAttrSlotMask) >> kAttrSlotShift); }

}  // namespace

int32_t FontSlotOfCharacter(char16_t c) {
    if (Between(c, 0x0590, 0x05FF)) return 15;
    if (Between(c, 0x0600, 0x07FF)) return 14;
    if (Between(c, 0x1100, 0x11FF) || Between(c, 0x3130, 0x318F) || Between(c, 0xAC00, 0xD7A3)) return 7;
    if (Between(c, 0xD800, 0xDFFF)) return 3;
    return c < 0x2000 ? 8 : 9;
}

void MarkScriptSlots(std::u16string_view text, std::span<uint32_t> attributes) {
    size_t count = std::min({text.size(), attributes.size(), static_cast<size_t>(kMaxMarkedUnits)});
    size_t lineStart = 0;
    bool rightToLeft = false;
    for (size_t i = 0; i <= count; ++i) {
        bool end = i == count || text[i] == u'\n';
        if (end) {
            if (rightToLeft)
                for (size_t j = lineStart; j < i; ++j) attributes[j] |= kAttrRightToLeft;
            lineStart = i + 1;
            rightToLeft = false;
            if (i == count) break;
            continue;
        }
        attributes[i] = (attributes[i] & ~(kAttrSlotMask | kAttrRightToLeft)) |
                        (static_cast<uint32_t>(FontSlotOfCharacter(text[i])) << kAttrSlotShift);
        rightToLeft = rightToLeft || IsRightToLeftScript(text[i]);
    }
}

bool NextTextRun(std::u16string_view text, std::span<const uint32_t> attributes, int32_t start, TextRun& run) {
    int32_t size = static_cast<int32_t>(std::min(text.size(), attributes.size()));
    if (start < 0 || start >= size) return false;
    run = TextRun{};
    run.start = start;
    uint32_t first = attributes[start];
    run.colourClass = first & kAttrColourMask;
    run.italic = (first & kAttrItalic) != 0;
    run.slot = SlotOf(first);
    run.rightToLeft = (first & kAttrRightToLeft) != 0;
    int32_t i = start;
    while (i < size && text[i] != u'\n') {
        uint32_t a = attributes[i];
        bool joins = (a & kAttrRightToLeft) != 0 ||
                     ((a & kAttrColourMask) == run.colourClass && ((a & kAttrItalic) != 0) == run.italic &&
                      SlotOf(a) == run.slot);
        if (i > start && !joins) break;
        ++i;
    }
    run.length = i - start;
    run.lineFeed = i < size && text[i] == u'\n';
    run.next = run.lineFeed ? i + 1 : i;
    return true;
}

uint32_t RunTextColour(uint32_t colourClass, bool selectedRow, bool workingRow) {
    if (selectedRow) return workingRow ? kWorkingRowColour : kWhite;
    switch (colourClass) {
    case 0x20: return ListRgb(127, 0, 0);
    case 0x30: return ListRgb(0, 0, 127);
    case 0x50: return ListRgb(127, 127, 127);
    case 0x60: return ListRgb(191, 0, 0);
    case 0x80: return ListRgb(0, 95, 0);
    case 0x90: return ListRgb(31, 0, 31);
    default: return kBlack;
    }
}

int32_t FontIndexOfRun(int32_t slot, bool italic) {
    int32_t font = 0;
    if (slot >= 2 && slot <= 8) font = slot + 1;
    else if (slot >= 9 && slot <= 16) font = slot + 3;
    if (italic && font == 0) return 2;
    if (italic && font == 9) return 11;
    return font;
}

bool RowBackground(bool selected, bool approximate, bool workingRow, uint32_t& colour) {
    if (selected) {
        colour = approximate ? kApproximateRowColour : kSelectedRowColour;
        return true;
    }
    if (workingRow) {
        colour = kWorkingRowColour;
        return true;
    }
    return false;
}

uint32_t DictionarySignColour(bool working, int32_t openFromHere) {
    if (working) return ListRgb(197, 100, 100);
    switch (((openFromHere % 3) + 3) % 3) {
    case 1: return ListRgb(150, 197, 150);
    case 2: return ListRgb(150, 150, 197);
    default: return ListRgb(197, 150, 150);
    }
}

ExpanderState ExpanderBoxState(uint32_t rowFlags) {
    constexpr uint32_t kGroupStart = 0x8, kOpen = 0x100, kClosed = 0x200;
    if ((rowFlags & kGroupStart) == 0) return ExpanderState::Hidden;
    if ((rowFlags & kClosed) != 0) return ExpanderState::Plus;
    if ((rowFlags & kOpen) != 0) return ExpanderState::Minus;
    return ExpanderState::Hidden;
}

int32_t HorizontalScrollOffset(int32_t request, int32_t offset, int32_t trackPosition, int32_t clientWidth,
                               int32_t totalWidth) {
    switch (request) {
    case kScrollLineUp: offset -= 10; break;
    case kScrollLineDown: offset += 10; break;
    case kScrollPageUp: offset -= clientWidth; break;
    case kScrollPageDown: offset += clientWidth; break;
    case kScrollThumbPosition:
    case kScrollThumbTrack: offset = trackPosition; break;
    default: break;
    }
    return std::clamp(offset, 0, std::max(0, totalWidth - clientWidth));
}

int32_t VerticalPageStep(int32_t pageLines) { return std::max(pageLines - 1, 1); }

int32_t WheelAccumulator::Add(int32_t delta) {
    // A turn in the other direction drops what was left of the last one.
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) pending_ = 0;
    pending_ += delta;
    int32_t notches = pending_ / kNotch;
    pending_ -= notches * kNotch;
    return notches;
}

bool DragThresholdPassed(int32_t dx, int32_t dy) { return std::abs(dx) >= kDragThreshold || std::abs(dy) >= kDragThreshold; }

void ArticleNulsToLineBreaks(std::span<char16_t> text) {
    const int64_t limit = static_cast<int64_t>(text.size()) - 4;
    for (int64_t i = 0; i < limit; ++i) {
        if (text[static_cast<size_t>(i)] != 0) continue;
        text[static_cast<size_t>(i)] = u'\n';
        text[static_cast<size_t>(i + 1)] = u' ';  // i + 1 < size - 3
    }
}
