// A book of parallel text (format type 12): groups of lines separated by
// blank lines, one line per language, cut at segment tags ("<+", "<p", "<P")
// into aligned rows; every row is one article with one element per line.
// The loader that reads such a text in its code page, the importer and the
// one-article parser of stored book records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class BinFile;
class CDictionary;

inline constexpr uint32_t kParallelTextLine = 5;  // one line of a row, without its LF
inline constexpr int32_t kMaximumGroupLines = 10;

// Reads the file (more than 4 bytes) set on `file` into UTF-16 by the file's
// code page: 65001 UTF-8, 932 Shift-JIS, 51932 EUC-JP (through Shift-JIS).
// Clears the UTF-8 flag of `formatFlags`. No code page gives true and an
// empty text; an unknown one, an unreadable file or a line not valid UTF-8 or
// EUC-JP (as the code page says; `problem`, when given, then names it) gives false.
bool LoadSourceTextAsUtf16(uint32_t& formatFlags, BinFile& file, std::u16string& text,
                           std::u16string* problem = nullptr);

// The compiler's loader of the book rule: the code page from the format
// flags (the UTF-8 flag 65001, the EUC-JP flag 51932, otherwise none).
bool LoadParallelTextSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                            std::u16string& message);

// The article element (the whole text) and one element per line up to the
// first empty line. The article's element number, -1 for no text or memory.
int32_t ParseParallelTextArticle(CDictionary& dictionary, const char16_t* text, int32_t length);

// The whole text: the first group fixes the lines per group L and the tag
// lines; every group must have exactly L lines and the same number of
// segments in each line that is not a tag line. A group that breaks these
// rules, or a first group of tag lines only, shows "Input Text Error" and
// gives 0 (the articles of earlier groups stay reported). Mode 0 adds the
// root first and reports progress in characters after each row. Fewer than
// 14 bytes give 0; so does a zero from a callback.
int32_t ImportParallelText(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                           const ImportCallbacks& callbacks);
