// SweepList: ranges of analyses ordered, trimmed and cleared of duplicates.
#include "latin/result_sweep.h"

#include <cstring>
#include <map>

#include "latin/dictionary_entry.h"
#include "latin/grammar_codes.h"
#include "latin/inflection_order.h"
#include "latin/latin_options.h"

namespace {

// The dictionary entries of one word, each read once.
class EntryCache {
public:
    const DictionaryEntry* Find(const ParseRecord& record) {
        if (record.kind != RESULT_ENTRY || record.id == 0) return nullptr;
        auto it = entries_.find(record.id);
        if (it == entries_.end()) {
            Slot slot;
            slot.read = ReadDictionaryEntry(&slot.entry, record.id) == 0;
            it = entries_.emplace(record.id, slot).first;
        }
        return it->second.read ? &it->second.entry : nullptr;
    }
private:
    struct Slot { DictionaryEntry entry; bool read = false; };
    std::map<uint32_t, Slot> entries_;
};

bool IsAddonLike(const ParseRecord& r) {
    const int32_t pos = r.inflection.partOfSpeech;
    return (r.kind >= RESULT_ADDON && r.kind <= RESULT_SYNCOPE) || pos == POS_TACKON || pos == POS_PREFIX ||
           pos == POS_SUFFIX;
}

bool EndsWith(const char* stem, const char* tail) {
    const size_t n = std::strlen(stem), m = std::strlen(tail);
    return n >= m && std::strcmp(stem + n - m, tail) == 0;
}

int CheckWithEntry(const ParseRecord& record, const DictionaryEntry* entry) {
    if (entry == nullptr) return 1;
    const InflectionRecord& r = record.inflection;
    const bool listCheck = g_developerOptions[FOR_WORD_LIST_CHECK] != 0;
    const int32_t* f = r.fields;
    switch (r.partOfSpeech) {
    case POS_N:
        return listCheck && (f[F_CASE] == 0 || f[F_NUMBER] == 0) ? 0 : 1;
    case POS_ADJ:
        return listCheck && (f[F_CASE] == 0 || f[F_NUMBER] == 0 || f[F_GENDER] == 0) ? 0 : 1;
    case POS_V: {
        const int32_t tense = f[F_TENSE], voice = f[F_VOICE], mood = f[F_MOOD], person = f[F_PERSON],
                      number = f[F_VERB_NUMBER];
        if (r.first == 3 && r.variant == 1 && tense == TENSE_PRES && voice == VOICE_ACTIVE && mood == MOOD_IMP &&
            person == 2 && number == NUMBER_S && r.endingLength == 0) {
            if (!EndsWith(record.stem, "dic") && !EndsWith(record.stem, "duc") && !EndsWith(record.stem, "fac") &&
                !EndsWith(record.stem, "fer"))
                return 0;
        }
        if (mood == MOOD_IMP && !((person == 2 && (tense == TENSE_PRES || tense == TENSE_FUT)) || person == 3))
            return 0;
        const bool finite = mood == MOOD_IND || mood == MOOD_SUB || mood == MOOD_IMP;
        switch (entry->part.third) {
        case VERB_IMPERS:
            if (person != 3) return 0;
            break;
        case VERB_DEP:
            if (voice == VOICE_ACTIVE && (finite || mood == MOOD_INF) && !(mood == MOOD_INF && tense == TENSE_FUT))
                return 0;
            break;
        case VERB_SEMIDEP:
            if (finite && voice == VOICE_PASSIVE && (tense == TENSE_PRES || tense == TENSE_IMPF || tense == TENSE_FUT))
                return 0;
            if (finite && voice == VOICE_ACTIVE && (tense == TENSE_PERF || tense == TENSE_PLUP || tense == TENSE_FUTP))
                return 0;
            break;
        default: break;
        }
        if (listCheck) {
            const int32_t kind = entry->part.third;
            bool citation = mood == MOOD_IND && number == NUMBER_S;
            if (kind == VERB_IMPERS) citation = citation && person == 3 && tense == TENSE_PRES && voice == VOICE_ACTIVE;
            else if (kind == VERB_DEP) citation = citation && person == 1 && tense == TENSE_PRES && voice == VOICE_PASSIVE;
            else if (kind == VERB_PERFDEF) citation = citation && person == 1 && tense == TENSE_PERF && voice == VOICE_ACTIVE;
            else citation = citation && person == 1 && tense == TENSE_PRES && voice == VOICE_ACTIVE;
            if (!citation) return 0;
        }
        return 1;
    }
    case POS_VPAR: case POS_SUPINE: return listCheck ? 0 : 1;
    default: return 1;
    }
}

class Sweep {
public:
    Sweep(ResultList& results) : results_(results) {}

    const DictionaryEntry* Entry(const ParseRecord& r) { return cache_.Find(r); }

    // Orders records [from, to] and, with TRIM_OUTPUT, drops the doubtful
    // ones; returns how many were dropped.
    int SweepRange(int from, int to) {
        Order(from, to);
        if (!g_wordOptions[TRIM_OUTPUT]) return 0;
        bool notArchaic = false, notMedieval = false, common = false, abbreviation = false;
        for (int i = from; i <= to; ++i) {
            const ParseRecord& r = results_.records[i];
            if (r.kind != RESULT_ENTRY) continue;
            const DictionaryEntry* e = Entry(r);
            const int32_t entryAge = e ? e->age : 0, entryFrequency = e ? e->frequency : 0;
            const int32_t age = r.inflection.age, frequency = r.inflection.frequency;
            notArchaic = notArchaic || (age != 1 && entryAge != 1);
            notMedieval = notMedieval || ((age == 0 || age < 6) && (entryAge == 0 || entryAge < 6));
            common = common || ((frequency == 0 || frequency < 3) && (entryFrequency == 0 || entryFrequency < 4));
            abbreviation = abbreviation || (e && e->part.partOfSpeech == POS_N && e->part.first == 9 &&
                                            e->part.variant == 8);
        }
        abbreviation = abbreviation && g_word.allCapitals && g_word.endsAtPeriod;
        int dropped = 0;
        for (int i = to; i >= from; --i) {
            const ParseRecord& r = results_.records[i];
            const InflectionRecord& f = r.inflection;
            bool drop = CheckWithEntry(r, Entry(r)) == 0 || IsAllZeroRecord(r);
            drop = drop || (g_developerOptions[OMIT_ARCHAIC] && notArchaic && f.age == 1);
            drop = drop || (g_developerOptions[OMIT_MEDIEVAL] && notMedieval && f.age > 5);
            drop = drop || (g_developerOptions[OMIT_UNCOMMON] && common && f.frequency > 2);
            if (abbreviation) {
                const bool abbreviationForm = f.partOfSpeech == POS_N && f.first == 9 && f.variant == 8 &&
                                              f.fields[F_CASE] == 0 && f.fields[F_NUMBER] == 0 &&
                                              f.fields[F_GENDER] == GENDER_M;
                const bool letter = std::strlen(r.stem) == 1 && std::strchr("ACDLMacdlm", r.stem[0]) != nullptr;
                drop = drop || f.partOfSpeech != POS_N || (!abbreviationForm && letter);
            }
            if (drop) {
                results_.Remove(i);
                ++dropped;
            }
        }
        return dropped;
    }

private:
    // Bubble passes with the keys: kind (high first), id, inflection,
    // meaning text, ending length.
    void Order(int from, int to) {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int i = from; i < to; ++i) {
                if (After(results_.records[i], results_.records[i + 1])) {
                    std::swap(results_.records[i], results_.records[i + 1]);
                    swapped = true;
                }
            }
        }
    }

    bool After(const ParseRecord& a, const ParseRecord& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        if (a.id != b.id) return a.id > b.id;
        if (ComesBefore(b.inflection, a.inflection)) return true;
        if (ComesBefore(a.inflection, b.inflection)) return false;
        bool equal = InflectionsEqual(a.inflection, b.inflection);
        if (a.inflection.partOfSpeech == POS_PRON && b.inflection.partOfSpeech == POS_PRON && b.inflection.first == 1) {
            InflectionRecord second = b.inflection;
            second.variant = a.inflection.variant;
            equal = a.inflection.variant != 0 && InflectionsEqual(a.inflection, second);
        }
        if (!equal) return false;
        const DictionaryEntry* ea = Entry(a);
        const DictionaryEntry* eb = Entry(b);
        const int meaning = std::strcmp(ea ? ea->meaning : "", eb ? eb->meaning : "");
        if (meaning != 0) return meaning > 0;
        return a.inflection.endingLength > b.inflection.endingLength;
    }

    ResultList& results_;
    EntryCache cache_;
};

}  // namespace

bool IsAllZero(const void* bytes, int count) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (int i = 0; i < count; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

bool IsAllZeroRecord(const ParseRecord& r) {
    const InflectionRecord& f = r.inflection;
    if (r.stem[0] != 0 || r.kind != 0 || r.id != 0 || f.partOfSpeech != 0 || f.first != 0 || f.variant != 0 ||
        f.stemKey != 0 || f.endingLength != 0 || f.ending[0] != 0 || f.age != 0 || f.frequency != 0)
        return false;
    for (int32_t field : f.fields) {
        if (field != 0) return false;
    }
    return true;
}

int CheckResult(const ParseRecord& record) {
    if (record.kind != RESULT_ENTRY) return 1;
    DictionaryEntry entry;
    return CheckWithEntry(record, ReadDictionaryEntry(&entry, record.id) == 0 ? &entry : nullptr);
}

void SweepList(ResultList& results, int* dropped) {
    if (results.last < 0) return;
    Sweep sweep(results);
    for (int i = 0; i <= results.last; ++i) {
        ParseRecord& r = results.records[i];
        if (r.kind != RESULT_ENTRY) continue;
        const DictionaryEntry* e = sweep.Entry(r);
        if (e && e->part.partOfSpeech == POS_PRON && e->part.first == 1) r.inflection.variant = e->part.third;
    }

    auto sweepRange = [&](int from, int to) {
        if (sweep.SweepRange(from, to) > 0 && dropped != nullptr) *dropped = 1;
    };
    int openEnd = -1;
    bool closer = false;
    for (int i = results.last; i >= 0; --i) {
        const ParseRecord& r = results.records[i];
        const bool addonLike = IsAddonLike(r);
        if (!addonLike && (r.inflection.partOfSpeech != 0 || openEnd >= 0)) {
            if (openEnd < 0) openEnd = i;
            closer = false;
            if (i == 0) sweepRange(0, openEnd);
        } else if (addonLike && openEnd >= 0) {
            // The range behind the addon is the run of records that share the
            // part of speech of the first of them.
            const int from = i + 1;
            int to = from;
            while (to < openEnd && results.records[to + 1].inflection.partOfSpeech ==
                                       results.records[from].inflection.partOfSpeech)
                ++to;
            sweepRange(from, to);
            closer = true;
            openEnd = -1;
        } else if (addonLike && closer) {
        } else if (r.inflection.partOfSpeech != POS_TACKON && r.inflection.partOfSpeech != POS_SUFFIX) {
            results.Remove(i);
        }
    }

    // Duplicates: each record against the one examined just before it, also
    // when that one was removed.
    ParseRecord examined = results.records[0];
    for (int i = 1; i <= results.last; ++i) {
        const ParseRecord r = results.records[i];
        const bool sameButKey = std::strcmp(r.stem, examined.stem) == 0 &&
                                std::strcmp(r.inflection.ending, examined.inflection.ending) == 0 &&
                                r.inflection.age == examined.inflection.age &&
                                r.inflection.frequency == examined.inflection.frequency && r.kind == examined.kind &&
                                r.id == examined.id && r.inflection.stemKey != examined.inflection.stemKey;
        const bool duplicate = InflectionsEqual(r.inflection, examined.inflection) && r.id == examined.id &&
                               r.kind != RESULT_TRICK && r.kind != RESULT_SYNCOPE && r.kind != RESULT_NOTE &&
                               !sameButKey;
        examined = r;
        if (duplicate) {
            results.Remove(i);
            --i;
        }
    }

    for (int i = 0; i <= results.last; ++i) {
        InflectionRecord& f = results.records[i].inflection;
        if (f.partOfSpeech == POS_PRON && f.first == 1) f.variant = 0;
        if (f.partOfSpeech == POS_V && f.first == 3 && f.variant == 4) {
            f.first = 4;
            f.variant = 1;
        }
    }
}
