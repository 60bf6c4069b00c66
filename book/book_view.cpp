#include "book/book_view.h"

#include <algorithm>

void CParaView::SetSize(int32_t width, int32_t height) {
    width = std::max(1, width);
    if (width != width_) {
        // The lines are broken anew for the width. The top keeps its place
        // by the character its first visible line starts with, not by
        // pixels: the line that now holds that character comes to the same
        // height. The character is kept while only the width changes, so a
        // column sized wider and back (a reader placed after its place was
        // restored) shows the very same line.
        TopAnchor anchor = anchor_;
        if (anchor.paragraph != topParagraph_) {
            anchor = {topParagraph_, 0, topY_};
            if (topY_ < 0) TopLine(anchor.offset, anchor.y);
        }
        InvalidateLayout();
        width_ = width;
        if (anchor.offset > 0 || anchor.y != topY_) {
            SetTopAtOffset(anchor.paragraph, anchor.offset);
            topY_ += anchor.y;
            KeepTopInBook();
        }
        anchor_ = anchor;
    }
    height_ = std::max(1, height);
}

void CParaView::InvalidateLayout() {
    BookColumn& column = model_.Column(column_);
    for (auto& p : column.paragraphs)
        if (p) p->Invalidate();
}

XParagraph& CParaView::Lay(int32_t k) {
    // A place that names no paragraph (a book without any) lays out as an
    // empty one instead of reading past the column.
    if (k < 0 || k >= model_.Column(column_).Count()) {
        none_ = {};
        return none_;
    }
    model_.EnsureLoaded(column_, k);
    XParagraph& p = model_.Column(column_).At(k);
    TextPosition from, to;
    SelectionRange(from, to);
    int32_t selStart = 0, selEnd = 0;
    if (HasSelection() && k >= from.paragraph && k <= to.paragraph) {
        selStart = k == from.paragraph ? from.offset : 0;
        selEnd = k == to.paragraph ? to.offset : static_cast<int32_t>(p.text.size());
    }
    RefreshAttributes(p, selStart, selEnd, currentPhrase);
    LayOut(p, width_, measurer_);
    return p;
}

void CParaView::RefreshMarks() {
    int32_t y = topY_;
    for (int32_t k = topParagraph_; Walks(k) && y < height_; k = Next(k)) {
        y += Lay(k).height;
        const int32_t next = Next(k);
        if (next >= 0) y += GapBefore(next);
    }
}

bool CParaView::Walks(int32_t k) const {
    const BookColumn& column = model_.Column(column_);
    if (k < 0 || k >= column.Count()) return false;
    return !toc_ || (model_.ParagraphTypeValue(k) & 0xFF) == kPhraseHeading;
}

int32_t CParaView::First() const {
    const int32_t n = model_.Column(column_).Count();
    for (int32_t k = 0; k < n; ++k)
        if (Walks(k)) return k;
    return -1;
}

int32_t CParaView::Last() const {
    for (int32_t k = model_.Column(column_).Count() - 1; k >= 0; --k)
        if (Walks(k)) return k;
    return -1;
}

int32_t CParaView::Next(int32_t k) const {
    const int32_t n = model_.Column(column_).Count();
    for (++k; k >= 0 && k < n; ++k)
        if (Walks(k)) return k;
    return -1;
}

int32_t CParaView::Prev(int32_t k) const {
    for (--k; k >= 0; --k)
        if (Walks(k)) return k;
    return -1;
}

int32_t CParaView::GapBefore(int32_t k) {
    if (k < 0 || k == First()) return 0;
    model_.EnsureLoaded(column_, k);
    return (model_.Column(column_).At(k).flags & paragraph_flag::kNewParagraph) ? book_layout::kParagraphGap : 0;
}

void CParaView::SetTop(int32_t paragraph, int32_t y) {
    anchor_ = {};
    if (!Walks(paragraph)) paragraph = First();
    topParagraph_ = paragraph < 0 ? 0 : paragraph;
    topY_ = y;
    KeepTopInBook();
}

void CParaView::KeepTopInBook() {
    if (First() < 0) {
        topParagraph_ = 0;
        topY_ = 0;
        return;
    }
    // Move the top to the paragraph that holds the window's top edge.
    for (int guard = 0; guard < 100000; ++guard) {
        const int32_t height = Lay(topParagraph_).height;
        const int32_t next = Next(topParagraph_);
        if (next >= 0 && topY_ + height + GapBefore(next) <= 0) {
            topY_ += height + GapBefore(next);
            topParagraph_ = next;
            continue;
        }
        const int32_t prev = Prev(topParagraph_);
        if (prev >= 0 && topY_ > 0) {
            topY_ -= Lay(prev).height + GapBefore(topParagraph_);
            topParagraph_ = prev;
            continue;
        }
        break;
    }
    if (topParagraph_ == First() && topY_ > 0) topY_ = 0;
    // The last line never leaves the window's top.
    if (Next(topParagraph_) < 0) {
        const XParagraph& p = Lay(topParagraph_);
        const int32_t lastLineTop = p.lines.empty() ? 0 : LineTop(p, static_cast<int32_t>(p.lines.size()) - 1);
        if (topY_ + lastLineTop < 0) topY_ = -lastLineTop;
    }
}

int32_t CParaView::LineTop(const XParagraph& p, int32_t line) const {
    int32_t y = 0;
    for (int32_t i = 0; i < line && i < static_cast<int32_t>(p.lines.size()); ++i)
        y += p.lines[static_cast<size_t>(i)].height + measurer_.LineSpacing();
    return y;
}

void CParaView::TopLine(int32_t& offset, int32_t& y) {
    offset = 0;
    y = topY_;
    if (First() < 0) return;
    const XParagraph& p = Lay(topParagraph_);
    for (const XLine& line : p.lines) {
        if (y + line.height > 0) {
            offset = line.start;
            return;
        }
        y += line.height + measurer_.LineSpacing();
    }
    offset = 0;
    y = topY_;
}

int32_t CParaView::TopOffset() {
    int32_t offset = 0, y = 0;
    TopLine(offset, y);
    return offset;
}

void CParaView::PhraseLines(int32_t paragraph, int32_t phrase, int32_t& top, int32_t& bottom) {
    const XParagraph& p = Lay(paragraph);
    const int32_t start = std::max(0, p.SegmentStart(phrase));
    int32_t end = static_cast<int32_t>(p.text.size());
    for (const PhraseSegment& s : p.segments)
        if (s.phrase == phrase) end = s.end;
    top = bottom = 0;
    int32_t y = 0;
    for (const XLine& line : p.lines) {
        if (start >= line.start) top = y;
        y += line.height + measurer_.LineSpacing();
        if (end > line.start) bottom = y;
    }
}

void CParaView::SetTopAtOffset(int32_t paragraph, int32_t offset) {
    if (!Walks(paragraph)) {
        SetTop(First(), 0);
        return;
    }
    const XParagraph& p = Lay(paragraph);
    int32_t y = 0;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        if (offset < p.lines[i].end || i + 1 == p.lines.size()) break;
        y += p.lines[i].height + measurer_.LineSpacing();
    }
    SetTop(paragraph, -y);
    // A column laid out anew for another width (the reader sized after its
    // place was restored) puts the line with this very character on top.
    if (topParagraph_ == paragraph) anchor_ = {paragraph, offset, 0};
}

bool CParaView::ParagraphY(int32_t paragraph, int32_t& y, int32_t reach) {
    if (!Walks(paragraph)) return false;
    if (paragraph == topParagraph_) {
        y = topY_;
        return true;
    }
    if (paragraph > topParagraph_) {
        int32_t at = topY_;
        for (int32_t k = topParagraph_; k >= 0 && at <= height_ + reach;) {
            at += Lay(k).height;
            k = Next(k);
            if (k < 0) return false;
            at += GapBefore(k);
            if (k == paragraph) {
                y = at;
                return true;
            }
        }
        return false;
    }
    int32_t at = topY_;
    for (int32_t k = topParagraph_; k >= 0 && at >= -reach;) {
        const int32_t prev = Prev(k);
        if (prev < 0) return false;
        at -= Lay(prev).height + GapBefore(k);
        k = prev;
        if (k == paragraph) {
            y = at;
            return true;
        }
    }
    return false;
}

void CParaView::ScrollPixels(int32_t dy) {
    anchor_ = {};
    topY_ -= dy;
    KeepTopInBook();
}

void CParaView::ScrollLines(int32_t lines) {
    anchor_ = {};
    if (First() < 0) return;
    for (; lines > 0; --lines) {
        // The line below the one at the top edge comes to the top.
        const XParagraph& p = Lay(topParagraph_);
        int32_t y = topY_;
        bool moved = false;
        for (const XLine& line : p.lines) {
            const int32_t bottom = y + line.height + measurer_.LineSpacing();
            if (bottom > 0) {
                topY_ -= bottom;
                moved = true;
                break;
            }
            y = bottom;
        }
        // Past a paragraph's last line the next paragraph's first line comes
        // to the top, over the gap between them, so the top stays on a line
        // (the place the settings keep) and PageDown goes back with PageUp.
        const int32_t next = Next(topParagraph_);
        if (next >= 0 && topY_ + p.height <= 0) {
            topParagraph_ = next;
            topY_ = 0;
        } else if (!moved) {
            topY_ -= measurer_.LineHeight();
        }
        KeepTopInBook();
    }
    for (; lines < 0; ++lines) {
        const XParagraph& p = Lay(topParagraph_);
        int32_t y = topY_;
        int32_t previousTop = 0;
        bool found = false;
        for (const XLine& line : p.lines) {
            if (y >= 0) break;
            previousTop = y;
            found = true;
            y += line.height + measurer_.LineSpacing();
        }
        if (found) {
            topY_ -= previousTop;
        } else {
            const int32_t prev = Prev(topParagraph_);
            if (prev < 0) {
                topY_ = 0;
                break;
            }
            const XParagraph& q = Lay(prev);
            const int32_t lastHeight = q.lines.empty() ? 0 : q.lines.back().height + measurer_.LineSpacing();
            topY_ = -(q.height - lastHeight);
            topParagraph_ = prev;
        }
        KeepTopInBook();
    }
}

void CParaView::ScrollPage(int32_t direction) {
    const int32_t line = std::max(1, measurer_.LineHeight() + measurer_.LineSpacing());
    const int32_t lines = std::max(1, height_ / line);
    ScrollLines(direction > 0 ? lines : -lines);
}

BookHit CParaView::HitTest(int32_t x, int32_t y) {
    BookHit hit;
    if (First() < 0 || y < 0 || y >= height_) return hit;
    int32_t at = topY_;
    for (int32_t k = topParagraph_; k >= 0 && at < height_;) {
        const XParagraph& p = Lay(k);
        int32_t lineTop = at;
        for (size_t i = 0; i < p.lines.size(); ++i) {
            const XLine& line = p.lines[i];
            const int32_t bottom = lineTop + line.height + measurer_.LineSpacing();
            if (y >= lineTop && y < bottom) {
                hit.paragraph = k;
                hit.line = static_cast<int32_t>(i);
                const int32_t left = book_layout::kLeftMargin + line.indent;
                int32_t dx = x - left;
                const bool rtl = line.end > line.start &&
                                 (p.attributes[static_cast<size_t>(line.start)] & book_attr::kRightToLeft);
                if (rtl) dx = line.width - dx;
                const int32_t base = line.start > 0 ? p.extents[static_cast<size_t>(line.start - 1)] : 0;
                hit.offset = line.end;
                // The last line ends at the text's end; the others before their break.
                for (int32_t c = line.start; c < line.end; ++c) {
                    const int32_t right = p.extents[static_cast<size_t>(c)] - base;
                    if (dx < right) {
                        hit.offset = c;
                        hit.onCharacter = dx >= 0;
                        break;
                    }
                }
                if (dx < 0) hit.offset = line.start;
                return hit;
            }
            lineTop = bottom;
        }
        at += p.height;
        k = Next(k);
        if (k >= 0) at += GapBefore(k);
    }
    return hit;
}

bool CParaView::CaretPoint(const TextPosition& position, int32_t& x, int32_t& y, int32_t& height) {
    int32_t py = 0;
    if (!ParagraphY(position.paragraph, py, height_)) return false;
    const XParagraph& p = Lay(position.paragraph);
    int32_t lineTop = py;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        const XLine& line = p.lines[i];
        if (position.offset < line.end || i + 1 == p.lines.size()) {
            const int32_t base = line.start > 0 ? p.extents[static_cast<size_t>(line.start - 1)] : 0;
            const int32_t end = std::clamp(position.offset, line.start, line.end);
            x = book_layout::kLeftMargin + line.indent + (end > 0 ? p.extents[static_cast<size_t>(end - 1)] - base : 0);
            if (end == line.start) x = book_layout::kLeftMargin + line.indent;
            y = lineTop;
            height = line.height;
            return y + height > 0 && y < height_;
        }
        lineTop += line.height + measurer_.LineSpacing();
    }
    return false;
}

void CParaView::SelectionRange(TextPosition& from, TextPosition& to) const {
    const bool anchorFirst = anchor.paragraph < caret.paragraph ||
                             (anchor.paragraph == caret.paragraph && anchor.offset <= caret.offset);
    from = anchorFirst ? anchor : caret;
    to = anchorFirst ? caret : anchor;
}

std::u16string CParaView::SelectedText() const {
    std::u16string text;
    if (!HasSelection()) return text;
    TextPosition from, to;
    SelectionRange(from, to);
    const BookColumn& column = model_.Column(column_);
    for (int32_t k = from.paragraph; Walks(k) && k <= to.paragraph; k = Next(k)) {
        const XParagraph& p = column.At(k);
        const int32_t n = static_cast<int32_t>(p.text.size());
        const int32_t start = k == from.paragraph ? std::min(from.offset, n) : 0;
        const int32_t end = k == to.paragraph ? std::min(to.offset, n) : n;
        if (k != from.paragraph) text += u"\r\n";
        if (end > start) text.append(p.text, static_cast<size_t>(start), static_cast<size_t>(end - start));
    }
    return text;
}

bool CParaView::MoveCaretLine(int32_t direction) {
    int32_t x = 0, y = 0, h = 0;
    if (caret.paragraph < 0) return false;
    if (!CaretPoint(caret, x, y, h)) {
        SetTopAtOffset(caret.paragraph, caret.offset);
        if (!CaretPoint(caret, x, y, h)) return false;
    }
    const XParagraph& p = Lay(caret.paragraph);
    // The line of the caret and its neighbour.
    int32_t line = 0;
    for (size_t i = 0; i < p.lines.size(); ++i)
        if (caret.offset >= p.lines[i].start) line = static_cast<int32_t>(i);
    int32_t paragraph = caret.paragraph;
    int32_t target = line + direction;
    if (target < 0) {
        paragraph = Prev(paragraph);
        if (paragraph < 0) return false;
        target = static_cast<int32_t>(Lay(paragraph).lines.size()) - 1;
    } else if (target >= static_cast<int32_t>(p.lines.size())) {
        paragraph = Next(paragraph);
        if (paragraph < 0) return false;
        target = 0;
    }
    const XParagraph& q = Lay(paragraph);
    if (q.lines.empty()) return false;
    const XLine& l = q.lines[static_cast<size_t>(target)];
    const int32_t base = l.start > 0 ? q.extents[static_cast<size_t>(l.start - 1)] : 0;
    int32_t offset = l.end;
    for (int32_t c = l.start; c < l.end; ++c)
        if (x - book_layout::kLeftMargin - l.indent < q.extents[static_cast<size_t>(c)] - base) {
            offset = c;
            break;
        }
    caret = {paragraph, offset};
    return true;
}

bool CParaView::MoveCaretCharacter(int32_t direction) {
    if (caret.paragraph < 0) return false;
    const int32_t n = static_cast<int32_t>(Lay(caret.paragraph).text.size());
    if (direction < 0) {
        if (caret.offset > 0) {
            --caret.offset;
            return true;
        }
        const int32_t prev = Prev(caret.paragraph);
        if (prev < 0) return false;
        caret = {prev, static_cast<int32_t>(Lay(prev).text.size())};
        return true;
    }
    if (caret.offset < n) {
        ++caret.offset;
        return true;
    }
    const int32_t next = Next(caret.paragraph);
    if (next < 0) return false;
    caret = {next, 0};
    return true;
}
