// Reading and word of a cursor's record through the list cell builder.
#include "article/list_entry_texts.h"

#include "article/list_cells.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"

bool ReadEntryColumnTexts(CCursor& cursor, std::u16string& reading, std::u16string& word) {
    // A stored list's entry is reached by its record reference: the cursor
    // that holds its dictionary stands on no index entry.
    if (cursor.dictionary == nullptr || cursor.RecordId() == 0) return false;
    CellRow row;
    row.listKind = kListSelected;
    FillCellRowFromCursor(cursor, row);
    ListCell cell;
    cell.columnKind = 2;
    BuildCell(row, cell);
    reading.assign(cell.text, static_cast<size_t>(cell.length));
    ListCell second;
    second.columnKind = 3;
    BuildCell(row, second);
    word.assign(second.text, static_cast<size_t>(second.length));
    return true;
}
