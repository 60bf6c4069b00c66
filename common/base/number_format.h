// Numbers as the interface shows them: digits grouped by three from the right,
// "," between groups in English and Japanese, a space in Russian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/app_context.h"

// Room for any i32: sign, ten digits, three separators and the terminator.
constexpr size_t kThousandsCapacity = 16;

// Writes the grouped number into `out` (always terminated). 0 on success,
// 1 when `capacity` is too small (then `out` is empty when capacity > 0).
int FormatThousands(char16_t* out, size_t capacity, int32_t number, UILanguage language);
