// ListViewModel: search as you type on one list and the list's position kept
// across dictionary changes. The window side (painting, command states) is
// reached through IListViewHost.
#include "dictionary/list_view_model.h"

#include <algorithm>

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/word_list.h"

namespace {

std::u16string_view Cut(std::u16string_view text, int32_t units) {
    return text.substr(0, std::min(text.size(), static_cast<size_t>(units)));
}

}  // namespace

std::u16string (*ListViewModel::cellText)(WordList&, int32_t, int32_t) = nullptr;

ListViewModel::ListViewModel(int32_t viewKindIn, WordList* modelIn, IListViewHost* hostIn)
    : viewKind(viewKindIn), model(modelIn), host(hostIn) {
    MarkRowsNumbered();
}

int32_t ListViewModel::GetRowCount() const { return model != nullptr ? model->RowCount() : 0; }

RDFDictionary* ListViewModel::GetCurrentDictionary() const {
    if (model == nullptr || currentRow < 0) return nullptr;
    CCursor* cursor = model->GetEntry(currentRow);
    return cursor != nullptr ? cursor->dictionary : nullptr;
}

std::u16string ListViewModel::ChooseGreekVariant(CInput& input) {
    int32_t ambiguous = input.ToGreekVariant(0);
    if (ambiguous == 0 || model == nullptr) return input.greek;
    int32_t bits = std::min(ambiguous, kMaxGreekVariantBits);
    std::u16string best;
    int32_t bestMatched = -1;
    for (uint64_t variant = 0; variant < (uint64_t{1} << bits); ++variant) {
        input.ToGreekVariant(variant);
        int32_t matched = 0, keyLength = 0;
        model->MatchLength(input.greek, &matched, &keyLength);
        if (matched > 0 && matched == keyLength) return input.greek;  // a key matched over its whole length
        if (matched > bestMatched) {
            bestMatched = matched;
            best = input.greek;
        }
    }
    return best;
}

int32_t ListViewModel::SearchAsYouType(CInput& input, const IInputBox& box) {
    notWhole = false;
    phrase = false;
    input.Update(box);
    std::u16string key;
    if (!input.text.empty()) {
        std::u16string_view typed = Cut(input.text, kMaxSearchedText);
        int32_t start = std::max(input.selectionStart, 0);
        int32_t end = std::max(input.selectionEnd, 0);
        if (IInputBox* writable = const_cast<IInputBox*>(&box)) writable->HighlightInputRange(0, 0);
        bool convertedKey = false;
        if (viewKind == 2 && conversionMode == kConvertRomaji && conversionAvailable && input.ConvertToKana() == 0 &&
            !input.converted.empty()) {
            key.assign(Cut(input.converted, kMaxConvertedKey));
            input.convertedSearched = true;
            convertedKey = true;
        }
        if (viewKind == kViewReverse && conversionMode == kConvertGreek && conversionAvailable) {
            key.assign(Cut(ChooseGreekVariant(input), kMaxConvertedKey));
            convertedKey = true;
        }
        if (start != end) {
            int32_t first = std::min(start, end), last = std::min(std::max(start, end), static_cast<int32_t>(typed.size()));
            key = convertedKey ? std::u16string(typed)
                               : std::u16string(typed.substr(static_cast<size_t>(std::min(first, last)),
                                                             static_cast<size_t>(last - std::min(first, last))));
        }
        if (key.empty()) key.assign(typed);
    }
    input.searchText.assign(Cut(key, CInput::kMaxText));
    if (viewKind == kViewSearchResults) {
        // The full-text query fills this list; until it exists the list stays as it is.
        currentRow = 0;
        if (host != nullptr) host->UpdateCommandState(40139);
    } else if (model != nullptr) {
        currentRow = model->Find(input.searchText, nullptr, model->Kind(), &notWhole, &phrase, &phraseEntry);
        MarkRowsNumbered();
    }
    inputCounter = input.changeCounter;
    inputSelectionStart = input.selectionStart;
    approximate = notWhole;
    ShowCurrentCentred();
    // After the list shows the rows of the dictionaries still in it.
    if (model != nullptr) model->ReportReadRefusals();
    return 1;
}

int32_t ListViewModel::SearchText(std::u16string_view text, const std::u16string_view* reading) {
    notWhole = false;
    phrase = false;
    if (viewKind == kViewSearchResults) {
        currentRow = 0;
        if (host != nullptr) host->UpdateCommandState(40139);
    } else if (model != nullptr) {
        currentRow = model->Find(text, reading, model->Kind(), &notWhole, &phrase, &phraseEntry);
        MarkRowsNumbered();
    }
    approximate = notWhole;
    ShowCurrentCentred();
    // After the list shows the rows of the dictionaries still in it.
    if (model != nullptr) model->ReportReadRefusals();
    return 1;
}

void ListViewModel::ShowCurrentCentred() {
    topRow = ClampRow(currentRow, -(rowsPerPage / 2));
    Refill();
    selection.Clear();
    if (currentRow >= 0) selection.Add(currentRow, false, false);
    UpdateView();
}

int32_t ListViewModel::ClampRow(int32_t row, int32_t delta) {
    int32_t rows = GetRowCount();
    if (rows <= 0) return 0;
    if (viewKind == kViewLexicon && model != nullptr && delta != 0) {
        if (delta > 0) {
            int32_t next = model->NextGroup(row, delta);
            return next < 0 ? rows - 1 : std::min(next, rows - 1);
        }
        int32_t previous = model->PrevGroup(row, -delta);
        return previous < 0 ? 0 : previous;
    }
    int64_t target = static_cast<int64_t>(row) + delta;
    return static_cast<int32_t>(std::clamp<int64_t>(target, 0, rows - 1));
}

int32_t ListViewModel::MoveCurrent(int32_t delta) {
    currentRow = ClampRow(currentRow, delta);
    return currentRow;
}

void ListViewModel::SetCurrent(int32_t row) {
    approximate = false;
    currentRow = GetRowCount() > 0 ? ClampRow(row, 0) : -1;
    if (model != nullptr && currentRow >= 0) model->GetEntry(currentRow);
    topRow = std::max(0, ClampRow(currentRow, -(rowsPerPage / 2)));
    Refill();
    selection.Clear();
    if (currentRow >= 0) selection.Add(currentRow, false, false);
    ScrollToCurrent(-2);
    UpdateView();
}

void ListViewModel::SelectRecord(const ListRecordRef& record, int32_t pageOffset) {
    int32_t row = model != nullptr ? model->FindRecord(record) : -1;
    if (row < 0) row = 0;
    currentRow = row;
    MarkRowsNumbered();
    topRow = std::max(0, row - std::min(pageOffset, rowsPerPage - 1));
    Refill();
    selection.Clear();
    selection.Add(row, false, false);
    UpdateView();
}

void ListViewModel::SavePosition() {
    savedBits = 0;
    if (model == nullptr || model->IsStored() || model->RowCount() == 0 || currentRow < 0) return;
    // The key of the current row, not a cursor: the cursors go with the
    // dictionaries when they close, the key finds the row again after reopening.
    CCursor* cursor = model->GetEntry(currentRow);
    if (cursor == nullptr || !cursor->OnEntry()) return;
    savedKey.assign(cursor->FieldText(0));
    savedSecond.assign(cursor->FieldText(1));
    savedPageOffset = std::max(0, currentRow - std::max(topRow, 0));
    savedBits = 3;
}

void ListViewModel::RestorePosition() {
    if (model == nullptr || model->IsStored()) return;
    int32_t oldTop = topRow;
    currentRow = -1;
    if (model->RowCount() > 0) {
        if ((savedBits & 2) != 0) {
            std::u16string_view second = savedSecond;
            currentRow = std::max(model->Find(savedKey, &second, model->Kind(), nullptr, nullptr), 0);
            MarkRowsNumbered();
        } else {
            currentRow = 0;
        }
        topRow = (savedBits & 1) != 0 ? std::max(currentRow - savedPageOffset, 0) : 0;
        Refill();
    } else {
        topRow = -1;
    }
    selection.Clear();
    if (currentRow >= 0) selection.Add(currentRow, false, false);
    if (savedBits != 0 || oldTop != topRow) UpdateView();
}

bool ListViewModel::SelectArticle(RDFDictionary& dictionary, uint32_t position) {
    if (model == nullptr || position == 0) return false;
    // The place on the page of the row the list was on before the change.
    const int32_t pageOffset =
        (savedBits & 1) != 0 ? savedPageOffset : std::max(0, currentRow - std::max(topRow, 0));
    if (model->IsStored()) {
        if (model->FindRecord({&dictionary, position, -1}) < 0) return false;
        SelectRecord({&dictionary, position, -1}, pageOffset);
        return true;
    }
    const CCursor* listed = nullptr;
    for (int32_t i = 0; i < model->CursorCount() && listed == nullptr; ++i)
        if (model->CursorAt(i)->dictionary == &dictionary) listed = model->CursorAt(i);
    if (listed == nullptr) return false;
    // The article's entries in the list's index of its dictionary (a
    // personal dictionary is small; a long one is walked no further).
    constexpr int32_t kMostEntriesWalked = 200000;
    CCursor walk(&dictionary, listed->indexId);
    int32_t ordinal = -1;
    int32_t walked = 0;
    for (DmsStatus s = walk.MoveFirst(); !Failed(s) && walked < kMostEntriesWalked; s = walk.Next(), ++walked) {
        if (walk.RecordId() != position) continue;
        const bool underKey = (savedBits & 2) != 0 && walk.FieldText(0) == savedKey && walk.FieldText(1) == savedSecond;
        if (ordinal < 0 || underKey) ordinal = walk.ordinal;
        if (underKey) break;
    }
    if (ordinal < 0) return false;
    SelectRecord({&dictionary, position, ordinal}, pageOffset);
    return true;
}

int32_t ListViewModel::OnDictionariesClosed(CInput& input, RDFDictionary* firstDictionary, bool /*isCurrentView*/) {
    if (model == nullptr) return 1;
    if (viewKind == kViewTranslatedWords || viewKind == kViewSearchResults) {
        model->Clear();
        input.Reset();
        currentRow = topRow = 0;
    }
    for (RDFDictionary* d = firstDictionary; d != nullptr; d = d->next) {
        if (model->IsStored() && (d->flags & kDictionaryToClose) != 0 && (d->flags & (kDictionaryHidden | 0x4000)) != 0)
            model->RemoveDictionaryEntries(d);
        model->RemoveDictionary(d);
    }
    return 1;
}

int32_t ListViewModel::OnDictionarySetChanged(RDFDictionary* firstDictionary, bool isCurrentView) {
    if (model == nullptr) return 1;
    for (RDFDictionary* d = firstDictionary; d != nullptr; d = d->next)
        if ((d->flags & kDictionaryOpen) != 0) model->AddDictionary(d);
    if (viewKind == kViewSelected || viewKind == kViewHistory) {
        model->Rebuild();
        SetCurrent(0);
    }
    if (viewKind == kViewTranslatedWords) {
        if (isCurrentView && host != nullptr)
            host->TranslateText(2);
        else
            model->Clear();
    } else if (viewKind == kViewSearchResults) {
        // Its rows come from the query, not from the keys: the query runs
        // again over the dictionaries now open.
        if (host != nullptr) host->RunQueryAgain();
    } else if (viewKind != kViewSelected && viewKind != kViewHistory) {
        RestorePosition();
    }
    Refill();
    return 1;
}

int32_t ListViewModel::OnDictionaryAdded(RDFDictionary* dictionary, RDFDictionary* firstDictionary,
                                         bool isCurrentView) {
    if (model == nullptr || dictionary == nullptr) return 1;
    if (viewKind == kViewTranslatedWords || viewKind == kViewSearchResults) model->Clear();
    model->RemoveDictionary(dictionary);
    return OnDictionarySetChanged(firstDictionary, isCurrentView);
}

int32_t ListViewModel::PostCurrentHeadword(int32_t command) {
    if (model == nullptr || cellText == nullptr || host == nullptr || currentRow < 0) return 0;
    int32_t columns[2] = {3, 2};
    if (viewKind == kViewTranslatedWords) {
        columns[0] = 1;
        columns[1] = 2;
    } else if (viewKind == kViewReverse) {
        columns[0] = 3;
        columns[1] = 5;
    } else if (viewKind == kViewLexicon) {
        columns[0] = 24;
        columns[1] = 0;
    }
    for (int32_t column : columns) {
        if (column == 0) break;
        std::u16string text = cellText(*model, currentRow, column);
        if (!text.empty() && text[0] == u'\u2026') text.erase(0, 1);
        if (!text.empty()) return host->PostHeadword(command, text) ? 1 : 0;
    }
    return 0;
}
