// The tooltip text of a toolbar button: the current title of its command,
// with the working dictionary's name filled into the "Add ... to "%s"
// Dictionary" commands, cut to the 80 units a tooltip buffer holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr size_t kToolbarTooltipUnits = 80;   // buffer size, terminator included

// The file name of `path` without folder and extension ("C:\a\b.qdx" -> "b").
std::u16string_view FileTitleOf(std::u16string_view path);

// True for the commands whose title names the working dictionary with "%s".
bool TitleNamesWorkingDictionary(uint32_t commandId);

// Writes the tooltip of `commandId` into `out` (always terminated when not
// empty) and returns out.data(); null when no command-title record has that
// id. `workingDictionaryPath` is empty when no dictionary is working.
char16_t* FormatToolbarTooltip(uint32_t commandId, std::u16string_view workingDictionaryPath,
                               std::span<char16_t> out);
