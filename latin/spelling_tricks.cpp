// The spelling retries: rule workers, their tables, syncope, two words and
// the Roman numeral readings.
#include "latin/spelling_tricks.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "latin/grammar_codes.h"
#include "latin/latin_options.h"
#include "latin/latin_text.h"
#include "latin/word_parsing.h"

namespace {

std::string Format(const char* pattern, const std::string& a, const std::string& b) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a.c_str(), b.c_str());
    return text;
}

// Found: something was added after the tag and the last added is no TACKON.
bool Found(const ResultList& results, int tag) {
    return results.last > tag && results.records[results.last].inflection.partOfSpeech != POS_TACKON;
}

// Writes the tag, parses the new word (and its syncope), keeps the results
// and writes the note when found, else drops tag and results.
bool Retry(ResultList& results, const std::string& tagText, int kind, const std::string& newWord,
           const std::string& note, bool prefixes) {
    if (results.Full() || g_budget.Spent()) return false;
    const int before = results.last;
    results.Append(MakeTagRecord(tagText.c_str(), 0, kind, 0));
    const int tag = results.last;
    {
        ScopedLatinOption usePrefixes(g_developerOptions, USE_PREFIXES,
                                      prefixes ? g_developerOptions[USE_PREFIXES] : 0);
        ParseWord(newWord.c_str(), results);
        TrySyncope(newWord.c_str(), results);
    }
    if (Found(results, tag)) {
        SetNote(kind, note.c_str());
        return true;
    }
    results.last = before;
    return false;
}

bool BeginsWith(const std::string& word, const std::string& text) { return word.compare(0, text.size(), text) == 0; }

bool SwapInitialOne(const std::string& word, const std::string& a, const std::string& b, ResultList& results,
                    const char* notePattern, bool prefixes) {
    if (word.size() < a.size() + 2 || !BeginsWith(word, a)) return false;
    return Retry(results, Format("Word mod %s/%s", a, b), RESULT_TRICK, b + word.substr(a.size()),
                 Format(notePattern, a, b), prefixes);
}

bool SwapInitial(const std::string& word, const std::string& a, const std::string& b, ResultList& results,
                 bool prefixes = true) {
    return SwapInitialOne(word, a, b, results, "An initial '%s' may have replaced usual '%s'", prefixes);
}

bool SwapInitialEitherWay(const std::string& word, const std::string& a, const std::string& b, ResultList& results,
                          bool prefixes = true) {
    const char* note = "An initial '%s' may be rendered by '%s'";
    return SwapInitialOne(word, a, b, results, note, prefixes) || SwapInitialOne(word, b, a, results, note, prefixes);
}

bool SwapInternal(const std::string& word, const std::string& a, const std::string& b, ResultList& results) {
    if (a.empty()) return false;
    for (size_t at = word.find(a); at != std::string::npos; at = word.find(a, at + 1)) {
        std::string changed = word;
        changed.replace(at, a.size(), b);
        if (Retry(results, Format("Word mod %s/%s", a, b), RESULT_TRICK, changed,
                  Format("An internal '%s' might be rendered by '%s'", a, b), true))
            return true;
    }
    return false;
}

bool SlurPrefix(const std::string& word, const std::string& p, ResultList& results) {
    if (word.size() < p.size() + 2) return false;
    const std::string shorter = p.substr(0, p.size() - 1);
    if (BeginsWith(word, p) && !IsVowel(word[p.size()])) {
        return Retry(results, Format("Slur %s/%s~", p, shorter), RESULT_TRICK,
                     shorter + word[p.size()] + word.substr(p.size()),
                     Format("An initial '%s' may be rendered by %s~", p, shorter), false);
    }
    const size_t n = shorter.size();
    if (BeginsWith(word, shorter) && word[n] == word[n + 1] && !IsVowel(word[n])) {
        return Retry(results, Format("Slur %s/%s~", shorter, p), RESULT_TRICK, p + word.substr(n + 1),
                     Format("An initial '%s~' may be rendered by %s", shorter, p), false);
    }
    return false;
}

bool DoubleConsonant(const std::string& word, ResultList& results) {
    for (size_t i = 1; i + 1 < word.size() && !results.Full(); ++i) {
        if (IsVowel(word[i]) || !IsVowel(word[i - 1]) || !IsVowel(word[i + 1])) continue;
        char tag[24];
        std::snprintf(tag, sizeof tag, "Word mod %c -> %c%c", word[i], word[i], word[i]);
        std::string changed = word;
        changed.insert(i, 1, word[i]);
        if (Retry(results, tag, RESULT_TRICK, changed,
                  "A doubled consonant may be rendered by just the single  MEDIEVAL", true))
            return true;
    }
    return false;
}

// One rule of a table: either way, one way, or an assimilated prefix.
struct Rule {
    char type;   // 'e' either way, 'o' one way, 's' slur
    const char* a;
    const char* b;
};

bool RunRule(const std::string& word, const Rule& rule, ResultList& results, bool prefixes) {
    switch (rule.type) {
    case 'e': return SwapInitialEitherWay(word, rule.a, rule.b, results, prefixes);
    case 'o': return SwapInitial(word, rule.a, rule.b, results, prefixes);
    default: return SlurPrefix(word, rule.a, results);
    }
}

struct LetterRules {
    char letter;
    Rule rules[14];
};

// Letter variants of common prefixes (either-way rules without prefixes).
const LetterRules kVariants[] = {
    {'a', {{'e', "abs", "aps"}, {'e', "acq", "adq"}, {'e', "ante", "anti"}, {'e', "auri", "aure"},
           {'e', "auri", "auru"}, {'s', "ad", ""}}},
    {'c', {{'o', "circum", "circun"}, {'e', "con", "com"}, {'o', "co", "com"}, {'o', "co", "con"},
           {'e', "conl", "coll"}}},
    {'i', {{'s', "in", ""}, {'e', "inb", "imb"}, {'e', "inp", "imp"}}},
    {'n', {{'o', "nun", "non"}}},
    {'o', {{'s', "ob", ""}}},
    {'q', {{'e', "quadri", "quadru"}}},
    {'s', {{'o', "se", "ce"}, {'s', "sub", ""}}},
};

// Spelling tricks by first letter.
const LetterRules kTricks[] = {
    {'a', {{'e', "adgn", "agn"}, {'e', "adsc", "asc"}, {'e', "adsp", "asp"}, {'e', "arqui", "arci"},
           {'e', "arqu", "arcu"}, {'o', "ae", "e"}, {'o', "al", "hal"}, {'o', "am", "ham"}, {'o', "ar", "har"},
           {'o', "aur", "or"}}},
    {'d', {{'o', "dampn", "damn"}, {'e', "dij", "disj"}, {'e', "dir", "disr"}, {'e', "dir", "der"},
           {'e', "del", "dil"}}},
    {'e', {{'e', "ecf", "eff"}, {'e', "ecs", "exs"}, {'e', "es", "ess"}, {'e', "ex", "exs"}, {'o', "eid", "id"},
           {'o', "el", "hel"}, {'o', "e", "ae"}}},
    {'f', {{'e', "faen", "fen"}, {'e', "faen", "foen"}, {'e', "fed", "foed"}, {'e', "fet", "foet"},
           {'o', "f", "ph"}}},
    {'g', {{'o', "gna", "na"}}},
    {'h', {{'o', "har", "ar"}, {'o', "hal", "al"}, {'o', "ham", "am"}, {'o', "hel", "el"}, {'o', "hol", "ol"},
           {'o', "hum", "um"}}},
    {'k', {{'o', "k", "c"}}},
    {'l', {{'e', "lub", "lib"}}},
    {'m', {{'e', "mani", "manu"}}},
    {'n', {{'o', "na", "gna"}, {'e', "nihil", "nil"}}},
    {'o', {{'e', "obt", "opt"}, {'e', "obs", "ops"}, {'o', "ol", "hol"}, {'o', "opp", "op"}, {'o', "or", "aur"}}},
    {'p', {{'o', "ph", "f"}, {'e', "pre", "prae"}}},
    {'s', {{'e', "subsc", "susc"}, {'e', "subsp", "susp"}, {'e', "subc", "susc"}, {'e', "succ", "susc"},
           {'e', "subt", "supt"}, {'e', "subt", "sust"}}},
    {'t', {{'e', "transv", "trav"}}},
    {'u', {{'o', "ul", "hul"}, {'o', "uol", "vul"}}},
    {'y', {{'o', "y", "i"}}},
    {'z', {{'o', "z", "di"}}},
};

const char* const kInternal[][2] = {{"ae", "e"}, {"bul", "bol"}, {"bol", "bul"}, {"cl", "cul"}, {"cu", "quu"},
    {"f", "ph"}, {"ph", "f"}, {"h", ""}, {"oe", "e"}, {"vul", "vol"}, {"vol", "vul"}, {"uol", "vul"}};

// Medieval spellings: e for ae and oe (celum, pena), ch for h (michi,
// nichil), mpn for mn (dampnum, solempnis), intelligo and negligo.
const char* const kMedieval[][2] = {{"col", "caul"}, {"e", "ae"}, {"e", "oe"}, {"o", "u"}, {"i", "y"},
    {"ism", "sm"}, {"isp", "sp"}, {"ist", "st"}, {"iz", "z"}, {"esm", "sm"}, {"esp", "sp"}, {"est", "st"},
    {"ez", "z"}, {"di", "z"}, {"f", "ph"}, {"is", "ix"}, {"b", "p"}, {"d", "t"}, {"v", "b"}, {"v", "f"},
    {"s", "x"}, {"ci", "ti"}, {"nt", "nct"}, {"s", "ns"}, {"ch", "c"}, {"c", "ch"}, {"th", "t"}, {"t", "th"},
    {"ch", "h"}, {"mpn", "mn"}, {"llig", "lleg"}, {"glig", "gleg"}};

bool RunLetterRules(const LetterRules* table, size_t count, const std::string& word, ResultList& results,
                    bool prefixes) {
    if (word.empty()) return false;
    for (size_t t = 0; t < count; ++t) {
        if (table[t].letter != word[0]) continue;
        for (const Rule& rule : table[t].rules) {
            if (rule.a == nullptr) break;
            if (RunRule(word, rule, results, prefixes)) return true;
        }
    }
    return false;
}

void WordsNoSyncope(const std::string& word, ResultList& results) {
    ScopedLatinOption noSyncope(g_developerOptions, DO_SYNCOPE, 0);
    ParseWord(word.c_str(), results);
}

ParseRecord NumeralRecord(const std::string& word) {
    ParseRecord record = MakeTagRecord(word.c_str(), POS_NUM, RESULT_ROMAN, 0);
    record.inflection.first = 2;
    record.inflection.fields[F_NUMERAL_SORT] = NUMERAL_CARD;
    record.inflection.frequency = 1;
    return record;
}

// The value of Roman letters read loosely: from the last letter back, a
// smaller letter subtracts, a greater adds, an equal one subtracts below the
// reference and adds otherwise.
int LooseRomanValue(const std::string& word) {
    if (word.empty()) return 0;
    int value = RomanLetterValue(word.back());
    int reference = value;
    for (size_t i = word.size() - 1; i-- > 0;) {
        const int v = RomanLetterValue(word[i]);
        const int right = RomanLetterValue(word[i + 1]);
        if (v < right) {
            value -= v;
            reference = right;
        } else if (v > right) {
            value += v;
            reference = right;
        } else {
            value += v < reference ? -v : v;
        }
    }
    return value < 1 ? 0 : value;
}

}  // namespace

void TryRomanNumeral(const char* text, ResultList& results) {
    std::string word(text, strnlen(text, 255));
    while (!word.empty() && static_cast<unsigned char>(word.back()) < 33) word.pop_back();
    while (!word.empty() && static_cast<unsigned char>(word.front()) < 33) word.erase(word.begin());
    if (!IsRomanLetters(word.c_str())) return;
    const int value = ParseRomanNumeral(word.c_str());
    if (value == 0 || results.Full()) return;
    results.Append(NumeralRecord(word));
    char note[kNoteSize];
    std::snprintf(note, sizeof note, "%d  as a ROMAN NUMERAL;", value);
    SetNote(RESULT_ROMAN, note);
}

void TryLetterVariants(const char* text, ResultList& results) {
    RunLetterRules(kVariants, std::size(kVariants), NormalWord(text), results, false);
}

void TrySyncope(const char* text, ResultList& results) {
    std::string word(text, strnlen(text, 511));
    for (char& c : word) c = LowerLetter(c);
    SetNote(RESULT_SYNCOPE, "");
    struct Syncope {
        const char* tag;
        const char* note;
    };
    static const Syncope kRules[] = {
        {"Syncope  ii => ivi", "Syncopated perfect ivi can drop 'v' without contracting vowel "},
        {"Syncope   s => vis", "Syncopated perfect often drops the 'v' and contracts vowel "},
        {"Syncope   r => v.r", "Syncopated perfect often drops the 'v' and contracts vowel "},
        {"Syncope  ier=>iver", "Syncopated perfect often drops the 'v' and contracts vowel "},
        {"Syncope s/x => +is", "Syncopated perfect sometimes drops the 'is' after 's' || 'x' "}};
    for (int rule = 0; rule < 5; ++rule) {
        const int before = results.last;
        for (size_t at = word.size(); at-- > 0;) {
            std::string changed;
            const char c = word[at];
            const char next = at + 1 < word.size() ? word[at + 1] : 0;
            if (rule == 0 && c == 'i' && next == 'i') changed = word.substr(0, at + 1) + "v" + word.substr(at + 1);
            else if (rule == 1 && std::strchr("aeio", c) && c != 0 && next == 's')
                changed = word.substr(0, at + 1) + "vi" + word.substr(at + 1);
            else if (rule == 2 && std::strchr("aeo", c) && c != 0 && next == 'r')
                changed = word.substr(0, at + 1) + "ve" + word.substr(at + 1);
            else if (rule == 3 && word.compare(at, 3, "ier") == 0)
                changed = word.substr(0, at + 1) + "v" + word.substr(at + 1);
            else if (rule == 4 && (c == 's' || c == 'x')) changed = word.substr(0, at + 1) + "is" + word.substr(at + 1);
            else continue;
            if (results.Full() || g_budget.Spent()) return;
            results.Append(MakeTagRecord(kRules[rule].tag, 0, RESULT_SYNCOPE, 0));
            const int tag = results.last;
            ParseWord(changed.c_str(), results);
            if (results.last > tag) break;
            results.last = before;
        }
        if (results.last > before) {
            const InflectionRecord& last = results.records[results.last].inflection;
            if (last.partOfSpeech == POS_V && last.stemKey == 3) {
                SetNote(RESULT_SYNCOPE, kRules[rule].note);
                return;
            }
            results.last = before;
        }
    }
}

void TwoWords(const char* text, ResultList& results) {
    const std::string word = NormalWord(text);
    if (word.size() <= 4 || results.Full()) return;
    static const char* const kNotFirst[] = {"dis", "ex", "in", "per", "prae", "pro", "re", "si", "sub", "super",
                                            "trans"};
    const int before = results.last;
    results.Append(MakeTagRecord("2 words", 0, RESULT_TRICK, 0));
    const int tag = results.last;
    for (size_t split = 2; split + 3 <= word.size() && !g_budget.Spent(); ++split) {
        const std::string first = word.substr(0, split), second = word.substr(split);
        bool excluded = false;
        for (const char* prefix : kNotFirst) excluded = excluded || first == prefix;
        if (excluded) continue;
        WordsNoSyncope(first, results);
        if (results.last == tag) continue;
        bool firstNumber = false;
        for (int i = tag + 1; i <= results.last; ++i)
            firstNumber = firstNumber || results.records[i].inflection.partOfSpeech == POS_NUM;
        const int middle = results.last;
        WordsNoSyncope(second, results);
        if (results.last == middle || results.records[results.last].inflection.partOfSpeech == POS_TACKON) {
            results.last = tag;
            continue;
        }
        bool secondNumber = false;
        for (int i = middle + 1; i <= results.last; ++i)
            secondNumber = secondNumber || results.records[i].inflection.partOfSpeech == POS_NUM;
        if (g_wordOptions[TRIM_OUTPUT] && firstNumber && secondNumber) {
            for (int i = results.last; i > tag; --i) {
                const ParseRecord& r = results.records[i];
                if (r.kind == RESULT_ENTRY && r.inflection.partOfSpeech != POS_NUM) results.Remove(i);
            }
            SetNote(RESULT_TRICK, Format("It is very likely a compound number    %s + %s", first, second).c_str());
        } else {
            SetNote(RESULT_TRICK,
                    Format("May be 2 words combined (%s+%s). If not obvious, probably incorrect", first, second).c_str());
        }
        return;
    }
    results.last = before;
}

void TryTricks(const char* text, ResultList& results) {
    const std::string word = NormalWord(text);
    SetNote(RESULT_TRICK, "");
    // Long unknown words would cost millions of parses on the interface
    // thread; real Latin words stay well below this length.
    const bool tricks = word.size() <= static_cast<size_t>(kMaxTrickLength);
    if (tricks) {
        if (RunLetterRules(kTricks, std::size(kTricks), word, results, true)) return;
        if (word.size() > 1 && word[0] == 'i' && word[1] == 's') {
            const int before = results.last;
            if (!results.Full()) {
                results.Append(MakeTagRecord("Word mod is => iis", 0, RESULT_TRICK, 0));
                const int tag = results.last;
                ParseWord(("i" + word).c_str(), results);
                const InflectionRecord& last = results.records[results.last].inflection;
                if (results.last > tag && last.partOfSpeech == POS_V && last.first == 6 && last.variant == 1) {
                    SetNote(RESULT_TRICK, "Some forms of eo stem 'i' grates with an 'is...' ending, so 'is' -> 'iis' ");
                    return;
                }
                results.last = before;
            }
        }
        for (const auto& rule : kInternal) {
            if (SwapInternal(word, rule[0], rule[1], results)) return;
        }
        if (word.size() > 3 && word.compare(word.size() - 2, 2, "is") == 0 && !results.Full()) {
            const int before = results.last;
            results.Append(MakeTagRecord("Word mod iis -> is", 0, RESULT_TRICK, 0));
            const int tag = results.last;
            ParseWord((word.substr(0, word.size() - 2) + "iis").c_str(), results);
            for (int i = results.last; i > tag; --i) {
                const InflectionRecord& r = results.records[i].inflection;
                const bool keep = r.partOfSpeech == POS_ADJ && r.first == 1 && r.variant == 1 &&
                                  r.fields[F_NUMBER] == NUMBER_P &&
                                  (r.fields[F_CASE] == CASE_DAT || r.fields[F_CASE] == CASE_ABL);
                if (!keep) results.Remove(i);
            }
            if (results.last > tag) {
                SetNote(RESULT_TRICK, "A Terminal 'iis' on ADJ 1 1 DAT/ABL P might drop 'i'");
                return;
            }
            results.last = before;
        }
        if (g_developerOptions[DO_MEDIEVAL_TRICKS]) {
            for (const auto& rule : kMedieval) {
                if (SwapInternal(word, rule[0], rule[1], results)) return;
            }
            if (DoubleConsonant(word, results)) return;
        }
        if (!(g_wordOptions[IGNORE_UNKNOWN_NAMES] && g_word.capitalised) && g_developerOptions[DO_TWO_WORDS])
            TwoWords(word.c_str(), results);
    }
    if (IsRomanLetters(word.c_str())) {
        SetNote(RESULT_TRICK, "");
        char note[kNoteSize];
        std::snprintf(note, sizeof note, "%d  as ill-formed ROMAN NUMERAL?;", LooseRomanValue(word));
        SetNote(RESULT_ROMAN, note);
        results.last = -1;
        results.Append(NumeralRecord(word));
    }
}
