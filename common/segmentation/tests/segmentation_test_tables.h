// Small break-property tables for segmentation tests: only the code points
// the cases use, with the classes Unicode 5.2 gives them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "common/segmentation/break_properties.h"
#include "common/segmentation/text_segmentation.h"

struct RangeRecord {
    uint32_t first, last, value;
};

inline std::vector<uint8_t> EncodeRecords(std::initializer_list<RangeRecord> records) {
    std::vector<uint8_t> bytes;
    for (const RangeRecord& r : records)
        for (uint32_t v : {r.first, r.last, r.value})
            for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
    return bytes;
}

inline int32_t SampleCategory(char16_t u) {
    if (u >= u'A' && u <= u'Z') return 1;
    if (u >= u'a' && u <= u'z') return 2;
    if (u >= u'0' && u <= u'9') return 9;
    if (u == u' ' || u == 0x3000) return 23;
    if (u == u'_') return 12;
    if (u < 0x20) return 26;
    if (u < 0x80 || u == 0xB7) return 18;
    if (u >= 0x3001 && u <= 0x3003) return 18;
    if (u >= 0x3041 && u <= 0x30FF) return 5;
    if (u >= 0xFF10 && u <= 0xFF19) return 9;
    return 0;
}

class SampleBreakTables;
const SampleBreakTables& Sample();

class SampleBreakTables {
public:
    SampleBreakTables() {
        word_ = BuildBreakClassArray(BreakTable::Word, EncodeRecords({
            {0x0A, 0x0A, 10}, {0x0D, 0x0D, 9}, {0x27, 0x27, 12}, {0x2C, 0x2C, 12}, {0x2E, 0x2E, 12},
            {0x30, 0x39, 6}, {0x3A, 0x3A, 4}, {0x3B, 0x3B, 12}, {0x41, 0x5A, 3}, {0x5F, 0x5F, 7},
            {0x61, 0x7A, 3}, {0xB7, 0xB7, 4}, {0xC0, 0xFF, 3}, {0x300, 0x36F, 8}, {0x3005, 0x3005, 3},
            {0x30A1, 0x30FA, 2}, {0x30FC, 0x30FF, 2}, {0x200B, 0x200B, 1}, {0x2027, 0x2027, 4}, {0x10400, 0x1044F, 3}}));
        sentence_ = BuildBreakClassArray(BreakTable::Sentence, EncodeRecords({
            {0x0A, 0x0A, 2}, {0x0D, 0x0D, 1}, {0x20, 0x20, 6}, {0x21, 0x21, 12}, {0x22, 0x22, 13},
            {0x29, 0x29, 13}, {0x2E, 0x2E, 11}, {0x30, 0x39, 10}, {0x3F, 0x3F, 12}, {0x41, 0x5A, 8},
            {0x61, 0x7A, 7}, {0x300, 0x36F, 3}, {0x2029, 0x2029, 4}, {0x3002, 0x3002, 12},
            {0x300C, 0x300D, 13}, {0x3041, 0x30FF, 9}, {0x4E00, 0x4E00, 9}, {0x4E01, 0x9FFF, 9}}));
        line_ = BuildBreakClassArray(BreakTable::Line, EncodeRecords({
            {0x0A, 0x0A, 32}, {0x0D, 0x0D, 31}, {0x20, 0x20, 28}, {0x28, 0x28, 0}, {0x29, 0x29, 2},
            {0x2C, 0x2C, 8}, {0x2D, 0x2D, 15}, {0x2E, 0x2E, 8}, {0x30, 0x39, 11}, {0x41, 0x5A, 12},
            {0x61, 0x7A, 12}, {0x300, 0x36F, 20}, {0xE01, 0xE2E, 27}, {0x3001, 0x3002, 1},
            {0x3041, 0x3096, 13}, {0x30A1, 0x30FA, 13}, {0x4E00, 0x9FCB, 13}, {0xD800, 0xDFFF, 35}}));
        bidi_ = BuildBreakClassArray(BreakTable::Bidi, EncodeRecords({
            {0x300, 0x36F, 13}, {0x900, 0x902, 13}, {0x5D0, 0x5EA, 2}}));
        tables_.word = word_.get();
        tables_.sentence = sentence_.get();
        tables_.line = line_.get();
        tables_.bidi = bidi_.get();
        tables_.category = SampleCategory;
    }
    const BreakProperties& Tables() const { return tables_; }

private:
    std::unique_ptr<BreakClassArray> word_, sentence_, line_, bidi_;
    BreakProperties tables_;
};

inline const SampleBreakTables& Sample() {
    static SampleBreakTables tables;
    return tables;
}

inline TextSegmenter Segmenter() { return TextSegmenter(Sample().Tables()); }

inline int32_t Len(std::u16string_view t) { return static_cast<int32_t>(t.size()); }
