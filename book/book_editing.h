// Aligning a text book: operations on one column's paragraphs that keep
// every column at the same number of paragraphs, so that paragraph n of
// each column is phrase n. Each operation that changes the book sets the
// model's changed flag and renumbers the phrase table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "book/book_model.h"
#include "book/book_view.h"

// The caret and selection anchor of the column being edited.
struct EditCursor {
    TextPosition caret;
    TextPosition anchor;
    bool HasSelection() const { return !(caret == anchor); }
};

// Inserts a paragraph after `after` in `column`: when it is not the
// column's last and the column's last paragraph is blank, that one goes;
// otherwise every other column gets a blank paragraph at its end. `tag` is
// the line tag a save writes before its text.
void InsertParagraphAfter(BookModel& model, int32_t column, int32_t after, std::u16string text, uint32_t typeValue,
                          std::u16string tag = {});
// Enter: the text behind the caret becomes a new paragraph after the
// current one; the current one keeps the text before it and one blank.
bool SplitAtCaret(BookModel& model, int32_t column, EditCursor& cursor);
// The paragraph with the next one of its column ("Hani"/"Hrkt": nothing
// between; else one blank when neither side has one); a blank paragraph
// goes to the column's end. A caret in the second moves with its text.
bool JoinWithNext(BookModel& model, int32_t column, int32_t paragraph, EditCursor* cursor);
// Ctrl+Delete: the paragraph goes and a blank one is appended.
bool DeleteParagraph(BookModel& model, int32_t column, EditCursor& cursor);
// The selection's text goes; the caret stands at its start.
bool DeleteSelection(BookModel& model, int32_t column, EditCursor& cursor);
// Delete: the selection, or a join at the paragraph's end, or the character
// at the caret (a paragraph never becomes empty this way).
bool DeleteForward(BookModel& model, int32_t column, EditCursor& cursor);
// Backspace: the selection, the character before the caret, or at a
// paragraph's start a join with the previous one.
bool DeleteBackward(BookModel& model, int32_t column, EditCursor& cursor);
// Inserts text at the caret (the selection goes first); the new characters
// take the attribute of the one before the caret (or the first).
bool InsertAtCaret(BookModel& model, int32_t column, EditCursor& cursor, std::u16string_view text);
// Ctrl+B/G/I/U: "<x>" before the selection and "</x>" behind it; the
// selection then covers both tags and the caret stands behind the closing one.
bool WrapSelectionInTag(BookModel& model, int32_t column, EditCursor& cursor, char16_t letter);
// Paste: one sentence without control characters goes in at the caret;
// otherwise one new paragraph per sentence after the current one, "<P10>"
// before the ones that follow a line break (type 1 then).
bool PasteText(BookModel& model, int32_t column, EditCursor& cursor, std::u16string text);

// Whether every column holds the same number of paragraphs and the phrase
// table matches them (the invariant every operation keeps).
bool ColumnsAligned(const BookModel& model);
