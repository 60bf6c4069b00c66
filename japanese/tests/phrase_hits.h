// Hand-built hits for the phrase splitter's tests: each hit names its span
// in the text, and the whole set runs through the splitter's steps in the
// order the translator runs them.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "japanese/phrase_split.h"
#include "japanese/translate_steps.h"
#include "japanese/translator.h"

namespace ostrel::japanese::test {

class PhraseHits {
public:
    explicit PhraseHits(std::u16string_view text) : text_(text) {}

    // A dictionary hit of the text's span (reading = that text unless given).
    PhraseHits& Word(int32_t start, int32_t length, std::u16string_view kanji = {}, uint32_t record = 0) {
        WordListEntry entry{};
        entry.matchStart = start;
        entry.matchLength = length;
        entry.indexId = 101;
        entry.recordId = record != 0 ? record : static_cast<uint32_t>(hits_.size() + 1);
        const std::u16string_view reading = std::u16string_view(text_).substr(start, length);
        std::copy(reading.begin(), reading.end(), entry.reading);
        entry.readingLength = static_cast<int32_t>(reading.size());
        std::copy(kanji.begin(), kanji.end(), entry.word);
        entry.wordLength = static_cast<int32_t>(kanji.size());
        entry.priority = kDefaultEntryPriority;
        hits_.push_back(entry);
        return *this;
    }
    // Dictionary hits of these words wherever they stand in the text.
    PhraseHits& Words(std::initializer_list<std::u16string_view> words) {
        for (const std::u16string_view word : words) {
            for (size_t at = text_.find(word); at != std::u16string_view::npos; at = text_.find(word, at + 1)) {
                Word(static_cast<int32_t>(at), static_cast<int32_t>(word.size()));
            }
        }
        return *this;
    }
    // Words separated by spaces.
    PhraseHits& Words(std::u16string_view spaced) {
        for (size_t at = 0; at < spaced.size();) {
            const size_t space = std::min(spaced.find(u' ', at), spaced.size());
            if (space > at) Words({spaced.substr(at, space - at)});
            at = space + 1;
        }
        return *this;
    }
    // The particle scan's hits: every particle kana, tag 160.
    PhraseHits& Particles() {
        for (size_t i = 0; i < text_.size(); ++i) {
            if (!IsParticleKana(text_[i])) continue;
            Word(static_cast<int32_t>(i), 1);
            hits_.back().tags[0] = kParticleTag;
            hits_.back().indexId = 0;
        }
        return *this;
    }
    WordListEntry& Last() { return hits_.back(); }

    // Orders the hits (start, then longer), runs the marks and the rules.
    PhraseSplitter& Prepare() {
        std::stable_sort(hits_.begin(), hits_.end(), [](const WordListEntry& a, const WordListEntry& b) {
            return a.matchStart != b.matchStart ? a.matchStart < b.matchStart : a.matchLength > b.matchLength;
        });
        // Hidden hits keep their places when the list is ordered: scatter some.
        for (int32_t i = 0; i < scatterHidden && !hits_.empty(); ++i) {
            WordListEntry& hidden = hits_[static_cast<size_t>(i * 7919) % hits_.size()];
            hidden.flags |= kEntryDeleted;
            hidden.matchStart = static_cast<int32_t>((i * 31) % (text_.size() + 3));
        }
        order_.resize(hits_.size());
        for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int32_t>(i);
        std::stable_sort(order_.begin(), order_.end(), [this](int32_t a, int32_t b) {
            const WordListEntry &x = hits_[a], &y = hits_[b];
            const int32_t xe = x.matchStart + x.matchLength, ye = y.matchStart + y.matchLength;
            return xe != ye ? xe > ye : x.matchLength > y.matchLength;
        });
        boundary_.assign(text_.size(), 0);
        ComputeBoundaryFlags(text_, boundary_);
        splitter_.emplace(text_, hits_, boundary_);
        splitter_->BuildPositionIndex(order_);
        splitter_->MarkIsolatedHits();
        splitter_->ApplySegmentationRules();
        splitter_->HideSuppressedHits();
        return *splitter_;
    }

    // The chosen words joined by "|".
    std::u16string Split() {
        PhraseSplitter& splitter = Prepare();
        splitter.ChooseBestSplit();
        return Chosen();
    }
    std::u16string Chosen() const {
        std::u16string out;
        for (const int32_t hit : splitter_->ChosenWords()) {
            if (!out.empty()) out += u'|';
            out += std::u16string_view(text_).substr(hits_[hit].matchStart, hits_[hit].matchLength);
        }
        return out;
    }
    // The index of the hit of this span, -1 when there is none.
    int32_t Find(int32_t start, int32_t length) const {
        for (size_t i = 0; i < hits_.size(); ++i) {
            if (hits_[i].matchStart == start && hits_[i].matchLength == length) return static_cast<int32_t>(i);
        }
        return -1;
    }
    std::vector<WordListEntry>& Hits() { return hits_; }
    int32_t scatterHidden = 0;  // hits hidden, with their starts moved, after the ordering

private:
    std::u16string text_;
    std::vector<WordListEntry> hits_;
    std::vector<int32_t> order_;
    std::vector<uint16_t> boundary_;
    std::optional<PhraseSplitter> splitter_;
};

}  // namespace ostrel::japanese::test
