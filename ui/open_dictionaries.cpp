// The dictionaries the main window opens at start.
#include "ui/open_dictionaries.h"

#include "common/settings/settings_file.h"
#include "dictionary/format_detection.h"
#include "ui/start_arguments.h"

namespace {

constexpr int32_t kSlots = 100;
constexpr int32_t kSkipState = 3;       // the slot is left out entirely
constexpr int32_t kClosedState = 2;     // on the shelf, not opened
constexpr char16_t kDefaultPattern[] = u"*.qdx";

std::u16string InFolder(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\') path += u'\\';
    path += name;
    return path;
}

}  // namespace

std::u16string RenameBuiltInDictionary(const std::u16string& path, std::u16string_view folder,
                                       const std::function<bool(const std::u16string&)>& exists) {
    if (!EqualsIgnoringCase(path, InFolder(folder, u"Internal.qdx"))) return path;
    std::u16string renamed = InFolder(folder, u"Ostrel.qdx");
    return exists(renamed) ? renamed : path;
}

std::vector<std::u16string> SplitInstallList(std::u16string_view list) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == u';') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else if (list[i] != u' ') {
            name += list[i];
        }
    }
    return names;
}

bool IsUnnumberedPersonalName(std::u16string_view path) {
    return path.size() > 5 && path.ends_with(u".qdx") && path[path.size() - 5] > u'9';
}

int32_t FindDictionaryFiles(IStartShelf& shelf, const StartSources& sources, const std::u16string* pattern,
                            int32_t count) {
    std::u16string search = pattern ? *pattern : std::u16string(kDefaultPattern);
    bool atEnd = !search.empty() && search[0] == u'*';
    for (const std::u16string& name : sources.findFiles(search)) {
        std::u16string path = InFolder(sources.dictionariesFolder, name);
        if (sources.detect(path) == 0) continue;
        ShelfEntry dictionary = shelf.FindByPath(path);
        if (dictionary) {
            if (!pattern || shelf.IsOpen(dictionary)) continue;
        } else {
            dictionary = shelf.AddDictionary(kFormatStoreDatabase, path, !atEnd);
        }
        if (dictionary && shelf.OpenDictionary(dictionary)) ++count;
    }
    return count;
}

bool OpenDictionariesAtStart(IStartShelf& shelf, const StartSources& sources) {
    CIni& ini = *sources.ini;
    bool changed = false;
    int32_t slotsRead = 0;
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        std::u16string path;
        int32_t state = 0;
        if (ini.ReadDictionarySlot(path, slot, state) == 0) break;
        ++slotsRead;
        path = RenameBuiltInDictionary(path, sources.dictionariesFolder, sources.exists);
        if (sources.tidyLeftovers) sources.tidyLeftovers(path);
        if (state == kSkipState || !(sources.detect(path) & kFormatStoreDatabase)) continue;
        ShelfEntry dictionary = shelf.AddDictionary(kFormatStoreDatabase, path, false);
        changed = true;
        if (dictionary && state != kClosedState) shelf.OpenDictionary(dictionary);
    }
    if (slotsRead > 0) {
        std::vector<std::u16string> names = SplitInstallList(sources.readInstallList());
        for (const std::u16string& name : names) changed |= FindDictionaryFiles(shelf, sources, &name, 0) > 0;
        sources.clearInstallList();
    } else {
        changed |= FindDictionaryFiles(shelf, sources, nullptr, 0) > 0;
    }

    std::u16string working = ini.GetString(u"Dictionaries", u"Working");
    if (working.empty() && !shelf.HasEditable()) {
        std::u16string personal = shelf.MakePersonalDictionaryName(sources.dictionariesFolder);
        if (IsUnnumberedPersonalName(personal)) {
            shelf.CreatePersonalDictionary(personal);
            changed = true;
        }
    } else if (!working.empty()) {
        shelf.SelectWorkingDictionaryByPath(working);
    }

    // A dictionary given on the command line is opened at the head of the
    // shelf; a source file becomes one through the conversion dialog first.
    const std::u16string& argument = sources.firstArgument;
    if (IsFileArgument(argument) && !IsSavedListArgument(argument)) {
        if (sources.tidyLeftovers) sources.tidyLeftovers(argument);
        std::u16string path = sources.detect(argument) & kFormatStoreDatabase ? argument
                                                                              : shelf.ConvertSourceFile(argument);
        if (!path.empty() && !shelf.FindByPath(path)) {
            if (ShelfEntry dictionary = shelf.AddDictionary(kFormatStoreDatabase, path, true)) {
                shelf.OpenDictionary(dictionary);
                changed = true;
            }
        }
    }
    if (changed) shelf.SaveDictionaryList();
    bool showDialog = !shelf.AnyOpen() || IsDictionariesArgument(argument);
    shelf.Refresh();
    shelf.ResetListViews();
    return showDialog;
}
