// The web services joined to the main window (its IFrameWeb slot): the
// application's request lines, the home site and its update check, the
// downloadable list, the reply messages and the web searches. Replies are
// taken only for requests the head line still holds, so a forged or stale
// message never reaches a freed request.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/frame_slots.h"
#include "ui/server_list_pane.h"
#include "web/dictionary_list.h"
#include "web/home_hosts.h"
#include "web/win/home_line.h"

class Application;

// The request line as the home sites see it: requests post to the main window.
class FrameHomeLine : public IHomeRequestLine {
public:
    explicit FrameHomeLine(CHomeLine* line) : line_(line) {}
    uintptr_t Queue(std::u16string_view url, std::string_view verb, std::span<const uint8_t> body,
                    uint32_t replyMessage) override;
    void Remove(uintptr_t request) override;
    HWND notifyWindow = nullptr;

private:
    CHomeLine* line_;
};

class FrameWeb : public IFrameWeb, public IUpdateCheckSite {
public:
    // `visibleDictionaries` answers the paths of the shelf's dictionaries
    // that are not hidden, in shelf order.
    FrameWeb(Application& app, std::function<std::vector<std::u16string>()> visibleDictionaries);
    FrameWeb(const FrameWeb&) = delete;
    FrameWeb& operator=(const FrameWeb&) = delete;
    ~FrameWeb() override;

    // IFrameWeb
    int64_t NextCheckTime() override { return hosts_.NextCheckTime(); }
    void StartUpdateCheck(HWND frame) override;
    LRESULT OnHomeReply(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OpenWebSearch(uint32_t command, BSTR word) override;
    // The server list, one for the run, attached to each dictionaries dialog.
    IDictionariesServerPanel* DictionariesServerPanel() override;
    void OnHomeSiteChanged(const std::u16string& site) override { ChangeHomeSite(site); }

    // IUpdateCheckSite
    int64_t NowSeconds() override;
    bool UpdateDue() override;
    UpdateQueryFields QueryFields() override;
    void UpdateAnswered() override;
    void ShowUpdateNotice(std::string reply) override;

    // The settings changed the home site: every earlier host is obsolete and
    // a check starts at the new one.
    void ChangeHomeSite(std::u16string_view url);
    // The server list for a dictionaries dialog: the downloadable list, the
    // run's request lines, and the update check when the list is missing.
    std::unique_ptr<ServerListPane> MakeServerListPane();

    CWebDictionaries& DownloadableList() { return list_; }
    CHomeLines& Lines() { return lines_; }
    CHosts& Hosts() { return hosts_; }

private:
    Application& app_;
    std::function<std::vector<std::u16string>()> visibleDictionaries_;
    CHomeLines lines_;
    FrameHomeLine homeLine_;
    CWebDictionaries list_;
    CHosts hosts_;
    HWND frame_ = nullptr;
    std::unique_ptr<ServerListPane> panel_;   // made when a dictionaries dialog first asks
};
