// WordList: key groups of the lexicon (rows whose first key fields are equal
// byte for byte form one group) and the two look-ups behind the reverse
// list's Greek search: how much of a text the keys match, and whether any
// dictionary has keys that begin with a Greek letter.
#include <cstring>
#include <string>

#include "common/unicode/search_key.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"

namespace {

// The first key field of the row's entry as bytes; empty when there is no entry.
std::string FirstField(WordList& list, int32_t row) {
    const CCursor* cursor = list.GetEntry(row);
    if (cursor == nullptr || !cursor->FieldWritten(0)) return {};
    const char* bytes = reinterpret_cast<const char*>(cursor->fieldArea[0]);
    return std::string(bytes, static_cast<size_t>(std::max(cursor->fields[0].length, 0)));
}

std::u16string SearchKeyOf(std::u16string_view text) {
    char16_t key[1024];
    int32_t length = MakeSearchKey(text.substr(0, 255), key);
    return std::u16string(key, static_cast<size_t>(std::max(length, 0)));
}

bool GreekLetter(char16_t c) { return (c >= 0x0370 && c <= 0x03FF) || (c >= 0x1F00 && c <= 0x1FFF); }

}  // namespace

int32_t WordList::NextGroup(int32_t row, int32_t n) {
    if (row < 0 || row >= rowCount_) return -1;
    for (int32_t group = 0; group < n; ++group) {
        std::string field = FirstField(*this, row);
        int32_t next = row + 1;
        while (next < rowCount_ && FirstField(*this, next) == field) ++next;
        if (next >= rowCount_) return -1;
        row = next;
    }
    return row;
}

int32_t WordList::PrevGroup(int32_t row, int32_t n) {
    if (row <= 0 || row >= rowCount_) return -1;
    if (n < 0) return row + 1;
    for (int32_t group = 0;; ++group) {
        std::string field = FirstField(*this, row);
        while (row > 0 && FirstField(*this, row - 1) == field) --row;
        if (group == n) return row;
        if (row == 0) return -1;
        --row;
    }
}

int32_t WordList::MatchLength(std::u16string_view text, int32_t* matched, int32_t* keyLength) {
    *matched = 0;
    *keyLength = 0;
    uint32_t indexId = kind_ == kListReverse ? kIndexTranslationWords : kind_ == kListLexicon ? kIndexFullTextWords : 0;
    if (indexId == 0) return 0;
    std::u16string wanted = SearchKeyOf(text);
    if (wanted.empty()) return 0;
    int32_t best = -1;
    for (const auto& listed : cursors_) {
        CCursor cursor(listed->dictionary, indexId);
        if (Failed(cursor.status) && cursor.count == 0) continue;
        cursor.ClearKeys();
        cursor.SetKeyText(0, text.substr(0, 255));
        if (Failed(cursor.SeekGreaterOrEqual())) continue;
        std::u16string found = SearchKeyOf(cursor.FieldText(0));
        size_t shared = 0;
        while (shared < found.size() && shared < wanted.size() && found[shared] == wanted[shared]) ++shared;
        int32_t sharedUnits = static_cast<int32_t>(shared);
        if (sharedUnits > best) {
            best = sharedUnits;
            *matched = sharedUnits;
            *keyLength = static_cast<int32_t>(found.size());
        }
        if (shared == wanted.size()) break;  // covers the whole search key (and, first of all, equal keys)
    }
    return *matched;
}

int32_t WordList::HasGreekKeys() {
    if (kind_ != kListReverse) return 0;
    for (const auto& listed : cursors_) {
        CCursor cursor(listed->dictionary, kIndexTranslationWords);
        cursor.ClearKeys();
        cursor.SetKeyText(0, u"\u0391");
        if (Failed(cursor.SeekGreaterOrEqual())) continue;
        std::u16string_view found = cursor.FieldText(0);
        if (!found.empty() && GreekLetter(found[0])) return 1;
    }
    return 0;
}
