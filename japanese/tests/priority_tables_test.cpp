// The reading-priority table past its first 128 rows: every row still
// outranks a word no table lists and an earlier row a later one, and its
// spellings are those a reading typed whole into the by-reading list lands on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary_schema.h"
#include "japanese/everyday_spellings.h"
#include "japanese/translator.h"

namespace ostrel::japanese {
namespace {

int32_t ReadingPriority(std::u16string reading, std::u16string word) {
    WordListEntry hit{};
    hit.indexId = static_cast<uint32_t>(kIndexReadingWord);
    std::copy(reading.begin(), reading.end(), hit.reading);
    std::copy(word.begin(), word.end(), hit.word);
    hit.readingLength = static_cast<int32_t>(reading.size());
    hit.wordLength = static_cast<int32_t>(word.size());
    return HitPriority(hit);
}

TEST(PriorityTables, RowsPastTheFirst128StillRankInTableOrderAboveUnlistedWords) {
    // である is the first row, とぶ → 飛ぶ the 128th, しる → 知る past it.
    const int32_t first = ReadingPriority(u"である", u""), last = ReadingPriority(u"とぶ", u"飛ぶ");
    const int32_t known = ReadingPriority(u"しる", u"知る");
    EXPECT_GT(first, last);
    EXPECT_GT(last, known);
    EXPECT_GT(known, kDefaultEntryPriority);
    EXPECT_EQ(ReadingPriority(u"しる", u"汁"), kDefaultEntryPriority);
    // おおい is 多い first, no longer 大 'greater (arch.)'.
    EXPECT_EQ(ReadingPriority(u"おおい", u"大"), kDefaultEntryPriority);
    EXPECT_GT(ReadingPriority(u"おおい", u"多い"), kDefaultEntryPriority);
}

TEST(PriorityTables, EverydaySpellingsAreTheReadingTablesInRowOrder) {
    const ISpellingPreference& spellings = EverydaySpellings();
    const auto named = [&](std::u16string_view reading) {
        const auto found = spellings.NamedSpellings(reading);
        return std::vector<std::u16string_view>(found.begin(), found.end());
    };
    EXPECT_EQ(named(u"きょう"), (std::vector<std::u16string_view>{u"今日"}));
    EXPECT_EQ(named(u"いる"), (std::vector<std::u16string_view>{u"居る", u"", u"入る", u"要る"}));
    EXPECT_EQ(named(u"ひと"), (std::vector<std::u16string_view>{u"人"}));
    EXPECT_TRUE(named(u"たべる").empty());
    // A row stored shorter than its text names what it matches: ちかく's 近.
    EXPECT_EQ(named(u"ちかく"), (std::vector<std::u16string_view>{u"近", u"近く"}));
}

}  // namespace
}  // namespace ostrel::japanese
