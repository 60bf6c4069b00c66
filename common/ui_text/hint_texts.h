// The hover hint's texts: one row per key (a kind of window and an id in it,
// or any kind for command and control ids) with a Russian, an English and a
// Japanese text, and the look-up with its language and key fallbacks.
#pragma once

#include <cstdint>
#include <span>

// The kind of a row that answers for every kind of window (command ids).
inline constexpr int32_t kHintAnyKind = -1;

struct HintTextRow {
    int32_t kind;  // 6 status bar, 12 book reader, 7 dictionaries dialog, 8 editor lines, or kHintAnyKind
    int32_t id;
    const char16_t* texts[3];  // Russian, English, Japanese; null when missing
};

std::span<const HintTextRow> HintTextRows();
// The text of `id` under a window of `kind` in `language` (0 Russian, 1
// English, 2 Japanese); a missing text is taken in English, then Russian,
// then Japanese. Kinds 6, 7, 8 and 12 fall back to the command ids. Null
// when the key has no row.
const char16_t* GetHintText(int32_t id, int32_t kind, int32_t language);
