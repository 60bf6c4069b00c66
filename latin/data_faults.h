// Checks of the analyser's two data files before they are stored in a Latin
// dictionary or loaded from a folder: a fault names the file, the line (the
// record for INFLECTS.SEC) and what is wrong, instead of every word later
// coming out unknown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct LatinDataFault {
    std::string file;      // "INFLECTS.SEC" or "ADDONS.LAT"
    int line = 0;          // ADDONS.LAT: line from 1; INFLECTS.SEC: record from 1 within `section`
    int section = 0;       // INFLECTS.SEC: section 1 to 5, 0 for the file as a whole
    std::string what;

    // "ADDONS.LAT, line 12: ..." or "INFLECTS.SEC, section 3, record 7: ...".
    std::string Describe() const;
};

// True when the bytes are a usable INFLECTS.SEC: 114,000 bytes or more, and
// every section holds at least one record, each of them well formed, up to
// its end mark.
bool CheckInflectsFile(const uint8_t* bytes, size_t size, LatinDataFault* fault);
// The same for one section (1 to 5) of kSectionSize bytes.
bool CheckInflectsSection(const uint8_t* bytes, int section, LatinDataFault* fault);

// True when the text reads whole as ADDONS.LAT and holds at least one entry;
// a NUL byte anywhere is a fault of its line.
bool CheckAddonsText(const char* text, size_t size, LatinDataFault* fault);
