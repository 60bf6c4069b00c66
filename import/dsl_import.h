// The DSL source format on a dictionary object: the whole-text importer
// (articles of headword lines and indented body lines, "#NAME" and
// "#INCLUDE" directives, "{{...}}" comments) and the one-article parser
// that stored DSL records go through.
#pragma once

#include <cstdint>

#include "dictionary/import_services.h"

class CDictionary;

// Mode 0: a whole text (root element first, the name element, then each
// article parsed and handed to the callbacks); other modes parse one stored
// article. 0 when a callback answers 0, when an "#INCLUDE" line is left in
// the text, or without memory.
int32_t ImportDsl(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                  const ImportCallbacks& callbacks);

// One article lying in the dictionary's text buffer: the article element
// (kind 2), a headword element per headword line (4 with ideographs, 3 kana,
// 8 other words below U+2000, else the index language's kind), in Chinese
// mode kind-3 pinyin syllables, and the body (kind 5). The number of the
// article element, -1 without memory. Articles holding "Unicode:" are
// character records (ParseUnihanRecord).
int32_t ParseDslArticle(CDictionary& dictionary, const char16_t* text, int32_t length);

// A character-database record: kind-4 headwords, kind-3 readings of the
// Mandarin(P), Japanese(On) and Japanese(Kun) lines, and the body.
int32_t ParseUnihanRecord(CDictionary& dictionary, const char16_t* text, int32_t length);

// The registry's one-article parser of format 9.
int32_t ParseDslRecordArticle(CDictionary& dictionary, const char16_t* text, int32_t length);
