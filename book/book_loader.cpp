#include "book/book_loader.h"

#include <array>
#include <optional>

#include "book/book_list_file.h"
#include "book/book_texts.h"
#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/file_replace.h"
#include "dictionary/leftover_files.h"
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
    int64_t Milliseconds() override { return ui_.Milliseconds(); }
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
        told = true;
        ui_.ShowMessage(text, caption);
    }
    bool told = false;

private:
    CompileUi& ui_;
};

// The temporaries of a load (see Load), removed with their journals
// whatever happens.
struct LoadTemporaries {
    std::u16string dictionary;
    ~LoadTemporaries() { RemoveLeftoverTemporaries(dictionary); }
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
    // The dictionary is never written in place: each text is compiled into a
    // copy ("<dictionary>.1.tmp~") of the books loaded so far, which becomes
    // the staged file ("<dictionary>.tmp~") once the text is whole; the
    // staged file, marked finished, takes the dictionary's place in one step
    // at the end. A kill leaves only temporaries, which the next start
    // removes; a failed text leaves the books before it staged.
    const std::u16string target(dictionaryPath);
    const std::u16string staged = LeftoverTemporaryPath(target), work = LeftoverTemporaryPath(target, 1);
    RemoveLeftoverTemporaries(target);
    LoadTemporaries temporaries{target};
    for (const std::u16string& source : sources) {
        if (onSource) onSource(source, context);
        const std::u16string& from = loaded == 0 ? target : staged;
        if (file_replace::CopyReplacing(from.c_str(), work.c_str()) != 0) {
            error = InterfaceText(kConvertFailure, dictionaryPath);
            break;
        }
        CDictionary dictionary(kDictionaryStoreDatabase | kDictionaryBook, engine_);
        dictionary.File().SetPath(work.c_str());
        dictionary.File().codePage = 65001;
        TellingUi ui(ui_);
        CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
        converter.compactionEnabled = true;
        converter_ = &converter;
        if (cancelled_) converter.Cancel();
        const int32_t result = converter.Convert(kBookLoadFlags, source, work);
        converter_ = nullptr;
        if (result != 1 || cancelled_) {
            // Each failure reaches the user once: a reason the compile showed
            // is not repeated, and a cancel is no failure of the text.
            if (cancelled_ || converter.Cancelled()) error = InterfaceText(u"Book loading cancelled.");
            else if (!ui.told)
                error = InterfaceText(kConvertFailure, converter.errorText.empty() ? source : converter.errorText);
            break;
        }
        if (file_replace::MoveReplacing(work.c_str(), staged.c_str()) != 0) {
            error = InterfaceText(kConvertFailure, dictionaryPath);
            break;
        }
        ++loaded;
    }
    if (loaded > 0 && (Failed(MarkBookFinished(engine_, staged)) ||
                       file_replace::MoveReplacing(staged.c_str(), target.c_str()) != 0)) {
        error = InterfaceText(kConvertFailure, dictionaryPath);
        loaded = 0;
    }
    if (loaded == static_cast<int32_t>(sources.size())) return 1;
    if (loaded > 0) {
        // The books before the failed text stay: the user is told how many.
        std::array<char16_t, 256> kept{};
        const size_t n = FormatBounded(kept, UIExtra(UIExtraText::kBooksKeptBeforeFailure),
                                       {loaded, static_cast<int32_t>(sources.size())});
        error += (error.empty() ? u"" : u"\n") + std::u16string(kept.data(), n);
    }
    return 0;
}
