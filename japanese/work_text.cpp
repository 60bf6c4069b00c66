// Cutting the work text and telling Japanese from Western text.
#include "japanese/work_text.h"

#include <algorithm>

#include "common/segmentation/text_segmentation.h"
#include "common/unicode/char_tables.h"
#include "common/unicode/japanese_chars.h"

namespace ostrel::japanese {
namespace {

// The code point at `i` and the units it takes.
char32_t CodePointAt(std::u16string_view text, size_t i, size_t& units) {
    units = 1;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        units = 2;
        return CombineSurrogates(text[i], text[i + 1]);
    }
    return text[i];
}

bool HasJapaneseChar(std::u16string_view text) { return CountScripts(text).japanese > 0; }

// Letters, marks and digits (general categories 1 to 11), as the input line's words.
bool IsWordUnit(char16_t unit) {
    const int32_t category = GetCharCategory(unit);
    return category >= 1 && category <= 11;
}

// The length of a cut of at most `units` units at `from` that parts no surrogate pair.
size_t WholeCharacters(std::u16string_view text, size_t from, size_t units) {
    size_t end = std::min(text.size(), from + units);
    if (end > from && end < text.size() && IsHighSurrogate(text[end - 1]) && IsLowSurrogate(text[end])) --end;
    return end - from;
}

// The start of the last letter, mark or digit of `text` (a supplementary
// character counts whole), else its last unit: where a caret behind the text
// looks back to.
int32_t LastWordUnit(std::u16string_view text) {
    for (size_t i = text.size(); i-- > 0;) {
        if (IsLowSurrogate(text[i]) && i > 0 && IsHighSurrogate(text[i - 1])) return static_cast<int32_t>(i - 1);
        if (IsWordUnit(text[i])) return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(text.size()) - 1;
}

// Punctuation of the Japanese side (、。「」・，．（）！？ and the like), which a
// Japanese sentence runs through.
bool IsJapanesePunctuation(char32_t c) {
    return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20);
}

// A run of at least kSentenceCharacters Japanese characters with a hiragana
// among them, Japanese punctuation running through it: the text holds a
// sentence, whatever links, paths or commands stand beside it.
constexpr int32_t kSentenceCharacters = 10;
bool HasJapaneseSentence(std::u16string_view text) {
    int32_t run = 0;
    bool hiragana = false;
    for (size_t i = 0, units = 1; i < text.size(); i += units) {
        const char32_t c = CodePointAt(text, i, units);
        if (IsJapaneseChar(c)) {
            ++run;
            hiragana = hiragana || (c >= 0x3041 && c <= 0x309F);
            if (run >= kSentenceCharacters && hiragana) return true;
        } else if (!IsJapanesePunctuation(c)) {
            run = 0;
            hiragana = false;
        }
    }
    return false;
}

}  // namespace

bool IsJapaneseChar(char32_t c) {
    return (c >= 0x3041 && c <= 0x30FE) || IsCjkIdeograph(c) || c == 0x3005 || c == 0x30FC;
}

ScriptCounts CountScripts(std::u16string_view text) {
    ScriptCounts counts;
    for (size_t i = 0, units = 1; i < text.size(); i += units) {
        if (IsJapaneseChar(CodePointAt(text, i, units))) ++counts.japanese;
        else ++counts.other;
    }
    return counts;
}

std::optional<WorkText> CutWorkText(std::u16string_view text, int32_t caret, int32_t before,
                                    int32_t after, TranslateMode mode) {
    text = text.substr(0, std::min(text.find(u'\0'), text.size()));
    const int32_t length = static_cast<int32_t>(text.size());
    WorkText work;
    const bool caretBehindText = caret == length;
    work.caretOnText = caret >= 0 && caret < length;
    if (!work.caretOnText) caret = 0;
    switch (mode) {
        case TranslateMode::kUnderCursor: {
            if (length == 0 || text[caret] <= 0x20) return std::nullopt;
            int32_t start = caret;
            while (start > 0 && start > caret - before && text[start - 1] > 0x20) --start;
            int32_t end = caret;
            while (end < length && end <= caret + after && text[end] > 0x20 &&
                   end - start < kWorkTextUnits) {
                ++end;
            }
            end = start + static_cast<int32_t>(WholeCharacters(text, start, end - start));
            work.text = std::u16string(text.substr(start, end - start));
            work.caret = std::min(caret - start, static_cast<int32_t>(work.text.size()) - 1);
            work.end = end;
            break;
        }
        case TranslateMode::kWholeText: {
            size_t start = 0;
            while (start < text.size() && text[start] < 0x21) ++start;
            const size_t units = WholeCharacters(text, start, kWorkTextUnits);
            for (size_t i = start; i < start + units; ++i) work.text += text[i] < 0x20 ? u' ' : text[i];
            work.caret = 0;
            work.caretOnText = false;
            work.end = static_cast<int32_t>(start + units);
            break;
        }
        case TranslateMode::kInputLine:
            // The whole line: the caret may stand anywhere in it, and its kind
            // is judged at the caret, not at a cut of its first characters.
            work.text = std::u16string(text.substr(0, WholeCharacters(text, 0, kInputLineUnits)));
            work.end = static_cast<int32_t>(work.text.size());
            // A caret behind what is read stands outside the text.
            if (caret >= work.end) {
                caret = 0;
                work.caretOnText = false;
            }
            // The caret just behind the whole line, as typing leaves it,
            // stands behind the word just typed: the look-up counts on that
            // word, while the line's own script still decides its kind.
            if (caretBehindText && work.end == length) caret = LastWordUnit(work.text);
            work.caret = caret;
            break;
    }
    if (work.text.empty()) return std::nullopt;
    work.caret = std::max(work.caret, 0);
    return work;
}

bool IsJapaneseScript(std::u16string_view text) {
    int32_t japanese = 0, western = 0;
    for (size_t i = 0, units = 1; i < text.size(); i += units) {
        const char32_t c = CodePointAt(text, i, units);
        if (IsJapaneseChar(c) || (c >= 0x3000 && units == 1 && IsWordUnit(text[i]))) ++japanese;
        else if (c < 0x3000 && IsWordUnit(text[i])) ++western;
    }
    return (japanese > 0 && japanese >= western) || HasJapaneseSentence(text);
}

namespace {

// Whether the first letter at or after `caret` (the word a Western look-up
// would read there) is Japanese: such a word has no Western reading.
bool JapaneseWordAt(std::u16string_view text, int32_t caret) {
    for (size_t i = static_cast<size_t>(std::max(caret, 0)), units = 1; i < text.size(); i += units) {
        const char32_t c = CodePointAt(text, i, units);
        if (units == 1 && !IsWordUnit(text[i])) continue;  // a blank or a stop (・ too)
        return IsJapaneseChar(c);
    }
    return false;
}

}  // namespace

TextKind DecideTextKind(const WorkText& work, std::optional<HitSpan> coveringHit) {
    const std::u16string_view text = work.text;
    if (text.empty()) return TextKind::kNone;
    // A text read as Western is looked up at the word by the caret (its first
    // word, or the word just typed); where that word is Japanese the Western
    // look-up has nothing to give, so its Japanese reading is listed.
    if (!work.caretOnText) {
        return IsJapaneseScript(text) || JapaneseWordAt(text, work.caret) ? TextKind::kJapanese : TextKind::kWestern;
    }
    if (!coveringHit) return text[work.caret] < 0x3000 ? TextKind::kWestern : TextKind::kJapanese;
    const int32_t hitStart = std::clamp(coveringHit->start, 0, static_cast<int32_t>(text.size()));
    const int32_t hitEnd = std::clamp(coveringHit->start + coveringHit->length, hitStart,
                                      static_cast<int32_t>(text.size()));
    if (HasJapaneseChar(text.substr(hitStart, hitEnd - hitStart))) return TextKind::kJapanese;
    int32_t wordStart = 0, wordEnd = 0;
    if (WordAt(text.data(), static_cast<int32_t>(text.size()), work.caret, &wordStart, &wordEnd) == 0) {
        return TextKind::kNone;
    }
    return wordStart >= hitStart && wordEnd <= hitEnd ? TextKind::kJapanese : TextKind::kWestern;
}

}  // namespace ostrel::japanese
