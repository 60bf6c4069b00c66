// The list window's pure rules: font slots checked against the Unicode block
// limits of Debian's Blocks.txt, right-to-left lines, run splitting, colours
// and fonts, the dictionary sign, wheel accumulation, scrolling and the
// NUL-to-line-break rule of shown articles.
#include "article/list_window_rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Block {
    uint32_t first, last;
};

// Blocks.txt: "AC00..D7AF; Hangul Syllables".
std::map<std::string, Block> ReadBlocks() {
    std::map<std::string, Block> blocks;
    std::ifstream in("/usr/share/unicode/Blocks.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t dots = line.find(".."), semi = line.find(';');
        if (dots == std::string::npos || semi == std::string::npos) continue;
        blocks[line.substr(semi + 2)] = {static_cast<uint32_t>(std::stoul(line.substr(0, dots), nullptr, 16)),
                                         static_cast<uint32_t>(std::stoul(line.substr(dots + 2, semi - dots - 2), nullptr, 16))};
    }
    return blocks;
}

uint32_t SlotOf(uint32_t attribute) { return (attribute & kAttrSlotMask) >> kAttrSlotShift; }

}  // namespace

TEST(ListWindowRules, FontSlotsFollowTheUnicodeBlocksIncludingAllHangul) {
    std::map<std::string, Block> blocks = ReadBlocks();
    ASSERT_TRUE(blocks.count("Hangul Syllables")) << "Debian's unicode-data is needed";
    struct Expect {
        const char* block;
        int32_t slot;
        uint32_t lastChecked;  // 0: the block's own end
    };
    for (Expect e : {Expect{"Hebrew", 15, 0}, {"Arabic", 14, 0}, {"Syriac", 14, 0}, {"Hangul Jamo", 7, 0},
                     {"Hangul Compatibility Jamo", 7, 0}, {"Hangul Syllables", 7, 0xD7A3},
                     {"High Surrogates", 3, 0}, {"Low Surrogates", 3, 0}, {"Cyrillic", 8, 0},
                     {"Hiragana", 9, 0}, {"CJK Unified Ideographs", 9, 0}}) {
        const Block& b = blocks.at(e.block);
        uint32_t last = e.lastChecked ? e.lastChecked : b.last;
        for (uint32_t c = b.first; c <= last; ++c)
            ASSERT_EQ(FontSlotOfCharacter(static_cast<char16_t>(c)), e.slot) << e.block << " U+" << std::hex << c;
    }
    // The first syllable and the last compatibility jamo are Hangul too.
    EXPECT_EQ(FontSlotOfCharacter(u'가'), 7);
    EXPECT_EQ(FontSlotOfCharacter(0x318F), 7);
    EXPECT_EQ(FontSlotOfCharacter(0xD7A4), 9);
    EXPECT_EQ(FontSlotOfCharacter(u'A'), 8);
}

TEST(ListWindowRules, LinesWithHebrewOrArabicAreMarkedRightToLeft) {
    std::u16string text = u"abc\nשלום x\nكتاب";
    std::vector<uint32_t> attributes(text.size(), 0x20);
    MarkScriptSlots(text, attributes);
    for (size_t i = 0; i < text.size(); ++i) {
        bool rtl = (attributes[i] & kAttrRightToLeft) != 0;
        EXPECT_EQ(rtl, i > 3 && text[i] != u'\n') << i;
        if (text[i] != u'\n') {
            EXPECT_EQ(SlotOf(attributes[i]), static_cast<uint32_t>(FontSlotOfCharacter(text[i])));
        }
        EXPECT_EQ(attributes[i] & 0xF0, 0x20u) << "the colour class stays";
    }
}

TEST(ListWindowRules, RunsSplitAtColourItalicSlotAndLineFeed) {
    std::u16string text = u"ab漢字cd\nef";
    std::vector<uint32_t> attributes = {0x20, 0x20, 0x30, 0x30, 0x34, 0x34, 0, 0, 0};
    MarkScriptSlots(text, attributes);
    std::vector<std::pair<int32_t, int32_t>> runs;
    TextRun run;
    for (int32_t at = 0; NextTextRun(text, attributes, at, run); at = run.next) runs.emplace_back(run.start, run.length);
    EXPECT_EQ(runs, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {2, 2}, {4, 2}, {7, 2}}));
    // An unmarked right-to-left character joins the run it meets.
    std::vector<uint32_t> mixed = {0x20, kAttrRightToLeft | 0x30, 0x20};
    ASSERT_TRUE(NextTextRun(u"aבc", mixed, 0, run));
    EXPECT_EQ(run.length, 3);
}

TEST(ListWindowRules, ColoursAndFontsOfRuns) {
    EXPECT_EQ(RunTextColour(0x20, false, false), ListRgb(127, 0, 0));
    EXPECT_EQ(RunTextColour(0x90, false, false), ListRgb(31, 0, 31));
    EXPECT_EQ(RunTextColour(0x70, false, false), kBlack);
    EXPECT_EQ(RunTextColour(0x20, true, false), kWhite);
    EXPECT_EQ(RunTextColour(0x20, true, true), ListRgb(255, 255, 191));
    const int32_t fonts[17] = {0, 0, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19};
    for (int32_t slot = 0; slot < 17; ++slot) EXPECT_EQ(FontIndexOfRun(slot, false), fonts[slot]) << slot;
    EXPECT_EQ(FontIndexOfRun(0, true), 2);
    EXPECT_EQ(FontIndexOfRun(8, true), 11);
    EXPECT_EQ(FontIndexOfRun(9, true), 12);
    uint32_t colour = 0;
    ASSERT_TRUE(RowBackground(true, false, true, colour));
    EXPECT_EQ(colour, ListRgb(0, 0, 127));
    ASSERT_TRUE(RowBackground(true, true, false, colour));
    EXPECT_EQ(colour, ListRgb(122, 150, 223));
    EXPECT_FALSE(RowBackground(false, true, false, colour));
}

TEST(ListWindowRules, SignColourCountsOpenDictionariesToTheEnd) {
    EXPECT_EQ(DictionarySignColour(true, 1), ListRgb(197, 100, 100));
    EXPECT_EQ(DictionarySignColour(false, 1), ListRgb(150, 197, 150));
    EXPECT_EQ(DictionarySignColour(false, 2), ListRgb(150, 150, 197));
    EXPECT_EQ(DictionarySignColour(false, 3), ListRgb(197, 150, 150));
    EXPECT_EQ(DictionarySignColour(false, 4), DictionarySignColour(false, 1));
    EXPECT_EQ(ExpanderBoxState(0x8 | 0x200), ExpanderState::Plus);
    EXPECT_EQ(ExpanderBoxState(0x8 | 0x100), ExpanderState::Minus);
    EXPECT_EQ(ExpanderBoxState(0x100), ExpanderState::Hidden);
}

TEST(ListWindowRules, SmallWheelDeltasAddUpToWholeNotches) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(40), 1);
    EXPECT_EQ(wheel.Add(-120), -1);
    EXPECT_EQ(wheel.Add(100), 0);
    EXPECT_EQ(wheel.Add(-8), 0) << "a turn back drops the rest";
    EXPECT_EQ(wheel.Add(-112), -1);
    EXPECT_EQ(wheel.Add(360), 3);
}

TEST(ListWindowRules, ScrollOffsetsAndDragThreshold) {
    EXPECT_EQ(HorizontalScrollOffset(kScrollLineDown, 0, 0, 300, 520), 10);
    EXPECT_EQ(HorizontalScrollOffset(kScrollPageDown, 10, 0, 300, 520), 220);
    EXPECT_EQ(HorizontalScrollOffset(kScrollLineUp, 5, 0, 300, 520), 0);
    EXPECT_EQ(HorizontalScrollOffset(kScrollThumbTrack, 0, 150, 300, 520), 150);
    EXPECT_EQ(HorizontalScrollOffset(kScrollPageDown, 0, 0, 600, 520), 0) << "columns narrower than the window";
    EXPECT_EQ(VerticalPageStep(1), 1);
    EXPECT_EQ(VerticalPageStep(20), 19);
    EXPECT_FALSE(DragThresholdPassed(3, -3));
    EXPECT_TRUE(DragThresholdPassed(0, -4));
}

TEST(ListWindowRules, ArticleNulsBecomeLineBreaksWithinTheBound) {
    std::u16string text(u"ab\0cd\0efgh", 10);
    ArticleNulsToLineBreaks(text);
    EXPECT_EQ(text, u"ab\n d\n fgh");
    // The NUL at length - 4 and beyond is left; short texts are untouched
    // (a vector of exactly the size: a write past it would be caught).
    std::u16string tail(u"abc\0xyz", 7);
    ArticleNulsToLineBreaks(tail);
    EXPECT_EQ(tail, std::u16string(u"abc\0xyz", 7));
    for (size_t size = 0; size < 4; ++size) {
        std::vector<char16_t> small(size, u'\0');
        ArticleNulsToLineBreaks(small);
        EXPECT_EQ(small, std::vector<char16_t>(size, u'\0'));
    }
}
