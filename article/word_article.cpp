// Column text and article text of word articles.
#include "article/word_article.h"

#include <memory>
#include <new>
#include <utility>

#include "article/article_context.h"
#include "article/display_attributes.h"
#include "article/element_text.h"
#include "common/text/kana_transcription.h"
#include "dictionary/dictionary.h"

namespace {

constexpr char16_t kMiddleDot = u'\u30FB';

// Writes the transliteration of `kana` as the flags pick it.
void AppendTransliteration(std::u16string_view kana, uint32_t flags, uint32_t attribute, StyledWriter& out) {
    const int32_t units = static_cast<int32_t>(kana.size());
    if (units == 0) return;
    int32_t length = KanaToRomaji(nullptr, kana.data(), units, 0, flags);
    if (length <= 0) return;
    std::unique_ptr<char16_t[]> letters(new (std::nothrow) char16_t[static_cast<size_t>(length) + 1]);
    if (!letters) return;
    KanaToRomaji(letters.get(), kana.data(), units, length + 1, flags);
    out.Append({letters.get(), static_cast<size_t>(length)}, attribute);
}

struct EntryShape {
    bool readings = false, headwords = false, senses = false, translations = false;
};

}  // namespace

ColumnChoice ChooseColumn(int32_t columnKind) {
    switch (columnKind) {
    case 3: case 6: return {4, kClassHeadword};
    case 4: case 9: return {5, kClassPlain};
    case 5: return {8, kClassPlain};
    case 7: case 14: return {11, kClassReading};
    case 8: return {12, kClassReading};
    case 10: return {13, kClassPlain};
    default: return {3, kClassReading};
    }
}

int32_t GetColumnTextDefault(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    const ColumnChoice choice = ChooseColumn(columnKind);
    StyledWriter out = cell.Writer();
    const int32_t start = out.Length();
    if (columnKind == 14) {
        uint32_t onReading = dictionary.FindNextElement(index, 11);
        if (onReading != 0) FormatNumberedField(dictionary, onReading, out);
    } else {
        AppendSubsenses(dictionary, index, choice.elementKind, out);
    }
    out.DefaultClass(start, choice.colourClass);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}

FormattedText FormatArticleDefault(const CDictionary& dictionary, uint32_t index) {
    const uint32_t count = static_cast<uint32_t>(dictionary.ElementCount());
    if (index >= count) return {};
    const DictionaryElement* elements = dictionary.Elements();
    const uint32_t entryEnd = EntryEnd(dictionary, index);
    const uint32_t appFlags = ArticleContext().ApplicationFlags();
    const uint32_t scriptFlags = ResolveTranscriptionScript(appFlags);
    const bool instead = (appFlags & kTransliterateInsteadOfKana) != 0;
    const bool beside = !instead && (appFlags & kTransliterateBesideKana) != 0;

    // Room for every element the article shows (the sub-sense walk runs to
    // the end of the array) and for the transliteration of each reading.
    int64_t capacity = 200;
    EntryShape shape;
    for (uint32_t i = index + 1; i < count; ++i) {
        const DictionaryElement& e = elements[i];
        capacity += ElementText(e).size() + 8;
        if (i >= entryEnd) continue;
        if (e.kind == 3 && (instead || beside) && e.length > 0) {
            std::u16string_view kana = TrimTrailing(ElementText(e));
            capacity += KanaToRomaji(nullptr, kana.data(), static_cast<int32_t>(kana.size()), 0, scriptFlags) + 4;
        }
        shape.readings |= e.kind == 3;
        shape.headwords |= e.kind == 4;
        shape.senses |= e.kind == 5;
        shape.translations |= e.kind == 8;
    }
    if (capacity > INT32_MAX) return {};
    StyledText buffer(static_cast<int32_t>(capacity));
    if (!buffer.Allocated()) return {};
    StyledWriter out = buffer.Writer();

    bool firstReading = true;
    for (uint32_t i = index + 1; i < entryEnd; ++i) {
        const DictionaryElement& e = elements[i];
        std::u16string_view text = TrimTrailing(ElementText(e));
        if (e.kind == 3) {
            if (!firstReading) out.Append(u" \u30FB ", kClassReading);
            firstReading = false;
            if (instead) {
                AppendTransliteration(text, scriptFlags, kClassReading, out);
                continue;
            }
            out.Append(text, kClassReading);
            if (beside) {
                out.Append(u"\u3000[", kClassReading);
                AppendTransliteration(text, scriptFlags, kClassReading, out);
                out.Put(u']', kClassReading);
            }
        } else if (e.kind == 35) {
            out.Put(u' ', kClassGrey);
            out.Append(text, kClassGrey);
        }
    }

    bool firstHeadword = true;
    for (uint32_t i = index + 1; i < entryEnd; ++i) {
        const DictionaryElement& e = elements[i];
        std::u16string_view text = TrimTrailing(ElementText(e));
        if (e.kind == 4) {
            out.Put(firstHeadword ? u'\n' : kMiddleDot, firstHeadword ? 0 : kClassHeadword);
            firstHeadword = false;
            out.Append(text, kClassHeadword);
        } else if (e.kind == 36) {
            out.Put(u' ', kClassGrey);
            out.Append(text, kClassGrey);
        }
    }

    if (shape.translations && ((!shape.readings && !shape.headwords) || !shape.senses)) {
        if (shape.readings || shape.headwords) out.Put(u'\n', 0);
        for (uint32_t i = index + 1; i < entryEnd; ++i) {
            if (elements[i].kind != 8) continue;
            out.Append(TrimTrailing(ElementText(elements[i])), kClassTranslation);
            out.Put(u'\n', 0);
        }
    } else {
        out.Put(u'\n', 0);
    }

    AppendSubsenses(dictionary, index, 0, out);
    out.Terminate();
    buffer.Finish(out);
    return FormattedText::Styled(std::move(buffer));
}
