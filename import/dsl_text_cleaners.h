// The index-text cleaners of DSL article text: the display text with its
// field bits (comments, tags and escapes dropped) for the key and full-text
// steps, and the words of the [trn] translations for the lexicon step.
#pragma once

#include <cstdint>

// Copies `text` to `out` (at most `maximum` units) without "{{...}}"
// comments, "[...]" tags (a "[lh"/"[ls" tag drops the text up to its
// "[/lh"/"[/ls"), the backslash of an escape, "<<" and ">>", and a blank
// after a blank; units below U+000A become blanks. With `attributes` (one
// word per input unit, rewritten in place for the output) each output unit
// gets its input bits plus 0x100 in "[i]" or before a ")" or "." among the
// first four units of a line, 0x200 in parentheses, 0x1000 on ",", 0x2000 on
// ";" and 0x4000 at a line start or after a "[m" tag. The units written; a
// final unit below U+0021 is not counted.
int32_t SplitArticleText(char16_t* out, int32_t maximum, const char16_t* text, int32_t length, uint16_t* attributes);

// A position in an article text; the collector moves it past the text.
struct DslTextCursor {
    const char16_t* text = nullptr;
    int32_t length = 0;
};

// Keeps only what stands between "[trn]" and "[/trn]" on one line (not in
// "[p]" or "[!trs]" spans), cleaned as SplitArticleText cleans, with blank
// runs made one blank; the units between words become zeros. The end of the
// last word, 0 (and an empty output) when there is none.
int32_t CollectDslTranslationWords(char16_t* out, int32_t maximum, DslTextCursor& cursor);
