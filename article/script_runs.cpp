// Splitting plain text into alternating Latin and Japanese runs.
#include "article/script_runs.h"

namespace {

constexpr bool IsJapaneseUnit(char16_t unit) { return unit >= 0x3000; }

}  // namespace

std::vector<ScriptRun> SplitScriptRuns(std::u16string_view text) {
    std::vector<ScriptRun> runs;
    ScriptRun run;  // starts as a Latin run, even an empty one
    for (size_t i = 0; i < text.size(); ++i) {
        const bool japanese = IsJapaneseUnit(text[i]);
        if (japanese != run.japanese) {
            runs.push_back(run);
            run = ScriptRun{static_cast<int32_t>(i), 0, japanese};
        }
        ++run.length;
    }
    runs.push_back(run);
    return runs;
}
