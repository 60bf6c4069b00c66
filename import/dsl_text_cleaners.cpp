// SplitArticleText and CollectDslTranslationWords: DSL markup into index text.
#include "import/dsl_text_cleaners.h"

#include "article/display_attributes.h"
#include "common/unicode/char_tables.h"
#include "common/segmentation/text_segmentation.h"

#include <string_view>

namespace {

// The end of the tag that opens at `at` (the index of its "]"), -1 when the
// text has no "]" before the line ends.
int32_t TagEnd(const char16_t* text, int32_t length, int32_t at) {
    for (int32_t i = at + 1; i < length; ++i) {
        if (text[i] == u']') return i;
        if (text[i] == u'\n') return -1;
    }
    return -1;
}

// The index after the "}}" that ends the comment opening at `at`, or the text's end.
int32_t CommentEnd(const char16_t* text, int32_t length, int32_t at) {
    for (int32_t i = at + 2; i + 1 < length; ++i)
        if (text[i] == u'}' && text[i + 1] == u'}') return i + 2;
    return length;
}

bool TagStarts(std::u16string_view tag, std::u16string_view prefix) { return tag.substr(0, prefix.size()) == prefix; }

// The index after the tag that begins with one of the two closers, or the text's end.
int32_t SkipToClosingTag(const char16_t* text, int32_t length, int32_t from) {
    for (int32_t i = from; i < length; ++i) {
        if (text[i] != u'[') continue;
        const std::u16string_view rest(text + i + 1, static_cast<size_t>(length - i - 1));
        if (TagStarts(rest, u"/lh") || TagStarts(rest, u"/ls")) {
            const int32_t end = TagEnd(text, length, i);
            return end < 0 ? length : end + 1;
        }
    }
    return length;
}

// What the cleaner keeps of one unit, with the state of the text around it.
class CleanWriter {
public:
    CleanWriter(char16_t* out, int32_t maximum, uint16_t* attributes)
        : out_(out), maximum_(maximum), attributes_(attributes) {}

    bool Full() const { return written_ >= maximum_; }
    int32_t Written() const { return written_; }
    bool EndsWithBlank() const { return written_ > 0 && out_[written_ - 1] == u' '; }

    void Put(char16_t unit, uint16_t inputBits) {
        if (unit < 0x0A) unit = u' ';
        if (unit == u' ' && EndsWithBlank()) return;
        if (Full()) return;
        if (unit == u'(') inParentheses_ = true;
        uint16_t bits = inputBits;
        if (italic_) bits |= kFieldItalic;
        if (inParentheses_) bits |= kFieldInBrackets;
        if (unit == u',') bits |= kFieldComma;
        if (unit == u';') bits |= kFieldSemicolon;
        if (lineStart_) bits |= kFieldElementStart;
        lineStart_ = false;
        if (unit == u')') inParentheses_ = false;
        const int32_t column = written_ - lineBegin_;
        if ((unit == u')' || unit == u'.') && !numberMarked_ && column < 4) {
            numberMarked_ = true;
            if (attributes_ != nullptr)
                for (int32_t i = lineBegin_; i < written_; ++i) attributes_[i] |= kFieldItalic;
        }
        out_[written_] = unit;
        if (attributes_ != nullptr) attributes_[written_] = bits;
        ++written_;
        if (unit == u'\n') StartLine();
    }

    void SetItalic(bool on) { italic_ = on; }
    // A "[m" tag: a new paragraph of the body.
    void StartParagraph() {
        italic_ = false;
        inParentheses_ = false;
        if (written_ > 0 && !EndsWithBlank()) Put(u' ', 0);
        lineStart_ = true;
    }

private:
    void StartLine() {
        lineStart_ = true;
        lineBegin_ = written_;
        numberMarked_ = false;
    }

    char16_t* out_;
    int32_t maximum_;
    uint16_t* attributes_;
    int32_t written_ = 0;
    int32_t lineBegin_ = 0;
    bool lineStart_ = true;
    bool italic_ = false;
    bool inParentheses_ = false;
    bool numberMarked_ = false;
};

int32_t WithoutFinalControl(const char16_t* out, int32_t written) {
    return written > 0 && out[written - 1] < 0x21 ? written - 1 : written;
}

// A segment is a word when it holds a letter or a number. Punctuation
// (the katakana middle dot, CJK brackets, stops) stands alone and is no
// word. A surrogate counts: the category table covers the BMP only.
bool IsWordUnit(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return true;
    const int32_t category = GetCharCategory(unit);
    return (category >= kCategoryLu && category <= kCategoryLo) ||
           (category >= kCategoryNd && category <= kCategoryNo);
}

}  // namespace

int32_t SplitArticleText(char16_t* out, int32_t maximum, const char16_t* text, int32_t length, uint16_t* attributes) {
    if (out == nullptr || text == nullptr || maximum <= 0 || length <= 0) return 0;
    CleanWriter writer(out, maximum, attributes);
    for (int32_t i = 0; i < length && !writer.Full();) {
        const char16_t unit = text[i];
        const char16_t next = i + 1 < length ? text[i + 1] : 0;
        const uint16_t bits = attributes != nullptr ? attributes[i] : 0;
        if (unit == u'{' && next == u'{') {
            i = CommentEnd(text, length, i);
        } else if (unit == u'[') {
            const int32_t end = TagEnd(text, length, i);
            if (end < 0) {
                writer.Put(unit, bits);
                ++i;
                continue;
            }
            const std::u16string_view tag(text + i + 1, static_cast<size_t>(end - i - 1));
            i = end + 1;
            if (TagStarts(tag, u"lh") || TagStarts(tag, u"ls")) i = SkipToClosingTag(text, length, i);
            else if (tag == u"i") writer.SetItalic(true);
            else if (TagStarts(tag, u"/i")) writer.SetItalic(false);
            else if (TagStarts(tag, u"m")) writer.StartParagraph();
        } else if (unit == u'\\' && i + 1 < length) {
            writer.Put(next, attributes != nullptr ? attributes[i + 1] : 0);
            i += 2;
        } else if ((unit == u'<' && next == u'<') || (unit == u'>' && next == u'>')) {
            i += 2;
        } else {
            writer.Put(unit, bits);
            ++i;
        }
    }
    return WithoutFinalControl(out, writer.Written());
}

int32_t CollectDslTranslationWords(char16_t* out, int32_t maximum, DslTextCursor& cursor) {
    const char16_t* text = cursor.text;
    const int32_t length = cursor.length;
    cursor.text = text != nullptr ? text + (length > 0 ? length : 0) : nullptr;
    cursor.length = 0;
    if (out == nullptr || text == nullptr || maximum <= 0 || length <= 0) return 0;
    int32_t written = 0;
    auto put = [&](char16_t unit) {
        if (unit < 0x21) unit = u' ';
        if (unit == u' ' && (written == 0 || out[written - 1] == u' ')) return;
        if (written < maximum) out[written++] = unit;
    };
    bool inTranslation = false, inPhonetics = false, inHidden = false;
    for (int32_t i = 0; i < length && written < maximum;) {
        const char16_t unit = text[i];
        const char16_t next = i + 1 < length ? text[i + 1] : 0;
        if (unit == u'{' && next == u'{') {
            i = CommentEnd(text, length, i);
            continue;
        }
        if (unit == u'\n') {
            if (inTranslation) put(u' ');
            inTranslation = inPhonetics = inHidden = false;
            ++i;
            continue;
        }
        if (unit == u'[') {
            const int32_t end = TagEnd(text, length, i);
            if (end >= 0) {
                const std::u16string_view tag(text + i + 1, static_cast<size_t>(end - i - 1));
                if (tag == u"trn") inTranslation = true;
                else if (tag == u"/trn") {
                    inTranslation = false;
                    put(u' ');
                } else if (tag == u"p") inPhonetics = true;
                else if (tag == u"/p") inPhonetics = false;
                else if (tag == u"!trs") inHidden = true;
                else if (tag == u"/!trs") inHidden = false;
                else if (TagStarts(tag, u"lh") || TagStarts(tag, u"ls")) {
                    i = SkipToClosingTag(text, length, end + 1);
                    continue;
                }
                i = end + 1;
                continue;
            }
        }
        const bool keep = inTranslation && !inPhonetics && !inHidden;
        if (unit == u'\\' && i + 1 < length) {
            if (keep) put(next);
            i += 2;
        } else if ((unit == u'<' && next == u'<') || (unit == u'>' && next == u'>')) {
            i += 2;
        } else {
            if (keep && unit != u'\r') put(unit);
            ++i;
        }
    }
    // Only the words stay; what stands between them becomes zeros.
    int32_t lastWordEnd = 0;
    for (int32_t start = 0; start < written;) {
        int32_t end = start;
        if (NextWordBoundary(out, written, &start, &end) == 0 || end <= start) break;
        bool word = false;
        for (int32_t i = start; i < end && !word; ++i) word = IsWordUnit(out[i]);
        if (word) lastWordEnd = end;
        else
            for (int32_t i = start; i < end; ++i) out[i] = 0;
        start = end;
    }
    return lastWordEnd;
}
