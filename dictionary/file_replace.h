// The few file-system steps the safe file writer needs, one small layer per
// platform: POSIX natively (posix_file_replace.cpp), Win32 in the Windows
// build (win/win32_file_replace.cpp). Paths are zero-terminated UTF-16.
#pragma once

#include <cstdint>

namespace file_replace {

// A file (not a folder) exists at `path`.
bool IsFile(const char16_t* path);
// A file exists at `path` and may not be written (read-only).
bool IsReadOnlyFile(const char16_t* path);
// Deletes the file; false when it could not.
bool Delete(const char16_t* path);
// Puts the file `from` in the place of `to` in one step, replacing `to` when
// it exists, so `to` is never missing: first `from`'s data are flushed to the
// disk, then it is renamed with the change written through. 0 on success,
// else the system error code (and both files are as they were).
int32_t MoveReplacing(const char16_t* from, const char16_t* to);

// Writes a copy of the file `from` at `to`, replacing `to` when it exists;
// `from` stays as it is. 0 on success, else the system error code.
int32_t CopyReplacing(const char16_t* from, const char16_t* to);

}  // namespace file_replace
