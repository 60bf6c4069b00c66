// Printing a rich edit control's contents in one to three columns per page.
// The page loop lays text out through a column layout (the control's
// EM_FORMATRANGE for printing) and hands page starts and ends to a page sink,
// so it runs against a memory context where no printer exists;
// PrintRichEdit puts the print dialog's printer behind it.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include <cstdint>
#include <functional>

#include "article/export_options.h"

class CRtfDocumentBuilder;

// Where the pages go: a print job, or a test's counter.
class IPrintPageSink {
public:
    virtual ~IPrintPageSink() = default;
    // False when the page could not be started or ended (the job is aborted).
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    // Told each column's characters as they are laid out: [from, to).
    virtual void ColumnRendered(int32_t page, int32_t column, LONG from, LONG to) {
        (void)page, (void)column, (void)from, (void)to;
    }
};

// What lays the text out into one column rectangle at a time.
class IColumnLayout {
public:
    virtual ~IColumnLayout() = default;
    // Characters of the text as the layout counts them.
    virtual LONG Length() = 0;
    // Draws the text from character `from` into `column` (twips); the first
    // character that did not fit, or a negative value on failure.
    virtual LONG FormatColumn(LONG from, const PrintColumn& column) = 0;
};

// The layout of a rich edit control on `dc` through EM_FORMATRANGE; frees
// the control's layout cache when it goes.
class RichEditColumnLayout final : public IColumnLayout {
public:
    RichEditColumnLayout(HWND control, HDC dc, const PrintPageGeometry& page);
    ~RichEditColumnLayout();
    RichEditColumnLayout(const RichEditColumnLayout&) = delete;
    RichEditColumnLayout& operator=(const RichEditColumnLayout&) = delete;
    // The control's character count without CR LF expansion, so that the
    // end test meets the positions EM_FORMATRANGE answers.
    LONG Length() override;
    LONG FormatColumn(LONG from, const PrintColumn& column) override;

private:
    HWND control_;
    FORMATRANGE range_ = {};
};

struct PrintPagesResult {
    int32_t pages = 0;
    bool failed = false;    // a page call failed or the layout answered an error
    bool complete = false;  // every character was laid out
};

// Lays the text out column by column from the first character (columns
// clamped to 1..3, at most 1000 pages), asking the layout its length before
// each column (a layout may take in more text as it goes). Stops after the page on which the
// text ends, and as soon as a column makes no progress, so a layout that
// cannot place a character never prints page after blank page.
PrintPagesResult PrintPages(IColumnLayout& layout, int32_t columns, IPrintPageSink& sink);

// The control's contents on `dc` through its own layout.
PrintPagesResult PrintRichEditPages(HWND control, HDC dc, int32_t columns, IPrintPageSink& sink);

// A document laid out through a rich edit control that holds only the part
// being printed: its articles are streamed in a stretch at a time, ahead of
// the column being laid out, and the text of the pages printed is taken out
// behind it, so the first page needs no more than its own articles loaded,
// however long the document. Positions are the whole document's.
class StreamedDocumentLayout final : public IColumnLayout {
public:
    StreamedDocumentLayout(HWND control, HDC dc, CRtfDocumentBuilder& document, int32_t columns);
    // The characters taken in so far; more are taken in first when fewer
    // than a stretch's worth lie ahead of the last column laid out.
    LONG Length() override;
    LONG FormatColumn(LONG from, const PrintColumn& column) override;
    // Articles streamed into the control so far.
    int32_t ArticlesLoaded() const { return loaded_; }
    // False once a stretch could not be streamed in.
    bool Ok() const { return ok_; }

private:
    LONG ControlLength();
    void TakeInAhead();
    void DropBehind(LONG from);

    HWND control_;
    CRtfDocumentBuilder& document_;
    RichEditColumnLayout layout_;
    int32_t loaded_ = 0;
    LONG dropped_ = 0;  // characters of the document taken out in front
    LONG reached_ = 0;  // where the last column began
    bool ok_ = true;
};

// The printer the user chose in the print dialog, asked before anything is
// prepared for it; its device context and blocks go with the object.
class ChosenPrinter {
public:
    ChosenPrinter() = default;
    ~ChosenPrinter();
    ChosenPrinter(const ChosenPrinter&) = delete;
    ChosenPrinter& operator=(const ChosenPrinter&) = delete;
    // Shows the print dialog (PrintDlgW) over `owner`; true when a printer was chosen.
    bool Choose(HWND owner);
    HDC Dc() const { return dialog_.hDC; }

private:
    PRINTDLGW dialog_ = {};
};

// Prints `document` on `dc` as the document "Ostrel Words", page by page
// through `control` (a StreamedDocumentLayout). `keepGoing(page)` is asked
// before each page (from 1); an answer of false aborts the job there. 1 when
// printed, 0 when cancelled or failed (the job is aborted).
int32_t PrintDocument(HWND control, HDC dc, CRtfDocumentBuilder& document, int32_t columns,
                      const std::function<bool(int32_t)>& keepGoing);
