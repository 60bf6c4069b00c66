// latintool: runs the Latin analyser's data layer over the project's Latin
// data from the command line.
//
//   latintool forms --data DIR    the dictionary form of every word-list entry
//   latintool analyse --data DIR [--timing]
//                                 analyses the lines of standard input; with
//                                 --timing ends with the time per word
//   latintool analyse --dictionary FILE.qdx
//                                 the same through the host bridge over a
//                                 compiled Latin dictionary; input in UTF-8;
//                                 a read the dictionary refuses ends it with 1
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "latin/analysis_driver.h"
#include "latin/coded_output.h"

#include "latin/dictionary_entry.h"
#include "latin/dictionary_form.h"
#include "latin/latin_bridge.h"
#include "latin/memory_host.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: latintool forms --data DIR\n       latintool analyse --data DIR [--timing]\n"
                         "       latintool analyse --dictionary FILE.qdx\n");
    return 2;
}

// The analyser's output is Latin-1 in UTF-16 units; printed as those bytes.
void PrintLatin1(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) bytes += static_cast<char>(unit < 256 ? unit : '?');
    std::fputs(bytes.c_str(), stdout);
}

// Each line's coded output lines; with timing, each word is analysed alone once more
// and timed.
int Analyse(bool timing) {
    std::vector<std::pair<double, std::string>> times;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (LoadLatinData() != 0) {
            std::fprintf(stderr, "latintool: the Latin data cannot be loaded\n");
            return 1;
        }
        CStringBuilder text;
        CodedLineWriter printer(text);
        Translate(printer, line.c_str());
        PrintLatin1(text.View());
        if (!timing) continue;
        size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && line[at] == ' ') ++at;
            size_t end = line.find(' ', at);
            if (end == std::string::npos) end = line.size();
            if (end > at) {
                const std::string word = line.substr(at, end - at);
                CStringBuilder discarded;
                CodedLineWriter alone(discarded);
                const auto start = std::chrono::steady_clock::now();
                Translate(alone, word.c_str());
                const auto spent = std::chrono::steady_clock::now() - start;
                times.push_back({std::chrono::duration<double, std::micro>(spent).count(), word});
            }
            at = end;
        }
    }
    if (timing && !times.empty()) {
        std::sort(times.begin(), times.end());
        const auto& worst = times.back();
        std::printf("words %zu median %.0f us p99 %.0f us worst %.0f us (%s)\n", times.size(),
                    times[times.size() / 2].first, times[times.size() * 99 / 100].first, worst.first,
                    worst.second.c_str());
    }
    return 0;
}

// One line per entry: the record id and its form (or "(no form)").
int PrintForms(const MemoryLatinHost& host) {
    for (size_t i = 0; i < host.entries.size(); ++i) {
        DictionaryEntry entry;
        if (ReadDictionaryEntry(&entry, static_cast<uint32_t>(i + 1)) != 0) return 1;
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        std::printf("%zu\t%s\n", i + 1, form[0] != 0 ? form : "(no form)");
    }
    return 0;
}

// Each line of standard input through the bridge; its coded output and the
// number of rows it added.
int AnalyseWithDictionary(const std::string& path) {
    CDMS engine(SystemStorageIO());
    RDFDictionary dictionary(0, engine);
    const std::u16string file = Utf8ToUtf16(path);
    if (!dictionary.File().SetPath(file.c_str()) || dictionary.Open(0) != 0) {
        std::fprintf(stderr, "latintool: %s cannot be opened\n", path.c_str());
        return 1;
    }
    WordList list(nullptr, kListTranslatedWords);
    list.AddDictionary(&dictionary);
    LatinBridge bridge;
    std::string line;
    while (std::getline(std::cin, line)) {
        list.Clear();
        // Input is UTF-8, as a terminal types it: "Cæsar" reaches the bridge as
        // its ligature, which the bridge folds.
        const int32_t known = bridge.Analyse(Utf8ToUtf16(line), &dictionary, list);
        if (!bridge.Fault().empty()) {
            std::fprintf(stderr, "latintool: %s\n", Utf16ToUtf8(bridge.Fault()).c_str());
            list.ForgetDictionary(&dictionary);
            return 1;
        }
        PrintLatin1(bridge.Output());
        std::printf("=> %d, %d rows\n", known, list.EntryCount());
    }
    list.ForgetDictionary(&dictionary);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    std::string data, dictionary;
    bool timing = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) data = argv[++i];
        else if (std::strcmp(argv[i], "--dictionary") == 0 && i + 1 < argc) dictionary = argv[++i];
        else if (std::strcmp(argv[i], "--timing") == 0) timing = true;
        else return Usage();
    }
    if (command == "analyse" && !dictionary.empty() && data.empty()) return AnalyseWithDictionary(dictionary);
    if (data.empty() || (command != "forms" && command != "analyse")) return Usage();
    MemoryLatinHost host;
    std::string error;
    if (!host.LoadFolder(data, &error)) {
        std::fprintf(stderr, "latintool: %s\n", error.c_str());
        return 1;
    }
    host.Install();
    return command == "forms" ? PrintForms(host) : Analyse(timing);
}
