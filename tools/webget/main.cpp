// webget [-t MS] URL [OUT]: runs one GET through a request line, into memory
// or into the file OUT, with the time-out MS (the program's 30,000 by
// default), and prints
//   result R status S length L bytes B ms T reallocations A
// with T the transfer's own time (from its start to its last WinINet step).
// Exit status 0 when the result is 0, else 1; 2 for wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "web/win/home_line.h"

namespace {

constexpr UINT kDone = WM_APP + 0x31;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    uint32_t timeoutMs = kDefaultTransferTimeoutMs;
    if (argc > 2 && std::wcscmp(argv[1], L"-t") == 0) {
        timeoutMs = static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 10));
        argv += 2;
        argc -= 2;
    }
    if (argc < 2 || argc > 3 || timeoutMs == 0) {
        std::fprintf(stderr, "usage: webget [-t MS] URL [OUT]\n");
        return 2;
    }
    HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    CHomeLines lines;
    CHomeLine* line = lines.AddLine();
    if (!line || !window) return 1;
    line->SetTransferTimeout(timeoutMs);
    std::u16string url(reinterpret_cast<const char16_t*>(argv[1]));
    std::u16string out = argc == 3 ? std::u16string(reinterpret_cast<const char16_t*>(argv[2])) : std::u16string();
    CHomeRequest* request = line->AddRequest(url, u"GET", nullptr, 0, window, kDone, out);
    if (!request) {
        std::fprintf(stderr, "webget: request refused\n");
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, window, 0, 0) > 0) {
        if (msg.message == kDone && reinterpret_cast<CHomeRequest*>(msg.wParam) == request) break;
        DispatchMessageW(&msg);
    }
    const int64_t bytes = out.empty() ? static_cast<int64_t>(request->Reply().size()) : request->Received();
    std::printf("result %d status %d length %lld bytes %lld ms %lu reallocations %d\n", request->Result(),
                request->StatusCode(), static_cast<long long>(request->ContentLength()),
                static_cast<long long>(request->Result() == 0 ? bytes : 0),
                static_cast<unsigned long>(request->ElapsedMs()), request->Reallocations());
    const int32_t result = request->Result();
    line->RemoveRequest(request);
    DestroyWindow(window);
    return result == 0 ? 0 : 1;
}
