// ImportEdict and ImportKanjidic on a dictionary object: the header rules,
// the per-article calls, stored records parsed again, and the ends of a
// text; and every article of a sample of Debian's files read back from its
// stored record as the import-time parse made it.
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

#include <string>

namespace {

std::u16string Kind(uint32_t kind) { return std::u16string(1, u'0' + kind / 10) + char16_t(u'0' + kind % 10); }

std::u16string Describe(const DictionaryElement& e) {
    return Kind(e.kind) + u":" + std::u16string(e.text ? std::u16string_view(e.text, e.length) : u"");
}

// The elements of the dictionary from `first` on, "kind:text|".
std::u16string Elements(const CDictionary& dictionary, int32_t first = 0) {
    std::u16string out;
    for (int32_t i = first; i < dictionary.ElementCount(); ++i) out += Describe(dictionary.Elements()[i]) + u"|";
    return out;
}

struct Calls {
    std::u16string seen;  // "kind:text|" of each element the per-article callback got
    int32_t answerAfter = -1;  // answer 0 on this call (counting from 0), -1 never
    int32_t count = 0;
};

int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
    auto* calls = static_cast<Calls*>(context);
    calls->seen += Describe(dictionary.Elements()[element]) + u"|";
    return calls->count++ == calls->answerAfter ? 0 : 1;
}

class SourceImport : public testing::Test {
protected:
    ImportCallbacks Callbacks(Calls& calls) {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnRecord;
        callbacks.context = &calls;
        return callbacks;
    }
    static uint32_t Bytes(std::u16string_view text) { return static_cast<uint32_t>(text.size() * 2); }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
};

TEST_F(SourceImport, OnlyTheFirstLineIsAHeader) {
    const std::u16string text = u"\uFEFF　？？？ /EDICT test/Copyright (C) 2008/\n？ [x] /later line/\r\nねこ /cat/";
    Calls calls;
    ASSERT_EQ(ImportEdict(dictionary_, text.data(), Bytes(text), 0, Callbacks(calls)), 1);
    EXPECT_EQ(calls.seen, u"16:Copyright (C) 2008 |15:EDICT test |02:？ [x] /later line/|02:ねこ /cat/|");
    EXPECT_EQ(Elements(dictionary_), u"01:|15:EDICT test |16:Copyright (C) 2008 |02:？ [x] /later line/|03:x|04:？|"
                                     u"05:later line|02:ねこ /cat/|03:ねこ|05:cat|");
    EXPECT_TRUE(dictionary_.flags & 0x40000);
}

TEST_F(SourceImport, AStoredArticleIsNeverAHeader) {
    const std::u16string text = u"？ [x] /a stored line/\n";
    ASSERT_EQ(ImportEdict(dictionary_, text.data(), Bytes(text), 1, {}), 1);
    EXPECT_EQ(Elements(dictionary_), u"02:？ [x] /a stored line/|03:x|04:？|05:a stored line|");
}

TEST_F(SourceImport, ShortTextsAndRefusingCallbacksStop) {
    const std::u16string shortText = u"ねこ /cat/";  // 9 units, 18 bytes; 6 of them are too few
    EXPECT_EQ(ImportEdict(dictionary_, shortText.data(), 12, 0, {}), 0);
    EXPECT_EQ(ImportKanjidic(dictionary_, shortText.data(), 12, 0, {}), 0);
    EXPECT_EQ(dictionary_.ElementCount(), 0);
    const std::u16string text = u"ねこ /cat/\nいぬ /dog/\nとり /bird/\n";
    Calls calls;
    calls.answerAfter = 1;
    EXPECT_EQ(ImportEdict(dictionary_, text.data(), Bytes(text), 0, Callbacks(calls)), 0);
    EXPECT_EQ(calls.seen, u"02:ねこ /cat/|02:いぬ /dog/|");
}

TEST_F(SourceImport, KanjidicHeaderArticlesAndTheLastLineWithoutLineFeed) {
    const std::u16string text = u"# KANJIDIC test file/Copyright x/\n亜 3021 U4e9c ア {Asia}\n# note\n唖 U5516 -ア";
    Calls calls;
    ASSERT_EQ(ImportKanjidic(dictionary_, text.data(), Bytes(text), 0, Callbacks(calls)), 1);
    EXPECT_EQ(calls.seen, u"16:Copyright x/|15:KANJIDIC test file/|02:亜 3021 U4e9c ア {Asia}|02:唖 U5516 -ア|");
    EXPECT_EQ(Elements(dictionary_), u"01:|15:KANJIDIC test file/|16:Copyright x/|02:亜 3021 U4e9c ア {Asia}|04:亜|"
                                     u"11:ア|13:Asia|05:Asia|14:j=3021 u=4e9c|02:唖 U5516 -ア|04:唖|11:ア|14:u=5516|");
    EXPECT_TRUE(dictionary_.flags & 0x80000);
    // The first article's record runs through its LF; the last one to the text's end.
    const DictionaryElement& first = dictionary_.Elements()[3];
    EXPECT_EQ(std::u16string_view(first.begin, first.end - first.begin + 1), u"亜 3021 U4e9c ア {Asia}\n");
}

TEST_F(SourceImport, AStoredKanjiArticleGetsItsParametersAndItsCall) {
    const std::u16string text = u"亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia} {come after}\n";
    Calls calls;
    ASSERT_EQ(ImportKanjidic(dictionary_, text.data(), Bytes(text), 2, Callbacks(calls)), 1);
    EXPECT_EQ(calls.seen, u"02:亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia} {come after}|");
    EXPECT_EQ(Elements(dictionary_, 1), u"04:亜|11:ア|12:つ.ぐ|13:Asia|05:Asia|05:come after|14:j=3021 u=4e9c r=1 g=8 s=7|");
}

// Each article of the import-time parse, stored as the compiler stores it
// and parsed again through the dictionary object.
struct ReparseCheck {
    CDictionary& reader;
    uint16_t formatType;
    std::u16string mismatch;
    int32_t articles = 0;
};

int32_t Reparse(void* context, CDictionary& dictionary, int32_t element) {
    auto* check = static_cast<ReparseCheck*>(context);
    const DictionaryElement& article = dictionary.Elements()[element];
    if (article.kind != kElementEntryStart) return 1;
    ++check->articles;
    int32_t end = element + 1;
    while (end < dictionary.ElementCount() && dictionary.Elements()[end].kind != kElementEntryStart) ++end;
    std::u16string parsed;
    for (int32_t i = element; i < end; ++i) parsed += Describe(dictionary.Elements()[i]) + u"|";
    const std::vector<uint8_t> record = BuildArticleRecord(
        1, check->formatType, {article.begin, static_cast<size_t>(article.end - article.begin) + 1});
    if (check->reader.ParseRecord(record.data(), static_cast<uint32_t>(record.size())) != 1 ||
        Elements(check->reader) != parsed) {
        if (check->mismatch.empty()) check->mismatch = parsed + u"\n" + Elements(check->reader);
    }
    return 1;
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
    const std::u16string text = DecodeEucJp(sample);
    RegisterImportParsers();
    CDictionary reader(0, engine_);
    ReparseCheck check{reader, GetParam().formatType, u""};
    ImportCallbacks callbacks;
    callbacks.onRecord = Reparse;
    callbacks.context = &check;
    const auto import = GetParam().formatType == 6 ? ImportKanjidic : ImportEdict;
    ASSERT_EQ(import(dictionary_, text.data(), Bytes(text), 0, callbacks), 1);
    EXPECT_GT(check.articles, 1000);
    EXPECT_EQ(check.mismatch, u"");
}

INSTANTIATE_TEST_SUITE_P(DebianFiles, StoredArticlesRealData,
                         testing::Values(SampleCase{"edict", 3, 20}, SampleCase{"enamdict", 3, 100},
                                         SampleCase{"kanjidic", 6, 1}));

}  // namespace
