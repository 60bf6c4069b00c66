// The own markup parser joined to a dictionary object: the importer of
// format types 1 (word markup) and 2 (kanji markup) that the dictionary
// object calls for whole sources and for stored records (registered by
// import_registration.h).
#pragma once

#include <cstdint>

#include "dictionary/import_services.h"

class CDictionary;

// Appends the text to the dictionary's text buffer and parses it there into
// the dictionary's elements. Mode 0 a whole "{\rdf1"/"{\rdf2" text (sets the
// dictionary's word or kanji flag), 1 a stored word article, 2 a stored kanji
// article. 1 or 0; a null text gives 1.
int32_t ImportRdfText(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks);
