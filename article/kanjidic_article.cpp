// KANJIDIC article text. A line is cut into tokens at units up to U+0020; a
// token that begins with "{" runs to its "}" (or the end of the line) and may
// hold blanks. Token 0 is the kanji; the rest are readings, meanings and
// fields named by their leading code letters.
#include "article/kanjidic_article.h"

#include <memory>
#include <new>

#include "article/display_attributes.h"

namespace {

constexpr char16_t kMiddleDot = u'\u30FB';

struct Token {
    int32_t start;
    int32_t length;
};

// Fields in the order they are shown; `line` 1 to 4. Codes S, Y and M join
// their further values to the first with ",".
struct FieldLabel {
    std::u16string_view code;
    int line;
    std::u16string_view label;
};

constexpr FieldLabel kFields[] = {
    {u"B", 1, u"Bushu:"},
    {u"C", 1, u"Classic:"},
    {u"S", 1, u"Strokes:"},
    {u"W", 1, u"Korean:"},
    {u"U", 2, u"Unicode:"},
    {u"Y", 2, u"PinYin:"},
    {u"Q", 2, u"Four Corners:"},
    {u"P", 2, u"SKIP:"},
    {u"G", 3, u"Grade:"},
    {u"F", 3, u"Frequency:"},
    {u"N", 4, u"Nelson:"},
    {u"V", 4, u"Haig:"},
    {u"H", 4, u"Halpern:"},
    {u"I", 4, u"Spahn-Hadamitzky:"},
    {u"M", 4, u"Morohashi:"},
    {u"E", 4, u"Henshall:"},
    {u"K", 4, u"Gakken:"},
    {u"L", 4, u"Heisig:"},
    {u"O", 4, u"O'Neill:"},
    {u"DR", 4, u"De Roo:"},
    {u"DK", 4, u"Halpern Learners:"},
    {u"DO", 4, u"O'Neill Essential Kanji:"},
    {u"DS", 4, u"Sakade:"},
    {u"DT", 4, u"Kask:"},
    {u"DC", 4, u"Crowley:"},
    {u"DJ", 4, u"Nishiguchi-Kono:"},
    // KANJIDIC's own documentation and kanjidic2 give DG to the Kodansha
    // Compact Kanji Guide and DB to Japanese For Busy People.
    {u"DG", 4, u"Kodansha Compact Kanji Guide:"},
    {u"DB", 4, u"Japanese For Busy People:"},
};

bool IsKatakana(char16_t c) { return c >= 0x30A1 && c <= 0x30FE; }
bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309E; }
bool IsAsciiUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }

// The unit that says what kind of reading a token is: its first, or its
// second when the first is "-".
char16_t ReadingLead(std::u16string_view token) {
    if (token.empty()) return 0;
    if (token[0] == u'-') return token.size() > 1 ? token[1] : 0;
    return token[0];
}

// The field code of a token: two letters for "D" codes, else one letter;
// empty for tokens that are not fields.
std::u16string_view FieldCode(std::u16string_view token) {
    if (token.empty() || !IsAsciiUpper(token[0])) return {};
    if (token[0] == u'D' && token.size() >= 2 && IsAsciiUpper(token[1])) return token.substr(0, 2);
    return token.substr(0, 1);
}

bool JoinsRepeats(std::u16string_view code) { return code == u"S" || code == u"Y" || code == u"M"; }

class KanjidicLine {
public:
    KanjidicLine(std::u16string_view line, std::unique_ptr<Token[]> tokens, int32_t tokenRoom)
        : line_(line), tokens_(std::move(tokens)) {
        Cut(tokenRoom);
    }

    int32_t Count() const { return count_; }
    std::u16string_view operator[](int32_t i) const {
        return line_.substr(static_cast<size_t>(tokens_[i].start), static_cast<size_t>(tokens_[i].length));
    }
    // The first token equal to `text` after the kanji, or Count().
    int32_t Find(std::u16string_view text) const {
        for (int32_t i = 1; i < count_; ++i)
            if ((*this)[i] == text) return i;
        return count_;
    }

private:
    void Cut(int32_t room) {
        size_t i = 0;
        while (i < line_.size() && count_ < room) {
            if (line_[i] <= 0x20) {
                ++i;
                continue;
            }
            size_t start = i;
            if (line_[i] == u'{') {
                while (i < line_.size() && line_[i] != u'}') ++i;
                if (i < line_.size()) ++i;   // the closing brace belongs to the token
            } else {
                while (i < line_.size() && line_[i] > 0x20) ++i;
            }
            tokens_[count_++] = {static_cast<int32_t>(start), static_cast<int32_t>(i - start)};
        }
    }

    std::u16string_view line_;
    std::unique_ptr<Token[]> tokens_;
    int32_t count_ = 0;
};

// The katakana (on) or hiragana (kun, name) reading tokens in [from, to),
// joined by the middle dot, and a line feed; `split` greys the part after a
// "." and drops the dot.
void WriteReadings(const KanjidicLine& tokens, int32_t from, int32_t to, bool katakana, bool split,
                   uint32_t colourClass, StyledWriter& out) {
    bool first = true;
    for (int32_t i = from; i < to; ++i) {
        std::u16string_view token = tokens[i];
        char16_t lead = ReadingLead(token);
        if (katakana ? !IsKatakana(lead) : !IsHiragana(lead)) continue;
        if (!first) out.Put(kMiddleDot, colourClass);
        first = false;
        uint32_t attribute = colourClass;
        for (char16_t c : token) {
            if (split && c == u'.') {
                attribute = WithGrey(colourClass);
                continue;
            }
            out.Put(c, attribute);
        }
    }
    out.Put(u'\n', colourClass);
}

void WriteMeanings(const KanjidicLine& tokens, StyledWriter& out) {
    int32_t meanings = 0;
    for (int32_t i = 1; i < tokens.Count(); ++i)
        if (tokens[i][0] == u'{') ++meanings;
    int32_t number = 0;
    for (int32_t i = 1; i < tokens.Count(); ++i) {
        std::u16string_view token = tokens[i];
        if (token[0] != u'{') continue;
        token.remove_prefix(1);
        if (!token.empty() && token.back() == u'}') token.remove_suffix(1);
        if (meanings >= 2) {
            out.AppendNumber(++number, kClassPlain);
            out.Append(u". ", kClassPlain);
        }
        out.Append(token, kClassPlain);
        out.Put(u'\n', kClassPlain);
    }
    out.Put(u'\n', kClassPlain);
}

// One line of labelled fields; the blank after its last field becomes the
// line feed, and a line without fields writes nothing.
void WriteFieldLine(const KanjidicLine& tokens, int line, StyledWriter& out) {
    int32_t lineStart = out.Length();
    for (const FieldLabel& field : kFields) {
        if (field.line != line) continue;
        bool joined = false;
        for (int32_t i = 1; i < tokens.Count(); ++i) {
            std::u16string_view token = tokens[i];
            if (FieldCode(token) != field.code) continue;
            std::u16string_view value = token.substr(field.code.size());
            if (joined && out.UnitAt(out.Length() - 1) == u' ') {
                out.CutTo(out.Length() - 1);   // the blank after the first value
                out.Put(u',', kClassPlain);
            } else {
                out.Append(field.label, kClassPlain);
            }
            out.Append(value, kClassPlain);
            out.Put(u' ', kClassPlain);
            joined = JoinsRepeats(field.code);
        }
    }
    if (line == 4) {
        // D codes without a label of their own, copied whole.
        for (int32_t i = 1; i < tokens.Count(); ++i) {
            std::u16string_view token = tokens[i];
            if (token[0] == u'D' && KanjidicFieldLabel(FieldCode(token)).empty()) {
                out.Append(token, kClassPlain);
                out.Put(u' ', kClassPlain);
            }
        }
    }
    if (out.Length() > lineStart && out.UnitAt(out.Length() - 1) == u' ') {
        out.CutTo(out.Length() - 1);
        out.Put(u'\n', kClassPlain);
    }
}

void WriteCrossReferences(const KanjidicLine& tokens, StyledWriter& out) {
    for (char16_t lead : {u'X', u'Z'}) {
        for (int32_t i = 1; i < tokens.Count(); ++i) {
            if (tokens[i][0] != lead) continue;
            out.Append(tokens[i], kClassPlain);
            out.Put(u' ', kClassPlain);
        }
    }
    out.Put(u'\n', kClassPlain);
}

}  // namespace

std::u16string_view KanjidicFieldLabel(std::u16string_view code) {
    for (const FieldLabel& field : kFields)
        if (field.code == code) return field.label;
    return {};
}

int32_t KanjidicArticleCapacity(int32_t lineLength) {
    if (lineLength < 0) lineLength = 0;
    // Every token adds at most a label, a separator and a meaning number to
    // its own units; there is at most one token per two units.
    int64_t tokens = lineLength / 2 + 1;
    int64_t capacity = static_cast<int64_t>(lineLength) * 3 + 600 + tokens * 40;
    return capacity > INT32_MAX ? INT32_MAX : static_cast<int32_t>(capacity);
}

int32_t FormatKanjidicLine(std::u16string_view line, StyledWriter& out) {
    size_t end = line.find(u'\0');
    if (end != std::u16string_view::npos) line = line.substr(0, end);
    int32_t start = out.Length();
    int32_t tokenRoom = static_cast<int32_t>(line.size() / 2 + 1);
    std::unique_ptr<Token[]> table(new (std::nothrow) Token[static_cast<size_t>(tokenRoom)]);
    if (!table) return 0;
    KanjidicLine tokens(line, std::move(table), tokenRoom);
    if (tokens.Count() == 0) return 0;

    // The kanji: one code point, a surrogate pair kept whole.
    std::u16string_view kanji = tokens[0];
    size_t kanjiUnits = kanji.size() >= 2 && kanji[0] >= 0xD800 && kanji[0] <= 0xDBFF ? 2 : 1;
    out.Append(kanji.substr(0, kanjiUnits), kClassHeadword);
    out.Put(u'\n', kClassHeadword);

    // "T1" divides kun readings from name readings; the radical names after
    // "T2" are shown with the readings they follow, as the RTF of the same
    // record shows them, so every output of the article carries them.
    int32_t names = tokens.Find(u"T1");
    WriteReadings(tokens, 1, tokens.Count(), true, false, kClassReading, out);
    WriteReadings(tokens, 1, names, false, true, kClassReading, out);
    if (names < tokens.Count()) WriteReadings(tokens, names + 1, tokens.Count(), false, false, kClassGreen, out);

    WriteMeanings(tokens, out);
    for (int line = 1; line <= 4; ++line) WriteFieldLine(tokens, line, out);
    WriteCrossReferences(tokens, out);
    out.Terminate();
    return out.Length() - start;
}
