// The arithmetic and text rules of the three captures of the text under the
// mouse cursor, kept apart from their COM calls (win/*_capture.*): which
// running document a word-processor caption names and how its range is
// widened, how the web browser control's text around the point is cleaned and
// its point scaled for the page zoom, and which window of an accessible text
// is read around an offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::japanese {

// ---- Word processor ----

// Characters each capture reads on either side of the point.
inline constexpr int32_t kCaptureReach = 20;
// The most characters of a word-processor range that are translated, and the
// longest file name (last part of a display name) that is considered.
inline constexpr int32_t kWordTextUnits = 255;

// The base name of a running object's display name: the part after the last
// backslash, cut before its first ".". None for a name that is empty, ends in
// "}" (a class moniker), has an empty base name or a last part over 255 units.
std::optional<std::u16string_view> DocumentBaseName(std::u16string_view displayName);

// Indexes of the display names whose base name occurs in the caption
// (case-sensitive), the longest base name first (ties keep their order): a
// short name such as "a" must not win over "data" for "data.docx - Word".
std::vector<size_t> DocumentCandidates(std::u16string_view caption,
                                       const std::vector<std::u16string>& displayNames);

// The range [start, end] widened by kCaptureReach on both sides (the start
// not below 0), and the caret's index from the new start.
struct WidenedRange {
    int32_t start = 0;
    int32_t end = 0;
    int32_t caret = 0;
};
WidenedRange WidenRange(int32_t start, int32_t end);

// The caret index in the text read from a range that begins at `actualStart`
// (what the word processor kept after the Start write) for a point at
// `pointStart`; 0 when the range begins behind the point.
int32_t CaretFromRangeStart(int32_t pointStart, int32_t actualStart);

// The one-time note when no running document matches the caption.
inline constexpr char16_t kWordNoteCaption[] = u"Ostrel Pro. Не удалось получить текст из Word";
std::u16string_view WordNoteText(bool elevated);

// ---- Web browser control ----

// Limits of the cleaned pieces of text before and after the point.
inline constexpr size_t kCleanInputUnits = 80;
inline constexpr size_t kCleanOutputUnits = 40;

// Walks at most 80 units of `text` (up to a 0) and keeps at most 40: units
// from U+0021 are kept, lower ones become a blank once something is kept and
// are dropped before that (CR LF then counts as one dropped step). `out`
// receives the result; its length is returned.
size_t CleanTextBeforePoint(std::u16string_view text, std::u16string& out);

// The text after the point: a leading CR LF is dropped unless it starts a new
// line (`newLine`) before a character below U+3000; then at most 40 units of
// the first 80 are kept, controls and blanks as blanks.
std::u16string CleanTextAfterPoint(std::u16string_view text, bool newLine);

// The line flag of the two ranges' bounding lefts (-1 when unknown): the text
// after the point starts a new line when it does not lie right of the text
// before it.
bool StartsNewLine(int32_t leftBefore, int32_t leftAfter);

// Logical pixels per inch to compute with: the display's, else the screen's,
// else 96 (a display may report 0, and the formulas divide by it).
int32_t UsableLogPixels(int32_t displayLogPixels, int32_t screenLogPixels);

// The page zoom in percent, 0 while not known. A browser's optical zoom is
// scaled by the pixels per inch when the control has no frame window; a zoom
// of 0 or below counts as not known.
int32_t ZoomFromBrowser(int32_t opticalZoom, bool hasFrameWindow, int32_t logPixels);
// The stored zoom factor (ZoomFactor / (96000 / pixels per inch)).
int32_t ZoomFromFactor(uint32_t zoomFactor, int32_t logPixels);
// A coordinate relative to the document scaled by 100 / zoom (unchanged for
// an unknown zoom).
int32_t ScaleForZoom(int32_t coordinate, int32_t zoom);

// A point relative to a browser's document from its screen position, the
// browser's left and top and the size its frame adds to the client area.
struct RelativePoint {
    int32_t x = 0;
    int32_t y = 0;
};
RelativePoint BrowserDocumentPoint(int32_t x, int32_t y, int32_t left, int32_t top, int32_t frameWidth,
                                   int32_t frameHeight);

// ---- IAccessible2 ----

// The text window read around an accessible offset: the offset kept inside
// 0 … n − 1 first, so that the caret always lies inside the text read.
struct AccessibleWindow {
    int32_t start = 0;
    int32_t end = 0;
    int32_t caret = 0;  // index of the offset's character in [start, end)
};
// None when the text is empty (n ≤ 0) or the offset is negative.
std::optional<AccessibleWindow> AccessibleWindowAround(int32_t offset, int32_t characterCount);

}  // namespace ostrel::japanese
