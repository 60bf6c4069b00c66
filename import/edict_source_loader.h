// Reading a source of the EDICT family (EDICT, ENAMDICT, JR-EDICT) or a
// KANJIDIC source whole into UTF-16 text for the compiler: the encoding is
// the one the format sniffer found (EUC-JP, UTF-8, JR-EDICT's mixed text),
// and a source already in UTF-16 is taken as it is.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text of `bytes` (a whole source) by the encoding bits of `formatFlags`;
// clears in the flags the encoding bit it applied (0x1000000 EUC-JP, 0x8
// UTF-8, 0x8000000 JR-EDICT mixed). 1, or 0 when the flags are not of this
// family (0x400000 and one of 0x200000, 0x2000000, 0x4000000), when there
// are fewer than 15 bytes, when the conversion yields nothing, or when a
// line is not valid EUC-JP or UTF-8 (as the flags say): `problem`, when
// given, then names the line.
int32_t DecodeEdictSource(uint32_t& formatFlags, std::span<const uint8_t> bytes, std::u16string& text,
                          std::u16string* problem = nullptr);

// Reads the file at `path` and decodes it as DecodeEdictSource does; 0 also
// when the file cannot be read.
int32_t LoadEdictSource(uint32_t& formatFlags, std::u16string_view path, std::u16string& text,
                        std::u16string* problem = nullptr);

// The compiler's loader of the EDICT family rule (see source_loaders.h).
bool LoadEdictFamilySource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                           std::u16string& message);
