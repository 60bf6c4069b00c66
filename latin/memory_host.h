// A Latin analyser host over data held in memory: INFLECTS.SEC, ADDONS.LAT
// and a fixed-column word list, whose lines become the dictionary entries
// (record id = line number from 1) and whose stems form a sorted stem index.
// It serves the tests and latintool; the program's host reads a dictionary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "latin/latin_host.h"

class MemoryLatinHost {
public:
    MemoryLatinHost() = default;
    MemoryLatinHost(const MemoryLatinHost&) = delete;
    MemoryLatinHost& operator=(const MemoryLatinHost&) = delete;
    // The callbacks answer 255 once the host they serve is gone.
    ~MemoryLatinHost();

    std::vector<unsigned char> inflects;   // INFLECTS.SEC; missing bytes read as 0
    std::string addons;                    // ADDONS.LAT
    std::vector<std::string> entries;      // code lines, record id = index + 1

    // Reads INFLECTS.SEC, ADDONS.LAT and words.txt from folder, then adds
    // the built-in entry of esse as the dictionary compiler does; false when
    // a file cannot be read (*error names it).
    bool LoadFolder(const std::string& folder, std::string* error);
    // Builds the stem index from the entries (after changing them).
    void BuildStemIndex();

    // Makes this host the one the callbacks serve and registers them with
    // InitLatinAnalyser (which also sets the option defaults).
    void Install();
    LatinHostCallbacks Callbacks() const;

    // A stem-index line: stem to column 19, the entry's codes to 47, record id.
    struct StemLine {
        std::string stem;    // lower case, the sort key
        std::string line;
    };
    const std::vector<StemLine>& StemIndex() const { return stemIndex_; }
    size_t stemPosition = 0;   // the cursor of callbacks 1 and 2

private:
    std::vector<StemLine> stemIndex_;
};

// Reads a whole file; false when it cannot be opened or read (a folder),
// with the system's reason in *why when asked.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* why = nullptr);
