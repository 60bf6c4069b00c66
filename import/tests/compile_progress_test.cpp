// The progress arithmetic of a compile: per mille of a record pass, the two
// halves of a step followed by a compaction, drawing only when it grows and
// at most once per interval of the clock, however many reports come, and
// the engine's reports routed to the innermost running compile.
#include "import/compile_progress.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(CompileProgress, PerMilleAndHalves) {
    EXPECT_EQ(CompileProgress::PerMille(1, 3), 333);
    EXPECT_EQ(CompileProgress::PerMille(5, 0), 0);
    EXPECT_EQ(CompileProgress::PerMille(2000000, 4000000), 500);  // done / (total / 1000)

    SilentCompileUi ui;
    ui.progressBar = true;
    CompileProgress progress(ui);
    progress.BeginStep(true, false, 100);
    EXPECT_EQ(progress.RecordProgress(50, 100), 1);
    EXPECT_EQ(progress.RecordProgress(50, 100), 1);  // not grown: not drawn
    EXPECT_EQ(progress.RecordProgress(100, 100), 1);
    progress.BeginCompaction();
    EXPECT_EQ(progress.KeyProgress(500), 1);
    progress.BeginStep(false, false, 100);
    EXPECT_EQ(progress.RecordProgress(70, 100), 1);
    EXPECT_EQ(ui.progress, (std::vector<int32_t>{250, 500, 750, 700}));
    EXPECT_EQ(ui.pumps, 4);

    progress.cancelled = true;
    EXPECT_EQ(progress.KeyProgress(800), 0);
}

// A thousand per-mille steps and two thousand engine reports, one
// millisecond apart: drawn every 50 ms, the first at once; with no time
// passing, drawn once. A cancel is answered at the next report, drawn or not.
TEST(CompileProgress, DrawingFollowsTheClockNotTheCountOfReports) {
    SilentCompileUi ui;
    ui.progressBar = true;
    ui.millisecondsPerRead = 1;
    CompileProgress progress(ui);
    progress.BeginStep(false, false, 1000);
    for (int64_t done = 1; done <= 1000; ++done) ASSERT_EQ(progress.RecordProgress(done, 1000), 1);
    EXPECT_EQ(ui.progress.size(), 20u);
    EXPECT_EQ(ui.progress.front(), 1);
    EXPECT_EQ(ui.progress.back(), 951);
    EXPECT_TRUE(std::is_sorted(ui.progress.begin(), ui.progress.end()));
    EXPECT_EQ(ui.pumps, 20);
    progress.BeginCompaction();
    for (int32_t i = 0; i < 2000; ++i) ASSERT_EQ(progress.KeyProgress(i / 2), 1);
    EXPECT_EQ(ui.progress.size(), 60u);
    EXPECT_EQ(ui.pumps, 60);

    SilentCompileUi still;
    still.progressBar = true;
    still.millisecondsPerRead = 0;
    CompileProgress once(still);
    once.BeginStep(true, false, 1000);
    for (int64_t done = 1; done <= 1000; ++done) ASSERT_EQ(once.RecordProgress(done, 1000), 1);
    EXPECT_EQ(still.progress, std::vector<int32_t>{0});
    once.cancelled = true;
    EXPECT_EQ(once.KeyProgress(10), 0);
    EXPECT_EQ(still.pumps, 1);
}

TEST(CompileProgress, EngineReportsGoToTheInnermostCompile) {
    SilentCompileUi outerUi, innerUi;
    outerUi.progressBar = innerUi.progressBar = true;
    CompileProgress outer(outerUi), inner(innerUi);
    EXPECT_EQ(CompileProgress::EngineProgress(10), 1);  // none running
    CompileProgress::Active outerActive(outer);
    {
        CompileProgress::Active innerActive(inner);
        CompileProgress::EngineProgress(100);
    }
    CompileProgress::EngineProgress(200);
    EXPECT_EQ(innerUi.progress, std::vector<int32_t>{100});
    EXPECT_EQ(outerUi.progress, std::vector<int32_t>{200});
}

}  // namespace
