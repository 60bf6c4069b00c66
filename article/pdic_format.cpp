// PDIC and EIJIRO articles and the EIJIRO senses column, read from the
// entry's source line.
#include "article/pdic_format.h"

#include <string_view>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/word_article.h"
#include "common/unicode/japanese_chars.h"

namespace {

using View = std::u16string_view;

constexpr char16_t kEntryMark = u'\u25A0';
constexpr char16_t kSenseMark = u'\u25CF';
constexpr char16_t kMiddleDot = u'\u30FB';
constexpr char16_t kOpenLenticular = u'\u3010';
constexpr char16_t kCloseLenticular = u'\u3011';
constexpr char16_t kUsage = u'\u7528';
constexpr char16_t kFullwidthSemicolon = u'\uFF1B';

bool ColonBlankAt(View line, size_t i) { return line[i] == u':' && i + 1 < line.size() && line[i + 1] == u' '; }

// Script tally of a headword: kana only 0x20, kana or kanji 0x30, else 0x40.
struct ScriptTally {
    bool kana = false, kanji = false, other = false, stopped = false;
    void Count(char16_t c) {
        if (c == u':' || c == kFullwidthSemicolon || c == u'{') stopped = true;
        if (stopped || c <= 0x20) return;
        if (c < 0x2000) other = true;   // Latin and the like
        else if (c >= 0x3041 && c <= 0x30FE) kana = true;
        else if (ostrel::japanese::IsCjkIdeograph(c)) kanji = true;
        else other = true;
    }
    uint32_t Class() const {
        if (kana && !kanji && !other) return kClassReading;
        return kana || kanji ? kClassHeadword : kClassPlain;
    }
};

// Writes the translation part, one line per sense.
void AppendNumberedSenses(View range, StyledWriter& out) {
    const bool numbered = range.find(kSenseMark) != View::npos;
    range = WithoutFirstSenseMark(range);
    int32_t number = 1;
    if (numbered) out.Append(u"1. ", kClassPlain);
    bool inUsage = false;
    for (size_t i = 0; i < range.size() && out.Room() >= 8; ++i) {
        const char16_t c = range[i];
        if (c == kSenseMark) {
            out.Put(u'\n', kClassPlain);
            if (numbered) {
                out.AppendNumber(++number, kClassPlain);
                out.Append(u". ", kClassPlain);
            }
        } else if (c == kEntryMark && i + 1 < range.size() && range[i + 1] == kMiddleDot) {
            out.Put(u'\n', kClassPlain);
        } else if (c == kOpenLenticular && i + 1 < range.size() && range[i + 1] == kUsage) {
            inUsage = true;
            out.Put(c, kClassPlain);
        } else if (c == kCloseLenticular && inUsage) {
            inUsage = false;
            out.Put(c, kClassPlain);
            out.Put(u'\n', kClassPlain);
            if (i + 1 < range.size() && range[i + 1] == u' ') ++i;
        } else {
            out.Put(c, kClassPlain);
        }
    }
}

// Text storage for an article of `line`: its length plus room for the
// numbers and line breaks the marks add.
StyledText ArticleStorage(View line) {
    size_t marks = 0;
    for (char16_t c : line) marks += c == kSenseMark || c == kCloseLenticular || c == kEntryMark;
    return StyledText(static_cast<int32_t>(line.size() + 8 * marks + 2000));
}

// Skips one "；", then one ":", then one blank, where present.
size_t SkipTranslationLead(View line, size_t at) {
    if (at < line.size() && line[at] == kFullwidthSemicolon) ++at;
    if (at < line.size() && line[at] == u':') ++at;
    if (at < line.size() && line[at] == u' ') ++at;
    return at;
}

// The article of the entry's line (without its leading U+25A0), written by `write`.
template <typename Write>
FormattedText FormatEntryLine(const CDictionary& dictionary, uint32_t index, Write write) {
    View line = EntrySpan(dictionary, index);
    if (line.empty()) return {};
    if (line[0] == kEntryMark) line.remove_prefix(1);
    StyledText text = ArticleStorage(line);
    if (!text.Allocated()) return {};
    StyledWriter out = text.Writer();
    write(line, out);
    out.Terminate();
    text.Finish(out);
    return FormattedText::Styled(std::move(text));
}

// Writes the headword at `line[0, end)` in the class its script gives, then a line feed.
void WriteHeadword(View headword, StyledWriter& out) {
    ScriptTally tally;
    for (char16_t c : headword) tally.Count(c);
    out.Append(headword, tally.Class());
    out.Put(u'\n', kClassPlain);
}

}  // namespace

View WithoutFirstSenseMark(View translation) {
    size_t at = 0;
    while (at < translation.size() && translation[at] <= u' ') ++at;
    return at < translation.size() && translation[at] == kSenseMark ? translation.substr(at + 1) : translation;
}

FormattedText FormatArticleF8(const CDictionary& dictionary, uint32_t index) {
    return FormatEntryLine(dictionary, index, [](View line, StyledWriter& out) {
        size_t at = 0;
        while (at < line.size() && line[at] != u'{' && !ColonBlankAt(line, at)) ++at;
        WriteHeadword(line.substr(0, at), out);
        if (at < line.size() && line[at] == u'{') {
            for (; at < line.size() && !ColonBlankAt(line, at); ++at) {
                const char16_t c = line[at];
                out.Put(c == u'{' ? kOpenLenticular : c == u'}' ? kCloseLenticular : c, kClassPlain);
            }
            out.Put(u'\n', kClassPlain);
        }
        AppendNumberedSenses(line.substr(SkipTranslationLead(line, at)), out);
    });
}

FormattedText FormatArticleF7(const CDictionary& dictionary, uint32_t index) {
    return FormatEntryLine(dictionary, index, [](View line, StyledWriter& out) {
        const size_t nul = line.find(u'\0');
        WriteHeadword(line.substr(0, nul), out);
        // The attribute character follows the NUL; a line that ends there has no translation.
        size_t at = nul == View::npos || nul + 2 > line.size() ? line.size() : nul + 2;
        if (at < line.size() && (line[at] == kOpenLenticular || line[at] == u'{')) {
            const size_t close = line.find(kCloseLenticular, at);
            const size_t end = close == View::npos ? line.size() : close + 1;
            out.Append(line.substr(at, end - at), kClassPlain);
            out.Put(u'\n', kClassPlain);
            at = end;
        }
        AppendNumberedSenses(line.substr(SkipTranslationLead(line, at)), out);
    });
}

int32_t GetColumnTextF8(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    if (columnKind != 4 && columnKind != 9) return GetColumnTextDefault(dictionary, index, cell, columnKind);
    const View line = EntrySpan(dictionary, index);
    StyledWriter out = cell.Writer();
    bool inBracket = false, afterSemicolon = false, bracketed = false;
    size_t at = line.empty() ? 0 : 1;
    for (; at < line.size() && !ColonBlankAt(line, at); ++at) {
        const char16_t c = line[at];
        if (c == u'{') {
            out.Put(kOpenLenticular, kClassPlain);
            inBracket = true;
        } else if (c == u'}') {
            out.Put(kCloseLenticular, kClassPlain);
            inBracket = false;
        } else if (c == kFullwidthSemicolon) {
            afterSemicolon = true;
        } else if (inBracket || afterSemicolon) {
            if (afterSemicolon && (c == kOpenLenticular || c == u'\u300A')) bracketed = true;
            out.Put(c, kClassPlain);
        }
    }
    if (afterSemicolon && !bracketed) {
        if (out.Length() > cell.length && out.UnitAt(out.Length() - 1) == u' ') out.CutTo(out.Length() - 1);
        out.Append(u"\u2015\u3000", kClassPlain);
    }
    if (at < line.size() && line[at] == u':') ++at;
    if (at < line.size() && line[at] == u' ') ++at;
    out.Append(line.substr(at), kClassPlain);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}
