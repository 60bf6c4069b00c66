// The byte encodings of Japanese source files: EUC-JP is rewritten as
// Shift-JIS, and Shift-JIS (code page 932) is decoded to UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Rewrites EUC-JP as Shift-JIS; `in` and `out` may be the same buffer. The
// result is never longer than the input: JIS X 0208 pairs stay two bytes,
// half-width katakana (0x8E xx) become one, a JIS X 0212 triple (0x8F xx xx),
// which Shift-JIS cannot hold, becomes the geta mark 0x81 0xAC (so does one
// cut short after its first JIS byte), a lead byte (or 0x8E) without its
// trail byte becomes the half-width middle dot 0xA5 and the byte after it is
// read on its own (so a line end after it stays one), and anything else
// (ASCII, stray bytes) is copied.
// Returns the number of Shift-JIS bytes written (0 for null buffers).
int32_t EucJpToShiftJis(const uint8_t* in, uint8_t* out, int32_t length);

// The code page's default character, given for sequences it does not define.
inline constexpr char16_t kCodePage932DefaultChar = 0x30FB;

// Decodes code page 932 bytes as the system does: `length` bytes, or with a
// negative length up to and including the first 0 byte. With outSize 0 only
// counts the units needed; when out is too small returns 0. Otherwise returns
// the units written (no terminator is added beyond the input's own).
// Windows builds call the system's converter; other builds use the table that
// tools/cp932 generated from the C library, checked against it.
int32_t ShiftJisToUnicode(const uint8_t* bytes, int32_t length, char16_t* out, int32_t outSize);

// The table decoder behind ShiftJisToUnicode in non-Windows builds, with the
// same contract; built everywhere so Windows tests can hold it to the system's.
int32_t DecodeCodePage932(const uint8_t* bytes, int32_t length, char16_t* out, int32_t outSize);

// The length of the code page 932 character at `at` (1 or 2 bytes), 0 when
// the bytes there stand for no character of the code page's own: an
// undefined byte or pair (decoded as the default character), a lead byte
// without its trail byte, or the user-defined area and the bytes 0x80, 0xA0
// and 0xFD-0xFF that decode to private or control code points. Text in
// another encoding read as Shift-JIS shows itself by these.
size_t ShiftJisSequenceAt(std::span<const uint8_t> bytes, size_t at);
