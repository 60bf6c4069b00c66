// The full-text index as the compiler writes it and the search reads it:
// index 110 maps a word's search key to its id, index 111 maps the id to the
// data position of the word's hit list. Both sides walk hit lists through
// the one checked reader below.
//
// Hit list (one data block per word): hit records in ascending article position.
//
// | offset | size  | field                                                   |
// |--------|-------|---------------------------------------------------------|
// | 0      | 4     | article data position (u32, little-endian)              |
// | 4      | 2     | n, the hits that follow (1..255)                        |
// | 6      | 2 × n | hits: bits 12-15 weight (field class), bits 0-11 word number |
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr size_t kHitRecordHeadBytes = 6;
inline constexpr uint32_t kMaxHitsPerRecord = 255;
inline constexpr uint16_t kHitWordNumberMask = 0x0FFF;
inline constexpr uint16_t kHitWeightMask = 0xF000;
// Index 110 keys are cut to this many bytes (whole UTF-16 units).
inline constexpr int32_t kFullTextKeyBytes = 256;

// Units of `word` that go into an index 110 key: at most 128, never half a surrogate pair.
inline size_t FullTextKeyUnits(std::u16string_view word) {
    size_t units = word.size() < kFullTextKeyBytes / 2 ? word.size() : kFullTextKeyBytes / 2;
    if (units < word.size() && units > 0 && word[units - 1] >= 0xD800 && word[units - 1] < 0xDC00) --units;
    return units;
}

struct HitRecordView {
    uint32_t position = 0;
    std::span<const uint8_t> hits;  // n × 2 bytes
    uint16_t Hit(size_t i) const { return static_cast<uint16_t>(hits[2 * i] | hits[2 * i + 1] << 8); }
    size_t Count() const { return hits.size() / 2; }
};

// Reads the record at `offset` of `list`: false (and nothing read) when the
// head or its n hits would run past the end of the list, or n is 0.
inline bool ReadHitRecord(std::span<const uint8_t> list, size_t offset, HitRecordView& out) {
    if (offset > list.size() || list.size() - offset < kHitRecordHeadBytes) return false;
    const uint8_t* p = list.data() + offset;
    const size_t n = static_cast<size_t>(p[4] | p[5] << 8);
    if (n == 0 || (list.size() - offset - kHitRecordHeadBytes) / 2 < n) return false;
    out.position = static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
    out.hits = list.subspan(offset + kHitRecordHeadBytes, 2 * n);
    return true;
}

inline size_t HitRecordBytes(const HitRecordView& record) { return kHitRecordHeadBytes + record.hits.size(); }
