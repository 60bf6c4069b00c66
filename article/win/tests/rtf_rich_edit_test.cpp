// A document from the RTF builder streamed into a real, hidden RichEdit 2.0
// control: the text, the character formats of its runs and the paragraph
// indents read back from the control.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>

#include "article/rtf_document.h"
#include "article/rtf_yarxi.h"
#include "article/tests/yarxi_tree.h"
#include "article/win/rtf_rich_edit.h"
#include "article/win/tests/rich_edit_window.h"

namespace {

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryW(L"Riched20.dll");
        ASSERT_NE(library_, nullptr);
        control_ = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(control_, nullptr);
        SendMessageW(control_, EM_SETREADONLY, TRUE, 0);
    }
    void TearDown() override {
        if (control_) DestroyWindow(control_);
        if (library_) FreeLibrary(library_);
    }

    std::u16string Text() { return ControlText(control_); }
    CHARFORMAT2W FormatAt(LONG position) { return UnitFormat(control_, position); }
    PARAFORMAT2 ParagraphAt(LONG position) {
        SendMessageW(control_, EM_SETSEL, position, position);
        PARAFORMAT2 format = {};
        format.cbSize = sizeof format;
        SendMessageW(control_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        return format;
    }

    HMODULE library_ = nullptr;
    HWND control_ = nullptr;
};

TEST_F(RichEditTest, TextRunsAndIndentsArriveAsWritten) {
    CRtfDocumentBuilder document(0x100);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->language = kRtfLanguageJapanese;
    piece->paragraph = 1;
    piece->AppendRaw("\\pard");
    piece->SetParagraphStyle(3);
    piece->AppendRaw("\\b1");
    piece->SetColor(RtfRgb(127, 0, 0));
    piece->AppendText(u"ねこ");
    piece->AppendRaw("\\b0");
    piece->SetColor(0);
    piece->NewParagraph();
    piece->AppendRaw("\\pard\\li240 ");
    piece->SetParagraphStyle(5);
    piece->AppendRaw("\\i ");
    piece->AppendText(u"cat");
    piece->AppendRaw("\\i0");
    piece->AppendText(u" \U00020000\tя");
    piece->NewParagraph();
    document.AddArticle()->AppendText(u"end");

    ASSERT_EQ(StreamToRichEdit(document, control_), 1);
    EXPECT_EQ(Text(), u"ねこ\rcat \U00020000\tя\r\rend");

    const CHARFORMAT2W reading = FormatAt(0);
    EXPECT_TRUE(reading.dwEffects & CFE_BOLD);
    EXPECT_FALSE(reading.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(reading.crTextColor, RGB(127, 0, 0));
    EXPECT_EQ(std::wstring(reading.szFaceName), L"MS Mincho");

    const CHARFORMAT2W sense = FormatAt(3);
    EXPECT_TRUE(sense.dwEffects & CFE_ITALIC);
    EXPECT_FALSE(sense.dwEffects & CFE_BOLD);
    EXPECT_EQ(std::wstring(sense.szFaceName), L"Arial");
    EXPECT_FALSE(FormatAt(6).dwEffects & CFE_ITALIC);
    EXPECT_EQ(std::wstring(FormatAt(7).szFaceName), L"SimSun-ExtB");

    EXPECT_EQ(ParagraphAt(0).dxStartIndent, 0);
    EXPECT_EQ(ParagraphAt(3).dxStartIndent, 240);
    // Wine's RichEdit drops the \sN words (PARAFORMAT2.sStyle reads -1), so the
    // editor reads paragraph kinds from the piece, not from the control.
    EXPECT_EQ(piece->ParagraphKinds(), (std::vector<int32_t>{3, 5}));
}

TEST_F(RichEditTest, StreamingTwiceReplacesTheText) {
    CRtfDocumentBuilder document(2);
    document.AddArticle()->AppendText(u"a");
    ASSERT_EQ(StreamToRichEdit(document, control_), 1);
    ASSERT_EQ(StreamToRichEdit(document, control_), 1);
    EXPECT_EQ(Text(), u"a");
    EXPECT_FALSE(GetWindowLongW(control_, GWL_STYLE) & ES_READONLY);
}

// A YARXI kanji article as the editor preview shows it: the kanji in blue,
// readings in red without their brackets, the bold tag, the trailing
// radical, strokes and usage line in grey.
TEST_F(RichEditTest, YarxiArticleReadsBackWithItsColours) {
    YarxiTree tree(u"0001 {\\j 男}{\\on [DAN] дан}{\\on [NAN]}{\\kun мужчина, <b>x</b>}{\\rad 102}{\\rad 19}"
                   u"{\\str 7}{\\use TN125 часто}");
    CRtfDocumentBuilder document(0x102);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->language = kRtfLanguageJapanese;
    AddYarxiArticle(*piece, tree.Elements(), 0, 10, 0x102);
    ASSERT_EQ(StreamToRichEdit(document, control_), 1);
    const std::u16string text = Text();
    EXPECT_EQ(text, u"男\rDAN дан, NAN\rмужчина, x\r\rКлюч: 102, 19. Штрихов: 7. Исп.: часто");
    EXPECT_EQ(FormatAt(0).crTextColor, RGB(0, 0, 127));
    EXPECT_EQ(FormatAt(static_cast<LONG>(text.find(u"DAN"))).crTextColor, RGB(127, 0, 0));
    EXPECT_TRUE(FormatAt(static_cast<LONG>(text.find(u"дан"))).dwEffects & CFE_AUTOCOLOR);
    EXPECT_TRUE(FormatAt(static_cast<LONG>(text.find(u'x'))).dwEffects & CFE_BOLD);
    // Wine's RichEdit also reports the text before the bold run as bold (every
    // position up to "x"); LibreOffice reads the same document with "x" alone
    // bold, so that part is not checked here.
    EXPECT_EQ(FormatAt(static_cast<LONG>(text.find(u"Штрихов"))).crTextColor, RGB(127, 127, 127));
}

}  // namespace
