// The runs of units each article format covers, found in the attribute array.
#include <gtest/gtest.h>

#include <vector>

#include "article/attribute_runs.h"
#include "article/display_attributes.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> Runs(uint32_t value, const std::vector<uint32_t>& attributes) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const AttributeRun& run : FindAttributeRuns(value, attributes)) out.push_back({run.start, run.end});
    return out;
}

using RunList = std::vector<std::pair<int32_t, int32_t>>;

TEST(AttributeRuns, TouchingBoldAndItalicRunsKeepToTheirOwnUnits) {
    const std::vector<uint32_t> attributes = {0, 2, 2, 4, 4, 6, 0};
    EXPECT_EQ(Runs(kAttrBold, attributes), (RunList{{1, 3}, {5, 6}}));
    EXPECT_EQ(Runs(kAttrItalic, attributes), (RunList{{3, 6}}));
}

TEST(AttributeRuns, ColourClassesMatchByEqualityNotByBits) {
    // 0x70 shares bits with 0x20, 0x30 and 0x50 but is none of them.
    const std::vector<uint32_t> attributes = {0x70, 0x72, 0x20, 0x24, 0x30, 0x40, 0x50};
    EXPECT_EQ(Runs(0x70, attributes), (RunList{{0, 2}}));
    EXPECT_EQ(Runs(0x20, attributes), (RunList{{2, 4}}));
    EXPECT_EQ(Runs(0x30, attributes), (RunList{{4, 5}}));
    EXPECT_EQ(Runs(0x50, attributes), (RunList{{6, 7}}));
}

TEST(AttributeRuns, ARunAtTheVeryEndReachesTheLastUnit) {
    EXPECT_EQ(Runs(0x90, {0x40, 0x90, 0x90}), (RunList{{1, 3}}));
    EXPECT_EQ(Runs(0x90, {0x90}), (RunList{{0, 1}}));
    EXPECT_TRUE(Runs(0x90, {}).empty());
}

TEST(AttributeRuns, TheTableKeepsThePlainClassesOutAndAppliesEffectsFirst) {
    for (const HighlightFormat& format : kHighlightFormatTable) {
        EXPECT_NE(format.attribute, kClassPlain);
        EXPECT_NE(format.attribute, 0u);
    }
    EXPECT_EQ(kHighlightFormatTable[0].effect, HighlightEffect::Italic);
    EXPECT_EQ(kHighlightFormatTable[1].effect, HighlightEffect::Bold);
    // The colours are those the list view and the RTF renderers draw.
    for (const HighlightFormat& format : kHighlightFormatTable) {
        if (format.effect != HighlightEffect::Colour) continue;
        bool found = false;
        for (const ColourClassRgb& rgb : kColourClassTable)
            if (rgb.colourClass == format.attribute)
                found = rgb.red == format.red && rgb.green == format.green && rgb.blue == format.blue;
        EXPECT_TRUE(found) << format.attribute;
    }
}

}  // namespace
