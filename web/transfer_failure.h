// Why a transfer failed, in the user's words: the result of a transaction
// with what it knew when it ended (status, bytes received, the system's
// error, the address a refused redirect named), as the line a message
// shows under "Could not install ...".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// WinINet's "the operation timed out".
inline constexpr uint32_t kInternetTimeoutError = 12002;

struct TransferOutcome {
    int32_t result = 0;          // home_result
    int32_t statusCode = -1;     // the last status the server sent
    int64_t received = 0;        // bytes of the body received
    uint32_t systemError = 0;    // of the call that failed; 0 none
    uint32_t timeoutMs = 0;      // the transfer's time-out
    std::u16string redirectTarget;
};

// The reason in the interface language; empty for a success. `systemText`
// gives the system's words for a file error.
std::u16string TransferFailureReason(const TransferOutcome& outcome,
                                     const std::function<std::u16string(uint32_t)>& systemText);
