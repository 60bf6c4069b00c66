// LoadLatinData, Translate and the order of tries on one word.
#include "latin/analysis_driver.h"

#include <cstdio>
#include <cstring>

#include "latin/addon_tables.h"
#include "latin/grammar_codes.h"
#include "latin/inflection_table.h"
#include "latin/latin_host.h"
#include "latin/latin_options.h"
#include "latin/latin_text.h"
#include "latin/result_sweep.h"
#include "latin/spelling_tricks.h"
#include "latin/word_parsing.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsEsse(const ResultList& results) {
    for (int i = 0; i <= results.last; ++i) {
        const InflectionRecord& r = results.records[i].inflection;
        if (r.partOfSpeech == POS_V && r.first == 5 && r.variant == 1) return true;
    }
    return false;
}

void AppendAll(ResultList& results, const ResultList& more) {
    for (int i = 0; i <= more.last; ++i) {
        if (!results.Append(more.records[i])) return;
    }
}

void SyncopeInto(const std::string& word, ResultList& results) {
    auto second = NewResultList();
    TrySyncope(word.c_str(), *second);
    AppendAll(results, *second);
}

// The fall-backs of an unknown word: tricks, then a tackon split with tricks.
void FallBacks(const std::string& word, ResultList& results) {
    ScopedLatinOption noTricks(g_wordOptions, DO_TRICKS, 0);
    auto second = NewResultList();
    TryTricks(word.c_str(), *second);
    if (second->Count() == 0 && !g_word.tackonSplit) {
        const std::string lower = NormalWord(word.c_str());
        for (int t = 0; t < kEncliticCount && t < g_addons.tackonCount; ++t) {
            char rest[256];
            if (!TackonMatches(rest, lower.c_str(), g_addons.tackons[t])) continue;
            TryTricks(rest, *second);
            if (second->Count() > 0) {
                const TackonRecord& tackon = g_addons.tackons[t];
                second->Insert(0, MakeTagRecord(tackon.text, POS_TACKON, RESULT_ADDON, tackon.meaningIndex));
            }
            break;
        }
    }
    AppendAll(results, *second);
}

}  // namespace

int LoadLatinData() {
    g_latinDataLoaded = 0;
    ForgetStemLookups();
    int status = LoadInflections();
    if (status != 0) return status;
    status = LoadAddons();
    if (status == 0) g_latinDataLoaded = 1;
    return status;
}

void Enclitic(const char* text, ResultList& results, ResultList& second, bool* esse) {
    if (g_word.tackonSplit) return;
    const std::string word = NormalWord(text);
    const int tries = results.Count() > 0 ? 1 : kEncliticCount;
    for (int t = 0; t < tries && t < g_addons.tackonCount; ++t) {
        const TackonRecord& tackon = g_addons.tackons[t];
        char rest[256];
        if (!TackonMatches(rest, word.c_str(), tackon)) continue;
        const int first = results.last + 1;
        ParseWord(rest, results);
        if (results.Count() == 0) TryLetterVariants(rest, results);
        *esse = *esse || IsEsse(results);
        if (g_developerOptions[DO_SYNCOPE] && !*esse) {
            second.last = -1;
            TrySyncope(rest, second);
            AppendAll(results, second);
        }
        *esse = false;
        {
            ScopedLatinOption onlyFixes(g_developerOptions, DO_ONLY_FIXES, 1);
            ParseWord(word.c_str(), results);
        }
        if (results.last >= first && results.last < kMaxResults - 1) {
            results.Insert(first, MakeTagRecord(tackon.text, POS_TACKON, RESULT_ADDON, tackon.meaningIndex));
            g_word.tackonSplit = true;
        }
        return;
    }
}

void TranslateWord(const char* text, ResultList& results) {
    const std::string word(text, strnlen(text, 255));
    auto second = NewResultList();
    {
        ScopedLatinOption noFixes(g_wordOptions, DO_FIXES, 0);
        TryRomanNumeral(word.c_str(), results);
        ParseWord(word.c_str(), results);
        if (results.Count() == 0) TryLetterVariants(word.c_str(), results);
        if (g_developerOptions[DO_SYNCOPE] && !IsEsse(results)) SyncopeInto(word, results);
        bool esse = false;
        Enclitic(word.c_str(), results, *second, &esse);
    }
    if (results.Count() == 0 && g_wordOptions[DO_FIXES]) {
        ScopedLatinOption onlyFixes(g_developerOptions, DO_ONLY_FIXES, 1);
        ParseWord(word.c_str(), results);
        if (g_developerOptions[DO_SYNCOPE]) SyncopeInto(word, results);
        bool esse = false;
        Enclitic(word.c_str(), results, *second, &esse);
    }
}

int Translate(LatinWordOutput& out, const char* text) {
    std::string line(text, strnlen(text, 4096));
    size_t b = 0, e = line.size();
    while (b < e && static_cast<unsigned char>(line[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32) --e;
    line = line.substr(b, std::min<size_t>(e - b, 255));
    if (line.empty()) return 0;
    g_word.wordNumber = 0;
    g_word.endsAtPeriod = false;
    for (char& c : line) {
        if (!IsLetter(c) && c != '-' && c != '.') c = ' ';
    }
    size_t at = 0;
    auto results = NewResultList();
    while (at < line.size()) {
        while (at < line.size() && !IsLetter(line[at])) {
            if (line[at] == '-' && at + 1 < line.size() && line[at + 1] == '-') return 0;
            ++at;
        }
        if (at >= line.size()) return 0;
        g_word.followsPeriod = g_word.endsAtPeriod;
        g_word.endsAtPeriod = false;
        g_word.capitalised = false;
        g_word.allCapitals = false;
        std::string word;
        while (at < line.size() && IsLetter(line[at])) word += line[at++];
        if (at < line.size() && line[at] == '.') g_word.endsAtPeriod = true;
        g_word.capitalised = word.size() > 1 && word[0] >= 'A' && word[0] <= 'Z' && word[1] >= 'a' && word[1] <= 'z';
        g_word.allCapitals = true;
        for (char c : word) g_word.allCapitals = g_word.allCapitals && !(c >= 'a' && c <= 'z');
        for (size_t i = 0; i + 1 < word.size(); ++i) {
            if (word[i] == 'Q' && word[i + 1] == 'V') word[i + 1] = 'U';
        }
        ++g_word.wordNumber;
        g_word.notes[RESULT_TRICK][0] = 0;
        g_word.tackonSplit = false;
        g_budget = WordBudget{};
        results->last = -1;

        TranslateWord(word.c_str(), *results);
        if (results->Count() == 0 && !(g_wordOptions[IGNORE_UNKNOWN_NAMES] && g_word.capitalised) &&
            g_wordOptions[DO_TRICKS])
            FallBacks(word, *results);
        out.ListStems(word.c_str(), *results);
        if (g_developerOptions[DO_ONLY_INITIAL_WORD]) return 0;
    }
    return 0;
}
