// CompileUi and CompileEnv over Win32: SetWindowTextW, the owner's control 2
// (Cancel), PBM_SETPOS, PeekMessage/DispatchMessage, MessageBoxW; the
// "CLSID1" registry value, CoCreateGuid with StringFromGUID2, GetLocalTime.
#include "import/win/win_compile_environment.h"

#include "common/settings/registry_values.h"
#include "common/settings/win/registry_store.h"
#include "common/win/test_hold.h"
#include "common/win/wide_text.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>

void WinCompileUi::SetStepLabel(std::u16string_view text) {
    if (label_) SetWindowTextW(label_, WideString(text).c_str());
    // An end-to-end test ends the program at a step it chooses: each step
    // waits here, its label shown, for the test to let it begin.
    HoldForTest(L"OSTREL_TEST_STEP_HOLD");
}

void WinCompileUi::EnableCancel() {
    if (HWND cancel = owner_ ? GetDlgItem(owner_, IDCANCEL) : nullptr) EnableWindow(cancel, TRUE);
}

void WinCompileUi::SetProgress(int32_t perMille) {
    if (bar_) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(perMille), 0);
}

void WinCompileUi::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WinCompileUi::ShowMessage(std::u16string_view text, std::u16string_view caption) {
    MessageBoxW(owner_, WideString(text).c_str(), WideString(caption).c_str(), MB_OK);
}

std::u16string WinCompileEnv::InstallationId() {
    std::u16string id;
    if (RegGetString(kInstallationIdValue, id) == 0) id.clear();  // missing: empty
    return id;
}

std::u16string WinCompileEnv::NewGuidText() {
    GUID guid{};
    wchar_t text[40] = {};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text, 40) == 0) return {};
    return std::u16string(Char16View(text));
}

CompileTime WinCompileEnv::LocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
