// Word and kanji articles as RTF: the head of readings and writings, the
// translations, and the numbered senses with their examples.
#include "article/rtf_word_article.h"

#include <memory>
#include <new>
#include <vector>

#include "article/article_context.h"
#include "article/element_text.h"
#include "article/rtf_renderer_flags.h"
#include "common/text/kana_transcription.h"

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kMiddleDot = u'\u30FB';
constexpr char16_t kIdiomMark = u'\u25C7';
constexpr char16_t kBlackCircle = u'\u25CF';
constexpr int32_t kHeadWidth = 6;

std::u16string_view TextOf(const DictionaryElement& e) { return TrimTrailing(ElementText(e)); }

// U+3000 until the head holds `kHeadWidth` characters.
void FillHead(CRtfArticleBuilder& piece, int32_t& headCharacters) {
    while (headCharacters < kHeadWidth) {
        piece.AppendChar(kIdeographicSpace);
        ++headCharacters;
    }
}

void AppendTransliteration(CRtfArticleBuilder& piece, std::u16string_view kana, uint32_t scriptFlags) {
    const int32_t units = static_cast<int32_t>(kana.size());
    if (units == 0) return;
    const int32_t length = KanaToRomaji(nullptr, kana.data(), units, 0, scriptFlags);
    if (length <= 0) return;
    std::unique_ptr<char16_t[]> letters(new (std::nothrow) char16_t[static_cast<size_t>(length) + 1]);
    if (!letters) return;
    KanaToRomaji(letters.get(), kana.data(), units, length + 1, scriptFlags);
    piece.AppendText({letters.get(), static_cast<size_t>(length)});
}

struct HeadGroup {
    uint32_t kind;        // 3 readings, 4 writings
    uint32_t noteKind;    // 35, 36
    int32_t style;
    uint32_t colour;
};

// Readings or writings of the head, separated by "・" (a paragraph with
// styles); a note between blanks and outside bold. Answers the characters written.
int32_t AddHeadGroup(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, const HeadGroup& group,
                     bool bold) {
    const uint32_t flags = piece.flags;
    const bool styles = HasFlag(flags, kRtfStyles);
    if (styles) piece.SetParagraphStyle(group.style);
    if (bold) piece.AppendRaw("\\b1");
    if (HasFlag(flags, kRtfColoured)) piece.SetColor(group.colour);
    const uint32_t appFlags = ArticleContext().ApplicationFlags();
    const uint32_t script = ResolveTranscriptionScript(appFlags);
    const bool instead = group.kind == 3 && (HasFlag(appFlags, kTransliterateInsteadOfKana) || HasFlag(flags, kRtfTransliterate));
    const bool beside = group.kind == 3 && !instead && HasFlag(appFlags, kTransliterateBesideKana);
    int32_t written = 0;
    bool first = true;
    for (const DictionaryElement& e : elements) {
        const std::u16string_view text = TextOf(e);
        if (text.empty()) continue;
        if (e.kind == group.kind) {
            if (!first) {
                if (styles) {
                    piece.NewParagraph();
                    piece.SetParagraphStyle(group.style);
                } else {
                    piece.AppendChar(kMiddleDot);
                    ++written;
                }
            }
            first = false;
            if (instead) {
                AppendTransliteration(piece, text, script);
            } else {
                piece.AppendText(text);
                if (beside) {
                    piece.AppendText(u"\u3000[");
                    AppendTransliteration(piece, text, script);
                    piece.AppendChar(u']');
                }
            }
            written += static_cast<int32_t>(text.size());
        } else if (e.kind == group.noteKind) {
            if (bold) piece.AppendRaw("\\b0");
            piece.AppendChar(u' ');
            piece.AppendText(text);
            piece.AppendChar(u' ');
            if (bold) piece.AppendRaw("\\b1");
        }
    }
    if (bold) piece.AppendRaw("\\b0");
    return written;
}

constexpr HeadGroup kReadings{3, 35, 3, kRtfReadingRed};
constexpr HeadGroup kWords{4, 36, 4, kRtfWordBlue};

void AddTranslations(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements) {
    const bool styles = HasFlag(piece.flags, kRtfStyles);
    if (HasFlag(piece.flags, kRtfColoured)) piece.SetColor(kRtfTranslationPurple);
    bool first = true;
    for (const DictionaryElement& e : elements) {
        if (e.kind != 8 || TextOf(e).empty()) continue;
        if (!first && !styles) piece.AppendChar(kMiddleDot);
        if (!first && styles) piece.NewParagraph();
        // Each translation paragraph is of its own kind, not the head's.
        if (styles) piece.SetParagraphStyle(8);
        first = false;
        piece.AppendText(TextOf(e));
    }
}

bool IsSenseKind(uint32_t kind) {
    return kind == 5 || kind == 13 || kind == 7 || kind == 9 || kind == 10 || kind == 0 || kind == 37;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A sense that carries its own number: "1 ..." or "(1) ...".
bool BeginsWithNumber(std::u16string_view text) {
    if (!text.empty() && IsDigit(text[0])) return true;
    return text.size() >= 3 && text[0] == u'(' && IsDigit(text[1]);
}

// Letters and digits of the scripts examples are translated into: the full
// stop closes such an example; "?", "!" and "。" already close one.
bool WantsFullStop(char16_t c) {
    return IsDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
           (c >= 0x370 && c <= 0x52F);
}

}  // namespace

void AddElementText(CRtfArticleBuilder& piece, uint32_t kind, std::u16string_view text) {
    const uint32_t flags = piece.flags;
    const bool styles = HasFlag(flags, kRtfStyles);
    const bool compact = HasFlag(flags, kRtfCompact);
    if (!styles && kind == 10 && (text.empty() || text[0] != kIdiomMark)) piece.AppendChar(kIdiomMark);
    if (!styles && kind == 7) {
        if (compact) piece.AppendChar(u' ');
        else piece.AppendText(u"\u3000\u3000");
    }
    bool green = false;
    if (HasFlag(flags, kRtfColoured) && (kind == 7 || kind == 10) && !text.empty() && text[0] >= 0x3000 && text[0] != u'～') {
        piece.SetColor(kRtfExampleGreen);
        green = true;
    }
    bool italic = false;
    const bool markup = !HasFlag(flags, kRtfSourceText);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (green && c == u' ' && i + 1 < text.size() && text[i + 1] < 0x3000) {
            piece.SetColor(kRtfBlack);
            green = false;
        }
        if (markup && c == u'<') {
            const size_t close = text.find(u'>', i);
            if (close != std::u16string_view::npos) {
                const std::u16string_view tag = text.substr(i, close - i + 1);
                if (tag == u"<i>") piece.AppendRaw("\\i ");
                else if (tag == u"</i>") piece.AppendRaw("\\i0");
                else if (tag == u"<b>") piece.AppendRaw("\\b ");
                else if (tag == u"</b>") piece.AppendRaw("\\b0");
                i = close;
                continue;
            }
        } else if (markup && c == u'_') {
            italic = !italic;
            piece.AppendRaw(italic ? "\\i " : "\\i0");
            continue;
        } else if (markup && c == u'\\' && i + 1 < text.size() &&
                   (text[i + 1] == u'{' || text[i + 1] == u'}' || text[i + 1] == u'\\')) {
            piece.AppendChar(text[++i]);
            continue;
        }
        piece.AppendChar(c);
    }
    if (italic) piece.AppendRaw("\\i0");
    if (green) piece.SetColor(kRtfBlack);
    if (!styles && kind == 7 && !text.empty() && WantsFullStop(text.back())) piece.AppendChar(u'.');
}

void AddSenses(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements) {
    const uint32_t flags = piece.flags;
    const bool styles = HasFlag(flags, kRtfStyles);
    const bool compact = HasFlag(flags, kRtfCompact);
    int32_t senses = 0;
    bool ownNumbers = false;
    for (const DictionaryElement& e : elements) {
        if (e.kind != 5 || TextOf(e).empty()) continue;
        ++senses;
        ownNumbers |= BeginsWithNumber(TextOf(e));
    }
    const bool numbered = senses >= 2 && !ownNumbers;
    int32_t sense = 0;
    bool firstElement = true, exampleMarked = false;
    for (const DictionaryElement& e : elements) {
        if (!IsSenseKind(e.kind)) continue;
        const std::u16string_view text = TextOf(e);
        if (text.empty()) continue;
        if (compact) {
            if (e.kind == 5 && ownNumbers && senses >= 2 && !firstElement) piece.AppendChar(u';');
            if (!firstElement) piece.AppendChar(u' ');
        } else {
            piece.AppendRaw("\\pard");
            if (styles) piece.SetParagraphStyle(static_cast<int32_t>(e.kind));
        }
        firstElement = false;
        if (e.kind == 5) {
            ++sense;
            exampleMarked = false;
            if (numbered && !styles) {
                if (HasFlag(flags, kRtfBook) && sense >= 2) piece.NewParagraph();
                // Full decimal numbers: sense 20 is "20", not "10".
                piece.AppendNumber(sense);
                piece.AppendChar(HasFlag(flags, kRtfCardNumber) ? u'.' : u')');
                piece.AppendRaw("\\~");
            }
        } else if (e.kind == 7 && compact && !styles && !exampleMarked && sense > 0) {
            piece.AppendChar(kBlackCircle);
            exampleMarked = true;
        }
        AddElementText(piece, e.kind, text);
        if (!compact) piece.NewParagraph();
    }
}

int32_t AddWordArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t fontSize,
                       uint32_t flags) {
    size_t sum = 0;
    int32_t readings = 0, words = 0, senses = 0, translations = 0;
    for (const DictionaryElement& e : elements) {
        sum += static_cast<size_t>(e.length > 0 ? e.length : 0) + 8;
        if (TextOf(e).empty()) continue;
        readings += e.kind == 3;
        words += e.kind == 4;
        senses += e.kind == 5;
        translations += e.kind == 8;
    }
    StartRtfPiece(piece, 4 * (3 * sum + 600), fontSize, flags);
    const bool styles = HasFlag(flags, kRtfStyles), compact = HasFlag(flags, kRtfCompact), bold = HasFlag(flags, kRtfBoldHead);
    int32_t head = 0;
    if (HasFlag(flags, kRtfWordFirst)) {
        if (readings || words) piece.AppendRaw("\\pard");
        head += AddHeadGroup(piece, elements, kWords, bold);
        if (readings) {
            piece.AppendChar(kIdeographicSpace);
            ++head;
            if (!compact) FillHead(piece, head);
            head += AddHeadGroup(piece, elements, kReadings, bold && words == 0);
        }
    } else {
        piece.AppendRaw("\\pard");
        head += AddHeadGroup(piece, elements, kReadings, bold);
        if (words) {
            if (styles) {
                piece.NewParagraph();
            } else {
                piece.AppendChar(kIdeographicSpace);
                ++head;
                if (!compact) FillHead(piece, head);
            }
            AddHeadGroup(piece, elements, kWords, bold && readings == 0);
        }
    }
    if (!compact) piece.NewParagraph();
    else if (senses) piece.AppendChar(kIdeographicSpace);
    if (translations && (!senses || styles)) {
        AddTranslations(piece, elements);
        piece.NewParagraph();
    }
    if (HasFlag(flags, kRtfColoured)) piece.SetColor(kRtfBlack);
    AddSenses(piece, elements);
    if (HasFlag(flags, kRtfCompact) || styles) piece.NewParagraph();
    return static_cast<int32_t>(piece.Bytes().size());
}

namespace {

// Readings of one kind in bold, the inflected ending in "（）" unbolded and
// without its brackets, "..." where the element flags say.
bool AddKanjiReadings(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, uint32_t kind) {
    bool first = true;
    if (HasFlag(piece.flags, kRtfColoured)) piece.SetColor(kRtfBlack);
    for (const DictionaryElement& e : elements) {
        const std::u16string_view text = TextOf(e);
        if (e.kind != kind || text.empty()) continue;
        if (!first) piece.AppendChar(kMiddleDot);
        first = false;
        if (e.flags & kDotsBeforeReading) piece.AppendText(u"...");
        piece.AppendRaw("\\b1");
        bool bold = true;
        for (char16_t c : text) {
            if (c == u'\uFF08' || c == u'\uFF09') {
                bold = c == u'\uFF09';
                piece.AppendRaw(bold ? "\\b1" : "\\b0");
                continue;
            }
            piece.AppendChar(c);
        }
        if (bold) piece.AppendRaw("\\b0");
        if (e.flags & kDotsAfterReading) piece.AppendText(u"...");
    }
    return !first;
}

}  // namespace

namespace {

// A KANJIDIC record marks its first meaning twice, as the meaning line
// (kind 13) and as the first of its senses (kind 5), both over the same text.
bool RepeatsASense(std::span<const DictionaryElement> elements, const DictionaryElement& subsense) {
    if (subsense.kind != 13) return false;
    for (const DictionaryElement& e : elements)
        if (e.kind == 5 && e.text == subsense.text && e.length == subsense.length) return true;
    return false;
}

}  // namespace

int32_t AddKanjiArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t fontSize,
                        uint32_t flags) {
    size_t sum = 0;
    int32_t kanji = 0;
    const DictionaryElement* meaningLine = nullptr;
    for (const DictionaryElement& e : elements) {
        sum += static_cast<size_t>(e.length > 0 ? e.length : 0);
        if (TextOf(e).empty()) continue;
        kanji += e.kind == 4;
        if (e.kind == 13 && meaningLine == nullptr) meaningLine = &e;
    }
    StartRtfPiece(piece, 12 * (sum + 200), fontSize, flags);
    const bool coloured = HasFlag(flags, kRtfColoured);
    const bool senses = HasFlag(flags, kRtfWordStyles);
    piece.AppendRaw("\\pard");
    int32_t head = 0;
    if (kanji) {
        head += AddHeadGroup(piece, elements, kWords, HasFlag(flags, kRtfBoldHead));
        piece.AppendChar(kIdeographicSpace);
        ++head;
    }
    // Each meaning is written once: in the head when the senses are not
    // written, else only among the senses.
    bool meaningWritten = false;
    if (meaningLine != nullptr && !senses) {
        if (coloured) piece.SetColor(kRtfBlack);
        if (RepeatsASense(elements, *meaningLine)) {
            for (const DictionaryElement& e : elements) {
                if (e.kind != 5 || TextOf(e).empty()) continue;
                if (meaningWritten) piece.AppendText(u"; ");
                piece.AppendText(TextOf(e));
                meaningWritten = true;
            }
        } else {
            piece.AppendText(TextOf(*meaningLine));
            meaningWritten = true;
        }
        head = kHeadWidth;
    }
    if (!HasFlag(flags, kRtfCompact)) {
        // The head keeps at least one U+3000 before the readings.
        if (meaningWritten) piece.AppendChar(kIdeographicSpace);
        FillHead(piece, head);
    } else {
        piece.NewParagraph();
    }
    if (AddKanjiReadings(piece, elements, 11)) piece.NewParagraph();
    if (AddKanjiReadings(piece, elements, 12)) piece.NewParagraph();
    if (senses) {
        if (coloured) piece.SetColor(kRtfBlack);
        std::vector<DictionaryElement> meanings;
        for (const DictionaryElement& e : elements)
            if (!RepeatsASense(elements, e)) meanings.push_back(e);
        AddSenses(piece, meanings);
        piece.NewParagraph();
    }
    return static_cast<int32_t>(piece.Bytes().size());
}
