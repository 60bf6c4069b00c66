// Parallel-text book groups and Tatoeba records: columns, articles and the
// Tatoeba index text.
#include "article/book_format.h"

#include <string_view>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/examples_format.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"

namespace {

using View = std::u16string_view;

uint32_t BookLineClass(uint32_t kind) {
    switch (kind) {
    case 4: return kClassHeadword;
    case 3: case 11: case 12: return kClassReading;
    default: return kClassPlain;
    }
}

}  // namespace

int32_t GetColumnTextF12(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    uint32_t wanted = 0;
    uint32_t colourClass = kClassPlain;
    switch (columnKind) {
    case 3: case 27: wanted = 1; colourClass = kClassHeadword; break;
    case 4: case 28: wanted = 2; break;
    case 29: wanted = 3; break;
    default: return cell.length;
    }
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return cell.length;
    const uint32_t end = EntryEnd(dictionary, index);
    const uint32_t element = index + wanted < end ? index + wanted : end - 1;
    StyledWriter out = cell.Writer();
    const int32_t start = out.Length();
    FormatNumberedField(dictionary, element, out);
    // Only the class: OR-ing the column kind's number in would set bold,
    // italic or grey bits that differ from column to column.
    out.ReplaceClass(start, colourClass);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}

FormattedText FormatArticleF12(const CDictionary& dictionary, uint32_t index) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return {};
    const uint32_t end = EntryEnd(dictionary, index);
    const DictionaryElement* elements = dictionary.Elements();
    const View hint = UIStringTable[kBookHintSlot] ? View(UIStringTable[kBookHintSlot]) : View();
    size_t units = hint.size() + 200;
    for (uint32_t i = index + 1; i < end; ++i) units += static_cast<size_t>(elements[i].length) * 3 + 1;
    StyledText buffer(static_cast<int32_t>(units));
    if (!buffer.Allocated()) return {};
    StyledWriter out = buffer.Writer();
    for (uint32_t i = index + 1; i < end && out.Room() >= 4; ++i) {
        const int32_t start = out.Length();
        FormatNumberedField(dictionary, i, out);
        const uint32_t lineClass = i == index + 1 ? kClassHeadword : BookLineClass(elements[i].kind);
        if (i == index + 1) out.ReplaceClass(start, kClassHeadword);
        else out.DefaultClass(start, lineClass);
        out.Put(u'\n', lineClass);
    }
    out.Append(hint, kClassGrey);
    out.Terminate();
    buffer.Finish(out);
    return FormattedText::Styled(std::move(buffer));
}

FormattedText FormatArticleF13(const CDictionary& dictionary, uint32_t index) {
    return FormatRawRecord(dictionary, index, [](View text, StyledWriter& out) {
        bool first = true;
        for (size_t at = 0; at < text.size();) {
            size_t lineEnd = text.find(u'\n', at);
            if (lineEnd == View::npos) lineEnd = text.size();
            const View line = text.substr(at, lineEnd - at);
            // A line with fewer than two tabs has no sentence.
            const size_t tab = line.find(u'\t');
            const size_t second = tab == View::npos ? View::npos : line.find(u'\t', tab + 1);
            const uint32_t lineClass = first ? kClassHeadword : kClassPlain;
            if (second != View::npos) out.Append(line.substr(second + 1), lineClass);
            out.Put(u'\n', lineClass);
            first = false;
            at = lineEnd + 1;
        }
    });
}

int32_t PrepareIndexTextF13(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits) {
    if (out == nullptr || text == nullptr || length <= 0 || capacity <= 0) return 0;
    // Field classes: identifier, language, sentence (and tabs); line 0, later lines.
    constexpr uint16_t kClasses[2][3] = {{0x202, 0x082, 0x002}, {0x218, 0x098, 0x018}};
    int32_t written = 0, line = 0, field = 0;
    for (int32_t at = 0; at < length && written < capacity; ++at) {
        char16_t c = text[at];
        uint16_t fieldClass = kClasses[line > 0][field];
        if (c == u'\t') {
            fieldClass = kClasses[line > 0][2];
            if (field < 2) ++field;
            c = u' ';
        } else if (c == u'\n') {
            ++line;
            field = 0;
            c = u' ';
        }
        if (c == u' ' && (written == 0 || out[written - 1] == u' ')) continue;
        out[written] = c;
        if (bits) bits[written] = fieldClass;
        ++written;
    }
    if (written > 0 && out[written - 1] < 33) --written;
    return written;
}
