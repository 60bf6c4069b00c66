// The WARODAI source format on a dictionary object: articles separated by
// blank lines, each a headword line (kana readings, writings in 【】) and
// sense lines, and the index-text cleaner of its article markup.
#pragma once

#include <cstdint>

#include "dictionary/import_services.h"

class CDictionary;

// Mode 0: a whole text (root first; each article parsed with its source line
// number, the first one stored as the comment when it begins with "*");
// other modes one stored article. Fewer than 14 bytes, a zero callback
// answer or no memory: 0 (what was added is kept).
int32_t ImportWarodai(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks);

// One article lying in the dictionary's text buffer, its first line being
// source line `firstLine`: the article element (kind 2), readings (3) and
// writings (4) with group numbers, further headword lines (19, 22, 25), sense
// lines (29, or 30 with derived words 6 and their translation 31). The
// article element's number, -1 without memory.
int32_t ParseWarodaiArticle(CDictionary& dictionary, const char16_t* text, int32_t length, int32_t firstLine);

// The registry's one-article parser of format 10.
int32_t ParseWarodaiRecordArticle(CDictionary& dictionary, const char16_t* text, int32_t length);

// Copies `text` to `out` (at most `maximum` units) without "<...>" tags and
// blanks after blanks. With `attributes` (one word per input unit,
// rewritten in place for the output): 0x100 in "<i>" (and on a "•" line up
// to its first unit from U+3000, and on the one or two units before a ")" or
// "." at the second or third place of a line), 0x200 in "(...)" and
// "〔...〕", 0x1000 on ",", 0x2000 on ";", 0x4000 at a line start. The units
// written; a final unit below U+0021 is not counted.
int32_t CleanArticleMarkup(char16_t* out, int32_t maximum, const char16_t* text, int32_t length,
                           uint16_t* attributes);
