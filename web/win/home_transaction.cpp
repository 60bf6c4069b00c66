// One HTTP transaction over WinINet on the worker thread: open, connect,
// send, check the status, then read the reply in 10,000-byte pieces into a
// growing buffer or a file. Every failure is a result code in the request.
// A body that ends before its Content-Length, or grows past it (or past the
// request's byte limit), fails, and a failed file is deleted: a download is
// either whole or gone. A body without a length (chunked, or HTTP/1.0 and
// "Connection: close" replies ended by the close) is whole when a read
// returns 0 bytes; a length that is no number, and headers that never end
// (which WinINet shows as headers with an empty body ended by the close),
// fail. Redirects are followed here, at most kMostRedirects of them, each a
// request of its own that Cancel and the time-outs reach (a loop ends with
// -15, a Location no transfer may follow with -16). Receive, send and
// connect timeouts end a stalled transfer; the request line runs this on a
// thread of its own and gives up a step WinINet never ends (home_line.cpp).
// The output file is made when the body starts and goes with its last
// handle unless the transfer succeeded.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "web/http_redirect.h"
#include "web/win/home_line.h"

namespace {

constexpr wchar_t kAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0b; Windows NT 5.0; .NET CLR 1.0.2914)";
constexpr wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";
constexpr DWORD kFormHeaderUnits = 47;
// Reload, no cache write, redirects to either scheme ignored, certificate
// date and name errors ignored, pragma no-cache.
constexpr DWORD kRequestFlags = 0x8400F100;
constexpr DWORD kIgnoreOffline = 77;   // INTERNET_OPTION_IGNORE_OFFLINE
constexpr DWORD kTimeoutSlackMs = 250;  // a wait this close to the time-out ran into it

// The three WinINet handles and the output file of one transaction, closed
// whatever way it ends.
struct TransactionHandles {
    HINTERNET internet = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    // Closes the request and connection of one redirect step.
    void CloseStep() {
        InternetCloseHandle(request);
        InternetCloseHandle(connection);
        request = connection = nullptr;
    }
    ~TransactionHandles() {
        if (request) InternetCloseHandle(request);
        if (connection) InternetCloseHandle(connection);
        if (internet) InternetCloseHandle(internet);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

// A header read as text: empty when missing. A long value (a length written
// with many leading zeros) is read whole, never taken for a missing one.
std::u16string QueryHeader(HINTERNET request, DWORD info) {
    std::u16string text(64, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(text.size() * sizeof(char16_t));
        DWORD index = 0;
        if (HttpQueryInfoW(request, info, text.data(), &size, &index)) {
            text.resize(size / sizeof(char16_t));
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        text.assign(size / sizeof(char16_t) + 1, u'\0');
    }
    return {};
}

// Transfer-Encoding names "chunked" (any case) as its last coding.
bool IsChunked(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.pop_back();
    return text.size() >= 7 && text.compare(text.size() - 7, 7, u"chunked") == 0;
}

// Whether the file goes when its last handle closes.
bool MarkForDeletion(HANDLE file, bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

void SetTimeouts(HINTERNET handle, DWORD ms) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
        InternetSetOptionW(handle, option, &ms, sizeof ms);
}

}  // namespace

int32_t RunHomeRequest(CHomeRequest& r) {
    using namespace home_result;
    auto finish = [&r](int32_t result) {
        r.result_ = result;
        return result;
    };
    DWORD callStart = GetTickCount();  // when the WinINet call last touched began
    auto touch = [&r, &callStart] {
        callStart = r.lastTick_;
        r.lastTick_ = GetTickCount();
    };
    if (r.cancel_.load()) return finish(kCancelled);
    r.received_.store(0);
    r.startTick_ = r.lastTick_ = GetTickCount();

    int32_t result = kOk;
    bool createdFile = false;
    {
        TransactionHandles h;
        const bool toFile = !r.outputPath_.empty();
        const wchar_t* outputPath = reinterpret_cast<const wchar_t*>(r.outputPath_.c_str());
        auto fail = [&](int32_t code) {
            result = code;
            return code;
        };
        // A call that failed: the system's reason is kept for the message.
        auto failCall = [&](int32_t code) {
            r.systemError_ = GetLastError();
            // A call that waited out the whole time-out failed for that,
            // whatever code the system gives it.
            const bool waited = code == kConnect || code == kSend || code == kRead;
            if (waited && r.lastTick_ - callStart + kTimeoutSlackMs >= r.timeoutMs_) r.systemError_ = ERROR_INTERNET_TIMEOUT;
            return fail(code);
        };
        do {
            h.internet = InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
            touch();
            if (!h.internet) { failCall(kOpen); break; }
            SetTimeouts(h.internet, r.timeoutMs_);
            // Redirects are followed here, one request at a time, so a loop
            // ends after kMostRedirects and Cancel and the time-outs reach
            // every step (WinINet's own following has neither).
            std::u16string url = r.url_, verb = r.verb_;
            HomeUrlParts parts = r.parts_;
            bool withBody = !r.body_.empty();
            for (int32_t redirects = 0;; ++redirects) {
                h.connection = InternetConnectW(h.internet, reinterpret_cast<const wchar_t*>(parts.host.c_str()),
                                                parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
                touch();
                if (!h.connection) { failCall(kConnect); break; }
                if (r.cancel_.load()) { fail(kCancelled); break; }
                const wchar_t* accept[] = {L"*/*", nullptr};
                const wchar_t* path = parts.path.empty() ? L"/" : reinterpret_cast<const wchar_t*>(parts.path.c_str());
                h.request = HttpOpenRequestW(h.connection, reinterpret_cast<const wchar_t*>(verb.c_str()), path,
                                             L"HTTP/1.1", nullptr, accept,
                                             kRequestFlags | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                                 (parts.secure ? INTERNET_FLAG_SECURE : 0),
                                             1);
                touch();
                if (!h.request) { failCall(kOpenRequest); break; }
                SetTimeouts(h.request, r.timeoutMs_);
                if (r.cancel_.load()) { fail(kCancelled); break; }
                BOOL on = TRUE;
                InternetSetOptionW(h.request, kIgnoreOffline, &on, sizeof on);
                if (r.cancel_.load()) { fail(kCancelled); break; }
                BOOL sent = HttpSendRequestW(h.request, kFormHeader, kFormHeaderUnits,
                                             withBody ? r.body_.data() : nullptr,
                                             withBody ? static_cast<DWORD>(r.body_.size()) : 0);
                touch();
                if (!sent) { failCall(kSend); break; }
                r.statusCode_ = static_cast<int32_t>(ParseContentLength(QueryHeader(h.request, HTTP_QUERY_STATUS_CODE)));
                if (!IsRedirectStatus(r.statusCode_)) break;
                const std::u16string location = QueryHeader(h.request, HTTP_QUERY_LOCATION);
                if (location.empty()) { fail(kStatus); break; }
                if (redirects == kMostRedirects) { fail(kRedirectLoop); break; }
                url = ResolveRedirectUrl(url, location);
                parts = SplitHomeUrl(url);
                r.redirectTarget_ = url.empty() ? location : url;
                if (url.empty() || !parts.valid) { fail(kRedirectRefused); break; }
                const std::u16string next = VerbAfterRedirect(r.statusCode_, verb);
                if (next != verb) withBody = false;
                verb = next;
                ++r.redirects_;
                h.CloseStep();
                if (r.cancel_.load()) { fail(kCancelled); break; }
            }
            if (result != kOk) break;
            if (r.statusCode_ != 200) { fail(kStatus); break; }
            const std::u16string lengthText = QueryHeader(h.request, HTTP_QUERY_CONTENT_LENGTH);
            const int64_t length = ParseContentLength(lengthText);
            r.contentLength_.store(length);
            // A length that is there but is no number says nothing true of the
            // body. Without a length (chunked, or ended by the close) the body
            // is whole when a read finds its end.
            if (!lengthText.empty() && length < 0) { fail(kRead); break; }
            const bool closeDelimited = length < 0 && !IsChunked(QueryHeader(h.request, HTTP_QUERY_TRANSFER_ENCODING));
            // The most bytes this reply may bring: what it announced, the
            // caller's limit, and the cap of its kind.
            int64_t limit = toFile ? kFileReplyCap : kMemoryReplyCap;
            if (r.byteLimit_ > 0) limit = std::min(limit, r.byteLimit_);
            if (length > limit) { fail(kAllocate); break; }
            if (length >= 0) limit = length;

            r.waitingStep_.store(kRead);
            int64_t received = 0;
            if (toFile) {
                // Made only when a body comes, and marked to go when its last
                // handle closes until it is whole: a transfer that waits,
                // fails, is given up or dies with its process leaves no file.
                h.file = CreateFileW(outputPath, GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
                if (h.file == INVALID_HANDLE_VALUE) { failCall(kCreateFile); break; }
                createdFile = true;
                if (!MarkForDeletion(h.file, true)) { failCall(kCreateFile); break; }
                char piece[kReadPieceBytes];
                for (;;) {
                    DWORD read = 0;
                    BOOL ok = InternetReadFile(h.request, piece, kReadPieceBytes, &read);
                    touch();
                    if (!ok) { failCall(kRead); break; }
                    if (read == 0) break;
                    if (received + read > limit) { fail(kRead); break; }
                    DWORD written = 0;
                    if (!WriteFile(h.file, piece, read, &written, nullptr) || written != read) { failCall(kWrite); break; }
                    received += read;
                    r.received_.store(received);
                    if (r.cancel_.load()) { fail(kCancelled); break; }
                }
            } else {
                r.capacity_ = InitialReplyCapacity(length);
                r.reply_ = static_cast<char*>(std::malloc(static_cast<size_t>(r.capacity_)));
                if (!r.reply_) { fail(kAllocate); break; }
                for (;;) {
                    int64_t room = r.capacity_ - received - 1;
                    DWORD read = 0;
                    if (room == 0 && received == length) {
                        // Exactly the announced length: one more read must find the end.
                        char probe[16];
                        if (!InternetReadFile(h.request, probe, sizeof probe, &read)) { failCall(kRead); break; }
                        if (read != 0) fail(kRead);
                        break;
                    }
                    if (room == 0) {
                        int64_t grown = GrownReplyCapacity(r.capacity_, received);
                        if (grown == 0) { fail(kGrow); break; }
                        char* bigger = static_cast<char*>(std::realloc(r.reply_, static_cast<size_t>(grown)));
                        if (!bigger) { fail(kGrow); break; }
                        r.reply_ = bigger;
                        r.capacity_ = grown;
                        ++r.reallocations_;
                        room = grown - received - 1;
                    }
                    DWORD ask = static_cast<DWORD>(std::min<int64_t>(room, kReadPieceBytes));
                    BOOL ok = InternetReadFile(h.request, r.reply_ + received, ask, &read);
                    touch();
                    if (!ok) { failCall(kRead); break; }
                    if (read == 0) break;
                    received += read;
                    if (received > limit) { fail(kRead); break; }
                    r.received_.store(received);
                    if (r.cancel_.load()) { fail(kCancelled); break; }
                }
            }
            // A connection that closed early reads as a clean end: the count decides.
            if (result == kOk && length >= 0 && received < length) fail(kRead);
            // WinINet takes headers cut by the close as ended, with nothing
            // after them: a body ended by the close must bring a byte.
            if (result == kOk && closeDelimited && received == 0) fail(kRead);
        } while (false);
        if (result == kOk && r.reply_) r.reply_[r.received_.load()] = '\0';
        if (result == kOk && h.file != INVALID_HANDLE_VALUE && !MarkForDeletion(h.file, false)) failCall(kWrite);
    }
    if (result != kOk) {
        std::free(r.reply_);
        r.reply_ = nullptr;
        r.capacity_ = 0;
        // A download is whole or gone.
        if (createdFile) DeleteFileW(reinterpret_cast<const wchar_t*>(r.outputPath_.c_str()));
    }
    return finish(result);
}
