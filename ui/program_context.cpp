// The program's application context over Application and the main window.
#include "ui/program_context.h"

#include "common/settings/win/registry_error_box.h"
#include "common/win/wide_text.h"
#include "ui/application.h"
#include "ui/frame.h"
#include "ui/list_view.h"

UILanguage ProgramContext::InterfaceLanguage() const {
    return UILanguageFromValue(g_application ? g_application->language : 1);
}

std::u16string ProgramContext::SettingsFolder() const { return g_application ? g_application->dataFolder : u""; }
std::u16string ProgramContext::DataFolder() const { return g_application ? g_application->dataFolder : u""; }
std::u16string ProgramContext::DocumentsFolder() const {
    return g_application ? g_application->documentsFolder : u"";
}
std::u16string ProgramContext::DictionariesFolder() const {
    return g_application ? g_application->dictionariesFolder : u"";
}

// The window the user works in: a box or file dialog the core shows while a
// modal dialog runs (a book load's text error under the Book Load dialog)
// belongs to that dialog, so it stays modal over it; owned by the main
// window, the box would end by enabling the main window under the dialog.
void* ProgramContext::OwnerWindow() const {
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active) && IsWindowEnabled(active)) return active;
    return g_frame ? g_frame->Window() : nullptr;
}

int32_t ProgramContext::ReportRegistryWriteError(int32_t systemError) { return ShowRegistryWriteError(systemError); }

namespace {

// A closed box hands activation to whatever window the system picks next,
// which under Wine is at times none: the owner stayed inactive and the keys
// typed next were lost until a click. The keyboard goes back to the window
// that held it before the box, unless the user has gone to another program.
void GiveBackKeyboard(HWND owner, HWND focus) {
    if (!owner || !IsWindow(owner) || !IsWindowVisible(owner) || !IsWindowEnabled(owner)) return;
    HWND foreground = GetForegroundWindow();
    DWORD foregroundProcess = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &foregroundProcess);
    if (foreground && foregroundProcess != GetCurrentProcessId()) return;
    if (GetActiveWindow() != owner) {
        SetForegroundWindow(owner);
        SetActiveWindow(owner);
    }
    if (focus && IsWindow(focus) && (focus == owner || IsChild(owner, focus)) && GetFocus() != focus) SetFocus(focus);
}

}  // namespace

// The core shows its boxes and pumps messages in the middle of its work
// (opening a dictionary, walking the shelf): the frame's commands wait.
int32_t ProgramContext::ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t style) {
    FrameCommandHold hold;
    ListRefreshHold::RefreshWaitingNow();  // the box comes after the list shows what it has
    HWND owner = static_cast<HWND>(OwnerWindow());
    HWND focus = GetFocus();
    int32_t answer = MessageBoxW(owner, WideString(text).c_str(), WideString(caption).c_str(), style);
    GiveBackKeyboard(owner, focus);
    return answer;
}

void ProgramContext::PumpPendingMessages() {
    FrameCommandHold hold;
    ::PumpPendingMessages();
}

void* ProgramContext::ShowWaitCursor() { return SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }

void ProgramContext::RestoreCursor(void* previous) { SetCursor(static_cast<HCURSOR>(previous)); }

std::u16string ProgramContext::WorkingDictionaryPath() const {
    return g_frame && g_frame->lists ? g_frame->lists->WorkingDictionaryPath() : u"";
}
