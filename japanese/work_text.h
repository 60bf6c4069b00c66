// The part of a text the translate-text entry hands to the translator, and
// its decision between Japanese and Western text. Pure functions; the frame
// supplies the text, the caret and the hit that covers the caret.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::japanese {

// The longest work text.
constexpr int32_t kWorkTextUnits = 255;

enum class TranslateMode : int32_t {
    kUnderCursor = 0,  // the run of characters about the caret
    kWholeText = 1,    // a command's text, leading blanks skipped
    kInputLine = 2,    // the input line as it stands
};

struct WorkText {
    std::u16string text;  // at most kWorkTextUnits units
    int32_t caret = 0;    // index of the caret character inside `text`
};

// Kana U+3041..U+30FE, CJK ideographs (BMP and supplementary), 々 and ー.
bool IsJapaneseChar(char32_t c);

// Japanese and other characters of `text` (a surrogate pair counts once).
struct ScriptCounts {
    int32_t japanese = 0;
    int32_t other = 0;
};
ScriptCounts CountScripts(std::u16string_view text);

// Cuts the work text (`text` ends at its first 0). A caret outside the text
// counts as 0; in the input-line mode the caret index is kept inside the cut.
// Empty when nothing is left to translate (a caret on a blank in mode 0).
std::optional<WorkText> CutWorkText(std::u16string_view text, int32_t caret, int32_t before,
                                    int32_t after, TranslateMode mode);

struct HitSpan {
    int32_t start = 0;
    int32_t length = 0;
};

enum class TextKind { kNone, kJapanese, kWestern };

// Japanese or Western, by the first visible hit covering the caret (none when
// no hit covers it) and the word at the caret.
TextKind DecideTextKind(const WorkText& work, std::optional<HitSpan> coveringHit);

}  // namespace ostrel::japanese
