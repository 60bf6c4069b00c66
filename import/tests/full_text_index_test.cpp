// The full-text index the compiler builds: hit weights of the phrase pass,
// the book rule's look-back, the per-article limits (255 hits a record,
// 4095 as the last word number), header texts left out, batches giving the
// same index as one pass, known EDICT words found through the search, and
// the packed posting stream, word table and spelling cache the build keeps
// them in.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

#include "article/display_attributes.h"
#include "dictionary/full_text_query_hits.h"
#include "dictionary/full_text_query_search.h"
#include "import/full_text_lexicon.h"
#include "import/full_text_word_table.h"
#include "import/posting_stream.h"
#include "import/spelling_id_cache.h"

#include <functional>

namespace {

struct WeightCase {
    const char* name;
    std::u16string text;
    std::vector<uint16_t> bits;   // per character, or one value for the whole text
    uint32_t format;
    std::vector<uint16_t> weights;
    std::vector<uint16_t> classes;
};

// Words of the test texts: [start, end) of each blank-separated run.
std::vector<PostingTuple> TuplesOf(std::u16string_view text) {
    std::vector<PostingTuple> out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == u' ' || text[i] == u'|') {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && text[j] != u' ' && text[j] != u'|') ++j;
        out.push_back({1, 0, 0, static_cast<uint32_t>(i), static_cast<uint32_t>(j), static_cast<uint32_t>(out.size())});
        i = j;
    }
    return out;
}

TEST(FullTextHitWeights, PhraseLengthClassAndMarks) {
    constexpr uint16_t S = kFieldElementStart;
    const WeightCase cases[] = {
        // A lone sense word between element boundaries: 12 + 1.
        {"lone sense word", u"cat", {S | 8, 8, 8}, 3, {13}, {S | 8}},
        {"headword pair", u"big dog", {S | 2, 2, 2, 2, 2, 2, 2}, 3, {11, 11}, {0, 0}},
        {"three plain words", u"a b c", {S}, 3, {5, 5, 5}, {0, 0, 0}},
        {"four plain words", u"a b c d", {S}, 3, {1, 1, 1, 1}, {0, 0, 0, 0}},
        // "|" carries a boundary mark: two phrases of one word.
        {"boundary parts a phrase", u"a|b", {S, 0, S}, 3, {13, 13}, {0, 0}},
        {"in brackets", u"a", {0x200}, 3, {12}, {0}},
        {"in brackets, own markup", u"a", {0x200}, 1, {13}, {0}},
        {"sense in a note", u"cat", {0x88}, 3, {0}, {0x88}},
        {"kana sense word", u"ねこ", {8}, 3, {13}, {0x808}},
        {"ideographic sense word", u"猫", {8}, 3, {13}, {0x408}},
        // Own markup: a translation counts as a note.
        {"own markup translation", u"cat", {4}, 1, {12}, {0}},
        {"translation elsewhere", u"cat", {4}, 3, {15}, {0}},
    };
    for (const WeightCase& c : cases) {
        std::vector<uint16_t> bits = c.bits;
        if (c.bits.size() == 1) {  // the value on every character, its start mark on the first only
            bits.assign(c.text.size(), static_cast<uint16_t>(c.bits[0] & ~kFieldElementStart));
            bits[0] = c.bits[0];
        }
        std::vector<PostingTuple> tuples = TuplesOf(c.text);
        AssignHitWeights(tuples, c.text, bits, c.format, false);
        std::vector<uint16_t> weights, classes;
        for (const PostingTuple& t : tuples) weights.push_back(t.phrase), classes.push_back(t.wordClass);
        EXPECT_EQ(weights, c.weights) << c.name;
        EXPECT_EQ(classes, c.classes) << c.name;
    }
}

TEST(FullTextHitWeights, BookRuleLooksBackFourLinesNeverBeforeTheFirst) {
    const std::vector<uint32_t> values = {0x03000000, 0x01000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
                                          0x03000000, 0x02000000};
    EXPECT_FALSE(IsBookHeadwordLine(values, 0));  // nothing before line 0 is read
    EXPECT_TRUE(IsBookHeadwordLine(values, 1));
    EXPECT_TRUE(IsBookHeadwordLine(values, 5));
    EXPECT_FALSE(IsBookHeadwordLine(values, 6));  // line 1 is five back
    EXPECT_FALSE(IsBookHeadwordLine(values, 7));
}

std::vector<HitRecordView> Records(const std::vector<uint8_t>& list) {
    std::vector<HitRecordView> out;
    HitRecordView r;
    for (size_t at = 0; ReadHitRecord(list, at, r); at += HitRecordBytes(r)) out.push_back(r);
    return out;
}

TEST_F(CompileFixture, ArticleLimitsAndHeaderWordsInTheFullTextIndex) {
    std::u16string words;
    for (int i = 0; i < 300; ++i) words += u"cat ";
    for (int i = 0; i < 4000; ++i) words += u"w" + Utf8ToUtf16(std::to_string(i)) + u" ";
    words += u"dog";
    const std::u16string source = Path("many.rdf"), target = Path("many.qdx");
    WriteUtf16File(source, u"{\\rdf1 {\\name Zebra}{\\a {\\k 猫}{\\s {\\rus " + words + u"}}}{\\a {\\k 犬}{\\s {\\rus dog}}}}");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t id = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &id), DmsStatus::Success);
    const auto index = ReadFullTextIndex(engine_, id);
    const auto articles = ReadArticles(engine_, id);
    engine_.CloseFile(id);
    ASSERT_EQ(articles.size(), 2u);
    EXPECT_FALSE(index.contains(u"zebra"));
    ASSERT_TRUE(index.contains(u"cat") && index.contains(u"dog"));
    const auto cat = Records(index.at(u"cat").hits);
    ASSERT_EQ(cat.size(), 1u);
    EXPECT_EQ(cat[0].Count(), 255u);
    // The article's 4095 postings end among the w's: its dog is dropped, the other article's kept,
    // and the dropped words got no id either.
    const auto dog = Records(index.at(u"dog").hits);
    ASSERT_EQ(dog.size(), 1u);
    EXPECT_EQ(dog[0].position, articles[1].position);
    uint32_t highest = 0;
    for (const auto& [word, entry] : index)
        for (const HitRecordView& r : Records(entry.hits))
            if (r.position == articles[0].position) highest = std::max<uint32_t>(highest, r.Hit(r.Count() - 1) & kHitWordNumberMask);
    EXPECT_EQ(highest, 4094u);
    EXPECT_FALSE(index.contains(u"w3999"));
    EXPECT_EQ(index.size(), 4u + 4095 - 301);  // 猫, cat, dog, 犬 and the w's that got a posting
    EXPECT_TRUE(Verify(target).empty());
}

// Creates `file` (replacing it) and hands `use` a search engine over its
// full-text indexes; the file's id, left open, or 0 when it cannot be made.
int32_t WithSearchEngine(CDMS& engine, const std::u16string& file, const std::function<void(CSearchEngine&)>& use) {
    std::filesystem::remove(std::filesystem::path(file));
    int32_t id = 0;
    if (Failed(engine.CreateFile(file, DictionarySchemaText)) ||
        Failed(engine.OpenFile(file, 1, DictionarySchemaText, &id)))
        return 0;
    EngineCursor words(engine, id), hits(engine, id);
    if (Failed(words.SelectIndex(kIndexFullTextWords)) || Failed(hits.SelectIndex(kIndexFullTextHits))) return 0;
    CSearchEngine search(engine, words.handle(), hits.handle());
    use(search);
    return id;
}

TEST_F(CompileFixture, PostingBufferAndWordTableLimits) {
    const int32_t id = WithSearchEngine(engine_, Path("engine.qdx"), [](CSearchEngine& search) {
        EXPECT_FALSE(search.Merging());
        for (uint32_t n = 0; n < 4095; ++n) ASSERT_EQ(search.AddPosting(1, n, n + 1, n + 1000), static_cast<int32_t>(n + 1));
        EXPECT_EQ(search.AddPosting(1, 0, 1, 0), -1);
        EXPECT_EQ(search.Tuples().back().wordNumber, 4095u);
        // Words that differ after their first 100 units are two words; past 128 units they are one key.
        const std::u16string stem(120, u'a');
        EXPECT_NE(search.GetWordId(stem + u"x"), search.GetWordId(stem + u"y"));
        const std::u16string longer(128, u'b');
        EXPECT_EQ(search.GetWordId(longer + u"x"), search.GetWordId(longer + u"y"));
        EXPECT_EQ(search.HighestWordId(), 3u);
    });
    ASSERT_NE(id, 0);
    engine_.CloseFile(id);
}

// The packed stream gives back every article and posting as written, across
// blocks and at the numbers' edges, and refuses past its limit unchanged;
// the word table finds every word by its id across its growths.
TEST(FullTextBuildMemory, StreamAndWordTableGiveBackWhatTheyTook) {
    CDataStream stream;
    std::vector<std::pair<uint32_t, std::vector<StreamedPosting>>> written;
    for (uint32_t a = 0; a < 60000; ++a) {
        std::vector<StreamedPosting> postings;
        for (uint32_t k = 0; k < a % 7; ++k) postings.push_back({a * 11 + k * 40000, static_cast<uint16_t>(a * 7 + k)});
        if (a == 1) postings = {{1, 0}, {1, 0xF000 | 4095}, {UINT32_MAX, 0xFFFF}};
        ASSERT_EQ(stream.Write(a == 2 ? UINT32_MAX : a * 3, postings), 0);
        written.push_back({a == 2 ? UINT32_MAX : a * 3, postings});
    }
    stream.maxEntries = stream.Size() + 2;
    EXPECT_EQ(stream.Write(7, std::vector<StreamedPosting>(2, StreamedPosting{1, 1})), -1);
    CDataStream::Reader reader(stream);
    uint32_t position = 0;
    StreamedPosting p{};
    for (const auto& [wanted, postings] : written) {
        ASSERT_TRUE(reader.NextArticle(position));
        ASSERT_EQ(position, wanted);
        for (const StreamedPosting& w : postings) {
            ASSERT_TRUE(reader.NextPosting(p));
            ASSERT_EQ(p.wordId, w.wordId);
            ASSERT_EQ(p.hit, w.hit);
        }
        EXPECT_FALSE(reader.NextPosting(p));
    }
    EXPECT_FALSE(reader.NextArticle(position));
    EXPECT_FALSE(reader.NextArticle(position));

    WordTable words;
    const std::u16string longest(WordTable::kMaxWordUnits, u'z');
    for (uint32_t id = 1; id <= 100000; ++id) ASSERT_TRUE(words.Add(std::u16string(u"w") + Utf8ToUtf16(std::to_string(id)), id));
    ASSERT_TRUE(words.Add(longest, 100001));
    EXPECT_FALSE(words.Add(longest + u"z", 100002));
    for (uint32_t id = 1; id <= 100000; id += 997) EXPECT_EQ(words.Find(std::u16string(u"w") + Utf8ToUtf16(std::to_string(id))), id);
    EXPECT_EQ(words.Find(longest), 100001u);
    EXPECT_EQ(words.Find(u"w0"), 0u);
    size_t seen = 0;
    words.ForEach([&](std::u16string_view word, uint32_t id, uint32_t place) {
        EXPECT_EQ(id, ++seen);
        EXPECT_EQ(words.WordAt(place), word);
        if (id <= 100000) {
            EXPECT_EQ(word, u"w" + Utf8ToUtf16(std::to_string(id)));
        }
    });
    EXPECT_EQ(seen, 100001u);
    words.Release();
    EXPECT_EQ(words.Size(), 0u);
    EXPECT_EQ(words.Find(u"w1"), 0u);
}

// The spelling cache gives back only what it was given for the very
// spelling: among three times as many spellings as it has slots, each found
// id is its own; case, length and the longest kept spelling tell spellings
// apart.
TEST(FullTextBuildMemory, SpellingCacheNeverGivesAnotherSpellingsId) {
    SpellingIdCache cache;
    EXPECT_EQ(cache.Find(u"cat"), 0u);
    const std::u16string longest(SpellingIdCache::kMaxUnits, u'q');
    cache.Keep(longest, 7);
    cache.Keep(longest + u"q", 8);
    EXPECT_EQ(cache.Find(longest), 7u);
    EXPECT_EQ(cache.Find(longest + u"q"), 0u);
    cache.Keep(u"Cat", 1);
    EXPECT_EQ(cache.Find(u"cat"), 0u);
    EXPECT_EQ(cache.Find(u"Ca"), 0u);
    EXPECT_EQ(cache.Find(u"Cat"), 1u);
    const uint32_t count = 3 * SpellingIdCache::kSlots;
    for (uint32_t id = 1; id <= count; ++id) cache.Keep(u"w" + Utf8ToUtf16(std::to_string(id)), id);
    size_t kept = 0;
    for (uint32_t id = 1; id <= count; ++id) {
        const uint32_t found = cache.Find(u"w" + Utf8ToUtf16(std::to_string(id)));
        if (found != 0) ++kept;
        ASSERT_TRUE(found == 0 || found == id) << id;
    }
    EXPECT_GT(kept, SpellingIdCache::kSlots / 2);
    EXPECT_LE(kept, SpellingIdCache::kSlots);
}

// A word's hit list holds its articles by rising position whatever order
// they were flushed in, one batch or many.
TEST_F(CompileFixture, HitListsRiseByPositionInAnyFlushOrder) {
    for (const bool rising : {true, false}) {
        for (const size_t batch : {size_t{1}, CSearchEngine::kBatchPostings}) {
            const int32_t id = WithSearchEngine(engine_, Path("order.qdx"), [&](CSearchEngine& search) {
                search.batchPostings = batch;
                for (const uint32_t position : rising ? std::vector<uint32_t>{100, 200, 300, 400}
                                                      : std::vector<uint32_t>{300, 100, 400, 200}) {
                    search.BeginArticle();
                    for (const char16_t* word : {u"cat", u"dog"})
                        if (position != 200 || word[0] == u'c')
                            search.AddPosting(static_cast<uint32_t>(search.GetWordId(word)), 0, 3, position / 100);
                    ASSERT_EQ(search.FlushRecordPostings(position), 0);
                }
                ASSERT_TRUE(search.WriteWordTable(nullptr, nullptr));
                ASSERT_TRUE(search.BuildPostings(nullptr, nullptr));
                ASSERT_TRUE(search.IndexPostings(nullptr, nullptr));
            });
            ASSERT_NE(id, 0);
            const auto index = ReadFullTextIndex(engine_, id);
            engine_.CloseFile(id);
            for (const auto& [word, wanted] : {std::pair<std::u16string, std::vector<uint32_t>>{u"cat", {100, 200, 300, 400}},
                                               {u"dog", {100, 300, 400}}}) {
                std::vector<uint32_t> positions;
                ASSERT_TRUE(index.contains(word));
                for (const HitRecordView& r : Records(index.at(word).hits)) positions.push_back(r.position);
                EXPECT_EQ(positions, wanted) << rising << " " << batch;
            }
        }
    }
}

class EdictFullText : public CompileFixture {
protected:
    const std::vector<std::string> known_ = {"\xC7\xAD [\xA4\xCD\xA4\xB3]",                  // 猫 [ねこ]
                                             "\xB9\xD4\xA4\xAF [\xA4\xA4\xA4\xAF]"};         // 行く [いく]
};

TEST_F(EdictFullText, BatchesGiveTheIndexOfOnePass) {
    if (!WriteEdictSample(Path("sample.edict"), 400, known_)) GTEST_SKIP() << "edict is not installed";
    std::u16string error;
    ASSERT_EQ(Compile(Path("sample.edict"), Path("one.qdx"), {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    ASSERT_EQ(Compile(Path("sample.edict"), Path("many.qdx"), {.fullTextBatchPostings = 50}), 1);
    int32_t one = 0, many = 0;
    ASSERT_EQ(engine_.OpenFile(Path("one.qdx"), 2, DictionarySchemaText, &one), DmsStatus::Success);
    ASSERT_EQ(engine_.OpenFile(Path("many.qdx"), 2, DictionarySchemaText, &many), DmsStatus::Success);
    const auto a = ReadFullTextIndex(engine_, one), b = ReadFullTextIndex(engine_, many);
    EXPECT_GT(a.size(), 500u);
    EXPECT_TRUE(a == b);

    // Known words through the search: "cat" finds 猫, the phrase "to go" finds 行く.
    const auto articles = ReadArticles(engine_, one);
    auto texts = [&](std::u16string_view query) {
        FullTextQuery q;
        std::vector<std::u16string> out;
        for (const ScoredArticle& hit : SearchDictionary(q, q.Parse(query), engine_, one))
            for (const ArticleText& article : articles)
                if (article.position == hit.position) out.push_back(article.text.substr(0, article.text.find(u'/')));
        return out;
    };
    const auto cats = texts(u"cat");
    EXPECT_NE(std::find(cats.begin(), cats.end(), u"猫 [ねこ] "), cats.end());
    const auto goes = texts(u"\"to go\"");
    EXPECT_NE(std::find(goes.begin(), goes.end(), u"行く [いく] "), goes.end());
    EXPECT_TRUE(texts(u"\"go to\" wheelbarrow").empty());
    engine_.CloseFile(one);
    engine_.CloseFile(many);
}

}  // namespace
