// ProfileListFiles: the saved word list's files through the real Win32
// calls; see profile_list_files.h.
#include "dictionary/win/profile_list_files.h"

#include <windows.h>

#include "common/settings/win/private_profile_store.h"
#include "common/win/file_dialogs.h"
#include "common/win/wide_text.h"
#include "dictionary/file_replace.h"
#include "dictionary/format_detection.h"

namespace {

constexpr int kWordListFilter = 1;

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

std::unique_ptr<IProfileStore> ProfileListFiles::CreateForWriting(std::u16string_view path) {
    if (!CreateUnicodeProfileFile(path)) return nullptr;
    return std::make_unique<PrivateProfileStore>(WideString(path));
}

bool ProfileListFiles::FileExists(std::u16string_view path) { return file_replace::IsFile(std::u16string(path).c_str()); }

bool ProfileListFiles::Replace(std::u16string_view from, std::u16string_view to) {
    // The profile functions cache files; flush that cache before the file moves.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, WideString(from).c_str());
    return file_replace::MoveReplacing(std::u16string(from).c_str(), std::u16string(to).c_str()) == 0;
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
