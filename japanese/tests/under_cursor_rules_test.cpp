// The text-under-cursor step's gate, its rest tracking and its class table.
#include <gtest/gtest.h>

#include "japanese/under_cursor_rules.h"

namespace ostrel::japanese {
namespace {

using namespace under_cursor_flag;
constexpr uint32_t kReady = kStarted | kWindowShown | kOn;

TEST(UnderCursorGate, NeedsEveryConditionAndAListKindUnlessTheListSwitchesItself) {
    EXPECT_TRUE(MayPollUnderCursor({kReady, false, 1, 2}));
    for (uint32_t missing : {kStarted, kWindowShown, kOn})
        EXPECT_FALSE(MayPollUnderCursor({kReady & ~missing, false, 1, 1})) << std::hex << missing;
    for (uint32_t blocking : {kModalDialog, kDragging})
        EXPECT_FALSE(MayPollUnderCursor({kReady | blocking, false, 1, 1})) << std::hex << blocking;
    EXPECT_FALSE(MayPollUnderCursor({kReady, true, 1, 1}));  // an article editor is open
    // Without the automatic switch only translated words, search results and the lexicon.
    for (int32_t kind = 0; kind <= 16; ++kind)
        EXPECT_EQ(MayPollUnderCursor({kReady, false, 0, kind}), kind == 1 || kind == 14 || kind == 15) << kind;
}

TEST(PointerRest, ActsOnceOnTheThirdTickAtRestAndAgainOnlyAfterAMove) {
    PointerRest rest;
    std::vector<bool> acted;
    // Arrive at (10, 20), rest five ticks, move one pixel, rest three.
    for (auto [x, y] : {std::pair{10, 20}, {10, 20}, {10, 20}, {10, 20}, {10, 20}, {10, 20},
                        {11, 20}, {11, 20}, {11, 20}, {11, 20}})
        acted.push_back(rest.Track(x, y));
    EXPECT_EQ(acted, (std::vector<bool>{false, false, false, true, false, false, false, false, false, true}));
    // The switch-on command's reset: a pointer resting at the origin counts on.
    rest = {};
    EXPECT_FALSE(rest.Track(0, 0));
    EXPECT_FALSE(rest.Track(0, 0));
    EXPECT_TRUE(rest.Track(0, 0));
    rest.count = INT32_MAX;  // a pointer left alone for years
    EXPECT_FALSE(rest.Track(0, 0));
    EXPECT_EQ(rest.count, INT32_MAX);
}

TEST(MatchCaptureClass, ComparesCaseSensitivelyWithTheChromeAndMozillaPrefixes) {
    EXPECT_EQ(MatchCaptureClass(u"OpusApp"), CaptureKind::kWordProcessor);
    EXPECT_EQ(MatchCaptureClass(u"Internet Explorer_Server"), CaptureKind::kBrowserControl);
    EXPECT_EQ(MatchCaptureClass(u"Chrome_WidgetWin_1"), CaptureKind::kAccessible2);
    EXPECT_EQ(MatchCaptureClass(u"Chrome"), CaptureKind::kAccessible2);
    EXPECT_EQ(MatchCaptureClass(u"MozillaWindowClass"), CaptureKind::kAccessible2);
    EXPECT_EQ(MatchCaptureClass(u"OstrelBookView"), CaptureKind::kBookView);
    for (std::u16string_view miss : {u"chrome_WidgetWin_1", u"Chrom", u"Mozill", u"opusapp", u"OpusApp2",
                                     u"Internet Explorer_Server ", u"OstrelBookFrame", u""})
        EXPECT_EQ(MatchCaptureClass(miss), CaptureKind::kNone);
}

}  // namespace
}  // namespace ostrel::japanese
