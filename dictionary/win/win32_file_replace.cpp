// The Win32 file-replace layer: MoveFileExW with MOVEFILE_REPLACE_EXISTING
// replaces the target in one step (MoveFileW cannot replace, and deleting the
// target first would leave no file if the rename then failed).
#include "dictionary/file_replace.h"

#include <windows.h>

namespace {

const wchar_t* Wide(const char16_t* path) { return reinterpret_cast<const wchar_t*>(path); }

DWORD Attributes(const char16_t* path) { return GetFileAttributesW(Wide(path)); }

bool IsFileAttributes(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Flushes the file's data to the disk; 0 or the system error code.
DWORD Flush(const char16_t* path) {
    HANDLE file = CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    const DWORD error = FlushFileBuffers(file) ? 0 : GetLastError();
    CloseHandle(file);
    return error;
}

}  // namespace

namespace file_replace {

bool IsFile(const char16_t* path) { return IsFileAttributes(Attributes(path)); }

bool IsReadOnlyFile(const char16_t* path) {
    const DWORD attributes = Attributes(path);
    return IsFileAttributes(attributes) && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool Delete(const char16_t* path) { return DeleteFileW(Wide(path)) != 0; }

int32_t MoveReplacing(const char16_t* from, const char16_t* to) {
    if (DWORD error = Flush(from)) return int32_t(error);
    if (!MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return int32_t(GetLastError());
    return 0;
}

int32_t CopyReplacing(const char16_t* from, const char16_t* to) {
    return CopyFileW(Wide(from), Wide(to), FALSE) ? 0 : int32_t(GetLastError());
}

}  // namespace file_replace
