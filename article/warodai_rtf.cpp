// WARODAI entries as RTF: the headword and kanji part of the head line, then
// the body line by line.
#include "article/warodai_rtf.h"

#include "article/article_context.h"
#include "article/rtf_renderer_flags.h"

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr int32_t kHeadWidth = 6;

bool IsHeadKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }   // with "ー" and "・"
bool IsJapanese(char16_t c) { return c >= 0x3000; }

class WarodaiWriter {
public:
    WarodaiWriter(CRtfArticleBuilder& piece, uint32_t flags) : piece_(piece), flags_(flags) {}

    void Write(std::u16string_view entry) {
        const size_t lineEnd = entry.find(u'\n');
        const std::u16string_view head = entry.substr(0, lineEnd);
        piece_.AppendRaw("\\pard");
        if (Styles()) piece_.SetParagraphStyle(3);
        const size_t afterHeadword = AddWarodaiHeadword(head);
        Transliteration(head);
        Writings(head, afterHeadword);
        if (Bold()) piece_.AppendRaw("\\b0");
        Colour(kRtfBlack);
        if (Compact()) {
            piece_.AppendChar(kIdeographicSpace);
        } else {
            piece_.NewParagraph();
            if (Styles()) piece_.SetParagraphStyle(5);
        }
        if (lineEnd != std::u16string_view::npos) AddWarodaiBody(entry.substr(lineEnd + 1));
        piece_.NewParagraph();
    }

private:
    bool Styles() const { return HasFlag(flags_, kRtfStyles); }
    bool Compact() const { return HasFlag(flags_, kRtfCompact); }
    bool Bold() const { return HasFlag(flags_, kRtfBoldHead); }
    void Colour(uint32_t rgb) {
        if (HasFlag(flags_, kRtfColoured)) piece_.SetColor(rgb);
    }

    // The leading kana headwords; answers where the head line goes on.
    size_t AddWarodaiHeadword(std::u16string_view head) {
        const uint32_t appFlags = ArticleContext().ApplicationFlags();
        const bool transliterationOnly = HasFlag(appFlags, kTransliterateInsteadOfKana);
        if (transliterationOnly && !Styles()) return 0;
        if (Bold()) piece_.AppendRaw("\\b1");
        Colour(kRtfReadingRed);
        int32_t written = 0;
        size_t i = 0;
        for (; i < head.size(); ++i) {
            const char16_t c = head[i];
            if (IsHeadKana(c)) {
                piece_.AppendChar(c);
                ++written;
            } else if (c == u',') {
                // The comma and the blank between two headwords in black.
                Colour(kRtfBlack);
                piece_.AppendChar(c);
                while (i + 1 < head.size() && head[i + 1] == u' ') piece_.AppendChar(head[++i]);
                Colour(kRtfReadingRed);
            } else {
                break;   // a blank, "…" or anything else ends the headwords
            }
        }
        if (Bold()) piece_.AppendRaw("\\b0");
        Colour(kRtfBlack);
        if (written > 0 && !Styles()) {
            piece_.AppendChar(kIdeographicSpace);
            ++written;
            if (!Compact())
                for (; written < kHeadWidth; ++written) piece_.AppendChar(kIdeographicSpace);
        }
        return i;
    }

    // The "(…)" after the kanji part, as "[…]", when the application shows
    // transliteration.
    void Transliteration(std::u16string_view head) {
        const uint32_t appFlags = ArticleContext().ApplicationFlags();
        if (Styles() || !(appFlags & (kTransliterateBesideKana | kTransliterateInsteadOfKana))) return;
        const size_t closeKanji = head.find(u'\u3011');
        size_t from = closeKanji == std::u16string_view::npos ? 0 : closeKanji + 1;
        for (size_t i = from; i < head.size(); ++i) {
            if (head[i] == u'\u3014') return;
            if (head[i] != u'(') continue;
            const size_t close = head.find(u')', i);
            if (close == std::u16string_view::npos) return;
            Colour(kRtfReadingRed);
            piece_.AppendChar(u'[');
            piece_.AppendText(head.substr(i + 1, close - i - 1));
            piece_.AppendChar(u']');
            Colour(kRtfBlack);
            return;
        }
    }

    // The kanji writings between "【" and "】"; the rest of the head line
    // only switches colours at its brackets.
    void Writings(std::u16string_view head, size_t from) {
        bool inside = false, firstWriting = true, writingsDone = false;
        for (size_t i = from; i < head.size(); ++i) {
            const char16_t c = head[i];
            if (!writingsDone && c == u'\u3010') {
                inside = true;
                if (firstWriting) {
                    if (Compact()) {
                        piece_.AppendChar(kIdeographicSpace);
                    } else {
                        piece_.NewParagraph();
                        if (Styles()) piece_.SetParagraphStyle(4);
                    }
                    firstWriting = false;
                }
                Colour(kRtfWordBlue);
            } else if (inside && c == u'\u3011') {
                inside = false;
                Colour(kRtfBlack);
            } else if (inside) {
                piece_.AppendChar(c);
            } else if (c == u'(' || c == u'[' || c == u'\u3014') {
                writingsDone = true;
                Colour(kRtfGrey);
            } else if (c == u')' || c == u']' || c == u'\u3015') {
                Colour(kRtfBlack);
            }
        }
        if (inside) Colour(kRtfBlack);
    }

    void StartLine(std::u16string_view line) {
        green_ = false;
        if (line.empty()) return;
        const char16_t first = line[0];
        if (first == u'\u25C7') {
            if (Styles()) piece_.SetParagraphStyle(10);
            idiom_ = line.size() >= 5;
        } else if (IsJapanese(first) && first != u'～') {
            if (Styles()) piece_.SetParagraphStyle(7);
            Colour(kRtfExampleGreen);
            green_ = true;
        } else if (first == u'\u2022') {
            if (Styles()) piece_.SetParagraphStyle(9);
        }
    }

    void AddWarodaiBody(std::u16string_view body) {
        bool lineStart = true;
        for (size_t i = 0; i < body.size(); ++i) {
            const char16_t c = body[i];
            if (lineStart) {
                const size_t end = body.find(u'\n', i);
                StartLine(body.substr(i, end == std::u16string_view::npos ? body.size() - i : end - i));
                lineStart = false;
                if (idiom_) {
                    piece_.AppendChar(c);
                    idiomStarted_ = true;
                    continue;
                }
            }
            if (c == u'\n') {
                Colour(kRtfBlack);
                green_ = idiom_ = idiomStarted_ = false;
                if (Compact()) {
                    piece_.AppendChar(u' ');
                } else {
                    piece_.NewParagraph();
                    if (Styles()) piece_.SetParagraphStyle(5);
                }
                lineStart = true;
                continue;
            }
            if (c == u'\r') continue;
            if (c == u'<') {
                const size_t close = body.find(u'>', i);
                if (close != std::u16string_view::npos && close - i <= 4) {
                    const std::u16string_view tag = body.substr(i, close - i + 1);
                    if (tag == u"<i>") piece_.AppendRaw("\\i1");
                    else if (tag == u"</i>") piece_.AppendRaw("\\i0");
                    else if (tag == u"<b>") piece_.AppendRaw("\\b1");
                    else if (tag == u"</b>") piece_.AppendRaw("\\b0");
                    else if (tag == u"<a>") piece_.AppendText(u"<<");
                    else if (tag == u"</a>") piece_.AppendText(u">>");
                    i = close;
                    continue;
                }
            }
            if (idiomStarted_ && !green_ && (IsJapanese(c) || c == u'\u2026')) {
                // The Japanese part of an idiom in green.
                Colour(kRtfExampleGreen);
                green_ = true;
                idiomStarted_ = false;
            }
            if (green_ && c == u' ' && i + 1 < body.size() && body[i + 1] < 0x3000) {
                Colour(kRtfBlack);
                green_ = false;
                idiomStarted_ = false;
            }
            piece_.AppendChar(c);
        }
        if (green_) Colour(kRtfBlack);
    }

    CRtfArticleBuilder& piece_;
    uint32_t flags_;
    bool green_ = false, idiom_ = false, idiomStarted_ = false;
};

}  // namespace

int32_t AddWarodaiArticle(CRtfArticleBuilder& piece, std::u16string_view entry, int32_t fontSize, uint32_t flags) {
    StartRtfPiece(piece, 12 * entry.size() + 100, fontSize, flags);
    WarodaiWriter(piece, flags).Write(entry);
    return static_cast<int32_t>(piece.Bytes().size());
}
