// The reason each way a transfer can fail is told with, in English.
#include "web/transfer_failure.h"

#include <gtest/gtest.h>

#include "common/ui_text/ui_text.h"
#include "web/home_url.h"

namespace {

TransferOutcome Outcome(int32_t result, int32_t status = -1, int64_t received = 0, uint32_t error = 0,
                        uint32_t timeoutMs = 0, std::u16string target = {}) {
    return {result, status, received, error, timeoutMs, std::move(target)};
}

TEST(TransferFailure, EachResultIsToldWithWhatTheTransferKnew) {
    SetUILanguage(1);
    auto system = [](uint32_t code) { return code == 112 ? std::u16string(u"There is not enough space on the disk.") : u"?"; };
    struct Case {
        TransferOutcome outcome;
        std::u16string_view reason;
    };
    using namespace home_result;
    const Case cases[] = {
        {Outcome(kOk), u""},
        {Outcome(kCancelled), u"The download was cancelled."},
        {Outcome(kRedirectLoop, 301), u"The server redirected more than 10 times (a loop)."},
        {{kRedirectRefused, 302, 0, 0, 0, u"ftp://a/b"},
         u"The server sent the request on to an address the program cannot follow: ftp://a/b"},
        {Outcome(kStatus, 404), u"The server answered with status 404."},
        {Outcome(kRead, 200, 4000, 12031, 30000), u"The connection ended before the whole file arrived (4000 bytes received)."},
        {Outcome(kRead, 200, 10, kInternetTimeoutError, 30000), u"The server sent nothing for 30 seconds."},
        {Outcome(kSend, -1, 0, kInternetTimeoutError, 2500), u"The server sent nothing for 3 seconds."},
        {Outcome(kSend, -1, 0, 12029, 30000), u"The server could not be reached."},
        {Outcome(kAllocate, 200), u"The server announces more bytes than a download may take."},
        {Outcome(kWrite, 200, 0, 112), u"The downloaded file could not be written:\nThere is not enough space on the disk."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransferFailureReason(c.outcome, system), c.reason) << c.outcome.result;
}

}  // namespace
