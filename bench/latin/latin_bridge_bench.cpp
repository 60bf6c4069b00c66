// The storage cost of the Latin analyser's host callbacks: the same words
// analysed through the host bridge over the compiled word list and through
// the in-memory host, in one run (aim: the bridge within 2x), and the time
// to compile the word list with its data files and stem index. The word list
// is the one a user gets, converted from collatinus's lexicon (23,000
// entries); without the converter, the project's own list.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/tests/test_files.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/word_list.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/latin_word_list.h"
#include "latin/coded_output.h"
#include "latin/latin_bridge.h"
#include "latin/memory_host.h"
#include "latin/tests/collatinus_text.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

const std::string kData = std::string(OSTREL_BINARY_DIR) + "/latin/data/";
std::vector<std::string> g_words;

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Lays the word list and its two data files out in `folder`: the list
// converted from collatinus where the converter runs, else the project's.
std::string LayOutWordList(const std::filesystem::path& folder) {
    for (const char* name : {"words.txt", "INFLECTS.SEC", "ADDONS.LAT"})
        std::filesystem::copy_file(kData + name, folder / name, std::filesystem::copy_options::overwrite_existing);
    const std::string convert = "python3 " OSTREL_SOURCE_DIR "/tools/latin_wordlist/collatinus_wordlist.py --out '" +
                                (folder / "converted.txt").string() + "' --report /dev/null";
    if (std::system(convert.c_str()) != 0) return "the project's word list";
    std::filesystem::rename(folder / "converted.txt", folder / "words.txt");
    return "the word list converted from collatinus";
}

// The word list laid out in `folder` compiled into `target`.
void CompileWordList(const std::filesystem::path& folder, const std::u16string& target) {
    std::filesystem::remove(std::filesystem::path(target));
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    dictionary.conversionState = kConversionAddsForms;
    SilentCompileUi ui;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    const std::u16string source = (folder / "words.txt").u16string();
    converter.Convert(DetectDictionaryFileFormat(source.c_str()), source, target);
}

void BM_CompileWordList(benchmark::State& state) {
    ScratchFolder folder("latin-bench-compile");
    LayOutWordList(folder.path());
    for (auto _ : state) CompileWordList(folder.path(), (folder.path() / "latin.qdx").u16string());
}
BENCHMARK(BM_CompileWordList)->Unit(benchmark::kMillisecond);

// Median time per word of `analyse` over the words.
template <typename Analyse>
double MedianMicroseconds(Analyse analyse) {
    std::vector<double> times;
    for (const std::string& word : g_words) {
        const auto start = std::chrono::steady_clock::now();
        analyse(word);
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    for (const char* file : {"lemmes.la"}) {
        std::ifstream in(CollatinusFile(file));
        int n = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '!' || n++ % 10 != 0) continue;
            std::string word;
            for (char c : Normal(Split(line, '|')[0])) {
                if (c >= 'a' && c <= 'z') word += c;
            }
            if (word.size() > 1) g_words.push_back(word);
        }
    }
    if (g_words.empty()) {
        std::fprintf(stderr, "latin_bridge_bench: collatinus gives no words\n");
        return 1;
    }
    ScratchFolder folder("latin-bench-bridge");
    const std::u16string file = (folder.path() / "latin.qdx").u16string();
    const std::string listName = LayOutWordList(folder.path());
    CompileWordList(folder.path(), file);

    CDMS engine(SystemStorageIO());
    RDFDictionary dictionary(0, engine);
    dictionary.File().SetPath(file.c_str());
    if (dictionary.Open(0) != 0) {
        std::fprintf(stderr, "latin_bridge_bench: the compiled word list does not open\n");
        return 1;
    }
    WordList list(nullptr, kListTranslatedWords);
    list.AddDictionary(&dictionary);
    LatinBridge bridge;
    const double bridged = MedianMicroseconds([&](const std::string& word) {
        list.Clear();
        bridge.Analyse(Wide(word), &dictionary, list);
    });
    list.ForgetDictionary(&dictionary);

    MemoryLatinHost memory;
    std::string error;
    memory.LoadFolder(folder.path().string(), &error);
    memory.Install();
    const double inMemory = MedianMicroseconds([&](const std::string& word) {
        LoadLatinData();   // as the bridge does for every text
        CStringBuilder text;
        CodedLineWriter out(text);
        Translate(out, word.c_str());
    });
    std::printf("%s, words %zu: median through the bridge %.0f us, in memory %.0f us, ratio %.2f\n",
                listName.c_str(), g_words.size(), bridged, inMemory, bridged / inMemory);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
