// The full-text query parser: words, phrases and Russian alternatives.
#include "dictionary/full_text_query.h"

#include "common/segmentation/text_segmentation.h"
#include "common/text/russian_word_forms.h"
#include "common/unicode/search_key.h"

#include <array>

namespace {

bool IsQuote(char16_t c) { return c == 0x22 || c == 0x201C || c == 0x201D || c == 0x309B || c == 0x2033; }

// Space separators (category Zs): an ideographic space parts two kanji words as a blank does.
bool IsBlank(char16_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool IsIdeographicKey(const std::u16string& key) { return !key.empty() && key[0] >= 0x3000; }

constexpr int32_t kFormUnits = 300;

}  // namespace

int32_t FullTextQuery::TakeRecord() {
    if (RecordCount() >= kMaxRecords) return -1;
    records_.emplace_back();
    return RecordCount() - 1;
}

std::vector<int32_t> FullTextQuery::Alternatives(int32_t group) const {
    std::vector<int32_t> out;
    for (int32_t r = group; r >= 0; r = Record(r).nextAlternative) out.push_back(r);
    return out;
}

std::vector<int32_t> FullTextQuery::Groups() const {
    std::vector<int32_t> out;
    for (int32_t g = FirstGroup(); g >= 0; g = Record(g).nextGroup) out.push_back(g);
    return out;
}

int32_t FullTextQuery::MatchEnd() const { return lastGroup_ < 0 ? 0 : Record(lastGroup_).start + Record(lastGroup_).length; }

int32_t FullTextQuery::AddQueryAlternative(int32_t group, std::u16string_view text, uint32_t kind) {
    int32_t last = group;
    for (int32_t r = group; r >= 0; r = Record(r).nextAlternative) {
        if (Record(r).word == text) return r;
        last = r;
    }
    const int32_t r = TakeRecord();
    if (r < 0) return -1;
    FullTextQueryRecord& alternative = Record(r);
    alternative.word.assign(text.substr(0, kMaxKeyUnits));
    alternative.length = static_cast<int32_t>(alternative.word.size());
    alternative.start = Record(group).start;
    alternative.alternativeKind = kind;
    Record(last).nextAlternative = r;
    return r;
}

int32_t FullTextQuery::Parse(std::u16string_view text) {
    records_.clear();
    records_.reserve(kMaxRecords);
    groupCount_ = 0;
    lastGroup_ = -1;
    const int32_t length = static_cast<int32_t>(text.size());
    std::array<char16_t, kMaxWordUnits + 1> word{};
    std::array<char16_t, kMaxKeyUnits> key{};
    bool inPhrase = false;
    int32_t counter = 0, previousEnd = 0, at = 0, end = 0;
    while (RecordCount() < kMaxRecords) {
        const int32_t n = NextWord(text.data(), length, &at, &end, word.data(), kMaxWordUnits);
        if (n <= 0) break;
        for (int32_t i = previousEnd; i < at; ++i) {
            if (!IsQuote(text[static_cast<size_t>(i)])) continue;
            inPhrase = !inPhrase;
            if (inPhrase) counter = 1;
        }
        previousEnd = end;
        const int32_t start = at;
        at = end;
        const int32_t keyLength = MakeSearchKey({word.data(), static_cast<size_t>(n)}, key);
        // A word with nothing to search for (a lone "_") takes no group.
        if (keyLength <= 0) continue;
        const int32_t g = TakeRecord();
        FullTextQueryRecord& group = Record(g);
        group.word.assign(key.data(), static_cast<size_t>(keyLength));
        group.length = keyLength;
        group.start = start;
        if (inPhrase) group.phrase = counter++;
        if (lastGroup_ >= 0) {
            FullTextQueryRecord& previous = Record(lastGroup_);
            previous.nextGroup = g;
            group.previousGroup = lastGroup_;
            if (group.phrase == 0 && IsIdeographicKey(group.word) && IsIdeographicKey(previous.word) && start > 0 &&
                !IsBlank(text[static_cast<size_t>(start - 1)])) {
                if (previous.phrase == 0) previous.phrase = 1;
                group.phrase = previous.phrase + 1;
            }
        }
        lastGroup_ = g;
        ++groupCount_;
    }
    for (int32_t g : Groups())
        if (Record(g).phrase == 0) AddRussianForms(g);
    return groupCount_;
}

void FullTextQuery::AddRussianForms(int32_t group) {
    const std::u16string word = Record(group).word;
    std::array<char16_t, kFormUnits> out{};
    uint32_t outLength = 0;
    for (int32_t v = 0;; ++v) {
        const int32_t answer = LookupRussianIrregularForm(v, word.c_str(), out.data(), &outLength, kFormUnits);
        if (answer == kRussianNoForm) break;
        if (outLength > 0) AddQueryAlternative(group, {out.data(), outLength}, kAlternativeSpelling);
        if (answer != kRussianMoreVariants) break;
    }
    AddInflections(group, word);
    // Only the alternatives there before this pass are inflected in turn: forms of forms are not chased.
    for (int32_t r : Alternatives(group))
        if (Record(r).alternativeKind != kAlternativeAsTyped) AddInflections(group, std::u16string(Record(r).word));
}

void FullTextQuery::AddInflections(int32_t group, const std::u16string& word) {
    if (word.size() < 3 || word.back() < 0x400 || word.back() > 0x4FF || word == u"сумо") return;
    const int32_t wordClass = ClassifyRussianWord(word.c_str());
    int32_t first = 1, last = 14;
    if (wordClass == kRussianVerb || wordClass == kRussianReflexiveVerb) first = 15, last = 16;
    else if (wordClass == kRussianNounOrVerb) last = 16;
    std::array<char16_t, kFormUnits> out{};
    uint32_t outLength = 0;
    for (int32_t kind = first; kind <= last; ++kind) {
        const uint32_t alternativeKind = kind == kRussianFeminineAdjective ? kAlternativeFeminine
                                         : kind == kRussianNeuterAdjective ? kAlternativeNeuter
                                                                           : kAlternativeAsTyped;
        for (int32_t v = 0;; ++v) {
            const int32_t answer = InflectRussianWord(kind, v, word.c_str(), out.data(), &outLength, kFormUnits);
            if (answer == kRussianNoForm) break;
            if (outLength > 0 && AddQueryAlternative(group, {out.data(), outLength}, alternativeKind) < 0) return;
            if (answer != kRussianMoreVariants) break;
        }
    }
}

int32_t ParseFullTextQuery(FullTextQuery& query, std::u16string_view text) { return query.Parse(text); }
