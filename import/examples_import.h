// The Examples sentence text (format type 11): UTF-8 lines, an article from
// each "A: sentence<TAB>translation#ID" line up to the next "A:" line (its
// "B:" line and any other lines belong to it). The compiler's loader, the
// whole-text importer and the one-article parser of stored records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class CDictionary;

// Element kinds of an Examples article besides the article (2).
inline constexpr uint32_t kExamplesSentence = 4;
inline constexpr uint32_t kExamplesTranslation = 8;
inline constexpr uint32_t kExamplesRest = 5;  // from the "#" on, the "B:" line included

// The compiler's loader: needs the sniffer's Examples (0x1000) and foreign
// (0x400000) flags and more than 4 bytes. With the UTF-8 flag the text is
// converted; without it the text is empty (the importer refuses it).
bool LoadExamplesSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                        std::u16string& message);

// One article at `text`: the article element (the whole text), the sentence
// after "A: " up to the first TAB, "#" or LF, the translation after a TAB up
// to the next "#" or LF, and the rest to the end. A CR before a line end
// belongs to neither sentence nor translation. The article's element number,
// -1 when the text does not begin "A: " or there is no memory.
int32_t ParseExamplesLine(CDictionary& dictionary, const char16_t* text, int32_t length);

// The whole UTF-16 text, cut before each LF followed by "A:"; each piece that
// begins "A: " is an article (the cutting LF its last character). Progress in
// characters after each article. Fewer than 14 bytes give 0; so does a zero
// from a callback.
int32_t ImportExamples(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                       const ImportCallbacks& callbacks);
