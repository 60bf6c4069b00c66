// The interface texts: UIStringTable holds, slot by slot, the texts of the
// current interface language (Russian, English or Japanese), and every text the
// user sees is read from its slot when it is shown. The three sets are
// constants compiled in from common/ui_texts/*.inc; switching only repoints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/app_context.h"

inline constexpr int kUIStringCount = 676;

// The current texts, one zero-terminated UTF-16 text per slot. Starts as the
// English set, so a reader before the first SetUILanguage never sees null.
// File-dialog filter slots hold several strings in a row ended by an empty one.
extern const char16_t* UIStringTable[kUIStringCount];

// One text of a built-in set; `units` counts every unit of the literal but
// its own terminator, so a filter's inner zeros are counted.
struct UITextEntry {
    const char16_t* text;
    size_t units;
};

// Texts the 676 numbered slots have no place for, kept beside them in the
// same files and switched with them.
enum class UIExtraText : int {
    kLineCount = 0,
    kBooksLoaded = 1,
    kOverlongListLine = 2,
    kListEntriesOfNoArticle = 3,
    kCopyUnsavedArticle = 4,    // the editor's question when a save failed at exit
    kFolderNotText = 5,         // the text-book refusals
    kFileUnreadable = 6,
    kTextNotUtf8 = 7,
    kHeaderTooLong = 8,
    kGroupLineCount = 9,
    kLineLabel = 10,
    kTextLabel = 11,
    kErrorLabel = 12,
    kSaveFileChanges = 13,      // the book reader's closing question
    kFileNotFound = 14,         // the text-book file dialog
    kFileNotFoundCaption = 15,
    kCannotSaveFile = 16,
    kSaveFailed = 17,
    kChainTooLong = 18,         // a stored book's damage
    kChainLoops = 19,
    kRecordsUnreadable = 20,
    kNextRecordMissing = 21,
    kHeaderUnreadable = 22,
    kTitleUnreadable = 23,
    kPhraseUnreadable = 24,
    kAfterPhrase = 25,
    kBookListUnreadable = 26,
    kTextListedUpTo = 27,       // a translated text with more words than the list holds
    kArticleLabel = 28,         // the compiler's refusals: "Article:" beside kLineLabel
    kTextNotInEncoding = 29,    // encoding name
    kArticleTooLarge = 30,      // bytes, limit
    kSourceHasNoArticle = 31,
    kSourceLinesSkipped = 32,   // count
    kHalfWrittenDictionary = 33,  // a dictionary read as a cut-short save left it
    kListNotSaved = 34,         // a saved word list's failed save (path), then the system's reason
    kSaveListElsewhere = 35,    // the question when that happens as the program ends
    kTransferRedirectLoop = 36, // why a transfer failed: redirects followed
    kTransferStatus = 37,       // status code
    kTransferTimedOut = 38,     // seconds
    kTransferIncomplete = 39,   // bytes received
    kTransferUnreachable = 40,
    kTransferCancelled = 41,
    kTransferTooLarge = 42,
    kDownloadNotWritten = 43,   // then the system's reason
    kDownloadNotDictionary = 44,
    kDownloadNotMoved = 45,     // then the system's reason
    kTransferRedirectRefused = 46,  // the address it was sent on to
    kExportCut = 47,            // articles kept, entries: memory ran out during an export
    kExportSkipped = 48,        // articles unreadable, entries
    kClipboardBusy = 49,
    kAskSaveArticles = 50,      // entries: the large-output question for a file
    kAskCopyArticles = 51,      // ... and for the clipboard
    kNoTextPrinted = 52,        // an output whose document would hold no text
    kNoTextSaved = 53,
    kNoTextCopied = 54,
    kSourceNotWhole = 55,       // articles stored: a compiler source that ends before its own end
    kHeaderCountsMore = 56,     // words the header counts, words read
    kGroupNeverClosed = 57,     // line of the group
    kLinksPastSentences = 58,   // links, the last sentence id
    kBooksKeptBeforeFailure = 59,  // books loaded, books listed: a book load that failed midway
    kPasteReadUpTo = 60,        // a paste longer than the input line holds: characters taken, characters pasted
    kClipboardReadUpTo = 61,    // the clipboard monitor read a long text in part: characters read, characters copied
    kClipboardListedUpTo = 62,  // the monitor's text listed in part: character the words reach, characters of the text
    kListReadStopped = 63,      // a saved list read only up to an entry: too many of its entries were refused
    kSelectedListFull = 64,     // Add to Selected: the list's limit, rows added, rows chosen
    kArticleFull = 65,          // the editor refused a typed key: the most characters an article holds
    kCutNotCopied = 66,         // a clipboard output memory cut short: the user's clipboard is kept
    kLastLineCut = 67,          // line: a line source whose last line ends before its closing mark
    kOddByteCount = 68,         // bytes: a UTF-16 source cut inside a character
    kIncludeUnreadable = 69,    // file: a DSL source's #INCLUDE names a file that cannot be read
};
inline constexpr int kUIExtraTextCount = 70;
// The text in the current interface language ("" for a number outside).
const char16_t* UIExtra(UIExtraText which);
// The constant extra texts of a language, indexed by number (kUIExtraTextCount entries).
std::span<const UITextEntry> UIExtraTextSet(UILanguage language);

// Points every slot at the text of the chosen set: 0 Russian, 2 Japanese,
// anything else English. No allocation.
void SetUILanguage(uint32_t language);

// The constant set of a language, indexed by slot (kUIStringCount entries).
std::span<const UITextEntry> UITextSet(UILanguage language);

// The menu command id -> slot records. Each record points at a slot of
// UIStringTable, not at a text, so the table stays the same in every language.
struct MenuCommandTitle {
    uint32_t commandId;            // WM_COMMAND id; 0 ends the table
    const char16_t* const* slot;   // &UIStringTable[n]
    uint32_t reserved1;            // always 0
    uint32_t reserved2;            // always 0
};
// 92 records and a closing record with command id 0. Ids 40045, 40147 and
// 40119 occur twice: applied in order, the later record wins.
inline constexpr int kMenuCommandTitleCount = 92;
extern const MenuCommandTitle MenuCommandTitleTable[kMenuCommandTitleCount + 1];
// Readers never walk further than this, whatever the table holds.
inline constexpr int kMenuCommandTitleReadLimit = 1000;

// Calls apply(commandId, current text) for each record in order, up to the
// zero record and never past the read limit or the table's end.
template <typename Apply>
void ForEachMenuCommandTitle(Apply apply) {
    constexpr int kEnd = kMenuCommandTitleCount + 1 < kMenuCommandTitleReadLimit ? kMenuCommandTitleCount + 1
                                                                                 : kMenuCommandTitleReadLimit;
    for (int i = 0; i < kEnd && MenuCommandTitleTable[i].commandId != 0; ++i)
        apply(MenuCommandTitleTable[i].commandId, *MenuCommandTitleTable[i].slot);
}

// Slot number of a record (0..675).
int MenuCommandTitleSlot(const MenuCommandTitle& record);
// The current text of the LAST record with `commandId`, or null when none.
const char16_t* FindMenuCommandTitle(uint32_t commandId);

// Titles of the word lists by list number 0-8 (8 repeats 1).
struct WordListTitle {
    const char16_t* const* slot;   // &UIStringTable[n]
    uint32_t commandId;            // carried along; not meaningful, never used
};
inline constexpr int kWordListTitleCount = 9;
extern const WordListTitle WordListTitleTable[kWordListTitleCount];

// The current title of list `listNumber`, also stored into *out when `out` is
// given. A number outside 0-8 gives null (and *out = null).
const char16_t* GetWordListTitle(int32_t listNumber, const char16_t** out);

// Application flag bits that record the interface language.
inline constexpr uint32_t kFlagEnglishInterface = 0x4000;
inline constexpr uint32_t kFlagJapaneseInterface = 0x800;

// The interface language value (0 Russian, 1 English, 2 Japanese) chosen at
// start: from `flags` when the stored window state is valid (0x4000 English,
// else 0x800 Japanese, else Russian); otherwise from the system's default
// language id (1041 Japanese, 1049 Russian, anything else English), which is
// then recorded in `flags` (0x800 or 0x4000; neither for Russian).
uint32_t ChooseStartupLanguage(bool windowStateValid, uint32_t& flags, uint16_t systemLanguageId);
