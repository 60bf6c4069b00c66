// Expansion of the range-record tables into per-code-point class arrays and
// the fixed overrides the segmenters rely on.
#include "common/segmentation/break_properties.h"

#include <algorithm>
#include <new>

#include "common/unicode/char_tables.h"
#include "common/unicode/data_resource.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr size_t kRecordSize = 12;

}  // namespace

void ExpandRangeRecords(std::span<const uint8_t> records, int8_t defaultValue, BreakClassArray& out) {
    out.fill(defaultValue);
    for (size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
        const uint8_t* record = records.data() + at;
        uint32_t first = ReadU32(record);
        uint32_t last = ReadU32(record + 4);
        int8_t value = static_cast<int8_t>(ReadU32(record + 8));
        if (first > last || first >= kBreakTableCodePoints) continue;
        last = std::min<uint32_t>(last, kBreakTableCodePoints - 1);
        std::fill(out.begin() + first, out.begin() + last + 1, value);
    }
}

void ApplyWordBreakOverrides(BreakClassArray& word) {
    constexpr int8_t kOther = 0, kNumeric = 6;
    for (char32_t cp : {U':', U'\u00B7', U';', U'<', U'\u3005'}) word[cp] = kOther;
    for (char32_t cp = 0xFF10; cp <= 0xFF19; ++cp) word[cp] = kNumeric;
}

void ApplySentenceBreakOverrides(BreakClassArray& sentence) {
    constexpr int8_t kOther = 0, kATerm = 11, kSTerm = 12;
    sentence[0x2026] = kATerm;
    sentence[U':'] = kSTerm;
    sentence[U';'] = kSTerm;
    for (char32_t cp : {0x300C, 0x300E, 0xFF08, 0x3014, 0xFF3B, 0xFF5B, 0x3008, 0x300A, 0x3010})
        sentence[cp] = kOther;
}

std::unique_ptr<BreakClassArray> BuildBreakClassArray(BreakTable table, std::span<const uint8_t> records,
                                                      const CharTableBlob* categories) {
    std::unique_ptr<BreakClassArray> array(new (std::nothrow) BreakClassArray);
    if (!array) return nullptr;
    switch (table) {
        case BreakTable::Word:
            ExpandRangeRecords(records, kWordBreakDefault, *array);
            ApplyWordBreakOverrides(*array);
            break;
        case BreakTable::Sentence:
            ExpandRangeRecords(records, kSentenceBreakDefault, *array);
            ApplySentenceBreakOverrides(*array);
            break;
        case BreakTable::Line: {
            constexpr int8_t kUnlisted = -1;
            ExpandRangeRecords(records, kUnlisted, *array);
            for (char32_t cp = 0; cp < kBreakTableCodePoints; ++cp) {
                if ((*array)[cp] != kUnlisted) continue;
                bool assigned = categories && categories->Entry(cp) != 0;
                (*array)[cp] = assigned ? kLineBreakOP : kLineBreakXX;
            }
            break;
        }
        case BreakTable::Bidi:
            ExpandRangeRecords(records, kBidiClassDefault, *array);
            break;
    }
    return array;
}

namespace {

struct LoadedBreakTables {
    std::unique_ptr<BreakClassArray> word, sentence, line, bidi;
    BreakProperties view;
};

void LoadMissing(std::unique_ptr<BreakClassArray>& slot, BreakTable table, const char* name) {
    if (slot) return;
    const CharTableBlob* categories = nullptr;
    if (table == BreakTable::Line && !(categories = CategoryTable())) return;
    InflatedData data;
    if (!InflateDataResource(name, data)) return;
    slot = BuildBreakClassArray(table, data.Bytes(), categories);
}

}  // namespace

const BreakProperties& ProgramBreakProperties() {
    static LoadedBreakTables* const tables = new LoadedBreakTables;
    LoadMissing(tables->word, BreakTable::Word, "WORD_BREAK_PROPERTIES");
    LoadMissing(tables->sentence, BreakTable::Sentence, "SENTENCE_BREAK_PROPERTIES");
    LoadMissing(tables->line, BreakTable::Line, "LINE_BREAK_PROPERTIES");
    LoadMissing(tables->bidi, BreakTable::Bidi, "DERIVED_BIDI_CLASS");
    tables->view = {tables->word.get(), tables->sentence.get(), tables->line.get(), tables->bidi.get(),
                    GetCharCategory};
    return tables->view;
}
