// ShowRegistryWriteError: the Windows side of the once-per-run registry-error
// report. The first failed registry write of a run shows one topmost box
// without an owner, in the system's default language; later failures are
// only remembered. The application context forwards its
// ReportRegistryWriteError here.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/settings/registry_error_report.h"

class RegistryErrorBox {
public:
    using ShowBox = decltype(&MessageBoxW);
    // `show` stands for MessageBoxW (tests pass one that records instead).
    explicit RegistryErrorBox(ShowBox show = &MessageBoxW);

    // 0 for code 0 (nothing done); 2 after showing the box on the first
    // failure of the run; 1 for later failures.
    int32_t Report(int32_t systemError);

    const RegistryErrorLatch& State() const { return latch_; }

private:
    ShowBox show_;
    RegistryErrorLatch latch_;
};

// The run's one report.
int32_t ShowRegistryWriteError(int32_t systemError);
// Whether a registry write failed in this run, and its last error code (the
// update request reports them).
const RegistryErrorLatch& RegistryWriteErrorState();
