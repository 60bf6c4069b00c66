// The progress of one compilation: turns a record pass's (done, total) and
// the storage engine's per-mille reports into one bar value, halves it when
// the step is followed by a compaction, and asks the screen to draw and pump.
// Drawing the bar and pumping the messages cost the same whatever the work
// between two reports (under Wine a themed bar's repaint takes milliseconds,
// and a step reports up to a thousand times however small the source), so
// they run at most once per kDrawIntervalMs of the UI's clock: their cost
// follows the time the compile takes, not the count of its reports. A cancel
// is answered at every report all the same.
// One object per compilation, reached through the callbacks' context; the
// engine's callback carries no context, so the compilations that run (one
// nested in another's message pump at most) stand on a stack, innermost first.
#pragma once

#include "import/compile_environment.h"

#include <cstdint>

class CompileProgress {
public:
    // The Cancel button is serviced at least this often while reports come.
    static constexpr int64_t kDrawIntervalMs = 50;

    explicit CompileProgress(CompileUi& ui) : ui_(ui) {}

    // A step begins: `compactAfter` splits the bar into 0..500 for the step
    // and 500..1000 for the compaction; `bulk` marks a bulk-loaded key step,
    // whose record pass and key load both report through KeyProgress.
    void BeginStep(bool compactAfter, bool bulk, uint32_t articleCount);
    void BeginCompaction() { phase_ = 2; bulk_ = false; lastShown_ = 0; }
    void EndBulk() { bulk_ = false; }
    void SetArticleIndex(uint32_t index) { articleIndex_ = index; }

    // (done, total) of a record pass: goes on to be drawn only when the per
    // mille grows.
    int32_t RecordProgress(int64_t done, int64_t total);
    // A per-mille value, from the record pass or the engine, drawn when the
    // last drawing is kDrawIntervalMs old. 0 asks to cancel.
    int32_t KeyProgress(int32_t perMille);

    bool cancelled = false;

    // The engine's context-free progress callback and the stack that routes it.
    static int32_t EngineProgress(int32_t perMille);
    class Active {
    public:
        explicit Active(CompileProgress& progress);
        ~Active();
        Active(const Active&) = delete;
        Active& operator=(const Active&) = delete;

    private:
        CompileProgress* previous_;
    };

    // done × 1000 / total, computed as done / (total / 1000) from 1,000,000 on.
    static int32_t PerMille(int64_t done, int64_t total);

private:
    CompileUi& ui_;
    int32_t phase_ = 0;           // 0 whole bar, 1 first half, 2 second half
    bool bulk_ = false;
    int32_t lastShown_ = 0;       // the last per mille drawn by RecordProgress
    int32_t lastEngine_ = 9999;   // the last value reported in a bulk step
    uint32_t articleIndex_ = 0;
    uint32_t articleCount_ = 0;
    uint32_t windowLow_ = 0;      // the articles the engine's current report spans
    uint32_t windowHigh_ = 0;
    bool drawn_ = false;          // a value was drawn in this compilation
    int64_t lastDrawMs_ = 0;      // when, on the UI's clock
};
