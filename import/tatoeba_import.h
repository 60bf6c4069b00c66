// The Tatoeba sentence dictionary (format type 13): the importer of the
// buffer LoadTatoebaSource prepares (layout in tatoeba_source_loader.h) and
// the one-article parser of stored records. An article is a headword
// sentence's line followed by the lines of its translations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"
#include "import/source_loaders.h"
#include "import/tatoeba_source_loader.h"

class CDictionary;

inline constexpr uint32_t kTatoebaHeadword = 4;     // the text after the first line's last TAB, LF included
inline constexpr uint32_t kTatoebaTranslation = 5;  // the same of each further line

// The article element (the whole text), then the headword and translation
// elements. The article's element number, -1 for an empty text or no memory.
int32_t ParseTatoebaArticle(CDictionary& dictionary, const char16_t* text, int32_t length);

// Imports the prepared buffer (2-byte aligned): each run of pairs with the
// same headword line becomes one article in the emptied text buffer; mode 0
// adds the root element first and reports progress in pairs. The header and
// every offset are checked against the buffer: a buffer that does not hold
// together gives 0, as do fewer than 14 bytes and a zero from a callback.
int32_t ImportTatoeba(CDictionary& dictionary, const void* buffer, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks);

// The compiler's loader of the Tatoeba rule, with the languages the import
// chose; it reports its progress where the choices say.
bool LoadTatoebaRuleSource(std::u16string_view path, uint32_t formatFlags, const SourceChoices& choices,
                           std::u16string& prepared, std::u16string& message);
