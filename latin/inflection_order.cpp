// Orders and equality of inflection records.
#include "latin/inflection_order.h"

#include <initializer_list>

#include "latin/grammar_codes.h"

namespace {

// The fields compared, in order, for each part of speech.
int Keys(const InflectionRecord& r, int32_t* keys) {
    const int32_t* f = r.fields;
    int n = 0;
    auto put = [&](std::initializer_list<int32_t> values) { for (int32_t v : values) keys[n++] = v; };
    switch (r.partOfSpeech) {
    case POS_N: case POS_PRON: case POS_PACK: case POS_VPAR: case POS_SUPINE:
        put({r.first, r.variant, f[F_NUMBER], f[F_CASE], f[F_GENDER]});
        break;
    case POS_ADJ: case POS_NUM:
        put({r.first, r.variant, f[F_NUMBER], f[F_CASE], f[F_GENDER], f[3]});
        break;
    case POS_V:
        put({r.first, r.variant, f[F_VERB_NUMBER], f[F_TENSE], f[F_VOICE], f[F_MOOD], f[F_PERSON]});
        break;
    case POS_ADV: case POS_PREP: put({r.first}); break;
    default: break;
    }
    return n;
}

// The fields that make two inflections equal.
int UsedFields(const InflectionRecord& r, int32_t* keys) {
    const int32_t* f = r.fields;
    int n = 0;
    auto put = [&](std::initializer_list<int32_t> values) { for (int32_t v : values) keys[n++] = v; };
    switch (r.partOfSpeech) {
    case POS_N: case POS_PRON: case POS_PACK: case POS_SUPINE:
        put({r.first, r.variant, f[0], f[1], f[2]});
        break;
    case POS_ADJ: case POS_NUM: put({r.first, r.variant, f[0], f[1], f[2], f[3]}); break;
    case POS_V: put({r.first, r.variant, f[0], f[1], f[2], f[3], f[4]}); break;
    case POS_VPAR: put({r.first, r.variant, f[0], f[1], f[2], f[3], f[4], f[5]}); break;
    case POS_ADV: case POS_PREP: put({r.first}); break;
    default: break;
    }
    return n;
}

}  // namespace

bool CompareInflections(const InflectionRecord& a, const InflectionRecord& b) {
    if (a.partOfSpeech != b.partOfSpeech) return a.partOfSpeech < b.partOfSpeech;
    int32_t ka[8], kb[8];
    const int n = Keys(a, ka);
    Keys(b, kb);
    for (int i = 0; i < n; ++i) {
        if (ka[i] != kb[i]) return ka[i] < kb[i];
    }
    return false;
}

bool ComesBefore(const InflectionRecord& a, const InflectionRecord& b) {
    if (a.partOfSpeech == POS_PRON && b.partOfSpeech == POS_PRON && a.first == 1 && b.first == 1)
        return a.variant < b.variant;
    return CompareInflections(a, b);
}

bool InflectionsEqual(const InflectionRecord& a, const InflectionRecord& b) {
    if (a.partOfSpeech != b.partOfSpeech) return false;
    int32_t ka[8], kb[8];
    const int n = UsedFields(a, ka);
    UsedFields(b, kb);
    for (int i = 0; i < n; ++i) {
        if (ka[i] != kb[i]) return false;
    }
    return true;
}

bool DeclensionFits(int32_t entryFirst, int32_t entryVariant, int32_t first, int32_t variant) {
    if (entryFirst == first && entryVariant == variant) return true;
    if (first == 0 && variant == 0 && entryFirst != 9) return true;
    return entryFirst == first && variant == 0;
}
