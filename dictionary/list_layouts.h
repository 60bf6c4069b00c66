// Column layouts of the list windows: which columns each list shows, in which
// order and how wide. Thirteen built-in layouts, one per model kind, are kept
// in the settings file (section "View", one key per layout) as a text of
// "key=width" items, e.g. "dic=20,wkn=90,wkj=70,wse=320". The column keys,
// kinds and header titles are the column table below.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CIni;

inline constexpr int32_t kMaxLayoutColumns = 10;
inline constexpr int32_t kMaxColumnWidth = 4096;      // pixels; wider stored widths are clamped
inline constexpr int32_t kColumnNameUnits = 9;        // units of an item's name that count
inline constexpr int32_t kColumnKeyUnits = 3;         // units of the name that decide its kind
inline constexpr int32_t kLayoutTextUnits = 255;      // longest value read from the settings file
inline constexpr char16_t kLayoutSection[] = u"View";

// Column kinds (1 to 30) whose cells the painter draws itself or that name
// no known key.
inline constexpr int32_t kColumnText = 1;
inline constexpr int32_t kColumnUnknown = 15;          // written back as "emp"
inline constexpr int32_t kColumnDictionarySign = 16;
inline constexpr int32_t kColumnMark = 17;
inline constexpr int32_t kColumnExpander = 22;
inline constexpr int32_t kColumnGroupSize = 26;

struct ListColumn {
    int32_t kind = 0;       // 1 to 30; 0 ends the layout
    int32_t sorted = 0;     // set by a header click (sort mode of the list)
    int32_t separator = 0;  // separator kind drawn after the cell
    int32_t width = 0;      // pixels, 0 to kMaxColumnWidth when read
};

// At most kMaxLayoutColumns columns, always followed by a column of kind 0.
struct ListLayout {
    ListColumn columns[kMaxLayoutColumns + 1];
    // Columns before the first of kind 0.
    int32_t Count() const;
};

// The kind of an item name: its first three units looked up in the column
// table; any other name (shorter ones too) is kColumnUnknown.
int32_t ColumnKindOfName(std::u16string_view name);
// The key a kind is written with; "emp" for kinds outside the table.
std::u16string_view ColumnKeyOfKind(int32_t kind);
// The header title of a column kind in the current interface language ("" for
// columns without a title). `viewKind` is the list view's kind: in views 1,
// 4, 13, 14 and 16 the reading and kanji columns are titled "Word" and
// "Details".
const char16_t* ColumnTitle(int32_t columnKind, int32_t viewKind);

// Reads a layout text into `layout` (cleared first): items separated by ",",
// each a name, "=" and a width of decimal digits. Items without "=", with an
// empty or non-decimal width are skipped; widths above kMaxColumnWidth are
// clamped; items after the tenth column are ignored. Answers the columns read.
int32_t ParseListLayout(std::u16string_view text, ListLayout& layout);
// "key=width" per column, separated by commas (widths clamped as on reading).
std::u16string FormatListLayout(const ListLayout& layout);

// One row of the layout table: its settings key, the model kind it serves and
// its built-in text.
struct ListLayoutRow {
    const char16_t* key;
    int32_t modelKind;
    const char16_t* defaultText;
};
inline constexpr int32_t kListLayoutCount = 13;
extern const ListLayoutRow kListLayoutRows[kListLayoutCount];

// The thirteen layouts of the list views, built from their defaults.
class ListLayoutTable {
public:
    ListLayoutTable();

    // At start, before the list views are made: every layout from its default,
    // then replaced by its "View" key when that holds at least one column.
    void LoadViewOptions(const CIni& ini);
    // When the main window is destroyed: writes every layout to its key.
    // 1 when every write succeeded, else 0.
    int32_t SaveViewOptions(CIni& ini) const;
    // The layout of the first row for the model kind, else the first layout.
    ListLayout& FindLayout(int32_t modelKind);
    ListLayout& LayoutAt(int32_t row) { return layouts_[row]; }

private:
    ListLayout layouts_[kListLayoutCount];
};

// The program's one table, shared by every list view (header tracking writes
// its widths into it).
ListLayoutTable& ProgramListLayouts();
inline ListLayout& ListLayoutForModelKind(int32_t modelKind) { return ProgramListLayouts().FindLayout(modelKind); }
