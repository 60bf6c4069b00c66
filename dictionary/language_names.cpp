// LanguageNameTable and the name-to-code look-up over it. The rows are
// generated from Debian's iso-codes by tools/language_names.
#include "dictionary/language_names.h"

#include <algorithm>

const LanguageName LanguageNameTable[kLanguageNameRows + 1] = {
#include "dictionary/language_name_rows.inc"
    {nullptr, nullptr, nullptr},
};

namespace {

// Names DSL sources use beside the English ones.
struct LanguageAlias {
    std::u16string_view name;
    std::u16string_view code;
};
constexpr LanguageAlias kDslAliases[] = {
    {u"GermanNewSpelling", u"deu"},  {u"ChinesePRC", u"cmn"},      {u"Chinese", u"cmn"},
    {u"Latin", u"lat"},              {u"NorwegianBokmal", u"nob"}, {u"NorwegianNynorsk", u"nno"},
    {u"SerbianCyrillic", u"srp"},    {u"SpanishModernSort", u"spa"}, {u"SpanishTraditionalSort", u"spa"},
};

void StoreCode(std::span<char16_t> slot, std::u16string_view code) {
    if (slot.size() <= code.size()) return;
    std::copy(code.begin(), code.end(), slot.begin());
    slot[code.size()] = 0;
}

}  // namespace

void LanguageCodeFromName(std::span<char16_t> slot, std::u16string_view name) {
    for (const LanguageName* row = LanguageNameTable; row->english; ++row) {
        if (name == row->english) return StoreCode(slot, row->code);
    }
    for (const LanguageAlias& alias : kDslAliases) {
        if (name == alias.name) return StoreCode(slot, alias.code);
    }
}
