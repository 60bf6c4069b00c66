// Column layouts: the column table, reading and writing layout texts, and the
// thirteen layouts kept in the settings file.
#include "dictionary/list_layouts.h"

#include <algorithm>

#include "common/settings/settings_file.h"
#include "common/ui_text/ui_text.h"

namespace {

constexpr int kNoTitle = -1;

// One column key. A title is an interface text slot, or a fixed text for the
// book columns, which are titled alike in every language.
struct ColumnKeyRow {
    char16_t key[4];
    int32_t kind;
    int titleSlot;           // kNoTitle when the title is fixed or absent
    int wordViewTitleSlot;   // the title in views 1, 4, 13, 14 and 16; kNoTitle: as titleSlot
    const char16_t* fixedTitle;
};

constexpr ColumnKeyRow kColumnKeys[] = {
    {u"src", 1, 461, kNoTitle, nullptr},  {u"wkn", 2, 456, 462, nullptr},
    {u"wkj", 3, 457, 463, nullptr},       {u"wse", 4, 458, kNoTitle, nullptr},
    {u"wru", 5, 464, kNoTitle, nullptr},  {u"kkj", 6, 465, kNoTitle, nullptr},
    {u"kon", 7, 459, kNoTitle, nullptr},  {u"kku", 8, 460, kNoTitle, nullptr},
    {u"kse", 9, 466, kNoTitle, nullptr},  {u"kss", 10, 467, kNoTitle, nullptr},
    {u"kre", 11, 468, kNoTitle, nullptr}, {u"kst", 12, 469, kNoTitle, nullptr},
    {u"kra", 13, 470, kNoTitle, nullptr}, {u"ko1", 14, 471, kNoTitle, nullptr},
    {u"dic", 16, kNoTitle, kNoTitle, u""}, {u"mrk", 17, kNoTitle, kNoTitle, u""},
    {u"wkf", 18, 474, kNoTitle, nullptr}, {u"wrf", 19, 475, kNoTitle, nullptr},
    {u"kru", 20, 476, kNoTitle, nullptr}, {u"krf", 21, 477, kNoTitle, nullptr},
    {u"exp", 22, kNoTitle, kNoTitle, u""}, {u"lex", 24, 478, kNoTitle, nullptr},
    {u"lxn", 25, 479, kNoTitle, nullptr}, {u"lxd", 26, 480, kNoTitle, nullptr},
    {u"bkj", 27, 481, kNoTitle, nullptr}, {u"bs0", 28, kNoTitle, kNoTitle, u"Название"},
    {u"bs1", 29, kNoTitle, kNoTitle, u"Book Title"}, {u"rcn", 30, kNoTitle, kNoTitle, u""},
    {u"emp", kColumnUnknown, kNoTitle, kNoTitle, u""},
};

const ColumnKeyRow* FindColumnKind(int32_t kind) {
    for (const ColumnKeyRow& row : kColumnKeys)
        if (row.kind == kind) return &row;
    return nullptr;
}

bool IsWordView(int32_t viewKind) {
    return viewKind == 1 || viewKind == 4 || viewKind == 13 || viewKind == 14 || viewKind == 16;
}

int32_t ClampWidth(int64_t width) { return static_cast<int32_t>(std::clamp<int64_t>(width, 0, kMaxColumnWidth)); }

// The width of an item: one or more decimal digits and nothing else; -1 when
// malformed. Long digit runs saturate rather than overflow.
int32_t ParseWidth(std::u16string_view digits) {
    if (digits.empty()) return -1;
    int64_t width = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return -1;
        width = std::min<int64_t>(width * 10 + (c - u'0'), int64_t{kMaxColumnWidth} + 1);
    }
    return ClampWidth(width);
}

}  // namespace

const ListLayoutRow kListLayoutRows[kListLayoutCount] = {
    {u"WordsTranslationList", 1, u"exp=20,dic=20,src=90,wkn=70,wse=320"},
    {u"WordsKanaList", 2, u"dic=20,wkn=90,wkj=70,wse=320"},
    {u"WordsKanjiList", 5, u"dic=20,wkj=70,wkn=90,wse=320"},
    {u"KanjiReadingList", 6, u"dic=20,kre=70,kkj=40,kss=320"},
    {u"KanjiKanjiList", 3, u"dic=20,kkj=40,ko1=70,kss=320"},
    {u"KanjiRussianList", 16, u"dic=20,kru=70,kkj=40,kss=320"},
    {u"WordsRussianList", 4, u"dic=20,wru=90,wkj=70,wse=320"},
    {u"MemoList", 18, u"dic=20,wkn=90,wkj=70,wse=320"},
    {u"LexiconList", 20, u"lex=90,lxn=90,lxd=90"},
    {u"HistoryList", 21, u"dic=20,wkn=90,wkj=70,wse=320"},
    {u"BookList", 22, u"dic=20,bkj=90,bs0=90,bs1=90"},
    {u"SearchList", 19, u"dic=20,wkn=90,wkj=70,wse=320"},
    {u"PhysicalList", 23, u"dic=20,rcn=70,wkn=90,wkj=70,wse=320"},
};

int32_t ListLayout::Count() const {
    int32_t count = 0;
    while (count < kMaxLayoutColumns && columns[count].kind != 0) ++count;
    return count;
}

int32_t ColumnKindOfName(std::u16string_view name) {
    if (name.size() < static_cast<size_t>(kColumnKeyUnits)) return kColumnUnknown;
    std::u16string_view head = name.substr(0, kColumnKeyUnits);
    for (const ColumnKeyRow& row : kColumnKeys)
        if (head == row.key) return row.kind;
    return kColumnUnknown;
}

std::u16string_view ColumnKeyOfKind(int32_t kind) {
    const ColumnKeyRow* row = FindColumnKind(kind);
    return row ? row->key : u"emp";
}

const char16_t* ColumnTitle(int32_t columnKind, int32_t viewKind) {
    const ColumnKeyRow* row = FindColumnKind(columnKind);
    if (!row) return u"";
    if (row->fixedTitle) return row->fixedTitle;
    int slot = IsWordView(viewKind) && row->wordViewTitleSlot != kNoTitle ? row->wordViewTitleSlot : row->titleSlot;
    return UIStringTable[slot];
}

int32_t ParseListLayout(std::u16string_view text, ListLayout& layout) {
    layout = ListLayout{};
    int32_t count = 0;
    size_t start = 0;
    while (start <= text.size() && count < kMaxLayoutColumns) {
        size_t end = std::min(text.find(u',', start), text.size());
        std::u16string_view item = text.substr(start, end - start);
        start = end + 1;
        size_t equals = item.find(u'=');
        if (equals == std::u16string_view::npos) continue;
        int32_t width = ParseWidth(item.substr(equals + 1));
        if (width < 0) continue;
        std::u16string_view name = item.substr(0, std::min<size_t>(equals, kColumnNameUnits));
        layout.columns[count].kind = ColumnKindOfName(name);
        layout.columns[count].width = width;
        ++count;
    }
    return count;
}

std::u16string FormatListLayout(const ListLayout& layout) {
    std::u16string text;
    for (int32_t i = 0; i < layout.Count(); ++i) {
        if (i > 0) text += u',';
        text += ColumnKeyOfKind(layout.columns[i].kind);
        text += u'=';
        for (char c : std::to_string(ClampWidth(layout.columns[i].width))) text += static_cast<char16_t>(c);
    }
    return text;
}

ListLayoutTable::ListLayoutTable() {
    for (int32_t i = 0; i < kListLayoutCount; ++i) ParseListLayout(kListLayoutRows[i].defaultText, layouts_[i]);
}

void ListLayoutTable::LoadViewOptions(const CIni& ini) {
    for (int32_t i = 0; i < kListLayoutCount; ++i) {
        ParseListLayout(kListLayoutRows[i].defaultText, layouts_[i]);
        std::u16string stored = ini.GetString(kLayoutSection, kListLayoutRows[i].key, u"", kLayoutTextUnits);
        ListLayout read;
        if (!stored.empty() && ParseListLayout(stored, read) > 0) layouts_[i] = read;
    }
}

int32_t ListLayoutTable::SaveViewOptions(CIni& ini) const {
    int32_t written = 1;
    for (int32_t i = 0; i < kListLayoutCount; ++i)
        if (!ini.WriteString(kLayoutSection, kListLayoutRows[i].key, FormatListLayout(layouts_[i]))) written = 0;
    return written;
}

ListLayoutTable& ProgramListLayouts() {
    static ListLayoutTable table;
    return table;
}

ListLayout& ListLayoutTable::FindLayout(int32_t modelKind) {
    for (int32_t i = 0; i < kListLayoutCount; ++i)
        if (kListLayoutRows[i].modelKind == modelKind) return layouts_[i];
    return layouts_[0];
}
