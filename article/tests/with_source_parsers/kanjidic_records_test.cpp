// Every kanjidic line stored as a KANJIDIC record and parsed by the KANJIDIC
// parser: its article is the raw line's, and its export text (the kanji
// article of its elements) heads with the kanji, the first meaning, the
// radical and the stroke count, then one line per reading.
#include <gtest/gtest.h>

#include <algorithm>

#include "article/formatter_family.h"
#include "article/kanjidic_article.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/real_data_lines.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/text/utf8.h"

namespace {

class KanjidicRecords : public ParsedRecordTest {};

// The value of `code` (one letter) in the line's tokens, empty when absent.
std::u16string Field(std::u16string_view line, char16_t code) {
    for (size_t at = line.find(u' '); at != std::u16string_view::npos; at = line.find(u' ', at + 1))
        if (at + 1 < line.size() && line[at + 1] == code)
            return std::u16string(line.substr(at + 2, line.find(u' ', at + 1) - at - 2));
    return {};
}

TEST_F(KanjidicRecords, ArticleAndExportTextOfEveryKanji) {
    std::vector<std::u16string> lines = ReadDecodedLines("kanjidic");
    if (lines.empty()) GTEST_SKIP() << "Debian's kanjidic is not installed";
    int32_t checked = 0;
    for (const std::u16string& line : lines) {
        if (line[0] == u'#' || !ParseStoredRecord(dictionary, 6, line + u"\n")) continue;
        SCOPED_TRACE(Utf16ToUtf8(line));
        StyledResult raw = WriteStyled(KanjidicArticleCapacity(static_cast<int32_t>(line.size() + 1)),
                                       [&](StyledWriter& out) { FormatKanjidicLine(line + u"\n", out); });
        ASSERT_EQ(Show(FormatArticle(dictionary)).text, raw.text);

        std::u16string exported(FormatExportText(dictionary).Text());
        size_t open = line.find(u'{');
        std::u16string meaning =
            open == std::u16string::npos ? u"" : line.substr(open + 1, line.find(u'}', open) - open - 1);
        std::u16string head = line.substr(0, line.find(u' ')) + u"\u3000\u3000" + meaning +
                              u"\u3000\u3000\u3000\u3000" + Field(line, u'B') + u" - " + Field(line, u'S') + u"\n";
        ASSERT_TRUE(exported.starts_with(head)) << Utf16ToUtf8(exported);
        int32_t readings = 0;
        for (int32_t i = 0; i < dictionary.ElementCount(); ++i)
            readings += dictionary.Elements()[i].kind == 11 || dictionary.Elements()[i].kind == 12;
        ASSERT_EQ(std::count(exported.begin(), exported.end(), u'\n'), readings + 1);
        ++checked;
    }
    EXPECT_GT(checked, 6000);
}

}  // namespace
