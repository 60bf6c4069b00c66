// Shared pieces of the benchmarks: one field of every EDICT line decoded by
// iconv (an outside decoder, so the code under test does not feed itself), and
// a reporter that keeps each benchmark's time for the closing ratios.
#pragma once

#include "common/tests/edict_files.h"
#include "common/tests/iconv_converter.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Calls `field` on each line of Debian's EDICT (EUC-JP), or of the file
// `name` beside it (enamdict, kanjidic), and keeps what it returns, decoded to
// UTF-16; lines iconv refuses are skipped.
template <typename Field>
std::vector<std::u16string> ReadEdictField(Field field, const char* name = "edict") {
    std::vector<std::u16string> words;
    Iconv iconv("UTF-16LE", "EUC-JP");
    if (!iconv.Ok()) return words;
    const std::vector<uint8_t> bytes = ReadEdictFile(name);
    for (std::span<const uint8_t> raw : SplitLines(bytes)) {
        const std::string line(raw.begin(), raw.end());
        std::u16string word;
        if (iconv.ToUtf16(field(line), word)) words.push_back(std::move(word));
    }
    return words;
}

// Keeps each benchmark's time per iteration for the closing ratio; with
// --benchmark_repetitions the median of the repetitions. The CPU times too:
// on a shared machine they move less than the wall-clock ones.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
                cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
            } else if (run.aggregate_name == "median") {
                times[run.run_name.str()] = run.GetAdjustedRealTime();
                cpuTimes[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
};
