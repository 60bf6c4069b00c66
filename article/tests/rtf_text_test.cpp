// RtfTextReader over documents of the builder's kind: the tables and
// "{\*...}" groups give no text, "\u" values come back as their units
// (negative ones and surrogate pairs too), paragraph and line breaks as
// CR LF, "\tab" and "\~" as their characters, a "\ucN" stand-in is dropped,
// and a document read in parts split at every byte reads the same.
#include <gtest/gtest.h>

#include <string>

#include "article/rtf_document.h"
#include "article/rtf_text.h"

namespace {

std::u16string TextOf(std::string_view rtf) {
    RtfTextReader reader;
    reader.Read(rtf);
    return reader.Text();
}

TEST(RtfText, ReadsTheTextOfTheBuildersDocuments) {
    CRtfDocumentBuilder document(0x100 | 0x2);  // with the stylesheet and its generator group
    document.blankLines = 2;
    CRtfArticleBuilder* first = document.AddArticle();
    first->SetColor(0x7F);
    first->AppendRaw("\\pard\\b1 ");
    first->AppendText(u"ＯＳ Tōhoku \U0002000B {\\}\t1");
    first->AppendRaw("\\b0\\~");
    first->NewParagraph();
    first->AppendText(u"line\nbreak");
    document.AddArticle()->AppendText(u"пример");
    const std::string rtf = document.Document();
    const std::u16string expected = u"ＯＳ Tōhoku \U0002000B {\\}\t1\u00A0\r\nline\r\nbreak\r\n\r\nпример";
    EXPECT_EQ(TextOf(rtf), expected);

    RtfTextReader bytes;
    for (char c : rtf) bytes.Read(std::string_view(&c, 1));
    EXPECT_EQ(bytes.Text(), expected);
    for (size_t cut = 0; cut <= rtf.size(); ++cut) {
        RtfTextReader halves;
        halves.Read(std::string_view(rtf).substr(0, cut));
        halves.Read(std::string_view(rtf).substr(cut));
        ASSERT_EQ(halves.Text(), expected) << "split at " << cut;
    }
}

TEST(RtfText, DropsStandInsAndKeepsEscapedText) {
    EXPECT_EQ(TextOf("{\\rtf1\\uc1\\u-255?\\u26085 ?x{\\uc0\\u65 B}\\'e9}"), u"\uFF01日xAB\u00E9");
    EXPECT_EQ(TextOf("{\\rtf1{\\info{\\title T}}a\\par\r\nb\\\nc}"), u"a\r\nb\r\nc");
}

}  // namespace

namespace {

// A document whose articles render to control words and blanks alone holds
// no text, though its head names fonts and its generator; one visible
// character in its last article, a hyphen or a non-breaking one, is text.
TEST(RtfText, HoldsTextOnlyWithAVisibleCharacter) {
    CRtfDocumentBuilder empty(0x100 | 0x2);
    EXPECT_FALSE(DocumentHoldsText(empty));
    auto blankDocument = [](CRtfDocumentBuilder& document) {
        document.blankLines = 4;
        for (int i = 0; i < 3; ++i) {
            CRtfArticleBuilder* piece = document.AddArticle();
            piece->AppendRaw("\\pard\\b1\\cf0 ");
            piece->AppendText(u" \t\n\u3000\u00A0");
            piece->AppendRaw("\\b0{\\*\\bkmkstart x}\\~\\tab");
            piece->NewParagraph();
        }
    };
    CRtfDocumentBuilder blank(0x100 | 0x2);
    blankDocument(blank);
    EXPECT_FALSE(DocumentHoldsText(blank));
    for (char16_t visible : {u'-', u'\u2011', u'.', u'語'}) {
        CRtfDocumentBuilder document(0);
        blankDocument(document);
        document.AddArticle()->AppendChar(visible);
        EXPECT_TRUE(DocumentHoldsText(document)) << "U+" << std::hex << static_cast<int>(visible);
    }
}

}  // namespace
