// The deinflection note in a real article view under Wine: the matched text
// and the form names land at the top of the article, the Japanese face for
// the matched kana/kanji; chains with no named code show nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "article/win/article_view.h"
#include "dictionary/tests/word_list_fixture.h"
#include "ui/deinflection_note.h"

namespace {

struct Piece {
    std::u16string text;
    int32_t position;
    std::u16string face;
    bool italic;
};

std::vector<Piece> Record(std::u16string_view matched, const uint8_t (&tags)[16], bool english, bool& shown) {
    std::vector<Piece> pieces;
    shown = ShowDeinflectionNote(matched, tags, english, NoteFaces{u"JapaneseFace", u"LatinFace"},
                                 [&](std::u16string_view text, int32_t position, const char16_t* face, COLORREF,
                                     bool italic) { pieces.push_back({std::u16string(text), position, face, italic}); });
    return pieces;
}

TEST(DeinflectionNote, MatchedTextThenNamesThenFromInEnglish) {
    const uint8_t tags[16] = {3, 8, 33};
    bool shown = false;
    auto pieces = Record(u"食べています", tags, true, shown);
    ASSERT_TRUE(shown);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].text, u"食べています");
    EXPECT_EQ(pieces[0].position, 0);
    EXPECT_EQ(pieces[0].face, u"JapaneseFace");
    EXPECT_EQ(pieces[1].position, 6);
    EXPECT_EQ(pieces[1].face, u"LatinFace");
    EXPECT_TRUE(pieces[1].italic);
    EXPECT_NE(pieces[1].text.find(u"+ "), std::u16string::npos);
    EXPECT_TRUE(pieces[1].text.ends_with(u"from:\r"));
}

TEST(DeinflectionNote, RussianInterfaceSaysOt) {
    const uint8_t tags[16] = {3, 6};
    bool shown = false;
    auto pieces = Record(u"来た", tags, false, shown);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_TRUE(pieces[1].text.ends_with(u"от:\r"));
}

TEST(DeinflectionNote, NothingForChainsWithoutANamedCode) {
    const uint8_t dictionaryForm[16] = {3, 22};
    const uint8_t nameless[16] = {3, 43};  // 高けりゃ
    bool shown = true;
    EXPECT_TRUE(Record(u"する", dictionaryForm, true, shown).empty());
    EXPECT_FALSE(shown);
    EXPECT_TRUE(Record(u"高けりゃ", nameless, true, shown).empty());
    EXPECT_FALSE(shown);
}

TEST(DeinflectionNote, LatinTextTakesTheLatinFace) {
    const uint8_t tags[16] = {3, 6};
    bool shown = false;
    auto pieces = Record(u"kita", tags, true, shown);
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces[0].face, u"LatinFace");
}

TEST(DeinflectionNote, NoteStandsAboveTheArticleInARealView) {
    LoadLibraryW(L"Riched20.dll");
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    {
        CArticleView view(parent, 0, 0, 400, 300);
        const std::u16string article = u"たべる【食べる】 to eat";
        view.SetArticle(article.c_str(), static_cast<int32_t>(article.size()), nullptr, true);
        const uint8_t tags[16] = {3, 35};
        ASSERT_TRUE(ShowDeinflectionNote(u"食べました", tags, true, NoteFaces{},
                                         [&](std::u16string_view text, int32_t position, const char16_t* face,
                                             COLORREF colour, bool italic) {
                                             view.InsertText(text.data(), static_cast<int32_t>(text.size()), position,
                                                             face, colour, italic);
                                         }));
        wchar_t shown[512] = {};
        GetWindowTextW(view.RichEditWindow(), shown, 512);
        const std::u16string text(reinterpret_cast<const char16_t*>(shown));
        EXPECT_TRUE(text.starts_with(u"食べました")) << text.size();
        const size_t from = text.find(u"from:");
        ASSERT_NE(from, std::u16string::npos);
        EXPECT_LT(from, text.find(u"たべる【食べる】"));
        EXPECT_NE(SendMessageW(view.RichEditWindow(), EM_GETOPTIONS, 0, 0) & ECO_READONLY, 0);
    }
    DestroyWindow(parent);
}

TEST(DeinflectionNote, RowOfTheTranslatedWordsListShowsItsMatchedPartAndNothingOutsideTheRows) {
    LoadLibraryW(L"Riched20.dll");
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    {
        TestShelf shelf;
        WordList list(&shelf, kListTranslatedWords);
        const char16_t text[] = u"私は食べました";
        list.analysedText = text;
        WordListEntry e{};
        e.flags = kEntryListed;
        e.matchStart = 2;
        e.matchLength = 5;
        e.tags[0] = 3;
        e.tags[1] = 35;
        e.priority = kDefaultEntryPriority;
        ASSERT_NE(list.AppendRaw(e), nullptr);
        CArticleView view(parent, 0, 0, 400, 300);
        const std::u16string article = u"article";
        view.SetArticle(article.c_str(), static_cast<int32_t>(article.size()), nullptr, true);
        EXPECT_FALSE(ShowDeinflectionNoteOfRow(list, 1, true, view));
        EXPECT_FALSE(ShowDeinflectionNoteOfRow(list, -1, true, view));
        ASSERT_TRUE(ShowDeinflectionNoteOfRow(list, 0, false, view));
        wchar_t shown[256] = {};
        GetWindowTextW(view.RichEditWindow(), shown, 256);
        const std::u16string got(reinterpret_cast<const char16_t*>(shown));
        EXPECT_TRUE(got.starts_with(u"食べました")) << got.size();
        EXPECT_NE(got.find(u"от:"), std::u16string::npos);
    }
    DestroyWindow(parent);
}

}  // namespace
