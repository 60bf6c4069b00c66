// How the input box evens out pasted text: a run whose size lies outside
// 0.9 to 1.1 times the input font's size takes that size, and coloured text
// turns black, so a pasted heading looks like typed text while a size close
// to the font's own stays.
#pragma once

#include <cstdint>

struct RunFormat {
    int32_t twips;       // character height, 1/20 point
    uint32_t colour;     // COLORREF-style 0x00BBGGRR; ignored when automatic
    bool automaticColour;
};

// The run's format after evening out for an input font of `points`; the
// bounds are 0.9 and 1.1 times it, truncated to whole points.
constexpr RunFormat EvenOutPastedRun(RunFormat run, int32_t points) {
    const int32_t lowerTwips = (points * 9 / 10) * 20;
    const int32_t upperTwips = (points * 11 / 10) * 20;
    if (run.twips < lowerTwips || run.twips > upperTwips) run.twips = points * 20;
    if (!run.automaticColour && run.colour != 0) run.colour = 0;
    return run;
}
