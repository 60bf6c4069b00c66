// The home sites and the periodic check against them: every five hours the
// list of downloadable dictionaries, then (once a day, while the application
// says it is due) the update request whose reply carries the news. A failing
// host hands over to the next current one; with none left the check comes
// again in ten minutes. Runs on the user-interface thread; the transfers run
// on a request line, reached through IHomeRequestLine so that the rules here
// are tested with a fake line and clock.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "web/dictionary_list.h"
#include "web/update_query.h"

// Reply messages posted to the notify window (WM_APP + 0x30 and + 0x12).
inline constexpr uint32_t kListReplyMessage = 0x8030;
inline constexpr uint32_t kUpdateReplyMessage = 0x8012;
inline constexpr int64_t kCheckPeriodSeconds = 18000;
inline constexpr int64_t kRetrySeconds = 600;
inline constexpr char16_t kListPath[] = u"update/dictionary_list.txt";
inline constexpr char16_t kUpdatePath[] = u"update/";

// Where requests are queued. A request is known by an opaque handle, 0 when
// the line refused it.
class IHomeRequestLine {
public:
    virtual ~IHomeRequestLine() = default;
    virtual uintptr_t Queue(std::u16string_view url, std::string_view verb, std::span<const uint8_t> body,
                            uint32_t replyMessage) = 0;
    // Frees a finished request (nothing for one still queued or running).
    virtual void Remove(uintptr_t request) = 0;
};

// What the check needs of the application.
class IUpdateCheckSite {
public:
    virtual ~IUpdateCheckSite() = default;
    virtual int64_t NowSeconds() = 0;
    virtual bool UpdateDue() = 0;
    virtual UpdateQueryFields QueryFields() = 0;
    // A non-empty reply to the update request arrived: clear the due flag,
    // store "UpdateReqDate" and start the use statistics again.
    virtual void UpdateAnswered() = 0;
    // The news of the reply; called after the request is freed, with a copy.
    virtual void ShowUpdateNotice(std::string reply) = 0;
};

struct CHost {
    IHomeRequestLine* line = nullptr;
    int32_t obsolete = 0;       // 0 current; every later AddHost adds 1
    std::u16string baseUrl;     // scheme, host, the port when one was given, "/"
    bool secure = false;
};

class CHosts {
public:
    CHosts(IUpdateCheckSite& site, CWebDictionaries& list) : site_(site), list_(list) {}
    CHosts(const CHosts&) = delete;
    CHosts& operator=(const CHosts&) = delete;
    virtual ~CHosts() = default;

    // Makes every earlier host obsolete and appends this one (a bare host
    // gets "https://"), sending through `line`; empties the downloadable list. 1.
    int32_t AddHost(std::u16string_view url, IHomeRequestLine* line);
    // The next check is due in five hours; sends the list request to the next
    // current host. 1 when sent.
    int32_t StartUpdateCheck();
    // Both hosts used last become none, so the next start begins at the first.
    void ForgetHostsUsedLast() { listHost_ = updateHost_ = -1; }
    int32_t SendUpdateRequest();
    void OnListReply(uintptr_t request, int32_t result, std::string_view reply);
    void OnUpdateReply(uintptr_t request, int32_t result, std::string_view reply);

    int64_t NextCheckTime() const { return nextCheck_; }
    const std::vector<CHost>& Hosts() const { return hosts_; }
    // The base URL of the newest host (the home site), empty when none.
    std::u16string HomeSiteUrl() const { return hosts_.empty() ? std::u16string() : hosts_.back().baseUrl; }

private:
    // The next current host after `last` (or from the first); -1 when none.
    int32_t ChooseHost(int32_t& last);
    bool SendListRequest(const CHost& host);
    void RemoveRequest(uintptr_t request);
    bool IsObsolete(int32_t index) const { return index >= 0 && hosts_[index].obsolete > 0; }

    IUpdateCheckSite& site_;
    CWebDictionaries& list_;
    std::vector<CHost> hosts_;
    int64_t nextCheck_ = 0;
    int32_t listHost_ = -1;     // host used last for the list, -1 none
    int32_t updateHost_ = -1;   // host used last for the update request
};
