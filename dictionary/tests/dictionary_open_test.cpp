// Opening dictionary files made through the engine: header texts, flags,
// version, counts, book detection, the index-language guess (on hand-made
// key sets and on Debian's EDICT) and the collation conflict of the shelf.
#include <gtest/gtest.h>

#include "dictionary/dictionary_shelf.h"
#include "dictionary/tests/dictionary_fixture.h"
#include "storage/tests/edict_keys.h"

namespace {

// A shelf of dictionaries linked by hand, for the collation check.
class ChainShelf : public IDictionaryShelf {
public:
    void Add(RDFDictionary& d) {
        d.shelf = this;
        if (last_ == nullptr) first_ = &d;
        else last_->next = &d;
        d.previous = last_;
        last_ = &d;
    }
    RDFDictionary* FirstDictionary() const override { return first_; }
    bool ActivateEditorForRecord(const CDictionary&, uint32_t) override { return false; }
    void SaveListPositions() override {}
    void NotifyDictionaryChanged(CDictionary&) override {}

private:
    RDFDictionary* first_ = nullptr;
    RDFDictionary* last_ = nullptr;
};

using DictionaryOpen = DictionaryTest;

TEST_F(DictionaryOpen, ReadsHeaderTextsFlagsAndVersion) {
    CreateDictionaryFile();
    PutProperty(kPropertyName, u"日本語の辞書");
    PutProperty(kPropertyVersion, u"6.1.2.3 P");
    FinishFile();
    auto dictionary = MakeDictionary(kPath, 0x40000);
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(dictionary->HeaderText(kPropertyName), u"日本語の辞書");
    EXPECT_FALSE(dictionary->HeaderText(kPropertyCopyright).has_value());
    EXPECT_EQ(dictionary->version, 0x06010203);
    EXPECT_EQ(dictionary->flags, 0x40000u | 0x2000u | kDictionaryOpen);
    EXPECT_EQ(dictionary->collatorKind, 1);
    ASSERT_NE(dictionary->Collator(), nullptr);
    EXPECT_EQ(dictionary->openMode, 2);
    EXPECT_EQ(app.pumps, 1);
    EXPECT_EQ(app.waitCursors, 1);
    EXPECT_EQ(app.waitCursorDepth, 0);

    EXPECT_EQ(dictionary->Close(), 0u);
    EXPECT_EQ(dictionary->flags, 0x40000u | 0x2000u);
    EXPECT_FALSE(dictionary->HeaderText(kPropertyName).has_value());
    EXPECT_EQ(dictionary->fileId, 0);
    EXPECT_EQ(dictionary->Close(), 0u);
}

TEST_F(DictionaryOpen, WithoutVersionTextIsOldAndNotEditable) {
    CreateDictionaryFile();
    FinishFile();
    auto dictionary = MakeDictionary();
    dictionary->flags = 0x2000;
    ASSERT_EQ(dictionary->Open(0), 0u);
    EXPECT_EQ(dictionary->version, kVersionWithoutText);
    EXPECT_LT(dictionary->version, kFirstCurrentVersion);
    EXPECT_EQ(dictionary->flags & 0x2000u, 0u);
}

TEST_F(DictionaryOpen, MissingFileGivesTheEngineStatusAndItsBox) {
    auto dictionary = MakeDictionary(u"C:\\Dictionaries\\missing.qdx");
    const uint32_t status = dictionary->Open(2);
    EXPECT_EQ(status, static_cast<uint32_t>(DmsStatus::CannotOpenFile));
    EXPECT_EQ(dictionary->flags & kDictionaryOpen, 0u);
    EXPECT_EQ(app.waitCursorDepth, 0);
    dictionary->ShowError(nullptr, u"Cannot open dictionary", u"Cannot open dictionary", status);
    ASSERT_EQ(app.messages.size(), 1u);
    char16_t reason[256];
    DmsErrorText(1, 0, reason, 256);
    EXPECT_EQ(app.messages[0].text,
              u"Cannot open dictionary:\nC:\\Dictionaries\\missing.qdx\n" + std::u16string(reason));
    EXPECT_EQ(app.messages[0].style, 0u);
}

struct PackCase {
    const char16_t* text;
    int32_t packed;
};
class VersionPacking : public ::testing::TestWithParam<PackCase> {};
TEST_P(VersionPacking, OneByteEachFirstHighest) { EXPECT_EQ(PackVersionText(GetParam().text), GetParam().packed); }
INSTANTIATE_TEST_SUITE_P(Texts, VersionPacking,
                         ::testing::Values(PackCase{u"11.11.0.1  I P", 0x0B0B0001}, PackCase{u"6.1.2.3 P", 0x06010203},
                                           PackCase{u"7", 0x07000000}, PackCase{u"1..2", 0x01000200},
                                           PackCase{u"", 0}, PackCase{u"1.300", 0x022C0000}));

// The article count the user sees, from the index counts, the file name and the version.
TEST_F(DictionaryOpen, ArticleCountRules) {
    auto make = [&](const std::u16string& path, int readings, int words, int translations, int articles,
                    const char16_t* versionText) {
        CreateDictionaryFile(path);
        for (int i = 0; i < readings; ++i) InsertKey(kIndexReadingWord, u"r" + std::u16string(1, u'a' + i));
        for (int i = 0; i < words; ++i) InsertKey(kIndexWordReading, u"w" + std::u16string(1, u'a' + i));
        for (int i = 0; i < translations; ++i)
            InsertKey(kIndexTranslationWords, u"t" + std::u16string(1, u'a' + i));
        for (int i = 0; i < articles; ++i) InsertLongKey(kIndexArticles, {i + 1});
        if (versionText) PutProperty(kPropertyVersion, versionText);
        FinishFile();
        auto d = MakeDictionary(path);
        EXPECT_EQ(d->Open(2), 0u);
        return d;
    };
    auto d = make(u"C:\\a.qdx", 3, 5, 2, 0, nullptr);
    EXPECT_EQ(d->articleCount, 5);
    EXPECT_EQ(d->CountRecords(), 5);
    EXPECT_EQ(make(u"C:\\b.qdx", 3, 2, 4, 0, nullptr)->articleCount, 4);
    d = make(u"C:\\Dictionaries\\KanjiDic.qdx", 6, 2, 0, 0, nullptr);
    EXPECT_EQ(d->articleCount, 2);
    EXPECT_EQ(d->CountRecords(), 6);
    EXPECT_EQ(make(u"C:\\c.qdx", 6, 2, 0, 9, u"11.11.0.1  I")->articleCount, 9);
    EXPECT_EQ(make(u"C:\\d.qdx", 6, 2, 0, 9, u"11.11.0.1  I P")->articleCount, 6);
    d = make(u"C:\\e.qdx", 3, 0, 0, 0, nullptr);
    EXPECT_EQ(d->readingCount, 3);
    EXPECT_EQ(d->flags & 0x4000u, 0u);
    EXPECT_EQ(d->bookHeaderCount, 0);
}

TEST_F(DictionaryOpen, BookRecordsMakeABookAndCountItsHeaders) {
    CreateDictionaryFile();
    for (int32_t first : {2000, 1, 1000, 2, 1001}) InsertLongKey(kIndexBookRecords, {first, 0, 0});
    FinishFile();
    auto dictionary = MakeDictionary(kPath, 0x40000);
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(dictionary->flags & (0x4000u | 0x40000u), 0x4000u);
    EXPECT_EQ(dictionary->bookHeaderCount, 3);
}

struct LanguageCase {
    const char* name;
    std::vector<std::u16string> readings, words, translations, stems;
    const char16_t* language;
};
class LanguageGuess : public DictionaryTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageGuess, FromTheKeysOfItsIndexes) {
    const LanguageCase& c = GetParam();
    CreateDictionaryFile();
    for (const auto& k : c.readings) InsertKey(kIndexReadingWord, k);
    for (const auto& k : c.words) InsertKey(kIndexWordReading, k);
    for (const auto& k : c.translations) InsertKey(kIndexTranslationWords, k);
    for (const auto& k : c.stems) InsertKey(kIndexLatinStems, k);
    FinishFile();
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(std::u16string(dictionary->IndexLanguage()), c.language);
}
INSTANTIATE_TEST_SUITE_P(
    KeySets, LanguageGuess,
    ::testing::Values(
        LanguageCase{"ChineseWhenLatinReadingsWin",
                     {u"あい", u"かき", u"さし", u"ai", u"ka", u"ki", u"sa", u"shi"}, {u"愛"}, {}, {}, u"cmn"},
        LanguageCase{"JapaneseWhenKanaReadingsWin", {u"あい", u"かき", u"ai"}, {u"愛"}, {}, {}, u"jpn"},
        LanguageCase{"LatinStems", {u"amo"}, {u"amo"}, {}, {u"am"}, u"lat"},
        LanguageCase{"RussianTranslations", {}, {}, {u"дом", u"кот", u"house"}, {}, u"rus"},
        LanguageCase{"GreekTranslations", {}, {}, {u"λόγος", u"οἶκος", u"house"}, {}, u"ell"},
        LanguageCase{"EnglishTranslations", {}, {}, {u"house", u"cat", u"дом"}, {}, u"eng"},
        LanguageCase{"NoMajority", {}, {}, {u"дом", u"house"}, {}, u""},
        LanguageCase{"ReadingsAloneGuessNothing", {u"あい"}, {}, {}, {}, u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DictionaryOpen, NamedIndexLanguageIsNotGuessed) {
    CreateDictionaryFile();
    InsertKey(kIndexLatinStems, u"am");
    PutProperty(kPropertyIndexLanguage, u"Latin");
    FinishFile();
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(std::u16string(dictionary->IndexLanguage()), u"");
}

// Debian's EDICT: readings by reading and headwords by word, as the
// compiler stores them. Its readings are kana, so it is Japanese.
TEST_F(DictionaryOpen, EdictIsGuessedJapanese) {
    std::vector<ReadingAndWord> keys = LoadEdictKeys(3000);
    if (keys.empty()) GTEST_SKIP() << "edict is not installed";
    CreateDictionaryFile();
    for (const auto& [reading, word] : keys) {
        InsertKey(kIndexReadingWord, reading, word);
        InsertKey(kIndexWordReading, word, reading);
    }
    FinishFile();
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(std::u16string(dictionary->IndexLanguage()), u"jpn");
    EXPECT_EQ(dictionary->readingCount, 3000);
    // Ranges go by the index's collation: U+30FF sorts as its expansion
    // "コト", so the kana range ends there; Latin readings stay few.
    EXPECT_GT(dictionary->CountKeysInRange(kIndexReadingWord, 0x3041, 0x30FF), 1000u);
    EXPECT_LT(dictionary->CountKeysInRange(kIndexReadingWord, 0x0041, 0x024F), 100u);
}

TEST_F(DictionaryOpen, CountKeysInRangeAgainstACountByHand) {
    const std::u16string keys[] = {u"a", u"abc", u"b", u"c", u"cz", u"d", u"x", u"ア", u"あ"};
    CreateDictionaryFile();
    for (const auto& k : keys) InsertKey(kIndexFullTextWords, k);
    FinishFile();
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(dictionary->CountKeysInRange(kIndexFullTextWords, u'b', u'd'), 4u);  // b c cz d
    EXPECT_EQ(dictionary->CountKeysInRange(kIndexFullTextWords, u'e', u'w'), 0u);
    EXPECT_EQ(dictionary->CountKeysInRange(kIndexFullTextWords, u'y', u'z'), 0u);
    EXPECT_EQ(dictionary->CountKeysInRange(kIndexArticles, u'a', u'z'), 0u);
}

// A file of the older format version sorts by the dictionary collation (kind
// 0); the shelf cannot mix it with files sorted by UCA (kind 1).
TEST_F(DictionaryOpen, CollationConflictOnTheShelf) {
    const std::u16string older = u"C:\\Dictionaries\\older.qdx";
    CreateDictionaryFile(older);
    FinishFile();
    std::vector<uint8_t> bytes = *disk.Contents(older);
    bytes[6] = 0x03;
    bytes[7] = 0x04;
    disk.SetContents(older, bytes);
    CreateDictionaryFile();
    FinishFile();

    ChainShelf shelf;
    auto oldDictionary = MakeDictionary(older);
    auto newDictionary = MakeDictionary();
    shelf.Add(*oldDictionary);
    shelf.Add(*newDictionary);
    ASSERT_EQ(oldDictionary->Open(2), 0u);
    EXPECT_EQ(oldDictionary->collatorKind, 0);
    EXPECT_EQ(newDictionary->Open(2), kOpenCollationNewer);
    EXPECT_EQ(newDictionary->flags & kDictionaryOpen, 0u);
    EXPECT_EQ(newDictionary->fileId, 0);

    oldDictionary->flags |= kDictionaryToClose;  // on its way out: no longer compared
    EXPECT_EQ(newDictionary->Open(2), 0u);
    oldDictionary->flags &= ~kDictionaryToClose;
    EXPECT_EQ(oldDictionary->CheckCollatorMatch(), kOpenCollationOlder);
    oldDictionary->Close();
    EXPECT_EQ(oldDictionary->Open(2), kOpenCollationOlder);

    newDictionary->ShowError(nullptr, u"Cannot open dictionary", u"Cannot open dictionary", kOpenCollationNewer);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text.substr(0, 51), u"This dictionary was created by new Ostrel software.");
}

}  // namespace
