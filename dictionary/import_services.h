// What the dictionary object needs of the import subsystem: the parser and
// importer of each source format type (1 to 16) and the remover of one
// article's index entries. The import subsystem registers them at start-up;
// a format whose parsers are not registered parses and imports nothing (0),
// and without a remover no article can be deleted.
#pragma once

#include <cstdint>
#include <string_view>

class CDictionary;

// The callbacks of a whole-text import; a zero answer from progress or
// onRecord stops it.
struct ImportCallbacks {
    int32_t (*progress)(void* context, int32_t done, int32_t total) = nullptr;
    // Once per entry, with the element number of its entry start (kind 2).
    int32_t (*onRecord)(void* context, CDictionary& dictionary, int32_t entryElement) = nullptr;
    void* context = nullptr;  // handed to every callback
    // Once for each line of a whole source that a line format skips: a line
    // that is no article of the format (not a blank, comment or header line).
    void (*onSkippedLine)(void* context) = nullptr;
    // Once when a whole source ends before its own end (a header's count of
    // entries not reached, a group never closed): `reason` says how, in the
    // interface language. What was read before is reported as usual.
    void (*onSourceNotWhole)(void* context, std::u16string_view reason) = nullptr;
    // The pass reads each entry's whole text alone: an importer may leave
    // out the parts within an entry (the header's parts stay).
    bool wholeEntries = false;
    // The number of the text's first line in the whole source, from 1: a
    // later part of a source read in parts begins further on.
    int64_t firstLine = 1;
};

// Parses a whole source text (mode 0) or one stored article (mode 1, or 2
// for the kanji markup and the one-article forms of formats 6, 14 and 15)
// into the dictionary's elements and text buffer. 1 or 0.
using SourceImporter = int32_t (*)(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                                   const ImportCallbacks& callbacks);
// Parses one stored article of formats 7 to 13 and 16. For 7 to 10 and 16
// the text lies at the start of the dictionary's own text buffer: a parser
// that appends text must re-read its input through CDictionary::Text()
// afterwards, because the buffer may move (elements move with it).
using ArticleParser = int32_t (*)(CDictionary& dictionary, const char16_t* text, int32_t length);

struct FormatParsers {
    SourceImporter import = nullptr;
    ArticleParser parseArticle = nullptr;  // null for formats whose importer parses articles too
};

inline constexpr uint32_t kFirstFormatType = 1;
inline constexpr uint32_t kLastFormatType = 16;

// Registers the parsers of `formatType` and answers the ones they replace
// (all null for a type outside 1..16, which is not registered).
FormatParsers SetFormatParsers(uint32_t formatType, const FormatParsers& parsers);
// The parsers of `formatType`: all null when none are registered or the type is unknown.
FormatParsers GetFormatParsers(uint32_t formatType);

// Removes the index entries and the record of one article inside the
// caller's engine transaction; `text` is the article after its 10-byte
// header. True on success.
using ArticleIndexRemover = bool (*)(CDictionary& dictionary, uint32_t recordId, uint32_t formatType,
                                     const char16_t* text, uint32_t sizeInBytes);
// Registers the remover and answers the previous one (null when none).
ArticleIndexRemover SetArticleIndexRemover(ArticleIndexRemover remover);
ArticleIndexRemover GetArticleIndexRemover();
