// CIni: the one settings store over "OstrelPro.ini". Every subsystem reads and
// writes its settings through it by section and key; texts are stored as they
// are and integers in decimal. Nothing is cached but the main window state
// that LoadMainState reads. The file itself sits behind an IProfileStore.
//
// Keys this object owns (the others belong to their users):
// | section     | key                    | value                           | default          |
// |-------------|------------------------|---------------------------------|------------------|
// | Application | Version                | "%d.%d.%d", written as 11.11.0  | empty            |
// | Application | Flags                  | application flags               | 0 (+0x8000 when Version is missing) |
// | Application | ShellInstall           | integer                         | 0                |
// | Window      | x, y, cx, cy, cy2      | main window position and sizes  | 0                |
// | View        | SearchOnListSwitch     | 0/1                             | 1                |
// | Dictionaries| File1, File2, ...      | "%s,%d" path and state          | empty            |
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/settings/profile_store.h"
#include "common/settings/settings_values.h"

inline constexpr char16_t kSettingsFileName[] = u"OstrelPro.ini";
// The program version the settings file is stamped with.
inline constexpr char16_t kSettingsVersionText[] = u"11.11.0";
// Added to Flags when the file holds no Version: a first run.
inline constexpr uint32_t kFlagsNoVersion = 0x8000;

class CIni {
public:
    // `store` is never null.
    explicit CIni(std::unique_ptr<IProfileStore> store);
    CIni(const CIni&) = delete;
    CIni& operator=(const CIni&) = delete;
    virtual ~CIni();

    // The value, or `defaultText` when it is missing or empty, cut to
    // `maxUnits` units.
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultText = {}, size_t maxUnits = SIZE_MAX) const;
    // The same into a caller's buffer: at most buffer.size() - 1 units and a
    // terminator; answers the units copied (0 for an empty buffer).
    int32_t GetString(std::u16string_view section, std::u16string_view key,
                      std::u16string_view defaultText, std::span<char16_t> buffer) const;
    // `defaultValue` when the value is missing or empty; else its leading
    // integer (0 when it starts with no number).
    int32_t GetInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const;

    // 1 when the file was written, else 0; a line break in any part, or an
    // empty section or key, is refused (0) and nothing is written.
    int32_t WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view text);
    int32_t WriteInt(std::u16string_view section, std::u16string_view key, int32_t value);

    // Reads the version, Flags, the window fields and SearchOnListSwitch;
    // `valid` becomes 1 only when Version, cx and cy are present and cx and
    // cy are not 0. Always 1.
    int32_t LoadMainState();
    // Writes Version (11.11.0), Flags, ShellInstall and the window fields;
    // 1 when every write succeeded.
    int32_t SaveMainState(int32_t shellInstall);

    // Key "File%d" of slot index + 1: `path` null writes an empty value (clears
    // the slot), an empty path writes nothing, else "%s,%d". 1 when written
    // (or nothing was to be written), 0 when the write failed.
    int32_t WriteDictionarySlot(const std::u16string* path, int32_t slotIndex, int32_t state);
    // Reads slot index + 1 into `path` and `state` (empty and 0 first);
    // answers the units of the stored value, 0 when it is missing or empty.
    int32_t ReadDictionarySlot(std::u16string& path, int32_t slotIndex, int32_t& state) const;

    int32_t valid = 0;            // 1 when LoadMainState found a usable window state
    uint32_t version = 0;         // packed [Application] Version, first number highest
    uint32_t flags = 0;           // [Application] Flags
    int32_t x = 0, y = 0, cx = 0, cy = 0;  // main window position and size
    int32_t searchOnListSwitch = 1;
    int32_t cy2 = 0;              // height of the main window's lower pane

private:
    std::unique_ptr<IProfileStore> store_;
};
