// The list window's drawing and input rules that need no window: the font
// slot of each character and the right-to-left lines, the runs a cell text is
// drawn in, the colours and fonts of a run, the dictionary sign's colour, the
// expander's state, and the scroll, wheel and drag arithmetic.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Colours as 0x00BBGGRR, the layout the window side hands to GDI unchanged.
constexpr uint32_t ListRgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

inline constexpr uint32_t kSelectedRowColour = ListRgb(0, 0, 127);
inline constexpr uint32_t kApproximateRowColour = ListRgb(122, 150, 223);
inline constexpr uint32_t kWorkingRowColour = ListRgb(255, 255, 191);
inline constexpr uint32_t kWhite = ListRgb(255, 255, 255);
inline constexpr uint32_t kBlack = 0;
inline constexpr uint32_t kSelectedFrameColour = ListRgb(206, 149, 58);

// Bits the list window adds to a cell's DisplayAttributes.
inline constexpr uint32_t kAttrRightToLeft = 0x800000;  // bit 23
inline constexpr int32_t kAttrSlotShift = 24;           // bits 24-28: the font slot
inline constexpr uint32_t kAttrSlotMask = 0x1F000000;
inline constexpr int32_t kMaxMarkedUnits = 256;

// The font slot a character is drawn in: Hebrew 15, Arabic and Syriac 14,
// Hangul (jamo, compatibility jamo, syllables) 7, surrogates 3, anything
// else below U+2000 8, the rest 9.
int32_t FontSlotOfCharacter(char16_t c);

// Writes the font slot of each of the first 256 units into its attribute and
// sets kAttrRightToLeft on every unit of a line (up to a line feed) that holds
// a Hebrew or Arabic character. `attributes` has at least text.size() words.
void MarkScriptSlots(std::u16string_view text, std::span<uint32_t> attributes);

// One run of a cell text: units [start, start + length) drawn with one colour,
// italic state and font slot. `next` is where the following run starts (a line
// feed ending the run is skipped, `lineFeed` tells).
struct TextRun {
    int32_t start = 0;
    int32_t length = 0;
    int32_t next = 0;
    uint32_t colourClass = 0;
    bool italic = false;
    int32_t slot = 0;
    bool rightToLeft = false;
    bool lineFeed = false;
};
// The run starting at `start`; false when `start` is at or past the end.
bool NextTextRun(std::u16string_view text, std::span<const uint32_t> attributes, int32_t start, TextRun& run);

// The text colour of a run.
uint32_t RunTextColour(uint32_t colourClass, bool selectedRow, bool workingRow);
// The index into the list's 20 fonts for a run's font slot and italic state.
int32_t FontIndexOfRun(int32_t slot, bool italic);
// The row's background, or false when it keeps the window colour.
bool RowBackground(bool selected, bool approximate, bool workingRow, uint32_t& colour);

// The dictionary sign's colour: the working dictionary's own, else by how many
// open dictionaries follow on the shelf from this one (itself included).
uint32_t DictionarySignColour(bool working, int32_t openFromHere);

enum class ExpanderState { Hidden, Plus, Minus };
// The expander box of a translated-words row from its entry flags.
ExpanderState ExpanderBoxState(uint32_t rowFlags);

// Scroll-bar requests, numbered as the system numbers them.
enum ScrollRequest : int32_t {
    kScrollLineUp = 0, kScrollLineDown = 1, kScrollPageUp = 2, kScrollPageDown = 3,
    kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollTop = 6, kScrollBottom = 7,
};
// The horizontal offset after a request: lines of 10 pixels, pages of the
// client width, the thumb's position; kept within 0 .. total - client.
int32_t HorizontalScrollOffset(int32_t request, int32_t offset, int32_t trackPosition, int32_t clientWidth,
                               int32_t totalWidth);
// The vertical page step: one line less than the page, at least 1.
int32_t VerticalPageStep(int32_t pageLines);

// Wheel turns of one window: deltas are summed until they make whole notches
// of 120, so fine-grained wheels and touchpads scroll too.
class WheelAccumulator {
public:
    static constexpr int32_t kNotch = 120;
    // Adds a delta; the whole notches now due (positive: towards the top).
    int32_t Add(int32_t delta);
    void Reset() { pending_ = 0; }

private:
    int32_t pending_ = 0;
};

// A drag starts once the pointer has moved this far from the press, in x or y.
inline constexpr int32_t kDragThreshold = 4;
bool DragThresholdPassed(int32_t dx, int32_t dy);

// A list's article text before it is shown: each NUL among the first
// length - 4 units becomes a line feed and the unit after it a blank. The
// bound is signed, so texts shorter than 4 units are left alone.
void ArticleNulsToLineBreaks(std::span<char16_t> text);
