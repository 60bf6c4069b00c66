// ProfileListFiles: the saved word list's files through the real Win32
// calls; see profile_list_files.h.
#include "dictionary/win/profile_list_files.h"

#include <windows.h>

#include <cstdio>

#include "common/base/crc32.h"
#include "common/settings/settings_file.h"
#include "common/settings/settings_keys.h"
#include "common/settings/win/private_profile_store.h"
#include "common/win/file_dialogs.h"
#include "common/win/system_error_text.h"
#include "common/win/wide_text.h"
#include "dictionary/file_replace.h"
#include "dictionary/format_detection.h"

namespace {

constexpr int kWordListFilter = 1;
constexpr char16_t kRefusalsToldKey[] = u"RefusalsTold";
// A section read stops growing its buffer here (128 MB): a million entries
// of the longest values that count.
constexpr size_t kMostSectionUnits = 1u << 26;

}  // namespace

bool CreateUnicodeProfileFile(std::u16string_view path) {
    HANDLE file = CreateFileW(WideString(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    bool ok = WriteFile(file, kByteOrderMark, sizeof kByteOrderMark, &written, nullptr) && written == 2;
    ok = CloseHandle(file) && ok;
    return ok;
}

std::unique_ptr<IProfileStore> ProfileListFiles::OpenForReading(std::u16string_view path) {
    return std::make_unique<PrivateProfileStore>(WideString(path));
}

std::vector<std::pair<std::u16string, std::u16string>> ProfileListFiles::ReadSection(std::u16string_view path,
                                                                                     std::u16string_view section) {
    // "key=value" lines, each ended by a zero, the last by two; the function
    // answers size - 2 when they did not fit: grow and ask again.
    const std::wstring file = WideString(path), name = WideString(section);
    std::wstring buffer(1u << 16, L'\0');
    DWORD copied = 0;
    for (;;) {
        copied = GetPrivateProfileSectionW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
        if (copied + 2 < buffer.size() || buffer.size() >= kMostSectionUnits) break;
        buffer.assign(buffer.size() * 4, L'\0');
    }
    std::vector<std::pair<std::u16string, std::u16string>> lines;
    for (size_t at = 0; at < copied && buffer[at] != L'\0';) {
        const std::wstring_view line(buffer.data() + at);
        const size_t equals = line.find(L'=');
        const std::wstring_view key = line.substr(0, equals);
        const std::wstring_view value = equals == std::wstring_view::npos ? std::wstring_view() : line.substr(equals + 1);
        lines.emplace_back(std::u16string(Char16View(key)), std::u16string(Char16View(value)));
        at += line.size() + 1;
    }
    return lines;
}

std::unique_ptr<IProfileStore> ProfileListFiles::CreateForWriting(std::u16string_view path) {
    if (!CreateUnicodeProfileFile(path)) return nullptr;
    return std::make_unique<PrivateProfileStore>(WideString(path));
}

bool ProfileListFiles::FileExists(std::u16string_view path) { return file_replace::IsFile(std::u16string(path).c_str()); }

bool ProfileListFiles::Replace(std::u16string_view from, std::u16string_view to) {
    // The profile functions cache files; flush that cache before the file moves.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, WideString(from).c_str());
    const int32_t error = file_replace::MoveReplacing(std::u16string(from).c_str(), std::u16string(to).c_str());
    if (error != 0) SetLastError(static_cast<DWORD>(error));
    return error == 0;
}

void ProfileListFiles::Delete(std::u16string_view path) { file_replace::Delete(std::u16string(path).c_str()); }

uint32_t ProfileListFiles::FormatFlags(std::u16string_view path) {
    return DetectDictionaryFileFormat(std::u16string(path).c_str());
}

std::u16string ProfileListFiles::ChooseFile(bool save, std::u16string_view title, std::u16string_view folder) {
    wchar_t chosen[MAX_PATH] = {};
    std::wstring start = WideString(folder);
    if (start.size() < MAX_PATH) start.copy(chosen, start.size());
    if (FileNameDialog(WideString(title).c_str(), chosen, save, kWordListFilter, nullptr) == 0) return {};
    return std::u16string(Char16View(chosen));
}

// Read right after the failed call, before anything else can change it.
std::u16string ProfileListFiles::LastFailure() { return SystemErrorText(GetLastError()); }

std::u16string ProfileListFiles::Stamp(std::u16string_view path) {
    CCrc32Dynamic crc;
    crc.Init();
    uint32_t value = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (crc.FileCrc32Win32(std::u16string(path).c_str(), value) != 0 ||
        !GetFileAttributesExW(WideString(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%lu", value, static_cast<unsigned long>(data.nFileSizeLow));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string ProfileListFiles::RefusalsToldFor(std::u16string_view path) {
    if (!settings_) return {};
    const std::u16string told = settings_->GetString(settings_section::kMemo, kRefusalsToldKey);
    const size_t blank = told.find(u' ');
    if (blank == std::u16string::npos || told.substr(blank + 1) != path) return {};
    return told.substr(0, blank);
}

void ProfileListFiles::NoteRefusalsTold(std::u16string_view path, std::u16string_view stamp) {
    if (settings_ && !stamp.empty())
        settings_->WriteString(settings_section::kMemo, kRefusalsToldKey, std::u16string(stamp) + u" " + std::u16string(path));
}
