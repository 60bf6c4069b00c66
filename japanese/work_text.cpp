// Cutting the work text and telling Japanese from Western text.
#include "japanese/work_text.h"

#include <algorithm>

#include "common/segmentation/text_segmentation.h"
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
    if (caret < 0 || caret >= length) caret = 0;
    WorkText work;
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
            work.text = std::u16string(text.substr(start, end - start));
            work.caret = std::min(caret - start, static_cast<int32_t>(work.text.size()) - 1);
            break;
        }
        case TranslateMode::kWholeText: {
            size_t start = 0;
            while (start < text.size() && text[start] < 0x21) ++start;
            for (size_t i = start; i < text.size() && work.text.size() < size_t{kWorkTextUnits}; ++i) {
                work.text += text[i] < 0x20 ? u' ' : text[i];
            }
            work.caret = 0;
            break;
        }
        case TranslateMode::kInputLine:
            work.text = std::u16string(text.substr(0, kWorkTextUnits));
            // A caret behind the cut would read past the work text.
            work.caret = std::min(caret, static_cast<int32_t>(work.text.size()) - 1);
            break;
    }
    if (work.text.empty()) return std::nullopt;
    work.caret = std::max(work.caret, 0);
    return work;
}

TextKind DecideTextKind(const WorkText& work, std::optional<HitSpan> coveringHit) {
    const std::u16string_view text = work.text;
    if (text.empty()) return TextKind::kNone;
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
