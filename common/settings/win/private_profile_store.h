// The settings file "OstrelPro.ini" through the system's private-profile
// functions. The file is UTF-16LE with a byte-order mark, which makes those
// functions read and write it as Unicode (EnsureUnicodeIni sees to that).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings/profile_store.h"
#include "common/settings/settings_file.h"

// The full path of "OstrelPro.ini" in `folder`, or nothing when the folder is
// empty, not a full path, or too long for the file name: the profile
// functions would otherwise fall back to the Windows folder.
std::optional<std::wstring> SettingsFilePath(std::u16string_view folder);

class PrivateProfileStore final : public IProfileStore {
public:
    // `path` is a full file path; an empty one makes every read empty and
    // every write fail.
    explicit PrivateProfileStore(std::wstring path);

    std::u16string Read(std::u16string_view section, std::u16string_view key) const override;
    bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The settings store over "OstrelPro.ini" in `folder` (never null). A folder
// that gives no usable path yields a store that reads defaults and writes nothing.
std::unique_ptr<CIni> OpenSettingsFile(std::u16string_view folder);
