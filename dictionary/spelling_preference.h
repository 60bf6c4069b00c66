// Where a reading typed whole lands in the by-reading list. The index orders
// one reading's spellings by their kanji's code, which puts a rare spelling
// first as often as not (喰べる before 食べる); the reader looks for the
// everyday one. Among the rows whose reading is the typed one unit for unit,
// the list stands on the spelling the word translator's reading-priority
// table ranks best for it (京 and 今日 are both common: きょう is 今日),
// else on the first spelling its dictionary marks common; with neither it
// stays on the reading's first row. A row whose reading
// only collates equal (ぎ for き, ヒレ for ひれ) is never walked, nor is a
// key of one kana, the start of nearly every reading typed. The table lives
// in a layer above the word lists, which installs it through
// `ISpellingPreference`.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class ISpellingPreference {
public:
    virtual ~ISpellingPreference() = default;
    // The spellings the table names for `reading`, the best first (an empty
    // one is the reading's kana row); empty for a reading it does not name.
    virtual std::span<const std::u16string_view> NamedSpellings(std::u16string_view reading) const = 0;
};

// The choice among the rows of one reading, fed in list order. The search
// as you type and the benchmark's SQLite peer both choose through it.
class SpellingWalk {
public:
    // The rows of one reading looked at, at most: the walk stays cheap on a
    // reading with hundreds of names or kanji (き, しょう).
    static constexpr int32_t kMaxRows = 64;

    // Over the rows of `reading`, with the spellings `preference` names for it.
    SpellingWalk(const ISpellingPreference* preference, std::u16string_view reading) {
        if (preference != nullptr) named_ = preference->NamedSpellings(reading);
    }

    // Whether a key is walked at all: one kana is not.
    static bool Walks(std::u16string_view reading) { return reading.size() >= 2; }

    // Takes the next row's spelling, and whether its dictionary marks it
    // common; false once no later row can change the choice.
    bool Take(std::u16string_view spelling, bool common) {
        const int32_t row = rows_++;
        if (common && firstCommon_ < 0) firstCommon_ = row;
        for (size_t rank = 0; rank < std::min(namedRank_, named_.size()); ++rank) {
            if (named_[rank] != spelling) continue;
            namedRank_ = rank;
            namedRow_ = row;
            break;
        }
        if (namedRank_ == 0 || (named_.empty() && firstCommon_ >= 0)) return false;
        return rows_ < kMaxRows;
    }
    // The row to stand on, counted from the reading's first row (0).
    int32_t Chosen() const { return namedRow_ >= 0 ? namedRow_ : firstCommon_ >= 0 ? firstCommon_ : 0; }

private:
    std::span<const std::u16string_view> named_;
    int32_t rows_ = 0;
    int32_t firstCommon_ = -1;
    int32_t namedRow_ = -1;
    size_t namedRank_ = SIZE_MAX;
};
