// UTF-8 <-> UTF-16 conversion for the program's edges (file paths on POSIX,
// web replies, text books). Ill-formed input becomes U+FFFD; never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// The first line (from 1; lines end at LF) holding bytes that are not
// well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF
// included); 0 when every line is. Text read from a file in another
// encoding would otherwise become U+FFFD without a word.
int64_t FirstLineNotUtf8(std::span<const uint8_t> bytes);

// The same walk for any multi-byte encoding: `sequence` answers the length
// of the well-formed sequence at a byte, 0 when there is none.
using SequenceLength = size_t (*)(std::span<const uint8_t> bytes, size_t at);
int64_t FirstLineWithoutSequence(std::span<const uint8_t> bytes, SequenceLength sequence);
