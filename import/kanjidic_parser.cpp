// The KANJIDIC line parser: tokens, the parameter text, readings with their
// dash flags, meanings.
#include "import/kanjidic_parser.h"

namespace {

bool IsSeparator(char16_t c) { return c <= 0x20 || c == 0xFEFF; }
bool IsKatakana(char16_t c) { return c >= 0x30A1 && c <= 0x30FE; }
bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309E; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The next token from `at`: [begin, end); a "{" token runs to its "}" or to
// the end of the line.
bool NextToken(std::u16string_view line, size_t& at, size_t& begin, size_t& end) {
    while (at < line.size() && IsSeparator(line[at])) ++at;
    if (at >= line.size()) return false;
    begin = at;
    if (line[at] == u'{') {
        const size_t close = line.find(u'}', at);
        end = close == line.npos ? line.size() : close + 1;
    } else {
        end = at;
        while (end < line.size() && !IsSeparator(line[end])) ++end;
    }
    at = end;
    return true;
}

// One code point at or above U+3000, a surrogate pair included.
bool IsOneKanji(std::u16string_view token) {
    if (token.size() == 1) return token[0] >= 0x3000 && !IsHighSurrogate(token[0]) && !IsLowSurrogate(token[0]);
    return token.size() == 2 && IsHighSurrogate(token[0]) && IsLowSurrogate(token[1]);
}

void AddParameter(std::u16string& parameters, std::u16string_view name, std::u16string_view value) {
    value = value.substr(0, kMaxParameterValueUnits);
    const size_t separator = parameters.empty() ? 0 : 1;
    if (parameters.size() + separator + name.size() + value.size() > kMaxParameterUnits) return;
    if (separator) parameters += u' ';
    parameters.append(name).append(value);
}

const char16_t* ParameterName(char16_t code) {
    switch (code) {
    case u'U': return u"u=";
    case u'B': return u"r=";
    case u'S': return u"s=";
    case u'G': return u"g=";
    default: return nullptr;
    }
}

void AddPart(std::vector<SourcePart>& parts, uint32_t kind, size_t offset, size_t length, uint32_t flags = 0) {
    parts.push_back({kind, flags, static_cast<int32_t>(offset), static_cast<int32_t>(length)});
}

}  // namespace

bool ParseKanjidicLine(std::u16string_view line, KanjidicLine& out) {
    out.parts.clear();
    out.parameters.clear();
    size_t at = 0, begin = 0, end = 0;
    if (!NextToken(line, at, begin, end) || !IsOneKanji(line.substr(begin, end - begin))) return false;
    AddPart(out.parts, kKanjidicArticle, 0, line.size());
    AddPart(out.parts, kKanjidicKanji, begin, end - begin);
    bool meaningSeen = false;
    while (NextToken(line, at, begin, end)) {
        const std::u16string_view token = line.substr(begin, end - begin);
        const char16_t first = token[0];
        if (first >= u'0' && first <= u'9') {
            AddParameter(out.parameters, u"j=", token);
        } else if (const char16_t* name = ParameterName(first)) {
            AddParameter(out.parameters, name, token.substr(1));
        } else if (first == u'{') {
            const size_t length = token.back() == u'}' && token.size() > 1 ? token.size() - 2 : token.size() - 1;
            if (!meaningSeen) AddPart(out.parts, kKanjidicFirstMeaning, begin + 1, length);
            AddPart(out.parts, kKanjidicMeaning, begin + 1, length);
            meaningSeen = true;
        } else {
            const bool leadingDash = first == u'-';
            const size_t kana = leadingDash ? 1 : 0;
            if (kana >= token.size() || !(IsKatakana(token[kana]) || IsHiragana(token[kana]))) continue;
            const bool trailingDash = token.size() > kana + 1 && token.back() == u'-';
            const uint32_t flags = (leadingDash ? kReadingAfterDash : 0) | (trailingDash ? kReadingBeforeDash : 0);
            const uint32_t kind = IsKatakana(token[kana]) ? kKanjidicOnReading : kKanjidicKunReading;
            AddPart(out.parts, kind, begin + kana, token.size() - kana - (trailingDash ? 1 : 0), flags);
        }
    }
    return true;
}

bool IsKanjidicCommentOrBlank(std::u16string_view line) {
    size_t at = 0, begin = 0, end = 0;
    return !NextToken(line, at, begin, end) || line[begin] == u'#';
}

void ParseKanjidicHeaderLine(std::u16string_view line, std::vector<SourcePart>& parts) {
    parts.clear();
    if (line.size() <= 10) return;
    const size_t name = FindFirstWordNoCase(line, {u"KANJIDIC"});
    const size_t copyright = FindFirstWordNoCase(line, {u"Copyright", u"(C)"});
    if (name != line.npos) {
        const size_t nameEnd = FindFirstWordNoCase(line, {u"Copyright", u"(C)"}, name);
        AddPart(parts, kEdictName, name, (nameEnd == line.npos ? line.size() : nameEnd) - name);
    }
    if (copyright != line.npos) AddPart(parts, kEdictCopyright, copyright, line.size() - copyright);
}
