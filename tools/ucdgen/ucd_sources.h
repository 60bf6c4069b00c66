// Readers of the published Unicode text files the generator works from:
// UnicodeData.txt (one line per code point or range end point), the
// "code point(s) ; value" property files, and the collation element table.
// Each reader checks the file's version marker so a wrong download is caught.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UnicodeDataLine {
    uint32_t codePoint = 0;
    std::string name;                  // field 1, "<CJK Ideograph, First>" for range ends
    std::string category;              // field 2, two letters
    std::vector<uint32_t> decomposition; // field 5 without its <tag>
    uint32_t upper = 0;                // field 12, 0 = none
    uint32_t lower = 0;                // field 13, 0 = none
};

struct PropertyRange {
    uint32_t first = 0;
    uint32_t last = 0;
    std::string value;
};

struct CollationElement {
    uint32_t primary = 0, secondary = 0, tertiary = 0, fourth = 0;
    bool variable = false;             // written with '*' in the table
};

struct CollationEntry {
    std::vector<uint32_t> codePoints;  // one, or several for a contraction
    std::vector<CollationElement> elements;
};

// Each returns false and sets `error` when the file cannot be read, a line is
// malformed or the version marker is not the expected one.
bool ReadUnicodeData(const std::string& path, std::vector<UnicodeDataLine>& lines,
                     std::string& error);
// `header` is the file's expected first line, e.g. "# LineBreak-5.2.0.txt".
bool ReadPropertyFile(const std::string& path, const std::string& header,
                      std::vector<PropertyRange>& ranges, std::string& error);
// Entries in file order; `version` must match the "@version" line.
bool ReadCollationTable(const std::string& path, const std::string& version,
                        std::vector<CollationEntry>& entries, std::string& error);
