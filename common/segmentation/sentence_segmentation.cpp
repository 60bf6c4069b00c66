// Sentences: reduced UAX #29 sentence rules over the overridden table, with
// 」 directly before と read as a full stop.
#include "common/segmentation/text_segmentation.h"
#include "common/unicode/text_walk.h"

namespace {

constexpr char16_t kCornerBracketClose = 0x300D;   // 」
constexpr char16_t kHiraganaTo = 0x3068;           // と

struct SentenceText {
    const BreakClassArray& classes;
    TextWalk walk;

    int32_t ClassAt(int32_t i) const {
        if (i >= walk.length) return -1;
        if (walk.text[i] == kCornerBracketClose && i + 1 < walk.length && walk.text[i + 1] == kHiraganaTo)
            return kSentenceATerm;
        char32_t cp = walk.CodePointAt(i);
        return cp < kBreakTableCodePoints ? classes[cp] : static_cast<int8_t>(kSentenceOther);
    }
    bool IsIgnorable(int32_t i) const {
        int32_t c = ClassAt(i);
        return c == kSentenceExtend || c == kSentenceFormat;
    }
    // Steps past Extend and Format code points (they continue what precedes).
    int32_t SkipIgnorable(int32_t i) const {
        while (i < walk.length && IsIgnorable(i)) i = walk.Next(i);
        return i;
    }
    // Steps past code points of class `a` or `b` and ignorable ones.
    int32_t SkipRun(int32_t i, int32_t a, int32_t b) const {
        for (;;) {
            i = SkipIgnorable(i);
            int32_t c = ClassAt(i);
            if (c != a && c != b) return i;
            i = walk.Next(i);
        }
    }
};

bool IsTerminator(int32_t c) { return c == kSentenceATerm || c == kSentenceSTerm; }

}  // namespace

int32_t TextSegmenter::NextSentence(const char16_t* text, int32_t length, int32_t* start,
                                    int32_t* end) const {
    if (!text || !start || !end || !tables_.sentence) return 0;
    SentenceText s{*tables_.sentence, TextWalk(text, length)};
    int32_t i = *start;
    if (i < 0 || i >= s.walk.length) return 0;
    int32_t previous = -1;   // class of the last code point that was not Extend or Format
    while (i < s.walk.length) {
        int32_t c = s.ClassAt(i);
        int32_t after = s.walk.Next(i);
        if (c == kSentenceCR) {
            if (s.ClassAt(after) == kSentenceLF) after = s.walk.Next(after);
            *end = after;
            return 1;
        }
        if (c == kSentenceLF || c == kSentenceSep) {
            *end = after;
            return 1;
        }
        if (c == kSentenceExtend || c == kSentenceFormat) {
            i = after;
            continue;
        }
        if (!IsTerminator(c)) {
            previous = c;
            i = after;
            continue;
        }
        int32_t nextAt = s.SkipIgnorable(after);
        int32_t next = s.ClassAt(nextAt);
        int32_t pastRun = s.ClassAt(s.SkipRun(nextAt, kSentenceClose, kSentenceSp));
        bool continues = IsTerminator(next) || IsTerminator(pastRun);
        if (c == kSentenceATerm) {
            continues = continues || next == kSentenceNumeric ||
                        (previous == kSentenceUpper && next == kSentenceUpper) || pastRun == kSentenceLower;
        }
        if (continues) {
            previous = c;
            i = after;
            continue;
        }
        // The sentence takes the closing marks, then the spaces, then one separator.
        int32_t e = s.SkipRun(after, kSentenceClose, kSentenceClose);
        e = s.SkipRun(e, kSentenceSp, kSentenceSp);
        int32_t tail = s.ClassAt(e);
        if (tail == kSentenceSep || tail == kSentenceLF) {
            e = s.walk.Next(e);
        } else if (tail == kSentenceCR) {
            e = s.walk.Next(e);
            if (s.ClassAt(e) == kSentenceLF) e = s.walk.Next(e);
        }
        *end = e;
        return 1;
    }
    *end = s.walk.length;
    return 1;
}
