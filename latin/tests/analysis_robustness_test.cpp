// Real and hostile words through the whole analyser under the sanitizers:
// collatinus's lemmas and Latin sample text, the Latin headwords of
// freedict's Latin-English dictionary, and words made to cost. Every word
// stays within its work budget. By default a sample of the lemmas runs;
// OSTREL_LATIN_SWEEP=1 runs them all.
#include "analysis_fixture.h"

#include <cstdlib>
#include <fstream>

#include "collatinus_text.h"

namespace {

using AnalysisRobustness = LatinAnalysisTest;

std::vector<std::string> Words(const std::string& path, char separator, size_t field, int every) {
    std::vector<std::string> words;
    std::ifstream in(path);
    std::string line;
    for (int n = 0; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '!' || n % every != 0) continue;
        std::vector<std::string> fields = Split(line, separator);
        if (fields.size() <= field) continue;
        std::string word = Normal(Split(fields[field], '=')[0]);
        std::string letters;
        for (char c : word) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ') letters += c;
        }
        if (!letters.empty()) words.push_back(letters);
    }
    return words;
}

TEST_F(AnalysisRobustness, RealAndHostileWordsStayWithinTheBudget) {
    const bool all = std::getenv("OSTREL_LATIN_SWEEP") != nullptr;
    std::vector<std::string> words = Words(CollatinusFile("lemmes.la"), '|', 0, all ? 1 : 40);
    for (const std::string& text : Words(CollatinusFile("lucretia.txt"), '\n', 0, 1)) words.push_back(text);
    std::vector<std::string> freedict =
        Words(std::string(OSTREL_HOST_ROOT) + "/usr/share/dictd/freedict-lat-eng.index", '\t', 0, all ? 1 : 10);
    words.insert(words.end(), freedict.begin(), freedict.end());
    if (words.size() < 100) GTEST_SKIP() << "collatinus or dict-freedict-lat-eng is not installed";
    const std::string hostile[] = {std::string(20, 'i'), std::string(255, 'a'), std::string(40, 'i') + "que",
                                   "MDCCCLXXXVIIII", "iiiiiiiiiiiiiiiiiiiiiiiiiis", std::string(25, 'x'),
                                   "quiquiquiquiquiquidam", "inininininininin"};
    words.insert(words.end(), std::begin(hostile), std::end(hostile));
    int analysed = 0, known = 0;
    for (const std::string& line : words) {
        for (const auto& word : Analyse(line.c_str())) {
            ++analysed;
            known += word.records.empty() ? 0 : 1;
            ASSERT_LE(g_budget.steps, kWordStepBudget) << word.text;
            ASSERT_LE(word.records.size(), static_cast<size_t>(kMaxResults));
        }
    }
    std::cout << "analysed " << analysed << " words, " << known << " with analyses\n";
    EXPECT_GT(known, 0);
}

}  // namespace
