// Holds for the end-to-end tests. With OSTREL_TEST_HOOK=1 in the program's
// environment and a variable naming an event the test made, the program
// waits at one point of its work, letting messages run, until the test sets
// the event: the test meets that point however busy the machine is, where
// watching for it from outside could let it pass unseen. Without the
// variables nothing waits and nothing changes.
#pragma once

#include <windows.h>

// How long a hold waits at most for a test that never lets it go.
inline constexpr DWORD kTestHoldMs = 60000;

// True when OSTREL_TEST_HOOK is "1" in the program's environment.
bool TestHookRequested();

// With the hook on and the environment variable `variable` naming an event
// that exists, waits until the event is set (at most kTestHoldMs),
// dispatching messages meanwhile; returns at once otherwise.
void HoldForTest(const wchar_t* variable);
