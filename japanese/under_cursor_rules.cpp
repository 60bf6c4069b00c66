// The text-under-cursor step's gate, rest tracking and class table.
#include "japanese/under_cursor_rules.h"

#include <limits>

namespace ostrel::japanese {

bool MayPollUnderCursor(const UnderCursorGate& gate) {
    using namespace under_cursor_flag;
    constexpr uint32_t required = kStarted | kWindowShown | kOn;
    if ((gate.flags & required) != required) return false;
    if (gate.flags & (kModalDialog | kDragging)) return false;
    if (gate.hasOpenEditors) return false;
    if (gate.autoSwitchTranslationList != 0) return true;
    return gate.currentKind == kTranslatedWordsKind || gate.currentKind == kLexiconKind ||
           gate.currentKind == kSearchResultsKind;
}

bool PointerRest::Track(int32_t pointerX, int32_t pointerY) {
    if (pointerX != x || pointerY != y) {
        x = pointerX;
        y = pointerY;
        count = 0;
        return false;
    }
    // A pointer left alone for years must not overflow the count.
    if (count < std::numeric_limits<int32_t>::max()) ++count;
    return count == kRestTicks;
}

CaptureKind MatchCaptureClass(std::u16string_view className) {
    if (className == u"OpusApp") return CaptureKind::kWordProcessor;
    if (className == u"Internet Explorer_Server") return CaptureKind::kBrowserControl;
    if (className.starts_with(u"Chrome") || className.starts_with(u"Mozilla")) return CaptureKind::kAccessible2;
    if (className == u"OstrelBookView") return CaptureKind::kBookView;
    return CaptureKind::kNone;
}

}  // namespace ostrel::japanese
