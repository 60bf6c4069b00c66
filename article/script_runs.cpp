// Splitting plain text into alternating Latin and Japanese runs.
#include "article/script_runs.h"

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
    std::string out = "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 ";
    AppendRtfText(out, latinFace);
    out += ";}{\\f1\\fnil\\fcharset128 ";
    AppendRtfText(out, japaneseFace);
    out += ";}}\\fs" + std::to_string(twips / 10);
    // Every unit past the attributes given is plain.
    auto bitsAt = [&](size_t unit) { return unit < attributes.size() ? attributes[unit] : uint16_t{0}; };
    uint16_t bits = 0;
    for (const ScriptRun& run : SplitScriptRuns(text)) {
        if (run.length == 0) continue;
        out += run.japanese ? "\\f1" : "\\f0";
        const size_t end = static_cast<size_t>(run.start + run.length);
        for (size_t at = static_cast<size_t>(run.start); at < end;) {
            const uint16_t now = bitsAt(at);
            if ((now ^ bits) & kCharBold) out += now & kCharBold ? "\\b" : "\\b0";
            if ((now ^ bits) & kCharItalic) out += now & kCharItalic ? "\\i" : "\\i0";
            bits = now;
            size_t same = at + 1;
            while (same < end && bitsAt(same) == now) ++same;
            out += ' ';
            AppendRtfText(out, text.substr(at, same - at));
            at = same;
        }
    }
    out += "}";
    return out;
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
