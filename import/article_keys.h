// The dictionary keys of one article: reading keys (index 101: reading,
// word), kanji keys (index 102: word, reading) and alphabetic keys (index 106:
// text, 1). Pure functions of the article's elements and its format, so the
// compiler and the single-article removal make the same keys from the same text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the key builders read of one element of an article.
struct KeyElement {
    uint32_t kind = 0;
    uint32_t flags = 0;
    int32_t group = 0;          // equal for a reading and the words it belongs to (WARODAI)
    std::u16string_view text;
};

// Element kinds the builders read.
enum KeyElementKind : uint32_t {
    kKeyArticle = 2,
    kKeyReading = 3,
    kKeyWord = 4,
    kKeySense = 5,
    kKeyDerived = 6,
    kKeyTranslation = 8,
    kKeyOnReading = 11,
    kKeyKunReading = 12,
    kKeySubsense = 13,
    kKeyGrammar = 37,  // EDICT's grammar groups, and a sense that is exactly "(P)"
};

struct DictionaryKey {
    std::u16string first;
    std::u16string second;      // index 106 keeps the value 1 in its Word segment instead
    uint8_t flag = 1;
    uint16_t variant = 0;
    friend bool operator==(const DictionaryKey&, const DictionaryKey&) = default;
};

// Formats whose articles are kanji (KANJIDIC, own kanji markup, YARXI).
inline bool IsKanjiFormat(uint32_t formatType) {
    return formatType == 2 || formatType == 6 || formatType == 14;
}
inline constexpr uint32_t kWarodaiFormat = 10;

// `article` starts at the article element and holds the elements behind it.
void BuildReadingKeys(std::span<const KeyElement> article, uint32_t formatType, std::vector<DictionaryKey>& keys);
void BuildKanjiKeys(std::span<const KeyElement> article, uint32_t formatType, std::vector<DictionaryKey>& keys);
struct AlphabeticKeyOptions {
    // Own markup sources of formats 1 and 2 split each translation into its
    // runs between "," and ";".
    bool splitTranslations = false;
    // DSL: the single words of the "[trn]" translations get keys too.
    bool dslTranslationWords = false;
};
// DSL headword and reading lines are cleaned of their markup first (at most
// 128 units); a DSL character record (article flag 0x40000) pairs its words
// with no reading.
void BuildAlphabeticKeys(std::span<const KeyElement> article, uint32_t formatType, const AlphabeticKeyOptions& options,
                         std::vector<DictionaryKey>& keys);

// A kun reading's key: its kana (U+3041..U+30FE) in order, and the count of
// kana after its first other character (the okurigana).
struct KunReadingKey {
    std::u16string reading;
    std::u16string okurigana;
};
KunReadingKey SplitKunReading(std::u16string_view text);
