// The full-text query parser (phrases, ideographic runs, Russian forms, the
// record pool), the hit-list steps and scoring on hand-built lists, a
// damaged hit list, lists of many pages read chunk by chunk (whole or for
// some articles), and the search-results list filled from two dictionaries
// with hand-written indexes 110 and 111.
#include "dictionary/full_text_query.h"
#include "dictionary/full_text_query_hits.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/full_text_query_lists.h"
#include "dictionary/article_history.h"
#include "dictionary/list_view_model.h"
#include "dictionary/tests/word_list_fixture.h"
#include "dictionary/format_detection.h"
#include "storage/byte_order.h"
#include "storage/data_blocks.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<int32_t> Phrases(const FullTextQuery& q) {
    std::vector<int32_t> out;
    for (int32_t g : q.Groups()) out.push_back(q.Record(g).phrase);
    return out;
}

TEST(FullTextQueryParser, PhrasesFromQuotesAndIdeographicRuns) {
    struct Case {
        std::u16string text;
        std::vector<int32_t> phrases;
    };
    const Case cases[] = {
        {u"\"big red dog\" cat", {1, 2, 3, 0}},
        {u"a \u201Cb c\u201D d \"e f", {0, 1, 2, 0, 1, 2}},
        {u"猫犬", {1, 2}},            // no blank between the kanji words
        {u"猫 犬", {0, 0}},
        {u"猫\u3000犬", {0, 0}},       // an ideographic space parts them too
        {u"cat猫", {0, 0}},
    };
    FullTextQuery q;
    for (const Case& c : cases) {
        q.Parse(c.text);
        EXPECT_EQ(Phrases(q), c.phrases) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(FullTextQueryParser, RussianFormsOutsidePhrasesOnlyAndOnce) {
    FullTextQuery q;
    ASSERT_EQ(q.Parse(u"Книга"), 1);
    std::vector<std::u16string> forms;
    for (int32_t r : q.Alternatives(q.FirstGroup())) forms.push_back(q.Record(r).word);
    EXPECT_EQ(forms[0], u"книга");
    for (const char16_t* form : {u"книги", u"книге", u"книгу", u"книгой", u"книг"})
        EXPECT_EQ(std::count(forms.begin(), forms.end(), form), 1) << forms.size();
    q.Parse(u"\"книга\"");
    EXPECT_EQ(q.Alternatives(q.FirstGroup()).size(), 1u);
    q.Parse(u"сумо");
    EXPECT_EQ(q.Alternatives(q.FirstGroup()).size(), 1u);
}

TEST(FullTextQueryParser, PoolHoldsAtMost256Records) {
    std::u16string text;
    for (int i = 0; i < 300; ++i) text += u"w" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u" ";
    FullTextQuery q;
    EXPECT_EQ(q.Parse(text), FullTextQuery::kMaxRecords);
    EXPECT_EQ(q.RecordCount(), FullTextQuery::kMaxRecords);
    EXPECT_EQ(q.AddQueryAlternative(0, u"other"), -1);
    EXPECT_EQ(q.AddQueryAlternative(0, q.Record(0).word), 0);  // the same text is the record itself
}

GroupHits At(uint32_t position, std::vector<uint16_t> words, uint16_t weight = 0) {
    for (uint16_t& w : words) w = static_cast<uint16_t>(weight << 12 | w);
    return {position, words};
}

std::vector<uint16_t> HitsOf(const HitList& list, size_t i) {
    const std::span<const uint16_t> hits = list.Hits(i);
    return {hits.begin(), hits.end()};
}

TEST(FullTextHits, PhraseIntersectionDropsRemovedHitsForGood) {
    // Phrase "a b c": article 10 has a@0, b@5, c@1: the second step must not
    // let c@1 follow a hit that the first step removed (b@5 keeps nothing at 0).
    HitList a{At(10, {0})}, b{At(10, {5})}, c{At(10, {1})};
    EXPECT_EQ(IntersectHits(b, a, -1), 0);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(IntersectHits(c, b, -1), 0);
    // A genuine hit at word 0 with weight 0 is kept.
    HitList x{At(7, {0})}, y{At(7, {1}), At(9, {3})};
    EXPECT_EQ(IntersectHits(y, x, -1), 1);
    EXPECT_EQ(HitsOf(y, 0), std::vector<uint16_t>{1});
    EXPECT_EQ(y.Position(0), 7u);
    HitList z{At(7, {2}), At(8, {0})};
    EXPECT_EQ(IntersectHits(z, x, 0), 1);
    EXPECT_EQ(z.Position(0), 7u);
}

TEST(FullTextHits, MergeKeepsTheEarlierAlternativesArticle) {
    const HitList merged = MergeAlternatives({{At(5, {1}), At(9, {2})}, {At(5, {7}), At(6, {3})}});
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(HitsOf(merged, 0), std::vector<uint16_t>{1});
    EXPECT_EQ(merged.Position(1), 6u);
    EXPECT_EQ(merged.Position(2), 9u);
}

uint32_t Score(const std::vector<GroupHits>& groups) {
    std::vector<std::span<const uint16_t>> at;
    for (const GroupHits& g : groups) at.push_back(g.hits);
    return ScoreArticle(at);
}

TEST(FullTextHits, ScoreIsRunThenFieldThenEarlyStart) {
    // Three words in order at 4, 5, 6 with fields 12, 14, 13: run 3, field 12.
    EXPECT_EQ(Score({At(1, {4}, 12), At(1, {5}, 14), At(1, {6}, 13)}), 3u * 65536 + 0xC000 + 251);
    // Apart: run 1; the greater field wins among equal runs, start of that one.
    EXPECT_EQ(Score({At(1, {4}, 3), At(1, {9}, 13), At(1, {20}, 13)}), 65536u + 0xD000 + 246);
    // A run starting at 300 gets no start bonus; none at all scores 0.
    EXPECT_EQ(Score({At(1, {300}, 1), At(1, {301}, 1)}), 2u * 65536 + 0x1000);
    EXPECT_EQ(Score({}), 0u);
    // Equal runs and fields: the earlier start stays.
    EXPECT_EQ(Score({At(1, {2, 10}, 5), At(1, {3, 11}, 5)}), 2u * 65536 + 0x5000 + 253);
    // One group alone (or beside empty ones): runs of one, the first hit of the greatest field.
    EXPECT_EQ(Score({At(1, {4, 9, 20, 30})}), 65536u + 251);
    GroupHits mixed = At(1, {4, 9, 20});
    mixed.hits[0] |= 3 << 12, mixed.hits[1] |= 13 << 12, mixed.hits[2] |= 13 << 12;
    EXPECT_EQ(Score({mixed}), 65536u + 0xD000 + 246);
    EXPECT_EQ(Score({{}, mixed, {}}), 65536u + 0xD000 + 246);
}

TEST(FullTextHits, KeepingTheBestEqualsAStableSortByScoreAndACut) {
    uint32_t seed = 7;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    // Many ties; scores as the search gives them; scores over all 32 bits.
    const std::function<uint32_t()> scores[] = {[&] { return next() % 50; },
                                                [&] { return (1 + next() % 3) * 65536 + next() % 0x10000; },
                                                [&] { return next() << 16 | next(); }};
    for (size_t size : {0u, 1u, 5u, 2000u, 2001u, 6000u}) {
        for (const auto& score : scores) {
            std::vector<ScoredArticle> articles;
            for (uint32_t p = 1; articles.size() < size; p += 1 + next() % 3) articles.push_back({p, score()});
            std::vector<ScoredArticle> expected = articles;
            std::stable_sort(expected.begin(), expected.end(),
                             [](const ScoredArticle& a, const ScoredArticle& b) { return a.score > b.score; });
            expected.resize(std::min<size_t>(expected.size(), 2000));
            KeepBestArticles(articles, 2000);
            ASSERT_EQ(articles.size(), expected.size());
            for (size_t i = 0; i < articles.size(); ++i) {
                EXPECT_EQ(articles[i].position, expected[i].position) << i;
                EXPECT_EQ(articles[i].score, expected[i].score) << i;
            }
        }
    }
}

std::vector<uint8_t> Block(const std::vector<GroupHits>& records) {
    std::vector<uint8_t> out;
    for (const GroupHits& r : records) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(r.position >> (8 * i)));
        out.push_back(static_cast<uint8_t>(r.hits.size()));
        out.push_back(0);
        for (uint16_t h : r.hits) out.insert(out.end(), {static_cast<uint8_t>(h), static_cast<uint8_t>(h >> 8)});
    }
    return out;
}

TEST(FullTextHits, DamagedListKeepsTheRecordsBeforeTheDamage) {
    std::vector<uint8_t> block = Block({At(3, {1, 2}), At(8, {4}), At(12, {5, 6, 7})});
    const HitList whole = ReadHitList(block);
    ASSERT_EQ(whole.size(), 3u);
    for (size_t cut = 1; cut < block.size(); ++cut) {
        const HitList part = ReadHitList({block.data(), block.size() - cut});
        ASSERT_LT(part.size(), 3u);
        for (size_t i = 0; i < part.size(); ++i) EXPECT_EQ(HitsOf(part, i), HitsOf(whole, i));
    }
    block[18 + 4] = 200;  // the third record (at byte 18) claims 200 hits
    EXPECT_EQ(ReadHitList(block).size(), 2u);
}

class FullTextListFill : public WordListTest {
protected:
    // A dictionary whose full-text index holds `words` (id i + 1) with one hit list each.
    RDFDictionary* AddIndexed(const std::u16string& path, const std::vector<std::pair<std::u16string, std::vector<GroupHits>>>& words) {
        CreateDictionaryFile(path);
        for (size_t i = 0; i < words.size(); ++i) {
            uint32_t id = static_cast<uint32_t>(i + 1), position = 0;
            const std::vector<uint8_t> block = Block(words[i].second);
            EXPECT_EQ(engine->WriteData(cursor, block.data(), static_cast<uint32_t>(block.size()), &position),
                      DmsStatus::Success);
            std::u16string word = words[i].first;
            KeySegmentValue text{word.data(), static_cast<int32_t>(word.size() * 2)}, number{&id, 4};
            EXPECT_EQ(engine->SelectIndex(cursor, kIndexFullTextWords), DmsStatus::Success);
            EXPECT_EQ(engine->InsertKey(cursor, &text, {id, 0}), DmsStatus::Success);
            EXPECT_EQ(engine->SelectIndex(cursor, kIndexFullTextHits), DmsStatus::Success);
            EXPECT_EQ(engine->InsertKey(cursor, &number, {position, 0}), DmsStatus::Success);
        }
        FinishFile();
        return OpenOnShelf(path);
    }
};

TEST_F(FullTextListFill, WordDictionariesComeBeforeBooksAndExcludedOnesGiveNothing) {
    RDFDictionary* book = AddIndexed(u"/book.qdx", {{u"red", {At(100, {0}, 15)}}, {u"fox", {At(100, {1}, 15)}}});
    RDFDictionary* words = AddIndexed(u"/words.qdx", {{u"red", {At(50, {9}, 1), At(60, {3}, 1)}},
                                                     {u"fox", {At(50, {20}, 1), At(60, {4}, 1)}}});
    RDFDictionary* excluded = AddIndexed(u"/none.qdx", {{u"red", {At(70, {0}, 1)}}, {u"fox", {At(70, {1}, 1)}}});
    book->flags |= kFormatBook;
    excluded->flags |= kDictionaryNoFullTextSearch;
    auto list = ListOfShelf(kListSearchResults);
    FullTextQuery query;
    FillFromQuery(*list, query, u"Red fox");
    ASSERT_EQ(list->EntryCount(), 3);
    // Word dictionary first, its best article (the adjacent pair) first, the book last.
    EXPECT_EQ(list->EntryAt(0).recordId, 60u);
    EXPECT_EQ(list->EntryAt(1).recordId, 50u);
    EXPECT_EQ(list->EntryAt(2).recordId, 100u);
    EXPECT_EQ(list->EntryAt(2).dictionary, book);
    EXPECT_EQ(list->EntryAt(0).priority, static_cast<int32_t>(2u * 65536 + 0x1000 + 252));
    EXPECT_TRUE(list->EntryAt(0).flags & kEntrySearchHighlight);
    EXPECT_EQ(list->EntryAt(0).matchLength, 7);
    FillFromQuery(*list, query, u"red wolf");
    EXPECT_EQ(list->EntryCount(), 0);
    FillFromQuery(*list, query, u"\"fox red\"");
    EXPECT_EQ(list->EntryCount(), 0);
    (void)words;
}

void ExpectSameRecords(const HitList& actual, const HitList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual.Position(i), expected.Position(i)) << i;
        EXPECT_EQ(HitsOf(actual, i), HitsOf(expected, i)) << i;
    }
}

// A list of over 30 pages, its records cut by chunk ends at every offset,
// gives the same records read chunk by chunk as read whole; a read for some
// articles gives exactly theirs; a list whose positions stop ascending ends
// where a whole read ends.
TEST_F(FullTextListFill, ListsReadChunkByChunkGiveTheWholeBlocksRecords) {
    std::vector<GroupHits> big, unordered;
    for (uint32_t i = 0; i < 3000; ++i) {
        std::vector<uint16_t> words;
        for (uint32_t w = 0; w < 1 + i * 7 % 37; ++w) words.push_back(static_cast<uint16_t>(w * 3 + i % 3));
        big.push_back(At(100 + 3 * i, words, static_cast<uint16_t>(i % 16)));
        unordered.push_back(big.back());
    }
    unordered[2000].position = unordered[1999].position;
    RDFDictionary* dictionary = AddIndexed(u"/big.qdx", {{u"big", big}, {u"unordered", unordered}});
    EngineCursor hits(*engine, dictionary->fileId);
    ASSERT_EQ(hits.SelectIndex(kIndexFullTextHits), DmsStatus::Success);
    DMSFile& file = *engine->FindFile(dictionary->fileId);
    for (uint32_t id : {1u, 2u}) {
        const std::vector<uint8_t> block = Block(id == 1 ? big : unordered);
        const HitList whole = ReadHitList(block);
        ASSERT_EQ(whole.size(), id == 1 ? 3000u : 2000u);
        StoredHitList stored;
        ASSERT_EQ(FindStoredHitList(*engine, hits.handle(), id, stored), DmsStatus::Success);
        EXPECT_EQ(stored.bytes, block.size());
        ASSERT_GT(stored.bytes, 30 * file.PageSize());
        HitList read;
        ASSERT_EQ(ReadStoredHitList(file, stored.position, nullptr, read), DmsStatus::Success);
        ExpectSameRecords(read, whole);
        // Articles present and absent, the first, the last, none, past the end.
        std::vector<uint32_t> some;
        for (uint32_t p = 100; p < 100 + 3 * 3000; p += 29) some.push_back(p);
        for (const std::vector<uint32_t>& wanted : std::vector<std::vector<uint32_t>>{
                 some, {100}, {100 + 3 * 2999}, {}, {5, 100 + 3 * 3000}, {100 + 3 * 1999, 100 + 3 * 2000}}) {
            ASSERT_EQ(ReadStoredHitList(file, stored.position, &wanted, read), DmsStatus::Success);
            ExpectSameRecords(read, KeepArticles(whole, wanted));
        }
    }
}

// After the set of open dictionaries changes the search-results list runs
// its query again, and its current row stays on its article while the
// article is still found.
TEST_F(FullTextListFill, ARunAgainKeepsTheCurrentArticleWhereItStillIs) {
    RDFDictionary* words = AddIndexed(u"/words.qdx", {{u"red", {At(50, {9}, 1), At(60, {3}, 1)}},
                                                     {u"fox", {At(50, {20}, 1), At(60, {4}, 1)}}});
    auto list = ListOfShelf(kListSearchResults);
    FullTextQuery query;
    FillFromQuery(*list, query, u"red fox");
    ASSERT_EQ(list->RowCount(), 2);
    ASSERT_EQ(list->RowEntry(1)->recordId, 50u);

    struct Host : IListViewHost {
        void FillPage() override {}
        void UpdateView() override {}
        void UpdateCommandState(int32_t) override {}
        bool PostHeadword(int32_t, std::u16string_view) override { return false; }
        void TranslateText(int32_t) override {}
        void RunQueryAgain() override { ++runs; }
        int runs = 0;
    } host;
    ListViewModel view(kViewSearchResults, list.get(), &host);
    RDFDictionary* more = AddIndexed(u"/more.qdx", {{u"red", {At(10, {0}, 1), At(70, {5}, 1)}},
                                                   {u"fox", {At(10, {1}, 1), At(70, {6}, 1)}}});
    list->AddDictionary(more);
    view.OnDictionarySetChanged(words, true);
    EXPECT_EQ(host.runs, 1);

    int32_t row = RefillFromFullTextQuery(*list, query, u"red fox", 1);
    ASSERT_EQ(list->RowCount(), 4);
    EXPECT_EQ(list->RowEntry(row)->dictionary, words);
    EXPECT_EQ(list->RowEntry(row)->recordId, 50u);
    // The article's dictionary is gone: the row stays inside the list.
    list->RemoveDictionary(words);
    row = RefillFromFullTextQuery(*list, query, u"red fox", 3);
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(row, 1);
    list->RemoveDictionary(more);
    EXPECT_EQ(RefillFromFullTextQuery(*list, query, u"red fox", 1), -1);
}

// A hit list the engine refuses to read, found by index 111 (its first
// chunk's length past its page) or read whole (its first chunk claims a byte
// more than the chain holds), is no word the index lacks: its dictionary
// gives nothing for the query and keeps the refusal, told once, naming the
// file; the intact dictionary's articles are listed as without the others,
// and each damaged dictionary still answers a query of its intact word.
TEST_F(FullTextListFill, ARefusedHitListGivesNothingFromItsDictionaryAndIsToldOnce) {
    const auto words = [](uint32_t base) {
        return std::vector<std::pair<std::u16string, std::vector<GroupHits>>>{
            {u"red", {At(base, {9}, 1), At(base + 10, {3}, 1)}}, {u"fox", {At(base, {20}, 1), At(base + 10, {4}, 1)}}};
    };
    RDFDictionary* intact = AddIndexed(u"/intact.qdx", words(50));
    RDFDictionary* unread = AddIndexed(u"/unread.qdx", words(150));
    RDFDictionary* unfound = AddIndexed(u"/unfound.qdx", words(250));
    // Plain files: a data position is the file offset of its chunk.
    const auto damage = [&](RDFDictionary* dictionary, const std::u16string& path, uint32_t id, uint32_t field,
                            uint32_t value) {
        EngineCursor hits(*engine, dictionary->fileId);
        ASSERT_EQ(hits.SelectIndex(kIndexFullTextHits), DmsStatus::Success);
        StoredHitList stored;
        ASSERT_EQ(FindStoredHitList(*engine, hits.handle(), id, stored), DmsStatus::Success);
        dictionary->Close();
        std::vector<uint8_t> bytes = *disk.Contents(path);
        storage::StoreU32(bytes.data() + stored.position + field, value);
        disk.SetContents(path, bytes);
        ASSERT_EQ(dictionary->Open(2), 0u);
    };
    damage(unread, u"/unread.qdx", 2, chunk::kTotal, static_cast<uint32_t>(Block(words(150)[1].second).size()) + 1);
    damage(unfound, u"/unfound.qdx", 1, chunk::kLength, 3);
    auto list = ListOfShelf(kListSearchResults);
    FullTextQuery query;
    for (int round = 0; round < 2; ++round) {
        FillFromQuery(*list, query, u"red fox");
        ASSERT_EQ(list->RowCount(), 2) << "round " << round;
        for (int32_t row = 0; row < 2; ++row) EXPECT_EQ(list->RowEntry(row)->dictionary, intact);
        EXPECT_EQ(list->RowEntry(0)->recordId, 60u);
        list->ReportReadRefusals();
    }
    EXPECT_EQ(unread->ReadRefusal(), DmsStatus::IntegrityBroken);
    EXPECT_EQ(unfound->ReadRefusal(), DmsStatus::IntegrityBroken);
    ASSERT_EQ(app.messages.size(), 2u) << "each damaged dictionary once";
    EXPECT_EQ(app.messages[0].text, u"Cannot read file: /unread.qdx\nData integrity broken");
    EXPECT_EQ(app.messages[1].text, u"Cannot read file: /unfound.qdx\nData integrity broken");

    FillFromQuery(*list, query, u"red");
    EXPECT_EQ(list->RowCount(), 4) << "the intact list of \"red\" in both";
    FillFromQuery(*list, query, u"fox");
    EXPECT_EQ(list->RowCount(), 4) << "the intact list of \"fox\" in both";
    EXPECT_EQ(app.messages.size(), 2u);
}

}  // namespace
