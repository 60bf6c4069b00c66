// The sections, keys and fixed defaults of "OstrelPro.ini", in one place so
// every subsystem spells them alike. Each key belongs to the subsystem that
// uses it; the settings store (settings_file.h) owns only the main window
// state and the dictionary slots. Limits are the units a reader keeps.
//
// | section      | keys                                                     | default            |
// |--------------|----------------------------------------------------------|--------------------|
// | Application  | Version, Flags, ShellInstall, HomeSite (255)             | empty, 0, 0, site  |
// | Window       | x, y, cx, cy, cy2                                        | 0                  |
// | View         | SearchOnListSwitch, BigHints; twelve list layouts (255)  | 1, 1, empty        |
// | Dictionaries | File%d ("%s,%d"), Folder (512), Working                  | empty              |
// | Fonts        | RusName (31), KanjiName (31), *Points, EditorPoints      | Arial, MS UI Gothic, font set, 10 |
// | Print        | Destination ... Translit                                 | the print engine's |
// | Translation  | Expand, MinKanaLength, UnderCursor, AutoSwitchTranslationList | 2, 1, 1, 1    |
// | Editor       | Left, Right (the top edge), Width, Height                | 0                  |
// | BookViewer   | Left, Right, Width, Height, Columns, BookIndex, TopPhrase, TopOffset, CurPhrase, Language1-4, File (259), TextFile (259) | 0, empty |
// | BookLoader   | SourceFile (260), FileList (260)                         | empty              |
// | Memo         | File1 (512): the saved list of selected articles         | empty              |
#pragma once

#include <cstdint>

namespace settings_section {
inline constexpr char16_t kApplication[] = u"Application";
inline constexpr char16_t kWindow[] = u"Window";
inline constexpr char16_t kView[] = u"View";
inline constexpr char16_t kDictionaries[] = u"Dictionaries";
inline constexpr char16_t kFonts[] = u"Fonts";
inline constexpr char16_t kPrint[] = u"Print";
inline constexpr char16_t kTranslation[] = u"Translation";
inline constexpr char16_t kEditor[] = u"Editor";
inline constexpr char16_t kBookViewer[] = u"BookViewer";
inline constexpr char16_t kBookLoader[] = u"BookLoader";
inline constexpr char16_t kMemo[] = u"Memo";
}  // namespace settings_section

// The list-layout keys of section View, in list order.
inline constexpr const char16_t* kListLayoutKeys[] = {
    u"WordsTranslationList", u"WordsKanaList", u"WordsKanjiList", u"KanjiReadingList",
    u"KanjiKanjiList",       u"KanjiRussianList", u"WordsRussianList", u"MemoList",
    u"LexiconList",          u"HistoryList",   u"BookList",       u"SearchList"};
inline constexpr int32_t kListLayoutUnits = 255;

inline constexpr char16_t kDefaultRusFontName[] = u"Arial";
inline constexpr char16_t kDefaultKanjiFontName[] = u"MS UI Gothic";
inline constexpr int32_t kFontNameUnits = 31;
inline constexpr int32_t kDefaultEditorPoints = 10;
inline constexpr int32_t kDictionaryFolderUnits = 512;
inline constexpr int32_t kMemoFileUnits = 512;

inline constexpr int32_t kDefaultSearchOnListSwitch = 1;
inline constexpr int32_t kDefaultBigHints = 1;
inline constexpr int32_t kDefaultTranslationExpand = 2;
inline constexpr int32_t kDefaultMinKanaLength = 1;
inline constexpr int32_t kDefaultUnderCursor = 1;
inline constexpr int32_t kDefaultAutoSwitchTranslationList = 1;
