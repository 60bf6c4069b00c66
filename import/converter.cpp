// The dictionary compiler: target file handling (temporary file, copy for
// mode 2), identity properties, the step loop with bulk loads and
// compactions, the record passes and the per-article work.
#include "import/converter.h"

#include "common/base/bin_file.h"
#include "common/base/bounded_format.h"
#include "common/global_objects.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/file_replace.h"
#include "dictionary/format_detection.h"
#include "dictionary/leftover_files.h"
#include "import/article_record.h"
#include "import/edict_import.h"
#include "import/full_text_lexicon.h"
#include "import/search_engine.h"
#include "import/key_entries.h"
#include "import/latin_steps.h"
#include "import/line_tags.h"
#include "import/own_markup_parser.h"
#include "import/import_registration.h"
#include "import/source_loaders.h"
#include "import/target_paths.h"
#include "storage/database_file.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <new>

namespace {

constexpr int32_t kCannotReadFileSlot = 528;
constexpr int32_t kCannotReadFileCaptionSlot = 529;
constexpr int32_t kNoDiskSpaceSlot = 520;
constexpr int32_t kCompilationCaptionSlot = 483;
constexpr uint32_t kOwnMarkupFlags = kFormatOwnContainer | kFormatOwnText;
constexpr uint32_t kBookFormat = 12;

// The format type of a source: the own markup text (0x200), which the
// flags-to-type rule leaves out, compiles as the container does.
uint32_t CompileFormatType(uint32_t flags) {
    if (flags & kOwnMarkupFlags) return flags & kFormatKanji ? 2 : 1;
    return FormatTypeFromFlags(flags);
}

std::u16string StatusText(DmsStatus status) {
    std::array<char16_t, 256> text{};
    DmsErrorText(StatusCode(status), 0, text.data(), static_cast<int32_t>(text.size()));
    return std::u16string(text.data());
}

std::u16string_view ElementSpan(const DictionaryElement& e) {
    if (!e.begin || !e.end || e.end < e.begin) return {};
    return {e.begin, static_cast<size_t>(e.end - e.begin) + 1};
}

std::u16string_view ElementText(const DictionaryElement& e) {
    return e.text && e.length > 0 ? std::u16string_view(e.text, static_cast<size_t>(e.length)) : std::u16string_view();
}

// The EDICT family and KANJIDIC hold one record a line: their record passes
// read the source in parts cut where a line ends (CConverter::sourcePartUnits).
bool IsOneRecordALineFormat(uint32_t formatType) { return formatType >= 3 && formatType <= 6; }

// Where the part of `text` that starts at `from` ends: just after the first
// line end from `from` + `units` on, or at the end of the text when less than
// another `units` would follow (no part is shorter than `units`).
size_t SourcePartEnd(std::u16string_view text, size_t from, size_t units) {
    if (units == 0 || text.size() - from < units || text.size() - from - units < units) return text.size();
    const size_t lineEnd = text.find(u'\n', from + units - 1);
    if (lineEnd == text.npos || text.size() - (lineEnd + 1) < units) return text.size();
    return lineEnd + 1;
}

// Page cache slots kept free of a block being stored: the header page and
// the pages the store walks before it makes new ones.
constexpr uint32_t kSlotsBesideABlock = 8;

// Why a compile stopped when the source's records do not parse, in the
// interface language (the interface texts have no slot of their own for it).
std::u16string UnreadableSourceText() {
    switch (App().InterfaceLanguage()) {
    case UILanguage::Russian: return u"Исходный текст не удалось прочитать как словарь.";
    case UILanguage::Japanese: return u"元のテキストを辞書として読み取れませんでした。";
    default: return u"The source text could not be read as a dictionary.";
    }
}

bool IsBulkKeyStep(uint32_t keyId) { return keyId == 3 || keyId == 101 || keyId == 102 || keyId == 106; }

// Steps that walk the source's records (CConverter::RunRecordPass).
bool IsRecordPassStep(uint32_t code) {
    return code == kStepStoreArticles || code == kStepTextExport || code == kStepReadingKeys ||
           code == kStepKanjiKeys || code == kStepAlphabeticKeys || code == kStepLatinStems || code == kStepLexicon;
}

}  // namespace

// One of the eight key cursors, selected on its index.
struct CConverter::KeyCursor {
    KeyCursor(CDMS& engine, int32_t fileId, uint32_t id) : keyId(id), cursor(engine, fileId) {}
    uint32_t keyId;
    EngineCursor cursor;
};

CConverter::CConverter(CDictionary& target, int32_t mode, CompileUi& ui, CompileEnv& env)
    : target_(target), mode_(mode), ui_(ui), env_(env), engine_(target.Engine()), progress_(ui) {
    RegisterImportParsers();
}

CConverter::~CConverter() = default;

int32_t CConverter::Convert(uint32_t formatFlags, std::u16string_view source, std::u16string_view target) {
    errorText.clear();
    formatFlags_ = formatFlags;
    formatType_ = CompileFormatType(formatFlags);
    if (formatType_ == 0) return 0;
    // Refused before anything is deleted or opened for writing.
    if (sourceDictionary == nullptr && SamePath(source, target)) {
        errorText = u"The target file is the source file.";
        return 0;
    }
    if (HasTextExportExtension(target)) return ConvertText(source, target);
    if (mode_ == kNewFile) {
        const std::u16string temporary = TemporaryPathBeside(target);
        RemoveLeftoverTemporaries(target);
        bool ok = CompileInto(temporary, source) != 0;
        if (ok && !Cancelled()) {
            if (const int32_t error = file_replace::MoveReplacing(temporary.c_str(), std::u16string(target).c_str());
                error != 0) {
                errorText = u"Cannot put the new dictionary in place of the old file.";
                ok = false;
            }
        }
        if (!ok) file_replace::Delete(temporary.c_str());
        target_.File().SetPath(std::u16string(target).c_str());
        return ok && !Cancelled() ? 1 : 0;
    }
    if (mode_ == kExistingFile) {
        if (target_.flags & kDictionaryOpen) return 0;
        const std::u16string copy = TemporaryPathBeside(target);
        if (!CopyFileBytes(target, copy)) {
            errorText = u"Cannot copy the dictionary before changing it.";
            return 0;
        }
        const bool ok = CompileInto(target, source) != 0 && !Cancelled();
        if (!ok) file_replace::MoveReplacing(copy.c_str(), std::u16string(target).c_str());
        file_replace::Delete(copy.c_str());
        target_.File().SetPath(std::u16string(target).c_str());
        return ok ? 1 : 0;
    }
    return 0;
}

int32_t CConverter::CompileInto(std::u16string_view file, std::u16string_view source) {
    const std::u16string path(file);
    target_.File().SetPath(path.c_str());
    articleCount_ = 0;
    nextArticleNumber_ = 0;
    positions_.clear();
    bookValues_.clear();
    outOfMemory_ = false;
    report_.Clear();
    refusedArticles_ = 0;
    bool ok = mode_ == kNewFile ? CreateTargetFile(path) : (target_.Open(1) == 0 && OpenCursors());
    if (ok) ok = ReadSourceOrSay(source);
    if (ok && (formatFlags_ & kFormatEijiro)) ok = PreExtendForSource(source);
    if (ok && sourceDictionary == nullptr && IsLatinCompile(target_, formatType_))
        if (const DmsStatus s = EmbedLatinSupplements(engine_, CursorOf(1)->cursor.handle(), source, ui_); Failed(s))
            ok = Fail(s);
    if (ok) ok = RunSteps(formatFlags_ & kFormatBook ? BookSteps() : DictionarySteps());
    CloseTarget(ok);
    sourceText_.clear();
    sourceText_.shrink_to_fit();
    return ok ? 1 : 0;
}

bool CConverter::CreateTargetFile(std::u16string_view path) {
    if (const DmsStatus s = engine_.CreateFile(path, DictionarySchemaText); Failed(s)) return Fail(s);
    if (const uint32_t s = target_.Open(1); s != 0) return Fail(static_cast<DmsStatus>(s));
    return OpenCursors() && WriteIdentityProperties();
}

bool CConverter::OpenCursors() {
    cursors_.clear();
    for (uint32_t id : {1u, 3u, 101u, 102u, 106u, 110u, 111u, 121u}) {
        auto cursor = std::make_unique<KeyCursor>(engine_, target_.fileId, id);
        if (const DmsStatus s = cursor->cursor.SelectIndex(static_cast<int32_t>(id)); Failed(s)) return Fail(s);
        cursors_.push_back(std::move(cursor));
    }
    return true;
}

bool CConverter::WriteIdentityProperties() {
    const uint32_t handle = CursorOf(1)->cursor.handle();
    if (sourceDictionary) {
        for (int32_t id : {kPropertyName, kPropertyCopyright, kPropertyComment}) {
            const auto& text = sourceDictionary->HeaderText(id);
            if (text) PutDictionaryProperty(engine_, handle, id, *text);
        }
    }
    if (const auto& own = target_.HeaderText(kPropertyVersion); own) {
        PutDictionaryProperty(engine_, handle, kPropertyVersion, *own);
    } else {
        std::u16string version;
        FormatVersionString(version, 1, true, (formatFlags_ & 0x2100) != 0);
        if (const DmsStatus s = PutDictionaryProperty(engine_, handle, kPropertyVersion, version); Failed(s))
            return Fail(s);
    }
    const std::u16string identity[] = {env_.InstallationId(), env_.NewGuidText(), FormatCompileTime(env_.LocalTime())};
    const int32_t ids[] = {kPropertyInstallationId, kPropertyIdentity, kPropertyCreationTime};
    for (int i = 0; i < 3; ++i)
        if (const DmsStatus s = PutDictionaryProperty(engine_, handle, ids[i], identity[i]); Failed(s)) return Fail(s);
    return true;
}

bool CConverter::ReadSource(std::u16string_view source) {
    sourceText_.clear();
    if (sourceDictionary) {
        const DmsStatus s = ReadDictionaryAsMarkup(engine_, sourceDictionary->fileId, sourceText_);
        if (Failed(s)) errorText = StatusText(s);
        return !Failed(s);
    }
    std::u16string message;
    SourceChoices choices;
    for (size_t i = 0; i < choices.languages.size(); ++i) choices.languages[i] = target_.languages[i];
    choices.context = this;
    choices.progress = [](void* context, int32_t perMille) {
        CompileUi& ui = static_cast<CConverter*>(context)->ui_;
        if (ui.HasProgressBar()) ui.SetProgress(perMille);
    };
    choices.skippedLines = [](void* context, int64_t count) {
        static_cast<CConverter*>(context)->report_.CountSkippedLines(count);
    };
    choices.notWhole = OnSourceNotWhole;
    if (!LoadSourceText(source, formatFlags_, choices, sourceText_, message)) {
        errorText = message.substr(0, 255);
        return false;
    }
    return true;
}

bool CConverter::ReadSourceOrSay(std::u16string_view source) {
    if (ReadSource(source)) return true;
    std::array<char16_t, 1024> message{};
    const size_t n = FormatBounded(message, StepNameText(kCannotReadFileSlot), {source});
    std::u16string text(message.data(), n);
    if (!errorText.empty()) text += u"\n" + errorText;
    ui_.ShowMessage(text, StepNameText(kCannotReadFileCaptionSlot));
    return false;
}

// EIJIRO sources are large: the file is extended up front to four times the
// source's size, so a full drive shows before the long steps, not in them.
bool CConverter::PreExtendForSource(std::u16string_view source) {
    const uint64_t sourceBytes = FileSizeOrZero(source);
    if (sourceBytes == 0) return true;
    const DmsStatus s = engine_.EnsureFileSize(CursorOf(1)->cursor.handle(), 4 * sourceBytes);
    if (!Failed(s)) return true;
    Fail(s);
    ui_.ShowMessage(std::u16string(StepNameText(kNoDiskSpaceSlot)) + u"\n" + StatusText(s),
                    StepNameText(kCompilationCaptionSlot));
    return false;
}

bool CConverter::RunSteps(std::span<const CompileStep> steps) {
    const bool latin = IsLatinCompile(target_, formatType_);
    auto enabled = [&](const CompileStep& s) { return s.code != kStepLatinStems || latin; };
    uint32_t total = 0;
    for (const CompileStep& s : steps) total += enabled(s);
    // The source is read by the record passes only: once the last of them
    // is done its text is given back, before the full-text steps fill memory.
    size_t lastReading = 0;
    for (size_t i = 0; i < steps.size(); ++i)
        if (enabled(steps[i]) && IsRecordPassStep(steps[i].code)) lastReading = i + 1;
    uint32_t number = 0;
    CompileProgress::Active active(progress_);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i == lastReading) {
            sourceText_.clear();
            sourceText_.shrink_to_fit();
        }
        const CompileStep& step = steps[i];
        if (!enabled(step)) continue;
        ++number;
        // A dictionary kept out of full-text search gets no full-text index.
        if (!IsStepAvailable(step.code)) continue;
        if (IsFullTextStep(step.code) && (target_.flags & kDictionaryNoFullTextSearch)) continue;
        ui_.SetStepLabel(StepLabel(number, total, step.nameSlot));
        if (!Cancelled()) ui_.EnableCancel();
        if (!RunStep(step)) return false;
    }
    return true;
}

bool CConverter::RunStep(const CompileStep& step) {
    step_ = &step;
    articleIndex_ = 0;
    const bool compact = step.compactAfter && compactionEnabled;
    KeyCursor* keys = CursorOf(step.keyId);  // none for 0 and 10
    const bool bulk = bulkLoadEnabled && keys && IsBulkKeyStep(step.keyId);
    progress_.BeginStep(compact, bulk, articleCount_);
    if (bulk) {
        if (const DmsStatus s = engine_.BeginBulkLoad(keys->cursor.handle()); Failed(s)) return Fail(s);
        engine_.SetProgressCallback(keys->cursor.handle(), CompileProgress::EngineProgress);
    }
    bool ok = false;
    switch (step.code) {
    case kStepArticlePointers: ok = WriteArticlePointers(); break;
    case kStepBookPointers: ok = WriteBookPointers(); break;
    case kStepStoreArticles:
    case kStepTextExport:
    case kStepReadingKeys:
    case kStepKanjiKeys:
    case kStepAlphabeticKeys:
    case kStepLatinStems: ok = RunRecordPass(); break;
    case kStepLexicon:
        ok = BeginFullText() && RunRecordPass() && (mode_ != kRemoveArticle || RemoveArticleHits());
        break;
    case kStepWriteLexicon:
    case kStepHitLists:
    case kStepHitIndex: ok = WriteFullText(step.code); break;
    default: ok = FailWith(u"This step is not available.");
    }
    if (bulk) {
        const uint32_t handle = keys->cursor.handle();
        if (!ok || Cancelled()) {
            engine_.CancelBulkLoad(handle);
            engine_.SetProgressCallback(handle, nullptr);
            return false;
        }
        const DmsStatus s = engine_.EndBulkLoad(handle);
        engine_.SetProgressCallback(handle, nullptr);
        progress_.EndBulk();
        if (Failed(s)) return Fail(s);
    }
    if (!ok || Cancelled()) return false;
    if (step.code == kStepStoreArticles || step.code == kStepTextExport) report_.SetStoredArticles(nextArticleNumber_);
    if (step.code == kStepStoreArticles) {
        articleCount_ = articleIndex_;
        // A source of another kind, or a broken one, may parse to nothing:
        // such a compile is refused rather than giving an empty dictionary.
        // (A dictionary rebuilt from itself may be empty; a book says so itself.)
        const bool compile = (mode_ == kNewFile || mode_ == kExistingFile) && sourceDictionary == nullptr;
        if (compile && !(formatFlags_ & kFormatBook) &&
            std::none_of(positions_.begin(), positions_.end(), [](uint32_t p) { return p != 0; })) {
            const std::u16string leftOut = report_.Text();
            return FailWith(NoArticleText() + (leftOut.empty() ? u"" : u"\n" + leftOut));
        }
    }
    return compact ? Compact() : true;
}

bool CConverter::RunRecordPass() {
    ImportCallbacks callbacks;
    callbacks.progress = OnProgress;
    callbacks.onRecord = OnRecord;
    callbacks.context = this;
    // Storing an article takes its whole text alone.
    callbacks.wholeEntries = step_ != nullptr && step_->code == kStepStoreArticles;
    // Every pass meets the same lines: the first one counts those it skips.
    if (step_ != nullptr && (step_->code == kStepStoreArticles || step_->code == kStepTextExport)) {
        callbacks.onSkippedLine = OnSkippedLine;
        callbacks.onSourceNotWhole = OnSourceNotWhole;
    }
    const std::u16string_view source = sourceText_;
    // A dictionary whose articles were all removed reads as no text at all:
    // there is nothing to walk, and its rebuild is an empty dictionary.
    if (source.empty() && sourceDictionary != nullptr) return true;
    const bool inParts = IsOneRecordALineFormat(formatType_);
    int32_t result = 1;
    partStart_ = 0;
    readingParts_ = inParts;
    do {
        const size_t end = inParts ? SourcePartEnd(source, partStart_, sourcePartUnits) : source.size();
        target_.ClearParsedArticle();
        result = target_.ImportRecords(formatType_, source.data() + partStart_,
                                       static_cast<uint32_t>((end - partStart_) * 2),
                                       partStart_ == 0 ? 0 : source_lines::kLaterSourcePart, callbacks);
        callbacks.firstLine += std::count(source.begin() + static_cast<ptrdiff_t>(partStart_),
                                          source.begin() + static_cast<ptrdiff_t>(end), u'\n');
        partStart_ = end;
    } while (result != 0 && partStart_ < source.size() && !Cancelled());
    partStart_ = 0;
    readingParts_ = false;
    target_.ClearParsedArticle();
    if (outOfMemory_) return FailWith(StatusText(DmsStatus::NotEnoughMemory));
    if (result == 0 || Cancelled()) {
        if (errorText.empty() && !Cancelled()) errorText = UnreadableSourceText();
        return false;
    }
    return true;
}

bool CConverter::Compact() {
    progress_.BeginCompaction();
    EngineCursor cursor(engine_, target_.fileId);
    if (!cursor.ok()) return Fail(cursor.status());
    engine_.SetProgressCallback(cursor.handle(), CompileProgress::EngineProgress);
    const DmsStatus s = engine_.Compact(cursor.handle(), 1);
    engine_.SetProgressCallback(cursor.handle(), nullptr);
    return Failed(s) ? Fail(s) : !Cancelled();
}

// The steps of a single-article change (converter_single.cpp), on the
// dictionary left open.
int32_t CConverter::RunSingleArticleSteps(std::span<const CompileStep> steps) {
    // Keys go straight into the indexes: no bulk load, no compaction.
    const bool bulk = bulkLoadEnabled, compact = compactionEnabled;
    bulkLoadEnabled = compactionEnabled = false;
    // Parsing a whole own markup text sets the word or kanji flag: the dictionary keeps its own.
    const uint32_t kinds = kWordDictionaryFlag | kKanjiDictionaryFlag;
    const uint32_t keptKinds = target_.flags & kinds;
    const bool ok = OpenCursors() && RunSteps(steps);
    target_.flags = (target_.flags & ~kinds) | keptKinds;
    searchEngine_.reset();
    cursors_.clear();
    bulkLoadEnabled = bulk;
    compactionEnabled = compact;
    target_.File().GetSize();
    return ok ? 1 : 0;
}

bool CConverter::RemoveArticleHits() {
    if (!searchEngine_) return true;
    const bool ok = searchEngine_->RemoveArticleHits(positions_.empty() ? 0 : positions_[0]);
    if (!ok) Fail(searchEngine_->status());
    return ok;
}

void CConverter::CloseTarget(bool& ok) {
    cursors_.clear();
    const uint32_t status = target_.Close();
    if (status != 0 && ok) ok = Fail(static_cast<DmsStatus>(status));
}

bool CConverter::Fail(DmsStatus status) {
    if (errorText.empty()) errorText = StatusText(status);
    return false;
}

bool CConverter::FailWith(std::u16string text) {
    if (errorText.empty()) errorText = std::move(text);
    return false;
}

CConverter::KeyCursor* CConverter::CursorOf(uint32_t keyId) {
    for (auto& cursor : cursors_)
        if (cursor->keyId == keyId) return cursor.get();
    return nullptr;
}

int32_t CConverter::OnProgress(void* context, int32_t done, int32_t total) {
    auto* self = static_cast<CConverter*>(context);
    // A part of the source reports within itself; the bar shows the whole.
    if (self->readingParts_)
        return self->progress_.RecordProgress(static_cast<int64_t>(self->partStart_) + done,
                                              static_cast<int64_t>(self->sourceText_.size()));
    return self->progress_.RecordProgress(done, total);
}

int32_t CConverter::OnRecord(void* context, CDictionary&, int32_t element) {
    auto* self = static_cast<CConverter*>(context);
    if (self->Cancelled()) return 0;
    const DmsStatus status = self->ProcessRecord(element);
    if (Failed(status)) self->Fail(status);
    self->CutElementsBack(element);
    return Failed(status) ? 0 : 1;
}

// The dictionary object cuts its element array only to nothing: keep the
// elements before the article (the groups still open around it and the
// header groups), empty the array with its storage kept, and put them back.
void CConverter::CutElementsBack(int32_t count) {
    if (count < 0 || count >= target_.ElementCount()) return;
    kept_.assign(target_.Elements(), target_.Elements() + count);
    const int32_t textLength = target_.TextLength();
    target_.ClearParsedArticle();
    target_.SetTextLength(textLength);
    for (const DictionaryElement& element : kept_) *target_.AddElement(element.kind) = element;
}

DmsStatus CConverter::ProcessRecord(int32_t element) {
    if (element < 0 || element >= target_.ElementCount()) return DmsStatus::InvalidParameter;
    const uint32_t index = articleIndex_++;
    progress_.SetArticleIndex(articleIndex_);
    const bool article = target_.Elements()[element].kind == kElementEntryStart;
    // YARXI reading-list articles ("T" as the fifth character) are stored as format 15.
    if (formatType_ == 14 || formatType_ == 15) {
        const std::u16string_view text = ElementText(target_.Elements()[element]);
        formatType_ = text.size() > 4 && text[4] == u'T' ? 15 : 14;
    }
    switch (step_->code) {
    case kStepStoreArticles: return StoreArticle(element);
    case kStepTextExport: return WriteTextExportArticle(element);
    case kStepReadingKeys:
    case kStepKanjiKeys:
    case kStepAlphabeticKeys:
        if (!article) return DmsStatus::Success;
        // A later pass meets the articles of step 0 in the same order.
        if (index >= positions_.size()) return DmsStatus::InvalidParameter;
        return positions_[index] ? AddKeys(element, positions_[index]) : DmsStatus::Success;
    case kStepLatinStems:
        if (!article) return DmsStatus::Success;
        if (index >= positions_.size()) return DmsStatus::InvalidParameter;
        return positions_[index] ? AddLatinStemKeys(engine_, CursorOf(121)->cursor.handle(),
                                                    ElementSpan(target_.Elements()[element]), formatType_,
                                                    positions_[index], progress_.cancelled, mode_ == kRemoveArticle)
                                 : DmsStatus::Success;
    case kStepLexicon:
        if (!article) return DmsStatus::Success;
        if (index >= positions_.size()) return DmsStatus::InvalidParameter;
        return AddArticleWords(element, index);
    default: return DmsStatus::Success;
    }
}

DmsStatus CConverter::StoreArticle(int32_t element) {
    const DictionaryElement& e = target_.Elements()[element];
    uint32_t position = 0;
    if (e.kind == kElementEntryStart) {
        const uint64_t bytes = kArticleRecordHeadBytes + 2 * uint64_t{ElementSpan(e).size()};
        if (bytes > LargestArticleBytes()) {
            // Left out like a line the parser skips: the articles around it
            // are stored. An article added alone (an edit) fails instead.
            RefuseTooLargeArticle(e, bytes);
            if (mode_ == kAddArticles) {
                FailWith(report_.Refusals().back());
                return DmsStatus::InvalidParameter;
            }
            return StoreArticlePosition(0, formatType_ == kBookFormat ? 0xFFFFFFFF : 0) ? DmsStatus::Success
                                                                                       : DmsStatus::NotEnoughMemory;
        }
        const std::vector<uint8_t> record =
            BuildArticleRecord(nextArticleNumber_++, static_cast<uint16_t>(formatType_), ElementSpan(e));
        const uint32_t handle = CursorOf(101)->cursor.handle();
        if (const DmsStatus s = engine_.SelectRecordType(handle, kArticleRecordType); Failed(s)) return s;
        if (const DmsStatus s =
                engine_.WriteData(handle, record.data(), static_cast<uint32_t>(record.size()), &position);
            Failed(s))
            return s;
    } else if (e.kind >= kElementName && e.kind <= kElementComment) {
        const int32_t id = static_cast<int32_t>(e.kind - kElementName) + kPropertyName;
        if (const DmsStatus s = PutDictionaryProperty(engine_, CursorOf(1)->cursor.handle(), id, ElementText(e));
            Failed(s))
            return s;
    } else {
        return DmsStatus::PageNotStored;
    }
    // A book's article keeps the code of the tag its first line begins with.
    uint32_t bookValue = 0;
    if (formatType_ == kBookFormat) {
        const std::u16string_view span = ElementSpan(e);
        bookValue = e.kind == kElementEntryStart ? ClassifyMarkupTag(span.data(), static_cast<int32_t>(span.size()))
                                                 : 0xFFFFFFFF;
    }
    return StoreArticlePosition(position, bookValue) ? DmsStatus::Success : DmsStatus::NotEnoughMemory;
}

uint64_t CConverter::LargestArticleBytes() const {
    const DMSFile* file = engine_.FindFile(target_.fileId);
    const uint32_t pageSize = file != nullptr ? file->PageSize() : 4096;
    const uint32_t slots = engine_.Cache().SlotCount();
    // A chunk after the first carries a page less its 6-byte page head and 14-byte chunk head.
    return slots > kSlotsBesideABlock ? uint64_t{slots - kSlotsBesideABlock} * (pageSize - 20) : 0;
}

// The report names the source line of the article when its text is the
// source's own (the line formats read it in place); else its number.
void CConverter::RefuseTooLargeArticle(const DictionaryElement& e, uint64_t bytes) {
    const std::u16string_view span = ElementSpan(e);
    const char16_t* text = target_.Text();
    size_t offset = std::u16string_view::npos;
    if (text != nullptr && span.data() >= text && span.data() < text + target_.TextLength()) {
        const size_t at = (readingParts_ ? partStart_ : 0) + static_cast<size_t>(span.data() - text);
        if (at <= sourceText_.size() && std::u16string_view(sourceText_).substr(at, span.size()) == span) offset = at;
    }
    report_.RefuseTooLarge(sourceText_, offset, nextArticleNumber_ + ++refusedArticles_, bytes, LargestArticleBytes());
}

void CConverter::OnSkippedLine(void* context) { static_cast<CConverter*>(context)->report_.CountSkippedLine(); }

void CConverter::OnSourceNotWhole(void* context, std::u16string_view reason) {
    static_cast<CConverter*>(context)->report_.SourceNotWhole(std::u16string(reason));
}

bool CConverter::StoreArticlePosition(uint32_t position, uint32_t bookValue) {
    if (positions_.size() >= articleLimit) {
        outOfMemory_ = true;
        return false;
    }
    try {
        positions_.push_back(position);
        bookValues_.push_back(bookValue);
    } catch (const std::bad_alloc&) {
        outOfMemory_ = true;
        return false;
    }
    return true;
}

DmsStatus CConverter::AddKeys(int32_t element, uint32_t position) {
    view_.clear();
    keys_.clear();
    const DictionaryElement* elements = target_.Elements();
    // Every element behind the article belongs to it (the record pass cuts
    // the array back after each article): a YARXI article's compounds and
    // names hold articles of their own, and the kanji, readings and senses
    // derived from the whole tree come after them.
    for (int32_t i = element; i < target_.ElementCount(); ++i) {
        view_.push_back({elements[i].kind, elements[i].flags, elements[i].group, ElementText(elements[i])});
    }
    const uint32_t code = step_->code;
    if (code == kStepReadingKeys) BuildReadingKeys(view_, formatType_, keys_);
    if (code == kStepKanjiKeys) BuildKanjiKeys(view_, formatType_, keys_);
    if (code == kStepAlphabeticKeys)
        BuildAlphabeticKeys(view_, formatType_, {(formatFlags_ & kOwnMarkupFlags) != 0, dslTranslationWords}, keys_);
    const uint32_t handle = CursorOf(code)->cursor.handle();
    for (const DictionaryKey& key : keys_) {
        if (key.first.empty()) continue;
        // Removal deletes only the entries of this key that lead to this article.
        const DmsStatus s =
            mode_ == kRemoveArticle
                ? RemoveDictionaryKey(engine_, handle, static_cast<int32_t>(code), key, position)
                : InsertDictionaryKey(engine_, handle, static_cast<int32_t>(code), key,
                                      MakeKeyReference(position, static_cast<uint8_t>(formatType_), key.flag, key.variant));
        if (Failed(s)) return s;
        if (Cancelled()) break;
    }
    return DmsStatus::Success;
}

bool CConverter::BeginFullText() {
    searchEngine_ = std::make_unique<CSearchEngine>(engine_, CursorOf(110)->cursor.handle(), CursorOf(111)->cursor.handle());
    if (Failed(searchEngine_->status())) return Fail(searchEngine_->status());
    searchEngine_->batchPostings = fullTextBatchPostings;
    return true;
}

DmsStatus CConverter::AddArticleWords(int32_t element, uint32_t index) {
    if (positions_[index] == 0 || !searchEngine_) return DmsStatus::Success;
    bool bookHeadword = false;
    if (formatType_ == kBookFormat) {
        // Lines marked 4 in the top byte of their value stay out of the index.
        if (index < bookValues_.size() && bookValues_[index] >> 24 == 4) return DmsStatus::Success;
        bookHeadword = IsBookHeadwordLine(bookValues_, index);
    }
    if (AddLexiconWords(*searchEngine_, target_, element, formatType_, positions_[index], bookHeadword) == 0)
        return DmsStatus::Success;
    if (searchEngine_->status() == DmsStatus::NotEnoughMemory) outOfMemory_ = true;
    return Failed(searchEngine_->status()) ? searchEngine_->status() : DmsStatus::NotEnoughMemory;
}

int32_t CConverter::OnFullTextProgress(void* context, int64_t done, int64_t total) {
    return static_cast<CConverter*>(context)->progress_.RecordProgress(done, total);
}

bool CConverter::WriteFullText(uint32_t code) {
    if (!searchEngine_) return true;
    CSearchEngine& engine = *searchEngine_;
    bool ok = code == kStepWriteLexicon ? engine.WriteWordTable(OnFullTextProgress, this)
              : code == kStepHitLists   ? engine.BuildPostings(OnFullTextProgress, this)
                                        : engine.IndexPostings(OnFullTextProgress, this);
    if (!ok && !Cancelled()) return Fail(engine.status());
    if (code == kStepHitIndex || !ok) searchEngine_.reset();
    return ok;
}

bool CConverter::WriteArticlePointers() {
    if (articleCount_ == 0) return true;
    EngineCursor cursor(engine_, target_.fileId);
    if (const DmsStatus s = cursor.SelectIndex(0); Failed(s)) return Fail(s);
    const uint32_t count = static_cast<uint32_t>(positions_.size());
    const uint32_t every = count / 1000 > 1 ? count / 1000 : 1;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t position = positions_[i];
        if (position != 0) {
            KeySegmentValue key{&position, 4};
            if (const DmsStatus s = engine_.InsertKey(cursor.handle(), &key, {position, 0}); Failed(s)) return Fail(s);
        }
        articleIndex_ = i + 1;
        if (i % every == 0 && progress_.RecordProgress(i, count) == 0) return false;
    }
    return true;
}

int32_t CConverter::ConvertText(std::u16string_view source, std::u16string_view target) {
    // The export goes to a file beside the target, which it replaces only
    // when complete: a source that cannot be read, a full disk or a cancel
    // leaves an earlier export as it was.
    const std::u16string temporary = TemporaryPathBeside(target);
    RemoveLeftoverTemporaries(target);
    report_.Clear();
    nextArticleNumber_ = 0;
    textFile_ = std::make_unique<BinFile>(nullptr);
    bool ok = textFile_->SetPath(temporary.c_str()) && textFile_->Open(O_WRONLY | O_CREAT | O_TRUNC) >= 0;
    const uint8_t bom[2] = {0xFF, 0xFE};
    if (!ok || textFile_->Write(bom, 2) != 2) {
        errorText = u"Cannot write the file.";
        ok = false;
    }
    if (ok) ok = ReadSourceOrSay(source);
    if (ok) {
        CompileProgress::Active active(progress_);
        const CompileStep& step = TextSteps()[0];
        ui_.SetStepLabel(StepLabel(1, 1, step.nameSlot));
        if (!Cancelled()) ui_.EnableCancel();
        ok = RunStep(step);
    }
    textFile_.reset();  // closed before it takes the target's place
    sourceText_.clear();
    ok = ok && !Cancelled();
    if (ok && file_replace::MoveReplacing(temporary.c_str(), std::u16string(target).c_str()) != 0) {
        errorText = u"Cannot put the new file in place of the old one.";
        ok = false;
    }
    if (!ok) file_replace::Delete(temporary.c_str());
    return ok ? 1 : 0;
}

DmsStatus CConverter::WriteTextExportArticle(int32_t element) {
    // Header groups reach the callback too: those without text of their own
    // in the source (the EDICT family's) are no lines of the export.
    const std::u16string_view text = ElementSpan(target_.Elements()[element]);
    if (text.empty() && target_.Elements()[element].kind != kElementEntryStart) return DmsStatus::Success;
    std::u16string line(text);
    if (!line.empty() && line.back() == u'\r') {
        line += u'\n';
    } else if (line.empty() || line.back() != u'\n') {
        line += u"\r\n";
    }
    std::vector<uint8_t> bytes(line.size() * 2);
    for (size_t i = 0; i < line.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(line[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(line[i] >> 8);
    }
    const int32_t size = static_cast<int32_t>(bytes.size());
    if (textFile_->Write(bytes.data(), size) != size) return DmsStatus::FileIoError;
    if (target_.Elements()[element].kind == kElementEntryStart) ++nextArticleNumber_;
    return DmsStatus::Success;
}

DmsStatus CConverter::ReadDictionaryAsMarkup(CDMS& engine, int32_t fileId, std::u16string& text) {
    text.clear();
    EngineCursor cursor(engine, fileId);
    if (const DmsStatus s = cursor.SelectIndex(0); Failed(s)) return s;
    // Live articles: entries whose key (the article's first position) is
    // still their reference; an edited article has its own entry, a removed
    // one reference 0.
    std::vector<uint32_t> positions;
    uint32_t key = 0;
    KeySegmentValue out{&key, 4};
    EntryPosition at;
    for (DmsStatus s = engine.First(cursor.handle(), &out, &at); !Failed(s);
         s = engine.Next(cursor.handle(), &out, &at)) {
        if (at.ref.first == key && key != 0) positions.push_back(key);
    }
    if (positions.empty()) return DmsStatus::Success;
    std::vector<uint8_t> record;
    std::u16string body;
    bool kanji = false;
    for (size_t i = 0; i < positions.size(); ++i) {
        uint32_t size = 0;
        if (const DmsStatus s = engine.ReadData(cursor.handle(), positions[i], nullptr, &size); Failed(s)) return s;
        record.resize(size);
        if (const DmsStatus s = engine.ReadData(cursor.handle(), positions[i], record.data(), &size);
            Failed(s) && s != DmsStatus::Deleted)
            return s;
        // A block shorter than its head holds no article; an odd size loses its last byte.
        if (size < kArticleRecordHeadBytes) continue;
        if (i == 0) kanji = (record[8] | record[9] << 8) == 2;
        body += ArticleRecordText(record.data(), size);
    }
    text = kanji ? u"{\\rdf2 " : u"{\\rdf1 ";
    text += body;
    text += u"}";
    return DmsStatus::Success;
}

// Index 3 of a book: a header entry with the book's number (the next after
// the last one up to 1000), then one entry per line (its position, the
// previous and the next line's). A 1001st book is refused: its number would
// collide with the first line keys.
bool CConverter::WriteBookPointers() {
    if (articleCount_ == 0) return FailWith(u"The book has no lines.");
    const uint32_t handle = CursorOf(3)->cursor.handle();
    uint32_t probe[3] = {static_cast<uint32_t>(kLastBookHeaderKey), 0x7FFFFFFF, 0x7FFFFFFF};
    uint32_t found[3] = {};
    KeySegmentValue key[3], out[3];
    for (int i = 0; i < 3; ++i) {
        key[i] = {&probe[i], 4};
        out[i] = {&found[i], 4};
    }
    EntryPosition at;
    uint32_t book = 1;
    if (const DmsStatus s = engine_.SeekLessOrEqual(handle, key, out, &at); !Failed(s)) {
        if (found[0] >= static_cast<uint32_t>(kLastBookHeaderKey))
            return FailWith(u"The dictionary already holds the most books it can.");
        book = found[0] + 1;
    } else if (s != DmsStatus::RecordNotFound && s != DmsStatus::EndOfFile) {
        return Fail(s);
    }
    auto referenceOf = [&](size_t i) {
        const uint32_t value = bookValues_[i];
        return MakeKeyReference(positions_[i], static_cast<uint8_t>(formatType_), static_cast<uint8_t>(value >> 24),
                                static_cast<uint16_t>(value));
    };
    std::vector<size_t> lines;
    for (size_t i = 0; i < positions_.size(); ++i)
        if (positions_[i] != 0) lines.push_back(i);
    if (lines.empty()) return FailWith(u"The book has no lines.");
    uint32_t header[3] = {book, 0, 0};
    for (int i = 0; i < 3; ++i) key[i] = {&header[i], 4};
    if (const DmsStatus s = engine_.InsertKey(handle, key, referenceOf(lines[0])); Failed(s)) return Fail(s);
    const size_t every = lines.size() / 1000 > 1 ? lines.size() / 1000 : 1;
    for (size_t n = 0; n < lines.size(); ++n) {
        uint32_t entry[3] = {positions_[lines[n]], n > 0 ? positions_[lines[n - 1]] : 0,
                             n + 1 < lines.size() ? positions_[lines[n + 1]] : 0};
        for (int i = 0; i < 3; ++i) key[i] = {&entry[i], 4};
        if (const DmsStatus s = engine_.InsertKey(handle, key, referenceOf(lines[n])); Failed(s)) return Fail(s);
        articleIndex_ = static_cast<uint32_t>(lines[n] + 1);
        if (n % every == 0 && progress_.RecordProgress(static_cast<int64_t>(n), static_cast<int64_t>(lines.size())) == 0)
            return false;
    }
    return true;
}
