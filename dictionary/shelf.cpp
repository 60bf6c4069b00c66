// CShelf: the chain of dictionaries, the lists and views built over them, the
// settings slots of the chain, the personal dictionary and the refresh that
// puts every view in step after the set of dictionaries changed.
#include "dictionary/shelf.h"

#include <algorithm>
#include <string>

#include "common/app_context.h"
#include "common/collation/collator.h"
#include "common/settings/settings_file.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/article_editors.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/input_line.h"
#include "dictionary/word_list.h"
#include "storage/dms.h"

#undef CreateFile  // the COM header brings <windows.h> on Windows; here it is CDMS::CreateFile

namespace {

constexpr int32_t kCannotOpenCaption = 542;
constexpr int32_t kCannotOpenLabel = 543;

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
    return c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

bool EndsWithIgnoringCase(std::u16string_view text, std::u16string_view tail) {
    return text.size() >= tail.size() && SameIgnoringCase(text.substr(text.size() - tail.size()), tail);
}

std::u16string_view FileNamePart(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string_view PathOf(const RDFDictionary& dictionary) { return dictionary.File().path; }

bool IsOpen(const RDFDictionary& dictionary) { return (dictionary.flags & kDictionaryOpen) != 0; }

std::u16string_view Slot(int32_t slot) {
    const char16_t* text = slot >= 0 && slot < kUIStringCount ? UIStringTable[slot] : nullptr;
    return text != nullptr ? text : u"";
}

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

bool HanLike(char32_t c) {
    return InRange(c, 0x2E80, 0x2FDF) || InRange(c, 0x2FF0, 0x2FFF) || InRange(c, 0x3190, 0x319F) ||
           InRange(c, 0x3400, 0x4DBF) || InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0xF900, 0xFAFF) ||
           InRange(c, 0x2630, 0x2637) || InRange(c, 0x4DC0, 0x4DFF) || InRange(c, 0x1F210, 0x1F248) ||
           InRange(c, 0x20000, 0x2A6D6) || InRange(c, 0x2A700, 0x2B734) || InRange(c, 0x2F800, 0x2FA1D);
}

}  // namespace

const CShelf::ListKind CShelf::kListKinds[8] = {
    {1, 1, 40003}, {2, 2, 40004}, {5, 5, 40007}, {4, 4, 40006},
    {13, 18, 40140}, {15, 20, 40142}, {14, 19, 40139}, {16, 21, 40143},
};

int32_t TextScriptClass(std::u16string_view text) {
    bool kana = false, low = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (HanLike(c)) return 4;
        kana = kana || InRange(c, 0x3041, 0x30FE);
        low = low || c < 0x2000;
    }
    return kana ? 3 : low ? 8 : 0;
}

CShelf::CShelf(CDMS& engine, IShelfHost* host, CInput& input, ViewFactory makeView)
    : engine_(engine), host_(host), input_(input), history_(*this) {
    if (Failed(CDMS::GetCollator(1, &collator_))) collator_ = nullptr;
    for (const ListKind& kind : kListKinds) {
        lists_.push_back(std::make_unique<WordList>(this, kind.modelKind));
        WordList* model = lists_.back().get();
        views_.push_back(makeView ? makeView(kind.viewKind, model)
                                  : std::make_unique<ListViewModel>(kind.viewKind, model, nullptr));
    }
    current_ = FindView(2);
}

CShelf::~CShelf() {
    for (auto& list : lists_)
        if (list->IsStored()) list->Clear();
    views_.clear();
    lists_.clear();
    chain_.clear();
    if (collator_ != nullptr) collator_->Release();
}

// ---- the chain ------------------------------------------------------------

void CShelf::Relink() {
    RDFDictionary* previous = nullptr;
    for (size_t i = 0; i < chain_.size(); ++i) {
        RDFDictionary& d = *chain_[i];
        d.previous = previous;
        d.next = i + 1 < chain_.size() ? chain_[i + 1].get() : nullptr;
        d.position = static_cast<int32_t>(i);
        previous = &d;
    }
}

RDFDictionary* CShelf::MakeDictionary(uint32_t flags, std::u16string_view path, bool atHead) {
    auto dictionary = std::make_unique<RDFDictionary>(flags, engine_);
    if (!path.empty() && !dictionary->File().SetPath(std::u16string(path).c_str())) return nullptr;
    dictionary->shelf = this;
    RDFDictionary* made = dictionary.get();
    chain_.insert(atHead ? chain_.begin() : chain_.end(), std::move(dictionary));
    Relink();
    return made;
}

RDFDictionary* CShelf::AddDictionary(uint32_t flags, std::u16string_view path) {
    return MakeDictionary(flags, path, false);
}

RDFDictionary* CShelf::InsertDictionary(uint32_t flags, std::u16string_view path) {
    return MakeDictionary(flags, path, true);
}

void CShelf::DeleteDictionary(RDFDictionary* dictionary) {
    auto found = std::find_if(chain_.begin(), chain_.end(), [&](const auto& d) { return d.get() == dictionary; });
    if (found == chain_.end()) return;
    // Nothing may keep the address: a later dictionary could be made at it.
    for (auto& list : lists_) list->ForgetDictionary(dictionary);
    history_.ForgetDictionary(dictionary);
    dictionary->Close();
    chain_.erase(found);
    Relink();
}

int32_t CShelf::MoveDictionaryUp(RDFDictionary* dictionary) {
    int32_t at = PositionOf(dictionary);
    if (at <= 0) return 0;
    std::swap(chain_[static_cast<size_t>(at)], chain_[static_cast<size_t>(at - 1)]);
    Relink();
    return 1;
}

int32_t CShelf::MoveDictionaryDown(RDFDictionary* dictionary) {
    int32_t at = PositionOf(dictionary);
    if (at < 0 || at + 1 >= DictionaryCount()) return 0;
    std::swap(chain_[static_cast<size_t>(at)], chain_[static_cast<size_t>(at + 1)]);
    Relink();
    return 1;
}

RDFDictionary* CShelf::DictionaryAt(int32_t position) const {
    return position >= 0 && position < DictionaryCount() ? chain_[static_cast<size_t>(position)].get() : nullptr;
}

int32_t CShelf::PositionOf(const RDFDictionary* dictionary) const {
    for (size_t i = 0; i < chain_.size(); ++i)
        if (chain_[i].get() == dictionary) return static_cast<int32_t>(i);
    return -1;
}

int32_t CShelf::GetVisibleIndex(const RDFDictionary* dictionary) const {
    int32_t visible = 0;
    for (const auto& d : chain_) {
        if ((d->flags & kDictionaryHidden) != 0) {
            if (d.get() == dictionary) return -1;
            continue;
        }
        if (d.get() == dictionary) return visible;
        ++visible;
    }
    return -1;
}

RDFDictionary* CShelf::FindByPath(std::u16string_view path) const {
    for (const auto& d : chain_)
        if (SameIgnoringCase(PathOf(*d), path)) return d.get();
    return nullptr;
}

RDFDictionary* CShelf::FindByFileName(std::u16string_view path, const RDFDictionary* after) const {
    std::u16string_view name = FileNamePart(path);
    if (name.empty()) return nullptr;
    size_t start = after == nullptr ? 0 : static_cast<size_t>(PositionOf(after) + 1);
    if (after != nullptr && PositionOf(after) < 0) return nullptr;
    for (size_t i = start; i < chain_.size(); ++i)
        if (SameIgnoringCase(FileNamePart(PathOf(*chain_[i])), name)) return chain_[i].get();
    return nullptr;
}

// ---- the working dictionary ---------------------------------------------

void CShelf::SetWorkingDictionary(RDFDictionary* dictionary) {
    if (const RDFDictionary* was = FindWorkingDictionary(); was != nullptr && was != dictionary)
        previousWorking_ = PathOf(*was);
    for (auto& d : chain_) d->flags &= ~kDictionaryWorking;
    if (dictionary != nullptr) dictionary->flags |= kDictionaryWorking;
}

RDFDictionary* CShelf::SelectWorkingDictionaryByPath(std::u16string_view path) {
    RDFDictionary* chosen = nullptr;
    for (auto& d : chain_) {
        if ((d->flags & kDictionaryEditable) != 0 && SameIgnoringCase(PathOf(*d), path)) {
            d->flags |= kDictionaryWorking;
            chosen = d.get();
        } else {
            d->flags &= ~kDictionaryWorking;
        }
    }
    return chosen;
}

RDFDictionary* CShelf::RestorePreviousWorkingDictionary() {
    if (previousWorking_.empty() || FindWorkingDictionary() != nullptr) return nullptr;
    RDFDictionary* chosen = SelectWorkingDictionaryByPath(previousWorking_);
    if (chosen != nullptr && (chosen->flags & kDictionaryBook) != 0) {
        chosen->flags &= ~kDictionaryWorking;
        return nullptr;
    }
    return chosen;
}

RDFDictionary* CShelf::GetWorkingDictionary() const {
    for (const auto& d : chain_)
        if ((d->flags & (kDictionaryOpen | kDictionaryWorking)) == (kDictionaryOpen | kDictionaryWorking)) return d.get();
    return nullptr;
}

RDFDictionary* CShelf::FindWorkingDictionary() const {
    for (const auto& d : chain_)
        if ((d->flags & kDictionaryWorking) != 0) return d.get();
    return nullptr;
}

// ---- settings and start-up ----------------------------------------------

void CShelf::SaveDictionaryList(CIni& ini) const {
    int32_t slot = 0;
    std::u16string working;
    for (const auto& d : chain_) {
        if ((d->flags & kDictionaryHidden) != 0) continue;
        std::u16string path(PathOf(*d));
        ini.WriteDictionarySlot(&path, slot++, IsOpen(*d) ? kSlotOpen : kSlotClosed);
        if (working.empty() && (d->flags & kDictionaryWorking) != 0) working = path;
    }
    ini.WriteDictionarySlot(nullptr, slot, 0);
    ini.WriteString(u"Dictionaries", u"Working", working);
}

void CShelf::ProbeClosedDictionaries() {
    for (auto& d : chain_) {
        if ((d->flags & kDictionaryHidden) != 0 || (d->flags & kDictionaryStoreDatabase) == 0 || IsOpen(*d) ||
            d->version != 0)
            continue;
        if (d->Open(2) == 0) d->Close();
    }
}

int32_t CShelf::WarnOldDictionaries() {
    ProbeClosedDictionaries();
    int32_t old = 0;
    for (const auto& d : chain_)
        if (IsOpen(*d) && d->version < kFirstCurrentVersion) ++old;
    if (old > 0 && host_ != nullptr) host_->WarnOfOldDictionaries(old);
    return old;
}

std::u16string CShelf::MakePersonalDictionaryName(std::u16string_view folder) const {
    for (int32_t n = 0; n <= kMaxPersonalNumber; ++n) {
        std::u16string name = u"\\Personal";
        if (n > 0) {
            std::string digits = std::to_string(n);
            name.append(digits.begin(), digits.end());
        }
        name += u".qdx";
        std::u16string candidate = std::u16string(folder) + name;
        if (host_ != nullptr && host_->FileExists(candidate)) continue;
        bool onShelf = std::any_of(chain_.begin(), chain_.end(),
                                   [&](const auto& d) { return EndsWithIgnoringCase(PathOf(*d), name); });
        if (!onShelf) return candidate;
    }
    // Every candidate is taken: offering one would write into an existing dictionary.
    return {};
}

RDFDictionary* CShelf::CreatePersonalDictionary(std::u16string path, std::u16string name, std::u16string copyright,
                                                std::u16string comment, std::u16string versionText) {
    std::u16string installation = host_ != nullptr ? host_->InstallationId() : std::u16string();
    std::u16string identity = host_ != nullptr ? host_->NewGuidText() : std::u16string();
    std::u16string created = host_ != nullptr ? host_->LocalTimeText() : std::u16string();
    std::u16string label(Slot(kCannotOpenLabel));
    std::u16string caption(Slot(kCannotOpenCaption));
    DmsStatus createStatus = engine_.CreateFile(path, DictionarySchemaText);
    if (Failed(createStatus)) {
        // An existing file (32) or one that cannot be made: never write into it.
        char16_t reason[256];
        DmsErrorText(static_cast<int32_t>(createStatus), 0, reason, 256);
        App().ShowMessage(label + u":\n" + path + u"\n" + reason, caption, 0);
        return nullptr;
    }
    RDFDictionary* dictionary = InsertDictionary(kPersonalDictionaryFlags, path);
    if (dictionary == nullptr) return nullptr;
    uint32_t status = dictionary->Open(0);
    if (status != 0) {
        dictionary->ShowError(nullptr, caption, label, status);
    } else {
        EngineCursor cursor(engine_, dictionary->fileId);
        const std::u16string_view texts[] = {name, copyright, comment, versionText, installation, identity, created};
        if (cursor.ok())
            for (int32_t id = kPropertyName; id <= kPropertyCreationTime; ++id)
                if (Failed(PutDictionaryProperty(engine_, cursor.handle(), id, texts[id - 1]))) break;
    }
    dictionary->Close();
    status = dictionary->Open(2);
    if (status != 0) dictionary->ShowError(nullptr, caption, label, status);
    return dictionary;
}

// ---- refresh ----------------------------------------------------------------

void CShelf::Reopen(RDFDictionary& dictionary) {
    dictionary.Close();
    if ((dictionary.flags & kDictionaryWorking) != 0 && dictionary.Open(0) == 0) return;
    // A working dictionary on a read-only medium or in a locked file stays
    // on the lists, read-only, instead of dropping out of them.
    dictionary.Open(2);
}

void CShelf::Refresh() {
    RDFDictionary* first = FirstDictionary();
    for (auto& view : views_) view->OnDictionariesClosed(input_, first, view.get() == current_);
    for (auto& d : chain_) {
        if ((d->flags & kDictionaryToClose) == 0) continue;
        if (IsOpen(*d)) d->Close();
        d->flags &= ~kDictionaryToClose;
    }
    for (auto& d : chain_)
        if (IsOpen(*d)) Reopen(*d);
    Relink();
    first = FirstDictionary();
    auto changed = [&](ListViewModel* view) {
        if (view != nullptr) view->OnDictionarySetChanged(first, view == current_);
    };
    changed(FindView(kViewHistory));
    for (auto& view : views_)
        if (view->viewKind != kViewHistory && view->viewKind != kViewTranslatedWords) changed(view.get());
    changed(FindView(kViewTranslatedWords));
    if (ListViewModel* reverse = FindView(kViewReverse)) {
        reverse->conversionAvailable = reverse->model->HasGreekKeys() != 0;
        reverse->conversionMode = kConvertNone;
        UpdateCommandState(40172);
    }
    MaintainTabs();
}

void CShelf::MaintainTabs() {
    auto rows = [&](int32_t viewKind) {
        ListViewModel* view = FindView(viewKind);
        return view != nullptr ? view->GetRowCount() : 0;
    };
    int32_t reading = rows(2), writing = rows(5), reverse = rows(4);
    if (host_ == nullptr || reading + writing + reverse == 0) return;
    bool readingTabs = reading + writing >= 1;
    if (readingTabs) {
        host_->EnsureTab(40007);
        host_->EnsureTab(40004);
    } else {
        host_->RemoveTab(40007);
        host_->RemoveTab(40004);
    }
    if (reverse > 0)
        host_->EnsureTab(40006);
    else
        host_->RemoveTab(40006);
    int32_t selected = host_->SelectedTabCommand();
    bool selectedGone = selected == 0 || (!readingTabs && (selected == 40004 || selected == 40007)) ||
                        (reverse == 0 && selected == 40006);
    if (!selectedGone && selected != 40004 && selected != 40006) return;
    if (readingTabs)
        host_->PostCommand(40004);
    else if (reverse > 0)
        host_->PostCommand(40006);
}

int32_t CShelf::SelectStartList(int32_t defaultKind) {
    auto rows = [&](int32_t viewKind) {
        ListViewModel* view = FindView(viewKind);
        return view != nullptr ? view->GetRowCount() : 0;
    };
    int32_t kind = defaultKind;
    if (rows(2) > 0)
        kind = 2;
    else if (rows(5) + rows(4) > 0)
        kind = rows(5) > rows(4) ? 5 : 4;
    return SetCurrentListByKind(kind) != 0 ? kind : defaultKind;
}

void CShelf::NotifyDictionaryChanged(CDictionary& dictionary) {
    auto* changed = static_cast<RDFDictionary*>(&dictionary);
    for (auto& view : views_) view->OnDictionaryAdded(changed, FirstDictionary(), view.get() == current_);
}

// ---- lists and views ------------------------------------------------------

WordList* CShelf::GetWordList(int32_t kind) const {
    for (const auto& list : lists_)
        if (list->Kind() == kind) return list.get();
    return nullptr;
}

ListViewModel* CShelf::FindView(int32_t viewKind) const {
    for (const auto& view : views_)
        if (view->viewKind == viewKind) return view.get();
    return nullptr;
}

int32_t CShelf::SetCurrentListByKind(int32_t viewKind) {
    ListViewModel* view = FindView(viewKind);
    if (view == nullptr) return 0;
    current_ = view;
    return viewKind;
}

void CShelf::SetCurrentListView(IHistoryListView* view) {
    for (const auto& v : views_)
        if (v.get() == view) current_ = v.get();
}

void CShelf::RemoveListView(ListViewModel* view) {
    auto found = std::find_if(views_.begin(), views_.end(), [&](const auto& v) { return v.get() == view; });
    if (found == views_.end()) return;
    if (current_ == view) {
        if (found != views_.begin())
            current_ = std::prev(found)->get();
        else
            current_ = std::next(found) != views_.end() ? std::next(found)->get() : nullptr;
    }
    views_.erase(found);
}

void CShelf::SaveListPositions() {
    for (auto& view : views_) view->SavePosition();
}

void CShelf::ResetListViews() {
    for (auto& view : views_) view->ShowFirstRow();
}

bool CShelf::IsOpenOnShelf(const RDFDictionary* dictionary) const {
    return PositionOf(dictionary) >= 0 && IsOpen(*dictionary);
}

void CShelf::UpdateCommandState(int32_t command) {
    if (host_ != nullptr) host_->UpdateCommandState(command);
}

void CShelf::RefreshListHeaders() {
    for (auto& view : views_)
        if (view->host != nullptr) view->host->RetitleColumns();
}

void CShelf::RedrawLists() {
    if (host_ != nullptr) host_->RedrawLists();
}

bool CShelf::ActivateEditorForRecord(const CDictionary& dictionary, uint32_t recordId) {
    for (const auto& target : chain_) {
        if (CEditor* editor = FindEditor(*target, &dictionary, recordId)) {
            editor->Activate();
            return true;
        }
    }
    return false;
}

bool CShelf::HasOpenEditors() const {
    for (const auto& target : chain_)
        if (::HasOpenEditors(*target)) return true;
    return false;
}
