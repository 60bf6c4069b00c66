// The dictionary object's side of the own markup parser: groups become
// DictionaryElements pointing into the dictionary's text buffer.
#include "import/own_markup_import.h"

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/own_markup_parser.h"
#include "import/compile_report.h"
#include "import/edict_import.h"

#include <algorithm>
#include <cstring>

namespace {

class DictionaryElementSink : public MarkupElementSink {
public:
    explicit DictionaryElementSink(CDictionary& dictionary) : dictionary_(dictionary) {}

    int32_t AddGroup(uint32_t offset) override {
        DictionaryElement* element = dictionary_.AddElement(0);
        if (!element) return -1;
        element->begin = element->end = dictionary_.Text() + offset;
        return dictionary_.ElementCount() - 1;
    }
    int32_t Count() const override { return dictionary_.ElementCount(); }
    uint32_t Kind(int32_t e) const override { return dictionary_.Elements()[e].kind; }
    void SetKind(int32_t e, uint32_t kind) override { dictionary_.Elements()[e].kind = kind; }
    void AddFlags(int32_t e, uint32_t flags) override { dictionary_.Elements()[e].flags |= flags; }
    void SetEnd(int32_t e, uint32_t offset) override { dictionary_.Elements()[e].end = dictionary_.Text() + offset; }
    void SetText(int32_t e, uint32_t offset, uint32_t length) override {
        DictionaryElement& element = dictionary_.Elements()[e];
        element.text = dictionary_.Text() + offset;
        element.length = static_cast<int32_t>(length);
    }

private:
    CDictionary& dictionary_;
};

// The dictionary's callbacks take the dictionary; the parser's do not.
struct CallbackBridge {
    CDictionary& dictionary;
    const ImportCallbacks& callbacks;
};

int32_t BridgeProgress(void* context, uint32_t done, uint32_t total) {
    auto* bridge = static_cast<CallbackBridge*>(context);
    return bridge->callbacks.progress(bridge->callbacks.context, static_cast<int32_t>(done),
                                      static_cast<int32_t>(total));
}

int32_t BridgeArticle(void* context, int32_t element) {
    auto* bridge = static_cast<CallbackBridge*>(context);
    return bridge->callbacks.onRecord(bridge->callbacks.context, bridge->dictionary, element);
}

}  // namespace

int32_t ImportRdfText(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks) {
    if (text == nullptr) return 1;
    if (mode < 0 || mode > 2) return 0;
    // Room first, then the bytes: the text may lie at any address.
    const int32_t units = static_cast<int32_t>(sizeInBytes / 2);
    const int32_t start = dictionary.AppendText(units, nullptr);
    if (start < 0) return 0;
    std::memcpy(dictionary.MutableText() + start, text, static_cast<size_t>(units) * 2);
    dictionary.SetTextLength(start + units);
    const auto parseMode = static_cast<OwnMarkupMode>(mode);
    if (parseMode == OwnMarkupMode::WholeText) {
        const uint32_t flag = OwnMarkupDictionaryFlag({dictionary.Text() + start, static_cast<size_t>(units)});
        if (flag == 0) {
            dictionary.SetTextLength(start);
            return 0;
        }
        dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | flag;
    }

    CallbackBridge bridge{dictionary, callbacks};
    MarkupCallbacks markup;
    markup.context = &bridge;
    if (callbacks.progress) markup.progress = BridgeProgress;
    if (callbacks.onRecord) markup.article = BridgeArticle;
    DictionaryElementSink sink(dictionary);
    const std::u16string_view buffer(dictionary.Text(), static_cast<size_t>(dictionary.TextLength()));
    const MarkupParseResult result = ParseOwnMarkup(buffer, static_cast<uint32_t>(start), parseMode, sink, markup);
    // A whole text whose groups are not all closed was cut short: the
    // articles closed before the cut are stored, the one it cut is not.
    if (result.ok && result.openLevels > 0 && parseMode == OwnMarkupMode::WholeText) {
        const std::u16string_view before = buffer.substr(static_cast<size_t>(start), result.openGroupOffset - static_cast<uint32_t>(start));
        const int64_t line = std::count(before.begin(), before.end(), u'\n') + 1;
        source_lines::ReportSourceNotWhole(mode, callbacks, GroupNeverClosedText(line));
    }
    return result.ok;
}
