// The deinflection note: the text of the note is the portable one; here it is
// placed, the matched text first, the names and "from:" behind it, and a line
// break before the article.
#include "ui/deinflection_note.h"

#include <cstring>
#include <string>

#include "article/win/article_view.h"
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

bool ShowDeinflectionNote(std::u16string_view matched, const uint8_t (&tags)[16], bool english) {
    std::u16string japaneseFace = u"MS Shell Dlg", latinFace = u"MS Shell Dlg";
    if (g_application && g_application->fonts) {
        const CFontSet& set = g_application->fonts->Set(kArticleFontSet);
        if (!set.JapaneseFace().empty()) japaneseFace.assign(set.JapaneseFace().begin(), set.JapaneseFace().end());
        if (!set.LatinFace().empty()) latinFace.assign(set.LatinFace().begin(), set.LatinFace().end());
    }
    const NoteFaces faces{japaneseFace.c_str(), latinFace.c_str()};
    return ShowDeinflectionNote(matched, tags, english, faces,
                                [](std::u16string_view text, int32_t position, const char16_t* face, COLORREF colour,
                                   bool italic) {
                                    InsertTextIntoArticleView(text.data(), static_cast<int32_t>(text.size()), position,
                                                              face, colour, italic);
                                });
}
