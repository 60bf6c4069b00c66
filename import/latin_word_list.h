// The fixed-column Latin word list (format type 16): its source loader, which
// appends the built-in entry of "to be", the whole-list importer and the
// one-article parser of stored Latin records.
//
// Source line (columns from 0): stems at 0, 19, 38, 57 (18 wide), the code
// field at 76 (23), further codes at 100 (9), the meaning from 110.
// Stored article: the line, or the line, an LF and its dictionary form.
// Elements: 1 root (whole list only), 2 the article, 5 the meaning (column
// 110 to the end of the first line), 8 the lemma (the form's first word).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class CDictionary;

inline constexpr uint32_t kLatinListFormat = 16;
inline constexpr int32_t kLatinMeaningColumn = 110;
inline constexpr uint32_t kElementLatinMeaning = 5;
inline constexpr uint32_t kElementLatinLemma = 8;
// The dictionary's conversionState while the conversion dialog (or qdxc)
// compiles: Latin articles then get their dictionary form and lemma.
inline constexpr int32_t kConversionAddsForms = 3;

// The built-in "to be" line appended after every list.
extern const char16_t kBuiltInToBeLine[];

// The Latin-1 bytes of a list as UTF-16 with the built-in entry appended on
// a line of its own; false for fewer than 15 bytes.
bool DecodeLatinList(std::string_view bytes, std::u16string& text);
// The source loader of the Latin rule.
bool LoadLatinSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);

// Whole list (mode 0: root element first, progress after each line) or one
// stored article (any other mode). 0 below 110 bytes or when a callback
// answers 0.
int32_t ImportLatin(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks);
// One article at the end of the dictionary's text buffer; 0 (nothing made)
// for 110 characters or fewer.
int32_t ParseLatinArticle(CDictionary& dictionary, const char16_t* text, int32_t length);
