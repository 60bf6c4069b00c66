// Loading, importing and parsing the fixed-column Latin word list.
#include "import/latin_word_list.h"

#include "common/base/bin_file.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "latin/dictionary_form.h"

namespace {

constexpr uint32_t kMinimumSourceBytes = 15;
constexpr uint32_t kMinimumListBytes = 110;
constexpr int32_t kFormRoom = 256;   // the LF and a form of at most 255 characters

}  // namespace

const char16_t kBuiltInToBeLine[] =
    u"s                                     fu                 fut                "
    u"V      5 1 TO_BE        X X X A X "
    u"be; exist; (also used to form verb perfect passive tenses) with NOM PERF PPL;";

bool DecodeLatinList(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.size() < kMinimumSourceBytes) return false;
    text.reserve(bytes.size() + std::size(kBuiltInToBeLine) + 1);
    for (char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
    // A list without a final line break keeps its last line whole.
    if (text.back() != u'\n') text += u'\n';
    text += kBuiltInToBeLine;
    return true;
}

bool LoadLatinSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message) {
    message.clear();
    text.clear();
    if ((formatFlags & kFormatLatinList) == 0) return false;
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return false;
    const uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr) return false;
    return DecodeLatinList({reinterpret_cast<const char*>(bytes), static_cast<size_t>(file.bufferSize)}, text);
}

int32_t ParseLatinArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= kLatinMeaningColumn) return 0;
    const std::u16string_view whole(text, static_cast<size_t>(length));
    const size_t lineFeed = whole.find(u'\n');
    const int32_t lineLength = lineFeed == whole.npos ? length : static_cast<int32_t>(lineFeed);
    // Offsets, since appending may move the buffer the text lies in.
    const char16_t* base = dictionary.Text();
    const bool inBuffer = base != nullptr && text >= base && text + length <= base + dictionary.TextLength();
    const int32_t at = inBuffer ? static_cast<int32_t>(text - base) : -1;
    int32_t articleLength = length;
    int32_t lemmaStart = 0, lemmaLength = 0;
    if (lineFeed == whole.npos && dictionary.conversionState == kConversionAddsForms && at >= 0 &&
        at + length == dictionary.TextLength()) {
        char16_t form[kFormRoom];
        const int32_t n = MakeDictionaryFormText(form, kFormRoom, text, length);
        if (n > 0 && dictionary.AppendText(1, u"\n") >= 0 && dictionary.AppendText(n, form) >= 0) {
            articleLength = length + 1 + n;
            lemmaStart = length + 1;
            while (lemmaLength < n && form[lemmaLength] >= u'A') ++lemmaLength;
        }
    }
    const char16_t* article = at >= 0 ? dictionary.Text() + at : text;
    DictionaryElement* entry = dictionary.AddElement(kElementEntryStart);
    if (entry == nullptr) return 0;
    entry->text = entry->begin = article;
    entry->length = articleLength;
    entry->end = article + articleLength - 1;
    DictionaryElement* meaning = dictionary.AddElement(kElementLatinMeaning);
    if (meaning == nullptr) return 0;
    meaning->text = article + (lineLength > kLatinMeaningColumn ? kLatinMeaningColumn : lineLength);
    meaning->length = lineLength > kLatinMeaningColumn ? lineLength - kLatinMeaningColumn : 0;
    DictionaryElement* lemma = dictionary.AddElement(kElementLatinLemma);
    if (lemma == nullptr) return 0;
    lemma->text = article + lemmaStart;
    lemma->length = lemmaLength;
    return 1;
}

int32_t ImportLatin(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks) {
    using namespace source_lines;
    if (text == nullptr || sizeInBytes < kMinimumListBytes) return 0;
    dictionary.flags |= kFormatWords;
    if (mode == 0 && dictionary.AddElement(1) == nullptr) return 0;
    const std::u16string_view source(static_cast<const char16_t*>(text), sizeInBytes / 2);
    const int32_t total = static_cast<int32_t>(source.size());
    for (int32_t from = 0; from < total;) {
        const Line line = NextLine(source, from);
        from = line.next;
        const int32_t length = line.end - line.begin;
        if (length > 0) {
            // The line goes to the end of the text buffer with room for its form.
            const int32_t at = dictionary.AppendText(length + kFormRoom, nullptr);
            if (at < 0) return 0;
            std::copy(source.begin() + line.begin, source.begin() + line.end, dictionary.MutableText() + at);
            dictionary.SetTextLength(at + length);
            const int32_t first = dictionary.ElementCount();
            if (ParseLatinArticle(dictionary, dictionary.Text() + at, length) != 0 &&
                ReportArticles(dictionary, first, callbacks) == 0)
                return 0;
        }
        if (mode == 0 && callbacks.progress && callbacks.progress(callbacks.context, from, total) == 0) return 0;
    }
    return 1;
}
