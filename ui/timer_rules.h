// The scheduling rules of the main window's 100 ms timer: when a running
// text-under-cursor step counts as stuck and is reported (once per step), and
// on which ticks the update check is looked at.
#pragma once

#include <cstdint>

inline constexpr uint32_t kStuckStepMs = 5000;
inline constexpr uint32_t kUpdateCheckTicks = 20;
// The sound of a failed or stuck step: Beep's frequency (Hz) and length (ms).
inline constexpr uint32_t kStepBeepFrequency = 1;
inline constexpr uint32_t kStepBeepMs = 1000;

// The watch over the text-under-cursor step of the timer.
struct UnderCursorWatch {
    bool running = false;    // a step runs (re-entered through pumped messages)
    uint32_t startMs = 0;    // tick time the step began
    bool reported = false;   // its stuck sound was given

    // A new step begins at `nowMs`.
    void Begin(uint32_t nowMs) {
        running = true;
        startMs = nowMs;
        reported = false;
    }
    void End() { running = false; }
    // A running step that has run longer than 5000 ms (tick counts wrap).
    bool IsStuck(uint32_t nowMs) const { return running && nowMs - startMs > kStuckStepMs; }
    // True the first time it is asked about a stuck step, false afterwards.
    bool ReportStuck(uint32_t nowMs) {
        if (reported || !IsStuck(nowMs)) return false;
        reported = true;
        return true;
    }
};

// Every 20th tick looks at the update check; it starts when a next-check time
// is set and has passed.
inline bool IsUpdateTick(uint32_t ticks) { return ticks % kUpdateCheckTicks == 0; }
inline bool IsUpdateCheckDue(int64_t nextCheckSeconds, int64_t nowSeconds) {
    return nextCheckSeconds != 0 && nextCheckSeconds < nowSeconds;
}
