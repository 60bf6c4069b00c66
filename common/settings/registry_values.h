// The per-user machine state kept under the program's registry key, and the
// text rules of reading it. The Windows store (common/win/registry_store.h)
// does the reading and writing; these decisions are portable and tested natively.
//
// Values under HKEY_CURRENT_USER\Software\Quellarbin\OstrelPro:
// | value               | type       | size     | content                                    |
// |---------------------|------------|----------|--------------------------------------------|
// | CLSID1              | REG_SZ     | 38 units | installation id, braced upper-case GUID    |
// | InstallDictionary   | REG_SZ     | any      | ";"-separated paths an installer left      |
// | SkipPre6Warning     | REG_DWORD  | 4        | 1: no warning about old dictionaries       |
// | WorkingDays         | REG_DWORD  | 4        | distinct days the program was started      |
// | LastDate            | REG_BINARY | 16       | SYSTEMTIME of the last start               |
// | UpdateReqDate       | REG_BINARY | 16       | SYSTEMTIME of the last update request      |
// | Statistics          | REG_BINARY | 44       | usage counters                             |
// | NoRemind1..9, ':'   | REG_DWORD  | 4        | serial of a news item not to remind of     |
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr char16_t SettingsRegistryKey[] = u"Software\\Quellarbin\\OstrelPro";

inline constexpr char16_t kInstallationIdValue[] = u"CLSID1";
inline constexpr char16_t kInstallDictionaryValue[] = u"InstallDictionary";
inline constexpr char16_t kSkipPre6WarningValue[] = u"SkipPre6Warning";
inline constexpr char16_t kWorkingDaysValue[] = u"WorkingDays";
inline constexpr char16_t kLastDateValue[] = u"LastDate";
inline constexpr char16_t kUpdateReqDateValue[] = u"UpdateReqDate";
inline constexpr char16_t kStatisticsValue[] = u"Statistics";

inline constexpr size_t kRegistryDateBytes = 16;        // a SYSTEMTIME
inline constexpr size_t kRegistryStatisticsBytes = 44;
inline constexpr size_t kInstallationIdUnits = 38;      // {8-4-4-4-12}
// Registry texts are read into 256 units: at most 255 and a terminator.
inline constexpr size_t kRegistryStringMaxUnits = 255;

// "NoRemind" and the character of news item 0-9: '1'..'9', then ':' for 9.
// Empty for an item outside 0-9.
std::u16string NoRemindValueName(int32_t newsItem);

// An installation id is kept when it has exactly 38 units, whatever they hold.
bool IsInstallationId(std::u16string_view text);

// The text of registry string data: UTF-16LE units up to the first zero, at
// most min(bytes / 2, 255) of them; an odd last byte is ignored. Stored data
// need not be terminated, so this never reads past `data`.
std::u16string RegistryStringFromData(std::span<const uint8_t> data);
