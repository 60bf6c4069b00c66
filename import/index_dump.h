// A readable dump of a compiled dictionary's indexes, for the command-line
// dump tool and for tests that compare two compiles: one line per entry with
// its key segments and its reference, the data position replaced by the
// article number stored in the record it points at, so files that hold the
// same articles in other places dump the same.
#pragma once

#include "storage/dms_status.h"

#include <cstdint>
#include <string>

class CDMS;

// Entries of `indexId` in key order (indexes 0, 1, 3, 101, 102, 106, 110,
// 111 and 121 are known). Appends to `out`; the first failing status, or 0
// at the end of the index.
// With `byText` the article is named by its text instead of its number, so
// that a file changed article by article compares with a fresh compile once
// both dumps are sorted.
DmsStatus DumpIndex(CDMS& engine, int32_t fileId, int32_t indexId, std::string& out, bool byText = false);
// The full-text index as one line per hit record: the word (index 110), the
// text of the article, its hits in hex. Unsorted.
DmsStatus DumpFullTextByText(CDMS& engine, int32_t fileId, std::string& out);
// The entry count of an index.
DmsStatus CountIndexEntries(CDMS& engine, int32_t fileId, int32_t indexId, uint32_t& count);
