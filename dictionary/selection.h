// CSelection: the selected rows of one list view as a list of row ranges, so
// that selecting a million rows with Shift costs one range. The list commands
// walk it; search as you type resets it to the current row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CSelection {
public:
    // One range covers the rows from min(a, b) to max(a, b); b is the anchor
    // the selection was extended from. Ranges may overlap and are unsorted.
    struct Range {
        int32_t a;
        int32_t b;
    };
    static constexpr int32_t kGrowth = 100;  // pairs added when the buffer is full

    CSelection();
    virtual ~CSelection() = default;

    // Selects by a click on `row`: plain (or with merging off) the row alone,
    // `extend` from the last anchor to the row, `toggle` flips the row.
    // The row, or -1 for a negative row or when the buffer cannot grow.
    int32_t Add(int32_t row, bool extend, bool toggle);
    void SetSingle(int32_t first, int32_t last);
    // Index of the first range that holds `row`, or -1.
    int32_t Contains(int32_t row) const;
    // Selected rows summed over the ranges (a row in two ranges counts twice).
    int32_t Count() const;
    // The smallest selected row after `row`, or -1.
    int32_t NextSelected(int32_t row) const;
    void Clear() { count = 0; }

    int32_t RangeCount() const { return count; }
    const Range& RangeAt(int32_t index) const { return ranges_[static_cast<size_t>(index)]; }
    int32_t Capacity() const { return static_cast<int32_t>(ranges_.size()); }

    int32_t count = 0;  // pairs in use
    int32_t merge = 1;  // 0 makes every addition a single row (the lexicon clears it)

private:
    bool Append(Range range);

    std::vector<Range> ranges_;  // size() is the capacity in pairs
};
