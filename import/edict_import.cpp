// ImportEdict: EDICT lines into the dictionary's elements, pointing into its
// text buffer.
#include "import/edict_import.h"

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/compile_report.h"

#include <algorithm>
#include <cstring>

namespace source_lines {

namespace {
constexpr uint32_t kMinimumTextBytes = 14;
}  // namespace

int32_t BeginImport(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    uint32_t dictionaryFlag) {
    if (text == nullptr || sizeInBytes < kMinimumTextBytes) return -1;
    const int32_t units = static_cast<int32_t>(sizeInBytes / 2);
    // Room first, then the bytes: the text may lie at any address.
    const int32_t start = dictionary.AppendText(units, nullptr);
    if (start < 0) return -1;
    std::memcpy(dictionary.MutableText() + start, text, static_cast<size_t>(units) * 2);
    dictionary.SetTextLength(start + units);
    dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | dictionaryFlag;
    if ((mode == 0 || mode == kLaterSourcePart) && dictionary.AddElement(1) == nullptr) return -1;
    return start;
}

Line NextLine(std::u16string_view buffer, int32_t from) {
    Line line;
    size_t end = buffer.find(u'\n', static_cast<size_t>(from));
    line.hasLineFeed = end != buffer.npos;
    if (!line.hasLineFeed) end = buffer.size();
    line.next = static_cast<int32_t>(end) + (line.hasLineFeed ? 1 : 0);
    line.begin = from;
    line.end = static_cast<int32_t>(end);
    while (line.begin < line.end && buffer[line.begin] == 0xFEFF) ++line.begin;
    while (line.end > line.begin && (buffer[line.end - 1] == u'\r' || buffer[line.end - 1] == 0xFEFF)) --line.end;
    return line;
}

int32_t AddParts(CDictionary& dictionary, int32_t lineBegin, std::span<const SourcePart> parts) {
    const int32_t first = dictionary.ElementCount();
    for (const SourcePart& part : parts) {
        DictionaryElement* element = dictionary.AddElement(part.kind);
        if (element == nullptr) return -1;
        element->flags = part.flags;
        element->text = dictionary.Text() + lineBegin + part.offset;
        element->length = part.length;
        if (part.kind == kElementEntryStart) {
            element->begin = element->text;
            element->end = element->text + (part.length > 0 ? part.length - 1 : 0);
        }
    }
    return first;
}

int32_t AddSpan(CDictionary& dictionary, uint32_t kind, const char16_t* text, int32_t length) {
    DictionaryElement* element = dictionary.AddElement(kind);
    if (element == nullptr) return -1;
    element->text = text;
    element->length = length;
    return dictionary.ElementCount() - 1;
}

int32_t AddArticleSpan(CDictionary& dictionary, const char16_t* text, int32_t length) {
    const int32_t article = AddSpan(dictionary, kElementEntryStart, text, length);
    if (article < 0) return -1;
    DictionaryElement& element = dictionary.Elements()[article];
    element.begin = text;
    element.end = text + (length > 0 ? length - 1 : 0);
    return article;
}

int32_t ReportArticles(CDictionary& dictionary, int32_t first, const ImportCallbacks& callbacks) {
    if (callbacks.onRecord == nullptr) return 1;
    for (int32_t e = dictionary.ElementCount() - 1; e >= first; --e) {
        const uint32_t kind = dictionary.Elements()[e].kind;
        if (kind != kElementEntryStart && (kind < kElementName || kind > kElementComment)) continue;
        if (callbacks.onRecord(callbacks.context, dictionary, e) == 0) return 0;
    }
    return 1;
}

void ReportSkippedLine(int32_t mode, const ImportCallbacks& callbacks) {
    if ((mode == 0 || mode == kLaterSourcePart) && callbacks.onSkippedLine != nullptr)
        callbacks.onSkippedLine(callbacks.context);
}

void ReportSourceNotWhole(int32_t mode, const ImportCallbacks& callbacks, std::u16string_view reason) {
    if ((mode == 0 || mode == kLaterSourcePart) && callbacks.onSourceNotWhole != nullptr)
        callbacks.onSourceNotWhole(callbacks.context, reason);
}

int32_t ReportProgress(int32_t mode, int32_t done, int32_t total, const ImportCallbacks& callbacks) {
    if ((mode != 0 && mode != kLaterSourcePart) || callbacks.progress == nullptr) return 1;
    return callbacks.progress(callbacks.context, done, total) != 0 ? 1 : 0;
}

}  // namespace source_lines

namespace {

// A line of a whole source that holds line ends of CR alone: the lines glued
// into it are no article each, and one article of all their senses would be
// none of them. The count of those lines; 0 for a line of no such CR.
int64_t GluedLines(std::u16string_view line) {
    if (line.find(u'\r') == line.npos) return 0;
    int64_t pieces = 0;
    for (size_t at = 0; at <= line.size();) {
        size_t end = line.find(u'\r', at);
        if (end == line.npos) end = line.size();
        if (end > at) ++pieces;
        at = end + 1;
    }
    return pieces;
}

// An article line ends with the "/" after its last sense: a source's last
// line without it was cut inside (a header line, with its slashes blanked,
// is not judged).
bool EndsItsSenses(std::u16string_view line) {
    while (!line.empty() && (line.back() == u' ' || line.back() == u'\t')) line.remove_suffix(1);
    return !line.empty() && (line.back() == u'/' || line.back() == 0xFF0F);
}

// Header words are matched in a line whose slashes are blanks.
void BlankHeaderSlashes(CDictionary& dictionary, const source_lines::Line& line) {
    char16_t* text = dictionary.MutableText();
    for (int32_t i = line.begin; i < line.end; ++i)
        if (text[i] == u'/' || text[i] == 0xFF0F) text[i] = u' ';
}

}  // namespace

int32_t ImportEdict(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks) {
    using namespace source_lines;
    const int32_t start = BeginImport(dictionary, text, sizeInBytes, mode, kFormatWords);
    if (start < 0) return 0;

    const int32_t end = dictionary.TextLength();
    const int32_t total = end - start;
    // A stored article is never a header, whatever it begins with.
    bool headerPossible = mode == 0;
    std::vector<SourcePart> parts;
    for (int32_t at = start; at < end;) {
        const Line line = NextLine({dictionary.Text(), static_cast<size_t>(end)}, at);
        at = line.next;
        const bool wholeSource = mode == 0 || mode == kLaterSourcePart;
        const std::u16string_view view(dictionary.Text() + line.begin, static_cast<size_t>(line.end - line.begin));
        if (const int64_t glued = wholeSource ? GluedLines(view) : 0; glued > 0) {
            for (int64_t i = 0; i < glued; ++i) ReportSkippedLine(mode, callbacks);
            headerPossible = false;
        } else if (wholeSource && !line.hasLineFeed && !view.empty() && !(headerPossible && IsEdictHeaderLine(view)) &&
                   !EndsItsSenses(view)) {
            const int64_t number = callbacks.firstLine + std::count(dictionary.Text() + start, dictionary.Text() + line.begin, u'\n');
            ReportSourceNotWhole(mode, callbacks, LastLineCutText(number));
        } else if (line.end > line.begin) {
            const bool headerLine = headerPossible && IsEdictHeaderLine(view);
            if (headerLine) {
                BlankHeaderSlashes(dictionary, line);
                ParseEdictHeaderLine(view, parts);
            } else {
                ParseEdictArticleLine(view, parts, callbacks.wholeEntries);
            }
            headerPossible = false;
            if (parts.empty() && !headerLine) ReportSkippedLine(mode, callbacks);
            const int32_t first = AddParts(dictionary, line.begin, parts);
            if (first < 0 || ReportArticles(dictionary, first, callbacks) == 0) return 0;
        }
        if (ReportProgress(mode, at - start, total, callbacks) == 0) return 0;
    }
    return 1;
}
