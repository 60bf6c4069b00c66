// Latin ground truth from Debian's collatinus paradigms: every form that
// tools/latin_paradigms expands for the lemmas of the word list (nouns of the
// five declensions, verbs of the four conjugations and deponents) is
// analysed, and the analyser must give that lemma with that inflection.
// A lemma of the list counts only against an entry of the same class (its
// model's declension or conjugation): other entries are homonyms.
#include "analysis_fixture.h"

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "collatinus_text.h"
#include "latin/dictionary_form.h"

namespace {

using CollatinusParadigms = LatinAnalysisTest;

// The class of entry that a collatinus model inflects like.
struct ModelClass {
    const char* model;
    int partOfSpeech;
    int first;
    int variant;      // -1: any
    bool deponent;
};

const ModelClass kModels[] = {
    {"uita", POS_N, 1, -1, false}, {"lupus", POS_N, 2, -1, false}, {"puer", POS_N, 2, -1, false},
    {"ager", POS_N, 2, -1, false}, {"templum", POS_N, 2, -1, false}, {"miles", POS_N, 3, -1, false},
    {"ciuis", POS_N, 3, -1, false}, {"corpus", POS_N, 3, -1, false}, {"honor", POS_N, 3, -1, false},
    {"manus", POS_N, 4, -1, false}, {"cornu", POS_N, 4, -1, false}, {"res", POS_N, 5, -1, false},
    {"dies", POS_N, 5, -1, false}, {"amo", POS_V, 1, 1, false}, {"moneo", POS_V, 2, 1, false},
    {"lego", POS_V, 3, 1, false}, {"capio", POS_V, 3, 1, false}, {"audio", POS_V, 3, 4, false},
    {"imitor", POS_V, 1, 1, true}, {"uereor", POS_V, 2, 1, true}, {"sequor", POS_V, 3, 1, true},
    {"patior", POS_V, 3, 1, true}, {"potior", POS_V, 3, 4, true}};

bool SameClass(const std::string& model, const DictionaryEntry& entry) {
    for (const ModelClass& m : kModels) {
        if (model != m.model) continue;
        const PartEntry& p = entry.part;
        const bool deponent = p.third == VERB_DEP;
        return p.partOfSpeech == m.partOfSpeech && p.first == m.first && (m.variant < 0 || p.variant == m.variant) &&
               (m.partOfSpeech != POS_V || (deponent == m.deponent && p.third != VERB_SEMIDEP));
    }
    return false;
}

int Code(const CodeTable& table, const std::string& name) {
    const char* end = nullptr;
    return ParseEnumName(name.c_str(), table, &end);
}

// Whether a record is the expected reading: "N case number" or
// "V tense mood voice person number" (a deponent's voice is its form's).
bool Matches(const ParseRecord& r, const std::vector<std::string>& codes, bool deponent) {
    const InflectionRecord& f = r.inflection;
    if (codes[0] == "N") {
        return f.partOfSpeech == POS_N && f.fields[F_CASE] == Code(kCaseCodes, codes[1]) &&
               f.fields[F_NUMBER] == Code(kNumberCodes, codes[2]);
    }
    return f.partOfSpeech == POS_V && f.fields[F_TENSE] == Code(kTenseCodes, codes[1]) &&
           f.fields[F_MOOD] == Code(kMoodCodes, codes[2]) &&
           (deponent || f.fields[F_VOICE] == Code(kVoiceCodes, codes[3])) &&
           f.fields[F_PERSON] == std::stoi(codes[4]) && f.fields[F_VERB_NUMBER] == Code(kNumberCodes, codes[5]);
}

TEST_F(CollatinusParadigms, EveryFormGivesItsLemmaWithItsInflection) {
    std::ifstream in(LatinDataFolder() + "/collatinus_forms.txt");
    std::vector<std::vector<std::string>> expected;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields = Split(line, ' ');
        if (fields.size() >= 6) expected.push_back(fields);
    }
    if (expected.empty()) GTEST_SKIP() << "collatinus is not installed";

    // The word list's entries by the first word of their dictionary form.
    std::map<std::string, std::vector<std::pair<uint32_t, DictionaryEntry>>> entries;
    for (size_t i = 0; i < host.entries.size(); ++i) {
        DictionaryEntry entry;
        ParseDictionaryLine(host.entries[i].c_str(), &entry, nullptr);
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        const std::string text = form;
        if (!text.empty())
            entries[Normal(text.substr(0, text.find_first_of(", ")))].push_back({static_cast<uint32_t>(i + 1), entry});
    }

    std::map<std::string, std::vector<ParseRecord>> analyses;
    int agreed = 0, compared = 0;
    std::map<std::string, int> missesByKind;
    std::string misses;
    for (const auto& fields : expected) {
        const std::string& form = fields[0];
        std::set<uint32_t> ids;
        bool deponent = false;
        for (const auto& [id, entry] : entries[fields[1]]) {
            if (!SameClass(fields[2], entry)) continue;
            ids.insert(id);
            deponent = entry.part.third == VERB_DEP;
        }
        if (ids.empty()) continue;
        ++compared;
        auto [it, added] = analyses.try_emplace(form);
        if (added) it->second = Records(form.c_str());
        const std::vector<std::string> codes(fields.begin() + 3, fields.end());
        bool found = false;
        for (const ParseRecord& r : it->second) {
            found = found || (r.kind == RESULT_ENTRY && ids.count(r.id) && Matches(r, codes, deponent));
        }
        if (found) {
            ++agreed;
            continue;
        }
        std::string kind = codes[0] + " " + codes[1] + (codes[0] == "V" ? " " + codes[2] + " " + codes[3] : "");
        if (missesByKind[kind]++ < 2) {
            std::ostringstream line;
            for (const std::string& f : fields) line << f << ' ';
            misses += "  " + line.str() + "\n";
        }
    }
    const int total = compared;
    std::cout << "collatinus paradigms: " << agreed << " of " << total << " forms give their lemma and inflection\n";
    for (const auto& [kind, count] : missesByKind) std::cout << "  missed " << count << "  " << kind << "\n";
    std::cout << "examples:\n" << misses;
    // The misses are explained in the closing note (forms the list spells
    // otherwise, archaic alternatives, a homonym the word list lacks).
    EXPECT_GE(agreed * 100, total * 98);
}

}  // namespace
