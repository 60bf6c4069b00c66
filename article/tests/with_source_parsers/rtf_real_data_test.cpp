// Every EDICT and KANJIDIC record (and a tenth of ENAMDICT; all of it with
// OSTREL_FULL_ARTICLE_SWEEP=1), parsed by the source parsers and rendered to
// RTF through the print table, each in one of the print engine's flag
// combinations in turn: every document passes the lint (no style number
// the stylesheet lacks), every element the renderer shows is in the piece's
// text, whole and as its source wrote it (EDICT text is no own markup), and
// a kanji's meanings are all there, in order, each once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "article/element_text.h"
#include "article/rtf_dispatch.h"
#include "article/rtf_document.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/real_data_lines.h"
#include "article/tests/rtf_lint.h"
#include "article/tests/with_source_parsers/stored_record.h"

namespace {

constexpr uint32_t kPrintFlags[] = {0x41, 0x45, 0x49, 0x51, 0x61, 0xC1, 0x241, 0x441, 0x4D, 0x102, 0x182, 0x502};

std::string Utf8(std::u16string_view text) {
    return RtfReadable([&] {
        std::string rtf;
        for (char16_t c : text) rtf += "\\u" + std::to_string(static_cast<int16_t>(c));
        return rtf;
    }());
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
    return n;
}

class RtfRealData : public ParsedRecordTest {
protected:
    // Renders the parsed record with `flags`; checks the elements shown.
    void RenderAndCheck(uint32_t formatType, uint32_t flags, CRtfDocumentBuilder& document) {
        CRtfArticleBuilder* piece = document.AddArticle();
        ASSERT_NE(piece, nullptr);
        const std::span<const DictionaryElement> elements(dictionary.Elements(),
                                                          static_cast<size_t>(dictionary.ElementCount()));
        RenderRtfArticle(*piece, RtfTable::Print, formatType, elements, 10, flags);
        const std::string text = RtfReadable(piece->Bytes());
        bool senses = false;
        for (const DictionaryElement& e : elements.subspan(1)) {
            if (e.kind == 2) break;
            senses |= e.kind == 5;
        }
        std::string meanings;
        size_t meaningEnd = 0;
        for (size_t i = 1; i < elements.size() && elements[i].kind != 2; ++i) {
            const DictionaryElement& e = elements[i];
            std::u16string part(TrimTrailing(ElementText(e)));
            // A kanji reading's inflected ending is shown without its brackets.
            if (e.kind == 11 || e.kind == 12) std::erase_if(part, [](char16_t c) { return c == u'（' || c == u'）'; });
            if (part.empty()) continue;
            const std::string shownText = Utf8(part);
            if (formatType == 6 && e.kind == 5) {
                // In order, each once (a meaning may hold another: count both sides).
                const size_t at = text.find(shownText, meaningEnd);
                ASSERT_NE(at, std::string::npos) << "meaning " << shownText << " missing or out of order\n" << text;
                meaningEnd = at + shownText.size();
                meanings += shownText + "\x01";
            }
            bool shown = e.kind == 3 ? (flags & 0x20) == 0 && formatType != 6
                                     : e.kind == 4 || e.kind == 11 || e.kind == 12 || e.kind == 9;
            if (e.kind == 5 || e.kind == 13) shown = formatType != 6 || (flags & 0x80);
            if (e.kind == 7) shown = (flags & 0x08) == 0;
            if (e.kind == 8) shown = !senses || (flags & 0x100);
            if (!shown) continue;
            ASSERT_NE(text.find(shownText), std::string::npos) << "element " << i << " kind " << e.kind << "\n"
                                                             << text;
        }
        for (size_t at = 0, next; (next = meanings.find('\x01', at)) != std::string::npos; at = next + 1) {
            const std::string meaning = meanings.substr(at, next - at);
            ASSERT_EQ(Occurrences(text, meaning), Occurrences(meanings, meaning)) << meaning << "\n" << text;
        }
    }

    // Every `step`th line from `first` as format `formatType`, each line in
    // the flag combination of its number, one document per thousand
    // articles. Answers the records rendered.
    int32_t Sweep(const std::vector<std::u16string>& lines, uint32_t formatType, size_t first, size_t step,
                  bool lineFeed) {
        int32_t rendered = 0;
        std::unique_ptr<CRtfDocumentBuilder> document;
        auto lint = [&] {
            if (document) {
                ASSERT_EQ(RtfLint(document->Document()), "");
            }
            document.reset();
        };
        for (size_t index = first; index < lines.size(); index += step) {
            if (!ParseStoredRecord(dictionary, static_cast<uint16_t>(formatType), lineFeed ? lines[index] + u"\n" : lines[index]))
                continue;
            const uint32_t flags = kPrintFlags[index % std::size(kPrintFlags)];
            if (!document) document = std::make_unique<CRtfDocumentBuilder>(0x102);
            RenderAndCheck(formatType, flags, *document);
            if (HasFatalFailure()) return rendered;
            if (++rendered % 1000 == 0) lint();
            if (HasFatalFailure()) return rendered;
        }
        lint();
        return rendered;
    }
};

bool FullSweep() { return std::getenv("OSTREL_FULL_ARTICLE_SWEEP") != nullptr; }

// Each source in an entry of its own, EDICT in three (lines 1, 4, 7 ...;
// 2, 5, 8 ...; 3, 6, 9 ...): every line still meets the flags of its number.
class RtfRealDataEdict : public RtfRealData, public testing::WithParamInterface<size_t> {};

TEST_P(RtfRealDataEdict, EveryThirdLineInEveryPrintMode) {
    const std::vector<std::u16string> edict = ReadDecodedLines("edict");
    if (edict.empty()) GTEST_SKIP() << "Debian's EDICT is not installed";
    EXPECT_GT(Sweep(edict, 3, GetParam(), 3, false), 260000 / 3);
}

INSTANTIATE_TEST_SUITE_P(Thirds, RtfRealDataEdict, testing::Values(1, 2, 3));

TEST_F(RtfRealData, EnamdictInEveryPrintMode) {
    const std::vector<std::u16string> enamdict = ReadDecodedLines("enamdict");
    if (enamdict.empty()) GTEST_SKIP() << "Debian's ENAMDICT is not installed";
    EXPECT_GT(Sweep(enamdict, 3, 1, FullSweep() ? 1 : 10, false), FullSweep() ? 700000 : 70000);
}

TEST_F(RtfRealData, KanjidicInEveryPrintMode) {
    const std::vector<std::u16string> kanjidic = ReadDecodedLines("kanjidic");
    if (kanjidic.empty()) GTEST_SKIP() << "Debian's KANJIDIC is not installed";
    EXPECT_GT(Sweep(kanjidic, 6, 1, 1, true), 6000);
}

}  // namespace
