// The key builders of indexes 101, 102 and 106, with the rules of kanji
// dictionaries (on and kun readings, okurigana flags, the kanji's own entry)
// and of WARODAI groups with their derived-entry variants. Translations of
// own markup are cut into phrases by the article text's own rule.
#include "import/article_keys.h"

#include "article/element_text.h"
#include "common/segmentation/text_segmentation.h"
#include "dictionary/shelf.h"
#include "import/article_record.h"
#include "import/derived_entry_variants.h"
#include "import/dsl_text_cleaners.h"
#include "import/key_text.h"

namespace {

constexpr size_t kMaxAlphabeticTexts = 200;
constexpr uint32_t kDslFormat = 9;
// A DSL article element of a character database record: its readings are
// fields of the character, not paired with its words in index 102.
constexpr uint32_t kDslCharacterRecord = 0x40000;
constexpr size_t kMaxAlphabeticUnits = 256;

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

// An EDICT line is one spelling with one reading; "(P)" among its senses
// marks that spelling common, which the translator prefers among words that
// read alike.
bool MarkedCommon(std::span<const KeyElement> article) {
    for (const KeyElement& e : article)
        if (e.kind == kKeyGrammar && e.text == u"(P)") return true;
    return false;
}

// "(uk)" before any of its senses: the word is usually written in kana, so
// the translator may read it from kana where it reads no other word in kanji.
// Only an article with grammar groups says so either way.
bool HasGrammarGroups(std::span<const KeyElement> article) {
    for (const KeyElement& e : article)
        if (e.kind == kKeyGrammar) return true;
    return false;
}
bool MarkedUsuallyKana(std::span<const KeyElement> article) {
    for (const KeyElement& e : article)
        if ((e.kind == kKeyGrammar || e.kind == kKeySense) && e.text.find(u"(uk)") != std::u16string_view::npos)
            return true;
    return false;
}

// Every element of kind `a` paired with every one of kind `b` (or with an empty text).
void PairKeys(std::span<const KeyElement> article, uint32_t a, uint32_t b, std::vector<DictionaryKey>& keys) {
    const bool anyB = Has(article, b);
    const bool common = MarkedCommon(article);
    const uint8_t flag = !HasGrammarGroups(article) ? (common ? kCommonWordKey : kOrdinaryKey)
                         : MarkedUsuallyKana(article) ? (common ? kCommonUsuallyKanaKey : kUsuallyKanaKey)
                                                      : (common ? kCommonWrittenInKanjiKey : kWrittenInKanjiKey);
    for (const KeyElement& x : article) {
        if (x.kind != a) continue;
        if (!anyB) {
            AddKey(keys, x.text, u"", flag);
            continue;
        }
        for (const KeyElement& y : article)
            if (y.kind == b) AddKey(keys, x.text, y.text, flag);
    }
}

// A DSL headword or reading line as its key text: markup, escapes and blank
// runs gone, at most 128 units.
std::u16string CleanDslKeyText(std::u16string_view line) {
    // One unit more than a key holds, so that the cut sees whether the last
    // unit kept begins a pair the next one ends.
    char16_t out[kMaxKeyUnits + 1];
    const int32_t n = SplitArticleText(out, static_cast<int32_t>(kMaxKeyUnits + 1), line.data(),
                                       static_cast<int32_t>(line.size()), nullptr);
    std::u16string_view text = CutKeyText(std::u16string_view(out, static_cast<size_t>(n)), kMaxKeyUnits);
    // A line cut at the limit ends as the cleaner ends one: without a final
    // blank or control unit.
    if (text.size() == kMaxKeyUnits && text.back() < 0x21) text.remove_suffix(1);
    return std::u16string(text);
}

// The article with its DSL readings and words cleaned; the elements keep
// views into `texts`.
std::vector<KeyElement> CleanDslArticle(std::span<const KeyElement> article, std::vector<std::u16string>& texts) {
    std::vector<KeyElement> cleaned(article.begin(), article.end());
    texts.reserve(cleaned.size());
    for (KeyElement& e : cleaned) {
        if (e.kind != kKeyReading && e.kind != kKeyWord) continue;
        texts.push_back(CleanDslKeyText(e.text));
        e.text = texts.back();
    }
    return cleaned;
}

// An alphabetic key text of a DSL article: every "\" dropped and "{...}"
// left out (the headword's unsorted part), after the cut to 256 units.
std::u16string DslAlphabeticText(std::u16string_view text) {
    std::u16string kept;
    bool inBraces = false;
    for (char16_t c : CutKeyText(text, kMaxAlphabeticUnits)) {
        if (c == u'{') inBraces = true;
        else if (c == u'}') inBraces = false;
        else if (!inBraces && c != u'\\') kept += c;
    }
    return kept;
}

// The single words of the "[trn]" translations of every sense, those that
// hold neither kana nor a CJK ideograph.
void AddDslTranslationWords(std::span<const KeyElement> article, std::vector<DictionaryKey>& keys) {
    std::vector<char16_t> words;
    for (const KeyElement& e : article) {
        if (e.kind != kKeySense || e.text.empty()) continue;
        words.assign(e.text.size() + 1, 0);
        DslTextCursor cursor{e.text.data(), static_cast<int32_t>(e.text.size())};
        const int32_t end = CollectDslTranslationWords(words.data(), static_cast<int32_t>(words.size()), cursor);
        // Two words may touch ("abc" before an ideograph): each segment is
        // a word of its own; what stood between words is zeros.
        for (int32_t start = 0; start < end;) {
            int32_t segmentEnd = start;
            if (NextWordBoundary(words.data(), end, &start, &segmentEnd) == 0 || segmentEnd <= start) break;
            const std::u16string_view word(words.data() + start, static_cast<size_t>(segmentEnd - start));
            const int32_t script = word.front() != 0 ? TextScriptClass(word) : -1;
            if (script == 0 || script == 8) AddKey(keys, word, u"", kOrdinaryKey);
            start = segmentEnd;
        }
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
    if (formatType == kDslFormat) {
        std::vector<std::u16string> texts;
        return PairKeys(CleanDslArticle(article, texts), kKeyReading, kKeyWord, keys);
    }
    PairKeys(article, kKeyReading, kKeyWord, keys);
}

void BuildKanjiKeys(std::span<const KeyElement> article, uint32_t formatType, std::vector<DictionaryKey>& keys) {
    if (formatType == kWarodaiFormat) return WarodaiKanjiKeys(article, keys);
    if (IsKanjiFormat(formatType)) {
        for (const KeyElement& e : article)
            if (e.kind == kKeyWord) AddKey(keys, e.text, u"", kKanjiOwnEntryKey);
        return;
    }
    if (formatType == kDslFormat) {
        std::vector<std::u16string> texts;
        std::vector<KeyElement> cleaned = CleanDslArticle(article, texts);
        // A character record's readings are its fields, not the word's
        // readings: one key per word.
        if (!cleaned.empty() && (cleaned[0].flags & kDslCharacterRecord) != 0) {
            for (const KeyElement& e : cleaned)
                if (e.kind == kKeyWord) AddKey(keys, e.text, u"", kOrdinaryKey);
            return;
        }
        return PairKeys(cleaned, kKeyWord, kKeyReading, keys);
    }
    PairKeys(article, kKeyWord, kKeyReading, keys);
}

void BuildAlphabeticKeys(std::span<const KeyElement> article, uint32_t formatType, const AlphabeticKeyOptions& options,
                         std::vector<DictionaryKey>& keys) {
    const uint32_t kind = IsKanjiFormat(formatType) ? kKeySubsense : kKeyTranslation;
    const bool split = options.splitTranslations && (formatType == 1 || formatType == 2);
    const bool dsl = formatType == kDslFormat;
    size_t texts = 0;
    for (const KeyElement& e : article) {
        if (e.kind != kind) continue;
        if (!split) {
            if (texts++ == kMaxAlphabeticTexts) break;
            if (dsl) AddKey(keys, DslAlphabeticText(e.text), u"", kOrdinaryKey);
            else AddKey(keys, e.text, u"", kOrdinaryKey);
            continue;
        }
        int32_t position = 0;
        for (int32_t length; (length = NextWordRun(e.text, position)) >= 0; position += length) {
            if (texts++ == kMaxAlphabeticTexts) return;
            AddKey(keys, e.text.substr(position, length), u"", kOrdinaryKey);
        }
    }
    if (dsl && options.dslTranslationWords) AddDslTranslationWords(article, keys);
}
