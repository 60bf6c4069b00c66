// Reading a Latin dictionary entry from its fixed-column code line.
#include "latin/dictionary_entry.h"

#include <cstring>

#include "latin/latin_host.h"

namespace {

const char* SkipBlanks(const char* text) {
    while (*text == ' ') ++text;
    return text;
}

// Letters from the column, at most 18, up to the first other character.
void ReadStem(const char* line, int length, int column, char* stem) {
    int n = 0;
    for (int i = column; i < length && n < kMaxStem; ++i) {
        char c = line[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) break;
        stem[n++] = c;
    }
    stem[n] = 0;
}

}  // namespace

void ParseDictionaryLine(const char* line, DictionaryEntry* entry, const char** end) {
    *entry = DictionaryEntry{};
    const int length = static_cast<int>(std::strlen(line));
    for (int i = 0; i < 4; ++i) ReadStem(line, length, kStemColumns[i], entry->stems[i]);
    const char* p = line + (length < kPartEntryColumn ? length : kPartEntryColumn);
    ParsePartEntry(p, &entry->part, &p);
    const CodeTable* tables[5] = {&kAgeCodes, &kAreaCodes, &kGeographyCodes, &kFrequencyCodes,
                                  &kSourceCodes};
    int32_t* codes[5] = {&entry->age, &entry->area, &entry->geography, &entry->frequency,
                         &entry->source};
    for (int i = 0; i < 5; ++i) {
        p = SkipBlanks(p);
        *codes[i] = ParseEnumName(p, *tables[i], &p);
    }
    if (end != nullptr) *end = p;
    p = SkipBlanks(p);
    CopyPadded(entry->meaning, p, kMeaningWidth, ' ');
}

int ReadDictionaryEntry(DictionaryEntry* entry, uint32_t recordId) {
    if (g_latinHost.readEntryText == nullptr) return 255;
    char text[kEntryTextSize] = {};
    int status = g_latinHost.readEntryText(recordId, text, kEntryTextSize);
    if (status != 0) return status;
    text[kEntryTextSize - 1] = 0;
    ParseDictionaryLine(text, entry, nullptr);
    return 0;
}
