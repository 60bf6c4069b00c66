// Latin and Japanese runs of plain text for the rich edit's two faces.
#include <gtest/gtest.h>

#include "article/script_runs.h"

namespace {

struct RunCase {
    const char* name;
    std::u16string text;
    std::vector<ScriptRun> runs;
};

bool SameRuns(const std::vector<ScriptRun>& a, const std::vector<ScriptRun>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].start != b[i].start || a[i].length != b[i].length || a[i].japanese != b[i].japanese) return false;
    return true;
}

class ScriptRunsTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(ScriptRunsTest, RunsAlternateAndCoverTheText) {
    const RunCase& c = GetParam();
    EXPECT_TRUE(SameRuns(SplitScriptRuns(c.text), c.runs));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScriptRunsTest,
    ::testing::Values(
        RunCase{"Empty", u"", {{0, 0, false}}},
        RunCase{"LatinOnlyIsOneRun", u"cat, кошка \u2FFF", {{0, 12, false}}},
        RunCase{"KanaFirstGivesAnEmptyLatinRun", u"ねこ cat", {{0, 0, false}, {0, 2, true}, {2, 4, false}}},
        RunCase{"IdeographicSpaceIsJapanese", u"a\u3000b", {{0, 1, false}, {1, 1, true}, {2, 1, false}}},
        RunCase{"SurrogatePairStaysInOneJapaneseRun", u"x\U00020B9F\u732B", {{0, 1, false}, {1, 3, true}}}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

}  // namespace
