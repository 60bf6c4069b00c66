// What a word list needs of the shelf that owns it: the dictionaries in shelf
// order (merge ties and sorting go by shelf position), the shelf's collator,
// and for loading a saved list the few steps that put a dictionary on the
// shelf. CShelf implements it.
#pragma once

#include <cstdint>
#include <string_view>

class RDFDictionary;
struct ICollator;

class IWordListShelf {
public:
    // The dictionary at `position` of the shelf's chain (0 first), null past the end.
    virtual RDFDictionary* DictionaryAt(int32_t position) const = 0;
    // The dictionary's position on the shelf, -1 when it is not on it.
    virtual int32_t PositionOf(const RDFDictionary* dictionary) const = 0;
    // The collator for lists whose rows name no open dictionary; null when none.
    virtual ICollator* Collator() const = 0;

    // Loading a saved list.
    // The dictionary with this file path (case-insensitive), null when none.
    virtual RDFDictionary* FindByPath(std::u16string_view path) const = 0;
    // Appends a new dictionary object for `path` to the chain (not opened).
    virtual RDFDictionary* AddDictionary(uint32_t flags, std::u16string_view path) = 0;
    // Takes a dictionary off the shelf and destroys it (first dropping it
    // from every list and the history).
    virtual void DeleteDictionary(RDFDictionary* dictionary) = 0;
    virtual void SaveListPositions() = 0;
    // Puts every list in step with the dictionaries' open states.
    virtual void Refresh() = 0;

protected:
    ~IWordListShelf() = default;
};
