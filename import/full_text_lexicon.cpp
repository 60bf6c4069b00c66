// One article's words for the full-text index, and their hit weights.
#include "import/full_text_lexicon.h"

#include "article/display_attributes.h"
#include "article/formatter_family.h"
#include "article/index_marking.h"
#include "common/segmentation/text_segmentation.h"
#include "common/unicode/search_key.h"
#include "dictionary/dictionary.h"
#include "import/dsl_text_cleaners.h"
#include "import/warodai_import.h"

#include <array>
#include <vector>

namespace {

constexpr uint32_t kOwnMarkupFormat = 1;
constexpr uint32_t kCleanerFormat = 10;  // its element text is the article
constexpr int32_t kMaxWordUnits = 256;
constexpr uint16_t kSenseKanaStart = 0x800;
constexpr uint16_t kSenseWideStart = 0x400;

uint16_t WordClass(std::span<const uint16_t> bits, uint32_t at, uint32_t formatType) {
    uint16_t c = at < bits.size() ? bits[at] : 0;
    if (formatType == kOwnMarkupFormat && (c & kFieldTranslation)) c = static_cast<uint16_t>((c & ~kFieldTranslation) | kFieldNote);
    return c;
}

// No element boundary from the end of one word up to and including the first character of the next.
// The format's index-text preparer. The DSL and WARODAI cleaners belong to
// their importers, a layer above the formatters' table, so they are called here.
int32_t PrepareLexiconText(uint32_t formatType, char16_t* out, int32_t capacity, const char16_t* text, int32_t length,
                           uint16_t* bits) {
    switch (FormatterRowFor(formatType).index) {
    case IndexPreparer::SplitArticleText: return SplitArticleText(out, capacity, text, length, bits);
    case IndexPreparer::CleanArticleMarkup: return CleanArticleMarkup(out, capacity, text, length, bits);
    default: return PrepareIndexText(formatType, out, capacity, text, length, bits);
    }
}

bool Joined(std::span<const uint16_t> bits, uint32_t previousEnd, uint32_t nextStart) {
    for (uint32_t i = previousEnd; i <= nextStart && i < bits.size(); ++i)
        if (bits[i] & kFieldElementStart) return false;
    return true;
}

}  // namespace

void AssignHitWeights(std::span<PostingTuple> tuples, std::u16string_view text, std::span<const uint16_t> bits,
                      uint32_t formatType, bool bookHeadword) {
    const size_t n = tuples.size();
    std::vector<uint16_t> classes(n);
    for (size_t i = 0; i < n; ++i) classes[i] = WordClass(bits, tuples[i].start, formatType);
    for (size_t i = 0; i < n;) {
        if (classes[i] & kFieldSense) {
            const char16_t first = tuples[i].start < text.size() ? text[tuples[i].start] : 0;
            uint16_t c = classes[i];
            if (first >= 0x3041 && first <= 0x30FE) c |= kSenseKanaStart;
            else if (first >= 0x3000) c |= kSenseWideStart;
            tuples[i].wordClass = c;
            tuples[i].phrase = (c & (kFieldNote | kFieldItalic | kFieldInBrackets)) ? 255 : 1;
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < n && !(classes[j] & kFieldSense) && Joined(bits, tuples[j - 1].end, tuples[j].start)) ++j;
        for (size_t k = i; k < j; ++k) {
            tuples[k].wordClass = 0;
            tuples[k].phrase = static_cast<uint16_t>(std::min<size_t>(j - i, 254));
        }
        i = j;
    }
    for (size_t i = 0; i < n; ++i) {
        const uint16_t code = tuples[i].phrase, c = classes[i];
        uint16_t weight = code == 1 ? 12 : code == 2 ? 8 : code == 3 ? 4 : 0;
        // The word's own class decides: headword and reading hits rank above the rest.
        if ((c & (kFieldReading | kFieldHeadword | kFieldTranslation)) || bookHeadword) weight += 2;
        if (!(c & (kFieldNote | kFieldItalic)) && (!(c & kFieldInBrackets) || formatType == kOwnMarkupFormat)) weight += 1;
        tuples[i].phrase = weight;
    }
}

bool IsBookHeadwordLine(std::span<const uint32_t> bookValues, size_t line) {
    for (size_t back = 0; back <= 4 && back <= line && line < bookValues.size(); ++back) {
        const uint32_t top = bookValues[line - back] >> 24;
        if (top != 3) return top == 1;
    }
    return false;
}

int32_t AddLexiconWords(CSearchEngine& engine, const CDictionary& dictionary, int32_t element, uint32_t formatType,
                        uint32_t position, bool bookHeadword) {
    engine.BeginArticle();
    const DictionaryElement& e = dictionary.Elements()[element];
    const char16_t* text = nullptr;
    size_t length = 0;
    if (formatType == kCleanerFormat) {
        text = e.text;
        length = e.text && e.length > 0 ? static_cast<size_t>(e.length) : 0;
    } else if (e.begin && e.end && e.end >= e.begin) {
        text = e.begin;
        length = static_cast<size_t>(e.end - e.begin) + 1;
    }
    if (length == 0) return engine.FlushRecordPostings(position);
    // Room for a preparer that adds text: YARXI's puts the kana after each
    // bracketed romaji reading, never more units than the reading has.
    const size_t capacity = 2 * length + 16;
    CSearchEngine::ArticleWords& room = engine.articleWords;
    std::vector<uint16_t>& bits = room.bits;
    bits.assign(capacity, 0);
    MarkIndexFields(dictionary, static_cast<uint32_t>(element), text, {bits.data(), length});
    room.clean.assign(capacity + 1, 0);
    const int32_t cleanLength = std::max(0, PrepareLexiconText(formatType, room.clean.data(), static_cast<int32_t>(capacity),
                                                               text, static_cast<int32_t>(length), bits.data()));
    const std::u16string_view cleaned(room.clean.data(), static_cast<size_t>(cleanLength));
    // The article's words first, the cache slot of each fetched ahead: the
    // look-ups after them then seldom wait for memory.
    room.words.clear();
    room.spellings.clear();
    int32_t at = 0, end = 0;
    uint32_t number = 0;
    std::array<char16_t, kMaxWordUnits + 1> word{};
    const TextSegmenter segmenter(ProgramBreakProperties());
    for (int32_t n; (n = segmenter.NextWord(cleaned.data(), cleanLength, &at, &end, word.data(), kMaxWordUnits)) > 0;
         at = end, ++number) {
        if (end <= 0 || (bits[static_cast<size_t>(end - 1)] & kFieldNotIndexed)) continue;
        const size_t offset = room.spellings.size();
        room.spellings.insert(room.spellings.end(), word.data(), word.data() + n);
        room.words.push_back({at, end, number, static_cast<uint32_t>(offset), static_cast<uint32_t>(n)});
        engine.spellingIds.Prefetch({word.data(), static_cast<size_t>(n)});
    }
    std::array<char16_t, kMaxWordUnits> key{};
    for (const CSearchEngine::ArticleWords::Word& word : room.words) {
        // A full buffer drops the article's further postings, before any id is made for them.
        if (!engine.HasRoom()) break;
        const std::u16string_view spelling(room.spellings.data() + word.offset, word.length);
        int64_t id = engine.spellingIds.Find(spelling);
        if (id == 0) {
            const int32_t keyLength = MakeSearchKey(spelling, key);
            if (keyLength <= 0) continue;
            id = engine.GetWordId({key.data(), static_cast<size_t>(keyLength)});
            if (id < 0) return -1;
            engine.spellingIds.Keep(spelling, static_cast<uint32_t>(id));
        }
        engine.AddPosting(static_cast<uint32_t>(id), static_cast<uint32_t>(word.start), static_cast<uint32_t>(word.end),
                          word.number);
    }
    AssignHitWeights(engine.Tuples(), cleaned, {bits.data(), static_cast<size_t>(cleanLength)}, formatType, bookHeadword);
    return engine.FlushRecordPostings(position);
}
