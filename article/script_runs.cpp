// Splitting plain text into alternating Latin and Japanese runs.
#include "article/script_runs.h"

#include "article/attribute_runs.h"
#include "article/editor_lines.h"

#include <algorithm>

namespace {

constexpr bool IsJapaneseUnit(char16_t unit) { return unit >= 0x3000; }

// One unit of plain text as RTF: the three special characters escaped,
// anything beyond ASCII as \uN with a "?" for readers without Unicode.
void AppendRtfUnit(std::string& out, char16_t unit) {
    if (unit == u'\\' || unit == u'{' || unit == u'}') {
        out += '\\';
        out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit == u'\n') {
        out += "\\par ";
    } else {
        out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
    }
}

// A CR LF pair, a lone CR and a lone LF each end one paragraph, as the
// control itself reads them.
void AppendRtfText(std::string& out, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')) AppendRtfUnit(out, u'\n');
        else if (text[i] != u'\r') AppendRtfUnit(out, text[i]);
    }
}

// One unit's look in the document: bold, italic and the colour table's
// entry (0: the control's own colour).
constexpr uint32_t kRunBold = 0x1;
constexpr uint32_t kRunItalic = 0x2;
constexpr int kRunColourShift = 4;

// The document of `text` whose unit i looks as `lookOf(i)` says, the runs of
// each script in its face; `colourTable` is "{\colortbl ...}" or empty.
template <class LookOf>
std::string RunsRtf(std::u16string_view text, std::u16string_view latinFace, std::u16string_view japaneseFace,
                    int32_t twips, std::string_view colourTable, LookOf lookOf) {
    std::string out = "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 ";
    AppendRtfText(out, latinFace);
    out += ";}{\\f1\\fnil\\fcharset128 ";
    AppendRtfText(out, japaneseFace);
    out += ";}}";
    out += colourTable;
    out += "\\fs" + std::to_string(twips / 10);
    uint32_t look = 0;
    for (const ScriptRun& run : SplitScriptRuns(text)) {
        if (run.length == 0) continue;
        out += run.japanese ? "\\f1" : "\\f0";
        const size_t end = static_cast<size_t>(run.start + run.length);
        for (size_t at = static_cast<size_t>(run.start); at < end;) {
            const uint32_t now = lookOf(at);
            if ((now ^ look) & kRunBold) out += now & kRunBold ? "\\b" : "\\b0";
            if ((now ^ look) & kRunItalic) out += now & kRunItalic ? "\\i" : "\\i0";
            if ((now ^ look) >> kRunColourShift) out += "\\cf" + std::to_string(now >> kRunColourShift);
            look = now;
            // A CR LF pair stays in one piece, or it would end two paragraphs.
            size_t same = at + 1;
            while (same < end && (lookOf(same) == now || (text[same] == u'\n' && text[same - 1] == u'\r'))) ++same;
            out += ' ';
            AppendRtfText(out, text.substr(at, same - at));
            at = same;
        }
    }
    out += "}";
    return out;
}

}  // namespace

ChangedSpan FindChangedSpan(std::u16string_view before, std::u16string_view now) {
    const size_t shorter = std::min(before.size(), now.size());
    size_t prefix = 0;
    while (prefix < shorter && before[prefix] == now[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    return {static_cast<int32_t>(prefix), static_cast<int32_t>(now.size() - suffix)};
}

std::string ScriptRunsRtf(std::u16string_view text, std::u16string_view latinFace, std::u16string_view japaneseFace,
                          int32_t twips, std::span<const uint16_t> attributes) {
    // Every unit past the attributes given is plain.
    return RunsRtf(text, latinFace, japaneseFace, twips, {}, [&](size_t unit) {
        const uint16_t bits = unit < attributes.size() ? attributes[unit] : uint16_t{0};
        return ((bits & kCharBold) ? kRunBold : 0) | ((bits & kCharItalic) ? kRunItalic : 0);
    });
}

std::string StyledArticleRtf(std::u16string_view text, std::span<const uint32_t> attributes,
                             std::u16string_view latinFace, std::u16string_view japaneseFace, int32_t twips) {
    // Entry k of the colour table is the k-th colour format of the view's
    // table; a class it does not list keeps the control's own colour (\cf0).
    std::string colours = "{\\colortbl ;";
    uint32_t colourEntry[16] = {};  // by colour class (bits 4-7)
    uint32_t entries = 0;
    for (const HighlightFormat& format : HighlightFormatTable) {
        if (format.effect != HighlightEffect::Colour) continue;
        colourEntry[(format.attribute >> 4) & 0xF] = ++entries;
        colours += "\\red" + std::to_string(format.red) + "\\green" + std::to_string(format.green) + "\\blue" +
                   std::to_string(format.blue) + ";";
    }
    colours += "}";
    uint32_t bold = 0, italic = 0;
    for (const HighlightFormat& format : HighlightFormatTable) {
        if (format.effect == HighlightEffect::Bold) bold |= format.attribute;
        if (format.effect == HighlightEffect::Italic) italic |= format.attribute;
    }
    return RunsRtf(text, latinFace, japaneseFace, twips, colours, [&](size_t unit) {
        const uint32_t word = unit < attributes.size() ? attributes[unit] : 0;
        return ((word & bold) ? kRunBold : 0) | ((word & italic) ? kRunItalic : 0) |
               colourEntry[(word >> 4) & 0xF] << kRunColourShift;
    });
}

std::vector<ScriptRun> SplitScriptRuns(std::u16string_view text) {
    std::vector<ScriptRun> runs;
    ScriptRun run;  // starts as a Latin run, even an empty one
    for (size_t i = 0; i < text.size(); ++i) {
        const bool japanese = IsJapaneseUnit(text[i]);
        if (japanese != run.japanese) {
            runs.push_back(run);
            run = ScriptRun{static_cast<int32_t>(i), 0, japanese};
        }
        ++run.length;
    }
    runs.push_back(run);
    return runs;
}
