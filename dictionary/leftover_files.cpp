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

// "<target>.tmp~" or "<target>.<digits>.tmp~".
bool IsTemporaryOf(std::u16string_view name, std::u16string_view target) {
    if (name.size() < target.size() + kTemporarySuffix.size() || !SameName(name.substr(0, target.size()), target) ||
        !EndsWith(name, kTemporarySuffix))
        return false;
    const std::u16string_view middle =
        name.substr(target.size(), name.size() - target.size() - kTemporarySuffix.size());
    if (middle.empty()) return true;
    if (middle.size() < 2 || middle[0] != u'.') return false;
    for (char16_t c : middle.substr(1))
        if (c < u'0' || c > u'9') return false;
    return true;
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

// The file a leftover name stands beside, empty when the name is none.
std::u16string TargetOfLeftover(std::u16string_view name) {
    for (std::u16string_view suffix : {kOptimizedSuffix, kBookLoadCopySuffix})
        if (EndsWith(name, suffix)) return std::u16string(name.substr(0, name.size() - suffix.size()));
    if (!EndsWith(name, kTemporarySuffix)) return {};
    std::u16string_view target = name.substr(0, name.size() - kTemporarySuffix.size());
    // A numbered one: the digits and their "." go too.
    size_t digits = target.size();
    while (digits > 0 && target[digits - 1] >= u'0' && target[digits - 1] <= u'9') --digits;
    if (digits < target.size() && digits > 0 && target[digits - 1] == u'.') target = target.substr(0, digits - 1);
    return std::u16string(target);
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
        if (IsTemporaryOf(name, parts.name)) doomed.push_back(name);
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
    const std::u16string optimized = OptimizedDictionaryPath(parts.name);
    std::vector<std::u16string> doomed;
    for (const std::u16string& name : FileNames(parts.folder))
        if (IsTemporaryOf(name, parts.name) || SameName(name, optimized) || IsTemporaryOf(name, optimized))
            doomed.push_back(name);
    return tidied + DeleteWithJournals(parts.folder, doomed);
}

int32_t TidyFolderLeftovers(std::u16string_view folder) {
    std::u16string prefix(folder);
    if (!prefix.empty() && prefix.back() != u'\\' && prefix.back() != u'/')
        prefix += prefix.find(u'\\') != std::u16string::npos ? u'\\' : u'/';
    std::vector<std::u16string> targets;
    for (const std::u16string& name : FileNames(prefix)) {
        std::u16string target = TargetOfLeftover(name);
        // An optimised file's own temporary belongs to the dictionary.
        if (EndsWith(target, kOptimizedSuffix)) target.resize(target.size() - kOptimizedSuffix.size());
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
