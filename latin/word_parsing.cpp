// ParseWord and its steps: endings, stem search, the fit of candidates to
// entries, prefixes, suffixes, tackons and the qu- pronoun and packon pass.
#include "latin/word_parsing.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "latin/addon_tables.h"
#include "latin/dictionary_entry.h"
#include "latin/inflection_order.h"
#include "latin/latin_host.h"
#include "latin/latin_options.h"
#include "latin/latin_text.h"

namespace {

ParseRecord Candidate(const std::string& stem, const InflectionRecord& inflection) {
    ParseRecord record;
    CopyText(record.stem, sizeof record.stem, stem.c_str());
    record.inflection = inflection;
    return record;
}

bool IsNounOrAdjectiveAbbreviation(const PartEntry& p) {
    return (p.partOfSpeech == POS_N || p.partOfSpeech == POS_ADJ) && p.first == 9 && p.variant == 8;
}

bool IsNounAdjectiveOrVerb(int32_t pos) { return pos == POS_N || pos == POS_ADJ || pos == POS_V; }

bool PassesFilter(const PartEntry& part, int filter) {
    switch (filter) {
    case 1: return part.partOfSpeech != POS_PACK;
    case 2: return part.partOfSpeech == POS_PRON && part.first == 1;
    case 3: return part.partOfSpeech == POS_PACK;
    default: return true;
    }
}

// j before a vowel or at the end is read as i.
void JToI(std::string& stem, size_t from) {
    for (size_t i = from; i < stem.size(); ++i) {
        if ((stem[i] == 'j' || stem[i] == 'J') && (i + 1 == stem.size() || IsVowel(stem[i + 1])))
            stem[i] = stem[i] == 'j' ? 'i' : 'I';
    }
}

// The next respelling: the right-most i before a vowel (or at the end) that
// is not yet j becomes j and the j's behind it i again; false when none.
bool NextJSpelling(std::string& stem) {
    for (size_t k = stem.size(); k-- > 0;) {
        const bool position = k + 1 == stem.size() || IsVowel(stem[k + 1]);
        if (!position) continue;
        if (stem[k] == 'i' || stem[k] == 'I') {
            stem[k] = stem[k] == 'i' ? 'j' : 'J';
            JToI(stem, k + 1);
            return true;
        }
    }
    return false;
}

// Reads a stem-index line: stem to column 19, PartEntry, stem key, record id.
FoundEntry ReadStemIndexLine(const char* line) {
    FoundEntry entry;
    int n = 0;
    for (int i = 0; i < kMaxStem && line[i] != 0 && line[i] != ' '; ++i) entry.stem[n++] = LowerLetter(line[i]);
    entry.stem[n] = 0;
    const char* p = line;
    for (int i = 0; i < 19 && *p != 0; ++i) ++p;
    ParsePartEntry(p, &entry.part, &p);
    entry.stemKey = ReadNumber(p, &p);
    entry.id = static_cast<uint32_t>(ReadNumber(p, &p));
    return entry;
}

// One stem's look-up through callbacks 1 and 2: the index lines of the stem
// (and of its respellings with j), in order, the dictionary steps taken and
// the last status; whole when the word's budget did not cut it short.
struct StemLookup {
    std::vector<FoundEntry> entries;
    int steps = 0;
    int status = 0;
    bool whole = true;
};

// The next respelling of a stem written with u for consonantal v (uenit,
// seruus): the u's before a vowel or at the stem's end (not after q or g)
// become v by a binary count, the right-most first; false when none is left.
bool NextVSpelling(std::string& stem) {
    for (size_t k = stem.size(); k-- > 0;) {
        const char c = LowerLetter(stem[k]);
        if (c != 'u' && c != 'v') continue;
        const bool position = (k + 1 == stem.size() || IsVowel(stem[k + 1]) || LowerLetter(stem[k + 1]) == 'v') &&
                              (k == 0 || (LowerLetter(stem[k - 1]) != 'q' && LowerLetter(stem[k - 1]) != 'g'));
        if (!position) continue;
        const bool upper = stem[k] >= 'A' && stem[k] <= 'Z';
        if (c == 'u') {
            stem[k] = upper ? 'V' : 'v';
            return true;
        }
        stem[k] = upper ? 'U' : 'u';
    }
    return false;
}

StemLookup LookUpSpelling(std::string stem);

StemLookup LookUpStem(std::string stem) {
    StemLookup lookup = LookUpSpelling(stem);
    // Texts that write consonantal v as u: its respellings, when the stem as
    // written is no stem of the dictionary.
    std::string respelt = stem;
    for (int retry = 0; lookup.entries.empty() && lookup.whole && retry < kMaxStemRetries && NextVSpelling(respelt);
         ++retry) {
        if (respelt.find_first_of("vV") == std::string::npos) break;
        StemLookup more = LookUpSpelling(respelt);
        lookup.steps += more.steps;
        lookup.whole = more.whole;
        lookup.status = more.status;
        lookup.entries = std::move(more.entries);
    }
    return lookup;
}

StemLookup LookUpSpelling(std::string stem) {
    StemLookup lookup;
    char line[kStemIndexLineSize];
    for (int retry = 0; retry <= kMaxStemRetries; ++retry) {
        bool passed = false;
        int steps = 0;
        std::memset(line, 0, sizeof line);
        lookup.status = g_latinHost.findFirstStem(stem.c_str(), line);
        while (lookup.status == 0 && steps < kMaxSearchSteps) {
            if (g_budget.Spent()) {
                lookup.whole = false;
                break;
            }
            ++steps;
            ++lookup.steps;
            ++g_budget.steps;
            line[kStemIndexLineSize - 1] = 0;
            const FoundEntry entry = ReadStemIndexLine(line);
            if (std::strlen(entry.stem) != stem.size() || !SameLetters(entry.stem, stem.c_str(), stem.size())) {
                passed = true;
                break;
            }
            lookup.entries.push_back(entry);
            lookup.status = g_latinHost.findNextStem(line);
        }
        // Past the stem: try it again spelled with j where it has i.
        if (!passed || !NextJSpelling(stem)) break;
    }
    return lookup;
}

// The look-ups of the word under analysis: an unknown word asks for the same
// stems again and again (under each prefix, suffix, respelling and split).
struct StemMemo {
    uint32_t serial = 0;
    std::unordered_map<std::string, StemLookup> lookups;
};

StemMemo g_stemMemo;

StemMemo& TheStemMemo() {
    if (g_stemMemo.serial != g_budget.serial) {
        g_stemMemo.lookups.clear();
        g_stemMemo.serial = g_budget.serial;
    }
    return g_stemMemo;
}

// The lists of analyses of each ParseWord nesting level (0: the word's, 1: a
// suffix try's), reused: a fresh list zeroes 22 KB, and an unknown word costs
// hundreds of parses. Only records up to `last` are ever read.
ResultList& LevelList(int which) {
    static ResultList lists[kMaxParseDepth][2];
    ResultList& list = lists[g_budget.depth - 1][which];
    list.last = -1;
    return list;
}

// What one ParseWord call works with.
struct Parsing {
    const std::string& word;
    ResultList& results;
    std::vector<ParseRecord>& candidates;
    ResultList& analyses;
};

std::vector<std::string> UsedStems(const StemSlots& slots, size_t wordLength) {
    std::vector<std::string> stems;
    for (size_t length = 0; length <= wordLength && length < kStemSlots; ++length) {
        if (slots.used[length]) stems.push_back(slots.stems[length]);
    }
    return stems;
}

void SearchInDictionaries(const std::vector<std::string>& stems, std::vector<FoundEntry>& found, int filter) {
    if (g_latinDataLoaded && !stems.empty()) SearchInDBDictionary(stems, RESULT_ENTRY, found, filter);
}

// Keeps the candidates that fit a found entry, as analyses.
void ReduceStemList(Parsing& p, const std::vector<FoundEntry>& found, const PrefixRecord* prefix,
                    const SuffixRecord* suffix) {
    for (FoundEntry e : found) {
        if (suffix != nullptr) {
            if (IsNounOrAdjectiveAbbreviation(e.part)) continue;
            const int32_t root = suffix->rootPartOfSpeech;
            if (e.part.partOfSpeech != root && root != 0 && !(e.part.partOfSpeech == POS_PACK && root == POS_PRON))
                continue;
            const int32_t rootKey = suffix->rootStemKey;
            if (e.stemKey != rootKey && rootKey != 0 &&
                !(e.stemKey == 0 && IsNounAdjectiveOrVerb(e.part.partOfSpeech) && (rootKey == 1 || rootKey == 2)))
                continue;
            const PartEntry& r = suffix->result;
            switch (r.partOfSpeech) {
            case POS_N: e.part = {POS_N, r.first, r.variant, r.third, r.fourth}; break;
            case POS_PRON: case POS_ADJ: case POS_V:
                e.part = {r.partOfSpeech, r.first, r.variant, r.third, e.part.fourth};
                break;
            case POS_NUM: e.part = r; break;
            case POS_ADV: e.part = {POS_ADV, r.first, 0, 0, 0}; break;
            default: break;
            }
            e.stemKey = suffix->resultStemKey;
        }
        if (prefix != nullptr) {
            const int32_t pos = e.part.partOfSpeech;
            if (IsNounOrAdjectiveAbbreviation(e.part) || pos == POS_CONJ || pos == POS_INTERJ) continue;
            if (pos != prefix->rootPartOfSpeech && prefix->rootPartOfSpeech != 0) continue;
        }
        std::string full;
        if (prefix != nullptr && g_developerOptions[USE_PREFIXES]) full += prefix->text;
        full += e.stem;
        if (suffix != nullptr && g_developerOptions[USE_SUFFIXES]) full += suffix->text;

        for (const ParseRecord& c : p.candidates) {
            if (std::strlen(c.stem) != full.size()) continue;
            const InflectionRecord& ci = c.inflection;
            const bool keyFits = ci.stemKey == e.stemKey || ci.stemKey == 0 ||
                                 (e.stemKey == 0 && IsNounAdjectiveOrVerb(e.part.partOfSpeech) &&
                                  (ci.stemKey == 1 || ci.stemKey == 2));
            if (!keyFits || FoldVerbParts(ci.partOfSpeech) != e.part.partOfSpeech) continue;
            InflectionRecord taken = ci;
            const PartEntry& ep = e.part;
            const bool pairFits = DeclensionFits(ep.first, ep.variant, ci.first, ci.variant);
            bool accept = false;
            switch (ep.partOfSpeech) {
            case POS_N: {
                const int32_t gender = ci.fields[F_GENDER];
                accept = pairFits &&
                         (gender == ep.third || (gender == GENDER_C && ep.third != GENDER_N) || gender == 0) &&
                         !(ep.fourth == 2 && ci.fields[F_NUMBER] == NUMBER_S);
                taken.first = ep.first;
                taken.variant = ep.variant;
                taken.fields[F_GENDER] = ep.third;
                break;
            }
            case POS_PRON:
                accept = pairFits;
                taken.first = ep.first;
                taken.variant = ep.variant;
                break;
            case POS_ADJ: {
                const int32_t cc = ci.fields[F_COMPARISON];
                accept = pairFits && (cc <= ep.third || cc == 0 || ep.third == 0);
                taken.first = ep.first;
                taken.variant = ep.variant;
                taken.fields[F_COMPARISON] = ep.third >= COMP_POS && ep.third <= COMP_SUPER ? ep.third
                                                                                              : FoldCodeA(e.stemKey);
                break;
            }
            case POS_NUM:
                accept = pairFits && ci.stemKey == e.stemKey;
                taken.first = ep.first;
                taken.variant = ep.variant;
                taken.fields[F_NUMERAL_SORT] = ep.third != 0 ? ep.third : FoldCodeC(e.stemKey);
                break;
            case POS_ADV:
                accept = ep.first <= ci.first || ep.first == 0 || ci.first == 0;
                taken.first = ep.first >= COMP_POS && ep.first <= COMP_SUPER ? ep.first : FoldCodeB(e.stemKey);
                break;
            case POS_V:
                accept = (ci.partOfSpeech == POS_V || ci.partOfSpeech == POS_VPAR || ci.partOfSpeech == POS_SUPINE) &&
                         pairFits;
                taken.first = ep.first;
                taken.variant = ep.variant;
                break;
            case POS_PREP: accept = ci.first == ep.first; break;
            case POS_CONJ: case POS_INTERJ: accept = true; break;
            default: break;
            }
            if (!accept || p.analyses.Full()) continue;
            ParseRecord analysis;
            char stripped[256];
            if (prefix != nullptr) PrefixMatches(stripped, c.stem, *prefix);
            else std::snprintf(stripped, sizeof stripped, "%s", c.stem);
            CopyText(analysis.stem, sizeof analysis.stem, stripped);
            analysis.inflection = taken;
            analysis.kind = e.kind;
            analysis.id = e.id;
            p.analyses.Append(analysis);
        }
    }
}

void ApplyPrefix(Parsing& p, const std::vector<std::string>& stems, const SuffixRecord* suffix,
                 ResultList& analyses) {
    if (!g_developerOptions[USE_PREFIXES]) return;
    Parsing local{p.word, p.results, p.candidates, analyses};
    for (int i = 0; i < g_addons.prefixCount; ++i) {
        const PrefixRecord& prefix = g_addons.prefixes[i];
        std::vector<std::string> stripped;
        for (const std::string& stem : stems) {
            char out[256];
            if (!stem.empty() && stem[0] == prefix.text[0] && PrefixMatches(out, stem.c_str(), prefix))
                stripped.push_back(out);
        }
        if (stripped.empty()) continue;
        std::vector<FoundEntry> found;
        SearchInDictionaries(stripped, found, 1);
        ReduceStemList(local, found, &prefix, suffix);
        if (analyses.Count() > 0 && !p.results.Full()) {
            p.results.Append(MakeTagRecord(prefix.text, POS_PREFIX, RESULT_ADDON, prefix.meaningIndex));
            return;
        }
    }
}

void ApplySuffix(Parsing& p, const std::vector<std::string>& stems) {
    for (int i = 0; i < g_addons.suffixCount; ++i) {
        const SuffixRecord& suffix = g_addons.suffixes[i];
        std::vector<std::string> stripped;
        for (const std::string& stem : stems) {
            char out[256];
            if (SuffixMatches(out, stem.c_str(), suffix)) stripped.push_back(out);
        }
        if (stripped.empty()) continue;
        std::vector<FoundEntry> found;
        SearchInDictionaries(stripped, found, 1);
        ResultList& own = LevelList(1);
        if (found.empty()) {
            ApplyPrefix(p, stripped, &suffix, own);
        } else {
            Parsing local{p.word, p.results, p.candidates, own};
            ReduceStemList(local, found, nullptr, &suffix);
        }
        if (own.Count() == 0) continue;
        for (int k = 0; k <= own.last; ++k) p.results.Append(own.records[k]);
        p.results.Append(MakeTagRecord(suffix.text, POS_SUFFIX, RESULT_ADDON, suffix.meaningIndex));
        return;
    }
}

void PruneStems(Parsing& p, const StemSlots& slots) {
    const std::vector<std::string> stems = UsedStems(slots, p.word.size());
    std::vector<FoundEntry> found;
    if (!g_developerOptions[DO_ONLY_FIXES]) SearchInDictionaries(stems, found, 1);
    if (p.results.Count() == 0 && found.empty() && g_wordOptions[DO_FIXES]) {
        if (p.analyses.Count() == 0) ApplyPrefix(p, stems, nullptr, p.analyses);
        if (p.analyses.Count() == 0) {
            ApplySuffix(p, stems);
            ApplyPrefix(p, stems, nullptr, p.analyses);
        }
        return;
    }
    ReduceStemList(p, found, nullptr, nullptr);
    if (p.results.Count() == 0 && p.analyses.Count() == 0 && g_wordOptions[DO_FIXES]) {
        ApplySuffix(p, stems);
        if (p.analyses.Count() == 0) ApplyPrefix(p, stems, nullptr, p.analyses);
    }
}

// Analyses of candidates whose declension pair fits a found entry's: the
// endings of variant 0 serve every pronoun of the declension, those of a
// variant only its own (quis and quid are no forms of the relative).
void AttachPronouns(ResultList& results, const std::vector<ParseRecord>& candidates, const FoundEntry& e) {
    for (const ParseRecord& c : candidates) {
        if (!DeclensionFits(e.part.first, e.part.variant, c.inflection.first, c.inflection.variant)) continue;
        ParseRecord analysis = c;
        analysis.inflection.partOfSpeech = POS_PRON;
        analysis.inflection.first = e.part.first;
        analysis.inflection.variant = e.part.variant;
        analysis.kind = RESULT_ENTRY;
        analysis.id = e.id;
        if (!results.Append(analysis)) return;
    }
}

// Candidates from the pronoun index for the word's tail: endings up to
// maxEnding letters whose record passes accept. Returns false at 250.
template <typename Accept>
bool PronounCandidates(const std::string& word, int maxEnding, Accept accept, std::vector<ParseRecord>& candidates,
                       std::string& searchStem) {
    const int length = static_cast<int>(word.size());
    for (int l = std::min(maxEnding, length); l >= 0; --l) {
        int from = 0, to = 0;
        const unsigned char last = l > 0 ? static_cast<unsigned char>(word[length - 1]) : 0;
        if (!EndingRange(g_inflections.pronounFirst, g_inflections.pronounLast, l, last, &from, &to)) continue;
        for (int i = from; i <= to; ++i) {
            const InflectionRecord& r = g_inflections.section[i];
            if (!IsValidInflection(r) || r.endingLength != l || !accept(r)) continue;
            if (!EndsWithLetters(word, r.ending, l) || length - l > kMaxStem) continue;
            if (candidates.size() >= static_cast<size_t>(kMaxResults)) return false;
            searchStem = word.substr(0, length - l);
            candidates.push_back(Candidate(searchStem, r));
        }
    }
    return true;
}

// The stem of the last candidate made is the one looked up, and every
// candidate whose declension pair fits an entry found is attached to it.
void ProcessQuPronouns(ResultList& results, const std::string& word, int mode) {
    if (LoadSectionForLetter('t') != 0) return;
    std::vector<ParseRecord> candidates;
    std::string searchStem;
    if (!PronounCandidates(word, 4, [mode](const InflectionRecord& r) { return r.stemKey == mode; }, candidates,
                           searchStem))
        return;
    if (candidates.empty() || !g_latinDataLoaded) return;
    std::vector<FoundEntry> found;
    SearchInDBDictionary({searchStem}, RESULT_ENTRY, found, 2);
    for (const FoundEntry& e : found) AttachPronouns(results, candidates, e);
}

void ProcessPackons(ResultList& results, const std::string& word) {
    for (int k = 0; k < g_addons.packonCount; ++k) {
        const TackonRecord& packon = g_addons.packons[k];
        char restText[256];
        if (!TackonMatches(restText, word.c_str(), packon)) continue;
        std::string rest = restText;
        if (std::strncmp(packon.text, "dam", 3) == 0 && !rest.empty() && rest.back() == 'n') rest.back() = 'm';
        if (LoadSectionForLetter('t') != 0) return;
        std::vector<ParseRecord> candidates;
        std::string searchStem;
        auto fits = [&packon](const InflectionRecord& r) {
            return DeclensionFits(r.first, r.variant, packon.entry.first, packon.entry.variant);
        };
        if (!PronounCandidates(rest, 6, fits, candidates, searchStem)) return;
        // A packon whose rest is no pronoun (que of quicumque: quicum) does
        // not end the search: a later one (cumque: qui) may read the word.
        if (candidates.empty() || !g_latinDataLoaded) continue;
        std::vector<FoundEntry> found;
        SearchInDBDictionary({searchStem}, RESULT_ENTRY, found, 3);
        const int before = results.last;
        for (const FoundEntry& e : found) {
            DictionaryEntry entry;
            if (ReadDictionaryEntry(&entry, e.id) != 0) return;
            // "(w/-dam) a certain": such an entry belongs to one packon only.
            if (std::strncmp(entry.meaning, "(w/-", 4) == 0 &&
                std::strncmp(entry.meaning + 4, packon.text, std::strlen(packon.text)) != 0)
                continue;
            AttachPronouns(results, candidates, e);
        }
        if (results.last > before)
            results.Append(MakeTagRecord(packon.text, POS_TACKON, RESULT_ADDON, packon.meaningIndex));
    }
}

void ProcessPronounsAndPackons(const std::string& word, ResultList& results) {
    int32_t saved[XParameters::kValueCount];
    g_wordOptions.SaveValues(saved);
    const int entry = results.last;
    for (int turn = 0; turn <= g_addons.pronounPrefixCount; ++turn) {
        results.last = entry;
        std::string rest = word;
        if (turn < g_addons.pronounPrefixCount) {
            const PrefixRecord& prefix = g_addons.pronounPrefixes[turn];
            char out[256];
            if (!PrefixMatches(out, word.c_str(), prefix)) continue;
            if (results.Full()) break;
            results.Append(MakeTagRecord(prefix.text, POS_PREFIX, RESULT_ADDON, prefix.meaningIndex));
            rest = out;
        }
        if (rest.size() >= 3 && (rest.compare(0, 2, "qu") == 0 || rest.compare(0, 2, "cu") == 0)) {
            ProcessQuPronouns(results, rest, rest[0] == 'q' ? 1 : 2);
            if (results.last - entry <= 1) ProcessPackons(results, rest);
        } else if (word.size() >= 6 && (word.compare(0, 5, "aliqu") == 0 || word.compare(0, 5, "alicu") == 0)) {
            ProcessQuPronouns(results, word, word[3] == 'q' ? 1 : 2);
        }
        if (results.last - entry > 1) break;
        if (turn == g_addons.pronounPrefixCount) break;   // the turn without prefix keeps what it found
    }
    g_wordOptions.RestoreValues(saved);
}

// Bubble passes: by record id, ending length, inflection, kind.
void OrderAnalyses(ResultList& analyses) {
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i < analyses.last; ++i) {
            const ParseRecord& a = analyses.records[i];
            const ParseRecord& b = analyses.records[i + 1];
            bool after = a.id > b.id;
            if (a.id == b.id) {
                after = a.inflection.endingLength > b.inflection.endingLength;
                if (a.inflection.endingLength == b.inflection.endingLength) {
                    after = CompareInflections(b.inflection, a.inflection) ||
                            (InflectionsEqual(a.inflection, b.inflection) && a.kind > b.kind);
                }
            }
            if (after) {
                std::swap(analyses.records[i], analyses.records[i + 1]);
                swapped = true;
            }
        }
    }
}

}  // namespace

int RunInflections(const std::string& word, std::vector<ParseRecord>& candidates, StemSlots& slots) {
    slots = StemSlots{};
    if (word.empty()) return 0;
    const int length = static_cast<int>(word.size());
    auto useSlot = [&slots](const std::string& stem) {
        slots.stems[stem.size()] = stem.empty() ? std::string(" ") : stem;
        slots.used[stem.size()] = true;
    };
    if (length <= kMaxStem) {
        for (int i = 0; i <= g_inflections.lastKept && candidates.size() < static_cast<size_t>(kMaxResults); ++i) {
            candidates.push_back(Candidate(word, g_inflections.kept[i]));
            useSlot(word);
        }
    }
    const char lastLetter = word.back();
    if (SectionForLastLetter(lastLetter) == 0) return 0;
    const int status = LoadSectionForLetter(lastLetter);
    if (status != 0) return status;
    std::string folded = word;
    for (char& c : folded) c = FoldLetter(c);
    for (int l = std::min(kMaxEnding, length); l >= 0; --l) {
        int from = 0, to = 0;
        const unsigned char key = l > 0 ? static_cast<unsigned char>(lastLetter) : 0;
        if (!EndingRange(g_inflections.first, g_inflections.last, l, key, &from, &to)) continue;
        if (length - l > kMaxStem) continue;
        const EndingKey ending = MakeEndingKey(folded.data() + length - l, l);
        for (int i = from; i <= to; ++i) {
            if (g_inflections.sectionKeys[i] != ending) continue;
            const InflectionRecord& r = g_inflections.section[i];
            if (g_developerOptions[USE_OSTREL_FORMAT] && r.partOfSpeech == POS_N && r.fields[F_CASE] == CASE_LOC)
                continue;
            if (candidates.size() >= static_cast<size_t>(kMaxResults)) return 0;
            const std::string stem = word.substr(0, length - l);
            candidates.push_back(Candidate(stem, r));
            useSlot(stem);
        }
    }
    return 0;
}

int SearchInDBDictionary(const std::vector<std::string>& stems, int32_t kind, std::vector<FoundEntry>& found,
                         int filter) {
    if (!g_latinHost.Complete()) return 1;
    StemMemo& memo = TheStemMemo();
    int status = 0;
    for (const std::string& original : stems) {
        std::string stem = original.substr(0, kMaxStem);
        while (!stem.empty() && stem.back() == ' ') stem.pop_back();
        while (!stem.empty() && stem.front() == ' ') stem.erase(stem.begin());
        JToI(stem, 0);
        // A look-up made before for this word is taken again as it was,
        // steps included, while the budget would have let it run whole.
        auto known = memo.lookups.find(stem);
        const StemLookup* lookup = nullptr;
        StemLookup fresh;
        if (known != memo.lookups.end() && g_budget.steps + known->second.steps <= kWordStepBudget) {
            lookup = &known->second;
            g_budget.steps += lookup->steps;
        } else {
            fresh = LookUpStem(stem);
            lookup = &fresh;
            if (fresh.whole) lookup = &memo.lookups.insert_or_assign(stem, std::move(fresh)).first->second;
        }
        for (FoundEntry entry : lookup->entries) {
            if (found.size() < static_cast<size_t>(kMaxFound) && PassesFilter(entry.part, filter)) {
                entry.kind = kind;
                found.push_back(entry);
            }
        }
        status = lookup->status;
    }
    return status;
}

void ForgetStemLookups() { g_stemMemo.lookups.clear(); }

void TryTackons(const std::string& word, ResultList& results) {
    if (g_addons.tackonCount <= 4) return;
    for (int t = 4; t < g_addons.tackonCount; ++t) {
        const TackonRecord& tackon = g_addons.tackons[t];
        char rest[256];
        if (!TackonMatches(rest, word.c_str(), tackon)) continue;
        const int entry = results.last;
        ParseWord(rest, results);
        if (results.last == entry) continue;
        bool accepted = tackon.entry.partOfSpeech == 0;
        if (!accepted) {
            std::vector<bool> acceptedAt(kMaxResults + 1, false);
            for (int i = results.last; i > entry; --i) {
                const InflectionRecord& r = results.records[i].inflection;
                const int32_t pos = r.partOfSpeech;
                if ((pos == POS_PREFIX || pos == POS_SUFFIX) && i < results.last && acceptedAt[i + 1]) continue;
                if (pos != tackon.entry.partOfSpeech) {
                    results.Remove(i);
                    for (int k = i; k <= results.last; ++k) acceptedAt[k] = acceptedAt[k + 1];
                    continue;
                }
                const bool fits = DeclensionFits(r.first, r.variant, tackon.entry.first, tackon.entry.variant);
                if (pos == POS_N) {
                    acceptedAt[i] = fits;
                } else if (pos == POS_PRON) {
                    if (fits) {
                        acceptedAt[i] = true;
                    } else {
                        results.Remove(i);
                        for (int k = i; k <= results.last; ++k) acceptedAt[k] = acceptedAt[k + 1];
                    }
                } else if (pos == POS_ADJ) {
                    acceptedAt[i] = true;
                } else {
                    results.Remove(i);
                    for (int k = i; k <= results.last; ++k) acceptedAt[k] = acceptedAt[k + 1];
                }
                accepted = accepted || acceptedAt[i];
            }
        }
        if (!accepted) continue;
        results.Insert(entry + 1, MakeTagRecord(tackon.text, POS_TACKON, RESULT_ADDON, tackon.meaningIndex));
        return;
    }
}

void ParseWord(const char* text, ResultList& results) {
    const std::string word = NormalWord(text);
    if (word.empty() || g_budget.depth >= kMaxParseDepth) return;
    ++g_budget.depth;
    const int entry = results.last;
    ProcessPronounsAndPackons(word, results);

    std::vector<ParseRecord> candidates;
    StemSlots slots;
    ResultList& analyses = LevelList(0);
    Parsing parsing{word, results, candidates, analyses};
    if (RunInflections(word, candidates, slots) != 0) {
        results.last = entry;
        --g_budget.depth;
        return;
    }
    PruneStems(parsing, slots);
    OrderAnalyses(analyses);
    ParseRecord previous;   // the first analysis is compared with an all-zero record
    for (int i = 0; i <= analyses.last && !results.Full(); ++i) {
        const ParseRecord& a = analyses.records[i];
        if (InflectionsEqual(a.inflection, previous.inflection) && a.id == previous.id) continue;
        results.Append(a);
        previous = a;
    }
    if (results.last == entry) TryTackons(word, results);
    --g_budget.depth;
}
