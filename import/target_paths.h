// The file names around a compile: the text-export extension test, the
// refusal of a target that is the source, the temporary file a new
// dictionary is built in, and the copy kept while an existing one changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The name ends in ".txt", in any case.
bool HasTextExportExtension(std::u16string_view path);
// Both names lead to the same file (after making them absolute and plain;
// on Windows without regard to case), or to one file through two names.
bool SamePath(std::u16string_view a, std::u16string_view b);
// "<path>.tmp~" in the target's folder, so the final rename stays on one drive.
std::u16string TemporaryPathBeside(std::u16string_view path);
// Copies the file's bytes to `to` (replacing it); false when it could not.
bool CopyFileBytes(std::u16string_view from, std::u16string_view to);
// The file's size in bytes, 0 when it cannot be read.
uint64_t FileSizeOrZero(std::u16string_view path);
