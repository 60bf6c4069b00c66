// CConverter: the dictionary compiler. Bound to one dictionary object, it
// reads a source whole into UTF-16 text through the loader of its format,
// then runs a fixed table of steps over it: each record pass has the
// dictionary object parse the text and call back once per article, which
// stores the article (step 0) or writes its keys (steps 101, 102, 106); the
// pointer step indexes the stored articles. Steps marked for it compact the
// file afterwards. A target ending in ".txt" gets a UTF-16 text export instead.
//
// A new dictionary (mode 1) is built in a temporary file beside the target and
// put in its place only when the whole compile succeeded; compiling into an
// existing file (mode 2) works on it after taking a copy, which is put back
// on failure. The screen and the machine are reached through CompileUi and
// CompileEnv, so the core runs the same natively and under Windows.
#pragma once

#include "dictionary/dictionary_element.h"
#include "import/article_keys.h"
#include "import/compile_environment.h"
#include "import/compile_progress.h"
#include "import/compile_report.h"
#include "import/compile_steps.h"
#include "storage/dms_status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BinFile;
class CDictionary;
class CDMS;
class CSearchEngine;
class EngineCursor;

class CConverter {
public:
    enum Mode : int32_t { kNewFile = 1, kExistingFile = 2, kAddArticles = 3, kRemoveArticle = 4 };

    CConverter(CDictionary& target, int32_t mode, CompileUi& ui, CompileEnv& env);
    ~CConverter();
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Compiles `source` (format flags of the sniffer) into `target`. 1 on
    // success, 0 on failure with the reason in errorText (and the "Cannot
    // read file" box shown when the source could not be read).
    int32_t Convert(uint32_t formatFlags, std::u16string_view source, std::u16string_view target);

    // Set by the caller before Convert.
    CDictionary* sourceDictionary = nullptr;  // an existing dictionary as the source
    bool compactionEnabled = true;
    bool dslTranslationWords = false;
    bool bulkLoadEnabled = true;              // off: keys go straight into the indexes
    // Postings per batch of the hit-list step (tests lower it to force batches).
    size_t fullTextBatchPostings = 1000000;
    // The record passes of a one-record-a-line source (the EDICT family,
    // KANJIDIC) read it in parts of at least this many units, cut where a
    // line ends: the dictionary's text buffer then holds one part, not a
    // second copy of the whole source (tests lower it to force parts).
    size_t sourcePartUnits = size_t{1} << 19;
    // The most articles the per-article positions may hold; past it they
    // count as unable to grow (memory is the real limit; tests set a small one).
    size_t articleLimit = SIZE_MAX;
    // Read while the compile runs; the dialogs set it (through the pump).
    void Cancel() { progress_.cancelled = true; }
    bool Cancelled() const { return progress_.cancelled; }

    std::u16string errorText;                 // the last failure's text
    uint32_t ArticleCount() const { return articleCount_; }
    // The article records the last compile stored (header groups and
    // articles left out not counted).
    uint32_t StoredArticles() const { return nextArticleNumber_; }
    // What the last compile left out of its source (skipped lines, refused
    // articles): the caller shows its text beside "done".
    const CompileReport& Report() const { return report_; }
    // The largest article record (head and text, in bytes) the engine stores
    // in one block: a block is written with all its pages held in the page
    // cache at once. A larger article is refused and named in the report.
    uint64_t LargestArticleBytes() const;

    // The live articles of an open dictionary as one own markup text:
    // "{\rdf1 " (or "{\rdf2 " for kanji records) and each article's text in
    // index-0 order, then "}". Empty text when the dictionary has no article.
    static DmsStatus ReadDictionaryAsMarkup(CDMS& engine, int32_t fileId, std::u16string& text);

    // Single-article changes of an open dictionary, inside the caller's
    // engine transaction (the caller rolls back when one answers 0). An edit
    // is: mode 4, ReindexArticle on the old text; mode 3, AddArticles with
    // the new text; UpdateRecordReference(id, LastStoredPosition()).
    void SetMode(int32_t mode) { mode_ = mode; }
    // Stores the articles of `text` (own markup "{\a ...}" groups may come
    // without their "{\rdf1" wrapper) with all their keys and full-text hits,
    // appended to the indexes. 1 or 0.
    int32_t AddArticles(uint32_t formatType, std::u16string_view text);
    // Removes the keys and full-text hits that `text` (the article's stored
    // text) gave the article at data position `position`, frees its block and
    // marks its index-0 entry removed (reference 0). 1 or 0.
    int32_t ReindexArticle(uint32_t position, uint32_t formatType, std::u16string_view text);
    // Points the index-0 entry of article id `id` at `position`. 1 when done
    // or when there is no such entry; 0 on a storage failure.
    int32_t UpdateRecordReference(uint32_t id, uint32_t position);
    // The data position of the last article AddArticles stored, 0 none.
    uint32_t LastStoredPosition() const;

private:
    struct KeyCursor;
    int32_t ConvertText(std::u16string_view source, std::u16string_view target);
    int32_t CompileInto(std::u16string_view file, std::u16string_view source);
    bool ReadSource(std::u16string_view source);
    // ReadSource, showing "Cannot read file: %s" when it fails.
    bool ReadSourceOrSay(std::u16string_view source);
    bool PreExtendForSource(std::u16string_view source);
    bool CreateTargetFile(std::u16string_view path);
    bool OpenCursors();
    bool WriteIdentityProperties();
    bool RunSteps(std::span<const CompileStep> steps);
    bool RunStep(const CompileStep& step);
    bool RunRecordPass();
    bool Compact();
    int32_t RunSingleArticleSteps(std::span<const CompileStep> steps);
    bool RemoveArticleHits();
    DmsStatus RepointArticle(uint32_t id, uint32_t position);
    bool Fail(DmsStatus status);
    bool FailWith(std::u16string text);
    void CloseTarget(bool& ok);

    static int32_t OnProgress(void* context, int32_t done, int32_t total);
    static int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element);
    DmsStatus ProcessRecord(int32_t element);
    void CutElementsBack(int32_t count);
    DmsStatus StoreArticle(int32_t element);
    void RefuseTooLargeArticle(const DictionaryElement& e, uint64_t bytes);
    static void OnSkippedLine(void* context);
    static void OnSourceNotWhole(void* context, std::u16string_view reason);
    bool StoreArticlePosition(uint32_t position, uint32_t bookValue);
    DmsStatus WriteTextExportArticle(int32_t element);
    DmsStatus AddKeys(int32_t element, uint32_t position);
    bool BeginFullText();
    DmsStatus AddArticleWords(int32_t element, uint32_t index);
    bool WriteFullText(uint32_t code);
    static int32_t OnFullTextProgress(void* context, int64_t done, int64_t total);
    bool WriteArticlePointers();
    bool WriteBookPointers();
    KeyCursor* CursorOf(uint32_t keyId);

    CDictionary& target_;
    int32_t mode_;
    CompileUi& ui_;
    CompileEnv& env_;
    CDMS& engine_;
    CompileProgress progress_;
    uint32_t formatFlags_ = 0;
    uint32_t formatType_ = 0;
    std::u16string sourceText_;
    bool readingParts_ = false;               // a record pass reads the source in parts
    size_t partStart_ = 0;                    // where the part it reads begins
    std::vector<std::unique_ptr<KeyCursor>> cursors_;
    const CompileStep* step_ = nullptr;
    uint32_t articleIndex_ = 0;
    uint32_t articleCount_ = 0;
    uint32_t nextArticleNumber_ = 0;
    std::vector<uint32_t> positions_;         // data position of each article, 0 none
    std::vector<uint32_t> bookValues_;        // books: each line's value (flag byte, variant); 0xFFFFFFFF none
    std::vector<DictionaryKey> keys_;         // the current article's keys (reused)
    std::vector<KeyElement> view_;            // the current article's elements (reused)
    std::vector<DictionaryElement> kept_;     // the elements before an article, while cutting back
    std::unique_ptr<BinFile> textFile_;       // the text export's output
    std::unique_ptr<CSearchEngine> searchEngine_;  // from the lexicon step to the hit index
    bool outOfMemory_ = false;
    CompileReport report_;
    uint32_t refusedArticles_ = 0;            // articles of the source left out of the store pass
};
