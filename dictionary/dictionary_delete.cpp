// Deleting one article of a dictionary: refused while an article editor has
// it open, asked for, and done by the import subsystem's index remover
// inside one engine transaction, so a failure leaves the file as it was.
#include "dictionary/dictionary.h"

#include "common/app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/dictionary_shelf.h"
#include "dictionary/engine_cursor.h"
#include "storage/byte_order.h"
#include "storage/dms.h"

namespace {

// The refusal while an editor shows the article: fixed texts, the same in every interface language.
constexpr char16_t kOpenInEditorText[] = u"Статью нельзя удалить так как она открыта в редакторе статей.";
constexpr char16_t kOpenInEditorCaption[] = u"Статью невозможно удалить";
// Interface-text slots.
constexpr int kConfirmDeleteText = 181;
constexpr int kConfirmDeleteCaption = 182;
constexpr int kDeleteFailedCaption = 196;
constexpr int kDeleteFailedText = 197;
// MessageBoxW's styles and answer.
constexpr uint32_t kBoxOk = 0x0;
constexpr uint32_t kBoxYesNo = 0x4;
constexpr int32_t kAnswerYes = 6;

}  // namespace

int32_t CDictionary::DeleteArticle(const CCursor* cursor) {
    if (cursor == nullptr || !cursor->OnEntry()) return 0;
    return DeleteArticle(cursor->dictionary, cursor->position.ref.first);
}

int32_t CDictionary::DeleteArticle(const CDictionary* owner, uint32_t recordId) {
    if (owner == nullptr) return 0;
    if (shelf != nullptr && shelf->ActivateEditorForRecord(*owner, recordId)) {
        App().ShowMessage(kOpenInEditorText, kOpenInEditorCaption, kBoxOk);
        return 0;
    }
    if (owner != this || fileId == 0) return 0;
    if (App().ShowMessage(UIStringTable[kConfirmDeleteText], UIStringTable[kConfirmDeleteCaption], kBoxYesNo) !=
        kAnswerYes)
        return 0;

    parsedPosition = 0;
    deletedRecord = 0;
    recordSize_ = 0;
    uint32_t size = 0;
    {
        EngineCursor reader(engine_, fileId);
        if (!reader.ok() || Failed(engine_.ReadData(reader.handle(), recordId, nullptr, &size)) ||
            size < kRecordHeaderBytes || ReserveRecordBuffer(size) == nullptr)
            return 0;
        uint32_t read = size;
        if (Failed(engine_.ReadData(reader.handle(), recordId, record_.get(), &read)) || read != size) return 0;
        recordSize_ = size;
    }
    ArticleIndexRemover remove = GetArticleIndexRemover();
    if (remove == nullptr) return 0;

    WaitCursorScope wait;
    if (shelf != nullptr) shelf->SaveListPositions();
    EngineCursor transaction(engine_, fileId);
    if (Failed(transaction.SelectIndex(kIndexProperties)) ||
        Failed(engine_.BeginTransaction(transaction.handle())))
        return 0;
    const uint32_t formatType = storage::LoadU16(record_.get() + 8);
    const auto* text = reinterpret_cast<const char16_t*>(record_.get() + kRecordHeaderBytes);
    bool deleted = remove(*this, recordId, formatType, text, size - kRecordHeaderBytes) &&
                   !Failed(engine_.CommitTransaction(transaction.handle()));
    if (!deleted) {
        engine_.RollbackTransaction(transaction.handle());
        App().ShowMessage(UIStringTable[kDeleteFailedText], UIStringTable[kDeleteFailedCaption], kBoxOk);
        return 0;
    }
    if (shelf != nullptr) shelf->NotifyDictionaryChanged(*this);
    articlesChanged = true;
    return 1;
}
