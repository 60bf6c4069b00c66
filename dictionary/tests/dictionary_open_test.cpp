// Opening dictionary files made through the engine: header texts, flags,
// version, counts, book detection, the index-language guess (on hand-made
// key sets; tools/dictinfo's ctest takes a compiled EDICT) and the collation
// conflict of the shelf.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "dictionary/tests/dictionary_fixture.h"

namespace {

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
    EXPECT_EQ(app.pumps, 1);
    EXPECT_EQ(app.waitCursors, 1);
    EXPECT_EQ(app.waitCursorDepth, 0);

    EXPECT_EQ(dictionary->Close(), 0u);
    EXPECT_EQ(dictionary->flags, 0x40000u | 0x2000u);
    EXPECT_FALSE(dictionary->HeaderText(kPropertyName).has_value());
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
struct CountCase {
    const char16_t* path;
    int readings, words, translations, articles;
    const char16_t* versionText;
    int32_t shown, counted;  // the article count, and CountRecords' answer
};
class ArticleCount : public DictionaryTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(ArticleCount, FollowsTheIndexCountsNameAndVersion) {
    const CountCase& c = GetParam();
    CreateDictionaryFile(c.path);
    auto keys = [&](int32_t index, int n, char16_t lead) {
        for (int i = 0; i < n; ++i) InsertKey(index, {lead, char16_t(u'a' + i)});
    };
    keys(kIndexReadingWord, c.readings, u'r');
    keys(kIndexWordReading, c.words, u'w');
    keys(kIndexTranslationWords, c.translations, u't');
    for (int i = 0; i < c.articles; ++i) InsertLongKey(kIndexArticles, {i + 1});
    if (c.versionText) PutProperty(kPropertyVersion, c.versionText);
    FinishFile();
    auto d = MakeDictionary(c.path, 0x2000);
    ASSERT_EQ(d->Open(2), 0u);
    EXPECT_EQ(d->articleCount, c.shown);
    if (c.versionText == nullptr) {  // old and not editable
        EXPECT_EQ(d->version, kVersionWithoutText);
        EXPECT_EQ(d->flags & 0x2000u, 0u);
    }
    EXPECT_EQ(d->CountRecords(), c.counted);
}
INSTANTIATE_TEST_SUITE_P(Rules, ArticleCount,
                         ::testing::Values(CountCase{u"C:\\a.qdx", 3, 5, 2, 0, nullptr, 5, 5},
                                           CountCase{u"C:\\b.qdx", 3, 2, 4, 0, nullptr, 4, 4},
                                           CountCase{u"C:\\x\\KanjiDic.qdx", 6, 2, 0, 0, nullptr, 2, 6},
                                           CountCase{u"C:\\c.qdx", 6, 2, 0, 9, u"11.11.0.1  I", 9, 6},
                                           CountCase{u"C:\\d.qdx", 6, 2, 0, 9, u"11.11.0.1  I P", 6, 6}));

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
    const char16_t* namedLanguage = nullptr;  // property 8: nothing is guessed
};
class LanguageGuess : public DictionaryTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageGuess, FromTheKeysOfItsIndexes) {
    const LanguageCase& c = GetParam();
    CreateDictionaryFile();
    for (const auto& k : c.readings) InsertKey(kIndexReadingWord, k);
    for (const auto& k : c.words) InsertKey(kIndexWordReading, k);
    for (const auto& k : c.translations) InsertKey(kIndexTranslationWords, k);
    for (const auto& k : c.stems) InsertKey(kIndexLatinStems, k);
    if (c.namedLanguage) PutProperty(kPropertyIndexLanguage, c.namedLanguage);
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
        // Keys are judged by their characters, not by where they sort: ねこぜ,
        // はな and やま sort after the one-unit key U+30FF (as こと), and zhong
        // and zi after U+024F (a y with a stroke).
        LanguageCase{"JapaneseWhenKanaReadingsSortAfterKoto",
                     {u"ねこぜ", u"はな", u"やま", u"ai"}, {u"猫背", u"花", u"山"}, {}, {}, u"jpn"},
        LanguageCase{"ChineseWhenLatinReadingsSortAfterY",
                     {u"zhong", u"zi", u"zuo", u"あい"}, {u"中", u"字", u"坐"}, {}, {}, u"cmn"},
        LanguageCase{"LatinStems", {u"amo"}, {u"amo"}, {}, {u"am"}, u"lat"},
        LanguageCase{"RussianTranslations", {}, {}, {u"дом", u"кот", u"house"}, {}, u"rus"},
        LanguageCase{"GreekTranslations", {}, {}, {u"λόγος", u"οἶκος", u"house"}, {}, u"ell"},
        LanguageCase{"EnglishTranslations", {}, {}, {u"house", u"cat", u"дом"}, {}, u"eng"},
        LanguageCase{"NoMajority", {}, {}, {u"дом", u"house"}, {}, u""},
        LanguageCase{"ReadingsAloneGuessNothing", {u"あい"}, {}, {}, {}, u""},
        LanguageCase{"NamedLanguageIsNotGuessed", {u"amo"}, {}, {}, {u"am"}, u"", u"Latin"}),
    [](const auto& info) { return std::string(info.param.name); });

// With no readings, more than 1,000 kana keys of the word index make it
// Japanese (one key fewer does not); an index of more keys than the guess
// looks at is judged by keys spread over it: 6,000 kana readings after こと
// outweigh 4,000 Latin ones.
TEST_F(DictionaryOpen, KanaKeysAreCountedAtTheThresholdAndOverALargeIndex) {
    auto kanaKey = [](int i) {
        return std::u16string{u'ね', char16_t(u'あ' + i % 80), char16_t(u'あ' + i / 80 % 80), char16_t(u'あ' + i / 6400)};
    };
    for (const int kana : {1000, 1001}) {
        const std::u16string path = u"C:\\Dictionaries\\words" + std::u16string(1, char16_t(u'0' + kana % 2)) + u".qdx";
        CreateDictionaryFile(path);
        for (int i = 0; i < kana; ++i) InsertKey(kIndexWordReading, kanaKey(i));
        InsertKey(kIndexWordReading, u"猫");
        FinishFile();
        auto dictionary = MakeDictionary(path);
        ASSERT_EQ(dictionary->Open(2), 0u);
        EXPECT_EQ(std::u16string(dictionary->IndexLanguage()), kana > 1000 ? u"jpn" : u"cmn") << kana;
        EXPECT_EQ(dictionary->CountKeysInRange(kIndexWordReading, 0x3041, 0x30FF), static_cast<uint32_t>(kana));
        dictionary->Close();
    }
    CreateDictionaryFile();
    for (int i = 0; i < 6000; ++i) InsertKey(kIndexReadingWord, kanaKey(i), u"猫");
    for (int i = 0; i < 4000; ++i) {
        const std::u16string latin{u'z', char16_t(u'a' + i % 26), char16_t(u'a' + i / 26 % 26), char16_t(u'a' + i / 676)};
        InsertKey(kIndexReadingWord, latin, u"猫");
    }
    InsertKey(kIndexWordReading, u"猫");
    FinishFile();
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(std::u16string(dictionary->IndexLanguage()), u"jpn");
    EXPECT_NEAR(dictionary->CountKeysInRange(kIndexReadingWord, 0x3041, 0x30FF), 6000, 3);
    EXPECT_NEAR(dictionary->CountKeysInRange(kIndexReadingWord, 0x41, 0x24F), 4000, 3);
}

// A dictionary whose property records or indexes cannot be read is refused
// with the engine's status, never opened as empty or as one made by an old
// program (no version text): the caller shows the status in its box.
TEST_F(DictionaryOpen, UnreadablePropertiesOrIndexesRefuseTheOpen) {
    CreateDictionaryFile();
    PutProperty(kPropertyName, u"Cats");
    PutProperty(kPropertyVersion, u"11.11.0.1  I");
    for (int i = 0; i < 400; ++i) InsertKey(kIndexReadingWord, u"ねこ" + std::u16string(1, char16_t(0x3041 + i % 80)), u"猫");
    InsertKey(kIndexTranslationWords, u"cat");
    FinishFile();
    const std::vector<uint8_t> clean = *disk.Contents(kPath);
    auto u32 = [](const std::vector<uint8_t>& b, size_t at) {
        return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
    };
    auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    // Where the version text is stored: the reference of its index 1 entry.
    uint32_t versionAt = 0;
    {
        auto probe = MakeDictionary();
        ASSERT_EQ(probe->Open(2), 0u);
        EngineCursor c(*engine, probe->fileId);
        ASSERT_EQ(c.SelectIndex(kIndexProperties), DmsStatus::Success);
        uint16_t id = kPropertyVersion;
        KeySegmentValue key{&id, 2};
        EntryPosition at;
        ASSERT_EQ(engine->Seek(c.handle(), &key, nullptr, &at), DmsStatus::Success);
        versionAt = at.ref.first;
    }
    // Descriptors follow the schema's index order: 0, 1, 101, 102, 105, 106.
    constexpr size_t kDescriptor101 = 48 + 2 * 16, kDescriptor106 = 48 + 5 * 16;
    const uint32_t root101 = u32(clean, kDescriptor101 + 12);
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        DmsStatus status;
    };
    const Case cases[] = {
        {"a version text whose chain is cut short",
         [&](auto& b) { put32(b, versionAt + 4, u32(b, versionAt + 4) + 5000); }, DmsStatus::IntegrityBroken},
        {"a reading index whose root is no key page", [&](auto& b) { b[root101 * 4096 + 4] = 0; },
         DmsStatus::PageLoadFailed},
        {"a reading index whose root keys are out of order",
         [&](auto& b) {
             // The first two entries swap places (the page's last key stays).
             const size_t first = root101 * 4096 + 16, length = b[first] | b[first + 1] << 8;
             std::rotate(b.begin() + first, b.begin() + first + length, b.begin() + first + 2 * length);
         },
         DmsStatus::IntegrityBroken},
        {"a translation index whose root lies past the file",
         [&](auto& b) { put32(b, kDescriptor106 + 12, static_cast<uint32_t>(b.size() / 4096 + 10)); },
         DmsStatus::PageLoadFailed},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> damaged = clean;
        k.damage(damaged);
        disk.SetContents(kPath, damaged);
        auto dictionary = MakeDictionary();
        EXPECT_EQ(dictionary->Open(2), static_cast<uint32_t>(k.status));
        EXPECT_EQ(dictionary->flags & kDictionaryOpen, 0u);
        EXPECT_EQ(dictionary->fileId, 0);
        EXPECT_FALSE(dictionary->HeaderText(kPropertyName).has_value());
    }
    disk.SetContents(kPath, clean);
    auto dictionary = MakeDictionary();
    ASSERT_EQ(dictionary->Open(2), 0u);
    EXPECT_EQ(dictionary->HeaderText(kPropertyVersion), u"11.11.0.1  I");
}

// A file of the older format version sorts by the dictionary collation (kind
// 0); the shelf cannot mix it with files sorted by UCA (kind 1). The boxes
// of a failed open.
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

    FakeShelf shelf;
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
    auto missing = MakeDictionary(u"C:\\Dictionaries\\missing.qdx");
    const uint32_t status = missing->Open(2);
    EXPECT_EQ(status, static_cast<uint32_t>(DmsStatus::CannotOpenFile));
    missing->ShowError(nullptr, u"Cannot open dictionary", u"Cannot open dictionary", status);
    ASSERT_EQ(app.messages.size(), 2u);
    EXPECT_EQ(app.messages[0].text.substr(0, 51), u"This dictionary was created by new Ostrel software.");
    char16_t reason[256];
    DmsErrorText(1, 0, reason, 256);
    EXPECT_EQ(app.messages[1].text, u"Cannot open dictionary:\nC:\\Dictionaries\\missing.qdx\n" + std::u16string(reason));
}

}  // namespace
