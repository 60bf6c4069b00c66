// The program's own Unicode character properties: general category, simple
// lower and upper case and one-level compatibility decompositions, each a
// "tloc" two-stage table (layout: tools/ucdgen/table_builders.h) loaded from
// its built-in resource on first use, checked whole, and kept for the run.
// Look-ups take single UTF-16 units, as the search keys and lists need.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "common/unicode/data_resource.h"

// General category numbers as stored in CHAR_GENERAL_CATEGORY.
enum CharCategory : int32_t {
    kCategoryCn = 0, kCategoryLu, kCategoryLl, kCategoryLt, kCategoryLm, kCategoryLo,
    kCategoryMn, kCategoryMc, kCategoryMe, kCategoryNd, kCategoryNl, kCategoryNo,
    kCategoryPc, kCategoryPd, kCategoryPs, kCategoryPe, kCategoryPi, kCategoryPf,
    kCategoryPo, kCategorySm, kCategorySc, kCategorySk, kCategorySo, kCategoryZs,
    kCategoryZl, kCategoryZp, kCategoryCc, kCategoryCf, kCategoryCs, kCategoryCo
};

// What the stage-2 entries of a table hold, for the load-time checks.
enum class CharTableKind {
    Category,       // a category number 0..29 in the low 16 bits
    CaseMapping,    // a code point, 0 = none
    Decomposition,  // a pool index, 0 = none; records are code points ended by 0
};

// A loaded two-stage table. The areas are resolved here rather than in the
// blob's 32-bit pointer words, which cannot hold a 64-bit pointer.
struct CharTableBlob {
    InflatedData data;
    std::span<const int32_t> stage1;  // 0x2000 entries: first stage-2 entry of the block, or -1
    std::span<uint32_t> stage2;       // 256 entries per block; writable for load-time edits
    std::span<const uint32_t> pool;   // decomposition records; empty for the other tables

    // The stage-2 entry of `codePoint`, 0 when its block is absent.
    uint32_t Entry(uint32_t codePoint) const {
        if (codePoint >= 0x200000) return 0;
        int32_t first = stage1[codePoint >> 8];
        return first < 0 ? 0 : stage2[static_cast<uint32_t>(first) + (codePoint & 0xFF)];
    }
};

// Checks `data` as a table of `kind` (every offset and count inside the blob,
// every stage-1 value inside stage 2, every entry valid for its kind, and for
// decompositions every record ended within the pool and expanding to a finite
// depth) and resolves its areas. False leaves `table` empty.
bool ParseCharTableBlob(InflatedData data, CharTableKind kind, CharTableBlob& table);

// Loads the table `name` into `slot`: 1 on success; 0 when the resource is
// missing, does not inflate or fails the checks, leaving the slot empty so
// that the next call tries again.
int32_t LoadCharTableBlob(std::unique_ptr<CharTableBlob>& slot, std::string_view name,
                          CharTableKind kind);

// The four tables, each loaded on first use; null while it cannot be loaded.
// The decomposition table comes with its load-time edits made: voiced and
// semi-voiced kana (U+304C..U+30FD whose record's second code point is U+3099
// or U+309A) and Й/й (U+0419, U+0439) are not decomposed.
const CharTableBlob* CategoryTable();
const CharTableBlob* LowerCaseTable();
const CharTableBlob* UpperCaseTable();
const CharTableBlob* DecompositionTable();
// Drops every loaded table; the next use loads again (tests, and the release at exit).
void ReleaseCharTables();

// 0..29; 0 for U+2630..U+2637 and U+4DC0..U+4DFF and for units without data;
// -1 when the table cannot be loaded.
int32_t GetCharCategory(char16_t unit);
// The simple case mapping of `unit`, the unit itself when it has none;
// 0xFFFF when the table cannot be loaded.
char16_t ToLowerChar(char16_t unit);
char16_t ToUpperChar(char16_t unit);
