// Builders of the nine built-in data tables, in the exact byte layouts the
// program's loaders read. Each table is stored as a "DATA" resource of the
// same name: u32 LE uncompressed size N, then one zlib stream (as compress()
// writes it) inflating to exactly N bytes. All words below are u32 LE.
//
// "tloc" two-stage table: CHAR_GENERAL_CATEGORY, CHAR_LOWER_CASE,
// CHAR_UPPER_CASE, CHAR_DECOMPOSITION
// | offset      | size         | content                                             |
// |-------------|--------------|-----------------------------------------------------|
// | 0           | 4            | 0x636F6C74 (bytes "tloc")                           |
// | 4, 8        | 4 + 4        | 1, 1                                                |
// | 12          | 12           | stage 1 descriptor {0, 0x2000, 48}                  |
// | 24          | 12           | stage 2 descriptor {0, blocks, 48 + 0x8000}         |
// | 36          | 12           | pool descriptor {0, pool words, end of stage 2}     |
// | 48          | 0x8000       | stage 1: 0x2000 i32, index cp >> 8; the first       |
// |             |              | stage-2 entry of the block (block * 256) or -1      |
// | 0x8030      | blocks*1024  | stage 2: 256 u32 per block, one block for every     |
// |             |              | 256-code-point block holding a non-zero entry, in   |
// |             |              | code-point order, identical blocks not shared        |
// | after       | pool*4       | pool (decomposition only): records of code points   |
// |             |              | each ended by 0; word 0 is reserved (0 = "none")    |
// Stage-2 entry: category number 0 Cn .. 29 Co; the simple case mapping (0 =
// none); the pool index of the one-level decomposition (0 = none). The
// descriptor pointer words are 0 in the file; loaders keep pointers elsewhere.
// First/Last range pairs of UnicodeData.txt are not expanded: only the two end
// points carry the category. U+00A0 gets no decomposition.
//
// DUCET_5_0_0_0_1 (518,864 bytes):
// | offset  | content                                                              |
// |---------|----------------------------------------------------------------------|
// | 0       | "tloc", then 1, 1; 12..47 zero                                      |
// | 48      | variable top: the largest primary of a variable element (0x0F98)    |
// | 52, 56  | 3, 0                                                                |
// | 60      | stage 1 descriptor {0, 0x2000, 0x70}                                |
// | 72      | stage 2 descriptor {0, blocks (0x5A), 0x8070}                       |
// | 84      | element descriptor {0, 23595, after stage 2}                        |
// | 96      | contraction node descriptor {0, 1019, after the elements}           |
// | 108     | 0                                                                   |
// | 0x70    | stage 1 as above                                                    |
// | 0x8070  | stage 2: 0 = no entry; 0x80000000 | head node index = contraction   |
// |         | starter; else count << 16 | index of the first element           |
// | …       | elements {primary, secondary, tertiary, fourth weight as written},  |
// |         | every entry's elements in the table's line order                    |
// | …       | nodes {code point, element ref, next sibling, first child}: for each|
// |         | starter in code-point order a head node {0, its own elements}, then |
// |         | depth first its children by ascending code point; a node whose path |
// |         | is a whole contraction has a terminal child {0, the contraction's   |
// |         | elements} placed first. ref = count << 16 | index; -1 = none        |
//
// Range records: WORD_BREAK_PROPERTIES, SENTENCE_BREAK_PROPERTIES,
// LINE_BREAK_PROPERTIES, DERIVED_BIDI_CLASS
// | offset | size | content                                                        |
// |--------|------|----------------------------------------------------------------|
// | 12*i   | 12   | {first code point, last code point, value}, one per data line   |
// |        |      | of the property file in file order; lines whose value number   |
// |        |      | is 0 are left out (0 is every table's fill value)              |
// Value numbers are in table_builders.cpp (kWordBreakValues and the others).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ucdgen/ucd_sources.h"

struct BuiltTable {
    std::string name;              // resource name
    std::vector<uint8_t> bytes;    // uncompressed content
    // Figures printed and checked by --check.
    uint32_t blocks = 0;           // stage-2 blocks
    uint32_t poolWords = 0;        // decomposition pool
    uint32_t records = 0;          // range records
    uint32_t elements = 0;         // collation elements
    uint32_t nodes = 0;            // contraction nodes
};

BuiltTable BuildCategoryTable(const std::vector<UnicodeDataLine>& lines);
BuiltTable BuildLowerCaseTable(const std::vector<UnicodeDataLine>& lines);
BuiltTable BuildUpperCaseTable(const std::vector<UnicodeDataLine>& lines);
BuiltTable BuildDecompositionTable(const std::vector<UnicodeDataLine>& lines);
BuiltTable BuildCollationTable(const std::vector<CollationEntry>& entries);

enum class RangeProperty { WordBreak, SentenceBreak, LineBreak, BidiClass };
// False with `error` set when a value name has no number.
bool BuildRangeTable(RangeProperty property, const std::vector<PropertyRange>& ranges,
                     BuiltTable& table, std::string& error);
