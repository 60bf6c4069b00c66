// The clipboard output of a document: its own RTF, byte for byte, and the
// Unicode text read from the same document. Wine's rich edit, an RTF reader
// of its own, reads that RTF back to the very text the clipboard holds:
// full-width letters, macrons, Cyrillic, a supplementary ideograph and a
// tab survive (a copy through a rich edit's own writer fitted some of them
// to code page 1252: ＯＳ became OS, Tōhoku Tohoku).
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>

#include "article/article_export.h"
#include "article/win/clipboard_render.h"
#include "article/win/rich_edit_stream.h"
#include "article/win/tests/clipboard_retry.h"
#include "article/win/tests/line_records.h"
#include "article/win/tests/rich_edit_window.h"
#include "common/win/tests/clipboard_reading.h"

namespace {

TEST(DocumentClipboard, RichTextAndTextHoldTheSameCharacters) {
    LineRecords records;
    records.lines = {u"ＯＳ : operating system (ＯＳ１)", u"東北 : Tōhoku; Kyūshū ā ē ī", u"пример : example\tafter a tab",
                     u"\U0002000B : a supplementary ideograph", u"１ : one (full-width digit)"};
    ArticleExportBuilder builder;
    ExportOptions options;
    options.addBlankLines = 2;
    CRtfDocumentBuilder* document = builder.BuildRtf(records, options);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(PutDocumentOnClipboard(nullptr, *document), ClipboardCopy::Copied);

    ASSERT_TRUE(OpenClipboardPatiently());
    std::string rtf = ClipboardBytes(RichTextClipboardFormat());
    const std::string unicode = ClipboardBytes(CF_UNICODETEXT);
    CloseClipboard();
    ASSERT_GT(rtf.size(), 1u);
    rtf.resize(rtf.find('\0'));
    EXPECT_EQ(rtf, document->Document());
    std::u16string text(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2);
    text.resize(text.find(u'\0'));
    int kept = 0;
    for (const char16_t* part : {u"ＯＳ", u"ＯＳ１", u"Tōhoku", u"Kyūshū ā ē ī", u"пример", u"\U0002000B", u"１",
                                 u"example\tafter a tab"})
        EXPECT_NE(text.find(part), std::u16string::npos) << "part " << kept++ << " lost from the text";
    EXPECT_EQ(text.find(u"\n\n"), std::u16string::npos);  // every line end is CR LF
    EXPECT_NE(text.find(u"\r\n\r\n\r\n"), std::u16string::npos);  // two blank lines between articles

    const HMODULE library = LoadLibraryW(L"Riched20.dll");
    ASSERT_NE(library, nullptr);
    HWND reader = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(StreamIntoRichEdit(reader, SF_RTF, rtf.data(), static_cast<int32_t>(rtf.size())).ok);
    EXPECT_EQ(LinesOf(ControlText(reader)), LinesOf(text));
    DestroyWindow(reader);
    FreeLibrary(library);
}

}  // namespace
