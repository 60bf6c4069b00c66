// CDictionary: one dictionary file as the rest of the program sees it: its
// path and flags, the engine file and collator while it is open, the header
// texts of its property records, its index language and counts, and the two
// work areas into which one stored record at a time is parsed (a UTF-16 text
// buffer and an array of DictionaryElement). The shelf holds RDFDictionary.
//
// Stored article record (the data block a cursor reads), little-endian:
//   offset  size      meaning
//   0       4         set by the compiler, not read here
//   4       4         set by the compiler, not read here
//   8       2         format type 1..16
//   10      size-10   the article, UTF-16 (an odd last byte is ignored)
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/base/bin_file.h"
#include "dictionary/dictionary_element.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/import_services.h"
#include "dictionary/safe_file_writer.h"
#include "storage/dms_status.h"

class CCursor;
class CDMS;
class CEditor;
class IDictionaryShelf;
class RDFDictionary;
struct ICollator;

// Bits of the shared dictionary flags word kept by the dictionary object and
// the shelf (the format bits belong to the format detection).
inline constexpr uint32_t kDictionaryHidden = 0x10;
inline constexpr uint32_t kDictionaryToClose = 0x80;            // at the shelf's next refresh
inline constexpr uint32_t kDictionaryNoFullTextSearch = 0x8000;
inline constexpr uint32_t kDictionaryWorking = 0x20000;
inline constexpr uint32_t kDictionaryOpen = 0x20000000;

// Open's own results beside the engine's statuses.
inline constexpr uint32_t kOpenCollationOlder = 253;  // older than an open dictionary's
inline constexpr uint32_t kOpenCollationNewer = 254;  // newer than an open dictionary's
inline constexpr uint32_t kOpenNoFile = 255;          // the engine answered 0 without a file

// The packed version of a dictionary without version text, and the first
// version that is not old (old ones have no instant search).
inline constexpr int32_t kVersionWithoutText = 0x05000000;
inline constexpr int32_t kFirstCurrentVersion = 0x06000000;

inline constexpr uint32_t kRecordHeaderBytes = 10;
// Growth of the work areas: elements for store databases and for the rest,
// and text in UTF-16 units. These are the smallest steps: both areas grow
// geometrically past them (elements double, text by half), so one record of
// millions of parts is parsed in linear time.
inline constexpr int32_t kStoreElementStep = 200;
inline constexpr int32_t kElementStep = 8000;
inline constexpr int32_t kTextGrowth = 20000;
// The record buffer grows to the record's size plus this when it has less than 4 bytes to spare.
inline constexpr uint32_t kRecordBufferSlack = 1024;

// Four numbers read from the start of a version text, each a run of decimal
// digits ended by any other character (skipped); missing ones count 0. One
// byte each, first highest, in 32 bits.
int32_t PackVersionText(std::u16string_view text);

class CDictionary {
public:
    // On the run's engine (GlobalEngine()): only between start-up and exit.
    explicit CDictionary(uint32_t flags);
    // `engine` serves every file this object opens and outlives it.
    CDictionary(uint32_t flags, CDMS& engine);
    virtual ~CDictionary();
    CDictionary(const CDictionary&) = delete;
    CDictionary& operator=(const CDictionary&) = delete;

    // Opens the file at File().path with an engine mode (0 journaled, 1 for a
    // compile, 2 read-only) and reads its header texts, counts, version and
    // index language. 0, an engine status, or one of kOpen*; a collation
    // conflict with another open dictionary of the shelf closes it again, and
    // so does a property record or an index that cannot be read (its status).
    uint32_t Open(int32_t mode);
    // The engine's close status; 0 when not open.
    uint32_t Close();
    // A message box (OK) for a result of Open; answers the button.
    int32_t ShowError(void* owner, std::u16string_view caption, std::u16string_view label, uint32_t code);
    // A read of the open file that the engine refused: any status but 0,
    // "Record not found" and "End of file". The first is kept until it has
    // been shown; a refusal never stands for "nothing there".
    // `what` names the part that could not be read when the caller knows it
    // (the Latin analyser's "INFLECTS.SEC, section 2"); it heads the detail.
    void NoteReadRefusal(DmsStatus status, std::u16string_view what = {});
    DmsStatus ReadRefusal() const { return readRefusal_; }
    // A kept refusal not shown yet.
    bool ReadRefusalUntold() const { return Failed(readRefusal_) && !readRefusalShown_; }
    // Shows the kept refusal once per opening, at the top of a user action:
    // "Cannot read file: <path>" and the engine's text. True when shown now.
    bool ReportReadRefusal();
    // Not 0 when the file was opened as a save that was cut short left it (the
    // write-back flag set) and no journal could repair it: the status the
    // repair met. Open says so once in a message naming the file.
    DmsStatus UnrepairedStatus() const { return unrepaired_; }
    // 0, or 253/254 when an open dictionary of the shelf uses another collation.
    uint32_t CheckCollatorMatch();
    // Fills the counts; answers the article count before the name and version overrides.
    int32_t CountRecords();
    // Entries of `indexId` whose keys begin with a unit from `first` to `last`
    // (of an index of more than 4,096 entries, as 4,096 keys spread over it show).
    uint32_t CountKeysInRange(int32_t indexId, char16_t first, char16_t last);
    // The name part of the path (no folder, no extension); 1 without a file object, else 0.
    uint32_t GetFileName(std::u16string& out) const;

    // Work areas of the record parse.
    // Resets the writer and frees the record buffer, the text and the elements.
    void FreeArticleBuffers();
    // Empties the text buffer and the element array, keeping their storage.
    void ClearParsedArticle();
    // Appends an element as a parser creates it; null when the array cannot grow.
    DictionaryElement* AddElement(uint32_t kind);
    // Makes room for `length` more units; with `text` copies it and advances
    // the length. The start offset of the room, or -1 without memory. Element
    // pointers into the text buffer are moved with it when it grows.
    int32_t AppendText(int32_t length, const char16_t* text);
    // The next element after `index` of `kind`, before the next entry start;
    // 0 when none.
    uint32_t FindNextElement(uint32_t index, uint32_t kind) const;
    // The value of field `key` of the kanji group at or after element `index`
    // (a field is "key=value" at the start of a blank-separated word; keys
    // compare over at most 8 units). The value's length, 0 when absent.
    int32_t GetKanjiField(uint32_t index, std::u16string_view key, const char16_t** value, int32_t* length) const;

    // Parses a stored record (2-byte aligned; it must stay in place while its
    // elements are used) through the parsers of its format type. 1 when
    // parsed; 0 for a record under 10 bytes, a format type 0 or above 16, a
    // format whose parsers are not registered, or a parser failure.
    uint32_t ParseRecord(const void* record, uint32_t size);
    // Hands a whole source text to the importer of `formatType` (format type
    // 2 turns mode 1 into 2). The importer's answer, 0 when none.
    int32_t ImportRecords(uint32_t formatType, const void* text, uint32_t size, int32_t mode,
                          const ImportCallbacks& callbacks);
    // Deletes article `recordId` of `owner` (the dictionary of the caller's
    // cursor) after the user confirms. 1 when deleted; 0 when refused (an
    // editor has it open, another dictionary, no confirmation), when it
    // cannot be read, and after a failure rolled back (the dictionary is then
    // unchanged and its articles are not marked changed).
    int32_t DeleteArticle(const CDictionary* owner, uint32_t recordId);
    // The same for the record under `cursor`; 0 for a cursor without an entry.
    int32_t DeleteArticle(const CCursor* cursor);

    // The safe writer of the dictionary's own file (File().path).
    uint32_t BeginWrite(int32_t mode) { return writer_.BeginWrite(mode, file_->path); }
    uint32_t Write(const void* bytes, int32_t size) { return writer_.Write(bytes, size); }
    uint32_t EndWrite() { return writer_.EndWrite(); }
    uint32_t ResetWriter() { return writer_.ResetWriter(); }
    const SafeFileWriter& Writer() const { return writer_; }

    // The record buffer a cursor reads one record into.
    // Room for a record of `size` bytes (grows to size + 1024 when fewer than
    // size + 4 are there); null without memory. The size held drops to 0.
    uint8_t* ReserveRecordBuffer(uint32_t size);
    void SetRecordSize(uint32_t size) { recordSize_ = size <= recordCapacity_ ? size : 0; }
    const uint8_t* RecordData() const { return record_.get(); }
    uint8_t* RecordData() { return record_.get(); }
    uint32_t RecordSize() const { return recordSize_; }
    uint32_t RecordCapacity() const { return recordCapacity_; }

    const char16_t* Text() const { return text_.get(); }
    char16_t* MutableText() { return text_.get(); }
    int32_t TextLength() const { return textLength_; }
    int32_t TextCapacity() const { return textCapacity_; }
    // Sets the length after writing into room made by AppendText (clamped to the capacity).
    void SetTextLength(int32_t length);
    DictionaryElement* Elements() { return elements_.get(); }
    const DictionaryElement* Elements() const { return elements_.get(); }
    int32_t ElementCount() const { return elementCount_; }
    int32_t ElementCapacity() const { return elementCapacity_; }
    int32_t ElementStep() const { return elementStep_; }

    BinFile& File() const { return *file_; }
    CDMS& Engine() const { return engine_; }
    ICollator* Collator() const { return collator_.get(); }
    // Header text of property 1..8 while open; null when absent.
    const std::optional<std::u16string>& HeaderText(int32_t propertyId) const;
    const char16_t* IndexLanguage() const { return languages[0]; }

    uint32_t flags;                          // the shared dictionary flags word
    IDictionaryShelf* shelf = nullptr;       // the owning shelf, null outside one
    RDFDictionary* next = nullptr;           // the shelf's chain
    RDFDictionary* previous = nullptr;
    int32_t position = -1;                   // place in the shelf chain, -1 until numbered
    int32_t openMode = 0;                    // the engine mode Open was given; 0 after Close
    int32_t fileId = 0;                      // engine file id, 0 when closed
    int32_t collatorKind = -1;               // 0 dictionary collation, 1 UCA; -1 when closed
    // Three-letter ISO 639-3 codes and a zero; [0] the index language (set by
    // Open), [1] to [3] cleared here and set by others.
    char16_t languages[4][4] = {};

    // The record last read and parsed through a cursor.
    uint32_t parsedPosition = 0;    // its data position, 0 for none
    uint32_t parsedFormatType = 0;
    uint32_t deletedRecord = 0;     // 1 when the engine reported its data as freed (44)

    int32_t version = 0;            // PackVersionText of property 4, kVersionWithoutText without it
    // Entries of indexes 101, 102, 106 and 121, the article count the user
    // sees, and for books the header records (index 3 keys up to 1000).
    int32_t readingCount = 0;
    int32_t wordCount = 0;
    int32_t translationWordCount = 0;
    int32_t latinStemCount = 0;
    int32_t articleCount = 0;
    int32_t bookHeaderCount = 0;
    bool articlesChanged = false;   // an article was deleted or changed in this run

    // Left to the other subsystems; cleared here (the RDFDictionary makes the
    // first two -1).
    int32_t conversionState = 0;    // 2 or 3 while a conversion runs (the Latin parser tests 3)
    int32_t kanjiIndexCount = 0;    // entries of the kanji index, when counted
    void* bookLoaderDialog = nullptr;         // while a book is compiled
    char16_t lastLoaderMessage[256] = {};    // zero-terminated
    CEditor* editors = nullptr;     // head of the chain of open article editors

private:
    // Takes UnrepairedStatus from the engine after an open and tells it once.
    void ReportUnrepaired();
    void FreeTextAndElements();
    struct CollatorRelease {
        void operator()(ICollator* collator) const;
    };
    uint32_t ParseRecordText(uint32_t formatType, const char16_t* text, int32_t units);
    void GuessIndexLanguage();
    int32_t CountBookHeaders();
    // Sets or clears the kanji dictionary flag by the format type of the
    // first article the word index (else the reading index) leads to.
    void NoteArticleKind();
    // Property records 1 to 8 into the header texts; the first failure other
    // than an absent record.
    DmsStatus ReadHeaderTexts();
    // Every index the dictionary reads is in the file and reachable at both
    // ends; the engine's status otherwise.
    DmsStatus CheckIndexesReadable();
    // Pointers of the elements that lie in [from, from + units) move to `to`.
    void RebaseElements(const char16_t* from, int32_t units, const char16_t* to);

    CDMS& engine_;
    std::unique_ptr<BinFile> file_;
    std::unique_ptr<ICollator, CollatorRelease> collator_;
    std::optional<std::u16string> headerTexts_[kHeaderTextCount];
    DmsStatus readRefusal_ = DmsStatus::Success;  // the first refused read since Open
    bool readRefusalShown_ = false;
    DmsStatus unrepaired_ = DmsStatus::Success;  // see UnrepairedStatus
    bool unrepairedShown_ = false;               // told once for the object's life
    std::u16string readRefusalWhat_;             // what the first refused read was after, or empty

    std::unique_ptr<uint8_t[]> record_;
    uint32_t recordCapacity_ = 0;
    uint32_t recordSize_ = 0;
    std::unique_ptr<char16_t[]> text_;
    int32_t textCapacity_ = 0;  // in units
    int32_t textLength_ = 0;
    std::unique_ptr<DictionaryElement[]> elements_;
    int32_t elementCapacity_ = 0;
    int32_t elementCount_ = 0;
    int32_t elementStep_;       // initial capacity and smallest growth step
    SafeFileWriter writer_;
};

// The dictionary object the shelf holds.
class RDFDictionary : public CDictionary {
public:
    explicit RDFDictionary(uint32_t flags);  // on the run's engine
    RDFDictionary(uint32_t flags, CDMS& engine);
    ~RDFDictionary() override;

    int32_t shelfTag = -1;  // free for the shelf
};
