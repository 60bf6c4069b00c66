// The EIJIRO line text (format type 8, Shift-JIS "■headword : translation"
// lines): the compiler's loader, the importer that converts one line at a
// time into the dictionary's text buffer, the one-line parser of stored
// records, and the headword script rule it shares with the PDIC parser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class CDictionary;

// Headword element kinds by script: 3 kana only (U+3041..U+30FE), 4 kana or
// CJK ideographs among other characters, 8 anything else.
uint32_t HeadwordKindOfScript(std::u16string_view word);

// The parts of one EIJIRO line, as offsets into it. `article` is false when
// the line does not begin with "■"; `headwordLength` 0 and `senseBegin` -1
// when the line has no ":" (then only the article element is made). An empty
// headword (a ":" right after "■") makes no headword element.
struct EijiroLineParts {
    bool article = false;
    int32_t headwordBegin = 1;
    int32_t headwordLength = 0;
    uint32_t headwordKind = 8;
    int32_t senseBegin = -1;
};
EijiroLineParts SplitEijiroLine(std::u16string_view line);

// Adds the article element and, as far as the line has them, the headword and
// the sense; the elements point into `text`. The article's element number,
// -1 when the line does not begin with "■" or there is no memory.
int32_t ParseEijiroLine(CDictionary& dictionary, const char16_t* text, int32_t length);

// The whole Shift-JIS source, line by line (CR ignored, empty lines skipped):
// each line is converted into the emptied text buffer (the root element
// first in mode 0) and parsed; the callback runs for its article element, and
// a line without "■" is told as skipped. Fewer than 14 bytes give 0; so does a zero from a callback.
int32_t ImportEijiro(CDictionary& dictionary, const void* bytes, uint32_t sizeInBytes, int32_t mode,
                     const ImportCallbacks& callbacks);

// Reads a file's bytes unchanged into UTF-16 units for the compiler (an odd
// last byte is followed by a zero byte); the importers take the bytes back.
// The number of bytes read, 0 when the file is empty or cannot be read.
uint32_t LoadSourceBytes(std::u16string_view path, std::u16string& text);

// The compiler's loader of the EIJIRO rule: the file's bytes, when the
// sniffer's EIJIRO flag 0x20 is set and every line is Shift-JIS (else the
// first line that is not is named in `message`).
bool LoadEijiroSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                      std::u16string& message);
