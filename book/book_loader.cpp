#include "book/book_loader.h"

#include <optional>

#include "book/book_list_file.h"
#include "book/book_texts.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/file_replace.h"
#include "dictionary/shelf.h"
#include "import/converter.h"
#include "storage/dms.h"

namespace {

constexpr int32_t kVersionProperty = 4;
constexpr char16_t kConvertFailure[] = u"Cannot convert a dictionary\n %s";

// Removes the copy whatever happens.
struct KeptCopy {
    std::u16string path;
    ~KeptCopy() {
        if (!path.empty()) file_replace::Delete(path.c_str());
    }
};

}  // namespace

DmsStatus MarkBookFinished(CDMS& engine, std::u16string_view dictionaryPath) {
    int32_t file = 0;
    if (const DmsStatus s = engine.OpenFile(dictionaryPath, 0, DictionarySchemaText, &file); Failed(s)) return s;
    uint32_t cursor = 0;
    DmsStatus s = engine.OpenCursor(file, &cursor);
    std::optional<std::u16string> version;
    if (!Failed(s)) s = GetDictionaryProperty(engine, cursor, kVersionProperty, version);
    if (s == DmsStatus::RecordNotFound) s = DmsStatus::Success;
    else if (!Failed(s) && version && FinishedBookVersion(*version) != *version) {
        const std::u16string finished = FinishedBookVersion(*version);
        s = engine.BeginTransaction(cursor);
        if (!Failed(s)) s = DeleteDictionaryProperty(engine, cursor, kVersionProperty);
        if (!Failed(s)) s = PutDictionaryProperty(engine, cursor, kVersionProperty, finished);
        if (!Failed(s)) s = engine.CommitTransaction(cursor);
        else engine.RollbackTransaction(cursor);
    }
    if (cursor) engine.CloseCursor(cursor);
    const DmsStatus closed = engine.CloseFile(file);
    return Failed(s) ? s : closed;
}

void BookLoader::Cancel() {
    cancelled_ = true;
    if (converter_) converter_->Cancel();
}

int32_t BookLoader::Load(std::u16string_view dictionaryPath, const std::vector<std::u16string>& sources) {
    error.clear();
    loaded = 0;
    cancelled_ = false;
    if (sources.empty()) {
        error = InterfaceText(kConvertFailure, u"No book file to load.");
        return 0;
    }
    // The file as it was, put back when any text fails.
    KeptCopy copy;
    copy.path = std::u16string(dictionaryPath) + u".books~";
    const std::u16string target(dictionaryPath);
    if (file_replace::CopyReplacing(target.c_str(), copy.path.c_str()) != 0) {
        copy.path.clear();
        error = InterfaceText(kConvertFailure, dictionaryPath);
        return 0;
    }
    bool ok = true;
    for (const std::u16string& source : sources) {
        if (onSource) onSource(source, context);
        CDictionary dictionary(kDictionaryStoreDatabase | kDictionaryBook, engine_);
        dictionary.File().SetPath(target.c_str());
        dictionary.File().codePage = 65001;
        CConverter converter(dictionary, CConverter::kExistingFile, ui_, env_);
        converter.compactionEnabled = true;
        converter_ = &converter;
        if (cancelled_) converter.Cancel();
        const int32_t result = converter.Convert(kBookLoadFlags, source, dictionaryPath);
        converter_ = nullptr;
        if (result != 1 || cancelled_) {
            error = InterfaceText(kConvertFailure, converter.errorText.empty() ? std::u16string(u"The load was stopped.")
                                                                               : converter.errorText);
            ok = false;
            break;
        }
        ++loaded;
    }
    if (ok && Failed(MarkBookFinished(engine_, dictionaryPath))) {
        error = InterfaceText(kConvertFailure, dictionaryPath);
        ok = false;
    }
    if (!ok) {
        file_replace::CopyReplacing(copy.path.c_str(), target.c_str());
        loaded = 0;
        return 0;
    }
    return 1;
}
