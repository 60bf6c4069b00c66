// ImportWarodai, ParseWarodaiArticle and CleanArticleMarkup.
#include "import/warodai_import.h"

#include "article/display_attributes.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr uint32_t kArticleElement = 2;
constexpr uint32_t kReading = 3;
constexpr uint32_t kWriting = 4;
constexpr uint32_t kDerivedWord = 6;
constexpr uint32_t kAlso = 19;
constexpr uint32_t kOtherReadings = 22;
constexpr uint32_t kBracketedHeadword = 25;
constexpr uint32_t kSenseLine = 29;
constexpr uint32_t kDerivedSenseLine = 30;
constexpr uint32_t kDerivedTranslation = 31;
constexpr char16_t kBullet = 0x2022;
constexpr char16_t kEllipsis = 0x2026;
constexpr char16_t kWaveDash = 0xFF5E;  // "～"

bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }

int32_t AddElement(CDictionary& dictionary, uint32_t kind, const char16_t* text, int32_t length, int32_t line,
                   int32_t group) {
    DictionaryElement* element = dictionary.AddElement(kind);
    if (element == nullptr) return -1;
    element->text = text;
    element->length = length;
    element->lineNumber = line;
    element->group = group;
    return dictionary.ElementCount() - 1;
}

// The headword rules over [begin, end) of `text`; groups from `base`.
class HeadwordReader {
public:
    HeadwordReader(CDictionary& dictionary, int32_t line) : dictionary_(dictionary), line_(line) {}

    bool Read(const char16_t* text, int32_t begin, int32_t end, int32_t base) {
        firstNew_ = dictionary_.ElementCount();
        return ReadReadings(text, begin, end, base) && ReadWritings(text, begin, end, base) && (Balance(), true);
    }

private:
    bool ReadReadings(const char16_t* text, int32_t begin, int32_t end, int32_t group) {
        int32_t i = begin;
        while (i < end && !IsKana(text[i]) && text[i] != 0x3010) ++i;
        while (i < end && IsKana(text[i])) {
            const int32_t start = i;
            while (i < end && IsKana(text[i])) ++i;
            if (AddElement(dictionary_, kReading, text + start, i - start, line_, group) < 0) return false;
            if (i >= end || text[i] != u',') break;
            ++group;
            ++i;
            while (i < end && (text[i] == u' ' || text[i] == kEllipsis)) ++i;
        }
        return true;
    }

    bool ReadWritings(const char16_t* text, int32_t begin, int32_t end, int32_t group) {
        const std::u16string_view part(text + begin, static_cast<size_t>(end - begin));
        const size_t open = part.find(0x3010);
        if (open == part.npos) return true;
        const size_t close = part.find(0x3011, open);
        const int32_t stop = begin + static_cast<int32_t>(close == part.npos ? part.size() : close);
        for (int32_t i = begin + static_cast<int32_t>(open) + 1; i <= stop;) {
            while (i < stop && (text[i] == u' ' || text[i] == kEllipsis)) ++i;
            int32_t pieceEnd = i;
            while (pieceEnd < stop && text[pieceEnd] != 0x30FB && text[pieceEnd] != 0xFF65 && text[pieceEnd] != u',')
                ++pieceEnd;
            int32_t cut = pieceEnd;
            while (cut > i && text[cut - 1] == u'I') --cut;
            if (cut > i && AddElement(dictionary_, kWriting, text + i, cut - i, line_, group) < 0) return false;
            if (pieceEnd < stop && text[pieceEnd] == u',') ++group;
            i = pieceEnd + 1;
        }
        return true;
    }

    // Readings and writings of this set above the other kind's highest group
    // take that group.
    void Balance() {
        DictionaryElement* elements = dictionary_.Elements();
        int32_t readingTop = -1, writingTop = -1;
        for (int32_t e = firstNew_; e < dictionary_.ElementCount(); ++e) {
            int32_t& top = elements[e].kind == kReading ? readingTop : writingTop;
            top = std::max(top, elements[e].group);
        }
        if (readingTop < 0 || writingTop < 0 || readingTop == writingTop) return;
        const uint32_t lowered = readingTop > writingTop ? kReading : kWriting;
        const int32_t limit = std::min(readingTop, writingTop);
        for (int32_t e = firstNew_; e < dictionary_.ElementCount(); ++e)
            if (elements[e].kind == lowered && elements[e].group > limit) elements[e].group = limit;
    }

    CDictionary& dictionary_;
    int32_t line_;
    int32_t firstNew_ = 0;
};

// One above the highest group of the article's readings and writings so far.
int32_t NextGroup(const CDictionary& dictionary, int32_t article) {
    int32_t top = -1;
    for (int32_t e = article; e < dictionary.ElementCount(); ++e) {
        const DictionaryElement& element = dictionary.Elements()[e];
        if (element.kind == kReading || element.kind == kWriting) top = std::max(top, element.group);
    }
    return top + 1;
}

// Example lines the sense rules pass over.
bool IsExampleLine(const char16_t* line, int32_t n) {
    if (n <= 4) return false;
    if (line[0] == 0x25C7 && (line[1] >= 0x3000 || (line[1] == kEllipsis && line[2] >= 0x3000))) return true;
    if (line[0] >= 0x3000 && line[0] != kWaveDash && line[1] != kWaveDash) return true;
    return line[0] == kEllipsis && line[1] >= 0x3000 && line[1] != kWaveDash && line[2] != kWaveDash;
}

bool IsBracketedKanaLine(const char16_t* line, int32_t n) {
    if (n < 3 || line[0] != u'[' || line[n - 1] != u']') return false;
    int32_t brackets = 0;
    bool kana = false;
    for (int32_t i = 0; i < n; ++i) {
        brackets += line[i] == u'[' || line[i] == u']';
        kana |= IsKana(line[i]);
    }
    return brackets == 2 && kana;
}

bool AddSenseLine(CDictionary& dictionary, const char16_t* line, int32_t n, int32_t index) {
    const int32_t sense = AddElement(dictionary, kSenseLine, line, n, index, 0);
    if (sense < 0) return false;
    int32_t restFrom = -1;
    for (int32_t i = 0; i < n; ++i) {
        if (line[i] == u'<' && i + 1 < n && line[i + 1] == u'a') break;
        if (line[i] != kWaveDash) continue;
        int32_t start = i;
        while (start > 0 && line[start - 1] != u',' && line[start - 1] != u' ' && line[start - 1] != u':' &&
               line[start - 1] != u'>')
            --start;
        int32_t end = i;
        while (end < n && line[end] != u' ' && line[end] != u',') ++end;
        dictionary.Elements()[sense].kind = kDerivedSenseLine;
        if (AddElement(dictionary, kDerivedWord, line + start, end - start, index, 0) < 0) return false;
        restFrom = end;
        i = end;
    }
    if (restFrom < 0) return true;
    while (restFrom < n && line[restFrom] == u' ') ++restFrom;
    if (restFrom < n && AddElement(dictionary, kDerivedTranslation, line + restFrom, n - restFrom, index, 0) < 0)
        return false;
    return true;
}

}  // namespace

int32_t ParseWarodaiArticle(CDictionary& dictionary, const char16_t* text, int32_t length, int32_t firstLine) {
    if (text == nullptr || length <= 0) return -1;
    const int32_t article = dictionary.ElementCount();
    if (AddElement(dictionary, kArticleElement, text, length, firstLine, 0) < 0) return -1;
    dictionary.Elements()[article].begin = text;
    dictionary.Elements()[article].end = text + length - 1;
    int32_t index = 0;
    for (int32_t at = 0; at < length; ++index) {
        int32_t end = at;
        while (end < length && text[end] != u'\n') ++end;
        const int32_t next = end + 1;
        while (end > at && text[end - 1] == u'\r') --end;
        const char16_t* line = text + at;
        const int32_t n = end - at;
        const int32_t sourceLine = firstLine + index;
        at = next;
        if (n == 0) continue;
        HeadwordReader headwords(dictionary, sourceLine);
        if (index == 0) {
            if (!headwords.Read(line, 0, n, 0)) return -1;
            continue;
        }
        const std::u16string_view view(line, static_cast<size_t>(n));
        if (line[0] == kBullet) {
            uint32_t kind = 0;
            int32_t skip = 0;
            if (n >= 9 && view.starts_with(u"• Также")) kind = kAlso, skip = 8;
            else if (n > 12 && view.starts_with(u"• Др. чтение")) kind = kOtherReadings, skip = 12;
            if (kind == 0) continue;
            const int32_t base = NextGroup(dictionary, article);
            if (AddElement(dictionary, kind, line, n, sourceLine, base) < 0 || !headwords.Read(line, skip, n, base))
                return -1;
            continue;
        }
        if (IsBracketedKanaLine(line, n)) {
            const int32_t base = NextGroup(dictionary, article);
            if (AddElement(dictionary, kBracketedHeadword, line, n, sourceLine, base) < 0 ||
                !headwords.Read(line, 1, n - 1, base))
                return -1;
            continue;
        }
        if (IsExampleLine(line, n)) continue;
        if (!AddSenseLine(dictionary, line, n, index)) return -1;
    }
    return article;
}

int32_t ParseWarodaiRecordArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    return ParseWarodaiArticle(dictionary, text, length, 0) >= 0 ? 1 : 0;
}

int32_t ImportWarodai(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                      const ImportCallbacks& callbacks) {
    using namespace source_lines;
    const int32_t start = BeginImport(dictionary, text, sizeInBytes, mode, kFormatWords);
    if (start < 0) return 0;
    const int32_t end = dictionary.TextLength();
    if (mode != 0) return ParseWarodaiArticle(dictionary, dictionary.Text() + start, end - start, 0) >= 0 ? 1 : 0;

    const int32_t total = end - start;
    int32_t articleBegin = -1, articleLine = 0, lastEnd = 0;
    bool firstArticle = true;
    // Parses the open article, which runs up to `until`, and reports it.
    auto closeArticle = [&](int32_t until) -> bool {
        const int32_t element = ParseWarodaiArticle(dictionary, dictionary.Text() + articleBegin,
                                                    until - articleBegin, articleLine);
        articleBegin = -1;
        if (element < 0) return false;
        DictionaryElement& article = dictionary.Elements()[element];
        if (firstArticle && article.length > 0 && article.text[0] == u'*') article.kind = kElementComment;
        firstArticle = false;
        return callbacks.onRecord == nullptr || callbacks.onRecord(callbacks.context, dictionary, element) != 0;
    };
    int32_t lineNumber = 0;
    for (int32_t at = start; at < end; ++lineNumber) {
        const Line line = NextLine({dictionary.Text(), static_cast<size_t>(end)}, at);
        bool blank = true;
        for (int32_t i = line.begin; i < line.end && blank; ++i) blank = dictionary.Text()[i] <= 0x20;
        if (!blank && articleBegin < 0) {
            articleBegin = line.begin;
            articleLine = lineNumber;
        }
        if (blank && articleBegin >= 0 && !closeArticle(lastEnd)) return 0;
        if (!blank) lastEnd = line.next;
        at = line.next;
        if (ReportProgress(mode, at - start, total, callbacks) == 0) return 0;
    }
    // The last article counts without a final line break too.
    if (articleBegin >= 0 && !closeArticle(lastEnd)) return 0;
    return 1;
}

int32_t CleanArticleMarkup(char16_t* out, int32_t maximum, const char16_t* text, int32_t length,
                           uint16_t* attributes) {
    if (out == nullptr || text == nullptr || maximum <= 0 || length <= 0) return 0;
    int32_t written = 0, lineBegin = 0;
    bool italic = false, bulletLine = false, lineStart = true;
    int32_t parentheses = 0;
    for (int32_t i = 0; i < length && written < maximum; ++i) {
        const char16_t c = text[i];
        if (c == u'<') {
            int32_t close = i + 1;
            while (close < length && text[close] != u'>' && text[close] != u'\n') ++close;
            if (close < length && text[close] == u'>') {
                const std::u16string_view tag(text + i + 1, static_cast<size_t>(close - i - 1));
                if (tag.starts_with(u"i")) italic = true;
                else if (tag.starts_with(u"/i")) italic = false;
                i = close;
                continue;
            }
        }
        if (c == u' ' && written > 0 && out[written - 1] == u' ') continue;
        if (lineStart) bulletLine = c == kBullet;
        if (c == u'(' || c == 0x3014) ++parentheses;
        uint16_t bits = attributes != nullptr ? attributes[i] : 0;
        if (italic) bits |= kFieldItalic;
        if (parentheses > 0) bits |= kFieldInBrackets;
        if (bulletLine) {
            if (c >= 0x3000) bulletLine = false;
            else bits |= kFieldItalic;
        }
        if (c == u',') bits |= kFieldComma;
        if (c == u';') bits |= kFieldSemicolon;
        if (lineStart) bits |= kFieldElementStart;
        if ((c == u')' || c == 0x3015) && parentheses > 0) --parentheses;
        const int32_t column = written - lineBegin;
        if ((c == u')' || c == u'.') && (column == 1 || column == 2) && attributes != nullptr)
            for (int32_t k = lineBegin; k < written; ++k) attributes[k] |= kFieldItalic;
        out[written] = c;
        if (attributes != nullptr) attributes[written] = bits;
        ++written;
        lineStart = c == u'\n';
        if (lineStart) {
            lineBegin = written;
            parentheses = 0;
        }
    }
    return written > 0 && out[written - 1] < 0x21 ? written - 1 : written;
}
