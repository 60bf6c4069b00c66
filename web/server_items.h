// The rules of the server list in the dictionaries dialog that need no
// window: how an offered item compares with the shelf (not installed, newer
// on the server, the same), its row image, where its download goes, and the
// dialog's download states.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "web/dictionary_list.h"

namespace local_status {
inline constexpr int32_t kNotInstalled = 0, kNewerOnServer = 1, kSame = 2;
}

inline constexpr size_t kTargetPathMaxUnits = 255;
inline constexpr size_t kMatchPathMaxUnits = 520;

// A shelf dictionary at the item's path, as the match reads it.
struct InstalledFacts {
    std::u16string versionText;  // empty when none
    std::u16string dateText;     // empty when none
};

// The local status of an item: a shelf dictionary at its path decides by
// version, then by date text over DataDate's length; otherwise the file at
// the path decides (none 0, Size bytes 2, other 1).
int32_t MatchLocalStatus(const CWebDictionary& item, const InstalledFacts* installed,
                         std::optional<uint32_t> fileSizeLow);
// Row image in bitmap 156: books 10 / 11 / 9, others 5 / 6 / 1 by status.
int32_t ServerItemImage(const CWebDictionary& item);
// Folder + "\" + Filename, or empty when that passes 255 units or the name is
// not a safe download name.
std::u16string DownloadTargetPath(std::u16string_view folder, std::u16string_view fileName);

// The dialog's download: idle → downloading (Install pressed) → cancelling
// (Cancel pressed) → idle (the completion message, whatever it says).
enum class DownloadState : int32_t { Idle = 0, Downloading = 1, Cancelling = 2 };
