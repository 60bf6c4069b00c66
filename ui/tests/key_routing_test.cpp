// The message loop's routing table: keys typed in the input box, in a list or
// the tab strip, in an article editor, and the mouse messages it redirects.
#include <gtest/gtest.h>

#include "ui/key_routing.h"

namespace {

constexpr uint32_t kKeyDown = 0x0100;

struct RouteCase {
    const char* name;
    RouteQuery query;
    RouteAction action;
};

RouteQuery Key(TargetRole role, uint32_t key, bool ctrl = false, bool shift = false, bool unicode = false) {
    RouteQuery q;
    q.message = kKeyDown;
    q.key = key;
    q.ctrl = ctrl;
    q.shift = shift;
    q.role = role;
    q.unicodeOnClipboard = unicode;
    q.hasCurrentList = true;
    return q;
}

RouteQuery Mouse(uint32_t message, TargetRole role, bool hasList = true) {
    RouteQuery q;
    q.message = message;
    q.role = role;
    q.hasCurrentList = hasList;
    return q;
}

class MessageRouting : public testing::TestWithParam<RouteCase> {};

TEST_P(MessageRouting, SendsTheMessageWhereTheLoopShould) {
    EXPECT_EQ(RouteMessage(GetParam().query), GetParam().action);
}

const RouteCase kCases[] = {
    {"CtrlVWithUnicodePastesUnicode", Key(TargetRole::InputBox, 'V', true, false, true), RouteAction::PasteUnicode},
    {"CtrlVWithAnsiOnlyPastesPlain", Key(TargetRole::InputBox, 'V', true), RouteAction::PastePlain},
    {"ShiftInsertPastes", Key(TargetRole::InputBox, 0x2D, false, true, true), RouteAction::PasteUnicode},
    {"CtrlCCopiesThroughTheFrame", Key(TargetRole::InputBox, 'C', true), RouteAction::PostInputCopy},
    {"CtrlInsertCopiesThroughTheFrame", Key(TargetRole::InputBox, 0x2D, true), RouteAction::PostInputCopy},
    {"CtrlXCutsThroughTheFrame", Key(TargetRole::InputBox, 'X', true), RouteAction::PostInputCut},
    {"ShiftDeleteCutsThroughTheFrame", Key(TargetRole::InputBox, 0x2E, false, true), RouteAction::PostInputCut},
    {"DeleteDeletes", Key(TargetRole::InputBox, 0x2E), RouteAction::Dispatch},
    {"CtrlCInTheListStaysInTheList", Key(TargetRole::CurrentList, 'C', true), RouteAction::Dispatch},
    {"DownGoesToTheList", Key(TargetRole::InputBox, 0x28), RouteAction::RedirectToList},
    {"PageUpGoesToTheList", Key(TargetRole::InputBox, 0x21), RouteAction::RedirectToList},
    {"TabFocusesTheList", Key(TargetRole::InputBox, 0x09), RouteAction::FocusList},
    {"EnterRunsFind", Key(TargetRole::InputBox, 0x0D), RouteAction::PostFind},
    {"F1InInputAsksTheListForHelp", Key(TargetRole::InputBox, 0x70), RouteAction::PostListHelp},
    {"LetterInInputIsTyped", Key(TargetRole::InputBox, 'A'), RouteAction::Dispatch},
    {"LetterInListGoesToInput", Key(TargetRole::CurrentList, 'K'), RouteAction::RedirectToInput},
    {"DigitOneInListGoesToInput", Key(TargetRole::CurrentList, '1'), RouteAction::RedirectToInput},
    {"DigitNineOnTabGoesToInput", Key(TargetRole::TabControl, '9'), RouteAction::RedirectToInput},
    {"DigitZeroStaysInList", Key(TargetRole::CurrentList, '0'), RouteAction::Dispatch},
    {"ApostropheGoesToInput", Key(TargetRole::CurrentList, 0xDE), RouteAction::RedirectToInput},
    {"RightGoesToInput", Key(TargetRole::CurrentList, 0x27), RouteAction::RedirectToInput},
    {"BackspaceGoesToInput", Key(TargetRole::CurrentList, 0x08), RouteAction::RedirectToInput},
    {"LeftStaysInList", Key(TargetRole::CurrentList, 0x25), RouteAction::Dispatch},
    {"CtrlLetterStaysInList", Key(TargetRole::CurrentList, 'C', true), RouteAction::Dispatch},
    {"TabInListFocusesInput", Key(TargetRole::CurrentList, 0x09), RouteAction::FocusInput},
    {"F1InListAsksForHelp", Key(TargetRole::CurrentList, 0x70), RouteAction::PostListHelp},
    {"EditorKeysGoThroughItsFilter", Key(TargetRole::EditorText, 'A'), RouteAction::FilterEditorKey},
    {"OtherWindowsKeysPass", Key(TargetRole::Other, 'A'), RouteAction::Dispatch},
    {"RightClickInInputOpensItsMenu", Mouse(0x0205, TargetRole::InputBox), RouteAction::PostInputMenu},
    {"RightClickInArticleOpensItsMenu", Mouse(0x0205, TargetRole::ArticleEdit), RouteAction::PostArticleMenu},
    {"LeftClickInInputRunsListFind", Mouse(0x0202, TargetRole::InputBox), RouteAction::PostListFind},
    {"LeftClickWithoutListPasses", Mouse(0x0202, TargetRole::InputBox, false), RouteAction::Dispatch},
    {"WheelOverInputScrollsTheList", Mouse(0x020A, TargetRole::InputBox), RouteAction::PostToList},
    {"WheelOverListPasses", Mouse(0x020A, TargetRole::CurrentList), RouteAction::Dispatch},
    // No list to post it to: the input box keeps the turn.
    {"WheelOverInputWithoutListPasses", Mouse(0x020A, TargetRole::InputBox, false), RouteAction::Dispatch},
};

INSTANTIATE_TEST_SUITE_P(Table, MessageRouting, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RouteCase>& info) { return info.param.name; });

TEST(HookHidesHint, OnlyForAButtonPressAnnouncedToAParentOrAMenuThatOpens) {
    constexpr uint32_t kParentNotify = 0x0210, kCommand = 0x0111, kTimer = 0x0113, kEnterMenuLoop = 0x0211;
    EXPECT_TRUE(HidesHint(kEnterMenuLoop, 1));  // a pop-up menu
    EXPECT_TRUE(HidesHint(kEnterMenuLoop, 0));  // the menu bar
    EXPECT_TRUE(HidesHint(kParentNotify, 0x0201));
    EXPECT_TRUE(HidesHint(kParentNotify, 0x0204));
    EXPECT_TRUE(HidesHint(kParentNotify, 0x00070201));  // the child's id rides in the high word
    EXPECT_FALSE(HidesHint(kParentNotify, 0x0001));     // WM_CREATE of a child
    EXPECT_FALSE(HidesHint(kCommand, 513));             // a command of id 513
    EXPECT_FALSE(HidesHint(kTimer, 516));
}

}  // namespace
