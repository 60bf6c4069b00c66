// Leftover files: their names, and their removal through the file-replace
// layer (a file another program still holds open is not deleted on
// Windows, and stays). The folder is listed through std::filesystem with
// error codes; what still throws is caught and answered as an empty folder.
#include "dictionary/leftover_files.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <vector>

#include "dictionary/file_replace.h"
#include "storage/database_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kTemporarySuffix = u".tmp~";
constexpr std::u16string_view kOptimizedSuffix = u".new~";
constexpr std::u16string_view kBookLoadCopySuffix = u".books~";
constexpr std::u16string_view kDictionaryExtension = u".qdx";

char16_t Folded(char16_t c) {
#ifdef _WIN32
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;  // names differ only in case: one file
#else
    return c;
#endif
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Folded(a[i]) != Folded(b[i])) return false;
    return true;
}

bool EndsWith(std::u16string_view name, std::u16string_view suffix) {
    return name.size() > suffix.size() && SameName(name.substr(name.size() - suffix.size()), suffix);
}

// A dictionary's file name, its extension in any case.
bool IsDictionaryName(std::u16string_view name) {
    if (name.size() <= kDictionaryExtension.size()) return false;
    const std::u16string_view tail = name.substr(name.size() - kDictionaryExtension.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        const char16_t c = tail[i] >= u'A' && tail[i] <= u'Z' ? char16_t(tail[i] + 32) : tail[i];
        if (c != kDictionaryExtension[i]) return false;
    }
    return true;
}

struct SplitPath {
    std::u16string_view folder;  // with its closing separator; empty for a bare name
    std::u16string_view name;
};

SplitPath Split(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    if (slash == std::u16string_view::npos) return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The names of the files in a folder (empty when it cannot be listed).
std::vector<std::u16string> FileNames(std::u16string_view folder) try {
    std::vector<std::u16string> names;
    std::error_code error;
    const fs::path where = folder.empty() ? fs::path(u".") : fs::path(std::u16string(folder));
    for (fs::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (it->is_regular_file(kind)) names.push_back(it->path().filename().u16string());
    }
    return names;
} catch (const std::exception&) {
    return {};
}

// The length of `name` without its last leftover suffix (".tmp~",
// ".<digits>.tmp~", ".new~", ".books~"), or npos when it has none.
size_t WithoutLeftoverSuffix(std::u16string_view name) {
    for (std::u16string_view suffix : {kOptimizedSuffix, kBookLoadCopySuffix})
            if (EndsWith(name, suffix)) return name.size() - suffix.size();
    if (!EndsWith(name, kTemporarySuffix)) return std::u16string_view::npos;
    const size_t end = name.size() - kTemporarySuffix.size();
    size_t digits = end;
    while (digits > 0 && name[digits - 1] >= u'0' && name[digits - 1] <= u'9') --digits;
    // A numbered one: the digits and their "." go too.
    return digits < end && digits > 1 && name[digits - 1] == u'.' ? digits - 1 : end;
}

// The file a leftover name was made for, through leftovers of leftovers (a
// compile's copy of a book load's copy: "<name>.1.tmp~.tmp~"); empty when the
// name is no leftover. Read from the right, so only a guess for a name that
// itself ends in digits: IsLeftoverOf decides.
std::u16string_view OwnerOf(std::u16string_view name) {
    size_t end = WithoutLeftoverSuffix(name);
    if (end == std::u16string_view::npos) return {};
    for (size_t inner; (inner = WithoutLeftoverSuffix(name.substr(0, end))) != std::u16string_view::npos;)
        end = inner;
    return name.substr(0, end);
}

// The length of the leftover suffix `rest` begins with, 0 when none;
// `temporary` tells whether it is a temporary's.
size_t LeadingSuffix(std::u16string_view rest, bool& temporary) {
    temporary = false;
    for (std::u16string_view suffix : {kOptimizedSuffix, kBookLoadCopySuffix})
        if (rest.size() >= suffix.size() && SameName(rest.substr(0, suffix.size()), suffix)) return suffix.size();
    size_t digits = 1;
    while (digits < rest.size() && rest[digits] >= u'0' && rest[digits] <= u'9') ++digits;
    const size_t at = digits > 1 ? digits : 0;  // ".<digits>" before ".tmp~", or nothing
    if (!rest.empty() && rest[0] == u'.' && rest.size() >= at + kTemporarySuffix.size() &&
        SameName(rest.substr(at, kTemporarySuffix.size()), kTemporarySuffix)) {
        temporary = true;
        return at + kTemporarySuffix.size();
    }
    return 0;
}

// `name` is `target` followed by one or more leftover suffixes, the last a
// temporary's when `temporaryLast`.
bool IsLeftoverOf(std::u16string_view name, std::u16string_view target, bool temporaryLast) {
    if (name.size() <= target.size() || !SameName(name.substr(0, target.size()), target)) return false;
    bool temporary = false;
    for (std::u16string_view rest = name.substr(target.size()); !rest.empty();) {
        const size_t n = LeadingSuffix(rest, temporary);
        if (n == 0) return false;
        rest.remove_prefix(n);
    }
    return temporary || !temporaryLast;
}

// Deletes the files named and then the journals they leave that no other
// file of the folder owns; the number of files deleted.
int32_t DeleteWithJournals(std::u16string_view folder, const std::vector<std::u16string>& doomed) {
    int32_t deleted = 0;
    std::vector<std::u16string> journals;
    for (const std::u16string& name : doomed) {
        const std::u16string path = std::u16string(folder) + name;
        if (!file_replace::Delete(path.c_str())) continue;
        ++deleted;
        journals.push_back(JournalPathFor(name));
    }
    if (journals.empty()) return deleted;
    const std::vector<std::u16string> remaining = FileNames(folder);
    for (const std::u16string& journal : journals) {
        bool owned = false, present = false;
        for (const std::u16string& other : remaining) {
            if (SameName(other, journal)) present = true;
            else if (SameName(JournalPathFor(other), journal)) owned = true;
        }
        if (present && !owned && file_replace::Delete((std::u16string(folder) + journal).c_str())) ++deleted;
    }
    return deleted;
}

}  // namespace

std::u16string LeftoverTemporaryPath(std::u16string_view target, int32_t n) {
    std::u16string path(target);
    if (n > 0) {
        std::u16string digits;
        for (int32_t v = n; v > 0; v /= 10) digits.insert(digits.begin(), char16_t(u'0' + v % 10));
        path += u'.';
        path += digits;
    }
    return path += kTemporarySuffix;
}

std::u16string OptimizedDictionaryPath(std::u16string_view dictionary) {
    return std::u16string(dictionary).append(kOptimizedSuffix);
}

int32_t RemoveLeftoverTemporaries(std::u16string_view target) {
    const SplitPath parts = Split(target);
    if (parts.name.empty()) return 0;
    std::vector<std::u16string> doomed;
    for (const std::u16string& name : FileNames(parts.folder))
        if (IsLeftoverOf(name, parts.name, true)) doomed.push_back(name);
    return DeleteWithJournals(parts.folder, doomed);
}

int32_t TidyDictionaryLeftovers(std::u16string_view dictionary) {
    const SplitPath parts = Split(dictionary);
    if (parts.name.empty()) return 0;
    int32_t tidied = 0;
    const std::u16string kept = std::u16string(dictionary).append(kBookLoadCopySuffix);
    if (file_replace::IsFile(kept.c_str()) &&
        file_replace::MoveReplacing(kept.c_str(), std::u16string(dictionary).c_str()) == 0)
        ++tidied;
    std::vector<std::u16string> doomed;
    for (const std::u16string& name : FileNames(parts.folder))
        if (IsLeftoverOf(name, parts.name, false)) doomed.push_back(name);
    return tidied + DeleteWithJournals(parts.folder, doomed);
}

int32_t TidyFolderLeftovers(std::u16string_view folder) {
    std::u16string prefix(folder);
    if (!prefix.empty() && prefix.back() != u'\\' && prefix.back() != u'/')
        prefix += prefix.find(u'\\') != std::u16string::npos ? u'\\' : u'/';
    std::vector<std::u16string> targets;
    for (const std::u16string& name : FileNames(prefix)) {
        std::u16string target(OwnerOf(name));
        // Only dictionaries' leftovers: an export's waits for the next
        // export to its file, and a name of the user's is never guessed at.
        if (!IsDictionaryName(target)) continue;
        bool seen = false;
        for (const std::u16string& t : targets) seen = seen || SameName(t, target);
        if (!seen) targets.push_back(std::move(target));
    }
    int32_t tidied = 0;
    for (const std::u16string& target : targets) tidied += TidyDictionaryLeftovers(prefix + target);
    return tidied;
}
