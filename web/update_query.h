// The body of the daily update request: an 8-bit form text of fields joined
// by "&", in this order, then scrambled before it is sent.
// | field | value                                                                  |
// |-------|------------------------------------------------------------------------|
// | P01   | "Pro_11.11.0", the program version                                     |
// | P15   | "%X" last registry error, only when a registry write failed this run   |
// | P02   | installation id without its braces (UTF-8, ≤ 255 bytes); left out when |
// |       | "CLSID1" is missing or empty                                           |
// | P04   | interface language: 0 Russian, 1 English, 2 Japanese                   |
// | P12   | "WorkingDays"                                                          |
// | P14   | minutes of use since the last successful update request                |
// | P16   | names of the visible dictionaries (file name without folder and        |
// |       | extension, UTF-8, ≤ 255 bytes each) joined by "+", not escaped         |
// | P18   | "%X" CRC-32 of the program's own file                                  |
// Scrambling: "&" → "~", "=" → "#"; for odd i below n/2 (n made even) the
// units at i and n − i change places; then CR LF. The swap undoes itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int32_t kProgramMajor = 11, kProgramMinor = 11, kProgramBuild = 0;

struct UpdateQueryFields {
    uint32_t registryError = 0;            // 0: no registry write failed this run
    std::u16string installationId;         // "CLSID1", braced
    int32_t language = 0;
    uint32_t workingDays = 0;
    int32_t minutes = 0;
    std::vector<std::u16string> visibleDictionaryPaths;  // shelf order, hidden ones left out
    uint32_t programCrc = 0;
};

// The plain body (before scrambling); grows as long as the names need.
std::string BuildUpdateQuery(const UpdateQueryFields& fields);
// Scrambles in place and appends CR LF.
void ScrambleUpdateQuery(std::string& body);
// UTF-8 of `text` cut to at most `maxBytes` bytes between characters.
std::string Utf8CutBetweenCharacters(std::u16string_view text, size_t maxBytes);
