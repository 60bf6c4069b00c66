#include "book/reader_settings.h"

#include <algorithm>

#include "common/settings/settings_file.h"

namespace {

constexpr int32_t kMaxPathUnits = 259;

// The keys of a kind of book: a text book keeps its window, columns and
// place beside the stored books', so closing one never reshapes the other
// and each reopens where it was left.
struct LayoutKeys {
    const char16_t *left, *top, *width, *height, *columns;
    const char16_t *file, *bookIndex, *topPhrase, *topOffset, *curPhrase, *curColumn;
    const char16_t* languages[4];
};
constexpr LayoutKeys kStoredLayout{u"Left",      u"Right",     u"Width",     u"Height",
                                   u"Columns",   u"File",      u"BookIndex", u"TopPhrase",
                                   u"TopOffset", u"CurPhrase", u"CurColumn",
                                   {u"Language1", u"Language2", u"Language3", u"Language4"}};
constexpr LayoutKeys kTextLayout{u"TextLeft",      u"TextRight",     u"TextWidth",     u"TextHeight",
                                 u"TextColumns",   u"TextBookFile",  nullptr,          u"TextTopPhrase",
                                 u"TextTopOffset", u"TextCurPhrase", u"TextCurColumn",
                                 {u"TextLanguage1", u"TextLanguage2", u"TextLanguage3", u"TextLanguage4"}};

}  // namespace

void ReaderSettings::Load(const CIni& ini, bool textBook) {
    const LayoutKeys& keys = textBook ? kTextLayout : kStoredLayout;
    file = ini.GetString(kReaderSection, keys.file, {}, kMaxPathUnits);
    bookIndex = keys.bookIndex ? ini.GetInt(kReaderSection, keys.bookIndex, 0) : 0;
    topPhrase = ini.GetInt(kReaderSection, keys.topPhrase, 0);
    topOffset = ini.GetInt(kReaderSection, keys.topOffset, 0);
    curPhrase = ini.GetInt(kReaderSection, keys.curPhrase, 0);
    curColumn = ini.GetInt(kReaderSection, keys.curColumn, 0);
    left = ini.GetInt(kReaderSection, keys.left, 0);
    top = ini.GetInt(kReaderSection, keys.top, 0);
    width = ini.GetInt(kReaderSection, keys.width, 0);
    height = ini.GetInt(kReaderSection, keys.height, 0);
    columns = ini.GetInt(kReaderSection, keys.columns, 0);
    for (int k = 0; k < 4; ++k) languages[k] = ini.GetInt(kReaderSection, keys.languages[k], k);
    textFile = ini.GetString(kReaderSection, u"TextFile", {}, kMaxPathUnits);
}

int32_t ReaderSettings::Save(CIni& ini, bool textBook) const {
    const LayoutKeys& keys = textBook ? kTextLayout : kStoredLayout;
    int32_t ok = 1;
    ok &= ini.WriteInt(kReaderSection, keys.left, left);
    ok &= ini.WriteInt(kReaderSection, keys.top, top);
    ok &= ini.WriteInt(kReaderSection, keys.width, width);
    ok &= ini.WriteInt(kReaderSection, keys.height, height);
    ok &= ini.WriteInt(kReaderSection, keys.columns, columns);
    if (!file.empty()) {
        ok &= ini.WriteString(kReaderSection, keys.file, file.substr(0, kMaxPathUnits));
        if (keys.bookIndex) ok &= ini.WriteInt(kReaderSection, keys.bookIndex, bookIndex);
        ok &= ini.WriteInt(kReaderSection, keys.topPhrase, topPhrase);
        ok &= ini.WriteInt(kReaderSection, keys.topOffset, topOffset);
        ok &= ini.WriteInt(kReaderSection, keys.curPhrase, curPhrase);
        ok &= ini.WriteInt(kReaderSection, keys.curColumn, curColumn);
        for (int k = 0; k < reader_layout::ClampColumns(columns); ++k)
            ok &= ini.WriteInt(kReaderSection, keys.languages[k], languages[k]);
    }
    return ok;
}

namespace reader_layout {

int32_t ColumnWidth(int32_t clientWidth, int32_t columns) {
    columns = ClampColumns(columns);
    return std::max(1, (clientWidth - kGap * columns - kRightStrip) / columns);
}

int32_t ColumnLeft(int32_t k, int32_t columnWidth) { return kGap + k * (columnWidth + kGap); }

int32_t MinimumWidth(int32_t columns) { return kMinimumColumn * ClampColumns(columns) + kRightStrip; }

int32_t ClientWidthFor(int32_t columnWidth, int32_t columns) {
    return (columnWidth + kGap) * ClampColumns(columns) + kRightStrip;
}

}  // namespace reader_layout

int32_t ClampPhrase(int32_t phrase, int32_t phrases) {
    if (phrases <= 0) return 0;
    return std::clamp(phrase, 0, phrases - 1);
}
