// The phrase split of a typed key: collection through the translator's
// passes, then the splitter over the translated-words list.
#include "japanese/phrase_parse.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "dictionary/word_list.h"
#include "japanese/hit_joins.h"
#include "japanese/phrase_split.h"
#include "japanese/trans_options.h"
#include "japanese/translator.h"

namespace ostrel::japanese {
namespace {

// The fewest hidden entries worth a purge before the split.
constexpr int32_t kPurgeMinimum = 50;

bool IsParticleDictionaryFile(std::u16string_view path) {
    std::u16string file(path.substr(path.find_last_of(u"\\/") + 1));
    for (char16_t& c : file) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return file == u"ostrel.qdx" || file == u"warodai.qdx" || file == u"edict.qdx";
}

// The options the search asks of the split, put back on every way out.
class SearchOptionsScope {
public:
    explicit SearchOptionsScope(CTransOptions& options)
        : options_(options),
          underCursor_(options.underCursor),
          minKanaLength_(options.minKanaLength),
          skipNames_(options.skipNamesDictionary) {
        options.underCursor = 0;
        options.minKanaLength = 2;
        options.skipNamesDictionary = 1;
    }
    ~SearchOptionsScope() {
        options_.underCursor = underCursor_;
        options_.minKanaLength = minKanaLength_;
        options_.skipNamesDictionary = skipNames_;
    }
    SearchOptionsScope(const SearchOptionsScope&) = delete;
    SearchOptionsScope& operator=(const SearchOptionsScope&) = delete;

private:
    CTransOptions& options_;
    int32_t underCursor_, minKanaLength_, skipNames_;
};

}  // namespace

bool PhraseParticlesAllowed(const WordList& list) {
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        const CCursor* cursor = list.CursorAt(i);
        const RDFDictionary* dictionary = cursor != nullptr ? cursor->dictionary : nullptr;
        if (dictionary == nullptr || (dictionary->flags & kDictionaryNotTranslated) != 0 || !cursor->HasEntries()) {
            continue;
        }
        if (IsParticleDictionaryFile(dictionary->File().path)) return true;
    }
    return false;
}

int32_t SplitListedHits(WordList& list, std::u16string_view text, std::span<const uint16_t> boundary,
                        int32_t expandOption) {
    if (list.EntryCount() == 0) {
        list.RebuildVisibleIndex();
        return 0;
    }
    list.SortByTextPosition(expandOption);
    std::vector<int32_t> order(static_cast<size_t>(list.EntryCount()), -1);
    list.SortIndex(order.data());
    const std::span<WordListEntry> hits(&list.EntryAt(0), static_cast<size_t>(list.EntryCount()));
    PhraseSplitter splitter(text, hits, boundary);
    splitter.BuildPositionIndex(order);
    splitter.MarkIsolatedHits();
    splitter.ApplySegmentationRules();
    splitter.HideSuppressedHits();
    const int32_t chosen = splitter.ChooseBestSplit();
    for (const int32_t hit : splitter.ChosenWords()) MarkChosenWord(hits, hit);
    list.RebuildVisibleIndex();
    return chosen;
}

uint32_t ParsePhrase(CTranslate& translator, WordList& list, std::u16string_view text, uint32_t hitFlags) {
    // The splitter's positions end before the translator's text can.
    text = text.substr(0, std::min<size_t>(text.size(), kMaxSplitPositions - 1));
    if (!translator.BeginText(list, text)) return 0;
    // A caret behind the text: no pass stops early.
    const int32_t caret = translator.Length();
    if (PhraseParticlesAllowed(list)) translator.RunPass(nullptr, hitFlags, 0, caret, ScanMode::kParticles);
    translator.RunPass(nullptr, hitFlags, 0, caret, ScanMode::kSuruKuru);
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        CCursor* cursor = list.CursorAt(i);
        if (!translator.PassReadsCursor(*cursor)) continue;
        const bool byReading = cursor->indexId == static_cast<uint32_t>(kIndexReadingWord);
        if (byReading && (cursor->dictionary->flags & kFormatKanji) != 0) continue;
        translator.RunPass(cursor, hitFlags, 0, caret, ScanMode::kWords);
        if (!byReading) translator.DropDuplicates();
    }
    translator.MoveHitsToList();
    list.PurgeDeleted(kPurgeMinimum);
    const int32_t expand = translator.Options().expand;
    PostProcessHits(list, translator.Text(), false, expand);
    SplitListedHits(list, translator.Text(), translator.BoundaryFlags().first(static_cast<size_t>(caret)), expand);
    return 1;
}

bool PhraseSearchSplitter::SplitKey(std::u16string_view key, WordListEntry& first) {
    const std::u16string_view cut = key.substr(0, std::min<size_t>(key.size(), kMaxTranslatedUnits));
    if (keyToInput != nullptr) keyToInput(keyToInputContext, cut);
    SearchOptionsScope scope(options_);
    translatedWords_.Clear();
    if (ParsePhrase(translator_, translatedWords_, cut, 0) == 0 || translatedWords_.RowCount() == 0) return false;
    first = *translatedWords_.RowEntry(0);
    return true;
}

}  // namespace ostrel::japanese
