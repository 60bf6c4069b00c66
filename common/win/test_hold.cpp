#include "common/win/test_hold.h"

bool TestHookRequested() {
    wchar_t value[8] = {};
    const DWORD length = GetEnvironmentVariableW(L"OSTREL_TEST_HOOK", value, 8);
    return length == 1 && value[0] == L'1';
}

void HoldForTest(const wchar_t* variable) {
    wchar_t name[128] = {};
    const DWORD length = GetEnvironmentVariableW(variable, name, 128);
    if (!TestHookRequested() || length == 0 || length >= 128) return;
    HANDLE hold = OpenEventW(SYNCHRONIZE, FALSE, name);
    if (!hold) return;
    const DWORD end = GetTickCount() + kTestHoldMs;
    for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
        if (MsgWaitForMultipleObjects(1, &hold, FALSE, end - now, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // The program is closing: the quit is left for its own loop.
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                CloseHandle(hold);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CloseHandle(hold);
}
