// Deleting an article: refused while an editor shows it, asked for, done in
// one engine transaction; a failed removal is rolled back, reported, and
// leaves the file and the changed mark as they were.
#include <gtest/gtest.h>

#include "dictionary/dictionary_shelf.h"
#include "dictionary/tests/dictionary_fixture.h"

namespace {

class RecordingShelf : public IDictionaryShelf {
public:
    RDFDictionary* FirstDictionary() const override { return nullptr; }
    bool ActivateEditorForRecord(const CDictionary&, uint32_t recordId) override {
        if (recordId != editedRecord) return false;
        ++activations;
        return true;
    }
    void SaveListPositions() override { ++savedPositions; }
    void NotifyDictionaryChanged(CDictionary&) override { ++changes; }

    uint32_t editedRecord = 0;
    int activations = 0, savedPositions = 0, changes = 0;
};

struct RemoverCall {
    uint32_t recordId = 0, formatType = 0;
    std::u16string text;
};
RemoverCall g_call;

// Removes the article's index 0 entry and its block, then answers `succeed`.
template <bool succeed>
bool RemoveArticle(CDictionary& dictionary, uint32_t recordId, uint32_t formatType, const char16_t* text,
                   uint32_t bytes) {
    g_call = {recordId, formatType, std::u16string(text, bytes / 2)};
    EngineCursor cursor(dictionary.Engine(), dictionary.fileId);
    int32_t key = static_cast<int32_t>(recordId);
    KeySegmentValue segment{&key, 4};
    if (Failed(cursor.SelectIndex(kIndexArticles)) ||
        Failed(dictionary.Engine().Seek(cursor.handle(), &segment, nullptr, nullptr)) ||
        Failed(dictionary.Engine().DeleteCurrent(cursor.handle())) ||
        Failed(dictionary.Engine().FreeData(cursor.handle(), recordId)))
        return false;
    return succeed;
}

class DeleteArticle : public DictionaryTest {
protected:
    void SetUp() override {
        g_call = {};
        previous = SetArticleIndexRemover(RemoveArticle<true>);
        CreateDictionaryFile();
        first = WriteArticle(3, u"愛 [あい] /love/");
        second = WriteArticle(3, u"犬 [いぬ] /dog/");
        InsertLongKey(kIndexArticles, {static_cast<int32_t>(first)}, first);
        InsertLongKey(kIndexArticles, {static_cast<int32_t>(second)}, second);
        FinishFile();
        dictionary = MakeDictionary();
        dictionary->shelf = &shelf;
        ASSERT_EQ(dictionary->Open(0), 0u);
        app.messageAnswer = 6;  // Yes
    }
    void TearDown() override { SetArticleIndexRemover(previous); }

    // The article's block as the engine reads it now, and the index 0 count.
    DmsStatus ReadBack(uint32_t position, std::vector<uint8_t>* bytes = nullptr) {
        EngineCursor reader(*engine, dictionary->fileId);
        uint32_t size = 0;
        DmsStatus st = engine->ReadData(reader.handle(), position, nullptr, &size);
        if (Failed(st) || bytes == nullptr) return st;
        bytes->resize(size);
        return engine->ReadData(reader.handle(), position, bytes->data(), &size);
    }
    uint32_t ArticleEntries() {
        EngineCursor reader(*engine, dictionary->fileId);
        uint32_t n = 0;
        reader.SelectIndex(kIndexArticles);
        engine->GetCount(reader.handle(), &n);
        return n;
    }

    ArticleIndexRemover previous = nullptr;
    RecordingShelf shelf;
    std::unique_ptr<RDFDictionary> dictionary;
    uint32_t first = 0, second = 0;
};

TEST_F(DeleteArticle, DeletesAfterConfirmation) {
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 1);
    EXPECT_EQ(g_call.recordId, first);
    EXPECT_EQ(g_call.formatType, 3u);
    EXPECT_EQ(g_call.text, u"愛 [あい] /love/");
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Delete selected article from the dictionary?");
    EXPECT_EQ(app.messages[0].caption, u"Confirm...");
    EXPECT_EQ(app.messages[0].style, 4u);
    EXPECT_EQ(shelf.savedPositions, 1);
    EXPECT_EQ(shelf.changes, 1);
    EXPECT_TRUE(dictionary->articlesChanged);
    EXPECT_EQ(app.waitCursorDepth, 0);
    EXPECT_EQ(ArticleEntries(), 1u);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadBack(second, &bytes), DmsStatus::Success);
    EXPECT_EQ(bytes, ArticleRecord(3, u"犬 [いぬ] /dog/"));
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
    EXPECT_EQ(ArticleEntries(), 2u);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadBack(first, &bytes), DmsStatus::Success);
    EXPECT_EQ(bytes, ArticleRecord(3, u"愛 [あい] /love/"));
    EXPECT_EQ(ReadBack(second, &bytes), DmsStatus::Success);
    EXPECT_EQ(bytes, ArticleRecord(3, u"犬 [いぬ] /dog/"));
}

TEST_F(DeleteArticle, RefusedWhileAnEditorShowsIt) {
    shelf.editedRecord = first;
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    EXPECT_EQ(shelf.activations, 1);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Статью нельзя удалить так как она открыта в редакторе статей.");
    EXPECT_EQ(app.messages[0].caption, u"Статью невозможно удалить");
    EXPECT_EQ(g_call.recordId, 0u);
    EXPECT_EQ(ArticleEntries(), 2u);
}

TEST_F(DeleteArticle, NothingHappensWithoutConsentOrForAnotherDictionary) {
    RDFDictionary other(0, *engine);
    EXPECT_EQ(dictionary->DeleteArticle(&other, first), 0);
    EXPECT_EQ(dictionary->DeleteArticle(nullptr, first), 0);
    EXPECT_TRUE(app.messages.empty());
    app.messageAnswer = 7;  // No
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    EXPECT_EQ(g_call.recordId, 0u);
    app.messageAnswer = 6;
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first + 3), 0);  // not a block's start
    SetArticleIndexRemover(nullptr);
    EXPECT_EQ(dictionary->DeleteArticle(dictionary.get(), first), 0);
    EXPECT_EQ(g_call.recordId, 0u);
    EXPECT_EQ(ArticleEntries(), 2u);
    EXPECT_FALSE(dictionary->articlesChanged);
}

}  // namespace
