// The rules of the conversion and optimisation dialogs that need no window:
// the format list and each format's defaults, the disk space a compile
// needs, the target and backup names, the new dictionary's flags and version
// text, and how saved lists' article ids follow an optimised dictionary.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "import/compile_environment.h"

struct SourceFileInfo;

// The source format list of the conversion dialog: item text and format type.
struct ConversionFormat {
    const char16_t* name;
    int32_t formatType;
};
inline constexpr int kConversionFormatCount = 14;
extern const ConversionFormat kConversionFormats[kConversionFormatCount];
// The list item of a format type, -1 when the list has none.
int32_t ConversionFormatItem(int32_t formatType);

// What choosing a format sets in the dialog.
struct FormatDefaults {
    // Languages put in the four slots when the choice changes (empty: cleared).
    std::array<std::u16string, 4> languages;
    bool compress = true;             // "Compress dictionary"
    int32_t readingItem = -1;         // 0 none, 1 kana, 2 pinyin; -1 left as it is
    std::array<bool, 4> languageEnabled{};  // combos of source and translation 1-3
    bool dslBoxShown = false;         // the [trn] words box
};
// `formatFlags` are the sniffer's; `languages` the dictionary object's codes
// (after the reset when the choice changed).
FormatDefaults DefaultsForFormat(int32_t formatType, uint32_t formatFlags,
                                 const std::array<std::u16string, 4>& languages);
// The languages a format type starts with when the user picks it.
std::array<std::u16string, 4> LanguagesForFormat(int32_t formatType);
// The code a language list row stores: empty for row 0 (no language) and out of range.
std::u16string LanguageRowCode(int32_t row);
// The row of a code, 0 when the code is empty or unknown.
int32_t LanguageRowOfCode(std::u16string_view code);
// The languages a compile of a probed source starts with, as the conversion
// dialog shows them at its opening: the source language and the first two
// translation languages the probe found (a DSL's declared ones, a format's
// own), each as the language lists hold it (a code they lack is none).
std::array<std::u16string, 4> ProbedLanguages(const SourceFileInfo& info);

// The dictionaries folder, the source's file name without its extension and ".qdx".
std::u16string ConversionTargetPath(std::u16string_view dictionariesFolder, std::u16string_view source);

// Optimisation.
// Only an editable store dictionary that is open can be optimised.
bool CanOptimize(uint32_t flags);
// Format flags of the rebuilt dictionary: a book's, a personal one's (keeping
// the working mark) or a plain one's. A kanji dictionary stays one (its own
// kanji markup, record type 2).
uint32_t OptimizedFormatFlags(uint32_t dictionaryFlags, bool keepPersonal);
// The version text offered: "11.11.0.<build + 1>" when `current` reads
// 11.11.0.<build>, else build 1; a final "P" kept.
std::u16string OfferedVersionText(std::u16string_view current);
// The version text stored: trailing blanks cut, empty → build 1; ends in "P"
// exactly when personal status is kept.
std::u16string FinalVersionText(std::u16string_view text, bool keepPersonal);
// "<folder>\<base>_<y>-<mm>-<dd>_<hh>-<mm><extension>" beside the dictionary;
// a counter above 1 adds "_<counter>" so two backups of a minute never meet.
std::u16string BackupPath(std::u16string_view dictionaryPath, const CompileTime& time, int32_t counter);
// The first backup path of `time` for which `exists` answers false (after
// 9999 taken names, the 10000th).
std::u16string FreeBackupPath(std::u16string_view dictionaryPath, const CompileTime& time,
                              const std::function<bool(const std::u16string&)>& exists);

// One entry of index 0: the article id and the data position of its current
// record (0 for a removed article).
struct ArticleIdEntry {
    uint32_t id;
    uint32_t reference;
};
// An article's record position and its stored text.
struct ArticleAtPosition {
    uint32_t position;
    std::u16string text;
};
// Old ids (ascending) and the new id of each, for WordList::RemapRecordIds.
struct RecordIdMap {
    std::vector<uint32_t> oldIds;
    std::vector<uint32_t> newIds;
};
// Pairs the live records read from the old file with the articles of the new
// one by their texts, in order (a record that gave no article or two shifts
// nothing), then maps every id whose reference is live, edited ones included,
// to the new position of the article at its reference.
RecordIdMap MapOptimizedIds(std::span<const ArticleIdEntry> oldIndex, std::span<const ArticleAtPosition> oldArticles,
                            std::span<const ArticleAtPosition> newArticles);
