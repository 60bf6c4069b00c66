// What a dictionary object needs of the shelf that owns it: the chain of
// dictionaries for the collation check, the article editors for the delete
// refusal, and the list views' position keeping and change notice. CShelf
// implements it; a dictionary made outside a shelf has none.
#pragma once

#include <cstdint>

class CDictionary;
class RDFDictionary;

class IDictionaryShelf {
public:
    // The head of the shelf's dictionary chain (linked through `next`), null when empty.
    virtual RDFDictionary* FirstDictionary() const = 0;
    // When an article editor of the shelf has `recordId` of `dictionary`
    // open, brings its window forward and answers true.
    virtual bool ActivateEditorForRecord(const CDictionary& dictionary, uint32_t recordId) = 0;
    // Every list view remembers its position before a change.
    virtual void SaveListPositions() = 0;
    // Announces a change of the dictionary's articles to every list view.
    virtual void NotifyDictionaryChanged(CDictionary& dictionary) = 0;

protected:
    ~IDictionaryShelf() = default;
};
