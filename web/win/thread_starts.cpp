// The threads that have begun running, noted by a thread-attach callback of
// the program's own image (the loader runs it on each new thread once the
// system has set the thread up, before its start routine), and the bounded
// wait for the others.
#include "web/win/thread_starts.h"

#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Ids of running threads; 0 is a free slot. A thread past the last slot is
// simply not noted, and a wait for it ends at its bound.
std::array<std::atomic<DWORD>, 512> g_running{};

// Threads there before the first transfer that never said they run.
std::once_flag g_before;
std::array<DWORD, 64> g_neverNoted{};
size_t g_neverNotedCount = 0;

void NoteRunning(DWORD id) {
    for (auto& slot : g_running) {
        DWORD free = 0;
        if (slot.compare_exchange_strong(free, id)) return;
    }
}

void NoteEnded(DWORD id) {
    for (auto& slot : g_running) {
        DWORD expected = id;
        if (slot.compare_exchange_strong(expected, 0)) return;
    }
}

bool IsRunning(DWORD id) {
    return std::any_of(g_running.begin(), g_running.end(), [id](const std::atomic<DWORD>& slot) { return slot.load() == id; });
}

bool NeverNoted(DWORD id) {
    const auto end = g_neverNoted.begin() + g_neverNotedCount;
    return std::find(g_neverNoted.begin(), end, id) != end;
}

void NTAPI ThreadNotice(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) NoteRunning(GetCurrentThreadId());
    else if (reason == DLL_THREAD_DETACH) NoteEnded(GetCurrentThreadId());
}

// The other threads of this process that are not noted as running.
std::vector<DWORD> NotRunningThreads() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    const DWORD process = GetCurrentProcessId(), self = GetCurrentThreadId();
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == process && entry.th32ThreadID != self && !IsRunning(entry.th32ThreadID))
            ids.push_back(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

}  // namespace

// The loader calls the callbacks that lie between the runtime's own markers.
extern "C" __attribute__((section(".CRT$XLC"), used)) const PIMAGE_TLS_CALLBACK ostrel_thread_notice = ThreadNotice;

void NoteThreadsBeforeTransfers() {
    std::call_once(g_before, [] {
        for (DWORD id : NotRunningThreads())
            if (g_neverNotedCount < g_neverNoted.size()) g_neverNoted[g_neverNotedCount++] = id;
    });
}

bool WaitForStartingThreads(DWORD mostMs) {
    NoteThreadsBeforeTransfers();
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<DWORD> starting = NotRunningThreads();
        std::erase_if(starting, NeverNoted);
        if (starting.empty()) return true;
        if (GetTickCount() - start >= mostMs) return false;
        Sleep(1);
    }
}
