// A page of the web browser control as the capture meets it, built from
// hand-made C vtables: every slot the capture is not expected to call traps
// (vtable_trap.h), the called ones sit where html_slots.cpp says. One scene
// holds the document, its window and services, the elements, two text
// ranges, a frameset and the shell's browser windows.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ostrel::japanese::testing {

struct FakeObject;
struct HtmlScene;

// What a caller holds: a vtable pointer first, then the object behind it.
struct FakeHead {
    void* const* vtable;
    FakeObject* owner;
};

struct FakeObject {
    FakeHead head{};
    HtmlScene* scene = nullptr;
    std::vector<void*> table;               // this object's vtable
    struct GuidLess {
        bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof a) < 0; }
    };
    std::map<GUID, FakeObject*, GuidLess> faces;  // interface id → the object answering it
    LONG references = 0;
    int tag = 0;  // which of the scene's objects of one kind (range 0/1, frame 0/1, browser 0/1)

    IUnknown* Unknown() { return reinterpret_cast<IUnknown*>(&head); }
};

// A text range over one text: [start, end).
struct FakeRangeState {
    const std::u16string* text = nullptr;
    long start = 0;
    long end = 0;
};

struct HtmlScene {
    HtmlScene();
    HtmlScene(const HtmlScene&) = delete;
    HtmlScene& operator=(const HtmlScene&) = delete;

    // ---- What the page answers ----
    std::u16string page;          // the body's text
    std::u16string field;         // a text input's value
    long pointAt = 0;             // the character moveToPoint lands on
    enum class Element { kPlain, kTextInput, kTextArea, kNone } element = Element::kPlain;
    bool withBody = true;         // false: a frameset whose frame 1 holds the page
    long zoom = 100;              // ExecWB's optical zoom; 0: ExecWB fails
    bool frameWindow = true;      // the browser has a window of its own
    long leftBefore = 100, leftAfter = 140;  // bounding lefts of the two ranges
    POINT frameScreen{0, 0};      // frame 1's screenLeft, screenTop
    // The shell's browsers: their top windows (a second browser elsewhere first).
    HWND browserWindows[2] = {};
    long browserLeft = 0, browserTop = 0;
    int frameWidth = 0, frameHeight = 0;  // what ClientToWindow adds

    // ---- What the capture asked ----
    std::vector<POINT> elementFromPoint;
    std::vector<POINT> moveToPoint;
    int frameDocumentsAsked = 0;

    // ---- The objects ----
    FakeObject document, scriptWindow, services, document2, bodyElement, frameset, body, plain, input, inputText,
        area, areaText, ranges[2], metrics[2], frames, frameWindows[2], frameWindows3[2], frameDocument,
        frameBodyElement, frameBody, browsers[2], shellWindows;
    FakeRangeState rangeStates[2];

    IUnknown* Document() { return document.Unknown(); }
    IUnknown* ShellWindows() { return shellWindows.Unknown(); }
    // References the capture still holds (0 after a capture).
    LONG HeldReferences() const;
};

}  // namespace ostrel::japanese::testing
