// The page of a list view: lines from the top row (key groups in the
// lexicon), centring on a new current row, the key moves, hitting rows and
// columns (with the horizontal scroll offset), header sorting and deleting
// selected rows, against a stored list of own texts and against merged lists
// over EDICT's keys.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/tests/own_text_rows.h"
#include "dictionary/tests/word_list_fixture.h"
#include "dictionary/word_list_entry.h"

namespace {

// A stored list of `rows` own-text rows "0", "1", ...
std::unique_ptr<WordList> TextRows(int32_t kind, int32_t rows) {
    auto list = std::make_unique<WordList>(nullptr, kind);
    for (int32_t i = 0; i < rows; ++i) {
        std::string digits = std::to_string(i);
        AppendOwnTextRow(*list, std::u16string(digits.begin(), digits.end()));
    }
    return list;
}

std::u16string RowText(WordList& list, int32_t row) {
    const WordListEntry* entry = list.RowEntry(row);
    return entry ? std::u16string(list.PoolText(entry->textOffset, entry->textLength)) : u"";
}

void ExpectPage(const ListViewModel& view, int32_t top, int32_t current) {
    EXPECT_EQ(view.topRow, top);
    EXPECT_EQ(view.currentRow, current);
    for (int32_t i = 0; i < view.filledLines; ++i) EXPECT_EQ(view.lines[i].firstRow, top + i);
    EXPECT_EQ(view.selection.Count(), current >= 0 ? 1 : 0);
    if (current >= 0) {
        EXPECT_GE(view.selection.Contains(current), 0);
    }
}

}  // namespace

TEST(ListViewPaging, MovesKeepTheCurrentRowOnAPageOfTwentyLines) {
    auto list = TextRows(kListSelected, 1000);
    ListViewModel view(kViewSelected, list.get(), nullptr);
    view.rowsPerPage = 20;
    view.SetCurrent(500);
    ExpectPage(view, 490, 500);
    EXPECT_EQ(view.filledLines, 21);
    EXPECT_TRUE(view.IsCurrentOnPage());
    // The page's last whole line is on it; the part-shown line below it is not.
    for (int32_t current : {509, 510}) {
        view.currentRow = current;
        EXPECT_EQ(view.IsCurrentOnPage(), current == 509) << current;
    }
    view.SetCurrent(500);
    struct Step {
        const char* move;
        int32_t top, current;
    };
    auto run = [&](const std::string& move) {
        if (move == "first") view.GoToFirst();
        else if (move == "last") view.GoToLast();
        else if (move == "down") view.LineDown(false, false);
        else if (move == "up") view.LineUp(false, false);
        else if (move == "pagedown") view.PageDown(false, false);
        else if (move == "pageup") view.PageUp(false, false);
    };
    for (Step s : {Step{"first", 0, 0}, {"up", 0, 0}, {"pagedown", 19, 19}, {"down", 19, 20}, {"last", 980, 999},
                   {"down", 980, 999}, {"pageup", 961, 980}, {"up", 961, 979}, {"first", 0, 0}}) {
        run(s.move);
        ExpectPage(view, s.top, s.current);
    }
    // Twenty downs from the top: the page follows one line at a time after the 19th.
    for (int i = 0; i < 20; ++i) view.LineDown(false, false);
    ExpectPage(view, 1, 20);
    view.LineDown(true, false);
    EXPECT_EQ(view.selection.Count(), 2) << "Shift extends";
}

TEST(ListViewPaging, EmptyListsHaveNoPageAndNoCurrentRow) {
    auto list = TextRows(kListSelected, 0);
    ListViewModel view(kViewSelected, list.get(), nullptr);
    view.GoToLast();
    ExpectPage(view, -1, -1);
    EXPECT_EQ(view.filledLines, 0);
    EXPECT_FALSE(view.IsCurrentOnPage());
    view.LineDown(false, false);
    EXPECT_EQ(view.currentRow, -1);
    int32_t column = 0, box = 0;
    EXPECT_EQ(view.HitTestRow(5, 40, 300, ListLayout{}, &column, &box), -1);
}

TEST(ListViewPaging, LineHeightAndPageLineCount) {
    EXPECT_EQ(ListViewModel::LineHeightFor(16, 12), 17);
    EXPECT_EQ(ListViewModel::LineHeightFor(12, 17), 19);
    ListViewModel view(2, nullptr, nullptr);
    view.headerHeight = 18;
    view.lineHeight = 17;
    EXPECT_EQ(view.PageLineCount(18 + 17 * 10 + 16), 10);
    EXPECT_EQ(view.PageLineCount(10), 1) << "a window lower than a line still has a line";
    EXPECT_EQ(view.PageLineCount(100000), 200);
}

TEST(ListViewPaging, HitTestAddsTheHorizontalScrollOffset) {
    auto list = TextRows(kListTranslatedWords, 50);
    ListViewModel view(kViewTranslatedWords, list.get(), nullptr);
    view.rowsPerPage = 10;
    view.headerHeight = 18;
    view.lineHeight = 16;
    view.GoToFirst();
    ListLayout columns;
    ASSERT_EQ(ParseListLayout(u"exp=20,dic=20,src=90,wkn=70", columns), 4);
    int32_t column = -1, box = -1;
    EXPECT_EQ(view.HitTestRow(5, 18 + 16 * 3 + 5, 300, columns, &column, &box), 3);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(box, 0) << "inside the expander box";
    EXPECT_EQ(view.HitTestRow(1, 18 + 16 * 3 + 5, 300, columns, &column, &box), 3);
    EXPECT_EQ(box, -1) << "left of the box";
    view.horizontalOffset = 50;
    EXPECT_EQ(view.HitTestRow(10, 30, 300, columns, &column, &box), 0);
    EXPECT_EQ(column, 2) << "x 10 on a page scrolled by 50 is in the text column";
    EXPECT_EQ(view.HitTestRow(500, 30, 300, columns, &column, &box), 0);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(view.HitTestRow(10, 290, 300, columns, &column, &box), 49) << "below the lines: the last row";
    EXPECT_EQ(view.HitTestRow(10, 300, 300, columns, &column, &box), -1);
}

TEST(ListViewPaging, DeletingSelectedRowsKeepsTheCurrentEntry) {
    auto list = TextRows(kListSelected, 10);
    ListViewModel view(kViewSelected, list.get(), nullptr);
    view.rowsPerPage = 5;
    view.SetCurrent(5);
    view.ClickSelect(2, false, true);
    view.ClickSelect(3, false, true);
    view.ClickSelect(7, false, true);
    view.ClickSelect(5, false, true);  // toggles 5 off again, current 5
    ASSERT_TRUE(view.DeleteSelectedStoredRows());
    EXPECT_EQ(list->RowCount(), 7);
    EXPECT_EQ(RowText(*list, view.currentRow), u"5");
    EXPECT_EQ(view.selection.Count(), 1);
    // The current row ("6", clicked) deleted with the one before it: the
    // row after them is current.
    view.ClickSelect(4, false, true);
    ASSERT_TRUE(view.DeleteSelectedStoredRows());
    EXPECT_EQ(list->RowCount(), 5);
    EXPECT_EQ(RowText(*list, view.currentRow), u"8");
    ListViewModel merged(2, nullptr, nullptr);
    EXPECT_FALSE(merged.DeleteSelectedStoredRows());
    view.Clear();
    EXPECT_EQ(list->RowCount(), 0);
    ExpectPage(view, 0, -1);
}

TEST(ListViewPaging, SortingByAColumnTogglesWithASecondClick) {
    auto list = TextRows(kListSelected, 3);
    ListViewModel view(kViewSelected, list.get(), nullptr);
    view.rowsPerPage = 5;
    view.GoToFirst();
    ListLayout layout;
    ASSERT_EQ(ParseListLayout(u"dic=20,wkn=90,wkj=70,wse=320", layout), 4);
    ListColumn* columns = layout.columns;
    EXPECT_FALSE(view.SortByColumn(layout, 3)) << "meaning columns do not sort";
    EXPECT_FALSE(view.SortByColumn(layout, 0));
    ASSERT_TRUE(view.SortByColumn(layout, 1));
    EXPECT_TRUE(columns[1].sorted);
    EXPECT_EQ(list->sortMode, 2);
    ASSERT_TRUE(view.SortByColumn(layout, 2));
    EXPECT_FALSE(columns[1].sorted);
    EXPECT_TRUE(columns[2].sorted);
    EXPECT_EQ(list->sortMode, 3);
    ASSERT_TRUE(view.SortByColumn(layout, 2));
    EXPECT_FALSE(columns[2].sorted);
    EXPECT_EQ(list->sortMode, 0);
    ListViewModel readings(2, list.get(), nullptr);
    EXPECT_FALSE(readings.SortByColumn(layout, 1)) << "only selected articles and search results sort";
}

TEST(ListViewPaging, TheCaretPicksTheFirstHitEndingAfterIt) {
    // Hits of "ABCDE": [0,2) [0,1) [2,5) [3,4), listed in that order.
    auto list = TextRows(kListTranslatedWords, 4);
    const int32_t spans[4][2] = {{0, 2}, {0, 1}, {2, 3}, {3, 1}};
    for (int32_t row = 0; row < 4; ++row) {
        list->RowEntry(row)->matchStart = spans[row][0];
        list->RowEntry(row)->matchLength = spans[row][1];
    }
    ListViewModel view(kViewTranslatedWords, list.get(), nullptr);
    view.rowsPerPage = 10;
    view.GoToFirst();
    CInput input;
    input.SetText(u"ABCDE");
    EXPECT_EQ(view.SelectHitAtCaret(input, 0), 0);
    EXPECT_EQ(view.SelectHitAtCaret(input, 2), 2);
    EXPECT_EQ(view.SelectHitAtCaret(input, 4), 2);
    EXPECT_EQ(view.SelectHitAtCaret(input, 5), 2) << "no hit ends after the end: the row stays";
    ListViewModel other(kViewSelected, list.get(), nullptr);
    EXPECT_EQ(other.SelectHitAtCaret(input, 3), -1);
}

class ListViewPagingOverDictionaries : public WordListTest {};

TEST_F(ListViewPagingOverDictionaries, LexiconLinesStandForKeyGroups) {
    AddSynthetic(u"C:\\D\\a.qdx", {{u"apple", u""}, {u"bee", u""}, {u"bee", u""}, {u"cat", u""}}, kIndexFullTextWords);
    AddSynthetic(u"C:\\D\\b.qdx", {{u"bee", u""}, {u"cat", u""}, {u"dog", u""}}, kIndexFullTextWords, 10);
    auto list = ListOfShelf(kListLexicon);
    ListViewModel view(kViewLexicon, list.get(), nullptr);
    view.rowsPerPage = 10;
    view.GoToFirst();
    ASSERT_EQ(view.filledLines, 4);
    const int32_t first[] = {0, 1, 4, 6}, sizes[] = {1, 3, 2, 1};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(view.lines[i].firstRow, first[i]);
        EXPECT_EQ(view.lines[i].rowCount, sizes[i]);
        EXPECT_EQ(view.lines[i].groupSize, sizes[i]);
    }
    view.currentRow = 2;
    EXPECT_TRUE(view.IsCurrentOnPage()) << "row 2 lies in the bee group";
}

TEST_F(ListViewPagingOverDictionaries, PagesOfEdictReadingsFollowTheMergedOrder) {
    AddSynthetic(u"C:\\D\\edict1.qdx", EdictKeys("edict", 40));
    AddSynthetic(u"C:\\D\\edict2.qdx", EdictKeys("edict", 97), kIndexReadingWord, 100000);
    std::vector<MergedRow> expected = BruteForceMerge();
    auto list = ListOfShelf(kListReadings);
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(expected.size()));
    ListViewModel view(2, list.get(), nullptr);
    view.rowsPerPage = 25;
    auto expectPageTexts = [&] {
        for (int32_t i = 0; i < view.filledLines; ++i) {
            int32_t row = view.lines[i].firstRow;
            CCursor* cursor = list->GetEntry(row);
            ASSERT_NE(cursor, nullptr);
            EXPECT_EQ(cursor->FieldText(0), expected[static_cast<size_t>(row)].reading) << row;
        }
    };
    int32_t rows = list->RowCount();
    for (int32_t target : {rows / 2, 3, rows - 2, rows / 3}) {
        view.SetCurrent(target);
        ExpectPage(view, std::max(0, std::min(target - 12, rows - 1)), target);
        expectPageTexts();
        view.PageDown(false, false);
        EXPECT_TRUE(view.IsCurrentOnPage());
        expectPageTexts();
    }
}
