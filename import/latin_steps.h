// The compiler's Latin steps: the analyser's data files stored in the
// dictionary before the steps, and step 121, the stem index.
//
// Properties: 21-25 INFLECTS.SEC in pieces of 22,800 bytes (bytes 0-113,999;
// a shorter file is padded with zero bytes, which end a section), 31 the
// whole ADDONS.LAT. Index 121 key: segment 1 the stem (at most 18), segment
// 2 the stem record from column 19 (at most 29, the codes and the stem
// number); reference flag 1.
#pragma once

#include <cstdint>
#include <string_view>

#include "storage/dms.h"

class CompileUi;
class CDictionary;

inline constexpr int32_t kPropertyInflectsFirst = 21;
inline constexpr int32_t kPropertyAddons = 31;
inline constexpr DmsStatus kLatinFileMissing = static_cast<DmsStatus>(255);

// True when the compile makes a Latin dictionary: the target's index
// language is "lat", or the source is a Latin word list.
bool IsLatinCompile(const CDictionary& target, uint32_t formatType);

// Finds a file of this name in the source's folder, case aside; empty when none.
std::u16string FindBesideSource(std::u16string_view source, std::u16string_view name);

// Stores INFLECTS.SEC and ADDONS.LAT found beside source; a missing file is
// said in a message box and answers 255; else the first failing write.
DmsStatus EmbedLatinSupplements(CDMS& engine, uint32_t propertyCursor, std::u16string_view source, CompileUi& ui);

// The index-121 keys of one stored article (format 16: its first line; a
// source with [ls] sections: each of them). Stops after the insert during
// which `cancelled` became true. With `remove` the article's entries are
// deleted instead (removing the article).
DmsStatus AddLatinStemKeys(CDMS& engine, uint32_t handle, std::u16string_view article, uint32_t formatType,
                           uint32_t position, const bool& cancelled, bool remove = false);
