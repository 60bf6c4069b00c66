// The two seams between the dictionary compiler and the machine it runs on:
// CompileUi (the step label, the progress bar, the Cancel button, message
// pumping and message boxes) and CompileEnv (installation id, a new GUID, the
// local time). The Windows build implements them with Win32; tests and the
// command-line compiler use the plain ones here. With FixedCompileEnv a
// compile writes the same bytes every time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CompileUi {
public:
    virtual ~CompileUi() = default;
    virtual void SetStepLabel(std::u16string_view text) = 0;
    // The owner's Cancel button is enabled again at every step.
    virtual void EnableCancel() = 0;
    // False when nothing shows progress: the compiler then neither draws nor pumps.
    virtual bool HasProgressBar() const = 0;
    virtual void SetProgress(int32_t perMille) = 0;
    virtual void PumpMessages() = 0;
    // A box with an OK button owned by the compile's owner window.
    virtual void ShowMessage(std::u16string_view text, std::u16string_view caption) = 0;
    // A steady clock in milliseconds, which spaces the drawing of the bar.
    virtual int64_t Milliseconds();
};

struct CompileTime {
    int32_t year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class CompileEnv {
public:
    virtual ~CompileEnv() = default;
    // The registry value "CLSID1", empty when missing.
    virtual std::u16string InstallationId() = 0;
    // A new GUID in registry text form: 38 units with braces.
    virtual std::u16string NewGuidText() = 0;
    virtual CompileTime LocalTime() = 0;
};

// Records what a compile showed; no window, no pumping unless asked.
class SilentCompileUi : public CompileUi {
public:
    void SetStepLabel(std::u16string_view text) override { labels.emplace_back(text); }
    void EnableCancel() override { ++cancelEnables; }
    bool HasProgressBar() const override { return progressBar; }
    void SetProgress(int32_t perMille) override { progress.push_back(perMille); }
    void PumpMessages() override { ++pumps; }
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
        messages.emplace_back(text);
        captions.emplace_back(caption);
    }
    // A clock that moves `millisecondsPerRead` at each reading: by default
    // far enough that every report of a compile is drawn.
    int64_t Milliseconds() override { return now += millisecondsPerRead; }

    bool progressBar = false;
    int64_t now = 0;
    int64_t millisecondsPerRead = 1000;
    std::vector<std::u16string> labels, messages, captions;
    std::vector<int32_t> progress;
    int cancelEnables = 0;
    int pumps = 0;
};

// The same identity every time: reproducible files.
class FixedCompileEnv : public CompileEnv {
public:
    std::u16string InstallationId() override { return installationId; }
    std::u16string NewGuidText() override { return guid; }
    CompileTime LocalTime() override { return time; }

    std::u16string installationId = u"{00000000-0000-0000-0000-000000000001}";
    std::u16string guid = u"{00000000-0000-0000-0000-000000000002}";
    CompileTime time;
};

// Native runs (command-line compiler): no installation id, a random GUID,
// the machine's local time.
class PortableCompileEnv : public CompileEnv {
public:
    std::u16string InstallationId() override { return {}; }
    std::u16string NewGuidText() override;
    CompileTime LocalTime() override;
};

// "%d-%02d-%02d %02d:%02d:%02d", the creation-time property's text.
std::u16string FormatCompileTime(const CompileTime& time);
