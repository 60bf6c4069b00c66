#include "common/app_context.h"

#include "common/settings/registry_error_report.h"

namespace {

// Stands in before the application installs its context: no windows, no
// folders, and a registry failure is remembered but never shown.
class DefaultAppContext final : public IAppContext {
public:
    UILanguage InterfaceLanguage() const override { return UILanguage::English; }
    std::u16string SettingsFolder() const override { return {}; }
    std::u16string DataFolder() const override { return {}; }
    std::u16string DocumentsFolder() const override { return {}; }
    std::u16string DictionariesFolder() const override { return {}; }
    void* OwnerWindow() const override { return nullptr; }
    int32_t ReportRegistryWriteError(int32_t systemError) override {
        return static_cast<int32_t>(latch_.Record(systemError));
    }
    int32_t ShowMessage(std::u16string_view, std::u16string_view, uint32_t) override { return 2; }
    void PumpPendingMessages() override {}

private:
    RegistryErrorLatch latch_;
};

DefaultAppContext g_defaultContext;
IAppContext* g_context = &g_defaultContext;

}  // namespace

IAppContext& App() { return *g_context; }

IAppContext* SetAppContext(IAppContext* context) {
    IAppContext* previous = g_context;
    g_context = context ? context : &g_defaultContext;
    return previous;
}
