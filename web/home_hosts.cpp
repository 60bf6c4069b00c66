#include "web/home_hosts.h"

#include <utility>

#include "web/home_url.h"

namespace {

std::u16string RequestUrl(std::u16string_view base, std::u16string_view path, int64_t now) {
    std::u16string url(base);
    if (url.empty() || url.back() != u'/') url += u'/';
    url += path;
    AppendTimestampQuery(url, u'?', now);
    return url;
}

}  // namespace

int32_t CHosts::AddHost(std::u16string_view url, IHomeRequestLine* line) {
    for (CHost& host : hosts_) ++host.obsolete;
    CHost host;
    host.line = line;
    host.baseUrl = HomeSiteBaseUrl(url);
    host.secure = host.baseUrl.starts_with(u"https://");
    hosts_.push_back(std::move(host));
    list_.Clear();
    return 1;
}

void CHosts::RemoveRequest(uintptr_t request) {
    // The request came through one of the hosts' lines; a line ignores handles it does not hold.
    IHomeRequestLine* done = nullptr;
    for (const CHost& host : hosts_) {
        if (host.line && host.line != done) host.line->Remove(request);
        done = host.line;
    }
}

int32_t CHosts::ChooseHost(int32_t& last) {
    for (int32_t i = last + 1; i < static_cast<int32_t>(hosts_.size()); ++i) {
        if (hosts_[i].obsolete == 0) {
            last = i;
            return i;
        }
    }
    last = -1;
    return -1;
}

bool CHosts::SendListRequest(const CHost& host) {
    if (!host.line) return false;
    return host.line->Queue(RequestUrl(host.baseUrl, kListPath, site_.NowSeconds()), "GET", {}, kListReplyMessage) != 0;
}

int32_t CHosts::StartUpdateCheck() {
    nextCheck_ = site_.NowSeconds() + kCheckPeriodSeconds;
    int32_t host = ChooseHost(listHost_);
    if (host < 0) return 0;
    list_.status = 1;
    SendListRequest(hosts_[host]);
    return 1;
}

void CHosts::OnListReply(uintptr_t request, int32_t result, std::string_view reply) {
    auto remove = [&] { RemoveRequest(request); };
    if (IsObsolete(listHost_)) {
        remove();
        return;
    }
    if (result == 0) {
        list_.SetText(reply);
        list_.Parse();
        list_.status = 3;
        remove();
        SendUpdateRequest();
        return;
    }
    remove();
    nextCheck_ = site_.NowSeconds() + kCheckPeriodSeconds;
    int32_t host = ChooseHost(listHost_);
    if (host < 0) {
        list_.status = -1;
        nextCheck_ = site_.NowSeconds() + kRetrySeconds;
        return;
    }
    list_.status = 1;
    SendListRequest(hosts_[host]);
}

int32_t CHosts::SendUpdateRequest() {
    if (!site_.UpdateDue()) return 1;
    int32_t index = ChooseHost(updateHost_);
    if (index < 0) return 0;
    const CHost& host = hosts_[index];
    std::string body = BuildUpdateQuery(site_.QueryFields());
    ScrambleUpdateQuery(body);
    std::u16string url = RequestUrl(host.baseUrl, kUpdatePath, site_.NowSeconds());
    if (host.line)
        host.line->Queue(url, "POST",
                         std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(body.data()), body.size()),
                         kUpdateReplyMessage);
    return 1;
}

void CHosts::OnUpdateReply(uintptr_t request, int32_t result, std::string_view reply) {
    auto remove = [&] { RemoveRequest(request); };
    if (IsObsolete(updateHost_)) {
        remove();
        return;
    }
    if (result != 0) {
        remove();
        if (SendUpdateRequest() == 0) nextCheck_ = site_.NowSeconds() + kRetrySeconds;
        return;
    }
    if (reply.empty()) {
        remove();  // an empty reply leaves the update due
        return;
    }
    site_.UpdateAnswered();
    // The notice is modal: the request is freed first, and the notice reads a copy.
    std::string copy(reply);
    remove();
    site_.ShowUpdateNotice(std::move(copy));
}
