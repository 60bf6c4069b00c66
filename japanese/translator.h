// CTranslate: finds every dictionary word in a piece of Japanese text. At each
// position it looks up the prefixes of the rest of the text in the reading
// (101) and kanji (102) indexes of the translated-words list's dictionaries,
// undoes inflection, scores and merges the hits and leaves in the list the
// ones that matter for the caret. One object serves the whole run; all its
// arrays are allocated once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "dictionary/cursor.h"
#include "dictionary/word_list_entry.h"
#include "japanese/inflection_match.h"
#include "japanese/tag_chain.h"
#include "japanese/walk_table.h"

class CDMS;
class ICollator;
class RDFDictionary;
class WordList;

namespace ostrel::japanese {

class CTransOptions;

// Dictionaries with this flag bit are left out of every translation.
inline constexpr uint32_t kDictionaryNotTranslated = 0x1;

// The file of the names dictionary, kept out of some passes.
inline constexpr std::u16string_view kNamesDictionaryFile = u"enamdict.qdx";

// The longest analysed text, the longest prefix tried at a position and the
// part of it that is used.
inline constexpr int32_t kMaxTranslatedUnits = 2047;
inline constexpr int32_t kMaxPrefixTried = 255;
inline constexpr int32_t kMaxPrefixUsed = 128;

// The hits one translation may keep, by the length of its text: every
// position of a long pasted text has about a dozen (each kana of the reading
// index's homophones, each kanji's words), so a fixed count would end the
// list early in the text. Never fewer than the list's usual 2000.
inline constexpr int32_t kHitsPerUnit = 24;
int32_t HitBudget(int32_t textLength);

// About the most the index walks kept across texts may hold, in bytes.
inline constexpr size_t kKeptWalkBytes = size_t{16} << 20;

// The tag code of a one-kana particle hit (the phrase splitter's scan).
inline constexpr uint8_t kParticleTag = 160;

enum class ScanMode : int32_t {
    kWords = 0,      // every prefix through one cursor
    kParticles = 1,  // one-character particle kana through the list's first cursor
    kSuruKuru = 2,   // the forms of する and 来る through every reading cursor
};

// お ご か が し ぞ と だ で な ね に の も は へ や よ ら を ん.
bool IsParticleKana(char16_t c);

// When the text or the key mixes katakana and hiragana, each of the first
// `length` positions must be of the same script in both.
bool ScriptsAgree(std::u16string_view text, std::u16string_view key, int32_t length);

// The rank of the hit's row in the priority table of its index (an earlier
// row ranks higher), above 127; else 127.
int32_t HitPriority(const WordListEntry& hit);

// Clears the hidden flag of every entry; in mode 0 hides the entries that
// start before the hits covering the caret (and with UnderCursor those
// reaching behind them; all when none covers it); then orders the list by
// position and collapses (Expand non-zero) or expands each group.
void HideHitsAwayFromCaret(WordList& list, int32_t caret, int32_t mode, const CTransOptions& options);

class CTranslate {
public:
    explicit CTranslate(const CTransOptions& options);
    virtual ~CTranslate();
    CTranslate(const CTranslate&) = delete;
    CTranslate& operator=(const CTranslate&) = delete;

    // The full translation of `text` (at most kMaxTranslatedUnits are read)
    // into the translated-words list: all passes, duplicates dropped,
    // grammatical joins, groups set about the caret. 0 for an empty text
    // (list cleared). The hits may number HitBudget of the text's length;
    // when a text has more, the list holds every hit of the words before
    // the first place a hit was lost, none behind it (StoppedAt).
    uint32_t Translate(WordList& list, std::u16string_view text, int32_t mode, int32_t caret);

    // Where the last translation stopped for want of room: the first text
    // position whose words lost hits (none of their hits is listed), or -1
    // when every word of the text has all its rows.
    int32_t StoppedAt() const { return stoppedAt_; }

    // The steps Translate is made of, for the phrase splitter.
    // Keeps the list (its analysed text becomes this object's own copy),
    // clears it and the hits, finds the names dictionary among the list's
    // dictionaries, copies the text and sets the boundary flags; the hits
    // may number kMaxHits (SetHitBudget raises it). False for an empty text.
    bool BeginText(WordList& list, std::u16string_view text);
    void SetHitBudget(int32_t hits);
    // Drops the index walks kept from earlier texts: the next text reads
    // every index afresh.
    void ForgetIndexWalks();
    // About what the kept walks may hold (kKeptWalkBytes unless set) and
    // about what they hold now, in bytes.
    void SetKeptWalkLimit(size_t bytes) { keptWalkLimit_ = bytes; }
    size_t KeptWalkBytes() const { return walkBytes_; }
    // Whether a word pass reads `cursor` (index 101/102, entries, not
    // excluded; the names dictionary out of 101 when the options say so).
    bool PassReadsCursor(const CCursor& cursor) const;
    // One pass over all positions into the (cleared) list; the entries a
    // step adds get `hitFlags`. With mode 0 and UnderCursor the scan stops
    // behind the caret once no listed word reaches further.
    void ScanText(CCursor* cursor, uint32_t hitFlags, int32_t mode, int32_t caret, ScanMode scanMode);
    // Clears the list, scans and merges the list's entries into the hits.
    void RunPass(CCursor* cursor, uint32_t hitFlags, int32_t mode, int32_t caret, ScanMode scanMode);
    // Hides hits found twice (the lower priority goes).
    void DropDuplicates();
    // The list receives every hit, each listed.
    void MoveHitsToList();

    // The pieces of one pass.
    int32_t MatchAtPosition(CCursor& cursor, int32_t position);
    int32_t MatchPrefixes(CCursor& cursor, int32_t position, int32_t length);
    int32_t LookupDictionaryForm(CCursor& cursor, int32_t position, int32_t stemLength);
    int32_t MatchSuruKuru(int32_t position);
    // A hit of the entry of `cursor`'s index copied in `entry`.
    WordListEntry* AddHit(const CCursor& cursor, const CursorEntryCopy& entry, int32_t start, int32_t length,
                          const TagChain& tags);
    void AddTeTaHits(const CCursor& cursor, const CursorEntryCopy& entry, const WordListEntry& hit);

    // What a translation leaves behind.
    std::u16string_view Text() const { return {text_.get(), static_cast<size_t>(length_)}; }
    int32_t Length() const { return length_; }
    std::span<uint16_t> BoundaryFlags() { return {flags_.get(), static_cast<size_t>(kMaxTranslatedUnits + 1)}; }
    WordList* ResultList() const { return list_; }
    RDFDictionary* NamesDictionary() const { return namesDictionary_; }
    const CTransOptions& Options() const { return options_; }
    int32_t Caret() const { return caret_; }

private:
    // What one walk of an index from a seek gave a matcher. The walks are
    // kept by index and key, so that a key looked up again (the same word at
    // another place or in a later text, the forms of one stem, another pass
    // over the same index) is answered without the engine. They stay valid
    // while no file changes (CDMS::ChangeCount stands still): all are
    // dropped at the start of a text when one may have. When they have grown
    // beyond the limit (kKeptWalkBytes), those used longest ago go.
    struct PrefixWalk {
        std::vector<CursorEntryCopy> sameLength;  // keys as long as the prefix and equal to it, in index order
        bool longer = false;                      // the walk reached a longer key beginning with the prefix
        uint32_t lastText = 0;                    // the number of the last text that used it
    };
    struct FormWalk {
        std::vector<CursorEntryCopy> entries;  // the keys of the length and stem, from the first not below the key
        uint32_t lastText = 0;
    };
    struct CursorWalks {
        WalkTable<PrefixWalk> prefixes;  // by folded prefix
        WalkTable<FormWalk> forms;       // by the stem's length (first unit) and the key
    };
    // At the start of a text: drops every walk when a file may have changed,
    // or the walks used longest ago when they hold too much.
    void KeepValidWalks();
    void SweepWalks();
    const PrefixWalk& WalkPrefix(CCursor& cursor, ICollator* collator, std::u16string_view folded);
    const std::vector<CursorEntryCopy>& WalkForm(CCursor& cursor, ICollator* collator, std::u16string_view key,
                                                 size_t stemLength);

    // The dictionary word under test, as the matchers see it.
    MatchContext WordUnderTest(const CCursor& cursor, const CursorEntryCopy& entry) const;
    bool CutsThroughLetters(int32_t position, int32_t length) const;
    // The span [position, position + length) begins or ends inside a run
    // of katakana (シ of システム).
    bool CutsKatakanaWord(int32_t position, int32_t length) const;
    bool AdmitsStrictDifference(std::u16string_view prefix, std::u16string_view folded, bool heldKatakana,
                                std::u16string_view key) const;
    int32_t ScanStopReach() const;
    // Forgets the barren form keys (always, or when `cursor` is not the one
    // they were found with).
    void ForgetBarrenForms();
    void ForgetBarrenFormsOfOtherCursor(const CCursor& cursor);

    const CTransOptions& options_;
    std::unique_ptr<char16_t[]> text_;      // kMaxTranslatedUnits + 1, zero-terminated
    std::unique_ptr<uint16_t[]> flags_;     // boundary flags, one per unit
    // The passes' hits: their entries, and the entry numbers of those kept,
    // ordered by start (MergeHits).
    std::vector<WordListEntry> found_;
    std::vector<int32_t> hitOrder_;
    int32_t length_ = 0;
    int32_t caret_ = 0;
    int32_t hitBudget_ = 0;
    int32_t stoppedAt_ = -1;  // the first position a hit was lost at, -1 when none
    void NoteLostHit(int32_t position) {
        if (stoppedAt_ < 0 || position < stoppedAt_) stoppedAt_ = position;
    }
    WordList* list_ = nullptr;
    RDFDictionary* namesDictionary_ = nullptr;
    // The walks by the index they read: its engine, file id and index id.
    using IndexOfWalks = std::tuple<const CDMS*, int32_t, uint32_t>;
    CursorWalks& WalksOf(const CCursor& cursor);
    std::map<IndexOfWalks, CursorWalks> walks_;
    uint64_t walksChangeCount_ = 0;  // CDMS::ChangeCount when the walks were last dropped
    size_t walkBytes_ = 0;           // about what the walks hold, in bytes
    size_t keptWalkLimit_ = kKeptWalkBytes;
    uint32_t textNumber_ = 0;        // of the text being translated, from 1
    std::u16string formKey_;         // WalkForm's look-up key, kept to save allocations
    // Dictionary-form keys with no key of their length and stem at or after
    // them, whatever the stem's length: none of their forms is tried again
    // within one scan of one cursor.
    std::unordered_set<std::u16string> barrenFormKeys_;
    const CCursor* barrenCursor_ = nullptr;
};

}  // namespace ostrel::japanese
