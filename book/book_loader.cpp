#include "book/book_loader.h"

#include <optional>

#include "book/book_list_file.h"
#include "book/book_texts.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/file_replace.h"
#include "dictionary/shelf.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "storage/dms.h"

namespace {

constexpr int32_t kVersionProperty = 4;
constexpr char16_t kConvertFailure[] = u"Cannot convert a dictionary\n %s";

// The compile's own user interface, noting whether the compile already told
// the user why it failed (a source it could not read, a full disk): the
// loader then has nothing to add.
class TellingUi : public CompileUi {
public:
    explicit TellingUi(CompileUi& ui) : ui_(ui) {}
    void SetStepLabel(std::u16string_view text) override { ui_.SetStepLabel(text); }
    void EnableCancel() override { ui_.EnableCancel(); }
    bool HasProgressBar() const override { return ui_.HasProgressBar(); }
    void SetProgress(int32_t perMille) override { ui_.SetProgress(perMille); }
    void PumpMessages() override { ui_.PumpMessages(); }
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
        told = true;
        ui_.ShowMessage(text, caption);
    }
    bool told = false;

private:
    CompileUi& ui_;
};

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
        TellingUi ui(ui_);
        CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
        converter.compactionEnabled = true;
        converter_ = &converter;
        if (cancelled_) converter.Cancel();
        const int32_t result = converter.Convert(kBookLoadFlags, source, dictionaryPath);
        converter_ = nullptr;
        if (result != 1 || cancelled_) {
            // Each failure reaches the user once: a reason the compile showed
            // is not repeated, and a cancel is no failure of the text.
            if (cancelled_ || converter.Cancelled()) error = InterfaceText(u"Book loading cancelled.");
            else if (!ui.told)
                error = InterfaceText(kConvertFailure, converter.errorText.empty() ? source : converter.errorText);
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
