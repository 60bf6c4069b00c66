// The phrase splitter's choice: over the hits the translator collected for a
// typed phrase (ordered by start, longer first), it marks where words may
// begin and end, suppresses hits the rule tables forbid, and picks one
// sequence of words that covers the phrase best.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "dictionary/word_list_entry.h"
#include "japanese/phrase_patterns.h"

namespace ostrel::japanese {

// Hit flags the splitter sets.
enum PhraseHitFlag : uint32_t {
    kHitAtWordStart = 0x1000,      // starts where a word may start
    kHitAtWordEnd = 0x2000,        // ends where a word may end
    kHitDelimited = 0x8000,        // punctuation, a mark, a space or the text edge on both sides
    kHitSuppressed = 0x10000,      // forbidden by a rule
    kHitIsolated = 0x20000,        // no other first hit begins or ends inside it
    kHitChosenNo = 0x1000000,      // a one-character の chosen behind a word
    kHitBeforeChosenNo = 0x2000000 // the word before such an の
};

// Position flags added to the translator's boundary flags.
enum PhrasePositionFlag : uint16_t {
    kNoWordAcross = 8,   // no first hit covers the position from an earlier start
    kNoWordGoesOn = 16,  // no first hit goes on behind the position
};

constexpr int32_t kMaxChosenWords = 1024;
constexpr int32_t kMaxSplitPositions = 1024;  // positions from here on take no words
constexpr uint8_t kCompanionCode = 145;       // a shorter word listed beside a chosen word ending in の

// One way of going on from a place: its first word and what the chain that
// starts with it covers.
struct SplitChoice {
    int32_t hit = -1;
    int32_t covered = 0;             // characters inside the chain's words
    int32_t words = 0;               // words in the chain
    int32_t particleScore = 0;       // of the first word
    int32_t continuationScore = -2;  // particle score of the second word, -2 when there is none
    bool singleHa = false;           // the first word is the one character は
};

// Whether `candidate` beats `best` (the earlier candidate; hit -1 for none).
bool CompareSplits(const SplitChoice& best, const SplitChoice& candidate);

class PhraseSplitter {
public:
    // `hits` ordered by start, longer first; `boundary` the translator's
    // boundary flags of `text`, one per character. The text is read up to
    // kMaxSplitPositions - 1 characters; hits outside it are left alone.
    PhraseSplitter(std::u16string_view text, std::span<WordListEntry> hits, std::span<const uint16_t> boundary);

    // `order`: the hits by decreasing end (WordList::SortIndex), -1 for none.
    void BuildPositionIndex(std::span<const int32_t> order);
    void MarkIsolatedHits();
    // The exception pairs, the から rules and both pattern lists; answers the
    // number of hits suppressed.
    int32_t ApplySegmentationRules();
    int32_t MatchSegmentationPatterns(std::span<const std::u16string_view> list);
    // Hides (0x1) every suppressed hit; answers how many.
    int32_t HideSuppressedHits();
    // Clears the listed flag and chooses the words, segment by segment,
    // endings at segment ends included; answers the number chosen.
    int32_t ChooseBestSplit();
    std::span<const int32_t> ChosenWords() const { return chosen_; }

    // The longest visible, unsuppressed hit at `position` no longer than
    // `maxLength`, or -1.
    int32_t FindHitAt(int32_t position, int32_t maxLength) const;
    // The first hit of the best chain behind `previous` (-1: from `from`)
    // before `to`, or -1; `score` gets its particle score (-2 for none).
    int32_t FindBestContinuation(int32_t previous, int32_t from, int32_t to, int32_t* score);
    // The particle hit a one-character `candidate` at `position` stands for,
    // or -1 when the context refuses it; `score` gets its value. `next` is
    // the word behind the candidate (-1 for none).
    int32_t ScoreParticle(int32_t position, int32_t previous, int32_t candidate, int32_t next, int32_t* score) const;
    // A hit at the segment's last position `end` (or behind the previous
    // ending's start when `previous` is one) that is a grammatical ending;
    // `goOn` tells whether another ending may stand before it.
    int32_t FindEndingWord(int32_t end, int32_t previous, bool* goOn) const;
    void InsertEndingWords(std::span<const int32_t> endings);

    uint16_t PositionFlags(int32_t position) const { return boundary_[static_cast<size_t>(position)]; }
    int32_t FirstHitStarting(int32_t position) const { return firstByStart_[static_cast<size_t>(position)]; }
    int32_t FirstHitEnding(int32_t end) const { return firstByEnd_[static_cast<size_t>(end)]; }

private:
    struct Frame;
    bool Usable(int32_t hit) const;
    // The next usable hit behind `hit` that starts at `position`, or -1.
    // Hidden hits may stand anywhere between them: the ordering skips them.
    int32_t NextAt(int32_t hit, int32_t position) const;
    int32_t FirstAt(int32_t position) const;
    int32_t Start(int32_t hit) const { return hits_[static_cast<size_t>(hit)].matchStart; }
    int32_t Length(int32_t hit) const { return hits_[static_cast<size_t>(hit)].matchLength; }
    int32_t End(int32_t hit) const { return Start(hit) + Length(hit); }
    std::u16string_view HitText(int32_t hit) const { return text_.substr(Start(hit), Length(hit)); }
    char16_t At(int32_t position) const;
    void FlagSameSpan(int32_t first, uint32_t flag);
    int32_t SuppressPatternSpan(const PatternMatch& match);
    void ResetSearch();
    void Solve(int32_t previous);
    bool Advance(Frame& frame, int32_t* needed);
    void Store(int32_t previous, const SplitChoice& choice);
    bool AddChosen(int32_t hit);
    void RemoveChosen(size_t index);

    std::u16string_view text_;
    int32_t length_;
    std::span<WordListEntry> hits_;
    int32_t hitCount_;
    std::vector<uint16_t> boundary_;      // translator's flags plus 8 and 16, per position
    std::vector<int32_t> firstByStart_;   // per position
    std::vector<int32_t> firstByEnd_;     // per end, 0..length
    std::vector<int32_t> chosen_;         // hit indexes, by start
    // Search slots, indexed by hit + 1 (slot 0: the segment start).
    std::vector<int32_t> next_;
    std::vector<int32_t> score_;
    std::vector<int32_t> covered_;
    std::vector<int32_t> words_;
    std::vector<uint8_t> known_;
    int32_t from_ = 0;
    int32_t to_ = 0;
};

// Lists (0x2) the chosen word `hit` and every visible hit of its span, the
// one-character-shorter hits of other records from the first one flagged
// 0x2000000 onward (with code 145) and the の flagged 0x1000000 at its last
// position. Answers the number of hits listed.
int32_t MarkChosenWord(std::span<WordListEntry> hits, int32_t hit);

}  // namespace ostrel::japanese
