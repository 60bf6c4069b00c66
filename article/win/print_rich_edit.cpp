// The column page loop over EM_FORMATRANGE and the printer job around it.
#include "article/win/print_rich_edit.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "article/rtf_document.h"
#include "article/win/rich_edit_stream.h"

namespace {

// The page calls of a real print job, each page asked for first.
class CancellablePageSink final : public IPrintPageSink {
public:
    CancellablePageSink(HDC dc, const std::function<bool(int32_t)>& keepGoing) : dc_(dc), keepGoing_(keepGoing) {}
    bool StartPage() override {
        if (keepGoing_ && !keepGoing_(++page_)) return false;
        return ::StartPage(dc_) > 0;
    }
    bool EndPage() override { return ::EndPage(dc_) > 0; }

private:
    HDC dc_;
    const std::function<bool(int32_t)>& keepGoing_;
    int32_t page_ = 0;
};

// Articles streamed in at once, and the characters kept ahead of the column
// being laid out: far more than a page of three columns holds.
constexpr int32_t kStretchArticles = 200;
constexpr LONG kCharactersAhead = 60000;

}  // namespace

RichEditColumnLayout::RichEditColumnLayout(HWND control, HDC dc, const PrintPageGeometry& page) : control_(control) {
    range_.hdc = dc;
    range_.hdcTarget = dc;
    range_.rcPage = {0, 0, page.columns[static_cast<size_t>(page.count - 1)].right + kPrintLeft,
                     kPrintBottom + kPrintTop};
}

RichEditColumnLayout::~RichEditColumnLayout() { SendMessageW(control_, EM_FORMATRANGE, FALSE, 0); }

LONG RichEditColumnLayout::Length() {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageW(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

LONG RichEditColumnLayout::FormatColumn(LONG from, const PrintColumn& column) {
    range_.rc = {column.left, column.top, column.right, column.bottom};
    range_.chrg = {from, -1};
    return static_cast<LONG>(SendMessageW(control_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range_)));
}

PrintPagesResult PrintPages(IColumnLayout& layout, int32_t columns, IPrintPageSink& sink) {
    PrintPagesResult result;
    const PrintPageGeometry page = PrintPageGeometryFor(columns);
    LONG length = layout.Length();
    LONG next = 0;
    bool stalled = false;
    while (next < length && !stalled && !result.failed && result.pages < kPrintMaxPages) {
        if (!sink.StartPage()) {
            result.failed = true;
            break;
        }
        for (int32_t column = 0; column < page.count && next < length; ++column) {
            const LONG after = layout.FormatColumn(next, page.columns[static_cast<size_t>(column)]);
            length = layout.Length();
            if (after < 0) {
                result.failed = true;
                break;
            }
            if (after <= next) {
                stalled = true;
                break;
            }
            sink.ColumnRendered(result.pages, column, next, after);
            next = after;
        }
        if (!sink.EndPage()) result.failed = true;
        ++result.pages;
    }
    result.complete = next >= length;
    return result;
}

PrintPagesResult PrintRichEditPages(HWND control, HDC dc, int32_t columns, IPrintPageSink& sink) {
    RichEditColumnLayout layout(control, dc, PrintPageGeometryFor(columns));
    return PrintPages(layout, columns, sink);
}

StreamedDocumentLayout::StreamedDocumentLayout(HWND control, HDC dc, CRtfDocumentBuilder& document, int32_t columns)
    : control_(control), document_(document), layout_(control, dc, PrintPageGeometryFor(columns)) {
    // Read-only for the user only: the stretches go in and out by message.
    SendMessageW(control_, EM_SETREADONLY, FALSE, 0);
    SendMessageW(control_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageW(control_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    TakeInAhead();
}

LONG StreamedDocumentLayout::ControlLength() { return layout_.Length(); }

LONG StreamedDocumentLayout::Length() {
    TakeInAhead();
    return dropped_ + ControlLength();
}

void StreamedDocumentLayout::TakeInAhead() {
    while (ok_ && loaded_ < document_.PieceCount() && dropped_ + ControlLength() - reached_ < kCharactersAhead) {
        const int32_t last = std::min(loaded_ + kStretchArticles, document_.PieceCount());
        const std::string stretch = document_.Stretch(loaded_, last);
        // The stretch goes in after what the control holds, the laid-out
        // lines of which stay as they are.
        SendMessageW(control_, EM_FORMATRANGE, FALSE, 0);
        SendMessageW(control_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        ok_ = StreamIntoRichEdit(control_, loaded_ == 0 ? SF_RTF : SF_RTF | SFF_SELECTION, stretch.data(),
                                 static_cast<int32_t>(stretch.size()))
                  .ok;
        loaded_ = last;
    }
}

void StreamedDocumentLayout::DropBehind(LONG from) {
    if (from - dropped_ < kCharactersAhead) return;
    SendMessageW(control_, EM_FORMATRANGE, FALSE, 0);
    SendMessageW(control_, EM_SETSEL, 0, from - dropped_);
    SendMessageW(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    dropped_ = from;
}

LONG StreamedDocumentLayout::FormatColumn(LONG from, const PrintColumn& column) {
    reached_ = from;
    DropBehind(from);
    TakeInAhead();
    if (!ok_) return -1;
    const LONG after = layout_.FormatColumn(from - dropped_, column);
    return after < 0 ? after : after + dropped_;
}

ChosenPrinter::~ChosenPrinter() {
    if (dialog_.hDC != nullptr) DeleteDC(dialog_.hDC);
    if (dialog_.hDevMode != nullptr) GlobalFree(dialog_.hDevMode);
    if (dialog_.hDevNames != nullptr) GlobalFree(dialog_.hDevNames);
}

bool ChosenPrinter::Choose(HWND owner) {
    dialog_.lStructSize = sizeof dialog_;
    dialog_.hwndOwner = owner;
    dialog_.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_COLLATE | PD_USEDEVMODECOPIESANDCOLLATE;
    return PrintDlgW(&dialog_) && dialog_.hDC != nullptr;
}

int32_t PrintDocument(HWND control, HDC dc, CRtfDocumentBuilder& document, int32_t columns,
                      const std::function<bool(int32_t)>& keepGoing) {
    if (control == nullptr || dc == nullptr) return 0;
    DOCINFOW job = {};
    job.cbSize = sizeof job;
    job.lpszDocName = L"Ostrel Words";
    if (StartDocW(dc, &job) <= 0) return 0;
    SetBkMode(dc, TRANSPARENT);
    CancellablePageSink sink(dc, keepGoing);
    PrintPagesResult result;
    {
        StreamedDocumentLayout layout(control, dc, document, columns);
        result = PrintPages(layout, columns, sink);
        result.failed = result.failed || !layout.Ok();
    }
    if (result.failed) {
        AbortDoc(dc);
        return 0;
    }
    return EndDoc(dc) > 0 ? 1 : 0;
}
