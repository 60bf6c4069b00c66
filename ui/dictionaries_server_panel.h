// The right half of the dictionaries dialog: the files the server offers and
// their installation. The web services fill it; the dialog hands it its
// window and forwards what belongs to it (list 1295, buttons 1316 and 1317,
// the download's completion message).
#pragma once

#include <windows.h>

class CShelf;
class RDFDictionary;

// Sent to the dialog when an install changed the shelf: the installed list
// is filled again with the dictionary of lParam (may be null) selected.
inline constexpr UINT kRefillInstalledMessage = WM_APP + 0x61;

class IDictionariesServerPanel {
public:
    virtual ~IDictionariesServerPanel() = default;
    // At WM_INITDIALOG, after the installed list is filled.
    virtual void Attach(HWND dialog, CShelf& shelf) = 0;
    // At WM_DESTROY.
    virtual void Detach() = 0;
    // The dialog's 100 ms timer.
    virtual void OnTimer() {}
    // A WM_COMMAND of the dialog; true when the panel took it.
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    // WM_NOTIFY from the panel's own controls; true when taken (result in *result).
    virtual bool OnNotify(const NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
    // A download's completion, posted to the dialog.
    virtual void OnDownloadFinished(WPARAM, LPARAM) {}
    // While true the dialog does not close.
    virtual bool DownloadRunning() const { return false; }
    // After every change of the shelf: the server's items are matched again.
    virtual void MatchShelf() {}
    // A row of the installed list became selected (null: none).
    virtual void SelectInstalled(RDFDictionary*) {}
};
