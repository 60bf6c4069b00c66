// InflectRussianWord, LookupRussianIrregularForm and ClassifyRussianWord over
// the tables in common/russian_forms/. Ending tables are sorted by their
// letters read from the end, so the longest ending that fits a word is found
// by binary search; the build checks that order.
#include "common/text/russian_word_forms.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace {

using Form = std::u16string_view;   // variants separated by '-'; empty: no form

// Noun endings; the forms are those of kinds 1..11 in order.
struct NounRow {
    std::u16string_view ending;
    std::array<Form, 11> forms;
};
// Adjective endings: the forms of kinds 12, 13 and 14.
struct AdjectiveRow {
    std::u16string_view ending;
    std::array<Form, 3> forms;
};
// Verb endings and their aspect partner. An ending that starts with '.'
// matches only after at least one letter; one without, only the whole word.
struct VerbRow {
    std::u16string_view ending;
    Form partner;
};
struct SpellingRow {
    std::u16string_view word;
    Form spellings;
};
struct ClassRow {
    std::u16string_view pattern;   // '.' first: a proper suffix; else the whole word
    int32_t wordClass;
};

constexpr NounRow kNounRows[] = {
#include "common/text/russian_forms/noun_endings.inc"
};
constexpr AdjectiveRow kAdjectiveRows[] = {
#include "common/text/russian_forms/adjective_endings.inc"
};
constexpr VerbRow kPerfectiveRows[] = {
#include "common/text/russian_forms/perfective_partners.inc"
};
constexpr VerbRow kImperfectiveRows[] = {
#include "common/text/russian_forms/imperfective_partners.inc"
};
constexpr SpellingRow kSpellingRows[] = {
#include "common/text/russian_forms/loanword_spellings.inc"
};
constexpr ClassRow kClassRows[] = {
#include "common/text/russian_forms/verb_classes.inc"
};

constexpr std::u16string_view Letters(std::u16string_view ending) {
    return !ending.empty() && ending[0] == u'.' ? ending.substr(1) : ending;
}
constexpr bool IsSuffixOnly(std::u16string_view ending) { return !ending.empty() && ending[0] == u'.'; }

// Compares two letter strings read from their last letter backwards.
constexpr int CompareFromEnd(std::u16string_view a, std::u16string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 1; i <= n; ++i) {
        char16_t x = a[a.size() - i], y = b[b.size() - i];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Rows must be in strictly increasing order of their letters from the end
// (an ending may appear twice: once whole-word, once as a suffix).
template <typename Row>
constexpr bool SortedFromEnd(std::span<const Row> rows) {
    for (size_t i = 1; i < rows.size(); ++i) {
        int c = CompareFromEnd(Letters(rows[i - 1].ending), Letters(rows[i].ending));
        if (c > 0 || (c == 0 && IsSuffixOnly(rows[i - 1].ending) == IsSuffixOnly(rows[i].ending)))
            return false;
    }
    return true;
}
static_assert(SortedFromEnd<NounRow>(kNounRows), "noun_endings.inc must be sorted from the end");
static_assert(SortedFromEnd<AdjectiveRow>(kAdjectiveRows), "adjective_endings.inc must be sorted from the end");
static_assert(SortedFromEnd<VerbRow>(kPerfectiveRows), "perfective_partners.inc must be sorted from the end");
static_assert(SortedFromEnd<VerbRow>(kImperfectiveRows), "imperfective_partners.inc must be sorted from the end");

constexpr bool SpellingsSorted() {
    for (size_t i = 1; i < std::size(kSpellingRows); ++i)
        if (!(kSpellingRows[i - 1].word < kSpellingRows[i].word)) return false;
    return true;
}
static_assert(SpellingsSorted(), "loanword_spellings.inc must be sorted, each word once");

constexpr int32_t kMostProbes = 100;
// Longer texts are no words of the look-up tables (query words are at most 255).
constexpr size_t kLongestLookupWord = 256;
constexpr char16_t kYo = u'ё';

// The row whose ending is the longest one fitting the end of `word`, or -1
// (also when the search needs more than kMostProbes comparisons). With
// `verbRules` an ending with '.' needs a letter before it and one without
// must be the whole word; otherwise any ending that ends the word fits.
template <typename Row>
int32_t FindLongestEnding(std::span<const Row> rows, std::u16string_view word, bool verbRules) {
    size_t longest = 0;
    for (const Row& r : rows) longest = std::max(longest, Letters(r.ending).size());
    size_t bound = std::min(word.size(), longest);
    int32_t probes = 0;
    while (bound >= 1) {
        std::u16string_view tail = word.substr(word.size() - bound);
        // Lower bound of `tail` among the rows.
        size_t lo = 0, hi = rows.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (++probes > kMostProbes) return -1;
            if (CompareFromEnd(Letters(rows[mid].ending), tail) < 0) lo = mid + 1;
            else hi = mid;
        }
        for (size_t p = lo; p < rows.size() && Letters(rows[p].ending) == tail; ++p) {
            bool fits = !verbRules || (IsSuffixOnly(rows[p].ending) ? bound < word.size() : bound == word.size());
            if (fits) return static_cast<int32_t>(p);
        }
        // A shorter ending that fits sorts just before `tail` and shares its
        // letters with the row there, which bounds the next try.
        size_t shared = 0;
        if (lo > 0) {
            std::u16string_view before = Letters(rows[lo - 1].ending);
            while (shared < before.size() && shared < tail.size() &&
                   before[before.size() - 1 - shared] == tail[tail.size() - 1 - shared])
                ++shared;
        }
        bound = std::min(bound - 1, shared);
    }
    return -1;
}

// Variant `n` of a '-'-separated list; `more` tells whether others follow.
bool PickVariant(Form field, int32_t n, std::u16string_view& variant, bool& more) {
    if (field.empty() || n < 0) return false;
    size_t start = 0;
    for (int32_t i = 0; i < n; ++i) {
        size_t dash = field.find(u'-', start);
        if (dash == Form::npos) return false;
        start = dash + 1;
    }
    size_t end = field.find(u'-', start);
    more = end != Form::npos;
    variant = field.substr(start, more ? end - start : Form::npos);
    return true;
}

// The zero-terminated word, or an empty view when it has no 0 within `limit`.
std::u16string_view BoundedWord(const char16_t* word, size_t limit) {
    size_t n = 0;
    while (n < limit && word[n] != 0) ++n;
    return n < limit ? std::u16string_view(word, n) : std::u16string_view();
}

// Writes the parts one after another with ё as е; false when the result and
// its 0 do not fit into size units.
bool WriteForm(std::initializer_list<std::u16string_view> parts, char16_t* out, uint32_t* outLength,
               int32_t size) {
    size_t total = 0;
    for (auto p : parts) total += p.size();
    if (size <= 0 || total + 1 > static_cast<size_t>(size)) return false;
    size_t w = 0;
    for (auto p : parts)
        for (char16_t c : p) out[w++] = c == kYo ? u'е' : c;
    out[w] = 0;
    if (outLength != nullptr) *outLength = static_cast<uint32_t>(w);
    return true;
}

bool EndsWith(std::u16string_view word, std::u16string_view tail) {
    return word.size() >= tail.size() && word.substr(word.size() - tail.size()) == tail;
}

// Whether stem + form ends in "ти" (нести -> нестись, but делать -> делаться).
bool EndsInTi(std::u16string_view stem, std::u16string_view form) {
    char16_t last = !form.empty() ? form.back() : !stem.empty() ? stem.back() : 0;
    char16_t before = form.size() >= 2   ? form[form.size() - 2]
                      : form.size() == 1 ? (!stem.empty() ? stem.back() : 0)
                      : stem.size() >= 2 ? stem[stem.size() - 2]
                                         : 0;
    return before == u'т' && last == u'и';
}

}  // namespace

int32_t InflectRussianWord(int32_t kind, int32_t variant, const char16_t* word, char16_t* out,
                           uint32_t* outLength, int32_t size) {
    if (word == nullptr || out == nullptr || kind <= 0 || kind > kRussianImperfectivePartner || size <= 8)
        return kRussianNoForm;
    std::u16string_view w = BoundedWord(word, static_cast<size_t>(size - 8));
    if (w.size() < 3) return kRussianNoForm;
    char16_t last = w.back();
    if (last < 0x0400 || last > 0x04FF) return kRussianNoForm;

    bool reflexive = false;
    if (kind >= kRussianPerfectivePartner && (EndsWith(w, u"ся") || EndsWith(w, u"сь"))) {
        w.remove_suffix(2);
        reflexive = true;
    }

    int32_t row = -1;
    Form field;
    std::u16string_view ending;
    if (kind <= kRussianPrepositionalPlural) {
        if (last < u'а' || last > kYo) return kRussianNoForm;
        row = FindLongestEnding<NounRow>(kNounRows, w, false);
        if (row >= 0) {
            field = kNounRows[row].forms[static_cast<size_t>(kind - 1)];
            ending = kNounRows[row].ending;
        }
    } else if (kind <= kRussianShortAdjective) {
        row = FindLongestEnding<AdjectiveRow>(kAdjectiveRows, w, false);
        if (row >= 0) {
            field = kAdjectiveRows[row].forms[static_cast<size_t>(kind - kRussianFeminineAdjective)];
            ending = kAdjectiveRows[row].ending;
        }
    } else {
        std::span<const VerbRow> rows = kind == kRussianPerfectivePartner ? std::span<const VerbRow>(kPerfectiveRows)
                                                                          : std::span<const VerbRow>(kImperfectiveRows);
        row = FindLongestEnding<VerbRow>(rows, w, true);
        if (row >= 0) {
            field = rows[static_cast<size_t>(row)].partner;
            ending = rows[static_cast<size_t>(row)].ending;
        }
    }
    std::u16string_view form;
    bool more = false;
    if (row < 0 || !PickVariant(field, variant, form, more)) return kRussianNoForm;

    std::u16string_view stem = w.substr(0, w.size() - Letters(ending).size());
    std::u16string_view reflexiveEnding;
    if (reflexive) {
        reflexiveEnding = EndsInTi(stem, form) ? u"сь" : u"ся";
    }
    if (!WriteForm({stem, form, reflexiveEnding}, out, outLength, size)) return kRussianNoForm;
    return more ? kRussianMoreVariants : kRussianLastVariant;
}

int32_t LookupRussianIrregularForm(int32_t variant, const char16_t* word, char16_t* out,
                                   uint32_t* outLength, int32_t size) {
    if (word == nullptr || out == nullptr || size <= 0) return kRussianNoForm;
    std::u16string_view w = BoundedWord(word, kLongestLookupWord);
    if (w.empty()) return kRussianNoForm;
    auto it = std::lower_bound(std::begin(kSpellingRows), std::end(kSpellingRows), w,
                               [](const SpellingRow& r, std::u16string_view key) { return r.word < key; });
    if (it == std::end(kSpellingRows) || it->word != w) return kRussianNoForm;
    std::u16string_view spelling;
    bool more = false;
    if (!PickVariant(it->spellings, variant, spelling, more)) return kRussianNoForm;
    if (!WriteForm({spelling}, out, outLength, size)) return kRussianNoForm;
    return more ? kRussianMoreVariants : kRussianLastVariant;
}

int32_t ClassifyRussianWord(const char16_t* word) {
    if (word == nullptr) return kRussianNotVerb;
    std::u16string_view w = BoundedWord(word, kLongestLookupWord);
    if (w.size() < 3) return kRussianNotVerb;
    bool reflexive = false;
    if (EndsWith(w, u"ся")) {
        w.remove_suffix(2);
        if (EndsWith(w, u"ся")) return kRussianNotVerb;
        reflexive = true;
    }
    for (const ClassRow& row : kClassRows) {
        std::u16string_view letters = Letters(row.pattern);
        bool fits = IsSuffixOnly(row.pattern) ? w.size() > letters.size() && EndsWith(w, letters) : w == letters;
        if (!fits) continue;
        return row.wordClass == kRussianVerb && reflexive ? kRussianReflexiveVerb : row.wordClass;
    }
    return kRussianNotVerb;
}
