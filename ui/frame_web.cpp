#include "ui/frame_web.h"

#include <shellapi.h>

#include <cstring>
#include <ctime>

#include "common/base/crc32.h"
#include "common/settings/registry_values.h"
#include "common/settings/win/registry_error_box.h"
#include "common/settings/win/registry_store.h"
#include "ui/application.h"
#include "ui/frame_books.h"
#include "ui/update_notice_dialog.h"
#include "common/win/system_error_text.h"
#include "web/transfer_failure.h"
#include "web/web_search.h"

uintptr_t FrameHomeLine::Queue(std::u16string_view url, std::string_view verb, std::span<const uint8_t> body,
                               uint32_t replyMessage) {
    if (!line_) return 0;
    std::u16string wideVerb(verb.begin(), verb.end());
    return reinterpret_cast<uintptr_t>(line_->AddRequest(url, wideVerb, body.data(), static_cast<uint32_t>(body.size()),
                                                         notifyWindow, replyMessage));
}

void FrameHomeLine::Remove(uintptr_t request) {
    if (line_) line_->RemoveRequest(reinterpret_cast<CHomeRequest*>(request));
}

FrameWeb::FrameWeb(Application& app, std::function<std::vector<std::u16string>()> visibleDictionaries)
    : app_(app),
      visibleDictionaries_(std::move(visibleDictionaries)),
      homeLine_(lines_.AddLine()),
      hosts_(*this, list_) {
    hosts_.AddHost(app_.homeSite, &homeLine_);
}

FrameWeb::~FrameWeb() {
    // A pane still attached (the dialog outlived the frame) lets go of its line first.
    if (panel_) panel_->Detach();
}

void FrameWeb::StartUpdateCheck(HWND frame) {
    frame_ = frame;
    homeLine_.notifyWindow = frame;
    hosts_.ForgetHostsUsedLast();
    hosts_.StartUpdateCheck();
}

LRESULT FrameWeb::OnHomeReply(UINT message, WPARAM wParam, LPARAM) {
    if (message != kListReplyMessage && message != kUpdateReplyMessage) return 1;
    auto* request = reinterpret_cast<CHomeRequest*>(wParam);
    CHomeLine* head = lines_.Head();
    // Only a finished request of the head line is read; anything else is not ours.
    if (!head || !head->Holds(request) || request->State() != 3) return 1;
    const auto handle = reinterpret_cast<uintptr_t>(request);
    if (message == kListReplyMessage) {
        // The reason is read before the reply frees the request.
        const std::u16string failure = TransferFailureReason(
            {request->Result(), request->StatusCode(), request->Received(), request->SystemError(),
             kDefaultTransferTimeoutMs, request->RedirectTarget()},
            SystemErrorText);
        hosts_.OnListReply(handle, request->Result(), request->Reply());
        list_.failure = list_.status == -1 ? failure : std::u16string();
    } else {
        hosts_.OnUpdateReply(handle, request->Result(), request->Reply());
    }
    return 1;
}

void FrameWeb::OpenWebSearch(uint32_t command, BSTR word) {
    std::u16string text(reinterpret_cast<const char16_t*>(word), word ? SysStringLen(word) : 0);
    SysFreeString(word);
    std::string url = WebSearchUrl(command, text);
    if (!url.empty()) ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void FrameWeb::ChangeHomeSite(std::u16string_view url) {
    hosts_.AddHost(url, &homeLine_);
    if (frame_) StartUpdateCheck(frame_);
}

IDictionariesServerPanel* FrameWeb::DictionariesServerPanel() {
    if (!panel_) panel_ = MakeServerListPane();
    return panel_.get();
}

std::unique_ptr<ServerListPane> FrameWeb::MakeServerListPane() {
    auto pane = std::make_unique<ServerListPane>(list_, lines_, [this] { StartUpdateCheck(frame_); });
    pane->isShownInReader = IsShownInBookReader;
    return pane;
}

int64_t FrameWeb::NowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

bool FrameWeb::UpdateDue() { return app_.updateDue != 0; }

UpdateQueryFields FrameWeb::QueryFields() {
    UpdateQueryFields fields;
    const RegistryErrorLatch& errors = RegistryWriteErrorState();
    if (errors.failed) fields.registryError = static_cast<uint32_t>(errors.lastError);
    RegGetString(kInstallationIdValue, fields.installationId);
    fields.language = app_.language;
    RegGetDword(kWorkingDaysValue, fields.workingDays);
    fields.minutes = static_cast<int32_t>(StatisticsMinutes(app_.statistics));
    if (visibleDictionaries_) fields.visibleDictionaryPaths = visibleDictionaries_();
    wchar_t exe[1001];
    DWORD units = GetModuleFileNameW(nullptr, exe, 1000);
    exe[units] = 0;
    CCrc32Dynamic crc;
    crc.Init();
    uint32_t value = 0;
    if (crc.FileCrc32Win32(reinterpret_cast<const char16_t*>(exe), value) == 0) fields.programCrc = value;
    return fields;
}

void FrameWeb::UpdateAnswered() {
    app_.updateDue = 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    RegSetBinary(kUpdateReqDateValue, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&now), sizeof now));
    // Minutes from now on: the run's minutes so far are taken off again when
    // the end of the run adds them.
    app_.statistics.fill(0);
    const uint32_t runMinutes = static_cast<uint32_t>(static_cast<uint64_t>(clock()) * 1000 / CLOCKS_PER_SEC / 60000);
    const uint32_t minutes = 0u - runMinutes;
    std::memcpy(app_.statistics.data() + kStatisticsMinutesOffset, &minutes, sizeof minutes);
}

void FrameWeb::ShowUpdateNotice(std::string reply) { ::ShowUpdateNotice(frame_, reply); }
