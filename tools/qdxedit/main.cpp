// qdxedit: applies N random replacements, removals and additions of
// articles to a dictionary file (own markup articles) through the editor's
// save core, each in its own transaction, and prints the median and the
// worst time of one change. With --check it then compares every key index
// and the full-text index with a fresh compile of the articles left, and
// every id it saved under with the text saved last. --cache-pages sets the
// engine's page cache (a transaction keeps the pages it changed there: saves
// into a large dictionary rewrite long hit lists).
// Exit status 0, 1 when a change failed or the check found a difference,
// 2 for bad arguments.
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/article_edit_sweep.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: qdxedit FILE --random N --seed S [--check] [--cache-pages P]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    long count = -1, seed = 0, cachePages = 1000;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--random" && i + 1 < argc) count = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--seed" && i + 1 < argc) seed = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--check") check = true;
        else if (arg == "--cache-pages" && i + 1 < argc) cachePages = std::strtol(argv[++i], nullptr, 10);
        else if (arg.starts_with("--") || !file.empty()) return Usage();
        else file = arg;
    }
    if (file.empty() || count < 0) return Usage();
    CDMS engine(SystemStorageIO(), static_cast<uint32_t>(cachePages));
    CDictionary dictionary(kFormatStoreDatabase, engine);
    dictionary.File().SetPath(Utf8ToUtf16(file).c_str());
    if (const uint32_t status = dictionary.Open(0); status != 0) {
        std::fprintf(stderr, "qdxedit: %s: cannot open (status %u)\n", file.c_str(), status);
        return 1;
    }
    EditSweep sweep = RunRandomEdits(dictionary, static_cast<uint32_t>(count), static_cast<uint32_t>(seed));
    int result = 0;
    std::vector<double> times = sweep.saveSeconds;
    std::sort(times.begin(), times.end());
    std::printf("changes %zu: %u replaced (%u of ids edited before), %u removed, %u added\n", times.size(),
                sweep.replacements, sweep.editsOfEditedIds, sweep.removals, sweep.additions);
    if (!times.empty())
        std::printf("one change: median %.3f ms, worst %.3f ms\n", 1000 * times[times.size() / 2], 1000 * times.back());
    for (const std::string& failure : sweep.failures) {
        std::printf("failed: %s\n", failure.c_str());
        result = 1;
    }
    if (check) {
        std::vector<std::string> differences = CheckIdsLeadToLatestTexts(dictionary, sweep);
        for (std::string& d : CompareWithFreshCompile(dictionary, Utf8ToUtf16(file + ".fresh")))
            differences.push_back(std::move(d));
        for (const std::string& d : differences) std::printf("difference: %s\n", d.c_str());
        std::printf("check: %zu ids, %zu differences\n", sweep.latest.size(), differences.size());
        if (!differences.empty()) result = 1;
    }
    dictionary.Close();
    return result;
}
