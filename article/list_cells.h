// Cell texts of the list views: for each list kind and column kind, which key
// field is shown directly and which column the record's formatter is asked
// for, the "from " prefix of inflected translated words, transcription of
// readings, and the article-count texts of the lexicon list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "article/list_cell.h"
#include "common/app_context.h"
#include "storage/dms_status.h"

class CCursor;
class CDictionary;
class CDMS;
class FullTextQuery;
class WordList;
struct WordListEntry;

// Colour attributes the cells give to the texts they fill themselves.
inline constexpr uint32_t kCellReading = 32;       // colour class 2
inline constexpr uint32_t kCellHeadword = 48;      // colour class 3
inline constexpr uint32_t kCellBracketed = 80;     // colour class 5
inline constexpr uint32_t kCellReverseWord = 144;  // colour class 9

// One row as the cell builder sees it, gathered from the list and the row's
// cursor. `dictionary` holds the row's parsed record when `recordLoaded`.
struct CellRow {
    int32_t listKind = 0;
    const CDictionary* dictionary = nullptr;
    bool recordLoaded = false;
    std::u16string_view firstField;        // the cursor's current key fields
    std::u16string_view secondField;
    const uint8_t* firstFieldData = nullptr;  // the first field's raw value (key numbers)
    int32_t firstFieldBytes = 0;
    uint32_t referenceSecond = 0;          // second word of the record reference
    uint16_t subEntry = 0;
    uint32_t recordId = 0;
    const WordListEntry* entry = nullptr;  // the stored entry, null in merged lists
    std::u16string_view input;             // the typed or analysed text (column 1)
    std::u16string_view ownText;           // the entry's own text (two lines)
    uint32_t applicationFlags = 0;
    int32_t articleCount = 0;              // column 25 of the lexicon list
};

// Fills `cell` (its columnKind is the column asked for) for the row; the
// text never exceeds kCellTextLimit units and is always terminated. The
// query-word colouring of search results is not applied here.
void BuildCell(const CellRow& row, ListCell& cell);

// Fills the cursor's part of `row` (whose listKind is set): its dictionary,
// its record (loaded and parsed, except in the lexicon), its key fields and
// its record reference. A stored list's cursor stands on its entry's record
// by reference alone, without an index entry.
void FillCellRowFromCursor(CCursor& cursor, CellRow& row);

// The cell of `row` in `list`: gathers the row (own text, cursor, loaded
// record) and builds it. Always 0; every failure gives an empty cell.
int32_t GetCellText(WordList& list, int32_t row, ListCell& cell);

// The lexicon row's article text: the cell text and, in the interface
// language, where the word is contained and how to see the articles.
std::u16string ArticleCountHintText(UILanguage language, std::u16string_view cellText, int32_t articles,
                                    int32_t dictionaries);

// Articles of the open dictionary file `fileId` whose full text holds `word`
// (an index 110 key): the records of its hit list in index 111. A read the
// engine refuses counts none and leaves its status in `*refusal` (when given).
int32_t CountArticlesOfWord(CDMS& engine, int32_t fileId, const std::u16string& word, DmsStatus* refusal = nullptr);

struct ArticleCount {
    int32_t articles = 0;
    int32_t dictionaries = 0;  // those holding at least one of the articles
};
// The same over every open dictionary of `list`; a dictionary whose index
// the engine refuses counts none and keeps the refusal to be told.
ArticleCount CountArticlesOfWord(WordList& list, const std::u16string& word);

// Colours the words of a search-results cell that match `query`: attribute
// (a & ~0x90) | 0x60 from the first matched word's start to the last one's
// end. `entryFlags` (the row's full-text search kind) choose which query
// words may start a match and how far it runs.
void HighlightQueryWords(const FullTextQuery& query, uint32_t entryFlags, ListCell& cell);
// The [start, end) ranges of `text` that match `query` by the same rule, the
// words taken at most `maxWordUnits` long (255 in a shown article).
std::vector<std::pair<int32_t, int32_t>> QueryWordRanges(const FullTextQuery& query, uint32_t entryFlags,
                                                         std::u16string_view text, int32_t maxWordUnits);

// Makes the list views read their cell texts here; search-results cells are
// coloured by `query` when given (it must outlive the lists).
void InstallListCellTexts(const FullTextQuery* query = nullptr);
