// ListStems and the writers of its single lines: grouping, scoring and
// ordering of a word's results, the inflection codes and the English
// renderings of inflections.
#include "latin/coded_output.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "latin/addon_tables.h"
#include "latin/dictionary_form.h"
#include "latin/latin_options.h"
#include "latin/latin_text.h"
#include "latin/result_sweep.h"

namespace {

constexpr int kMaxMeaningText = 511;

bool Codes() { return g_developerOptions[DO_TARVEL_CODES] != 0; }

void Put(CStringBuilder& out, const char* text) { out.AppendAnsi(text); }

void PutCode(CStringBuilder& out, const char* code) {
    if (Codes()) Put(out, code);
}

bool IsBlankWord(const char* word) {
    for (; *word; ++word) {
        if (*word != ' ') return false;
    }
    return true;
}

bool IsAddonPart(int32_t partOfSpeech) {
    return partOfSpeech == POS_TACKON || partOfSpeech == POS_PREFIX || partOfSpeech == POS_SUFFIX;
}

// "|" removed, trimmed of characters below 33 at both ends, at most 511.
void PutTrimmedText(CStringBuilder& out, const char* text) {
    std::string kept;
    for (; *text && kept.size() < kMaxMeaningText; ++text) {
        if (*text != '|') kept += *text;
    }
    size_t b = 0, e = kept.size();
    while (b < e && static_cast<unsigned char>(kept[b]) < 33) ++b;
    while (e > b && static_cast<unsigned char>(kept[e - 1]) < 33) --e;
    Put(out, kept.substr(b, e - b).c_str());
    Put(out, "\n");
}

// "w.v": declension or conjugation and variant, one digit each.
std::string DeclensionText(const InflectionRecord& r) {
    char first[16], variant[16];
    PutNumber(first, r.first, 1);
    PutNumber(variant, r.variant, 1);
    return std::string(first) + "." + variant;
}

const char* Abbrev(const CodeTable& table, int32_t value) { return EnumAbbreviation(table, value); }

// The six pieces of an English verb pattern around "~".
void PutVerbEnglish(CStringBuilder& out, const InflectionRecord& r, const DictionaryEntry& entry) {
    const int32_t tense = r.fields[F_TENSE], mood = r.fields[F_MOOD];
    const int32_t person = r.fields[F_PERSON], number = r.fields[F_VERB_NUMBER];
    const int32_t kind = entry.part.partOfSpeech == POS_V ? entry.part.third : VERB_X;
    int32_t voice = r.fields[F_VOICE];
    if (kind == VERB_DEP || (kind == VERB_SEMIDEP && (tense == TENSE_PERF || tense == TENSE_PLUP || tense == TENSE_FUTP)))
        voice = VOICE_ACTIVE;
    const bool singular = number == NUMBER_S, plural = number == NUMBER_P;
    const bool firstOrThirdSingular = singular && (person == 1 || person == 3);
    const bool thirdSingular = singular && person == 3;
    // 1. subject
    if (kind == VERB_IMPERS) {
        Put(out, "it ");
    } else if (mood == MOOD_INF) {
        Put(out, "to ");
    } else if (mood == MOOD_IMP && tense == TENSE_PRES && plural) {
        Put(out, "(you) ");
    } else if (mood == MOOD_SUB && tense == TENSE_PRES && person == 1 && plural) {
        Put(out, "let us ");
    } else if (person >= 1 && person <= 3 && (singular || plural)) {
        static const char* const kSingular[] = {"I ", "you ", "he/it "};
        static const char* const kPlural[] = {"we ", "you ", "they "};
        Put(out, singular ? kSingular[person - 1] : kPlural[person - 1]);
    }
    // 2. mood
    if (mood == MOOD_SUB) Put(out, "may/must/should ");
    // 3. future
    if (tense == TENSE_FUT || tense == TENSE_FUTP) {
        if (mood == MOOD_IND || mood == MOOD_SUB) Put(out, person == 1 ? "shall " : "will ");
        else if (mood == MOOD_IMP) Put(out, person == 1 ? "will " : "(shall) ");
        else if (mood == MOOD_INF && tense == TENSE_FUT) Put(out, "be about to be ");
    }
    // 4. perfect
    if (tense == TENSE_PERF) Put(out, thirdSingular ? "has " : "have ");
    else if (tense == TENSE_PLUP && mood == MOOD_IND) Put(out, "had ");
    else if (tense == TENSE_PLUP && mood == MOOD_SUB) Put(out, "have ");
    else if (tense == TENSE_FUTP) Put(out, "have ");
    // 5. passive
    const bool passive = voice == VOICE_PASSIVE;
    if (passive) {
        if (mood == MOOD_IND) {
            switch (tense) {
            case TENSE_PRES:
                Put(out, singular && person == 1 ? "am/am being " : thirdSingular ? "is/is being " : "are/are being ");
                break;
            case TENSE_IMPF: Put(out, firstOrThirdSingular ? "was/was being " : "were/were being "); break;
            case TENSE_FUT: Put(out, "be "); break;
            case TENSE_PERF: Put(out, firstOrThirdSingular ? "been/was " : "been/were "); break;
            case TENSE_PLUP:
            case TENSE_FUTP: Put(out, "been "); break;
            default: break;
            }
        } else if (mood == MOOD_INF) {
            if (tense == TENSE_PRES) Put(out, "be ");
            else if (tense == TENSE_PERF) Put(out, "been ");
        } else if (mood == MOOD_IMP) {
            Put(out, "be ");
        }
    }
    // 6. the sign and its ending
    Put(out, "~");
    if (mood == MOOD_IMP) {
        Put(out, passive ? "ed!" : "!");
    } else if (mood == MOOD_INF) {
        if (passive) Put(out, "ed");
    } else if (mood == MOOD_IND && !passive) {
        if (tense == TENSE_PRES && thirdSingular) Put(out, "s");
        else if (tense == TENSE_IMPF) Put(out, firstOrThirdSingular ? "ed/was ~ing" : "ed/were ~ing");
        else if (tense == TENSE_PERF || tense == TENSE_PLUP || tense == TENSE_FUTP) Put(out, "ed");
    } else if (mood == MOOD_IND) {
        Put(out, "ed");
    } else if (mood == MOOD_SUB && (tense == TENSE_PERF || tense == TENSE_PLUP)) {
        Put(out, "ed");
    }
}

void PutEnglishMeaning(CStringBuilder& out, const InflectionRecord& r, const DictionaryEntry& entry) {
    if (!g_wordOptions[DO_EXAMPLES]) return;
    const int32_t* f = r.fields;
    switch (r.partOfSpeech) {
    case POS_N:
        if (f[F_CASE] == CASE_GEN) Put(out, "~'s; of ~\n");
        else if (f[F_CASE] == CASE_LOC) Put(out, "at ~ (place where)\n");
        else if (f[F_CASE] == CASE_DAT || f[F_CASE] == CASE_ABL) {
            Put(out, "\n");
            out.PadToColumn(6);
            Put(out, f[F_CASE] == CASE_DAT
                         ? "for _ (purpose, reference); to ~ (w/adjectives); to ~ (double dative)\n"
                         : "from _ (separ); because of ~ (cause); than ~ (compar); of ~ (circumstance)\n");
        }
        break;
    case POS_ADJ:
        if (f[F_COMPARISON] == COMP_COMP) Put(out, "~er; more/too _\n");
        else if (f[F_COMPARISON] == COMP_SUPER) Put(out, "~est; most/very\n");
        break;
    case POS_ADV:
        if (r.first == COMP_COMP) Put(out, "more/too ~(ly)\n");
        else if (r.first == COMP_SUPER) Put(out, "most/very ~(ly)\n");
        break;
    case POS_V:
        out.PadToColumn(6);
        PutVerbEnglish(out, r, entry);
        Put(out, "\n");
        break;
    case POS_VPAR: {
        const int32_t tense = f[F_PARTICIPLE_TENSE];
        if (tense == TENSE_PRES) {
            Put(out, "~ing  PRES ACTIVE PPL often used as ADJ or N (lov.ing, curl.y)\n");
        } else if (tense == TENSE_PERF) {
            Put(out, "~ed  PERF PASSIVE PPL often used as ADJ or N (amatus: belov.ed)\n");
        } else if (tense == TENSE_FUT && f[F_PARTICIPLE_VOICE] == VOICE_ACTIVE) {
            Put(out, "about/going/intending/destined to ~  FUT ACTIVE PPL often used as ADJ or N\n");
        } else if (tense == TENSE_FUT) {
            const char* use = "(~ing)";
            switch (f[F_CASE]) {
            case CASE_GEN: use = "(of ~ing)"; break;
            case CASE_DAT: use = "(to/for ~ing)"; break;
            case CASE_ABL: use = "(by/in ~ing)"; break;
            case CASE_ACC: use = "(for ~ing/to ~)"; break;
            default: break;
            }
            Put(out, "to(/must) be ~ed  FUT PASSIVE PPL, often used as gerund or gerundive ");
            Put(out, use);
            Put(out, "\n");
        }
        break;
    }
    case POS_SUPINE:
        if (f[F_CASE] == CASE_ACC) Put(out, "to ~  expresses purpose of verb of motion; may take a direct object\n");
        else if (f[F_CASE] == CASE_ABL) Put(out, "to ~  after ADJ indicating aspect/respect in which something is/is done\n");
        break;
    default:
        break;
    }
}

bool IsDeponentGroup(const EntryGroup& group) {
    return group.kind == RESULT_ENTRY && group.entry.part.partOfSpeech == POS_V && group.entry.part.third == VERB_DEP;
}

// The voice of a deponent's finite forms, infinitives and participles is shown as "-".
bool HidesVoice(const InflectionRecord& r) {
    if (r.partOfSpeech == POS_V) {
        const int32_t mood = r.fields[F_MOOD];
        return mood == MOOD_IND || mood == MOOD_SUB || mood == MOOD_IMP || mood == MOOD_INF;
    }
    return r.partOfSpeech == POS_VPAR && r.fields[F_PARTICIPLE_MOOD] == MOOD_PPL;
}

void PutInflectionLine(CStringBuilder& out, const GroupLine& line, const EntryGroup& group) {
    if (g_wordOptions[DO_ONLY_MEANINGS]) return;
    const InflectionRecord& r = line.inflection;
    out.PadToColumn(1);
    PutCode(out, group.kind == RESULT_ADDON ? "05 "
                 : group.kind == RESULT_TRICK || group.kind == RESULT_SYNCOPE ? "07 " : "01 ");
    if (r.partOfSpeech == POS_SUFFIX || r.partOfSpeech == POS_TACKON) Put(out, "-");
    char stem[kStemSize + 1];
    std::snprintf(stem, sizeof stem, "%.*s", kStemSize, line.stem);
    Put(out, stem);
    if (r.endingLength > 0) {
        char ending[kMaxEnding + 2];
        std::snprintf(ending, sizeof ending, ".%.*s", kMaxEnding, r.ending);
        Put(out, ending);
    }
    if (r.partOfSpeech == POS_X || r.partOfSpeech == POS_TACKON || r.partOfSpeech == POS_SUFFIX) {
        Put(out, "\n");
        return;
    }
    if (r.partOfSpeech == POS_PREFIX) {
        Put(out, "-\n");
        return;
    }
    char codes[128];
    PutInflectionCodes(codes, r, IsDeponentGroup(group) && HidesVoice(r));
    Put(out, " - ");
    Put(out, codes);
    const char* age = InflectionAgeWord(r.age);
    if (g_wordOptions[SHOW_AGE] || (r.age != 0 && !IsBlankWord(age))) {
        Put(out, "  ");
        Put(out, age);
    }
    const char* frequency = InflectionFrequencyWord(r.frequency);
    if (g_wordOptions[SHOW_FREQUENCY] || (r.frequency >= 3 && !IsBlankWord(frequency))) {
        Put(out, "  ");
        Put(out, frequency);
    }
    Put(out, "\n");
    PutEnglishMeaning(out, r, group.entry);
}

void PutDictionaryFormLine(CStringBuilder& out, const DictionaryEntry& entry) {
    const char16_t* before = out.write;
    if (g_wordOptions[DO_DICTIONARY_FORMS]) {
        PutCode(out, "02 ");
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        if (form[0] != 0) {
            Put(out, form);
            Put(out, "  ");
        }
    }
    if (g_developerOptions[SHOW_DICTIONARY_CODES] && !IsAddonPart(entry.part.partOfSpeech)) {
        char codes[64];
        std::snprintf(codes, sizeof codes, " [%s%s%s%s%s]  ", EnumName(kAgeCodes, entry.age),
                      EnumName(kAreaCodes, entry.area), EnumName(kGeographyCodes, entry.geography),
                      EnumName(kFrequencyCodes, entry.frequency), EnumName(kSourceCodes, entry.source));
        Put(out, codes);
    }
    const char* age = EntryAgeWord(entry.age);
    if (g_wordOptions[SHOW_AGE] || !IsBlankWord(age)) {
        Put(out, "  ");
        Put(out, age);
    }
    const char* frequency = EntryFrequencyWord(entry.frequency);
    if (g_wordOptions[SHOW_FREQUENCY] || (entry.frequency >= 4 && !IsBlankWord(frequency))) {
        Put(out, "  ");
        Put(out, frequency);
    }
    if (out.write != before) Put(out, "\n");
}

void PutNote(CStringBuilder& out, const char* code, int kind) {
    char* note = g_word.notes[kind];
    if (note[0] == 0) return;
    PutCode(out, code);
    PutTrimmedText(out, note);
    note[0] = 0;
}

void PutMeaningLines(CStringBuilder& out, const GroupLine* first, const EntryGroup& group) {
    switch (group.kind) {
    case RESULT_ADDON:
        PutCode(out, "06 ");
        PutTrimmedText(out, group.id < static_cast<uint32_t>(g_addons.meaningCount) ? g_addons.meanings[group.id] : "");
        return;
    case RESULT_TRICK:
    case RESULT_SYNCOPE:
    case RESULT_NOTE:
        PutNote(out, "06 ", group.kind);
        return;
    case RESULT_NAME:
    case RESULT_ROMAN:
        PutNote(out, "03 ", group.kind);
        return;
    default:
        break;
    }
    PutCode(out, "03 ");
    const PartEntry& part = group.entry.part;
    if (part.partOfSpeech == POS_NUM && part.fourth > 0) {
        const int value = part.fourth;
        const int32_t sort = first != nullptr && first->inflection.partOfSpeech == POS_NUM
                                 ? first->inflection.fields[F_NUMERAL_SORT] : NUMERAL_X;
        char text[200];
        switch (sort) {
        case NUMERAL_CARD: std::snprintf(text, sizeof text, "%d - (CARD answers 'how many');", value); break;
        case NUMERAL_ORD:
            std::snprintf(text, sizeof text, "%dth - (ORD, 'in series'); (a/the) %dth (part) (fract w/pars?);", value,
                          value);
            break;
        case NUMERAL_DIST:
            std::snprintf(text, sizeof text,
                          "%d each/apiece/times/fold/together/at a time - 'how many each'; by %d s; ", value, value);
            break;
        case NUMERAL_ADVERB:
            std::snprintf(text, sizeof text, "%d times, on %d occasions - (ADVERB answers 'how often');", value, value);
            break;
        default: std::snprintf(text, sizeof text, "Number %d", value); break;
        }
        PutTrimmedText(out, text);
        return;
    }
    PutTrimmedText(out, group.entry.meaning);
}

bool GroupsWithLastByEntry(int32_t partOfSpeech) {
    switch (partOfSpeech) {
    case POS_N: case POS_PRON: case POS_PACK: case POS_ADJ: case POS_NUM: case POS_PREP: return true;
    default: return false;
    }
}

// The tag that heads the readings of the word split before an enclitic; a
// packon's tag (quis + que, quisque) follows its readings instead.
bool IsEncliticTag(const ParseRecord& r) {
    if (r.kind != RESULT_ADDON || r.inflection.partOfSpeech != POS_TACKON) return false;
    for (int t = 0; t < kEncliticCount && t < g_addons.tackonCount; ++t) {
        const TackonRecord& tackon = g_addons.tackons[t];
        if (r.id == static_cast<uint32_t>(tackon.meaningIndex) && std::strcmp(r.stem, tackon.text) == 0) return true;
    }
    return false;
}

}  // namespace

void GroupRecords(const ResultList& results, Grouping& g) {
    g.groupCount = 0;
    g.lineCount = 0;
    bool enclitic = false;  // behind the enclitic's tag
    // Behind a prefix: the run of records of one part of speech that the
    // prefix was read with (num + quam, qui's accusative).
    bool prefixed = false;
    int32_t prefixedPart = POS_X;
    auto open = [&](const ParseRecord& r, bool readEntry) {
        if (!g.Open(r, readEntry)) return false;
        g.groups[g.groupCount - 1].split = enclitic || prefixed;
        return true;
    };
    for (int i = 0; i <= results.last; ++i) {
        const ParseRecord& r = results.records[i];
        enclitic = enclitic || IsEncliticTag(r);
        const int32_t pos = r.inflection.partOfSpeech;
        if (r.kind == RESULT_ADDON && pos == POS_PREFIX) {
            prefixed = true;
            prefixedPart = POS_X;
        } else if (prefixed && prefixedPart == POS_X) {
            prefixedPart = pos;
        } else if (prefixed && pos != prefixedPart) {
            prefixed = false;
        }
        const EntryGroup* last = g.groupCount > 0 ? &g.groups[g.groupCount - 1] : nullptr;
        if (GroupsWithLastByEntry(pos)) {
            if ((last == nullptr || last->kind != r.kind || last->id != r.id) && g.groupCount < kMaxGroups)
                open(r, r.kind == RESULT_ENTRY && r.id != 0);
            g.AddLineToGroup(r);
        } else if (pos == POS_V || pos == POS_VPAR || pos == POS_SUPINE) {
            if (last != nullptr && (last->id == r.id || r.kind == RESULT_NOTE)) {
                g.AddLineToGroup(r);
                continue;
            }
            if (g.Full()) return;
            if (open(r, r.id != 0 && r.kind != RESULT_ADDON)) g.AddLineToGroup(r);
        } else {
            if (r.kind == RESULT_NONE && r.id == 0) continue;
            if (g.Full()) return;
            if (open(r, r.id != 0 && r.kind != RESULT_ADDON)) g.AddLineToGroup(r);
        }
    }
}

namespace {

// The principal parts of the dictionary form, each cut at its first blank
// ("facio, facere, feci, factus  V" gives facio, facere, feci, factus; "vox,
// vocis" gives vox, vocis), the head first; "undeclined", a label, and "-",
// a form the word lacks, are none.
std::vector<std::string> FormParts(const DictionaryEntry& entry) {
    char form[kDictionaryFormSize];
    MakeDictionaryForm(form, entry);
    std::string text(form);
    text = text.substr(0, text.find("  "));
    std::vector<std::string> parts;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find(", ", at);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(at, end - at);
        part = part.substr(0, part.find(' '));
        if (parts.empty() || (part != "undeclined" && part != "-" && !part.empty())) parts.push_back(part);
        at = end + 2;
    }
    if (parts.empty()) parts.emplace_back();
    return parts;
}

// The principal part a group's word is scored against: the head, or where
// one of the group's lines is on a stem the head does not show (natum on
// nascor's "nat", vocem on vox's "voc", fecit on facio's "fec"), the part
// that shows that stem (natus, vocis, feci) when it matches further. Only a
// verb's, a noun's and a pronoun's parts are forms of the word itself: an
// adjective's or adverb's further parts are its degrees (sapientior would
// take sapientius from the adverb), a numeral's other numerals (secundus,
// bini), and those keep the head.
const std::string& ScoredPart(const char* word, const std::vector<std::string>& parts, const EntryGroup& group,
                              const Grouping& g) {
    const std::string* best = &parts.front();
    const int32_t pos = group.entry.part.partOfSpeech;
    if (pos != POS_V && pos != POS_N && pos != POS_PRON) return *best;
    int bestScore = MatchedLength(word, best->c_str());
    for (int k = 0; k < group.lineCount; ++k) {
        const char* stem = g.lines[group.firstLine + k].stem;
        const size_t length = std::strlen(stem);
        if (length == 0 || parts.front().compare(0, length, stem) == 0) continue;
        for (const std::string& part : parts) {
            const int score = MatchedLength(word, part.c_str());
            if (part.compare(0, length, stem) == 0 && score > bestScore) {
                best = &part;
                bestScore = score;
            }
        }
    }
    return *best;
}

// A vocative, a supine or an accusative in -im: the rarest forms of their
// words, whatever the word's frequency.
bool IsRareForm(const GroupLine& line) {
    const InflectionRecord& r = line.inflection;
    if (r.partOfSpeech == POS_SUPINE) return true;
    const bool declined = r.partOfSpeech == POS_N || r.partOfSpeech == POS_ADJ || r.partOfSpeech == POS_VPAR;
    if (declined && r.fields[F_CASE] == CASE_VOC) return true;
    return r.partOfSpeech == POS_N && r.fields[F_CASE] == CASE_ACC && std::strcmp(r.ending, "im") == 0;
}

// How common a group's reading is, from its entry's frequency letter: 5
// for A (very frequent) down to 0 for F (very rare); an entry without a
// letter (the lexicon gives it no count) counts as D, the middle. A reading
// only by rare forms (maxime as magnus's vocative, habitu as habeo's supine,
// partim as pars's accusative) is as rare as F whatever its word.
int Commonness(const EntryGroup& group, const Grouping& g) {
    if (group.kind != RESULT_ENTRY) return 0;
    bool rareOnly = group.lineCount > 0;
    for (int k = 0; k < group.lineCount && rareOnly; ++k) rareOnly = IsRareForm(g.lines[group.firstLine + k]);
    if (rareOnly) return 0;
    const int32_t f = group.entry.frequency;
    return f >= 1 && f <= 6 ? 6 - f : kUnknownCommonness;
}

// A word of one form: an adverb, conjunction, preposition or interjection,
// an undeclined noun, adjective or numeral.
bool IsOneFormEntry(const DictionaryEntry& entry) {
    switch (entry.part.partOfSpeech) {
    case POS_ADV: case POS_CONJ: case POS_PREP: case POS_INTERJ: return true;
    case POS_N: case POS_ADJ: return entry.part.first == 9;
    case POS_NUM: return entry.part.first == 9 || entry.part.first == 2;
    default: return false;
    }
}

}  // namespace

int MatchedLength(const char* word, const char* form) {
    int n = 0;
    while (word[n] != 0 && form[n] != 0 && (word[n] == form[n] || LowerLetter(word[n]) == form[n])) ++n;
    return n;
}

int ReadingRank(const EntryGroup& group, const Grouping& g) {
    int rank = group.score + kCommonnessWeight * Commonness(group, g);
    if (group.whole && group.score >= kWholeWordLetters && IsOneFormEntry(group.entry)) rank += kWholeWordBonus;
    return rank;
}

namespace {

// Whether group b goes before group a: one rank per group, so the order is
// the same whatever order the groups came in. A reading of the whole word
// goes before the readings of the word split before its enclitic: a lemma
// that ends in -que (utrumque, quisque, itaque) is that lemma first, and
// utrum with -que only second. Else the higher rank goes first: the score
// (the length of the word's common beginning with the principal part it is
// read by) and how common the reading is, so that a far commoner lemma goes
// before a rare homograph that only wins on its score (velle volo before
// vello, potes possum before poto, mei ego before meio), while a word of one
// form that is the whole word (maxime, numquam, partim, bis) is not
// overtaken by an inflected homograph (magnus, qui, pars, duo). Of equal
// ranks, a reading whose head is the word goes before one that reached the
// rank only by a further principal part (veritas before vereor's participle).
bool GoesBefore(const EntryGroup& b, const EntryGroup& a) {
    if (a.split != b.split) return a.split;
    if (a.rank != b.rank) return a.rank < b.rank;
    if (a.whole != b.whole && (a.byFurtherPart || b.byFurtherPart)) return b.whole;
    if (a.commonness != b.commonness) return a.commonness < b.commonness;
    return a.exactCase < b.exactCase;
}

void ScoreAndOrder(const char* word, Grouping& g) {
    const int wordLength = static_cast<int>(std::strlen(word));
    for (int i = 0; i < g.groupCount; ++i) {
        EntryGroup& group = g.groups[i];
        if (group.kind == RESULT_TRICK || group.kind == RESULT_SYNCOPE || group.kind == RESULT_NOTE) return;
        const std::vector<std::string> parts = FormParts(group.entry);
        const std::string& head = parts.front();
        const std::string& scored = ScoredPart(word, parts, group, g);
        // A capital of the word matches the form's small letter, so a word
        // that opens a sentence (Quod, Utrumque) reads as it does in lower
        // case; a small letter matches only itself, so a lower-case word
        // reads as a common noun before a name (caeli caelum, not Caelius).
        group.score = MatchedLength(word, scored.c_str());
        group.byFurtherPart = &scored != &head;
        int exact = 0;
        while (exact < group.score && word[exact] == scored[exact]) ++exact;
        group.exactCase = exact;
        group.whole = MatchedLength(word, head.c_str()) == wordLength && wordLength == static_cast<int>(head.size());
    }
    for (int i = 0; i < g.groupCount; ++i) {
        g.groups[i].commonness = Commonness(g.groups[i], g);
        g.groups[i].rank = ReadingRank(g.groups[i], g);
    }
    for (int pass = 0; pass < 1000; ++pass) {
        bool swapped = false;
        for (int i = 0; i + 1 < g.groupCount; ++i) {
            if (GoesBefore(g.groups[i + 1], g.groups[i])) {
                std::swap(g.groups[i], g.groups[i + 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

// The kind-4 group of an unknown word taken as a name.
void AddNameGroup(const char* word, const char* note, Grouping& g) {
    SetNote(RESULT_NAME, note);
    ParseRecord record;
    std::snprintf(record.stem, sizeof record.stem, "%s", word);
    record.inflection.partOfSpeech = POS_N;
    record.kind = RESULT_NAME;
    g.Open(record, false);
    g.AddLineToGroup(record);
}

}  // namespace

void PutInflectionCodes(char* out, const InflectionRecord& r, bool deponent) {
    const int32_t* f = r.fields;
    std::string text = Abbrev(kPartOfSpeechCodes, r.partOfSpeech);
    text += ' ';
    const std::string wv = DeclensionText(r);
    switch (r.partOfSpeech) {
    case POS_N:
    case POS_PRON:
        text += wv + " " + Abbrev(kGenderCodes, f[F_GENDER]) + ", " + Abbrev(kCaseCodes, f[F_CASE]) + " " +
                Abbrev(kNumberCodes, f[F_NUMBER]);
        break;
    case POS_PACK:
    case POS_SUPINE:
        text += wv + " " + Abbrev(kCaseCodes, f[F_CASE]) + " " + Abbrev(kNumberCodes, f[F_NUMBER]) + " " +
                Abbrev(kGenderCodes, f[F_GENDER]);
        break;
    case POS_ADJ:
        text += wv + " " + Abbrev(kGenderCodes, f[F_GENDER]) + ", " + Abbrev(kCaseCodes, f[F_CASE]) + " " +
                Abbrev(kNumberCodes, f[F_NUMBER]) + ", " + Abbrev(kComparisonCodes, f[F_COMPARISON]);
        break;
    case POS_NUM:
        text += wv + " ";
        if (f[F_NUMERAL_SORT] != NUMERAL_ADVERB)
            text += std::string(Abbrev(kCaseCodes, f[F_CASE])) + " " + Abbrev(kNumberCodes, f[F_NUMBER]) + " " +
                    Abbrev(kGenderCodes, f[F_GENDER]) + " ";
        text += Abbrev(kNumeralSortCodes, f[F_NUMERAL_SORT]);
        break;
    case POS_ADV: text += Abbrev(kComparisonCodes, r.first); break;
    case POS_V: {
        text += wv + ", " + Abbrev(kTenseCodes, f[F_TENSE]) + " " + Abbrev(kMoodCodes, f[F_MOOD]) + " " +
                Abbrev(kVoiceCodes, deponent ? VOICE_X : f[F_VOICE]);
        if (f[F_MOOD] != MOOD_INF) {
            char person[16];
            PutNumber(person, f[F_PERSON], kPersonWidth);
            text += std::string(", ") + person + " " + Abbrev(kNumberCodes, f[F_VERB_NUMBER]);
        }
        break;
    }
    case POS_VPAR:
        text += wv + " " + Abbrev(kCaseCodes, f[F_CASE]) + " " + Abbrev(kNumberCodes, f[F_NUMBER]) + " " +
                Abbrev(kGenderCodes, f[F_GENDER]) + " " + Abbrev(kTenseCodes, f[F_PARTICIPLE_TENSE]) + " " +
                Abbrev(kMoodCodes, f[F_PARTICIPLE_MOOD]) + " " +
                Abbrev(kVoiceCodes, deponent ? VOICE_X : f[F_PARTICIPLE_VOICE]);
        break;
    case POS_PREP: text += Abbrev(kCaseCodes, r.first); break;
    default: break;
    }
    std::snprintf(out, 128, "%s", text.c_str());
}

void AddAdverbFromAdjective(ResultList& results) {
    for (int i = results.last; i >= 0; --i) {
        const InflectionRecord& a = results.records[i].inflection;
        if (a.partOfSpeech != POS_ADJ || a.fields[F_CASE] != CASE_VOC || a.fields[F_NUMBER] != NUMBER_S ||
            a.fields[F_GENDER] != GENDER_M)
            continue;
        const int32_t comparison = a.fields[F_COMPARISON];
        const bool positive = comparison == COMP_POS && a.first == 1 && a.variant == 1;
        if (!positive && comparison != COMP_SUPER) continue;
        int runStart = i;
        while (runStart > 0 && results.records[runStart - 1].inflection.partOfSpeech == POS_ADJ) --runStart;
        int addonStart = runStart;
        while (addonStart > 0 && IsAddonPart(results.records[addonStart - 1].inflection.partOfSpeech)) --addonStart;
        // Copies are taken first: appending may not move, but the run's
        // first record is read after the addons are appended.
        const ParseRecord first = results.records[runStart];
        for (int k = addonStart; k < runStart; ++k) {
            const ParseRecord copy = results.records[k];
            results.Append(copy);
        }
        ParseRecord suffix;
        std::snprintf(suffix.stem, sizeof suffix.stem, "e");
        suffix.inflection.partOfSpeech = POS_SUFFIX;
        suffix.inflection.frequency = 2;
        suffix.kind = RESULT_NOTE;
        results.Append(suffix);
        const int32_t firstComparison = first.inflection.fields[F_COMPARISON];
        if (firstComparison == COMP_POS || firstComparison == COMP_SUPER) {
            ParseRecord adverb;
            std::memcpy(adverb.stem, first.stem, kStemSize);
            adverb.kind = first.kind;
            adverb.id = first.id;
            InflectionRecord& r = adverb.inflection;
            r.partOfSpeech = POS_ADV;
            r.first = firstComparison;
            r.frequency = 2;
            const char* ending = firstComparison == COMP_POS ? "e" : "me";
            r.endingLength = static_cast<int32_t>(std::strlen(ending));
            std::snprintf(r.ending, sizeof r.ending, "%s", ending);
            results.Append(adverb);
        }
        SetNote(RESULT_NOTE, comparison == COMP_POS ? "-ly; -ily;  Converting ADJ to ADV"
                                                    : "-estly; -estily; most -ly, very -ly  Converting ADJ to ADV");
    }
}

void ListStems(CStringBuilder& out, const char* word, ResultList& results) {
    bool hasAdverb = false;
    for (int i = 0; i <= results.last; ++i) hasAdverb = hasAdverb || results.records[i].inflection.partOfSpeech == POS_ADV;
    if (!hasAdverb && g_wordOptions[DO_FIXES]) AddAdverbFromAdjective(results);
    int dropped = 0;
    SweepList(results, &dropped);

    auto grouping = std::make_unique<Grouping>();
    Grouping& g = *grouping;
    if (results.Count() > 0) {
        GroupRecords(results, g);
    } else if (g_wordOptions[IGNORE_UNKNOWN_NAMES] && g_word.capitalised) {
        AddNameGroup(word, "Assume this is capitalized proper name/abbr, under MODE IGNORE_UNKNOWN_NAME ", g);
    } else if (g_wordOptions[IGNORE_UNKNOWN_CAPS] && g_word.allCapitals) {
        AddNameGroup(word, "Assume this is capitalized proper name/abbr, under MODE IGNORE_UNKNOWN_CAPS ", g);
    } else {
        PutCode(out, "04 ");
        Put(out, word);
        Put(out, "    ========   UNKNOWN    \n");
    }
    ScoreAndOrder(word, g);

    std::string previousForm;
    for (int i = 0; i < g.groupCount; ++i) {
        const EntryGroup& group = g.groups[i];
        char head[48];
        std::snprintf(head, sizeof head, "10 %d %u\n", group.kind, group.id);
        Put(out, head);
        const GroupLine* first = group.firstLine >= 0 ? &g.lines[group.firstLine] : nullptr;
        for (int k = 0; k < group.lineCount; ++k) PutInflectionLine(out, g.lines[group.firstLine + k], group);
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, group.entry);
        const int32_t firstPart = first != nullptr ? first->inflection.partOfSpeech : POS_X;
        if (previousForm != form && !IsAddonPart(firstPart) && group.kind == RESULT_ENTRY)
            PutDictionaryFormLine(out, group.entry);
        previousForm = form;
        PutMeaningLines(out, first, group);
    }
    Put(out, "\n");
    if (dropped) Put(out, "*");
    Put(out, "\n");
}

void Grouping::AddLineToGroup(const ParseRecord& record) {
    if (groupCount == 0 || lineCount >= kMaxGroupLines) return;
    GroupLine& line = lines[lineCount];
    std::memcpy(line.stem, record.stem, kStemSize);
    line.stem[kStemSize - 1] = 0;
    line.inflection = record.inflection;
    EntryGroup& group = groups[groupCount - 1];
    if (group.firstLine < 0) group.firstLine = lineCount;
    ++group.lineCount;
    ++lineCount;
}

bool Grouping::Open(const ParseRecord& record, bool readEntry) {
    EntryGroup& group = groups[groupCount];
    group = EntryGroup{};
    group.kind = record.kind;
    group.id = record.id;
    if (readEntry && ReadDictionaryEntry(&group.entry, record.id) != 0) return false;
    ++groupCount;
    return true;
}

void CodedLineWriter::ListStems(const char* word, ResultList& results) { ::ListStems(out_, word, results); }
