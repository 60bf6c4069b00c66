// The options of printing and export (section "Print" of the settings file),
// clamped to what the output code can honour whenever they are loaded, and
// the small fixed rules around them: the renderers' flags word, the page
// geometry of a printed column, the default file name and the point at which
// the user is asked before a large output.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CDictionary;
class CIni;

inline constexpr char16_t kPrintSection[] = u"Print";

enum ExportDestination : int32_t { kExportToPrinter = 0, kExportToFile = 1, kExportToClipboard = 2 };

// The nine stored options with their defaults. Every loaded value lies in
// its range (ClampExportOptions), so the copy and drag paths may use them
// as they are.
struct ExportOptions {
    int32_t destination = kExportToFile;   // ExportDestination
    int32_t formatScreen = 0;              // "Expanded" layout
    int32_t formatCompressed = 1;          // "Compact" layout
    int32_t formatColored = 0;
    int32_t columns = 2;                   // 1 to 3
    int32_t addBlankLines = 1;             // 0 to 4, between articles
    int32_t fontSize = 10;                 // points, one of kExportFontSizes
    int32_t startKanji = 0;                // kanji writing before the reading
    int32_t translit = 0;                  // readings transliterated
};

// The sizes the dialog's list offers; any other stored size reads as 10.
inline constexpr std::array<int32_t, 10> kExportFontSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 24};
inline constexpr int32_t kExportMaxBlankLines = 4;
inline constexpr int32_t kExportMaxColumns = 3;

// Brings every option into its range: columns 1 to 3, blank lines 0 to 4,
// the font size one of the list's (else 10), the destination 0 to 2 (else
// the file), the switches 0 or 1.
ExportOptions ClampExportOptions(const ExportOptions& options);
// The nine keys of section "Print", missing ones at their defaults, clamped.
ExportOptions LoadExportOptions(const CIni& ini);
// Writes the nine keys; 1 when every write succeeded.
int32_t SaveExportOptions(CIni& ini, const ExportOptions& options);

// The renderers' flags word for a document: print mode and bold heads
// (0x41), plus 4 compact, 8 coloured, 0x10 kanji first, 0x20 transliterated.
uint32_t ExportFlags(const ExportOptions& options);
// The flags word for one record of `dictionary`: 0x200 for a book, 0x80
// when it has a word index (102), 0x400 when it has Latin stems (121).
uint32_t RecordExportFlags(uint32_t documentFlags, const CDictionary& dictionary);

// Asked before the output: 20,000 entries or more, or 1,000 or more to the printer.
inline constexpr int32_t kAskAboveEntries = 20000;
inline constexpr int32_t kAskAbovePrinterEntries = 1000;
bool AsksBeforeOutput(int32_t entries, int32_t destination);

// Page geometry of printed columns, in twips.
inline constexpr int32_t kPrintTop = 1247;
inline constexpr int32_t kPrintBottom = 15817;
inline constexpr int32_t kPrintLeft = 1247;
inline constexpr int32_t kPrintMaxPages = 1000;
constexpr int32_t MillimetresToTwips(int32_t mm) { return mm * 14400 / 254; }

struct PrintColumn {
    int32_t left, top, right, bottom;   // twips from the page's printable origin
};
struct PrintPageGeometry {
    int32_t count = 0;                          // columns in use, 1 to 3
    std::array<PrintColumn, kExportMaxColumns> columns{};
    int32_t widthMillimetres = 0;               // of each column
};
// One column is 165 mm wide; n columns (n > 1) are (177 - 12 n) / n mm each
// with 12 mm between them. `columns` is clamped to 1..3 first.
PrintPageGeometry PrintPageGeometryFor(int32_t columns);

// The default export file: in the folder of `currentPath` (up to its last
// "\", "/" or ":"; without one, `documentsFolder` and a "\"), the name
// "Ostrel-Pro-Words-N.rtf" with N the first of 1 to 1000 for which `exists`
// answers false (1000 when all are taken).
std::u16string DefaultExportFileName(std::u16string_view currentPath, std::u16string_view documentsFolder,
                                     const std::function<bool(const std::u16string&)>& exists);
