// What the portable core needs of the running application: the interface
// language, the program's folders, the owner window for boxes and dialogs, the
// once-per-run registry-error report, message boxes and a message pump.
// The main window installs the real one; tests install a fake, so nothing in
// a test ever blocks on a real box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class UILanguage : int32_t { Russian = 0, English = 1, Japanese = 2 };

// Any stored value other than 0 and 2 counts as English.
inline UILanguage UILanguageFromValue(int32_t value) {
    if (value == 0) return UILanguage::Russian;
    if (value == 2) return UILanguage::Japanese;
    return UILanguage::English;
}

class IAppContext {
public:
    virtual ~IAppContext() = default;

    virtual UILanguage InterfaceLanguage() const = 0;
    virtual std::u16string SettingsFolder() const = 0;     // holds OstrelPro.ini
    virtual std::u16string DataFolder() const = 0;         // per-user data
    virtual std::u16string DocumentsFolder() const = 0;
    virtual std::u16string DictionariesFolder() const = 0;
    // The main window (an HWND in the Windows build), null when there is none.
    virtual void* OwnerWindow() const = 0;

    // 0 for code 0; else the first call of a run reports the failure once and
    // answers 2, later calls answer 1.
    virtual int32_t ReportRegistryWriteError(int32_t systemError) = 0;
    // A message box owned by the main window; answers the button pressed
    // (IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7), `style` as MessageBoxW's.
    virtual int32_t ShowMessage(std::u16string_view text, std::u16string_view caption,
                                uint32_t style) = 0;
    // Dispatches every message already queued and returns.
    virtual void PumpPendingMessages() = 0;
    // Shows the wait cursor and answers the cursor it replaced (an HCURSOR in
    // the Windows build); RestoreCursor puts that one back.
    virtual void* ShowWaitCursor() { return nullptr; }
    virtual void RestoreCursor(void* previous) { (void)previous; }

    // Full path of the working dictionary's file, empty when none is working
    // (toolbar tooltips and menu items name it). The shelf answers it in the
    // real application; contexts without dictionaries keep this default.
    virtual std::u16string WorkingDictionaryPath() const { return {}; }
};

// The installed context; a plain English default with empty folders until
// the application installs its own.
IAppContext& App();
// Installs `context` (not owned; null restores the default) and returns the previous one.
IAppContext* SetAppContext(IAppContext* context);

// Shows the wait cursor of the installed context for the life of the scope.
class WaitCursorScope {
public:
    WaitCursorScope() : previous_(App().ShowWaitCursor()) {}
    ~WaitCursorScope() { App().RestoreCursor(previous_); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    void* previous_;
};
