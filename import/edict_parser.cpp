// The EDICT line parser: headword and reading lists, grammar groups, senses,
// and the header's name and copyright.
#include "import/edict_parser.h"

#include <algorithm>

namespace {

constexpr char16_t kFullwidthQuestion = 0xFF1F;
constexpr char16_t kIdeographicSpace = 0x3000;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsOpenBracket(char16_t c) { return c == u'[' || c == 0x3010; }
bool IsCloseBracket(char16_t c) { return c == u']' || c == 0x3011; }

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void AddPart(std::vector<SourcePart>& parts, uint32_t kind, size_t offset, size_t length, uint32_t flags = 0) {
    parts.push_back({kind, flags, static_cast<int32_t>(offset), static_cast<int32_t>(length)});
}

// A headword or reading list: pieces between ";", each a main text (trailing
// blanks, U+3000 and controls cut, leading blanks kept) and a note from its
// first "(" on (trailing blanks cut).
void AddList(std::u16string_view line, size_t begin, size_t end, uint32_t kind, uint32_t noteKind,
             std::vector<SourcePart>& parts) {
    for (size_t piece = begin; piece <= end;) {
        size_t pieceEnd = piece;
        while (pieceEnd < end && line[pieceEnd] != u';') ++pieceEnd;
        size_t note = piece;
        while (note < pieceEnd && line[note] != u'(') ++note;
        size_t mainEnd = note;
        while (mainEnd > piece && (line[mainEnd - 1] <= 0x20 || line[mainEnd - 1] == kIdeographicSpace)) --mainEnd;
        if (mainEnd > piece) AddPart(parts, kind, piece, mainEnd - piece);
        size_t noteEnd = pieceEnd;
        while (noteEnd > note && IsBlank(line[noteEnd - 1])) --noteEnd;
        if (noteEnd > note) AddPart(parts, noteKind, note, noteEnd - note);
        piece = pieceEnd + 1;
    }
}

// The end (after ")") of the group opening at `open`, nested parentheses
// counted; npos when it does not close within the line.
size_t GroupEnd(std::u16string_view line, size_t open) {
    int32_t depth = 0;
    for (size_t i = open; i < line.size(); ++i) {
        if (line[i] == u'(') ++depth;
        if (line[i] == u')' && --depth == 0) return i + 1;
    }
    return std::u16string_view::npos;
}

uint32_t GroupGrammarBits(std::u16string_view group) {
    uint32_t bits = 0;
    for (size_t i = 0; i < group.size(); ++i)
        if (group[i] == u'(' || group[i] == u',') bits |= EdictGrammarBits(group.substr(i + 1));
    return bits;
}

void AddSenses(std::u16string_view line, size_t from, std::vector<SourcePart>& parts) {
    size_t at = from;
    while (at < line.size() && IsBlank(line[at])) ++at;
    const size_t groupsBegin = at;
    uint32_t bits = 0;
    while (at + 1 < line.size() && line[at] == u'(' && !IsDigit(line[at + 1])) {
        const size_t end = GroupEnd(line, at);
        if (end == std::u16string_view::npos) break;
        bits |= GroupGrammarBits(line.substr(at, end - at));
        at = end;
        while (at < line.size() && IsBlank(line[at])) ++at;
    }
    parts.front().flags |= bits;
    if (at > groupsBegin) AddPart(parts, kEdictGrammar, groupsBegin, at - groupsBegin);
    for (size_t piece = at; piece <= line.size();) {
        size_t end = piece;
        while (end < line.size() && line[end] != u'/') ++end;
        const std::u16string_view text = line.substr(piece, end - piece);
        if (std::any_of(text.begin(), text.end(), [](char16_t c) { return !IsBlank(c); })) {
            const uint32_t kind = text == u"(P)"                                 ? kEdictGrammar
                                  : text.size() >= 5 && StartsWith(text, u"EntL") ? kEdictEntryNumber
                                                                                 : kEdictSense;
            AddPart(parts, kind, piece, text.size());
        }
        piece = end + 1;
    }
}

}  // namespace

uint32_t EdictGrammarBits(std::u16string_view code) {
    // Every code with bits begins with one of these letters.
    if (code.empty() || (code[0] != u'v' && code[0] != u'n' && code[0] != u'a')) return 0;
    const auto followedBy = [&](std::u16string_view word, std::u16string_view next) {
        return StartsWith(code, word) && code.size() > word.size() && next.find(code[word.size()]) != next.npos;
    };
    if (StartsWith(code, u"v1")) return 0x801;
    if (StartsWith(code, u"v5")) return 0x401;
    if (StartsWith(code, u"vi")) return 0x201;
    if (StartsWith(code, u"vt")) return 0x101;
    // Today's tags of the same classes: suru verbs, kuru, i- and na-adjectives.
    if (StartsWith(code, u"vs")) return 0x1001;
    if (StartsWith(code, u"vk")) return 0x2001;
    if (followedBy(u"n", u"),-")) return 0x4;
    if (StartsWith(code, u"adv")) return 0x10;
    if (StartsWith(code, u"adj-na")) return 0x102;
    if (StartsWith(code, u"adj-i")) return 0x202;
    if (StartsWith(code, u"adj") && !followedBy(u"adj", u"-")) return 0x202;
    return 0;
}

bool IsEdictHeaderLine(std::u16string_view line) {
    if (line.empty()) return false;
    if (line[0] == kFullwidthQuestion || line[0] == u'?') return true;
    return line.size() > 1 && line[0] == kIdeographicSpace && line[1] == kFullwidthQuestion;
}

bool ParseEdictArticleLine(std::u16string_view line, std::vector<SourcePart>& parts, bool articleOnly) {
    parts.clear();
    const size_t slash = line.find(u'/');
    if (slash == line.npos) return false;
    // Brackets count only before the first "/": a gloss may hold its own.
    size_t open = line.npos, close = line.npos;
    for (size_t i = 0; i < slash; ++i) {
        if (open == line.npos && IsOpenBracket(line[i])) open = i;
        if (close == line.npos && IsCloseBracket(line[i])) close = i;
    }
    if ((open == line.npos) != (close == line.npos) || (open != line.npos && close < open)) return false;
    AddPart(parts, kEdictArticle, 0, line.size());
    if (articleOnly) return true;
    if (open == line.npos) {
        AddList(line, 0, slash, kEdictReading, kEdictReadingNote, parts);
    } else {
        AddList(line, open + 1, close, kEdictReading, kEdictReadingNote, parts);
        AddList(line, 0, open, kEdictWord, kEdictWordNote, parts);
    }
    AddSenses(line, slash + 1, parts);
    return true;
}

size_t FindFirstWordNoCase(std::u16string_view text, std::initializer_list<std::u16string_view> words, size_t from) {
    for (size_t i = from; i < text.size(); ++i)
        for (std::u16string_view word : words) {
            if (text.size() - i < word.size()) continue;
            size_t k = 0;
            while (k < word.size() && LowerAscii(text[i + k]) == LowerAscii(word[k])) ++k;
            if (k == word.size()) return i;
        }
    return text.npos;
}

void ParseEdictHeaderLine(std::u16string_view line, std::vector<SourcePart>& parts) {
    parts.clear();
    if (line.size() < 11) return;
    const size_t name = FindFirstWordNoCase(line, {u"EDICT", u"ENAMDICT", u"JR-EDICT"});
    const size_t copyright = FindFirstWordNoCase(line, {u"Copyright", u"(C)"});
    if (name != line.npos) {
        const size_t nameEnd = FindFirstWordNoCase(line, {u"Copyright", u"(C)"}, name);
        AddPart(parts, kEdictName, name, (nameEnd == line.npos ? line.size() : nameEnd) - name);
    }
    if (copyright != line.npos) AddPart(parts, kEdictCopyright, copyright, line.size() - copyright);
}
