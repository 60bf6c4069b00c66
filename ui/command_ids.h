// The main window's command ids (WM_COMMAND low word) and the program's
// private window messages. Menus, toolbar buttons, tabs and other parts post
// these to the frame; the dispatcher (frame_commands.cpp) acts on them.
#pragma once

#include <cstdint>

namespace cmd {
inline constexpr uint32_t kListHelp = 1016;        // a list's help topic
inline constexpr uint32_t kInputBox = 202;         // the input box's control id
inline constexpr uint32_t kExit = 40001;
inline constexpr uint32_t kAbout = 40002;
inline constexpr uint32_t kListTranslation = 40003;   // kind 1
inline constexpr uint32_t kListReading = 40004;       // kind 2
inline constexpr uint32_t kListWords = 40006;         // kind 4
inline constexpr uint32_t kListKanji = 40007;         // kind 5
inline constexpr uint32_t kClipboardMonitorOn = 40008;
inline constexpr uint32_t kClipboardMonitorOff = 40009;
inline constexpr uint32_t kFind = 40010;
inline constexpr uint32_t kClipboardSearch = 40011;
inline constexpr uint32_t kClipboardMonitor = 40012;
inline constexpr uint32_t kTopmost = 40013;
inline constexpr uint32_t kClearInput = 40014;
inline constexpr uint32_t kTopmostOn = 40015;
inline constexpr uint32_t kTopmostOff = 40016;
inline constexpr uint32_t kInputDelete = 40017;
inline constexpr uint32_t kSelectArticleId = 40018;
inline constexpr uint32_t kSearchAsYouType = 40023;
inline constexpr uint32_t kInputCut = 40024;
inline constexpr uint32_t kInputPaste = 40025;
inline constexpr uint32_t kEditingStates = 40026;
inline constexpr uint32_t kDeleteLines = 40029;
inline constexpr uint32_t kInputSelectAll = 40032;
inline constexpr uint32_t kInputCopy = 40033;
inline constexpr uint32_t kInputDeleteAll = 40034;
inline constexpr uint32_t kEnglishInterface = 40037;
inline constexpr uint32_t kShowWindow = 40051;
inline constexpr uint32_t kHideWindow = 40052;
inline constexpr uint32_t kAutoLocate = 40059;
inline constexpr uint32_t kBookReader = 40062;
inline constexpr uint32_t kEditArticle = 40064;
inline constexpr uint32_t kEditArticleAlt = 40065;
inline constexpr uint32_t kDeleteArticle = 40066;
inline constexpr uint32_t kNewArticle = 40067;
inline constexpr uint32_t kBookOnRow = 40068;
inline constexpr uint32_t kDictionaries = 40070;
inline constexpr uint32_t kNewArticleFromClipboard = 40083;
inline constexpr uint32_t kUnderCursor = 40114;
inline constexpr uint32_t kUnderCursorOn = 40115;
inline constexpr uint32_t kUnderCursorOff = 40116;
inline constexpr uint32_t kHelpContents = 40117;
inline constexpr uint32_t kFontSettings = 40119;
inline constexpr uint32_t kHomeSite = 40134;
inline constexpr uint32_t kWebSite = 40136;
inline constexpr uint32_t kTrayIcon = 40137;
inline constexpr uint32_t kListBook = 40138;          // kind 17
inline constexpr uint32_t kListSearchResults = 40139; // kind 14
inline constexpr uint32_t kListSelected = 40140;      // kind 13
inline constexpr uint32_t kJapaneseInterface = 40141;
inline constexpr uint32_t kListLexicon = 40142;       // kind 15
inline constexpr uint32_t kListHistory = 40143;       // kind 16
inline constexpr uint32_t kRussianInterface = 40144;
inline constexpr uint32_t kListRecords = 40145;       // kind 18
inline constexpr uint32_t kNothing = 40154;
inline constexpr uint32_t kTranslationOptions = 40155;
inline constexpr uint32_t kLookUpList = 40167;
inline constexpr uint32_t kLookUpFullText = 40169;
inline constexpr uint32_t kLookUpTranslate = 40171;
inline constexpr uint32_t kConversionMode = 40172;
inline constexpr uint32_t kPrint = 40190;
inline constexpr uint32_t kSelectAll = 40192;
inline constexpr uint32_t kAddToSelected = 40194;
inline constexpr uint32_t kSaveListAs = 40196;
inline constexpr uint32_t kSaveList = 40197;
inline constexpr uint32_t kOpenList = 40198;
inline constexpr uint32_t kCloseList = 40200;
inline constexpr uint32_t kHistoryBack = 40205;
inline constexpr uint32_t kHistoryForward = 40206;
inline constexpr uint32_t kHints = 40214;
inline constexpr uint32_t kCopyToWorking = 40400;
inline constexpr uint32_t kNewArticleFromSelection = 40500;
inline constexpr uint32_t kSettings = 40645;
inline constexpr uint32_t kCopy = 40647;
inline constexpr uint32_t kMenuButton = 40671;
}  // namespace cmd

// The ten web-search commands, in the order of the web-search sub-menus.
inline constexpr uint32_t kWebSearchCommands[] = {40183, 40184, 40185, 40186, 40187,
                                                  40188, 40166, 40691, 40164, 40170};
bool IsWebSearchCommand(uint32_t id);

// Private messages (WM_APP = 0x8000).
namespace msg {
inline constexpr uint32_t kApp = 0x8000;
inline constexpr uint32_t kContextMenu = kApp + 1;       // input box or article
inline constexpr uint32_t kTrayNotify = kApp + 7;
inline constexpr uint32_t kWebReplyFirst = kApp + 0x2C;  // with +0x12 and +0x32
inline constexpr uint32_t kWebReplyLast = kApp + 0x30;
inline constexpr uint32_t kWebReplyStart = kApp + 0x12;
inline constexpr uint32_t kWebReplyNews = kApp + 0x32;
inline constexpr uint32_t kDownloadDone = kApp + 0x31;   // to the dictionaries dialog
inline constexpr uint32_t kBookTextUnderCursor = kApp + 0x46;
inline constexpr uint32_t kListFind = kApp + 0x47;
inline constexpr uint32_t kCaptureNote = kApp + 0x48;      // a capture's note, shown after its step
inline constexpr uint32_t kPasteNote = kApp + 0x49;        // words on the input's text, shown after its search
}  // namespace msg
