// Compaction: rewrites every page of a file in file order, stored
// zlib-compressed where that is smaller (database_file.h), each moved down
// into the first space before it that fits, and cuts the file at the end of
// the last stored page. Used by the dictionary compiler after its bulk loads.
// A page already stored compressed moves as the bytes it is stored as (it is
// neither expanded nor compressed again), so each page of a compile is
// compressed once however many compactions follow; pages are read and
// written in spans of neighbouring places, outside the page cache.
#pragma once

#include "storage/database_file.h"
#include "storage/dms_status.h"

#include <cstdint>

// Per-mille progress; false asks compaction to stop (43).
using CompactionProgress = bool (*)(void* context, int32_t perMille);

// Compacts an open file (mode 1; 12 in the other modes). Adds a page
// allocation table when the file has none. A cancel (43) or a failure part
// way still writes the allocation table and the header, so every page is
// found where it now lies and the file stays readable. Pages are handled in
// runs of at most `runPages` (500); the table is written after each run.
DmsStatus CompactFile(DMSFile& file, CompactionProgress progress, void* context, uint32_t runPages = 500);
