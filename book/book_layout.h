// Laying out a column's paragraphs: the display attributes a column adds
// (selection, current phrase, font slot by script, links, right-to-left
// lines), measuring through an injected text measurer and breaking the
// text into display lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "book/book_model.h"

// What the column's window measures with: the book fonts.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Writes the right edge of each unit of `text` (pixels from its start),
    // all in the font that `attribute` selects (font slot, bold, italic).
    virtual void Measure(const char16_t* text, int32_t length, uint32_t attribute, int32_t* rightEdges) = 0;
    // The larger height of the two book fonts, and the spacing between lines.
    virtual int32_t LineHeight() = 0;
    virtual int32_t LineSpacing() { return 0; }
    // The average character width of the book font (the unit of indents).
    virtual int32_t AverageCharWidth() = 0;
};

namespace book_layout {
inline constexpr int32_t kLeftMargin = 1;
inline constexpr int32_t kRightMargin = 1;
inline constexpr int32_t kParagraphGap = 8;
inline constexpr int32_t kMaxLinkUnits = 255;
}  // namespace book_layout

// The font slot (1 to 16) of a character: Hebrew 15 and Arabic 14 (both
// right-to-left), Hangul 7, surrogates 3, other characters below U+2000 8,
// the rest 9.
uint32_t FontSlotOf(char16_t c);
bool IsRightToLeftUnit(char16_t c);

// Refreshes the column bits of every character: bit 30 inside [selectionStart,
// selectionEnd), bit 29 on the segment of `currentPhrase`, the font slot, the
// link runs (bit 31) and right-to-left lines (bit 23).
void RefreshAttributes(XParagraph& paragraph, int32_t selectionStart, int32_t selectionEnd, int32_t currentPhrase);
// Sets bit 31 on runs that begin with "http://", "https://" or "www." up to
// the first delimiter; a full stop before a delimiter or the end stays out.
void MarkLinks(std::u16string_view text, uint32_t* attributes);
// The link run through `offset` (at most 255 units), empty when none.
std::u16string LinkRunAt(const XParagraph& paragraph, int32_t offset);
// What a link click may open: http and https addresses as they stand,
// "www." runs with "http://" in front; empty for anything else, so book
// text can never name a program to run.
std::u16string OpenableLink(std::u16string_view run);

// Measures the paragraph by runs of one font (flag 4).
void MeasureParagraph(XParagraph& paragraph, TextMeasurer& measurer);
// Breaks a measured paragraph into lines for a window `clientWidth` wide
// (flag 8) and sets its height: blanks never cause a break, a line holds
// at least one character, and a break moves back to the last line-break
// opportunity of the line.
void BreakLines(XParagraph& paragraph, int32_t clientWidth, TextMeasurer& measurer);
// Measures and breaks when either is stale.
void LayOut(XParagraph& paragraph, int32_t clientWidth, TextMeasurer& measurer);
// The break the line-break finder allows last in text[start, end]; it sees
// the last 256 units only. -1 when none lies after `start`.
int32_t LastBreakBefore(std::u16string_view text, int32_t start, int32_t end);

// The sentence around `offset`: from behind the last sentence stop before it
// (blanks skipped) to the first stop after it, included, or the text's end.
void SentenceAround(std::u16string_view text, int32_t offset, int32_t& start, int32_t& end);
bool IsSentenceStop(char16_t c);
