// FrameArticleContext over the application object, the font sets and the shelf.
#include "ui/frame_article_context.h"

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_element.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/shelf.h"
#include "ui/application.h"
#include "ui/font_sets.h"

uint32_t FrameArticleContext::ApplicationFlags() const { return g_application ? g_application->flags : 0; }

int32_t FrameArticleContext::ArticleFontSize() const { return ::ArticleFontPoints(); }

bool FrameArticleContext::FindInFirstDictionary(const CDictionary& asking, std::u16string_view key,
                                                std::u16string_view reading, FoundEntry& found) {
    found = FoundEntry{};
    RDFDictionary* first = shelf_.FirstDictionary();
    if (first == nullptr || first == &asking || (first->flags & kDictionaryOpen) == 0) return false;
    CCursor cursor(first, kIndexReadingWord);
    if (!cursor.SeekByText(reading, key) || !cursor.LoadArticle()) return false;
    // The entry start the index entry names (its sub-entry), else the first.
    uint32_t wanted = cursor.position.ref.second >> 16;
    int32_t entry = -1;
    uint32_t seen = 0;
    for (int32_t i = 0; i < first->ElementCount(); ++i) {
        if (first->Elements()[i].kind != kElementEntryStart) continue;
        if (entry < 0) entry = i;
        if (seen++ == wanted) {
            entry = i;
            break;
        }
    }
    if (entry < 0) return false;
    found.dictionary = first;
    found.entryElement = static_cast<uint32_t>(entry);
    return true;
}
