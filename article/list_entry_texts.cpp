// Reading and word of a cursor's record through the list cell builder.
#include "article/list_entry_texts.h"

#include "article/list_cells.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"

bool ReadEntryColumnTexts(CCursor& cursor, std::u16string& reading, std::u16string& word) {
    if (cursor.dictionary == nullptr || !cursor.OnEntry()) return false;
    CellRow row;
    row.listKind = 18;
    row.dictionary = cursor.dictionary;
    row.recordLoaded = cursor.LoadArticle() != 0;
    row.firstField = cursor.FieldText(0);
    row.secondField = cursor.FieldText(1);
    row.recordId = cursor.RecordId();
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
