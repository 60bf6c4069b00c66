// Layout and navigation of the columns: line breaking at its edges, the
// column bits (font slots, links, right-to-left lines), hit testing over
// text and empty space, synchronised columns, the scroll-bar arithmetic in
// 64 bits and without division by zero, the table of contents, and the
// sentence stops.
#include <algorithm>
#include <memory>

#include "book/book_host.h"
#include "book/book_layout.h"
#include "book/text_book.h"
#include "book/tests/fixed_measurer.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::u16string> LinesOf(const XParagraph& p) {
    std::vector<std::u16string> lines;
    for (const XLine& line : p.lines)
        lines.push_back(p.text.substr(static_cast<size_t>(line.start), static_cast<size_t>(line.end - line.start)));
    return lines;
}

XParagraph LaidOut(std::u16string text, int32_t width, FixedMeasurer& measurer) {
    XParagraph p;
    p.SetText(std::move(text));
    RefreshAttributes(p, 0, 0, -1);
    LayOut(p, width, measurer);
    return p;
}

TEST(BookLayout, LinesBreakAtOpportunitiesAndNeverStartWithBlanks) {
    FixedMeasurer m;
    // 10 units fit into 102 - 2 pixels of margins.
    EXPECT_EQ(LinesOf(LaidOut(u"aaaa bbbb cccc", 102, m)), (std::vector<std::u16string>{u"aaaa bbbb ", u"cccc"}));
    // Trailing blanks stay on their line, however many.
    EXPECT_EQ(LinesOf(LaidOut(u"aaaa bbbb      cc", 102, m)), (std::vector<std::u16string>{u"aaaa bbbb      ", u"cc"}));
    // No opportunity: the break falls at the character that overflows.
    // A character whose right edge reaches the available width starts the next line.
    EXPECT_EQ(LinesOf(LaidOut(u"abcdefghijklmn", 102, m)), (std::vector<std::u16string>{u"abcdefghi", u"jklmn"}));
    // A character wider than the column gets a line of its own.
    m.wideUnit = u'W';
    m.wide = 500;
    EXPECT_EQ(LinesOf(LaidOut(u"abWcd", 102, m)), (std::vector<std::u16string>{u"ab", u"W", u"cd"}));
    // Indents narrow the lines: a heading of level 2 indents by two averages.
    XParagraph heading;
    heading.SetText(u"aaaa bbbb cccc");
    heading.firstIndent = heading.indent = 2;
    LayOut(heading, 102, m);
    EXPECT_EQ(LinesOf(heading), (std::vector<std::u16string>{u"aaaa ", u"bbbb ", u"cccc"}));
    EXPECT_EQ(heading.lines[0].indent, 20);
    EXPECT_EQ(heading.height, 48);
}

// The finder sees 256 units: a line longer than that still breaks at its
// last opportunity, found in the line's last units.
TEST(BookLayout, BreaksOfLinesLongerThanTheFindersWindow) {
    std::u16string text;
    for (int i = 0; i < 300; ++i) text += u"ab ";
    EXPECT_EQ(LastBreakBefore(text, 0, 800), 798);  // after the blank at 797
    EXPECT_EQ(LastBreakBefore(text, 700, 701), -1);  // none inside "ab"
    FixedMeasurer m;
    const XParagraph p = LaidOut(text, 2000 + 2, m);  // 200 units a line
    ASSERT_GE(p.lines.size(), 4u);
    for (const XLine& line : p.lines) EXPECT_EQ(line.start % 3, 0) << line.start;
}

TEST(BookLayout, FontSlotsLinksAndRightToLeftLines) {
    EXPECT_EQ(FontSlotOf(u'a'), 8u);
    EXPECT_EQ(FontSlotOf(u'\u05D0'), 15u);
    EXPECT_EQ(FontSlotOf(u'\u0627'), 14u);
    EXPECT_EQ(FontSlotOf(u'\uAC00'), 7u);
    EXPECT_EQ(FontSlotOf(static_cast<char16_t>(0xD840)), 3u);
    EXPECT_EQ(FontSlotOf(u'\u65E5'), 9u);
    XParagraph p;
    p.SetText(u"See www.example.org. Or https://a.b/c(d) and wwwx.");
    RefreshAttributes(p, 0, 3, -1);
    EXPECT_EQ(LinkRunAt(p, 6), u"www.example.org");
    EXPECT_EQ(LinkRunAt(p, 26), u"https://a.b/c");
    EXPECT_EQ(LinkRunAt(p, 45), u"");
    EXPECT_TRUE(p.attributes[0] & book_attr::kSelected);
    EXPECT_FALSE(p.attributes[3] & book_attr::kSelected);
    // Only web addresses open; "www." gets its scheme so no program name is run.
    EXPECT_EQ(OpenableLink(u"www.exe"), u"http://www.exe");
    EXPECT_EQ(OpenableLink(u"https://a"), u"https://a");
    EXPECT_EQ(OpenableLink(u"file://c"), u"");
    XParagraph hebrew;
    hebrew.SetText(u"abc\n\u05E9\u05DC\u05D5\u05DD x");
    RefreshAttributes(hebrew, 0, 0, -1);
    EXPECT_FALSE(hebrew.attributes[0] & book_attr::kRightToLeft);
    EXPECT_TRUE(hebrew.attributes[9] & book_attr::kRightToLeft);
}

TEST(BookLayout, SentenceAroundTheCaret) {
    int32_t start = 0, end = 0;
    const std::u16string text = u"One. Two words here! Three";
    SentenceAround(text, 7, start, end);
    EXPECT_EQ(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), u"Two words here!");
    SentenceAround(text, 24, start, end);
    EXPECT_EQ(text.substr(static_cast<size_t>(start)), u"Three");
    const std::u16string japanese = u"一つ。\u3000二つ目；三";
    SentenceAround(japanese, 5, start, end);
    EXPECT_EQ(japanese.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), u"二つ目；");
}

TEST(BookScroll, ThumbArithmeticNeverDividesByZeroAndHoldsLargeBooks) {
    EXPECT_EQ(book_scroll::ThumbToIndex(500, 0), -1);
    EXPECT_EQ(book_scroll::IndexToThumb(5, 0), 0);
    EXPECT_EQ(book_scroll::ThumbToIndex(500, 10), 5);
    EXPECT_EQ(book_scroll::ThumbToIndex(1000, 10), 9);  // at most the last
    // Large books: (count / 1000) x position; and index x 1000 in 64 bits.
    EXPECT_EQ(book_scroll::ThumbToIndex(999, 3000000), 2997000);
    EXPECT_EQ(book_scroll::IndexToThumb(2999999, 3000000), 999);
    EXPECT_EQ(book_scroll::SmoothScrollPixels(666, 333), 333);
}

class Host : public testing::Test {
protected:
    void Open(std::u16string text) {
        auto book = std::make_shared<TextBook>();
        book->Read(std::move(text));
        host.model.Build(book, true, false);
        host.AttachViews();
        host.SetColumnSize(102, 100);
        host.ShowDefaultColumns();
    }
    FixedMeasurer measurer;
    CParaViewHost host{measurer};
};

TEST_F(Host, HitTestsTextAndEmptySpace) {
    Open(u"<Latn>E\n<Cyrl>R\n\nabc\nxyz\n");
    CParaView& view = host.View(0);
    view.SetTop(0, 0);
    // The header is no paragraph: the first phrase is the first line.
    const BookHit hit = view.HitTest(25, 5);
    EXPECT_EQ(hit.paragraph, 0);
    EXPECT_EQ(hit.offset, 2);
    EXPECT_TRUE(hit.onCharacter);
    EXPECT_FALSE(view.HitTest(80, 5).onCharacter);  // right of the text
    EXPECT_EQ(view.HitTest(5, 90).paragraph, -1);    // below the book
}

TEST_F(Host, ColumnsStayOnThePhraseAndEmptyBooksAreSafe) {
    std::u16string text = u"<Latn>E\n<Cyrl>R\n\n";
    for (int i = 0; i < 40; ++i)
        text += (i % 10 == 0 ? u"<H1>h" : u"<P>word word word word") + std::u16string(u"\n") +
                (i % 2 ? u"x\n\n" : u"длинное длинное длинное длинное длинное\n\n");
    Open(text);
    ASSERT_EQ(host.VisibleCount(), 2);
    ASSERT_TRUE(host.GoToPhrase(31, GoToMode::Top, true));
    int32_t y0 = 0, y1 = 0;
    ASSERT_TRUE(host.View(0).ParagraphY(31, y0, 0));
    ASSERT_TRUE(host.View(1).ParagraphY(31, y1, 0));
    EXPECT_EQ(y0, y1);
    EXPECT_EQ(host.View(1).caret, (TextPosition{31, 0}));
    // Scrolled by lines, the other column's paragraph of the top phrase
    // starts at the same height (above the window here).
    host.CurrentView()->ScrollLines(1);
    host.Synchronise();
    const int32_t top = host.View(0).TopParagraph();
    ASSERT_TRUE(host.View(1).ParagraphY(top, y1, 100));
    EXPECT_EQ(y1, host.View(0).TopY());
    EXPECT_LT(y1, 0);
    // Out-of-range phrases are ignored.
    EXPECT_FALSE(host.GoToPhrase(41, GoToMode::Top, true));
    EXPECT_EQ(host.CurrentPhrase(), 31);
    // Table of contents: headings only, from the last heading at or before the phrase.
    host.SetCurrentPhrase(28);
    host.SetTableOfContents(true);
    EXPECT_EQ(host.View(0).TopParagraph(), 20);
    EXPECT_EQ(host.View(0).Next(20), 30);
    EXPECT_EQ(host.View(0).Next(30), -1);
    EXPECT_EQ(host.View(0).Prev(20), 10);
    EXPECT_GT(host.PhraseBarPosition(), 0);
    // Another book without headings leaves the table of contents; a book
    // without phrases and one without a header divide by nothing.
    Open(u"");
    EXPECT_FALSE(host.TableOfContents());
    EXPECT_EQ(host.PhraseBarPosition(), 0);
    host.GoToPhraseBar(500);
    host.SetTableOfContents(true);
    EXPECT_FALSE(host.TableOfContents());
    EXPECT_EQ(host.View(0).HitTest(5, 5).paragraph, -1);
    // Every way a key, the wheel or a paint reaches a column of no paragraph.
    CParaView& empty = host.View(0);
    empty.RefreshMarks();
    empty.ScrollPage(1);
    empty.ScrollLines(-3);
    empty.ScrollPixels(40);
    EXPECT_FALSE(empty.MoveCaretLine(1));
    EXPECT_FALSE(empty.MoveCaretCharacter(1));
    EXPECT_EQ(empty.Lay(0).lines.size(), 0u);
    EXPECT_EQ(empty.SelectedText(), u"");
    EXPECT_EQ(host.TopPhrase(), 0);
    Open(u"a\nb\nc\n\nd\ne\nf\n");
    EXPECT_EQ(host.ViewCount(), 3);
    EXPECT_EQ(host.VisibleCount(), 1);
    host.GoToPhraseBar(1000);
    EXPECT_EQ(host.CurrentPhrase(), 1);
}

// A column laid out anew for another width keeps its top line: the line
// that now holds that line's first character comes to the top, and the
// width it had before brings back the very same line.
TEST_F(Host, AColumnOfAnotherWidthKeepsItsTopLine) {
    std::u16string text = u"<Latn>E\n<Cyrl>R\n\n";
    for (int i = 0; i < 12; ++i)
        text += u"<P>" + std::u16string(60, u'a' + i).insert(30, u" ") + u" word word word word word\nr\n\n";
    Open(text);
    ASSERT_TRUE(host.GoToPhrase(6, GoToMode::Top, true));
    host.CurrentView()->ScrollLines(3);
    CParaView& view = *host.CurrentView();
    const int32_t paragraph = view.TopParagraph(), offset = view.TopOffset();
    ASSERT_EQ(paragraph, 6);
    ASSERT_GT(offset, 0);
    host.SetColumnSize(300, 100);
    EXPECT_EQ(view.TopParagraph(), paragraph);
    const int32_t wideTop = view.TopOffset();
    const auto& lines = view.Lay(paragraph).lines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const XLine& line) {
        return line.start == wideTop && line.start <= offset && offset < line.end;
    })) << "the top line holds the old top line's first character";
    host.SetColumnSize(102, 100);
    EXPECT_EQ(view.TopParagraph(), paragraph);
    EXPECT_EQ(view.TopOffset(), offset);
    EXPECT_EQ(view.TopY(), -[&] {
        int32_t y = 0;
        for (const XLine& line : view.Lay(paragraph).lines)
            if (line.start < offset) y += line.height + measurer.LineSpacing();
        return y;
    }());
}

// Scrolled line by line over the gaps between paragraphs, the top is
// always a whole line (the place the settings keep gives it back), and as
// many lines up bring back each top on the way.
TEST_F(Host, LineScrollsKeepAWholeLineAtTheTop) {
    std::u16string text = u"<Latn>E\n<Cyrl>R\n\n";
    for (int i = 0; i < 12; ++i) text += u"<P>word word word word word word word\nr\n\n";
    Open(text);
    CParaView& view = *host.CurrentView();
    std::vector<std::pair<int32_t, int32_t>> tops;
    for (int step = 0; step < 20; ++step) {
        tops.emplace_back(view.TopParagraph(), view.TopY());
        view.ScrollLines(1);
        const std::pair<int32_t, int32_t> top{view.TopParagraph(), view.TopY()};
        view.SetTopAtOffset(view.TopParagraph(), view.TopOffset());
        ASSERT_EQ(std::make_pair(view.TopParagraph(), view.TopY()), top) << "step " << step;
    }
    ASSERT_GT(view.TopParagraph(), 3);
    for (int step = 19; step >= 0; --step) {
        view.ScrollLines(-1);
        EXPECT_EQ(std::make_pair(view.TopParagraph(), view.TopY()), tops[static_cast<size_t>(step)]) << "step " << step;
    }
}

TEST_F(Host, ColumnsAddRemoveAndCopyWithLineBreaks) {
    Open(u"<Latn>E\n<Cyrl>R\n<Grek>G\n<Hebr>H\n<Arab>A\n\none\nодин\nένα\nאחד\nواحد\n\ntwo\nдва\nδύο\nשתיים\nاثنان\n");
    EXPECT_TRUE(host.AddColumn());
    EXPECT_TRUE(host.AddColumn());
    EXPECT_FALSE(host.AddColumn());  // four at most
    EXPECT_EQ(host.Visible(), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(host.RemoveColumn(1));
    EXPECT_EQ(host.Visible(), (std::vector<int32_t>{0, 2, 3}));
    const int32_t languages[] = {4, 0, 4};
    host.ShowColumns(languages, 0);  // Columns 0 in the settings: one column
    EXPECT_EQ(host.Visible(), (std::vector<int32_t>{4}));
    CParaView& view = host.View(0);
    view.anchor = {0, 1};
    view.caret = {1, 2};
    EXPECT_EQ(view.SelectedText(), u"ne\r\ntw");
}

}  // namespace
