// Dictionary files for the benchmarks: (reading, word) keys bulk-loaded into
// the reading index of a new file, and with `kanjiIndex` the (word, reading)
// keys of the entries written with kanji into the kanji index.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "storage/dms.h"

inline void MakeKeyDictionary(CDMS& engine, const std::u16string& path,
                              const std::vector<std::pair<std::u16string, std::u16string>>& keys,
                              bool kanjiIndex = false) {
    SystemStorageIO().Delete(path);
    int32_t id = 0;
    engine.CreateFile(path, DictionarySchemaText);
    engine.OpenFile(path, 1, DictionarySchemaText, &id);
    {
        EngineCursor cursor(engine, id);
        for (int32_t index : {kIndexReadingWord, kIndexWordReading}) {
            if (index == kIndexWordReading && !kanjiIndex) break;
            engine.SelectIndex(cursor.handle(), index);
            engine.BeginBulkLoad(cursor.handle());
            for (size_t i = 0; i < keys.size(); ++i) {
                std::u16string first = keys[i].first, second = keys[i].second;
                if (index == kIndexWordReading) {
                    if (second.empty() || second == first) continue;  // kana words: reading index only
                    std::swap(first, second);
                }
                KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                          {second.data(), static_cast<int32_t>(second.size() * 2)}};
                engine.InsertKey(cursor.handle(), key, RecordRef{static_cast<uint32_t>(i + 1), 0});
            }
            engine.EndBulkLoad(cursor.handle());
        }
    }
    engine.CloseFile(id);
}
