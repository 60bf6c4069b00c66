// Property records: the small records of index 1 that carry a dictionary's
// header texts (name, copyright, ..., index language) and, for Latin
// dictionaries, the analyser's embedded data files. All calls work on an
// engine cursor of an open dictionary file and return a DmsStatus.
//
// Text form, a data block of record type 1 (little-endian):
//   offset  size   meaning
//   0       4      property id (u32)
//   4       4      0
//   8       2      0
//   10      2 * n  the text, UTF-16, no terminating zero (block size 10 + 2n)
// Raw form: the block holds only the caller's bytes.
// Index 1 entry of either form: key {property id as a Word}, reference
// {data position of the block, 0}.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "storage/dms_status.h"

class CDMS;

// Property ids.
enum PropertyId : int32_t {
    kPropertyName = 1,
    kPropertyCopyright = 2,
    kPropertyComment = 3,
    kPropertyVersion = 4,            // FormatVersionString's text
    kPropertyInstallationId = 5,     // the creating program's "CLSID1" registry value
    kPropertyIdentity = 6,           // a GUID in registry form, braces included (38 units)
    kPropertyCreationTime = 7,       // local, "%d-%02d-%02d %02d:%02d:%02d"
    kPropertyIndexLanguage = 8,      // read only: nothing in the program writes it
    kPropertyInflectionsFirst = 21,  // raw: the Latin analyser's INFLECTS.SEC in five
    kPropertyInflectionsLast = 25,   //   pieces of kInflectionsPieceBytes
    kPropertyLatinAddons = 31,       // raw: the Latin analyser's ADDONS.LAT, whole
};
inline constexpr int32_t kHeaderTextCount = 8;  // properties 1 to 8 are the header texts
inline constexpr uint32_t kInflectionsPieceBytes = 22800;
inline constexpr uint32_t kPropertyHeaderBytes = 10;

// Writes the text form of property `id`: 0 without writing anything when the
// text is absent; else the first failing step's status (block, then entry).
// Rewriting a property is DeleteDictionaryProperty, then this.
DmsStatus PutDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id, std::optional<std::u16string_view> text);
// The raw form: 0 without writing anything when `bytes` is null.
DmsStatus PutDictionaryPropertyData(CDMS& engine, uint32_t cursor, int32_t id, const void* bytes, uint32_t size);
// Removes the entry and frees its block; a missing property is not an error.
DmsStatus DeleteDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id);

// Replaces `text` with the property's text. On any failure `text` is left as
// it was: 4 "Record not found" when the property is absent, 45 when its block
// is shorter than the 10-byte header (a raw property or damage). An odd byte
// count drops the last byte.
DmsStatus GetDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id, std::optional<std::u16string>& text);
// Reads the raw block into `buffer` and sets `*size` to its length. A block
// larger than `*size` reads nothing, answers 45 and sets `*size` to the size
// needed; a null buffer only reports the size.
DmsStatus GetDictionaryPropertyData(CDMS& engine, uint32_t cursor, int32_t id, void* buffer, uint32_t* size);

// The program's version text: "11.11.0.<build>", then when either marker is
// wanted one blank, then " I" for an imported (compiled) dictionary and " P"
// for an editable one. Returns 1.
int32_t FormatVersionString(std::u16string& out, int32_t build, bool importMarker, bool personalMarker);
