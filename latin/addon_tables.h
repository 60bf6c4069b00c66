// ADDONS.LAT and the addon tables of the Latin analyser: tackons (endings
// added behind a whole word), packons (tackons of pronouns), pronoun
// prefixes, prefixes and suffixes, each with an English meaning, and the
// rules by which an addon is recognised on a word.
//
// ADDONS.LAT: 8-bit text, lines ended by LF (CR counts as a trailing blank).
// An entry is three lines:
//   head     "TACKON que" | "PREFIX com m" | "SUFFIX ul" ("--" starts a comment)
//   parts    TACKON: a PartEntry text ("N 1 1 F T"; a bare name leaves fields 0)
//            PREFIX: root and result part of speech ("V V")
//            SUFFIX: root part of speech, root stem key, the result's PartEntry
//                    in a 24-column field, the result's stem key
//   meaning  the English meaning (80 characters kept)
// Blank and comment lines may stand between entries, never inside one.
#pragma once

#include <cstdint>

#include "latin/data_faults.h"
#include "latin/grammar_codes.h"

inline constexpr int kMaxTackons = 20;
// The first tackons of ADDONS.LAT are the enclitics (que, ne, ve, cum): the
// only ones a word is split before when it reads as a whole word too.
inline constexpr int kEncliticCount = 4;
inline constexpr int kMaxPackons = 25;
inline constexpr int kMaxPronounPrefixes = 10;
inline constexpr int kMaxPrefixes = 130;
inline constexpr int kMaxSuffixes = 185;
inline constexpr int kMaxAddonMeanings = 370;
inline constexpr int kMaxAddonText = 18;

struct TackonRecord {
    int32_t kind = POS_TACKON;
    char text[kMaxAddonText + 2] = {};
    PartEntry entry;          // the word that the tackon joins
    int32_t meaningIndex = 0;
};

struct PrefixRecord {
    int32_t kind = POS_PREFIX;
    char text[kMaxAddonText + 1] = {};
    char connect = 0;         // letter that must follow the prefix; 0 or blank for none
    int32_t rootPartOfSpeech = 0;
    int32_t resultPartOfSpeech = 0;
    int32_t meaningIndex = 0;
};

struct SuffixRecord {
    int32_t kind = POS_SUFFIX;
    char text[kMaxAddonText + 1] = {};
    char connect = 0;         // letter that must stand before the suffix
    int32_t rootPartOfSpeech = 0;
    int32_t rootStemKey = 0;  // which stem of the entry the suffix joins
    PartEntry result;
    int32_t resultStemKey = 0;
    int32_t meaningIndex = 0;
};

struct AddonTables {
    TackonRecord tackons[kMaxTackons];
    int tackonCount = 0;
    TackonRecord packons[kMaxPackons];
    int packonCount = 0;
    PrefixRecord pronounPrefixes[kMaxPronounPrefixes];
    int pronounPrefixCount = 0;
    PrefixRecord prefixes[kMaxPrefixes];
    int prefixCount = 0;
    SuffixRecord suffixes[kMaxSuffixes];
    int suffixCount = 0;
    char meanings[kMaxAddonMeanings][kMeaningWidth + 1] = {};
    int meaningCount = 0;     // the meaning index of the next entry
    int skipped = 0;          // entries refused (empty text) or beyond a table's capacity
};

extern AddonTables g_addons;

// Reads ADDONS.LAT through callback 5 into the tables: 0 when the whole text
// was read, 1 when the callback failed or an entry was malformed (the
// entries read before stay).
int LoadAddons();
// The same over a text in memory (the loader behind LoadAddons); a fault,
// when asked for, names the line and what is wrong.
int ParseAddons(const char* text, int length, AddonTables* tables, LatinDataFault* fault = nullptr);

// Matching rules; words and addon texts are lower case. A u or v of the
// addon matches either u or v of the word. On a match out (256 bytes) is the
// word without the addon and the result is 1; otherwise out is the word.
int PrefixMatches(char* out, const char* word, const PrefixRecord& prefix);
int SuffixMatches(char* out, const char* word, const SuffixRecord& suffix);
int TackonMatches(char* out, const char* word, const TackonRecord& tackon);
