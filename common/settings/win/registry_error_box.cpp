// The registry-error box: topmost, in the system's default language.
#include "common/settings/win/registry_error_box.h"

#include <string>

#include "common/win/wide_text.h"

RegistryErrorBox::RegistryErrorBox(ShowBox show) : show_(show) {}

int32_t RegistryErrorBox::Report(int32_t systemError) {
    switch (latch_.Record(systemError)) {
    case RegistryErrorLatch::Answer::NoError:
        return 0;
    case RegistryErrorLatch::Answer::AlreadyReported:
        return 1;
    case RegistryErrorLatch::Answer::ReportNow:
        break;
    }
    RegistryErrorTexts texts = RegistryErrorTextsFor(GetSystemDefaultLangID());
    // No owner: the box may come before the main window or while it is hidden.
    show_(nullptr, WideString(texts.text).c_str(), WideString(texts.caption).c_str(), MB_TOPMOST);
    return 2;
}

namespace {
RegistryErrorBox& RunBox() {
    static RegistryErrorBox box;
    return box;
}
}  // namespace

int32_t ShowRegistryWriteError(int32_t systemError) { return RunBox().Report(systemError); }

const RegistryErrorLatch& RegistryWriteErrorState() { return RunBox().State(); }
