// Bulk-loads (reading, word) pairs into the reading index (101) and, for the
// pairs with a word, (word, reading) into the kanji index (102) of an open
// dictionary file: what the word translator reads, for its tests and benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dictionary/dictionary_schema.h"
#include "storage/dms.h"

// Record i gets the reference firstRef + i, or refs[i] when refs are given.
// The number of engine calls that failed.
inline int32_t LoadReadingAndKanjiKeys(CDMS& engine, uint32_t cursor,
                                       const std::vector<std::pair<std::u16string, std::u16string>>& keys,
                                       uint32_t firstRef = 1, const std::vector<uint32_t>& refs = {}) {
    int32_t failed = 0;
    auto check = [&](DmsStatus status) { failed += status == DmsStatus::Success ? 0 : 1; };
    for (int32_t index : {kIndexReadingWord, kIndexWordReading}) {
        check(engine.SelectIndex(cursor, index));
        check(engine.BeginBulkLoad(cursor));
        for (size_t i = 0; i < keys.size(); ++i) {
            std::u16string first = keys[i].first, second = keys[i].second;
            if (index == kIndexWordReading) {
                if (second.empty()) continue;
                std::swap(first, second);
            }
            KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                      {second.data(), static_cast<int32_t>(second.size() * 2)}};
            const uint32_t ref = i < refs.size() ? refs[i] : firstRef + static_cast<uint32_t>(i);
            check(engine.InsertKey(cursor, key, RecordRef{ref, 0}));
        }
        check(engine.EndBulkLoad(cursor));
    }
    return failed;
}
