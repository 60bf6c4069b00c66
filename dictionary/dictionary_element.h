// DictionaryElement: one parsed part of an article. The per-format parsers
// fill an array of them in the dictionary object (CDictionary::AddElement),
// and the formatters, renderers and index builders read them back. Kinds
// double as RTF paragraph-style numbers.
#pragma once

#include <cstdint>

// Element kinds the dictionary object itself knows; the parsers define the rest.
inline constexpr uint32_t kElementEntryStart = 2;   // every article holds one or more
inline constexpr uint32_t kElementKanjiGroup = 14;  // blank-separated "key=value" fields
inline constexpr uint32_t kElementName = 15;        // header groups of the own markup
inline constexpr uint32_t kElementCopyright = 16;
inline constexpr uint32_t kElementComment = 17;

// Eleven 32-bit words in the 32-bit build. Nothing stores it: the native
// build's wider pointers change only its size.
struct DictionaryElement {
    uint32_t kind = 0;
    // The six words of the parsers and formatters, as AddElement creates them.
    uint32_t flags = 0;        // grammar bits
    int32_t parent = -1;       // element number of the parent, -1 none (YARXI)
    int32_t level = -1;        // nesting level, -1 none
    int32_t nextSibling = -1;  // element number of the next sibling, -1 none (YARXI)
    int32_t lineNumber = 0;    // source line (WARODAI)
    int32_t group = 0;         // group number (WARODAI)
    // First and last character (inclusive) of the element's source span; set
    // for entry starts. Point into the dictionary's text buffer or into the
    // parsed record; pointers into the text buffer follow it when it grows.
    const char16_t* begin = nullptr;
    const char16_t* end = nullptr;
    const char16_t* text = nullptr;  // into the text buffer or the record
    int32_t length = 0;              // of `text`, in UTF-16 units
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(DictionaryElement) == 44, "eleven 32-bit words in the 32-bit build");
#endif
