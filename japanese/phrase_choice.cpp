// The phrase splitter's choice of words: a memoised search for the best
// chain of words through each segment, the particle scores that steer it,
// grammatical endings made words of their own, and the listing of the
// chosen words. The search keeps its own stack: a long key never deepens
// the program's.
#include <algorithm>

#include "common/unicode/japanese_chars.h"
#include "japanese/phrase_split.h"
#include "japanese/phrase_split_tables.h"
#include "japanese/tag_chain.h"
#include "japanese/translate_steps.h"
#include "japanese/translator.h"

namespace ostrel::japanese {
namespace {

bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309F; }
bool IsSplitKana(char16_t c) { return c >= 0x3041 && c <= 0x30FF; }
bool IsKanji(char16_t c) { return IsCjkIdeograph(c); }

bool EndsWith(std::u16string_view text, std::u16string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool HasCodes(const WordListEntry& entry) { return entry.tags[0] != 0; }

// Grammatical endings by length; one-character ones after which another
// ending may stand go first among theirs.
constexpr std::u16string_view kEndings4[] = {u"であった", u"でしょう"};
constexpr std::u16string_view kEndings3[] = {u"なのに", u"である", u"でした", u"だろう", u"だって", u"だった"};
constexpr std::u16string_view kEndings2[] = {u"です", u"かい"};
constexpr std::u16string_view kEndings1[] = {u"か", u"ぞ", u"な", u"ね", u"よ", u"だ", u"に"};

}  // namespace

bool CompareSplits(const SplitChoice& best, const SplitChoice& candidate) {
    if (best.hit < 0) return candidate.covered > 0;
    if (candidate.covered == 0) return false;
    if (candidate.covered != best.covered) return candidate.covered > best.covered;
    const int32_t fewer = best.words - candidate.words;
    if (fewer >= 2 || fewer <= -2) return fewer > 0;
    if (candidate.particleScore != best.particleScore) return candidate.particleScore > best.particleScore;
    if (fewer != 0) return fewer > 0;
    if (candidate.continuationScore != best.continuationScore) {
        if (candidate.continuationScore < 0) return false;
        if (best.continuationScore < 0) return true;
    }
    return candidate.covered >= 4 && candidate.singleHa;
}

// One place of the search: the candidates behind `previous` and how far
// their weighing has come. Each waits for the answers of its candidates,
// which start later in the text, so the stack never holds more frames than
// the segment has characters.
struct PhraseSplitter::Frame {
    explicit Frame(int32_t previousHit) : previous(previousHit) {}
    int32_t previous;
    int32_t position = -1;  // where the candidates start; -1 before they are found
    int32_t candidates[4] = {-1, -1, -1, -1};
    int32_t roles[4] = {0, 0, 0, 0};  // 0 longest, 1 one character, 2 two, 3 longest - 1
    int32_t count = 0;
    int32_t index = 0;
    int32_t stage = 0;      // 0 continuation of the candidate, 1 of the word weighed, 2 weigh
    int32_t weighed = -1;   // the candidate or the particle hit standing for it
    int32_t particleScore = 0;
    bool particle = false;
    bool takeFirst = false;
    SplitChoice best;
};

void PhraseSplitter::ResetSearch() {
    std::fill(next_.begin(), next_.end(), -1);
    std::fill(score_.begin(), score_.end(), 0);
    std::fill(covered_.begin(), covered_.end(), 0);
    std::fill(words_.begin(), words_.end(), 0);
    std::fill(known_.begin(), known_.end(), 0);
}

void PhraseSplitter::Store(int32_t previous, const SplitChoice& choice) {
    const size_t slot = static_cast<size_t>(previous + 1);
    next_[slot] = choice.hit;
    score_[slot] = choice.hit >= 0 ? choice.particleScore : -2;
    covered_[slot] = choice.covered;
    words_[slot] = choice.words;
    known_[slot] = 1;
}

void PhraseSplitter::Solve(int32_t previous) {
    if (known_[static_cast<size_t>(previous + 1)] != 0) return;
    std::vector<Frame> stack;
    stack.reserve(64);
    stack.emplace_back(previous);
    while (!stack.empty()) {
        int32_t needed = -1;
        if (Advance(stack.back(), &needed)) {
            stack.pop_back();
        } else {
            stack.emplace_back(needed);
        }
    }
}

// Weighs the frame's candidates as far as the answers at hand allow. Answers
// true when the frame's answer is stored, false with `needed` the hit whose
// continuation must be found first.
bool PhraseSplitter::Advance(Frame& f, int32_t* needed) {
    if (f.position < 0) {
        int32_t p = f.previous >= 0 ? End(f.previous) : from_;
        int32_t longest = -1;
        for (; p < to_ && p < length_; ++p) {
            longest = FindHitAt(p, 255);
            if (longest >= 0) break;
        }
        if (longest < 0) {
            Store(f.previous, SplitChoice{});
            return true;
        }
        f.position = p;
        f.candidates[f.count++] = longest;
        const int32_t length = Length(longest);
        f.takeFirst = length == 1 && !IsSplitKana(At(p));
        const int32_t shorter[3][2] = {{1, 2}, {2, 3}, {length - 1, 4}};
        for (int32_t role = 1; role <= 3 && !f.takeFirst; ++role) {
            if (length < shorter[role - 1][1]) continue;
            const int32_t hit = FindHitAt(p, shorter[role - 1][0]);
            if (hit >= 0 && Length(hit) == shorter[role - 1][0]) {
                f.roles[f.count] = role;
                f.candidates[f.count++] = hit;
            }
        }
    }
    const int32_t p = f.position;
    while (f.index < f.count) {
        const int32_t candidate = f.candidates[f.index];
        if (f.stage == 0) {
            if (known_[static_cast<size_t>(candidate + 1)] == 0) {
                *needed = candidate;
                return false;
            }
            f.weighed = candidate;
            f.particleScore = 0;
            f.particle = false;
            const char16_t c = At(p);
            if (!f.takeFirst && Length(candidate) == 1 && (IsParticleKana(c) || c == u'的')) {
                const int32_t previous = f.previous >= 0 && End(f.previous) == p ? f.previous : -1;
                int32_t score = 0;
                const int32_t particle =
                    ScoreParticle(p, previous, candidate, next_[static_cast<size_t>(candidate + 1)], &score);
                if (particle >= 0) {
                    f.weighed = particle;
                    f.particleScore = score;
                    f.particle = true;
                }
            }
            f.stage = 1;
        }
        if (f.stage == 1) {
            if (known_[static_cast<size_t>(f.weighed + 1)] == 0) {
                *needed = f.weighed;
                return false;
            }
            f.stage = 2;
        }
        const size_t slot = static_cast<size_t>(f.weighed + 1);
        SplitChoice choice;
        choice.hit = f.weighed;
        choice.covered = Length(f.weighed) + covered_[slot];
        choice.words = 1 + words_[slot];
        choice.particleScore = f.particleScore;
        choice.continuationScore = score_[slot];
        choice.singleHa = Length(f.weighed) == 1 && At(p) == u'は';
        f.stage = 0;
        ++f.index;
        if (f.particle && f.particleScore > 1 &&
            (hits_[static_cast<size_t>(f.candidates[0])].flags & kHitIsolated) == 0) {
            f.best = choice;
            break;
        }
        if (f.roles[f.index - 1] >= 2) {
            // A shorter word must not leave the next word a kanji stem cut from its kana.
            const int32_t nextWord = next_[slot];
            if (nextWord >= 0 && !IsHiragana(At(Start(nextWord)))) {
                const std::u16string_view rest = HitText(nextWord).substr(1);
                if (std::any_of(rest.begin(), rest.end(), IsHiragana)) continue;
            }
        }
        if (CompareSplits(f.best, choice)) f.best = choice;
    }
    const int32_t winner = f.best.hit;
    if (winner >= 0 && f.previous >= 0 && End(f.previous) == p && Length(winner) == 1 && At(p) == u'の') {
        hits_[static_cast<size_t>(winner)].flags |= kHitChosenNo;
        hits_[static_cast<size_t>(f.previous)].flags |= kHitBeforeChosenNo;
    }
    Store(f.previous, f.best);
    return true;
}

int32_t PhraseSplitter::FindBestContinuation(int32_t previous, int32_t from, int32_t to, int32_t* score) {
    if (previous < -1 || previous >= hitCount_) return -1;
    from_ = std::max(from, 0);
    to_ = std::min(to, length_);
    Solve(previous);
    const size_t slot = static_cast<size_t>(previous + 1);
    if (score != nullptr) *score = score_[slot];
    return next_[slot];
}

int32_t PhraseSplitter::ScoreParticle(int32_t p, int32_t previous, int32_t candidate, int32_t next,
                                      int32_t* score) const {
    *score = 0;
    const char16_t c = At(p);
    const char16_t before = At(p - 1);
    const std::u16string_view fromParticle = text_.substr(static_cast<size_t>(std::clamp(p, 0, length_)));
    const std::u16string_view ahead = fromParticle.empty() ? fromParticle : fromParticle.substr(1);
    const std::u16string_view behind = text_.substr(0, static_cast<size_t>(std::clamp(p, 0, length_)));
    int32_t wordLength = candidate >= 0 ? Length(candidate) : 1;
    if (candidate >= 0 && next >= 0 && Start(next) == End(candidate)) wordLength += Length(next);
    const WordListEntry* prev = previous >= 0 && Usable(previous) ? &hits_[static_cast<size_t>(previous)] : nullptr;
    const std::u16string_view prevText = prev != nullptr ? HitText(previous) : std::u16string_view();
    int32_t particleLength = 1;
    int32_t value = 0;
    switch (c) {
        case u'的':
            if (!IsKanji(before)) return -1;
            if (At(p + 1) == u'な') {
                particleLength = 2;
                value = MatchParticleContext(ParticleContextTableOfTekiNa(), fromParticle, wordLength, 0);
            }
            break;
        case u'お':
        case u'ご': {
            const int32_t longest = FindHitAt(p, 255);
            if (longest >= 0 && Length(longest) >= 2) return -1;
            break;
        }
        case u'か':
        case u'ぞ':
        case u'へ':
        case u'よ':
            break;
        case u'が': {
            const int32_t initial = (prev != nullptr && !HasCodes(*prev)) || IsKanji(before) ? 1 : 0;
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, initial);
            break;
        }
        case u'し':
        case u'で':
        case u'ん':
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, 0);
            break;
        case u'と': {
            int32_t initial = 0;
            if (prevText.size() >= 2 && EndsWith(prevText, u"そう")) initial = 1;
            else if (prevText == u"あに") initial = 1;
            else if (prevText == u"だれ") initial = -1;
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, initial);
            break;
        }
        case u'な':
            if ((candidate >= 0 && Length(candidate) > 1) || before == u'ん') return -1;
            if (EndsWith(behind, u"よう") || EndsWith(behind, u"うだ")) return -1;
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, 0);
            break;
        case u'に':
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, 0);
            if ((IsKanji(before) || EndsWith(behind, u"たち")) &&
                (ahead.starts_with(u"あい") || ahead.starts_with(u"あう") || ahead.starts_with(u"あえ"))) {
                value = 1;
            }
            break;
        case u'の':
            if (prevText == u"を") return -1;
            if (std::u16string_view(u"そあこどもな").find(before) != std::u16string_view::npos && before != 0) {
                return -1;
            }
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, 0);
            if (IsKanji(before) && ahead.starts_with(u"こと")) value = 1;
            break;
        case u'は':
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, IsKanji(before) ? 1 : 0);
            break;
        case u'も': {
            const bool after = EndsWith(behind, u"たり") || EndsWith(behind, u"だり") || EndsWith(behind, u"て");
            value = MatchParticleContext(ParticleContextTable(c), fromParticle, wordLength, after ? 1 : 0);
            break;
        }
        case u'ら':
            if (prev == nullptr || HasCodes(*prev) || (prevText.size() == 1 && IsSplitKana(prevText[0]))) return -1;
            value = before == u'な' ? -1 : 0;
            break;
        case u'を':
            value = 1;
            break;
        default:
            return -1;
    }
    // The particle scan's own hit of that length, else any hit of it.
    int32_t particle = -1;
    for (int32_t h = FirstAt(p); h >= 0; h = NextAt(h, p)) {
        if ((hits_[static_cast<size_t>(h)].flags & kHitSuppressed) != 0 || Length(h) != particleLength) continue;
        if (particle < 0) particle = h;
        if (hits_[static_cast<size_t>(h)].tags[0] == kParticleTag) {
            particle = h;
            break;
        }
    }
    if (particle >= 0) *score = value;
    return particle;
}

int32_t PhraseSplitter::FindEndingWord(int32_t end, int32_t previous, bool* goOn) const {
    *goOn = false;
    const int32_t stop = previous >= 0 ? Start(previous) : end + 1;
    const std::span<const std::u16string_view> lists[] = {kEndings4, kEndings3, kEndings2, kEndings1};
    for (const std::span<const std::u16string_view> list : lists) {
        for (const std::u16string_view ending : list) {
            const int32_t length = static_cast<int32_t>(ending.size());
            const int32_t start = stop - length;
            if (start < 0 || stop > length_ || text_.substr(start, length) != ending) continue;
            if (ending == u"か" && At(start - 1) == u'し') continue;
            if (length == 4 && At(stop - 4) != u'で') continue;
            const int32_t hit = FindHitAt(start, length);
            if (hit < 0 || Length(hit) != length) continue;
            *goOn = length == 1 && std::u16string_view(u"かぞなねよ").find(ending[0]) != std::u16string_view::npos;
            return hit;
        }
    }
    return -1;
}

bool PhraseSplitter::AddChosen(int32_t hit) {
    if (hit < 0 || static_cast<int32_t>(chosen_.size()) >= kMaxChosenWords) return false;
    auto place = std::upper_bound(chosen_.begin(), chosen_.end(), hit,
                                  [this](int32_t a, int32_t b) { return Start(a) < Start(b); });
    chosen_.insert(place, hit);
    return true;
}

void PhraseSplitter::RemoveChosen(size_t index) { chosen_.erase(chosen_.begin() + static_cast<ptrdiff_t>(index)); }

void PhraseSplitter::InsertEndingWords(std::span<const int32_t> endings) {
    if (endings.empty()) return;
    const int32_t earliest = Start(endings.back());
    bool removed = false;
    for (auto it = endings.rbegin(); it != endings.rend(); ++it) {
        const int32_t ending = *it;
        const bool kept = std::any_of(chosen_.begin(), chosen_.end(), [&](int32_t word) {
            if (End(word) < End(ending) || Start(word) > earliest) return false;
            const std::u16string_view text = HitText(word);
            return text != u"よね" && text != u"すね" && text != u"しかね";
        });
        if (kept) continue;
        int32_t lastBefore = -1;
        for (size_t i = chosen_.size(); i-- > 0;) {
            const int32_t word = chosen_[i];
            if (Start(word) >= End(ending) || End(word) <= Start(ending)) continue;
            if (Start(word) < Start(ending) && (lastBefore < 0 || Start(word) > Start(lastBefore))) lastBefore = word;
            RemoveChosen(i);
            removed = true;
        }
        if (lastBefore >= 0) AddChosen(FindHitAt(Start(lastBefore), Start(ending) - Start(lastBefore)));
        AddChosen(ending);
    }
    if (!removed) return;
    int32_t widest = -1;
    for (const int32_t word : chosen_) {
        if (Start(word) < earliest && End(word) >= earliest) return;
        if (End(word) <= earliest && (widest < 0 || End(word) > End(widest))) widest = word;
    }
    if (widest < 0) return;
    for (int32_t maxLength = Length(widest) - 1; maxLength >= 1; --maxLength) {
        const int32_t head = FindHitAt(Start(widest), maxLength);
        if (head < 0) continue;
        const int32_t gap = earliest - End(head);
        const int32_t tail = gap > 0 ? FindHitAt(End(head), gap) : -1;
        if (tail < 0 || Length(tail) != gap) continue;
        RemoveChosen(static_cast<size_t>(std::find(chosen_.begin(), chosen_.end(), widest) - chosen_.begin()));
        AddChosen(head);
        AddChosen(tail);
        return;
    }
}

int32_t PhraseSplitter::ChooseBestSplit() {
    for (WordListEntry& entry : hits_) {
        if ((entry.flags & kEntryDeleted) == 0) entry.flags &= ~kEntryListed;
    }
    chosen_.clear();
    int32_t s = 0;
    while (s < length_ && static_cast<int32_t>(chosen_.size()) < kMaxChosenWords) {
        int32_t e = s + 1;
        while (e < length_ && (boundary_[static_cast<size_t>(e)] & kWordMayEnd) == 0) ++e;
        if (e >= length_) e = length_ - 1;
        ResetSearch();
        FindBestContinuation(-1, s, e + 1, nullptr);
        int32_t lastEnd = s;
        for (int32_t h = next_[0]; h >= 0 && AddChosen(h); h = next_[static_cast<size_t>(h + 1)]) {
            lastEnd = End(h);
        }
        int32_t endings[3];
        int32_t found = 0;
        bool goOn = true;
        for (int32_t previous = -1; goOn && found < 3;) {
            previous = FindEndingWord(e, previous, &goOn);
            if (previous < 0) break;
            endings[found++] = previous;
        }
        InsertEndingWords(std::span(endings, static_cast<size_t>(found)));
        s = std::max(e + 1, lastEnd);
    }
    return static_cast<int32_t>(chosen_.size());
}

int32_t MarkChosenWord(std::span<WordListEntry> hits, int32_t hit) {
    if (hit < 0 || static_cast<size_t>(hit) >= hits.size()) return 0;
    const WordListEntry chosen = hits[static_cast<size_t>(hit)];
    const int32_t last = chosen.matchStart + chosen.matchLength - 1;
    int32_t marked = 0;
    bool companions = false;
    for (WordListEntry& entry : hits) {
        if ((entry.flags & kEntryDeleted) != 0) continue;
        if (entry.matchStart == chosen.matchStart && entry.matchLength == chosen.matchLength) {
            if ((entry.flags & kEntryListed) == 0) ++marked;
            entry.flags |= kEntryListed;
        }
    }
    for (WordListEntry& entry : hits) {
        if ((entry.flags & kEntryDeleted) != 0 || entry.matchStart != chosen.matchStart ||
            entry.matchLength != chosen.matchLength - 1 ||
            (entry.dictionary == chosen.dictionary && entry.recordId == chosen.recordId)) {
            continue;
        }
        companions = companions || (entry.flags & kHitBeforeChosenNo) != 0;
        if (!companions) continue;
        if ((entry.flags & kEntryListed) == 0) ++marked;
        entry.flags |= kEntryListed;
        TagChain tags;
        std::copy(std::begin(entry.tags), std::end(entry.tags), tags.begin());
        AppendTagCode(tags, kCompanionCode);
        std::copy(tags.begin(), tags.end(), std::begin(entry.tags));
    }
    for (WordListEntry& entry : hits) {
        if ((entry.flags & kEntryDeleted) == 0 && (entry.flags & kHitChosenNo) != 0 && entry.matchStart == last &&
            entry.matchLength == 1 && (entry.flags & kEntryListed) == 0) {
            entry.flags |= kEntryListed;
            ++marked;
        }
    }
    return marked;
}

}  // namespace ostrel::japanese
