// The phrase split over the whole of EDICT on keys cut from Debian's Japanese
// documentation: a reviewed golden file of keys and their words, and MeCab as
// the boundary peer (a chosen word should begin and end on MeCab's token
// boundaries; it may span several tokens). The keys are made at build time
// by make_phrase_keys.py; without the packages the tests skip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "common/tests/test_paths.h"
#include "japanese/tests/deinflection_test_support.h"
#include "japanese/tests/phrase_split_fixture.h"

namespace ostrel::japanese {
namespace {

// First figures (every fourth key): crossing 0.1136, coverage 0.9992, word
// ratio 0.7505; a point of slack each way.
constexpr double kMaxCrossingRate = 0.125;
constexpr double kMinCoverage = 0.989;
constexpr double kMinWordRatio = 0.74;
constexpr double kMaxWordRatio = 0.76;

std::filesystem::path GoldenPath() {
    return std::filesystem::path(SourcePath()) / "japanese" / "tests" / "phrase_split_golden.txt";
}

TEST_F(PhraseSplitTest, GoldenKeysKeepTheirReviewedWords) {
    // OSTREL_PHRASE_GOLDEN=write makes the file anew from the build's keys.
    const char* mode = std::getenv("OSTREL_PHRASE_GOLDEN");
    if (mode != nullptr && std::string(mode) == "write") {
        std::ofstream out(GoldenPath(), std::ios::binary);
        out << "# Keys cut from the Debian reference (as written, then as typed) and their chosen words.\n";
        for (const std::u16string& key : testing::ReadFixtureLines("phrase_golden_keys.txt")) {
            out << Utf16ToUtf8(key) << '\t' << Utf16ToUtf8(Split(key)) << '\n';
        }
        GTEST_SKIP() << "written";
    }
    std::ifstream in(GoldenPath(), std::ios::binary);
    std::string line;
    int32_t keys = 0, differ = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::u16string key = Utf8ToUtf16(line.substr(0, tab));
        const std::string expected = line.substr(tab + 1);
        const std::string got = Utf16ToUtf8(Split(key));
        ++keys;
        if (got != expected) {
            ++differ;
            ADD_FAILURE() << line.substr(0, tab) << "\n  golden " << expected << "\n  now    " << got;
        }
    }
    EXPECT_GE(keys, 250);
    EXPECT_EQ(differ, 0);
}

TEST_F(PhraseSplitTest, ChosenWordsKeepToMecabBoundaries) {
    std::vector<std::u16string> lines = testing::ReadFixtureLines("phrase_mecab_keys.txt");
    if (lines.empty()) GTEST_SKIP() << "no MeCab keys";
    // Every fourth key; OSTREL_FULL_SWEEPS=1 all of them.
    const bool full = std::getenv("OSTREL_FULL_SWEEPS") != nullptr;
    const bool print = std::getenv("OSTREL_SWEEP_MISSES") != nullptr;
    int64_t words = 0, crossing = 0, tokens = 0, characters = 0, covered = 0;
    for (size_t i = 0; i < lines.size(); i += full ? 1 : 4) {
        std::u16string key;
        std::set<int32_t> boundaries{0};
        for (size_t at = 0; at < lines[i].size();) {
            const size_t space = std::min(lines[i].find(u' ', at), lines[i].size());
            key += lines[i].substr(at, space - at);
            boundaries.insert(static_cast<int32_t>(key.size()));
            ++tokens;
            at = space + 1;
        }
        characters += static_cast<int64_t>(key.size());
        bool crossed = false;
        std::u16string chosen;
        for (const auto& [start, length] : ChosenSpans(key)) {
            ++words;
            covered += length;
            const bool crosses = !boundaries.contains(start) || !boundaries.contains(start + length);
            crossing += crosses ? 1 : 0;
            crossed = crossed || crosses;
            chosen += (chosen.empty() ? u"" : u"|") + key.substr(static_cast<size_t>(start), static_cast<size_t>(length));
        }
        if (print && crossed) std::printf("%s\n  %s\n", Utf16ToUtf8(lines[i]).c_str(), Utf16ToUtf8(chosen).c_str());
    }
    ASSERT_GT(words, 0);
    const double rate = static_cast<double>(crossing) / static_cast<double>(words);
    const double coverage = static_cast<double>(covered) / static_cast<double>(characters);
    const double ratio = static_cast<double>(words) / static_cast<double>(tokens);
    std::printf("MeCab peer: %lld words over %lld tokens; crossing %.4f, coverage %.4f, word ratio %.4f\n",
                static_cast<long long>(words), static_cast<long long>(tokens), rate, coverage, ratio);
    EXPECT_LE(rate, kMaxCrossingRate);
    EXPECT_GE(coverage, kMinCoverage);
    EXPECT_GE(ratio, kMinWordRatio);
    EXPECT_LE(ratio, kMaxWordRatio);
}

}  // namespace
}  // namespace ostrel::japanese
