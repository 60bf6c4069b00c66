// The dictionary object's life: construction, Open (engine file, collator,
// header texts, flags, version, language guess, collation check), Close and
// the error box of a failed open.
#include "dictionary/dictionary.h"

#include "common/app_context.h"
#include "common/base/bin_file.h"
#include "common/collation/collator.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/dictionary_shelf.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/file_message.h"
#include "dictionary/format_detection.h"
#include "storage/database_file.h"
#include "storage/dms.h"
#include "storage/global_engine.h"

namespace {

// Interface-text slots of the collation conflict.
constexpr int kNewerCollationText = 175;
constexpr int kOlderCollationText = 176;
// "Cannot read file: %s" and its caption "Cannot Read a File".
constexpr int kCannotReadFileText = 528;
constexpr int kCannotReadFileCaption = 529;
// The shelf's chain is read no further than this.
constexpr int kShelfReadLimit = 100;

}  // namespace

int32_t PackVersionText(std::u16string_view text) {
    uint32_t packed = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        uint32_t number = 0;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') number = number * 10 + (text[at++] - u'0');
        if (at < text.size()) ++at;  // the character that ended the number
        packed = packed * 256 + number;
    }
    return static_cast<int32_t>(packed);
}

void CDictionary::CollatorRelease::operator()(ICollator* collator) const { collator->Release(); }

CDictionary::CDictionary(uint32_t flags, CDMS& engine)
    : flags(flags),
      engine_(engine),
      file_(std::make_unique<BinFile>(nullptr)),
      elementStep_((flags & kFormatStoreDatabase) != 0 ? kStoreElementStep : kElementStep) {}

CDictionary::CDictionary(uint32_t flags) : CDictionary(flags, *GlobalEngine()) {}

CDictionary::~CDictionary() { Close(); }

RDFDictionary::RDFDictionary(uint32_t flags, CDMS& engine) : CDictionary(flags, engine) {
    conversionState = -1;
    kanjiIndexCount = -1;
}

RDFDictionary::RDFDictionary(uint32_t flags) : RDFDictionary(flags, *GlobalEngine()) {}

RDFDictionary::~RDFDictionary() { FreeArticleBuffers(); }

const std::optional<std::u16string>& CDictionary::HeaderText(int32_t propertyId) const {
    static const std::optional<std::u16string> kAbsent;
    if (propertyId < 1 || propertyId > kHeaderTextCount) return kAbsent;
    return headerTexts_[propertyId - 1];
}

uint32_t CDictionary::Open(int32_t mode) {
    FreeArticleBuffers();
    flags &= ~kFormatEditable;
    openMode = mode;
    readRefusal_ = DmsStatus::Success;
    readRefusalShown_ = false;
    readRefusalWhat_.clear();
    App().PumpPendingMessages();
    int32_t opened = 0;
    DmsStatus status;
    {
        WaitCursorScope wait;
        status = engine_.OpenFile(std::u16string_view(file_->path), mode, DictionarySchemaText, &opened);
    }
    if (Failed(status)) return static_cast<uint32_t>(StatusCode(status));
    if (opened == 0) return kOpenNoFile;
    fileId = opened;
    flags |= kDictionaryOpen;

    collatorKind = -1;
    engine_.GetFileCollatorKind(fileId, &collatorKind);
    ICollator* collator = nullptr;
    if (!Failed(CDMS::GetCollator(collatorKind, &collator))) collator_.reset(collator);

    // A dictionary whose header texts or indexes cannot be read is not
    // shown as empty or as one made by an old program: the open fails with
    // the engine's status, which the caller shows.
    DmsStatus readable = ReadHeaderTexts();
    if (!Failed(readable)) readable = CheckIndexesReadable();
    if (Failed(readable)) {
        Close();
        return static_cast<uint32_t>(StatusCode(readable));
    }
    const std::optional<std::u16string>& versionText = headerTexts_[kPropertyVersion - 1];
    if (versionText && versionText->find(u'P') != std::u16string::npos) flags |= kFormatEditable;
    CountRecords();
    NoteArticleKind();
    bookHeaderCount = CountBookHeaders();
    version = versionText ? PackVersionText(*versionText) : kVersionWithoutText;
    if (!headerTexts_[kPropertyIndexLanguage - 1]) GuessIndexLanguage();

    uint32_t conflict = CheckCollatorMatch();
    if (conflict != 0) {
        Close();
        return conflict;
    }
    ReportUnrepaired();
    return 0;
}

DmsStatus CDictionary::ReadHeaderTexts() {
    EngineCursor cursor(engine_, fileId);
    DmsStatus status = cursor.SelectIndex(kIndexReadingWord);
    for (int32_t id = 1; id <= kHeaderTextCount; ++id) {
        std::optional<std::u16string>& text = headerTexts_[id - 1];
        text.reset();
        if (Failed(status)) continue;
        // An absent property leaves its text null; any other failure is damage.
        const DmsStatus read = GetDictionaryProperty(engine_, cursor.handle(), id, text);
        if (Failed(read) && read != DmsStatus::RecordNotFound) status = read;
    }
    return status;
}

uint32_t CDictionary::Close() {
    collator_.reset();
    collatorKind = -1;
    uint32_t status = 0;
    if (fileId != 0) status = static_cast<uint32_t>(StatusCode(engine_.CloseFile(fileId)));
    fileId = 0;
    flags &= ~kDictionaryOpen;
    openMode = 0;
    for (std::optional<std::u16string>& text : headerTexts_) text.reset();
    FreeArticleBuffers();
    return status;
}

uint32_t CDictionary::CheckCollatorMatch() {
    if (shelf == nullptr) return 0;
    const CDictionary* other = shelf->FirstDictionary();
    for (int i = 0; other != nullptr && i < kShelfReadLimit; ++i, other = other->next) {
        if (other == this || (other->flags & kDictionaryOpen) == 0 || (other->flags & kDictionaryToClose) != 0)
            continue;
        if (other->collatorKind != collatorKind)
            return collatorKind > other->collatorKind ? kOpenCollationNewer : kOpenCollationOlder;
    }
    return 0;
}

void CDictionary::ReportUnrepaired() {
    const DMSFile* file = engine_.FindFile(fileId);
    unrepaired_ = file != nullptr ? file->UnrecoveredStatus() : DmsStatus::Success;
    if (!Failed(unrepaired_) || unrepairedShown_) return;
    unrepairedShown_ = true;
    char16_t reason[256];
    DmsErrorText(StatusCode(unrepaired_), 0, reason, 256);
    ShowPathMessageText(UIExtra(UIExtraText::kHalfWrittenDictionary), kCannotReadFileCaption, file_->path, reason);
}

void CDictionary::NoteReadRefusal(DmsStatus status, std::u16string_view what) {
    if (!IsReadRefusal(status) || Failed(readRefusal_)) return;
    readRefusal_ = status;
    readRefusalWhat_ = what;
}

bool CDictionary::ReportReadRefusal() {
    if (!Failed(readRefusal_) || readRefusalShown_) return false;
    readRefusalShown_ = true;
    char16_t reason[256];
    DmsErrorText(StatusCode(readRefusal_), 0, reason, 256);
    const std::u16string detail = readRefusalWhat_.empty() ? std::u16string(reason) : readRefusalWhat_ + u": " + reason;
    ShowPathMessage(kCannotReadFileText, kCannotReadFileCaption, file_->path, detail);
    return true;
}

int32_t CDictionary::ShowError(void* owner, std::u16string_view caption, std::u16string_view label, uint32_t code) {
    (void)owner;  // the application context owns every box by the main window
    std::u16string text;
    if (code == kOpenCollationNewer) {
        text = UIStringTable[kNewerCollationText];
    } else if (code == kOpenCollationOlder) {
        text = UIStringTable[kOlderCollationText];
    } else {
        char16_t reason[256];
        DmsErrorText(static_cast<int32_t>(code), 0, reason, 256);
        text.append(label).append(u":\n").append(file_->path).append(u"\n").append(reason);
    }
    return App().ShowMessage(text, caption, 0);
}

uint32_t CDictionary::GetFileName(std::u16string& out) const {
    out.clear();
    if (!file_) return 1;
    std::u16string_view path(file_->path);
    size_t slash = path.find_last_of(u"\\/");
    std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(u'.');
    out = name.substr(0, dot);
    return 0;
}
