// The key builders of indexes 101, 102 and 106, with the rules of kanji
// dictionaries (on and kun readings, okurigana flags, the kanji's own entry)
// and of WARODAI groups with their derived-entry variants. Translations of
// own markup are cut into phrases by the article text's own rule.
#include "import/article_keys.h"

#include "article/element_text.h"
#include "import/article_record.h"
#include "import/derived_entry_variants.h"
#include "import/key_text.h"

namespace {

constexpr size_t kMaxAlphabeticTexts = 200;

void AddKey(std::vector<DictionaryKey>& keys, std::u16string_view first, std::u16string_view second, uint8_t flag,
            uint16_t variant = 0) {
    keys.push_back({std::u16string(CutKeyText(first, kMaxKeyUnits)), std::u16string(CutKeyText(second, kMaxKeyUnits)),
                    flag, variant});
}

bool Has(std::span<const KeyElement> article, uint32_t kind) {
    for (const KeyElement& e : article)
        if (e.kind == kind) return true;
    return false;
}

bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }

// The first code point of a text (a whole surrogate pair when it is one).
std::u16string_view FirstCharacter(std::u16string_view text) {
    return text.empty() ? text : text.substr(0, CodePointUnits(text, 0));
}

// Index 101 gets (reading form, written form), index 102 the other way round
// without an empty written form; the reference carries the entry's ordinal.
void AddDerivedVariants(std::span<const KeyElement> article, std::u16string_view reading, std::u16string_view written,
                        bool readingIndex, std::vector<DictionaryKey>& keys) {
    uint16_t ordinal = 0;
    for (const KeyElement& e : article) {
        if (e.kind != kKeyDerived) continue;
        ++ordinal;
        const std::u16string_view text = CutKeyText(e.text, 255);
        const uint32_t combinations = DerivedEntryCombinations(text);
        for (uint32_t mask = 0; mask < combinations; ++mask) {
            const VariantForms forms = ExpandDerivedEntry(text, reading, written, mask);
            if (forms.reading.empty()) continue;
            if (readingIndex) {
                AddKey(keys, forms.reading, forms.written, kOrdinaryKey, ordinal);
            } else if (!forms.written.empty()) {
                AddKey(keys, forms.written, forms.reading, kOrdinaryKey, ordinal);
            }
        }
    }
}

void KanjiReadingKeys(std::span<const KeyElement> article, std::vector<DictionaryKey>& keys) {
    if (!Has(article, kKeyOnReading) && !Has(article, kKeyKunReading)) return;
    std::u16string_view word;
    for (const KeyElement& e : article)
        if (e.kind == kKeyWord) {
            word = e.text;
            break;
        }
    const std::u16string_view kanji = FirstCharacter(word);
    for (const KeyElement& e : article)
        if (e.kind == kKeyOnReading) AddKey(keys, e.text, kanji, kOnReadingKey);
    for (const KeyElement& e : article) {
        if (e.kind != kKeyKunReading) continue;
        const KunReadingKey kun = SplitKunReading(e.text);
        const size_t okurigana = kun.okurigana.size();
        const uint8_t flag = okurigana == 1 ? kKunOneOkuriganaKey
                             : okurigana == 2 ? kKunTwoOkuriganaKey
                                              : kKunReadingKey;
        AddKey(keys, kun.reading, std::u16string(kanji) + kun.okurigana, flag);
    }
}

void WarodaiReadingKeys(std::span<const KeyElement> article, std::vector<DictionaryKey>& keys) {
    for (const KeyElement& reading : article) {
        if (reading.kind != kKeyReading) continue;
        bool paired = false;
        for (const KeyElement& word : article) {
            if (word.kind != kKeyWord || word.group != reading.group) continue;
            paired = true;
            AddKey(keys, reading.text, word.text, kOrdinaryKey);
            AddDerivedVariants(article, reading.text, word.text, true, keys);
        }
        if (!paired) {
            AddKey(keys, reading.text, u"", kOrdinaryKey);
            AddDerivedVariants(article, reading.text, u"", true, keys);
        }
    }
}

void WarodaiKanjiKeys(std::span<const KeyElement> article, std::vector<DictionaryKey>& keys) {
    if (!Has(article, kKeyWord)) {
        if (!Has(article, kKeyDerived)) return;
        for (const KeyElement& reading : article)
            if (reading.kind == kKeyReading && reading.group == 0)
                AddDerivedVariants(article, reading.text, u"", false, keys);
        return;
    }
    for (const KeyElement& word : article) {
        if (word.kind != kKeyWord) continue;
        bool paired = false;
        for (const KeyElement& reading : article) {
            if (reading.kind != kKeyReading || reading.group != word.group) continue;
            paired = true;
            AddKey(keys, word.text, reading.text, kOrdinaryKey);
            AddDerivedVariants(article, reading.text, word.text, false, keys);
        }
        if (!paired) {
            AddKey(keys, word.text, u"", kOrdinaryKey);
            AddDerivedVariants(article, u"", word.text, false, keys);
        }
    }
}

// Every element of kind `a` paired with every one of kind `b` (or with an empty text).
void PairKeys(std::span<const KeyElement> article, uint32_t a, uint32_t b, std::vector<DictionaryKey>& keys) {
    const bool anyB = Has(article, b);
    for (const KeyElement& x : article) {
        if (x.kind != a) continue;
        if (!anyB) {
            AddKey(keys, x.text, u"", kOrdinaryKey);
            continue;
        }
        for (const KeyElement& y : article)
            if (y.kind == b) AddKey(keys, x.text, y.text, kOrdinaryKey);
    }
}

}  // namespace

KunReadingKey SplitKunReading(std::u16string_view text) {
    KunReadingKey kun;
    bool afterOther = false;
    for (char16_t c : text) {
        if (!IsKana(c)) {
            afterOther = true;
            continue;
        }
        kun.reading += c;
        if (afterOther) kun.okurigana += c;
    }
    return kun;
}

void BuildReadingKeys(std::span<const KeyElement> article, uint32_t formatType, std::vector<DictionaryKey>& keys) {
    if (IsKanjiFormat(formatType)) return KanjiReadingKeys(article, keys);
    if (formatType == kWarodaiFormat) return WarodaiReadingKeys(article, keys);
    PairKeys(article, kKeyReading, kKeyWord, keys);
}

void BuildKanjiKeys(std::span<const KeyElement> article, uint32_t formatType, std::vector<DictionaryKey>& keys) {
    if (formatType == kWarodaiFormat) return WarodaiKanjiKeys(article, keys);
    if (IsKanjiFormat(formatType)) {
        for (const KeyElement& e : article)
            if (e.kind == kKeyWord) AddKey(keys, e.text, u"", kKanjiOwnEntryKey);
        return;
    }
    PairKeys(article, kKeyWord, kKeyReading, keys);
}

void BuildAlphabeticKeys(std::span<const KeyElement> article, uint32_t formatType, bool splitTranslations,
                         std::vector<DictionaryKey>& keys) {
    const uint32_t kind = IsKanjiFormat(formatType) ? kKeySubsense : kKeyTranslation;
    const bool split = splitTranslations && (formatType == 1 || formatType == 2);
    size_t texts = 0;
    for (const KeyElement& e : article) {
        if (e.kind != kind) continue;
        if (!split) {
            if (texts++ == kMaxAlphabeticTexts) return;
            AddKey(keys, e.text, u"", kOrdinaryKey);
            continue;
        }
        int32_t position = 0;
        for (int32_t length; (length = NextWordRun(e.text, position)) >= 0; position += length) {
            if (texts++ == kMaxAlphabeticTexts) return;
            AddKey(keys, e.text.substr(position, length), u"", kOrdinaryKey);
        }
    }
}
