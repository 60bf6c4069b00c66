// The column page loop over EM_FORMATRANGE and the printer job around it.
#include "article/win/print_rich_edit.h"

#include <commdlg.h>
#include <richedit.h>


namespace {

// The page calls of a real print job.
class PrinterPageSink final : public IPrintPageSink {
public:
    explicit PrinterPageSink(HDC dc) : dc_(dc) {}
    bool StartPage() override { return ::StartPage(dc_) > 0; }
    bool EndPage() override { return ::EndPage(dc_) > 0; }

private:
    HDC dc_;
};

// The print dialog's device context and its global blocks, freed together.
struct PrinterChoice {
    PRINTDLGW dialog = {};
    ~PrinterChoice() {
        if (dialog.hDC != nullptr) DeleteDC(dialog.hDC);
        if (dialog.hDevMode != nullptr) GlobalFree(dialog.hDevMode);
        if (dialog.hDevNames != nullptr) GlobalFree(dialog.hDevNames);
    }
};

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
    const LONG length = layout.Length();
    LONG next = 0;
    bool stalled = false;
    while (next < length && !stalled && !result.failed && result.pages < kPrintMaxPages) {
        if (!sink.StartPage()) {
            result.failed = true;
            break;
        }
        for (int32_t column = 0; column < page.count && next < length; ++column) {
            const LONG after = layout.FormatColumn(next, page.columns[static_cast<size_t>(column)]);
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

int32_t PrintRichEdit(HWND control, int32_t columns) {
    PrinterChoice printer;
    printer.dialog.lStructSize = sizeof printer.dialog;
    printer.dialog.hwndOwner = GetParent(control);
    printer.dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_COLLATE | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgW(&printer.dialog) || printer.dialog.hDC == nullptr) return 0;

    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    HDC dc = printer.dialog.hDC;
    DOCINFOW document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = L"Ostrel Words";
    int32_t printed = 0;
    if (StartDocW(dc, &document) > 0) {
        SetBkMode(dc, TRANSPARENT);
        PrinterPageSink sink(dc);
        const PrintPagesResult result = PrintRichEditPages(control, dc, columns, sink);
        if (result.failed) {
            AbortDoc(dc);
        } else {
            printed = EndDoc(dc) > 0 ? 1 : 0;
        }
    }
    SetCursor(previous);
    return printed;
}
