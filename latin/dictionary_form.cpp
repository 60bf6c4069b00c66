// Building the dictionary form of a Latin entry from its stems and codes.
#include "latin/dictionary_form.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kMaxPart = 80;

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// One part: a stem followed by an ending, each without blanks at its ends.
std::string Part(const char* stem, const char* ending) {
    std::string part = TrimBlanks(stem) + TrimBlanks(ending);
    if (part.size() > kMaxPart) part.resize(kMaxPart);
    return part;
}

bool BeginsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

struct Parts {
    std::string p[4];
    bool empty = false;   // the whole form is empty
};

const char* Ordinal(int32_t n) {
    static constexpr const char* kOrdinals[] = {"1st", "2nd", "3rd", "4th", "5th"};
    return kOrdinals[n - 1];
}

// A noun used only in the plural (noun kind M) is named by its nominative
// and genitive plural: arma, armorum; insidiae, insidiarum; moenia,
// moenium. The second and third declensions' lists give the plural
// nominative as the first stem where it is no stem plus an ending (liberi,
// moenia, Manes). False for the declensions named by the singular.
bool PluralOnlyParts(const DictionaryEntry& e, Parts& r) {
    constexpr int32_t kPluralOnly = 2;
    const int32_t d = e.part.first, v = e.part.variant;
    if (e.part.fourth != kPluralOnly) return false;
    const char* s1 = e.stems[0];
    const char* s2 = e.stems[1];
    if (d == 1 && v == 1) {
        r.p[0] = Part(s1, "ae");
        r.p[1] = Part(s2, "arum");
    } else if (d == 2 && (v == 1 || v == 2 || v == 3)) {
        r.p[0] = Part(s1, v == 1 ? "i" : v == 2 ? "a" : "");
        r.p[1] = Part(s2, "orum");
    } else if (d == 3) {
        r.p[0] = Part(s1, "");
        r.p[1] = Part(s2, v == 3 ? "ium" : "um");
    } else {
        return false;
    }
    return true;
}

void NounParts(const DictionaryEntry& e, Parts& r) {
    const char* s1 = e.stems[0];
    const char* s2 = e.stems[1];
    const int32_t d = e.part.first, v = e.part.variant;
    if (PluralOnlyParts(e, r)) return;
    auto set = [&](const char* a, const char* b) {
        r.p[0] = Part(s1, a);
        r.p[1] = Part(s2, b);
    };
    switch (d) {
    case 1:
        if (v == 1) set("a", "ae");
        else if (v == 6) set("e", "es");
        else if (v == 7) set("es", "ae");
        else if (v == 8) set("as", "ae");
        break;
    case 2:
        // The plural of deus on d- alone (di, dis), which has no second stem,
        // is named by its lemma.
        if (v == 9 && TrimBlanks(s2) == "zzz") { r.p[0] = Part(s1, "eus"); r.p[1] = Part(s1, "ei"); }
        else if (v == 1 || v == 9) set("us", "i");
        else if (v == 2) set("um", "i");
        else if (v == 3) set("", "i");
        else if (v == 4) set(e.part.third == GENDER_N ? "um" : "us", "(i)");
        else if (v == 5) set("us", "");
        else if (v == 6 || v == 7) set("os", "i");
        else if (v == 8) set("on", "i");
        break;
    case 3: set("", v == 7 || v == 9 ? "os/is" : "is"); break;
    case 4:
        if (v == 1 || v == 4) set("us", "us");
        else if (v == 2) set("u", "us");
        else if (v == 3) set("us", "u");
        break;
    case 5: set("es", "ei"); break;
    case 9:
        if (v == 8) {
            r.p[0] = Part(s1, ".");
            r.p[1] = "abb.";
        } else if (v == 9) {
            r.p[0] = Part(s1, "");
            r.p[1] = "undeclined";
        }
        break;
    default: break;
    }
}

void PronounParts(const DictionaryEntry& e, Parts& r) {
    const char* s1 = e.stems[0];
    const char* s2 = e.stems[1];
    const int32_t d = e.part.first, v = e.part.variant;
    if (d == 3) {
        r.p[0] = Part(s1, "ic");
        r.p[1] = Part(s1, "aec");
        r.p[2] = Part(s1, v == 2 ? "uc" : "oc");
    } else if (d == 4 && v == 1) {
        r.p[0] = Part(s1, "s");
        r.p[1] = Part(s2, "a");
        r.p[2] = Part(s1, "d");
    } else if (d == 4 && v == 2) {
        r.p[0] = Part(s1, "dem");
        r.p[1] = Part(s2, "adem");
        r.p[2] = Part(s1, "dem");
    } else if (d == 4 && v == 3) {
        // uterque, utraque, utrumque: -que behind uter's endings
        r.p[0] = Part(s1, "que");
        r.p[1] = Part(s2, "aque");
        r.p[2] = Part(s2, "umque");
    } else if (d == 6) {
        r.p[0] = Part(s1, "e");
        r.p[1] = Part(s1, "a");
        r.p[2] = Part(s1, v == 2 ? "um" : "ud");
    } else if (d == 1) {
        // qui, quae, quod; quis, quid and aliquis, aliquid
        const bool interrogative = e.part.third == PRONOUN_INTERR || e.part.third == PRONOUN_INDEF;
        r.p[0] = Part(s1, interrogative ? "is" : "i");
        r.p[1] = Part(s1, interrogative ? "id" : "ae");
        if (!interrogative) r.p[2] = Part(s1, "od");
    } else if (d == 5) {
        // The personal pronouns by their nominative and genitive: ego, mei;
        // tu, tui; nos; vos; the reflexive, which has no nominative, se, sui.
        if (v == 1) {
            r.p[0] = Part(s1, "o");
            r.p[1] = Part(s2, "ei");
        } else if (v == 2) {
            r.p[0] = Part(s1, "u");
            r.p[1] = Part(s1, "ui");
        } else if (v == 3) {
            r.p[0] = Part(s1, "os");
        } else if (v == 4) {
            r.p[0] = Part(s1, "e");
            r.p[1] = Part(s1, "ui");
        } else {
            r.empty = true;
        }
    } else if (d == 9) {
        NounParts(e, r);
    } else {
        r.empty = true;
    }
}

// A pronoun made with a packon by the packon its meaning names ("(w/-dam)
// a certain"): quidam, quaedam, quiddam; an entry of another packon, or of
// none, keeps its stem.
void PackonParts(const DictionaryEntry& e, Parts& r) {
    struct Named {
        const char* packon;
        const char* forms[3];
    };
    static constexpr Named kNamed[] = {
        {"dam", {"quidam", "quaedam", "quiddam"}},       {"que", {"quisque", "quaeque", "quidque"}},
        {"cumque", {"quicumque", "quaecumque", "quodcumque"}}, {"quam", {"quisquam", "quicquam", ""}},
        {"libet", {"quilibet", "quaelibet", "quodlibet"}}, {"vis", {"quivis", "quaevis", "quidvis"}},
        {"piam", {"quispiam", "quaepiam", "quidpiam"}},   {"quis", {"quisquis", "quidquid", ""}},
        {"quid", {"quisquis", "quidquid", ""}},           {"quo", {"quisquis", "quidquid", ""}},
    };
    const std::string meaning = e.meaning;
    if (BeginsWith(meaning, "(w/-") && TrimBlanks(e.stems[0]) == "qu") {
        const std::string packon = meaning.substr(4, meaning.find(')') - 4);
        for (const Named& named : kNamed) {
            if (packon != named.packon) continue;
            for (int k = 0; k < 3; ++k) r.p[k] = named.forms[k];
            return;
        }
    }
    r.p[0] = Part(e.stems[0], "");
}

void Three(Parts& r, const char* s1, const char* a, const char* s2, const char* b, const char* s3,
           const char* c) {
    r.p[0] = Part(s1, a);
    r.p[1] = Part(s2, b);
    r.p[2] = Part(s3, c);
}

void AdjectiveParts(const DictionaryEntry& e, Parts& r) {
    const char* s1 = e.stems[0];
    const char* s2 = e.stems[1];
    const int32_t d = e.part.first, v = e.part.variant, comparison = e.part.third;
    if (comparison == COMP_COMP) {
        Three(r, s1, "or", s1, "or", s1, "us");
    } else if (comparison == COMP_SUPER && s2[0] != 0) {
        // A further superlative of an adjective (maxumus beside maximus)
        // names the adjective by its second stem: magnus, maxumus -a -um.
        r.p[0] = Part(s2, "us");
        r.p[1] = Part(s1, "mus -a -um");
    } else if (comparison == COMP_SUPER) {
        Three(r, s1, "mus", s1, "ma", s1, "mum");
    } else if (comparison == COMP_X) {
        if (d == 1 && v == 1) { r.p[0] = Part(s1, "us"); r.p[1] = Part(s2, "a -um"); }
        else if (d == 1 && v == 2) { r.p[0] = Part(s1, ""); r.p[1] = Part(s2, "a -um"); }
        else if (d == 3 && v == 1) { r.p[0] = Part(s1, ""); r.p[1] = Part(s2, "is (gen.)"); }
        else if (d == 3 && v == 2) { r.p[0] = Part(s1, "is"); r.p[1] = Part(s2, "e"); }
        else if (d == 3 && v == 3) { r.p[0] = Part(s1, ""); r.p[1] = Part(s2, "is -e"); }
        else if (d == 9) { r.p[0] = Part(s1, ""); r.p[1] = "undeclined"; }
        else { r.empty = true; return; }
        r.p[2] = Part(e.stems[2], "or -or -us");
        r.p[3] = Part(e.stems[3], "mus -a -um");
    } else if (comparison == COMP_POS) {
        if (d == 1) {
            if (v == 1) Three(r, s1, "us", s2, "a", s2, "um");
            else if (v == 2) Three(r, s1, "", s2, "a", s2, "um");
            else if (v == 3) Three(r, s1, "us", s2, "a", s2, "um (gen -ius)");
            else if (v == 4) Three(r, s1, "", s2, "a", s2, "um");
            else if (v == 5) Three(r, s1, "us", s2, "a", s2, "ud");
            else r.empty = true;
        } else if (d == 4 && v == 1) {
            // plerique, pleraeque, pleraque: -que behind the plural's endings
            Three(r, s1, "ique", s2, "aeque", s2, "aque");
        } else if (d == 2) {
            if (v == 1) { r.p[0] = "-"; r.p[1] = Part(s1, "e"); r.p[2] = "-"; }
            else if (v == 2) { r.p[0] = "-"; r.p[1] = "a"; r.p[2] = "-"; }
            else if (v == 3) Three(r, s1, "es", s1, "es", s1, "es");
            else if (v == 6) { r.p[0] = Part(s1, "os"); r.p[1] = Part(s1, "os"); r.p[2] = "-"; }
            else if (v == 7) { r.p[0] = Part(s1, "os"); r.p[1] = "-"; r.p[2] = "-"; }
            else if (v == 8) { r.p[0] = "-"; r.p[1] = "-"; r.p[2] = Part(s2, "on"); }
            else r.empty = true;
        } else if (d == 3) {
            if (v == 1) { r.p[0] = Part(s1, ""); r.p[1] = Part(s2, "is (gen.)"); }
            else if (v == 2) Three(r, s1, "is", s2, "is", s2, "e");
            else if (v == 3) Three(r, s1, "", s2, "is", s2, "e");
            else if (v == 6) { r.p[0] = Part(s1, ""); r.p[1] = Part(s2, "os (gen.)"); }
            else r.empty = true;
        } else if (d == 9) {
            NounParts(e, r);
        } else {
            r.empty = true;
        }
    } else {
        r.empty = true;
    }
}

void NumeralParts(const DictionaryEntry& e, Parts& r) {
    const char* s1 = e.stems[0];
    const int32_t d = e.part.first, v = e.part.variant, sort = e.part.third;
    if (sort == NUMERAL_X) {
        static constexpr const char* kFirst[] = {"us -a -um", "o -ae o", "es -es -ia", "i -ae -a"};
        if ((d == 1 && v >= 1 && v <= 4) || d == 2) {
            r.p[0] = Part(s1, d == 1 ? kFirst[v - 1] : "");
            r.p[1] = Part(e.stems[1], "us -a -um");
            r.p[2] = Part(e.stems[2], "i -ae -a");
            r.p[3] = Part(e.stems[3], d == 2 || v == 4 ? "ie(n)s" : "");
        } else {
            r.p[0] = Part(s1, "");
        }
    } else if (sort == NUMERAL_CARD) {
        if (d == 1 && v == 1) Three(r, s1, "us", s1, "a", s1, "um");
        else if (d == 1 && v == 2) Three(r, s1, "o", s1, "ae", s1, "o");
        else if (d == 1 && v == 3) Three(r, s1, "es", s1, "es", s1, "ia");
        else if (d == 1 && v == 4) Three(r, s1, "i", s1, "ae", s1, "a");
        else r.p[0] = Part(s1, "");
    } else if (sort == NUMERAL_ORD) {
        Three(r, s1, "us", s1, "a", s1, "um");
    } else if (sort == NUMERAL_DIST) {
        Three(r, s1, "i", s1, "ae", s1, "a");
    } else {
        r.p[0] = Part(s1, "");
    }
}

void VerbParts(const DictionaryEntry& e, Parts& r) {
    const char* s1 = e.stems[0];
    const char* s2 = e.stems[1];
    const char* s3 = e.stems[2];
    const char* s4 = e.stems[3];
    const int32_t c = e.part.first, v = e.part.variant, kind = e.part.third;
    if (kind == VERB_DEP) {
        r.p[2] = "DEP";
        r.p[3] = Part(s4, "us sum");
        if (c == 1) { r.p[0] = Part(s1, "or"); r.p[1] = Part(s2, "ari"); }
        else if (c == 2) { r.p[0] = Part(s1, "eor"); r.p[1] = Part(s2, "eri"); }
        else if (c == 3) { r.p[0] = Part(s1, "or"); r.p[1] = Part(s2, v == 4 ? "iri" : "i"); }
        else r.empty = true;
        return;
    }
    if (c == 6 && v == 3) {
        // The present of volo and malo on a stem of its own (vis, mavult).
        const std::string stem = TrimBlanks(s1);
        const bool malo = stem == "mav";
        r.p[0] = malo ? "malo" : "volo";
        r.p[1] = malo ? "malle" : "velle";
        r.p[2] = malo ? "malui" : "volui";
        r.p[3] = "zzz";
        return;
    }
    if (kind == VERB_PERFDEF) {
        Three(r, s3, "i", s3, "isse", s4, "us");
        return;
    }
    if (kind == VERB_IMPERS && std::strncmp(s1, "zzz", 3) == 0 && std::strncmp(s2, "zzz", 3) == 0) {
        Three(r, s3, "it", s3, "isse", s4, "us est");
        return;
    }
    if (kind == VERB_IMPERS) {
        const size_t n = std::strlen(s1);
        const char* ending = nullptr;
        if (c == 1) ending = "at";
        else if (c == 2) ending = "et";
        else if (c == 3) ending = v == 2 || (n > 0 && s1[n - 1] == 'i') ? "t" : "it";
        else if (c == 5 && v == 1) ending = "est";
        else if (c == 7 && (v == 1 || v == 2)) ending = "t";
        if (ending != nullptr) r.p[0] = Part(s1, ending);
    } else {
        r.p[0] = Part(s1, c == 2 ? "eo" : c == 5 ? "um" : c == 7 && v == 2 ? "am" : "o");
    }
    switch (c) {
    case 1: r.p[1] = Part(s2, "are"); break;
    case 2: r.p[1] = Part(s2, "ere"); break;
    case 3: r.p[1] = Part(s2, v == 2 ? "re" : v == 3 ? "eri" : v == 4 ? "ire" : "ere"); break;
    case 5:
        if (v == 1) r.p[1] = Part(s2, "esse");
        else if (v == 2) r.p[1] = Part(s1, "e");
        break;
    case 6:
        if (v == 1) r.p[1] = Part(s2, "re");
        else if (v == 2) r.p[1] = Part(s2, "le");
        break;
    case 7:
        if (v == 3) r.p[1] = Part(s2, "se");
        break;
    case 8: r.p[1] = Part(s2, v == 1 ? "are" : v == 4 ? "ire" : "ere"); break;
    case 9:
        if (v == 8) { r.p[0] = Part(s1, "."); r.p[1] = "abb."; }
        else if (v == 9) { r.p[0] = Part(s1, ""); r.p[1] = "undeclined"; }
        break;
    default: break;
    }
    if (kind == VERB_IMPERS) {
        if (!BeginsWith(r.p[2], "PERFDEF")) r.p[2] = Part(s3, "it");
        r.p[3] = Part(s4, "us est");
    } else if (kind == VERB_SEMIDEP) {
        r.p[3] = Part(s4, "us sum");
    } else if (c == 5 && v == 1) {
        r.p[2] = Part(s3, "i");
        r.p[3] = Part(s4, "urus");
    } else if (c == 8) {
        r.p[2] = "additional";
        r.p[3] = "forms";
    } else if (c == 9) {
        r.p[2] = "BLANK";
        r.p[3] = "BLANK";
    } else {
        r.p[2] = Part(s3, "i");
        r.p[3] = Part(s4, "us");
    }
    if (c == 6 && v == 1) r.p[2] += " (ii)";
}

bool HasOnlyFirstStem(const DictionaryEntry& e) {
    return e.stems[1][0] == 0 && e.stems[2][0] == 0 && e.stems[3][0] == 0;
}

// Classes that follow the tables even with a single stem.
bool KeepsTablesWithOneStem(const PartEntry& p) {
    switch (p.partOfSpeech) {
    case POS_N: return p.first == 9;
    case POS_ADJ: return p.first == 9 || p.third == COMP_COMP || p.third == COMP_SUPER;
    case POS_V: return p.first == 9 && (p.variant == 8 || p.variant == 9);
    default: return false;
    }
}

void Finish(char* out, std::string text) {
    text = TrimBlanks(text);
    if (text.size() > kDictionaryFormSize - 1) text = TrimBlanks(text.substr(0, kDictionaryFormSize - 1));
    std::memcpy(out, text.c_str(), text.size() + 1);
}

}  // namespace

int MakeDictionaryForm(char* out, const DictionaryEntry& entry) {
    out[0] = 0;
    const PartEntry& part = entry.part;
    const char* posName = EnumName(kPartOfSpeechCodes, part.partOfSpeech);
    if (part.partOfSpeech == POS_PREP) {
        Finish(out, std::string(TrimBlanks(entry.stems[0])) + "  PREP  " + EnumName(kCaseCodes, part.first));
        return 0;
    }
    if (HasOnlyFirstStem(entry) && !KeepsTablesWithOneStem(part)) {
        Finish(out, TrimBlanks(entry.stems[0]) + "  " + posName);
        return 0;
    }
    Parts parts;
    switch (part.partOfSpeech) {
    case POS_N: NounParts(entry, parts); break;
    case POS_PRON: PronounParts(entry, parts); break;
    case POS_PACK: PackonParts(entry, parts); break;
    case POS_ADJ: AdjectiveParts(entry, parts); break;
    case POS_NUM: NumeralParts(entry, parts); break;
    case POS_ADV:
        if (part.first == 0) Three(parts, entry.stems[0], "", entry.stems[1], "", entry.stems[2], "");
        else parts.p[0] = Part(entry.stems[0], "");
        break;
    case POS_V: VerbParts(entry, parts); break;
    default: parts.p[0] = Part(entry.stems[0], ""); break;
    }
    if (parts.empty) return 0;

    // Empty parts are left out with their separators; a part on a "zzz"
    // stem (no such form) shows as "-".
    const std::string* p = parts.p;
    std::string text = BeginsWith(p[0], "zzz") ? std::string(" - ") : p[0];
    auto add = [&text](const std::string& part) {
        if (part.empty()) return;
        if (!text.empty()) text += ", ";
        text += BeginsWith(part, "zzz") ? std::string("- ") : part;
    };
    add(p[1]);
    if (!BeginsWith(p[2], "DEP") && !BeginsWith(p[2], "PERFDEF") && !BeginsWith(p[2], "BLANK")) add(p[2]);
    if (!BeginsWith(p[3], "BLANK")) add(p[3]);
    text += "  ";
    text += posName;
    text += "  ";
    if (part.partOfSpeech == POS_N) {
        if (part.first >= 1 && part.first <= 5 && part.variant >= 1 && part.variant <= 5)
            text += std::string(" (") + Ordinal(part.first) + ")";
        text += std::string(" ") + EnumName(kGenderCodes, part.third) + "  ";
    } else if (part.partOfSpeech == POS_V) {
        if (part.first >= 1 && part.first <= 3 && part.variant == 1)
            text += std::string(" (") + Ordinal(part.first) + ")";
        else if (part.first == 3 && part.variant == 4)
            text += " (3rd)";
        switch (part.third) {
        case VERB_GEN: case VERB_DAT: case VERB_ABL: case VERB_TRANS: case VERB_INTRANS:
        case VERB_IMPERS: case VERB_DEP: case VERB_SEMIDEP: case VERB_PERFDEF:
            text += std::string(" ") + EnumName(kVerbKindCodes, part.third) + "  ";
            break;
        default: break;
        }
    }
    Finish(out, text);
    return 0;
}

int MakeDictionaryFormText(char16_t* out, int capacity, const char16_t* line, int length) {
    if (capacity > 0) out[0] = 0;
    if (capacity < 1 || length >= 512 || length < 0) return 0;
    // Latin-1 whatever the system's code page: a unit from 256 on becomes "?".
    char text[512];
    int n = 0;
    for (; n < length && line[n] != 0; ++n) text[n] = line[n] < 256 ? static_cast<char>(line[n]) : '?';
    text[n] = 0;

    DictionaryEntry entry;
    ParseDictionaryLine(text, &entry, nullptr);
    for (int i = 0; i < 4; ++i) {
        std::string field = kStemColumns[i] < n ? std::string(text + kStemColumns[i], std::min(kMaxStem, n - kStemColumns[i])) : std::string();
        field = TrimBlanks(field);
        std::memcpy(entry.stems[i], field.c_str(), field.size() + 1);
    }
    char form[kDictionaryFormSize];
    MakeDictionaryForm(form, entry);
    if (form[0] == 0) return 0;

    std::string result = form;
    result += "  ";
    if (entry.part.partOfSpeech < POS_TACKON) {
        result += " [";
        result += EnumName(kAgeCodes, entry.age);
        result += EnumName(kAreaCodes, entry.area);
        result += EnumName(kGeographyCodes, entry.geography);
        result += EnumName(kFrequencyCodes, entry.frequency);
        result += EnumName(kSourceCodes, entry.source);
        result += "]  ";
    }
    const char* age = EntryAgeWord(entry.age);
    if (age[0] != ' ') result += std::string("  ") + age;
    const char* frequency = EntryFrequencyWord(entry.frequency);
    if (entry.frequency >= 4 && frequency[0] != ' ') result += std::string("  ") + frequency;

    int written = 0;
    for (; written < capacity - 1 && written < static_cast<int>(result.size()); ++written)
        out[written] = static_cast<unsigned char>(result[written]);
    out[written] = 0;
    return written;
}
