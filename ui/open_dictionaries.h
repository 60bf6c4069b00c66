// Opening the dictionaries at start: the slots of the settings file, the
// built-in dictionary's new name, the list an installation left in the
// registry (or a search of the Dictionaries folder on a first run), the
// personal dictionary made when none is editable, and a source file given
// on the command line. What it needs of the shelf is IStartShelf, which the
// shelf implements when it joins the main window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CIni;

// A dictionary on the shelf as the start-up sees it.
using ShelfEntry = void*;

class IStartShelf {
public:
    virtual ~IStartShelf() = default;
    // The dictionary with this path (case-insensitive), null when none.
    virtual ShelfEntry FindByPath(std::u16string_view path) = 0;
    // A new dictionary object for the path, at the head or the end of the chain.
    virtual ShelfEntry AddDictionary(uint32_t flags, std::u16string_view path, bool atHead) = 0;
    // Opens it read-only; a failure is shown in the engine's error box
    // captioned "Cannot open dictionary". True when it opened.
    virtual bool OpenDictionary(ShelfEntry dictionary) = 0;
    virtual bool IsOpen(ShelfEntry dictionary) = 0;
    // True when one of the first 100 dictionaries is open.
    virtual bool AnyOpen() = 0;
    // True when an editable dictionary (flag 0x2000) is on the shelf.
    virtual bool HasEditable() = 0;
    // The first free "Personal[n].qdx" in the folder.
    virtual std::u16string MakePersonalDictionaryName(std::u16string_view folder) = 0;
    // Creates the personal dictionary at the head and makes it the working one.
    virtual void CreatePersonalDictionary(std::u16string_view path) = 0;
    virtual void SelectWorkingDictionaryByPath(std::u16string_view path) = 0;
    // The open-and-convert dialog on a source file: the new dictionary's
    // path, empty when it was cancelled.
    virtual std::u16string ConvertSourceFile(std::u16string_view source) = 0;
    virtual void SaveDictionaryList() = 0;
    virtual void Refresh() = 0;
    virtual void ResetListViews() = 0;
    // Warns once about open dictionaries older than version 6.
    virtual void WarnOldDictionaries() {}
};

// What start-up reads besides the shelf: the settings file, the registry's
// installation list, format detection and file existence.
struct StartSources {
    CIni* ini = nullptr;
    std::u16string dictionariesFolder;
    std::u16string firstArgument;                              // empty when none
    std::function<std::u16string()> readInstallList;           // registry "InstallDictionary"
    std::function<void()> clearInstallList;                    // writes it empty
    std::function<uint32_t(const std::u16string&)> detect;     // format flags, 0 unreadable
    std::function<bool(const std::u16string&)> exists;
    // The files of the Dictionaries folder matching a pattern ("*.qdx" or a name).
    std::function<std::vector<std::u16string>(const std::u16string&)> findFiles;
    // Puts right what a cut-short run left beside a dictionary (a half-built
    // file, a temporary), before the dictionary is looked at; may be empty.
    std::function<void(const std::u16string&)> tidyLeftovers;
};

// Runs the start-up opening; true when the dictionaries dialog is to be shown
// (no dictionary open, or "/dictionaries" given).
bool OpenDictionariesAtStart(IStartShelf& shelf, const StartSources& sources);

// Adds the Dictionaries folder's files matching `pattern` (none: "*.qdx");
// answers `count` plus the dictionaries opened without error.
int32_t FindDictionaryFiles(IStartShelf& shelf, const StartSources& sources, const std::u16string* pattern,
                            int32_t count);

// The rules underneath, by themselves.
// A slot naming the built-in "Internal.qdx" of the folder reads "Ostrel.qdx"
// when that file exists.
std::u16string RenameBuiltInDictionary(const std::u16string& path, std::u16string_view folder,
                                       const std::function<bool(const std::u16string&)>& exists);
// The installation list split at ';' with blanks dropped, empty names skipped.
std::vector<std::u16string> SplitInstallList(std::u16string_view list);
// A personal dictionary is made only under a name that carries no number:
// longer than 5 units, and the unit before ".qdx" above '9'.
bool IsUnnumberedPersonalName(std::u16string_view path);
