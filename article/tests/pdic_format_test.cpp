// PDIC and EIJIRO articles and the EIJIRO senses column: the worked lines,
// the NUL rule at the end of a record, and lines made from Debian's EDICT
// entries (real headwords, readings and glosses) in both layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "article/formatter_family.h"
#include "article/pdic_format.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/real_data_lines.h"

namespace {

class OneLineEntries : public ParsedRecordTest {
protected:
    void Line(uint32_t formatType, std::u16string_view line) {
        dictionary.ClearParsedArticle();
        AddElement(dictionary, 2);
        dictionary.parsedFormatType = formatType;
        const int32_t offset = dictionary.AppendText(static_cast<int32_t>(line.size()), line.data());
        DictionaryElement& entry = dictionary.Elements()[0];
        entry.begin = dictionary.Text() + offset;
        entry.end = entry.begin + line.size() - 1;
    }
    StyledResult Article() { return Show(FormatArticle(dictionary)); }
    std::u16string Column(int32_t kind) {
        ListCell cell;
        GetColumnText(dictionary, cell, kind, 0);
        return {cell.text, static_cast<size_t>(cell.length)};
    }
};

TEST_F(OneLineEntries, EijiroHeadPartOfSpeechAndTranslation) {
    Line(8, u"\u25A0ringo {\u540D} : \u6797\u6A8E");
    const StyledResult article = Article();
    EXPECT_EQ(article.text, u"ringo \n\u3010\u540D\u3011 \n\u6797\u6A8E");
    EXPECT_EQ(article.ClassOf(u"ringo"), kClassPlain);
    EXPECT_EQ(Column(4), u"\u3010\u540D\u3011\u6797\u6A8E");
    EXPECT_EQ(Show(FormatExportText(dictionary)).text, article.text);
}

TEST_F(OneLineEntries, HeadwordClassFollowsItsScript) {
    Line(8, u"\u25A0\u306D\u3053 : cat");
    EXPECT_EQ(Article().ClassOf(u"\u306D\u3053"), kClassReading);
    Line(8, u"\u25A0\u732B\u306D : cat");
    EXPECT_EQ(Article().ClassOf(u"\u732B"), kClassHeadword);
    Line(8, u"\u25A0cat : \u732B");
    EXPECT_EQ(Article().ClassOf(u"cat"), kClassPlain);
}

TEST_F(OneLineEntries, SensesAreNumberedOnlyWithTwoOrMoreMarks) {
    Line(8, u"\u25A0x : a\u25CFb\u25CFc");
    EXPECT_EQ(Article().text, u"x \n1. a\n2. b\n3. c");
    Line(8, u"\u25A0x : abc");
    EXPECT_EQ(Article().text, u"x \nabc");
    // A mark before the first sense is that sense's own: no empty "1.".
    Line(8, u"\u25A0x : \u25CFa\u25CFb");
    EXPECT_EQ(Article().text, u"x \n1. a\n2. b");
    EXPECT_EQ(Show(FormatExportText(dictionary)).text, u"x \n1. a\n2. b");
    Line(8, u"\u25A0x : \u3010\u7528\u4F8B\u3011 y\u25A0\u30FBz");
    EXPECT_EQ(Article().text, u"x \n\u3010\u7528\u4F8B\u3011\ny\n\u30FBz");
}

TEST_F(OneLineEntries, AfterSemicolonHeadGetsTheBarWithoutABracket) {
    Line(8, u"\u25A0run\uFF1Bquickly : \u8D70\u308B");
    EXPECT_EQ(Column(4), u"quickly\u2015\u3000\u8D70\u308B");
    Line(8, u"\u25A0run\uFF1B\u3010\u81EA\u52D5\u3011 : \u8D70\u308B");
    EXPECT_EQ(Column(4), u"\u3010\u81EA\u52D5\u3011 \u8D70\u308B");
}

TEST_F(OneLineEntries, PdicResumesAfterTheAttributeAndNeverPastTheRecord) {
    Line(7, std::u16string(u"\u732B\0\x01\u3010\u540D\u3011\u306D\u3053", 8));
    EXPECT_EQ(Article().text, u"\u732B\n\u3010\u540D\u3011\n\u306D\u3053");
    Line(7, std::u16string(u"word\0", 5));   // ends right after the NUL
    EXPECT_EQ(Article().text, u"word\n");
    Line(7, std::u16string(u"word\0\x02", 6));   // ends on the attribute
    EXPECT_EQ(Article().text, u"word\n");
}

// EDICT "KANJI [KANA] /(pos) gloss/gloss/" as EIJIRO and PDIC lines.
struct EdictEntry {
    std::u16string headword, reading, partOfSpeech;
    std::vector<std::u16string> glosses;
};

bool ParseEdictLine(const std::u16string& line, EdictEntry& entry) {
    const size_t slash = line.find(u" /");
    if (slash == std::u16string::npos) return false;
    const size_t bracket = line.find(u" [");
    entry.headword = line.substr(0, bracket < slash ? bracket : slash);
    entry.reading = bracket < slash ? line.substr(bracket + 2, line.find(u']', bracket) - bracket - 2) : u"";
    entry.glosses.clear();
    entry.partOfSpeech.clear();
    for (size_t at = slash + 2; at < line.size();) {
        const size_t next = line.find(u'/', at);
        if (next == std::u16string::npos) break;
        std::u16string gloss = line.substr(at, next - at);
        if (entry.glosses.empty() && gloss.starts_with(u"(") && gloss.find(u") ") != std::u16string::npos) {
            const size_t close = gloss.find(u") ");
            entry.partOfSpeech = gloss.substr(1, close - 1);
            gloss = gloss.substr(close + 2);
        }
        // Marks and separators of the two layouts cannot stand in a gloss.
        if (gloss.find_first_of(u"{}:\u25CF\u25A0\uFF1B\u3010") != std::u16string::npos) return false;
        if (!gloss.empty() && gloss != u"EntL") entry.glosses.push_back(gloss);
        at = next + 1;
    }
    return !entry.glosses.empty() && entry.headword.find_first_of(u"{:\uFF1B") == std::u16string::npos &&
           entry.partOfSpeech.find_first_of(u"{}") == std::u16string::npos;
}

TEST_F(OneLineEntries, EdictEntriesInBothLayouts) {
    const std::vector<std::u16string> lines = ReadDecodedLines("edict");
    if (lines.empty()) GTEST_SKIP() << "Debian's edict is not installed";
    int compared = 0;
    for (size_t i = 1; i < lines.size(); i += 13) {
        EdictEntry entry;
        if (!ParseEdictLine(lines[i], entry) || entry.partOfSpeech.empty()) continue;
        std::u16string senses;
        for (const auto& gloss : entry.glosses) senses += (senses.empty() ? u"" : u"\u25CF") + gloss;
        std::u16string expected;
        for (size_t n = 0; n < entry.glosses.size(); ++n) {
            if (entry.glosses.size() > 1) {
                const std::string number = std::to_string(n + 1) + ". ";
                expected += (n ? u"\n" : u"") + std::u16string(number.begin(), number.end());
            }
            expected += entry.glosses[n];
        }

        Line(8, u"\u25A0" + entry.headword + u" {" + entry.partOfSpeech + u"} : " + senses);
        const StyledResult eijiro = Article();
        ASSERT_EQ(eijiro.text, entry.headword + u" \n\u3010" + entry.partOfSpeech + u"\u3011 \n" + expected)
            << i;
        const bool kanaOnly = std::all_of(entry.headword.begin(), entry.headword.end(),
                                          [](char16_t c) { return c >= 0x3041 && c <= 0x30FE; });
        const bool withKanji = std::any_of(entry.headword.begin(), entry.headword.end(),
                                           [](char16_t c) { return c >= 0x4E00 && c <= 0x9FFF; });
        if (kanaOnly) {
            EXPECT_EQ(eijiro.attributes[0], kClassReading) << i;
        }
        if (withKanji) {
            EXPECT_EQ(eijiro.attributes[0], kClassHeadword) << i;
        }
        EXPECT_EQ(Column(4), (u"\u3010" + entry.partOfSpeech + u"\u3011" + senses).substr(0, kCellTextLimit)) << i;

        const std::u16string pdic = entry.headword + std::u16string(1, u'\0') + u"\x01" + senses + std::u16string(1, u'\0') + u"\x01" + u"ext";
        Line(7, pdic);
        const StyledResult pdicArticle = Article();
        ASSERT_TRUE(pdicArticle.text.starts_with(entry.headword + u"\n" + expected)) << i;
        EXPECT_EQ(pdicArticle.attributes[0], eijiro.attributes[0]) << i;
        ++compared;
    }
    EXPECT_GT(compared, 5000);
}

}  // namespace
