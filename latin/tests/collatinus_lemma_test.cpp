// Latin ground truth from Debian's collatinus lemma list (lemmes.la, read at
// test time from the installed package): for every noun and verb of the
// project's word list that the list also holds, the genitive and gender of
// nouns and the principal parts of verbs in the dictionary form agree with it
// once vowel-length marks are removed.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "latin/dictionary_entry.h"
#include "latin/dictionary_form.h"
#include "collatinus_text.h"
#include "latin_test_data.h"

namespace {

std::string Trim(std::string s) {
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// True when s ends with tail, or with one of its alternatives ("ii ou iui").
bool EndsWith(const std::string& s, const std::string& tail) {
    size_t split = tail.find(" ou ");
    if (split != std::string::npos)
        return EndsWith(s, tail.substr(0, split)) || EndsWith(s, tail.substr(split + 4));
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

struct Lemma {
    std::string model;
    std::vector<std::string> parts;   // the indications, normalised, comma-separated
};

std::multimap<std::string, Lemma> ReadLemmas(const std::string& path) {
    std::multimap<std::string, Lemma> lemmas;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '!') continue;
        std::vector<std::string> fields = Split(line, '|');
        if (fields.size() < 5) continue;
        Lemma lemma{fields[1], {}};
        // "i(u)i" gives both spellings, read as "iui"; "ii ou iui" offers two.
        for (std::string part : Split(fields[4], ',')) {
            part = Trim(Normal(part));
            for (size_t p; (p = part.find_first_of("()")) != std::string::npos;) part.erase(p, 1);
            lemma.parts.push_back(part);
        }
        lemmas.emplace(Normal(Split(fields[0], '=')[0]), lemma);
    }
    return lemmas;
}

// The dictionary form cut into its parts, "(i)" read as "i".
std::vector<std::string> FormParts(const std::string& form) {
    std::string head = form.substr(0, form.find("  "));
    std::vector<std::string> parts;
    for (std::string part : Split(head, ',')) {
        part = Trim(part);
        size_t at = part.find("(i)");
        if (at != std::string::npos) part.replace(at, 3, "i");
        at = part.find(" (");   // "ivi (ii)": the second spelling is a note
        if (at != std::string::npos) part.resize(at);
        parts.push_back(Normal(part));
    }
    return parts;
}

bool NounAgrees(const std::vector<std::string>& mine, int32_t gender, const Lemma& lemma) {
    if (mine.size() < 2 || lemma.parts.empty()) return false;
    const std::string genitive = Trim(Split(lemma.parts[0], ' ')[0]);
    if (!EndsWith(mine[1], genitive)) return false;
    const std::string& tail = lemma.parts.back();
    bool m = false, f = false, n = false;
    for (std::string word : Split(tail, ' ')) {
        if (!word.empty() && word.back() == '.') word.pop_back();
        m = m || word == "m";
        f = f || word == "f";
        n = n || word == "n";
    }
    switch (gender) {
    case GENDER_M: return m;
    case GENDER_F: return f;
    case GENDER_N: return n;
    case GENDER_C: return m || f;
    default: return false;
    }
}

// Infinitive, perfect and supine (as the participle in -us) where the lemma
// list gives them; a regular first, second or fourth conjugation lists only
// the present parts, and its model gives the rest.
bool VerbAgrees(const std::vector<std::string>& mine, const Lemma& lemma) {
    std::vector<std::string> theirs = lemma.parts;
    if (theirs.size() == 2) {
        if (lemma.model == "amo") theirs = {theirs[0], theirs[1], "aui", "atum"};
        else if (lemma.model == "imitor") theirs = {theirs[0], theirs[1], "atus sum"};
    }
    if (theirs.size() < 2 || mine.size() < 2) return false;
    if (!EndsWith(mine[1], theirs[1])) return false;
    const bool deponent = EndsWith(mine.back(), " sum");
    for (size_t i = 2; i < theirs.size() && i < 4; ++i) {
        std::string part = theirs[i];
        if (part == "-" || part.empty()) continue;
        if (deponent) {
            if (!EndsWith(mine.back(), part)) return false;
            continue;
        }
        if (i >= mine.size()) return false;
        if (i == 3 && EndsWith(part, "um")) part = part.substr(0, part.size() - 2) + "us";
        if (!EndsWith(mine[i], part) && mine[i] != "-") return false;
    }
    return true;
}

TEST(CollatinusLemmas, NounsAndVerbsAgreeWithTheLatinOfTheLemmaList) {
    const std::string path = CollatinusFile("lemmes.la");
    std::multimap<std::string, Lemma> lemmas = ReadLemmas(path);
    if (lemmas.empty()) GTEST_SKIP() << "collatinus is not installed (" << path << ")";
    MemoryLatinHost host;
    InstallProjectData(host);
    int compared = 0, agreed = 0;
    std::string disagreements;
    for (size_t i = 0; i < host.entries.size(); ++i) {
        DictionaryEntry entry;
        ParseDictionaryLine(host.entries[i].c_str(), &entry, nullptr);
        const int32_t pos = entry.part.partOfSpeech;
        if (pos != POS_N && pos != POS_V) continue;
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        std::vector<std::string> mine = FormParts(form);
        auto [from, to] = lemmas.equal_range(mine[0]);
        if (from == to) continue;
        ++compared;
        bool agrees = false;
        for (auto it = from; it != to && !agrees; ++it) {
            agrees = pos == POS_N ? NounAgrees(mine, entry.part.third, it->second) : VerbAgrees(mine, it->second);
        }
        if (agrees) {
            ++agreed;
        } else {
            disagreements += std::string("  ") + form + "   (lemma list:";
            for (auto it = from; it != to; ++it) {
                disagreements += " [";
                for (const std::string& part : it->second.parts) disagreements += part + ";";
                disagreements += "]";
            }
            disagreements += ")\n";
        }
    }
    std::cout << "collatinus lemmas: " << agreed << " of " << compared << " nouns and verbs agree\n"
              << disagreements;
    ASSERT_GT(compared, 150);
    // Every disagreement is explained in the closing note; the share stays high.
    EXPECT_GE(agreed * 100, compared * 95);
}

}  // namespace
