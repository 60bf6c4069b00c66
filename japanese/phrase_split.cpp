// The phrase splitter's marks and rules: the first hit of each start and
// end, where words may begin and end, isolated and delimited hits, and the
// suppression by the exception pairs, the から rules and the pattern lists.
#include "japanese/phrase_split.h"

#include <algorithm>

#include "common/unicode/char_tables.h"
#include "japanese/phrase_split_tables.h"
#include "japanese/translate_steps.h"

namespace ostrel::japanese {
namespace {

// Punctuation, a spacing or enclosing mark, or a space: what delimits a hit.
bool Delimits(char16_t c) {
    const int32_t category = GetCharCategory(c);
    return category == kCategoryMc || category == kCategoryMe ||
           (category >= kCategoryPc && category <= kCategoryPo) || category == kCategoryZs;
}

std::u16string_view EntryReading(const WordListEntry& entry) {
    const int32_t reading = std::clamp(entry.readingLength, 0, kEntryTextUnits);
    if (reading > 0) return {entry.reading, static_cast<size_t>(reading)};
    return {entry.word, static_cast<size_t>(std::clamp(entry.wordLength, 0, kEntryTextUnits))};
}

std::u16string_view EntryKanji(const WordListEntry& entry) {
    return {entry.word, static_cast<size_t>(std::clamp(entry.wordLength, 0, kEntryTextUnits))};
}

bool IsException(const WordListEntry& entry) {
    const std::u16string_view reading = EntryReading(entry);
    for (const SegmentationException& row : SegmentationExceptionTable()) {
        if (row.reading == reading && (row.kanji.empty() || row.kanji == EntryKanji(entry))) return true;
    }
    return false;
}

}  // namespace

PhraseSplitter::PhraseSplitter(std::u16string_view text, std::span<WordListEntry> hits,
                               std::span<const uint16_t> boundary)
    : text_(text.substr(0, std::min<size_t>(text.size(), kMaxSplitPositions - 1))),
      length_(static_cast<int32_t>(text_.size())),
      hits_(hits.first(std::min<size_t>(hits.size(), kMaxHits))),
      hitCount_(static_cast<int32_t>(hits_.size())),
      boundary_(static_cast<size_t>(length_), 0),
      firstByStart_(static_cast<size_t>(length_), -1),
      firstByEnd_(static_cast<size_t>(length_) + 1, -1),
      next_(static_cast<size_t>(hitCount_) + 1, -1),
      score_(static_cast<size_t>(hitCount_) + 1, 0),
      covered_(static_cast<size_t>(hitCount_) + 1, 0),
      words_(static_cast<size_t>(hitCount_) + 1, 0),
      known_(static_cast<size_t>(hitCount_) + 1, 0) {
    std::copy_n(boundary.begin(), std::min(boundary.size(), boundary_.size()), boundary_.begin());
    chosen_.reserve(kMaxChosenWords);
}

bool PhraseSplitter::Usable(int32_t hit) const {
    if (hit < 0 || hit >= hitCount_) return false;
    const WordListEntry& entry = hits_[static_cast<size_t>(hit)];
    return (entry.flags & kEntryDeleted) == 0 && entry.matchStart >= 0 && entry.matchLength > 0 &&
           entry.matchLength <= length_ - entry.matchStart;
}

int32_t PhraseSplitter::NextAt(int32_t hit, int32_t position) const {
    for (int32_t h = hit + 1; h < hitCount_; ++h) {
        if (Usable(h)) return Start(h) == position ? h : -1;
    }
    return -1;
}

int32_t PhraseSplitter::FirstAt(int32_t position) const {
    return position >= 0 && position < length_ ? firstByStart_[static_cast<size_t>(position)] : -1;
}

char16_t PhraseSplitter::At(int32_t position) const {
    return position >= 0 && position < length_ ? text_[static_cast<size_t>(position)] : u'\0';
}

void PhraseSplitter::BuildPositionIndex(std::span<const int32_t> order) {
    std::fill(firstByStart_.begin(), firstByStart_.end(), -1);
    std::fill(firstByEnd_.begin(), firstByEnd_.end(), -1);
    for (int32_t i = hitCount_ - 1; i >= 0; --i) {
        if (Usable(i)) firstByStart_[static_cast<size_t>(Start(i))] = i;
    }
    int32_t lowestEnd = length_ + 1;
    for (const int32_t hit : order) {
        if (!Usable(hit) || End(hit) >= lowestEnd) continue;
        lowestEnd = End(hit);
        firstByEnd_[static_cast<size_t>(lowestEnd)] = hit;
    }
    for (uint16_t& flags : boundary_) flags |= kNoWordAcross | kNoWordGoesOn;
    for (int32_t p = 0; p < length_; ++p) {
        const int32_t first = firstByStart_[static_cast<size_t>(p)];
        if (first < 0) continue;
        for (int32_t q = p + 1; q < End(first); ++q) boundary_[static_cast<size_t>(q)] &= ~kNoWordAcross;
        for (int32_t q = p; q < End(first) - 1; ++q) boundary_[static_cast<size_t>(q)] &= ~kNoWordGoesOn;
    }
    for (int32_t p = 0; p < length_; ++p) {
        if ((boundary_[p] & kWordMayStart) == 0 || (p + 1 < length_ && (boundary_[p + 1] & kWordMayStart) != 0)) {
            continue;
        }
        int32_t q = p;
        while (q < length_ && firstByStart_[static_cast<size_t>(q)] < 0) ++q;
        if (q == length_) continue;
        for (int32_t h = FirstAt(q); h >= 0; h = NextAt(h, q)) hits_[static_cast<size_t>(h)].flags |= kHitAtWordStart;
    }
    for (int32_t p = 0; p < length_; ++p) {
        if ((boundary_[p] & kWordMayEnd) == 0 || (p > 0 && (boundary_[p - 1] & kWordMayEnd) != 0)) continue;
        int32_t end = p + 1;
        while (end <= length_ && firstByEnd_[static_cast<size_t>(end)] < 0) ++end;
        if (end > length_) continue;
        for (int32_t h = 0; h < hitCount_; ++h) {
            if (Usable(h) && End(h) == end) hits_[static_cast<size_t>(h)].flags |= kHitAtWordEnd;
        }
    }
}

void PhraseSplitter::FlagSameSpan(int32_t first, uint32_t flag) {
    for (int32_t h = first; h >= 0; h = NextAt(h, Start(first))) {
        if (Length(h) == Length(first)) hits_[static_cast<size_t>(h)].flags |= flag;
    }
}

void PhraseSplitter::MarkIsolatedHits() {
    for (int32_t s = 0; s < length_; ++s) {
        const int32_t first = firstByStart_[static_cast<size_t>(s)];
        if (first < 0) continue;
        const int32_t e = End(first);
        bool isolated = (boundary_[s] & kNoWordAcross) != 0 && (boundary_[e - 1] & kNoWordGoesOn) != 0;
        for (int32_t q = s + 1; isolated && q <= e - 2; ++q) {
            isolated = (boundary_[q] & (kNoWordAcross | kNoWordGoesOn)) == 0;
        }
        if (isolated) FlagSameSpan(first, kHitIsolated);
        if ((s == 0 || Delimits(text_[s - 1])) && (e == length_ || Delimits(text_[e]))) {
            FlagSameSpan(first, kHitDelimited);
        }
    }
}

int32_t PhraseSplitter::ApplySegmentationRules() {
    int32_t suppressed = 0;
    for (int32_t p = 0; p < length_; ++p) {
        const int32_t first = firstByStart_[static_cast<size_t>(p)];
        if (first < 0) continue;
        for (int32_t h = first; h >= 0; h = NextAt(h, p)) {
            WordListEntry& entry = hits_[static_cast<size_t>(h)];
            if ((entry.flags & (kHitSuppressed | kHitDelimited)) != 0) continue;
            bool forbidden = entry.indexId == 101 && IsException(entry);
            if (!forbidden && Length(h) >= 3) {
                const int32_t last = End(h) - 1;
                const int32_t atLast = firstByStart_[static_cast<size_t>(last)];
                const bool wordAtLast = atLast >= 0 && Length(atLast) >= 2;
                forbidden = wordAtLast && At(last) == u'か' && At(last + 1) == u'ら';
                forbidden = forbidden || (Length(h) == 3 && wordAtLast && At(p) == u'か' && At(p + 1) == u'ら' &&
                                          At(p + 2) != u'だ');
            }
            if (forbidden) {
                entry.flags |= kHitSuppressed;
                ++suppressed;
            }
        }
    }
    suppressed += MatchSegmentationPatterns(SegmentationPatternTables(0));
    suppressed += MatchSegmentationPatterns(SegmentationPatternTables(1));
    return suppressed;
}

int32_t PhraseSplitter::MatchSegmentationPatterns(std::span<const std::u16string_view> list) {
    int32_t suppressed = 0;
    for (int32_t p = 0; p < length_; ++p) {
        for (const std::u16string_view pattern : list) {
            if (pattern.empty()) break;
            PatternMatch match;
            if (MatchSegmentationPattern(pattern, text_, p, &match)) suppressed += SuppressPatternSpan(match);
        }
    }
    return suppressed;
}

// Suppresses what the matched pattern's brackets name: with both, the hits
// of exactly the span; with "]" alone, hits ending there that reach back to
// the match start; with "[" alone, hits from there at least to the match end.
int32_t PhraseSplitter::SuppressPatternSpan(const PatternMatch& match) {
    int32_t suppressed = 0;
    for (int32_t h = 0; h < hitCount_; ++h) {
        WordListEntry& entry = hits_[static_cast<size_t>(h)];
        if (!Usable(h) || (entry.flags & (kHitSuppressed | kHitDelimited)) != 0) continue;
        bool named = false;
        if (match.open >= 0 && match.close >= 0) {
            named = Start(h) == match.open && Length(h) == match.close - match.open;
        } else if (match.close >= 0) {
            named = End(h) == match.close && Length(h) >= match.close - match.start;
        } else if (match.open >= 0) {
            named = Start(h) == match.open && Length(h) >= match.end - match.open;
        }
        if (named) {
            entry.flags |= kHitSuppressed;
            ++suppressed;
        }
    }
    return suppressed;
}

int32_t PhraseSplitter::HideSuppressedHits() {
    int32_t hidden = 0;
    for (WordListEntry& entry : hits_) {
        if ((entry.flags & kHitSuppressed) != 0 && (entry.flags & kEntryDeleted) == 0) {
            entry.flags |= kEntryDeleted;
            ++hidden;
        }
    }
    return hidden;
}

int32_t PhraseSplitter::FindHitAt(int32_t position, int32_t maxLength) const {
    for (int32_t h = FirstAt(position); h >= 0; h = NextAt(h, position)) {
        if ((hits_[static_cast<size_t>(h)].flags & kHitSuppressed) == 0 && Length(h) <= maxLength) return h;
    }
    return -1;
}

}  // namespace ostrel::japanese
