// Shared by the Latin benches: the word lists (the project's and the one
// converted from collatinus), the crafted words, and the time per word with
// its median and worst. The analyser runs on the interface thread, so the aim
// is absolute: every word, crafted ones too, under 5 ms. Times are the
// thread's CPU time: on a shared machine the wall clock of one word mostly
// measures the other processes.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/tests/test_paths.h"
#include "latin/tests/collatinus_text.h"

inline constexpr double kWorstWordAimMicroseconds = 5000;

inline const std::string kLatinData = BinaryPath() + "/latin/data/";

// Lays the word list and its two data files out in `folder`: the list
// converted from collatinus where the converter runs (true), else the
// project's (false).
inline bool LayOutConvertedWordList(const std::filesystem::path& folder) {
    for (const char* name : {"words.txt", "INFLECTS.SEC", "ADDONS.LAT"})
        std::filesystem::copy_file(kLatinData + name, folder / name, std::filesystem::copy_options::overwrite_existing);
    const std::string convert = std::string("python3 ") + SourcePath("/tools/latin_wordlist/collatinus_wordlist.py --out '") +
                                (folder / "converted.txt").string() + "' --report /dev/null";
    if (std::system(convert.c_str()) != 0) return false;
    std::filesystem::rename(folder / "converted.txt", folder / "words.txt");
    return true;
}

// The words of a file, lower case without marks: the first field of each
// line before any "=" (every `every`th line), or every blank-separated one.
inline std::vector<std::string> ReadWords(const std::string& path, char separator, int every = 1) {
    std::vector<std::string> words;
    std::ifstream in(path);
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '!' || n++ % every != 0) continue;
        for (const std::string& field : Split(line, separator)) {
            if (field.empty()) continue;
            std::string word;
            for (char c : Normal(Split(field, '=')[0])) {
                if (c >= 'a' && c <= 'z') word += c;
            }
            if (word.size() > 1) words.push_back(word);
            if (separator != ' ') break;
        }
    }
    return words;
}

// The words of crafted_words.txt: chains of enclitics, tackons, packons,
// prefixes and suffixes, and letters every spelling retry tries.
inline std::vector<std::string> CraftedWords() {
    std::vector<std::string> words;
    std::ifstream in(SourcePath("/bench/latin/crafted_words.txt"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') words.push_back(line);
    }
    return words;
}

struct WordTimes {
    std::vector<std::pair<double, std::string>> sorted;   // microseconds per word, fastest first

    double Median() const { return sorted.empty() ? 0 : sorted[sorted.size() / 2].first; }
    double Percentile99() const { return sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100].first; }
    double Worst() const { return sorted.empty() ? 0 : sorted.back().first; }

    void Print(const char* what) const {
        if (sorted.empty()) return;
        std::printf("%s: words %zu, CPU per word: median %.0f us p99 %.0f us worst %.0f us (%s), aim < %.0f us %s\n  slowest:", what,
                    sorted.size(), Median(), Percentile99(), Worst(), sorted.back().second.c_str(),
                    kWorstWordAimMicroseconds, Worst() < kWorstWordAimMicroseconds ? "met" : "NOT met");
        for (size_t i = sorted.size(); i-- > 0 && i + 6 >= sorted.size();)
            std::printf(" %s %.0f us;", sorted[i].second.c_str(), sorted[i].first);
        std::printf("\n");
    }
};

inline double ThreadMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// The CPU time of each word: the median of `repeats` analyses of it. The 40
// slowest are then timed 5 times more, so that a worst word is not a lone
// cache miss or interruption.
template <typename Analyse>
WordTimes TimeWords(const std::vector<std::string>& words, Analyse analyse, int repeats = 1) {
    auto timeWord = [&analyse](const std::string& word, int n) {
        std::vector<double> runs;
        for (int i = 0; i < n; ++i) {
            const double start = ThreadMicroseconds();
            analyse(word);
            runs.push_back(ThreadMicroseconds() - start);
        }
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    };
    WordTimes times;
    for (const std::string& word : words) times.sorted.push_back({timeWord(word, repeats), word});
    std::sort(times.sorted.begin(), times.sorted.end());
    for (size_t i = times.sorted.size(); i-- > 0 && i + 40 >= times.sorted.size();)
        times.sorted[i].first = timeWord(times.sorted[i].second, 5);
    std::sort(times.sorted.begin(), times.sorted.end());
    return times;
}
