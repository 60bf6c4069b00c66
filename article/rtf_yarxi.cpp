// YARXI kanji articles as RTF. Each element's text is its whole group
// ("{\keyword ... }", nested groups inside); the walk writes the element's
// own characters and renders each nested group at the place its "{\" stands.
// Links come from a parsed record and are checked before every use, so a
// damaged tree gives a shorter article, never a read outside the elements.
#include "article/rtf_yarxi.h"

#include <algorithm>
#include <string_view>

#include "article/rtf_renderer_flags.h"
#include "article/yarxi_tree_walk.h"

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Kinds written after the article (radical, strokes, usage), not in place.
bool IsTrailingKind(uint32_t kind) { return kind == 45 || kind == 46 || kind == 47; }

class YarxiWriter {
public:
    YarxiWriter(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t root, uint32_t flags)
        : piece_(piece), tree_(elements, root), flags_(flags) {
        const std::u16string_view rootText = tree_.TextOf(root);
        // Reading-list articles carry "T" as the entry's fifth character.
        readingList_ = rootText.size() > 4 && rootText[4] == u'T';
    }

    // Answers true once the piece passed the size limit.
    bool Group(int32_t element, int32_t previous, int32_t depth) {
        if (Full()) return true;
        if (!tree_.Valid(element) || depth > kYarxiMaxWalkDepth) return false;
        const std::u16string_view text = tree_.BodyOf(element);
        const uint32_t kind = tree_.KindOf(element);
        const size_t end = text.size();
        const size_t start = YarxiTreeWalk::ContentStart(text);
        if (!Prefix(element, previous, kind, text, start, end)) return Full();
        return Content(element, kind, depth, text, start, end);
    }

    // Bold and italic still open are closed, so nothing runs on into the
    // next article.
    void CloseRuns() {
        if (bold_) piece_.AppendRaw("\\b0");
        if (italic_) piece_.AppendRaw("\\i0");
        bold_ = italic_ = false;
    }

    void SetBaseColour(uint32_t rgb) {
        base_ = rgb;
        piece_.SetColor(rgb);
    }

    bool Full() const { return piece_.Bytes().size() > kYarxiPieceLimit; }

private:
    bool Styles() const { return HasFlag(flags_, kRtfStyles); }

    void Style(int32_t kind) {
        if (Styles()) piece_.SetParagraphStyle(kind);
    }
    // With styles each paragraph starts afresh, so one without a style of
    // its own does not carry on the style of the one before.
    void Paragraph(int32_t style = 0) {
        piece_.NewParagraph();
        last_ = u'\n';
        if (Styles()) piece_.AppendRaw("\\pard");
        if (style != 0) Style(style);
    }
    void Label(std::u16string_view label) {
        piece_.AppendText(label);
        if (!label.empty()) last_ = label.back();
    }
    // Article text: a blank never follows a blank or a control character.
    void Put(char16_t c) {
        if (c == u' ' && last_ <= u' ') return;
        piece_.AppendChar(c);
        last_ = c;
    }

    // What stands before the element's text; false when nothing else of the
    // element is written.
    bool Prefix(int32_t element, int32_t previous, uint32_t kind, std::u16string_view text, size_t start,
                size_t end) {
        const bool continuation = tree_.Valid(previous) && tree_.KindOf(previous) == kind;
        const uint32_t parentKind = tree_.KindOf(tree_[element].parent);
        switch (kind) {
        case 3: Style(3); break;
        case 4: Style(4); break;
        case 39:
            // The kanji itself (a surrogate pair when outside the BMP).
            Style(4);
            piece_.SetColor(kRtfWordBlue);
            if (text.size() > 4) Put(text[4]);
            if (text.size() > 5 && text[5] != u'}') Put(text[5]);
            piece_.SetColor(base_);
            return false;
        case 40: Label(continuation ? u" \u30FB " : u"\u3000\u3000\u3000"); break;
        case 41: case 43: case 48: case 50: case 56: case 57: case 58: case 59: Paragraph(); break;
        case 42:
            if (continuation) Label(u", ");
            else Paragraph(3);
            break;
        case 45:
            if (continuation) {
                Label(u", ");
            } else {
                Paragraph();
                Label(u"Ключ: ");
            }
            break;
        case 46:
            if (tree_.Valid(previous)) Label(u". ");
            Label(u"Штрихов: ");
            break;
        case 47:
            if (tree_.Valid(previous)) Label(u". ");
            Label(u"Исп.: ");
            break;
        case 49: case 60:
            if (!YarxiTreeWalk::OwnTextEmpty(text)) Paragraph();
            break;
        case 51:
            if (parentKind != 55) Style(4);
            break;
        case 52:
            if (readingList_) {
                if (continuation) Label(u", ");
                else Paragraph(3);
            } else if (parentKind == 59) {
                Paragraph(3);
            } else if (tree_.Valid(previous)) {
                Label(u" ");
            }
            break;
        case 54:
            if (readingList_ || parentKind == 58) Paragraph(5);
            break;
        default: break;
        }
        return true;
    }

    void Tag(std::u16string_view tag) {
        if (tag == u"<i>") { piece_.AppendRaw("\\i1"); italic_ = true; }
        else if (tag == u"</i>") { piece_.AppendRaw("\\i0"); italic_ = false; }
        else if (tag == u"<b>") { piece_.AppendRaw("\\b1"); bold_ = true; }
        else if (tag == u"</b>") { piece_.AppendRaw("\\b0"); bold_ = false; }
    }

    bool Content(int32_t element, uint32_t kind, int32_t depth, std::u16string_view text, size_t start, size_t end) {
        const bool ownText = kind != 2;
        const bool brackets = kind == 42 || kind == 52;
        const bool numberedSenses = readingList_ && kind == 54;
        for (size_t i = start; i < end;) {
            if (Full()) return true;
            const char16_t c = text[i];
            if (c == u'{' && i + 1 < end && text[i + 1] == u'\\') {
                const int32_t nested = tree_.NestedAt(element, text.data() + i);
                if (nested >= 0) {
                    if (!IsTrailingKind(tree_.KindOf(nested)) &&
                        Group(nested, tree_.PreviousSibling(element, nested), depth + 1))
                        return true;
                    // Writing goes on after the nested group, within this one.
                    i += tree_.NestedLength(nested, i, end);
                    continue;
                }
            }
            if (YarxiTreeWalk::SkipMarkup(text, end, ownText, i, [this](std::u16string_view tag) { Tag(tag); }))
                continue;
            if (numberedSenses && IsDigit(c)) {
                if (i + 2 < end && IsDigit(text[i + 1]) && text[i + 2] == u')') {
                    Put(c);
                    Put(text[i + 1]);
                    Put(u')');
                    i += 3;
                    continue;
                }
                if (c != u'1' && i + 1 < end && text[i + 1] == u')') {
                    Paragraph(5);
                    Put(c);
                    Put(u')');
                    i += 2;
                    continue;
                }
            }
            if (brackets && c == u'[') {
                piece_.SetColor(kRtfReadingRed);
                if (kind != 42) Put(c);
                ++i;
                continue;
            }
            if (brackets && c == u']') {
                if (kind != 42) Put(c);
                piece_.SetColor(base_);
                ++i;
                continue;
            }
            Put(c == u'\r' || c == u'\n' ? u' ' : c);
            ++i;
        }
        return Full();
    }

    CRtfArticleBuilder& piece_;
    YarxiTreeWalk tree_;
    uint32_t flags_;
    bool readingList_ = false;
    bool bold_ = false, italic_ = false;
    uint32_t base_ = kRtfBlack;
    char16_t last_ = 0;   // below a blank: no blank at the start
};

}  // namespace

int32_t AddYarxiKanjiGroup(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t element,
                           int32_t previous, int32_t root, uint32_t flags) {
    YarxiWriter writer(piece, elements, root, flags);
    const bool full = writer.Group(element, previous, 0);
    writer.CloseRuns();
    return full ? 1 : 0;
}

int32_t AddYarxiArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t root,
                        int32_t fontSize, uint32_t flags) {
    const bool valid = root >= 0 && static_cast<size_t>(root) < elements.size();
    const int32_t units = valid ? std::max(elements[static_cast<size_t>(root)].length, 0) : 0;
    StartRtfPiece(piece, 10 * static_cast<size_t>(units) + 100, fontSize, flags);
    piece.AppendRaw("\\pard");
    YarxiWriter writer(piece, elements, root, flags);
    bool full = writer.Group(root, -1, 0);
    writer.CloseRuns();
    piece.NewParagraph();
    if (!full) {
        // Radical, strokes and usage, each continuing the one before.
        int32_t previous = -1;
        for (size_t i = 0; i < elements.size() && !full; ++i) {
            if (static_cast<int32_t>(i) == root || !IsTrailingKind(elements[i].kind)) continue;
            if (previous < 0) writer.SetBaseColour(kRtfGrey);
            full = writer.Group(static_cast<int32_t>(i), previous, 0);
            previous = static_cast<int32_t>(i);
        }
        if (previous >= 0) {
            writer.CloseRuns();
            writer.SetBaseColour(kRtfBlack);
            piece.NewParagraph();
        }
    }
    return static_cast<int32_t>(piece.Bytes().size());
}
