// The inflection table of the Latin analyser: the INFLECTS.SEC format, its
// packed and unpacked records, and the ending index by (ending length, last
// character) that the ending matcher uses.
//
// INFLECTS.SEC: 5 sections x 570 records x 40 bytes = 114000 bytes; section n
// is read through host callback 4. A section ends at its first record whose
// part of speech is 0. Integers little-endian, i8 sign-extended.
// Section 1: endings whose last letter is a c d e i; 2: m n o r; 3: s;
// 4: t u, then the PRON records of declension 1 and 2 (qu- pronouns);
// 5: records tried for every word (no ending). Within a section the records
// of one (last letter, ending length) pair stand together.
//
// PackedInflectionRecord (40 bytes):
//   0   i8    part of speech (0 ends the section)
//   1   3     unused
//   4   16    variant part, by part of speech:
//             N PRON PACK SUPINE  u32 declension, u32 variant, i8 case, number, gender
//             ADJ                 ... gender, i8 comparison
//             NUM                 ... gender, i8 numeral sort
//             V                   u32 conjugation, u32 variant, i8 tense, voice, mood, person, number
//             VPAR                u32 conjugation, u32 variant, i8 case, number, gender, tense, voice, mood
//             ADV                 i8 comparison;  PREP  i8 case
//   20  u32   stem key (which entry stem the ending joins)
//   24  u32   ending length, 0..7
//   28  7     ending characters
//   35  1     unused
//   36  i8    age code
//   37  i8    frequency code
//   38  2     unused
#pragma once

#include <cstdint>

inline constexpr int kInflectionRecordSize = 40;
inline constexpr int kRecordsPerSection = 570;
inline constexpr int kSectionSize = kInflectionRecordSize * kRecordsPerSection;  // 22800
inline constexpr int kSectionCount = 5;
inline constexpr int kInflectsFileSize = kSectionSize * kSectionCount;           // 114000
inline constexpr int kMaxEnding = 7;
inline constexpr int kIndexLetters = 123;   // last ending character below 'z' + 1

// The unpacked record. fields[] are the grammatical fields of the packed
// layout in order (case, number, gender, comparison | tense, voice, mood,
// person, number | ...); unused ones 0. For ADV and PREP `first` holds the
// comparison or case.
struct InflectionRecord {
    int32_t partOfSpeech = 0;
    int32_t first = 0;      // declension or conjugation
    int32_t variant = 0;
    int32_t fields[6] = {};
    int32_t stemKey = 0;
    int32_t endingLength = 0;
    char ending[8] = {};    // zero-terminated after endingLength characters
    int32_t age = 0;
    int32_t frequency = 0;
};

// Names for fields[] by part of speech.
enum InflectionField : int {
    F_CASE = 0, F_NUMBER = 1, F_GENDER = 2, F_COMPARISON = 3, F_NUMERAL_SORT = 3,
    F_TENSE = 0, F_VOICE = 1, F_MOOD = 2, F_PERSON = 3, F_VERB_NUMBER = 4,
    F_PARTICIPLE_TENSE = 3, F_PARTICIPLE_VOICE = 4, F_PARTICIPLE_MOOD = 5
};

// Packs and unpacks one 40-byte record (the generator writes what the
// loader reads).
void PackInflectionRecord(const InflectionRecord& record, unsigned char* packed);
void UnpackInflectionRecord(const unsigned char* packed, InflectionRecord* record);

// True when the record can be indexed: part of speech 0..15, ending length
// 0..7 with that many characters, last ending character below 123.
bool IsValidInflection(const InflectionRecord& record);

// A record's ending as the ending matcher compares it, in one number: the
// length in the top byte, then the letters folded (lower case, j as i, v as
// u). A record that cannot be indexed has kNoEnding, which no ending equals.
using EndingKey = uint64_t;
inline constexpr EndingKey kNoEnding = ~EndingKey{0};
EndingKey MakeEndingKey(const char* foldedLetters, int length);

// The process-wide tables that the loader fills.
struct InflectionTables {
    // Sections 1-4 as the load read them, each followed by a zero record: a
    // word whose last letter belongs to another section switches to it
    // without asking the host again.
    InflectionRecord sections[4][kRecordsPerSection + 1];
    bool sectionRead[4] = {};
    EndingKey keys[4][kRecordsPerSection + 1];         // their records' ending keys
    InflectionRecord* section = sections[0];           // the one of them in use
    const EndingKey* sectionKeys = keys[0];            // and its keys
    InflectionRecord kept[kRecordsPerSection];         // section 5
    int lastKept = -1;                                 // index of its last record, -1 when empty
    int first[kMaxEnding + 1][kIndexLetters];          // ending index
    int last[kMaxEnding + 1][kIndexLetters];
    int pronounFirst[kMaxEnding + 1][kIndexLetters];   // pronoun index (end of section 4)
    int pronounLast[kMaxEnding + 1][kIndexLetters];
    int recordsLoaded = 0;
    int recordsSkipped = 0;    // invalid records passed over by the last load
    int loadedSection = 0;     // which section `section` points to, 0 none
};

extern InflectionTables g_inflections;

// The loading sequence through callback 4 (sections 5, 1, 2, 3, 4); 0 or the
// first failing status.
int LoadInflectionSections();
// 0, or 14 when the sections could not be loaded.
int LoadInflections();
// Makes the section that holds endings with this last letter the one in use
// (read through the host only when the load could not read it); 0 when the
// letter has none.
int SectionForLastLetter(char letter);
int LoadSectionForLetter(char letter);

// The index range of (length, character); false when empty. A group whose
// last is below 1 counts as empty, so a group holding only record 0 of a
// section cannot be reached: stored tables are written with that in mind.
bool EndingRange(const int (&first)[kMaxEnding + 1][kIndexLetters],
                 const int (&last)[kMaxEnding + 1][kIndexLetters], int length,
                 unsigned char character, int* from, int* to);
