// Deleting an article: refused while an editor shows it, asked for, done in
// one engine transaction; a failed removal is rolled back, reported, and
// leaves the file and the changed mark as they were.
#include <gtest/gtest.h>

#include "dictionary/cursor.h"
#include "dictionary/tests/dictionary_fixture.h"

namespace {

std::u16string g_removed;  // the article text the remover was given

// Removes the article's index 0 entry and its block, then answers `succeed`.
template <bool succeed>
bool RemoveArticle(CDictionary& dictionary, uint32_t recordId, uint32_t, const char16_t* text, uint32_t bytes) {
    g_removed.assign(text, bytes / 2);
    CDMS& engine = dictionary.Engine();
    EngineCursor cursor(engine, dictionary.fileId);
    KeySegmentValue key{&recordId, 4};
    return !Failed(cursor.SelectIndex(kIndexArticles)) && !Failed(engine.Seek(cursor.handle(), &key, nullptr, nullptr)) &&
           !Failed(engine.DeleteCurrent(cursor.handle())) && !Failed(engine.FreeData(cursor.handle(), recordId)) &&
           succeed;
}

class DeleteArticle : public DictionaryTest {
protected:
    void SetUp() override {
        g_removed.clear();
        previous = SetArticleIndexRemover(RemoveArticle<true>);
        CreateDictionaryFile();
        for (uint32_t* position : {&first, &second}) {
            *position = WriteArticle(3, position == &first ? kFirst : kSecond);
            InsertLongKey(kIndexArticles, {static_cast<int32_t>(*position)}, *position);
        }
        FinishFile();
        dictionary = MakeDictionary();
        dictionary->shelf = &shelf;
        ASSERT_EQ(dictionary->Open(0), 0u);
        app.messageAnswer = 6;  // Yes
    }
    void TearDown() override { SetArticleIndexRemover(previous); }

    // Both articles as the engine reads them now, and the index 0 count.
    void ExpectArticles(uint32_t entries, bool firstKept) {
        EngineCursor reader(*engine, dictionary->fileId);
        uint32_t n = 0;
        reader.SelectIndex(kIndexArticles);
        engine->GetCount(reader.handle(), &n);
        EXPECT_EQ(n, entries);
        for (uint32_t position : {first, second}) {
            if (position == first && !firstKept) continue;
            std::vector<uint8_t> bytes(64);
            uint32_t size = 64;
            EXPECT_EQ(engine->ReadData(reader.handle(), position, bytes.data(), &size), DmsStatus::Success);
            bytes.resize(size);
            EXPECT_EQ(bytes, ArticleRecord(3, position == first ? kFirst : kSecond));
        }
    }

    static constexpr const char16_t* kFirst = u"愛 [あい] /love/";
    static constexpr const char16_t* kSecond = u"犬 [いぬ] /dog/";
    ArticleIndexRemover previous = nullptr;
    FakeShelf shelf;
    std::unique_ptr<RDFDictionary> dictionary;
    uint32_t first = 0, second = 0;
};

TEST_F(DeleteArticle, DeletesTheArticleUnderACursorAfterConfirmation) {
    CCursor articles(dictionary.get(), kIndexArticles);
    ASSERT_EQ(articles.MoveFirst(), DmsStatus::Success);
    ASSERT_EQ(articles.position.ref.first, first);
    EXPECT_EQ(dictionary->DeleteArticle(&articles), 1);
    EXPECT_EQ(g_removed, kFirst);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Delete selected article from the dictionary?");
    EXPECT_EQ(app.messages[0].caption, u"Confirm...");
    EXPECT_EQ(app.messages[0].style, 4u);  // Yes and No
    EXPECT_EQ(shelf.savedPositions, 1);
    EXPECT_EQ(shelf.changes, 1);
    EXPECT_TRUE(dictionary->articlesChanged);
    EXPECT_EQ(app.waitCursorDepth, 0);
    ExpectArticles(1, false);
}

// The removal fails after changing the file: the transaction puts it back,
// the user is told, and the dictionary is not marked changed.
TEST_F(DeleteArticle, FailedRemovalRollsBackAndAnswersZero) {
    SetArticleIndexRemover(RemoveArticle<false>);
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    ASSERT_EQ(app.messages.size(), 2u);
    EXPECT_EQ(app.messages[1].text, u"Cannot delete the article due to dictionary internal error.");
    EXPECT_EQ(app.messages[1].caption, u"Cannot Delete Article");
    EXPECT_FALSE(dictionary->articlesChanged);
    EXPECT_EQ(shelf.changes, 0);
    EXPECT_EQ(app.waitCursorDepth, 0);
    ExpectArticles(2, true);
}

TEST_F(DeleteArticle, RefusedWhileInAnEditorWithoutConsentOrForAnotherDictionary) {
    RDFDictionary other(0, *engine);
    EXPECT_EQ(dictionary->DeleteArticle(&other, first), 0);
    EXPECT_EQ(dictionary->DeleteArticle(nullptr, first), 0);
    EXPECT_TRUE(app.messages.empty());
    shelf.editedRecord = first;
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    EXPECT_EQ(shelf.activations, 1);  // the editor was brought forward
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Статью нельзя удалить так как она открыта в редакторе статей.");
    EXPECT_EQ(app.messages[0].caption, u"Статью невозможно удалить");
    shelf.editedRecord = 0;
    app.messageAnswer = 7;  // No
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    app.messageAnswer = 6;
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first + 3), 0);  // not a block's start
    SetArticleIndexRemover(nullptr);
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    EXPECT_TRUE(g_removed.empty());
    EXPECT_FALSE(dictionary->articlesChanged);
    ExpectArticles(2, true);
}

}  // namespace
