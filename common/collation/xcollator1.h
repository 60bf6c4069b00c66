// XCollator1: the Unicode Collation Algorithm over the single-code-point
// entries of DUCET 5.0.0 (no contractions), shifted variable weighting, and
// Japanese repetition signs and the prolonged sound sign expanded before
// look-up (uca_elements.h). Works in fixed per-call buffers; inputs past the
// bounds are cut. Its prepared texts compare with the same answers.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "common/collation/collator.h"
#include "common/collation/ducet_table.h"
#include "common/collation/prepared_text.h"
#include "common/collation/uca_elements.h"
#include "common/collation/uca_simple_primaries.h"
#include "common/unicode/data_resource.h"

class XCollator1 final : public StaticCollator {
public:
    int32_t OSTREL_COM_CALL Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                    uint32_t lengthB, int32_t mode, uint32_t flags) override;
    int32_t OSTREL_COM_CALL GetSortKey(const char16_t* text, int32_t length, uint32_t* out,
                                       int32_t allLevels) override;
    uint32_t OSTREL_COM_CALL GetKind() override;

    // A text whose primaries (and, when a comparison needs them, elements)
    // are made once; see prepared_text.h.
    std::unique_ptr<PreparedText> NewPreparedText();

    // The first primary weights of `text` as every comparison orders them, at
    // most out.size(), into `out`: their count, with `*ended` true when the
    // text has no more. Two texts whose known primaries differ are ordered by
    // the first difference, a text that ended sorting before any primary.
    // Fewer than asked without the end: the next one depends on neighbouring
    // code points (or no table is loaded) and is not given.
    size_t LeadingPrimaries(const char16_t* text, uint32_t length, std::span<uint16_t> out, bool* ended) const;

    // Takes the inflated DUCET blob; false (and no table) when it does not check out.
    bool InstallTable(InflatedData blob);
    // Loads DUCET_5_0_0_0_1 from the data resources unless a table is there.
    bool LoadTable();
    bool HasTable() const { return table_.IsLoaded(); }
    const DucetTable& Table() const { return table_; }
    const SimplePrimaryTable& SimplePrimaries() const { return simplePrimaries_; }
    // The exit step: frees the table.
    void FreeTable();

    // Per-call bounds.
    static constexpr int32_t kMaxCodePoints = kUcaMaxCodePoints;
    static constexpr int32_t kMaxElements = kUcaMaxElements;

private:
    InflatedData blob_;
    DucetTable table_;
    SimplePrimaryTable simplePrimaries_;   // built with the table, for the primary-level shortcut
};

// The one instance; never destroyed, so nothing compares against a freed
// table at exit (the exit sequence frees the table itself, last).
XCollator1& UcaCollator();

inline constexpr char kDucetResourceName[] = "DUCET_5_0_0_0_1";
