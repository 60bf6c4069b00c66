// The page loop of printing run into a memory device context under Wine
// (and a long document streamed through the printer output's control):
// 1,000 exported articles laid out by GDI's own text measurement in one, two
// and three columns (pages and characters per column), and Wine's rich edit, whose
// EM_FORMATRANGE places nothing: the loop stops instead of printing blank pages.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "article/article_export.h"
#include "article/win/hidden_rich_edit.h"
#include "article/win/print_rich_edit.h"
#include "article/win/rtf_rich_edit.h"
#include "article/win/tests/line_records.h"

namespace {

struct ColumnRun {
    int32_t page, column;
    LONG from, to;
};

class CountingSink final : public IPrintPageSink {
public:
    bool StartPage() override { return ++started > 0; }
    bool EndPage() override { return ++ended > 0; }
    void ColumnRendered(int32_t page, int32_t column, LONG from, LONG to) override {
        runs.push_back({page, column, from, to});
    }
    int started = 0, ended = 0;
    std::vector<ColumnRun> runs;
};

// Lines broken where GDI says the text no longer fits the column's width,
// as many lines as its height holds, each drawn into the context.
class MeasuredTextLayout final : public IColumnLayout {
public:
    MeasuredTextLayout(HDC dc, std::wstring text) : dc_(dc), text_(std::move(text)) {}
    LONG Length() override { return static_cast<LONG>(text_.size()); }
    LONG FormatColumn(LONG from, const PrintColumn& column) override {
        const int dpiX = GetDeviceCaps(dc_, LOGPIXELSX), dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
        const int width = MulDiv(column.right - column.left, dpiX, 1440);
        const int left = MulDiv(column.left, dpiX, 1440), top = MulDiv(column.top, dpiY, 1440);
        TEXTMETRICW metrics;
        GetTextMetricsW(dc_, &metrics);
        const int lines = MulDiv(column.bottom - column.top, dpiY, 1440) / metrics.tmHeight;
        size_t at = static_cast<size_t>(from);
        for (int line = 0; line < lines && at < text_.size(); ++line) {
            size_t end = text_.find(L'\n', at);
            if (end == std::wstring::npos) end = text_.size();
            int fit = 0;
            SIZE size;
            GetTextExtentExPointW(dc_, text_.data() + at, static_cast<int>(end - at), width, &fit, nullptr, &size);
            TextOutW(dc_, left, top + line * metrics.tmHeight, text_.data() + at, fit);
            at = static_cast<size_t>(fit) >= end - at ? end + 1 : at + static_cast<size_t>(std::max(fit, 1));
        }
        return static_cast<LONG>(std::min(at, text_.size()));
    }

private:
    HDC dc_;
    std::wstring text_;
};

class PrintPageLoop : public ::testing::Test {
protected:
    void SetUp() override {
        dc_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc_, nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, 800, 1100);
        previous_ = SelectObject(dc_, bitmap_);
        LineRecords records;
        records.lines = LineRecords::Numbered(1000);
        ArticleExportBuilder builder;
        const std::u16string_view text = builder.BuildText(records, TextLineEnds::Lf);
        text_.assign(text.begin(), text.end());
    }
    void TearDown() override {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::wstring text_;
};

TEST_F(PrintPageLoop, EveryCharacterOnceInColumnOrderWithNoBlankPage) {
    const LONG length = static_cast<LONG>(text_.size());
    ASSERT_GT(length, 50000);
    int32_t previousPages = 0;
    for (int32_t columns = 1; columns <= 3; ++columns) {
        MeasuredTextLayout layout(dc_, text_);
        CountingSink sink;
        const PrintPagesResult result = PrintPages(layout, columns, sink);
        ASSERT_FALSE(result.failed);
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(sink.started, result.pages);
        EXPECT_EQ(sink.ended, result.pages);
        ASSERT_FALSE(sink.runs.empty());
        LONG at = 0;
        for (size_t i = 0; i < sink.runs.size(); ++i) {
            const ColumnRun& run = sink.runs[i];
            ASSERT_EQ(run.from, at) << "run " << i;
            EXPECT_EQ(run.page, static_cast<int32_t>(i) / columns);  // each page's columns filled in turn
            EXPECT_EQ(run.column, static_cast<int32_t>(i) % columns);
            at = run.to;
        }
        EXPECT_EQ(at, length);
        EXPECT_EQ(sink.runs.back().page, result.pages - 1);  // the last page holds text
        if (columns > 1) {
            EXPECT_LT(result.pages, previousPages) << columns << " columns";
        }
        previousPages = result.pages;
        std::printf("%d column(s): %d pages, %ld characters in the first column\n", columns, result.pages,
                    static_cast<long>(sink.runs[0].to));
    }
}

// Wine's rich edit lays nothing out for a device context: where the old stop
// rule waited for the end of the text, the loop now ends after one page.
TEST_F(PrintPageLoop, ARichEditThatPlacesNothingEndsTheJobAtOnce) {
    HMODULE library = LoadLibraryW(L"Riched20.dll");
    HWND control = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 200, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    LineRecords records;
    records.lines = LineRecords::Numbered(50);
    ArticleExportBuilder builder;
    ASSERT_EQ(StreamToRichEdit(*builder.BuildRtf(records, {}), control), 1);
    CountingSink sink;
    const PrintPagesResult result = PrintRichEditPages(control, dc_, 2, sink);
    EXPECT_FALSE(result.failed);
    if (!result.complete) {
        EXPECT_EQ(result.pages, 1);
    }
    EXPECT_LT(result.pages, 20);
    DestroyWindow(control);
    FreeLibrary(library);
}

// A long document printed through the streamed layout: the control takes in
// only a stretch of articles ahead of the column laid out and gives back the
// text behind it, so the first page waits for no more than its stretch.
TEST_F(PrintPageLoop, AStreamedDocumentHoldsOnlyTheStretchBeingPrinted) {
    HiddenRichEdit hidden(nullptr);  // the printer output's own control, read-only
    const HWND control = hidden.Window();
    ASSERT_NE(control, nullptr);
    LineRecords records;
    records.lines = LineRecords::Numbered(20000);
    ArticleExportBuilder builder;
    ExportOptions options;
    options.addBlankLines = 0;
    CRtfDocumentBuilder& document = *builder.BuildRtf(records, options);
    ASSERT_EQ(document.PieceCount(), 20000);
    auto shownAt = [&](LONG controlAt, LONG units) {
        std::wstring text(static_cast<size_t>(units) + 1, L'\0');
        TEXTRANGEW range{{controlAt, controlAt + units}, text.data()};
        text.resize(static_cast<size_t>(SendMessageW(control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
        return text;
    };
    {
        StreamedDocumentLayout layout(control, dc_, document, 2);
        EXPECT_GT(layout.ArticlesLoaded(), 0);
        EXPECT_LT(layout.ArticlesLoaded(), 2000) << "the whole document went in";
        const LONG first = layout.Length();
        EXPECT_EQ(shownAt(0, 5), L"word0");
        // A column far on: the text before it goes, more comes in behind.
        const LONG later = first - 100;
        EXPECT_GE(layout.FormatColumn(later, PrintPageGeometryFor(2).columns[0]), later);
        EXPECT_GT(layout.Length(), first);
        GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
        const LONG held = static_cast<LONG>(SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
        EXPECT_EQ(held, layout.Length() - later) << "the text printed stays in the control";
        EXPECT_LT(layout.ArticlesLoaded(), 20000);
        EXPECT_TRUE(layout.Ok());
    }
}

}  // namespace
