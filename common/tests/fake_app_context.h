// A plain application context for tests: every answer is a public field,
// nothing ever shows a box, registry failures and messages are only recorded.
// Derive from it to change one behaviour; ScopedAppContext installs one.
#pragma once

#include <string>
#include <vector>

#include "common/app_context.h"

class FakeAppContext : public IAppContext {
public:
    struct Message {
        std::u16string text;
        std::u16string caption;
        uint32_t style;
    };

    UILanguage InterfaceLanguage() const override { return language; }
    std::u16string SettingsFolder() const override { return settingsFolder; }
    std::u16string DataFolder() const override { return dataFolder; }
    std::u16string DocumentsFolder() const override { return documentsFolder; }
    std::u16string DictionariesFolder() const override { return dictionariesFolder; }
    void* OwnerWindow() const override { return ownerWindow; }
    // Same answers as the application's: 0, then 2 once, then 1.
    int32_t ReportRegistryWriteError(int32_t systemError) override {
        if (systemError == 0) return 0;
        registryErrors.push_back(systemError);
        return registryErrors.size() == 1 ? 2 : 1;
    }
    int32_t ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t style) override {
        messages.push_back({std::u16string(text), std::u16string(caption), style});
        return messageAnswer;
    }
    void PumpPendingMessages() override { ++pumps; }
    void* ShowWaitCursor() override {
        ++waitCursorDepth;
        ++waitCursors;
        return &waitCursorDepth;
    }
    void RestoreCursor(void*) override { --waitCursorDepth; }
    std::u16string WorkingDictionaryPath() const override { return workingDictionary; }

    UILanguage language = UILanguage::English;
    std::u16string settingsFolder, dataFolder, documentsFolder, dictionariesFolder;
    void* ownerWindow = nullptr;
    std::u16string workingDictionary;
    int32_t messageAnswer = 1;            // IDOK
    std::vector<int32_t> registryErrors;  // every non-zero code reported
    std::vector<Message> messages;
    int pumps = 0;
    int waitCursors = 0;      // times the wait cursor was shown
    int waitCursorDepth = 0;  // shown and not yet restored
};

// Installs `context` for the life of the scope and puts the previous one back.
class ScopedAppContext {
public:
    explicit ScopedAppContext(IAppContext& context) : previous_(SetAppContext(&context)) {}
    ~ScopedAppContext() { SetAppContext(previous_); }
    ScopedAppContext(const ScopedAppContext&) = delete;
    ScopedAppContext& operator=(const ScopedAppContext&) = delete;

private:
    IAppContext* previous_;
};
