// Saving an article written in the editor into a dictionary, the removal of
// one article's index entries that deleting an article calls, and the way
// from an article id to the article's current record. A saved edit keeps the
// article's id: the old record is removed, the new one stored, and the id
// pointed at it, so lists that hold the id lead to the latest text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "article/editor_lines.h"

class CDictionary;
class CDMS;

// The editor's flags.
enum ArticleEditorFlags : uint32_t {
    kEditorNewArticle = 0x1,
    kEditorSameDictionary = 0x2,     // a stored article of the dictionary it is saved into
    kEditorRecordDeleted = 0x10,     // the record read as freed: saved as a new article
    kEditorOtherDictionary = 0x20,   // taken from another dictionary: saved as a new article
};

struct ArticleSave {
    bool saved = false;
    uint32_t position = 0;   // the data position of the stored article
    std::u16string error;    // why nothing was saved
};

// Stores `text` (own markup, "{\a ...}") into the open `dictionary` in one
// engine transaction. With kEditorSameDictionary and a record id, the
// article the id leads to now is removed first and the id, and the position
// it led to, are pointed at the new record. Refused while a compilation runs
// on the dictionary. Any failure, the commit's included, rolls everything
// back: the file is then as it was.
ArticleSave SaveEditedArticle(CDictionary& dictionary, uint32_t recordId, uint32_t flags, std::u16string_view text);

// The lines an editor shows for a stored record (head included) of any
// format: own markup line by line with its kinds and tags, the others by
// their parsed elements (every element with text of a line kind). Empty for
// a record that does not parse.
std::vector<EditorLine> StoredArticleLines(CDictionary& dictionary, const uint8_t* record, uint32_t size);

// Removes the article `id` leads to, in one engine transaction, as deleting
// it from a list does but without asking. The failure's text, empty when removed.
std::u16string RemoveArticleById(CDictionary& dictionary, uint32_t id);

// Follows index 0 from an article id to the article's current data position
// (through every edit); 0 when the article was removed. An id without an
// index-0 entry is its own position.
uint32_t CurrentArticlePosition(CDMS& engine, int32_t fileId, uint32_t id);

// The article index remover the dictionary object calls to delete an article
// (registered at start-up with the parsers).
bool RemoveArticleIndexEntries(CDictionary& dictionary, uint32_t recordId, uint32_t formatType,
                               const char16_t* text, uint32_t sizeInBytes);
