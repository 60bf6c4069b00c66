// Loading INFLECTS.SEC through host callback 4: unpacking, validation, the
// kept table of section 5 and the two ending indexes.
#include "latin/inflection_table.h"

#include <cstring>
#include <vector>

#include "latin/grammar_codes.h"
#include "latin/latin_host.h"
#include "latin/latin_text.h"

InflectionTables g_inflections;

namespace {

uint32_t U32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(unsigned char* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

int32_t I8(const unsigned char* p) { return static_cast<signed char>(*p); }

// How many i8 fields follow the two u32 numbers for this part of speech.
int ByteFieldCount(int32_t partOfSpeech) {
    switch (partOfSpeech) {
    case POS_N: case POS_PRON: case POS_PACK: case POS_SUPINE: return 3;
    case POS_ADJ: case POS_NUM: return 4;
    case POS_V: return 5;
    case POS_VPAR: return 6;
    default: return 0;
    }
}

unsigned char LastCharacter(const InflectionRecord& record) {
    return record.endingLength > 0
               ? static_cast<unsigned char>(record.ending[record.endingLength - 1]) : 0;
}

void ClearIndex(int (&first)[kMaxEnding + 1][kIndexLetters],
                int (&last)[kMaxEnding + 1][kIndexLetters]) {
    std::memset(first, 0, sizeof first);
    std::memset(last, 0, sizeof last);
}

// Builds an index over records [from, to) (to stops early at part of speech
// 0) taking those whose last character is at most maxCharacter. Keys that do
// not occur keep their values.
void BuildIndex(InflectionTables& tables, int from, int to, unsigned char maxCharacter,
                int (&first)[kMaxEnding + 1][kIndexLetters],
                int (&last)[kMaxEnding + 1][kIndexLetters]) {
    int previous = -1;
    for (int i = from; i < to && tables.section[i].partOfSpeech != 0; ++i) {
        const InflectionRecord& record = tables.section[i];
        ++tables.recordsLoaded;
        if (!IsValidInflection(record)) {
            ++tables.recordsSkipped;
            continue;
        }
        unsigned char c = LastCharacter(record);
        if (c > maxCharacter) continue;
        if (previous < 0 || tables.section[previous].endingLength != record.endingLength ||
            LastCharacter(tables.section[previous]) != c) {
            if (previous >= 0) {
                const InflectionRecord& p = tables.section[previous];
                last[p.endingLength][LastCharacter(p)] = previous;
            }
            first[record.endingLength][c] = i;
        }
        previous = i;
    }
    if (previous >= 0) {
        const InflectionRecord& p = tables.section[previous];
        last[p.endingLength][LastCharacter(p)] = previous;
    }
}

// The bytes of the five sections the tables were last built from whole;
// empty when they were not.
std::vector<unsigned char> g_tablesBuiltFrom;

unsigned char* SectionBytes(std::vector<unsigned char>& bytes, int section) {
    return bytes.data() + static_cast<size_t>(section - 1) * kSectionSize;
}

int ReadInflectionSection(unsigned char* bytes, int section) {
    if (g_latinHost.readInflects == nullptr) return 255;
    return g_latinHost.readInflects(bytes, section, kSectionSize);
}

void UnpackSection(const unsigned char* bytes, InflectionRecord* table) {
    for (int i = 0; i < kRecordsPerSection; ++i) UnpackInflectionRecord(bytes + i * kInflectionRecordSize, &table[i]);
}

// Section n (1..4) unpacked into its place in the tables with its ending
// keys, and marked read.
void KeySection(InflectionTables& t, const unsigned char* bytes, int section) {
    InflectionRecord* table = t.sections[section - 1];
    UnpackSection(bytes, table);
    for (int i = 0; i < kRecordsPerSection; ++i) {
        const InflectionRecord& r = table[i];
        char folded[kMaxEnding];
        for (int k = 0; k < r.endingLength && k < kMaxEnding; ++k) folded[k] = FoldLetter(r.ending[k]);
        t.keys[section - 1][i] = IsValidInflection(r) ? MakeEndingKey(folded, r.endingLength) : kNoEnding;
    }
    t.sectionRead[section - 1] = true;
}

}  // namespace

void PackInflectionRecord(const InflectionRecord& r, unsigned char* packed) {
    std::memset(packed, 0, kInflectionRecordSize);
    packed[0] = static_cast<unsigned char>(r.partOfSpeech);
    if (r.partOfSpeech == POS_ADV || r.partOfSpeech == POS_PREP) {
        packed[4] = static_cast<unsigned char>(r.first);
    } else if (ByteFieldCount(r.partOfSpeech) > 0) {
        PutU32(packed + 4, static_cast<uint32_t>(r.first));
        PutU32(packed + 8, static_cast<uint32_t>(r.variant));
        for (int i = 0; i < ByteFieldCount(r.partOfSpeech); ++i)
            packed[12 + i] = static_cast<unsigned char>(r.fields[i]);
    }
    PutU32(packed + 20, static_cast<uint32_t>(r.stemKey));
    PutU32(packed + 24, static_cast<uint32_t>(r.endingLength));
    for (int i = 0; i < kMaxEnding && i < r.endingLength; ++i) packed[28 + i] = r.ending[i];
    packed[36] = static_cast<unsigned char>(r.age);
    packed[37] = static_cast<unsigned char>(r.frequency);
}

void UnpackInflectionRecord(const unsigned char* p, InflectionRecord* record) {
    InflectionRecord& r = *record;
    r = InflectionRecord{};
    r.partOfSpeech = I8(p);
    if (r.partOfSpeech == POS_ADV || r.partOfSpeech == POS_PREP) {
        r.first = I8(p + 4);
    } else if (ByteFieldCount(r.partOfSpeech) > 0) {
        r.first = static_cast<int32_t>(U32(p + 4));
        r.variant = static_cast<int32_t>(U32(p + 8));
        for (int i = 0; i < ByteFieldCount(r.partOfSpeech); ++i) r.fields[i] = I8(p + 12 + i);
    }
    r.stemKey = static_cast<int32_t>(U32(p + 20));
    // The length is kept as stored so that validation sees a bad one; the
    // characters copied never pass the 7 the record has room for.
    r.endingLength = static_cast<int32_t>(U32(p + 24));
    int copied = r.endingLength < 0 ? 0 : (r.endingLength > kMaxEnding ? kMaxEnding : r.endingLength);
    std::memcpy(r.ending, p + 28, copied);
    r.ending[copied] = 0;
    r.age = I8(p + 36);
    r.frequency = I8(p + 37);
}

EndingKey MakeEndingKey(const char* foldedLetters, int length) {
    EndingKey key = static_cast<EndingKey>(length) << 56;
    for (int k = 0; k < length && k < kMaxEnding; ++k)
        key |= static_cast<EndingKey>(static_cast<unsigned char>(foldedLetters[k])) << (8 * (6 - k));
    return key;
}

bool IsValidInflection(const InflectionRecord& r) {
    if (r.partOfSpeech < 0 || r.partOfSpeech >= kPartOfSpeechCount) return false;
    if (r.endingLength < 0 || r.endingLength > kMaxEnding) return false;
    for (int i = 0; i < r.endingLength; ++i) {
        if (r.ending[i] == 0) return false;
    }
    return LastCharacter(r) < kIndexLetters;
}

int LoadInflectionSections() {
    InflectionTables& t = g_inflections;
    // The host's bytes in the order of the load, up to a failing read. Tables
    // built whole from the same bytes before are kept: a bridge loads the
    // data again before each text it analyses.
    static std::vector<unsigned char> bytes;   // kept: a fresh one would go back to the system at every load
    bytes.assign(kInflectsFileSize, 0);
    constexpr int kOrder[] = {5, 1, 2, 3, 4};
    int failed = 0, status = 0;
    for (int section : kOrder) {
        status = ReadInflectionSection(SectionBytes(bytes, section), section);
        if (status != 0) {
            failed = section;
            break;
        }
    }
    if (failed == 0 && bytes == g_tablesBuiltFrom) {
        t.section = t.sections[3];
        t.sectionKeys = t.keys[3];
        t.loadedSection = 4;
        return 0;
    }
    g_tablesBuiltFrom.clear();

    // Nothing of another dictionary's table may survive into this one.
    ClearIndex(t.first, t.last);
    ClearIndex(t.pronounFirst, t.pronounLast);
    t.recordsLoaded = 0;
    t.recordsSkipped = 0;
    t.lastKept = -1;
    t.loadedSection = 0;
    for (int s = 0; s < 4; ++s) {
        t.sectionRead[s] = false;
        t.sections[s][kRecordsPerSection] = InflectionRecord{};
    }

    if (failed == 5) return status;
    std::vector<InflectionRecord> kept(kRecordsPerSection);
    UnpackSection(SectionBytes(bytes, 5), kept.data());
    for (int i = 0; i < kRecordsPerSection && kept[i].partOfSpeech != 0; ++i) {
        if (!IsValidInflection(kept[i])) {
            ++t.recordsSkipped;
            continue;
        }
        t.kept[++t.lastKept] = kept[i];
    }

    struct Step { int section; unsigned char maxCharacter; };
    constexpr Step kSteps[] = {{1, 0xFF}, {2, 'r'}, {3, 's'}, {4, 0xFF}};
    for (const Step& step : kSteps) {
        if (failed == step.section) return status;
        KeySection(t, SectionBytes(bytes, step.section), step.section);
        t.section = t.sections[step.section - 1];
        t.sectionKeys = t.keys[step.section - 1];
        t.loadedSection = step.section;
        if (step.section < 4) BuildIndex(t, 0, kRecordsPerSection, step.maxCharacter, t.first, t.last);
    }

    int pronouns = 0;
    while (pronouns < kRecordsPerSection && t.section[pronouns].partOfSpeech != 0 &&
           !(t.section[pronouns].partOfSpeech == POS_PRON &&
             (t.section[pronouns].first == 1 || t.section[pronouns].first == 2))) {
        ++pronouns;
    }
    BuildIndex(t, 0, pronouns, 0xFF, t.first, t.last);
    BuildIndex(t, pronouns, kRecordsPerSection, 0xFF, t.pronounFirst, t.pronounLast);
    g_tablesBuiltFrom.swap(bytes);
    return 0;
}

int LoadInflections() {
    int status = LoadInflectionSections();
    return status > 0 ? 14 : status;
}

int SectionForLastLetter(char letter) {
    switch (letter) {
    case 'a': case 'c': case 'd': case 'e': case 'i': return 1;
    case 'm': case 'n': case 'o': case 'r': return 2;
    case 's': return 3;
    case 't': case 'u': return 4;
    default: return 0;
    }
}

int LoadSectionForLetter(char letter) {
    int section = SectionForLastLetter(letter);
    if (section == 0) return 0;
    if (g_inflections.loadedSection == section) return 0;
    if (!g_inflections.sectionRead[section - 1]) {
        std::vector<unsigned char> bytes(kSectionSize);
        int status = ReadInflectionSection(bytes.data(), section);
        if (status != 0) {
            g_inflections.loadedSection = 0;
            return status;
        }
        KeySection(g_inflections, bytes.data(), section);
    }
    g_inflections.section = g_inflections.sections[section - 1];
    g_inflections.sectionKeys = g_inflections.keys[section - 1];
    g_inflections.loadedSection = section;
    return 0;
}

bool EndingRange(const int (&first)[kMaxEnding + 1][kIndexLetters],
                 const int (&last)[kMaxEnding + 1][kIndexLetters], int length,
                 unsigned char character, int* from, int* to) {
    if (length < 0 || length > kMaxEnding || character >= kIndexLetters) return false;
    *from = first[length][character];
    *to = last[length][character];
    return *to >= 1 && *to >= *from;
}
