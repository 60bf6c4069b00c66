// The timer step under Wine: the gate, the rest, the walk up to a known class
// and the book view's message, with the pointer moved for real.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "capture_test_support.h"

namespace ostrel::japanese::testing {
namespace {

// How the test book view answers: its line and the offset under the pointer,
// or 0 (the pointer outside every line).
struct BookAnswer {
    const wchar_t* line = L"";
    int32_t offset = -1;
    bool hit = false;
    int asked = 0;
} g_book;

LRESULT CALLBACK BookViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kBookTextUnderCursorMessage) return DefWindowProcW(window, message, wParam, lParam);
    ++g_book.asked;
    auto* offset = reinterpret_cast<int32_t*>(wParam);
    auto* text = reinterpret_cast<BSTR*>(lParam);
    if (!offset || !text) return 0;
    *offset = -1;
    *text = nullptr;
    if (!g_book.hit) return 0;
    *text = SysAllocString(g_book.line);
    *offset = g_book.offset;
    return 1;
}

class UnderCursorStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClass(L"OstrelBookView", BookViewProc);
        g_book = {};
    }
    void TearDown() override {
        for (HWND window : windows_) DestroyWindow(window);
        Pump();
    }
    // A book view whose line under the pointer is `line`, at `offset`.
    HWND OpenBookView(const wchar_t* line, int32_t offset) {
        g_book.hit = true;
        g_book.line = line;
        g_book.offset = offset;
        return Make(L"OstrelBookView", {100, 100, 400, 300});
    }
    HWND Make(const wchar_t* className, RECT rect, const wchar_t* caption = L"", HWND parent = nullptr) {
        HWND window = MakeWindow(className, rect, caption, parent);
        if (!parent) windows_.push_back(window);
        return window;
    }

    RecordingHost host_;
    std::vector<HWND> windows_;
};

TEST_F(UnderCursorStepTest, TheBookViewIsAskedOnTheThirdTickAtRestAndItsLineTranslated) {
    HWND view = OpenBookView(L"吾輩は猫である。", 3);
    UnderCursorStep step(host_);
    POINT centre = CentreOf(view);
    ASSERT_TRUE(SetCursorPos(centre.x, centre.y));
    Pump();
    for (int tick = 0; tick < 3; ++tick) step.PollTextUnderCursor();  // arrival, rest 1, rest 2
    EXPECT_EQ(g_book.asked, 0);
    step.PollTextUnderCursor();  // rest 3
    EXPECT_EQ(g_book.asked, 1);
    ASSERT_EQ(host_.translations, (std::vector<Translation>{{u"吾輩は猫である。", 3}}));
    for (int tick = 0; tick < 5; ++tick) step.PollTextUnderCursor();  // still resting: once only
    EXPECT_EQ(g_book.asked, 1);
    // A one-pixel move restarts the count.
    RestPointerAt(step, centre.x + 1, centre.y);
    EXPECT_EQ(g_book.asked, 2);

    // Outside every line the view answers 0: nothing is translated.
    g_book.hit = false;
    RestPointerAt(step, centre.x + 2, centre.y);
    EXPECT_EQ(g_book.asked, 3);
    EXPECT_EQ(host_.translations.size(), 2u);
}

TEST_F(UnderCursorStepTest, TheGateHoldsTheStepWithoutMovingTheRest) {
    HWND view = OpenBookView(L"本", 0);
    UnderCursorStep step(host_);
    POINT centre = CentreOf(view);
    using namespace under_cursor_flag;
    const UnderCursorGate open = host_.gate;
    const std::vector<UnderCursorGate> closed = {
        {open.flags & ~kOn, false, 1, 1},          {open.flags & ~kWindowShown, false, 1, 1},
        {open.flags & ~kStarted, false, 1, 1},     {open.flags | kModalDialog, false, 1, 1},
        {open.flags | kDragging, false, 1, 1},     {open.flags, true, 1, 1},
        {open.flags, false, 0, 2},                 {open.flags, false, 0, 0}};
    for (const UnderCursorGate& gate : closed) {
        host_.gate = gate;
        host_.rest = {};
        RestPointerAt(step, centre.x, centre.y);
        EXPECT_EQ(host_.rest.count, 0);
        EXPECT_EQ(host_.rest.x, 0);
    }
    EXPECT_EQ(g_book.asked, 0);
    // Search results and the lexicon let it run without the automatic switch.
    for (int32_t kind : {14, 15}) {
        host_.gate = {open.flags, false, 0, kind};
        RestPointerAt(step, centre.x + kind, centre.y);
    }
    EXPECT_EQ(g_book.asked, 2);

    // A minimised main window holds it too.
    HWND main = Make(L"OstrelCaptureMain", {0, 0, 50, 50});
    ShowWindow(main, SW_MINIMIZE);
    Pump();
    host_.mainWindow = main;
    host_.gate = open;
    RestPointerAt(step, centre.x, centre.y + 1);
    EXPECT_EQ(g_book.asked, 2);
}

BOOL WINAPI FailingCursorPos(POINT* point) {
    // What a locked desktop leaves: no position and a point not written.
    point->x = 123456;
    point->y = 654321;
    return FALSE;
}

TEST_F(UnderCursorStepTest, AFailedPointerReadDoesNothing) {
    OpenBookView(L"本", 0);
    UnderCursorStep step(host_);
    step.getCursorPos = FailingCursorPos;
    host_.rest = {5, 5, 2};
    for (int tick = 0; tick < 6; ++tick) step.PollTextUnderCursor();
    EXPECT_EQ(host_.rest.x, 5);
    EXPECT_EQ(host_.rest.count, 2);
    EXPECT_EQ(g_book.asked, 0);
}

TEST_F(UnderCursorStepTest, TheWalkStopsAtTheFirstKnownClassUpFromTheWindowUnderThePointer) {
    // A page control inside a word processor window decides for itself; a
    // plain child of the book view is read through the view; an unknown
    // window alone is not read at all.
    HWND outer = Make(L"OpusApp", {100, 100, 400, 300}, L"Nothing.docx - Word");
    HWND browser = MakeWindow(L"Internet Explorer_Server", {}, L"", outer);
    HWND inner = MakeWindow(L"OstrelCaptureLeaf", {}, L"", browser);
    ASSERT_TRUE(inner);
    UnderCursorStep step(host_);
    int shellCalls = 0;
    step.browser.documentFromWindow = [&](HWND window) {
        EXPECT_EQ(window, browser);
        ++shellCalls;
        return ComPtr<IHTMLDocument>();
    };
    POINT centre = CentreOf(outer);
    RestPointerAt(step, centre.x, centre.y);
    EXPECT_EQ(shellCalls, 1);
    EXPECT_EQ(host_.notesPosted, 0);  // the word processor was never asked

    HWND view = Make(L"OstrelBookView", {500, 100, 700, 300});
    MakeWindow(L"OstrelCaptureLeaf", {}, L"", view);
    g_book.hit = true;
    g_book.line = L"猫";
    g_book.offset = 0;
    POINT inView = CentreOf(view);
    RestPointerAt(step, inView.x, inView.y);
    EXPECT_EQ(g_book.asked, 1);

    Make(L"OstrelCaptureLeaf", {800, 100, 900, 200});
    RestPointerAt(step, 850, 150);
    EXPECT_EQ(host_.translations.size(), 1u);
}

}  // namespace
}  // namespace ostrel::japanese::testing
