// The clipboard output through a hidden rich edit: the copy is done when the
// call returns (the control goes right after), and the clipboard's Unicode
// text is the document's text as the control shows it.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

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
    std::wstring shown;
    {
        HiddenRichEdit view(nullptr);
        ASSERT_NE(view.Window(), nullptr);
        ASSERT_EQ(view.Load(*document), 1);
        EXPECT_FALSE(IsWindowVisible(view.Window()));
        shown.resize(static_cast<size_t>(GetWindowTextLengthW(view.Window())) + 1);
        shown.resize(static_cast<size_t>(GetWindowTextW(view.Window(), shown.data(), static_cast<int>(shown.size()))));
        ASSERT_EQ(view.CopyAll(), 1);
    }
    ASSERT_EQ(Patiently(OleFlushClipboard), S_OK);
    ASSERT_TRUE(OpenClipboardPatiently());
    ClipboardClosed closed;
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    std::wstring copied(static_cast<const wchar_t*>(GlobalLock(text)));
    GlobalUnlock(text);
    EXPECT_GT(copied.size(), 500u);
    EXPECT_NE(copied.find(L"word29"), std::wstring::npos);
    // Line ends aside (the control and its copy may write them differently), the same text.
    auto plain = [](std::wstring text) {
        std::wstring out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
            out += text[i] == L'\r' ? L'\n' : text[i];
        }
        while (!out.empty() && out.back() == L'\n') out.pop_back();
        return out;
    };
    const std::wstring trimmed = plain(copied), expected = plain(shown);
    EXPECT_EQ(trimmed, expected);
}
