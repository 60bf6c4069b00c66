// The changed span of the input text and the RTF that gives a pasted text
// its two script faces in one stream.
#include <gtest/gtest.h>

#include "article/editor_lines.h"
#include "article/script_runs.h"

#include <vector>

namespace {

TEST(ChangedSpan, CoversWhatWasTypedPastedOrReplaced) {
    struct Case {
        std::u16string_view before, now;
        int32_t start, end;
    };
    for (const Case& c : {Case{u"", u"", 0, 0}, Case{u"", u"ab", 0, 2}, Case{u"ab", u"abc", 2, 3},
                          Case{u"ac", u"abc", 1, 2}, Case{u"abc", u"ac", 1, 1}, Case{u"abc", u"", 0, 0},
                          // A repeated unit is found once, wherever it went.
                          Case{u"aa", u"aaa", 2, 3}, Case{u"xaay", u"xaaay", 3, 4},
                          Case{u"cat", u"\u306D\u3053", 0, 2}, Case{u"abc", u"abc", 3, 3}}) {
        SCOPED_TRACE(testing::Message() << c.before.size() << " -> " << c.now.size());
        ChangedSpan span = FindChangedSpan(c.before, c.now);
        EXPECT_EQ(span.start, c.start);
        EXPECT_EQ(span.end, c.end);
        // Outside the span the new text is the old one.
        EXPECT_EQ(c.now.substr(0, span.start), c.before.substr(0, span.start));
        EXPECT_EQ(c.now.substr(span.end), c.before.substr(c.before.size() - (c.now.size() - span.end)));
    }
}

TEST(ScriptRunsRtf, RunsTakeTheirFacesAndSpecialCharactersAreEscaped) {
    std::string rtf = ScriptRunsRtf(u"a{b}\\ \u306D\u3053x", u"Arial", u"IPAGothic", 240);
    EXPECT_EQ(rtf,
              "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}{\\f1\\fnil\\fcharset128 IPAGothic;}}\\fs24"
              "\\f0 a\\{b\\}\\\\ \\f1 \\u12397?\\u12371?\\f0 x}");
    // Cyrillic below U+3000 stays in the Latin face; a unit above U+7FFF is written negative.
    EXPECT_EQ(ScriptRunsRtf(u"\u0416\uFF21", u"A", u"J", 200),
              "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 A;}{\\f1\\fnil\\fcharset128 J;}}\\fs20"
              "\\f0 \\u1046?\\f1 \\u-223?}");
}

TEST(ScriptRunsRtf, BoldAndItalicFollowTheAttributesAndEveryLineEndIsOneParagraph) {
    // "ab" bold, a CR LF line end, "cd" and the kana italic across the script change, "x" plain again.
    const uint16_t b = kCharBold, i = kCharItalic;
    const std::vector<uint16_t> bits = {b, b, 0, 0, i, i, i, 0};
    const std::string head =
        "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 A;}{\\f1\\fnil\\fcharset128 J;}}\\fs20";
    EXPECT_EQ(ScriptRunsRtf(u"ab\r\ncd\u306Dx", u"A", u"J", 200, bits),
              head + "\\f0\\b ab\\b0 \\par \\i cd\\f1 \\u12397?\\f0\\i0 x}");
    // A lone CR and a lone LF end a paragraph each.
    EXPECT_EQ(ScriptRunsRtf(u"a\rb\nc", u"A", u"J", 200), head + "\\f0 a\\par b\\par c}");
}

}  // namespace
