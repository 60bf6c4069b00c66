// The word translator's passes: the prefix walk over one index, the stem and
// ending lookup of inflected forms, the forms of する and 来る, and the
// assembling of one translation from the passes.
#include "japanese/translator.h"

#include <algorithm>
#include <cstring>

#include "common/collation/collator.h"
#include "common/segmentation/text_segmentation.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "dictionary/word_list.h"
#include "japanese/hit_joins.h"
#include "japanese/inflection_tables.h"
#include "japanese/trans_options.h"
#include "japanese/translate_steps.h"
#include "japanese/word_class.h"
#include "storage/dms.h"

namespace ostrel::japanese {
namespace {

bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309E; }
bool IsKatakana(char16_t c) { return c >= 0x30A1 && c <= 0x30FE; }

char16_t FoldToHiragana(char16_t c) { return c >= 0x30A0 && c <= 0x30F3 ? static_cast<char16_t>(c - 0x60) : c; }

// 0 other, 1 hiragana, 2 katakana.
int32_t ScriptOf(char16_t c) { return IsHiragana(c) ? 1 : IsKatakana(c) ? 2 : 0; }

bool MixesKana(std::u16string_view s) {
    bool hiragana = false, katakana = false;
    for (char16_t c : s) {
        hiragana = hiragana || IsHiragana(c);
        katakana = katakana || IsKatakana(c);
    }
    return hiragana && katakana;
}

bool IsLetterRun(char16_t c) {
    const int32_t property = GetWordBreakProperty(c);
    return property == kWordALetter || property == kWordNumeric || property == kWordExtendNumLet;
}

// An ASCII digit or letter against its fullwidth form's range.
bool IsWidthPair(char16_t a, char16_t b) {
    auto pair = [](char16_t ascii, char16_t wide) {
        return (ascii >= u'0' && ascii <= u'9' && wide >= 0xFF10 && wide <= 0xFF19) ||
               (ascii >= u'A' && ascii <= u'Z' && wide >= 0xFF21 && wide <= 0xFF3A) ||
               (ascii >= u'a' && ascii <= u'z' && wide >= 0xFF41 && wide <= 0xFF5A);
    };
    return pair(a, b) || pair(b, a);
}

int32_t Compare(ICollator* collator, std::u16string_view a, std::u16string_view b, uint32_t flags) {
    return collator->Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(), static_cast<uint32_t>(b.size()), 0,
                             flags);
}

// Whether the file part of `path` is the names dictionary's, in any case.
bool IsNamesDictionaryPath(std::u16string_view path) {
    const std::u16string_view file = path.substr(path.find_last_of(u"\\/") + 1);
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    return file.size() == kNamesDictionaryFile.size() &&
           std::equal(file.begin(), file.end(), kNamesDictionaryFile.begin(),
                      [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
}

// About what a kept walk holds on the heap: its node with the allocator's
// header and two table slots, the room of its entry copies and the texts too
// long to be held inside their strings.
size_t TextBytes(const std::u16string& text) {
    return text.capacity() > std::u16string().capacity() ? 16 + (text.capacity() + 1) * sizeof(char16_t) : 0;
}
size_t WalkBytes(const std::u16string& key, const std::vector<CursorEntryCopy>& entries) {
    size_t bytes = 128 + TextBytes(key) + entries.capacity() * sizeof(CursorEntryCopy);
    for (const CursorEntryCopy& entry : entries) bytes += TextBytes(entry.first) + TextBytes(entry.second);
    return bytes;
}

bool EndsInTe(char16_t c) { return c == u'て' || c == u'で'; }
bool EndsInTa(char16_t c) { return c == u'た' || c == u'だ'; }

}  // namespace

int32_t HitBudget(int32_t textLength) { return std::max(kMaxHits, kHitsPerUnit * std::max(textLength, 0)); }

bool IsParticleKana(char16_t c) {
    return std::u16string_view(u"おごかがしぞとだでなねにのもはへやよらをん").find(c) != std::u16string_view::npos;
}

bool ScriptsAgree(std::u16string_view text, std::u16string_view key, int32_t length) {
    const size_t n = std::min({static_cast<size_t>(std::max(length, 0)), text.size(), key.size()});
    text = text.substr(0, n);
    key = key.substr(0, n);
    if (!MixesKana(text) && !MixesKana(key)) return true;
    for (size_t i = 0; i < n; ++i)
        if (ScriptOf(text[i]) != ScriptOf(key[i])) return false;
    return true;
}

CTranslate::CTranslate(const CTransOptions& options)
    : options_(options),
      text_(std::make_unique<char16_t[]>(kMaxTranslatedUnits + 1)),
      flags_(std::make_unique<uint16_t[]>(kMaxTranslatedUnits + 1)) {}

CTranslate::~CTranslate() = default;

bool CTranslate::BeginText(WordList& list, std::u16string_view text) {
    list_ = &list;
    found_.clear();
    hitOrder_.clear();
    stoppedAt_ = -1;
    // The phrase splitter reads as many hits as a list usually holds, and
    // no join beyond them.
    hitBudget_ = kMaxHits;
    list.SetEntryLimit(WordList::kMaxEntries);
    KeepValidWalks();
    ForgetBarrenForms();
    list.Clear();
    // The list reads this object's copy, which lives as long as the
    // translator, never the caller's buffer.
    list.analysedText = text_.get();
    namesDictionary_ = nullptr;
    for (int32_t i = 0; i < list.CursorCount() && namesDictionary_ == nullptr; ++i) {
        RDFDictionary* dictionary = list.CursorAt(i)->dictionary;
        if (dictionary != nullptr && IsNamesDictionaryPath(dictionary->File().path)) namesDictionary_ = dictionary;
    }
    size_t end = text.find(u'\0');
    length_ = static_cast<int32_t>(std::min({text.size(), end, size_t{kMaxTranslatedUnits}}));
    std::copy_n(text.data(), length_, text_.get());
    text_[static_cast<size_t>(length_)] = 0;
    ComputeBoundaryFlags(Text(), BoundaryFlags());
    return length_ > 0;
}

void CTranslate::SetHitBudget(int32_t hits) {
    hitBudget_ = std::max(hits, 1);
    // Beside the hits, room for the copies the grammatical joins append.
    if (list_ != nullptr) list_->SetEntryLimit(hitBudget_ + hitBudget_ / 8);
}

void CTranslate::ForgetIndexWalks() {
    walks_.clear();
    walkBytes_ = 0;
    walksChangeCount_ = CDMS::ChangeCount();
}

void CTranslate::KeepValidWalks() {
    ++textNumber_;
    if (CDMS::ChangeCount() != walksChangeCount_) ForgetIndexWalks();
    else if (walkBytes_ > keptWalkLimit_) SweepWalks();
}

void CTranslate::SweepWalks() {
    // The walks used longest ago go, by the text that last used each, until
    // at most half the room is held.
    auto eachWalk = [this](auto visit) {
        for (const auto& [index, walks] : walks_) {
            walks.prefixes.ForEach(
                [&](const auto& node) { visit(node.walk.lastText, WalkBytes(node.key, node.walk.sameLength)); });
            walks.forms.ForEach(
                [&](const auto& node) { visit(node.walk.lastText, WalkBytes(node.key, node.walk.entries)); });
        }
    };
    std::vector<std::pair<uint32_t, size_t>> uses;  // last text, bytes
    eachWalk([&](uint32_t lastText, size_t bytes) { uses.emplace_back(lastText, bytes); });
    std::sort(uses.begin(), uses.end());
    size_t held = 0;
    for (const auto& use : uses) held += use.second;
    uint32_t keptFrom = 0;  // the walks last used by this text or a later one stay
    for (const auto& [lastText, bytes] : uses) {
        if (held <= keptWalkLimit_ / 2 && lastText >= keptFrom) break;
        keptFrom = lastText + 1;
        held -= bytes;
    }
    for (auto& [index, walks] : walks_) {
        walks.prefixes.KeepIf([&](const auto& node) { return node.walk.lastText >= keptFrom; });
        walks.forms.KeepIf([&](const auto& node) { return node.walk.lastText >= keptFrom; });
    }
    // What stays, counted from the walks themselves: the sum cannot drift
    // from one sweep to the next.
    walkBytes_ = 0;
    eachWalk([&](uint32_t, size_t bytes) { walkBytes_ += bytes; });
}

bool CTranslate::PassReadsCursor(const CCursor& cursor) const {
    if (cursor.indexId != static_cast<uint32_t>(kIndexReadingWord) &&
        cursor.indexId != static_cast<uint32_t>(kIndexWordReading)) {
        return false;
    }
    if (cursor.dictionary == nullptr || (cursor.dictionary->flags & kDictionaryNotTranslated) != 0) return false;
    if (!cursor.HasEntries()) return false;
    return !(cursor.indexId == static_cast<uint32_t>(kIndexReadingWord) && options_.skipNamesDictionary != 0 &&
             cursor.dictionary == namesDictionary_);
}

uint32_t CTranslate::Translate(WordList& list, std::u16string_view text, int32_t mode, int32_t caret) {
    caret_ = caret;
    if (!BeginText(list, text)) return 0;
    SetHitBudget(HitBudget(length_));
    RunPass(nullptr, 0, mode, caret, ScanMode::kSuruKuru);
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        CCursor* cursor = list.CursorAt(i);
        if (!PassReadsCursor(*cursor)) continue;
        RunPass(cursor, 0, mode, caret, ScanMode::kWords);
        if (cursor->indexId == static_cast<uint32_t>(kIndexWordReading)) DropDuplicates();
    }
    MoveHitsToList();
    // Behind the first lost hit a word may lack rows: none is shown there.
    if (stoppedAt_ >= 0)
        for (int32_t i = 0; i < list.EntryCount(); ++i)
            if (list.EntryAt(i).matchStart >= stoppedAt_) list.EntryAt(i).flags |= kEntryDeleted;
    if (list.EntryCount() > 0) DropDuplicateHits({&list.EntryAt(0), static_cast<size_t>(list.EntryCount())});
    PostProcessHits(list, Text(), true, options_.expand);
    list.PurgeDeleted(0);
    HideHitsAwayFromCaret(list, caret, mode, options_);
    return 1;
}

void CTranslate::RunPass(CCursor* cursor, uint32_t hitFlags, int32_t mode, int32_t caret, ScanMode scanMode) {
    list_->Clear();
    ScanText(cursor, hitFlags, mode, caret, scanMode);
    const int32_t added = list_->EntryCount();
    if (added == 0) return;
    // The hits the cuts left out of the order are dropped from the pool
    // once they could fill a list.
    if (found_.size() - hitOrder_.size() > static_cast<size_t>(hitBudget_)) {
        std::vector<WordListEntry> kept;
        kept.reserve(hitOrder_.size() + static_cast<size_t>(added));
        for (int32_t& hit : hitOrder_) {
            kept.push_back(found_[static_cast<size_t>(hit)]);
            hit = static_cast<int32_t>(kept.size() - 1);
        }
        found_.swap(kept);
    }
    const size_t first = found_.size();
    found_.insert(found_.end(), &list_->EntryAt(0), &list_->EntryAt(0) + added);
    const int32_t cut = MergeHits(hitOrder_, found_, first, static_cast<size_t>(hitBudget_));
    if (cut >= 0) NoteLostHit(cut);
}

void CTranslate::DropDuplicates() { DropDuplicateHits(found_, hitOrder_); }

void CTranslate::MoveHitsToList() {
    list_->Clear();
    for (const int32_t i : hitOrder_) {
        WordListEntry hit = found_[static_cast<size_t>(i)];
        hit.flags |= kEntryListed;
        if (list_->AppendRaw(hit) == nullptr) break;
    }
}

int32_t CTranslate::ScanStopReach() const {
    int32_t reach = -1;
    for (int32_t i = 0; i < list_->EntryCount(); ++i) {
        const WordListEntry& entry = list_->EntryAt(i);
        if ((entry.flags & kEntryDeleted) == 0 && entry.matchStart <= caret_)
            reach = std::max(reach, entry.matchStart + entry.matchLength);
    }
    return reach;
}

void CTranslate::ScanText(CCursor* cursor, uint32_t hitFlags, int32_t mode, int32_t caret, ScanMode scanMode) {
    caret_ = caret;
    ForgetBarrenForms();
    const bool stopsBehindCaret = mode == 0 && options_.underCursor != 0;
    for (int32_t p = 0; p < length_; ++p) {
        if (stopsBehindCaret && p > caret && p >= ScanStopReach()) break;
        const char16_t c = text_[static_cast<size_t>(p)];
        if (c < 0x21 || c == 0x30FB || c == 0xFF5E) continue;
        const int32_t before = list_->EntryCount();
        switch (scanMode) {
            case ScanMode::kWords:
                if (cursor != nullptr) MatchAtPosition(*cursor, p);
                break;
            case ScanMode::kParticles:
                if (IsParticleKana(c) && list_->CursorCount() > 0) {
                    TagChain tags{};
                    tags[0] = kParticleTag;
                    const CCursor& first = *list_->CursorAt(0);
                    AddHit(first, first.CopyEntry(), p, 1, tags);
                }
                break;
            case ScanMode::kSuruKuru:
                MatchSuruKuru(p);
                break;
        }
        for (int32_t i = before; i < list_->EntryCount(); ++i) list_->EntryAt(i).flags |= hitFlags;
    }
}

void CTranslate::ForgetBarrenForms() {
    barrenCursor_ = nullptr;
    barrenFormKeys_.clear();
}

void CTranslate::ForgetBarrenFormsOfOtherCursor(const CCursor& cursor) {
    if (barrenCursor_ == &cursor) return;
    ForgetBarrenForms();
    barrenCursor_ = &cursor;
}

CTranslate::CursorWalks& CTranslate::WalksOf(const CCursor& cursor) {
    if (cursor.dictionary == nullptr) return walks_[{nullptr, 0, cursor.indexId}];
    return walks_[{&cursor.Engine(), cursor.dictionary->fileId, cursor.indexId}];
}

const CTranslate::PrefixWalk& CTranslate::WalkPrefix(CCursor& cursor, ICollator* collator,
                                                     std::u16string_view folded) {
    auto& prefixes = WalksOf(cursor).prefixes;
    if (PrefixWalk* known = prefixes.Find(folded); known != nullptr) {
        known->lastText = textNumber_;
        return *known;
    }
    auto& node = prefixes.Add(folded);
    PrefixWalk& walk = node.walk;
    walk.lastText = textNumber_;
    const size_t n = folded.size();
    cursor.ClearKeys();
    cursor.SetKeyText(0, folded);
    for (DmsStatus s = cursor.SeekGreaterOrEqual(); s == DmsStatus::Success; s = cursor.Next()) {
        const std::u16string_view key = cursor.FieldText(0);
        const int32_t order = Compare(collator, key.substr(0, n), folded, 0);
        if (order < 0) continue;
        if (order > 0) break;
        if (key.size() > n) {
            walk.longer = true;
            break;
        }
        if (key.size() == n) walk.sameLength.push_back(cursor.CopyEntry());
    }
    walkBytes_ += WalkBytes(node.key, walk.sameLength);
    return walk;
}

const std::vector<CursorEntryCopy>& CTranslate::WalkForm(CCursor& cursor, ICollator* collator,
                                                         std::u16string_view key, size_t stemLength) {
    formKey_.assign(1, static_cast<char16_t>(stemLength));
    formKey_ += key;
    auto& forms = WalksOf(cursor).forms;
    if (FormWalk* known = forms.Find(formKey_); known != nullptr) {
        known->lastText = textNumber_;
        return known->entries;
    }
    auto& node = forms.Add(formKey_);
    FormWalk& walk = node.walk;
    walk.lastText = textNumber_;
    std::vector<CursorEntryCopy>& entries = walk.entries;
    const std::u16string_view stem = key.substr(0, stemLength);
    cursor.ClearKeys();
    cursor.SetKeyText(0, key);
    for (DmsStatus s = cursor.SeekGreaterOrEqual(); s == DmsStatus::Success; s = cursor.Next()) {
        const std::u16string_view field = cursor.FieldText(0);
        if (field.size() != key.size()) break;
        if (Compare(collator, field.substr(0, stemLength), stem, 0) != 0) break;
        entries.push_back(cursor.CopyEntry());
    }
    walkBytes_ += WalkBytes(node.key, entries);
    return entries;
}

int32_t CTranslate::MatchAtPosition(CCursor& cursor, int32_t position) {
    const int32_t longest = std::min(kMaxPrefixTried, length_ - position);
    for (int32_t n = 1; n <= longest; ++n) {
        if (text_[static_cast<size_t>(position + n - 1)] == 0x30FB) continue;
        if (MatchPrefixes(cursor, position, n) == 0) break;
    }
    return 1;
}

MatchContext CTranslate::WordUnderTest(const CCursor& cursor, const CursorEntryCopy& entry) const {
    MatchContext context{Text(), entry.first, entry.second};
    if (cursor.indexId == static_cast<uint32_t>(kIndexWordReading)) std::swap(context.reading, context.kanji);
    return context;
}

bool CTranslate::CutsThroughLetters(int32_t position, int32_t length) const {
    auto at = [&](int32_t i) { return text_[static_cast<size_t>(i)]; };
    if (position > 0 && IsLetterRun(at(position)) && IsLetterRun(at(position - 1))) return true;
    const int32_t last = position + length - 1;
    return last + 1 < length_ && IsLetterRun(at(last)) && IsLetterRun(at(last + 1));
}

bool CTranslate::CutsKatakanaWord(int32_t position, int32_t length) const {
    auto at = [&](int32_t i) { return i >= 0 && i < length_ ? text_[static_cast<size_t>(i)] : char16_t{0}; };
    return (IsKatakana(at(position)) && IsKatakana(at(position - 1))) ||
           (IsKatakana(at(position + length - 1)) && IsKatakana(at(position + length)));
}

bool CTranslate::AdmitsStrictDifference(std::u16string_view prefix, std::u16string_view folded, bool heldKatakana,
                                         std::u16string_view key) const {
    if (heldKatakana && folded == key) return true;
    // The text's ASCII letters and digits stand for the key's fullwidth ones
    // (ABC finds ＡＢＣ), but every other place must hold the key's own
    // character: a letter in another case parts them, so a capitalised
    // word (the Latin Si at a sentence start) is not the acronym ＳＩ.
    if (prefix.size() != key.size()) return false;
    bool widthPair = false;
    for (size_t i = 0; i < key.size(); ++i) {
        if (IsWidthPair(prefix[i], key[i])) widthPair = true;
        else if (prefix[i] != key[i] && folded[i] != key[i]) return false;
    }
    return widthPair;
}

int32_t CTranslate::MatchPrefixes(CCursor& cursor, int32_t position, int32_t length) {
    if (length < 1 || position < 0 || position + length > length_) return 0;
    const int32_t n = std::min(length, kMaxPrefixUsed);
    ICollator* collator = cursor.dictionary != nullptr ? cursor.dictionary->Collator() : nullptr;
    if (collator == nullptr) return 0;
    const std::u16string_view prefix = Text().substr(static_cast<size_t>(position), static_cast<size_t>(n));
    char16_t foldedUnits[kMaxPrefixUsed];
    bool heldKatakana = false;
    for (int32_t i = 0; i < n; ++i) {
        foldedUnits[i] = FoldToHiragana(prefix[static_cast<size_t>(i)]);
        heldKatakana = heldKatakana || foldedUnits[i] != prefix[static_cast<size_t>(i)];
    }
    const std::u16string_view folded(foldedUnits, static_cast<size_t>(n));
    const bool readingIndex = cursor.indexId == static_cast<uint32_t>(kIndexReadingWord);
    // A kanji dictionary's on-readings are katakana: matched inside a
    // katakana word (シ of システム) they are each a hundred kanji no one
    // reads there, which would fill the list long before the text ends.
    const bool onReadingsInsideWord = readingIndex && (cursor.dictionary->flags & kFormatKanji) != 0 &&
                                      CutsKatakanaWord(position, n);
    ForgetBarrenFormsOfOtherCursor(cursor);
    const PrefixWalk& walk = WalkPrefix(cursor, collator, folded);
    for (const CursorEntryCopy& entry : walk.sameLength) {
        if (onReadingsInsideWord) break;
        const std::u16string_view key = entry.first;
        if (n < options_.minKanaLength &&
            (readingIndex || std::all_of(key.begin(), key.end(), IsHiragana)))
            continue;
        const MatchContext word = WordUnderTest(cursor, entry);
        TagChain tags{};
        if (ClassFitsWord(0, word.reading, word.kanji) == 0) AppendTagCode(tags, 3);
        if (!ScriptsAgree(prefix, key, n)) continue;
        if (CutsThroughLetters(position, n)) continue;
        if (Compare(collator, key, prefix, 1) != 0 && !AdmitsStrictDifference(prefix, folded, heldKatakana, key))
            continue;
        AddHit(cursor, entry, position, n, tags);
    }
    if (!walk.longer) return 0;
    LookupDictionaryForm(cursor, position, n);
    return 1;
}

int32_t CTranslate::LookupDictionaryForm(CCursor& cursor, int32_t position, int32_t stemLength) {
    if (cursor.dictionary == nullptr || cursor.dictionary == namesDictionary_) return 0;
    ICollator* collator = cursor.dictionary->Collator();
    if (collator == nullptr || position + stemLength > length_) return 0;
    const std::u16string_view stem = Text().substr(static_cast<size_t>(position), static_cast<size_t>(stemLength));
    const uint32_t classes = GetEndingClasses(stem, position + stemLength < length_ ? text_[static_cast<size_t>(position + stemLength)] : 0);
    if (classes == 0) return 0;
    const bool readingIndex = cursor.indexId == static_cast<uint32_t>(kIndexReadingWord);
    const bool kanjiIndex = cursor.indexId == static_cast<uint32_t>(kIndexWordReading);
    std::u16string foldedStem(stem);
    for (char16_t& c : foldedStem) c = FoldToHiragana(c);
    ForgetBarrenFormsOfOtherCursor(cursor);
    std::u16string key = foldedStem;

    int32_t added = 0;
    for (const EndingRow& row : EndingTable()) {
        if ((row.classBit & classes) == 0) continue;
        key.resize(foldedStem.size());
        key += row.ending;
        if (barrenFormKeys_.contains(key)) continue;
        // The keys of this length and stem at or after the key.
        const std::vector<CursorEntryCopy>& entries = WalkForm(cursor, collator, key, foldedStem.size());
        if (entries.empty()) barrenFormKeys_.insert(key);
        for (const CursorEntryCopy& entry : entries) {
            const std::u16string_view field = entry.first;
            const MatchContext word = WordUnderTest(cursor, entry);
            if (!ScriptsAgree(stem, field, stemLength)) continue;
            if (ClassFitsWord(row.classBit, word.reading, word.kanji) != 0) continue;
            TagChain tags{};
            AppendTagCode(tags, 3);
            int32_t end = kNoMatch;
            if (!MatchInflectedForm(word, position, field, kanjiIndex, row.classBit, end, tags)) continue;
            const int32_t matched = end - position;
            // Read in katakana, a form must stand as a word of its own: the
            // ムセ of アイテムセット is no form of むす, nor インで of ラインで
            // one of いぬ.
            if (matched <= 0 || CutsKatakanaWord(position, matched)) continue;
            if (readingIndex && (options_.minKanaLength > matched ||
                                 (options_.minKanaLength >= 2 && field.size() == 1 &&
                                  IsIchidanStemKana(FoldToHiragana(text_[static_cast<size_t>(position)]))))) {
                continue;
            }
            WordListEntry* hit = AddHit(cursor, entry, position, matched, tags);
            if (hit == nullptr) return added > 0 ? 1 : 0;
            if (row.classBit == kSuru) {
                const std::u16string_view other = entry.second;
                if (field != u"する") AppendTagCode(*reinterpret_cast<TagChain*>(hit->tags), 71);
                else if (other.empty() || (other.size() == 2 && other[0] == u'為'))
                    AppendTagCode(*reinterpret_cast<TagChain*>(hit->tags), 22);
            }
            const WordListEntry copy = *hit;
            AddTeTaHits(cursor, entry, copy);
            ++added;
        }
    }
    return added > 0 ? 1 : 0;
}

int32_t CTranslate::MatchSuruKuru(int32_t position) {
    struct Verb {
        int32_t (*match)(const MatchContext&, int32_t, TagChain&);
        std::u16string_view reading, kanji;
        bool suru;
    };
    static constexpr Verb kVerbs[] = {{MatchSuruForms, u"する", u"為る", true}, {MatchKuruForms, u"くる", u"来る", false}};
    const MatchContext context{Text(), {}, {}};
    for (const Verb& verb : kVerbs) {
        TagChain tags{};
        const int32_t end = verb.match(context, position, tags);
        if (end == kNoMatch || end <= position) continue;
        // The forms read katakana too (シマシタ), but not from inside a
        // katakana word (the シ of ダッシュ); where they end, the forms
        // looked up below tell.
        if (CutsKatakanaWord(position, 0)) continue;
        const RDFDictionary* previous = nullptr;
        for (int32_t i = 0; i < list_->CursorCount(); ++i) {
            CCursor& cursor = *list_->CursorAt(i);
            if (cursor.indexId != static_cast<uint32_t>(kIndexReadingWord) || !cursor.HasEntries()) continue;
            if (cursor.dictionary == nullptr || (cursor.dictionary->flags & kDictionaryNotTranslated) != 0) continue;
            if (cursor.dictionary == previous) continue;
            previous = cursor.dictionary;
            const bool found = verb.suru ? (cursor.SeekByText(verb.reading, u"") != 0 ||
                                            cursor.SeekByText(verb.reading, verb.kanji) != 0)
                                         : cursor.SeekByText(verb.reading, verb.kanji) != 0;
            if (!found) continue;
            if (tags[0] == 3) {
                if (CutsKatakanaWord(position, end - position)) continue;
                WordListEntry* hit = AddHit(cursor, cursor.CopyEntry(), position, end - position, tags);
                if (hit != nullptr && verb.suru) AppendTagCode(*reinterpret_cast<TagChain*>(hit->tags), 22);
            } else {
                LookupDictionaryForm(cursor, position, 0);
            }
        }
    }
    return 1;
}

WordListEntry* CTranslate::AddHit(const CCursor& cursor, const CursorEntryCopy& entry, int32_t start,
                                  int32_t length, const TagChain& tags) {
    WordListEntry* hit = list_->AddEntry(cursor, entry, start, length, tags.data());
    if (hit != nullptr) hit->priority = HitPriority(*hit);
    else NoteLostHit(start);
    return hit;
}

void CTranslate::AddTeTaHits(const CCursor& cursor, const CursorEntryCopy& entry, const WordListEntry& hit) {
    if (hit.tags[0] != 3) return;
    TagChain tags;
    std::memcpy(tags.data(), hit.tags, tags.size());
    const int32_t count = CountTagCodes(tags);
    auto lastInside = [&](bool (*wanted)(char16_t)) {
        for (int32_t i = hit.matchStart + hit.matchLength - 1; i >= hit.matchStart; --i)
            if (i < length_ && wanted(text_[static_cast<size_t>(i)])) return i;
        return -1;
    };
    auto addCut = [&](int32_t codeIndex, uint8_t code, int32_t last) {
        if (last < 0) return;
        TagChain cut = tags;
        cut[static_cast<size_t>(codeIndex)] = code;
        RestoreTagCount(cut, codeIndex + 1);
        AddHit(cursor, entry, hit.matchStart, last - hit.matchStart + 1, cut);
    };
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t code = tags[static_cast<size_t>(i)];
        if (code == 7) break;
        if (code == 8 || code == 23 || code == 24) {
            addCut(i, 7, lastInside(EndsInTe));
            return;
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t code = tags[static_cast<size_t>(i)];
        if (code == 6) return;
        if (code == 38 || code == 132 || code == 133 || code == 137 || code == 140) {
            addCut(i, 6, lastInside(EndsInTa));
            return;
        }
    }
}

void HideHitsAwayFromCaret(WordList& list, int32_t caret, int32_t mode, const CTransOptions& options) {
    const int32_t count = list.EntryCount();
    for (int32_t i = 0; i < count; ++i) list.EntryAt(i).flags &= ~kEntryDeleted;
    if (mode == 0) {
        int32_t first = INT32_MAX, last = -1;
        for (int32_t i = 0; i < count; ++i) {
            const WordListEntry& e = list.EntryAt(i);
            if (e.matchStart <= caret && caret <= e.matchStart + e.matchLength) {
                first = std::min(first, e.matchStart);
                last = std::max(last, e.matchStart + e.matchLength);
            }
        }
        for (int32_t i = 0; i < count; ++i) {
            WordListEntry& e = list.EntryAt(i);
            if (last < 0 || e.matchStart < first || (options.underCursor != 0 && e.matchStart + e.matchLength > last))
                e.flags |= kEntryDeleted;
        }
    }
    list.SortByTextPosition(options.expand);
    list.ShowEveryGroup(options.expand == 0);
}

}  // namespace ostrel::japanese
