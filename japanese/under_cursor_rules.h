// The rules of the timer's text-under-cursor step that need no window: when
// the step may act at all, when the pointer has come to rest, and which
// capture a window class names. The Windows side (win/under_cursor_step.*)
// reads the flags, the pointer and the classes and asks these.
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrel::japanese {

// Bits of the application's flags word that the step reads.
namespace under_cursor_flag {
inline constexpr uint32_t kWindowShown = 0x8000;
inline constexpr uint32_t kOn = 0x20000;          // translation under the cursor switched on
inline constexpr uint32_t kModalDialog = 0x8000000;
inline constexpr uint32_t kDragging = 0x20000000; // a drag from a list view
inline constexpr uint32_t kStarted = 0x40000000;  // main window built, timer running
}  // namespace under_cursor_flag

// List kinds under which the step runs when the translated-words list is not
// switched to automatically: translated words, search results, lexicon.
inline constexpr int32_t kTranslatedWordsKind = 1;
inline constexpr int32_t kSearchResultsKind = 14;
inline constexpr int32_t kLexiconKind = 15;

// What the gate looks at, read by the caller on each tick.
struct UnderCursorGate {
    uint32_t flags = 0;                     // the application's flags word
    bool hasOpenEditors = false;            // some dictionary has an article editor open
    int32_t autoSwitchTranslationList = 1;  // the translation option of that name
    int32_t currentKind = 0;                // kind of the current list view, 0 none
};

// True when the step may track the pointer on this tick (the main window's
// own minimised state is checked by the caller).
bool MayPollUnderCursor(const UnderCursorGate& gate);

// The pointer position seen at the last tracked tick and the ticks it has
// been found there since. The commands that switch the translation on and
// off reset it; a clipboard search sets the count below 0 to hold the step
// back for a few ticks.
struct PointerRest {
    static constexpr int32_t kRestTicks = 3;

    int32_t x = 0;
    int32_t y = 0;
    int32_t count = 0;

    // Records the position of this tick; true only on the third tick in a
    // row at which the pointer is found where it was (the count goes on past
    // 3, so a resting pointer is captured once).
    bool Track(int32_t pointerX, int32_t pointerY);
};

// The capture a window class leads to.
enum class CaptureKind { kNone, kWordProcessor, kBrowserControl, kAccessible2, kBookView };

// Case-sensitive, in this order: "OpusApp", "Internet Explorer_Server",
// "Chrome…" or "Mozilla…", "OstrelBookView".
CaptureKind MatchCaptureClass(std::u16string_view className);

}  // namespace ostrel::japanese
