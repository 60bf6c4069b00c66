// Printing a rich edit control's contents in one to three columns per page.
// The page loop lays text out through a column layout (the control's
// EM_FORMATRANGE for printing) and hands page starts and ends to a page sink,
// so it runs against a memory context where no printer exists;
// PrintRichEdit puts the print dialog's printer behind it.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>

#include "article/export_options.h"

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
// clamped to 1..3, at most 1000 pages). Stops after the page on which the
// text ends, and as soon as a column makes no progress, so a layout that
// cannot place a character never prints page after blank page.
PrintPagesResult PrintPages(IColumnLayout& layout, int32_t columns, IPrintPageSink& sink);

// The control's contents on `dc` through its own layout.
PrintPagesResult PrintRichEditPages(HWND control, HDC dc, int32_t columns, IPrintPageSink& sink);

// Asks for a printer (PrintDlgW) and prints the control's contents there as
// the document "Ostrel Words". 1 when printed, 0 when cancelled or failed
// (the job is aborted when a page failed).
int32_t PrintRichEdit(HWND control, int32_t columns);
