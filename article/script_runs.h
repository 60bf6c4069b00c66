// Script runs of plain text shown in a rich edit: the text alternates between
// runs below U+3000 (Latin, Cyrillic, symbols) and runs from U+3000 up (kana,
// kanji, full-width forms, surrogates), and each kind gets its own face.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ScriptRun {
    int32_t start = 0;    // first unit
    int32_t length = 0;   // units; only the first run may be empty
    bool japanese = false;  // units from U+3000 up
};

// The runs of `text` in order, covering it entirely. The first run is always
// a run below U+3000, empty when the text begins at U+3000 or above; an empty
// text gives that one empty run.
std::vector<ScriptRun> SplitScriptRuns(std::u16string_view text);

// The part of `now` that differs from `before` (what typing, a paste or a
// deletion changed): units [start, end) of `now`, empty when nothing was added.
struct ChangedSpan {
    int32_t start = 0;
    int32_t end = 0;
};
ChangedSpan FindChangedSpan(std::u16string_view before, std::u16string_view now);

// An RTF document of plain `text` in which the runs below U+3000 take
// `latinFace` (character set 204) and the runs from U+3000 up `japaneseFace`
// (128), at `twips`, in the automatic colour: what a rich edit shows after
// the runs were given their faces one by one, streamed in at once. Each
// unit's bold and italic bits (kCharBold, kCharItalic) come from
// `attributes` when given; a CR, an LF or a CR LF pair ends a paragraph.
std::string ScriptRunsRtf(std::u16string_view text, std::u16string_view latinFace, std::u16string_view japaneseFace,
                          int32_t twips, std::span<const uint16_t> attributes = {});

// The same document for an article with its display words
// (display_attributes.h, one per unit): bold, italic and the colour of each
// unit as the article view's formats give them (HighlightFormatTable), a
// colour class the table does not list in the control's own colour. One
// stream lays the article out once, where a format set run by run lays it
// out again for each run.
std::string StyledArticleRtf(std::u16string_view text, std::span<const uint32_t> attributes,
                             std::u16string_view latinFace, std::u16string_view japaneseFace, int32_t twips);
