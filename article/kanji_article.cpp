// Kanji articles of the own markup and of KANJIDIC.
#include "article/kanji_article.h"

#include <cstring>
#include <utility>

#include "article/article_context.h"
#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/kanjidic_article.h"
#include "dictionary/dictionary.h"

namespace {

constexpr char16_t kFullwidthLeftParen = u'\uFF08';
constexpr char16_t kFullwidthRightParen = u'\uFF09';

// The example meaning: at most this many units, cut at a blank before
// kExampleCutBefore and followed by " ...".
constexpr size_t kExampleLimit = 60;
constexpr size_t kExampleCutBefore = 57;
constexpr size_t kExampleReadingLimit = 100;
constexpr int32_t kExampleSenseRoom = 200;

std::u16string_view KanjiField(const CDictionary& dictionary, uint32_t index, std::u16string_view key) {
    const char16_t* value = nullptr;
    int32_t length = 0;
    if (dictionary.GetKanjiField(index, key, &value, &length) <= 0 || value == nullptr) return {};
    return {value, static_cast<size_t>(length)};
}

// The first code point of `text` (a surrogate pair whole).
std::u16string_view FirstCharacter(std::u16string_view text) {
    if (text.empty()) return {};
    bool pair = text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF;
    return text.substr(0, pair ? 2 : 1);
}

// The meaning of the word as it is shown, in `text` (room for kExampleSenseRoom).
size_t LookUpExample(const CDictionary& dictionary, uint32_t reading, char16_t* text) {
    const DictionaryElement* elements = dictionary.Elements();
    uint32_t entry = reading;
    while (entry > 0 && elements[entry].kind != 2) --entry;
    uint32_t kanjiElement = dictionary.FindNextElement(entry, 4);
    std::u16string_view kanji =
        kanjiElement != 0 ? FirstCharacter(ElementText(elements[kanjiElement])) : std::u16string_view();

    // The reading in hiragana with its fullwidth parentheses: the kana inside
    // them are the okurigana that the key takes after the kanji.
    char16_t key[2 + kExampleReadingLimit];
    char16_t kana[kExampleReadingLimit];
    size_t keyLength = kanji.copy(key, kanji.size());
    size_t kanaLength = 0;
    bool okurigana = false;
    std::u16string_view source = ElementText(elements[reading]).substr(0, kExampleReadingLimit);
    for (char16_t c : source) {
        if (c >= 0x30A1 && c <= 0x30FE) c = static_cast<char16_t>(c - 0x60);
        if (c == kFullwidthLeftParen || c == kFullwidthRightParen) {
            okurigana = c == kFullwidthLeftParen;
            continue;
        }
        if (c < 0x3041 || c > 0x309E) continue;
        kana[kanaLength++] = c;
        if (okurigana) key[keyLength++] = c;
    }

    FoundEntry found;
    if (kanji.empty() || kanaLength == 0 ||
        !ArticleContext().FindInFirstDictionary(dictionary, {key, keyLength}, {kana, kanaLength}, found) ||
        found.dictionary == nullptr) {
        text[0] = u'?';
        return 1;
    }
    StyledWriter senses({text, static_cast<size_t>(kExampleSenseRoom)}, {});
    AppendSubsenses(*found.dictionary, found.entryElement, 5, senses);
    size_t length = static_cast<size_t>(senses.Length());
    for (size_t i = 0; i < length; ++i)
        if (text[i] < 0x20) text[i] = u' ';
    if (length > kExampleLimit) {
        // Cut at the last blank or control unit before the limit; a text
        // without one is cut hard at the same place.
        size_t cut = kExampleCutBefore - 1;
        for (size_t i = kExampleCutBefore; i-- > 0;) {
            if (text[i] < 33) {
                cut = i;
                break;
            }
        }
        std::memcpy(text + cut, u" ...", 4 * sizeof(char16_t));
        length = cut + 4;
    }
    return length;
}

}  // namespace

int32_t FormatReadingExample(const CDictionary& dictionary, uint32_t reading, StyledWriter& out,
                             uint32_t attribute) {
    if (reading >= static_cast<uint32_t>(dictionary.ElementCount())) return 0;
    char16_t text[kExampleSenseRoom];
    size_t length = LookUpExample(dictionary, reading, text);
    const int32_t start = out.Length();
    out.Append({text, length}, attribute);
    return out.Length() - start;
}

FormattedText FormatArticleF2(const CDictionary& dictionary, uint32_t index) {
    const uint32_t count = static_cast<uint32_t>(dictionary.ElementCount());
    if (index >= count) return {};
    const DictionaryElement* elements = dictionary.Elements();
    const uint32_t entryEnd = EntryEnd(dictionary, index);

    // Each reading line has room for its dots and its example word.
    int64_t capacity = 200;
    for (uint32_t i = index + 1; i < entryEnd; ++i) {
        capacity += ElementText(elements[i]).size() + (elements[i].kind == 11 ? 208 : 8);
        if (elements[i].kind == 12) capacity += 200;
    }
    if (capacity > INT32_MAX) return {};
    StyledText buffer(static_cast<int32_t>(capacity));
    if (!buffer.Allocated()) return {};
    StyledWriter out = buffer.Writer();

    uint32_t kanji = dictionary.FindNextElement(index, 4);
    if (kanji != 0) out.Append(TrimTrailing(ElementText(elements[kanji])), kClassHeadword);
    out.Append(u"\u3000\u3000", kClassHeadword);
    uint32_t meaning = dictionary.FindNextElement(index, 13);
    if (meaning != 0) out.Append(TrimTrailing(ElementText(elements[meaning])), kClassPlain);
    out.Append(u"\u3000\u3000\u3000\u3000", kClassPlain);
    std::u16string_view radical = KanjiField(dictionary, index, u"fk");
    out.Append(radical.empty() ? KanjiField(dictionary, index, u"r") : radical, kClassPlain);
    out.Append(u" - ", kClassPlain);
    out.Append(KanjiField(dictionary, index, u"s"), kClassPlain);
    out.Put(u'\n', kClassPlain);

    for (uint32_t i = index + 1; i < entryEnd && out.Length() < capacity - 4; ++i) {
        const DictionaryElement& e = elements[i];
        if (e.kind != 11 && e.kind != 12) continue;
        // Fullwidth parentheses are dropped and grey what they hold; every
        // dot (the "..." marks too) is grey.
        auto put = [&out](char16_t c, bool grey) {
            out.Put(c, grey || c == u'.' ? WithGrey(kClassReading) : kClassReading);
        };
        if (e.flags & kDotsBeforeReading) out.Append(u"...", kClassGrey);
        bool grey = false;
        for (char16_t c : TrimTrailing(ElementText(e))) {
            if (c == kFullwidthLeftParen || c == kFullwidthRightParen) {
                grey = c == kFullwidthLeftParen;
                continue;
            }
            put(c, grey);
        }
        if (e.flags & kDotsAfterReading) out.Append(u"...", kClassGrey);
        if (e.flags & kReadingWithExample) {
            out.Append(u"\u3000- ", kClassPlain);
            FormatReadingExample(dictionary, i, out, kClassPlain);
        }
        out.Put(u'\n', kClassReading);
    }
    out.Terminate();
    buffer.Finish(out);
    return FormattedText::Styled(std::move(buffer));
}

FormattedText FormatArticleF6(const CDictionary& dictionary, uint32_t index) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return {};
    const uint32_t size = dictionary.RecordSize();
    const uint8_t* record = dictionary.RecordData();
    if (record == nullptr || size < 10) return {};
    std::u16string_view line(reinterpret_cast<const char16_t*>(record + 10), (size - 10) / 2);
    StyledText buffer(KanjidicArticleCapacity(static_cast<int32_t>(line.size())));
    if (!buffer.Allocated()) return {};
    StyledWriter out = buffer.Writer();
    FormatKanjidicLine(line, out);
    buffer.Finish(out);
    return FormattedText::Styled(std::move(buffer));
}
