// YARXI articles as styled text. The labels make the article longer than
// its record, so the buffer is sized from the record and the element count
// and every write goes through a bounded writer; the tree walk is bounded by
// depth, by the element array and by the group it stands in.
#include "article/yarxi_article.h"

#include <algorithm>
#include <string_view>

#include "article/display_attributes.h"
#include "article/yarxi_tree_walk.h"
#include "common/unicode/japanese_chars.h"
#include "dictionary/dictionary.h"

namespace {

using View = std::u16string_view;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Written after the tree by the article, not at their place.
bool IsTrailingKind(uint32_t kind) {
    return kind == 45 || kind == 46 || kind == 47 || kind == 60 || kind == 62 || kind == 64;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class YarxiTextWriter {
public:
    YarxiTextWriter(std::span<const DictionaryElement> elements, int32_t entry, StyledWriter& out)
        : tree_(elements, entry), out_(out) {
        const View entryText = tree_.TextOf(entry);
        readingList_ = entryText.size() > 4 && entryText[4] == u'T';
    }

    void Group(int32_t element, int32_t previous, int32_t depth) {
        if (!tree_.Valid(element) || depth > kYarxiMaxWalkDepth || out_.Room() <= 0) return;
        const View text = tree_.BodyOf(element);
        const uint32_t kind = tree_.KindOf(element);
        if (kind == 39) {
            // The kanji: one unit, or a surrogate pair.
            if (text.size() > 4) out_.Put(text[4], kClassHeadword);
            if (text.size() > 5 && text[5] != u'}') out_.Put(text[5], kClassHeadword);
            return;
        }
        const uint32_t base = kind == 58 || kind == 59 ? kAttrBold : 0;
        Prefix(element, previous, kind, text, base);
        Content(element, kind, base, depth, text);
    }

private:
    void Label(View label, uint32_t attribute) { out_.Append(label, attribute); }
    void LineFeed(uint32_t attribute) { out_.Put(u'\n', attribute); }
    bool LineEmpty() const { return out_.Length() == 0 || out_.UnitAt(out_.Length() - 1) == u'\n'; }

    void Prefix(int32_t element, int32_t previous, uint32_t kind, View text, uint32_t base) {
        const bool same = tree_.Valid(previous) && tree_.KindOf(previous) == kind;
        const uint32_t parentKind = tree_.KindOf(tree_[element].parent);
        switch (kind) {
        case 40:
            if (same) Label(u" \u30FB ", base);
            else Label(View(u"\u3000\u3000\u3000"), base);
            break;
        case 41: case 43: case 50: case 57: LineFeed(base); break;
        case 42:
            if (same) Label(u", ", base);
            else LineFeed(base);
            break;
        case 44: case 48: case 56: Label(u"\n  ", base); break;
        case 45:
            Label(same ? View(u", ") : View(u"\nКлюч: "), base);
            break;
        case 46:
            if (tree_.Valid(previous)) Label(u". ", base);
            Label(u"Штрихов: ", base);
            break;
        case 47:
            if (tree_.Valid(previous)) Label(u". ", base);
            Label(u"Исп.: ", base);
            break;
        case 49: case 60:
            if (!YarxiTreeWalk::OwnTextEmpty(text)) LineFeed(base);
            break;
        case 52:
            if (readingList_) {
                if (same) Label(u", ", base);
                else if (parentKind != 55) LineFeed(base);
            } else if (parentKind == 59) {
                LineFeed(base);
            }
            break;
        case 54:
            if (readingList_ || parentKind == 58) LineFeed(base);
            break;
        case 58: case 59: LineFeed(base); break;
        case 61:
            if (!LineEmpty()) LineFeed(base);
            Label(u"  ", base);
            break;
        case 62:
            Label(tree_.KindOf(previous) == 64 ? View(u", JLPT: ") : View(u"\nJLPT: "), base);
            break;
        case 63:
            Label(same ? View(u", ") : View(u"  "), base);
            break;
        case 64:
            if (tree_.KindOf(previous) != 62) LineFeed(base);
            Label(u"Частотность: ", base);
            break;
        default: break;
        }
    }

    // Article text: a blank never follows a blank or a control character.
    void Put(char16_t c, uint32_t attribute) {
        if (c == u' ' && (out_.Length() == 0 || out_.UnitAt(out_.Length() - 1) <= u' ')) return;
        out_.Put(c, attribute);
    }

    void Content(int32_t element, uint32_t kind, uint32_t base, int32_t depth, View text) {
        const bool ownText = kind != 2;
        const bool brackets = kind == 42 || kind == 52;
        const bool numberedSenses = readingList_ && kind == 54;
        uint32_t colourClass = base;
        for (size_t i = YarxiTreeWalk::ContentStart(text), end = text.size(); i < end && out_.Room() > 0;) {
            const char16_t c = text[i];
            if (c == u'{' && i + 1 < end && text[i + 1] == u'\\') {
                const int32_t nested = tree_.NestedAt(element, text.data() + i);
                if (nested >= 0) {
                    if (!IsTrailingKind(tree_.KindOf(nested)))
                        Group(nested, tree_.PreviousSibling(element, nested), depth + 1);
                    i += tree_.NestedLength(nested, i, end);
                    continue;
                }
            }
            if (YarxiTreeWalk::SkipMarkup(text, end, ownText, i, [this](std::u16string_view tag) { Tag(tag); }))
                continue;
            const uint32_t attribute = colourClass | (bold_ ? kAttrBold : 0) | (italic_ ? kAttrItalic : 0);
            if (numberedSenses && IsDigit(c)) {
                if (i + 2 < end && IsDigit(text[i + 1]) && text[i + 2] == u')') {
                    for (size_t k = 0; k < 3; ++k) Put(text[i + k], attribute);
                    i += 3;
                    continue;
                }
                if (c != u'1' && i + 1 < end && text[i + 1] == u')') {
                    out_.Put(u'\n', attribute);
                    Put(c, attribute);
                    Put(u')', attribute);
                    i += 2;
                    continue;
                }
            }
            if (brackets && c == u'[') {
                colourClass = kClassReading;
                if (kind != 42) Put(c, colourClass | (attribute & ~kAttrColourMask));
                ++i;
                continue;
            }
            if (brackets && c == u']') {
                if (kind != 42) Put(c, attribute);
                colourClass = base;
                ++i;
                continue;
            }
            if (kind == 41) {
                // Name readings: everything but the ideographs in italics.
                char32_t code = c;
                const bool pair = IsHighSurrogate(c) && i + 1 < end && IsLowSurrogate(text[i + 1]);
                if (pair) code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                const uint32_t shown = ostrel::japanese::IsCjkIdeograph(code) ? attribute : attribute | kAttrItalic;
                Put(c, shown);
                if (pair) Put(text[i + 1], shown);
                i += pair ? 2 : 1;
                continue;
            }
            Put(c == u'\r' || c == u'\n' ? u' ' : c, attribute);
            ++i;
        }
    }

    void Tag(View tag) {
        if (tag == u"<i>") italic_ = true;
        else if (tag == u"</i>") italic_ = false;
        else if (tag == u"<b>") bold_ = true;
        else if (tag == u"</b>") bold_ = false;
    }

    YarxiTreeWalk tree_;
    StyledWriter& out_;
    bool readingList_ = false;
    bool bold_ = false, italic_ = false;
};

// Room for the record, the labels of every element, and the closing note.
int32_t ArticleCapacity(const DictionaryElement& entry, int32_t elementCount) {
    const int64_t units = entry.length > 0 ? entry.length : 0;
    const int64_t capacity = 2 * units + 24 * static_cast<int64_t>(elementCount) + 64;
    return static_cast<int32_t>(std::min<int64_t>(capacity, 1 << 24));
}

}  // namespace

int32_t ParseYarxiMarkup(std::span<const DictionaryElement> elements, int32_t element, int32_t previous,
                         int32_t entry, char16_t* text, uint32_t* attributes, int32_t position, int32_t capacity) {
    if (text == nullptr || position < 0 || position >= capacity) return position;
    const auto size = static_cast<size_t>(capacity);
    StyledWriter out(std::span<char16_t>(text, size),
                     attributes ? std::span<uint32_t>(attributes, size) : std::span<uint32_t>(), position);
    YarxiTextWriter writer(elements, entry, out);
    writer.Group(element, previous, 0);
    out.Terminate();
    return out.Length();
}

FormattedText FormatArticleF14(const CDictionary& dictionary, uint32_t index) {
    const int32_t count = dictionary.ElementCount();
    if (dictionary.Elements() == nullptr || index >= static_cast<uint32_t>(count)) return {};
    const std::span<const DictionaryElement> elements(dictionary.Elements(), static_cast<size_t>(count));
    const auto entry = static_cast<int32_t>(index);
    StyledText article(ArticleCapacity(elements[index], count));
    if (!article.Allocated()) return {};
    StyledWriter out = article.Writer();
    {
        YarxiTextWriter tree(elements, entry, out);
        tree.Group(entry, -1, 0);
        out.Put(u'\n', 0);
        // Radical, strokes and usage, each after the one before; then JLPT
        // and frequency carrying on; then the dictionary references alone.
        int32_t previous = -1;
        auto writeKinds = [&](std::initializer_list<uint32_t> kinds, bool chained) {
            for (int32_t i = 0; i < count; ++i) {
                if (i == entry || std::find(kinds.begin(), kinds.end(), elements[i].kind) == kinds.end()) continue;
                tree.Group(i, chained ? previous : -1, 0);
                previous = i;
            }
        };
        writeKinds({45, 46, 47}, true);
        writeKinds({62, 64}, true);
        writeKinds({60}, false);
    }
    out.Put(u'\n', 0);
    // The record's note: what follows the first blank among its 2nd to 21st units.
    const DictionaryElement& e = elements[index];
    const View text = e.text && e.length > 0 ? View(e.text, static_cast<size_t>(e.length)) : View();
    View note = text.substr(std::min<size_t>(1, text.size()), 20);
    note = note.substr(0, std::min(note.find_first_of(View(u"\0{}", 3)), note.size()));
    const size_t blank = note.find(u' ');
    if (blank != View::npos) out.Append(note.substr(blank + 1), kClassGrey);
    out.Put(u'\n', 0);
    out.Terminate();
    article.Finish(out);
    return FormattedText::Styled(std::move(article));
}
