// The request line against the tests' own HTTP server on 127.0.0.1 (started
// by with_test_server.sh): every result code, bodies byte-identical to what
// curl fetched from the same URLs, POST bytes as the server logged them,
// the queue's limits, and stopping a line in the middle of a stalled read.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "web/win/home_line.h"

namespace {

constexpr UINT kDone = WM_APP + 0x31;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::string HostPath(const std::string& unixPath) { return std::string(OSTREL_HOST_ROOT) + unixPath; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

size_t CountLines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// A message-only window that collects completion messages.
class Receiver {
public:
    Receiver() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OstrelHomeLineTest";
        RegisterClassW(&wc);
        window = CreateWindowW(L"OstrelHomeLineTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~Receiver() { DestroyWindow(window); }
    // The request of the next completion message, null after `ms`.
    CHomeRequest* Wait(DWORD ms = 60000) {
        DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < ms) {
            if (PeekMessageW(&msg, window, kDone, kDone, PM_REMOVE)) return reinterpret_cast<CHomeRequest*>(msg.wParam);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return nullptr;
    }
    HWND window = nullptr;
};

class HomeLineTest : public testing::Test {
protected:
    void SetUp() override {
        port = Env("OSTREL_TEST_SERVER_PORT");
        if (port.empty()) GTEST_SKIP() << "run through with_test_server.sh";
        ASSERT_TRUE(line.Start());
        line.SetTransferTimeout(3000);
    }
    std::u16string Url(const std::string& path) { return Wide("http://127.0.0.1:" + port + path); }
    // Runs one request to its end; the request, still held by the line.
    CHomeRequest* Run(const std::string& path, const std::u16string& output = {}, int64_t limit = 0,
                      const char* verb = "GET", const std::string& body = {}) {
        CHomeRequest* request = line.AddRequest(Url(path), Wide(verb), body.data(), static_cast<uint32_t>(body.size()),
                                                receiver.window, kDone, output, limit);
        if (!request) return nullptr;
        CHomeRequest* done = receiver.Wait();
        EXPECT_EQ(done, request);
        return done;
    }
    std::string port;
    Receiver receiver;
    CHomeLine line;
};

TEST_F(HomeLineTest, BodiesOfEverySizeAreByteIdenticalToCurls) {
    const std::string curl = Env("OSTREL_TEST_CURL_DIR");
    const std::string out = HostPath(curl) + "/../download.bin";
    for (int64_t n : {0, 1, 9999, 10000, 10001, 40001, 67108864}) {
        SCOPED_TRACE(n);
        const std::string expected = ReadFile(HostPath(curl + "/bytes_" + std::to_string(n)));
        ASSERT_EQ(expected.size(), static_cast<size_t>(n));
        CHomeRequest* memory = Run("/bytes/" + std::to_string(n));
        ASSERT_NE(memory, nullptr);
        EXPECT_EQ(memory->Result(), 0);
        EXPECT_EQ(memory->StatusCode(), 200);
        EXPECT_EQ(memory->ContentLength(), n);
        EXPECT_TRUE(memory->Reply() == expected);
        EXPECT_EQ(memory->Reallocations(), 0);   // the announced length is allocated once
        line.RemoveRequest(memory);
        CHomeRequest* file = Run("/bytes/" + std::to_string(n), Wide(out));
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Result(), 0);
        EXPECT_TRUE(ReadFile(out) == expected);
        line.RemoveRequest(file);
        if (n < 1000000) {
            CHomeRequest* chunked = Run("/chunked/" + std::to_string(n));
            ASSERT_NE(chunked, nullptr);
            EXPECT_EQ(chunked->Result(), 0);
            EXPECT_EQ(chunked->ContentLength(), -1);
            EXPECT_TRUE(chunked->Reply() == ReadFile(HostPath(curl + "/chunked_" + std::to_string(n))));
            line.RemoveRequest(chunked);
        }
    }
    DeleteFileA(out.c_str());
    EXPECT_EQ(line.Count(), 0u);
}

TEST_F(HomeLineTest, FailuresGiveTheirResultCodesAndLeaveNoFile) {
    const std::string out = HostPath(Env("OSTREL_TEST_CURL_DIR")) + "/../failed.bin";
    struct Case {
        const char* path;
        bool toFile;
        int64_t limit;
        int32_t result;
    };
    const Case cases[] = {
        {"/status/404", false, 0, home_result::kStatus},
        {"/short/50000", false, 0, home_result::kRead},     // closed before its Content-Length
        {"/short/50000", true, 0, home_result::kRead},
        {"/absurd", false, 0, home_result::kAllocate},      // 99,999,999,999 announced
        {"/absurd", true, 0, home_result::kAllocate},
        {"/bytes/5000", true, 4999, home_result::kAllocate}, // announced past the caller's limit
        {"/chunked/5000", true, 4999, home_result::kRead},   // grew past it
        {"/chunked/5000", false, 4999, home_result::kRead},
        {"/stall/100000", false, 0, home_result::kRead},    // stalled: the receive timeout ends it
        {"/stall/100000", true, 0, home_result::kRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CHomeRequest* request = Run(c.path, c.toFile ? Wide(out) : std::u16string(), c.limit);
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->Result(), c.result);
        EXPECT_TRUE(request->Reply().empty());
        EXPECT_FALSE(FileExists(out));
        line.RemoveRequest(request);
    }
    // Nothing listens on the discard port: the send fails.
    CHomeRequest* refused = line.AddRequest(u"http://127.0.0.1:9/", u"GET", nullptr, 0, receiver.window, kDone);
    ASSERT_EQ(receiver.Wait(), refused);
    EXPECT_EQ(refused->Result(), home_result::kSend);
    line.RemoveRequest(refused);
}

// Replies whose length does not parse, whose headers never end, or whose
// body is shorter than its length end with the read error, into memory and
// into a file, and leave no file behind. (Chunked bodies cut short, which
// the server also serves, are not listed: the WinINet of the test runs ends
// them as it ends whole ones, with nothing to tell them apart.)
TEST_F(HomeLineTest, BrokenTransfersAreNeverWhole) {
    const std::string out = HostPath(Env("OSTREL_TEST_CURL_DIR")) + "/../broken.bin";
    for (const char* how : {"length-text", "length-sign", "headers", "short-1.0"})
        for (bool toFile : {false, true}) {
            SCOPED_TRACE(std::string(how) + (toFile ? " to a file" : " to memory"));
            CHomeRequest* request = Run(std::string("/broken/") + how, toFile ? Wide(out) : std::u16string());
            ASSERT_NE(request, nullptr);
            EXPECT_EQ(request->Result(), home_result::kRead);
            EXPECT_TRUE(request->Reply().empty());
            EXPECT_FALSE(FileExists(out));
            line.RemoveRequest(request);
        }
}

// Valid replies that give their length in forms the standard allows, or
// none at all, ending the body by closing the connection: each arrives
// whole, into memory and into a file, byte for byte as curl fetched it.
TEST_F(HomeLineTest, BodiesEndedByTheCloseOrWithAnyValidLengthAreWhole) {
    const std::string curl = Env("OSTREL_TEST_CURL_DIR");
    const std::string out = HostPath(curl) + "/../whole.bin";
    struct Case {
        const char* how;
        int64_t length;  // as the request reports it
    };
    for (const Case c : {Case{"close-1.1", -1}, Case{"close-1.0", -1}, Case{"length-tab", 5000},
                         Case{"length-zeros", 5000}, Case{"length-1.0", 5000}})
        for (bool toFile : {false, true}) {
            SCOPED_TRACE(std::string(c.how) + (toFile ? " to a file" : " to memory"));
            const std::string expected = ReadFile(HostPath(curl + "/whole_" + c.how));
            ASSERT_EQ(expected.size(), 5000u);
            CHomeRequest* request = Run(std::string("/whole/") + c.how, toFile ? Wide(out) : std::u16string());
            ASSERT_NE(request, nullptr);
            EXPECT_EQ(request->Result(), home_result::kOk);
            EXPECT_EQ(request->ContentLength(), c.length);
            EXPECT_TRUE((toFile ? ReadFile(out) : request->Reply()) == expected);
            line.RemoveRequest(request);
        }
    DeleteFileA(out.c_str());
}

// Redirects are followed by the transaction itself: ten of every status and
// Location form (absolute, absolute-path, relative) arrive whole; an
// eleventh, and a loop between two addresses, end with the loop's refusal
// after eleven requests; a Location of another scheme is refused.
TEST_F(HomeLineTest, RedirectsAreFollowedToTheirLimitAndALoopIsRefused) {
    const std::string expected = ReadFile(HostPath(Env("OSTREL_TEST_CURL_DIR") + "/bytes_10000")).substr(0, 5000);
    CHomeRequest* ten = Run("/hop/10");
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(ten->Result(), home_result::kOk);
    EXPECT_EQ(ten->Redirects(), 10);
    EXPECT_TRUE(ten->Reply() == expected);
    line.RemoveRequest(ten);
    struct Case {
        const char* path;
        int32_t result;
        size_t requests;  // the server saw
    };
    for (const Case c : {Case{"/hop/11", home_result::kRedirectLoop, 11}, Case{"/loop/a", home_result::kRedirectLoop, 11},
                         Case{"/elsewhere/x", home_result::kRedirectRefused, 1}}) {
        SCOPED_TRACE(c.path);
        const size_t before = CountLines(ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG"))));
        CHomeRequest* request = Run(c.path);
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->Result(), c.result);
        EXPECT_TRUE(request->Reply().empty());
        EXPECT_EQ(CountLines(ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG")))) - before, c.requests);
        line.RemoveRequest(request);
    }
}

// 307 and 308 send a POST on with its body; 301, 302 and 303 turn it into a GET.
TEST_F(HomeLineTest, ARedirectedPostKeepsOrDropsItsBodyAsHttpSays) {
    const std::string body = "P01=Pro&P02=11";
    for (int status : {307, 308}) {
        CHomeRequest* request = Run("/post/" + std::to_string(status), {}, 0, "POST", body);
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->Result(), 0) << status;
        EXPECT_TRUE(request->Reply() == body) << status;
        line.RemoveRequest(request);
    }
    for (int status : {301, 302, 303}) {
        const std::string log = ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG")));
        CHomeRequest* request = Run("/post/" + std::to_string(status), {}, 0, "POST", body);
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->Result(), home_result::kStatus) << status;   // GET /echo is no page
        const std::string added = ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG"))).substr(log.size());
        EXPECT_NE(added.find("\"method\": \"GET\", \"path\": \"/echo\""), std::string::npos) << status;
        line.RemoveRequest(request);
    }
}

TEST_F(HomeLineTest, CancelBeforeStartMakesNoNetworkCall) {
    // The first request stalls the worker while the second waits and is cancelled.
    CHomeRequest* stalled = line.AddRequest(Url("/stall/100"), u"GET", nullptr, 0, receiver.window, kDone);
    CHomeRequest* cancelled = line.AddRequest(Url("/bytes/7?cancelled"), u"GET", nullptr, 0, receiver.window, kDone);
    ASSERT_TRUE(stalled && cancelled);
    cancelled->Cancel();
    line.RemoveRequest(cancelled);            // queued: not freed
    EXPECT_TRUE(line.Holds(cancelled));
    EXPECT_EQ(receiver.Wait(), stalled);
    EXPECT_EQ(receiver.Wait(), cancelled);
    EXPECT_EQ(cancelled->Result(), home_result::kCancelled);
    EXPECT_EQ(ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG"))).find("cancelled"), std::string::npos);
}

TEST_F(HomeLineTest, PostSendsTheBodyAndTheFormHeader) {
    std::string body("P01=Pro\x00\xff\r\n", 11);
    CHomeRequest* request = Run("/echo", {}, 0, "POST", body);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->Result(), 0);
    EXPECT_TRUE(request->Reply() == body);
    std::string log = ReadFile(HostPath(Env("OSTREL_TEST_SERVER_LOG")));
    EXPECT_NE(log.find("\"body_hex\": \"5030313d50726f00ff0d0a\""), std::string::npos);
    EXPECT_NE(log.find("\"content_type\": \"application/x-www-form-urlencoded\""), std::string::npos);
}

TEST_F(HomeLineTest, QueueLimitsAndRemoval) {
    std::u16string url = Url("/bytes/1?");
    url.resize(511, u'x');
    CHomeRequest* longest = line.AddRequest(url, u"GET", nullptr, 0, nullptr, 0);
    EXPECT_NE(longest, nullptr);
    url += u'x';
    EXPECT_EQ(line.AddRequest(url, u"GET", nullptr, 0, nullptr, 0), nullptr);
    EXPECT_EQ(line.AddRequest(Url("/"), u"GETGETGE", nullptr, 0, nullptr, 0), nullptr);
    EXPECT_EQ(line.AddRequest(u"http://127.0.0.1:70000/", u"GET", nullptr, 0, nullptr, 0), nullptr);
    // 100 held requests, done or not, refuse the 101st; queued while the
    // worker runs, each is run without waiting for another to be queued.
    for (int i = 1; i < 100; ++i) ASSERT_NE(line.AddRequest(Url("/bytes/3"), u"GET", nullptr, 0, receiver.window, kDone), nullptr);
    EXPECT_EQ(line.AddRequest(Url("/bytes/3"), u"GET", nullptr, 0, receiver.window, kDone), nullptr);
    for (int i = 1; i < 100; ++i) ASSERT_NE(receiver.Wait(), nullptr);
    EXPECT_EQ(line.AddRequest(Url("/bytes/3"), u"GET", nullptr, 0, receiver.window, kDone), nullptr);
    line.RemoveRequest(longest);
    EXPECT_EQ(line.Count(), 99u);
}

// A server that accepts and never answers holds the TLS handshake, which
// none of WinINet's time-outs bind here: the transfer still ends, timed out,
// 2 s past its time-out; a cancelled one within a second of Cancel. Neither
// leaves its file.
TEST_F(HomeLineTest, AServerThatNeverAnswersEndsTheTransferAtItsDeadline) {
    const std::string silent = "https://127.0.0.1:" + Env("OSTREL_TEST_SILENT_PORT");
    const std::string out = HostPath(Env("OSTREL_TEST_CURL_DIR")) + "/../silent.bin";
    line.SetTransferTimeout(2000);
    DWORD start = GetTickCount();
    CHomeRequest* timedOut = line.AddRequest(Wide(silent + "/list.txt"), u"GET", nullptr, 0, receiver.window, kDone, Wide(out));
    ASSERT_EQ(receiver.Wait(), timedOut);
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(timedOut->Result(), home_result::kSend);
    EXPECT_EQ(timedOut->SystemError(), static_cast<uint32_t>(ERROR_INTERNET_TIMEOUT));
    EXPECT_GE(took, 3900u);
    EXPECT_LT(took, 15000u);
    EXPECT_FALSE(FileExists(out));
    line.RemoveRequest(timedOut);

    line.SetTransferTimeout(60000);
    CHomeRequest* cancelled = line.AddRequest(Wide(silent + "/a.qdx"), u"GET", nullptr, 0, receiver.window, kDone, Wide(out));
    ASSERT_NE(cancelled, nullptr);
    while (cancelled->State() == 1) Sleep(10);
    start = GetTickCount();
    cancelled->Cancel();
    ASSERT_EQ(receiver.Wait(), cancelled);
    EXPECT_EQ(cancelled->Result(), home_result::kCancelled);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(FileExists(out));
    line.RemoveRequest(cancelled);
}

TEST_F(HomeLineTest, StoppingALineDuringAStalledReadEndsInBoundedTime) {
    auto* stopping = new CHomeLine();
    ASSERT_TRUE(stopping->Start());
    stopping->SetTransferTimeout(30000);
    ASSERT_NE(stopping->AddRequest(Url("/stall/100000"), u"GET", nullptr, 0, receiver.window, kDone), nullptr);
    Sleep(500);   // the worker is inside its read
    auto start = std::chrono::steady_clock::now();
    delete stopping;
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(took.count(), 3000);
    EXPECT_EQ(receiver.Wait(500), nullptr);   // a stopped line posts nothing
}

}  // namespace
