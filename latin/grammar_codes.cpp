// Code names, abbreviations and field widths of the grammatical enumerations,
// and the readers and writers of their text forms.
#include "latin/grammar_codes.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kPosNames[] = {"X", "N", "PRON", "PACK", "ADJ", "NUM", "ADV", "V", "VPAR",
    "SUPINE", "PREP", "CONJ", "INTERJ", "TACKON", "PREFIX", "SUFFIX", nullptr};
constexpr const char* kPosAbbrev[] = {"-", "n.", "pron.", "pack.", "adj.", "num.", "adv.", "v.",
    "vpar.", "supine", "prep.", "conj.", "interj.", "tackon", "pref", "suf", nullptr};
constexpr const char* kGenderNames[] = {"X", "M", "F", "N", "C", nullptr};
constexpr const char* kGenderAbbrev[] = {"-", "m.", "f.", "n.", "c.", nullptr};
constexpr const char* kCaseNames[] = {"X", "NOM", "VOC", "GEN", "LOC", "DAT", "ABL", "ACC", nullptr};
constexpr const char* kCaseAbbrev[] = {"-", "nom.", "voc.", "gen.", "loc.", "dat.", "abl.", "acc.", nullptr};
constexpr const char* kNumberNames[] = {"X", "S", "P", nullptr};
constexpr const char* kNumberAbbrev[] = {"-", "sg.", "pl.", nullptr};
constexpr const char* kComparisonNames[] = {"X", "POS", "COMP", "SUPER", nullptr};
constexpr const char* kComparisonAbbrev[] = {"-", "pos.", "comp.", "super.", nullptr};
constexpr const char* kNumeralNames[] = {"X", "CARD", "ORD", "DIST", "ADVERB", nullptr};
constexpr const char* kNumeralAbbrev[] = {"-", "card.", "ord.", "dist.", "adverb.", nullptr};
constexpr const char* kTenseNames[] = {"X", "PRES", "IMPF", "FUT", "PERF", "PLUP", "FUTP", nullptr};
constexpr const char* kTenseAbbrev[] = {"-", "praes.", "impf.", "fut.", "pf.", "ppf.", "fpf.", nullptr};
constexpr const char* kVoiceNames[] = {"X", "ACTIVE", "PASSIVE", nullptr};
constexpr const char* kVoiceAbbrev[] = {"-", "act.", "pass.", nullptr};
constexpr const char* kMoodNames[] = {"X", "IND", "SUB", "IMP", "INF", "PPL", nullptr};
constexpr const char* kMoodAbbrev[] = {"-", "ind.", "conjct.", "imper.", "inf.", "ppl.", nullptr};
constexpr const char* kNounKindNames[] = {"X", "S", "M", "A", "G", "N", "P", "T", "L", "W", nullptr};
constexpr const char* kPronounKindNames[] = {"X", "PERS", "REL", "REFLEX", "DEMONS", "INTERR",
    "INDEF", "ADJECT", nullptr};
constexpr const char* kVerbKindNames[] = {"X", "TO_BE", "TO_BEING", "GEN", "DAT", "ABL", "TRANS",
    "INTRANS", "IMPERS", "DEP", "SEMIDEP", "PERFDEF", nullptr};
constexpr const char* kAgeNames[] = {"X", "A", "B", "C", "D", "E", "F", "G", "H", nullptr};
constexpr const char* kAreaNames[] = {"X", "A", "B", "D", "E", "G", "L", "P", "S", "T", "W", "Y", nullptr};
constexpr const char* kGeographyNames[] = {"X", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J",
    "K", "N", "P", "Q", "R", "S", "U", nullptr};
constexpr const char* kFrequencyNames[] = {"X", "A", "B", "C", "D", "E", "F", "I", "M", "N", nullptr};
constexpr const char* kSourceNames[] = {"X", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K",
    "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "Y", "Z", nullptr};

constexpr int Count(const char* const* names) {
    int n = 0;
    while (names[n] != nullptr) ++n;
    return n;
}

constexpr int Longest(const char* const* names) {
    int longest = 0;
    for (int i = 0; names[i] != nullptr; ++i) {
        int length = 0;
        while (names[i][length] != 0) ++length;
        if (length > longest) longest = length;
    }
    return longest;
}

constexpr CodeTable Table(const char* const* names, const char* const* abbreviations = nullptr) {
    return CodeTable{names, abbreviations, Count(names), Longest(names)};
}

const char* SkipBlanks(const char* text) {
    while (*text == ' ') ++text;
    return text;
}

}  // namespace

constexpr CodeTable kPartOfSpeechCodes = Table(kPosNames, kPosAbbrev);
constexpr CodeTable kGenderCodes = Table(kGenderNames, kGenderAbbrev);
constexpr CodeTable kCaseCodes = Table(kCaseNames, kCaseAbbrev);
constexpr CodeTable kNumberCodes = Table(kNumberNames, kNumberAbbrev);
constexpr CodeTable kComparisonCodes = Table(kComparisonNames, kComparisonAbbrev);
constexpr CodeTable kNumeralSortCodes = Table(kNumeralNames, kNumeralAbbrev);
constexpr CodeTable kTenseCodes = Table(kTenseNames, kTenseAbbrev);
constexpr CodeTable kVoiceCodes = Table(kVoiceNames, kVoiceAbbrev);
constexpr CodeTable kMoodCodes = Table(kMoodNames, kMoodAbbrev);
constexpr CodeTable kNounKindCodes = Table(kNounKindNames);
constexpr CodeTable kPronounKindCodes = Table(kPronounKindNames);
constexpr CodeTable kVerbKindCodes = Table(kVerbKindNames);
constexpr CodeTable kAgeCodes = Table(kAgeNames);
constexpr CodeTable kAreaCodes = Table(kAreaNames);
constexpr CodeTable kGeographyCodes = Table(kGeographyNames);
constexpr CodeTable kFrequencyCodes = Table(kFrequencyNames);
constexpr CodeTable kSourceCodes = Table(kSourceNames);

// The fixed-column layouts are built on these widths.
static_assert(Longest(kPosNames) == 6 && Longest(kGenderNames) == 1 && Longest(kCaseNames) == 3);
static_assert(Longest(kNumberNames) == 1 && Longest(kComparisonNames) == 5);
static_assert(Longest(kNumeralNames) == 6 && Longest(kTenseNames) == 4 && Longest(kVoiceNames) == 7);
static_assert(Longest(kMoodNames) == 3 && Longest(kNounKindNames) == 1);
static_assert(Longest(kPronounKindNames) == 6 && Longest(kVerbKindNames) == 8);
static_assert(Longest(kAgeNames) == 1 && Longest(kAreaNames) == 1 && Longest(kGeographyNames) == 1);
static_assert(Longest(kFrequencyNames) == 1 && Longest(kSourceNames) == 1);
// NUM's block (declension 3, sort 6, value 5) is the widest: 3+1+6+1+5 = 16.
static_assert(Longest(kPosNames) + 1 + (kDeclensionWidth + 1 + 6 + 1 + kNumeralValueWidth) == kPartEntryWidth);
static_assert(4 * (kMaxStem + 1) + kPartEntryWidth + 1 + kCodeLettersWidth + 1 + kMeaningWidth ==
              kDictionaryLineWidth);

int PartEntryFieldsWidth(int32_t partOfSpeech) {
    switch (partOfSpeech) {
    case POS_N: return kDeclensionWidth + 1 + 1 + 1 + 1;        // 7
    case POS_PRON:
    case POS_PACK: return kDeclensionWidth + 1 + 6;             // 10
    case POS_ADJ: return kDeclensionWidth + 1 + 5;              // 9
    case POS_NUM: return kDeclensionWidth + 1 + 6 + 1 + kNumeralValueWidth;  // 16
    case POS_V: return kDeclensionWidth + 1 + 8;                // 12
    case POS_ADV: return 5;
    case POS_PREP: return 3;
    default: return 0;
    }
}

int MaxNameLength(const char* const* names) {
    if (names == nullptr) return 0;
    int longest = 0;
    for (int i = 0; names[i] != nullptr; ++i) {
        int length = static_cast<int>(std::strlen(names[i]));
        if (length > longest) longest = length;
    }
    return longest;
}

int32_t ParseEnumName(const char* text, const CodeTable& table, const char** end) {
    char token[80];
    int length = 0;
    const char* p = text;
    while (static_cast<unsigned char>(*p) >= 33) {
        if (length < 79) {
            char c = *p;
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            token[length++] = c;
        }
        ++p;
    }
    token[length] = 0;
    if (end != nullptr) *end = p;
    if (length >= 70 || length == 0) return 0;
    // Names are whole tokens: a name matches only when it equals the token.
    for (int i = 0; i < table.count; ++i) {
        if (std::strcmp(table.names[i], token) == 0) return i;
    }
    return 0;
}

int32_t ReadNumber(const char* text, const char** end) {
    const char* p = SkipBlanks(text);
    int32_t value = 0;
    int taken = static_cast<int>(p - text);
    while (*p >= '0' && *p <= '9' && taken < 12) {
        int digit = *p - '0';
        value = value <= (INT32_MAX - digit) / 10 ? value * 10 + digit : INT32_MAX;
        ++p;
        ++taken;
    }
    if (end != nullptr) *end = p;
    return value;
}

void ReadDeclension(const char* text, int32_t* first, int32_t* variant, const char** end) {
    const char* p = text;
    *first = ReadNumber(p, &p);
    *variant = ReadNumber(p, &p);
    if (end != nullptr) *end = p;
}

void ParsePartEntry(const char* text, PartEntry* entry, const char** end) {
    *entry = PartEntry{};
    const char* p = SkipBlanks(text);
    entry->partOfSpeech = ParseEnumName(p, kPartOfSpeechCodes, &p);
    auto name = [&p](const CodeTable& table) {
        p = SkipBlanks(p);
        return ParseEnumName(p, table, &p);
    };
    switch (entry->partOfSpeech) {
    case POS_N:
        ReadDeclension(p, &entry->first, &entry->variant, &p);
        entry->third = name(kGenderCodes);
        entry->fourth = name(kNounKindCodes);
        break;
    case POS_PRON:
    case POS_PACK:
        ReadDeclension(p, &entry->first, &entry->variant, &p);
        entry->third = name(kPronounKindCodes);
        break;
    case POS_ADJ:
        ReadDeclension(p, &entry->first, &entry->variant, &p);
        entry->third = name(kComparisonCodes);
        break;
    case POS_NUM:
        ReadDeclension(p, &entry->first, &entry->variant, &p);
        entry->third = name(kNumeralSortCodes);
        entry->fourth = ReadNumber(p, &p);
        break;
    case POS_ADV: entry->first = name(kComparisonCodes); break;
    case POS_V:
        ReadDeclension(p, &entry->first, &entry->variant, &p);
        entry->third = name(kVerbKindCodes);
        break;
    case POS_PREP: entry->first = name(kCaseCodes); break;
    default: break;
    }
    if (end != nullptr) {
        // The caller continues at the fixed column behind the field, however
        // far the names read went; never past the end of the text.
        const char* limit = text;
        while (limit < text + kPartEntryWidth + 1 && *limit != 0) ++limit;
        *end = limit;
    }
}

const char* EnumName(const CodeTable& table, int32_t value) {
    return value >= 0 && value < 100 && value < table.count ? table.names[value] : table.names[0];
}

const char* EnumAbbreviation(const CodeTable& table, int32_t value) {
    const char* const* names = table.abbreviations != nullptr ? table.abbreviations : table.names;
    return value >= 0 && value < 100 && value < table.count ? names[value] : names[0];
}

void PutEnumName(char* out, int32_t value, const CodeTable& table) {
    std::snprintf(out, 80, "%s", EnumName(table, value));
}

void PutNumber(char* out, int32_t value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    int cut = width < 0 ? 0 : (width > 15 ? 15 : width);
    if (static_cast<int>(std::strlen(text)) > cut) text[cut] = 0;
    std::snprintf(out, 16, "%s", text);
}

int CopyPadded(char* out, const char* text, int width, char fill) {
    int i = 0;
    for (; i < width && text != nullptr && text[i] != 0; ++i) out[i] = text[i];
    for (; i < width; ++i) out[i] = fill;
    out[width] = 0;
    return width;
}

int32_t FoldCodeA(int32_t code) {
    switch (code) {
    case 0: case 1: case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    default: return 0;
    }
}

int32_t FoldCodeB(int32_t code) { return code >= 1 && code <= 3 ? code : 0; }
int32_t FoldCodeC(int32_t code) { return code >= 1 && code <= 4 ? code : 0; }

int32_t FoldVerbParts(int32_t partOfSpeech) {
    return partOfSpeech == POS_VPAR || partOfSpeech == POS_SUPINE ? POS_V : partOfSpeech;
}

namespace {

template <int N>
const char* Word(const char* const (&table)[N], int32_t code) {
    return code >= 0 && code < N ? table[code] : table[0];
}

}  // namespace

const char* InflectionAgeWord(int32_t age) {
    static constexpr const char* kWords[] = {"Always  ", "Archaic ", "Early   ", "Classic ",
        "Late    ", "Later   ", "Medieval", "Scholar ", "Modern  ", "        "};
    return Word(kWords, age);
}

const char* InflectionFrequencyWord(int32_t frequency) {
    static constexpr const char* kWords[] = {"        ", "mostfreq", "sometime", "uncommon",
        "infreq  ", "rare    ", "veryrare", "inscript", "        ", "        "};
    return Word(kWords, frequency);
}

const char* EntryAgeWord(int32_t age) {
    static constexpr const char* kWords[] = {"        ", "Archaic ", "Early   ", "Classic ",
        "Late    ", "Later   ", "Medieval", "NeoLatin", "Modern  "};
    return Word(kWords, age);
}

const char* EntryFrequencyWord(int32_t frequency) {
    static constexpr const char* kWords[] = {"        ", "veryfreq", "frequent", "common  ",
        "lesser  ", "uncommon", "veryrare", "inscript", "graffiti", "Norva   "};
    return Word(kWords, frequency);
}
