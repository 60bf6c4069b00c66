// What the program's first argument asks for ("/uninstall", "/dictionaries",
// a saved word list, a dictionary or source file) and which stored paths are
// usable: the rules of start-up that read text only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Paths hold at most 259 units and a terminator.
inline constexpr size_t kMaxPathUnits = 260;

// Equal but for the case of ASCII letters (how the program compares paths
// and arguments).
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

// Exactly "/uninstall" (capitals are not recognised).
bool IsUninstallArgument(std::u16string_view argument);
// "/dictionaries" in any case.
bool IsDictionariesArgument(std::u16string_view argument);
// A file argument: one that begins with neither '-' nor '/'.
bool IsFileArgument(std::u16string_view argument);
// A file argument ending in ".oxm" (the extension in any case).
bool IsSavedListArgument(std::u16string_view argument);

// The selected-articles file: a stored value that fits a path, else `fallback`
// (a longer value would not fit any path buffer and is ignored).
std::u16string UsableMemoPath(std::u16string_view stored, std::u16string_view fallback);
