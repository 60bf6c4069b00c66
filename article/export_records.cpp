// The record sources of printing and export.
#include "article/export_records.h"

#include <algorithm>

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/selection.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"

WordListExportRecords::WordListExportRecords(WordList& list, const CSelection* selection) : list_(list) {
    if (selection == nullptr) {
        rows_.reserve(static_cast<size_t>(std::max(list.RowCount(), 0)));
        for (int32_t row = 0; row < list.RowCount(); ++row) rows_.push_back(row);
        return;
    }
    for (int32_t row = selection->NextSelected(-1); row >= 0; row = selection->NextSelected(row))
        rows_.push_back(row);
}

std::u16string_view WordListExportRecords::ShownText(int32_t index) {
    if (index < 0 || index >= Count() || !list_.IsStored()) return {};
    const WordListEntry* entry = list_.RowEntry(rows_[static_cast<size_t>(index)]);
    if (entry == nullptr || (entry->flags & kEntryOwnText) == 0) return {};
    return list_.PoolText(entry->textOffset, entry->textLength);
}

CDictionary* WordListExportRecords::Load(int32_t index) {
    if (index < 0 || index >= Count()) return nullptr;
    CCursor* cursor = list_.GetEntry(rows_[static_cast<size_t>(index)]);
    if (cursor == nullptr || cursor->dictionary == nullptr || cursor->LoadArticle() != 1) return nullptr;
    return cursor->dictionary;
}

DictionaryExportRecords::DictionaryExportRecords(CDictionary& dictionary) : dictionary_(dictionary) {
    CDMS& engine = dictionary.Engine();
    EngineCursor cursor(engine, dictionary.fileId);
    for (int32_t indexId : {kIndexArticles, kIndexReadingWord, kIndexWordReading, kIndexTranslationWords}) {
        if (Failed(cursor.SelectIndex(indexId))) continue;
        EntryPosition position;
        for (DmsStatus st = engine.First(cursor.handle(), nullptr, &position); !Failed(st);
             st = engine.Next(cursor.handle(), nullptr, &position))
            if (position.ref.first != 0) positions_.push_back(position.ref.first);
    }
    std::sort(positions_.begin(), positions_.end());
    positions_.erase(std::unique(positions_.begin(), positions_.end()), positions_.end());
}

DictionaryExportRecords::DictionaryExportRecords(CDictionary& dictionary, int32_t indexId) : dictionary_(dictionary) {
    CDMS& engine = dictionary.Engine();
    EngineCursor cursor(engine, dictionary.fileId);
    if (Failed(cursor.SelectIndex(indexId))) return;
    EntryPosition position;
    for (DmsStatus st = engine.First(cursor.handle(), nullptr, &position); !Failed(st);
         st = engine.Next(cursor.handle(), nullptr, &position))
        if (position.ref.first != 0) positions_.push_back(position.ref.first);
}

void DictionaryExportRecords::KeepFirst(int32_t count) {
    if (count >= 0 && static_cast<size_t>(count) < positions_.size()) positions_.resize(static_cast<size_t>(count));
}

CDictionary* DictionaryExportRecords::Load(int32_t index) {
    if (index < 0 || index >= Count()) return nullptr;
    const uint32_t position = positions_[static_cast<size_t>(index)];
    CDMS& engine = dictionary_.Engine();
    EngineCursor cursor(engine, dictionary_.fileId);
    uint32_t size = 0;
    if (!cursor.ok() || Failed(engine.ReadData(cursor.handle(), position, nullptr, &size)) || size < 10)
        return nullptr;
    uint8_t* buffer = dictionary_.ReserveRecordBuffer(size);
    uint32_t read = size;
    if (buffer == nullptr || Failed(engine.ReadData(cursor.handle(), position, buffer, &read)) || read != size)
        return nullptr;
    dictionary_.SetRecordSize(size);
    if (dictionary_.ParseRecord(buffer, size) != 1 || dictionary_.ElementCount() <= 0) return nullptr;
    return &dictionary_;
}
