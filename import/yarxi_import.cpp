// The YARXI markup scan: control-word tables matched exactly, groups made
// into a tree of elements. Each element's text is its whole group, from its
// "{" to its "}" (to the end of the text when never closed), which is what
// the formatters and the per-article format type read. The scan keeps only
// offsets into the text buffer, because deriving an article's elements
// appends to that buffer and may move it.
#include "import/yarxi_import.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/compile_report.h"
#include "import/edict_import.h"
#include "import/eijiro_import.h"

namespace {

constexpr YarxiControlWord kRoot[] = {{u"yarxi", kYarxiDictionary, kYarxiArticleTable}};
constexpr YarxiControlWord kArticle[] = {{u"a", kYarxiArticle, kYarxiKanjiVocabulary}};
constexpr YarxiControlWord kKanjiWords[] = {
    {u"j", kYarxiKanji, -1},          {u"jn", kYarxiNameReadings, -1},
    {u"on", kYarxiOn, -1},            {u"n", kYarxiNumber, -1},
    {u"rad", kYarxiRadical, -1},      {u"str", kYarxiStrokes, -1},
    {u"use", kYarxiUsage, -1},        {u"kun", kYarxiKun, kYarxiKanjiVocabulary},
    {u"cmps", kYarxiCompounds, kYarxiCompoundGroupTable},
    {u"names", kYarxiNames, kYarxiNameTable},
    {u"ss", kYarxiSenseGroup, kYarxiKanjiVocabulary},
    {u"rs", kYarxiReadingGroup, kYarxiKanjiVocabulary},
    {u"dic", kYarxiDic, -1},          {u"an", kYarxiAn, -1},
    {u"jlpt", kYarxiJlpt, -1},        {u"pin", kYarxiPinyin, -1},
    {u"frq", kYarxiFrequency, -1},    {u"k", kYarxiWord, -1},
    {u"r", kYarxiReading, -1},        {u"rr", kYarxiReadingVariant, -1},
    {u"s", kYarxiSense, kYarxiKanjiVocabulary},
    {u"ref", kYarxiReference, kYarxiKanjiVocabulary},
};
constexpr YarxiControlWord kCompoundGroups[] = {{u"cmpg", kYarxiCompoundGroup, kYarxiCompoundTable}};
constexpr YarxiControlWord kCompounds[] = {{u"cmp", kYarxiCompound, kYarxiNestedArticleTable}};
constexpr YarxiControlWord kNames[] = {{u"name", kYarxiName, kYarxiNestedArticleTable}};
constexpr YarxiControlWord kNestedArticle[] = {
    {u"a", kYarxiArticle, kYarxiKanjiVocabulary},
    {u"cmpn", kYarxiCompoundNote, -1},
};

std::span<const YarxiControlWord> TableOf(int32_t id) {
    switch (id) {
    case kYarxiRootTable: return kRoot;
    case kYarxiArticleTable: return kArticle;
    case kYarxiKanjiVocabulary: return kKanjiWords;
    case kYarxiCompoundGroupTable: return kCompoundGroups;
    case kYarxiCompoundTable: return kCompounds;
    case kYarxiNameTable: return kNames;
    case kYarxiNestedArticleTable: return kNestedArticle;
    default: return {};
    }
}

constexpr size_t kMaxControlWord = 80;
constexpr char16_t kBom = 0xFEFF;

bool IsControlWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool StartsYarxiText(std::u16string_view text) {
    if (!text.empty() && text[0] == kBom) text.remove_prefix(1);
    return text.size() * 2 >= 14 && text.starts_with(u"{\\yarxi");
}

// The state of one parse, by offsets into the dictionary's text buffer.
class YarxiScan {
public:
    YarxiScan(CDictionary& dictionary, const ImportCallbacks& callbacks, uint32_t end)
        : dictionary_(dictionary), callbacks_(callbacks), end_(end) {
        lastChild_.fill(-1);
    }

    int32_t Run(uint32_t start, bool whole) {
        whole_ = whole;
        tables_[0] = whole ? kYarxiRootTable : kYarxiArticleTable;
        const uint32_t total = end_ - start;
        for (uint32_t i = start; i < end_;) {
            if (whole && callbacks_.progress &&
                callbacks_.progress(callbacks_.context, static_cast<int32_t>(i - start), static_cast<int32_t>(total)) == 0)
                return 0;
            const char16_t c = dictionary_.Text()[i];
            if (c == u'{') {
                if (!OpenGroup(i)) return 0;
                ++i;
            } else if (c == u'}') {
                if (!CloseGroup(i)) return 0;
                ++i;
            } else if (c == u'\\') {
                i = ControlWord(i + 1);
            } else {
                ++i;
            }
        }
        // A text whose groups are not all closed was cut short: the article it
        // cut (or the outer group, when only it is open) is named by its line.
        if (whole && level_ > 0) {
            const DictionaryElement& open = dictionary_.Elements()[elements_[level_ >= 2 ? 1 : 0]];
            const std::u16string_view before(dictionary_.Text() + start, static_cast<size_t>(open.begin - dictionary_.Text()) - start);
            const int64_t line = std::count(before.begin(), before.end(), u'\n') + 1;
            source_lines::ReportSourceNotWhole(0, callbacks_, GroupNeverClosedText(line));
        }
        return 1;
    }

private:
    bool Live(int32_t element) const { return element >= 0 && element < dictionary_.ElementCount(); }

    bool OpenGroup(uint32_t offset) {
        if (level_ >= kYarxiMaxLevels) return false;
        const int32_t sibling = lastChild_[level_];
        const int32_t parent = level_ > 0 ? elements_[level_ - 1] : -1;
        DictionaryElement* element = dictionary_.AddElement(0);
        if (element == nullptr) return false;
        const int32_t number = dictionary_.ElementCount() - 1;
        element->parent = Live(parent) ? parent : -1;
        element->level = level_;
        // Until its "}" is read the group runs to the end of the text.
        element->begin = element->text = dictionary_.Text() + offset;
        element->end = dictionary_.Text() + end_ - 1;
        element->length = static_cast<int32_t>(end_ - offset);
        if (Live(sibling) && sibling < number) dictionary_.Elements()[sibling].nextSibling = number;
        lastChild_[level_] = number;
        elements_[level_] = number;
        tables_[level_ + 1] = tables_[level_];
        ++level_;
        lastChild_[level_] = -1;
        last_ = number;
        return true;
    }

    bool CloseGroup(uint32_t offset) {
        if (level_ == 0) return false;
        --level_;
        const int32_t number = elements_[level_];
        if (!Live(number)) return true;
        DictionaryElement& element = dictionary_.Elements()[number];
        element.end = dictionary_.Text() + offset;
        element.length = static_cast<int32_t>(element.end - element.begin) + 1;
        const uint32_t kind = element.kind;
        const bool article = kind == kYarxiArticle && level_ <= 1;
        const bool header = kind >= kElementName && kind <= kElementComment;
        // A group of the root that is no article (nor a header) is left out.
        if (whole_ && level_ == 1 && !article && !header) source_lines::ReportSkippedLine(0, callbacks_);
        if (!article && !header) return true;
        const int32_t textBefore = dictionary_.TextLength();
        if (article) FinishYarxiArticle(dictionary_, number);
        if (callbacks_.onRecord == nullptr) return true;
        const int32_t answer = callbacks_.onRecord(callbacks_.context, dictionary_, number);
        // The derived texts serve the callback only.
        dictionary_.SetTextLength(textBefore);
        return answer != 0;
    }

    // Reads the control word after a backslash at `from - 1` and returns the
    // offset behind it and the one blank it eats.
    uint32_t ControlWord(uint32_t from) {
        const char16_t* text = dictionary_.Text();
        uint32_t end = from;
        while (end < end_ && end - from < kMaxControlWord && IsControlWordChar(text[end])) ++end;
        const std::u16string_view word(text + from, end - from);
        if (const YarxiControlWord* found = FindYarxiControlWord(tables_[level_], word); found && Live(last_)) {
            dictionary_.Elements()[last_].kind = found->kind;
            if (found->next >= 0) tables_[level_] = found->next;
        }
        if (end < end_ && text[end] == u' ') ++end;
        return end;
    }

    CDictionary& dictionary_;
    const ImportCallbacks& callbacks_;
    uint32_t end_;                                            // end of the parsed text in the buffer
    int32_t level_ = 0;                                       // groups open
    std::array<int32_t, kYarxiMaxLevels + 1> tables_{};       // the table in force inside each level
    std::array<int32_t, kYarxiMaxLevels + 1> elements_{};     // the group open at each level
    std::array<int32_t, kYarxiMaxLevels + 1> lastChild_{};    // the last group opened at each level
    int32_t last_ = -1;                                       // the group opened last
    bool whole_ = false;                                      // a whole text, not one stored article
};

}  // namespace

const YarxiControlWord* FindYarxiControlWord(int32_t table, std::u16string_view word) {
    for (const YarxiControlWord& entry : TableOf(table))
        if (entry.name == word) return &entry;
    return nullptr;
}

int32_t ImportYarxi(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks) {
    if (text == nullptr) return 1;
    const int32_t units = static_cast<int32_t>(sizeInBytes / 2);
    const bool whole = mode == 0;
    if (whole && !StartsYarxiText({static_cast<const char16_t*>(text), static_cast<size_t>(units)})) return 0;
    // Room first, then the bytes: the text may lie at any address.
    const int32_t start = dictionary.AppendText(units, nullptr);
    if (start < 0) return 0;
    std::memcpy(dictionary.MutableText() + start, text, static_cast<size_t>(units) * 2);
    dictionary.SetTextLength(start + units);
    if (whole) dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | kFormatKanji;
    YarxiScan scan(dictionary, callbacks, static_cast<uint32_t>(start + units));
    return scan.Run(static_cast<uint32_t>(start), whole);
}

bool LoadYarxiSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                     std::u16string& message) {
    message.clear();
    text.clear();
    if ((formatFlags & kFormatForeign) == 0 || (formatFlags & kFormatYarxi) == 0) return false;
    return LoadSourceBytes(path, text) > 14;
}
