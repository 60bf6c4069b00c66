#include "book/reader_settings.h"

#include <algorithm>

#include "common/settings/settings_file.h"

namespace {

constexpr int32_t kMaxPathUnits = 259;
const char16_t* const kLanguageKeys[4] = {u"Language1", u"Language2", u"Language3", u"Language4"};

}  // namespace

void ReaderSettings::Load(const CIni& ini) {
    file = ini.GetString(kReaderSection, u"File", {}, kMaxPathUnits);
    bookIndex = ini.GetInt(kReaderSection, u"BookIndex", 0);
    topPhrase = ini.GetInt(kReaderSection, u"TopPhrase", 0);
    topOffset = ini.GetInt(kReaderSection, u"TopOffset", 0);
    curPhrase = ini.GetInt(kReaderSection, u"CurPhrase", 0);
    left = ini.GetInt(kReaderSection, u"Left", 0);
    top = ini.GetInt(kReaderSection, u"Right", 0);
    width = ini.GetInt(kReaderSection, u"Width", 0);
    height = ini.GetInt(kReaderSection, u"Height", 0);
    columns = ini.GetInt(kReaderSection, u"Columns", 0);
    for (int k = 0; k < 4; ++k) languages[k] = ini.GetInt(kReaderSection, kLanguageKeys[k], k);
    textFile = ini.GetString(kReaderSection, u"TextFile", {}, kMaxPathUnits);
}

int32_t ReaderSettings::Save(CIni& ini) const {
    int32_t ok = 1;
    ok &= ini.WriteInt(kReaderSection, u"Left", left);
    ok &= ini.WriteInt(kReaderSection, u"Right", top);
    ok &= ini.WriteInt(kReaderSection, u"Width", width);
    ok &= ini.WriteInt(kReaderSection, u"Height", height);
    ok &= ini.WriteInt(kReaderSection, u"Columns", columns);
    if (!file.empty()) {
        ok &= ini.WriteString(kReaderSection, u"File", file.substr(0, kMaxPathUnits));
        ok &= ini.WriteInt(kReaderSection, u"BookIndex", bookIndex);
        ok &= ini.WriteInt(kReaderSection, u"TopPhrase", topPhrase);
        ok &= ini.WriteInt(kReaderSection, u"TopOffset", topOffset);
        ok &= ini.WriteInt(kReaderSection, u"CurPhrase", curPhrase);
        for (int k = 0; k < reader_layout::ClampColumns(columns); ++k)
            ok &= ini.WriteInt(kReaderSection, kLanguageKeys[k], languages[k]);
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
