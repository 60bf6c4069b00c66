// The Latin analyser's grammatical enumerations with their code names and
// abbreviations, the PartEntry of a dictionary entry and the field readers
// and writers that turn codes into text and back. All text is 8-bit Latin-1.
#pragma once

#include <cstdint>

enum PartOfSpeech : int32_t {
    POS_X, POS_N, POS_PRON, POS_PACK, POS_ADJ, POS_NUM, POS_ADV, POS_V, POS_VPAR,
    POS_SUPINE, POS_PREP, POS_CONJ, POS_INTERJ, POS_TACKON, POS_PREFIX, POS_SUFFIX,
    kPartOfSpeechCount
};
enum Gender : int32_t { GENDER_X, GENDER_M, GENDER_F, GENDER_N, GENDER_C };
enum Case : int32_t { CASE_X, CASE_NOM, CASE_VOC, CASE_GEN, CASE_LOC, CASE_DAT, CASE_ABL, CASE_ACC };
enum Number : int32_t { NUMBER_X, NUMBER_S, NUMBER_P };
enum Comparison : int32_t { COMP_X, COMP_POS, COMP_COMP, COMP_SUPER };
enum NumeralSort : int32_t { NUMERAL_X, NUMERAL_CARD, NUMERAL_ORD, NUMERAL_DIST, NUMERAL_ADVERB };
enum Tense : int32_t { TENSE_X, TENSE_PRES, TENSE_IMPF, TENSE_FUT, TENSE_PERF, TENSE_PLUP, TENSE_FUTP };
enum Voice : int32_t { VOICE_X, VOICE_ACTIVE, VOICE_PASSIVE };
enum Mood : int32_t { MOOD_X, MOOD_IND, MOOD_SUB, MOOD_IMP, MOOD_INF, MOOD_PPL };
enum PronounKind : int32_t {
    PRONOUN_X, PRONOUN_PERS, PRONOUN_REL, PRONOUN_REFLEX, PRONOUN_DEMONS, PRONOUN_INTERR, PRONOUN_INDEF,
    PRONOUN_ADJECT
};
enum VerbKind : int32_t {
    VERB_X, VERB_TO_BE, VERB_TO_BEING, VERB_GEN, VERB_DAT, VERB_ABL, VERB_TRANS,
    VERB_INTRANS, VERB_IMPERS, VERB_DEP, VERB_SEMIDEP, VERB_PERFDEF
};

// One name table per enumeration, value = index, each ending with null.
struct CodeTable {
    const char* const* names;   // code names, read and written in dictionary lines
    const char* const* abbreviations;  // inflection-line abbreviations, or null
    int count;                  // number of names
    int width;                  // text width: the longest code name
};

extern const CodeTable kPartOfSpeechCodes, kGenderCodes, kCaseCodes, kNumberCodes,
    kComparisonCodes, kNumeralSortCodes, kTenseCodes, kVoiceCodes, kMoodCodes,
    kNounKindCodes, kPronounKindCodes, kVerbKindCodes, kAgeCodes, kAreaCodes,
    kGeographyCodes, kFrequencyCodes, kSourceCodes;

// Field widths of the fixed-column text forms (declension pair 3, person 1,
// numeral value 5; composites: each field and one blank between fields).
inline constexpr int kDeclensionWidth = 3;
inline constexpr int kPersonWidth = 1;
inline constexpr int kNumeralValueWidth = 5;
inline constexpr int kPartEntryWidth = 23;          // part of speech, blank, NUM's block
inline constexpr int kCodeLettersWidth = 9;         // five letters with blanks
inline constexpr int kDictionaryLineWidth = 190;
inline constexpr int kStemColumns[4] = {0, 19, 38, 57};
inline constexpr int kPartEntryColumn = 76;
inline constexpr int kCodeLettersColumn = 100;
inline constexpr int kMaxStem = 18;                 // letters of one stem
inline constexpr int kMeaningWidth = 80;

// Width of the fields behind the part of speech in a PartEntry text.
int PartEntryFieldsWidth(int32_t partOfSpeech);

// The part-of-speech codes of a dictionary entry. Which of a..d are used
// depends on the part of speech: N declension, variant, gender, noun kind;
// PRON/PACK declension, variant, pronoun kind; ADJ declension, variant,
// comparison; NUM declension, variant, numeral sort, value; ADV comparison;
// V conjugation, variant, verb kind; PREP case.
struct PartEntry {
    int32_t partOfSpeech = 0;
    int32_t first = 0;    // declension, conjugation, ADV comparison or PREP case
    int32_t variant = 0;
    int32_t third = 0;    // gender, pronoun kind, comparison, numeral sort or verb kind
    int32_t fourth = 0;   // noun kind, or numeral value
};

// Length of the longest name; 0 for an empty table.
int MaxNameLength(const char* const* names);

// Reads the token up to the first character below 33, upper-cased; its value
// is the index of the table name equal to the whole token (0 when none, or
// when the token has 70 characters or more). *end is the position after it.
int32_t ParseEnumName(const char* text, const CodeTable& table, const char** end);
// Skips blanks, reads up to 12 characters of decimal digits; 0 when none.
int32_t ReadNumber(const char* text, const char** end);
// Two decimal numbers: declension (or conjugation) and variant.
void ReadDeclension(const char* text, int32_t* first, int32_t* variant, const char** end);
// Reads a PartEntry text; *end is always text + 24 (width 23 and a blank),
// unless the text ends before that, then it is the terminator.
void ParsePartEntry(const char* text, PartEntry* entry, const char** end);

// The name at value (0..99 and within the table), else the name at 0.
const char* EnumName(const CodeTable& table, int32_t value);
const char* EnumAbbreviation(const CodeTable& table, int32_t value);
// Copies text cut or padded with fill to width characters and terminates;
// returns width.
int CopyPadded(char* out, const char* text, int width, char fill);

// Folds of ReduceStemList: a comparison, adverb comparison or numeral sort
// from a stem key, and the part of speech compared with a verb entry.
int32_t FoldCodeA(int32_t code);
int32_t FoldCodeB(int32_t code);
int32_t FoldCodeC(int32_t code);
int32_t FoldVerbParts(int32_t partOfSpeech);

// Writes the code name (PutEnumName) or the value in decimal cut to width
// (PutNumber) into out, terminated; out holds at least 80 bytes.
void PutEnumName(char* out, int32_t value, const CodeTable& table);
void PutNumber(char* out, int32_t value, int width);

// Age and frequency words of inflections and of dictionary entries, each 8
// characters, blanks included; a code outside a table takes its first word.
const char* InflectionAgeWord(int32_t age);
const char* InflectionFrequencyWord(int32_t frequency);
const char* EntryAgeWord(int32_t age);
const char* EntryFrequencyWord(int32_t frequency);
