// A fixture over the project's Latin data: the analyser initialised and
// loaded, and helpers that analyse a line and keep each word's records.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "latin/analysis_driver.h"
#include "latin/grammar_codes.h"
#include "latin/result_sweep.h"
#include "latin_test_data.h"

// Keeps each word with its swept records.
class CapturedWords : public LatinWordOutput {
public:
    struct Word {
        std::string text;
        std::vector<ParseRecord> records;
    };
    void ListStems(const char* word, ResultList& results) override {
        int dropped = 0;
        SweepList(results, &dropped);
        words.push_back({word, std::vector<ParseRecord>(results.records, results.records + results.Count())});
    }
    std::vector<Word> words;
};

class LatinAnalysisTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallProjectData(host);
        ASSERT_EQ(LoadLatinData(), 0);
    }

    std::vector<CapturedWords::Word> Analyse(const char* line) {
        CapturedWords out;
        Translate(out, line);
        return out.words;
    }

    // The records of a one-word line.
    std::vector<ParseRecord> Records(const char* word) {
        auto words = Analyse(word);
        return words.empty() ? std::vector<ParseRecord>() : words[0].records;
    }

    // The record id of the entry whose line begins with these stems.
    uint32_t IdOf(const char* stem1, const char* codes) {
        for (size_t i = 0; i < host.entries.size(); ++i) {
            const std::string& line = host.entries[i];
            if (line.compare(0, std::strlen(stem1), stem1) == 0 && line[std::strlen(stem1)] == ' ' &&
                line.compare(76, std::strlen(codes), codes) == 0)
                return static_cast<uint32_t>(i + 1);
        }
        return 0;
    }

    static bool Has(const std::vector<ParseRecord>& records, uint32_t id, int pos) {
        for (const ParseRecord& r : records) {
            if (r.kind == RESULT_ENTRY && r.id == id && r.inflection.partOfSpeech == pos) return true;
        }
        return false;
    }

    MemoryLatinHost host;
};
