// Ordering and groups of the translated-words list: which of two competing
// hits is preferred, the selection sorts by text position and by end, and
// the collapsing and expanding of groups of nested hits. The analysed text is
// read up to its terminating 0 and never further.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "common/unicode/japanese_chars.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"

namespace {

// The codes from here on name a word joined behind the form (の, な,
// ください, です), not a form of the word itself.
constexpr uint8_t kFirstPhraseJoinCode = 145;

struct TagSummary {
    bool dictionaryForm = false;  // 3
    bool suruJoin = false;        // 21 (read for the second hit only)
    bool bareSuru = false;        // 22
    bool suruCompound = false;    // 71 (read for the first hit only)
    int32_t others = 0;
};

// The first hit ignores 21 and the second ignores 71: both count as no other code.
TagSummary SummariseTags(const WordListEntry& entry, bool first) {
    TagSummary summary;
    for (uint8_t code : entry.tags) {
        if (code == 0) break;
        if (code == 3) summary.dictionaryForm = true;
        else if (code == 22) summary.bareSuru = true;
        else if (code == 21 && first) continue;
        else if (code == 21) summary.suruJoin = true;
        else if (code == 71 && !first) continue;
        else if (code == 71) summary.suruCompound = true;
        else ++summary.others;
    }
    return summary;
}

char16_t TextAt(std::u16string_view text, int32_t position) {
    return position >= 0 && static_cast<size_t>(position) < text.size() ? text[position] : 0;
}

// Characters of the entry's reading equal to the text at the same place.
int32_t ReadingAgreement(std::u16string_view text, const WordListEntry& entry) {
    int32_t agree = 0;
    for (int32_t k = 0; k < entry.readingLength && k < kEntryTextUnits; ++k) {
        char16_t c = TextAt(text, entry.matchStart + k);
        if (c == 0) break;  // the text ends here
        if (c == entry.reading[k]) ++agree;
    }
    return agree;
}

bool IsDeleted(const WordListEntry& entry) { return (entry.flags & kEntryDeleted) != 0; }

bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309F; }
using ostrel::japanese::IsKana;
bool IsPunctuation(char16_t c) { return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) || c == u'.'; }
bool IsKanji(char16_t c) { return ostrel::japanese::IsCjkIdeograph(c) || c == u'々'; }

// A word the translator read through its forms (code 3) or joined with する
// (21), or one whose text holds more than hiragana.
bool IsWordOfTheText(std::u16string_view text, const WordListEntry& entry) {
    if (entry.tags[0] == 3 || entry.tags[0] == 21) return true;
    for (int32_t k = 0; k < entry.matchLength; ++k)
        if (!IsHiragana(TextAt(text, entry.matchStart + k))) return true;
    return false;
}

// A hit whose text here is kana only.
bool IsReadFromKana(std::u16string_view text, const WordListEntry& entry) {
    for (int32_t k = 0; k < entry.matchLength; ++k)
        if (!IsKana(TextAt(text, entry.matchStart + k))) return false;
    return true;
}

// A verb's conjunctive form closing a clause before a comma behind a case
// particle, as in テストを行い、 and 部分があり、: there the form is the
// verb, where the noun that spells the same (行い 'deed', 蟻 'ant') would
// stand; so are kana right behind a word in kanji or katakana (指定でき、
// is できる, not 出来 'workmanship'). Behind other kana (開くとき、,
// するつもり、) or の (彼の行い、) the noun stays first; a lone kana (で、)
// is the particle.
bool StemEndsAClause(std::u16string_view text, const WordListEntry& entry) {
    if (entry.tags[0] != 3 || entry.tags[1] != 2 || entry.tags[2] != 0 || entry.matchLength < 2) return false;
    const char16_t behind = TextAt(text, entry.matchStart + entry.matchLength);
    const bool comma = behind == u'、' || behind == u'，';
    // Behind a particle the clause may also close before a word in Latin
    // letters or a bracket (を使い root, にあり (...)); a word in kanji there
    // is as often a compound's (割り当て先, 繰り返し回数).
    const bool blankOrLatin = behind != 0 && !IsKana(behind) && !IsKanji(behind) && !IsPunctuation(behind);
    const char16_t before = TextAt(text, entry.matchStart - 1);
    const auto behindParticle = [&](std::u16string_view particle) {
        const int32_t at = entry.matchStart - static_cast<int32_t>(particle.size());
        return at >= 0 && text.substr(static_cast<size_t>(at), particle.size()) == particle;
    };
    if ((before != 0 && std::u16string_view(u"をがにでともはへ").find(before) != std::u16string_view::npos) ||
        behindParticle(u"から") || behindParticle(u"まで") || behindParticle(u"より")) {
        // Behind を and が a noun (使い, 蟻) would take a particle or the
        // copula of its own; before other kana the form is the verb
        // (がありそれぞれ, があり カスタム).
        const bool objectOrSubject = before == u'を' || before == u'が';
        const bool particleBehind = std::u16string_view(u"をがにでとのはもへやかだなよね").find(behind) !=
                                    std::u16string_view::npos;
        return comma || blankOrLatin || (objectOrSubject && IsKana(behind) && !particleBehind);
    }
    // Behind a word in kanji, katakana or Latin letters (有効となり、,
    // 2となり、), not behind hiragana (開くとき、) or where a sentence begins.
    const bool latinOrDigit = (before < 0x80 && std::isalnum(before)) || (before >= 0xFF10 && before <= 0xFF5A);
    const bool behindWord = IsKanji(before) || (IsKana(before) && !IsHiragana(before)) || latinOrDigit;
    return comma && behindWord && IsReadFromKana(text, entry);
}

// A form the text writes as one kanji and its kana (記す, 数ある), begun on
// the last kanji of a word the text writes in kanji alone, which ends at
// `reach`: the kanji is that word's (特記|すべき, 複数|ある), not a verb's.
bool IsOneKanjiAndKanaFormEnding(std::u16string_view text, const WordListEntry& entry, const WordListEntry& word,
                                 int64_t reach) {
    if (entry.tags[0] != 3 || entry.matchLength < 2 || entry.matchStart + 1 != reach) return false;
    for (int32_t k = word.matchStart; k < reach; ++k)
        if (!IsKanji(TextAt(text, k))) return false;
    for (int32_t k = 1; k < entry.matchLength; ++k)
        if (!IsHiragana(TextAt(text, entry.matchStart + k))) return false;
    return true;
}

bool IsSpelledWithKanji(const WordListEntry& entry) {
    for (int32_t k = 0; k < entry.wordLength && k < kEntryTextUnits; ++k)
        if (!IsKana(entry.word[k])) return true;
    return false;
}

// What the preference between two hits reads of each of them, gathered once
// per hit: an ordering compares each hit with many others.
struct HitTraits {
    TagSummary asFirst;
    TagSummary asSecond;
    bool sharedTeTaForm = false;  // いって / いった: several verbs share it
    bool afterTeWoDe = false;     // behind て, を or で
    bool saeParticle = false;     // the hit is さえ
    bool stemEndingAClause = false;  // StemEndsAClause
    bool readFromKana = false;       // IsReadFromKana
    bool spelledWithKanji = false;   // IsSpelledWithKanji
    bool writtenInKanji = false;     // its dictionary gives it no usually-kana mark, and could have
    bool behindCaseParticle = false; // behind を, が, は, も or に
    bool inflected = false;          // read through a form past the bare stem
    bool readingEndsInI = false;
    bool potential = false;  // its codes hold the potential (13)
    std::array<uint8_t, 16> codesLessPotential{};  // nor the words joined behind

    int32_t agreement = 0;        // ReadingAgreement
    int32_t shelfPosition = 0;
    // What the preference reads of the entry itself.
    int32_t priority = 0;
    bool readingIndex = false;  // found in the reading index (101)
    bool common = false;        // its dictionary marks the spelling common
    int32_t readingLength = 0;
};

HitTraits TraitsOf(std::u16string_view text, const WordListEntry& entry, int32_t shelfPosition) {
    HitTraits traits;
    traits.asFirst = SummariseTags(entry, true);
    traits.asSecond = SummariseTags(entry, false);
    const int32_t at = entry.matchStart;
    traits.sharedTeTaForm = entry.matchLength == 3 && TextAt(text, at) == u'い' && TextAt(text, at + 1) == u'っ' &&
                            (TextAt(text, at + 2) == u'て' || TextAt(text, at + 2) == u'た');
    const char16_t before = TextAt(text, at - 1);
    traits.afterTeWoDe = at > 0 && (before == u'て' || before == u'を' || before == u'で');
    traits.saeParticle = entry.matchLength == 2 && TextAt(text, at) == u'さ' && TextAt(text, at + 1) == u'え';
    traits.agreement = ReadingAgreement(text, entry);
    traits.stemEndingAClause = StemEndsAClause(text, entry);
    for (size_t i = 0, k = 0; i < traits.codesLessPotential.size() && entry.tags[i] != 0; ++i) {
        if (entry.tags[i] == 13) traits.potential = true;
        else if (entry.tags[i] < kFirstPhraseJoinCode) traits.codesLessPotential[k++] = entry.tags[i];
    }
    traits.readFromKana = IsReadFromKana(text, entry);
    traits.spelledWithKanji = IsSpelledWithKanji(entry);
    traits.writtenInKanji = (entry.flags & kEntryWrittenInKanji) != 0;
    traits.inflected = entry.tags[0] == 3 && entry.tags[1] != 0 && entry.tags[1] != 2;
    traits.behindCaseParticle = before != 0 && std::u16string_view(u"をがはもに").find(before) != std::u16string_view::npos;
    traits.readingEndsInI = entry.readingLength > 0 && entry.readingLength <= kEntryTextUnits &&
                            entry.reading[entry.readingLength - 1] == u'い';
    traits.shelfPosition = shelfPosition;
    traits.priority = entry.priority;
    traits.readingIndex = entry.indexId == kIndexReadingWord;
    traits.common = (entry.flags & kEntryCommonWord) != 0;
    traits.readingLength = entry.readingLength;
    return traits;
}

// A common verb's form that closes a clause (StemEndsAClause) before a word
// of no form spelled in kanji. From kana, an adjective (もよい、 of 良い)
// is no noun to give way: the kana of a verb's form in -い spell it too.
bool ClosesTheClauseOver(const HitTraits& verb, const HitTraits& other, const TagSummary& otherTags) {
    return verb.stemEndingAClause && verb.common && otherTags.others == 0 && !otherTags.suruJoin &&
           !otherTags.suruCompound && !otherTags.bareSuru && other.spelledWithKanji &&
           !(verb.readFromKana && other.readingEndsInI);
}

// Behind a case particle, a common verb's inflected form the text writes in
// hiragana goes before a noun in kanji that the same kana spell (が|いない
// is いる, not 以内 'within'), where its dictionary says the noun is not one
// usually written in kana.
bool IsTheFormOverANounInKanji(const HitTraits& form, const TagSummary& formTags, const HitTraits& noun,
                               const TagSummary& nounTags) {
    return form.behindCaseParticle && form.readFromKana && form.common && form.inflected &&
           nounTags.others == 0 && !nounTags.dictionaryForm &&
           !nounTags.suruJoin && !nounTags.suruCompound && !nounTags.bareSuru && noun.spelledWithKanji &&
           noun.writtenInKanji;
}

// A verb of the dictionary spelled as another verb's potential, in the same
// forms: the word written is the verb itself (入れておく is 入れる 'to put
// in', not 入る 'can enter'; 使える before 使う 'can use'), whichever
// reading of the request joined behind it each carries (入れないで下さい).
bool IsThePotentialOf(const HitTraits& potential, const HitTraits& verb) {
    return potential.potential && !verb.potential && potential.codesLessPotential == verb.codesLessPotential;
}

// 1 when the hit of `traitsA` is preferred to that of `traitsB`, else 0.
int32_t Prefer(const HitTraits& traitsA, const HitTraits& traitsB) {
    const TagSummary& ta = traitsA.asFirst;
    const TagSummary& tb = traitsB.asSecond;
    if (ta.bareSuru && !tb.bareSuru) return 1;
    if (tb.bareSuru && !ta.bareSuru) return 0;
    if (IsThePotentialOf(traitsB, traitsA)) return 1;
    if (IsThePotentialOf(traitsA, traitsB)) return 0;
    if (ClosesTheClauseOver(traitsA, traitsB, tb)) return 1;
    if (ClosesTheClauseOver(traitsB, traitsA, ta)) return 0;
    if (IsTheFormOverANounInKanji(traitsA, ta, traitsB, tb)) return 1;
    if (IsTheFormOverANounInKanji(traitsB, tb, traitsA, ta)) return 0;
    if ((ta.others == 0) == (tb.others == 0) || traitsA.sharedTeTaForm) {
        if (traitsA.priority > traitsB.priority) return 1;
        if (traitsA.priority < traitsB.priority) return 0;
    }
    bool decideByCodes = false;
    if (traitsA.afterTeWoDe) {
        if (traitsA.saeParticle) {
            decideByCodes = true;  // さえ after て/を/で is the particle
        } else {
            if (tb.dictionaryForm && !ta.dictionaryForm) return 0;
            if (ta.dictionaryForm && !tb.dictionaryForm) return 1;
        }
    }
    if (!decideByCodes && traitsA.readingIndex && traitsB.readingIndex &&
        traitsA.readingLength == traitsB.readingLength && traitsA.readingLength > 0 &&
        traitsA.agreement > traitsB.agreement) {
        return 1;
    }
    // A rare word the text spells whole does not outrank a common word it
    // reads as a form of (共 'together with' before 見た of 見る).
    if (ta.others != tb.others && traitsA.common != traitsB.common) return traitsA.common ? 1 : 0;
    if (ta.others != tb.others) return ta.others < tb.others ? 1 : 0;
    if (ta.suruCompound && tb.suruJoin) return 1;
    if (traitsA.shelfPosition != traitsB.shelfPosition) return traitsA.shelfPosition < traitsB.shelfPosition ? 1 : 0;
    // Words the rules above leave even: the spelling the dictionary marks
    // common before the rare ones that read alike (本 before 品 for ほん,
    // 読む before 訓む), which the index would order by their kanji's code.
    if (traitsA.common != traitsB.common) return traitsA.common ? 1 : 0;
    // Two rare words of one dictionary that inflect alike to the same text:
    // the one whose reading more of the text spells is the word written, not
    // one that only its ending reached. Between two common words (居る and
    // 下りる for おります) the text tells nothing of the kind.
    return !traitsA.common && traitsA.readingIndex && traitsB.readingIndex && traitsA.agreement > traitsB.agreement
               ? 1
               : 0;
}

}  // namespace

int32_t WordList::PreferHit(const WordListEntry& a, const WordListEntry& b) const {
    const std::u16string_view text = analysedText != nullptr ? std::u16string_view(analysedText) : std::u16string_view();
    return Prefer(TraitsOf(text, a, ShelfPosition(a.dictionary)), TraitsOf(text, b, ShelfPosition(b.dictionary)));
}

int32_t WordList::SortByTextPosition(int32_t expandOption) {
    const int32_t count = EntryCount();
    for (WordListEntry& entry : entries_) entry.flags &= ~(kEntryPlaced | kEntryGroupStart | kEntryGroupEnd);
    // By start, then longer, then preferred; hits the preference leaves even
    // keep the order they were found in (the particle は before the 歯 and
    // 刃 the reading index lists behind it), however the hits before them
    // were ordered. Deleted entries never move: the shown ones fill the other
    // places in turn.
    const std::u16string_view text = analysedText != nullptr ? std::u16string_view(analysedText) : std::u16string_view();
    struct Shown {
        int32_t start, length, entry;
    };
    std::vector<Shown> shown;
    std::vector<int32_t> places;  // the places of the shown entries, in order
    shown.reserve(static_cast<size_t>(count));
    places.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const WordListEntry& entry = entries_[static_cast<size_t>(i)];
        if (IsDeleted(entry)) continue;
        shown.push_back({entry.matchStart, entry.matchLength, i});
        places.push_back(i);
    }
    std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        if (a.start != b.start) return a.start < b.start;
        if (a.length != b.length) return a.length > b.length;
        return a.entry < b.entry;
    });
    // at[p]: the entry that goes to place p.
    std::vector<int32_t> at(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) at[static_cast<size_t>(i)] = i;
    // The hits of one start and length, in the order they were found, with
    // their traits beside them so that each fold reads one small array.
    struct Member {
        int32_t entry;
        HitTraits traits;
    };
    std::vector<Member> members;
    size_t next = 0;  // into places
    for (size_t first = 0; first < shown.size();) {
        size_t last = first + 1;
        while (last < shown.size() && shown[last].start == shown[first].start &&
               shown[last].length == shown[first].length)
            ++last;
        members.clear();
        for (size_t k = first; k < last; ++k) {
            const int32_t i = shown[k].entry;
            const WordListEntry& entry = entries_[static_cast<size_t>(i)];
            members.push_back({i, TraitsOf(text, entry, ShelfPosition(entry.dictionary))});
        }
        // A selection that takes the preferred hit out and leaves the rest
        // in their order.
        while (!members.empty()) {
            size_t best = 0;
            for (size_t k = 1; k < members.size(); ++k)
                if (Prefer(members[k].traits, members[best].traits) == 1) best = k;
            const int32_t chosen = members[best].entry;
            at[static_cast<size_t>(places[next++])] = chosen;
            entries_[static_cast<size_t>(chosen)].flags |= kEntryPlaced;
            members.erase(members.begin() + static_cast<std::ptrdiff_t>(best));
        }
        first = last;
    }
    // The order, applied one cycle of the permutation at a time.
    std::vector<bool> done(static_cast<size_t>(count), false);
    for (int32_t start = 0; start < count; ++start) {
        if (done[static_cast<size_t>(start)] || at[static_cast<size_t>(start)] == start) continue;
        const WordListEntry held = entries_[static_cast<size_t>(start)];
        int32_t j = start;
        for (int32_t from = at[static_cast<size_t>(j)]; from != start; from = at[static_cast<size_t>(j)]) {
            entries_[static_cast<size_t>(j)] = entries_[static_cast<size_t>(from)];
            done[static_cast<size_t>(j)] = true;
            j = from;
        }
        entries_[static_cast<size_t>(j)] = held;
        done[static_cast<size_t>(j)] = true;
    }
    // A group begins at each hit that reaches further than those before it,
    // except a hit in kana (or one kanji and its kana: 記す of 特記すべき)
    // that starts inside a word of the text and reaches
    // past it, where another hit starts right behind that word (認める read
    // from したため over 発生した|ため, 内容 from ないよう and いよう over
    // ことがない|ように): it stays among the word's rows, and the hit
    // behind the word heads the next group. A word is one read through its
    // forms or joined with する, or one the text writes with more than
    // hiragana; a noun read from hiragana (二死 from にし of 有効にします, 富な
    // of とみなす) is no word to keep a verb behind it out.
    const auto startsAt = [&](int64_t position) {
        const auto found = std::lower_bound(shown.begin(), shown.end(), position,
                                            [](const Shown& a, int64_t p) { return a.start < p; });
        return found != shown.end() && found->start == position;
    };
    int64_t reach = INT64_MIN;
    const WordListEntry* word = nullptr;
    for (WordListEntry& entry : entries_) {
        if (IsDeleted(entry)) continue;
        const int64_t end = int64_t{entry.matchStart} + entry.matchLength;
        if (end <= reach) continue;
        if (word != nullptr && entry.matchStart > word->matchStart && entry.matchStart < reach && startsAt(reach) &&
            IsWordOfTheText(text, *word) &&
            (IsReadFromKana(text, entry) || IsOneKanjiAndKanaFormEnding(text, entry, *word, reach))) {
            continue;
        }
        entry.flags |= kEntryGroupEnd;
        reach = end;
        word = &entry;
    }
    for (int32_t i = 0; i < count; ++i) {
        if ((entries_[i].flags & kEntryGroupEnd) == 0) continue;
        int32_t head = i;
        if (expandOption == 2) {
            for (int32_t k = i + 1; k < count; ++k) {
                if (IsDeleted(entries_[k])) continue;
                if (entries_[k].matchStart != entries_[i].matchStart ||
                    entries_[k].matchLength != entries_[i].matchLength) {
                    break;
                }
                head = k;
            }
        }
        entries_[head].flags |= kEntryGroupStart;
    }
    RebuildVisibleIndex();  // entries moved: the rows follow them
    return 1;
}

int32_t WordList::SortIndex(int32_t* index) {
    const int32_t count = EntryCount() < kMaxEntries ? EntryCount() : kMaxEntries;
    for (int32_t i = 0; i < count; ++i) {
        index[i] = i;
        entries_[i].flags &= ~kEntryPlaced;
    }
    for (int32_t position = 0; position < count; ++position) {
        int32_t best = -1;
        for (int32_t j = 0; j < count; ++j) {
            const WordListEntry& candidate = entries_[j];
            if (IsDeleted(candidate) || (candidate.flags & kEntryPlaced) != 0) continue;
            if (best < 0) { best = j; continue; }
            const WordListEntry& held = entries_[best];
            const int64_t candidateEnd = int64_t{candidate.matchStart} + candidate.matchLength;
            const int64_t heldEnd = int64_t{held.matchStart} + held.matchLength;
            if (candidateEnd != heldEnd) {
                if (candidateEnd > heldEnd) best = j;
            } else if (candidate.matchLength != held.matchLength) {
                if (candidate.matchLength > held.matchLength) best = j;
            } else if (PreferHit(candidate, held) == 1) {
                best = j;
            }
        }
        if (best >= 0) entries_[best].flags |= kEntryPlaced;
        index[position] = best;
    }
    return 0;
}

int32_t WordList::FindPrevFlagged(int32_t entryNumber, uint32_t mask) const {
    for (int32_t i = entryNumber < EntryCount() ? entryNumber : EntryCount() - 1; i >= 0; --i) {
        if (!IsDeleted(entries_[i]) && (entries_[i].flags & mask) != 0) return i;
    }
    return -1;
}

int32_t WordList::OffsetInGroup(int32_t row) const {
    if (row < 0 || row >= RowCount()) return 0;
    const int32_t entry = EntryOfRow(row);
    const int32_t groupEnd = FindPrevFlagged(entry, kEntryGroupEnd);
    return groupEnd < 0 ? 0 : entries_[entry].matchStart - entries_[groupEnd].matchStart;
}

void WordList::MarkGroupShown(int32_t head, int32_t entryNumber, bool expand) {
    const int32_t count = EntryCount();
    int32_t last = count - 1;
    for (int32_t i = entryNumber + 1; i < count; ++i) {
        if (!IsDeleted(entries_[i]) && (entries_[i].flags & kEntryGroupEnd) != 0) {
            last = i - 1;
            break;
        }
    }
    for (int32_t i = head; i <= last; ++i) {
        WordListEntry& entry = entries_[i];
        if (IsDeleted(entry)) continue;
        entry.flags &= ~(kEntryListed | kEntryGroupExpanded | kEntryGroupCollapsed);
        if (expand) entry.flags |= kEntryListed | kEntryGroupExpanded;
        else entry.flags |= i == head ? (kEntryListed | kEntryGroupCollapsed) : kEntryGroupCollapsed;
    }
}

std::pair<int32_t, int32_t> WordList::ShowGroup(int32_t entryNumber, bool expand) {
    const int32_t count = EntryCount();
    if (entryNumber < 0 || entryNumber >= count) return {-1, 0};
    int32_t head = FindPrevFlagged(entryNumber, kEntryGroupStart);
    if (head < 0) head = 0;
    MarkGroupShown(head, entryNumber, expand);
    RebuildVisibleIndex();
    int32_t row = -1;
    for (int32_t r = 0; r < RowCount() && EntryOfRow(r) <= entryNumber; ++r) row = r;
    return {row, row + 1};
}

void WordList::ShowEveryGroup(bool expand) {
    for (int32_t i = 0; i < EntryCount(); ++i)
        if ((entries_[i].flags & (kEntryGroupStart | kEntryDeleted)) == kEntryGroupStart) MarkGroupShown(i, i, expand);
    RebuildVisibleIndex();
}

std::pair<int32_t, int32_t> WordList::CollapseGroup(int32_t entryNumber) { return ShowGroup(entryNumber, false); }

std::pair<int32_t, int32_t> WordList::ExpandGroup(int32_t entryNumber) { return ShowGroup(entryNumber, true); }
