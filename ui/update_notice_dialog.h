// The notice of a newer program version (DOWNLOAD_UPDATE): shown modally
// over the main window when item 2 of the update reply announces a version
// above this one that the user has not dismissed. OK opens the download page
// of the home site; with "Remind me later" cleared, "NoRemind2" keeps the
// item's serial so the same announcement is not shown again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

class CDownloadUpdateDlg {
public:
    CDownloadUpdateDlg(std::u16string homeSite, int32_t language) : homeSite_(std::move(homeSite)), language_(language) {}
    CDownloadUpdateDlg(const CDownloadUpdateDlg&) = delete;
    CDownloadUpdateDlg& operator=(const CDownloadUpdateDlg&) = delete;
    virtual ~CDownloadUpdateDlg() = default;

    // Reads the reply's news and the reminders; runs the notice when item 2
    // is to be shown. 1 (OK), -1 (Cancel, Escape) or 0 (nothing shown).
    INT_PTR Show(HWND owner, std::string_view reply);

private:
    static INT_PTR CALLBACK UpdateNoticeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void InitTexts();
    void SaveNoRemind();
    INT_PTR End(INT_PTR result);

    HWND dialog_ = nullptr;
    std::u16string homeSite_;
    int32_t language_;
    uint32_t serial_ = 0;        // of the shown item
    uint32_t version_[4] = {};   // the announced version
};

// Runs the notice for an update reply.
void ShowUpdateNotice(HWND owner, std::string_view reply);
