// Request lines: each CHomeLine owns one worker thread that runs its queued
// HTTP requests one at a time over WinINet, into memory or into a file, and
// posts (window, message, request, 0) when one ends. The user-interface
// thread queues, cancels and frees requests; the worker only runs them.
//
// Ownership and threads: a line's queue, lock and events live in a shared
// block that the line and its worker both hold, so a worker still running
// when its line is destroyed never touches freed memory and is never
// terminated inside WinINet or the heap. Each transaction runs on a thread
// of its own over a copy of its request; the worker gives up one whose step
// outlives the time-out (or Cancel) and the copy goes with that thread.
// Request state, cancel and stopping are atomic; state changes and the
// notify fields are read under the lock; once a request is done the worker
// touches only the copies it made.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/home_url.h"

class CHomeLine;
class CHomeRequest;
struct HomeLineShared;

// Runs one transaction on the calling thread (the worker's body). Returns
// the result it stored in the request.
int32_t RunHomeRequest(CHomeRequest& request);

inline constexpr size_t kHomeLineCapacity = 100;
inline constexpr uint32_t kDefaultTransferTimeoutMs = 30000;

class CHomeRequest {
public:
    CHomeRequest(const CHomeRequest&) = delete;
    CHomeRequest& operator=(const CHomeRequest&) = delete;
    virtual ~CHomeRequest();

    // Asks the transaction to end; it notices at its next step (-14).
    void Cancel() { cancel_.store(true); }

    // 1 queued, 2 running, 3 done.
    int32_t State() const { return state_.load(); }
    // Read after the completion message (state 3).
    int32_t Result() const { return result_; }
    int32_t StatusCode() const { return statusCode_; }
    // The zero-terminated reply of a memory request that succeeded.
    std::string_view Reply() const { return reply_ ? std::string_view(reply_, static_cast<size_t>(received_.load())) : std::string_view(); }
    // The transaction's own time, from its start to its last WinINet step.
    uint32_t ElapsedMs() const { return lastTick_ - startTick_; }
    int32_t Reallocations() const { return reallocations_; }
    // Redirects followed, and the address the last one named.
    int32_t Redirects() const { return redirects_; }
    const std::u16string& RedirectTarget() const { return redirectTarget_; }
    // The system's error code of the WinINet step that failed (0: none).
    uint32_t SystemError() const { return systemError_; }
    const std::u16string& Url() const { return url_; }
    const HomeUrlParts& Parts() const { return parts_; }
    CHomeLine* Owner() const { return owner_; }

    // Progress, read on any thread while the request runs.
    int64_t Received() const { return received_.load(); }
    int64_t ContentLength() const { return contentLength_.load(); }

private:
    friend class CHomeLine;
    friend int32_t RunHomeRequest(CHomeRequest&);
    CHomeRequest() = default;

    CHomeLine* owner_ = nullptr;
    std::u16string url_;
    std::u16string verb_;
    HomeUrlParts parts_;
    std::vector<uint8_t> body_;
    std::u16string outputPath_;      // empty: the reply goes to memory
    int64_t byteLimit_ = 0;          // most bytes accepted (0: only the caps)
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
    uint32_t timeoutMs_ = kDefaultTransferTimeoutMs;

    std::atomic<int32_t> state_{1};
    std::atomic<bool> cancel_{false};
    std::atomic<int64_t> received_{0};
    std::atomic<int64_t> contentLength_{-1};
    int32_t result_ = 0;
    int32_t statusCode_ = -1;
    char* reply_ = nullptr;          // malloc'd; capacity below
    int64_t capacity_ = 0;
    int32_t reallocations_ = 0;
    int32_t redirects_ = 0;
    std::u16string redirectTarget_;
    uint32_t systemError_ = 0;
    DWORD startTick_ = 0;
    std::atomic<DWORD> lastTick_{0};   // when the step now running began
    // The result a transfer given up in its current step gets: no reply yet
    // (send), or the body (read).
    std::atomic<int32_t> waitingStep_{home_result::kSend};
};

class CHomeLine {
public:
    CHomeLine();
    CHomeLine(const CHomeLine&) = delete;
    CHomeLine& operator=(const CHomeLine&) = delete;
    // Stops the worker: waits up to 2,100 ms, then leaves a worker still in a
    // transfer to end at its timeout with what it holds; frees every request.
    virtual ~CHomeLine();

    // Creates the events and the worker thread; false when that failed.
    bool Start();
    // Queues a request; null when the URL is empty, longer than 511 units or
    // has an impossible port, the verb is empty or longer than 7 units, the
    // line is stopping, or 100 requests (done ones included) are held.
    // `byteLimit` (0: none) fails a reply that grows past it.
    CHomeRequest* AddRequest(std::u16string_view url, std::u16string_view verb, const void* body,
                             uint32_t bodyLength, HWND notifyWindow, UINT notifyMessage,
                             std::u16string_view outputPath = {}, int64_t byteLimit = 0);
    // Frees a done request (state 3) held by this line; 0 always, and
    // nothing happens for a queued, running or unknown request.
    int32_t RemoveRequest(CHomeRequest* request);
    // Whether this line holds `request` (by address; it is not read).
    bool Holds(const CHomeRequest* request) const;
    size_t Count() const;
    // Receive, send and connect timeout of later requests; a step that
    // waits 2 s past it is given up (timed out) whatever WinINet does.
    void SetTransferTimeout(uint32_t ms) { timeoutMs_ = ms; }
    // How long the destructor waits for a worker still in a transfer (at
    // most 2,100 ms; 0 lets it go at once, to end at its time-out).
    void SetStopWait(uint32_t ms) { stopWaitMs_ = ms; }

    CHomeLine* next = nullptr;

private:
    static unsigned __stdcall WorkerMain(void* shared);
    // One pass over the queue: runs every queued request in order.
    static void RunQueued(HomeLineShared& shared);
    // Runs `request`'s transaction on a thread of its own and waits for it
    // within the transfer's deadline (see home_line.cpp).
    static void RunWithDeadline(CHomeRequest& request, HomeLineShared& shared);

    std::shared_ptr<HomeLineShared> shared_;
    HANDLE thread_ = nullptr;
    bool started_ = false;
    uint32_t timeoutMs_ = kDefaultTransferTimeoutMs;
    uint32_t stopWaitMs_ = 100 + 2000;
};

class CHomeLines {
public:
    CHomeLines() = default;
    CHomeLines(const CHomeLines&) = delete;
    CHomeLines& operator=(const CHomeLines&) = delete;
    virtual ~CHomeLines();

    // A started line at the end of the chain; null when it could not start.
    CHomeLine* AddLine();
    void RemoveLine(CHomeLine* line);
    CHomeLine* Head() const { return head_; }

private:
    CHomeLine* head_ = nullptr;
};
