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
//   latintool rows --dictionary FILE.qdx [--dictionary FILE.qdx]...
//                                 each line of standard input typed into the
//                                 input line of the Translation tab, over these
//                                 dictionaries in their order: per word, the
//                                 first row the tab lists (see PrintFirstRow)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/word_list.h"
#include "latin/analysis_driver.h"
#include "latin/coded_output.h"

#include "latin/dictionary_entry.h"
#include "latin/dictionary_form.h"
#include "latin/latin_bridge.h"
#include "latin/memory_host.h"
#include "latin/western_lookup.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: latintool forms --data DIR\n       latintool analyse --data DIR [--timing]\n"
                         "       latintool analyse --dictionary FILE.qdx\n"
                         "       latintool rows --dictionary FILE.qdx [--dictionary FILE.qdx]...\n");
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

// One line for the first row of a word: "entry N ID" for an article (the
// N-th dictionary given, from 1, and the record id), "text LINE" for a row of
// its own text (its first line: an addon, a numeral, a name), or "none".
void PrintFirstRow(const WordList& list, const std::vector<std::unique_ptr<RDFDictionary>>& dictionaries,
                   int32_t first, std::u16string_view word) {
    std::string line = Utf16ToUtf8(word) + "\t";
    if (first >= list.EntryCount()) {
        line += "none";
    } else if (const WordListEntry& row = list.EntryAt(first); row.dictionary != nullptr) {
        size_t n = 0;
        while (n < dictionaries.size() && dictionaries[n].get() != row.dictionary) ++n;
        line += "entry " + std::to_string(n + 1) + " " + std::to_string(row.recordId);
    } else {
        std::u16string_view text = (row.flags & kEntryOwnText) != 0 ? list.PoolText(row.textOffset, row.textLength)
                                                                     : std::u16string_view();
        line += "text " + Utf16ToUtf8(text.substr(0, text.find(u'\n')));
    }
    std::puts(line.c_str());
}

// Each line of standard input as the Translation tab's input line holds it:
// every word of it looked up as the tab looks it up.
int PrintFirstRows(const std::vector<std::string>& paths) {
    CDMS engine(SystemStorageIO());
    std::vector<std::unique_ptr<RDFDictionary>> dictionaries;
    WordList list(nullptr, kListTranslatedWords);
    for (const std::string& path : paths) {
        auto dictionary = std::make_unique<RDFDictionary>(0, engine);
        const std::u16string file = Utf8ToUtf16(path);
        if (!dictionary->File().SetPath(file.c_str()) || dictionary->Open(0) != 0) {
            std::fprintf(stderr, "latintool: %s cannot be opened\n", path.c_str());
            for (auto& open : dictionaries) list.ForgetDictionary(open.get());
            return 1;
        }
        list.AddDictionary(dictionary.get());
        dictionaries.push_back(std::move(dictionary));
    }
    LatinBridge bridge;
    const LatinAnalyser analyse = [&bridge](std::u16string_view text, RDFDictionary* dictionary, WordList& into) {
        return AnalyseThroughBridge(&bridge, text, dictionary, into);
    };
    std::string line;
    int status = 0;
    while (status == 0 && std::getline(std::cin, line)) {
        CInput input;
        input.SetText(Utf8ToUtf16(line));
        const int32_t count = input.SplitWords();
        for (int32_t w = 0; w < count; ++w) {
            std::u16string word;
            int32_t first = 0, last = 0;
            if (input.GetWordText(w, &word) == 0 || input.GetWordRange(w, first, last) == 0) continue;
            list.Clear();
            LookUpWesternWord(list, word, first, last - first, analyse);
            if (!bridge.Fault().empty()) {
                std::fprintf(stderr, "latintool: %s\n", Utf16ToUtf8(bridge.Fault()).c_str());
                status = 1;
                break;
            }
            PrintFirstRow(list, dictionaries, 0, word);
        }
    }
    for (auto& open : dictionaries) list.ForgetDictionary(open.get());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    std::string data, dictionary;
    std::vector<std::string> dictionaries;
    bool timing = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) data = argv[++i];
        else if (std::strcmp(argv[i], "--dictionary") == 0 && i + 1 < argc) dictionaries.push_back(dictionary = argv[++i]);
        else if (std::strcmp(argv[i], "--timing") == 0) timing = true;
        else return Usage();
    }
    if (command == "rows") return dictionaries.empty() || !data.empty() ? Usage() : PrintFirstRows(dictionaries);
    if (dictionaries.size() > 1) return Usage();
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
