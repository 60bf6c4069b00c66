// Kinds, classification, the check and the markup writer of edited lines.
#include "article/editor_lines.h"

#include "common/ui_text/ui_text.h"
#include "common/unicode/japanese_chars.h"

namespace {

// Interface-text slots of the check's messages.
enum EditorProblemSlot : int {
    kEmptyArticleSlot = 187,
    kHeadwordMissedSlot = 188,
    kReadingMissedSlot = 189,
    kKanjiMissedSlot = 190,
    kTranslationMissedSlot = 191,
    kTwoHeadwordsSlot = 192,
};

bool IsBlank(char16_t c) { return c < 0x21 || c == 0x3000; }
bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }

constexpr char16_t kIdiomMark = 0x25C7;
constexpr char16_t kNoteMark = 0x2022;
constexpr char16_t kExampleMark = 0xFF5E;

struct KindCommand {
    uint32_t command;
    uint32_t key;  // VK_F2 ...
    int32_t kind;
};
constexpr KindCommand kKindCommands[] = {
    {40615, 0x71, kLineReading},     {40616, 0x72, kLineKanji},   {40617, 0x73, kLineLetters},
    {40618, 0x74, kLineTranslation}, {40619, 0x75, kLineExample}, {40620, 0x76, kLineNote},
    {40630, 0x77, kLineIdiom},       {40631, 0x78, kLineUndefined},
};

const char16_t* GroupOpening(int32_t kind) {
    switch (BaseKind(kind)) {
    case kLineReading: return u"{\\r ";
    case kLineKanji: return u"{\\k ";
    case kLineLetters: return u"{\\rus ";
    case kLineTranslation: return u"{\\s ";
    case kLineExample: return u"{\\x ";
    case kLineNote: return u"{\\note ";
    case kLineIdiom: return u"{\\idi ";
    default: return u"{\\unk ";
    }
}

struct Counts {
    int32_t readings = 0, kanji = 0, translations = 0;
    void Add(int32_t base) {
        readings += base == kLineReading;
        kanji += base == kLineKanji;
        translations += base == kLineTranslation;
    }
};

int32_t KindOfControlWord(std::u16string_view word) {
    struct Word {
        std::u16string_view name;
        int32_t kind;
    };
    static constexpr Word kWords[] = {{u"r", kLineReading},     {u"k", kLineKanji},   {u"rus", kLineLetters},
                                      {u"s", kLineTranslation}, {u"x", kLineExample}, {u"note", kLineNote},
                                      {u"idi", kLineIdiom}};
    for (const Word& w : kWords)
        if (w.name == word) return w.kind;
    return kLineUndefined;
}

// One top-level group's content (after its control word) up to its closing
// brace: the text and attributes of the line. Returns the offset after the "}".
size_t ReadGroupContent(std::u16string_view markup, size_t at, EditorLine& line) {
    int depth = 1;
    uint16_t bits = 0;
    while (at < markup.size() && depth > 0) {
        const char16_t c = markup[at];
        if (c == u'\\' && at + 1 < markup.size() &&
            (markup[at + 1] == u'{' || markup[at + 1] == u'}' || markup[at + 1] == u'\\')) {
            line.text += markup[at + 1];
            line.attributes.push_back(bits);
            at += 2;
        } else if (c == u'\\') {
            // A nested control word and the blank that ends it.
            ++at;
            while (at < markup.size() && markup[at] >= u'a' && markup[at] <= u'z') ++at;
            if (at < markup.size() && markup[at] == u' ') ++at;
        } else if (c == u'{') {
            ++depth;
            ++at;
        } else if (c == u'}') {
            --depth;
            ++at;
        } else if (c == u'<' && markup.substr(at, 3) == u"<b>") {
            bits |= kCharBold, at += 3;
        } else if (c == u'<' && markup.substr(at, 3) == u"<i>") {
            bits |= kCharItalic, at += 3;
        } else if (c == u'<' && markup.substr(at, 4) == u"</b>") {
            bits &= ~kCharBold, at += 4;
        } else if (c == u'<' && markup.substr(at, 4) == u"</i>") {
            bits &= ~kCharItalic, at += 4;
        } else {
            if (c != u'\r' && c != u'\n') {
                line.text += c;
                line.attributes.push_back(bits);
            }
            ++at;
        }
    }
    return at;
}

}  // namespace

std::vector<EditorLine> ReadArticleLines(std::u16string_view markup) {
    std::vector<EditorLine> lines;
    size_t at = markup.find(u"{\\a");
    if (at == std::u16string_view::npos) return lines;
    at += 3;
    while (at < markup.size() && markup[at] != u'}') {
        if (markup[at] != u'{') {
            ++at;
            continue;
        }
        size_t word = at + 1;
        if (word < markup.size() && markup[word] == u'\\') ++word;
        size_t wordEnd = word;
        while (wordEnd < markup.size() && markup[wordEnd] >= u'a' && markup[wordEnd] <= u'z') ++wordEnd;
        EditorLine line;
        line.kind = KindOfControlWord(markup.substr(word, wordEnd - word));
        if (wordEnd < markup.size() && markup[wordEnd] == u' ') ++wordEnd;
        at = ReadGroupContent(markup, wordEnd, line);
        bool tagged = false;
        for (uint16_t bits : line.attributes) tagged |= bits != 0;
        if (!tagged) line.attributes.clear();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::pair<size_t, size_t> TrimmedSpan(std::u16string_view text) {
    size_t first = 0, end = text.size();
    while (first < end && IsBlank(text[first])) ++first;
    while (end > first && IsBlank(text[end - 1])) --end;
    return {first, end};
}

int32_t InitialLineKind(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= 0x20) ++i;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == kIdiomMark) return kLineIdiom;
        if (c == kNoteMark) return kLineNote;
        if (c == kExampleMark) return kLineExample;
        if (c < 0x2000) return kLineTranslation;
        if (c > 0x3040 && c < 0x30FF) return kLineReading;
        if (ostrel::japanese::IsCjkIdeograph(c)) return kLineKanji;
    }
    return kLineTranslation;
}

void ClassifyLines(std::span<EditorLine> lines) {
    Counts seen;
    for (EditorLine& line : lines) {
        if (line.kind >= kUserKind) {
            seen.Add(line.kind - kUserKind);
            continue;
        }
        const auto [first, end] = TrimmedSpan(line.text);
        if (first == end) {
            // The empty line the user is about to type: what the article lacks first.
            if (seen.kanji == 0 && seen.translations == 0 && seen.readings > 0) {
                line.kind = kLineKanji;
                return;
            }
            if (seen.kanji == 0 && seen.translations == 0) {
                line.kind = kLineReading;
                return;
            }
            line.kind = kLineTranslation;
            seen.Add(kLineTranslation);
            continue;
        }
        int32_t kind = line.kind;
        for (char16_t c : line.text) {
            if (c <= 0x20) {
                kind = kLineUndefined;
                continue;
            }
            if (c == kIdiomMark) kind = kLineIdiom;
            else if (c == kNoteMark) kind = kLineNote;
            else if (c == kExampleMark) kind = kLineExample;
            else if (c < 0x2000) kind = kLineTranslation;
            else if (IsKana(c))
                kind = seen.translations ? kLineExample
                       : seen.kanji      ? kLineTranslation
                       : !seen.readings  ? kLineReading
                                         : kLineKanji;
            else if (ostrel::japanese::IsCjkIdeograph(c)) kind = seen.kanji || seen.translations ? kLineExample : kLineKanji;
            else continue;
            break;
        }
        line.kind = kind;
        seen.Add(kind);
    }
}

LineCheck CheckLines(std::span<const EditorLine> lines) {
    LineCheck check;
    Counts seen;
    int32_t letters = 0, written = 0;
    for (const EditorLine& line : lines) {
        const auto [first, end] = TrimmedSpan(line.text);
        if (first == end) continue;
        ++written;
        const int32_t base = BaseKind(line.kind);
        seen.Add(base);
        letters += base == kLineLetters;
    }
    check.headwords = seen.readings + seen.kanji + letters;
    // The messages in the interface language; each slot's text ends in CR LF.
    auto say = [&](EditorProblemSlot slot) { check.problems += UIStringTable[slot]; };
    if (written == 0) {
        say(kEmptyArticleSlot);
        check.canSave = false;
    }
    if (check.headwords == 0) {
        say(kHeadwordMissedSlot);
        check.canSave = false;
    } else if (letters == 0) {
        if (seen.readings == 0) say(kReadingMissedSlot);
        if (seen.kanji == 0) say(kKanjiMissedSlot);
    }
    if (seen.translations == 0) say(kTranslationMissedSlot);
    if (letters > 0 && seen.kanji > 0) say(kTwoHeadwordsSlot);
    return check;
}

std::u16string WriteArticleText(std::span<const EditorLine> lines) {
    std::u16string out = u"{\\a \n";
    for (const EditorLine& line : lines) {
        const auto [first, end] = TrimmedSpan(line.text);
        if (first == end) continue;
        out += GroupOpening(line.kind);
        const bool tagged = !IsHeadwordKind(line.kind);
        bool italic = false, bold = false;
        for (size_t i = first; i < end; ++i) {
            const uint16_t bits = tagged && i < line.attributes.size() ? line.attributes[i] : 0;
            // Italic before bold when both change at one character.
            if (((bits & kCharItalic) != 0) != italic) {
                italic = !italic;
                out += italic ? u"<i>" : u"</i>";
            }
            if (((bits & kCharBold) != 0) != bold) {
                bold = !bold;
                out += bold ? u"<b>" : u"</b>";
            }
            const char16_t c = line.text[i];
            if (c == u'{' || c == u'}' || c == u'\\') out += u'\\';
            out += c;
        }
        if (bold) out += u"</b>";
        if (italic) out += u"</i>";
        out += u"}\n";
    }
    out += u"}\n";
    return out;
}

uint32_t EditorKeyCommand(uint32_t virtualKey, bool control, bool shift) {
    constexpr uint32_t kInsert = 0x2D;
    if ((control && virtualKey == 'V') || (shift && virtualKey == kInsert)) return kPasteKey;
    if (control) {
        switch (virtualKey) {
        case 'B': return 40625;
        case 'I': return 40624;
        case 'Z': return 40622;
        case 'Y': return 40623;
        case 'S': return 1362;
        case 'K': return 40626;
        case 'N': return 1017;
        default: return 0;
        }
    }
    for (const KindCommand& k : kKindCommands)
        if (k.key == virtualKey) return k.command;
    return 0;
}

int32_t KindOfCommand(uint32_t command) {
    for (const KindCommand& k : kKindCommands)
        if (k.command == command) return k.kind;
    return -1;
}
