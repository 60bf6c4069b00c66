// The application context the program installs for the portable core: the
// interface language and folders of Application, the main window as owner of
// boxes, the once-per-run registry-error box, the message pump and the wait
// cursor.
#pragma once

#include "common/app_context.h"

class ProgramContext final : public IAppContext {
public:
    UILanguage InterfaceLanguage() const override;
    std::u16string SettingsFolder() const override;
    std::u16string DataFolder() const override;
    std::u16string DocumentsFolder() const override;
    std::u16string DictionariesFolder() const override;
    void* OwnerWindow() const override;
    int32_t ReportRegistryWriteError(int32_t systemError) override;
    int32_t ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t style) override;
    void PumpPendingMessages() override;
    void* ShowWaitCursor() override;
    void RestoreCursor(void* previous) override;
    std::u16string WorkingDictionaryPath() const override;
};
