// The deinflection note: the text of the note is the portable one; here it is
// placed, the matched text first, the names and "from:" behind it, and a line
// break before the article.
#include "ui/deinflection_note.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "article/win/article_view.h"
#include "dictionary/word_list.h"
#include "japanese/inflection_names.h"
#include "ui/application.h"
#include "ui/font_sets.h"

namespace {
constexpr COLORREF kMatchedColour = RGB(0, 0, 0);
constexpr COLORREF kNoteColour = RGB(0x40, 0x40, 0x80);
}  // namespace

bool ShowDeinflectionNote(std::u16string_view matched, const uint8_t (&tags)[16], bool english,
                          const NoteFaces& faces, const NoteInserter& insert) {
    ostrel::japanese::TagChain chain;
    std::memcpy(chain.data(), tags, chain.size());
    const std::u16string note = ostrel::japanese::DeinflectionNoteText(chain, english) + u"\r";
    if (note.size() == 1) return false;
    const bool japanese = !matched.empty() && matched[0] > 0x3000;
    insert(matched, 0, japanese ? faces.japanese : faces.latin, kMatchedColour, false);
    insert(note, static_cast<int32_t>(matched.size()), faces.latin, kNoteColour, true);
    return true;
}

namespace {

// The article font set's faces, the dialog face when there are none.
struct ArticleFaces {
    ArticleFaces() {
        if (!g_application || !g_application->fonts) return;
        const CFontSet& set = g_application->fonts->Set(kArticleFontSet);
        if (!set.JapaneseFace().empty()) japanese.assign(set.JapaneseFace().begin(), set.JapaneseFace().end());
        if (!set.LatinFace().empty()) latin.assign(set.LatinFace().begin(), set.LatinFace().end());
    }
    NoteFaces Faces() const { return {japanese.c_str(), latin.c_str()}; }
    std::u16string japanese = u"MS Shell Dlg", latin = u"MS Shell Dlg";
};

}  // namespace

bool ShowDeinflectionNoteOfRow(const WordList& list, int32_t row, bool english, CArticleView& view) {
    if (list.Kind() != kListTranslatedWords || row < 0 || row >= list.RowCount() || list.analysedText == nullptr)
        return false;
    const WordListEntry& entry = list.EntryAt(list.EntryOfRow(row));
    const std::u16string_view text(list.analysedText);
    if (entry.matchStart < 0 || static_cast<size_t>(entry.matchStart) >= text.size()) return false;
    const std::u16string_view matched =
        text.substr(static_cast<size_t>(entry.matchStart), static_cast<size_t>(std::max(entry.matchLength, 0)));
    const ArticleFaces faces;
    return ShowDeinflectionNote(matched, entry.tags, english, faces.Faces(),
                                [&view](std::u16string_view piece, int32_t position, const char16_t* face,
                                        COLORREF colour, bool italic) {
                                    view.InsertText(piece.data(), static_cast<int32_t>(piece.size()), position, face,
                                                    colour, italic);
                                });
}

bool ShowDeinflectionNote(std::u16string_view matched, const uint8_t (&tags)[16], bool english) {
    const ArticleFaces faces;
    return ShowDeinflectionNote(matched, tags, english, faces.Faces(),
                                [](std::u16string_view text, int32_t position, const char16_t* face, COLORREF colour,
                                   bool italic) {
                                    InsertTextIntoArticleView(text.data(), static_cast<int32_t>(text.size()), position,
                                                              face, colour, italic);
                                });
}
