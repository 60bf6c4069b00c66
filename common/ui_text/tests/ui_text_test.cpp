// The interface-text tables: every slot of every set, the switch between sets,
// the command-title table and the word-list titles.
#include "common/ui_text/ui_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Read while the test program's globals are being built, before main: only a
// constant-initialised table is guaranteed to hold text at that point.
const char16_t* const g_readBeforeMain = UIStringTable[100];

std::u16string_view Text(const char16_t* text) { return text ? std::u16string_view(text) : u""; }

// Leaves the table in English after every test, as the program starts.
class UIText : public ::testing::Test {
protected:
    void TearDown() override { SetUILanguage(1); }
};

TEST_F(UIText, ReaderBeforeMainGetsEnglish) {
    ASSERT_NE(g_readBeforeMain, nullptr);
    EXPECT_EQ(Text(g_readBeforeMain), u"&Dictionary");
}

TEST_F(UIText, TableStartsAsTheEnglishSet) {
    // Before any SetUILanguage the table already reads English (never null).
    auto english = UITextSet(UILanguage::English);
    for (int slot = 0; slot < kUIStringCount; ++slot) {
        ASSERT_NE(UIStringTable[slot], nullptr) << slot;
        EXPECT_EQ(Text(UIStringTable[slot]), Text(english[slot].text)) << slot;
    }
    EXPECT_EQ(Text(UIStringTable[100]), u"&Dictionary");
}

TEST_F(UIText, SetUILanguageRepointsEverySlot) {
    struct Case { uint32_t value; UILanguage set; };
    for (Case c : {Case{0, UILanguage::Russian}, Case{1, UILanguage::English},
                   Case{2, UILanguage::Japanese}, Case{7, UILanguage::English},
                   Case{0xFFFFFFFFu, UILanguage::English}}) {
        SetUILanguage(c.value);
        auto set = UITextSet(c.set);
        for (int slot = 0; slot < kUIStringCount; ++slot)
            ASSERT_EQ(UIStringTable[slot], set[slot].text) << c.value << " slot " << slot;
    }
}

TEST_F(UIText, MenuCommandTitleTableHas92RecordsEndedByZero) {
    int count = 0;
    while (count < kMenuCommandTitleReadLimit && MenuCommandTitleTable[count].commandId != 0) ++count;
    EXPECT_EQ(count, 92);
    EXPECT_EQ(MenuCommandTitleTable[92].commandId, 0u);
    for (int i = 0; i < count; ++i) {
        const MenuCommandTitle& record = MenuCommandTitleTable[i];
        int slot = MenuCommandTitleSlot(record);
        EXPECT_GE(slot, 0);
        EXPECT_LT(slot, kUIStringCount);
        EXPECT_EQ(record.reserved1, 0u);
        EXPECT_EQ(record.reserved2, 0u);
    }
}

TEST_F(UIText, LaterDuplicateRecordWins) {
    EXPECT_EQ(Text(FindMenuCommandTitle(40045)), u"Run Flashcards");
    EXPECT_EQ(Text(FindMenuCommandTitle(40147)), u"Create dictionary...");
    EXPECT_EQ(Text(FindMenuCommandTitle(40119)), u"Font...");
    EXPECT_EQ(FindMenuCommandTitle(12345), nullptr);
}

TEST_F(UIText, WordListTitlesByListNumber) {
    const std::vector<std::u16string> expected = {
        u"List of Translated Words", u"List of Readings", u"List of Kanji",
        u"List of Words in Alphabetical Order", u"List of All Words and Kanji",
        u"Full-Text Search Results", u"List of Selected Words", u"Log of Articles",
        u"List of Readings"};
    for (int n = 0; n < kWordListTitleCount; ++n) {
        const char16_t* out = nullptr;
        const char16_t* title = GetWordListTitle(n, &out);
        EXPECT_EQ(title, out);
        EXPECT_EQ(Text(title), expected[n]) << n;
    }
}

TEST_F(UIText, WordListTitleRefusesNumbersOutsideTheTable) {
    for (int n : {-1, 9, 10, 1000, INT32_MIN, INT32_MAX}) {
        const char16_t* out = u"untouched";
        EXPECT_EQ(GetWordListTitle(n, &out), nullptr) << n;
        EXPECT_EQ(out, nullptr) << n;
    }
    EXPECT_EQ(GetWordListTitle(42, nullptr), nullptr);
}

}  // namespace
