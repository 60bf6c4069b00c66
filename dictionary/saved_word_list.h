// The file side of a saved word list (".oxm", the Selected list's
// "Selected.oxm"): an ini file written and read key by key through the
// system's private-profile functions, so its bytes are theirs. A new file is
// started as UTF-16LE with a byte-order mark, which keeps the profile
// functions writing Unicode; older ANSI files still read.
//
//   section          key                  value
//   [Dictionaries]   File1, File2, ...    full path of the n-th dictionary file
//   [Entries]        Entry1, Entry2, ...  "n,id": the dictionary's File number and the record id
//
// Keys are numbered without gaps; dictionaries in order of first use,
// entries in stored order. Reading stops at the first empty File or Entry
// value, after 256 File keys and 1000000 Entry keys, and once 2000 entries
// were refused; values are at most 511 characters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/settings/profile_store.h"

inline constexpr int32_t kListFileMaxDictionaries = 256;
inline constexpr int32_t kListFileMaxEntryKeys = 1000000;
inline constexpr size_t kListFileValueUnits = 511;
// A list of more refused entries than this is read no further.
inline constexpr int32_t kListFileMaxRefusedEntries = 2000;
// A refused entry's value is quoted up to this many units.
inline constexpr size_t kListFileQuotedUnits = 40;
inline constexpr std::u16string_view kListFileExtension = u".oxm";
inline constexpr std::u16string_view kSelectedListFileName = u"Selected.oxm";
// WordList::ConfirmClose's and SaveBeforeExit's answer when the user kept the list.
inline constexpr int32_t kListCloseCancelled = 2;
// WordList::SaveFile's answer when the list went to its file.
inline constexpr int32_t kListSaved = 1;

// The file operations of a saved list: the profile functions over one file,
// the steps of a safe replace and the file dialog. dictionary/win has the
// real one; native tests use an emulation.
class IListFileStore {
public:
    virtual ~IListFileStore() = default;

    // Reads the file key by key; a missing file reads empty.
    virtual std::unique_ptr<IProfileStore> OpenForReading(std::u16string_view path) = 0;
    // The keys and values of a whole section in the file's order, read in
    // one pass; empty for a missing file or section.
    virtual std::vector<std::pair<std::u16string, std::u16string>> ReadSection(std::u16string_view path,
                                                                               std::u16string_view section) = 0;
    // Creates the file anew, empty and in Unicode, to be written key by key;
    // null when it cannot be created.
    virtual std::unique_ptr<IProfileStore> CreateForWriting(std::u16string_view path) = 0;
    virtual bool FileExists(std::u16string_view path) = 0;
    // Puts `from` in the place of `to` in one step (`to` is never missing); false leaves both.
    virtual bool Replace(std::u16string_view from, std::u16string_view to) = 0;
    virtual void Delete(std::u16string_view path) = 0;
    // The format flags of a file as DetectDictionaryFileFormat gives them.
    virtual uint32_t FormatFlags(std::u16string_view path) = 0;
    // The word-list file dialog, opening in `folder`; the chosen path, empty on cancel.
    virtual std::u16string ChooseFile(bool save, std::u16string_view title, std::u16string_view folder) = 0;
    // The system's reason for the last operation above that failed.
    virtual std::u16string LastFailure() = 0;

    // A text that changes whenever the file's bytes change; empty when it
    // cannot be read.
    virtual std::u16string Stamp(std::u16string_view path) = 0;
    // The stamp of `path` when the user was last told of its refused
    // entries (empty when never), and noting a new one: a list is not
    // refused again at every start while it stays as it was.
    virtual std::u16string RefusalsToldFor(std::u16string_view path) = 0;
    virtual void NoteRefusalsTold(std::u16string_view path, std::u16string_view stamp) = 0;
};

// "n,id": a dictionary number of 1 to 2^31 - 1 and a record id of 1 to
// 2^32 - 1, in decimal, blanks allowed around them; false for anything else
// (a number out of range, trailing text, a third number).
bool ParseListFileEntry(std::u16string_view value, int32_t* dictionaryNumber, uint32_t* recordId);
