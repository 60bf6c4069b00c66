// Debian's EDICT-format files compiled and checked against an independent
// count (edict_key_counts.py over iconv's decoding): articles (index 0),
// index 101 and 102 entries, an empty index 106, the header's name and
// copyright, and the reading keys whose reference marks the spelling common
// ("(P)"). Every 25th line by default; OSTREL_WHOLE_EDICT=1 compiles the
// whole files. Native only: the oracle is a python3 script.
#include "common/tests/test_paths.h"
#include "import/tests/compile_fixture.h"

#include "common/tests/edict_files.h"
#include "dictionary/dictionary_properties.h"
#include "import/article_record.h"

#include <cstdio>
#include <cstring>
#include <set>

namespace {

class EdictCompileRealData : public CompileFixture, public testing::WithParamInterface<const char*> {};

TEST_P(EdictCompileRealData, CountsAgreeWithAnIndependentReading) {
#ifdef _WIN32
    GTEST_SKIP() << "the oracle script runs in the native tree";
#endif
    const std::vector<uint8_t> bytes = ReadEdictFile(GetParam());
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam()) << " is not installed";
    const size_t step = std::getenv("OSTREL_WHOLE_EDICT") ? 1 : 25;
    const std::u16string source = Path(std::string(GetParam()) + ".src"), target = Path("out.qdx");
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        size_t number = 0;
        for (std::span<const uint8_t> line : SplitLines(bytes))
            if (number++ % step == 0) out.write(reinterpret_cast<const char*>(line.data()), line.size()) << '\n';
    }
    std::string oracle(64, '\0'), oracleCommon(64, '\0'), oracleKana(64, '\0');
    FILE* pipe = popen((std::string("python3 ") + SourcePath("/import/tests/edict_key_counts.py '") +
                        std::filesystem::path(source).string() + "'").c_str(), "r");
    ASSERT_TRUE(pipe && fgets(oracle.data(), static_cast<int>(oracle.size()), pipe) &&
                fgets(oracleCommon.data(), static_cast<int>(oracleCommon.size()), pipe) &&
                fgets(oracleKana.data(), static_cast<int>(oracleKana.size()), pipe));
    pclose(pipe);
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);

    int32_t id = 0;
    ASSERT_FALSE(Failed(engine_.OpenFile(target, 2, DictionarySchemaText, &id)));
    std::string counts;
    for (int32_t index : {0, 101, 102, 106}) {
        uint32_t count = 0;
        EXPECT_EQ(CountIndexEntries(engine_, id, index, count), DmsStatus::Success);
        counts += std::to_string(count) + (index == 106 ? "\n" : " ");
    }
    uint32_t cursor = 0;
    ASSERT_FALSE(Failed(engine_.OpenCursor(id, &cursor)) || Failed(engine_.SelectIndex(cursor, kIndexReadingWord)));
    uint32_t common = 0, usuallyKana = 0, writtenInKanji = 0;
    EntryPosition at;
    for (DmsStatus s = engine_.First(cursor, nullptr, &at); !Failed(s); s = engine_.Next(cursor, nullptr, &at)) {
        if (IsCommonWordReference(at.ref.second)) ++common;
        if (IsUsuallyKanaReference(at.ref.second)) ++usuallyKana;
        if (IsWrittenInKanjiReference(at.ref.second)) ++writtenInKanji;
    }
    EXPECT_EQ(std::to_string(common) + "\n", oracleCommon.substr(0, oracleCommon.find('\n') + 1));
    EXPECT_EQ(std::to_string(usuallyKana) + " " + std::to_string(writtenInKanji) + "\n",
              oracleKana.substr(0, oracleKana.find('\n') + 1));
    ASSERT_FALSE(Failed(engine_.SelectIndex(cursor, kIndexProperties)));
    std::optional<std::u16string> name, copyright;
    GetDictionaryProperty(engine_, cursor, 1, name);
    GetDictionaryProperty(engine_, cursor, 2, copyright);
    engine_.CloseCursor(cursor);
    engine_.CloseFile(id);
    EXPECT_EQ(counts, oracle.substr(0, oracle.find('\n')) + " 0\n");
    EXPECT_TRUE(name && name->starts_with(GetParam() == std::string("edict") ? u"EDICT" : u"ENAMDICT"));
    EXPECT_TRUE(copyright && copyright->starts_with(u"Copyright"));
    EXPECT_TRUE(Verify(target).empty());
}

INSTANTIATE_TEST_SUITE_P(DebianFiles, EdictCompileRealData, testing::Values("edict", "enamdict"));

// Debian's KANJIDIC compiled whole: index 101 holds a key for every kana
// token of every kanji line, the name readings ("T1") and radical names
// ("T2") included (kanjidic_reading_keys.py counts them over iconv's
// decoding), and every name reading kanjidic2.xml gives leads to its kanji.
TEST_F(CompileFixture, EveryKanaTokenOfKanjidicIsAReadingKey) {
#ifdef _WIN32
    GTEST_SKIP() << "the oracle script runs in the native tree";
#endif
    if (ReadEdictFile("kanjidic").empty()) GTEST_SKIP() << EdictFilePath("kanjidic") << " is not installed";
    FILE* pipe = popen(("python3 " + SourcePath("/import/tests/kanjidic_reading_keys.py")).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    uint32_t tokens = 0, names = 0;
    std::vector<std::string> nameKeys;
    char line[256];
    if (fgets(line, sizeof line, pipe)) std::sscanf(line, "%u %u", &tokens, &names);
    while (fgets(line, sizeof line, pipe)) nameKeys.emplace_back(line, std::strcspn(line, "\n"));
    pclose(pipe);
    ASSERT_EQ(names, 3522u);  // Debian's kanjidic of 2022-08-23
    const std::u16string source = Utf8ToUtf16(EdictFilePath("kanjidic")), target = Path("kanjidic.qdx");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t id = 0;
    ASSERT_FALSE(Failed(engine_.OpenFile(target, 2, DictionarySchemaText, &id)));
    uint32_t keys = 0;
    EXPECT_EQ(CountIndexEntries(engine_, id, 101, keys), DmsStatus::Success);
    std::string dump;
    EXPECT_EQ(DumpIndex(engine_, id, 101, dump), DmsStatus::Success);
    engine_.CloseFile(id);
    EXPECT_EQ(keys, tokens);
    // A reading key's second segment starts with its kanji.
    std::set<std::string> pairs;
    for (size_t at = 0, end; (end = dump.find('\n', at)) != std::string::npos; at = end + 1) {
        const size_t tab = dump.find('\t', at);
        pairs.insert(dump.substr(at, tab - at) + "\t" + dump.substr(tab + 1, 3));
    }
    size_t missing = 0;
    for (const std::string& key : nameKeys) missing += !pairs.contains(key);
    EXPECT_GT(nameKeys.size(), 3000u);
    EXPECT_EQ(missing, 0u);
    for (const char* key : {"あず\t阿", "めぐ\t愛", "ちか\t愛", "りょう\t綾"}) EXPECT_TRUE(pairs.contains(key)) << key;
}

}  // namespace
