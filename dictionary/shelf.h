// CShelf: the owner of the program's open-dictionary model: the chain of
// dictionaries in the user's order, the word lists with their list views,
// the current view, the UCA collator and the article history. Every change of
// the set of dictionaries goes through it and on to every view. The window
// side (tabs, command states, posting) is reached through IShelfHost.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/article_history.h"
#include "dictionary/dictionary_shelf.h"
#include "dictionary/list_view_model.h"
#include "dictionary/word_list_shelf.h"

class CDMS;
class CIni;
class CInput;
struct ICollator;

// Flags of a newly created personal dictionary: store database, word
// dictionary, editable.
inline constexpr uint32_t kPersonalDictionaryFlags = 0x10042000;
inline constexpr uint32_t kDictionaryEditable = 0x2000;
inline constexpr uint32_t kDictionaryStoreDatabase = 0x10000000;
inline constexpr uint32_t kDictionaryBook = 0x4000;
// States of a "Dictionaries" settings slot.
inline constexpr int32_t kSlotOpen = 0;
inline constexpr int32_t kSlotClosed = 2;

// The main window as the shelf reaches it. Every call may do nothing.
class IShelfHost {
public:
    virtual bool FileExists(std::u16string_view path) = 0;
    // Adds the tab of a list command when missing; its index.
    virtual int32_t EnsureTab(int32_t command) = 0;
    virtual void RemoveTab(int32_t command) = 0;
    // The list command of the selected tab, 0 when none.
    virtual int32_t SelectedTabCommand() = 0;
    virtual void PostCommand(int32_t command) = 0;
    virtual void UpdateCommandState(int32_t command) = 0;
    virtual void RedrawLists() = 0;
    // For a new personal dictionary: the installation id ("CLSID1"), a new
    // GUID in registry form and the local time "%d-%02d-%02d %02d:%02d:%02d".
    virtual std::u16string InstallationId() = 0;
    virtual std::u16string NewGuidText() = 0;
    virtual std::u16string LocalTimeText() = 0;
    // `count` open dictionaries were made for versions before 6: the
    // window's warning, unless the user asked not to see it again.
    virtual void WarnOfOldDictionaries(int32_t count) { (void)count; }

protected:
    ~IShelfHost() = default;
};

// 4 when the text holds a kanji (or another Han-like symbol), else 3 with
// kana, else 8 with a character below U+2000, else 0.
int32_t TextScriptClass(std::u16string_view text);

class CShelf : public IWordListShelf, public IHistoryShelf, public IDictionaryShelf {
public:
    // The lists and their views in creation order: {view kind, model kind, command}.
    struct ListKind {
        int32_t viewKind, modelKind, command;
    };
    static const ListKind kListKinds[8];
    static constexpr int32_t kMaxPersonalNumber = 999;

    using ViewFactory = std::function<std::unique_ptr<ListViewModel>(int32_t viewKind, WordList* model)>;

    // `engine` serves every dictionary; `host` may be null (no window);
    // `makeView` builds the views (plain models when empty).
    CShelf(CDMS& engine, IShelfHost* host, CInput& input, ViewFactory makeView = nullptr);
    virtual ~CShelf();
    CShelf(const CShelf&) = delete;
    CShelf& operator=(const CShelf&) = delete;

    // The chain.
    RDFDictionary* AddDictionary(uint32_t flags, std::u16string_view path) override;
    RDFDictionary* InsertDictionary(uint32_t flags, std::u16string_view path);
    void DeleteDictionary(RDFDictionary* dictionary) override;
    int32_t MoveDictionaryUp(RDFDictionary* dictionary);
    int32_t MoveDictionaryDown(RDFDictionary* dictionary);
    RDFDictionary* GetDictionary(int32_t index) const { return DictionaryAt(index); }
    int32_t IndexOfDictionary(const RDFDictionary* dictionary) const { return PositionOf(dictionary); }
    int32_t GetVisibleIndex(const RDFDictionary* dictionary) const;
    int32_t DictionaryCount() const { return static_cast<int32_t>(chain_.size()); }
    RDFDictionary* FindByPath(std::u16string_view path) const override;
    RDFDictionary* FindByFileName(std::u16string_view path, const RDFDictionary* after) const;

    // The working dictionary.
    void SetWorkingDictionary(RDFDictionary* dictionary);
    RDFDictionary* SelectWorkingDictionaryByPath(std::u16string_view path);
    RDFDictionary* GetWorkingDictionary() const;
    RDFDictionary* FindWorkingDictionary() const;
    // Gives the working role back to the dictionary that held it before the
    // last SetWorkingDictionary took it away, when that one is still on the
    // shelf and editable (a book loaded into a new dictionary leaves that
    // dictionary read-only); null when none takes it.
    RDFDictionary* RestorePreviousWorkingDictionary();

    // Settings and start-up.
    void SaveDictionaryList(CIni& ini) const;
    void ProbeClosedDictionaries();
    // Counts the open dictionaries older than version 6 (the closed ones are
    // probed first) and has the host warn of them when there are any.
    int32_t WarnOldDictionaries();
    // The first free "Personal.qdx", "Personal1.qdx" ... of the folder; empty
    // when all 1000 are taken (an existing file is never offered).
    std::u16string MakePersonalDictionaryName(std::u16string_view folder) const;
    // Creates the file, then puts it at the head of the shelf open for
    // writing. Null when the file could not be created (the error is shown
    // and nothing is added). The texts are its own copies: opening the file
    // lets queued messages in, and they may change whatever the caller holds.
    RDFDictionary* CreatePersonalDictionary(std::u16string path, std::u16string name, std::u16string copyright,
                                            std::u16string comment, std::u16string versionText);
    // Puts every list in step with the dictionaries' open states.
    void Refresh() override;
    int32_t SelectStartList(int32_t defaultKind);

    // Lists and views.
    WordList* GetWordList(int32_t kind) const;
    ListViewModel* FindView(int32_t viewKind) const;
    int32_t SetCurrentListByKind(int32_t viewKind);
    ListViewModel* CurrentView() const { return current_; }
    int32_t ViewCount() const { return static_cast<int32_t>(views_.size()); }
    ListViewModel* ViewAt(int32_t index) const { return views_[static_cast<size_t>(index)].get(); }
    void RemoveListView(ListViewModel* view);
    void ResetListViews();
    // Every list view's header titles again, after the interface language changed.
    void RefreshListHeaders();
    CHistory& History() { return history_; }

    // IWordListShelf.
    RDFDictionary* DictionaryAt(int32_t position) const override;
    int32_t PositionOf(const RDFDictionary* dictionary) const override;
    ICollator* Collator() const override { return collator_; }
    void SaveListPositions() override;

    // IHistoryShelf.
    bool IsOpenOnShelf(const RDFDictionary* dictionary) const override;
    IHistoryListView* FindListByKind(int32_t viewKind) const override { return FindView(viewKind); }
    IHistoryListView* CurrentListView() const override { return current_; }
    void SetCurrentListView(IHistoryListView* view) override;
    void UpdateCommandState(int32_t command) override;
    void RedrawLists() override;

    // IDictionaryShelf.
    RDFDictionary* FirstDictionary() const override { return chain_.empty() ? nullptr : chain_.front().get(); }
    bool ActivateEditorForRecord(const CDictionary& dictionary, uint32_t recordId) override;
    // An article editor is open on some dictionary of the shelf.
    bool HasOpenEditors() const;
    void NotifyDictionaryChanged(CDictionary& dictionary) override;

private:
    RDFDictionary* MakeDictionary(uint32_t flags, std::u16string_view path, bool atHead);
    void Relink();
    // Step 3 of a refresh: reopen, the working dictionary for writing when it can.
    void Reopen(RDFDictionary& dictionary);
    void MaintainTabs();

    CDMS& engine_;
    IShelfHost* host_;
    CInput& input_;
    ICollator* collator_ = nullptr;  // UCA, one reference held
    std::vector<std::unique_ptr<RDFDictionary>> chain_;  // the user's order
    std::vector<std::unique_ptr<WordList>> lists_;
    std::vector<std::unique_ptr<ListViewModel>> views_;
    ListViewModel* current_ = nullptr;
    CHistory history_;
    std::u16string previousWorking_;  // path of the dictionary SetWorkingDictionary last took the role from
};
