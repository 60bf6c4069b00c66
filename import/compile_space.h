// The room a compile needs on the target's drive: what the conversion dialog
// checks before it starts, so that a compile does not run for minutes into a
// full drive. A compile that runs out all the same stops with "No disk space"
// and leaves an earlier target as it was.
#pragma once

#include <cstdint>

// Bytes a compile of a source of `sourceBytes` with the detection flags
// `formatFlags` may occupy at its peak (the new file before compaction),
// with the engine's low-space margin.
uint64_t CompileSpaceNeeded(uint32_t formatFlags, uint64_t sourceBytes);
