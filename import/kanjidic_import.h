// The KANJIDIC line parser joined to a dictionary object: the importer of
// format type 6 for whole sources and stored records.
#pragma once

#include <cstdint>

#include "dictionary/import_services.h"

class CDictionary;

// Appends the text to the dictionary's text buffer and parses it there, one
// kanji per line. Mode 0 a whole source (root element first, the first line
// its header), source_lines::kLaterSourcePart a later part of one (see
// edict_import.h), any other mode one stored article. Each article's parameter
// text is appended to the text buffer behind the source, so its kind-14
// element stays valid after the call. A last line without LF is finished
// at the end of the text. Fewer than 14 bytes give 0; so does a zero from a
// callback.
int32_t ImportKanjidic(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                       const ImportCallbacks& callbacks);
