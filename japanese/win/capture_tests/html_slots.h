// Vtable slots of the HTML engine and shell interfaces the web browser
// control capture calls, read from the toolchain's C binding of those
// interfaces (html_slots.cpp) so the tests' hand-made fakes put each method
// where a caller compiled against the C++ binding looks for it.
#pragma once

#include <cstddef>

namespace ostrel::japanese::testing {

struct HtmlSlots {
    // Table sizes.
    size_t document, window2, document2, element, body, inputButton, inputText, textArea, range, metrics, frames,
        window3, shellWindows, browser, services;
    // Methods.
    size_t documentScript, windowDocument, bodyOfDocument, framesOfDocument, elementFromPoint, parentWindow,
        bodyRange, buttonRange, inputRange, areaRange, moveToPoint, duplicate, moveStart, moveEnd, rangeText,
        boundingLeft, framesLength, framesItem, idsOfNames, invoke, shellCount, shellItem, browserWindow,
        browserLeft, browserTop, clientToWindow, browserDocument, execWB, queryService;
};

const HtmlSlots& Slots();

}  // namespace ostrel::japanese::testing
