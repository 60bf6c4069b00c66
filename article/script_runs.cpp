// Splitting plain text into alternating Latin and Japanese runs.
#include "article/script_runs.h"

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
    } else if (unit != u'\r') {
        out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
    }
}

void AppendRtfText(std::string& out, std::u16string_view text) {
    for (char16_t unit : text) AppendRtfUnit(out, unit);
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
                          int32_t twips) {
    std::string out = "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0\\fnil\\fcharset204 ";
    AppendRtfText(out, latinFace);
    out += ";}{\\f1\\fnil\\fcharset128 ";
    AppendRtfText(out, japaneseFace);
    out += ";}}\\fs" + std::to_string(twips / 10);
    for (const ScriptRun& run : SplitScriptRuns(text)) {
        if (run.length == 0) continue;
        out += run.japanese ? "\\f1 " : "\\f0 ";
        AppendRtfText(out, text.substr(static_cast<size_t>(run.start), static_cast<size_t>(run.length)));
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
