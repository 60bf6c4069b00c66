// The captures' document choice, range widening, text cleaning, zoom and
// accessible text window.
#include "japanese/capture_rules.h"

#include <algorithm>
#include <limits>

namespace ostrel::japanese {

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

std::optional<std::u16string_view> DocumentBaseName(std::u16string_view displayName) {
    if (displayName.empty() || displayName.back() == u'}') return std::nullopt;
    size_t slash = displayName.rfind(u'\\');
    std::u16string_view last = slash == std::u16string_view::npos ? displayName : displayName.substr(slash + 1);
    if (last.size() > static_cast<size_t>(kWordTextUnits)) return std::nullopt;
    std::u16string_view base = last.substr(0, last.find(u'.'));
    if (base.empty()) return std::nullopt;
    return base;
}

std::vector<size_t> DocumentCandidates(std::u16string_view caption, const std::vector<std::u16string>& displayNames) {
    std::vector<std::pair<size_t, size_t>> found;  // (index, base length)
    for (size_t i = 0; i < displayNames.size(); ++i) {
        auto base = DocumentBaseName(displayNames[i]);
        if (base && caption.find(*base) != std::u16string_view::npos) found.emplace_back(i, base->size());
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<size_t> order;
    for (const auto& entry : found) order.push_back(entry.first);
    return order;
}

WidenedRange WidenRange(int32_t start, int32_t end) {
    WidenedRange range;
    range.start = std::max(0, start - std::min(start, kCaptureReach));
    range.end = end > std::numeric_limits<int32_t>::max() - kCaptureReach ? end : end + kCaptureReach;
    range.caret = start - range.start;
    return range;
}

int32_t CaretFromRangeStart(int32_t pointStart, int32_t actualStart) {
    return pointStart > actualStart ? pointStart - actualStart : 0;
}

std::u16string_view WordNoteText(bool elevated) {
    if (elevated)
        return u"Не удалось получить текст под курсором из Word. Возможно потому, что Ostrel Pro запущен в "
               u"режиме администратора. Попробуйте повторить попытку работы с Word, перезапустив Ostrel Pro в "
               u"обычном режиме.";
    return u"Не удалось получить текст под курсором из Word. Попробуйте повторить попытку работы с Word, "
           u"перезапустив Ostrel Pro в обычном режиме.";
}

size_t CleanTextBeforePoint(std::u16string_view text, std::u16string& out) {
    out.clear();
    size_t i = 0;
    for (size_t steps = 0; steps < kCleanInputUnits && i < text.size() && out.size() < kCleanOutputUnits; ++steps) {
        char16_t c = text[i];
        if (c == 0) break;
        if (c >= 0x21) {
            out.push_back(c);
        } else if (!out.empty()) {
            out.push_back(u' ');
        } else if (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) {
            ++i;  // a leading CR LF is one dropped step
        }
        ++i;
    }
    return out.size();
}

std::u16string CleanTextAfterPoint(std::u16string_view text, bool newLine) {
    size_t i = 0;
    if (text.size() >= 2 && text[0] == kCr && text[1] == kLf) {
        bool joinsJapanese = text.size() > 2 && text[2] >= 0x3000;
        if (!newLine || joinsJapanese) i = 2;
    }
    std::u16string out;
    for (; i < kCleanInputUnits && i < text.size() && out.size() < kCleanOutputUnits; ++i) {
        char16_t c = text[i];
        if (c == 0) break;
        out.push_back(c <= 0x20 ? u' ' : c);
    }
    return out;
}

bool StartsNewLine(int32_t leftBefore, int32_t leftAfter) {
    return leftBefore >= 0 && leftAfter >= 0 && leftAfter <= leftBefore;
}

int32_t UsableLogPixels(int32_t displayLogPixels, int32_t screenLogPixels) {
    if (displayLogPixels > 0) return displayLogPixels;
    if (screenLogPixels > 0) return screenLogPixels;
    return 96;
}

int32_t ZoomFromBrowser(int32_t opticalZoom, bool hasFrameWindow, int32_t logPixels) {
    if (opticalZoom <= 0) return 0;
    if (hasFrameWindow || logPixels <= 0) return opticalZoom;
    return std::max(0, ClampToInt32(int64_t{opticalZoom} * logPixels / 96));
}

int32_t ZoomFromFactor(uint32_t zoomFactor, int32_t logPixels) {
    if (logPixels <= 0) return 0;
    int64_t divisor = 96000 / logPixels;
    if (divisor <= 0) return 0;
    return std::max(0, ClampToInt32(int64_t{zoomFactor} / divisor));
}

int32_t ScaleForZoom(int32_t coordinate, int32_t zoom) {
    if (zoom <= 0) return coordinate;
    return ClampToInt32(int64_t{coordinate} * 100 / zoom);
}

RelativePoint BrowserDocumentPoint(int32_t x, int32_t y, int32_t left, int32_t top, int32_t frameWidth,
                                   int32_t frameHeight) {
    // The frame's own border and caption bar that the two sizes leave out.
    constexpr int64_t kBorderX = 8;
    constexpr int64_t kCaptionY = 45;
    return {ClampToInt32(int64_t{x} - frameWidth - left + kBorderX),
            ClampToInt32(int64_t{y} - frameHeight - top + kCaptionY)};
}

std::optional<AccessibleWindow> AccessibleWindowAround(int32_t offset, int32_t characterCount) {
    if (characterCount <= 0 || offset < 0) return std::nullopt;
    offset = std::min(offset, characterCount - 1);
    AccessibleWindow window;
    window.start = std::max(0, offset - kCaptureReach);
    window.end = offset > characterCount - kCaptureReach ? characterCount : offset + kCaptureReach;
    window.caret = offset - window.start;
    return window;
}

}  // namespace ostrel::japanese
