// What a book reader keeps in section BookViewer of the settings file, and
// the window-free arithmetic of the reader's layout: column widths, the
// minimum size and where a new reader opens. Counts of columns are clamped
// to 1..4 before anything divides by them, and saved positions are clamped
// to the book they are restored into.
#pragma once

#include <cstdint>
#include <string>

class CIni;

inline constexpr char16_t kReaderSection[] = u"BookViewer";
inline constexpr char16_t kLoaderSection[] = u"BookLoader";

struct ReaderSettings {
    std::u16string file;      // path of the last book dictionary (or text book)
    int32_t bookIndex = 0;    // first-record id of the book shown last
    int32_t topPhrase = 0;
    int32_t topOffset = 0;
    int32_t curPhrase = 0;
    int32_t curColumn = 0;    // the slot (0 to 3) whose top TopPhrase and TopOffset give
    int32_t left = 0, top = 0, width = 0, height = 0;  // "Right" holds the top
    int32_t columns = 0;
    int32_t languages[4] = {};
    std::u16string textFile;  // the last text book chosen in the file dialog

    // A text book's reader keeps its window, columns and place under keys
    // of its own ("TextLeft", "TextBookFile", ...; no BookIndex), so a
    // stored book's and a text book's each reopen as they were left.
    void Load(const CIni& ini, bool textBook = false);
    // Every field but TextFile; the place only with a file. 1 when every
    // write succeeded.
    int32_t Save(CIni& ini, bool textBook = false) const;
    bool HasSize() const { return width > 0 && height > 0; }
};

namespace reader_layout {
inline constexpr int32_t kGap = 9;          // between and around the columns
// The scroll bars and buttons at the right: wide enough for the buttons'
// longest label ("Оглавление" in the Russian interface) with its edges.
inline constexpr int32_t kRightStrip = 79;
inline constexpr int32_t kMinimumColumn = 109;
inline constexpr int32_t kMinimumHeight = 350;
inline constexpr int32_t kResetHeight = 400;
inline constexpr int32_t kDefaultWidth = 720;
inline constexpr int32_t kDefaultHeight = 600;
inline constexpr int32_t kNextReaderDx = 120;
inline constexpr int32_t kNextReaderDy = 50;

inline int32_t ClampColumns(int32_t columns) { return columns < 1 ? 1 : (columns > 4 ? 4 : columns); }
// Width of one column in a client area `clientWidth` wide.
int32_t ColumnWidth(int32_t clientWidth, int32_t columns);
// Left edge of column `k` (from 0).
int32_t ColumnLeft(int32_t k, int32_t columnWidth);
int32_t MinimumWidth(int32_t columns);
// The client width that holds `columns` columns of `columnWidth`.
int32_t ClientWidthFor(int32_t columnWidth, int32_t columns);
}  // namespace reader_layout

// A position restored from the settings, clamped to a book of `phrases`
// phrases (0 when it has none).
int32_t ClampPhrase(int32_t phrase, int32_t phrases);
