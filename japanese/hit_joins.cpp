// The post-processing passes of a translation. Each reads the analysed
// text only inside its bounds and tolerates a full list.
#include "japanese/hit_joins.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "common/unicode/char_tables.h"
#include "common/unicode/japanese_chars.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"
#include "japanese/tag_chain.h"

namespace ostrel::japanese {
namespace {

TagChain& Chain(WordListEntry& entry) { return *reinterpret_cast<TagChain*>(entry.tags); }
const TagChain& Chain(const WordListEntry& entry) { return *reinterpret_cast<const TagChain*>(entry.tags); }

bool Visible(const WordListEntry& entry) { return (entry.flags & kEntryDeleted) == 0; }
int32_t EndOf(const WordListEntry& entry) { return entry.matchStart + entry.matchLength; }

char16_t At(std::u16string_view text, int32_t i) {
    return i >= 0 && static_cast<size_t>(i) < text.size() ? text[static_cast<size_t>(i)] : 0;
}
bool TextAt(std::u16string_view text, int32_t i, std::u16string_view what) {
    return i >= 0 && static_cast<size_t>(i) <= text.size() && text.substr(static_cast<size_t>(i)).starts_with(what);
}
bool OneOf(char16_t c, std::u16string_view set) { return c != 0 && set.find(c) != std::u16string_view::npos; }

bool Holds(const WordListEntry& entry, std::initializer_list<uint8_t> codes) {
    const TagChain& chain = Chain(entry);
    for (int32_t i = 0; i < CountTagCodes(chain); ++i)
        if (std::find(codes.begin(), codes.end(), chain[static_cast<size_t>(i)]) != codes.end()) return true;
    return false;
}
// The chain without the codes in `drop`.
TagChain Without(const TagChain& chain, std::initializer_list<uint8_t> drop) {
    TagChain out{};
    for (int32_t i = 0; i < CountTagCodes(chain); ++i) {
        const uint8_t code = chain[static_cast<size_t>(i)];
        if (std::find(drop.begin(), drop.end(), code) == drop.end()) AppendTagCode(out, code);
    }
    return out;
}
void AppendAll(TagChain& chain, const TagChain& more) {
    for (int32_t i = 0; i < CountTagCodes(more); ++i) AppendTagCode(chain, more[static_cast<size_t>(i)]);
}
std::u16string_view Reading(const WordListEntry& entry) {
    return {entry.reading, static_cast<size_t>(std::clamp(entry.readingLength, 0, kEntryTextUnits))};
}
bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309E; }
bool IsKatakana(char16_t c) { return c >= 0x30A1 && c <= 0x30FE && c != 0x30FB; }
bool IsCommon(const WordListEntry& entry) { return (entry.flags & kEntryCommonWord) != 0; }

// The text under the entry is hiragana alone.
bool ReadFromHiragana(const WordListEntry& entry, std::u16string_view text) {
    for (int32_t k = entry.matchStart; k < EndOf(entry); ++k)
        if (!IsHiragana(At(text, k))) return false;
    return entry.matchLength > 0;
}
// The entry's headword holds a character that is no kana.
bool SpelledWithKanji(const WordListEntry& entry) {
    for (int32_t k = 0; k < entry.wordLength && k < kEntryTextUnits; ++k)
        if (!(IsHiragana(entry.word[k]) || IsKatakana(entry.word[k]))) return true;
    return false;
}

// What する joins onto: a verb's conjunctive stem (code 2, not a lone
// hiragana), or a word of two characters or more written in kanji or
// katakana that did not inflect (発生, 選択, コピー), the noun that
// 発生しました, 選択しました, コピーします turn into a verb. The hiragana
// before し are particles and endings far more often than nouns.
bool TakesSuru(const WordListEntry& stem, std::u16string_view text, bool nouns) {
    if (Holds(stem, {2})) return !(stem.matchLength == 1 && IsHiragana(At(text, stem.matchStart)));
    if (!nouns || stem.tags[0] != 0 || stem.matchLength < 2) return false;
    for (int32_t i = stem.matchStart; i < EndOf(stem); ++i) {
        const char16_t c = At(text, i);
        if (c == 0 || IsHiragana(c) || !(IsCjkIdeograph(c) || IsKatakana(c) || c == u'々')) return false;
    }
    return true;
}

// A copy of `from` over [start, end) with `tags`; null when the list is full.
WordListEntry* AppendJoined(WordList& list, const WordListEntry& from, int32_t start, int32_t end,
                            const TagChain& tags) {
    WordListEntry joined = from;
    joined.matchStart = start;
    joined.matchLength = end - start;
    std::memcpy(joined.tags, tags.data(), tags.size());
    joined.flags |= kEntryListed;
    return list.AppendRaw(joined);
}

// The visible entry of `list` that starts at `start` and satisfies `wanted`.
template <typename Wanted>
int32_t FindEntry(const WordList& list, int32_t count, Wanted wanted) {
    for (int32_t i = 0; i < count; ++i)
        if (Visible(list.EntryAt(i)) && wanted(list.EntryAt(i))) return i;
    return -1;
}

// The entries there are now, by the unit they start at, for a pass that asks
// once an entry what starts at some place: a pasted text holds tens of
// thousands of hits, and a walk over all of them for each made a text of
// 2,000 kana take seconds.
class EntriesByStart {
public:
    explicit EntriesByStart(const WordList& list) : list_(list) {
        for (int32_t i = 0; i < list.EntryCount(); ++i) {
            const int32_t start = list.EntryAt(i).matchStart;
            if (start < 0) continue;
            if (static_cast<size_t>(start) >= starts_.size()) starts_.resize(static_cast<size_t>(start) + 1);
            starts_[static_cast<size_t>(start)].push_back(i);
        }
    }

    // Whether a visible entry that starts at `start` satisfies `wanted`.
    template <typename Wanted>
    bool Any(int32_t start, Wanted wanted) const {
        if (start < 0 || static_cast<size_t>(start) >= starts_.size()) return false;
        for (const int32_t i : starts_[static_cast<size_t>(start)])
            if (Visible(list_.EntryAt(i)) && wanted(list_.EntryAt(i))) return true;
        return false;
    }

private:
    const WordList& list_;
    std::vector<std::vector<int32_t>> starts_;
};

// The する a noun or stem joined is the verb: a word that reads on from it
// without inflecting (すると "thereupon", 駿河) cannot begin there, so
// 指定すると is 指定する and と, not 指定 and a conjunction.
void HideWordsAcrossSuru(WordList& list, const WordListEntry& suru) {
    for (int32_t i = 0; i < list.EntryCount(); ++i) {
        WordListEntry& entry = list.EntryAt(i);
        if (Visible(entry) && entry.matchStart == suru.matchStart && EndOf(entry) > EndOf(suru) && entry.tags[0] == 0)
            entry.flags |= kEntryDeleted;
    }
}

}  // namespace

void JoinNounParticles(WordList& list, std::u16string_view text) {
    const int32_t length = static_cast<int32_t>(text.size());
    for (int32_t q = 1; q < length; ++q) {
        const char16_t c = text[static_cast<size_t>(q)];
        const char16_t before = At(text, q - 1), behind = At(text, q + 1);
        uint8_t code = 0;
        int32_t grow = 1;
        if (c == u'の') {
            if (OneOf(before, u"をそあこたど") || OneOf(behind, u"でにっんは") || TextAt(text, q + 1, u"なら")) continue;
            code = kJoinNo;
        } else if (c == u'な') {
            // 符号なしで, 引数なし、: the noun goes without (無し), it is no adjective.
            const char16_t pastShi = At(text, q + 2);
            if (behind == u'し' && (!IsHiragana(pastShi) || OneOf(pastShi, u"でにのはもがとや"))) continue;
            if (before == u'ん' || OneOf(behind, u"どにいるっくらりん") || TextAt(text, q + 1, u"さい") ||
                TextAt(text, q + 1, u"がら") || TextAt(text, q + 1, u"けれ") || TextAt(text, q - 2, u"ような"))
                continue;
            code = kJoinNa;
        } else if (c == u'的') {
            if (!IsCjkIdeograph(before)) continue;
            code = kJoinTeki;
            if (behind == u'な' && !OneOf(At(text, q + 2), u"どにいるっくらりんさがけ")) {
                code = kJoinTekiNa;
                grow = 2;
            }
        } else {
            continue;
        }
        for (int32_t i = 0; i < list.EntryCount(); ++i) {
            WordListEntry& entry = list.EntryAt(i);
            if (!Visible(entry) || EndOf(entry) != q || entry.tags[0] != 0) continue;
            entry.matchLength += grow;
            AppendTagCode(Chain(entry), code);
        }
    }
}

void JoinSuruVerbs(WordList& list, std::u16string_view text, bool nouns) {
    const int32_t count = list.EntryCount();
    for (int32_t s = 0; s < count; ++s) {
        if (!Visible(list.EntryAt(s)) || !Holds(list.EntryAt(s), {kJoinSuruMarker})) continue;
        // Copied: the entries appended below must not move it.
        const WordListEntry suru = list.EntryAt(s);
        bool joins = false;
        for (int32_t e = 0; e < s; ++e) {
            const WordListEntry& stem = list.EntryAt(e);
            if (!Visible(stem) || EndOf(stem) != suru.matchStart || !TakesSuru(stem, text, nouns)) continue;
            joins = true;
            const int32_t end = EndOf(suru);
            // The dictionary holds the whole, read as the noun's reading
            // with する (not 指示す さししめす over 指示します), or this stem
            // was joined already (with the する of another dictionary).
            const bool known = FindEntry(list, list.EntryCount(), [&](const WordListEntry& x) {
                                   return x.dictionary == stem.dictionary && x.matchStart == stem.matchStart &&
                                          EndOf(x) == end &&
                                          ((x.tags[0] == 3 && Reading(x).starts_with(Reading(stem))) ||
                                           (x.tags[0] == kJoinSuruVerb && x.recordId == stem.recordId &&
                                            x.subEntry == stem.subEntry));
                               }) >= 0;
            if (known) continue;
            TagChain tags{};
            AppendTagCode(tags, kJoinSuruVerb);
            AppendAll(tags, Without(Chain(suru), {kJoinSuruMarker}));
            if (AppendJoined(list, stem, stem.matchStart, end, tags) == nullptr) return;
        }
        // Behind a particle or an ending (オンにすると, 大きくすると) the
        // する goes on the phrase before it too; only at a clause's start
        // is すると the conjunction.
        const bool continues = nouns && IsHiragana(At(text, suru.matchStart - 1));
        if ((joins || continues) && TextAt(text, suru.matchStart, u"する")) HideWordsAcrossSuru(list, suru);
    }
}

void JoinRequests(WordList& list, std::u16string_view text) {
    const int32_t count = list.EntryCount();
    for (int32_t a = 0; a < count; ++a) {
        const WordListEntry& candidate = list.EntryAt(a);
        if (!Visible(candidate) || candidate.matchLength < 1 || !OneOf(At(text, EndOf(candidate) - 1), u"てで"))
            continue;
        const bool te = Holds(candidate, {7}), negative = Holds(candidate, {30});
        if (!te && !negative) continue;
        // Copied: the entries appended below must not move it.
        const WordListEntry head = candidate;
        for (int32_t b = 0; b < count; ++b) {
            const WordListEntry& tail = list.EntryAt(b);
            if (!Visible(tail) || tail.matchStart != EndOf(head)) continue;
            int32_t end = EndOf(tail);
            uint8_t code;
            if (Reading(tail) == u"ください" && At(text, end - 1) == u'い') {
                code = kJoinKudasai;
            } else if (Reading(tail) == u"くださる") {
                code = kJoinKudasaru;
                if (Holds(tail, {33}) && At(text, end) == u'か') {
                    code = kJoinKudasai;
                    ++end;
                }
            } else {
                continue;
            }
            TagChain tags = Without(Chain(head), {7, 30});
            if (negative) AppendTagCode(tags, 11);
            AppendTagCode(tags, code);
            AppendAll(tags, Without(Chain(tail), {2, 3}));
            if (AppendJoined(list, head, head.matchStart, end, tags) == nullptr) return;
        }
    }
}

void JoinHonorificPrefixes(WordList& list, std::u16string_view text) {
    struct Tail {
        std::u16string_view reading;
        uint8_t code;
    };
    static constexpr Tail kTails[] = {{u"です", kJoinDesu},     {u"する", kJoinSuru},        {u"になる", kJoinNiNaru},
                                      {u"なさる", kJoinNasaru}, {u"ください", kJoinKudasai}, {u"くださる", kJoinKudasaru}};
    const int32_t count = list.EntryCount();
    for (int32_t e = 0; e < count; ++e) {
        if (!Visible(list.EntryAt(e)) || !OneOf(At(text, list.EntryAt(e).matchStart - 1), u"おご御")) continue;
        // Copied: the entries appended below must not move it.
        const WordListEntry word = list.EntryAt(e);
        const int32_t prefix = word.matchStart - 1;
        const bool stem = Holds(word, {2});
        bool allKanji = word.matchLength > 0;
        for (int32_t i = word.matchStart; i < EndOf(word); ++i) allKanji = allKanji && IsCjkIdeograph(At(text, i));
        if (!stem && !allKanji) continue;
        TagChain tags = Without(Chain(word), {2});
        int32_t reach = EndOf(word);
        // A tail that begins with して joins once more with what follows it.
        for (int32_t round = 0; round < 4; ++round) {
            const int32_t t = FindEntry(list, count, [&](const WordListEntry& x) {
                if (x.matchStart != reach) return false;
                for (const Tail& tail : kTails)
                    if (Reading(x) == tail.reading) return true;
                return false;
            });
            if (t < 0) break;
            const WordListEntry tail = list.EntryAt(t);
            uint8_t code = 0;
            for (const Tail& candidate : kTails)
                if (Reading(tail) == candidate.reading) code = candidate.code;
            if (!stem && code != kJoinKudasai) code = kJoinHonorificKanji;
            AppendTagCode(tags, code);
            AppendAll(tags, Without(Chain(tail), {2, 3}));
            reach = EndOf(tail);
            if (AppendJoined(list, word, prefix, reach, tags) == nullptr) return;
            if (!TextAt(text, tail.matchStart, u"して")) break;
            reach = tail.matchStart + 2;
        }
    }
}

void JoinObligations(WordList& list, std::u16string_view text) {
    static constexpr std::u16string_view kPatterns[] = {u"ならない", u"なるまい", u"ならん", u"いけない",
                                                        u"行けない", u"なりません", u"いけません", u"行けません",
                                                        u"だめ", u"ダメ", u"駄目"};
    const int32_t length = static_cast<int32_t>(text.size());
    const int32_t count = list.EntryCount();
    for (int32_t q = 1; q < length; ++q) {
        for (std::u16string_view pattern : kPatterns) {
            if (!TextAt(text, q, pattern)) continue;
            const int32_t end = q + static_cast<int32_t>(pattern.size());
            const bool tewa = TextAt(text, q - 2, u"ては");
            for (int32_t i = 0; i < count; ++i) {
                const WordListEntry entry = list.EntryAt(i);
                if (!Visible(entry)) continue;
                const bool conditional = EndOf(entry) == q && Holds(entry, {19, 42, 43, 44, 20, 14, 134});
                // A -te form holds its own て: before ては it ends in front of は.
                const bool teForm = tewa && EndOf(entry) == q - 1 && Holds(entry, {7, 133});
                if (!conditional && !teForm) continue;
                TagChain tags{};
                AppendTagCode(tags, entry.tags[0]);
                AppendTagCode(tags, Holds(entry, {19, 11, 15, 18, 16, 17, 137, 34}) ? kJoinNegativeObligation
                                                                                      : kJoinObligation);
                if (AppendJoined(list, entry, entry.matchStart, end, tags) == nullptr) return;
            }
        }
    }
}

void NameNegativeConditionals(WordList& list, std::u16string_view text) {
    auto lastOf = [](const TagChain& chain, std::initializer_list<uint8_t> codes) {
        int32_t found = -1;
        for (int32_t i = 0; i < CountTagCodes(chain); ++i)
            if (std::find(codes.begin(), codes.end(), chain[static_cast<size_t>(i)]) != codes.end()) found = i;
        return found;
    };
    for (int32_t e = 0; e < list.EntryCount(); ++e) {
        WordListEntry& entry = list.EntryAt(e);
        if (!Visible(entry)) continue;
        TagChain& chain = Chain(entry);
        const int32_t negative = lastOf(chain, {11, 15, 16, 17, 18, 34, 137});
        if (negative < 0) continue;
        int32_t conditional = lastOf(chain, {14, 20, 134});
        uint8_t code = kJoinNegativeConditional;
        if (conditional < 0) {
            conditional = lastOf(chain, {42, 43, 44});
            if (conditional < 0) continue;
            const char16_t behind = At(text, EndOf(entry));
            const int32_t category = behind == 0 ? -1 : GetCharCategory(behind);
            const bool wordCharacter = behind != 0 && !(category >= kCategoryMn && category <= kCategoryMe) &&
                                       !(category >= kCategoryPc && category <= kCategoryPo) &&
                                       !(category >= kCategoryZs && category <= kCategoryZp);
            code = wordCharacter ? kJoinNegativeConditional : kJoinNegativeObligation;
        }
        const int32_t earlier = std::min(negative, conditional), later = std::max(negative, conditional);
        chain[static_cast<size_t>(earlier)] = code;
        // The later code goes; codes behind it move up rather than being cut off.
        RemoveTagCodes(chain, later, later + 1);
    }
}

void HideVerbsOverParticleNi(WordList& list, std::u16string_view text) {
    const EntriesByStart starting(list);
    for (int32_t i = 0; i < list.EntryCount(); ++i) {
        WordListEntry& entry = list.EntryAt(i);
        if (!Visible(entry) || entry.indexId != static_cast<uint32_t>(kIndexReadingWord) || entry.wordLength <= 0 ||
            entry.tags[0] != 3 || At(text, entry.matchStart) != u'に')
            continue;
        // A set expression written with the particle itself (に因る, に於ける)
        // is the particle's own reading behind a noun.
        if (entry.word[0] == u'に') continue;
        // A Latin word keeps its blank before the particle (on になっている).
        char16_t before = At(text, entry.matchStart - 1);
        if (before == u' ') before = At(text, entry.matchStart - 2);
        if (before != 0 && !IsHiragana(before) && !OneOf(before, u"、。，．・「『（(\u3000 ")) {
            entry.flags |= kEntryDeleted;
            continue;
        }
        // Behind kana too, where a common verb's form reads the same kana
        // from behind the particle (ように|なった, not 担った; に|ない, not
        // 似ない): the particle and that verb are written there.
        const bool formBehind = starting.Any(entry.matchStart + 1, [&](const WordListEntry& x) {
            return EndOf(x) == EndOf(entry) && x.tags[0] == 3 && IsCommon(x);
        });
        if (formBehind) entry.flags |= kEntryDeleted;
    }
}

void HideWordsOverParticleAndSuru(WordList& list, std::u16string_view text) {
    const int32_t count = list.EntryCount();
    const EntriesByStart starting(list);
    for (int32_t i = 0; i < count; ++i) {
        WordListEntry& entry = list.EntryAt(i);
        if (!Visible(entry) || entry.indexId != static_cast<uint32_t>(kIndexReadingWord) || entry.matchLength < 2 ||
            !OneOf(At(text, entry.matchStart), u"にはがもと"))
            continue;
        const char16_t before = At(text, entry.matchStart - 1);
        // The quoting と follows kana as well (ようとし、, だとします): a
        // word in kanji (年, 都市) gives way to とする and する there.
        const bool quoting = At(text, entry.matchStart) == u'と';
        if (quoting && !SpelledWithKanji(entry)) continue;
        if (!(quoting && before != 0) && !IsCjkIdeograph(before) && !IsKatakana(before) && before != u'々') continue;
        // A word in kana alone goes only when read through its forms (はす
        // 'three-lips' of 表示はせず); にして and がし stay.
        if (!ReadFromHiragana(entry, text) || !(SpelledWithKanji(entry) || entry.tags[0] == 3)) continue;
        const bool intoSuru = starting.Any(entry.matchStart + 1, [&](const WordListEntry& x) {
            return EndOf(x) >= EndOf(entry) && Holds(x, {kJoinSuruMarker});
        });
        if (intoSuru) entry.flags |= kEntryDeleted;
    }
}

void HideKanjiWordsSplitByForms(WordList& list, std::u16string_view text) {
    const int32_t count = list.EntryCount();
    const EntriesByStart starting(list);
    // A common word read through its forms, past its bare stem (ない, なる,
    // not 食べ of たべもの), over [from, to).
    const auto formOver = [&](int32_t from, int32_t to) {
        return starting.Any(from, [&](const WordListEntry& x) {
            return EndOf(x) == to && x.tags[0] == 3 && x.tags[1] != 2 && x.matchLength >= 2 && IsCommon(x) &&
                   SpelledWithKanji(x);
        });
    };
    // A word written in kana alone (a particle: か, と), or usually so
    // (様 of ように), over the rest.
    const auto kanaWordOver = [&](int32_t from, int32_t to) {
        return starting.Any(from, [&](const WordListEntry& x) {
            return x.tags[0] == 0 && (!SpelledWithKanji(x) || (x.flags & kEntryUsuallyKana) != 0) && EndOf(x) >= to;
        });
    };
    for (int32_t i = 0; i < count; ++i) {
        WordListEntry& entry = list.EntryAt(i);
        if (!Visible(entry) || entry.tags[0] != 0 || entry.matchLength < 2 || !SpelledWithKanji(entry) ||
            (entry.flags & kEntryWrittenInKanji) == 0 || !ReadFromHiragana(entry, text))
            continue;
        const int32_t start = entry.matchStart, end = EndOf(entry);
        for (int32_t cut = start + 1; cut < end; ++cut) {
            if (formOver(start, cut) && kanaWordOver(cut, end)) {
                entry.flags |= kEntryDeleted;
                break;
            }
        }
    }
}

int32_t PostProcessHits(WordList& list, std::u16string_view text, bool translation, int32_t expand) {
    if (translation) HideVerbsOverParticleNi(list, text);
    if (translation) HideWordsOverParticleAndSuru(list, text);
    if (translation) HideKanjiWordsSplitByForms(list, text);
    if (translation) JoinNounParticles(list, text);
    JoinSuruVerbs(list, text, translation);
    list.SortByTextPosition(expand);
    JoinRequests(list, text);
    JoinHonorificPrefixes(list, text);
    JoinObligations(list, text);
    NameNegativeConditionals(list, text);
    return 1;
}

}  // namespace ostrel::japanese
