// YARXI articles of records parsed by the YARXI record parser: hand-written
// entries with their text and colour runs, the labels' edge cases, small
// capacities, damaged trees, and random markup through every member of
// formats 14 and 15 (OSTREL_YARXI_FUZZ=N rounds instead of 2000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/yarxi_article.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

// The article with each run of units of one attribute word other than 0
// written "{hex:text}".
std::string Marked(std::u16string_view text, std::span<const uint32_t> attributes) {
    std::string out;
    for (size_t at = 0; at < text.size();) {
        size_t end = at + 1;
        while (end < text.size() && attributes[end] == attributes[at]) ++end;
        const std::string run = Utf16ToUtf8(std::u16string(text.substr(at, end - at)));
        if (attributes[at] == 0) {
            out += run;
        } else {
            char hex[16];
            std::snprintf(hex, sizeof hex, "{%x:", attributes[at]);
            out += hex + run + "}";
        }
        at = end;
    }
    return out;
}

class YarxiArticle : public testing::Test {
protected:
    std::string Article(std::u16string_view record) {
        const uint16_t format = record.size() > 4 && record[4] == u'T' ? 15 : 14;
        if (!ParseStoredRecord(dictionary_, format, record)) return "not parsed";
        const FormattedText article = FormatArticle(dictionary_);
        EXPECT_EQ(article.Kind(), FormattedTextKind::Styled);
        return Marked(article.Text(), article.Attributes());
    }
    SimulatedDisk disk_;
    CDMS engine_{disk_};
    CDictionary dictionary_{0, engine_};
};

struct Entry {
    std::u16string_view record;
    const char* article;
};

// Hand-written entries in the layout of the source, each article with its runs.
const Entry kEntries[] = {
    {u"{\\a 0001 {\\j 日}{\\n 72}{\\on [NICHI]}{\\on [JITSU]}{\\kun <i>хи</i>, ка: солнце; день}}",
     "{30:日}　　　72\n{20:NICHI}, {20:JITSU}\n{4:хи}, ка: солнце; день\n\n{50:0001 }\n"},
    {u"{\\a 0002 {\\j 月}{\\n 74}{\\n 75}{\\jn <i>цуки</i> 月見}{\\rad 74}{\\str 4}}",
     "{30:月}　　　74 ・ 75\n{4:цуки }月見\n\nКлюч: 74. Штрихов: 4\n{50:0002 }\n"},
    {u"{\\a 0003 {\\j 水}{\\rad 85}{\\rad 3}{\\str 4}{\\use TN123 часто}{\\frq 223}{\\jlpt 5}{\\dic D1}}",
     "{30:水}\n\nКлюч: 85, 3. Штрихов: 4. Исп.: часто\nЧастотность: 223, JLPT: 5\nD1\n{50:0003 }\n"},
    {u"{\\a 0004 {\\j 木}{\\cmps {\\cmpg {\\cmp {\\a {\\j 木}{\\kun ки}}}{\\cmp {\\cmpn <b>x</b> y}}}}}",
     "{30:木}\n  \n{30:木}\nки\n  {2:x} y\n\n{50:0004 }\n"},
    {u"{\\a 0005 {\\j 人}{\\names {\\name {\\a {\\kun Хито}}}}{\\ss {\\s первый}{\\s второй}}}",
     "{30:人}\n  \n\nХито{2:\n}\nпервый\nвторой\n\n{50:0005 }\n"},
    {u"{\\a T{\\j 上}{\\k 上る}{\\r [agaru]}{\\r [noboru]}{\\s 1) подниматься 2) взбираться 10) x}}",
     "{30:上}上る\n{20:[agaru]}, {20:[noboru]}\n1) подниматься \n2) взбираться 10) x\n\n{50:T}\n"},
    {u"{\\a T {\\j 下}{\\ref {\\r [shita]}}{\\rs {\\r [sage]}}}",
     "{30:下}{20:[shita]}{2:\n}\n{20:[sage]}\n\n{50:T }\n"},
    {u"{\\a 0008 {\\j 𠀋}{\\an 丈}{\\pin zhang}{\\pin yi}}",
     "{30:𠀋}\n  丈  zhang, yi\n\n{50:0008 }\n"},
    {u"{\\a 0009 {\\j 山}{\\on\r\n[SAN]\r\n[ZAN]}{\\kun яма}}",
     "{30:山}\n{20:SAN} {20:ZAN}\nяма\n\n{50:0009 }\n"},
    {u"{\\a 0010 {\\j 川}{\\kun a  b <x>c</x>}{\\cmps {\\cmpg}}}",
     "{30:川}\na b c\n  \n\n{50:0010 }\n"},
};

TEST_F(YarxiArticle, HandWrittenEntriesGiveTheirArticles) {
    for (const Entry& entry : kEntries)
        EXPECT_EQ(Article(entry.record), entry.article) << Utf16ToUtf8(std::u16string(entry.record));
}

TEST_F(YarxiArticle, RadicalsJoinStrokesFollowAndTagsSwitchBold) {
    EXPECT_EQ(Article(u"{\\a 1 {\\rad 3}{\\rad 4}}"), "\n\nКлюч: 3, 4\n{50:1 }\n");
    EXPECT_EQ(Article(u"{\\a 1 {\\rad 3}{\\str 5}}"), "\n\nКлюч: 3. Штрихов: 5\n{50:1 }\n");
    EXPECT_EQ(Article(u"{\\a 1 {\\kun <b>x</b>}}"), "\n{2:x}\n\n{50:1 }\n");
    EXPECT_EQ(Article(u"{\\a 1 {\\j}{\\j }{\\j x"), "{30:x}\n\n{50:1 }\n") << "short kanji groups write what they have";
}

TEST_F(YarxiArticle, EveryWriteStaysBelowTheCapacity) {
    ASSERT_TRUE(ParseStoredRecord(dictionary_, 14, kEntries[2].record));
    const std::span<const DictionaryElement> elements(dictionary_.Elements(), dictionary_.ElementCount());
    const std::string full = Article(kEntries[2].record);
    for (int32_t capacity = 0; capacity < 80; ++capacity) {
        std::vector<char16_t> text(static_cast<size_t>(capacity) + 8, u'#');
        std::vector<uint32_t> attributes(text.size(), 0xABCD);
        const int32_t end = ParseYarxiMarkup(elements, 0, -1, 0, text.data(), attributes.data(), 0, capacity);
        EXPECT_LE(end, std::max(capacity - 1, 0));
        for (size_t i = static_cast<size_t>(capacity); i < text.size(); ++i)
            ASSERT_TRUE(text[i] == u'#' && attributes[i] == 0xABCD) << capacity;
        EXPECT_EQ(ParseYarxiMarkup(elements, 0, -1, 0, text.data(), attributes.data(), capacity, capacity), capacity);
    }
}

TEST_F(YarxiArticle, DamagedLinksAndSpansStayInsideTheRecord) {
    const std::u16string_view record = u"{\\a 1 {\\j x}{\\on [A]}{\\cmps {\\cmpg {\\cmp {\\a {\\kun y}}}}}}";
    ASSERT_TRUE(ParseStoredRecord(dictionary_, 14, record));
    const std::string intact = Marked(FormatArticle(dictionary_).Text(), FormatArticle(dictionary_).Attributes());
    DictionaryElement* e = dictionary_.Elements();
    const int32_t count = dictionary_.ElementCount();
    for (int32_t i = 0; i < count; ++i) {
        e[i].nextSibling = i;               // every link a loop
        e[i].parent = count + 5;            // no such parent
        e[i].level = i % 2 ? -7 : 1 << 30;  // levels that make no tree
    }
    const FormattedText damaged = FormatArticle(dictionary_);
    EXPECT_EQ(damaged.Text().size(), damaged.Attributes().size());
    EXPECT_NE(damaged.Text().find(u'x'), std::u16string_view::npos);
    // Groups longer than their parents, and a nested group pointing at itself.
    for (int32_t i = 1; i < count; ++i) e[i].length = 1 << 20;
    e[count - 1].text = e[count - 2].text;
    (void)FormatArticle(dictionary_);
    EXPECT_FALSE(intact.empty());
}

// Random groups, keywords, tags, brackets and digits in and out of balance.
std::u16string RandomRecord(std::mt19937& random) {
    static const std::u16string_view pieces[] = {
        u"{\\a ", u"{\\j ", u"{\\j", u"{\\on ", u"{\\k ", u"{\\r ", u"{\\s ", u"{\\rad ", u"{\\str ", u"{\\use ",
        u"{\\cmps ", u"{\\cmpg ", u"{\\cmp ", u"{\\cmpn ", u"{\\names ", u"{\\name ", u"{\\ss ", u"{\\rs ",
        u"{\\ref ", u"{\\jlpt ", u"{\\frq ", u"{\\dic ", u"{\\jn ", u"{\\n ", u"{\\pin ", u"{\\an ", u"}", u"}}",
        u"[", u"]", u"[kaku]", u"<i>", u"</i>", u"<b>", u"</b>", u"<", u">", u"TN12", u"2)", u"12)", u"1)",
        u" ", u"  ", u"\r\n", u"日", u"\U00020000", u"\xD800", u"x", u"T", u"\\", u"{", std::u16string_view(u"\0", 1)};
    std::u16string text = random() % 2 ? u"{\\a T" : u"{\\a 0001 ";
    const size_t n = random() % 40;
    for (size_t i = 0; i < n; ++i) text += pieces[random() % std::size(pieces)];
    if (random() % 3) text += u"}";
    return text;
}

TEST_F(YarxiArticle, RandomRecordsGiveBoundedArticlesColumnsAndIndexTexts) {
    const char* rounds = std::getenv("OSTREL_YARXI_FUZZ");
    const int n = rounds ? std::atoi(rounds) : 2000;
    std::mt19937 random(30);
    for (int round = 0; round < n; ++round) {
        const std::u16string record = RandomRecord(random);
        const uint16_t format = record[4] == u'T' ? 15 : 14;
        if (!ParseStoredRecord(dictionary_, format, record)) continue;
        const FormattedText article = FormatArticle(dictionary_);
        ASSERT_EQ(article.Text().size(), article.Attributes().size());
        const FormattedText exported = FormatExportText(dictionary_);
        ASSERT_TRUE(std::u16string_view(record).starts_with(exported.Text())) << "the article's own group";
        for (int32_t column : {3, 4, 5, 7, 9, 14, 20}) {
            ListCell cell;
            cell.columnKind = column;
            ASSERT_LE(GetColumnText(dictionary_, cell, column, 0), kCellTextLimit);
        }
        const int32_t capacity = static_cast<int32_t>(record.size()) + 1 + static_cast<int32_t>(random() % 300);
        std::vector<char16_t> out(static_cast<size_t>(capacity) + 4, u'#');
        std::vector<uint16_t> bits(out.size(), 0xABCD);
        const int32_t length = PrepareIndexText(format, out.data(), capacity, record.data(),
                                                static_cast<int32_t>(record.size()), bits.data());
        ASSERT_LE(length, capacity);
        for (size_t i = static_cast<size_t>(capacity); i < out.size(); ++i)
            ASSERT_TRUE(out[i] == u'#' && bits[i] == 0xABCD);
    }
}

}  // namespace
