// Options of printing and export: clamping, the settings keys, the flags
// word, the printed column geometry and the default file name.
#include "article/export_options.h"

#include <algorithm>
#include <string>

#include "article/element_text.h"
#include "article/rtf_renderer_flags.h"
#include "common/settings/settings_file.h"
#include "dictionary/dictionary.h"

namespace {

struct OptionKey {
    const char16_t* name;
    int32_t ExportOptions::*field;
};

constexpr OptionKey kOptionKeys[] = {
    {u"Destination", &ExportOptions::destination},     {u"FormatScreen", &ExportOptions::formatScreen},
    {u"FormatCompressed", &ExportOptions::formatCompressed}, {u"FormatColored", &ExportOptions::formatColored},
    {u"Columns", &ExportOptions::columns},             {u"AddBlankLines", &ExportOptions::addBlankLines},
    {u"FontSize", &ExportOptions::fontSize},           {u"StartKanji", &ExportOptions::startKanji},
    {u"Translit", &ExportOptions::translit},
};

int32_t Switch(int32_t value) { return value != 0 ? 1 : 0; }

}  // namespace

ExportOptions ClampExportOptions(const ExportOptions& options) {
    ExportOptions out = options;
    if (out.destination < kExportToPrinter || out.destination > kExportToClipboard) out.destination = kExportToFile;
    out.columns = std::clamp(out.columns, 1, kExportMaxColumns);
    out.addBlankLines = std::clamp(out.addBlankLines, 0, kExportMaxBlankLines);
    if (std::find(kExportFontSizes.begin(), kExportFontSizes.end(), out.fontSize) == kExportFontSizes.end())
        out.fontSize = 10;
    out.formatScreen = Switch(out.formatScreen);
    out.formatCompressed = Switch(out.formatCompressed);
    out.formatColored = Switch(out.formatColored);
    out.startKanji = Switch(out.startKanji);
    out.translit = Switch(out.translit);
    return out;
}

ExportOptions LoadExportOptions(const CIni& ini) {
    const ExportOptions defaults;
    ExportOptions options;
    for (const OptionKey& key : kOptionKeys)
        options.*key.field = ini.GetInt(kPrintSection, key.name, defaults.*key.field);
    return ClampExportOptions(options);
}

int32_t SaveExportOptions(CIni& ini, const ExportOptions& options) {
    int32_t written = 1;
    for (const OptionKey& key : kOptionKeys)
        if (ini.WriteInt(kPrintSection, key.name, options.*key.field) != 1) written = 0;
    return written;
}

uint32_t ExportFlags(const ExportOptions& options) {
    uint32_t flags = kRtfPrint | kRtfBoldHead;
    if (options.formatCompressed) flags |= kRtfCompact;
    if (options.formatColored) flags |= kRtfColoured;
    if (options.startKanji) flags |= kRtfWordFirst;
    if (options.translit) flags |= kRtfTransliterate;
    return flags;
}

uint32_t RecordExportFlags(uint32_t documentFlags, const CDictionary& dictionary) {
    uint32_t flags = documentFlags & ~(kRtfBook | kRtfWordStyles | kRtfDictionaryOption);
    if (dictionary.flags & kBookDictionary) flags |= kRtfBook;
    if (dictionary.wordCount > 0) flags |= kRtfWordStyles;
    if (dictionary.latinStemCount > 0) flags |= kRtfDictionaryOption;
    return flags;
}

bool AsksBeforeOutput(int32_t entries, int32_t destination) {
    return entries >= kAskAboveEntries || (destination == kExportToPrinter && entries >= kAskAbovePrinterEntries);
}

PrintPageGeometry PrintPageGeometryFor(int32_t columns) {
    PrintPageGeometry page;
    page.count = std::clamp(columns, 1, kExportMaxColumns);
    page.widthMillimetres = page.count == 1 ? 165 : (177 - 12 * page.count) / page.count;
    const int32_t width = MillimetresToTwips(page.widthMillimetres);
    const int32_t step = MillimetresToTwips(page.widthMillimetres + 12);
    for (int32_t i = 0; i < page.count; ++i) {
        const int32_t left = kPrintLeft + i * step;
        page.columns[static_cast<size_t>(i)] = {left, kPrintTop, left + width, kPrintBottom};
    }
    return page;
}

std::u16string DefaultExportFileName(std::u16string_view currentPath, std::u16string_view documentsFolder,
                                     const std::function<bool(const std::u16string&)>& exists) {
    const size_t cut = currentPath.find_last_of(u"\\/:");
    std::u16string folder = cut == std::u16string_view::npos ? std::u16string(documentsFolder) + u"\\"
                                                             : std::u16string(currentPath.substr(0, cut + 1));
    std::u16string path;
    for (int32_t number = 1; number <= 1000; ++number) {
        path = folder + u"Ostrel-Pro-Words-";
        for (char c : std::to_string(number)) path += static_cast<char16_t>(c);
        path += u".rtf";
        if (!exists(path)) break;
    }
    return path;
}
