// The clipboard output through a hidden rich edit: the copy is done when the
// call returns, and the clipboard still holds every article, in order, after
// the control has gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "article/article_export.h"
#include "article/win/hidden_rich_edit.h"
#include "article/win/tests/clipboard_retry.h"
#include "article/win/tests/line_records.h"

TEST(HiddenRichEdit, CopyAllLeavesTheDocumentOnTheClipboardAfterTheControlIsGone) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));  // the control copies through OLE, as in the program
    struct OleDone {
        ~OleDone() { OleUninitialize(); }
    } oleDone;
    LineRecords records;
    records.lines = LineRecords::Numbered(30);
    ArticleExportBuilder builder;
    CRtfDocumentBuilder* document = builder.BuildRtf(records, {});
    ASSERT_NE(document, nullptr);
    {
        HiddenRichEdit view(nullptr);
        ASSERT_NE(view.Window(), nullptr);
        ASSERT_EQ(view.Load(*document), 1);
        EXPECT_FALSE(IsWindowVisible(view.Window()));
        ASSERT_EQ(view.CopyAll(), 1);
    }
    ASSERT_EQ(Patiently(OleFlushClipboard), S_OK);
    ASSERT_TRUE(OpenClipboardPatiently());
    ClipboardClosed closed;
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    const std::wstring copied(static_cast<const wchar_t*>(GlobalLock(text)));
    GlobalUnlock(text);
    size_t at = 0;  // every article, in order
    for (const std::u16string& line : records.lines) {
        const std::wstring head(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(line.find(u' ')));
        at = copied.find(head + L"\u3000meaning", at);  // compact: one U+3000 apart
        ASSERT_NE(at, std::wstring::npos) << std::string(head.begin(), head.end());
    }
}
