// The result list and the word context.
#include "latin/parse_record.h"

#include <cstdio>
#include <cstring>

uint32_t NextBudgetSerial() {
    static uint32_t serial = 0;
    return ++serial;
}

WordContext g_word;
WordBudget g_budget;

bool ResultList::Insert(int position, const ParseRecord& record) {
    if (Full() || position < 0 || position > last + 1) return false;
    for (int i = last; i >= position; --i) records[i + 1] = records[i];
    records[position] = record;
    ++last;
    return true;
}

void ResultList::Remove(int position) {
    if (position < 0 || position > last) return;
    for (int i = position; i < last; ++i) records[i] = records[i + 1];
    --last;
}

std::unique_ptr<ResultList> NewResultList() { return std::make_unique<ResultList>(); }

ParseRecord MakeTagRecord(const char* text, int32_t partOfSpeech, int32_t kind, uint32_t id) {
    ParseRecord record;
    std::snprintf(record.stem, sizeof record.stem, "%s", text);
    record.inflection.partOfSpeech = partOfSpeech;
    record.kind = kind;
    record.id = id;
    return record;
}

void SetNote(int kind, const char* text) {
    if (kind < 0 || kind >= 7) return;
    std::snprintf(g_word.notes[kind], kNoteSize, "%s", text);
}
