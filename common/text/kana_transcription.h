// Transcription between kana and letters: readings shown in Latin or Russian
// letters (lists, articles) and romaji or Russian letters typed into the input
// line turned into kana before a search. Stateless; UTF-16 throughout.
#pragma once

#include <cstdint>

// Bits of the application's flags word that pick the transcription letters.
inline constexpr uint32_t kTranscribeCyrillic = 0x200000;   // tested first
inline constexpr uint32_t kTranscribeLatin = 0x400000;
inline constexpr uint32_t kEnglishInterfaceFlag = 0x4000;

// Transcribes `kana` (hiragana or katakana; other units are copied) into the
// letters the flags pick: Cyrillic when kTranscribeCyrillic is set, else Latin
// when kTranscribeLatin is set, else nothing (returns 0, out untouched).
// Reads `length` units or up to a 0 unit (a negative length: up to the 0).
// Writes at most outSize - 1 units and always a terminator when outSize > 0;
// returns the length of the whole transcription, which may exceed outSize - 1.
int32_t KanaToRomaji(char16_t* out, const char16_t* kana, int32_t length, int32_t outSize,
                     uint32_t flags);

// The flags with one script bit set: kept when they already choose one, else
// Latin for the English interface (kEnglishInterfaceFlag) and Cyrillic for the
// others. Callers pass the application's flags through this so readings are
// always transcribed.
uint32_t ResolveTranscriptionScript(uint32_t appFlags);

// RomajiToKana flag bits.
inline constexpr uint8_t kColonIsProlongedSound = 0x1;   // ':' always gives ー
inline constexpr uint8_t kRomajiToKatakana = 0x2;        // result in katakana

// Converts romaji or Russian letters in `text` (length units, or up to a 0
// unit) into kana; kana and other units at or above U+3000 pass unchanged,
// letters without a pattern are copied as typed. Writes at most
// outCapacity - 1 units into `out`, always zero-terminated (outCapacity > 0);
// conversion stops when the next kana would not fit. Returns the units written.
// When `positionMap` is not null it receives, for each of the `length` input
// positions, the output position where that position's kana begins.
int32_t RomajiToKana(const char16_t* text, char16_t* out, int32_t length, int32_t outCapacity,
                     uint8_t flags, int32_t* positionMap);
