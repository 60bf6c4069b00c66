// DSL cards as RTF: the tokeniser, the colour names and the renderer's line
// and tag states.
#include "article/dsl_rtf.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "article/rtf_renderer_flags.h"
#include "common/unicode/char_tables.h"

namespace {

struct NamedColour {
    std::u16string_view name;   // lower case
    uint8_t red, green, blue;
};

// The CSS colour names with their HTML values (not X11's: there "green",
// "grey", "maroon" and "purple" differ), both grey spellings included.
constexpr NamedColour kHtmlColours[] = {
#include "article/dsl_colour_names.inc"
};

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

}  // namespace

int32_t HtmlColorCount() { return static_cast<int32_t>(std::size(kHtmlColours)); }

bool LookUpHtmlColor(std::u16string_view name, uint32_t& rgb) {
    if (name.empty() || name.size() > 79) return false;
    std::u16string lower;
    for (char16_t c : name) {
        const char16_t l = AsciiLower(c);
        if (l < u'a' || l > u'z') return false;
        lower += l;
    }
    auto found = std::lower_bound(std::begin(kHtmlColours), std::end(kHtmlColours), lower,
                                  [](const NamedColour& c, const std::u16string& n) { return c.name < n; });
    if (found == std::end(kHtmlColours) || found->name != lower) return false;
    rgb = RtfRgb(found->red, found->green, found->blue);
    return true;
}

int32_t ClassifyDslTag(std::u16string_view name) {
    struct Entry {
        std::u16string_view name;
        int32_t code;
    };
    static constexpr Entry kTags[] = {
        {u"[", 3},   {u"]", 4},    {u"m", 5},    {u"b", 6},    {u"^", 6},     {u"i", 7},    {u"u", 8},
        {u"c", 9},   {u"trn", 10}, {u"sup", 11}, {u"ex", 12},  {u"*", 13},    {u"sub", 15}, {u"'", 16},
        {u"s", 17},  {u"url", 18}, {u"p", 19},   {u"ref", 20}, {u"t", 21},    {u"com", 22}, {u"lang", 23},
        {u"ls", 24}, {u"lh", 25},
    };
    if (name.size() == 2 && name[0] == u'm' && name[1] >= u'0' && name[1] <= u'9') return kDslMargin;
    for (const Entry& e : kTags)
        if (e.name == name) return e.code;
    return -1;
}

DslToken ParseDslTag(std::u16string_view card, size_t position, int32_t& indent) {
    DslToken token;
    token.next = position + 1;
    if (position >= card.size()) {
        token.next = card.size();
        return token;
    }
    const char16_t c = card[position];
    if (c == u'{' && position + 1 < card.size() && card[position + 1] == u'{') {
        const size_t close = card.find(u"}}", position + 2);
        token.next = close == std::u16string_view::npos ? card.size() : close + 2;
        return token;
    }
    if (c == u'\\') {
        if (position + 1 < card.size()) {
            token.character = card[position + 1];
            token.next = position + 2;
        }
        return token;
    }
    if (c == u'\r') return token;
    if (c == u'\n') {
        token.character = c;
        size_t p = position + 1;
        while (p < card.size() && (card[p] == u' ' || card[p] == u'\t')) ++p;
        indent = static_cast<int32_t>(p - position - 1);
        token.next = p;
        return token;
    }
    if (c != u'[') {
        token.character = c;
        return token;
    }
    const size_t close = card.find(u']', position + 1);
    if (close == std::u16string_view::npos) {
        token.character = c;   // an unclosed bracket is text
        return token;
    }
    token.next = close + 1;
    size_t p = position + 1;
    const bool closing = p < card.size() && card[p] == u'/';
    if (closing) ++p;
    size_t nameEnd = p;
    while (nameEnd < close && card[nameEnd] >= 33) ++nameEnd;
    const std::u16string_view name = card.substr(p, nameEnd - p);
    int32_t code = ClassifyDslTag(name);
    if (code == kDslMargin && name.size() == 2) token.margin = name[1] - u'0';
    if (code == kDslColour && !closing && nameEnd < close) {
        size_t q = nameEnd;
        while (q < close && card[q] <= u' ') ++q;
        token.named = LookUpHtmlColor(card.substr(q, close - q), token.colour);
    }
    token.tag = closing && code > 0 ? -code : code;
    return token;
}

namespace {

std::u16string LowerWord(std::u16string_view text) {
    std::u16string out;
    int32_t round = 0;
    for (char16_t c : text) {
        if (c == u'(') ++round;
        else if (c == u')') round = std::max(0, round - 1);
        else if (round == 0) out += ToLowerChar(c);
    }
    while (!out.empty() && out.back() <= u' ') out.pop_back();
    size_t start = 0;
    while (start < out.size() && out[start] <= u' ') ++start;
    return out.substr(start);
}

// The text of a line without its tags, comments and escapes.
std::u16string PlainLine(std::u16string_view line, bool skipBraces) {
    std::u16string out;
    int32_t indent = 0;
    bool braces = false;
    for (size_t p = 0; p < line.size();) {
        const DslToken t = ParseDslTag(line, p, indent);
        p = t.next;
        if (t.character == 0) continue;
        if (skipBraces && (t.character == u'{' || t.character == u'}')) {
            braces = t.character == u'{';
            continue;
        }
        if (!braces) out += t.character;
    }
    return out;
}

bool IsRomanLabel(std::u16string_view word) {
    if (word.empty()) return false;
    for (char16_t c : word)
        if (c != u'I' && c != u'V' && c != u'.') return false;
    return true;
}

}  // namespace

bool MatchDslHeadword(std::u16string_view card) {
    const size_t lineEnd = card.find(u'\n');
    if (lineEnd == std::u16string_view::npos) return false;
    std::u16string head = PlainLine(card.substr(0, lineEnd), true);
    if (head.size() > 255) head.resize(255);
    const std::u16string headword = LowerWord(head);
    if (headword.empty()) return false;
    size_t bodyEnd = card.find(u'\n', lineEnd + 1);
    if (bodyEnd == std::u16string_view::npos) bodyEnd = card.size();
    std::u16string body = PlainLine(card.substr(lineEnd + 1, bodyEnd - lineEnd - 1), false);
    // Leading blanks and Roman numeral labels.
    size_t start = 0;
    for (;;) {
        while (start < body.size() && (body[start] == u' ' || body[start] == u'\t')) ++start;
        size_t wordEnd = start;
        while (wordEnd < body.size() && body[wordEnd] != u' ') ++wordEnd;
        if (wordEnd == start || !IsRomanLabel(std::u16string_view(body).substr(start, wordEnd - start))) break;
        start = wordEnd;
    }
    std::u16string_view rest = std::u16string_view(body).substr(start);
    while (!rest.empty()) {
        const size_t comma = rest.find(u',');
        if (LowerWord(rest.substr(0, comma)) == headword) return true;
        if (comma == std::u16string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

namespace {

constexpr uint32_t kDefaultGreen = RtfRgb(0, 128, 0);
constexpr uint32_t kStarGrey = RtfRgb(128, 128, 128);
// Right-to-left runs are embedded (U+202B … U+202C), not overridden: an
// override would also reverse the Latin letters and digits of the line.
constexpr char16_t kRightToLeftEmbedding = u'\u202B';
constexpr char16_t kPopDirectionalFormatting = u'\u202C';

class DslCardWriter {
public:
    DslCardWriter(CRtfArticleBuilder& piece, uint32_t flags) : piece_(piece), flags_(flags) {
        defaultColour_ = HasFlag(flags, kRtfDictionaryOption) ? kRtfBlack : kDefaultGreen;
    }

    void Write(std::u16string_view card) {
        size_t position = 0;
        std::u16string_view cardNumber;
        if (card.substr(0, 2) == u"{{") {
            size_t p = 2;
            while (p < card.size() && p < 72 && ((card[p] >= u'0' && card[p] <= u'9') || card[p] == u'-')) ++p;
            if (p > 2 && card.substr(p, 2) == u"}}") cardNumber = card.substr(2, p - 2);
        }
        if (HasFlag(flags_, kRtfPrint) && MatchDslHeadword(card)) {
            const size_t lineEnd = card.find(u'\n');
            position = lineEnd;   // the line feed starts the body
            skippedHead_ = true;
        }
        int32_t indent = 0;   // reset per card
        while (position < card.size()) {
            const DslToken token = ParseDslTag(card, position, indent);
            position = token.next;
            if (token.tag != 0) {
                if (!Tag(token)) break;
            } else if (token.character == u'\n') {
                EndLine(indent);
            } else if (token.character != 0) {
                Character(token.character);
            }
        }
        EndCard(cardNumber);
    }

private:
    bool Coloured() const { return HasFlag(flags_, kRtfColoured); }
    bool Compact() const { return HasFlag(flags_, kRtfCompact); }
    bool Styles() const { return HasFlag(flags_, kRtfStyles); }

    void MarginParagraph() {
        if (margin_ > 0 && !Compact() && !Styles()) piece_.AppendRaw("\\pard\\li" + std::to_string(120 * margin_) + " ");
        else piece_.AppendRaw("\\pard");
    }

    void OpenColour(uint32_t rgb) {
        if (!Coloured()) return;
        if (colourDepth_ == 0 && !colourRemembered_) {
            rememberedColour_ = rgb;
            colourRemembered_ = true;
        }
        ++colourDepth_;
        piece_.SetColor(rgb);
    }
    void CloseColour() {
        if (!Coloured()) return;
        // An unmatched closer never takes the count below zero.
        colourDepth_ = std::max(0, colourDepth_ - 1);
        piece_.SetColor(colourDepth_ == 0 ? kRtfBlack : rememberedColour_);
    }
    void OpenItalic() {
        if (italicDepth_++ == 0) piece_.AppendRaw("\\i ");
    }
    void CloseItalic() {
        if (italicDepth_ == 0) return;
        if (--italicDepth_ == 0) piece_.AppendRaw("\\i0");
    }

    bool WritesOutput(int32_t tag) const {
        switch (tag < 0 ? -tag : tag) {
        case kDslBold: case kDslItalic: case kDslUnderline: case kDslSuperscript: case kDslSubscript:
        case kDslLabel: return true;
        case kDslColour: case kDslStar: return Coloured();
        case kDslReference: return !HasFlag(flags_, kRtfPrint);
        default: return false;
        }
    }

    // False when the card ends here.
    bool Tag(const DslToken& t) {
        if (WritesOutput(t.tag)) StartLineIfNeeded(0);
        switch (t.tag) {
        case kDslBold: piece_.AppendRaw("\\b "); boldOpen_ = true; break;
        case -kDslBold: piece_.AppendRaw("\\b0"); boldOpen_ = false; break;
        case kDslItalic: OpenItalic(); break;
        case -kDslItalic: CloseItalic(); break;
        case kDslUnderline: piece_.AppendRaw("\\ul "); underline_ = true; break;
        case -kDslUnderline: piece_.AppendRaw("\\ul0"); underline_ = false; break;
        case kDslSuperscript: piece_.AppendRaw("\\super "); break;
        case kDslSubscript: piece_.AppendRaw("\\sub "); break;
        case -kDslSuperscript: case -kDslSubscript: piece_.AppendRaw("\\nosupersub "); break;
        case kDslColour: OpenColour(t.named ? t.colour : defaultColour_); break;
        case -kDslColour: case -kDslStar: CloseColour(); break;
        case kDslStar: OpenColour(kStarGrey); break;
        case kDslLabel:
            OpenItalic();
            OpenColour(kDefaultGreen);
            break;
        case -kDslLabel:
            CloseItalic();
            CloseColour();
            break;
        case kDslExample: inExample_ = true; break;
        case -kDslExample: inExample_ = false; break;
        case kDslReference: if (!HasFlag(flags_, kRtfPrint)) piece_.AppendText(u"<<"); break;
        case -kDslReference: if (!HasFlag(flags_, kRtfPrint)) piece_.AppendText(u">>"); break;
        case kDslMargin:
            margin_ = t.margin;
            if (lineHasText_) {
                if (Compact()) {
                    piece_.AppendText(margin_ > 0 ? u"; " : u"  ");
                } else {
                    piece_.NewParagraph();
                    MarginParagraph();
                    if (Styles()) piece_.SetParagraphStyle(inExample_ ? 7 : 5);
                }
            }
            break;
        case -kDslMargin: margin_ = 0; break;
        case kDslSoundLink: case kDslHeadLink:
            // Sound and picture links end the printed card.
            if (HasFlag(flags_, kRtfPrint)) return false;
            break;
        case -kDslSoundLink: case -kDslHeadLink: skipBraces_ = false; break;
        default: break;
        }
        return true;
    }

    void StartHeadwordLine(char16_t c) {
        bodyLines_ = 0;
        if (linesStarted_ > 0) {
            if (Compact()) {
                if (previousMargin_ == 0) piece_.AppendText(u",   ");
            } else {
                piece_.NewParagraph();
            }
        }
        if (!Compact() || linesStarted_ == 0) {
            MarginParagraph();
            if (Styles()) piece_.SetParagraphStyle(HasFlag(flags_, kRtfWordStyles) ? 4 : (c >= 0x3041 && c <= 0x30FE) ? 3 : 8);
        }
        if (HasFlag(flags_, kRtfBoldHead)) {
            piece_.AppendRaw("\\b ");
            headBold_ = true;
        }
    }

    void StartBodyLine(char16_t c) {
        ++bodyLines_;
        const bool joined = HasFlag(flags_, kRtfDictionaryOption) && HasFlag(flags_, kRtfPrint) && bodyLines_ == 1 &&
                            !skippedHead_;
        if (linesStarted_ > 0 && !joined) {
            if (Compact()) {
                const char16_t last = piece_.LastChar();
                const bool noSemicolon = bodyLines_ <= 2 || last == u';' || last == u':' || last == u',' ||
                                         last == u'.' || previousRomanLabel_ || c == u'(';
                piece_.AppendText(previousMargin_ >= 1 && !noSemicolon ? u"; " : u"  ");
            } else {
                piece_.NewParagraph();
            }
        }
        if (Compact() && linesStarted_ > 0) return;
        if (Styles() && HasFlag(flags_, kRtfWordStyles) && margin_ == 0 && !inExample_) {
            piece_.AppendRaw("\\pard");
            piece_.SetParagraphStyle(3);
            return;
        }
        MarginParagraph();
        if (Styles()) piece_.SetParagraphStyle(inExample_ ? 7 : 5);
    }

    // The paragraph of a line starts before its first output, character or
    // formatting (`c` 0 for formatting).
    void StartLineIfNeeded(char16_t c) {
        if (lineHasText_) return;
        if (headwordLine_) StartHeadwordLine(c);
        else StartBodyLine(c);
        ++linesStarted_;
        lineHasText_ = true;
    }

    void Character(char16_t c) {
        if (headwordLine_ && (c == u'{' || c == u'}')) {
            skipBraces_ = c == u'{';
            return;
        }
        if (skipBraces_ || (c == u'\t' && headwordLine_)) return;
        StartLineIfNeeded(c);
        if (c >= 0x0590 && c <= 0x07FF && !rightToLeft_) {
            piece_.AppendChar(kRightToLeftEmbedding);
            rightToLeft_ = true;
        }
        lineText_ += c;
        piece_.AppendChar(c);
    }

    void EndLine(int32_t nextIndent) {
        if (rightToLeft_) piece_.AppendChar(kPopDirectionalFormatting);
        rightToLeft_ = false;
        if (headwordLine_ && nextIndent > 0 && headBold_) {
            piece_.AppendRaw("\\b0");
            headBold_ = false;
        }
        if (HasFlag(flags_, kRtfDictionaryOption) && !headwordLine_ && bodyLines_ == 2 && boldOpen_) {
            piece_.AppendRaw("\\b0");
            boldOpen_ = false;
        }
        if (lineHasText_) {
            previousMargin_ = margin_;
            previousRomanLabel_ = lineText_.size() < 4 && !lineText_.empty() && (lineText_[0] == u'I' || lineText_[0] == u'V');
        }
        lineText_.clear();
        lineHasText_ = false;
        headwordLine_ = nextIndent == 0;
        skipBraces_ = false;
    }

    void EndCard(std::u16string_view cardNumber) {
        if (rightToLeft_) piece_.AppendChar(kPopDirectionalFormatting);
        // Nothing open runs on into the next article of the document.
        if (italicDepth_ > 0) piece_.AppendRaw("\\i0");
        if (boldOpen_ || headBold_) piece_.AppendRaw("\\b0");
        if (underline_) piece_.AppendRaw("\\ul0");
        if (Coloured() && colourDepth_ > 0) piece_.SetColor(kRtfBlack);
        piece_.AppendRaw("\\par\\li0 \n");
        ++piece_.paragraph;
        if (HasFlag(flags_, kRtfCardNumber) && !cardNumber.empty()) {
            piece_.NewParagraph();
            piece_.AppendText(cardNumber);
            piece_.NewParagraph();
        }
    }

    CRtfArticleBuilder& piece_;
    uint32_t flags_;
    uint32_t defaultColour_;
    uint32_t rememberedColour_ = 0;
    bool colourRemembered_ = false;
    int32_t colourDepth_ = 0, italicDepth_ = 0;
    int32_t margin_ = 0, previousMargin_ = 0;
    int32_t bodyLines_ = 0, linesStarted_ = 0;
    bool headwordLine_ = true, lineHasText_ = false, skipBraces_ = false, inExample_ = false;
    bool headBold_ = false, boldOpen_ = false, underline_ = false, rightToLeft_ = false;
    bool previousRomanLabel_ = false, skippedHead_ = false;
    std::u16string lineText_;
};

}  // namespace

int32_t AddDslArticle(CRtfArticleBuilder& piece, std::u16string_view card, int32_t fontSize, uint32_t flags) {
    StartRtfPiece(piece, 12 * card.size() + 100, fontSize, flags);
    DslCardWriter(piece, flags).Write(card);
    return static_cast<int32_t>(piece.Bytes().size());
}
