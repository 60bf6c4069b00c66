// LatinLineStems, the stem-index key segments, and the [ls] section layout.
#include "latin/stem_lines.h"

#include <algorithm>
#include <cstdio>

#include "latin/grammar_codes.h"

namespace {

// A field of the line cut to width and trimmed of trailing blanks.
std::u16string_view Field(std::u16string_view line, int column, int width) {
    if (line.size() <= static_cast<size_t>(column)) return {};
    std::u16string_view field = line.substr(column, width);
    const size_t lineEnd = field.find(u'\n');
    if (lineEnd != std::u16string_view::npos) field = field.substr(0, lineEnd);
    while (!field.empty() && (field.back() == u' ' || field.back() == u'\r')) field.remove_suffix(1);
    return field;
}

bool Usable(std::u16string_view stem) { return !stem.empty() && stem != u"zzz"; }

// Does the blank-padded code field hold text at position?
bool HasAt(std::u16string_view codes, size_t position, std::u16string_view text) {
    char16_t padded[kCodeFieldWidth + 8];
    std::fill(std::begin(padded), std::end(padded), u' ');
    std::copy(codes.begin(), codes.end(), padded);
    if (position + text.size() > std::size(padded)) return false;
    return std::u16string_view(padded + position, text.size()) == text;
}

void AddRecord(StemRecords& out, std::u16string_view stem, std::u16string_view codes, char number) {
    if (out.count >= 4) return;
    char16_t* record = out.records[out.count++];
    std::copy(stem.begin(), stem.begin() + std::min<size_t>(stem.size(), kMaxKeyStem), record);
    std::copy(codes.begin(), codes.end(), record + kStemCodesColumn);
    record[kStemNumberColumn] = static_cast<char16_t>(number);
}

}  // namespace

void LatinLineStems(std::u16string_view line, StemRecords& out) {
    for (auto& record : out.records) {
        std::fill(std::begin(record), std::end(record) - 1, u' ');
        record[kStemRecordWidth] = 0;
    }
    out.count = 0;
    std::u16string_view stems[4];
    for (int s = 0; s < 4; ++s) stems[s] = Field(line, kStemColumns[s], kMaxStem);
    const std::u16string_view codes = Field(line, kCodeFieldColumn, kCodeFieldWidth);
    auto starts = [&codes](std::u16string_view p) { return codes.substr(0, p.size()) == p; };
    const bool shared = stems[0] == stems[1] && Usable(stems[0]);
    if (codes.size() == 16 && HasAt(codes, 11, u"TO_BE")) {
        AddRecord(out, stems[0], codes, '1');
        AddRecord(out, u"", codes, '2');
        AddRecord(out, stems[2], codes, '3');
        AddRecord(out, stems[3], codes, '4');
    } else if (starts(u"N ") && shared) {
        AddRecord(out, stems[0], codes, '0');
    } else if ((starts(u"ADJ ") || starts(u"V ")) && shared) {
        AddRecord(out, stems[0], codes, '0');
        if (Usable(stems[2])) AddRecord(out, stems[2], codes, '3');
        if (Usable(stems[3])) AddRecord(out, stems[3], codes, '4');
    } else if (starts(u"ADJ ") && HasAt(codes, 11, u"COMP ")) {
        AddRecord(out, stems[0], codes, '3');
    } else if (starts(u"ADJ ") && HasAt(codes, 11, u"SUPER ")) {
        AddRecord(out, stems[0], codes, '4');
    } else if (starts(u"ADV ") && HasAt(codes, 7, u"COMP ")) {
        AddRecord(out, stems[0], codes, '2');
    } else if (starts(u"ADV ") && HasAt(codes, 7, u"SUPER ")) {
        AddRecord(out, stems[0], codes, '3');
    } else if (starts(u"NUM ") && HasAt(codes, 11, u"CARD ")) {
        AddRecord(out, stems[0], codes, '1');
    } else if (starts(u"NUM ") && HasAt(codes, 11, u"ORD ")) {
        AddRecord(out, stems[0], codes, '2');
    } else if (starts(u"NUM ") && HasAt(codes, 11, u"DIST ")) {
        AddRecord(out, stems[0], codes, '3');
    } else if (starts(u"NUM ") && HasAt(codes, 11, u"ADVERB ")) {
        AddRecord(out, stems[0], codes, '4');
    } else {
        for (int s = 0; s < 4; ++s) {
            if (Usable(stems[s])) AddRecord(out, stems[s], codes, static_cast<char>('1' + s));
        }
    }
}

std::u16string_view StemKeyStem(const char16_t* record) {
    int n = 0;
    while (n < kMaxKeyStem && record[n] >= 0x21) ++n;
    return std::u16string_view(record, n);
}

std::u16string_view StemKeyCodes(const char16_t* record) {
    int n = 0;
    while (n < kMaxKeyCodes && record[kStemCodesColumn + n] != 0) ++n;
    return std::u16string_view(record + kStemCodesColumn, n);
}

void FormatStemIndexLine(char* out, std::u16string_view stem, std::u16string_view codes, uint32_t recordId) {
    auto put = [](char* at, std::u16string_view text, size_t width) {
        for (size_t i = 0; i < width; ++i) {
            const char16_t unit = i < text.size() ? text[i] : u' ';
            at[i] = unit < 256 ? static_cast<char>(unit) : '?';
        }
    };
    put(out, stem.substr(0, 79), 19);
    put(out + 19, codes, 47 - 19);
    std::snprintf(out + 47, 81 - 47, "%u", static_cast<unsigned>(recordId));
}

const char16_t* FindLsSection(const char16_t* begin, const char16_t* end, const char16_t** start, int32_t* length) {
    *start = nullptr;
    *length = 0;
    bool opened = false;
    for (const char16_t* p = begin; p < end; ++p) {
        if (*p != u'[') {
            if (*p == u']' && opened && *start == nullptr) *start = p + 1;
            continue;
        }
        if (end - p >= 3 && p[1] == u'l' && p[2] == u's' && !opened) {
            opened = true;
        } else if (end - p >= 5 && p[1] == u'/' && p[2] == u'l' && p[3] == u's' && *start != nullptr) {
            *length = static_cast<int32_t>(p - *start);
            return p + 5;
        }
    }
    return end;
}

int32_t LayOutCodeLine(const char16_t* text, int32_t length, char16_t* line) {
    static constexpr int kCommaColumns[] = {19, 38, 57, 76, 100};
    std::fill(line, line + kCodeLineWidth, u' ');
    line[kCodeLineWidth] = 0;
    int column = 0, commas = 0;
    int32_t i = 0;
    for (; i < length && text[i] != 0; ++i) {
        if (text[i] == u',') {
            if (commas < 5) column = kCommaColumns[commas];
            ++commas;
            if (i + 1 < length && text[i + 1] == u' ') ++i;
            continue;
        }
        if (column < kCodeLineWidth - 1) line[column++] = text[i];
    }
    line[column] = 0;
    return i;
}

int32_t LsSectionToCodeLine(char16_t* out, const char16_t* text, int32_t length) {
    const char16_t* start = nullptr;
    int32_t sectionLength = 0;
    FindLsSection(text, text + std::max(length, 0), &start, &sectionLength);
    char16_t line[kCodeLineWidth + 1];
    LayOutCodeLine(start != nullptr ? start : text, start != nullptr ? sectionLength : 0, line);
    int32_t n = 0;
    while (line[n] != 0) {
        out[n] = line[n];
        ++n;
    }
    out[n] = 0;
    return n;
}
