// Every kanji of Debian's KANJIDIC imported and checked against kanjidic2.xml
// (kanjidic2_facts.py), an independent encoding of the same data: code point,
// radical, grade, stroke count, on and kun readings (okurigana and dashes
// kept; name readings and radical names follow the kun readings) and meanings. Native only: the
// oracle is a python3 script.
#include "common/tests/test_paths.h"
#include "import/kanjidic_import.h"

#include "common/tests/edict_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/edict_text_decoding.h"
#include "import/kanjidic_parser.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace {

struct Comparison {
    std::map<std::string, std::string> oracle;  // kanji -> its line of kanjidic2_facts.py
    int32_t articles = 0;
    std::vector<std::string> differences;
};

// The article's facts in the oracle's layout: kanji, sorted "u= r= g= s="
// (the first s= only), on readings, kun readings, meanings.
int32_t Compare(void* context, CDictionary& dictionary, int32_t article) {
    auto* comparison = static_cast<Comparison*>(context);
    if (dictionary.Elements()[article].kind != kKanjidicArticle) return 1;
    ++comparison->articles;
    std::string kanji, readings[2], meanings;
    std::vector<std::string> fields;
    for (int32_t i = article + 1; i < dictionary.ElementCount(); ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        const std::string text = Utf16ToUtf8({e.text, static_cast<size_t>(e.length)});
        if (e.kind == kKanjidicKanji) kanji = text;
        if (e.kind == kKanjidicMeaning) meanings += (meanings.empty() ? "" : "|") + text;
        if (e.kind == kKanjidicOnReading || e.kind == kKanjidicKunReading) {
            std::string& list = readings[e.kind - kKanjidicOnReading];
            list += (list.empty() ? "" : ",") + std::string(e.flags & kReadingAfterDash ? "-" : "") + text +
                    (e.flags & kReadingBeforeDash ? "-" : "");
        }
        std::istringstream words(e.kind == kKanjidicParameters ? text : "");
        bool strokes = false;
        for (std::string field; words >> field;)
            if (!field.starts_with("j=") && !(field.starts_with("s=") && std::exchange(strokes, true)))
                fields.push_back(field);
    }
    std::sort(fields.begin(), fields.end());
    std::string ours = kanji + "\t";
    for (size_t i = 0; i < fields.size(); ++i) ours += (i ? " " : "") + fields[i];
    ours += "\t" + readings[0] + "\t" + readings[1] + "\t" + meanings;
    const std::string& theirs = comparison->oracle[kanji];
    if (ours != theirs) comparison->differences.push_back(ours + "\n  kanjidic2: " + theirs);
    return 1;
}

TEST(KanjidicRealData, EveryKanjiAgreesWithKanjidic2) {
#ifdef _WIN32
    GTEST_SKIP() << "the oracle script runs in the native tree";
#endif
    const std::vector<uint8_t> bytes = ReadEdictFile("kanjidic");
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath("kanjidic") << " is not installed";
    Comparison comparison;
    if (FILE* pipe = popen((std::string("python3 ") + SourcePath("/import/tests/kanjidic2_facts.py")).c_str(), "r")) {
        char line[8192];
        while (fgets(line, sizeof line, pipe)) {
            const std::string text(line, std::strcspn(line, "\n"));
            comparison.oracle[text.substr(0, text.find('\t'))] = text;
        }
        pclose(pipe);
    }
    if (comparison.oracle.empty()) GTEST_SKIP() << "kanjidic2.xml (kanjidic-xml) is not installed";
    const std::u16string text = DecodeEucJp(bytes);
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    ImportCallbacks callbacks;
    callbacks.onRecord = Compare;
    callbacks.context = &comparison;
    ASSERT_EQ(ImportKanjidic(dictionary, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);
    EXPECT_GT(comparison.articles, 6000);
    EXPECT_EQ(comparison.differences.size(), 0u)
        << comparison.differences.size() << " differ, the first: " << comparison.differences.front();
}

}  // namespace
