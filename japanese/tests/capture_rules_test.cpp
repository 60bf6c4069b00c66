// The captures' document choice, widening, text cleaning, zoom and accessible
// text window, on the edge cases the captures meet.
#include <gtest/gtest.h>

#include "japanese/capture_rules.h"

namespace ostrel::japanese {
namespace {

TEST(DocumentBaseName, TakesTheLastPartUpToItsFirstPointAndSkipsWhatCannotBeADocument) {
    EXPECT_EQ(DocumentBaseName(u"C:\\docs\\Report.docx"), u"Report");
    EXPECT_EQ(DocumentBaseName(u"C:\\docs\\Report.v2.final.docx"), u"Report");
    EXPECT_EQ(DocumentBaseName(u"Notes"), u"Notes");
    EXPECT_FALSE(DocumentBaseName(u""));
    EXPECT_FALSE(DocumentBaseName(u"clsid:{00020906-0000-0000-C000-000000000046}"));
    EXPECT_FALSE(DocumentBaseName(u"C:\\docs\\.hidden"));  // an empty base name is in every caption
    std::u16string longest = u"C:\\" + std::u16string(251, u'x') + u".doc";  // last part 255
    EXPECT_EQ(DocumentBaseName(longest)->size(), 251u);
    EXPECT_FALSE(DocumentBaseName(u"C:\\" + std::u16string(252, u'x') + u".doc"));  // 256
}

TEST(DocumentCandidates, PrefersTheLongestNameInTheCaption) {
    std::vector<std::u16string> names = {u"C:\\a.docx", u"C:\\other.docx", u"C:\\data.docx", u"C:\\.x",
                                         u"C:\\Data.docx", u"!{1234}"};
    EXPECT_EQ(DocumentCandidates(u"data.docx - Word", names), (std::vector<size_t>{2, 0}));
    EXPECT_TRUE(DocumentCandidates(u"Report.docx - Word", names).empty());
}

TEST(WidenRange, ReachesTwentyEachSideAndKeepsTheCaretOnThePoint) {
    WidenedRange near = WidenRange(5, 6);
    EXPECT_EQ(near.start, 0);
    EXPECT_EQ(near.end, 26);
    EXPECT_EQ(near.caret, 5);
    WidenedRange far = WidenRange(100, 104);
    EXPECT_EQ(far.start, 80);
    EXPECT_EQ(far.end, 124);
    EXPECT_EQ(far.caret, 20);
    // A refused Start write leaves the range at the point: the caret is 0 there.
    EXPECT_EQ(CaretFromRangeStart(100, 100), 0);
    EXPECT_EQ(CaretFromRangeStart(100, 80), 20);
    EXPECT_EQ(CaretFromRangeStart(100, 90), 10);
}

TEST(WordNoteText, NamesAdministratorModeOnlyWhenElevated) {
    EXPECT_NE(WordNoteText(true).find(u"администратора"), std::u16string_view::npos);
    EXPECT_EQ(WordNoteText(false).find(u"администратора"), std::u16string_view::npos);
}

TEST(CleanTextBeforePoint, DropsLeadingBlanksAndBreaksAndKeepsFortyOfEighty) {
    std::u16string out;
    EXPECT_EQ(CleanTextBeforePoint(u"\r\n \tこれは\r\nペン", out), 7u);
    EXPECT_EQ(out, u"これは  ペン");
    EXPECT_EQ(CleanTextBeforePoint(std::u16string(100, u'x'), out), 40u);
    // Forty leading CR LF pairs take forty steps of the walk; eighty blanks take all of it.
    std::u16string breaks;
    for (int i = 0; i < 40; ++i) breaks += u"\r\n";
    EXPECT_EQ(CleanTextBeforePoint(breaks + u"x", out), 1u);
    EXPECT_EQ(CleanTextBeforePoint(std::u16string(80, u' ') + u"x", out), 0u);
    EXPECT_EQ(CleanTextBeforePoint(std::u16string_view(u"ab\0cd", 5), out), 2u);
}

TEST(CleanTextAfterPoint, JoinsKanaAcrossABreakAndEndsALatinWordOnANewLine) {
    EXPECT_EQ(CleanTextAfterPoint(u"\r\nです。", true), u"です。");
    EXPECT_EQ(CleanTextAfterPoint(u"\r\nword", true), u"  word");
    EXPECT_EQ(CleanTextAfterPoint(u"\r\nword", false), u"word");
    EXPECT_EQ(CleanTextAfterPoint(u"a\tb\r\nc", false), u"a b  c");
    EXPECT_EQ(CleanTextAfterPoint(std::u16string(100, u'y'), false).size(), 40u);
    EXPECT_TRUE(StartsNewLine(120, 4));
    EXPECT_TRUE(StartsNewLine(4, 4));
    EXPECT_FALSE(StartsNewLine(4, 120));
    EXPECT_FALSE(StartsNewLine(-1, 0));
}

TEST(PageZoom, FollowsTheBrowserThenTheStoredFactorWithoutDividingByZero) {
    EXPECT_EQ(ZoomFromBrowser(100, false, 120), 125);  // a hosted control at 120 dpi
    EXPECT_EQ(ZoomFromBrowser(125, true, 120), 125);
    EXPECT_EQ(ZoomFromBrowser(0, false, 120), 0);
    EXPECT_EQ(ZoomFromBrowser(-50, true, 96), 0);
    EXPECT_EQ(ZoomFromFactor(100000, 96), 100);
    EXPECT_EQ(ZoomFromFactor(125000, 120), 156);  // 125000 / (96000 / 120 = 800)
    EXPECT_EQ(ZoomFromFactor(100000, 0), 0);
    EXPECT_EQ(ZoomFromFactor(100000, 96001), 0);  // 96000 / 96001 is 0
    EXPECT_EQ(UsableLogPixels(120, 96), 120);
    EXPECT_EQ(UsableLogPixels(0, 144), 144);
    EXPECT_EQ(UsableLogPixels(-1, 0), 96);
    EXPECT_EQ(ScaleForZoom(250, 125), 200);
    EXPECT_EQ(ScaleForZoom(250, 0), 250);
    EXPECT_EQ(ScaleForZoom(-250, -5), -250);
    RelativePoint point = BrowserDocumentPoint(500, 400, 100, 50, 16, 90);
    EXPECT_EQ(point.x, 500 - 16 - 100 + 8);
    EXPECT_EQ(point.y, 400 - 90 - 50 + 45);
}

TEST(AccessibleWindowAround, ClampsTheOffsetBeforeTheWindowIsTaken) {
    struct Case {
        int32_t offset, n, start, end, caret;
    };
    for (Case c : {Case{5, 100, 0, 25, 5}, Case{90, 100, 70, 100, 20}, Case{50, 100, 30, 70, 20},
                   Case{110, 100, 79, 100, 20}, Case{100, 100, 79, 100, 20}, Case{0, 1, 0, 1, 0},
                   Case{3, 2, 0, 2, 1}}) {
        auto window = AccessibleWindowAround(c.offset, c.n);
        ASSERT_TRUE(window) << c.offset;
        EXPECT_EQ(window->start, c.start) << c.offset << " of " << c.n;
        EXPECT_EQ(window->end, c.end) << c.offset << " of " << c.n;
        EXPECT_EQ(window->caret, c.caret) << c.offset << " of " << c.n;
        EXPECT_LT(window->caret, window->end - window->start);
    }
    EXPECT_FALSE(AccessibleWindowAround(0, 0));
    EXPECT_FALSE(AccessibleWindowAround(-1, 10));
}

}  // namespace
}  // namespace ostrel::japanese
