// The marks of the Find's stages: one counter reading per stage, overwritten
// by each Find.
#include "ui/find_stages.h"

#include <windows.h>

namespace {

int64_t g_marks[static_cast<size_t>(FindStage::Count)] = {};

}  // namespace

void MarkFindStage(FindStage stage) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    g_marks[static_cast<size_t>(stage)] = now.QuadPart;
}

int64_t FindStageMark(FindStage stage) { return g_marks[static_cast<size_t>(stage)]; }
