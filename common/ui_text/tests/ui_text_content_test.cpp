// Checks every slot of every language set against the English set: texts
// present, the same printf placeholders in the same order, the same filter
// shape, menu mnemonics and accelerators kept, line-break framing kept.
#include "common/ui_text/ui_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

// The conversions of a printf format in order ("%%" is a literal percent).
std::vector<std::u16string> Placeholders(std::u16string_view text) {
    std::vector<std::u16string> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') continue;
        size_t j = i + 1;
        if (j < text.size() && text[j] == u'%') { i = j; continue; }
        while (j < text.size() && std::u16string_view(u"-+ #0123456789.lhI").find(text[j]) != std::u16string_view::npos) ++j;
        if (j < text.size()) found.emplace_back(text.substr(i, j - i + 1));
        i = j;
    }
    return found;
}

// The strings of a multi-string: units up to the first empty string.
std::vector<std::u16string> FilterParts(const UITextEntry& entry) {
    std::vector<std::u16string> parts;
    std::u16string_view all(entry.text, entry.units);
    while (!all.empty()) {
        size_t end = all.find(u'\0');
        if (end == std::u16string_view::npos) end = all.size();
        parts.emplace_back(all.substr(0, end));
        all.remove_prefix(end == all.size() ? end : end + 1);
    }
    return parts;
}

bool IsFilter(const UITextEntry& entry) { return entry.units > 0 && entry.text[entry.units - 1] == u'\0'; }

const std::set<int> kFilterSlots = {270, 271, 272, 640};

struct LanguageCase {
    UILanguage language;
    const char* name;
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.name; }

class UITextContent : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(UITextContent, EverySlotHasText) {
    auto set = UITextSet(GetParam().language);
    ASSERT_EQ(set.size(), static_cast<size_t>(kUIStringCount));
    for (int slot = 0; slot < kUIStringCount; ++slot) {
        ASSERT_NE(set[slot].text, nullptr) << slot;
        EXPECT_GT(set[slot].units, 0u) << "empty slot " << slot;
        EXPECT_EQ(std::u16string_view(set[slot].text).size() == set[slot].units, !IsFilter(set[slot]))
            << "stray zero inside slot " << slot;
    }
}

TEST_P(UITextContent, PlaceholdersMatchTheEnglishSetInOrder) {
    auto english = UITextSet(UILanguage::English);
    auto set = UITextSet(GetParam().language);
    int withPlaceholders = 0;
    for (int slot = 0; slot < kUIStringCount; ++slot) {
        auto expected = Placeholders(english[slot].text);
        withPlaceholders += !expected.empty();
        EXPECT_EQ(Placeholders(set[slot].text), expected) << "slot " << slot;
    }
    EXPECT_GT(withPlaceholders, 30);   // the check has something to bite on
}

TEST_P(UITextContent, FilterSlotsArePairsEndedByAnEmptyString) {
    auto english = UITextSet(UILanguage::English);
    auto set = UITextSet(GetParam().language);
    for (int slot = 0; slot < kUIStringCount; ++slot) {
        bool filter = kFilterSlots.count(slot) != 0;
        ASSERT_EQ(IsFilter(set[slot]), filter) << "slot " << slot;
        if (!filter) continue;
        // The literal ends "...\0" + its own terminator: a double zero.
        EXPECT_EQ(set[slot].text[set[slot].units], u'\0');
        auto parts = FilterParts(set[slot]);
        auto englishParts = FilterParts(english[slot]);
        ASSERT_EQ(parts.size() % 2, 0u) << slot;
        ASSERT_EQ(parts.size(), englishParts.size()) << slot;
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_FALSE(parts[i].empty()) << slot << " part " << i;
            if (i % 2 == 1) {
                EXPECT_EQ(parts[i], englishParts[i]) << "patterns stay the same, slot " << slot;
            }
        }
    }
}

TEST_P(UITextContent, MnemonicsAcceleratorsAndLineFramingKept) {
    auto english = UITextSet(UILanguage::English);
    auto set = UITextSet(GetParam().language);
    auto count = [](std::u16string_view t, char16_t c) { return std::count(t.begin(), t.end(), c); };
    for (int slot = 0; slot < kUIStringCount; ++slot) {
        std::u16string_view en(english[slot].text), text(set[slot].text);
        EXPECT_EQ(count(text, u'&'), count(en, u'&')) << "mnemonic, slot " << slot;
        size_t tab = en.find(u'\t');
        if (tab != std::u16string_view::npos) {
            EXPECT_TRUE(text.ends_with(en.substr(tab))) << "accelerator, slot " << slot;
        }
        for (std::u16string_view frame : {u"\r\n", u"\n"}) {
            EXPECT_EQ(text.ends_with(frame), en.ends_with(frame)) << "line end, slot " << slot;
            EXPECT_EQ(text.starts_with(frame), en.starts_with(frame)) << "line start, slot " << slot;
        }
        EXPECT_EQ(text.starts_with(u": "), en.starts_with(u": ")) << "phase name, slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, UITextContent,
                         ::testing::Values(LanguageCase{UILanguage::English, "English"},
                                           LanguageCase{UILanguage::Russian, "Russian"},
                                           LanguageCase{UILanguage::Japanese, "Japanese"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The texts beside the slots follow the slots' rules, and are translated.
TEST(UITextContentSets, ExtraTextsKeepPlaceholdersAndLineEndsAndAreTranslated) {
    auto english = UIExtraTextSet(UILanguage::English);
    ASSERT_EQ(english.size(), static_cast<size_t>(kUIExtraTextCount));
    for (UILanguage language : {UILanguage::Russian, UILanguage::Japanese}) {
        auto set = UIExtraTextSet(language);
        ASSERT_EQ(set.size(), english.size());
        for (size_t n = 0; n < set.size(); ++n) {
            std::u16string_view en(english[n].text), text(set[n].text);
            EXPECT_FALSE(text.empty()) << n;
            EXPECT_NE(text, en) << "extra text " << n << " left in English";
            EXPECT_EQ(Placeholders(text), Placeholders(en)) << "extra text " << n;
            EXPECT_EQ(text.ends_with(u"\n"), en.ends_with(u"\n")) << "line end, extra text " << n;
        }
    }
    SetUILanguage(0);
    EXPECT_EQ(std::u16string_view(UIExtra(UIExtraText::kSaveFileChanges)), u"Сохранить изменения в файле?");
    SetUILanguage(1);
    EXPECT_EQ(std::u16string_view(UIExtra(UIExtraText::kSaveFileChanges)), u"Save the changes to the file?");
}

TEST(UITextContentSets, RussianAndJapaneseAreTranslatedNotCopied) {
    auto english = UITextSet(UILanguage::English);
    for (UILanguage language : {UILanguage::Russian, UILanguage::Japanese}) {
        auto set = UITextSet(language);
        int keptEnglish = 0;
        for (int slot = 0; slot < kUIStringCount; ++slot)
            keptEnglish += std::u16string_view(set[slot].text) == std::u16string_view(english[slot].text);
        // A few slots stay English by design (product name, "English Menu",
        // grammar labels for Latin transcription in Japanese); never most.
        EXPECT_LT(keptEnglish, language == UILanguage::Russian ? 10 : 50);
    }
}

TEST(UITextContentSets, TextsFixedForEveryLanguage) {
    struct Fixed { int slot; std::u16string_view en, ru, ja; };
    // Column titles are given in all three languages.
    for (Fixed f : {Fixed{461, u"Text", u"Текст", u"テキスト"},
                    Fixed{456, u"Reading", u"Произношение", u"読み"},
                    Fixed{468, u"Reading", u"Оны и куны", u"読み"},
                    Fixed{471, u"On", u"Он", u"On"},
                    Fixed{480, u"Dictionaries", u"В словарях", u"辞書の数"},
                    Fixed{146, u"Article Editor Settings", u"Настройка редактора словарных статей", u"項目エディタの設定"}}) {
        EXPECT_EQ(std::u16string_view(UITextSet(UILanguage::English)[f.slot].text), f.en) << f.slot;
        EXPECT_EQ(std::u16string_view(UITextSet(UILanguage::Russian)[f.slot].text), f.ru) << f.slot;
        EXPECT_EQ(std::u16string_view(UITextSet(UILanguage::Japanese)[f.slot].text), f.ja) << f.slot;
    }
}

// English texts that other parts of the program quote by slot.
TEST(UITextContentSets, EnglishTextsQuotedBySlot) {
    struct Quoted { int slot; std::u16string_view text; };
    auto english = UITextSet(UILanguage::English);
    for (Quoted q : {Quoted{0, u"Menu..."}, Quoted{64, u"Add New Article to \"%s\" Dictionary"},
                     Quoted{78, u"&Web Search"}, Quoted{94, u"Contents\tF1"}, Quoted{105, u"&Help"},
                     Quoted{115, u"Install dictionary"}, Quoted{171, u"Write failure for %s"},
                     Quoted{177, u"%s - not a Ostrel dictionary file!"}, Quoted{182, u"Confirm..."},
                     Quoted{293, u"Save the List of Selected Articles?"},
                     Quoted{482, u"Performing step %d from %d"},
                     Quoted{487, u": writing dictionary articles"},
                     Quoted{496, u": building the index of latin stems"},
                     Quoted{542, u"Cannot open dictionary"},
                     Quoted{553, u"Receiving the list of dictionaries from the server"}, Quoted{588, u"List of Translated Words"},
                     Quoted{609, u"Do you want to print %d articles?"}, Quoted{617, u"Number of articles:"},
                     Quoted{639, u"Print articles"}, Quoted{656, u"Old Dictionaries"},
                     Quoted{659, u"Don't remind me again"},
                     Quoted{664, u"\nDouble click list line to open a text of a book with this phrase.\n"}}) {
        EXPECT_EQ(std::u16string_view(english[q.slot].text), q.text) << q.slot;
    }
    EXPECT_EQ(std::u16string_view(english[272].text, english[272].units), std::u16string_view(u"Any Files (*.*)\0*.*\0", 20));
    EXPECT_EQ(std::u16string_view(english[640].text), u"RTF files (*.rtf)");
}

}  // namespace
