// DSL card formatters: markup cleaning, list columns, the RTF article and the
// plain export text.
#include "article/dsl_format.h"

#include <memory>
#include <new>

#include "article/article_context.h"
#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/rtf_dispatch.h"
#include "article/word_article.h"
#include "common/unicode/char_tables.h"
#include "dictionary/dictionary.h"

namespace {

using View = std::u16string_view;

constexpr uint16_t kStyleBoldItalic = kAttrBold | kAttrItalic;

bool StartsWith(View text, size_t at, View part) { return text.substr(at, part.size()) == part; }

// A tag name after "[" is recognised when "]" or a unit below 33 follows it.
bool TagIs(const char16_t* text, int32_t at, int32_t length, View name) {
    const int32_t end = at + static_cast<int32_t>(name.size());
    if (end > length || View(text + at, name.size()) != name) return false;
    return end == length || text[end] == u']' || text[end] < 33;
}

// Handles the tag at text[at] == '[': updates the style state and marks what
// is dropped. Returns the units consumed.
int32_t ParseDslInlineTags(const char16_t* text, uint16_t* styles, int32_t at, int32_t length, uint16_t& state) {
    if (at + 1 < length && (text[at + 1] == u'[' || text[at + 1] == u']')) {
        styles[at] = kStyleDrop;
        styles[at + 1] = static_cast<uint16_t>((styles[at + 1] & ~kStyleBoldItalic) | state);
        return 2;
    }
    const int32_t name = at + 1;
    if (TagIs(text, name, length, u"b")) state |= kAttrBold;
    else if (TagIs(text, name, length, u"/b")) state &= ~kAttrBold;
    else if (TagIs(text, name, length, u"i") || TagIs(text, name, length, u"p")) state |= kAttrItalic;
    else if (TagIs(text, name, length, u"/i") || TagIs(text, name, length, u"/p")) state &= ~kAttrItalic;
    int32_t end = at;
    while (end < length && text[end] != u']') styles[end++] = kStyleDrop;
    if (end < length) styles[end++] = kStyleDrop;
    return end - at;
}

// Moves the units not marked dropped to the front; returns how many are kept.
int32_t Compact(char16_t* text, uint16_t* styles, int32_t length) {
    int32_t kept = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (styles[i] & kStyleDrop) continue;
        text[kept] = text[i];
        styles[kept++] = styles[i];
    }
    return kept;
}

void FirstPass(const char16_t* text, uint16_t* styles, int32_t length) {
    uint16_t state = 0;
    bool lineEmpty = true;
    auto keep = [&](int32_t i) {
        styles[i] = static_cast<uint16_t>((styles[i] & ~(kStyleBoldItalic | kStyleDrop)) | state);
    };
    for (int32_t i = 0; i < length;) {
        const char16_t c = text[i];
        if (c == u'{' && i + 1 < length && text[i + 1] == u'{') {
            int32_t end = i + 2;
            while (end + 1 < length && !(text[end] == u'}' && text[end + 1] == u'}')) ++end;
            end = end + 1 < length ? end + 2 : length;
            while (i < end) styles[i++] = kStyleDrop;
        } else if (c == u'\r') {
            styles[i++] = kStyleDrop;
        } else if (c == u'\n') {
            if (lineEmpty) styles[i] = kStyleDrop;
            else keep(i);
            lineEmpty = true;
            ++i;
        } else if (lineEmpty && c < 33) {
            styles[i++] = kStyleDrop;
        } else if (c == u'[') {
            const bool escapedBracket = i + 1 < length && (text[i + 1] == u'[' || text[i + 1] == u']');
            i += ParseDslInlineTags(text, styles, i, length, state);
            if (escapedBracket) lineEmpty = false;
        } else if (c == u'\\') {
            styles[i++] = kStyleDrop;
            if (i < length) {
                keep(i++);
                lineEmpty = false;
            }
        } else {
            keep(i++);
            lineEmpty = false;
        }
    }
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Labels and decorations of Unihan-like cards, over the kept units.
void SecondPass(char16_t* text, uint16_t* styles, int32_t length) {
    const View all(text, static_cast<size_t>(length));
    bool capitaliseNext = false;
    auto drop = [&](int32_t from, int32_t count) {
        for (int32_t k = from; k < from + count; ++k) styles[k] |= kStyleDrop;
    };
    for (int32_t i = 0; i < length;) {
        const size_t at = static_cast<size_t>(i);
        if (text[i] == u'-') {
            int32_t end = i;
            while (end < length && text[end] == u'-') ++end;
            if (end - i >= 3) drop(i, end - i);
            i = end;
            continue;
        }
        if (StartsWith(all, at, u"<<") || StartsWith(all, at, u">>")) {
            drop(i, 2);
            i += 2;
            continue;
        }
        if (length >= 12) {
            if (StartsWith(all, at, u"Definition:")) {
                drop(i, 11);
                i += 11;
                capitaliseNext = true;
                continue;
            }
            if (StartsWith(all, at, u"Japanese(On):") || StartsWith(all, at, u"Japanese(Kun):")) {
                drop(i, 9);   // "Japanese(" goes, "On):" and "Kun):" lose their ")"
                const int32_t close = text[i + 11] == u')' ? i + 11 : i + 12;
                drop(close, 1);
                i = close + 2;
                capitaliseNext = true;
                continue;
            }
        }
        if (capitaliseNext) {
            if (text[i] == u' ') {
                drop(i, 1);
            } else {
                const char16_t upper = ToUpperChar(text[i]);
                if (upper != 0xFFFF) text[i] = upper;
                capitaliseNext = false;
            }
        }
        ++i;
    }
}

// A line feed after a line of only blanks goes.
void ThirdPass(const char16_t* text, uint16_t* styles, int32_t length) {
    bool onlyBlanks = true;
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] == u'\n') {
            if (onlyBlanks) styles[i] |= kStyleDrop;
            onlyBlanks = true;
        } else if (!IsBlank(text[i])) {
            onlyBlanks = false;
        }
    }
}

// The first code point of `unit`'s canonical decomposition, the unit itself without one.
char16_t FirstDecomposed(char16_t unit) {
    const CharTableBlob* table = DecompositionTable();
    if (table == nullptr) return unit;
    const uint32_t entry = table->Entry(unit);
    if (entry == 0 || entry >= table->pool.size()) return unit;
    const uint32_t first = table->pool[entry];
    return first != 0 && first <= 0xFFFF ? static_cast<char16_t>(first) : unit;
}

// Length of the line at the start of `text` that repeats `headword` (through
// its line feed), 0 when it does not or when nothing would remain.
size_t RepeatedHeadwordLine(View text, View headword) {
    if (headword.empty()) return 0;
    size_t t = 0;
    for (size_t h = 0; h < headword.size();) {
        if (t >= text.size()) return 0;
        if (text[t] == headword[h] || FirstDecomposed(text[t]) == FirstDecomposed(headword[h])) {
            ++t;
            ++h;
        } else if (text[t] == u'-' || text[t] == u'(' || text[t] == u')') {
            ++t;
        } else {
            return 0;
        }
    }
    if (t >= text.size() || (text[t] != u'\n' && text[t] != u' ' && text[t] != u',')) return 0;
    const size_t feed = text.find(u'\n');
    if (feed == View::npos || feed + 1 >= text.size()) return 0;
    return feed + 1;
}

// Appends cleaned text to the cell: control units other than line feed turn
// into blanks; each unit's attribute is its style word.
int32_t AppendCleaned(ListCell& cell, const char16_t* text, const uint16_t* styles, int32_t length) {
    StyledWriter out = cell.Writer();
    for (int32_t i = 0; i < length; ++i) {
        const char16_t c = text[i] < 0x20 && text[i] != u'\n' ? u' ' : text[i];
        if (!out.Put(c, styles[i])) break;
    }
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}

// A work text with its style words, sized once from what will be copied in.
struct WorkText {
    explicit WorkText(size_t capacity)
        : text(new (std::nothrow) char16_t[capacity + 1]), styles(new (std::nothrow) uint16_t[capacity + 1]),
          capacity(capacity) {}
    bool Allocated() const { return text && styles; }
    void Append(View part, uint16_t style) {
        for (size_t i = 0; i < part.size() && length < capacity; ++i) {
            text[length] = part[i];
            styles[length++] = style;
        }
    }
    std::unique_ptr<char16_t[]> text;
    std::unique_ptr<uint16_t[]> styles;
    size_t capacity;
    size_t length = 0;
};

int32_t CleanInto(ListCell& cell, WorkText& work, bool capitalise) {
    const int32_t kept = ParseArticleLineStyles(work.text.get(), work.styles.get(), static_cast<int32_t>(work.length),
                                                capitalise);
    return AppendCleaned(cell, work.text.get(), work.styles.get(), kept);
}

}  // namespace

int32_t ParseArticleLineStyles(char16_t* text, uint16_t* styles, int32_t length, bool capitalise) {
    if (text == nullptr || styles == nullptr || length <= 0) return 0;
    FirstPass(text, styles, length);
    length = Compact(text, styles, length);
    if (capitalise) {
        SecondPass(text, styles, length);
        length = Compact(text, styles, length);
    }
    ThirdPass(text, styles, length);
    return Compact(text, styles, length);
}

FormattedText FormatArticleRtfF9(const CDictionary& dictionary, uint32_t index) {
    const View card = EntrySpan(dictionary, index);
    if (card.empty()) return {};
    uint32_t flags = dictionary.wordCount > 0 ? 138 : 10;
    if (dictionary.latinStemCount > 0) flags += 1024;
    return SingleArticleRtf(9, card, ArticleContext().ArticleFontSize(), flags);
}

FormattedText GetPlainArticleText(const CDictionary& dictionary, uint32_t index) {
    const View card = EntrySpan(dictionary, index);
    if (card.empty()) return {};
    StyledText text(static_cast<int32_t>(card.size()) + 1);
    if (!text.Allocated()) return {};
    StyledWriter out = text.Writer();
    out.Append(card, kClassPlain);
    out.Terminate();
    text.Finish(out);
    return FormattedText::Styled(std::move(text));
}

int32_t GetColumnTextF9(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (dictionary.latinStemCount > 0) return GetColumnTextF9Kinds(dictionary, index, cell, columnKind);
    if (cell.length >= kCellTextLimit) return 0;
    const uint32_t count = static_cast<uint32_t>(dictionary.ElementCount());
    if (index >= count) return cell.length;
    const DictionaryElement* elements = dictionary.Elements();
    const bool labelled = (elements[index].flags & kDslCapitaliseEntry) != 0;
    uint32_t kind = ChooseColumn(columnKind).elementKind;
    if (labelled && kind == 11) kind = 3;
    const bool katakanaOnly = labelled && columnKind == 7;
    const uint32_t end = EntryEnd(dictionary, index);
    auto chosen = [&](const DictionaryElement& e) {
        if (e.kind != kind || e.length <= 0 || e.text == nullptr) return false;
        return !katakanaOnly || (e.text[0] >= 0x30A1 && e.text[0] <= 0x30FE);
    };
    constexpr View kJoin = u" \u30FB ";
    size_t capacity = 0;
    for (uint32_t i = index + 1; i < end; ++i)
        if (chosen(elements[i])) capacity += static_cast<size_t>(elements[i].length) + kJoin.size();
    if (capacity == 0) return cell.length;
    WorkText work(capacity);
    if (!work.Allocated()) return cell.length;
    for (uint32_t i = index + 1; i < end; ++i) {
        if (!chosen(elements[i])) continue;
        if (work.length > 0) work.Append(kJoin, kClassPlain);
        work.Append(ElementText(elements[i]), kClassPlain);
    }
    int32_t kept = ParseArticleLineStyles(work.text.get(), work.styles.get(), static_cast<int32_t>(work.length),
                                          labelled);
    size_t skip = 0;
    if (kind == 5) {
        View headword = EntrySpan(dictionary, index);
        headword = headword.substr(0, headword.find(u'\n'));
        skip = RepeatedHeadwordLine({work.text.get(), static_cast<size_t>(kept)}, headword);
    }
    return AppendCleaned(cell, work.text.get() + skip, work.styles.get() + skip, kept - static_cast<int32_t>(skip));
}

namespace {

// The positions that cut a card's first indented line into head and translation.
struct IndentedLineMarks {
    size_t headStart = 0;
    size_t headEnd = View::npos;       // earliest mark
    size_t equals = View::npos;        // "=", or the "(" just before it
    size_t cyrillicTo = View::npos;    // the "к" of "] к " or "] к["
    size_t seeAlso = View::npos;       // "см."
};

size_t Earliest(size_t a, size_t b) { return a < b ? a : b; }

IndentedLineMarks ScanIndentedLine(View card, size_t start, size_t end) {
    IndentedLineMarks marks;
    marks.headStart = start;
    // A homonym numeral after the leading tags: the head starts behind it.
    size_t at = start;
    while (at < end && card[at] == u'[') {
        const size_t close = card.find(u']', at);
        if (close == View::npos || close >= end) break;
        at = close + 1;
    }
    size_t numeral = at;
    while (numeral < end && (card[numeral] == u'I' || card[numeral] == u'V')) ++numeral;
    if (numeral > at && numeral < end && card[numeral] == u' ') marks.headStart = numeral + 1;

    for (size_t i = start; i < end; ++i) {
        const View rest = card.substr(i, end - i);
        if (rest.starts_with(u"[p]") || rest.starts_with(u"[i]") || rest.starts_with(u"\\[") ||
            rest.starts_with(u" \u2014 ") || rest.starts_with(u" - ") ||
            (rest.starts_with(u"(") && i > start && card[i - 1] == u' ')) {
            marks.headEnd = Earliest(marks.headEnd, i);
        }
        if (card[i] == u'=' && marks.equals == View::npos) {
            marks.equals = i > start && card[i - 1] == u'(' ? i - 1 : i;
            marks.headEnd = Earliest(marks.headEnd, marks.equals);
        }
        if (rest.starts_with(u"] \u043A ") || rest.starts_with(u"] \u043A[")) {
            marks.cyrillicTo = i + 2;
            marks.headEnd = Earliest(marks.headEnd, i + 1);
            break;
        }
        if (rest.starts_with(u"\u0441\u043C.")) {
            marks.seeAlso = i;
            marks.headEnd = Earliest(marks.headEnd, i);
            break;
        }
        // A tag's own text (as the "=" of [lang name="English"]) marks nothing:
        // go on at its "]", which "] к " may still need.
        if (card[i] == u'[' && (i == start || card[i - 1] != u'\\')) {
            const size_t close = card.find(u']', i);
            if (close != View::npos && close < end) i = close - 1;
        }
    }
    if (marks.headEnd == View::npos || marks.headEnd < marks.headStart) marks.headEnd = end;
    return marks;
}

// A "[p]...[/p]" label just before `at` on the line, only blanks and commas
// between: where it starts, else `at`.
size_t TakeInLabel(View card, size_t lineStart, size_t at) {
    size_t back = at;
    while (back > lineStart && (card[back - 1] == u' ' || card[back - 1] == u',')) --back;
    if (back < lineStart + 4 || card.substr(back - 4, 4) != u"[/p]") return at;
    const size_t open = card.rfind(u"[p]", back - 4);
    return open != View::npos && open >= lineStart ? open : at;
}

// Start of the content of a line that begins with a blank or tab.
struct IndentedLine {
    size_t start = View::npos, end = View::npos;
};

}  // namespace

int32_t GetColumnTextF9Kinds(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    View card = EntrySpan(dictionary, index);
    if (card.empty()) return cell.length;
    const bool head = columnKind == 3 || columnKind == 6;
    const bool translation = columnKind == 4 || columnKind == 9 || columnKind == 10;
    const uint16_t colourClass = head ? kClassHeadword : translation ? kClassPlain : kClassReading;

    card = card.substr(0, card.find(u"[ls"));
    const size_t firstLineEnd = Earliest(card.find(u'\n'), card.size());
    IndentedLine lines[2];
    int found = 0;
    for (size_t at = firstLineEnd; at < card.size() && found < 2;) {
        const size_t lineStart = at + 1;
        const size_t lineEnd = Earliest(card.find(u'\n', lineStart), card.size());
        if (lineStart < lineEnd && IsBlank(card[lineStart])) {
            size_t first = lineStart;
            while (first < lineEnd && IsBlank(card[first])) ++first;
            lines[found++] = {first, lineEnd};
        }
        at = lineEnd;
    }
    if (translation && found == 2) return BuildDslCellSummary(cell, card);

    View part;
    WorkText work(card.size());
    if (!work.Allocated()) return cell.length;
    if (!head && !translation) {
        int depth = 0;   // parts in braces leave the first line
        for (size_t i = 0; i < firstLineEnd; ++i) {
            if (card[i] == u'{') ++depth;
            else if (card[i] == u'}' && depth > 0) --depth;
            else if (depth == 0) work.Append(card.substr(i, 1), colourClass);
        }
    } else if (found > 0) {
        const IndentedLineMarks marks = ScanIndentedLine(card, lines[0].start, lines[0].end);
        if (head) {
            part = card.substr(marks.headStart, marks.headEnd - marks.headStart);
        } else {
            size_t from = marks.seeAlso != View::npos ? marks.seeAlso
                          : marks.equals != View::npos ? marks.equals
                                                       : marks.cyrillicTo;
            if (from != View::npos) {
                if (from == marks.seeAlso || from == marks.cyrillicTo) from = TakeInLabel(card, lines[0].start, from);
                part = card.substr(from, lines[0].end - from);
            }
        }
        work.Append(part, colourClass);
    }
    if (work.length == 0) return cell.length;
    return CleanInto(cell, work, false);
}

int32_t BuildDslCellSummary(ListCell& cell, std::u16string_view card) {
    size_t at = 0;
    int indented = 0;
    for (size_t lineStart = 0; lineStart < card.size();) {
        if (IsBlank(card[lineStart]) && ++indented == 2) {
            at = lineStart;
            break;
        }
        const size_t feed = card.find(u'\n', lineStart);
        if (feed == View::npos) break;
        lineStart = feed + 1;
    }
    if (indented < 2) return 0;

    StyledWriter out = cell.Writer();
    uint32_t italic = 0;
    while (at < card.size()) {
        while (at < card.size() && IsBlank(card[at])) ++at;
        const size_t lineEnd = Earliest(card.find(u'\n', at), card.size());
        const View line = card.substr(at, lineEnd - at);
        if (line.starts_with(u"[ls")) break;
        const bool numberedExample = line.size() >= 7 && line.starts_with(u"[m") && line.substr(3, 4) == u"][*]";
        if (!numberedExample) {
            if (out.Length() > 0 && out.UnitAt(out.Length() - 1) > 0x20) out.Put(u' ', italic);
            bool inLabel = false, droppingLabel = false;
            for (size_t i = 0; i < line.size(); ++i) {
                const char16_t c = line[i];
                if (c == u'\\') {
                    if (++i < line.size() && !droppingLabel) out.Put(line[i], italic);
                } else if (line.substr(i).starts_with(u"{{")) {
                    // A comment is the editor's, never shown.
                    const size_t close = line.find(u"}}", i + 2);
                    i = close == View::npos ? line.size() : close + 1;
                } else if (c == u'\t' || c == u'\r') {
                } else if (c == u'[') {
                    const size_t close = line.find(u']', i);
                    const View tag = line.substr(i, close == View::npos ? View::npos : close - i + 1);
                    if (tag == u"[i]") italic = kAttrItalic;
                    else if (tag == u"[/i]") italic = 0;
                    else if (tag == u"[p]") inLabel = true;
                    else if (tag == u"[/p]") inLabel = droppingLabel = false;
                    i = close == View::npos ? line.size() : close;
                } else {
                    if (inLabel && c >= u'A' && c <= u'Z') droppingLabel = true;
                    if (!droppingLabel) out.Put(c, italic);
                }
            }
        }
        at = lineEnd + 1;
    }
    int32_t length = out.Length();
    while (length > cell.length) {
        const char16_t last = out.UnitAt(length - 1);
        if (last != u' ' && last != u',' && last != u';' && last != u'.') break;
        --length;
    }
    out.CutTo(length);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}
