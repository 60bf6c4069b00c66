// A column's view of the book without a window: its top, caret and
// selection, the walk over the laid-out paragraphs, hit testing and
// scrolling. The window procedure paints and routes input through it.
#pragma once

#include <cstdint>
#include <string>

#include "book/book_layout.h"
#include "book/book_model.h"

struct TextPosition {
    int32_t paragraph = -1;
    int32_t offset = 0;
    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// Where a point falls in a column.
struct BookHit {
    int32_t paragraph = -1;
    int32_t line = -1;         // index in the paragraph's lines
    int32_t offset = 0;        // caret offset: the character under the point or the line's end
    bool onCharacter = false;  // the point lies on a character of the line
};

class CParaView {
public:
    CParaView(BookModel& model, int32_t column, TextMeasurer& measurer)
        : model_(model), column_(column), measurer_(measurer) {}

    int32_t Column() const { return column_; }
    void SetSize(int32_t width, int32_t height);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The paragraph loaded, its column bits refreshed and laid out for the
    // width; an empty paragraph of no lines outside the column.
    XParagraph& Lay(int32_t paragraph);
    // Drops every layout (a font or width change).
    void InvalidateLayout();
    // Refreshes selection and current-phrase bits of the laid-out paragraphs.
    void RefreshMarks();

    // The paragraph walk: every paragraph, or only headings in
    // table-of-contents mode. -1 past either end.
    int32_t First() const;
    int32_t Last() const;
    int32_t Next(int32_t paragraph) const;
    int32_t Prev(int32_t paragraph) const;
    bool Walks(int32_t paragraph) const;
    void SetTableOfContents(bool on) { toc_ = on; }
    bool TableOfContents() const { return toc_; }

    // The gap above a paragraph when it follows another.
    int32_t GapBefore(int32_t paragraph);

    // Top: the paragraph at the top and the y of its first line against the
    // window's top (0 or less, unless the book is shorter than the window).
    int32_t TopParagraph() const { return topParagraph_; }
    int32_t TopY() const { return topY_; }
    void SetTop(int32_t paragraph, int32_t y);
    // The top as the settings keep it: offset of the first visible line.
    int32_t TopOffset();
    void SetTopAtOffset(int32_t paragraph, int32_t offset);
    // The y of phrase `phrase`'s first line and of the end of its last line
    // against the top of its paragraph `paragraph` in this column.
    void PhraseLines(int32_t paragraph, int32_t phrase, int32_t& top, int32_t& bottom);
    // The y of a paragraph's first line if it lies within `reach` pixels of
    // the window; false otherwise.
    bool ParagraphY(int32_t paragraph, int32_t& y, int32_t reach);
    // Scrolls by pixels (positive moves the text up) and keeps the top in the book.
    void ScrollPixels(int32_t dy);
    // Scrolls by whole display lines; the top then starts at a line boundary.
    void ScrollLines(int32_t lines);
    void ScrollPage(int32_t direction);

    BookHit HitTest(int32_t x, int32_t y);
    // Screen position of a caret offset: x and the line's top and height; false when not visible.
    bool CaretPoint(const TextPosition& at, int32_t& x, int32_t& y, int32_t& height);

    // Caret and selection.
    TextPosition caret;
    TextPosition anchor;  // selection from anchor to caret; none when equal
    bool HasSelection() const { return !(anchor == caret) && anchor.paragraph >= 0 && caret.paragraph >= 0; }
    // Selection bounds in order.
    void SelectionRange(TextPosition& from, TextPosition& to) const;
    void CollapseSelection() { anchor = caret; }
    // The selected text, paragraphs joined by CR LF (headings only in
    // table-of-contents mode).
    std::u16string SelectedText() const;
    // Moves the caret one display line up or down keeping its x.
    bool MoveCaretLine(int32_t direction);
    // Moves the caret one character, crossing paragraph edges.
    bool MoveCaretCharacter(int32_t direction);

    int32_t currentPhrase = -1;

private:
    int32_t LineTop(const XParagraph& p, int32_t line) const;
    // The first line that shows in the window: its start offset and its y
    // against the window's top (0 and the top's y when nothing is laid out).
    void TopLine(int32_t& offset, int32_t& y);
    void KeepTopInBook();

    BookModel& model_;
    int32_t column_;
    TextMeasurer& measurer_;
    int32_t width_ = 100, height_ = 100;
    int32_t topParagraph_ = 0;
    int32_t topY_ = 0;
    // The top as a character: its paragraph (-1 for none), the offset of a
    // character on its first visible line and that line's y; set by a place
    // given as an offset and by a change of width, dropped when the top moves.
    struct TopAnchor {
        int32_t paragraph = -1, offset = 0, y = 0;
    } anchor_;
    bool toc_ = false;
    XParagraph none_;  // what Lay gives for a paragraph the column does not have
};
