// Every entry of Debian's EDICT (and a sample of ENAMDICT; all of it with
// OSTREL_FULL_ARTICLE_SWEEP=1) laid out as elements and formatted as article,
// list cells and index text, under the sanitizers of the native build:
// nothing the entry holds is cut or lost, senses are numbered as the rule
// says, cells stay within 254 units, and the index text is the entry with
// its blanks collapsed, each character keeping the fields it came from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/formatter_family.h"
#include "article/tests/edict_entry_elements.h"
#include "article/tests/parsed_record_fixture.h"
#include "common/kana_transcription.h"
#include "common/tests/edict_files.h"

namespace {

std::u16string DecodeEucJp(std::span<const uint8_t> raw) {
    std::vector<uint8_t> sjis(raw.begin(), raw.end());
    sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
    std::u16string text(sjis.size(), u'\0');
    text.resize(static_cast<size_t>(
        DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), text.data(), static_cast<int32_t>(text.size()))));
    return text;
}

bool HasMarkup(std::u16string_view s) { return s.find_first_of(u"<>_\\{}") != std::u16string_view::npos; }

class EdictRealData : public ParsedRecordTest {
protected:
    // Checks one laid-out entry; `line` is its source text.
    void CheckEntry(std::u16string_view line) {
        const DictionaryElement* e = dictionary.Elements();
        const int32_t count = dictionary.ElementCount();
        FormattedText article = FormatArticle(dictionary);
        ASSERT_EQ(article.Kind(), FormattedTextKind::Styled);
        std::u16string_view text = article.Text();
        ASSERT_EQ(text.find(u'\r'), std::u16string_view::npos);

        int32_t senses = 0;
        bool prenumbered = false;
        for (int32_t i = 1; i < count; ++i) {
            std::u16string_view part = TrimTrailing(ElementText(e[i]));
            if (e[i].kind == 5) {
                ++senses;
                prenumbered |= part.size() >= 3 && (std::u16string_view(u"0123456789").find(part[0]) != std::u16string_view::npos ||
                                                    (part[0] == u'(' && part[1] >= u'0' && part[1] <= u'9' && part[2] == u')'));
            }
            bool transliterated = e[i].kind == 3 && (context.flags & kTransliterateInsteadOfKana);
            if (e[i].kind == 38 || transliterated || HasMarkup(part)) continue;
            ASSERT_NE(text.find(part), std::u16string_view::npos) << "element " << i << " was cut or lost";
        }
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
        std::vector<uint16_t> bits(static_cast<size_t>(length) + 1, 0);
        for (int32_t i = 1; i < count; ++i) {
            int32_t from = static_cast<int32_t>(e[i].text - begin), to = from + e[i].length;
            for (int32_t k = from; k < to; ++k) bits[k] |= IndexFieldClassOfKind(e[i].kind);
            bits[from] |= kFieldElementStart;
            bits[to] |= kFieldElementStart;
        }
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
        ASSERT_EQ(out.substr(0, static_cast<size_t>(n)), expected) ;
        for (int32_t k = 0; k < n; ++k) ASSERT_EQ(bits[k] & 0x80FF, fields[k]);
    }

    // Formats every line (or every `step`th) of an EDICT-format file.
    int32_t Sweep(const char* name, int step) {
        std::vector<uint8_t> bytes = ReadEdictFile(name);
        int32_t checked = 0, index = 0;
        dictionary.parsedFormatType = 3;
        for (std::span<const uint8_t> raw : SplitLines(bytes)) {
            if (index++ == 0 || (index % step) != 0) continue;   // the header line
            std::u16string line = DecodeEucJp(raw);
            if (!ParseEdictLineForTest(dictionary, line)) continue;
            // Every third entry with transliteration beside the kana, every
            // third instead of it.
            context.flags = index % 3 == 0 ? 0 : (index % 3 == 1 ? kTransliterateBesideKana : kTransliterateInsteadOfKana | kTranscribeLatin);
            CheckEntry(line);
            if (HasFatalFailure()) {
                ADD_FAILURE() << name << " line " << index;
                return checked;
            }
            ++checked;
        }
        return checked;
    }
};

bool FullSweep() { return std::getenv("OSTREL_FULL_ARTICLE_SWEEP") != nullptr; }

TEST_F(EdictRealData, EveryEdictEntry) {
    if (ReadEdictFile("edict").empty()) GTEST_SKIP() << "Debian's edict is not installed";
    EXPECT_GT(Sweep("edict", 1), 260000);
}

TEST_F(EdictRealData, EnamdictEntries) {
    if (ReadEdictFile("enamdict").empty()) GTEST_SKIP() << "Debian's enamdict is not installed";
    EXPECT_GT(Sweep("enamdict", FullSweep() ? 1 : 10), FullSweep() ? 700000 : 70000);
}

}  // namespace
