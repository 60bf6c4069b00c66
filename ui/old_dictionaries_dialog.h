// The warning about open dictionaries made for older versions of the
// program (OLD_DIC_WARNING): where newer ones come from, a way to the
// dictionaries dialog and to the home site, and "Don't remind me again",
// kept in the registry value SkipPre6Warning.
#pragma once

#include <windows.h>

// Shows the warning over `owner` unless the user asked not to be reminded;
// its buttons post their commands to `frame`.
void ShowOldDictionariesWarning(HWND owner, HWND frame);
