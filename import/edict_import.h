// The EDICT line parser joined to a dictionary object: the importer of
// format types 3 to 5 (EDICT and ENAMDICT, JR-EDICT, the EDICT variant) for
// whole sources and stored records, and the line walk it shares with the
// KANJIDIC importer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "dictionary/import_services.h"
#include "import/edict_parser.h"

class CDictionary;

// Appends the text to the dictionary's text buffer and parses it there, one
// article per line. Mode 0 a whole source (root element first; only the
// first non-empty line may be the header), source_lines::kLaterSourcePart a
// later part of one, any other mode one stored article. Fewer than 14 bytes
// give 0; so does a zero from a callback.
int32_t ImportEdict(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks);

// The pieces both line importers share.
namespace source_lines {

// The mode of a later part of a whole source, cut where a line ends: read as
// mode 0 reads it (root element first, progress reported), but no line of it
// is a header; the first part is read in mode 0. The compiler reads a
// one-record-a-line source in such parts, so the text buffer never holds the
// whole source beside the compiler's own copy.
inline constexpr int32_t kLaterSourcePart = 3;

// The start of a line import: at least 14 bytes, the text copied into the
// dictionary's text buffer (after what it holds), the dictionary's word or
// kanji flag set and, in mode 0 or kLaterSourcePart, the root element added.
// The offset of the text's first unit in the buffer, -1 when the text is too
// short or there is no room.
int32_t BeginImport(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    uint32_t dictionaryFlag);

// A line of the buffer: [begin, end) without CR, U+FEFF or LF; `next` is
// where the following line starts, `hasLineFeed` whether an LF ends it.
struct Line {
    int32_t begin = 0;
    int32_t end = 0;
    int32_t next = 0;
    bool hasLineFeed = false;
};
Line NextLine(std::u16string_view buffer, int32_t from);

// Adds an element for each part, its text at `lineBegin` + the part's offset
// in the text buffer; the number of the first one added, -1 when out of memory.
int32_t AddParts(CDictionary& dictionary, int32_t lineBegin, std::span<const SourcePart> parts);

// Adds an element of `kind` for [text, text + length); its number, -1 when
// out of memory.
int32_t AddSpan(CDictionary& dictionary, uint32_t kind, const char16_t* text, int32_t length);
// Adds the article element (kind 2) spanning the whole text; its number, -1
// when out of memory.
int32_t AddArticleSpan(CDictionary& dictionary, const char16_t* text, int32_t length);

// The per-article callback for the elements of kinds 2 and 15 to 17 from
// `first` on, the last made first; 0 when one answers 0.
int32_t ReportArticles(CDictionary& dictionary, int32_t first, const ImportCallbacks& callbacks);

// Tells the callbacks that a line of a whole source was skipped.
void ReportSkippedLine(int32_t mode, const ImportCallbacks& callbacks);
// Tells the callbacks that a whole source ends before its own end, and why.
void ReportSourceNotWhole(int32_t mode, const ImportCallbacks& callbacks, std::u16string_view reason);

// In mode 0 (or of a later part), the progress callback after a line; 0 when it answers 0.
int32_t ReportProgress(int32_t mode, int32_t done, int32_t total, const ImportCallbacks& callbacks);

}  // namespace source_lines
