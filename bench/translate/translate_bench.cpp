// The word translator over the prose of Debian's Japanese manual pages, with
// EDICT and ENAMDICT open as the program opens them (compiled by qdxc with
// its defaults), beside MeCab on the same text in the same run. Reported:
// characters per second of both and the ratio, the latency of one
// 255-character translation (median, 99th percentile and worst) and the peak
// memory of the process. Apart, about 2,000 kana of the same prose pasted as
// one line against the same kana as lines of about 100: both list the same
// rows, in about the same time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/compiled_dictionaries.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "japanese/trans_options.h"
#include "japanese/translator.h"
#include "storage/dms.h"

namespace {

using ostrel::japanese::CTranslate;
using ostrel::japanese::CTransOptions;

struct Fixture {
    CDMS engine{SystemStorageIO()};
    CInput input;
    std::unique_ptr<CShelf> shelf;
    CTransOptions options;
    std::unique_ptr<CTranslate> translator;
    std::string proseFile;
    std::vector<std::u16string> lines;
    size_t characters = 0;
};
Fixture* g = nullptr;

void Setup() {
    if (g != nullptr) return;
    g = new Fixture;
    const std::string dir = BinaryPath();
    g->proseFile = dir + "/translate_prose.txt";
    const std::string make = std::string("python3 ") + SourcePath("/tools/jtrans/mecab_agreement.py --prose ") + g->proseFile;
    if (std::system(make.c_str()) != 0) std::fprintf(stderr, "no prose (manpages-ja missing?)\n");
    std::ifstream in(g->proseFile);
    for (std::string line; std::getline(in, line);) {
        g->lines.push_back(Utf8ToUtf16(line));
        g->characters += g->lines.back().size();
    }
    g->shelf = std::make_unique<CShelf>(g->engine, nullptr, g->input);
    for (const char* name : {"edict", "enamdict"}) {
        const std::u16string file = CompiledDebianDictionary(name);
        if (file.empty()) {
            std::fprintf(stderr, "%s could not be compiled\n", name);
            std::exit(1);
        }
        g->shelf->AddDictionary(kDictionaryStoreDatabase, file)->Open(2);
    }
    g->shelf->Refresh();
    g->translator = std::make_unique<CTranslate>(g->options);
    std::fprintf(stderr, "%zu lines, %zu characters of prose\n", g->lines.size(), g->characters);
}

WordList& List() { return *g->shelf->GetWordList(kListTranslatedWords); }

// With OSTREL_TRANSLATE_DUMP=<file>, every entry of every translation of the
// 255-character texts, one line each, so that two builds can be compared
// with diff: the output must not change when only the speed does.
void DumpTranslation(std::FILE* out, size_t text) {
    const WordList& list = List();
    for (int32_t i = 0; i < list.EntryCount(); ++i) {
        const WordListEntry& e = list.EntryAt(i);
        const std::string file = e.dictionary != nullptr ? Utf16ToUtf8(e.dictionary->File().path) : "";
        std::fprintf(out, "%zu %d %x %d+%d %s %u %u %u %d", text, i, e.flags, e.matchStart, e.matchLength,
                     file.substr(file.find_last_of('/') + 1).c_str(), e.indexId, e.recordId, e.subEntry,
                     e.priority);
        for (uint8_t tag : e.tags) std::fprintf(out, " %u", tag);
        std::fprintf(out, " %s|%s\n", Utf16ToUtf8({e.reading, static_cast<size_t>(std::max(e.readingLength, 0))}).c_str(),
                     Utf16ToUtf8({e.word, static_cast<size_t>(std::max(e.wordLength, 0))}).c_str());
    }
}

// Every line, in pieces of at most 1023 units, as jtrans reads its input.
void BM_TranslateProse(benchmark::State& state) {
    Setup();
    size_t hits = 0;
    for (auto _ : state) {
        for (const std::u16string& line : g->lines) {
            for (size_t at = 0; at < line.size(); at += ostrel::japanese::kMaxTranslatedUnits) {
                g->translator->Translate(List(), std::u16string_view(line).substr(at, 1023), 2, 0);
                hits += static_cast<size_t>(List().RowCount());
            }
        }
    }
    state.counters["chars_per_s"] = benchmark::Counter(static_cast<double>(g->characters) * state.iterations(),
                                                       benchmark::Counter::kIsRate);
    state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TranslateProse)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// MeCab with the IPA dictionary over the same file, as a separate process.
void BM_MecabProse(benchmark::State& state) {
    Setup();
    const std::string run = "mecab < " + g->proseFile + " > /dev/null";
    for (auto _ : state)
        if (std::system(run.c_str()) != 0) state.SkipWithError("mecab did not run");
    state.counters["chars_per_s"] = benchmark::Counter(static_cast<double>(g->characters) * state.iterations(),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MecabProse)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// One translation of 255 characters, as a Find or the text under the mouse
// gives: windows of the prose joined into one stream, median and worst. The
// translator keeps its index walks from one text to the next; with
// `freshWalks` they are dropped before each text (untimed), so each text
// costs what the first text after a change to a file costs.
void TranslateTexts(benchmark::State& state, bool freshWalks) {
    Setup();
    std::u16string stream;
    for (const std::u16string& line : g->lines) {
        stream += line;
        if (stream.size() > 255 * 2000) break;
    }
    std::vector<double> times;
    const char* dumpFile = std::getenv("OSTREL_TRANSLATE_DUMP");
    const std::string dumpName = dumpFile != nullptr ? std::string(dumpFile) + (freshWalks ? ".fresh" : "") : "";
    std::FILE* dump = dumpFile != nullptr ? std::fopen(dumpName.c_str(), "w") : nullptr;
    const CCache::Counters cacheBefore = g->engine.GetCacheCounters();
    g->translator->ForgetIndexWalks();
    for (auto _ : state) {
        times.clear();
        for (size_t at = 0; at + 255 <= stream.size(); at += 255) {
            if (freshWalks) g->translator->ForgetIndexWalks();
            const auto start = std::chrono::steady_clock::now();
            g->translator->Translate(List(), std::u16string_view(stream).substr(at, 255), 2, 0);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (dump != nullptr) DumpTranslation(dump, at / 255);
        }
    }
    if (dump != nullptr) std::fclose(dump);
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
        state.counters["median_ms"] = times[times.size() / 2];
        state.counters["p99_ms"] = times[times.size() * 99 / 100];
        state.counters["worst_ms"] = times.back();
        state.counters["texts"] = static_cast<double>(times.size());
        // Per text: pages asked of the cache, and of those the ones it had to
        // bring in, from the store of inflated images or from the file.
        const CCache::Counters cache = g->engine.GetCacheCounters();
        const double texts = static_cast<double>(times.size());
        state.counters["page_lookups"] = (cache.lookups - cacheBefore.lookups) / texts;
        state.counters["page_loads"] = (cache.loads - cacheBefore.loads) / texts;
        state.counters["image_loads"] = (cache.storedImages - cacheBefore.storedImages) / texts;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A text in kana pasted as one line, as long as a translation reads, beside
// the same sentences pasted as lines of about 100 kana: the sentences of the
// prose that MeCab reads whole, each word in hiragana from its reading, a
// word in katakana as it stands, taken from pages across the manual. A
// translation's work grows with its hits, so both take about the same time;
// a step that walks every hit of the text once a hit does as many times more
// work on the long line as there are short lines.
struct PastedKana {
    std::u16string line;
    std::vector<std::u16string> lines;
};
PastedKana* pasted = nullptr;

constexpr size_t kPastedLineUnits = 2000;
constexpr size_t kShortLineUnits = 100;

// The rows listed for `text`, each as jtrans prints it with its start moved
// on by `offset`; exits when the translation lost hits for want of room.
std::vector<std::string> TranslatedRows(const std::u16string& text, int32_t offset) {
    g->translator->Translate(List(), text, 2, 0);
    if (g->translator->StoppedAt() >= 0) {
        std::fprintf(stderr, "a pasted text of kana lost hits from unit %d\n", g->translator->StoppedAt());
        std::exit(1);
    }
    std::vector<std::string> rows;
    const WordList& list = List();
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        const WordListEntry& e = list.EntryAt(list.EntryOfRow(row));
        std::string text = std::to_string(e.matchStart + offset) + " " + std::to_string(e.matchLength) + " " +
                           Utf16ToUtf8({e.reading, static_cast<size_t>(std::max(e.readingLength, 0))}) + "|" +
                           Utf16ToUtf8({e.word, static_cast<size_t>(std::max(e.wordLength, 0))});
        for (uint8_t tag : e.tags) text += " " + std::to_string(tag);
        rows.push_back(std::move(text));
    }
    return rows;
}

// Makes the texts and checks that the long line lists the rows its short
// lines list, at the same places; exits when it does not.
void SetupPastedKana() {
    Setup();
    if (pasted != nullptr) return;
    pasted = new PastedKana;
    const std::string file = BinaryPath() + "/translate_kana.txt";
    const std::string make = std::string("python3 ") + SourcePath("/tools/jtrans/mecab_agreement.py --kana ") + file;
    std::vector<std::u16string> sentences;
    if (std::system(make.c_str()) == 0) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) sentences.push_back(Utf8ToUtf16(line));
    }
    for (size_t i = 0; i < sentences.size() && pasted->line.size() + sentences[i].size() <= kPastedLineUnits; i += 7) {
        if (pasted->lines.empty() || pasted->lines.back().size() >= kShortLineUnits) pasted->lines.emplace_back();
        pasted->lines.back() += sentences[i];
        pasted->line += sentences[i];
    }
    if (pasted->line.size() < kPastedLineUnits * 9 / 10) {
        std::fprintf(stderr, "no text in kana (mecab or manpages-ja missing?)\n");
        std::exit(1);
    }
    std::vector<std::string> shortRows;
    int32_t offset = 0;
    for (const std::u16string& line : pasted->lines) {
        for (std::string& row : TranslatedRows(line, offset)) shortRows.push_back(std::move(row));
        offset += static_cast<int32_t>(line.size());
    }
    const std::vector<std::string> longRows = TranslatedRows(pasted->line, 0);
    if (longRows != shortRows) {
        size_t i = 0;
        while (i < longRows.size() && i < shortRows.size() && longRows[i] == shortRows[i]) ++i;
        std::fprintf(stderr, "the pasted line lists %zu rows, its lines %zu; row %zu: %s against %s\n",
                     longRows.size(), shortRows.size(), i, i < longRows.size() ? longRows[i].c_str() : "none",
                     i < shortRows.size() ? shortRows[i].c_str() : "none");
        std::exit(1);
    }
    std::fprintf(stderr, "pasted kana: %zu units as one line and as %zu lines, the same %zu rows\n",
                 pasted->line.size(), pasted->lines.size(), longRows.size());
}

void BM_PastedKanaLine(benchmark::State& state) {
    SetupPastedKana();
    for (auto _ : state) g->translator->Translate(List(), pasted->line, 2, 0);
}
BENCHMARK(BM_PastedKanaLine)->Unit(benchmark::kMillisecond);

void BM_PastedKanaShortLines(benchmark::State& state) {
    SetupPastedKana();
    for (auto _ : state)
        for (const std::u16string& line : pasted->lines) g->translator->Translate(List(), line, 2, 0);
}
BENCHMARK(BM_PastedKanaShortLines)->Unit(benchmark::kMillisecond);

void BM_Translate255(benchmark::State& state) { TranslateTexts(state, false); }
BENCHMARK(BM_Translate255)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Translate255FreshWalks(benchmark::State& state) { TranslateTexts(state, true); }
BENCHMARK(BM_Translate255FreshWalks)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.times["BM_TranslateProse/iterations:1/real_time"];
    const double mecab = reporter.times["BM_MecabProse/iterations:1/real_time"];
    if (ours > 0 && mecab > 0)
        std::printf("translator speed / MeCab speed (same text): %.3f\n", mecab / ours);
    const double line = reporter.cpuTimes["BM_PastedKanaLine"];
    const double lines = reporter.cpuTimes["BM_PastedKanaShortLines"];
    if (line > 0 && lines > 0)
        std::printf("pasted kana, one line / the same as short lines (CPU): %.3f\n", line / lines);
    return 0;
}
