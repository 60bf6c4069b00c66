// The end of a list is the end of its data, not damage: a list scrolled down
// past its last entry and back up past its first, by lines and by pages, a
// key typed that sorts after every entry and a cursor stepped off the last
// one, over dictionaries of real EDICT and ENAMDICT readings, note no
// refusal, tell the user nothing and keep the list's rows.
#include "dictionary/list_view_model.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {

class ListEnd : public WordListTest {};

TEST_F(ListEnd, ScrollingPastEitherEndNotesNoRefusal) {
    RDFDictionary* words = AddSynthetic(u"C:\\D\\edict.qdx", EdictKeys("edict", 50), kIndexReadingWord, 1);
    RDFDictionary* names = AddSynthetic(u"C:\\D\\enamdict.qdx", EdictKeys("enamdict", 200), kIndexReadingWord, 10000000);
    std::unique_ptr<WordList> list = ListOfShelf(kListReadings);
    const int32_t rows = list->RowCount();
    ASSERT_GT(rows, 100);
    ListViewModel view(2, list.get(), nullptr);
    view.rowsPerPage = 30;

    // Down a page at a time from the first row, the merge stepping each
    // dictionary's cursor off its last entry on the way, then on past the end.
    view.SetCurrent(0);
    for (int i = 0; i < rows / 29 + 3; ++i) view.PageDown(false, false);
    for (int i = 0; i < 3; ++i) view.LineDown(false, false);
    EXPECT_EQ(view.currentRow, rows - 1);
    EXPECT_EQ(list->GetEntry(rows), nullptr);
    // Up again the same way, off the first entries.
    for (int i = 0; i < rows / 29 + 3; ++i) view.PageUp(false, false);
    for (int i = 0; i < 3; ++i) view.LineUp(false, false);
    EXPECT_EQ(view.currentRow, 0);
    // A key after every entry, typed, lands on the last row; a cursor
    // stepped off its dictionary's last entry reads the end of the file.
    EXPECT_EQ(list->Find(u"\u3093\u3093\u3093\u3093", nullptr, kListReadings, nullptr, nullptr), rows - 1);
    CCursor last(words, kIndexReadingWord);
    ASSERT_EQ(last.MoveLast(), DmsStatus::Success);
    EXPECT_EQ(last.Next(), DmsStatus::EndOfFile);

    EXPECT_EQ(words->ReadRefusal(), DmsStatus::Success);
    EXPECT_EQ(names->ReadRefusal(), DmsStatus::Success);
    EXPECT_TRUE(app.messages.empty());
    EXPECT_EQ(list->RowCount(), rows);
    EXPECT_EQ(list->CursorCount(), 2);
}

}  // namespace
