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
    // Copies a well-formed key into the caller's segment buffers (see
    // KeySegmentValue). A null `out` copies nothing.
    void Decode(std::span<const uint8_t> key, KeySegmentValue* out) const;

    // Key comparisons made by every index so far (a machine-independent
    // cost measure for benchmarks; the engine runs on one thread).
    static uint64_t Comparisons();

private:
    // The segment order of index_keys.h; `compareText(segment, a, aBytes,
    // b, bBytes)` orders the texts of collated segments (-1, 0 or 1).
    template <typename TextOrder>
    int32_t CompareSegments(const uint8_t* pa, const uint8_t* pb, TextOrder&& compareText) const;
    int32_t CompareText(const uint8_t* a, uint32_t aBytes, const uint8_t* b, uint32_t bBytes, size_t segment) const;

    std::vector<Segment> segments_;
    std::string shape_;
    uint32_t shapeId_ = 0;
    ICollator* collator_ = nullptr;
    // Stored text may sit at an odd address; the collator reads char16_t.
    mutable std::vector<char16_t> alignedA_;
    mutable std::vector<char16_t> alignedB_;
    mutable PreparedKey prepared_;
};
