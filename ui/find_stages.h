// When each stage of the last Find was reached, as QueryPerformanceCounter
// counts (one clock for every process of the machine): the key taken from the
// queue, the input box's change, the search, the list's paint, the article.
// The test hook hands the marks to the keystroke benchmark, which times each
// stage from the key it sent; nothing in the program reads them.
#pragma once

#include <cstdint>

enum class FindStage : int32_t {
    KeyTaken,          // the message loop took a key for the input box
    InputChanged,      // the input box told the frame its text changed
    FindPosted,        // the Find for the change was posted (script faces given)
    FindStarted,       // the Find began
    TextTranslated,    // the translated-words list: the text's first translation done
    WordLookedUp,      // the translated-words list: the Western word at the caret looked up
    Searched,          // the search and the page are done, nothing painted yet
    ListPaintStarted,  // the current list's WM_PAINT began
    ListPainted,       // the current list's page went to the window
    ArticleFormatted,  // the current row's article was read and formatted
    ArticleShown,      // the article view holds and painted it (with its note)
    FindEnded,         // status line and command states done
    Count
};

// The names the test hook reports the marks under ("stage.<name>").
inline constexpr const char16_t* kFindStageNames[] = {
    u"key", u"input", u"posted", u"find", u"translated", u"looked-up", u"searched",
    u"paint", u"list", u"formatted", u"article", u"end"};
static_assert(sizeof(kFindStageNames) / sizeof(kFindStageNames[0]) == static_cast<size_t>(FindStage::Count));

// Marks `stage` reached now.
void MarkFindStage(FindStage stage);
// The count of the stage's last mark, 0 before the first.
int64_t FindStageMark(FindStage stage);
