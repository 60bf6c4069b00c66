// Russian word forms for the reverse (Russian) search: inflected forms of
// a noun or adjective, the aspect partner of a verb, other spellings of
// Japanese loanwords, and a guess whether a word is a verb. The tables are
// data in common/russian_forms/; words are lower-case UTF-16.
#pragma once

#include <cstdint>

// Form kinds of InflectRussianWord.
enum RussianFormKind : int32_t {
    kRussianGenitiveSingular = 1,
    kRussianGenitivePlural,
    kRussianNominativePlural,
    kRussianInstrumentalSingular,
    kRussianInstrumentalPlural,
    kRussianDativeSingular,
    kRussianDativePlural,
    kRussianAccusativeSingular,
    kRussianAccusativePlural,
    kRussianPrepositionalSingular,
    kRussianPrepositionalPlural,
    kRussianFeminineAdjective,      // 12
    kRussianNeuterAdjective,        // 13
    kRussianShortAdjective,         // 14: short form or adverb
    kRussianPerfectivePartner,      // 15: of an imperfective verb
    kRussianImperfectivePartner,    // 16: of a perfective verb
};

// Answers of InflectRussianWord and LookupRussianIrregularForm.
inline constexpr int32_t kRussianNoForm = 0;
inline constexpr int32_t kRussianLastVariant = 1;
inline constexpr int32_t kRussianMoreVariants = 2;   // ask again with variant + 1

// Writes variant `variant` (0, 1, ...) of form `kind` of the zero-terminated
// `word` into out (zero-terminated, at most size units with the 0) and its
// length into *outLength. Refuses (0) kinds 0 and above 16, words shorter
// than 3 letters or not shorter than size - 8, words not ending in a
// Cyrillic letter, and words no table row fits. ё is written as е; the
// reflexive ending ся/сь of a verb is kept.
int32_t InflectRussianWord(int32_t kind, int32_t variant, const char16_t* word, char16_t* out,
                           uint32_t* outLength, int32_t size);

// Variant `variant` of the other spellings of `word` (суши -> суси), with
// the same answers and output contract as InflectRussianWord.
int32_t LookupRussianIrregularForm(int32_t variant, const char16_t* word, char16_t* out,
                                   uint32_t* outLength, int32_t size);

// Word classes of ClassifyRussianWord.
inline constexpr int32_t kRussianNotVerb = 0;
inline constexpr int32_t kRussianVerb = 1;
inline constexpr int32_t kRussianReflexiveVerb = 2;
inline constexpr int32_t kRussianNounOrVerb = 3;

// Guesses from its ending whether `word` is a verb (0..3 above).
int32_t ClassifyRussianWord(const char16_t* word);
