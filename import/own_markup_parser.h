// The parser of the program's own markup: UTF-16 text of nested brace groups,
// each opened by control words that give its element kind and grammar flags,
// with "\{", "\}" and "\\" as escapes. It reads a whole "{\rdf1" (word) or
// "{\rdf2" (kanji) source, or one stored article, and reports every group as
// an element of a caller's element array. All nesting state lives in the call,
// so a parse started while another one waits inside a callback cannot disturb it.
#pragma once

#include <cstdint>
#include <string_view>

// Element kinds of own markup.
enum OwnMarkupKind : uint32_t {
    kMarkupNone = 0,
    kMarkupDictionary = 1,
    kMarkupArticle = 2,
    kMarkupReading = 3,
    kMarkupWord = 4,       // a word in kanji, or the kanji of a kanji article
    kMarkupSense = 5,
    kMarkupExample = 7,
    kMarkupTranslation = 8,
    kMarkupNote = 9,
    kMarkupIdiom = 10,
    kMarkupOnReading = 11,
    kMarkupKunReading = 12,
    kMarkupSubsense = 13,
    kMarkupGroup = 14,
    kMarkupName = 15,
    kMarkupCopyright = 16,
    kMarkupComment = 17,
};

// What is parsed: 0 a whole source text, 1 one stored word article, 2 one
// stored kanji article.
enum class OwnMarkupMode : int32_t { WholeText = 0, WordArticle = 1, KanjiArticle = 2 };

// Dictionary flags the whole-text check sets (the other one is cleared).
inline constexpr uint32_t kWordDictionaryFlag = 0x40000;
inline constexpr uint32_t kKanjiDictionaryFlag = 0x80000;

// The element array a parse fills. Offsets count UTF-16 units from the start
// of the buffer the parse reads.
class MarkupElementSink {
public:
    virtual ~MarkupElementSink() = default;
    // Appends an element of kind 0, flags 0, no text, whose span begins and
    // ends at `offset`; its number, or -1 when the array cannot grow.
    virtual int32_t AddGroup(uint32_t offset) = 0;
    virtual int32_t Count() const = 0;
    virtual uint32_t Kind(int32_t element) const = 0;
    virtual void SetKind(int32_t element, uint32_t kind) = 0;
    virtual void AddFlags(int32_t element, uint32_t flags) = 0;
    virtual void SetEnd(int32_t element, uint32_t offset) = 0;
    virtual void SetText(int32_t element, uint32_t offset, uint32_t length) = 0;
};

// The two callbacks of a parse; `context` is handed back to both. Either
// may be null. A zero answer stops the parse with result 0.
struct MarkupCallbacks {
    // (characters read, characters in all); whole-text mode only, before every character.
    int32_t (*progress)(void* context, uint32_t done, uint32_t total) = nullptr;
    // The number of a name, copyright, comment or article element whose "}" was read.
    int32_t (*article)(void* context, int32_t element) = nullptr;
    void* context = nullptr;
};

struct MarkupParseResult {
    int32_t ok = 0;               // 1 parsed (also with groups left open), 0 refused or stopped
    uint32_t dictionaryFlag = 0;  // whole text: kWordDictionaryFlag or kKanjiDictionaryFlag
    // Groups left open at the end (a text cut short), and the offset of the
    // "{" of the one at article level (the outer group's when only it is open).
    int32_t openLevels = 0;
    uint32_t openGroupOffset = 0;
};

// Parses buffer[start, end) where `buffer` is the whole article text buffer
// (offsets given to the sink count from its beginning). A whole text must
// begin, after an optional U+FEFF, with "{\rdf1" or "{\rdf2" and hold at
// least 14 bytes; otherwise the result is 0 and the sink is untouched.
MarkupParseResult ParseOwnMarkup(std::u16string_view buffer, uint32_t start, OwnMarkupMode mode,
                                 MarkupElementSink& sink, const MarkupCallbacks& callbacks);

// Whether a whole text would pass the check above, and the dictionary flag it sets.
uint32_t OwnMarkupDictionaryFlag(std::u16string_view text);

// One entry of a control-word table (exposed so tests can pin the tables).
struct MarkupControlWord {
    std::u16string_view name;
    uint32_t flags;
    uint32_t kind;
    int32_t next;  // the table a word with a kind leads to
};
enum MarkupTableId : int32_t { kRootTable, kWordHeaderTable, kKanjiHeaderTable, kWordVocabulary, kKanjiVocabulary };
// The entry of `word` in a table (case-sensitive), null when it holds none.
const MarkupControlWord* FindMarkupControlWord(int32_t table, std::u16string_view word);
