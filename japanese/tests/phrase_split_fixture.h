// The phrase split over dictionaries compiled from EDICT keys: the chosen
// words of a key as the rows of the translated-words list show them.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "japanese/phrase_parse.h"
#include "japanese/tests/translator_fixture.h"

namespace ostrel::japanese {

// Every line of EDICT as "edict.qdx" (particles allowed) and a few of them
// as "words.qdx" (no particles), built once for the suite.
class PhraseSplitTest : public TranslatorTest {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/edict/edict")) GTEST_SKIP() << "no EDICT";
        Dictionaries([](TranslatorDictionaries& d) {
            d.Add(u"C:\\D\\EDICT.QDX", EdictSlice(1, u""));
            d.Add(u"C:\\D\\words.qdx", EdictSlice(0, u"わがで"));
        });
        MakeList();
        UseSearchOptions();
    }
    // The options the search sets for a split.
    void UseSearchOptions() {
        options.underCursor = 0;
        options.minKanaLength = 2;
        options.skipNamesDictionary = 1;
    }
    // The chosen words' spans (start, length) in text order: the first row
    // of each start, rows inside a word already taken (its companions) left out.
    std::vector<std::pair<int32_t, int32_t>> ChosenSpans(std::u16string_view text) {
        EXPECT_EQ(ParsePhrase(*translator, *list, text, 0), 1u);
        std::vector<std::pair<int32_t, int32_t>> spans;
        int32_t end = -1;
        for (int32_t r = 0; r < list->RowCount(); ++r) {
            const WordListEntry& row = list->EntryAt(list->EntryOfRow(r));
            if (row.matchStart < end) continue;
            spans.emplace_back(row.matchStart, row.matchLength);
            end = row.matchStart + row.matchLength;
        }
        return spans;
    }
    // The chosen words joined by "|".
    std::u16string Split(std::u16string_view text) {
        std::u16string out;
        for (const auto& [start, length] : ChosenSpans(text)) {
            if (!out.empty()) out += u'|';
            out += text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
        }
        return out;
    }
};

}  // namespace ostrel::japanese
