// Time per keystroke of the phrase split: EDICT (reading and kanji indexes,
// as "edict.qdx", so particles count) and ENAMDICT open in the translated-words
// list; each keystroke splits the typed prefix (2 units or more) of a kana key
// cut from the Japanese manual pages, with the options search as you type
// sets. Beside it, MeCab analyses the same prefixes. Median and worst
// keystroke are reported as counters, and the worst up to 30 units.
#include <benchmark/benchmark.h>
#include <mecab.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench/bench_support.h"
#include "bench/dictionary_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "japanese/phrase_parse.h"
#include "japanese/trans_options.h"
#include "japanese/translator.h"
#include "storage/dms.h"
#include "storage/tests/edict_keys.h"

namespace {

struct Fixture {
    CDMS engine{SystemStorageIO()};
    CInput input;
    std::unique_ptr<CShelf> shelf;
    ostrel::japanese::CTransOptions options;
    std::unique_ptr<ostrel::japanese::CTranslate> translator;
    std::vector<std::u16string> keystrokes;
    std::vector<std::string> keystrokesUtf8;
    mecab_t* mecab = nullptr;
};
Fixture* g = nullptr;

// The manual-page keys, made by the tests' key maker; every fourth one.
std::vector<std::u16string> Keys(const std::string& dir) {
    const std::string out = dir + "/phrase_bench_keys.txt";
    const std::string command =
        std::string("python3 ") + SourcePath("/japanese/tests/make_phrase_keys.py mecab ") + out;
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(out, std::ios::binary);
    std::vector<std::u16string> keys;
    std::string line;
    for (size_t n = 0; std::getline(in, line); ++n) {
        line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
        if (n % 4 == 0 && !line.empty()) keys.push_back(Utf8ToUtf16(line));
    }
    return keys;
}

void Setup() {
    if (g != nullptr) return;
    g = new Fixture;
    g->shelf = std::make_unique<CShelf>(g->engine, nullptr, g->input);
    const std::string dir = BinaryPath();
    const std::u16string folder(dir.begin(), dir.end());
    MakeKeyDictionary(g->engine, folder + u"/edict.qdx", LoadEdictKeys(400000), true);
    MakeKeyDictionary(g->engine, folder + u"/enamdict.qdx",
                      LoadEdictKeys(800000, OSTREL_HOST_ROOT "/usr/share/edict/enamdict"), true);
    for (const char16_t* name : {u"/edict.qdx", u"/enamdict.qdx"}) {
        g->shelf->AddDictionary(kDictionaryStoreDatabase, folder + name)->Open(2);
    }
    g->shelf->Refresh();
    g->options.underCursor = 0;
    g->options.minKanaLength = 2;
    g->options.skipNamesDictionary = 1;
    g->translator = std::make_unique<ostrel::japanese::CTranslate>(g->options);
    for (const std::u16string& key : Keys(dir)) {
        for (size_t n = 2; n <= key.size(); ++n) {
            g->keystrokes.push_back(key.substr(0, n));
            g->keystrokesUtf8.push_back(Utf16ToUtf8(g->keystrokes.back()));
        }
    }
    g->mecab = mecab_new2("-Owakati");
    std::fprintf(stderr, "%zu keystrokes\n", g->keystrokes.size());
}

size_t Split(size_t i) {
    WordList& list = *g->shelf->GetWordList(kListTranslatedWords);
    ostrel::japanese::ParsePhrase(*g->translator, list, g->keystrokes[i], 0);
    return static_cast<size_t>(list.RowCount());
}

size_t Mecab(size_t i) {
    const char* result = mecab_sparse_tostr(g->mecab, g->keystrokesUtf8[i].c_str());
    return result != nullptr ? std::strlen(result) : 0;
}

template <size_t (*Keystroke)(size_t)>
void Latency(benchmark::State& state) {
    Setup();
    if (g->keystrokes.empty() || g->mecab == nullptr) {
        state.SkipWithError("no keys or no MeCab");
        return;
    }
    std::vector<double> times, upTo30;
    for (auto _ : state) {
        times.clear();
        upTo30.clear();
        for (size_t i = 0; i < g->keystrokes.size(); ++i) {
            auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(Keystroke(i));
            const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            times.push_back(us);
            if (g->keystrokes[i].size() <= 30) upTo30.push_back(us);
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
    state.counters["worst30_us"] = upTo30.empty() ? 0 : *std::max_element(upTo30.begin(), upTo30.end());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * g->keystrokes.size()));
}

BENCHMARK_TEMPLATE(Latency, Split)->Name("PhraseSplit/Keystroke")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_TEMPLATE(Latency, Mecab)->Name("PhraseSplit/MeCab")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double split = reporter.times["PhraseSplit/Keystroke"], mecab = reporter.times["PhraseSplit/MeCab"];
    if (split > 0 && mecab > 0) std::printf("split / MeCab time per keystroke: %.1f\n", split / mecab);
    if (g != nullptr && g->mecab != nullptr) mecab_destroy(g->mecab);
    return 0;
}
