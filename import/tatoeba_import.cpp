// ImportTatoeba and ParseTatoebaArticle: prepared sentence pairs into the
// dictionary's elements, every offset of the buffer checked before use.
#include "import/tatoeba_import.h"

#include "import/compile_report.h"

#include <cstring>

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"

namespace {

constexpr uint32_t kMinimumBufferBytes = 14;

// The text after the last TAB of [begin, end) (all of it without a TAB).
int32_t AfterLastTab(const char16_t* text, int32_t begin, int32_t end) {
    for (int32_t i = end; i > begin; --i)
        if (text[i - 1] == u'\t') return i;
    return begin;
}

// The length of the line at `begin` up to and including its LF (or the end).
int32_t LineLength(const char16_t* text, int32_t begin, int32_t end) {
    int32_t at = begin;
    while (at < end && text[at] != u'\n') ++at;
    return (at < end ? at + 1 : at) - begin;
}

}  // namespace

int32_t ParseTatoebaArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return -1;
    const int32_t article = source_lines::AddArticleSpan(dictionary, text, length);
    if (article < 0) return -1;
    for (int32_t at = 0; at < length;) {
        const int32_t lineEnd = at + LineLength(text, at, length);
        int32_t contentEnd = lineEnd;
        if (contentEnd > at && text[contentEnd - 1] == u'\n') --contentEnd;
        const int32_t begin = AfterLastTab(text, at, contentEnd);
        if (source_lines::AddSpan(dictionary, at == 0 ? kTatoebaHeadword : kTatoebaTranslation, text + begin,
                                  lineEnd - begin) < 0)
            return -1;
        at = lineEnd;
    }
    return article;
}

int32_t ImportTatoeba(CDictionary& dictionary, const void* buffer, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks) {
    if (buffer == nullptr || sizeInBytes < kMinimumBufferBytes) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t headerBytes = 0;
    std::memcpy(&headerBytes, bytes, 4);
    if (headerBytes < 4 || headerBytes > sizeInBytes || (headerBytes - 4) % 8 != 0) return 0;
    const uint32_t pairCount = (headerBytes - 4) / 8;
    const uint32_t textUnits = (sizeInBytes - headerBytes) / 2;
    // The text is read in place: the buffer must hold whole UTF-16 units.
    if (reinterpret_cast<uintptr_t>(bytes) % 2 != 0) return 0;
    const auto* text = reinterpret_cast<const char16_t*>(bytes + headerBytes);
    const auto offsetAt = [&](uint32_t i) {
        uint32_t offset = 0;
        std::memcpy(&offset, bytes + 4 + 4 * size_t{i}, 4);
        return offset;
    };
    for (uint32_t i = 0; i < pairCount * 2; ++i)
        if (offsetAt(i) >= textUnits) return 0;
    dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | kFormatWords;
    const int32_t total = static_cast<int32_t>(pairCount);
    const int32_t textEnd = static_cast<int32_t>(textUnits);
    for (uint32_t pair = 0; pair < pairCount;) {
        uint32_t runEnd = pair + 1;
        while (runEnd < pairCount && offsetAt(2 * runEnd) == offsetAt(2 * pair)) ++runEnd;
        dictionary.ClearParsedArticle();
        if (mode == 0 && dictionary.AddElement(1) == nullptr) return 0;
        const auto copyLine = [&](uint32_t offset) {
            const int32_t begin = static_cast<int32_t>(offset);
            return dictionary.AppendText(LineLength(text, begin, textEnd), text + begin) >= 0;
        };
        const int32_t start = dictionary.TextLength();
        if (!copyLine(offsetAt(2 * pair))) return 0;
        for (uint32_t p = pair; p < runEnd; ++p)
            if (!copyLine(offsetAt(2 * p + 1))) return 0;
        const int32_t first = dictionary.ElementCount();
        if (ParseTatoebaArticle(dictionary, dictionary.Text() + start, dictionary.TextLength() - start) < 0) return 0;
        if (source_lines::ReportArticles(dictionary, first, callbacks) == 0) return 0;
        pair = runEnd;
        if (source_lines::ReportProgress(mode, static_cast<int32_t>(pair), total, callbacks) == 0) return 0;
    }
    return 1;
}

bool LoadTatoebaRuleSource(std::u16string_view path, uint32_t formatFlags, const SourceChoices& choices,
                           std::u16string& prepared, std::u16string& message) {
    prepared.clear();
    message.clear();
    TatoebaNotes notes;
    if ((formatFlags & kFormatTatoeba) == 0 ||
        !LoadTatoebaSource(choices.languages, path, prepared, message, kTatoebaPieceBytes,
                           {choices.progress, choices.context}, &notes))
        return false;
    if (notes.skippedLines > 0 && choices.skippedLines) choices.skippedLines(choices.context, notes.skippedLines);
    if (notes.linksPastEnd > 0 && choices.notWhole)
        choices.notWhole(choices.context, LinksPastSentencesText(notes.linksPastEnd, notes.lastId));
    return true;
}
