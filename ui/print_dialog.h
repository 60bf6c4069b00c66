// CPrintDlg: the one print and export engine of the run. It outputs the
// articles of a list view (all rows or the selected ones) to the printer, an
// RTF file or the clipboard from the "PRINT" dialog (list command 40190),
// makes the RTF of Copy text (40647) and starts the drag of selected rows.
// The options live in section "Print" of the settings file, clamped when read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "article/article_export.h"
#include "article/export_options.h"

class ChosenPrinter;
class ListView;

class CPrintDlg {
public:
    CPrintDlg();
    CPrintDlg(const CPrintDlg&) = delete;
    CPrintDlg& operator=(const CPrintDlg&) = delete;
    virtual ~CPrintDlg();

    // Entries the output takes: the list's rows or the selected rows (shown
    // in the dialog while it is open).
    int32_t CountEntries();
    // A new document of the entries (the previous one freed first); null
    // without a list or memory.
    CRtfDocumentBuilder* BuildRtf();
    // Sends the document to `destination`; 1 on success. The printer is the
    // one chosen before the document was built, else it is asked for now;
    // it prints page by page, and Cancel in the dialog stops it between pages.
    int32_t Output(int32_t destination);
    // Frees the document and the text; forgets the dialog and the list.
    void Reset();

    static INT_PTR CALLBACK PrintDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    ExportOptions options;
    int32_t wholeList = 0;           // 1 the whole list, 0 the selected rows
    std::u16string path;             // output file, at most 1023 units from the dialog
    int32_t openAfter = 1;           // open the file after creation
    HWND dialog = nullptr;           // while the dialog is open
    ListView* view = nullptr;        // the list output, not owned
    ArticleExportBuilder builder;

private:
    void InitDialog(HWND window);
    void ReadDialog();
    void OnOk();
    // BuildRtf with Cancel heard (a walk longer than a tenth of a second
    // shows its progress and takes no other input); null as BuildRtf, or
    // after Cancel (cancelled_ set).
    CRtfDocumentBuilder* BuildInDialog();
    void ChooseFile();
    void EnablePath();

    bool building_ = false;   // the dialog's export walk or print job is running
    bool cancelled_ = false;  // Cancel was pressed during it
    std::unique_ptr<ChosenPrinter> printer_;  // chosen for the output under way
};

// The run's engine.
CPrintDlg& PrintEngine();

// The "PRINT" dialog over `view`: options read before and written after.
INT_PTR RunPrintDialog(ListView& view);
// Copy text: the selected rows' articles to the clipboard as RTF and text.
int32_t CopyListSelectionAsRtf(ListView& view);
// The drag of the selected rows (ListView::startDrag).
void StartListDrag(ListView& view);
