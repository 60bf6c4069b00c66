// The parsed file description: page size, preallocation, record types,
// indexes and key segments of a database file. The file keeps only one
// descriptor per index, so the same description text is passed at every
// create and open and parsed each time (ParseDescription, schema_text.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Segment types and sort codes: the value words of the schema text stand for
// these numbers, and key comparison dispatches on them.
enum FieldType : int32_t {
    FieldAutoNumber = 1,
    FieldBinary = 3,
    FieldLong = 4,
    FieldWord = 5,
    FieldWChar = 6,
    FieldByte = 7,
    FieldGuid = 8,
    FieldDate = 9,
    FieldPath = 10,
    FieldUString = 11,
};
enum SortCode : int32_t {
    SortWK = 12,      // collation mode 2
    SortKK = 13,      // collation mode 6
    SortTR = 14,      // collation mode 10
    SortTL = 15,      // collation mode 11
    SortNoSort = 16,  // by length only
};

inline constexpr int32_t kMaxRecordTypes = 10;
inline constexpr int32_t kMaxIndexes = 100;
inline constexpr int32_t kMaxSegments = 100;
inline constexpr int32_t kMinPageSize = 48;
inline constexpr int32_t kMaxPageSize = 65535;
// Data positions are u32 and compared by signed difference, so a file stays
// below 2^31 bytes; a preallocation beyond that is refused.
inline constexpr int64_t kMaxFileBytes = int64_t{1} << 31;

struct IndexDefinition {
    int32_t type = -1;              // 2: an index of one record type
    int32_t recordId = -1;          // record type id named by a Type 2 index
    int32_t recordTypeNumber = -1;  // position of recordId among the record types
    int32_t keyId = -1;             // the "Id" of the Index section
    int32_t dataLength = -1;        // kept, no effect
};

struct SegmentDefinition {
    int32_t keyId = -1;  // key id of the owning index when the segment opened
    int32_t type = -1;   // FieldType
    int32_t width = 0;   // bytes in an entry: 4, 2, 1, 16, or 0 for variable length
    int32_t sort = -1;   // SortCode or -1
};

struct FileDescription {
    int32_t pageSize = 4096;
    int32_t preAllocate = 1;
    std::vector<int32_t> recordTypeIds;      // position = record type number
    std::vector<IndexDefinition> indexes;    // description order = descriptor order
    std::vector<SegmentDefinition> segments; // declaration order over all indexes

    // Position of the index with this key id, -1 when none.
    int32_t FindIndex(int32_t keyId) const;
    // Record type number of a record type id, -1 when not declared.
    int32_t FindRecordType(int32_t recordId) const;
    // The segments of one index, in declaration order.
    std::vector<SegmentDefinition> SegmentsOf(int32_t keyId) const;
};

// Parses an 8-bit description text (a zero byte ends it early). 0 when the text
// is valid; otherwise a distinct non-zero number naming the rule that failed,
// which callers turn into 26 "Wrong file description".
int32_t ParseDescription(std::string_view text, FileDescription& out);

// The width an entry gives a segment of this type (0 for variable length).
int32_t FieldWidth(int32_t type);
inline bool IsVariableLength(int32_t type) {
    return type == FieldBinary || type == FieldPath || type == FieldUString;
}
