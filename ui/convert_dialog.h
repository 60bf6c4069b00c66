// The dialog OPEN_CONVERT: one source file compiled into a new dictionary
// file, with the detected format and languages, the disk-space check,
// progress, step labels and Cancel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// 1 when converted (`target` holds the new file's path), -1 when the dialog
// was closed without a conversion.
int32_t RunOpenConvertDialog(HWND owner, std::u16string_view source, std::u16string& target);
