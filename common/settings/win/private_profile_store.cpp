// PrivateProfileStore: GetPrivateProfileStringW and WritePrivateProfileStringW
// over one settings file, with values of any length.
#include "common/settings/win/private_profile_store.h"

#include <windows.h>
#include <shlwapi.h>

#include "common/win/wide_text.h"

std::optional<std::wstring> SettingsFilePath(std::u16string_view folder) {
    if (folder.empty() || folder.size() >= MAX_PATH) return std::nullopt;
    std::wstring wideFolder = WideString(folder);
    if (wideFolder.find(L'\0') != std::wstring::npos) return std::nullopt;
    if (PathIsRelativeW(wideFolder.c_str())) return std::nullopt;
    wchar_t path[MAX_PATH];
    lstrcpynW(path, wideFolder.c_str(), MAX_PATH);
    if (!PathAppendW(path, reinterpret_cast<const wchar_t*>(kSettingsFileName))) return std::nullopt;
    std::wstring result(path);
    // PathAppendW may canonicalise ".." away; the file must still be ours.
    if (lstrcmpiW(PathFindFileNameW(path), reinterpret_cast<const wchar_t*>(kSettingsFileName)) != 0 ||
        PathIsRelativeW(path))
        return std::nullopt;
    return result;
}

PrivateProfileStore::PrivateProfileStore(std::wstring path) : path_(std::move(path)) {}

std::u16string PrivateProfileStore::Read(std::u16string_view section, std::u16string_view key) const {
    if (path_.empty()) return {};
    std::wstring wideSection = WideString(section), wideKey = WideString(key);
    // The function answers size - 1 when the value did not fit: grow and ask again.
    std::wstring buffer(256, L'\0');
    for (;;) {
        DWORD copied = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path_.c_str());
        if (copied + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            buffer.resize(copied);
            return std::u16string(Char16View(buffer));
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

bool PrivateProfileStore::Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    if (path_.empty()) return false;
    return WritePrivateProfileStringW(WideString(section).c_str(), WideString(key).c_str(),
                                      WideString(value).c_str(), path_.c_str()) != FALSE;
}

std::unique_ptr<CIni> OpenSettingsFile(std::u16string_view folder) {
    std::optional<std::wstring> path = SettingsFilePath(folder);
    return std::make_unique<CIni>(std::make_unique<PrivateProfileStore>(path.value_or(std::wstring())));
}
