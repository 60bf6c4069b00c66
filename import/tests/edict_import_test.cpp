// ImportEdict and ImportKanjidic on a dictionary object: the header rules,
// the per-article calls (last made first), the ends of a text, stored
// articles; and every article of samples of Debian's files, stored as the
// compiler stores it, parsed again into the import-time elements.
#include "import/edict_import.h"
#include "import/import_registration.h"
#include "import/kanjidic_import.h"

#include "common/tests/edict_files.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/edict_text_decoding.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

std::u16string Describe(const DictionaryElement& e) {
    return std::u16string{char16_t(u'0' + e.kind / 10), char16_t(u'0' + e.kind % 10), u':'} +
           std::u16string(e.text ? std::u16string_view(e.text, e.length) : u"") + u"|";
}

std::u16string Elements(const CDictionary& dictionary, int32_t first = 0, int32_t end = INT32_MAX) {
    std::u16string out;
    for (int32_t i = first; i < std::min(end, dictionary.ElementCount()); ++i) out += Describe(dictionary.Elements()[i]);
    return out;
}

// The per-article callback: what it was called for, or (with a reader) each
// article stored and parsed again, compared with the import-time elements.
struct Calls {
    std::u16string seen;
    CDictionary* reader = nullptr;
    uint16_t formatType = 0;
    int32_t articles = 0;
    std::u16string mismatch;
};

int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
    auto* calls = static_cast<Calls*>(context);
    const DictionaryElement& article = dictionary.Elements()[element];
    if (calls->reader == nullptr) {
        calls->seen += Describe(article);
        return 1;
    }
    if (article.kind != kElementEntryStart) return 1;
    ++calls->articles;
    int32_t end = element + 1;
    while (end < dictionary.ElementCount() && dictionary.Elements()[end].kind != kElementEntryStart) ++end;
    const std::vector<uint8_t> record =
        BuildArticleRecord(1, calls->formatType, {article.begin, size_t(article.end - article.begin) + 1});
    calls->reader->ParseRecord(record.data(), static_cast<uint32_t>(record.size()));
    if (calls->mismatch.empty() && Elements(*calls->reader) != Elements(dictionary, element, end))
        calls->mismatch = Elements(dictionary, element, end) + u"\n" + Elements(*calls->reader);
    return 1;
}

class SourceImport : public testing::Test {
protected:
    int32_t Import(decltype(&ImportEdict) importer, std::u16string_view text, int32_t mode) {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnRecord;
        callbacks.context = &calls_;
        return importer(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), mode, callbacks);
    }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    Calls calls_;
};

TEST_F(SourceImport, OnlyTheFirstLineOfAWholeTextIsAHeader) {
    EXPECT_EQ(Import(ImportEdict, u"ね /c/", 0), 0);  // fewer than 14 bytes
    EXPECT_EQ(dictionary_.ElementCount(), 0);
    ASSERT_EQ(Import(ImportEdict, u"\uFEFF　？？？ /EDICT test/Copyright (C) 2008/\n？ [x] /later/\r\nねこ /cat/", 0), 1);
    EXPECT_EQ(calls_.seen, u"16:Copyright (C) 2008 |15:EDICT test |02:？ [x] /later/|02:ねこ /cat/|");
    EXPECT_EQ(Elements(dictionary_), u"01:|15:EDICT test |16:Copyright (C) 2008 |02:？ [x] /later/|03:x|04:？|"
                                     u"05:later|02:ねこ /cat/|03:ねこ|05:cat|");
    dictionary_.ClearParsedArticle();
    ASSERT_EQ(Import(ImportEdict, u"？ [x] /a stored line/\n", 1), 1);
    EXPECT_EQ(Elements(dictionary_), u"02:？ [x] /a stored line/|03:x|04:？|05:a stored line|");
}

TEST_F(SourceImport, KanjidicHeaderArticlesStoredArticleAndALastLineWithoutLineFeed) {
    ASSERT_EQ(Import(ImportKanjidic, u"# KANJIDIC test/Copyright x/\n亜 3021 U4e9c ア {Asia}\n# note\n唖 U5516 -ア", 0), 1);
    EXPECT_EQ(calls_.seen, u"16:Copyright x/|15:KANJIDIC test/|02:亜 3021 U4e9c ア {Asia}|02:唖 U5516 -ア|");
    EXPECT_EQ(Elements(dictionary_), u"01:|15:KANJIDIC test/|16:Copyright x/|02:亜 3021 U4e9c ア {Asia}|04:亜|11:ア|"
                                     u"13:Asia|05:Asia|14:j=3021 u=4e9c|02:唖 U5516 -ア|04:唖|11:ア|14:u=5516|");
    // The article's span (the stored record) runs through its LF.
    const DictionaryElement& first = dictionary_.Elements()[3];
    EXPECT_EQ(std::u16string_view(first.begin, first.end - first.begin + 1), u"亜 3021 U4e9c ア {Asia}\n");
    dictionary_.ClearParsedArticle();
    ASSERT_EQ(Import(ImportKanjidic, u"亜 3021 U4e9c B1 ア {Asia}\n", 2), 1);
    EXPECT_EQ(Elements(dictionary_), u"02:亜 3021 U4e9c B1 ア {Asia}|04:亜|11:ア|13:Asia|05:Asia|14:j=3021 u=4e9c r=1|");
}

struct SampleCase {
    const char* file;
    uint16_t formatType;
    size_t step;
};

class StoredArticlesRealData : public SourceImport, public testing::WithParamInterface<SampleCase> {};

TEST_P(StoredArticlesRealData, ParseAgainAsImported) {
    std::vector<uint8_t> bytes = ReadEdictFile(GetParam().file);
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam().file) << " is not installed";
    std::vector<uint8_t> sample;
    size_t number = 0;
    for (std::span<const uint8_t> line : SplitLines(bytes))
        if (number++ % GetParam().step == 0) sample.insert(sample.end(), line.begin(), line.end()), sample.push_back('\n');
    RegisterImportParsers();
    CDictionary reader(0, engine_);
    calls_.reader = &reader;
    calls_.formatType = GetParam().formatType;
    ASSERT_EQ(Import(GetParam().formatType == 6 ? ImportKanjidic : ImportEdict, DecodeEucJp(sample), 0), 1);
    EXPECT_GT(calls_.articles, 1000);
    EXPECT_EQ(calls_.mismatch, u"");
}

INSTANTIATE_TEST_SUITE_P(DebianFiles, StoredArticlesRealData,
                         testing::Values(SampleCase{"edict", 3, 20}, SampleCase{"enamdict", 3, 100},
                                         SampleCase{"kanjidic", 6, 1}));

}  // namespace
