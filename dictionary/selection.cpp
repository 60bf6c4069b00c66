// The row-range selection of a list view; see selection.h.
#include "dictionary/selection.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

int32_t Low(const CSelection::Range& r) { return std::min(r.a, r.b); }
int32_t High(const CSelection::Range& r) { return std::max(r.a, r.b); }

}  // namespace

CSelection::CSelection() : ranges_(kGrowth) {}

bool CSelection::Append(Range range) {
    if (count >= Capacity()) return false;
    ranges_[static_cast<size_t>(count++)] = range;
    return true;
}

int32_t CSelection::Add(int32_t row, bool extend, bool toggle) {
    if (row < 0) return -1;
    if (count + 1 > Capacity()) {
        try {
            ranges_.resize(ranges_.size() + kGrowth);
        } catch (const std::bad_alloc&) {
            return -1;
        }
    }
    if ((!extend && !toggle) || merge == 0) {
        SetSingle(row, row);
        return row;
    }
    if (extend) {
        int32_t anchor = count == 0 ? 0 : ranges_[static_cast<size_t>(count - 1)].b;
        if (count == 0)
            SetSingle(0, row);
        else
            SetSingle(row, anchor);
        return row;
    }
    int32_t index = Contains(row);
    if (index < 0) {
        Append({row, row});
        return row;
    }
    Range& r = ranges_[static_cast<size_t>(index)];
    if (r.a == r.b) {
        std::copy(ranges_.begin() + index + 1, ranges_.begin() + count, ranges_.begin() + index);
        --count;
    } else if (row == r.a) {
        r.a += r.a < r.b ? 1 : -1;
    } else if (row == r.b) {
        r.b += r.b < r.a ? 1 : -1;
    } else if (r.a < r.b) {
        Range tail{row + 1, r.b};
        r.b = row - 1;
        Append(tail);
    } else {
        Range tail{row + 1, r.a};
        r.a = row - 1;
        Append(tail);
    }
    return row;
}

void CSelection::SetSingle(int32_t first, int32_t last) {
    ranges_[0] = {first, last};
    count = 1;
}

int32_t CSelection::Contains(int32_t row) const {
    for (int32_t i = 0; i < count; ++i) {
        const Range& r = ranges_[static_cast<size_t>(i)];
        if (row >= Low(r) && row <= High(r)) return i;
    }
    return -1;
}

int32_t CSelection::Count() const {
    int32_t rows = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Range& r = ranges_[static_cast<size_t>(i)];
        rows += std::abs(r.a - r.b) + 1;
    }
    return rows;
}

int32_t CSelection::NextSelected(int32_t row) const {
    if (Contains(row + 1) >= 0) return row + 1;
    int32_t best = -1;
    for (int32_t i = 0; i < count; ++i) {
        int32_t low = Low(ranges_[static_cast<size_t>(i)]);
        if (low > row + 1 && (best < 0 || low < best)) best = low;
    }
    return best;
}
