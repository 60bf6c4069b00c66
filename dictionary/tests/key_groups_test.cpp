// Key groups of the lexicon (equal first fields across dictionaries form one
// group), the match length of the reverse and lexicon lists, and the Greek
// key probe of the reverse list.
#include "dictionary/tests/word_list_fixture.h"

namespace {

class KeyGroupsTest : public WordListTest {
protected:
    std::unique_ptr<WordList> Lexicon() {
        AddSynthetic(u"C:\\D\\a.qdx", {{u"apple", u""}, {u"bee", u""}, {u"bee", u""}, {u"cat", u""}}, kIndexFullTextWords);
        AddSynthetic(u"C:\\D\\b.qdx", {{u"bee", u""}, {u"cat", u""}, {u"dog", u""}}, kIndexFullTextWords, 10);
        return ListOfShelf(kListLexicon);
    }
};

TEST_F(KeyGroupsTest, NextAndPrevGroupStepOverRowsWithEqualFirstFields) {
    auto list = Lexicon();
    ASSERT_EQ(list->RowCount(), 7);  // apple | bee bee bee | cat cat | dog
    struct Step {
        bool next;
        int32_t row, n, expected;
    };
    for (Step s : {Step{true, 0, 1, 1}, {true, 1, 1, 4}, {true, 2, 2, 6}, {true, 4, 2, -1}, {true, 6, 1, -1},
                   {true, 3, 0, 3}, {true, 7, 1, -1}, {true, -1, 1, -1}, {false, 5, 0, 4}, {false, 5, 1, 1},
                   {false, 3, 0, 1}, {false, 5, 2, 0}, {false, 5, 3, -1}, {false, 0, 0, -1}, {false, 3, -1, 4},
                   {false, 7, 0, -1}}) {
        int32_t got = s.next ? list->NextGroup(s.row, s.n) : list->PrevGroup(s.row, s.n);
        EXPECT_EQ(got, s.expected) << (s.next ? "next " : "prev ") << s.row << " " << s.n;
    }
}

TEST_F(KeyGroupsTest, MatchLengthTakesTheLongestSharedBeginning) {
    AddSynthetic(u"C:\\D\\a.qdx", {{u"alpha", u""}, {u"beta", u""}}, kIndexFullTextWords);
    AddSynthetic(u"C:\\D\\b.qdx", {{u"alphabet", u""}}, kIndexFullTextWords, 10);
    WordList list(&shelf, kListLexicon);
    for (RDFDictionary* d : shelf.dictionaries) list.AddDictionary(d);
    int32_t matched = 0, keyLength = 0;
    EXPECT_EQ(list.MatchLength(u"Alphab", &matched, &keyLength), 6);
    EXPECT_EQ(keyLength, 8);
    EXPECT_EQ(list.MatchLength(u"alpha", &matched, &keyLength), 5);
    EXPECT_EQ(keyLength, 5);
    EXPECT_EQ(list.MatchLength(u"---", &matched, &keyLength), 0);
    WordList readings(&shelf, kListReadings);
    EXPECT_EQ(readings.MatchLength(u"alpha", &matched, &keyLength), 0);
    EXPECT_EQ(keyLength, 0);
}

TEST_F(KeyGroupsTest, GreekKeysAreFoundInTheReverseIndexOnly) {
    AddSynthetic(u"C:\\D\\latin.qdx", {{u"omega", u""}, {u"zeta", u""}}, kIndexTranslationWords);
    WordList reverse(&shelf, kListReverse);
    reverse.AddDictionary(shelf.dictionaries[0]);
    EXPECT_EQ(reverse.HasGreekKeys(), 0);
    AddSynthetic(u"C:\\D\\greek.qdx", {{u"zeta", u""}, {u"ἀγάπη", u""}}, kIndexTranslationWords);
    reverse.AddDictionary(shelf.dictionaries[1]);
    EXPECT_EQ(reverse.HasGreekKeys(), 1);
    WordList readings(&shelf, kListReadings);
    readings.AddDictionary(shelf.dictionaries[1]);
    EXPECT_EQ(readings.HasGreekKeys(), 0);
}

}  // namespace
