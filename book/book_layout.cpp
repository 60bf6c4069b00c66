#include "book/book_layout.h"

#include <algorithm>

#include "common/segmentation/text_segmentation.h"

namespace {

bool IsBlank(char16_t c) { return c <= 0x20 || c == 0x3000; }

bool IsLinkDelimiter(char16_t c) {
    if (c < 0x21) return true;
    static constexpr std::u16string_view kDelimiters =
        u"!\"'();<>[\\]{}\u3000！、。，．・：；（）〔〕［］｛｝〈〉《》「」『』【】";
    return kDelimiters.find(c) != std::u16string_view::npos;
}

bool StartsWith(std::u16string_view text, size_t at, std::u16string_view prefix) {
    return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

// The font part of an attribute: runs of one font measure together.
uint32_t FontKey(uint32_t attribute) { return attribute & (book_attr::kFontMask | 0x6); }

}  // namespace

uint32_t FontSlotOf(char16_t c) {
    if (c >= 0x0590 && c <= 0x05FF) return 15;
    if (c >= 0x0600 && c <= 0x07FF) return 14;
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x313F) || (c >= 0xAC00 && c <= 0xD7A3)) return 7;
    if (c >= 0xD800 && c <= 0xDFFF) return 3;
    if (c < 0x2000) return 8;
    return 9;
}

bool IsRightToLeftUnit(char16_t c) { return c >= 0x0590 && c <= 0x07FF; }

void MarkLinks(std::u16string_view text, uint32_t* attributes) {
    for (size_t i = 0; i < text.size();) {
        const bool starts =
            StartsWith(text, i, u"http://") || StartsWith(text, i, u"https://") || StartsWith(text, i, u"www.");
        if (!starts) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsLinkDelimiter(text[end])) ++end;
        // A full stop closing a sentence is not part of the address.
        while (end > i && text[end - 1] == u'.') --end;
        for (size_t k = i; k < end; ++k) attributes[k] |= book_attr::kLink;
        i = end > i ? end : i + 1;
    }
}

void RefreshAttributes(XParagraph& paragraph, int32_t selectionStart, int32_t selectionEnd, int32_t currentPhrase) {
    const int32_t n = static_cast<int32_t>(paragraph.text.size());
    paragraph.attributes.resize(paragraph.text.size(), 0);
    int32_t currentStart = 0, currentEnd = 0;
    for (const PhraseSegment& s : paragraph.segments)
        if (s.phrase == currentPhrase) {
            currentStart = s.start;
            currentEnd = s.end;
        }
    constexpr uint32_t kColumnBits = book_attr::kLink | book_attr::kSelected | book_attr::kCurrentPhrase |
                                     book_attr::kFontMask | book_attr::kRightToLeft;
    for (int32_t i = 0; i < n; ++i) {
        uint32_t& a = paragraph.attributes[static_cast<size_t>(i)];
        a &= ~kColumnBits;
        if (i >= selectionStart && i < selectionEnd) a |= book_attr::kSelected;
        if (i >= currentStart && i < currentEnd) a |= book_attr::kCurrentPhrase;
        a |= FontSlotOf(paragraph.text[static_cast<size_t>(i)]) << book_attr::kFontShift;
    }
    MarkLinks(paragraph.text, paragraph.attributes.data());
    for (int32_t lineStart = 0; lineStart < n;) {
        int32_t lineEnd = lineStart;
        bool rtl = false;
        while (lineEnd < n && paragraph.text[static_cast<size_t>(lineEnd)] != u'\n') {
            rtl = rtl || IsRightToLeftUnit(paragraph.text[static_cast<size_t>(lineEnd)]);
            ++lineEnd;
        }
        if (rtl)
            for (int32_t i = lineStart; i < lineEnd; ++i) paragraph.attributes[static_cast<size_t>(i)] |= book_attr::kRightToLeft;
        lineStart = lineEnd + 1;
    }
}

std::u16string LinkRunAt(const XParagraph& paragraph, int32_t offset) {
    const int32_t n = static_cast<int32_t>(paragraph.text.size());
    if (offset < 0 || offset >= n || (paragraph.attributes[static_cast<size_t>(offset)] & book_attr::kLink) == 0) return {};
    int32_t start = offset, end = offset;
    while (start > 0 && (paragraph.attributes[static_cast<size_t>(start - 1)] & book_attr::kLink)) --start;
    while (end < n && (paragraph.attributes[static_cast<size_t>(end)] & book_attr::kLink)) ++end;
    return paragraph.text.substr(static_cast<size_t>(start),
                                 static_cast<size_t>(std::min(end - start, book_layout::kMaxLinkUnits)));
}

std::u16string OpenableLink(std::u16string_view run) {
    if (StartsWith(run, 0, u"http://") || StartsWith(run, 0, u"https://")) return std::u16string(run);
    if (StartsWith(run, 0, u"www.")) return u"http://" + std::u16string(run);
    return {};
}

void MeasureParagraph(XParagraph& paragraph, TextMeasurer& measurer) {
    const int32_t n = static_cast<int32_t>(paragraph.text.size());
    paragraph.extents.assign(paragraph.text.size(), 0);
    int32_t base = 0;
    for (int32_t start = 0; start < n;) {
        const uint32_t key = FontKey(paragraph.attributes[static_cast<size_t>(start)]);
        int32_t end = start + 1;
        while (end < n && FontKey(paragraph.attributes[static_cast<size_t>(end)]) == key) ++end;
        measurer.Measure(paragraph.text.data() + start, end - start, paragraph.attributes[static_cast<size_t>(start)],
                         paragraph.extents.data() + start);
        for (int32_t i = start; i < end; ++i) paragraph.extents[static_cast<size_t>(i)] += base;
        base = paragraph.extents[static_cast<size_t>(end - 1)];
        start = end;
    }
    paragraph.flags |= paragraph_flag::kMeasured;
    paragraph.flags &= ~paragraph_flag::kBroken;
}

int32_t LastBreakBefore(std::u16string_view text, int32_t start, int32_t end) {
    // The finder classifies 256 units: give it the line's last ones.
    const int32_t from = std::max(start, end - 255);
    const int32_t r = FindLastLineBreak(text.data() + from, end - from + 1);
    if (r < 0) return -1;
    const int32_t at = from + r + 1;
    return at > start && at <= end ? at : -1;
}

void BreakLines(XParagraph& paragraph, int32_t clientWidth, TextMeasurer& measurer) {
    paragraph.lines.clear();
    paragraph.height = 0;
    const int32_t n = static_cast<int32_t>(paragraph.text.size());
    const int32_t lineHeight = measurer.LineHeight();
    const int32_t average = measurer.AverageCharWidth();
    auto edge = [&](int32_t i) { return i < 0 ? 0 : paragraph.extents[static_cast<size_t>(i)]; };
    for (int32_t s = 0; s < n || (s == 0 && n == 0);) {
        const bool first = paragraph.lines.empty();
        const int32_t indent = std::max(0, average * (first ? paragraph.firstIndent : paragraph.indent));
        const int32_t available =
            std::max(0, clientWidth - book_layout::kLeftMargin - book_layout::kRightMargin - indent);
        int32_t brk = n;
        for (int32_t i = s; i < n; ++i) {
            if (IsBlank(paragraph.text[static_cast<size_t>(i)])) continue;
            if (edge(i) - edge(s - 1) >= available) {
                brk = i;
                break;
            }
        }
        if (brk < n) {
            if (brk <= s) brk = s + 1;
            if (!IsBlank(paragraph.text[static_cast<size_t>(brk - 1)])) {
                const int32_t opportunity = LastBreakBefore(paragraph.text, s, brk);
                if (opportunity > s) brk = opportunity;
            }
        }
        XLine line;
        line.start = s;
        line.end = brk;
        line.indent = indent;
        line.width = edge(brk - 1) - edge(s - 1);
        line.height = lineHeight;
        paragraph.lines.push_back(line);
        paragraph.height += lineHeight + measurer.LineSpacing();
        if (n == 0) break;
        s = brk;
    }
    paragraph.flags |= paragraph_flag::kBroken;
}

void LayOut(XParagraph& paragraph, int32_t clientWidth, TextMeasurer& measurer) {
    if (!(paragraph.flags & paragraph_flag::kMeasured)) MeasureParagraph(paragraph, measurer);
    if (!(paragraph.flags & paragraph_flag::kBroken)) BreakLines(paragraph, clientWidth, measurer);
}

bool IsSentenceStop(char16_t c) {
    static constexpr std::u16string_view kStops = u".!?:;\u3002\uFF0E\uFF1A\uFF1B\uFF1F\uFF01";
    return kStops.find(c) != std::u16string_view::npos;
}

void SentenceAround(std::u16string_view text, int32_t offset, int32_t& start, int32_t& end) {
    const int32_t n = static_cast<int32_t>(text.size());
    offset = std::clamp(offset, 0, n);
    start = offset;
    while (start > 0 && !IsSentenceStop(text[static_cast<size_t>(start - 1)])) --start;
    while (start < offset && (text[static_cast<size_t>(start)] == u' ' || text[static_cast<size_t>(start)] == 0x3000))
        ++start;
    end = offset;
    while (end < n && !IsSentenceStop(text[static_cast<size_t>(end)])) ++end;
    if (end < n) ++end;
}
