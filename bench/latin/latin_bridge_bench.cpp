// The Latin analyser on the program's path: the host bridge over the compiled
// word list, beside the in-memory host over the same list, in one run (aim:
// the bridge within 2x at the median; every word, crafted ones too, under
// 5 ms), and the time to compile the word list with its data files and stem
// index. The word list is the one a user gets, converted from collatinus's
// lexicon (23,000 entries); without the converter, the project's own list.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/latin/latin_word_timing.h"
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
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

std::vector<std::string> g_words;

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

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
    LayOutConvertedWordList(folder.path());
    for (auto _ : state) CompileWordList(folder.path(), (folder.path() / "latin.qdx").u16string());
}
BENCHMARK(BM_CompileWordList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    g_words = ReadWords(CollatinusFile("lemmes.la"), '|', 10);
    if (g_words.empty()) {
        std::fprintf(stderr, "latin_bridge_bench: collatinus gives no words\n");
        return 1;
    }
    ScratchFolder folder("latin-bench-bridge");
    const std::u16string file = (folder.path() / "latin.qdx").u16string();
    const std::string listName =
        LayOutConvertedWordList(folder.path()) ? "the word list converted from collatinus" : "the project's word list";
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
    auto throughBridge = [&](const std::string& word) {
        list.Clear();
        bridge.Analyse(Wide(word), &dictionary, list);
    };
    const WordTimes bridged = TimeWords(g_words, throughBridge);
    const WordTimes craftedBridged = TimeWords(CraftedWords(), throughBridge, 5);
    list.ForgetDictionary(&dictionary);

    MemoryLatinHost memory;
    std::string error;
    memory.LoadFolder(folder.path().string(), &error);
    memory.Install();
    const WordTimes inMemory = TimeWords(g_words, [&](const std::string& word) {
        LoadLatinData();   // as the bridge does for every text
        CStringBuilder text;
        CodedLineWriter out(text);
        Translate(out, word.c_str());
    });
    std::printf("%s, words %zu: median through the bridge %.0f us, in memory %.0f us, ratio %.2f\n",
                listName.c_str(), g_words.size(), bridged.Median(), inMemory.Median(),
                bridged.Median() / inMemory.Median());
    bridged.Print("through the bridge, real words");
    craftedBridged.Print("through the bridge, crafted words");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
