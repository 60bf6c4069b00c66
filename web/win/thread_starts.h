// Threads still starting when the process ends. WinINet starts a thread of
// its own when a transfer's connection goes back to its pool (the collector
// of idle connections), inside the call that ends the transfer, and does not
// wait for it to run. Under Wine a process that ends while such a thread is
// still in its start dies of a fault in that thread (SIGSEGV, exit status
// 139) instead of ending with its own status. Every thread that has begun
// running is noted here (its thread attach); before a request line lets the
// process go on towards its end it waits, bounded, for the others.
#pragma once

#include <windows.h>

// Notes the threads there before any transfer that never announced that they
// run (threads the system makes without a thread attach): they are never
// waited for. Once, before the first transfer; later calls do nothing.
void NoteThreadsBeforeTransfers();
// Waits until every other thread of this process has begun running, or
// `mostMs` has passed; true when none is still starting.
bool WaitForStartingThreads(DWORD mostMs);
