// Finding the runs of units an article format covers.
#include "article/attribute_runs.h"

#include "article/display_attributes.h"

bool AttributeMatches(uint32_t unitAttribute, uint32_t value) {
    if ((value & kAttrColourMask) != 0) return (unitAttribute & kAttrColourMask) == value;
    return (unitAttribute & value) != 0;
}

std::vector<AttributeRun> FindAttributeRuns(uint32_t value, std::span<const uint32_t> attributes) {
    std::vector<AttributeRun> runs;
    const int32_t length = static_cast<int32_t>(attributes.size());
    int32_t i = 0;
    while (i < length) {
        if (!AttributeMatches(attributes[static_cast<size_t>(i)], value)) {
            ++i;
            continue;
        }
        int32_t end = i + 1;
        while (end < length && AttributeMatches(attributes[static_cast<size_t>(end)], value)) ++end;
        runs.push_back({i, end});
        i = end + 1;  // the unit at `end` does not match
    }
    return runs;
}
