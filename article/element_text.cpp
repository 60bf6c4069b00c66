// The element operations shared by the formatters.
#include "article/element_text.h"

#include "article/display_attributes.h"
#include "article/formatter_family.h"
#include "dictionary/dictionary.h"

namespace {

constexpr char16_t kMiddleDot = u'\u30FB';
constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kWhiteDiamond = u'\u25C7';
constexpr char16_t kFullwidthLeftParen = u'\uFF08';
constexpr char16_t kFullwidthRightParen = u'\uFF09';

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsReadingOrHeadword(uint32_t kind) { return kind == 3 || kind == 4 || kind == 11 || kind == 12; }
bool IsSense(uint32_t kind) { return kind == 5 || kind == 13; }

// Kinds that the unfiltered walk leaves to the head lines of an article, and
// the entry starts (and the root), whose text is a whole source line.
bool LeftOutOfSubsenses(uint32_t kind) {
    switch (kind) {
    case 1: case 2: case 3: case 4: case 8: case 11: case 12: case 14: case 35: case 36: case 38: return true;
    default: return false;
    }
}

// A sense that already carries a number: "1..." or "(1)..." in 3 units or more.
bool StartsNumbered(std::u16string_view text) {
    if (text.size() < 3) return false;
    return IsDigit(text[0]) || (text[0] == u'(' && IsDigit(text[1]) && text[2] == u')');
}

// The markup switch at text[i] ("<b>", "</i>" ...): its length, and which
// switch it sets to what. 0 when it is no switch.
struct TagSwitch {
    size_t length = 0;
    char16_t letter = 0;   // 'b', 'i' or 'g'
    bool on = false;
};

TagSwitch ReadTagSwitch(std::u16string_view text, size_t i) {
    for (char16_t letter : {u'b', u'i', u'g'}) {
        char16_t open[] = {u'<', letter, u'>'};
        char16_t close[] = {u'<', u'/', letter, u'>'};
        if (text.substr(i, 3) == std::u16string_view(open, 3)) return {3, letter, true};
        if (text.substr(i, 4) == std::u16string_view(close, 4)) return {4, letter, false};
    }
    return {};
}

const DictionaryElement* ElementAt(const CDictionary& dictionary, uint32_t index) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return nullptr;
    return &dictionary.Elements()[index];
}

}  // namespace

uint32_t EntryEnd(const CDictionary& dictionary, uint32_t index) {
    const uint32_t count = static_cast<uint32_t>(dictionary.ElementCount());
    for (uint32_t i = index + 1; i < count; ++i)
        if (dictionary.Elements()[i].kind == 2) return i;
    return count;
}

std::u16string_view ElementText(const DictionaryElement& element) {
    if (element.text == nullptr || element.length <= 0) return {};
    return {element.text, static_cast<size_t>(element.length)};
}

std::u16string_view TrimTrailing(std::u16string_view text) {
    while (text.size() > 1 && (text.back() <= 0x20 || text.back() == kIdeographicSpace)) text.remove_suffix(1);
    return text;
}

uint32_t ElementClass(uint32_t kind) {
    switch (kind) {
    case 4: return kClassHeadword;
    case 3: case 11: case 12: return kClassReading;
    case 38: return kClassGrey;
    default: return kClassPlain;
    }
}

int32_t GetElementTextTrimmed(const CDictionary& dictionary, uint32_t index, std::span<char16_t> out) {
    if (out.empty()) return 0;
    const DictionaryElement* element = ElementAt(dictionary, index);
    std::u16string_view text = element ? ElementText(*element) : std::u16string_view();
    text = TrimTrailing(text.substr(0, out.size() - 1));
    text.copy(out.data(), text.size());
    out[text.size()] = 0;
    return static_cast<int32_t>(text.size());
}

int32_t FormatNumberedField(const CDictionary& dictionary, uint32_t index, StyledWriter& out) {
    const DictionaryElement* element = ElementAt(dictionary, index);
    if (element == nullptr || out.Room() < 1) return 0;
    const int32_t start = out.Length();
    const uint32_t kind = element->kind;
    std::u16string_view text = ElementText(*element);
    uint32_t base = ElementClass(kind);
    const bool bracketsGrey = kind == 11 || kind == 12;

    if (kind == 12 && (element->flags & kDotsBeforeReading)) out.Append(u"...", base);
    if (kind == 10) {
        out.Put(kWhiteDiamond, base);
        if (!text.empty() && text[0] == kWhiteDiamond) text.remove_prefix(1);
    }
    if (kind == 7) out.Append(u"\u3000\u3000", base);
    // Examples and idioms: the Japanese part in the example colour, plain
    // from the blank before the translation on.
    bool exampleSplit = kind == 7 || kind == 10;
    if (exampleSplit) base = kClassExample;

    const bool markup = !IsSourceTextFormat(ParsedFormatType(dictionary));
    const bool underscoreIsText = !markup || (dictionary.flags & kBookDictionary) != 0;
    bool bold = false, italic = false, grey = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (markup && c == u'\\' && i + 1 < text.size() &&
            (text[i + 1] == u'{' || text[i + 1] == u'}' || text[i + 1] == u'\\')) {
            c = text[++i];
        } else if (markup && c == u'<' && text.find(u'>', i) != std::u16string_view::npos) {
            TagSwitch tag = ReadTagSwitch(text, i);
            if (tag.letter == u'b') bold = tag.on;
            if (tag.letter == u'i') italic = tag.on;
            if (tag.letter == u'g') grey = tag.on;
            i = text.find(u'>', i);
            continue;
        } else if (markup && c == u'>') {
            continue;
        } else if (c == u'_' && !underscoreIsText) {
            italic = !italic;
            continue;
        } else if (bracketsGrey && (c == kFullwidthLeftParen || c == kFullwidthRightParen)) {
            grey = c == kFullwidthLeftParen;
            continue;
        } else if (exampleSplit && c == u' ' && i > 0 && i + 1 < text.size() && text[i + 1] < kIdeographicSpace) {
            base = kClassPlain;
            exampleSplit = false;
        }
        uint32_t attribute = base | (bold ? kAttrBold : 0) | (italic ? kAttrItalic : 0);
        if (grey) attribute = WithGrey(attribute);
        if (!out.Put(c, attribute)) break;
    }
    while (out.Length() > start && out.UnitAt(out.Length() - 1) < 0x20) out.CutTo(out.Length() - 1);
    if (kind == 12 && (element->flags & kDotsAfterReading)) out.Append(u"...", base);
    out.Terminate(base);
    return out.Length() - start;
}

int32_t AppendSubsenses(const CDictionary& dictionary, uint32_t index, uint32_t kindFilter, StyledWriter& out) {
    const uint32_t count = static_cast<uint32_t>(dictionary.ElementCount());
    if (index >= count) return 0;
    const DictionaryElement* elements = dictionary.Elements();

    // A cell of one sense kind numbers only the senses it shows: KANJIDIC
    // records hold their first meaning twice (kinds 13 and 5), and counting
    // the hidden one made a meaning column start at "2.".
    const auto numberedKind = [kindFilter](uint32_t kind) {
        return IsSense(kind) && (kindFilter == 0 || kind == kindFilter);
    };
    int32_t senses = 0;
    bool alreadyNumbered = false;
    for (uint32_t i = index + 1; i < count; ++i) {
        if (!numberedKind(elements[i].kind)) continue;
        ++senses;
        if (StartsNumbered(ElementText(elements[i]))) alreadyNumbered = true;
    }
    const bool numbered = senses >= 2 && !alreadyNumbered;

    const int32_t start = out.Length();
    int32_t number = 0;
    bool firstTaken = true;
    for (uint32_t i = index + 1; i < count; ++i) {
        const uint32_t kind = elements[i].kind;
        if (numberedKind(kind)) ++number;
        if (kindFilter != 0 ? kind != kindFilter : LeftOutOfSubsenses(kind)) continue;
        if (out.Room() < 4) break;
        const uint32_t colourClass = ElementClass(kind);
        if (IsReadingOrHeadword(kind) && !firstTaken) out.Put(kMiddleDot, colourClass);
        firstTaken = false;
        if (IsSense(kind) && numbered) {
            out.AppendNumber(number, colourClass);
            out.Put(u'.', colourClass);
            out.Put(u' ', colourClass | kAttrSenseNumberBlank);
        }
        if (out.HasAttributes()) {
            FormatNumberedField(dictionary, i, out);
        } else {
            out.Append(TrimTrailing(ElementText(elements[i]).substr(0, static_cast<size_t>(out.Room()))), 0);
        }
        out.Put(u'\n', colourClass);
    }
    out.Terminate();
    return out.Length() - start;
}

int32_t NextWordRun(std::u16string_view text, int32_t& position) {
    size_t i = position < 0 ? 0 : static_cast<size_t>(position);
    while (i < text.size() && (text[i] < 33 || text[i] == u',' || text[i] == u';')) ++i;
    if (i >= text.size()) return -1;
    size_t end = text.find_first_of(u",;", i);
    if (end == std::u16string_view::npos) end = text.size();
    position = static_cast<int32_t>(i);
    return static_cast<int32_t>(end - i);
}

int32_t FindNextWordRun(const CDictionary& dictionary, uint32_t index, int32_t& position) {
    const DictionaryElement* element = ElementAt(dictionary, index);
    return NextWordRun(element ? ElementText(*element) : std::u16string_view(), position);
}

std::u16string_view EntrySpan(const CDictionary& dictionary, uint32_t index) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return {};
    const DictionaryElement& entry = dictionary.Elements()[index];
    if (entry.begin != nullptr && entry.end != nullptr && entry.end >= entry.begin)
        return {entry.begin, static_cast<size_t>(entry.end - entry.begin) + 1};
    return ElementText(entry);
}
