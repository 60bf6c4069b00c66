// Which server-supplied file names may become local files. The list of
// downloadable dictionaries comes over the network, possibly plain HTTP, and
// its Filename is joined to the Dictionaries folder: only a bare file name
// with the dictionary extension may pass, never a path, a drive, an alternate
// stream, a device or a name Windows would silently change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::u16string_view kDictionaryExtension = u".qdx";

// True for a plain file name: no "\", "/", ":", control characters or
// characters Windows forbids in names, no ".." and no leading or trailing
// dot or blank, not a reserved device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, CONIN$, CONOUT$, with any extension), and ending in ".qdx" in any
// case with a name before it.
bool IsSafeDownloadName(std::u16string_view name);

// True when `fullPath` (already made absolute by the system) lies directly
// inside `folder` (absolute, with or without a final "\"), compared without
// regard to ASCII case.
bool LiesDirectlyInFolder(std::u16string_view fullPath, std::u16string_view folder);

// The download files of the Dictionaries folder: "Download.qdx" for n = 0,
// else "Download-01.qdx" ... "Download-99.qdx" (one a cancelled transfer
// still writes is not reused until it goes).
std::u16string DownloadFileName(int32_t n);
// Whether `name` is one of them, in any case.
bool IsDownloadFileName(std::u16string_view name);
// Deletes the empty download files of `folder`: older builds made the file
// before the transfer answered, and a download cancelled while it waited
// left it there after the run. The number deleted.
int32_t RemoveEmptyDownloads(std::u16string_view folder);
