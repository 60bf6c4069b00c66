// Ending classes of a stem and the class rules over a dictionary word.
#include "japanese/word_class.h"

#include "japanese/inflection_tables.h"
#include "common/unicode/japanese_chars.h"

namespace ostrel::japanese {
namespace {

constexpr std::u16string_view kIchidanStemKana = u"きしちひにみりいけせてへねめれえぎじぢびげぜでべぴぺ";
constexpr std::u16string_view kInflectableEnds = u"いうくぐするつぬぶむ";
constexpr std::u16string_view kHonorificReadings[] = {u"いらっしゃる", u"くださる", u"なさる", u"ござる"};
constexpr std::u16string_view kCountingWords[] = {
    u"みつ",   u"よつ",   u"むつ",   u"やつ",   u"ひとつ", u"ふたつ",  u"いつつ",
    u"ななつ", u"みっつ", u"よっつ", u"むっつ", u"やっつ", u"ここのつ",
};

// The last character of `text` as a code point (a trailing surrogate pair
// read as one); 0 for empty text.
char32_t LastCodePoint(std::u16string_view text) {
    if (text.empty()) return 0;
    char16_t last = text.back();
    if (IsLowSurrogate(last) && text.size() >= 2 && IsHighSurrogate(text[text.size() - 2])) {
        return CombineSurrogates(text[text.size() - 2], last);
    }
    return last;
}

bool EndsWith(std::u16string_view text, std::u16string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

template <typename List>
bool IsOneOf(std::u16string_view text, const List& list) {
    for (std::u16string_view item : list) {
        if (item == text) return true;
    }
    return false;
}

// Rule 8: the reading ends in the class's own ending.
int32_t FitsByEnding(uint32_t classBit, std::u16string_view reading, std::u16string_view kanji) {
    switch (classBit) {
        case 0: case kHonorificAru: return 0;
        case kKuru: return EndsWith(reading, u"くる") ? 0 : 1;
        case kIku: return EndsWith(reading, u"いく") ? 0 : 1;
        case kIchidan: return EndsWith(reading, u"る") && IsNotIchidanVerb(reading, kanji) == 0 ? 0 : 1;
        default: break;
    }
    for (const EndingRow& row : EndingTable()) {
        if (row.classBit == classBit && row.ending.size() == 1 && classBit != kIku) {
            return EndsWith(reading, row.ending) ? 0 : 1;
        }
    }
    return 1;
}

}  // namespace

bool IsIchidanStemKana(char16_t c) { return kIchidanStemKana.find(c) != std::u16string_view::npos; }

uint32_t GetEndingClasses(std::u16string_view stem, char16_t next) {
    // Katakana stems and endings (タベマシタ, 食ベタ) take the classes of
    // their hiragana; a katakana ending behind a hiragana or kanji stem
    // starts another word (the く of タイプとクリエータ ends no とく).
    char32_t last = LastCodePoint(stem);
    const bool katakanaStem = stem.empty() || (last >= 0x30A1 && last <= 0x30FA);
    if (last < 0x10000) last = FoldKatakana(static_cast<char16_t>(last));
    if (katakanaStem) next = FoldKatakana(next);
    uint32_t mask = 0;
    if ((last != 0 && last < 0x10000 && IsIchidanStemKana(static_cast<char16_t>(last))) ||
        IsCjkIdeograph(last)) {
        mask = kIchidan;
    }
    if (next == u'来') mask |= kKuru;
    if (next >= 0x3042 && next <= 0x3093) mask |= EndingClassesStartingWith(next);
    if ((mask & kHonorificAru) != 0 && last != u'さ' && last != u'ざ' && last != u'度') {
        mask &= ~uint32_t{kHonorificAru};
    }
    return mask;
}

int32_t ClassFitsWord(uint32_t classBit, std::u16string_view reading, std::u16string_view kanji) {
    const size_t n = reading.size();
    if (n < 2 || reading[0] == u'ん' || reading[0] == u'を') return 1;
    if (n == 2) {
        if (reading == u"ある" && kanji == u"或る") return 1;
        if (reading == u"こう" && kanji == u"斯う") return 1;
        if (kanji.empty() && (reading == u"こう" || reading == u"そう" || reading == u"どう" ||
                              reading == u"もう")) {
            return 1;
        }
    }
    if (IsOneOf(reading, kHonorificReadings) && classBit != 0) {
        return classBit == kHonorificAru ? 0 : 1;
    }
    if (reading.back() == u'つ' && IsOneOf(reading, kCountingWords)) return 1;
    if (!kanji.empty() && kanji.back() != reading.back()) return 1;
    if (kInflectableEnds.find(reading.back()) == std::u16string_view::npos) return 1;
    const bool suru = EndsWith(reading, u"する") &&
                      (kanji.size() < 2 || EndsWith(kanji, u"する") || EndsWith(kanji, u"為る"));
    if (classBit == kSuru) return suru ? 0 : 1;
    if (classBit != 0 && suru) return 1;
    return FitsByEnding(classBit, reading, kanji);
}

int32_t IsNotIchidanVerb(std::u16string_view reading, std::u16string_view kanji) {
    if (reading.size() < 2 || reading.back() != u'る') return 1;
    if (!kanji.empty() && kanji.back() != u'る') return 1;
    if (!IsIchidanStemKana(reading[reading.size() - 2])) return 1;
    auto first10 = [](std::u16string_view text) { return text.substr(0, 10); };
    for (const GodanRuException& row : GodanRuExceptionTable()) {
        if (first10(row.reading) != first10(reading)) continue;
        if (kanji.empty() || first10(row.kanji) == first10(kanji)) return 1;
    }
    return 0;
}

}  // namespace ostrel::japanese
