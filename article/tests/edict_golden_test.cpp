// Articles of a few real EDICT entries, read from Debian's file, checked by
// eye once and pinned: common words, multi-reading words, (P) and notes.
#include <gtest/gtest.h>

#include <string>

#include "article/formatter_family.h"
#include "article/tests/edict_entry_elements.h"
#include "article/tests/parsed_record_fixture.h"
#include "common/kana_transcription.h"
#include "common/tests/edict_files.h"

namespace {

// The EDICT line that begins with `head`, decoded; empty when absent.
std::u16string FindEdictLine(std::u16string_view head) {
    static const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    for (std::span<const uint8_t> raw : SplitLines(bytes)) {
        std::vector<uint8_t> sjis(raw.begin(), raw.end());
        sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
        std::u16string text(sjis.size(), u'\0');
        text.resize(static_cast<size_t>(DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), text.data(),
                                                          static_cast<int32_t>(text.size()))));
        if (text.starts_with(head)) return text;
    }
    return {};
}

class EdictGolden : public ParsedRecordTest {
protected:
    std::u16string Article(std::u16string_view head) {
        std::u16string line = FindEdictLine(head);
        if (line.empty() || !ParseEdictLineForTest(dictionary, line)) return u"(absent)";
        dictionary.parsedFormatType = 3;
        return std::u16string(FormatArticle(dictionary).Text());
    }
};

TEST_F(EdictGolden, RealEntriesAsTheyShow) {
    if (ReadEdictFile("edict").empty()) GTEST_SKIP() << "Debian's edict is not installed";
    // Senses that carry their own "(1)" get no second number.
    EXPECT_EQ(Article(u"猫 [ねこ]"),
              u"ねこ\n猫\n(n) \n(1) cat (esp. the domestic cat, Felis catus)\n(n) (2) shamisen\n(n) (3) geisha\n"
              u"(n) (4) (abbr) wheelbarrow\n(n) (5) (abbr) clay bed-warmer\n(n) (6) (uk) (col) bottom\n"
              u"submissive partner of a homosexual relationship\n(P)\n");
    EXPECT_EQ(Article(u"事 [じ]"),
              u"じ\n事\n(n) (Buddh) \nindividual concrete phenomenon (as opposed to a general principle)\n");

    context.flags = kTransliterateBesideKana | kTranscribeLatin;
    EXPECT_EQ(Article(u"有難う"), u"ありがとう\u3000[arigatou]\n有難う\n(int) (uk) (abbr) \n1. thank you\n2. thanks\n(P)\n");
    EXPECT_EQ(Article(u"上手 [じょうず]"),
              u"じょうず\u3000[jouzu]\n上手\n(adj-na,n) \n(1) skillful\nskilled\nproficient\ngood (at)\nadept\n"
              u"clever\n(n) (2) flattery\n(P)\n");
}

}  // namespace
