// The phrase split of a translated-words list.
#include "japanese/phrase_parse.h"

#include <vector>

#include "dictionary/word_list.h"
#include "japanese/phrase_split.h"

namespace ostrel::japanese {

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

}  // namespace ostrel::japanese
