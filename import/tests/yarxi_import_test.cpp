// ImportYarxi and FinishYarxiArticle: the group tree and its links, the
// standard elements of "T" and other articles, the nesting limit and the
// refused texts, short groups, derived texts that move the buffer, state per
// call, and stored records that parse back to the elements of the import.
#include "import/yarxi_import.h"

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Text = std::u16string;

// "kind:text" of the standard elements after `first`, and "kind@level^parent>next"
// of the groups, counted from element `first`.
std::string Derived(const CDictionary& d, int32_t first) {
    std::string out;
    for (int32_t i = first; i < d.ElementCount(); ++i) {
        const DictionaryElement& e = d.Elements()[i];
        if (e.level >= 0) continue;
        out += std::to_string(e.kind) + ":" + Utf16ToUtf8(Text(e.text, static_cast<size_t>(e.length))) + " ";
    }
    return out;
}
std::string Tree(const CDictionary& d, int32_t first) {
    std::string out;
    const int32_t base = d.Elements()[first].level;
    auto relative = [first](int32_t link) { return std::to_string(link < first ? -1 : link - first); };
    for (int32_t i = first; i < d.ElementCount(); ++i) {
        const DictionaryElement& e = d.Elements()[i];
        if (e.level < 0) continue;
        out += std::to_string(e.kind) + "@" + std::to_string(e.level - base) + "^" + relative(e.parent) + ">" +
               relative(e.nextSibling) + " ";
    }
    return out;
}

struct Articles {
    std::vector<std::string> derived, trees;
    std::vector<Text> spans;
    int32_t stopAt = -1;
};

int32_t Collect(void* context, CDictionary& dictionary, int32_t element) {
    auto* seen = static_cast<Articles*>(context);
    const DictionaryElement& e = dictionary.Elements()[element];
    seen->derived.push_back(Derived(dictionary, element + 1));
    seen->trees.push_back(Tree(dictionary, element));
    seen->spans.emplace_back(e.begin, static_cast<size_t>(e.end - e.begin) + 1);
    return static_cast<int32_t>(seen->spans.size()) != seen->stopAt;
}

class YarxiImport : public testing::Test {
protected:
    void SetUp() override { RegisterImportParsers(); }
    int32_t Import(std::u16string_view text, int32_t mode = 0) {
        ImportCallbacks callbacks;
        callbacks.onRecord = Collect;
        callbacks.context = &seen_;
        return ImportYarxi(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), mode, callbacks);
    }
    // One stored record of `format` parsed as the dictionary object parses it.
    std::string ParseStored(const Text& span, uint16_t format, CDictionary& into) {
        std::vector<uint8_t> record = BuildArticleRecord(1, format, span);
        std::vector<char16_t> aligned((record.size() + 1) / 2);
        std::memcpy(aligned.data(), record.data(), record.size());
        if (into.ParseRecord(aligned.data(), static_cast<uint32_t>(record.size())) == 0) return "refused";
        return Tree(into, 0) + "| " + Derived(into, 0);
    }
    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    Articles seen_;
};

TEST_F(YarxiImport, ReadingListArticleGivesKanjiOnReadingAndReading) {
    ASSERT_EQ(Import(u"{\\yarxi {\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}}}"), 1);
    EXPECT_NE(dictionary_.flags & 0x80000, 0u);
    ASSERT_EQ(seen_.derived.size(), 1u);
    EXPECT_EQ(seen_.derived[0], "4:日 11:ニチ 3:ひ ");
    EXPECT_EQ(seen_.trees[0], "2@0^-1>-1 39@1^0>2 42@1^0>3 51@1^0>-1 ");
    EXPECT_EQ(seen_.spans[0], u"{\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}}");
}

TEST_F(YarxiImport, OnlyReadingListArticlesDeriveFromTheirOwnWordReadingAndSenseGroups) {
    const Text body = u"{\\j 上}{\\n 12}{\\on [JOU]}{\\k 上る}{\\r [a-ga (ru)]}{\\r [AGARU]}{\\s  to rise}"
                      u"{\\ss {\\s nested}{\\k 下}}";
    ASSERT_EQ(Import(u"{\\yarxi {\\a 0006 " + body + u"}{\\a T " + body + u"}}"), 1);
    ASSERT_EQ(seen_.derived.size(), 2u);
    EXPECT_EQ(seen_.derived[0], "4:上 13:12 11:ジョウ ");
    // The second "r" has the same katakana as the first; the nested groups are not the article's own.
    EXPECT_EQ(seen_.derived[1], "4:上 13:12 11:ジョウ 4:上る 3:あがる 5:to rise ");
}

TEST_F(YarxiImport, TreeLinksParentLevelAndNextSibling) {
    CDictionary stored(0, engine_);
    EXPECT_EQ(ParseStored(u"{\\a {\\j x}{\\n 1}}", 14, stored), "2@0^-1>-1 39@1^0>2 40@1^0>-1 | 4:x 13:1 ");
    EXPECT_EQ(ParseStored(u"{\\a {\\cmps {\\cmpg {\\cmp {\\a {\\j y}}}{\\cmp {\\cmpn z}}}}{\\names {\\name {\\a w}}}}", 14,
                          stored),
              "2@0^-1>-1 48@1^0>8 49@2^1>-1 50@3^2>6 2@4^3>-1 39@5^4>-1 50@3^2>-1 61@4^6>-1 56@1^0>-1 57@2^8>-1 "
              "2@3^9>-1 | 4:y ");
}

TEST_F(YarxiImport, NineteenLevelsParseAndATwentiethIsRefused) {
    Text deep = u"{\\yarxi ";
    for (int i = 1; i < kYarxiMaxLevels; ++i) deep += u"{\\a ";
    deep += Text(kYarxiMaxLevels, u'}');
    EXPECT_EQ(Import(deep), 1);
    Text tooDeep = u"{\\yarxi ";
    for (int i = 1; i <= kYarxiMaxLevels; ++i) tooDeep += u"{\\a ";
    EXPECT_EQ(Import(tooDeep + Text(kYarxiMaxLevels + 1, u'}')), 0);
}

TEST_F(YarxiImport, WrongStartsUnmatchedBracesAndStopsGiveZero) {
    EXPECT_EQ(Import(u"{\\rdf2 {\\a x}}"), 0);
    EXPECT_EQ(Import(u"{\\yarx}"), 0);
    EXPECT_EQ(dictionary_.TextLength(), 0) << "a refused text is not kept";
    EXPECT_EQ(Import(u"{\\yarxi"), 1) << "14 bytes, no article";
    EXPECT_EQ(Import(u"\uFEFF{\\yarxi {\\a x}}}"), 0);
    EXPECT_EQ(seen_.spans.size(), 1u) << "the article before the stray brace was reported";
    seen_ = {};
    seen_.stopAt = 2;
    EXPECT_EQ(Import(u"{\\yarxi {\\a 1}{\\a 2}{\\a 3}}"), 0);
    EXPECT_EQ(seen_.spans.size(), 2u);
}

TEST_F(YarxiImport, GroupsShorterThanTheirKeywordExpectDeriveNothing) {
    ASSERT_EQ(Import(u"{\\yarxi {\\a T{\\j}{\\n}{\\on}{\\on [}{\\k}{\\r}{\\r [}{\\s}{\\j }{\\n }}{\\a {\\j 日"), 1);
    ASSERT_EQ(seen_.derived.size(), 1u);
    EXPECT_EQ(seen_.derived[0], "");
    // A group left open runs to the end of the text.
    CDictionary stored(0, engine_);
    EXPECT_EQ(ParseStored(u"{\\a {\\j 日", 14, stored), "2@0^-1>-1 39@1^0>-1 | ");
    EXPECT_EQ(Text(stored.Elements()[1].text, stored.Elements()[1].length), u"{\\j 日");
}

TEST_F(YarxiImport, DerivedTextsThatMoveTheBufferLeaveEveryElementIntact) {
    // Far more derived text than the buffer's spare room.
    Text article = u"{\\a T";
    for (int i = 0; i < 3000; ++i) article += u"{\\s " + Text(20, char16_t(u'а' + i % 32)) + u"}";
    ASSERT_EQ(Import(u"{\\yarxi " + article + u"}"), 1);
    ASSERT_EQ(seen_.spans.size(), 1u);
    EXPECT_EQ(seen_.spans[0], article + u"}");
    const std::string& derived = seen_.derived[0];
    EXPECT_EQ(std::count(derived.begin(), derived.end(), ':'), 3000);
    EXPECT_NE(derived.find("5:" + Utf16ToUtf8(Text(20, u'я'))), std::string::npos);
}

TEST_F(YarxiImport, DerivedTextsServeTheCallbackOnly) {
    const std::u16string_view text = u"{\\yarxi {\\a T{\\j 日}{\\s sun}}{\\a T{\\j 月}{\\s moon}}}";
    ASSERT_EQ(Import(text), 1);
    EXPECT_EQ(seen_.derived, (std::vector<std::string>{"4:日 5:sun ", "4:月 5:moon "}));
    EXPECT_EQ(dictionary_.TextLength(), static_cast<int32_t>(text.size())) << "the source text alone";
}

// A callback that parses another text into another dictionary does not
// disturb the parse it was called from.
struct Reentrant {
    CDictionary* other;
    Articles inner;
    std::vector<std::string> outer;
};
int32_t ParseAnotherText(void* context, CDictionary& dictionary, int32_t element) {
    auto* r = static_cast<Reentrant*>(context);
    r->outer.push_back(Derived(dictionary, element + 1));
    ImportCallbacks callbacks;
    callbacks.onRecord = Collect;
    callbacks.context = &r->inner;
    const std::u16string_view text = u"{\\yarxi {\\a T{\\j 水}{\\on [SUI]}{\\cmps {\\cmpg x}}}}";
    r->other->ClearParsedArticle();
    return ImportYarxi(*r->other, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks);
}

TEST_F(YarxiImport, StateLivesInTheCall) {
    CDictionary other(0, engine_);
    Reentrant r{&other, {}, {}};
    ImportCallbacks callbacks;
    callbacks.onRecord = ParseAnotherText;
    callbacks.context = &r;
    const std::u16string_view text = u"{\\yarxi {\\a T{\\j 日}{\\on [NICHI]}}{\\a {\\j 月}{\\on [GETSU]}}}";
    ASSERT_EQ(ImportYarxi(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);
    EXPECT_EQ(r.outer, (std::vector<std::string>{"4:日 11:ニチ ", "4:月 11:ゲツ "}));
    EXPECT_EQ(r.inner.derived, (std::vector<std::string>{"4:水 11:スイ ", "4:水 11:スイ "}));
}

TEST_F(YarxiImport, StoredRecordsParseBackToTheImportedElements) {
    const std::u16string_view text =
        u"{\\yarxi {\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}{\\r [hi]}{\\s day}}\r\n"
        u"{\\a 0010 {\\j 上}{\\n 7}{\\rad 1}{\\str 3}{\\cmps {\\cmpg {\\cmp {\\a {\\j 上}{\\on [JOU]}}}}}}}";
    ASSERT_EQ(Import(text), 1);
    ASSERT_EQ(seen_.spans.size(), 2u);
    for (size_t i = 0; i < seen_.spans.size(); ++i) {
        CDictionary stored(0, engine_);
        const uint16_t format = seen_.spans[i][4] == u'T' ? 15 : 14;
        EXPECT_EQ(ParseStored(seen_.spans[i], format, stored), seen_.trees[i] + "| " + seen_.derived[i]) << i;
    }
}

TEST(YarxiTables, EveryKeywordLeadsToItsKindAndTable) {
    EXPECT_EQ(FindYarxiControlWord(kYarxiRootTable, u"yarxi")->next, kYarxiArticleTable);
    EXPECT_EQ(FindYarxiControlWord(kYarxiArticleTable, u"a")->kind, 2u);
    EXPECT_EQ(FindYarxiControlWord(kYarxiKanjiVocabulary, u"cmps")->next, kYarxiCompoundGroupTable);
    EXPECT_EQ(FindYarxiControlWord(kYarxiCompoundGroupTable, u"cmpg")->next, kYarxiCompoundTable);
    EXPECT_EQ(FindYarxiControlWord(kYarxiCompoundTable, u"cmp")->next, kYarxiNestedArticleTable);
    EXPECT_EQ(FindYarxiControlWord(kYarxiNameTable, u"name")->next, kYarxiNestedArticleTable);
    EXPECT_EQ(FindYarxiControlWord(kYarxiNestedArticleTable, u"a")->next, kYarxiKanjiVocabulary);
    EXPECT_EQ(FindYarxiControlWord(kYarxiNestedArticleTable, u"cmpn")->kind, 61u);
    EXPECT_EQ(FindYarxiControlWord(kYarxiKanjiVocabulary, u"cmp"), nullptr) << "exact match, own table only";
    EXPECT_EQ(FindYarxiControlWord(kYarxiKanjiVocabulary, u"J"), nullptr);
    EXPECT_EQ(FindYarxiControlWord(kYarxiKanjiVocabulary, u"jl"), nullptr);
    const char16_t* words[] = {u"j", u"jn", u"on", u"n", u"rad", u"str", u"use", u"kun", u"cmps", u"names", u"ss",
                               u"rs", u"dic", u"an", u"jlpt", u"pin", u"frq", u"k", u"r", u"rr", u"s", u"ref"};
    const uint32_t kinds[] = {39, 41, 42, 40, 45, 46, 47, 43, 48, 56, 58, 59, 60, 44, 62, 63, 64, 51, 52, 53, 54, 55};
    for (size_t i = 0; i < std::size(words); ++i) {
        const YarxiControlWord* found = FindYarxiControlWord(kYarxiKanjiVocabulary, words[i]);
        ASSERT_NE(found, nullptr) << Utf16ToUtf8(words[i]);
        EXPECT_EQ(found->kind, kinds[i]);
    }
}

}  // namespace
