// List-column text of YARXI kanji records.
#include "article/yarxi_columns.h"

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "dictionary/dictionary.h"

namespace {

struct YarxiColumn {
    uint32_t kind;
    uint32_t colourClass;
};

// Format 15 differs from 14 only in column 4 (kind 5) and in other columns (kind 3).
YarxiColumn ChooseYarxiColumn(int32_t columnKind, bool format15) {
    switch (columnKind) {
    case 3: case 6: return {4, 0x30};
    case 4: return {format15 ? 5u : 13u, 0x40};
    case 5: return {8, 0x40};
    case 9: case 10: return {13, 0x40};
    case 7: case 8: case 14: return {11, 0x20};
    default: return {format15 ? 3u : 11u, 0x20};
    }
}

}  // namespace

int32_t GetColumnTextF14(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return cell.length;
    const YarxiColumn column = ChooseYarxiColumn(columnKind, cell.formatType == 15);
    StyledWriter out = cell.Writer();
    const int32_t start = out.Length();
    if (columnKind == 14) {
        const uint32_t end = EntryEnd(dictionary, index);
        for (uint32_t element = index + 1; element < end; ++element) {
            if (dictionary.Elements()[element].kind != column.kind) continue;
            FormatNumberedField(dictionary, element, out);
            break;
        }
    } else {
        AppendSubsenses(dictionary, index, column.kind, out);
    }
    out.ReplaceClass(start, column.colourClass);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}
