// Column text, article text and index text of Latin word-list records.
#include "article/latin_article.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/latin_principal_parts.h"
#include "dictionary/dictionary.h"

namespace {

constexpr uint16_t kFieldMeaning = 0x8;
constexpr uint16_t kFieldForm = 0x4;
constexpr uint16_t kFieldRound = 0x200;
constexpr uint16_t kFieldLineStart = 0x4000;
constexpr int32_t kMaxColumnUnits = 255;

std::u16string_view EntryText(const CDictionary& dictionary, uint32_t index) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return {};
    return ElementText(dictionary.Elements()[index]);
}

std::u16string_view WithoutTrailingSemicolon(std::u16string_view text) {
    if (!text.empty() && text.back() == u';') text.remove_suffix(1);
    return text;
}

// A preposition's case before its meaning, so that its rows tell apart
// ("in  PREP  ACC": "(+ acc.) "; in takes the accusative and the ablative).
std::u16string_view PrepositionCase(std::u16string_view form) {
    constexpr std::u16string_view kPrep = u"  PREP  ";
    const size_t at = form.find(kPrep);
    if (at == form.npos || form.find_first_of(u" ,") != at) return {};
    const std::u16string_view name = form.substr(at + kPrep.size(), 3);
    static constexpr std::pair<std::u16string_view, std::u16string_view> kCases[] = {
        {u"ACC", u"(+ acc.) "}, {u"ABL", u"(+ abl.) "}, {u"GEN", u"(+ gen.) "}, {u"DAT", u"(+ dat.) "}};
    for (const auto& [code, shown] : kCases)
        if (name == code) return shown;
    return {};
}

}  // namespace

std::u16string_view LatinMeaning(std::u16string_view entry) {
    const std::u16string_view line = entry.substr(0, entry.find(u'\n'));
    // A first line shorter than the meaning's column has no meaning.
    return line.size() > static_cast<size_t>(kLatinMeaningStart) ? line.substr(kLatinMeaningStart)
                                                                 : std::u16string_view();
}

std::u16string_view LatinSecondLine(std::u16string_view entry) {
    const size_t lineFeed = entry.find(u'\n');
    if (lineFeed == entry.npos) return {};
    std::u16string_view second = entry.substr(lineFeed + 1);
    return second.substr(0, second.find(u'\n'));
}

int32_t GetColumnTextF16(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind) {
    if (cell.length >= kCellTextLimit) return 0;
    const uint32_t colourClass = columnKind == 3 || columnKind == 6 ? kClassHeadword
                                 : columnKind == 4 || columnKind == 5 || columnKind == 9 || columnKind == 10
                                     ? kClassPlain
                                     : kClassReading;
    const std::u16string_view entry = EntryText(dictionary, index);
    StyledWriter out = cell.Writer();
    const int32_t start = out.Length();
    if (columnKind == 4 || columnKind == 9 || columnKind == 10) {
        out.Append(PrepositionCase(LatinSecondLine(entry)), 0);
        out.Append(LatinMeaning(entry).substr(0, kMaxColumnUnits), 0);
        if (out.Length() > 0 && out.UnitAt(out.Length() - 1) == u';') out.CutTo(out.Length() - 1);
    } else {
        const size_t lineFeed = entry.find(u'\n');
        if (lineFeed != entry.npos && lineFeed >= static_cast<size_t>(kLatinMeaningStart)) {
            const std::u16string_view form = LatinSecondLine(entry);
            out.Append(form.substr(0, form.find_first_of(u" ,")), 0);
        }
    }
    out.DefaultClass(start, colourClass);
    out.Terminate();
    cell.length = out.Length();
    return cell.length;
}

FormattedText FormatArticleF16(const CDictionary& dictionary, uint32_t index) {
    const std::u16string_view entry = EntryText(dictionary, index);
    if (entry.empty()) return {};
    std::u16string_view form = LatinSecondLine(entry);
    const size_t bracket = form.find(u'[');
    const std::u16string_view remark = bracket == form.npos ? std::u16string_view() : form.substr(bracket);
    form = form.substr(0, std::min(form.find(u'\0'), bracket));
    const std::u16string_view meaning = WithoutTrailingSemicolon(LatinMeaning(entry));

    std::u16string text(form);
    std::vector<uint32_t> attributes(form.size(), 0);
    if (entry.find(u'\n') != entry.npos)
        BoldPrincipalParts(text.data(), attributes.data(), 0, static_cast<int32_t>(form.size()));
    text += u'\n';
    text += meaning;
    attributes.resize(text.size(), 0);
    if (!remark.empty()) {
        text += u'\n';
        text += remark;
        attributes.resize(text.size(), kClassGrey);
    }
    StyledText styled(static_cast<int32_t>(text.size()) + 1);
    if (!styled.Allocated()) return {};
    StyledWriter out = styled.Writer();
    for (size_t i = 0; i < text.size(); ++i) out.Put(text[i], attributes[i]);
    out.Terminate();
    styled.Finish(out);
    return FormattedText::Styled(std::move(styled));
}

int32_t PrepareIndexTextF16(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits) {
    int32_t n = 0;
    bool round = false, afterLineFeed = false, meaningStarted = false, lineStartPending = false;
    for (int32_t i = 0; i < length && n < capacity; ++i) {
        char16_t c = text[i];
        const uint16_t inBits = bits != nullptr ? bits[i] : 0;
        const bool lineFeed = c == u'\n';
        if (c == u'\r' || lineFeed) c = u' ';
        if (lineFeed && !afterLineFeed) {
            afterLineFeed = true;
            lineStartPending = true;
        }
        if (c == u'(') round = true;
        if (c == u')') round = false;
        if (c == u' ' && (n == 0 || out[n - 1] == u' ')) continue;
        uint16_t b = inBits;
        if (round) b |= kFieldRound;
        if (!afterLineFeed && i >= kLatinMeaningStart) {
            b |= kFieldMeaning;
            if (!meaningStarted) b |= kFieldLineStart;
            meaningStarted = true;
        }
        if (afterLineFeed && !lineFeed) b |= kFieldForm;
        if (lineStartPending) {
            b |= kFieldLineStart;
            lineStartPending = false;
        }
        out[n] = c;
        if (bits != nullptr) bits[n] = b;
        ++n;
    }
    if (n > 0 && out[n - 1] < 33) --n;
    return n;
}
