// The in-memory Latin host: the five callbacks over data in memory.
#include "latin/memory_host.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "latin/data_faults.h"
#include "latin/grammar_codes.h"
#include "latin/inflection_table.h"
#include "latin/stem_lines.h"

namespace {

MemoryLatinHost* g_current = nullptr;

// stem 1 "s", stem 2 empty, stem 3 "fu", stem 4 "fut" in their columns.
const char kBuiltInToBe[] =
    "s                                     fu                 fut                "
    "V      5 1 TO_BE        X X X A X "
    "be; exist; (also used to form verb perfect passive tenses) with NOM PERF PPL;";

void WriteLine(const std::string& text, char* out, int capacity) {
    const int n = std::min<int>(static_cast<int>(text.size()), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

int FindFirstStem(const char* stem, char* line) {
    if (g_current == nullptr) return 255;
    const auto& index = g_current->StemIndex();
    std::string key(stem, strnlen(stem, 79));
    auto it = std::lower_bound(index.begin(), index.end(), key,
        [](const MemoryLatinHost::StemLine& a, const std::string& k) { return a.stem < k; });
    g_current->stemPosition = static_cast<size_t>(it - index.begin());
    if (it == index.end()) return 5;
    WriteLine(it->line, line, kStemIndexLineSize);
    return 0;
}

int FindNextStem(char* line) {
    if (g_current == nullptr) return 255;
    const auto& index = g_current->StemIndex();
    if (g_current->stemPosition + 1 >= index.size()) {
        g_current->stemPosition = index.size();
        return 5;
    }
    ++g_current->stemPosition;
    WriteLine(index[g_current->stemPosition].line, line, kStemIndexLineSize);
    return 0;
}

int ReadEntryText(uint32_t recordId, char* out, int capacity) {
    if (g_current == nullptr) return 255;
    if (recordId < 1 || recordId > g_current->entries.size()) return 4;
    WriteLine(g_current->entries[recordId - 1], out, capacity);
    return 0;
}

int ReadInflects(void* buffer, int section, int size) {
    if (g_current == nullptr) return 255;
    if (section < 1 || section > kSectionCount || size < 0) return 4;
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::memset(bytes, 0, size);
    const size_t start = static_cast<size_t>(section - 1) * kSectionSize;
    for (int i = 0; i < size && i < kSectionSize && start + i < g_current->inflects.size(); ++i)
        bytes[i] = g_current->inflects[start + i];
    return 0;
}

int ReadAddons(void* buffer, int* size) {
    if (g_current == nullptr) return 255;
    if (g_current->addons.empty()) return 4;
    const int n = std::min<int>(*size, static_cast<int>(g_current->addons.size()));
    std::memcpy(buffer, g_current->addons.data(), n);
    *size = n;
    return 0;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* why) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (why != nullptr) *why = std::strerror(errno);
        return false;
    }
    contents->clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, n);
    // A folder opens here but cannot be read: that is no empty file.
    const bool failed = std::ferror(file) != 0;
    if (failed && why != nullptr) *why = std::strerror(errno);
    std::fclose(file);
    if (failed) contents->clear();
    return !failed;
}

bool MemoryLatinHost::LoadFolder(const std::string& folder, std::string* error) {
    std::string text, why;
    auto cannotRead = [&](const char* name) {
        *error = "cannot read " + folder + "/" + name + ": " + why;
        return false;
    };
    if (!ReadWholeFile(folder + "/INFLECTS.SEC", &text, &why)) return cannotRead("INFLECTS.SEC");
    inflects.assign(text.begin(), text.end());
    LatinDataFault fault;
    if (!CheckInflectsFile(inflects.data(), inflects.size(), &fault)) {
        *error = folder + "/" + fault.Describe();
        return false;
    }
    if (!ReadWholeFile(folder + "/ADDONS.LAT", &addons, &why)) return cannotRead("ADDONS.LAT");
    if (!CheckAddonsText(addons.data(), addons.size(), &fault)) {
        *error = folder + "/" + fault.Describe();
        return false;
    }
    if (!ReadWholeFile(folder + "/words.txt", &text, &why)) return cannotRead("words.txt");
    entries.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > static_cast<size_t>(kPartEntryColumn)) entries.push_back(line);
        start = end + 1;
    }
    if (entries.empty()) {
        *error = folder + "/words.txt: no line of the word list is long enough to hold codes";
        return false;
    }
    // As the dictionary compiler does, the list ends with the built-in "to be".
    entries.push_back(kBuiltInToBe);
    BuildStemIndex();
    return true;
}

void MemoryLatinHost::BuildStemIndex() {
    stemIndex_.clear();
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::u16string line(entries[i].begin(), entries[i].end());   // Latin-1
        StemRecords stems;
        LatinLineStems(line, stems);
        for (int r = 0; r < stems.count; ++r) {
            const std::u16string_view stem = StemKeyStem(stems.records[r]);
            char text[kStemIndexLineSize];
            FormatStemIndexLine(text, stem, StemKeyCodes(stems.records[r]), static_cast<uint32_t>(i + 1));
            stemIndex_.push_back({Lower(std::string(stem.begin(), stem.end())), text});
        }
    }
    std::stable_sort(stemIndex_.begin(), stemIndex_.end(),
                     [](const StemLine& a, const StemLine& b) { return a.stem < b.stem; });
}

LatinHostCallbacks MemoryLatinHost::Callbacks() const {
    LatinHostCallbacks callbacks;
    callbacks.findFirstStem = FindFirstStem;
    callbacks.findNextStem = FindNextStem;
    callbacks.readEntryText = ReadEntryText;
    callbacks.readInflects = ReadInflects;
    callbacks.readAddons = ReadAddons;
    return callbacks;
}

MemoryLatinHost::~MemoryLatinHost() {
    if (g_current == this) g_current = nullptr;
}

void MemoryLatinHost::Install() {
    g_current = this;
    InitLatinAnalyser(Callbacks());
}
