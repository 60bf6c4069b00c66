// The ending matchers. Every tentative append saves the chain's count first
// and restores exactly that count when the branch fails, so a failed
// continuation can never drop a code it did not write.
#include "japanese/inflection_match.h"

#include "japanese/inflection_tables.h"
#include "common/unicode/japanese_chars.h"

namespace ostrel::japanese {
namespace {

constexpr int32_t kMaxRowCompare = 100;

// The text character as the endings are written: katakana read as
// hiragana, so that タベマシタ ends as たべました does. Katakana behind
// hiragana starts another word (the イ of されたインデックス is no たい).
char16_t FoldedAt(const MatchContext& context, int32_t position) {
    const char16_t c = context.At(position);
    const char16_t before = context.At(position - 1);
    return before >= 0x3041 && before <= 0x309E ? c : FoldKatakana(c);
}

// Number of leading characters of `row` the text repeats from `position`.
int32_t CommonLength(const MatchContext& context, int32_t position, std::u16string_view row) {
    int32_t n = 0;
    const int32_t limit = static_cast<int32_t>(row.size()) < kMaxRowCompare
                              ? static_cast<int32_t>(row.size()) : kMaxRowCompare;
    while (n < limit && FoldedAt(context, position + n) == row[n]) ++n;
    return n;
}

bool StartsWith(const MatchContext& context, int32_t position, std::u16string_view text) {
    return CommonLength(context, position, text) == static_cast<int32_t>(text.size());
}

bool IsImperativeCode(uint8_t code) { return code == 25 || code == 26 || code == 28 || code == 29; }

bool IsKanaOrKanji(char16_t c) {
    return IsKana(c) || IsCjkIdeograph(c) || IsHighSurrogate(c);
}

// Continuations that must consume a character before they count.
// The adjective row すぎる ("too ...").
constexpr uint8_t kTooMuchCode = 142;

bool NeedsProgress(uint8_t code) { return code == 8 || code == 23 || code == 24; }

bool Continues(uint8_t code, uint32_t classBit) {
    return NeedsProgress(code) || code == 9 || code == 12 || code == 27 ||
           (code == 13 && classBit != kIchidan);
}

// An auxiliary tried at `from` replaces the row's codes (appended from
// `rowStart`) when it reaches further than the row's end `end`.
int32_t PreferLongerAuxiliary(const MatchContext& context, int32_t from, int32_t end,
                              int32_t rowStart, TagChain& tags) {
    const int32_t rowEnd = CountTagCodes(tags);
    int32_t auxiliary = MatchAuxiliaryEndings(context, from, tags);
    if (auxiliary > end) {
        RemoveTagCodes(tags, rowStart, rowEnd);
        return auxiliary;
    }
    RestoreTagCount(tags, rowEnd);
    return end;
}

// The auxiliaries follow a verb's conjunctive stem, and a longer row can
// match first where that stem is its beginning (した, the past, stands before
// し in the tables of す and する). So after any row the auxiliaries are tried
// behind the stem too: the bare stem of an ichidan verb, else the first
// conjunctive row (code 2) that matches and ends before the row did.
int32_t PreferAuxiliaryBehindStem(const MatchContext& context, std::span<const ConjugationRow> table,
                                  int32_t position, int32_t end, int32_t rowStart, TagChain& tags,
                                  uint32_t classBit) {
    if (classBit == kIchidan) return PreferLongerAuxiliary(context, position, end, rowStart, tags);
    for (size_t row = 1; row < table.size() && row < 100; ++row) {
        const ConjugationRow& stem = table[row];
        const int32_t stemEnd = position + static_cast<int32_t>(stem.text.size());
        if (stem.tagCode == 2 && stemEnd < end && StartsWith(context, position, stem.text))
            return PreferLongerAuxiliary(context, stemEnd, end, rowStart, tags);
    }
    return end;
}

int32_t BareIchidanStem(const MatchContext& context, int32_t position, TagChain& tags) {
    int32_t auxiliary = MatchAuxiliaryEndings(context, position, tags);
    if (auxiliary != kNoMatch) return auxiliary;
    AppendTagCode(tags, 2);
    return position;
}

// The verbs in -う whose past and -te forms keep the う (問うた, 請うて):
// those read in -とう (問う, 訪う) and 請う, 乞う, 恋う, 給う and 賜う.
// とって and こうて are no forms of theirs.
bool KeepsUBeforeTa(const MatchContext& context) {
    if (context.reading.ends_with(u"とう")) return true;
    for (std::u16string_view kanji : {u"請う", u"乞う", u"恋う", u"給う", u"賜う"})
        if (context.kanji.ends_with(kanji)) return true;
    return false;
}

// One row against the text; kNoMatch when it does not apply.
int32_t MatchRow(const MatchContext& context, const ConjugationRow& row, int32_t position,
                 TagChain& tags, uint32_t classBit, int32_t depth) {
    const int32_t length = static_cast<int32_t>(row.text.size());
    if (classBit == kGodanU && row.text.starts_with(u"っ") && KeepsUBeforeTa(context)) return kNoMatch;
    const int32_t common = CommonLength(context, position, row.text);
    const int32_t saved = CountTagCodes(tags);
    if (common == length) {
        const int32_t end = position + length;
        if (row.tagCode == 2) {
            int32_t auxiliary = MatchAuxiliaryEndings(context, end, tags);
            if (auxiliary != kNoMatch) return auxiliary;
        } else if (IsImperativeCode(row.tagCode) && IsKanaOrKanji(context.At(end))) {
            return kNoMatch;
        } else if (row.tagCode == 13 && context.reading == u"いる") {
            return kNoMatch;
        }
        AppendTagCode(tags, row.tagCode);
        return end;
    }
    if (common != length - 1 || length == 0) return kNoMatch;
    const int32_t differing = position + common;
    if (Continues(row.tagCode, classBit)) {
        AppendTagCode(tags, row.tagCode);
        const uint32_t next = (row.tagCode == 23 || row.tagCode == 27) ? kGodanRu : kIchidan;
        int32_t end = MatchConjugationRows(context, differing, tags, next, depth + 1);
        if (end != kNoMatch && (!NeedsProgress(row.tagCode) || end > differing)) return end;
    } else if (row.tagCode == 11) {
        AppendTagCode(tags, 11);
        int32_t end = MatchAdjectiveEndings(context, differing, tags, depth + 1);
        if (end != kNoMatch) return end;
    }
    RestoreTagCount(tags, saved);
    return kNoMatch;
}

}  // namespace

bool MatchInflectedForm(const MatchContext& context, int32_t position, std::u16string_view word,
                        bool kanjiIndex, uint32_t classBit, int32_t& end, TagChain& tags) {
    const int32_t length = static_cast<int32_t>(word.size());
    if (length < (kanjiIndex ? 1 : 2)) return false;
    int32_t i = 0;
    for (; i < length; ++i) {
        const char16_t c = context.At(position + i);
        if (c < 0x21) {
            if (classBit == kIchidan && i == length - 1) break;
            end = position + i;
            return true;
        }
        if (c != word[i] && FoldKatakana(c) != word[i]) break;
    }
    if (i == length) {
        end = position + length;
        return true;
    }
    int32_t result = kNoMatch;
    switch (classBit) {
        case kKuru:
        case kSuru:
            if (i == length - 1 && i >= 1) {
                result = MatchConjugationRows(context, position + i - 1, tags, classBit);
            } else if (i == length - 2) {
                result = MatchConjugationRows(context, position + i, tags, classBit);
            }
            break;
        case kAdjectiveI:
            if (i >= 1 && i == length - 1 && word[i] == u'い') {
                result = MatchAdjectiveEndings(context, position + i, tags);
            }
            break;
        default:
            if (!ConjugationTable(classBit).empty() && i >= 1 && i == length - 1) {
                result = MatchConjugationRows(context, position + i, tags, classBit);
            }
            break;
    }
    if (result == kNoMatch) return false;
    end = result;
    return true;
}

int32_t MatchConjugationRows(const MatchContext& context, int32_t position, TagChain& tags,
                             uint32_t classBit, int32_t depth) {
    if (depth > kMaxContinuationDepth) return kNoMatch;
    const auto table = ConjugationTable(classBit);
    if (table.empty()) return kNoMatch;
    if (context.At(position) == 0) {
        return classBit == kIchidan ? BareIchidanStem(context, position, tags) : kNoMatch;
    }
    for (size_t row = 1; row < table.size() && row < 100; ++row) {
        const int32_t rowStart = CountTagCodes(tags);
        int32_t end = MatchRow(context, table[row], position, tags, classBit, depth);
        if (end == kNoMatch) continue;
        return PreferAuxiliaryBehindStem(context, table, position, end, rowStart, tags, classBit);
    }
    return classBit == kIchidan ? BareIchidanStem(context, position, tags) : kNoMatch;
}

int32_t MatchAuxiliaryEndings(const MatchContext& context, int32_t position, TagChain& tags) {
    struct Auxiliary {
        std::u16string_view text;
        uint8_t first;
        uint8_t second;  // 0 when the form has one code
    };
    auto tryList = [&](std::initializer_list<Auxiliary> list) {
        for (const Auxiliary& aux : list) {
            if (!StartsWith(context, position, aux.text)) continue;
            AppendTagCode(tags, aux.first);
            if (aux.second != 0) AppendTagCode(tags, aux.second);
            return position + static_cast<int32_t>(aux.text.size());
        }
        return kNoMatch;
    };
    const char16_t c0 = FoldedAt(context, position);
    if (c0 == u'ま') {
        return tryList({{u"ます", 33, 0}, {u"ましたら", 33, 20}, {u"ましたり", 33, 10},
                        {u"ましょう", 40, 0}, {u"ません", 34, 0}, {u"ました", 35, 0},
                        {u"まして", 41, 0}});
    }
    if (context.At(position + 1) == 0) return kNoMatch;
    if (c0 == u'た') {
        if (StartsWith(context, position, u"たい")) {
            AppendTagCode(tags, 38);
            return position + 2;
        }
        const int32_t saved = CountTagCodes(tags);
        AppendTagCode(tags, 38);
        int32_t end = MatchAdjectiveEndings(context, position + 1, tags);
        if (end != kNoMatch) return end;
        RestoreTagCount(tags, saved);
        return tryList({{u"たって", 59, 0}});
    }
    return tryList({{u"つつ", 39, 0}, {u"づつ", 39, 0}, {u"ながらも", 37, 0}, {u"ながら", 36, 0},
                    {u"なさい", 56, 0}, {u"にくい", 57, 0}, {u"やすい", 58, 0}, {u"だって", 59, 0},
                    {u"そうな", 61, 0}, {u"そうに", 62, 0}, {u"すぎる", 63, 0}});
}

int32_t MatchAdjectiveEndings(const MatchContext& context, int32_t position, TagChain& tags,
                              int32_t depth) {
    if (depth > kMaxContinuationDepth) return kNoMatch;
    const auto table = AdjectiveEndingTable();
    for (size_t row = 1; row < table.size() && row < 100; ++row) {
        const ConjugationRow& entry = table[row];
        const int32_t length = static_cast<int32_t>(entry.text.size());
        const int32_t common = CommonLength(context, position, entry.text);
        if (common == length) {
            AppendTagCode(tags, entry.tagCode);
            return position + length;
        }
        // すぎる is a verb of its own: 古すぎます, 高すぎて go on as it does.
        if (entry.tagCode == kTooMuchCode && common == length - 1 && context.At(position + common) != 0) {
            const int32_t saved = CountTagCodes(tags);
            AppendTagCode(tags, kTooMuchCode);
            const int32_t end = MatchConjugationRows(context, position + common, tags, kIchidan, depth + 1);
            if (end != kNoMatch) return end;
            RestoreTagCount(tags, saved);
        }
        if (entry.tagCode == 137 && common == length - 1) {
            const int32_t saved = CountTagCodes(tags);
            AppendTagCode(tags, 137);
            int32_t end = MatchAdjectiveEndings(context, position + common, tags, depth + 1);
            if (end != kNoMatch) return end;
            RestoreTagCount(tags, saved);
        }
    }
    return kNoMatch;
}

int32_t MatchIrregularRows(const MatchContext& context, uint32_t classBit, int32_t position,
                           TagChain& tags) {
    const auto table = ConjugationTable(classBit);
    for (size_t row = 0; row < table.size() && row < 100; ++row) {
        const ConjugationRow& entry = table[row];
        const int32_t length = static_cast<int32_t>(entry.text.size());
        const int32_t common = CommonLength(context, position, entry.text);
        int32_t end = kNoMatch;
        if (common == length) {
            end = position + length;
        } else if (common == length - 1 && entry.text.back() == u'る' && entry.tagCode != 3 &&
                   context.At(position + common) != 0) {
            end = position + common + 1;
        }
        if (end == kNoMatch) continue;
        AppendTagCode(tags, entry.tagCode);
        return end;
    }
    return kNoMatch;
}

int32_t MatchSuruForms(const MatchContext& context, int32_t position, TagChain& tags) {
    return MatchIrregularRows(context, kSuru, position, tags);
}

int32_t MatchKuruForms(const MatchContext& context, int32_t position, TagChain& tags) {
    return MatchIrregularRows(context, kKuru, position, tags);
}

}  // namespace ostrel::japanese
