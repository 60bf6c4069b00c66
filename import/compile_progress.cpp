// Progress arithmetic of a compilation and the stack of running ones.
#include "import/compile_progress.h"

namespace {
CompileProgress* g_innermost = nullptr;  // the compilation the engine's reports belong to
}

CompileProgress::Active::Active(CompileProgress& progress) : previous_(g_innermost) { g_innermost = &progress; }
CompileProgress::Active::~Active() { g_innermost = previous_; }

int32_t CompileProgress::EngineProgress(int32_t perMille) {
    return g_innermost ? g_innermost->KeyProgress(perMille) : 1;
}

int32_t CompileProgress::PerMille(int64_t done, int64_t total) {
    if (total <= 0) return 0;
    if (done >= 1000000) return total / 1000 == 0 ? 0 : static_cast<int32_t>(done / (total / 1000));
    return static_cast<int32_t>(done * 1000 / total);
}

void CompileProgress::BeginStep(bool compactAfter, bool bulk, uint32_t articleCount) {
    phase_ = compactAfter ? 1 : 0;
    bulk_ = bulk;
    lastShown_ = 0;
    lastEngine_ = 9999;
    articleIndex_ = 0;
    articleCount_ = articleCount;
    windowLow_ = windowHigh_ = 0;
}

int32_t CompileProgress::RecordProgress(int64_t done, int64_t total) {
    const int32_t perMille = PerMille(done, total);
    if (perMille <= lastShown_) return cancelled ? 0 : 1;
    lastShown_ = perMille;
    return KeyProgress(perMille);
}

int32_t CompileProgress::KeyProgress(int32_t v) {
    if (cancelled) return 0;
    if (!ui_.HasProgressBar()) return 1;
    int32_t value = v;
    if (bulk_) {
        if (v < lastEngine_) {
            windowLow_ = windowHigh_;
            windowHigh_ = articleIndex_;
        }
        lastEngine_ = v;
        const int64_t articles = windowLow_ + (int64_t{articleIndex_} - windowLow_) / 1000 * v;
        value = PerMille(articles, articleCount_);
    }
    if (phase_ == 1) value /= 2;
    if (phase_ == 2) value = value / 2 + 500;
    const int64_t now = ui_.Milliseconds();
    if (drawn_ && now - lastDrawMs_ < kDrawIntervalMs) return 1;
    drawn_ = true;
    lastDrawMs_ = now;
    ui_.SetProgress(value);
    ui_.PumpMessages();
    return cancelled ? 0 : 1;
}
