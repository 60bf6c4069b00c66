#include "web/transfer_failure.h"

#include <array>

#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"
#include "web/home_url.h"
#include "web/http_redirect.h"

namespace {

std::u16string Format(UIExtraText which, FormatArg argument) {
    std::array<char16_t, 1024> text{};
    const size_t length = FormatBounded(text, UIExtra(which), {argument});
    return std::u16string(text.data(), length);
}

}  // namespace

std::u16string TransferFailureReason(const TransferOutcome& outcome,
                                     const std::function<std::u16string(uint32_t)>& systemText) {
    using namespace home_result;
    const bool timedOut = outcome.systemError == kInternetTimeoutError;
    auto withSystemText = [&](UIExtraText which) {
        std::u16string text = UIExtra(which);
        if (outcome.systemError != 0 && systemText) text += u"\n" + systemText(outcome.systemError);
        return text;
    };
    switch (outcome.result) {
    case kOk:
        return {};
    case kCancelled:
        return UIExtra(UIExtraText::kTransferCancelled);
    case kRedirectLoop:
        return Format(UIExtraText::kTransferRedirectLoop, kMostRedirects);
    case kRedirectRefused:
        return Format(UIExtraText::kTransferRedirectRefused, outcome.redirectTarget);
    case kStatus:
        return Format(UIExtraText::kTransferStatus, outcome.statusCode);
    case kAllocate:
    case kGrow:
        return UIExtra(UIExtraText::kTransferTooLarge);
    case kCreateFile:
    case kWrite:
        return withSystemText(UIExtraText::kDownloadNotWritten);
    case kRead:
        if (timedOut) return Format(UIExtraText::kTransferTimedOut, (outcome.timeoutMs + 999) / 1000);
        return Format(UIExtraText::kTransferIncomplete, outcome.received);
    default:  // open, connect, open request, send
        if (timedOut) return Format(UIExtraText::kTransferTimedOut, (outcome.timeoutMs + 999) / 1000);
        return UIExtra(UIExtraText::kTransferUnreachable);
    }
}
