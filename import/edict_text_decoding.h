// The byte encodings of the EDICT family's sources decoded to UTF-16: EUC-JP
// with its JIS X 0212 characters, Windows-1251, and JR-EDICT's mixed text.
// Every build decodes with the same tables, so a compile under Windows and a
// native one read the same source into the same text.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// EUC-JP: JIS X 0208 pairs and half-width katakana through code page 932
// (EucJpToShiftJis, ShiftJisToUnicode); a JIS X 0212 triple (0x8F row cell)
// through the C library's table of that set, and 〓 where the set has no
// character or the triple is cut short; a lead byte without its trail byte
// is one ･ and a line end after it stays a line end. Stray bytes decode as
// code page 932 decodes them. The text is empty only when the bytes are.
std::u16string DecodeEucJp(std::span<const uint8_t> bytes);

// Windows-1251, byte by byte (0x98, which the code page leaves out, as U+0098).
std::u16string DecodeWindows1251(std::span<const uint8_t> bytes);

// JR-EDICT's text: the bytes up to the next "/" (which may lie on a later
// line) are EUC-JP, the bytes from that "/" up to the next LF (exclusive)
// Windows-1251, and so on to the end.
std::u16string DecodeJrEdictMixedText(std::span<const uint8_t> bytes);

// How many JIS X 0212 triples (0x8F followed by two JIS bytes) EUC-JP bytes hold.
size_t CountJisX0212Characters(std::span<const uint8_t> bytes);
