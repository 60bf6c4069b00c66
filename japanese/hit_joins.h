// The grammatical joins of the translated-words list: after the passes of the
// word translator, hits that make one grammatical form together (a noun and
// its particle, a -suru verb, a request, an honorific phrase, an obligation)
// get a joined entry, and negative conditionals are named as one form.
#pragma once

#include <cstdint>
#include <string_view>

class WordList;

namespace ostrel::japanese {

// Tag codes the joins give.
enum JoinCode : uint8_t {
    kJoinNegativeConditional = 19,
    kJoinSuruVerb = 21,
    kJoinSuruMarker = 22,
    kJoinObligation = 81,
    kJoinNegativeObligation = 82,
    kJoinNo = 145,
    kJoinNa = 146,
    kJoinTeki = 147,
    kJoinTekiNa = 148,
    kJoinKudasaru = 160,
    kJoinHonorificKanji = 161,
    kJoinDesu = 162,
    kJoinNiNaru = 163,
    kJoinNasaru = 164,
    kJoinSuru = 165,
    kJoinKudasai = 166,
};

// Each pass works on the visible entries of `list` over the analysed `text`;
// new entries go through AppendRaw, and a full list only ends the pass.
// に behind a noun is the particle: a verb written in kanji that the kana
// reached from there (になって read as 担って) is hidden; なって is なる.
// A set expression that begins with the particle (に因る, に於ける) stays.
void HideVerbsOverParticleNi(WordList& list, std::u16string_view text);
// A particle behind a noun followed by a form of する: a word in kanji that
// the kana reached from the particle over that form (二死 from にし of
// 詳細にし, 奔る from はしません of 伸長はしません) is hidden.
void HideWordsOverParticleAndSuru(WordList& list, std::u16string_view text);
// A word spelled in kanji that the text writes in hiragana, where the kana
// part inside it into a common word's form and a word written in kana alone
// behind it (ない|か, not 内科; ない|よう, not 内容; なる|こと, not 鳴子),
// is hidden: the text spells those two words, not a noun it would write in
// kanji. Only a word its dictionary could have marked usually written in
// kana and did not: 様に and 幾つか stay, and so does every word of a
// dictionary compiled before the mark was read.
void HideKanjiWordsSplitByForms(WordList& list, std::u16string_view text);
void JoinNounParticles(WordList& list, std::u16string_view text);
// する joins a verb's conjunctive stem, and with `nouns` a noun written in
// kanji or katakana (発生しました).
void JoinSuruVerbs(WordList& list, std::u16string_view text, bool nouns = true);
void JoinRequests(WordList& list, std::u16string_view text);
void JoinHonorificPrefixes(WordList& list, std::u16string_view text);
void JoinObligations(WordList& list, std::u16string_view text);
void NameNegativeConditionals(WordList& list, std::u16string_view text);

// The passes in order, with the list ordered by text position (Expand
// `expand`) before the requests. The noun particles and the nouns with する
// only in a translation (`translation`), not in a phrase split, whose
// choice of words keeps a noun and its する apart.
int32_t PostProcessHits(WordList& list, std::u16string_view text, bool translation, int32_t expand);

}  // namespace ostrel::japanese
