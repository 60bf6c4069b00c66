// The part of a text the translate-text entry hands to the translator, and
// its decision between Japanese and Western text. Pure functions; the frame
// supplies the text, the caret and the hit that covers the caret.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::japanese {

// The longest work text cut from a capture or a command's text.
constexpr int32_t kWorkTextUnits = 255;
// The input line is judged and translated whole: as many units as it keeps.
constexpr int32_t kInputLineUnits = 1023;

enum class TranslateMode : int32_t {
    kUnderCursor = 0,  // the run of characters about the caret
    kWholeText = 1,    // a command's text, leading blanks skipped
    kInputLine = 2,    // the input line as it stands
};

struct WorkText {
    std::u16string text;  // at most kWorkTextUnits units (kInputLineUnits for the input line)
    int32_t caret = 0;    // index of the caret character inside `text`
    // False when no caret stands on the text: a whole text (mode 1), or the
    // input line's caret outside it (behind the last character after typing
    // or a paste). The text's own script decides its kind then; a caret just
    // behind the input line still counts on the last word (`caret` on its
    // last character), a caret further out counts as 0.
    bool caretOnText = true;
    int32_t end = 0;      // units of the given text read: the text was cut there when shorter than it
};

// Kana U+3041..U+30FE, CJK ideographs (BMP and supplementary), 々 and ー.
bool IsJapaneseChar(char32_t c);

// Japanese and other characters of `text` (a surrogate pair counts once).
struct ScriptCounts {
    int32_t japanese = 0;
    int32_t other = 0;
};
ScriptCounts CountScripts(std::u16string_view text);

// Cuts the work text (`text` ends at its first 0); a cut never parts a
// surrogate pair. A caret outside the text counts as 0, but for the input
// line one just behind its end stands on its last word. Empty when nothing
// is left to translate (a caret on a blank in mode 0).
std::optional<WorkText> CutWorkText(std::u16string_view text, int32_t caret, int32_t before,
                                    int32_t after, TranslateMode mode);

struct HitSpan {
    int32_t start = 0;
    int32_t length = 0;
};

enum class TextKind { kNone, kJapanese, kWestern };

// Japanese or Western, by the first visible hit covering the caret (none when
// no hit covers it) and the word at the caret; without a caret on the text,
// by the script most of its letters and digits are written in (see
// IsJapaneseScript).
TextKind DecideTextKind(const WorkText& work, std::optional<HitSpan> coveringHit);

// Whether `text` holds letters or digits of the Japanese side, at least as
// many as below U+3000 (the Japanese side: kana, kanji, 々, ー and every letter or digit
// from U+3000 up, the full-width Latin among them): 'apt-getは、パッケージを…'
// is Japanese, 'Arma virumque cano' and '!?' are not. A text that holds a
// Japanese sentence (ten Japanese characters in a row, a hiragana among
// them, its punctuation running through) is Japanese however many letters
// its links and paths hold.
bool IsJapaneseScript(std::u16string_view text);

}  // namespace ostrel::japanese
