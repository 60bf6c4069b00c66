// The codes of the end-to-end test hook (frame_test_hook.cpp), shared with
// the test driver that asks.
#pragma once

#include <cstdint>

#include "common/win/test_hold.h"

inline constexpr uintptr_t kTestQueryState = 0x4F535451;   // "OSTQ": the frame's state
inline constexpr uintptr_t kTestAnswerState = 0x4F535441;  // "OSTA": its answer
inline constexpr int32_t kTestPageRows = 40;               // visible rows reported at most
inline constexpr int32_t kTestPageCells = 3;               // cells per row reported
// Posted to the frame by a test behind messages of its own; the hook counts
// it ("marks" in the answer). A thread takes its posted messages in the order
// they came, so a counted mark tells that everything posted to the program's
// window thread before it has been handled, a box's loop included: the
// moment a check that nothing happened may look.
inline constexpr uint32_t kTestQueueMark = 0x8000 + 0x7F;  // WM_APP + 0x7F

// With the hook on and OSTREL_TEST_START_HOLD naming an event, the start
// waits there, once its window shows (common/win/test_hold.h): a start as
// long as a large shelf's, during which a test types.
void HoldStartForTest();
