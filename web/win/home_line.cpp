// The request line: its queue, its worker thread and the stop sequence.
#include "web/win/home_line.h"

#include <process.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>

#include "web/win/thread_starts.h"

// What a line and its worker share; freed by whichever lets go last.
struct HomeLineShared {
    CRITICAL_SECTION lock;
    HANDLE stopEvent = nullptr;
    HANDLE workEvent = nullptr;
    std::atomic<bool> stopping{false};
    std::vector<CHomeRequest*> queue;   // order of queuing, at most 100

    HomeLineShared() { InitializeCriticalSection(&lock); }
    ~HomeLineShared() {
        for (CHomeRequest* request : queue) delete request;
        if (stopEvent) CloseHandle(stopEvent);
        if (workEvent) CloseHandle(workEvent);
        DeleteCriticalSection(&lock);
    }
    HomeLineShared(const HomeLineShared&) = delete;
    HomeLineShared& operator=(const HomeLineShared&) = delete;
};

namespace {

// How long stopping a line waits for threads a transfer started to run.
constexpr DWORD kThreadStartWaitMs = 2000;

// A step of a transfer that has waited this long past its time-out is given
// up: WinINet's own time-outs bind the connection and the reads, but under
// Wine not the TLS handshake, which waits as long as a server that accepted
// the connection says nothing.
constexpr DWORD kDeadlineSlackMs = 2000;
// How long a cancelled transfer (or one of a stopping line) may take to end
// on its own before it is given up.
constexpr DWORD kCancelGraceMs = 1000;
// How often the worker looks at its transfer: progress, Cancel, the deadline.
constexpr DWORD kWatchMs = 50;

unsigned __stdcall TransferMain(void* argument) {
    std::unique_ptr<std::shared_ptr<CHomeRequest>> job(static_cast<std::shared_ptr<CHomeRequest>*>(argument));
    RunHomeRequest(**job);
    return 0;
}

class LockScope {
public:
    explicit LockScope(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~LockScope() { LeaveCriticalSection(&lock_); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

CHomeRequest::~CHomeRequest() { std::free(reply_); }

CHomeLine::CHomeLine() : shared_(std::make_shared<HomeLineShared>()) {}

bool CHomeLine::Start() {
    if (started_) return true;
    NoteThreadsBeforeTransfers();
    shared_->stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shared_->workEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!shared_->stopEvent || !shared_->workEvent) return false;
    // The worker holds its own reference to the shared block.
    auto* reference = new std::shared_ptr<HomeLineShared>(shared_);
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CHomeLine::WorkerMain, reference, 0, nullptr));
    if (!thread_) {
        delete reference;
        return false;
    }
    started_ = true;
    return true;
}

CHomeLine::~CHomeLine() {
    if (started_) {
        started_ = false;
        {
            LockScope scope(shared_->lock);
            shared_->stopping.store(true);
            for (CHomeRequest* request : shared_->queue) request->Cancel();
        }
        SetEvent(shared_->stopEvent);
        // A worker blocked in WinINet ends at its timeout; it is never
        // terminated there (it could hold the heap's or WinINet's locks),
        // and the shared block stays until it lets go.
        WaitForSingleObject(thread_, stopWaitMs_);
        CloseHandle(thread_);
        // A transfer's last call may have started a thread of WinINet's that
        // does not run yet; the process must not end before it does.
        WaitForStartingThreads(kThreadStartWaitMs);
    }
    thread_ = nullptr;
    // A running request stays in the queue for the worker to finish; the
    // others are freed now.
    LockScope scope(shared_->lock);
    auto& queue = shared_->queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [](CHomeRequest* request) {
                                   if (request->State() == 2) return false;
                                   delete request;
                                   return true;
                               }),
                queue.end());
}

CHomeRequest* CHomeLine::AddRequest(std::u16string_view url, std::u16string_view verb, const void* body,
                                    uint32_t bodyLength, HWND notifyWindow, UINT notifyMessage,
                                    std::u16string_view outputPath, int64_t byteLimit) {
    if (url.empty() || url.size() > kHomeUrlMaxUnits || verb.empty() || verb.size() > kHomeVerbMaxUnits)
        return nullptr;
    if (!started_ || shared_->stopping.load()) return nullptr;
    HomeUrlParts parts = SplitHomeUrl(url);
    if (!parts.valid) return nullptr;
    auto* request = new CHomeRequest();
    request->owner_ = this;
    request->url_ = url;
    request->verb_ = verb;
    request->parts_ = std::move(parts);
    if (body && bodyLength > 0) {
        const auto* bytes = static_cast<const uint8_t*>(body);
        request->body_.assign(bytes, bytes + bodyLength);
    }
    request->outputPath_ = outputPath;
    request->byteLimit_ = byteLimit;
    request->notifyWindow_ = notifyWindow;
    request->notifyMessage_ = notifyMessage;
    request->timeoutMs_ = timeoutMs_;
    {
        LockScope scope(shared_->lock);
        if (shared_->queue.size() >= kHomeLineCapacity) {
            delete request;
            return nullptr;
        }
        shared_->queue.push_back(request);
    }
    SetEvent(shared_->workEvent);
    Sleep(0);
    return request;
}

int32_t CHomeLine::RemoveRequest(CHomeRequest* request) {
    LockScope scope(shared_->lock);
    auto& queue = shared_->queue;
    auto at = std::find(queue.begin(), queue.end(), request);
    if (at != queue.end() && (*at)->State() == 3) {
        delete *at;
        queue.erase(at);
    }
    return 0;
}

bool CHomeLine::Holds(const CHomeRequest* request) const {
    LockScope scope(shared_->lock);
    return std::find(shared_->queue.begin(), shared_->queue.end(), request) != shared_->queue.end();
}

size_t CHomeLine::Count() const {
    LockScope scope(shared_->lock);
    return shared_->queue.size();
}

void CHomeLine::RunQueued(HomeLineShared& shared) {
    while (!shared.stopping.load()) {
        CHomeRequest* request = nullptr;
        {
            LockScope scope(shared.lock);
            if (shared.stopping.load()) return;
            for (CHomeRequest* queued : shared.queue) {
                if (queued->State() == 1) {
                    request = queued;
                    request->state_.store(2);
                    break;
                }
            }
        }
        if (!request) return;
        // While running, only this thread writes the request's other fields;
        // RemoveRequest leaves a running request alone.
        RunWithDeadline(*request, shared);
        HWND window;
        UINT message;
        {
            LockScope scope(shared.lock);
            window = request->notifyWindow_;
            message = request->notifyMessage_;
            request->state_.store(3);
        }
        // From here the receiver may free the request at any moment: only the copies are used.
        if (!shared.stopping.load() && window && IsWindow(window))
            PostMessageW(window, message, reinterpret_cast<WPARAM>(request), 0);
    }
}

// The transaction runs on a thread of its own over a copy of the request,
// which that thread frees when its last call returns. The worker watches it:
// it passes on the progress and Cancel, and gives the transfer up when a
// step outlives its time-out by kDeadlineSlackMs (the request fails as timed
// out) or a cancelled transfer does not end within kCancelGraceMs. So every
// transfer ends in bounded time whatever WinINet does, and a call that never
// returns holds only its own copy.
void CHomeLine::RunWithDeadline(CHomeRequest& request, HomeLineShared& shared) {
    auto job = std::shared_ptr<CHomeRequest>(new CHomeRequest());
    job->url_ = request.url_;
    job->verb_ = request.verb_;
    job->parts_ = request.parts_;
    job->body_ = request.body_;
    job->outputPath_ = request.outputPath_;
    job->byteLimit_ = request.byteLimit_;
    job->timeoutMs_ = request.timeoutMs_;
    job->cancel_.store(request.cancel_.load());
    job->lastTick_.store(GetTickCount());
    auto* reference = new std::shared_ptr<CHomeRequest>(job);
    auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TransferMain, reference, 0, nullptr));
    if (!thread) {
        delete reference;
        RunHomeRequest(request);
        return;
    }
    const DWORD start = GetTickCount();
    DWORD cancelTick = 0;
    bool cancelled = false;
    for (;;) {
        const bool ended = WaitForSingleObject(thread, kWatchMs) == WAIT_OBJECT_0;
        request.received_.store(job->received_.load());
        request.contentLength_.store(job->contentLength_.load());
        if (ended) break;
        const DWORD now = GetTickCount();
        if (!cancelled && (request.cancel_.load() || shared.stopping.load())) {
            job->Cancel();
            cancelled = true;
            cancelTick = now;
        }
        const bool overdue = now - job->lastTick_.load() >= job->timeoutMs_ + kDeadlineSlackMs;
        if (overdue || (cancelled && now - cancelTick >= kCancelGraceMs)) {
            job->Cancel();   // should its call ever return, nothing more is done
            request.startTick_ = start;
            request.lastTick_.store(now);
            request.result_ = cancelled ? home_result::kCancelled : job->waitingStep_.load();
            request.systemError_ = cancelled ? 0 : ERROR_INTERNET_TIMEOUT;
            request.received_.store(0);
            CloseHandle(thread);
            return;
        }
    }
    CloseHandle(thread);
    CHomeRequest& done = *job;
    request.result_ = done.result_;
    request.statusCode_ = done.statusCode_;
    std::swap(request.reply_, done.reply_);
    request.capacity_ = done.capacity_;
    request.reallocations_ = done.reallocations_;
    request.redirects_ = done.redirects_;
    request.redirectTarget_ = std::move(done.redirectTarget_);
    request.systemError_ = done.systemError_;
    request.startTick_ = done.startTick_;
    request.lastTick_.store(done.lastTick_.load());
    request.received_.store(done.received_.load());
    request.contentLength_.store(done.contentLength_.load());
}

unsigned __stdcall CHomeLine::WorkerMain(void* argument) {
    std::unique_ptr<std::shared_ptr<HomeLineShared>> reference(static_cast<std::shared_ptr<HomeLineShared>*>(argument));
    HomeLineShared& shared = **reference;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    HANDLE events[2] = {shared.stopEvent, shared.workEvent};
    for (;;) {
        DWORD signalled = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (signalled == WAIT_OBJECT_0) break;
        if (signalled != WAIT_OBJECT_0 + 1) continue;
        // Cleared before the scan: a request queued during the pass sets it
        // again and is met by this pass or the next, never left waiting.
        ResetEvent(shared.workEvent);
        RunQueued(shared);
        if (shared.stopping.load()) break;
    }
    // Dropping the reference frees the shared block when the line has gone.
    return 0;
}

CHomeLines::~CHomeLines() {
    while (head_) {
        CHomeLine* line = head_;
        head_ = line->next;
        delete line;
    }
}

CHomeLine* CHomeLines::AddLine() {
    auto* line = new CHomeLine();
    if (!line->Start()) {
        delete line;
        return nullptr;
    }
    CHomeLine** end = &head_;
    while (*end) end = &(*end)->next;
    *end = line;
    return line;
}

void CHomeLines::RemoveLine(CHomeLine* line) {
    for (CHomeLine** at = &head_; *at; at = &(*at)->next) {
        if (*at == line) {
            *at = line->next;
            delete line;
            return;
        }
    }
}
