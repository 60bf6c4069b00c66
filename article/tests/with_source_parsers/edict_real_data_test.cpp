// Every entry of Debian's EDICT (and a sample of ENAMDICT; all of it with
// OSTREL_FULL_ARTICLE_SWEEP=1) stored, parsed by the EDICT parser and
// formatted as article, list cells and index text, under the sanitizers:
// nothing the entry holds is cut, lost or read as markup, the senses stand
// in order and are numbered as the rule says, the export text is the article,
// cells stay within 254 units, and the index text is the entry with
// its blanks collapsed, each character keeping the fields it came from.
// A few real articles, checked by eye once, are pinned.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/formatter_family.h"
#include "article/index_marking.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/real_data_lines.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/text/kana_transcription.h"

namespace {

class EdictRealData : public ParsedRecordTest {
protected:
    // Checks the parsed entry.
    void CheckEntry() {
        const DictionaryElement* e = dictionary.Elements();
        const int32_t count = dictionary.ElementCount();
        FormattedText article = FormatArticle(dictionary);
        std::u16string_view text = article.Text();
        ASSERT_EQ(text.find(u'\r'), std::u16string_view::npos);

        int32_t senses = 0;
        bool prenumbered = false;
        size_t senseEnd = 0;  // the glosses in order
        for (int32_t i = 1; i < count; ++i) {
            std::u16string_view part = TrimTrailing(ElementText(e[i]));
            if (e[i].kind == 5) {
                ++senses;
                auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
                prenumbered |= part.size() >= 3 &&
                               (digit(part[0]) || (part[0] == u'(' && digit(part[1]) && part[2] == u')'));
            }
            bool transliterated = e[i].kind == 3 && (context.flags & kTransliterateInsteadOfKana);
            if (e[i].kind == 38 || transliterated) continue;
            // As the source wrote it: EDICT text is no own markup ("Shift_JIS", "(e.g. <>)").
            ASSERT_NE(text.find(part), std::u16string_view::npos) << "element " << i << " was cut or lost";
            if (e[i].kind == 5) {
                const size_t at = text.find(part, senseEnd);
                ASSERT_NE(at, std::u16string_view::npos) << "sense " << i << " out of order";
                senseEnd = at + part.size();
            }
        }
        EXPECT_EQ(FormatExportText(dictionary).Text(), text);  // the export text is the article
        bool numbered = senses >= 2 && !prenumbered;
        EXPECT_EQ(text.find(u"\n1. ") != std::u16string_view::npos, numbered);

        for (int32_t column : {2, 3, 4, 14}) {
            ListCell cell;
            int32_t length = GetColumnText(dictionary, cell, column, 0);
            ASSERT_LE(length, kCellTextLimit);
            ASSERT_EQ(cell.text[length], 0);
        }

        // Index text of the entry span with the element marking.
        const char16_t* begin = e[0].begin;
        const int32_t length = static_cast<int32_t>(e[0].end - begin + 1);
        std::vector<uint16_t> bits(static_cast<size_t>(length), 0);
        MarkIndexFields(dictionary, 0, begin, bits);
        std::vector<uint16_t> in(bits);
        std::u16string out(static_cast<size_t>(length), u'\0');
        int32_t n = PrepareIndexText(3, out.data(), length, begin, length, bits.data());
        // The oracle: blanks collapsed, one trailing unit below 33 dropped.
        std::u16string expected;
        std::vector<uint16_t> fields;
        for (int32_t k = 0; k < length; ++k) {
            if (begin[k] == u' ' && (expected.empty() || expected.back() == u' ')) continue;
            expected += begin[k];
            fields.push_back(in[k] & 0x80FF);
        }
        if (!expected.empty() && expected.back() < 33) expected.pop_back();
        ASSERT_EQ(out.substr(0, static_cast<size_t>(n)), expected);
        for (int32_t k = 0; k < n; ++k) ASSERT_EQ(bits[k] & 0x80FF, fields[k]);
    }

    // The article of the first EDICT line that begins with `head`.
    std::u16string Article(std::u16string_view head) {
        static const std::vector<std::u16string> lines = ReadDecodedLines("edict");
        for (const std::u16string& line : lines) {
            if (!line.starts_with(head) || !ParseStoredRecord(dictionary, 3, line)) continue;
            return std::u16string(FormatArticle(dictionary).Text());
        }
        return {};
    }

    // Formats every line (or every `step`th) of an EDICT-format file; the
    // first third of the entries plain, then with transliteration beside
    // the kana, then instead of it.
    int32_t Sweep(const std::vector<std::u16string>& lines, int step) {
        int32_t checked = 0;
        for (size_t index = 1; index < lines.size(); index += static_cast<size_t>(step)) {   // after the header
            if (!ParseStoredRecord(dictionary, 3, lines[index])) continue;
            size_t third = index * 3 / lines.size();
            context.flags = third == 0   ? 0
                            : third == 1 ? kTransliterateBesideKana
                                         : kTransliterateInsteadOfKana | kTranscribeLatin;
            CheckEntry();
            if (HasFatalFailure()) return checked;
            ++checked;
        }
        return checked;
    }
};

bool FullSweep() { return std::getenv("OSTREL_FULL_ARTICLE_SWEEP") != nullptr; }

TEST_F(EdictRealData, EveryEdictEntryAndEnamdictSample) {
    std::vector<std::u16string> edict = ReadDecodedLines("edict"), enamdict = ReadDecodedLines("enamdict");
    if (edict.empty() || enamdict.empty()) GTEST_SKIP() << "Debian's edict and enamdict are not installed";
    EXPECT_GT(Sweep(edict, 1), 260000);
    EXPECT_GT(Sweep(enamdict, FullSweep() ? 1 : 10), FullSweep() ? 700000 : 70000);
}

TEST_F(EdictRealData, RealEntriesAsTheyShowCheckedByEye) {
    if (Article(u"").empty()) GTEST_SKIP() << "Debian's edict is not installed";
    // Senses that carry their own "(1)" get no second number.
    EXPECT_EQ(Article(u"猫 [ねこ]"),
              u"ねこ\n猫\n(n) \n(1) cat (esp. the domestic cat, Felis catus)\n(n) (2) shamisen\n(n) (3) geisha\n"
              u"(n) (4) (abbr) wheelbarrow\n(n) (5) (abbr) clay bed-warmer\n(n) (6) (uk) (col) bottom\n"
              u"submissive partner of a homosexual relationship\n(P)\n");

    context.flags = kTransliterateBesideKana | kTranscribeLatin;
    EXPECT_EQ(Article(u"有難う"),
              u"ありがとう\u3000[arigatou]\n有難う\n(int) (uk) (abbr) \n1. thank you\n2. thanks\n(P)\n");
}

TEST_F(EdictRealData, IndexTextIsMarkedWithTheFieldsOfItsElements) {
    std::u16string line = u"猫 [ねこ] /(n) cat/(P)/";
    ASSERT_TRUE(ParseStoredRecord(dictionary, 3, line));
    std::vector<uint16_t> bits(line.size(), 0);
    MarkIndexFields(dictionary, 0, dictionary.Elements()[0].begin, bits);
    std::string fields, starts;
    for (uint16_t b : bits) {
        fields += b & kFieldHeadword  ? 'H'
                  : b & kFieldReading ? 'R'
                  : b & kFieldSense   ? 'S'
                  : b & kFieldNote    ? 'N'
                                      : '.';
        starts += b & kFieldElementStart ? '^' : ' ';
    }
    EXPECT_EQ(fields, "H..RR...NNNNSSS.NNN.");
    EXPECT_EQ(starts, "^^ ^ ^  ^   ^  ^^  ^");
}

}  // namespace
