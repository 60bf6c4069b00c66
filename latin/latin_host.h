// The five host callbacks through which the Latin analyser reads its
// dictionary and data, and InitLatinAnalyser, which registers them. Each
// callback returns 0 for success, else a status (the storage engine's, or
// 255 when the host has no dictionary at hand).
#pragma once

#include <cstdint>

// Longest stem-index line a host writes for callbacks 1 and 2, terminator included.
inline constexpr int kStemIndexLineSize = 81;
// Capacity of the text buffer of callback 3, terminator included.
inline constexpr int kEntryTextSize = 512;

struct LatinHostCallbacks {
    // 1: seeks the first stem-index entry not less than stem; writes its line.
    int (*findFirstStem)(const char* stem, char* line) = nullptr;
    // 2: steps to the next stem-index entry; 5 after the last one.
    int (*findNextStem)(char* line) = nullptr;
    // 3: the first line of the article with that record id, at most
    // capacity - 1 bytes and a terminator.
    int (*readEntryText)(uint32_t recordId, char* out, int capacity) = nullptr;
    // 4: fills size bytes with INFLECTS.SEC section 1..5.
    int (*readInflects)(void* buffer, int section, int size) = nullptr;
    // 5: fills the buffer with ADDONS.LAT; *size is the capacity on entry and
    // the bytes read on success (at most the capacity: a full buffer may
    // mean that more is there).
    int (*readAddons)(void* buffer, int* size) = nullptr;

    bool Complete() const {
        return findFirstStem && findNextStem && readEntryText && readInflects && readAddons;
    }
};

// The callbacks registered by InitLatinAnalyser.
extern LatinHostCallbacks g_latinHost;
// 1 after LoadLatinData succeeded, 0 while it runs or after it failed.
extern int g_latinDataLoaded;

// Stores the callbacks, then sets the word and the developer option defaults.
int InitLatinAnalyser(const LatinHostCallbacks& callbacks);
