// The window-free rules of the dictionaries and properties dialogs.
#include "dictionary/dictionary_list_rules.h"

#include <cstdio>

#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"

bool IsActiveDictionary(uint32_t flags) {
    return (flags & kDictionaryOpen) && !(flags & kDictionaryToClose);
}

int32_t DictionaryRowImage(uint32_t flags) {
    const bool active = IsActiveDictionary(flags);
    if (flags & kDictionaryBook) return !active ? 8 : (flags & kDictionaryEditable) ? 13 : 9;
    if (!active) return 4;
    if (flags & kDictionaryWorking) return 3;
    return (flags & kDictionaryEditable) ? 2 : 1;
}

std::u16string GroupArticleCount(uint32_t count) {
    std::u16string digits;
    for (char c : std::to_string(count)) digits += static_cast<char16_t>(c);
    if (digits.size() >= 7) digits.insert(digits.size() - 6, 1, u' ');
    if (digits.size() >= 4) digits.insert(digits.size() - 3, 1, u' ');
    return digits;
}

std::u16string CutDateText(std::u16string_view text) {
    size_t end = 0;
    while (end < text.size() && end < 80 && text[end] >= 0x21) ++end;
    return std::u16string(text.substr(0, end));
}

std::u16string FileDateText(int32_t year, int32_t month, int32_t day) {
    char text[48];
    std::snprintf(text, sizeof text, "%d-%.02d-%.02d", year, month, day);
    std::u16string out;
    for (const char* c = text; *c; ++c) out += static_cast<char16_t>(*c);
    return out;
}

int32_t ScaleColumnWidth(int32_t width, int32_t dpi) { return dpi < 100 ? width * 8 / 10 : width; }

CloseRefusal RefuseClosing(uint32_t flags, bool hasOpenEditor, bool shownInBookReader) {
    if ((flags & kDictionaryWorking) && hasOpenEditor) return CloseRefusal::kWorkingHasEditor;
    if (shownInBookReader) return CloseRefusal::kShownInBookReader;
    return CloseRefusal::kNone;
}

bool CloseNeedsConfirmation(int32_t activeCount) { return activeCount == 0; }

SplitPathParts SplitDictionaryPath(std::u16string_view path) {
    size_t cut = path.rfind(u'\\');
    if (cut == std::u16string_view::npos) cut = path.rfind(u':');
    if (cut == std::u16string_view::npos) return {u"", std::u16string(path)};
    // A drive's colon stays with the folder ("C:"); a backslash does not,
    // except after a bare drive, where "C:" would name another folder.
    size_t folderEnd = path[cut] == u':' ? cut + 1 : cut;
    if (path[cut] == u'\\' && cut > 0 && path[cut - 1] == u':' && path.find(u'\\') == cut) folderEnd = cut + 1;
    return {std::u16string(path.substr(0, folderEnd)), std::u16string(path.substr(cut + 1))};
}

std::u16string JoinDictionaryPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\' && path.back() != u':') path += u'\\';
    path += name;
    return path;
}

std::u16string WithDictionaryExtension(std::u16string_view name) {
    const size_t dot = name.rfind(u'.');
    std::u16string out(name);
    if (dot == std::u16string_view::npos) out += u".qdx";
    return out;
}

bool PathFits(std::u16string_view path) { return path.size() < kMaxPathUnits; }

std::u16string WithCarriageReturns(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
        out += text[i];
    }
    return out;
}
