// A test-only writer of PDIC version-4 files: words sorted by the caller,
// shared prefixes within a block, one empty index block, records packed into
// blocks of `blockSize` (a record too long for one block gets a longer span).
// It also seeds the importer's fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PdicTestWord {
    std::string word;         // Shift-JIS
    uint8_t attribute = 0;    // 0x10 when `fields` are written
    std::string translation;  // Shift-JIS
    std::vector<std::pair<uint8_t, std::string>> fields;  // type byte, contents
};

inline void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

// The file; `declaredWords` < 0 declares the number of words given.
inline std::vector<uint8_t> WritePdicFile(const std::vector<PdicTestWord>& words, uint32_t blockSize = 256,
                                          int64_t declaredWords = -1) {
    std::vector<uint8_t> file(2 * blockSize, 0);  // header block, one index block
    file[0] = 0x1B;  // what the format detection takes for a PDIC file, with the version's 4 at 141
    PutU16(file, 140, 0x0400);
    PutU16(file, 146, blockSize);
    PutU16(file, 148, 1);
    const uint32_t count = declaredWords < 0 ? static_cast<uint32_t>(words.size()) : static_cast<uint32_t>(declaredWords);
    for (int i = 0; i < 4; ++i) file[160 + i] = static_cast<uint8_t>(count >> (8 * i));

    std::vector<uint8_t> block;
    std::string previous;
    auto flush = [&] {
        if (block.empty()) return;
        block.push_back(0), block.push_back(0);  // L = 0 ends the block
        const size_t span = (block.size() + 2 + blockSize - 1) / blockSize;
        const size_t at = file.size();
        file.resize(at + span * blockSize, 0);
        PutU16(file, at, static_cast<uint32_t>(span));
        std::copy(block.begin(), block.end(), file.begin() + static_cast<ptrdiff_t>(at) + 2);
        block.clear();
        previous.clear();
    };
    for (const PdicTestWord& w : words) {
        std::vector<uint8_t> record;
        auto build = [&] {
            size_t shared = 0;
            while (shared < previous.size() && shared < w.word.size() && shared < 255 && previous[shared] == w.word[shared])
                ++shared;
            std::string body = w.word.substr(shared);
            body.push_back('\0');
            body.push_back(static_cast<char>(w.attribute));
            body += w.translation;
            if (w.attribute & 0x10) {
                body.push_back('\0');
                for (const auto& [type, contents] : w.fields) body += static_cast<char>(type) + contents + '\0';
            }
            record.assign(3, 0);
            PutU16(record, 0, static_cast<uint32_t>(body.size()));
            record[2] = static_cast<uint8_t>(shared);
            record.insert(record.end(), body.begin(), body.end());
        };
        build();
        if (!block.empty() && block.size() + record.size() + 4 > blockSize) {
            flush();
            build();
        }
        block.insert(block.end(), record.begin(), record.end());
        previous = w.word;
    }
    flush();
    return file;
}
