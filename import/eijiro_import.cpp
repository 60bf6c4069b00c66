// ImportEijiro and ParseEijiroLine: EIJIRO lines, converted from Shift-JIS one
// at a time, into the dictionary's elements.
#include "import/eijiro_import.h"

#include <algorithm>
#include <cstring>

#include "common/base/bin_file.h"
#include "common/unicode/japanese_chars.h"
#include "common/text/japanese_code_pages.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "import/source_text_checks.h"

namespace {

constexpr char16_t kArticleMark = 0x25A0;  // ■
constexpr char16_t kLabelSemicolon = 0xFF1B;  // ；
constexpr char16_t kIdeographicSpace = 0x3000;
constexpr uint32_t kMinimumSourceBytes = 14;
constexpr uint32_t kHeadwordKana = 3;
constexpr uint32_t kHeadwordJapanese = 4;
constexpr uint32_t kHeadwordOther = 8;
constexpr uint32_t kSense = 5;

// The separator: the first ":" with a blank on both sides, else the last ":";
// npos without any.
size_t FindSeparator(std::u16string_view line) {
    for (size_t i = 1; i + 1 < line.size(); ++i)
        if (line[i] == u':' && line[i - 1] == u' ' && line[i + 1] == u' ') return i;
    return line.rfind(u':');
}


}  // namespace

uint32_t HeadwordKindOfScript(std::u16string_view word) {
    bool kana = false;
    bool japanese = false;
    bool other = false;
    for (size_t i = 0; i < word.size(); ++i) {
        char32_t c = word[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < word.size() && word[i + 1] >= 0xDC00 && word[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (word[i + 1] - 0xDC00);
            ++i;
        }
        if (ostrel::japanese::IsKana(c)) kana = true;
        else if (ostrel::japanese::IsCjkIdeograph(c)) japanese = true;
        else other = true;
    }
    if (kana && !japanese && !other) return kHeadwordKana;
    return kana || japanese ? kHeadwordJapanese : kHeadwordOther;
}

EijiroLineParts SplitEijiroLine(std::u16string_view line) {
    EijiroLineParts parts;
    if (line.empty() || line[0] != kArticleMark) return parts;
    parts.article = true;
    const size_t separator = FindSeparator(line);
    if (separator == line.npos) return parts;
    // The separator is never before the first character of the headword:
    // a ":" right after "■" leaves the headword empty, not negative.
    size_t end = separator < 1 ? 1 : separator;
    const std::u16string_view before = line.substr(1, end - 1);
    const size_t label = before.rfind(u'{');
    const size_t part = before.rfind(kLabelSemicolon);
    if (label != before.npos) end = std::min(end, label + 1);
    if (part != before.npos) end = std::min(end, part + 1);
    while (end > 1 && (line[end - 1] == u' ' || line[end - 1] == kIdeographicSpace)) --end;
    parts.headwordLength = static_cast<int32_t>(end - 1);
    const std::u16string_view headword = line.substr(1, end - 1);
    parts.headwordKind = headword.size() <= 1 ? kHeadwordOther : HeadwordKindOfScript(headword);
    parts.senseBegin = static_cast<int32_t>(separator);
    return parts;
}

int32_t ParseEijiroLine(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return -1;
    const EijiroLineParts parts = SplitEijiroLine({text, static_cast<size_t>(length)});
    if (!parts.article) return -1;
    const int32_t article = dictionary.ElementCount();
    if (source_lines::AddArticleSpan(dictionary, text, length) < 0) return -1;
    if (parts.headwordLength > 0 &&
        source_lines::AddSpan(dictionary, parts.headwordKind, text + parts.headwordBegin, parts.headwordLength) < 0)
        return -1;
    if (parts.senseBegin >= 0 &&
        source_lines::AddSpan(dictionary, kSense, text + parts.senseBegin, length - parts.senseBegin) < 0)
        return -1;
    return article;
}

int32_t ImportEijiro(CDictionary& dictionary, const void* bytes, uint32_t sizeInBytes, int32_t mode,
                     const ImportCallbacks& callbacks) {
    if (bytes == nullptr || sizeInBytes < kMinimumSourceBytes) return 0;
    dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | kFormatWords;
    const auto* source = static_cast<const uint8_t*>(bytes);
    // The loader pads an odd source with a zero byte; trailing zeros are not text.
    uint32_t size = sizeInBytes;
    while (size > 0 && source[size - 1] == 0) --size;
    const int32_t total = static_cast<int32_t>(std::min<uint32_t>(size, INT32_MAX));
    for (uint32_t at = 0; at < size;) {
        const auto* feed = static_cast<const uint8_t*>(std::memchr(source + at, '\n', size - at));
        const uint32_t lineEnd = feed != nullptr ? static_cast<uint32_t>(feed - source) : size;
        uint32_t end = lineEnd;
        while (end > at && source[end - 1] == '\r') --end;
        const uint32_t lineBytes = end - at;
        if (lineBytes > 0) {
            if (lineBytes > (INT32_MAX - 20) / 2) return 0;
            const int32_t room = static_cast<int32_t>(lineBytes) * 2 + 20;
            dictionary.ClearParsedArticle();
            if (mode == 0 && dictionary.AddElement(1) == nullptr) return 0;
            const int32_t start = dictionary.AppendText(room, nullptr);
            if (start < 0) return 0;
            const int32_t units = ShiftJisToUnicode(source + at, static_cast<int32_t>(lineBytes),
                                                    dictionary.MutableText() + start, room);
            dictionary.SetTextLength(start + units);
            const int32_t article = ParseEijiroLine(dictionary, dictionary.Text() + start, units);
            if (article < 0) source_lines::ReportSkippedLine(mode, callbacks);
            if (article >= 0 && source_lines::ReportArticles(dictionary, article, callbacks) == 0) return 0;
        }
        at = feed != nullptr ? lineEnd + 1 : size;
        const int32_t done = static_cast<int32_t>(std::min<uint32_t>(at, INT32_MAX));
        if (source_lines::ReportProgress(mode, done, total, callbacks) == 0) return 0;
    }
    return 1;
}

uint32_t LoadSourceBytes(std::u16string_view path, std::u16string& text) {
    text.clear();
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return 0;
    const uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr || file.bufferSize <= 0) return 0;
    const auto size = static_cast<size_t>(file.bufferSize);
    text.assign((size + 1) / 2, u'\0');
    std::memcpy(text.data(), bytes, size);
    return static_cast<uint32_t>(size);
}

bool LoadEijiroSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                      std::u16string& message) {
    message.clear();
    text.clear();
    const uint32_t size = (formatFlags & kFormatEijiro) != 0 ? LoadSourceBytes(path, text) : 0;
    if (size == 0) return false;
    // UTF-8 or EUC-JP text read as Shift-JIS would give articles of wrong characters.
    if (const int64_t bad = FirstLineNotShiftJis({reinterpret_cast<const uint8_t*>(text.data()), size}); bad != 0) {
        message = LineNotInEncodingText(bad, u"Shift-JIS");
        text.clear();
        return false;
    }
    return true;
}
