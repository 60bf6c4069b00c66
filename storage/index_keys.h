// Index keys: how the key values of one index become the key bytes of an
// entry, how stored keys are checked and read back, and the order of keys.
// The order is stored in every B-tree: no rule here may change.
//
// Key bytes (the tail of an entry, after its 10-byte head), segments in
// description order:
//   Long, AutoNumber   4 bytes, raw
//   Word, WChar        2 bytes, raw
//   Byte               1 byte
//   UString, Binary,   u16 holding the value's byte count + 2, then the bytes
//   Path               (UString: UTF-16 code units)
//   GUID, Date         no bytes: index entries neither keep nor compare them
//
// Order, segment by segment, the first difference deciding:
//   Long, AutoNumber   a - b as a signed 32-bit difference (values 2^31 or
//                      more apart compare the other way round; stored files
//                      rely on it, and data positions stay below 2^31)
//   Word, WChar, Byte  unsigned difference
//   UString NoSort     byte lengths only
//   other UString      the file's collator, mode by Sort (WK 2, KK 6, TR 10,
//                      TL 11, none 0) and flags 1 (0 for no Sort in files of
//                      collator kind 0); a tie goes to the shorter text
//   Binary, Path       unsigned bytes up to the shorter length, a zero byte
//                      ending the comparison as equal; then the shorter first
#pragma once

#include "storage/byte_order.h"
#include "storage/dms_status.h"
#include "storage/file_description.h"
#include "storage/index_values.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class PreparedText;  // common/collation/prepared_text.h
struct ICollator;  // common/collation/collator.h: kept out of this header, which reaches
                   // the system's COM headers in the Windows build

// The file's collator of `kind` (0 dictionary, 1 UCA), held for the whole run;
// null when it cannot be had (the UCA table missing).
ICollator* IndexCollator(int32_t kind);

// The leading primary weights of a key's first segment, where the file's
// UCA collator orders it: most comparisons of a search are decided by them
// alone, with integers in place of the collator. Primaries are non-zero, so
// the zeros after a text that ended sort it before any longer one. Known():
// the primaries that are the text's own (kPrimaries, zeros included, when
// the text ended within them); 0 for a key without them. 16 bytes, so that
// a probe of a search reads one cache line.
struct KeyPrefix {
    static constexpr uint32_t kPrimaries = 7;
    uint64_t lead = 0;  // primaries 0-3, the first in the high bits
    uint64_t rest = 0;  // primaries 4-6 in the high 48 bits, then the known count
    uint32_t Known() const { return static_cast<uint32_t>(rest & 0xFFFF); }
};

class IndexKeyFormat {
public:
    // One key made ready for many comparisons (the key of a seek or an
    // insert, compared with a score of stored keys on its way down): its
    // bytes and the collator's sort data of each collated segment.
    class PreparedKey {
    public:
        std::span<const uint8_t> Bytes() const { return bytes_; }

    private:
        friend class IndexKeyFormat;
        std::vector<uint8_t> bytes_;
        std::vector<std::unique_ptr<PreparedText>> texts_;   // per segment; null unless collated
        KeyPrefix prefix_;
    };

    // A variable segment: a u16 length prefix, then the value's bytes. The
    // prefix holds the segment's whole size: the byte count + its own 2 bytes.
    static constexpr uint32_t kLengthPrefixBytes = 2;
    static constexpr uint32_t kLengthBias = kLengthPrefixBytes;
    static constexpr uint32_t kMaxVariableBytes = 0xFFFF - kLengthBias;

    struct Segment {
        int32_t type = 0;
        uint32_t width = 0;   // bytes of a fixed segment in an entry; 0 variable or none
        bool variable = false;
        bool collated = false;  // UString ordered by the collator
        int32_t mode = 0;       // collator mode
        uint32_t flags = 0;     // collator flags
    };

    IndexKeyFormat();
    ~IndexKeyFormat();
    IndexKeyFormat(IndexKeyFormat&&) noexcept;
    IndexKeyFormat& operator=(IndexKeyFormat&&) noexcept;

    // The segments of the index with `keyId`. 28 when there is none; 47 when
    // a segment needs the collator and it cannot be had.
    DmsStatus Init(const FileDescription& description, int32_t keyId, int32_t collatorKind);

    size_t SegmentCount() const { return segments_.size(); }
    // What well-formedness depends on, one character per segment: a page
    // checked against one shape is checked against every format of that shape.
    const std::string& Shape() const { return shape_; }
    // A small number naming Shape() for the run (equal shapes, equal ids; 0
    // before Init), so checked pages are matched without comparing strings.
    uint32_t ShapeId() const { return shapeId_; }
    const std::vector<Segment>& Segments() const { return segments_; }

    // Builds the key bytes of `values` (one per segment). 45 for a missing
    // value pointer, 37 for a value too long for a segment.
    DmsStatus Encode(const KeySegmentValue* values, std::vector<uint8_t>& key) const;
    // The order of the keys that Encode would build of `a` and of `b`
    // (Compare's answer), read from the values in place; Encode's refusals.
    DmsStatus CompareValues(const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result) const;
    // True when `key` is exactly one key of this index (every variable
    // segment inside it, nothing left over). Keys read from a file pass this
    // before anything else looks at them. Inline: every key of every page
    // read from the file passes here.
    bool IsWellFormed(std::span<const uint8_t> key) const {
        size_t at = 0;
        for (const Segment& s : segments_) {
            if (s.variable) {
                if (key.size() - at < kLengthPrefixBytes) return false;
                uint32_t stored = storage::LoadU16(key.data() + at);
                if (stored < kLengthBias || stored - kLengthBias > key.size() - at - kLengthPrefixBytes) return false;
                at += kLengthPrefixBytes + (stored - kLengthBias);
            } else {
                if (key.size() - at < s.width) return false;
                at += s.width;
            }
        }
        return at == key.size();
    }
    // Order of two well-formed keys: negative, 0 or positive as a sorts
    // before, equal to or after b.
    int32_t Compare(std::span<const uint8_t> a, std::span<const uint8_t> b) const;
    // The format's prepared key, made again of the well-formed key `key`
    // (copied): valid until the next Prepare. The format belongs to one
    // cursor, and one operation of it uses one key at a time; its sort data
    // buffers are made once and reused from key to key.
    const PreparedKey& Prepare(std::span<const uint8_t> key) const;
    // Compare(a, the prepared key), with the same answers.
    int32_t Compare(std::span<const uint8_t> a, const PreparedKey& b) const;
    // True when keys of this format have prefixes: the first segment is text
    // ordered by the UCA collator.
    bool HasPrefixes() const { return prefixed_; }
    // The prefix of a well-formed key (none, known 0, when !HasPrefixes()).
    KeyPrefix PrefixOf(std::span<const uint8_t> key) const;
    // The order of two keys decided by their prefixes: negative or positive,
    // or 0 when the prefixes cannot tell and the keys must be compared.
    static int32_t ComparePrefixes(const KeyPrefix& a, const KeyPrefix& b) {
        const uint32_t known = a.Known() < b.Known() ? a.Known() : b.Known();
        if (a.lead != b.lead) {
            if (static_cast<uint32_t>(__builtin_clzll(a.lead ^ b.lead)) / 16 >= known) return 0;
            return a.lead < b.lead ? -1 : 1;
        }
        // Known counts that differ, beside equal primaries, sit in the 8th
        // place: past every known one.
        if (a.rest == b.rest || 4 + static_cast<uint32_t>(__builtin_clzll(a.rest ^ b.rest)) / 16 >= known) return 0;
        return a.rest < b.rest ? -1 : 1;
    }
    // Compare(keyOf(), b) where `prefix` is the prefix of that key, with the
    // same answers; the key is read only when the prefixes cannot tell.
    template <typename KeyOf>
    int32_t Compare(KeyOf&& keyOf, const KeyPrefix& prefix, const PreparedKey& b) const {
        if (const int32_t r = ComparePrefixes(prefix, b.prefix_); r != 0) {
            ++comparisons_;
            return r;
        }
        return Compare(keyOf(), b);
    }
    // Compare(a, b) for two well-formed keys and their prefixes.
    int32_t Compare(std::span<const uint8_t> a, const KeyPrefix& prefixA, std::span<const uint8_t> b,
                    const KeyPrefix& prefixB) const {
        if (const int32_t r = ComparePrefixes(prefixA, prefixB); r != 0) {
            ++comparisons_;
            return r;
        }
        return Compare(a, b);
    }

    // Copies a well-formed key into the caller's segment buffers (see
    // KeySegmentValue). A null `out` copies nothing.
    void Decode(std::span<const uint8_t> key, KeySegmentValue* out) const;

    // Key comparisons made by every index so far (a machine-independent
    // cost measure for benchmarks; the engine runs on one thread).
    static uint64_t Comparisons();

private:
    static inline uint64_t comparisons_ = 0;  // see Comparisons()
    // The segment order of index_keys.h; `compareText(segment, a, aBytes,
    // b, bBytes)` orders the texts of collated segments (-1, 0 or 1).
    template <typename SideA, typename SideB, typename TextOrder>
    int32_t CompareSegments(SideA a, SideB b, TextOrder&& compareText) const;
    int32_t CompareText(const uint8_t* a, uint32_t aBytes, const uint8_t* b, uint32_t bBytes, size_t segment) const;

    std::vector<Segment> segments_;
    std::string shape_;
    uint32_t shapeId_ = 0;
    ICollator* collator_ = nullptr;
    bool prefixed_ = false;
    // Stored text may sit at an odd address; the collator reads char16_t.
    mutable std::vector<char16_t> alignedA_;
    mutable std::vector<char16_t> alignedB_;
    mutable PreparedKey prepared_;
};
