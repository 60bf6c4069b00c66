// The rules of the dictionaries dialog and the dictionary properties dialog
// that need no window: a row's check state and picture, the texts of its
// cells, the nominal column widths, when closing or removing a dictionary is
// refused, and how a path is split into folder and file name and joined back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Longest path the Win32 file calls take, terminator included.
inline constexpr size_t kMaxPathUnits = 260;

// A dictionary is active when it is open and not marked to close.
bool IsActiveDictionary(uint32_t flags);
// The row picture (image list of 16 x 16 pictures) by flags and activity.
int32_t DictionaryRowImage(uint32_t flags);

// The article count with a blank before the last three digits from four
// digits on and before the last six from seven on ("1 234 567").
std::u16string GroupArticleCount(uint32_t count);
// A date text up to its first unit below U+0021, at most 80 units.
std::u16string CutDateText(std::u16string_view text);
// "%d-%.02d-%.02d" of a file's date.
std::u16string FileDateText(int32_t year, int32_t month, int32_t day);
// A nominal column width as drawn: 8/10 of it below 100 dots per inch.
int32_t ScaleColumnWidth(int32_t width, int32_t dpi);

// Why closing (unchecking or removing) a dictionary is refused.
enum class CloseRefusal {
    kNone,
    kWorkingHasEditor,   // the working dictionary with an open article editor
    kShownInBookReader,  // a book reader shows the file
};
CloseRefusal RefuseClosing(uint32_t flags, bool hasOpenEditor, bool shownInBookReader);
// Closing the dialog with no dictionary active asks first.
bool CloseNeedsConfirmation(int32_t activeCount);

// Folder and file name of a full path, split at the last "\" (else the last
// ":"); the folder ends in "\" only as a drive's root ("C:\"). Without
// either the whole text is the name.
struct SplitPathParts {
    std::u16string folder;
    std::u16string name;
};
SplitPathParts SplitDictionaryPath(std::u16string_view path);
// Folder, a "\" unless the folder ends in "\" or ":", and the file name.
std::u16string JoinDictionaryPath(std::u16string_view folder, std::u16string_view name);
// ".qdx" appended when the file name has no extension.
std::u16string WithDictionaryExtension(std::u16string_view name);
// A full path the file calls can take (shorter than kMaxPathUnits).
bool PathFits(std::u16string_view path);
// Every line feed not preceded by a carriage return gets one (edit controls).
std::u16string WithCarriageReturns(std::u16string_view text);
