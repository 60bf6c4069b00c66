// Percent-encoding of query words for the web searches: ASCII letters and
// digits stay, every other byte (UTF-8 text is passed as bytes) becomes %XX.
#pragma once

#include <cstdint>

inline constexpr int32_t kUrlEncodeOk = 0;
inline constexpr int32_t kUrlEncodeNoRoom = static_cast<int32_t>(0x80004003);   // E_POINTER

// The most input bytes encoded; bytes from there on are dropped.
inline constexpr uint32_t kUrlEncodeMaxInput = 2084;

// Encodes `text` (up to its 0 byte or kUrlEncodeMaxInput bytes) into `out`.
// *size is the capacity of out in bytes, its terminating 0 included. When the
// encoding and its 0 do not fit (or out is null), *size receives the bytes
// needed, the 0 included, and the result is kUrlEncodeNoRoom with out
// untouched. Otherwise *size receives the encoded length without the 0 and
// the result is kUrlEncodeOk. `flags` is reserved.
int32_t UrlEncode(const uint8_t* text, uint8_t* out, uint32_t* size, uint32_t flags);
