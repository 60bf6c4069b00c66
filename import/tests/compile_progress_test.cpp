// The progress arithmetic of a compile: per mille of a record pass, the two
// halves of a step followed by a compaction, drawing only when it grows,
// and the engine's reports routed to the innermost running compile.
#include "import/compile_progress.h"

#include <gtest/gtest.h>

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
