// ImportDsl, ParseDslArticle and ParseUnihanRecord: DSL text into the
// dictionary's elements, pointing into its text buffer.
#include "import/dsl_import.h"

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/dsl_text_cleaners.h"
#include "import/dsl_unihan_order.h"
#include "import/edict_import.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

using source_lines::AddArticleSpan;
using source_lines::AddSpan;

constexpr uint32_t kReading = 3;
constexpr uint32_t kWord = 4;
constexpr uint32_t kBody = 5;
constexpr uint32_t kOtherWord = 8;
constexpr uint32_t kCharacterRecordFlag = 0x40000;
constexpr int32_t kHeadwordCleanMaximum = 255;

enum class LineKind { Headword, Body, Directive };
enum class LineMark { None, Pinyin, VariantReference };

// One line of an article, [begin, end) without its LF, with its counts.
struct DslLine {
    LineKind kind = LineKind::Body;
    LineMark mark = LineMark::None;
    int32_t begin = 0;
    int32_t end = 0;
    int32_t content = 0;  // outside comments and tags; not "(", ")" or up to U+0020
    int32_t pinyin = 0;
    int32_t letters = 0;  // A-Z, a-z and everything from U+0080
    int32_t high = 0;     // above U+2000
};

bool IsPinyinLetter(char16_t c) {
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'z') return true;
    switch (c) {
    case 0xC0: case 0xC1: case 0xC8: case 0xC9: case 0xCC: case 0xCD: case 0xD2: case 0xD3: case 0xD9: case 0xDA:
    case 0xE0: case 0xE1: case 0xE8: case 0xE9: case 0xEC: case 0xED: case 0xF2: case 0xF3: case 0xF9: case 0xFA:
    case 0x100: case 0x101: case 0x112: case 0x113: case 0x11A: case 0x11B: case 0x12A: case 0x12B: case 0x14C:
    case 0x14D: case 0x16A: case 0x16B:
        return true;
    default:
        return c >= 0x1CD && c <= 0x1DC;
    }
}

bool IsIdeograph(char16_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xD840 && c <= 0xD87F);
}
bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }

// True when text[i] belongs to a "{{...}}" comment (one may span lines);
// `i` is then on the comment's last unit looked at.
bool StepOverComment(std::u16string_view text, size_t& i, size_t end, bool& inComment) {
    const bool pair = i + 1 < end && text[i + 1] == (inComment ? u'}' : u'{');
    if (inComment) {
        if (text[i] == u'}' && pair) {
            inComment = false;
            ++i;
        }
        return true;
    }
    if (text[i] != u'{' || !pair) return false;
    inComment = true;
    ++i;
    return true;
}

// The lines of an article with their counts; comments may span lines.
std::vector<DslLine> ClassifyLines(std::u16string_view text) {
    std::vector<DslLine> lines;
    bool inComment = false;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(u'\n', at);
        if (end == text.npos) end = text.size();
        DslLine line;
        line.begin = static_cast<int32_t>(at);
        line.end = static_cast<int32_t>(end);
        const char16_t first = text[at];
        line.kind = first == u'#' ? LineKind::Directive : first <= 0x20 ? LineKind::Body : LineKind::Headword;
        bool inTag = false;
        for (size_t i = at; i < end; ++i) {
            if (StepOverComment(text, i, end, inComment)) continue;
            const char16_t c = text[i];
            if (inTag) {
                inTag = c != u']';
                continue;
            }
            if (c == u'[') {
                inTag = true;
                continue;
            }
            if (c == u'\\' && i + 1 < end) ++i;
            const char16_t unit = text[i];
            if (unit > 0x20 && unit != u'(' && unit != u')') ++line.content;
            if (IsPinyinLetter(unit)) ++line.pinyin;
            if (((unit | 0x20) >= u'a' && (unit | 0x20) <= u'z') || unit >= 0x80) ++line.letters;
            if (unit > 0x2000) ++line.high;
        }
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

// Chinese mode: the variant-reference line among the first two body lines
// and the pinyin line.
void MarkChineseLines(std::u16string_view text, std::vector<DslLine>& lines) {
    int32_t bodyLines = 0;
    bool pinyinFound = false;
    for (DslLine& line : lines) {
        if (line.kind != LineKind::Body || line.content == 0) continue;
        ++bodyLines;
        if (bodyLines <= 2 && line.letters > 2 && line.high > 0) {
            const std::u16string_view body = text.substr(line.begin, line.end - line.begin);
            for (size_t at = body.find(u"вм"); at != body.npos; at = body.find(u"вм", at + 1)) {
                const char16_t after = at + 2 < body.size() ? body[at + 2] : 0;
                if (after == u'.' || after == u'[' || after > 0x3000) {
                    line.mark = LineMark::VariantReference;
                    break;
                }
            }
            if (line.mark != LineMark::None) continue;
        }
        if (!pinyinFound && line.pinyin > 0 && line.high == 0) {
            line.mark = LineMark::Pinyin;
            pinyinFound = true;
        }
    }
}


// The body from `from` to the article's end, up to three trailing units below U+0021 cut.
bool AddBody(CDictionary& dictionary, const char16_t* text, int32_t from, int32_t length) {
    int32_t end = length;
    for (int32_t cut = 0; cut < 3 && end > from && text[end - 1] < 0x21; ++cut) --end;
    return AddSpan(dictionary, kBody, text + from, end - from) >= 0;
}

int32_t TrimmedEnd(const char16_t* text, int32_t begin, int32_t end) {
    while (end > begin && text[end - 1] <= 0x20) --end;
    return end;
}

// The headword kind of the index language; 0 for none.
uint32_t DefaultHeadwordKind(const CDictionary& dictionary, bool& chinese) {
    const std::u16string_view code(dictionary.IndexLanguage());
    chinese = code == u"cmn";
    if (code.empty()) return dictionary.kanjiIndexCount > 0 ? kWord : 0;
    for (std::u16string_view cjk : {u"cmn", u"jpn", u"hak", u"lzh", u"nan"})
        if (code == cjk) return kWord;
    return kOtherWord;
}

uint32_t HeadwordKind(std::u16string_view cleaned, uint32_t defaultKind) {
    bool kana = false, low = false;
    for (char16_t c : cleaned) {
        if (IsIdeograph(c)) return kWord;
        kana |= IsKana(c);
        low |= c > 0x20 && c < 0x2000;
    }
    return kana ? kReading : low ? kOtherWord : defaultKind;
}

bool AddPinyinSyllables(CDictionary& dictionary, const char16_t* text, const DslLine& line) {
    bool inTag = false;
    for (int32_t i = line.begin; i < line.end;) {
        if (inTag || text[i] == u'[') {
            inTag = text[i] != u']';
            ++i;
            continue;
        }
        if (!IsPinyinLetter(text[i])) {
            ++i;
            continue;
        }
        const int32_t start = i;
        while (i < line.end && IsPinyinLetter(text[i])) ++i;
        if (AddSpan(dictionary, kReading, text + start, i - start) < 0) return false;
    }
    return true;
}

std::u16string_view LineOf(const char16_t* text, int32_t begin, int32_t end) {
    return {text + begin, static_cast<size_t>(end - begin)};
}

// The visible text of a character-record line: tags skipped, escapes
// resolved, leading blanks skipped, at most 80 units.
std::u16string VisibleText(std::u16string_view line) {
    std::u16string visible;
    bool inTag = false;
    for (size_t i = 0; i < line.size() && visible.size() < 80; ++i) {
        char16_t c = line[i];
        if (inTag) {
            inTag = c != u']';
            continue;
        }
        if (c == u'[') {
            inTag = true;
            continue;
        }
        if (c == u'\\' && i + 1 < line.size()) c = line[++i];
        if (visible.empty() && c <= 0x20) continue;
        visible.push_back(c);
    }
    return visible;
}

bool AddUnihanReadings(CDictionary& dictionary, const char16_t* text, int32_t begin, int32_t end) {
    const std::u16string_view line = LineOf(text, begin, end);
    const size_t tag = line.find(u"[c");
    if (tag == line.npos) return true;
    const size_t close = line.find(u']', tag);
    if (close == line.npos) return true;
    const int32_t stop = TrimmedEnd(text, begin, end);
    for (int32_t i = begin + static_cast<int32_t>(close) + 1; i < stop;) {
        const char16_t c = text[i];
        if (c == u'\\' || c == u'[') break;
        if (c <= 0x20 || c == u',') {
            ++i;
            continue;
        }
        const int32_t start = i;
        while (i < stop && text[i] > 0x20 && text[i] != u',' && text[i] != u'\\' && text[i] != u'[') ++i;
        if (AddSpan(dictionary, kReading, text + start, i - start) < 0) return false;
    }
    return true;
}

}  // namespace

int32_t ParseUnihanRecord(CDictionary& dictionary, const char16_t* text, int32_t length) {
    const int32_t article = AddArticleSpan(dictionary, text, length);
    if (article < 0) return -1;
    dictionary.Elements()[article].flags |= kCharacterRecordFlag;
    bool bodyStarted = false;
    for (int32_t at = 0; at < length;) {
        int32_t end = at;
        while (end < length && text[end] != u'\n') ++end;
        const std::u16string visible = VisibleText(LineOf(text, at, end));
        if (text[at] > 0x20) {
            const int32_t last = TrimmedEnd(text, at, end);
            if (!visible.empty() && AddSpan(dictionary, kWord, text + at, last - at) < 0) return -1;
        } else {
            const std::u16string_view v(visible);
            if (v.starts_with(u"Mandarin(P):") || v.starts_with(u"Japanese(On):") || v.starts_with(u"Japanese(Kun):"))
                if (!AddUnihanReadings(dictionary, text, at, end)) return -1;
            if (!bodyStarted) {
                bodyStarted = true;
                if (!AddBody(dictionary, text, at, length)) return -1;
            }
        }
        at = end + 1;
    }
    return article;
}

int32_t ParseDslArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return -1;
    const std::u16string_view whole(text, static_cast<size_t>(length));
    const size_t unicode = whole.find(u"Unicode:");
    if (unicode != whole.npos && static_cast<int32_t>(unicode) + 10 <= length)
        return ParseUnihanRecord(dictionary, text, length);

    bool chinese = false;
    const uint32_t defaultKind = DefaultHeadwordKind(dictionary, chinese);
    const int32_t article = AddArticleSpan(dictionary, text, length);
    if (article < 0) return -1;
    std::vector<DslLine> lines = ClassifyLines(whole);
    if (chinese) MarkChineseLines(whole, lines);

    bool hasWord = false, hasReading = false;
    std::array<char16_t, kHeadwordCleanMaximum + 1> cleaned{};
    for (const DslLine& line : lines) {
        if (line.content == 0 || line.kind == LineKind::Directive) continue;
        if (line.kind == LineKind::Headword) {
            const int32_t n = SplitArticleText(cleaned.data(), kHeadwordCleanMaximum, text + line.begin,
                                               line.end - line.begin, nullptr);
            if (n <= 0) continue;
            const uint32_t kind = HeadwordKind({cleaned.data(), static_cast<size_t>(n)}, defaultKind);
            if (kind == 0) continue;
            hasWord |= kind == kWord;
            hasReading |= kind == kReading;
            if (chinese && kind == kWord && text[line.begin] == 0x2116) continue;
            const int32_t last = TrimmedEnd(text, line.begin, line.end);
            if (AddSpan(dictionary, kind, text + line.begin, last - line.begin) < 0) return -1;
            continue;
        }
        if (chinese && line.mark == LineMark::VariantReference) continue;
        if (chinese && !hasReading && line.mark == LineMark::Pinyin) {
            if (!AddPinyinSyllables(dictionary, text, line)) return -1;
            hasReading = true;
            continue;
        }
        if (chinese && hasWord && !hasReading && line.letters == 0 && line.pinyin == 0 && line.high == 0) {
            hasReading = true;
            continue;
        }
        if (!AddBody(dictionary, text, line.begin, length)) return -1;
        break;
    }
    return article;
}

int32_t ParseDslRecordArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    return ParseDslArticle(dictionary, text, length) >= 0 ? 1 : 0;
}

namespace {

bool DirectiveIs(std::u16string_view line, std::u16string_view word) {
    return line.size() > word.size() && line.substr(0, word.size()) == word && line[word.size()] <= 0x20;
}

// The name of a "#NAME" line: between its first two double quotes, else
// after the first one (or from the seventh unit) with trailing CR and blanks cut.
std::u16string_view NameOf(std::u16string_view line) {
    const size_t open = line.find(u'"');
    if (open != line.npos) {
        const size_t close = line.find(u'"', open + 1);
        if (close != line.npos) return line.substr(open + 1, close - open - 1);
    }
    size_t from = open != line.npos ? open + 1 : 6;
    if (from > line.size()) from = line.size();
    size_t end = line.size();
    while (end > from && line[end - 1] <= 0x20) --end;
    return line.substr(from, end - from);
}

}  // namespace

int32_t ImportDsl(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                  const ImportCallbacks& callbacks) {
    using namespace source_lines;
    const int32_t start = BeginImport(dictionary, text, sizeInBytes, mode, kFormatWords);
    if (start < 0) return 0;
    const int32_t end = dictionary.TextLength();
    if (mode != 0) return ParseDslArticle(dictionary, dictionary.Text() + start, end - start) >= 0 ? 1 : 0;

    const int32_t total = end - start;
    bool named = false;
    bool unihan = false;  // a character database: each article reordered before parsing
    int32_t articleBegin = -1;  // the open article's first unit, -1 for none
    bool articleHasBody = false;
    int32_t headwordLines = 0;  // of the open article
    bool inComment = false;
    // Parses the open article [articleBegin, until) and reports it; one
    // without a body is no article, and its headword lines are skipped.
    auto closeArticle = [&](int32_t until) -> bool {
        const int32_t begin = articleBegin;
        const bool parse = articleHasBody;
        articleBegin = -1;
        articleHasBody = false;
        if (!parse)
            for (; headwordLines > 0; --headwordLines) ReportSkippedLine(mode, callbacks);
        headwordLines = 0;
        if (!parse) return true;
        const int32_t first = dictionary.ElementCount();
        if (!unihan) {
            if (ParseDslArticle(dictionary, dictionary.Text() + begin, until - begin) < 0) return false;
            if (ReportArticles(dictionary, first, callbacks) == 0) return false;
            return ReportProgress(mode, until - start, total, callbacks) != 0;
        }
        // The reordered copy lives behind the source for the time of the callbacks.
        const std::u16string sorted =
            WriteSortedUnihanArticle({dictionary.Text() + begin, static_cast<size_t>(until - begin)});
        const int32_t length = static_cast<int32_t>(sorted.size());
        const int32_t at = dictionary.AppendText(length, sorted.data());
        if (at < 0 || ParseUnihanRecord(dictionary, dictionary.Text() + at, length) < 0) return false;
        const bool reported = ReportArticles(dictionary, first, callbacks) != 0;
        dictionary.SetTextLength(at);
        return reported && ReportProgress(mode, until - start, total, callbacks) != 0;
    };
    for (int32_t at = start; at < end;) {
        const char16_t* buffer = dictionary.Text();
        // The line's first unit, past byte-order marks, CRs and comments.
        int32_t first = at;
        int32_t lineEnd = at;
        bool sawUnit = false;
        char16_t lead = 0;
        const std::u16string_view all(buffer, static_cast<size_t>(end));
        for (; lineEnd < end; ++lineEnd) {
            const char16_t c = buffer[lineEnd];
            if (c == u'\n' && !inComment) break;
            size_t i = static_cast<size_t>(lineEnd);
            if (StepOverComment(all, i, all.size(), inComment)) {
                lineEnd = static_cast<int32_t>(i);
                continue;
            }
            if (!sawUnit && (c == 0xFEFF || c == u'\r')) continue;
            if (!sawUnit) {
                sawUnit = true;
                first = lineEnd;
                lead = c;
            }
        }
        const int32_t next = lineEnd < end ? lineEnd + 1 : end;
        if (!sawUnit || lead <= 0x20) {
            if (articleBegin >= 0) {
                articleHasBody = true;
            } else if (sawUnit && std::any_of(buffer + first, buffer + lineEnd, [](char16_t c) { return c > 0x20; })) {
                ReportSkippedLine(mode, callbacks);  // a body line under no headword
            }
        } else if (lead == u'#') {
            if (DirectiveIs({buffer + first, static_cast<size_t>(lineEnd - first)}, u"#INCLUDE")) return 0;
            if (articleBegin >= 0 && !closeArticle(at)) return 0;
            // Closing a character-database article may have moved the buffer.
            const std::u16string_view line(dictionary.Text() + first, static_cast<size_t>(lineEnd - first));
            if (!named && DirectiveIs(line, u"#NAME")) {
                named = true;
                unihan = line.size() >= 13 && line.substr(7, 6) == u"Unihan";
                const std::u16string_view name = NameOf(line);
                const int32_t element = dictionary.ElementCount();
                if (AddSpan(dictionary, kElementName, name.data(), static_cast<int32_t>(name.size())) < 0) return 0;
                if (ReportArticles(dictionary, element, callbacks) == 0) return 0;
            }
        } else {
            if (articleBegin >= 0 && articleHasBody && !closeArticle(at)) return 0;
            if (articleBegin < 0) articleBegin = dictionary.Text()[at] == 0xFEFF ? first : at;
            ++headwordLines;
        }
        at = next;
    }
    if (articleBegin >= 0 && !closeArticle(end)) return 0;
    return 1;
}
