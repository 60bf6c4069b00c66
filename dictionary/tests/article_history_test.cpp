// CHistory: recording views (duplicates, the halving when full), Back and
// Forward over entries of closed or forgotten dictionaries, and showing an
// entry in the list it came from or, when its record left that list or its
// ordinal now names another article, in the history list.
#include "dictionary/article_history.h"

#include <set>
#include <string_view>

#include "dictionary/tests/word_list_fixture.h"

namespace {

struct FakeView : IHistoryListView {
    FakeView(int32_t k, WordList* m) : kind(k), model(m) {}
    int32_t ViewKind() const override { return kind; }
    WordList* Model() const override { return model; }
    void SelectRecord(const ListRecordRef& record, int32_t pageOffset) override {
        shown.push_back(record.recordId);
        offsets.push_back(pageOffset);
        if (history != nullptr) addsWhileShowing.push_back(history->Add(this, showingCursor, 0));
    }
    void ShowFirstRow() override { ++firstRows; }

    int32_t kind;
    WordList* model;
    std::vector<uint32_t> shown;
    std::vector<int32_t> offsets, addsWhileShowing;
    int firstRows = 0;
    CHistory* history = nullptr;  // set: showing tries to record again
    const CCursor* showingCursor = nullptr;
};

struct FakeHistoryShelf : IHistoryShelf {
    bool IsOpenOnShelf(const RDFDictionary* dictionary) const override { return open.count(dictionary) != 0; }
    IHistoryListView* FindListByKind(int32_t kind) const override {
        for (IHistoryListView* view : views)
            if (view->ViewKind() == kind) return view;
        return nullptr;
    }
    IHistoryListView* CurrentListView() const override { return current; }
    void SetCurrentListView(IHistoryListView* view) override { current = view; }
    void UpdateCommandState(int32_t command) override { commands.push_back(command); }
    void RedrawLists() override {}

    std::set<const RDFDictionary*> open;
    std::vector<IHistoryListView*> views;
    IHistoryListView* current = nullptr;
    std::vector<int32_t> commands;
};

class ArticleHistoryTest : public WordListTest {
protected:
    void SetUp() override {
        first = AddSynthetic(u"C:\\D\\first.qdx", {{u"a", u""}, {u"b", u""}, {u"c", u""}});
        second = AddSynthetic(u"C:\\D\\second.qdx", {{u"a", u""}}, kIndexReadingWord, 100);
        hosts.open = {first, second};
        historyModel = ListOfShelf(kListHistory);
        readings = ListOfShelf(kListReadings);
        selected = ListOfShelf(kListSelected);
        historyView = std::make_unique<FakeView>(kViewHistory, historyModel.get());
        readingView = std::make_unique<FakeView>(2, readings.get());
        selectedView = std::make_unique<FakeView>(kViewSelected, selected.get());
        hosts.views = {historyView.get(), readingView.get(), selectedView.get()};
        hosts.current = readingView.get();
        cursor = std::make_unique<CCursor>(first, kIndexReadingWord);
        history = std::make_unique<CHistory>(hosts);
    }
    // Views the record at `ordinal` of `dictionary` in `view`.
    int32_t View(IHistoryListView* view, RDFDictionary* dictionary, int32_t ordinal, int32_t offset = 0) {
        CCursor at(dictionary, kIndexReadingWord);
        at.MoveToOrdinal(ordinal);
        return history->Add(view, &at, offset);
    }
    // Steps back ('b') and forward ('f'); the position after each, -1 for a refused step.
    std::vector<int32_t> Steps(std::string_view moves) {
        std::vector<int32_t> positions;
        for (char move : moves)
            positions.push_back((move == 'b' ? history->Back() : history->Forward()) == 0 ? history->Position() : -1);
        return positions;
    }

    RDFDictionary* first = nullptr;
    RDFDictionary* second = nullptr;
    FakeHistoryShelf hosts;
    std::unique_ptr<WordList> historyModel, readings, selected;
    std::unique_ptr<FakeView> historyView, readingView, selectedView;
    std::unique_ptr<CCursor> cursor;
    std::unique_ptr<CHistory> history;
};

TEST_F(ArticleHistoryTest, ViewingTheSameArticleTwiceRecordsItOnceAndTopsTheHistoryList) {
    EXPECT_EQ(View(readingView.get(), first, 1), 0);
    EXPECT_EQ(View(readingView.get(), first, 1), 0);
    EXPECT_EQ(history->Newest(), 0);
    EXPECT_EQ(View(readingView.get(), second, 0), 0);
    EXPECT_EQ(history->Newest(), 1);
    EXPECT_EQ(historyModel->RowCount(), 2);
    EXPECT_EQ(historyModel->RowEntry(0)->recordId, 100u);
    EXPECT_EQ(historyView->firstRows, 2);
    // The history list's own views are recorded but not put on top of it.
    EXPECT_EQ(View(historyView.get(), first, 0), 0);
    EXPECT_EQ(historyModel->RowCount(), 2);
    EXPECT_EQ(View(nullptr, first, 0), -1);
    EXPECT_EQ(history->Add(readingView.get(), nullptr, 0), -1);
}

TEST_F(ArticleHistoryTest, AFullHistoryKeepsTheNewerHalfAndBackWalksThroughIt) {
    for (uint32_t view = 1; view <= 10001; ++view) {
        cursor->position.ref.first = view;
        cursor->ordinal = static_cast<int32_t>(view % 3);
        ASSERT_EQ(history->Add(historyView.get(), cursor.get(), 0), 0);
    }
    EXPECT_EQ(history->Newest(), 5000);
    EXPECT_EQ(history->EntryAt(0).recordId, 5001u);
    EXPECT_EQ(history->EntryAt(5000).recordId, 10001u);
    int32_t steps = 0;
    while (history->Back() == 0) ++steps;
    EXPECT_EQ(steps, 5000);
    EXPECT_EQ(history->Position(), 0);
    EXPECT_EQ(historyView->shown.back(), 5001u);
}

TEST_F(ArticleHistoryTest, BackAndForwardSkipClosedAndForgottenDictionaries) {
    View(readingView.get(), first, 0, 3);
    View(readingView.get(), second, 0);
    View(readingView.get(), first, 2, 7);
    View(readingView.get(), second, 0);
    hosts.open.erase(second);  // closed
    EXPECT_EQ(Steps("bbbff"), (std::vector<int32_t>{2, 0, -1, 2, -1}));
    EXPECT_EQ(history->Position(), 2);  // nothing shown, nothing moved
    EXPECT_EQ(readingView->offsets, (std::vector<int32_t>{7, 3, 7}));

    View(readingView.get(), first, 1);  // after Back: appended at the end
    EXPECT_EQ(history->Newest(), 4);
    EXPECT_EQ(history->Position(), 4);
    hosts.open.insert(second);
    history->ForgetDictionary(first);
    EXPECT_EQ(Steps("bbbf"), (std::vector<int32_t>{3, 1, -1, 3}));
}

TEST_F(ArticleHistoryTest, ARecordThatLeftItsListIsShownInTheHistoryList) {
    CCursor at(first, kIndexReadingWord);
    at.MoveToOrdinal(1);
    selected->AddCursorEntry(at);
    history->Add(selectedView.get(), &at, 4);
    View(readingView.get(), second, 0);
    hosts.current = readingView.get();

    EXPECT_EQ(history->Back(), 0);
    EXPECT_EQ(hosts.current, selectedView.get());
    EXPECT_EQ(hosts.commands.back(), 40140);
    selected->DeleteRow(0);
    history->Forward();
    EXPECT_EQ(history->Back(), 0);
    EXPECT_EQ(hosts.current, historyView.get());
    EXPECT_EQ(hosts.commands.back(), 40143);
    EXPECT_EQ(historyView->shown.back(), 2u);
    EXPECT_EQ(historyView->offsets.back(), 4);
}

TEST_F(ArticleHistoryTest, AMergedListEntryWhoseOrdinalNowNamesAnotherArticleGoesToTheHistoryList) {
    View(readingView.get(), first, 2);
    // Viewed when ordinal 1 held record 77; articles changed since, and it holds record 2 now.
    CCursor at(first, kIndexReadingWord);
    at.MoveToOrdinal(1);
    at.position.ref.first = 77;
    history->Add(readingView.get(), &at, 0);
    View(readingView.get(), second, 0);
    EXPECT_EQ(history->Back(), 0);
    EXPECT_EQ(hosts.current, historyView.get());
    EXPECT_EQ(historyView->shown.back(), 77u);
    // Showing an entry does not record it again.
    readingView->history = history.get();
    readingView->showingCursor = cursor.get();
    EXPECT_EQ(history->Back(), 0);
    EXPECT_EQ(hosts.current, readingView.get());
    EXPECT_EQ(readingView->shown.back(), 3u);
    EXPECT_EQ(readingView->addsWhileShowing, std::vector<int32_t>{-1});
    EXPECT_FALSE(history->Busy());
    EXPECT_EQ(history->Newest(), 2);
}

}  // namespace
