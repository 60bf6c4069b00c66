// Plain, PDIC, examples, Tatoeba and Latin records as RTF. The parts that the
// article view colours by class (reading, headword, plain, grey) get the
// colours the view draws for those classes.
#include "article/rtf_line_articles.h"

#include <vector>

#include "article/display_attributes.h"
#include "article/latin_principal_parts.h"
#include "article/pdic_format.h"
#include "article/rtf_renderer_flags.h"

namespace {

constexpr char16_t kBlackCircle = u'\u25CF';
constexpr char16_t kFullwidthSemicolon = u'\uFF1B';

void Start(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    StartRtfPiece(piece, 12 * text.size() + 100, fontSize, flags);
}

void SetClassColour(CRtfArticleBuilder& piece, uint32_t colourClass) {
    if (HasFlag(piece.flags, kRtfColoured)) piece.SetColorClass(colourClass);
}

// Paragraph, or a blank in compact mode.
void Break(CRtfArticleBuilder& piece) {
    if (HasFlag(piece.flags, kRtfCompact)) piece.AppendChar(u' ');
    else piece.NewParagraph();
}

bool IsKana(char32_t c) { return (c >= 0x3041 && c <= 0x30FE) || c == 0x30FC; }

bool IsCjkIdeograph(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x2FF0 && c <= 0x2FFF) || (c >= 0x3190 && c <= 0x319F) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x1F210 && c <= 0x1F248) || (c >= 0x20000 && c <= 0x2A6D6) || (c >= 0x2A700 && c <= 0x2B734) ||
           (c >= 0x2F800 && c <= 0x2FA1D);
}

struct HeadClass {
    int32_t style;
    uint32_t colourClass;
};

// Kana only: a reading; kana and ideographs: a headword; else running text.
HeadClass ClassifyHead(std::u16string_view head) {
    int32_t kana = 0, ideographs = 0, others = 0;
    for (size_t i = 0; i < head.size(); ++i) {
        char32_t c = head[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < head.size() && head[i + 1] >= 0xDC00 && head[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (head[++i] - 0xDC00);
        if (c <= u' ') continue;
        if (IsKana(c)) ++kana;
        else if (IsCjkIdeograph(c)) ++ideographs;
        else ++others;
    }
    if (others == 0 && kana > 0 && ideographs == 0) return {3, kClassReading};
    if (others == 0 && (kana > 0 || ideographs > 0)) return {4, kClassHeadword};
    return {8, kClassPlain};
}

// Where the headword of a line ends: "{" (not in PDIC heads, which keep
// their braces), ": " or "；".
size_t HeadEnd(std::u16string_view text, bool pdic) {
    for (size_t i = 0; i < text.size(); ++i) {
        if ((text[i] == u'{' && !pdic) || text[i] == kFullwidthSemicolon) return i;
        if (text[i] == u':' && i + 1 < text.size() && text[i + 1] == u' ') return i;
    }
    return text.size();
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'\u3000')) text.remove_suffix(1);
    while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
    return text;
}

// The head of a plain or PDIC entry, its "{…}" note and its translation.
void AddHeadedArticle(CRtfArticleBuilder& piece, std::u16string_view head, std::u16string_view note,
                      std::u16string_view translation, bool pdic) {
    const uint32_t flags = piece.flags;
    const bool styles = HasFlag(flags, kRtfStyles), compact = HasFlag(flags, kRtfCompact), bold = HasFlag(flags, kRtfBoldHead);
    head = TrimBlanks(head);
    const HeadClass headClass = ClassifyHead(head);
    piece.AppendRaw("\\pard");
    if (styles) piece.SetParagraphStyle(headClass.style);
    SetClassColour(piece, headClass.colourClass);
    if (bold) piece.AppendRaw("\\b1");
    for (char16_t c : head) {
        if (pdic && c == u'{') piece.AppendChar(u'\u3010');
        else if (pdic && c == u'}') piece.AppendChar(u'\u3011');
        else piece.AppendChar(c);
    }
    if (bold) piece.AppendRaw("\\b0");
    SetClassColour(piece, kClassPlain);
    // Compact: the head stays on the translation's line, one U+3000 apart.
    if (!compact) piece.NewParagraph();
    else piece.AppendChar(u'\u3000');
    if (!note.empty()) {
        if (styles) piece.SetParagraphStyle(9);
        piece.AppendChar(u'\u3010');
        piece.AppendText(note);
        piece.AppendChar(u'\u3011');
        Break(piece);
    }
    if (styles) piece.SetParagraphStyle(5);
    AddNumberedSenses(piece, translation);
    piece.NewParagraph();
}

// Splits a plain line into head, "{…}" note and translation.
void SplitPlainLine(std::u16string_view text, bool pdic, std::u16string_view& head, std::u16string_view& note,
                    std::u16string_view& translation) {
    const size_t end = HeadEnd(text, pdic);
    head = text.substr(0, end);
    std::u16string_view rest = text.substr(end);
    note = {};
    if (!rest.empty() && rest[0] == u'{') {
        const size_t close = rest.find(u'}');
        const size_t noteEnd = close == std::u16string_view::npos ? rest.size() : close;
        note = rest.substr(1, noteEnd - 1);
        rest = rest.substr(close == std::u16string_view::npos ? rest.size() : close + 1);
        while (!rest.empty() && rest[0] == u' ') rest.remove_prefix(1);
    }
    if (!rest.empty() && rest[0] == kFullwidthSemicolon) rest.remove_prefix(1);
    else if (rest.size() >= 2 && rest[0] == u':' && rest[1] == u' ') rest.remove_prefix(2);
    translation = rest;
}

// The rest of `text` from `at` up to the first of `stops`.
std::u16string_view RunTo(std::u16string_view text, size_t& at, std::u16string_view stops) {
    const size_t start = at;
    while (at < text.size() && stops.find(text[at]) == std::u16string_view::npos) ++at;
    return text.substr(start, at - start);
}

}  // namespace

void AddNumberedSenses(CRtfArticleBuilder& piece, std::u16string_view text) {
    const bool compact = HasFlag(piece.flags, kRtfCompact), styles = HasFlag(piece.flags, kRtfStyles);
    text = TrimBlanks(text);
    const bool numbered = !compact && text.find(kBlackCircle) != std::u16string_view::npos;
    int32_t sense = 1;
    if (numbered) piece.AppendText(u"1. ");
    text = WithoutFirstSenseMark(text);
    for (char16_t c : text) {
        if (c == kBlackCircle) {
            if (compact) {
                piece.AppendText(u" \u25CF ");
                continue;
            }
            piece.NewParagraph();
            if (styles) piece.SetParagraphStyle(5);
            piece.AppendNumber(++sense);
            piece.AppendText(u". ");
        } else if (c == u'\n') {
            Break(piece);
            if (!compact && styles) piece.SetParagraphStyle(5);
        } else if (c != u'\r') {
            piece.AppendChar(c);
        }
    }
}

int32_t AddPlainArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    if (!text.empty() && text[0] == u'\u25A0') text.remove_prefix(1);
    std::u16string_view head, note, translation;
    SplitPlainLine(text, false, head, note, translation);
    AddHeadedArticle(piece, head, note, translation, false);
    return static_cast<int32_t>(piece.Bytes().size());
}

int32_t AddShownTextArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    text = TrimBlanks(text);
    piece.AppendRaw("\\pard");
    if (HasFlag(flags, kRtfStyles)) piece.SetParagraphStyle(8);
    SetClassColour(piece, kClassPlain);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') piece.NewParagraph();
        else if (text[i] != u'\r') piece.AppendChar(text[i]);
    }
    piece.NewParagraph();
    return static_cast<int32_t>(piece.Bytes().size());
}

int32_t AddPdicArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    if (!text.empty() && text[0] == u'\u25A0') text.remove_prefix(1);
    const size_t nul = text.find(u'\0');
    if (nul == std::u16string_view::npos) {
        std::u16string_view head, note, translation;
        SplitPlainLine(text, true, head, note, translation);
        AddHeadedArticle(piece, head, note, translation, true);
        return static_cast<int32_t>(piece.Bytes().size());
    }
    // PDIC: word, NUL, the attribute unit, the translation[, NUL, fields].
    std::u16string_view rest = text.substr(nul + 1);
    if (!rest.empty()) rest.remove_prefix(1);
    const size_t next = rest.find(u'\0');
    const std::u16string_view translation = rest.substr(0, next);
    AddHeadedArticle(piece, text.substr(0, nul), {}, translation, true);
    while (next != std::u16string_view::npos && next < rest.size()) {
        rest = rest.substr(next + 1);
        const size_t end = rest.find(u'\0');
        const std::u16string_view field = TrimBlanks(rest.substr(0, end));
        if (!field.empty()) {
            AddNumberedSenses(piece, field);
            piece.NewParagraph();
        }
        if (end == std::u16string_view::npos) break;
        rest = rest.substr(end);
    }
    return static_cast<int32_t>(piece.Bytes().size());
}

int32_t AddExamplesArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    if (text.substr(0, 3) == u"A: ") text.remove_prefix(3);
    size_t at = 0;
    piece.AppendRaw("\\pard");
    SetClassColour(piece, kClassHeadword);
    if (HasFlag(flags, kRtfBoldHead)) piece.AppendRaw("\\b1");
    piece.AppendText(RunTo(text, at, u"\t#\n"));
    if (HasFlag(flags, kRtfBoldHead)) piece.AppendRaw("\\b0");
    SetClassColour(piece, kClassPlain);
    Break(piece);
    if (at < text.size() && text[at] == u'\t') {
        ++at;
        piece.AppendText(RunTo(text, at, u"#\n"));
    }
    piece.NewParagraph();
    at = text.find(u'\n', at);
    SetClassColour(piece, kClassGrey);
    bool first = true;
    while (at != std::u16string_view::npos && ++at < text.size()) {
        if (text.size() - at >= 3 && text[at + 1] == u':' && text[at + 2] == u' ') at += 3;
        const std::u16string_view line = RunTo(text, at, u"#\n");
        if (!first) Break(piece);
        first = false;
        piece.AppendText(line);
        at = text.find(u'\n', at);
    }
    SetClassColour(piece, kClassPlain);
    piece.NewParagraph();
    return static_cast<int32_t>(piece.Bytes().size());
}

int32_t AddTatoebaArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    const bool bold = HasFlag(flags, kRtfBoldHead);
    piece.AppendRaw("\\pard");
    bool first = true;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find(u'\n', lineStart);
        if (lineEnd == std::u16string_view::npos) lineEnd = text.size();
        std::u16string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const size_t tab1 = line.find(u'\t');
        const size_t tab2 = tab1 == std::u16string_view::npos ? tab1 : line.find(u'\t', tab1 + 1);
        if (tab2 == std::u16string_view::npos) continue;
        line = TrimBlanks(line.substr(tab2 + 1));
        if (first) {
            SetClassColour(piece, kClassHeadword);
            if (bold) piece.AppendRaw("\\b1");
            piece.AppendText(line);
            if (bold) piece.AppendRaw("\\b0");
            SetClassColour(piece, kClassPlain);
            first = false;
            continue;
        }
        Break(piece);
        if (!HasFlag(flags, kRtfCompact) && HasFlag(flags, kRtfStyles)) piece.SetParagraphStyle(5);
        piece.AppendText(line);
    }
    piece.NewParagraph();
    return static_cast<int32_t>(piece.Bytes().size());
}

int32_t AddLatinArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    Start(piece, text, fontSize, flags);
    const size_t lineFeed = text.find(u'\n');
    constexpr size_t kMeaningColumn = 110;
    // The meaning lies in the first line: a shorter line has none.
    std::u16string_view firstLine = text.substr(0, lineFeed);
    if (!firstLine.empty() && firstLine.back() == u'\r') firstLine.remove_suffix(1);
    const std::u16string_view meaning =
        firstLine.size() > kMeaningColumn ? TrimBlanks(firstLine.substr(kMeaningColumn)) : std::u16string_view();
    const bool styles = HasFlag(flags, kRtfStyles);
    // A record stored without its form line (a dictionary compiled before
    // its entries had one) still prints its meaning.
    const bool hasForm = lineFeed != std::u16string_view::npos;
    if (!hasForm && meaning.empty()) return 0;
    piece.AppendRaw("\\pard");
    bool meaningParagraph = true;
    if (hasForm) {
        const std::u16string_view form = TrimBlanks(text.substr(lineFeed + 1));
        if (styles) piece.SetParagraphStyle(4);
        std::vector<uint32_t> attributes(form.size(), 0);
        BoldPrincipalParts(form.data(), attributes.data(), 0, static_cast<int32_t>(form.size()));
        bool bold = false;
        for (size_t i = 0; i < form.size(); ++i) {
            const bool wanted = (attributes[i] & kAttrBold) != 0;
            if (wanted != bold) piece.AppendRaw(wanted ? "\\b1" : "\\b0");
            bold = wanted;
            piece.AppendChar(form[i]);
        }
        if (bold) piece.AppendRaw("\\b0");
        meaningParagraph = !HasFlag(flags, kRtfCompact);
        if (meaningParagraph) piece.NewParagraph();
        else piece.AppendText(piece.LastChar() == u' ' ? u"- " : u" - ");
    }
    if (styles && meaningParagraph) piece.SetParagraphStyle(5);
    piece.AppendText(meaning);
    piece.NewParagraph();
    return static_cast<int32_t>(piece.Bytes().size());
}
