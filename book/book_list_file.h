// The book loader's list file: one path of a parallel text a line, read as
// UTF-16 or UTF-8 by its byte-order mark (UTF-8 without one), at most 1000
// lines; lines starting with ";" or "#" and lines of two characters or
// fewer are skipped; relative paths are taken from the list file's folder.
// A line longer than a path can be is refused, never cut into bogus paths.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int32_t kMaxListLines = 1000;
inline constexpr int32_t kMaxListPathUnits = 260;

struct BookListFile {
    std::vector<std::u16string> paths;
    int32_t overlongLine = 0;  // number (from 1) of the first line over 260 units; 0 none
};

// `bytes` of the list file at `listPath`.
BookListFile ParseBookListFile(std::string_view bytes, std::u16string_view listPath);
// A book dictionary's version text once its load finished: a final "P"
// (being built) becomes "I" (finished); anything else stays.
std::u16string FinishedBookVersion(std::u16string_view version);
