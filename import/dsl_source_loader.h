// Reading a DSL source whole, with its "#INCLUDE" lines replaced by the
// raw UTF-16 of the files they name (one level deep: an include line inside
// an included file stays, and the importer then refuses the text). A source
// or included file cut inside a UTF-16 unit, and an included file that
// cannot be read, are refused naming the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// `bytes` (the whole including file, at `path`) with every include line
// replaced. Each included file is read once; one that cannot be read or has
// an odd number of bytes is refused (false with `message` naming it).
bool ExpandDslIncludes(std::u16string_view path, std::u16string_view text, std::u16string& expanded,
                       std::u16string& message);

// The compiler's loader of the DSL rule: needs the DSL flag 0x400.
bool ReadSourceWithIncludes(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                            std::u16string& message);

// The compiler's loader of the WARODAI rule (flag 0x800): the UTF-16 units as they are.
bool ReadUnicodeTextFile(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                         std::u16string& message);
