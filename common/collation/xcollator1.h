// XCollator1: the Unicode Collation Algorithm over the single-code-point
// entries of DUCET 5.0.0 (no contractions), shifted variable weighting, and
// Japanese repetition signs and the prolonged sound sign expanded before
// look-up. Works in fixed per-call buffers; inputs past the bounds are cut.
#pragma once

#include <cstdint>
#include <span>

#include "common/collation/collator.h"
#include "common/unicode/data_resource.h"
#include "common/collation/ducet_table.h"
#include "common/collation/uca_simple_primaries.h"

class XCollator1 final : public StaticCollator {
public:
    int32_t OSTREL_COM_CALL Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                    uint32_t lengthB, int32_t mode, uint32_t flags) override;
    int32_t OSTREL_COM_CALL GetSortKey(const char16_t* text, int32_t length, uint32_t* out,
                                       int32_t allLevels) override;
    uint32_t OSTREL_COM_CALL GetKind() override;

    // Takes the inflated DUCET blob; false (and no table) when it does not check out.
    bool InstallTable(InflatedData blob);
    // Loads DUCET_5_0_0_0_1 from the data resources unless a table is there.
    bool LoadTable();
    bool HasTable() const { return table_.IsLoaded(); }
    const DucetTable& Table() const { return table_; }
    // The exit step: frees the table.
    void FreeTable();

    // Per-call bounds.
    static constexpr int32_t kMaxCodePoints = 256;
    static constexpr int32_t kMaxElements = 1000;

private:
    // The comparison from collation elements made as it goes: the answer
    // for every text, and the one Compare falls back on.
    int32_t CompareElements(const char16_t* a, int32_t lengthA, const char16_t* b, int32_t lengthB,
                            uint32_t flags);

    InflatedData blob_;
    DucetTable table_;
    SimplePrimaryTable simplePrimaries_;   // built with the table, for the primary-level shortcut
};

// The one instance; never destroyed, so nothing compares against a freed
// table at exit (the exit sequence frees the table itself, last).
XCollator1& UcaCollator();

inline constexpr char kDucetResourceName[] = "DUCET_5_0_0_0_1";

// The collation elements of a text after expansion and variable weighting, as
// the key is built from them: at most `out.size()` elements; sets
// *fourthLevelUsed when a variable or repetition element appeared.
int32_t MakeCollationElements(const DucetTable& table, const char16_t* text, int32_t length,
                              std::span<CollationElement> out, bool* fourthLevelUsed);
// The key of those elements: primaries, then with allLevels 0 and the
// secondaries, 0 and the tertiaries, and with fourth also 0 and the fourth
// weights; zero weights are left out. At most out.size() weights.
int32_t MakeSortKey(std::span<const CollationElement> elements, bool allLevels, bool fourth,
                    std::span<uint32_t> out);
