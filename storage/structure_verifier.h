// The structural verifier: checks an open database file without changing it
// and lists every fault found. Tests run it after each step; the dmsverify
// tool runs it on a user's file. It checks the header and descriptors, every
// page's frame and signature, the page allocation table (placed ranges never
// overlap, gaps add up, signatures match), and every data page's chunks and
// chains (each chunk belongs to exactly one block, totals add up). Key pages
// are checked for their frame here; the index layer adds its own checks
// through `checkKeyPage`.
#pragma once

#include "storage/database_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct VerifyReport {
    std::vector<std::string> faults;  // one line each, naming the page
    uint32_t pages = 0;               // pages examined
    uint32_t dataBlocks = 0;          // blocks whose chain was walked
    uint32_t deletedBlocks = 0;
    uint64_t dataBytes = 0;           // bytes in live blocks
    bool ok() const { return faults.empty(); }
};

struct VerifyOptions {
    // Called for each key page ("K0".."K9") with its number and image; returns
    // a fault text, or an empty one when the page is sound.
    std::function<std::string(uint32_t page, const uint8_t* image)> checkKeyPage;
};

VerifyReport VerifyFile(DMSFile& file, const VerifyOptions& options = {});
