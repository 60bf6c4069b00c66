// The own markup parser: the control-word tables and the one-pass scan.
// A group's text is its first run of characters above U+0020 that follows
// its control words, up to the next brace; control words inside a run are
// skipped without being counted, which stored records rely on.
#include "import/own_markup_parser.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

using Table = std::span<const MarkupControlWord>;

// Each table is sorted by name in code order (checked by the tests).
constexpr MarkupControlWord kRoot[] = {
    {u"rdf1", 0, kMarkupDictionary, kWordHeaderTable},
    {u"rdf2", 0, kMarkupDictionary, kKanjiHeaderTable},
};
constexpr MarkupControlWord kWordHeader[] = {
    {u"a", 0, kMarkupArticle, kWordVocabulary},
    {u"comment", 0, kMarkupComment, kWordVocabulary},
    {u"copyright", 0, kMarkupCopyright, kWordVocabulary},
    {u"name", 0, kMarkupName, kWordVocabulary},
};
constexpr MarkupControlWord kKanjiHeader[] = {
    {u"a", 0, kMarkupArticle, kKanjiVocabulary},
    {u"comment", 0, kMarkupComment, kKanjiVocabulary},
    {u"copyright", 0, kMarkupCopyright, kKanjiVocabulary},
    {u"name", 0, kMarkupName, kKanjiVocabulary},
};
constexpr MarkupControlWord kWordWords[] = {
    {u"adj", 0x2, 0, kWordVocabulary},       {u"adji", 0x202, 0, kWordVocabulary},
    {u"adjna", 0x102, 0, kWordVocabulary},   {u"adv", 0x10, 0, kWordVocabulary},
    {u"advku", 0x210, 0, kWordVocabulary},   {u"advni", 0x110, 0, kWordVocabulary},
    {u"ai", 0x202, 0, kWordVocabulary},      {u"ana", 0x102, 0, kWordVocabulary},
    {u"counter", 0x20000, 0, kWordVocabulary}, {u"digit", 0x8, 0, kWordVocabulary},
    {u"idi", 0, kMarkupIdiom, kWordVocabulary}, {u"k", 0, kMarkupWord, kWordVocabulary},
    {u"n", 0x4, 0, kWordVocabulary},         {u"name", 0x20, 0, kWordVocabulary},
    {u"note", 0, kMarkupNote, kWordVocabulary}, {u"number", 0x80, 0, kWordVocabulary},
    {u"p", 0, kMarkupGroup, kWordVocabulary}, {u"place", 0x40, 0, kWordVocabulary},
    {u"r", 0, kMarkupReading, kWordVocabulary}, {u"rus", 0, kMarkupTranslation, kWordVocabulary},
    {u"s", 0, kMarkupSense, kWordVocabulary}, {u"unk", 0, 0, kWordVocabulary},
    {u"v", 0x1, 0, kWordVocabulary},         {u"v1", 0x401, 0, kWordVocabulary},
    {u"v2", 0x801, 0, kWordVocabulary},      {u"ver1", 0x10000, 0, kWordVocabulary},
    {u"vi", 0x201, 0, kWordVocabulary},      {u"vk", 0x2001, 0, kWordVocabulary},
    {u"vs", 0x1001, 0, kWordVocabulary},     {u"vt", 0x101, 0, kWordVocabulary},
    {u"x", 0, kMarkupExample, kWordVocabulary},
};
constexpr MarkupControlWord kKanjiWords[] = {
    {u"i1", 0x200, 0, kKanjiVocabulary},     {u"i2", 0x400, 0, kKanjiVocabulary},
    {u"ir", 0x100, 0, kKanjiVocabulary},     {u"iz", 0x800, 0, kKanjiVocabulary},
    {u"j", 0, kMarkupWord, kKanjiVocabulary}, {u"k", 0, kMarkupKunReading, kKanjiVocabulary},
    {u"o", 0x2, kMarkupOnReading, kKanjiVocabulary}, {u"p", 0, kMarkupGroup, kKanjiVocabulary},
    {u"rus", 0, kMarkupTranslation, kKanjiVocabulary}, {u"s", 0, kMarkupSense, kKanjiVocabulary},
    {u"ss", 0, kMarkupSubsense, kKanjiVocabulary}, {u"ver1", 0x10000, 0, kKanjiVocabulary},
    {u"w", 0x1, 0, kKanjiVocabulary},
};

Table TableOf(int32_t id) {
    switch (id) {
    case kRootTable: return kRoot;
    case kWordHeaderTable: return kWordHeader;
    case kKanjiHeaderTable: return kKanjiHeader;
    case kWordVocabulary: return kWordWords;
    case kKanjiVocabulary: return kKanjiWords;
    default: return {};
    }
}

// Only names of at most this many units can be in a table.
constexpr size_t kMaxTableName = 11;
constexpr int32_t kMaxLevels = 20;
constexpr char16_t kBom = 0xFEFF;

bool IsControlWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool IsArticleLevelKind(uint32_t kind) {
    return kind == kMarkupArticle || kind == kMarkupName || kind == kMarkupCopyright || kind == kMarkupComment;
}

// The state of one parse: the levels, the element opened last and the open text run.
class MarkupScan {
public:
    MarkupScan(std::u16string_view buffer, MarkupElementSink& sink, const MarkupCallbacks& callbacks)
        : text_(buffer), sink_(sink), callbacks_(callbacks) {}

    int32_t Run(uint32_t start, OwnMarkupMode mode) {
        tables_[0] = mode == OwnMarkupMode::WholeText      ? kRootTable
                     : mode == OwnMarkupMode::KanjiArticle ? kKanjiHeaderTable
                                                           : kWordHeaderTable;
        const bool whole = mode == OwnMarkupMode::WholeText;
        const uint32_t total = static_cast<uint32_t>(text_.size() - start);
        size_t i = start;
        while (i < text_.size()) {
            if (whole && callbacks_.progress &&
                callbacks_.progress(callbacks_.context, static_cast<uint32_t>(i - start), total) == 0)
                return 0;
            const char16_t c = text_[i];
            if (c == kBom) {
                ++i;
            } else if (c == u'{') {
                if (!OpenGroup(static_cast<uint32_t>(i))) return 0;
                ++i;
            } else if (c == u'}') {
                if (!CloseGroup(static_cast<uint32_t>(i))) return 0;
                ++i;
            } else if (c == u'\\' && i + 1 < text_.size() &&
                       (text_[i + 1] == u'{' || text_[i + 1] == u'}' || text_[i + 1] == u'\\')) {
                TextChar(i);
                TextChar(i + 1);
                i += 2;
            } else if (c == u'\\') {
                i = ControlWord(i + 1);
            } else {
                TextChar(i);
                ++i;
            }
        }
        FlushRun();
        return 1;
    }

    // Groups still open at the end, and where the one at article level (or
    // the outer group, when only it is open) was opened.
    int32_t OpenLevels() const { return level_; }
    uint32_t OpenArticleOffset() const { return offsets_[std::min(level_, 2)]; }

private:
    bool OpenGroup(uint32_t offset) {
        FlushRun();
        if (level_ >= kMaxLevels) return false;
        const int32_t element = sink_.AddGroup(offset);
        if (element < 0) return false;
        ++level_;
        tables_[level_] = tables_[level_ - 1];
        elements_[level_] = element;
        offsets_[level_] = offset;
        last_ = element;
        lastHasText_ = false;
        return true;
    }

    bool CloseGroup(uint32_t offset) {
        FlushRun();
        if (level_ == 0) return false;
        const int32_t element = elements_[level_];
        if (element < sink_.Count()) {
            sink_.SetEnd(element, offset);
            if (IsArticleLevelKind(sink_.Kind(element)) && callbacks_.article &&
                callbacks_.article(callbacks_.context, element) == 0)
                return false;
        }
        --level_;
        return true;
    }

    // Reads the control word starting at `from` (after its backslash), applies
    // it and returns the offset behind it and its one eaten blank.
    size_t ControlWord(size_t from) {
        size_t end = from;
        while (end < text_.size() && IsControlWordChar(text_[end])) ++end;
        const std::u16string_view word = text_.substr(from, end - from);
        if (const MarkupControlWord* found = FindMarkupControlWord(tables_[level_], word);
            found && LastElementLive()) {
            sink_.AddFlags(last_, found->flags);
            if (found->kind != 0) {
                sink_.SetKind(last_, found->kind);
                tables_[level_] = found->next;
            }
        }
        if (end < text_.size() && text_[end] == u' ') ++end;
        return end;
    }

    void TextChar(size_t offset) {
        if (runOpen_) {
            ++runLength_;
        } else if (text_[offset] > 0x20 && LastElementLive() && !lastHasText_) {
            runOpen_ = true;
            runOffset_ = static_cast<uint32_t>(offset);
            runLength_ = 1;
            lastHasText_ = true;
        }
    }

    void FlushRun() {
        if (runOpen_ && LastElementLive()) sink_.SetText(last_, runOffset_, runLength_);
        runOpen_ = false;
    }

    // The element opened last may have been cut away by an article callback.
    bool LastElementLive() const { return last_ >= 0 && last_ < sink_.Count(); }

    std::u16string_view text_;
    MarkupElementSink& sink_;
    const MarkupCallbacks& callbacks_;
    int32_t level_ = 0;
    std::array<int32_t, kMaxLevels + 1> tables_{};    // the table in force at each level
    std::array<int32_t, kMaxLevels + 1> elements_{};  // the element opened at each level
    std::array<uint32_t, kMaxLevels + 1> offsets_{};  // where the group of each level was opened
    int32_t last_ = -1;                               // the element opened last
    bool lastHasText_ = false;
    bool runOpen_ = false;
    uint32_t runOffset_ = 0;
    uint32_t runLength_ = 0;
};

}  // namespace

const MarkupControlWord* FindMarkupControlWord(int32_t table, std::u16string_view word) {
    if (word.empty() || word.size() > kMaxTableName) return nullptr;
    const Table entries = TableOf(table);
    const auto at = std::lower_bound(entries.begin(), entries.end(), word,
                                     [](const MarkupControlWord& e, std::u16string_view w) { return e.name < w; });
    return at != entries.end() && at->name == word ? &*at : nullptr;
}

uint32_t OwnMarkupDictionaryFlag(std::u16string_view text) {
    if (!text.empty() && text[0] == kBom) text.remove_prefix(1);
    if (text.size() * 2 < 14 || !text.starts_with(u"{\\rdf")) return 0;
    if (text[5] == u'1') return kWordDictionaryFlag;
    if (text[5] == u'2') return kKanjiDictionaryFlag;
    return 0;
}

MarkupParseResult ParseOwnMarkup(std::u16string_view buffer, uint32_t start, OwnMarkupMode mode,
                                 MarkupElementSink& sink, const MarkupCallbacks& callbacks) {
    MarkupParseResult result;
    if (start > buffer.size()) return result;
    if (mode == OwnMarkupMode::WholeText) {
        result.dictionaryFlag = OwnMarkupDictionaryFlag(buffer.substr(start));
        if (result.dictionaryFlag == 0) return result;
    }
    MarkupScan scan(buffer, sink, callbacks);
    result.ok = scan.Run(start, mode);
    result.openLevels = scan.OpenLevels();
    result.openGroupOffset = scan.OpenArticleOffset();
    return result;
}
