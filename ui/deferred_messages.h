// Boxes that only tell (an OK button) held back while the program starts:
// shown once the start list is chosen and drawn, so a message read during
// the start (a damaged saved list) never decides which list the window
// opens on. Installed as the application context for its lifetime; every
// other call goes to the context it replaced.
#pragma once

#include <string>
#include <vector>

#include "common/app_context.h"

class DeferredMessages final : public IAppContext {
public:
    DeferredMessages() : next_(SetAppContext(this)) {}
    ~DeferredMessages() override { Release(); }
    DeferredMessages(const DeferredMessages&) = delete;
    DeferredMessages& operator=(const DeferredMessages&) = delete;

    // Puts the replaced context back and shows what was held, in order.
    void Release() {
        if (!next_) return;
        IAppContext* next = next_;
        next_ = nullptr;
        SetAppContext(next);
        for (const Held& held : held_) next->ShowMessage(held.text, held.caption, held.style);
        held_.clear();
    }

    UILanguage InterfaceLanguage() const override { return next_->InterfaceLanguage(); }
    std::u16string SettingsFolder() const override { return next_->SettingsFolder(); }
    std::u16string DataFolder() const override { return next_->DataFolder(); }
    std::u16string DocumentsFolder() const override { return next_->DocumentsFolder(); }
    std::u16string DictionariesFolder() const override { return next_->DictionariesFolder(); }
    void* OwnerWindow() const override { return next_->OwnerWindow(); }
    int32_t ReportRegistryWriteError(int32_t systemError) override { return next_->ReportRegistryWriteError(systemError); }
    int32_t ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t style) override {
        constexpr uint32_t kButtons = 0xF, kOk = 0, kIdOk = 1;
        if ((style & kButtons) != kOk) return next_->ShowMessage(text, caption, style);
        held_.push_back({std::u16string(text), std::u16string(caption), style});
        return kIdOk;
    }
    void PumpPendingMessages() override { next_->PumpPendingMessages(); }
    void* ShowWaitCursor() override { return next_->ShowWaitCursor(); }
    void RestoreCursor(void* previous) override { next_->RestoreCursor(previous); }
    std::u16string WorkingDictionaryPath() const override { return next_->WorkingDictionaryPath(); }

private:
    struct Held {
        std::u16string text, caption;
        uint32_t style;
    };
    IAppContext* next_;
    std::vector<Held> held_;
};
