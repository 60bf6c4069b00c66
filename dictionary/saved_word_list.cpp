// WordList: loading and saving a saved word list (the format is tabled in
// saved_word_list.h) and the question asked before a changed list is replaced.
// A save writes a new temporary file ("<list>.tmp~") and puts it in the old
// one's place, so a failure midway leaves the old list whole; a temporary
// left by a save that was killed is removed at the next save or load of the
// list.
#include "dictionary/saved_word_list.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/app_context.h"
#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/file_message.h"
#include "dictionary/format_detection.h"
#include "dictionary/leftover_files.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_shelf.h"

namespace {

constexpr std::u16string_view kDictionariesSection = u"Dictionaries";
constexpr std::u16string_view kEntriesSection = u"Entries";
constexpr uint32_t kYesNoCancelQuestion = 0x23;  // MB_YESNOCANCEL | MB_ICONQUESTION
constexpr int32_t kAnswerYes = 6;
constexpr int32_t kAnswerCancel = 2;
constexpr uint32_t kYesNoCancelWarning = 0x33;  // MB_YESNOCANCEL | MB_ICONWARNING
constexpr uint32_t kWarningOk = 0x30;           // MB_OK | MB_ICONWARNING
constexpr int32_t kOpenReadOnly = 2;

std::u16string Numbered(std::u16string_view name, int64_t number) {
    std::u16string key(name);
    std::string digits = std::to_string(number);
    key.append(digits.begin(), digits.end());
    return key;
}

std::u16string ReadValue(const IProfileStore& file, std::u16string_view section, std::u16string_view key) {
    std::u16string value = file.Read(section, key);
    if (value.size() > kListFileValueUnits) value.resize(kListFileValueUnits);
    return value;
}

bool SamePath(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

bool HasExtension(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/");
    size_t dot = path.find_last_of(u'.');
    return dot != std::u16string_view::npos && (slash == std::u16string_view::npos || dot > slash);
}

std::u16string DataFolderWithSeparator() {
    std::u16string folder = App().DataFolder();
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    return folder;
}

// "The list could not be saved to the file <path>:" and the system's reason.
std::u16string SaveFailureText(std::u16string_view path, std::u16string_view failure) {
    std::array<char16_t, 1024> text{};
    const size_t length = FormatBounded(text, UIExtra(UIExtraText::kListNotSaved), {path});
    std::u16string message(text.data(), length);
    if (!failure.empty()) message.append(u"\n").append(failure);
    return message;
}

// The temporary a save writes before it replaces the list is the program's
// own side file, "<list>.tmp~", then "<list>.1.tmp~" ... when an older one
// could not be removed. Older builds named it "<list>.tmp" and "<list>.1.tmp".
std::u16string OlderTemporaryName(std::u16string_view path, int32_t n) {
    return n == 0 ? std::u16string(path) + u".tmp" : std::u16string(path) + u"." + Numbered(u"", n) + u".tmp";
}

constexpr int32_t kMaxTemporaries = 1000;

// A save killed midway leaves its temporary behind; the next save or load of
// the same list removes it and the numbered ones made beside it.
void RemoveStaleTemporaries(IListFileStore& files, std::u16string_view path) {
    for (auto name : {&LeftoverTemporaryPath, &OlderTemporaryName}) {
        for (int32_t n = 0; n < kMaxTemporaries; ++n) {
            const std::u16string temporary = name(path, n);
            if (n > 0 && !files.FileExists(temporary)) break;
            files.Delete(temporary);
        }
    }
}

constexpr int kCannotReadFileCaption = 529;
constexpr int32_t kNamedRefusedEntries = 10;  // the message names at most these

// A refused value as the message quotes it: its first units, so that a long
// value (up to 511 units, most of them with no blank to break the line at)
// does not make the box wider than the screen.
std::u16string QuotedValue(std::u16string_view value) {
    if (value.size() <= kListFileQuotedUnits) return std::u16string(value);
    size_t cut = kListFileQuotedUnits;
    if (value[cut - 1] >= 0xD800 && value[cut - 1] <= 0xDBFF) --cut;  // never half a surrogate pair
    return std::u16string(value.substr(0, cut)) + u"\u2026";
}

std::u16string FormattedNumber(std::u16string_view format, int64_t number) {
    std::array<char16_t, 512> text{};
    const size_t length = FormatBounded(text, format, {number});
    return std::u16string(text.data(), length);
}

// The values of the Entries section by their key's number, read in one pass:
// the profile functions look a key up by walking the section from its start,
// so reading a list of many keys key by key took minutes. As the key reads
// do, the first of two equal keys counts, keys compare without regard to
// case, and a value is cut at 511 units.
class EntryValues {
public:
    using Lines = std::vector<std::pair<std::u16string, std::u16string>>;
    explicit EntryValues(Lines lines) : lines_(std::move(lines)) {
        for (size_t line = 0; line < lines_.size(); ++line) {
            const int32_t number = EntryNumber(lines_[line].first);
            if (number > 0) byNumber_.emplace(number, line);  // a repeated key keeps its first line
        }
    }
    std::u16string_view Value(int32_t number) const {
        const auto found = byNumber_.find(number);
        if (found == byNumber_.end()) return {};
        const std::u16string_view value = lines_[found->second].second;
        return value.substr(0, kListFileValueUnits);
    }

private:
    // n of a key "Entry<n>" (any case, n written as "%d" writes it), else 0.
    static int32_t EntryNumber(std::u16string_view key) {
        constexpr std::u16string_view kName = u"entry";
        if (key.size() <= kName.size() || key.size() > kName.size() + 7) return 0;
        for (size_t i = 0; i < kName.size(); ++i)
            if ((key[i] | 0x20) != kName[i]) return 0;
        if (key[kName.size()] == u'0') return 0;
        int32_t number = 0;
        for (size_t i = kName.size(); i < key.size(); ++i) {
            if (key[i] < u'0' || key[i] > u'9') return 0;
            number = number * 10 + (key[i] - u'0');
        }
        return number <= kListFileMaxEntryKeys ? number : 0;
    }
    Lines lines_;
    std::unordered_map<int32_t, size_t> byNumber_;  // entry number -> its line
};

// Whether record ids stand for articles of their open dictionaries. Index 0
// holds an entry for every article id a file ever gave (an edited or
// removed article's id stays, pointed on or at nothing), so an id it does
// not hold is no article of that file, whatever the file's compression: a
// number past the end, inside a record or at some other block is the
// list's damage and never read as the dictionary's. A file without article
// ids is asked for the block itself. An index the engine refuses to read is
// the dictionary's damage: the entry is kept, and the read tells it.
class ArticleIds {
public:
    bool Holds(RDFDictionary& dictionary, uint32_t recordId) {
        Index& index = IndexOf(dictionary);
        if (index.cursor && index.articleCount > 0) {
            KeySegmentValue key{&recordId, 4};
            const DmsStatus found = dictionary.Engine().Seek(index.cursor->handle(), &key, nullptr, nullptr);
            return found != DmsStatus::RecordNotFound && found != DmsStatus::EndOfFile;
        }
        EngineCursor reader(dictionary.Engine(), dictionary.fileId);
        if (!reader.ok()) return true;
        uint32_t length = 0;
        const DmsStatus read = dictionary.Engine().ReadData(reader.handle(), recordId, nullptr, &length);
        return read == DmsStatus::Success || read == DmsStatus::Deleted;
    }

private:
    struct Index {
        const RDFDictionary* dictionary = nullptr;
        std::unique_ptr<EngineCursor> cursor;  // on index 0; null when it cannot be read
        uint32_t articleCount = 0;
    };
    Index& IndexOf(RDFDictionary& dictionary) {
        for (Index& index : indexes_)
            if (index.dictionary == &dictionary) return index;
        Index& index = indexes_.emplace_back();
        index.dictionary = &dictionary;
        auto cursor = std::make_unique<EngineCursor>(dictionary.Engine(), dictionary.fileId);
        if (!Failed(cursor->SelectIndex(kIndexArticles)) &&
            !Failed(dictionary.Engine().GetCount(cursor->handle(), &index.articleCount)))
            index.cursor = std::move(cursor);
        return index;
    }
    std::vector<Index> indexes_;
};

// Reads one decimal number of at most `most` at `at` (blanks before it, as
// "%d" allows, and a minus sign); false when there is none or it is larger.
bool ReadNumber(std::u16string_view value, size_t& at, int64_t most, int64_t* number) {
    while (at < value.size() && (value[at] == u' ' || value[at] == u'\t')) ++at;
    const bool negative = at < value.size() && value[at] == u'-';
    if (negative) ++at;
    const size_t start = at;
    int64_t n = 0;
    for (; at < value.size() && value[at] >= u'0' && value[at] <= u'9'; ++at) {
        n = n * 10 + (value[at] - u'0');
        if (n > most) return false;
    }
    if (at == start) return false;
    *number = negative ? -n : n;
    return true;
}

}  // namespace

bool ParseListFileEntry(std::u16string_view value, int32_t* dictionaryNumber, uint32_t* recordId) {
    int64_t number = 0, id = 0;
    size_t at = 0;
    if (!ReadNumber(value, at, INT32_MAX, &number) || at >= value.size() || value[at++] != u',' ||
        !ReadNumber(value, at, UINT32_MAX, &id))
        return false;
    while (at < value.size() && (value[at] == u' ' || value[at] == u'\t')) ++at;
    if (at != value.size() || number < 1 || id < 1) return false;
    *dictionaryNumber = static_cast<int32_t>(number);
    *recordId = static_cast<uint32_t>(id);
    return true;
}

bool WordList::SaveIfAsked(IListFileStore& files) {
    if ((flags & kListModified) == 0) return true;
    int32_t answer = App().ShowMessage(UIStringTable[294], UIStringTable[293], kYesNoCancelQuestion);
    if (answer == kAnswerCancel) return false;
    // A save that failed (and said why) keeps the list as it is.
    if (answer == kAnswerYes) return SaveFile(files, fileName) == kListSaved;
    return true;
}

// The shelf's dictionary of a File value. One that is not on the shelf is
// added and opened; when it does not open it is taken off the shelf again,
// so no broken dictionary is left behind. Null when it is not there.
RDFDictionary* WordList::ResolveListFileDictionary(IListFileStore& files, std::u16string_view path) {
    if (shelf_ == nullptr) return nullptr;
    if (RDFDictionary* found = shelf_->FindByPath(path)) return found;
    if (!files.FileExists(path) || (files.FormatFlags(path) & kFormatStoreDatabase) == 0) return nullptr;
    shelf_->SaveListPositions();
    RDFDictionary* added = shelf_->AddDictionary(0, path);
    if (added == nullptr) return nullptr;
    if (added->Open(kOpenReadOnly) != 0) {
        shelf_->DeleteDictionary(added);
        return nullptr;
    }
    shelf_->Refresh();
    return added;
}

int32_t WordList::LoadFile(IListFileStore& files, std::u16string_view path) {
    std::u16string file(path);
    if (file.empty()) {
        file = files.ChooseFile(false, UIStringTable[295], DataFolderWithSeparator());
        if (file.empty()) return 0;
    }
    if (!SaveIfAsked(files)) return 0;
    Clear();
    flags &= ~kListDictionaryMissing;
    RemoveStaleTemporaries(files, file);
    std::unique_ptr<IProfileStore> reader = files.OpenForReading(file);

    // Dictionary n of the file, null when missing; the paths of all of them.
    std::vector<RDFDictionary*> numbered(1, nullptr);
    std::vector<std::u16string> paths(1);
    for (int32_t n = 1; reader && n <= kListFileMaxDictionaries; ++n) {
        std::u16string value = ReadValue(*reader, kDictionariesSection, Numbered(u"File", n));
        if (value.empty()) break;
        RDFDictionary* dictionary = ResolveListFileDictionary(files, value);
        if (dictionary == nullptr) flags |= kListDictionaryMissing;
        numbered.push_back(dictionary);
        paths.push_back(value);
    }

    // Entries that cannot stand for a record (not "n,id", no such File, an
    // id that is no record of its open dictionary) are the list's damage:
    // left out and named to the user, never read as the dictionary's. A
    // list of thousands of them is read no further than a bound of them.
    std::u16string refused;
    int32_t refusedCount = 0, readStoppedAt = 0;
    ArticleIds articles;
    auto refuse = [&](int32_t i, std::u16string_view value) {
        if (++refusedCount <= kNamedRefusedEntries) refused += u"\n" + Numbered(u"Entry", i) + u"=" + QuotedValue(value);
        else if (refusedCount == kNamedRefusedEntries + 1) refused += u"\n...";
        if (refusedCount >= kListFileMaxRefusedEntries) readStoppedAt = i;
    };
    const EntryValues values(reader ? files.ReadSection(file, kEntriesSection) : EntryValues::Lines());
    for (int32_t i = 1; i <= kListFileMaxEntryKeys && EntryCount() < kMaxEntries && readStoppedAt == 0; ++i) {
        std::u16string_view value = values.Value(i);
        if (value.empty()) break;
        int32_t number = 0;
        uint32_t recordId = 0;
        if (!ParseListFileEntry(value, &number, &recordId) || number >= static_cast<int32_t>(numbered.size())) {
            refuse(i, value);
            continue;
        }
        RDFDictionary* dictionary = numbered[static_cast<size_t>(number)];
        if (dictionary == nullptr || (dictionary->flags & kDictionaryHidden) != 0) {
            const std::u16string& missing = paths[static_cast<size_t>(number)];
            auto known = std::find(unresolvedPaths_.begin(), unresolvedPaths_.end(), missing);
            if (known == unresolvedPaths_.end()) known = unresolvedPaths_.insert(known, missing);
            unresolved_.push_back({static_cast<int32_t>(known - unresolvedPaths_.begin()), recordId});
            continue;
        }
        if ((dictionary->flags & kDictionaryOpen) != 0 && !articles.Holds(*dictionary, recordId)) {
            refuse(i, value);
            continue;
        }
        WordListEntry* entry = NewEntry();
        entry->dictionary = dictionary;
        entry->recordId = recordId;
        if ((dictionary->flags & kDictionaryOpen) != 0) ListEntry(EntryCount() - 1);
    }
    fileName = file;
    flags &= ~kListModified;
    // The list keeps the order its header shows, not the file's.
    if (sortMode != 0) Sort();
    // Told once for the file as it is: the entries stay in it until a save
    // writes the list again, and a later load of the same bytes says nothing.
    if (refusedCount > 0) {
        const std::u16string stamp = files.Stamp(file);
        if (stamp.empty() || files.RefusalsToldFor(file) != stamp) {
            if (readStoppedAt > 0) refused += u"\n" + FormattedNumber(UIExtra(UIExtraText::kListReadStopped), readStoppedAt);
            ShowPathMessageText(UIExtra(UIExtraText::kListEntriesOfNoArticle), kCannotReadFileCaption, file,
                                std::u16string_view(refused).substr(1));
            files.NoteRefusalsTold(file, stamp);
        }
    }
    return 0;
}

bool WordList::SaveTo(IListFileStore& files, std::u16string_view path, std::u16string& failure) {
    RemoveStaleTemporaries(files, path);
    std::u16string temporary = LeftoverTemporaryPath(path, 0);
    for (int32_t n = 1; files.FileExists(temporary) && n < kMaxTemporaries; ++n)
        temporary = LeftoverTemporaryPath(path, n);
    std::unique_ptr<IProfileStore> writer = files.CreateForWriting(temporary);
    if (!writer) {
        failure = files.LastFailure();
        return false;
    }

    std::vector<std::u16string> dictionaryPaths;
    auto numberOf = [&](std::u16string_view dictionaryPath) {
        for (size_t i = 0; i < dictionaryPaths.size(); ++i)
            if (SamePath(dictionaryPaths[i], dictionaryPath)) return static_cast<int32_t>(i + 1);
        dictionaryPaths.emplace_back(dictionaryPath);
        return static_cast<int32_t>(dictionaryPaths.size());
    };
    std::vector<std::pair<int32_t, uint32_t>> written;
    for (const WordListEntry& entry : entries_)
        if (entry.dictionary != nullptr) written.emplace_back(numberOf(entry.dictionary->File().path), entry.recordId);
    for (const UnresolvedEntry& entry : unresolved_)
        written.emplace_back(numberOf(unresolvedPaths_[static_cast<size_t>(entry.path)]), entry.recordId);

    bool ok = true;
    for (size_t i = 0; i < dictionaryPaths.size() && ok; ++i)
        ok = writer->Write(kDictionariesSection, Numbered(u"File", static_cast<int64_t>(i) + 1), dictionaryPaths[i]);
    for (size_t i = 0; i < written.size() && ok; ++i) {
        std::u16string value = Numbered(u"", written[i].first) + u"," + Numbered(u"", written[i].second);
        ok = writer->Write(kEntriesSection, Numbered(u"Entry", static_cast<int64_t>(i) + 1), value);
    }
    if (!ok) failure = files.LastFailure();
    writer.reset();  // the profile functions have let go of the file
    if (ok && files.Replace(temporary, path)) return true;
    if (ok) failure = files.LastFailure();
    files.Delete(temporary);
    return false;
}

int32_t WordList::SaveFile(IListFileStore& files, std::u16string_view path) {
    std::u16string file(path);
    if (file.empty()) {
        file = files.ChooseFile(true, UIStringTable[295], DataFolderWithSeparator());
        if (file.empty()) return 0;
        if (!HasExtension(file)) file += kListFileExtension;
    }
    std::u16string failure;
    if (!SaveTo(files, file, failure)) {
        App().ShowMessage(SaveFailureText(file, failure), UIExtra(UIExtraText::kSaveFailed), kWarningOk);
        return 0;
    }
    fileName = file;
    flags &= ~kListModified;
    return kListSaved;
}

int32_t WordList::SaveBeforeExit(IListFileStore& files) {
    std::u16string file = fileName;
    while ((flags & kListModified) != 0) {
        std::u16string failure;
        if (!file.empty() && SaveTo(files, file, failure)) {
            fileName = file;
            flags &= ~kListModified;
            break;
        }
        // Told with the file and the reason; the user saves elsewhere, or
        // leaves the changes behind knowing it, or goes back to the program.
        std::u16string text = file.empty() ? std::u16string() : SaveFailureText(file, failure) + u"\n\n";
        text += UIExtra(UIExtraText::kSaveListElsewhere);
        const int32_t answer = App().ShowMessage(text, UIExtra(UIExtraText::kSaveFailed), kYesNoCancelWarning);
        if (answer == kAnswerCancel) return kListCloseCancelled;
        if (answer != kAnswerYes) {
            flags &= ~kListModified;
            break;
        }
        std::u16string chosen = files.ChooseFile(true, UIStringTable[295], DataFolderWithSeparator());
        if (chosen.empty()) continue;
        if (!HasExtension(chosen)) chosen += kListFileExtension;
        file = chosen;
    }
    return 0;
}
int32_t WordList::ConfirmClose(IListFileStore& files) {
    if (!SaveIfAsked(files)) return kListCloseCancelled;
    Clear();
    flags &= ~kListModified;
    return 0;
}
