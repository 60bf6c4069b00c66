// The editor chain of a dictionary with fake editors: one editor a record,
// a failed open leaves nothing behind, the last editor of the program alone
// remembers its rectangle, closing all asks each and stops on Cancel.
#include <gtest/gtest.h>

#include "dictionary/article_editors.h"
#include "dictionary/tests/dictionary_fixture.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;  // what the editors were asked, in order
bool g_openSucceeds = true;
int32_t g_answer = 7;               // QuerySave: No
int g_made = 0;

class FakeEditor : public CEditor {
public:
    bool Open(CDictionary* source, CDictionary&, uint32_t recordId, std::u16string_view) override {
        source_ = source;
        record_ = recordId;
        name_ = "e" + std::to_string(++g_made);
        return g_openSucceeds;
    }
    int32_t QuerySave(bool allowCancel) override {
        g_events.push_back(name_ + (allowCancel ? " asked" : " asked without cancel"));
        return g_answer;
    }
    void Activate() override { g_events.push_back(name_ + " activated"); }
    void FocusText() override { g_events.push_back(name_ + " focused"); }
    void RememberRectangle() override { g_events.push_back(name_ + " remembers"); }
    bool HasDialog(const void* window) const override { return window == this; }
    bool HasTextWindow(const void* window) const override { return window == &record_; }
    const CDictionary* Source() const override { return source_; }
    uint32_t RecordId() const override { return record_; }

private:
    CDictionary* source_ = nullptr;
    uint32_t record_ = 0;
    std::string name_;
};

class ArticleEditors : public DictionaryTest {
protected:
    void SetUp() override {
        g_events.clear();
        g_openSucceeds = true;
        g_answer = 7;
        g_made = 0;
        SetEditorFactory([]() -> std::unique_ptr<CEditor> { return std::make_unique<FakeEditor>(); });
        personal = MakeDictionary();
        other = MakeDictionary(u"other.qdx");
    }
    void TearDown() override {
        CloseAllEditors(*personal, false);
        CloseAllEditors(*other, false);
        SetEditorFactory(nullptr);
        EXPECT_EQ(CEditor::LiveCount(), 0);
    }
    std::unique_ptr<RDFDictionary> personal, other;
};

TEST_F(ArticleEditors, OneEditorARecordTheNewestAtTheHead) {
    CEditor* first = OpenEditor(*personal, personal.get(), 100, {});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenEditor(*personal, personal.get(), 100, {}), nullptr);  // brought forward instead
    EXPECT_EQ(g_events, std::vector<std::string>{"e1 activated"});
    CEditor* fresh = OpenEditor(*personal, nullptr, 0, u"new");
    CEditor* another = OpenEditor(*personal, nullptr, 0, u"new");  // new articles never clash
    ASSERT_NE(another, nullptr);
    EXPECT_EQ(personal->editors, another);
    EXPECT_EQ(another->next, fresh);
    EXPECT_EQ(fresh->next, first);
    EXPECT_TRUE(HasOpenEditors(*personal));
    EXPECT_FALSE(HasOpenEditors(*other));
    EXPECT_TRUE(IsEditorDialog(*personal, first));
    EXPECT_FALSE(IsEditorDialog(*other, first));
    EXPECT_EQ(FindEditor(*personal, personal.get(), 100), first);
    EXPECT_EQ(FindEditor(*personal, other.get(), 100), nullptr);
}

TEST_F(ArticleEditors, AnEditorThatCannotOpenIsNotKept) {
    g_openSucceeds = false;
    EXPECT_EQ(OpenEditor(*personal, personal.get(), 100, {}), nullptr);
    EXPECT_FALSE(HasOpenEditors(*personal));
    EXPECT_EQ(CEditor::LiveCount(), 0);
    g_openSucceeds = true;
    EXPECT_NE(OpenEditor(*personal, personal.get(), 100, {}), nullptr);  // the record opens again later
}

TEST_F(ArticleEditors, OnlyTheLastEditorOfTheProgramRemembersItsRectangle) {
    CEditor* a = OpenEditor(*personal, nullptr, 0, u"a");
    CEditor* b = OpenEditor(*personal, nullptr, 0, u"b");
    CEditor* c = OpenEditor(*other, nullptr, 0, u"c");
    CloseEditor(*personal, *b);
    EXPECT_EQ(g_events, std::vector<std::string>{"e1 focused"});  // the new head of that chain
    CloseEditor(*personal, *a);
    EXPECT_EQ(g_events.size(), 1u);  // the other dictionary's editor is still open
    CloseEditor(*other, *c);
    EXPECT_EQ(g_events.back(), "e3 remembers");
    EXPECT_EQ(CEditor::LiveCount(), 0);
}

TEST_F(ArticleEditors, CloseAllAsksEachAndStopsOnCancelOrAFailedSave) {
    OpenEditor(*personal, nullptr, 0, u"a");
    OpenEditor(*personal, nullptr, 0, u"b");
    g_answer = 2;  // Cancel
    EXPECT_EQ(CloseAllEditors(*personal, true), 2);
    EXPECT_EQ(g_events, std::vector<std::string>{"e2 asked"});
    EXPECT_EQ(CEditor::LiveCount(), 2);
    g_answer = 1363;  // Yes, but the save failed: the text stays
    EXPECT_EQ(CloseAllEditors(*personal, true), 2);
    EXPECT_EQ(CEditor::LiveCount(), 2);
    g_events.clear();
    g_answer = 2;  // without cancel nothing stops the close
    EXPECT_EQ(CloseAllEditors(*personal, false), 1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"e2 asked without cancel", "e1 focused",
                                                  "e1 asked without cancel", "e1 remembers"}));
    EXPECT_FALSE(HasOpenEditors(*personal));
}

}  // namespace
