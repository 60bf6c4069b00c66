// The entries of the EDICT slice the end-to-end tests compile
// (ui/e2e-data/edict-slice): what a test types and expects to find.
#pragma once

#include <string>
#include <vector>

struct SliceEntry {
    std::u16string reading;
    std::vector<std::u16string> glosses;
};

// The slice's entries with a hiragana reading of 2 to 4 letters, with their
// meanings stripped of leading tags.
std::vector<SliceEntry> ReadSlice();
