// Shared pieces of the benchmarks: one field of every EDICT line decoded by
// iconv (an outside decoder, so the code under test does not feed itself), and
// a reporter that keeps each benchmark's time for the closing ratios.
#pragma once

#include "common/tests/edict_files.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

// Calls `field` on each line of Debian's EDICT (EUC-JP), or of the file
// `name` beside it (enamdict, kanjidic), and keeps what it returns, decoded to
// UTF-16; lines iconv refuses are skipped.
template <typename Field>
std::vector<std::u16string> ReadEdictField(Field field, const char* name = "edict") {
    std::vector<std::u16string> words;
    iconv_t cd = iconv_open("UTF-16LE", "EUC-JP");
    if (cd == iconv_t(-1)) return words;
    const std::vector<uint8_t> bytes = ReadEdictFile(name);
    std::vector<char> buffer;
    for (std::span<const uint8_t> raw : SplitLines(bytes)) {
        const std::string line(raw.begin(), raw.end());
        std::string text = field(line);
        buffer.assign(text.size() * 4 + 8, 0);
        char* from = text.data();
        size_t fromLeft = text.size();
        char* to = buffer.data();
        size_t toLeft = buffer.size();
        if (iconv(cd, &from, &fromLeft, &to, &toLeft) == size_t(-1)) continue;
        std::u16string word((buffer.size() - toLeft) / 2, 0);
        std::memcpy(word.data(), buffer.data(), word.size() * 2);
        words.push_back(std::move(word));
    }
    iconv_close(cd);
    return words;
}

// Keeps each benchmark's time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};
