// The deinflection note above an article of the translated-words list: the
// matched text, the names of the forms it went through and "from:" / "от:",
// inserted at the top of the article view.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include <windows.h>

// How a piece of the note reaches the view: text, position, face, colour, italic.
using NoteInserter = std::function<void(std::u16string_view text, int32_t position, const char16_t* face,
                                        COLORREF colour, bool italic)>;

// Faces of the note: the matched text in the Japanese face when its first
// character is above U+3000, else in the Latin face; the names in the Latin face.
struct NoteFaces {
    const char16_t* japanese = u"MS Shell Dlg";
    const char16_t* latin = u"MS Shell Dlg";
};

// Inserts the note through `insert` and answers true; false (nothing shown)
// when no code of the chain has a name (only 3, 22, 71, or nameless codes).
bool ShowDeinflectionNote(std::u16string_view matched, const uint8_t (&tags)[16], bool english,
                          const NoteFaces& faces, const NoteInserter& insert);

// The same into the main window's article view, in the article font set's faces.
bool ShowDeinflectionNote(std::u16string_view matched, const uint8_t (&tags)[16], bool english);

class CArticleView;
class WordList;
// The note of the translated-words list's row `row` (its matched part of the
// analysed text and its tags) above the article `view` shows.
bool ShowDeinflectionNoteOfRow(const WordList& list, int32_t row, bool english, CArticleView& view);
