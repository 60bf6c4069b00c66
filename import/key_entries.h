// Writing one dictionary key into its index, and removing it again: the
// key's segments by the index's layout (101 and 102: two texts; 106: text
// and the Word 1), and the removal of only the entries of one article.
#pragma once

#include "import/article_keys.h"
#include "storage/dms_status.h"
#include "storage/index_values.h"

#include <cstdint>

class CDMS;

// Inserts `key` with `ref` through `handle`, a cursor on index `indexId`.
DmsStatus InsertDictionaryKey(CDMS& engine, uint32_t handle, int32_t indexId, const DictionaryKey& key, RecordRef ref);

// Deletes every entry of `key` whose reference points at the article at
// `position`, leaving the entries of other articles with the same key.
// 0 when done (also when there is none), else the first failing status.
DmsStatus RemoveDictionaryKey(CDMS& engine, uint32_t handle, int32_t indexId, const DictionaryKey& key,
                              uint32_t position);
