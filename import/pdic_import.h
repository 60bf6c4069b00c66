// The PDIC version-4 binary dictionary (format type 7, Shift-JIS): the
// compiler's loader, the importer that walks the data blocks and turns each
// word record into one entry text in the dictionary's text buffer, and the
// one-entry parser of stored records.
//
// Header (little-endian):
// | offset | width | meaning                         |
// |--------|-------|---------------------------------|
// | 140    | u16   | version, 0x0400                 |
// | 146    | u16   | block size in bytes             |
// | 148    | u16   | number of index blocks          |
// | 160    | u32   | number of words                 |
// Data blocks start at block (index blocks + 1) x block size: an i16 span
// (blocks covered; 0 = an empty block, counted as 1), then word records
// {u16 L, u8 P shared with the previous word, L bytes: rest of the word to a
// zero byte (at most 512), attribute byte, translation, extension fields when
// the attribute has 0x10}, ended by L = 0. Extension field: type byte, then
// its contents to a zero byte (low four bits 1 text, 2 binary, 0 skipped;
// above 2 or any of 0x70 ends the record; a type above 127 ends it after it).
// Entry text: word, U+0000, attribute as one unit, translation [U+0000, then
// per field its type as one unit and its contents (text + U+0000)].
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class CDictionary;

inline constexpr uint32_t kPdicMinimumBytes = 256;
inline constexpr uint16_t kPdicVersion4 = 0x0400;

// Adds the article element, the headword (the word up to the first zero, a
// homonym number such as "(2)" cut off a Latin word) and the sense (after the
// attribute unit). The article's element number, -1 for an empty entry or
// no memory.
int32_t ParsePdicEntry(CDictionary& dictionary, const char16_t* text, int32_t length);

// Walks the data blocks (mode 0: root element first) and parses each word
// record as one entry in the emptied text buffer; reading stops when the
// header's number of words is reached or the blocks end. A file that ends
// first (at a block boundary, or inside a block, whose whole records are
// read) is told as not whole with both counts. 0 for fewer than 256 bytes,
// another version, a zero callback answer, or a length that runs past its
// record or block within the file (what was reported before is kept).
int32_t ImportPdic(CDictionary& dictionary, const void* bytes, uint32_t sizeInBytes, int32_t mode,
                   const ImportCallbacks& callbacks);

// The compiler's loader of the PDIC rule: the file's bytes, when the version
// at offset 140 is 0x0400 and the words and text fields of every record are
// Shift-JIS (else the first record that is not is named in `message`).
bool LoadPdicSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);
