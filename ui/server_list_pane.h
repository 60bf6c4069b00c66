// The right half of the dictionaries dialog: the dictionaries the home site
// offers (list view 1295), each matched with the shelf (not installed, newer
// on the server, the same), and the download that installs or updates one
// (Install 1316, which turns into Cancel; 1317 cancels; progress 1275; label
// 1287). The dialog hands the pane its messages; the pane never keeps an
// item across a new list (rows hold indexes checked against the list's
// generation), never writes outside the Dictionaries folder, and never
// loses both copies of a dictionary it replaces.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/dictionaries_server_panel.h"
#include "web/dictionary_list.h"
#include "web/server_items.h"
#include "web/win/home_line.h"

class CShelf;
class RDFDictionary;

// WM_APP + 0x31: the download's completion, posted to the dialog.
inline constexpr UINT kDownloadDoneMessage = WM_APP + 0x31;

// What the pane asks of the dialog around it.
class IServerPaneHost {
public:
    virtual ~IServerPaneHost() = default;
    // Selects (and scrolls to) the installed row of `dictionary`, deselecting the others.
    virtual void SelectInstalledRow(RDFDictionary* /*dictionary*/) {}
    // The shelf changed under an install: refill the installed list, `select` selected.
    virtual void RefillInstalled(RDFDictionary* /*select*/) {}
};

class ServerListPane : public IDictionariesServerPanel {
public:
    // `startUpdateCheck` fetches the list when it was never received.
    ServerListPane(CWebDictionaries& list, CHomeLines& lines, std::function<void()> startUpdateCheck);
    ServerListPane(const ServerListPane&) = delete;
    ServerListPane& operator=(const ServerListPane&) = delete;
    ~ServerListPane() override;

    // The dictionaries dialog's: the application's Dictionaries folder, and
    // the dialog's installed list (1294) as the host.
    void Attach(HWND dialog, CShelf& shelf) override;
    void Attach(HWND dialog, CShelf& shelf, std::u16string dictionariesFolder, IServerPaneHost* host);
    void Detach() override;
    // Every 100 ms: the list's status, the progress of a download.
    void OnTimer() override;
    // True when the command was the pane's.
    bool OnCommand(int id, int code) override;
    bool OnNotify(const NMHDR* header, LRESULT* result) override;
    // The completion message of the download (wParam: the request).
    void OnDownloadFinished(WPARAM wParam, LPARAM lParam) override;
    // While true the dialog must not close.
    bool DownloadRunning() const override { return state_ != DownloadState::Idle; }
    // Matches the items with the shelf and refills the rows.
    void MatchShelf() override;
    // An installed row was selected: the server rows installed as it are selected.
    void SelectInstalled(RDFDictionary* dictionary) override;
    // A book shown in a reader is refused like an editable dictionary.
    std::function<bool(const RDFDictionary*)> isShownInReader;
    // How long a stalled download waits for its next bytes.
    uint32_t transferTimeoutMs = kDefaultTransferTimeoutMs;

    DownloadState State() const { return state_; }
    // The rows' item indexes (tests and the dialog's selection sync).
    int32_t RowCount() const;

private:
    struct Download {
        std::u16string title;       // short name shown in the messages
        std::u16string target;      // Dictionaries folder + Filename, checked
        std::u16string downloadPath;
        int64_t size = 0;           // the list's Size: the progress total when the server gives none
        bool update = false;        // "is updated" rather than "is installed"
    };

    void Fill();
    // The right click's pop-up: Install.
    void ContextMenu();
    void ShowStatusText(int slot, bool marquee);
    const CWebDictionary* ItemOfRow(int row) const;
    int SelectedRow() const;
    void DownloadItem();
    void Cancel();
    // Moves the checked download onto the target; false when nothing changed.
    bool InstallDownloaded(RDFDictionary*& installed);
    void FinishDownload(bool installed, RDFDictionary* dictionary);
    // A failed move of the download onto the target, with the system's reason.
    void NoteMoveFailure();
    // Ends a cancelled download whose transfer still waits for the server.
    void LetCancelledDownloadGo();
    // "Download.qdx" in the Dictionaries folder, emptied; another name while
    // a cancelled transfer still holds it.
    std::u16string FreeDownloadPath() const;
    std::u16string ShortName(const CWebDictionary& item) const;
    std::u16string LongName(const CWebDictionary& item) const;
    int32_t Language() const;

    CWebDictionaries& list_;
    CHomeLines& lines_;
    std::function<void()> startUpdateCheck_;
    HWND dialog_ = nullptr;
    HWND view_ = nullptr;
    CShelf* shelf_ = nullptr;
    std::u16string folder_;
    IServerPaneHost* host_ = nullptr;
    HIMAGELIST images_ = nullptr;
    int32_t lastStatus_ = 0x7FFFFFFF;   // the list status last shown
    uint32_t filledGeneration_ = 0;     // the list's generation the rows were made from
    bool selecting_ = false;            // guards the two-way selection sync
    DownloadState state_ = DownloadState::Idle;
    CHomeLine* line_ = nullptr;         // the download's own line, removed once its request ended
    CHomeRequest* request_ = nullptr;
    Download download_;
    std::u16string failure_;            // why the last download was not installed
    DWORD cancelTick_ = 0;              // when Cancel was chosen
    // How long a cancelled transfer may take to end before it is let go.
    static constexpr DWORD kCancelGraceMs = 300;
    std::unique_ptr<IServerPaneHost> dialogHost_;   // the dictionaries dialog's installed list
};
