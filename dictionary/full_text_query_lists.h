// The hit lists of a query's words read straight from their data pages: the
// records are taken as the block's chunks come, without first copying the
// block, and a read for some articles only stops at the last of them, so the
// pages behind it are never loaded (nor inflated).
#pragma once

#include "dictionary/full_text_query_search.h"
#include "storage/dms_status.h"

#include <cstdint>
#include <vector>

class CDMS;
class DMSFile;

// A word's hit list in the file: the data position of its block and the
// block's size in bytes, as its first chunk gives it.
struct StoredHitList {
    uint32_t position = 0;
    uint32_t bytes = 0;
};

// The list index 111 names for `id` (its first chunk read): Success;
// RecordNotFound when the id is absent or its block freed (no list is
// there); else the engine's refusal of the index or the block.
DmsStatus FindStoredHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, StoredHitList& out);

// The records of the stored list at `position`, read as HitList::FromBlock
// reads a block (up to the first record that runs past the end or whose
// position does not ascend): all of them, or with `wanted` (ascending) only
// the articles it names, the walk ending after the last of them. Success;
// RecordNotFound when the part of the chain walked is freed; else the
// engine's refusal of it (the whole chain is walked for a read of every record).
DmsStatus ReadStoredHitList(DMSFile& file, uint32_t position, const std::vector<uint32_t>* wanted, HitList& out);

// The records of `list` whose article `wanted` (ascending) names.
HitList KeepArticles(const HitList& list, const std::vector<uint32_t>& wanted);
