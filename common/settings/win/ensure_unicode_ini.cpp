// EnsureUnicodeIni: converts an ANSI settings file through a temporary file in
// the same folder that then replaces it, so a failure midway (a full disk)
// leaves the old file whole.
#include "common/settings/win/ensure_unicode_ini.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/settings/settings_file.h"
#include "common/settings/win/private_profile_store.h"

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;
constexpr wchar_t kFirstSection[] = L"[Application]";  // 13 units, no line end
constexpr wchar_t kTemporarySuffix[] = L".converting";

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        if (!IsOpen()) return true;
        bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

std::optional<std::vector<char>> ReadWholeFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return std::nullopt;
    LARGE_INTEGER size;
    // A settings file is small; anything near the 32-bit limit is not ours.
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x10000000) return std::nullopt;
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool WriteAll(HANDLE file, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    return WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes;
}

// The whole text of an ANSI file as UTF-16 after a byte-order mark.
std::optional<std::wstring> ConvertFromAnsi(const std::vector<char>& bytes) {
    std::wstring text(1, kByteOrderMark);
    if (bytes.empty()) return text;
    int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0) return std::nullopt;
    text.resize(1 + static_cast<size_t>(units));
    if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data() + 1, units) != units)
        return std::nullopt;
    return text;
}

// Writes `text` to a temporary file beside `path` and moves it over `path`.
void ReplaceWithText(const std::wstring& path, const std::wstring& text) {
    std::wstring temporary = path + kTemporarySuffix;
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return;
    bool complete = WriteAll(file.Get(), text) && FlushFileBuffers(file.Get());
    complete = file.Close() && complete;
    if (!complete || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(temporary.c_str());
}

void StartNewFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return;
    std::wstring start(1, kByteOrderMark);
    start += kFirstSection;
    bool started = WriteAll(file.Get(), start);
    file.Close();
    if (!started) return;
    WritePrivateProfileStringW(L"Application", L"Version", reinterpret_cast<const wchar_t*>(kSettingsVersionText),
                               path.c_str());
}

}  // namespace

int32_t EnsureUnicodeIni(std::u16string_view settingsFolder) {
    std::optional<std::wstring> path = SettingsFilePath(settingsFolder);
    if (!path) return 0;
    DWORD attributes = GetFileAttributesW(path->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) StartNewFile(*path);
        return 0;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    std::optional<std::vector<char>> bytes = ReadWholeFile(*path);
    if (!bytes) return 0;
    if (bytes->size() >= 2 && static_cast<unsigned char>((*bytes)[0]) == 0xFF &&
        static_cast<unsigned char>((*bytes)[1]) == 0xFE)
        return 0;
    if (std::optional<std::wstring> text = ConvertFromAnsi(*bytes)) ReplaceWithText(*path, *text);
    return 0;
}
