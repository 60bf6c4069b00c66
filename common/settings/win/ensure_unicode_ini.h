// Makes "OstrelPro.ini" a UTF-16LE file with a byte-order mark before the
// settings store first touches it, so the private-profile functions keep it in
// Unicode: an old file in the ANSI code page is converted once, a missing one
// is started with [Application] Version.
#pragma once

#include <cstdint>
#include <string_view>

// Run once at start-up with the settings folder. Gives up silently: a file
// that cannot be read or replaced is left as it was. Always 0.
int32_t EnsureUnicodeIni(std::u16string_view settingsFolder);
