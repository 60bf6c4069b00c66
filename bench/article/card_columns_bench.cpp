// List cells of DSL (format 9, columns cut from the card's lines) and WARODAI
// (format 10, senses by sub-entry) records made from Debian's EDICT entries:
// a list page paints 40 rows of a few columns, which must stay far inside 16 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "bench/bench_support.h"
#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

struct Card {
    std::u16string dsl, warodai;
};
std::vector<Card> g_cards;

// "KANJI [KANA] /gloss/gloss/" as a DSL card and a WARODAI article.
Card MakeCard(const std::u16string& line) {
    const size_t slash = line.find(u" /");
    const std::u16string head = line.substr(0, slash == std::u16string::npos ? line.size() : slash);
    Card card{head + u"\n\t[b]" + head + u"[/b] = ", head + u"\n"};
    int number = 1;
    for (size_t at = slash == std::u16string::npos ? line.size() : slash + 2; at < line.size();) {
        const size_t next = line.find(u'/', at);
        if (next == std::u16string::npos) break;
        const std::u16string gloss = line.substr(at, next - at);
        card.dsl += gloss + u"; ";
        card.warodai += (number < 10 ? std::u16string(1, u'0' + number) : u"9") + u") " + gloss + u"\n";
        if (number == 2) card.warodai += u"\uFF5E\u3059\u308B " + gloss + u"\n1) " + gloss + u"\n";
        ++number;
        at = next + 1;
    }
    card.dsl += u"\n\t[m1]" + head + u"\n";
    return card;
}

void Load(CDictionary& dictionary, uint32_t format, const std::u16string& text) {
    dictionary.ClearParsedArticle();
    dictionary.parsedFormatType = format;
    const int32_t offset = dictionary.AppendText(static_cast<int32_t>(text.size()), text.data());
    DictionaryElement* entry = dictionary.AddElement(2);
    entry->text = entry->begin = dictionary.Text() + offset;
    entry->length = static_cast<int32_t>(text.size());
    entry->end = entry->begin + text.size() - 1;
}

void Cells(benchmark::State& state, uint32_t format) {
    SimulatedDisk disk;
    CDMS engine(disk);
    CDictionary dictionary(0x40000, engine);
    dictionary.latinStemCount = 1;
    int64_t cells = 0;
    for (auto _ : state) {
        for (const Card& card : g_cards) {
            Load(dictionary, format, format == 9 ? card.dsl : card.warodai);
            for (int32_t kind : {2, 3, 4}) {
                ListCell cell;
                benchmark::DoNotOptimize(GetColumnText(dictionary, cell, kind, kind == 4 ? 1 : 0));
                ++cells;
            }
        }
    }
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsRate);
}

void BM_DslCells(benchmark::State& state) { Cells(state, 9); }
void BM_WarodaiCells(benchmark::State& state) { Cells(state, 10); }
BENCHMARK(BM_DslCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarodaiCells)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::u16string> lines = ReadEdictField([](const std::string& line) { return line; });
    for (size_t i = 1; i < lines.size() && g_cards.size() < 50000; ++i) g_cards.push_back(MakeCard(lines[i]));
    std::printf("%zu cards from EDICT\n", g_cards.size());
    if (g_cards.empty()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
