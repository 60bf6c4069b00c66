// WARODAI formatters: the RTF article and the senses columns built from a
// table of the article's lines.
#include "article/warodai_format.h"

#include <array>
#include <string_view>

#include "article/article_context.h"
#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/rtf_dispatch.h"
#include "article/word_article.h"
#include "dictionary/dictionary.h"

namespace {

using View = std::u16string_view;

constexpr char16_t kTilde = u'\uFF5E';
constexpr uint8_t kNumbered = 0x1;
constexpr uint8_t kHoldsTilde = 0x2;

struct ArticleLine {
    uint8_t flags = 0;
    int32_t group = 0;   // the phrase line whose senses this line belongs to; 0 none
    int32_t number = 0;
    int32_t tildes = 0;
    size_t start = 0, length = 0;
};

bool IsDigit(char16_t c, char16_t from) { return c >= from && c <= u'9'; }

// Reads "d)", "d." or "dd)" at the start of a line.
void ReadNumber(View line, ArticleLine& row) {
    if (line.size() >= 2 && IsDigit(line[0], u'1')) {
        if (line[1] == u')' || line[1] == u'.') {
            row.flags |= kNumbered;
            row.number = line[0] - u'0';
        } else if (line.size() >= 3 && IsDigit(line[1], u'0') && line[2] == u')') {
            row.flags |= kNumbered;
            row.number = (line[0] - u'0') * 10 + (line[1] - u'0');
        }
    }
}

// The line table over the article; it stops at kWarodaiLineLimit lines.
int32_t BuildLines(View article, std::array<ArticleLine, kWarodaiLineLimit>& lines) {
    int32_t count = 0;
    for (size_t at = 0; at <= article.size() && count < kWarodaiLineLimit;) {
        size_t end = article.find(u'\n', at);
        if (end == View::npos) end = article.size();
        ArticleLine& row = lines[static_cast<size_t>(count)];
        row = {};
        row.start = at;
        // Sources end their lines in CR LF: the CR is not the line's text.
        row.length = end - at - (end > at && article[end - 1] == u'\r' ? 1 : 0);
        if (count >= 1) {
            const View line = article.substr(at, row.length);
            if (count == 1) row.flags = kNumbered;
            ReadNumber(line, row);
            for (char16_t c : line) row.tildes += c == kTilde;
            if (row.tildes > 0) row.flags |= kHoldsTilde;
        }
        ++count;
        if (end == article.size()) break;
        at = end + 1;
    }
    int32_t phrase = 0, previousNumbered = 0;
    for (int32_t i = 1; i < count; ++i) {
        ArticleLine& row = lines[static_cast<size_t>(i)];
        if (row.flags & kHoldsTilde) phrase = i;
        if (!(row.flags & kNumbered)) continue;
        if (!(row.flags & kHoldsTilde) && row.number == 1 && phrase != 0 && i == phrase + 1)
            row.group = phrase;
        else if (previousNumbered != 0 && row.number == lines[static_cast<size_t>(previousNumbered)].number + 1)
            row.group = lines[static_cast<size_t>(previousNumbered)].group;
        previousNumbered = i;
    }
    return count;
}

// The line of the article's derived entry `subEntry` as the record parser
// found it: the compiler numbers derived entries by their derived-word
// elements, and a word such as "～か～か" holds two tildes but is one entry,
// while a tilde in an example line or a link makes none. -1 when the record
// holds derived words but not this one; 0 when it holds none (a record not
// parsed into them: the tilde count decides).
int32_t DerivedEntryLine(const CDictionary& dictionary, uint32_t index, uint16_t subEntry, View article,
                         const std::array<ArticleLine, kWarodaiLineLimit>& lines, int32_t count) {
    constexpr uint32_t kDerivedWord = 6;
    const auto elements = static_cast<uint32_t>(dictionary.ElementCount());
    uint16_t ordinal = 0;
    for (uint32_t i = index + 1; i < elements; ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        if (e.kind == kElementEntryStart) break;
        if (e.kind != kDerivedWord || ++ordinal != subEntry) continue;
        if (e.text < article.data() || e.text >= article.data() + article.size()) return -1;
        const auto offset = static_cast<size_t>(e.text - article.data());
        for (int32_t line = count - 1; line >= 1; --line)
            if (lines[static_cast<size_t>(line)].start <= offset)
                return lines[static_cast<size_t>(line)].flags & kHoldsTilde ? line : -1;
        return -1;
    }
    return ordinal > 0 ? -1 : 0;
}

// Writes one line (or its tail from `from`): tags skipped, "<i" italic.
void WriteLine(View line, StyledWriter& out, int32_t cellStart) {
    if (line.empty()) return;
    size_t i = 0;
    if (line[0] == u':' || line[0] < 33) i = 1;
    else if (out.Length() > cellStart) out.Put(u' ', kClassPlain);
    uint32_t italic = 0;
    for (; i < line.size(); ++i) {
        if (line[i] == u'<') {
            const View tag = line.substr(i);
            if (tag.starts_with(u"<i")) italic = kAttrItalic;
            else if (tag.starts_with(u"</i")) italic = 0;
            const size_t close = line.find(u'>', i);
            if (close == View::npos) break;
            i = close;
            continue;
        }
        if (!out.Put(line[i], kClassPlain | italic)) break;
    }
}

}  // namespace

FormattedText FormatArticleRtfF10(const CDictionary& dictionary, uint32_t index) {
    const View article = EntrySpan(dictionary, index);
    if (article.empty()) return {};
    return SingleArticleRtf(10, article, ArticleContext().ArticleFontSize(), 10);
}

int32_t GetColumnTextF10(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind,
                         uint16_t subEntry) {
    if (cell.length >= kCellTextLimit) return 0;
    if (columnKind != 4 && columnKind != 9) return GetColumnTextDefault(dictionary, index, cell, columnKind);
    const View article = EntrySpan(dictionary, index);
    std::array<ArticleLine, kWarodaiLineLimit> lines;
    const int32_t count = BuildLines(article, lines);
    auto text = [&](int32_t i) {
        const ArticleLine& row = lines[static_cast<size_t>(i)];
        return article.substr(row.start, row.length);
    };

    StyledWriter out = cell.Writer();
    const int32_t cellStart = out.Length();
    int32_t selected = 0;
    if (subEntry == 0) {
        for (int32_t i = 1; i < count; ++i) {
            const ArticleLine& row = lines[static_cast<size_t>(i)];
            if (!(row.flags & kNumbered)) continue;
            if (row.group == 0 || (selected != 0 && row.group == selected)) WriteLine(text(i), out, cellStart);
            if (row.flags & kHoldsTilde) selected = i;
        }
    } else {
        selected = DerivedEntryLine(dictionary, index, subEntry, article, lines, count);
        int32_t covered = 1;
        for (int32_t i = 1; i < count && selected == 0; ++i) {
            const ArticleLine& row = lines[static_cast<size_t>(i)];
            if (!(row.flags & kHoldsTilde)) continue;
            if (subEntry >= covered && subEntry < covered + row.tildes) selected = i;
            covered += row.tildes;
        }
        if (selected > 0) {
            const View phrase = text(selected);
            // The phrase is left out: its first tilde word and the tilde words
            // listed right after it ("～a, ～b text" shows "text").
            size_t after = phrase.find_first_of(u" ,", phrase.find(kTilde));
            while (after != View::npos) {
                const size_t next = phrase.find_first_not_of(u" ,", after);
                if (next == View::npos) break;
                const size_t wordEnd = phrase.find_first_of(u" ,", next);
                if (phrase.substr(next, wordEnd == View::npos ? View::npos : wordEnd - next).find(kTilde) == View::npos)
                    break;
                after = wordEnd;
            }
            if (after != View::npos) WriteLine(phrase.substr(after), out, cellStart);
            for (int32_t i = selected + 1; i < count; ++i)
                if ((lines[static_cast<size_t>(i)].flags & kNumbered) && lines[static_cast<size_t>(i)].group == selected)
                    WriteLine(text(i), out, cellStart);
        }
    }
    if (out.Length() > cellStart) {
        const char16_t last = out.UnitAt(out.Length() - 1);
        if (last == u'.' || last == u',' || last == u';') {
            out.CutTo(out.Length() - 1);
        } else if (last == u':') {
            out.CutTo(out.Length() - 1);
            out.Append(u"...", kClassPlain);
        }
    }
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}
