// The command-line tools' application context: what the program would show
// in a message box goes to the error stream as "<prefix><caption>: <text>",
// and the boxes shown are counted. No folders, no windows.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "common/app_context.h"
#include "common/text/utf8.h"

class ConsoleAppContext final : public IAppContext {
public:
    // `oneLine` puts a message's lines on one line, separated by blanks.
    explicit ConsoleAppContext(std::string prefix = {}, bool oneLine = false)
        : prefix_(std::move(prefix)), oneLine_(oneLine) {}

    UILanguage InterfaceLanguage() const override { return UILanguage::English; }
    std::u16string SettingsFolder() const override { return {}; }
    std::u16string DataFolder() const override { return {}; }
    std::u16string DocumentsFolder() const override { return {}; }
    std::u16string DictionariesFolder() const override { return {}; }
    void* OwnerWindow() const override { return nullptr; }
    int32_t ReportRegistryWriteError(int32_t) override { return 1; }
    int32_t ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t) override {
        std::u16string shown(text);
        if (oneLine_)
            for (char16_t& c : shown)
                if (c == u'\n') c = u' ';
        std::fprintf(stderr, "%s%s: %s\n", prefix_.c_str(), Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(shown).c_str());
        ++shown_;
        return 1;  // IDOK
    }
    void PumpPendingMessages() override {}

    int Shown() const { return shown_; }

private:
    std::string prefix_;
    bool oneLine_;
    int shown_ = 0;
};

// Installs a context for the life of the scope and puts the previous one back.
class InstalledAppContext {
public:
    explicit InstalledAppContext(IAppContext& context) : previous_(SetAppContext(&context)) {}
    ~InstalledAppContext() { SetAppContext(previous_); }
    InstalledAppContext(const InstalledAppContext&) = delete;
    InstalledAppContext& operator=(const InstalledAppContext&) = delete;

private:
    IAppContext* previous_;
};
