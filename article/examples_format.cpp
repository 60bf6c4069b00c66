// Examples records: article, columns and index text.
#include "article/examples_format.h"

#include "article/display_attributes.h"
#include "article/word_article.h"
#include "dictionary/dictionary.h"

namespace {

using View = std::u16string_view;

// Length of `text` from `at` up to the first of `stops`.
size_t RunTo(View text, size_t at, View stops) {
    const size_t end = text.find_first_of(stops, at);
    return (end == View::npos ? text.size() : end) - at;
}

// A line lead such as "B: ": a Latin letter, a colon and a blank.
bool HasLetterLead(View text, size_t at) {
    if (at + 2 >= text.size() || text[at + 1] != u':' || text[at + 2] != u' ') return false;
    return (text[at] >= u'A' && text[at] <= u'Z') || (text[at] >= u'a' && text[at] <= u'z');
}

}  // namespace

std::u16string_view RawRecordText(const CDictionary& dictionary) {
    const uint32_t size = dictionary.RecordSize();
    const uint8_t* record = dictionary.RecordData();
    if (record == nullptr || size < 12) return {};
    View text(reinterpret_cast<const char16_t*>(record + 10), (size - 10) / 2);
    return text.substr(0, text.find(u'\0'));
}

FormattedText FormatArticleF11(const CDictionary& dictionary, uint32_t index) {
    return FormatRawRecord(dictionary, index, [](View text, StyledWriter& out) {
        size_t at = text.starts_with(u"A: ") ? 3 : 0;
        size_t run = RunTo(text, at, u"\t#\n");
        out.Append(text.substr(at, run), kClassHeadword);
        out.Put(u'\n', kClassHeadword);
        at += run;
        if (at < text.size() && text[at] == u'\t') {
            run = RunTo(text, ++at, u"#\n");
            out.Append(text.substr(at, run), kClassPlain);
        }
        out.Append(u"\n\n", kClassPlain);
        for (at = text.find(u'\n', at); at != View::npos && at + 1 < text.size(); at = text.find(u'\n', at)) {
            ++at;
            if (HasLetterLead(text, at)) at += 3;
            run = RunTo(text, at, u"#\n");
            out.Append(text.substr(at, run), kClassGrey);
            out.Put(u'\n', kClassGrey);
            at += run;
        }
    });
}

int32_t GetColumnTextF11(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    return GetColumnTextDefault(dictionary, index, cell, columnKind == 4 ? 5 : columnKind);
}

int32_t PrepareIndexTextF11(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits) {
    if (out == nullptr || text == nullptr || length <= 0 || capacity <= 0) return 0;
    const View input(text, static_cast<size_t>(length));
    int32_t written = 0;
    size_t at = length >= 4 && input.starts_with(u"A: ") ? 3 : 0;
    bool comment = false, inBrackets = false;
    uint16_t pendingStart = 0;
    for (; at < input.size() && written < capacity; ++at) {
        const char16_t c = input[at];
        const uint16_t inBits = bits ? bits[at] : 0;
        pendingStart |= inBits & kFieldElementStart;
        char16_t kept = c;
        if (c == u'\n') {
            comment = false;
            if (HasLetterLead(input, at + 1)) at += 3;
            if (written == 0 || out[written - 1] == u' ') continue;
            kept = u' ';
        } else if (comment || c == u'#') {
            comment = true;
            continue;
        } else if (c == u' ' && (written == 0 || out[written - 1] == u' ')) {
            continue;
        }
        if (c == u'(') inBrackets = true;
        if (c == u')') inBrackets = false;
        uint16_t outBits = static_cast<uint16_t>(inBits & ~kFieldElementStart) | pendingStart;
        if (c == u';') outBits |= kFieldSemicolon;
        if (c == u',') outBits |= kFieldComma;
        if (inBrackets) outBits |= kFieldInBrackets;
        pendingStart = 0;
        out[written] = kept;
        if (bits) bits[written] = outBits;
        ++written;
    }
    if (written > 0 && out[written - 1] < 33) --written;
    return written;
}
