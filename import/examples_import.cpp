// LoadExamplesSource, ImportExamples and ParseExamplesLine: Examples sentence
// pairs into the dictionary's elements.
#include "import/examples_import.h"

#include "common/base/bin_file.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "import/source_text_checks.h"

namespace {

using source_lines::AddArticleSpan;
using source_lines::AddSpan;

constexpr std::u16string_view kArticleLead = u"A: ";
constexpr uint32_t kMinimumSourceFileBytes = 5;


// The first of `stops` at or after `from`, else `length`.
int32_t FindStop(const char16_t* text, int32_t from, int32_t length, std::u16string_view stops) {
    while (from < length && stops.find(text[from]) == stops.npos) ++from;
    return from;
}

int32_t WithoutCarriageReturn(const char16_t* text, int32_t begin, int32_t end) {
    return end > begin && text[end - 1] == u'\r' ? end - 1 : end;
}

}  // namespace

bool LoadExamplesSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                        std::u16string& message) {
    message.clear();
    text.clear();
    if ((formatFlags & kFormatExamples) == 0 || (formatFlags & kFormatForeign) == 0) return false;
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return false;
    const uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr || file.bufferSize < static_cast<int32_t>(kMinimumSourceFileBytes)) return false;
    if (formatFlags & kFormatUtf8) {
        const std::span<const uint8_t> source(bytes, static_cast<size_t>(file.bufferSize));
        // A file in another encoding (Shift-JIS) would give sentences of U+FFFD.
        if (const int64_t bad = FirstLineNotUtf8(source); bad != 0) {
            message = LineNotInEncodingText(bad, u"UTF-8");
            return false;
        }
        text = Utf8ToUtf16({reinterpret_cast<const char*>(bytes), source.size()});
    }
    return true;
}

int32_t ParseExamplesLine(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length < static_cast<int32_t>(kArticleLead.size()) ||
        std::u16string_view(text, kArticleLead.size()) != kArticleLead)
        return -1;
    const int32_t article = dictionary.ElementCount();
    if (AddArticleSpan(dictionary, text, length) < 0) return -1;
    const int32_t sentenceBegin = static_cast<int32_t>(kArticleLead.size());
    const int32_t sentenceEnd = FindStop(text, sentenceBegin, length, u"\t#\n");
    if (AddSpan(dictionary, kExamplesSentence, text + sentenceBegin,
                WithoutCarriageReturn(text, sentenceBegin, sentenceEnd) - sentenceBegin) < 0)
        return -1;
    int32_t rest = sentenceEnd;
    if (sentenceEnd < length && text[sentenceEnd] == u'\t') {
        const int32_t translationBegin = sentenceEnd + 1;
        rest = FindStop(text, translationBegin, length, u"#\n");
        if (AddSpan(dictionary, kExamplesTranslation, text + translationBegin,
                    WithoutCarriageReturn(text, translationBegin, rest) - translationBegin) < 0)
            return -1;
    }
    if (rest < length && AddSpan(dictionary, kExamplesRest, text + rest, length - rest) < 0) return -1;
    return article;
}

int32_t ImportExamples(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                       const ImportCallbacks& callbacks) {
    using namespace source_lines;
    const int32_t start = BeginImport(dictionary, text, sizeInBytes, mode, kFormatWords);
    if (start < 0) return 0;
    const int32_t end = dictionary.TextLength();
    const int32_t total = end - start;
    // The buffer does not grow from here on: the elements may point into it.
    const char16_t* buffer = dictionary.Text();
    for (int32_t at = start; at < end;) {
        int32_t cut = at;
        while (cut < end && !(buffer[cut] == u'\n' && cut + 2 < end && buffer[cut + 1] == u'A' && buffer[cut + 2] == u':'))
            ++cut;
        const int32_t pieceEnd = cut < end ? cut + 1 : end;
        const int32_t first = dictionary.ElementCount();
        if (ParseExamplesLine(dictionary, buffer + at, pieceEnd - at) >= 0) {
            if (ReportArticles(dictionary, first, callbacks) == 0) return 0;
        } else if (dictionary.ElementCount() != first) {
            return 0;  // out of memory half way
        } else if (std::u16string_view(buffer + at, static_cast<size_t>(pieceEnd - at)).find_first_not_of(u" \t\r\n") !=
                   std::u16string_view::npos) {
            ReportSkippedLine(mode, callbacks);
        }
        at = pieceEnd;
        if (ReportProgress(mode, at - start, total, callbacks) == 0) return 0;
    }
    return 1;
}
