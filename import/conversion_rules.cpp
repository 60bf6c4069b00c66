// The window-free rules of the conversion and optimisation dialogs.
#include "import/conversion_rules.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/language_names.h"
#include "dictionary/shelf.h"

const ConversionFormat kConversionFormats[kConversionFormatCount] = {
    {u"EDICT, ENAMDICT", 3}, {u"KANJIDIC", 6},           {u"JREDICT", 4},           {u"Tatoeba", 13},
    {u"WARODAI", 10},        {u"DSL", 9},                {u"Examples", 11},         {u"Ostrel Lite kanji", 2},
    {u"Ostrel Lite words", 1}, {u"PDIC4", 7},            {u"EIJIRO", 8},            {u"YARXI", 14},
    {u"YARXI", 15},          {u"Latin (Haldorne)", 16},
};

int32_t ConversionFormatItem(int32_t formatType) {
    for (int i = 0; i < kConversionFormatCount; ++i)
        if (kConversionFormats[i].formatType == formatType) return i;
    return -1;
}

std::array<std::u16string, 4> LanguagesForFormat(int32_t formatType) {
    switch (formatType) {
    case 1: case 2: case 4: case 10: case 14: case 15: return {u"jpn", u"rus", u"", u""};
    case 3: case 6: case 7: case 8: case 11: return {u"jpn", u"eng", u"", u""};
    case 13: return {u"jpn", u"rus", u"eng", u""};
    case 16: return {u"lat", u"eng", u"", u""};
    default: return {};
    }
}

FormatDefaults DefaultsForFormat(int32_t formatType, uint32_t formatFlags,
                                 const std::array<std::u16string, 4>& languages) {
    FormatDefaults d;
    d.languages = languages;
    d.compress = !(formatFlags & kFormatOwnContainer);
    switch (formatType) {
    case 1: case 2: case 3: case 4: case 6: case 10: case 14: case 15: d.readingItem = 1; break;
    case 7: case 8: case 11: d.readingItem = 0; break;
    case 13:
        d.readingItem = 0;
        d.languageEnabled = {true, true, true, true};
        break;
    case 9:
        d.languageEnabled[0] = languages[0].empty();
        d.languageEnabled[1] = languages[1].empty();
        if (languages[0] == u"jpn") d.readingItem = 1;
        if (languages[0] == u"cmn") d.readingItem = 2;
        d.dslBoxShown = true;
        break;
    default: break;
    }
    return d;
}

std::u16string LanguageRowCode(int32_t row) {
    if (row <= 0 || row >= kLanguageNameRows) return {};
    return LanguageNameTable[row].code;
}

int32_t LanguageRowOfCode(std::u16string_view code) {
    if (code.empty()) return 0;
    for (int32_t row = 1; row < kLanguageNameRows; ++row)
        if (code == LanguageNameTable[row].code) return row;
    return 0;
}

std::array<std::u16string, 4> ProbedLanguages(const SourceFileInfo& info) {
    // The probe's slots 0, 2 and 3 are the source and the first two translation languages.
    constexpr int kSlots[3] = {SourceFileInfo::kIndexLanguage, SourceFileInfo::kContentsLanguage,
                               SourceFileInfo::kSecondContentsLanguage};
    std::array<std::u16string, 4> languages;
    for (int i = 0; i < 3; ++i) languages[i] = LanguageRowCode(LanguageRowOfCode(info.languages[kSlots[i]]));
    return languages;
}

namespace {

// The file name part after the last "\" or "/" (or ":").
std::u16string_view FileNamePart(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"\\/:");
    return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

std::u16string Ascii(const char* text) {
    std::u16string out;
    for (; *text; ++text) out += static_cast<char16_t>(*text);
    return out;
}

// The build number of a text that reads "11.11.0.<digits>", -1 otherwise.
int64_t BuildOfVersionText(std::u16string_view text) {
    constexpr std::u16string_view kPrefix = u"11.11.0.";
    if (text.substr(0, kPrefix.size()) != kPrefix) return -1;
    int64_t build = -1;
    for (size_t i = kPrefix.size(); i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        build = (build < 0 ? 0 : build) * 10 + (text[i] - u'0');
        if (build > 0x7FFFFFF) return -1;
    }
    return build;
}

std::u16string TrimTrailingBlanks(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] <= 0x20) --end;
    return std::u16string(text.substr(0, end));
}

}  // namespace

std::u16string ConversionTargetPath(std::u16string_view dictionariesFolder, std::u16string_view source) {
    std::u16string_view name = FileNamePart(source);
    if (const size_t dot = name.rfind(u'.'); dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
    std::u16string path(dictionariesFolder);
    if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path += u'\\';
    path += name;
    path += u".qdx";
    return path;
}

bool CanOptimize(uint32_t flags) {
    return (flags & kDictionaryEditable) && (flags & kDictionaryStoreDatabase) && (flags & kDictionaryOpen);
}

uint32_t OptimizedFormatFlags(uint32_t dictionaryFlags, bool keepPersonal) {
    if (dictionaryFlags & kDictionaryBook) return 0x10004000;
    uint32_t flags = keepPersonal ? (dictionaryFlags & kDictionaryWorking) | 0x10042000 : 0x10040000;
    if (dictionaryFlags & kFormatKanji) flags = (flags & ~kFormatWords) | kFormatKanji | kFormatOwnText;
    return flags;
}

std::u16string OfferedVersionText(std::u16string_view current) {
    const std::u16string trimmed = TrimTrailingBlanks(current);
    const int64_t build = BuildOfVersionText(trimmed);
    std::u16string text;
    FormatVersionString(text, build >= 0 ? static_cast<int32_t>(build + 1) : 1, false, false);
    if (!trimmed.empty() && trimmed.back() == u'P') text += u'P';
    return text;
}

std::u16string FinalVersionText(std::u16string_view text, bool keepPersonal) {
    std::u16string out = TrimTrailingBlanks(text.substr(0, std::min<size_t>(text.size(), 255)));
    if (out.empty()) FormatVersionString(out, 1, false, false);
    const bool endsInP = !out.empty() && out.back() == u'P';
    if (keepPersonal && !endsInP) out += u'P';
    if (!keepPersonal && endsInP) out = TrimTrailingBlanks(std::u16string_view(out).substr(0, out.size() - 1));
    return out;
}

std::u16string BackupPath(std::u16string_view dictionaryPath, const CompileTime& time, int32_t counter) {
    const std::u16string_view name = FileNamePart(dictionaryPath);
    const std::u16string_view folder = dictionaryPath.substr(0, dictionaryPath.size() - name.size());
    const size_t dot = name.rfind(u'.');
    const std::u16string_view base = dot == std::u16string_view::npos ? name : name.substr(0, dot);
    const std::u16string_view extension = dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot);
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "_%d-%.02d-%.02d_%.02d-%.02d", time.year, time.month, time.day, time.hour,
                  time.minute);
    std::u16string path(folder);
    path += base;
    path += Ascii(stamp);
    if (counter > 1) path += u"_" + Ascii(std::to_string(counter).c_str());
    path += extension;
    return path;
}

std::u16string FreeBackupPath(std::u16string_view dictionaryPath, const CompileTime& time,
                              const std::function<bool(const std::u16string&)>& exists) {
    for (int32_t counter = 1;; ++counter) {
        std::u16string backup = BackupPath(dictionaryPath, time, counter);
        if (counter >= 10000 || !exists(backup)) return backup;
    }
}

RecordIdMap MapOptimizedIds(std::span<const ArticleIdEntry> oldIndex, std::span<const ArticleAtPosition> oldArticles,
                            std::span<const ArticleAtPosition> newArticles) {
    // How far ahead a record's article is looked for among the new ones: a
    // record that gave several articles pushes the next one back by a few.
    constexpr size_t kLookAhead = 16;
    std::map<uint32_t, uint32_t> newPositionOf;  // old record position -> new article position
    size_t next = 0;
    for (const ArticleAtPosition& old : oldArticles) {
        const size_t end = std::min(newArticles.size(), next + kLookAhead);
        for (size_t j = next; j < end; ++j) {
            if (newArticles[j].text != old.text) continue;
            newPositionOf[old.position] = newArticles[j].position;
            next = j + 1;
            break;
        }
    }
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (const ArticleIdEntry& entry : oldIndex) {
        if (entry.reference == 0) continue;
        if (auto found = newPositionOf.find(entry.reference); found != newPositionOf.end())
            pairs.emplace_back(entry.id, found->second);
    }
    std::sort(pairs.begin(), pairs.end());
    RecordIdMap map;
    for (const auto& [from, to] : pairs) {
        if (!map.oldIds.empty() && map.oldIds.back() == from) continue;
        map.oldIds.push_back(from);
        map.newIds.push_back(to);
    }
    return map;
}
