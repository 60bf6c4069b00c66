// Every kanji of Debian's KANJIDIC imported and checked against kanjidic2.xml
// (kanjidic2_facts.py), an independent encoding of the same data: code point,
// radical, grade, stroke count, on and kun readings (with okurigana and
// dashes; name readings are not kun readings) and meanings. Native only: the
// oracle is a python3 script.
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
#include <map>
#include <sstream>

namespace {

std::map<std::string, std::string> ReadOracle() {
    std::map<std::string, std::string> facts;
    FILE* pipe = popen("python3 " OSTREL_SOURCE_DIR "/import/tests/kanjidic2_facts.py", "r");
    if (pipe == nullptr) return facts;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) facts[line.substr(0, line.find('\t'))] = line;
    return facts;
}

// The article's facts in the oracle's layout.
std::string Facts(const CDictionary& dictionary, int32_t article) {
    std::string kanji, on, kun, meanings;
    std::vector<std::string> fields;
    for (int32_t i = article + 1; i < dictionary.ElementCount(); ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        const std::string text = Utf16ToUtf8({e.text, static_cast<size_t>(e.length)});
        switch (e.kind) {
        case kKanjidicKanji: kanji = text; break;
        case kKanjidicOnReading:
        case kKanjidicKunReading: {
            std::string& list = e.kind == kKanjidicOnReading ? on : kun;
            list += (list.empty() ? "" : ",") + std::string(e.flags & kReadingAfterDash ? "-" : "") + text +
                    (e.flags & kReadingBeforeDash ? "-" : "");
            break;
        }
        case kKanjidicMeaning: meanings += (meanings.empty() ? "" : "|") + text; break;
        case kKanjidicParameters: {
            std::istringstream words(text);
            bool strokes = false;
            for (std::string field; words >> field;) {
                if (field.starts_with("j=") || (field.starts_with("s=") && std::exchange(strokes, true))) continue;
                fields.push_back(field);
            }
            break;
        }
        default: break;
        }
    }
    std::sort(fields.begin(), fields.end());
    std::string joined;
    for (const std::string& f : fields) joined += (joined.empty() ? "" : " ") + f;
    return kanji + "\t" + joined + "\t" + on + "\t" + kun + "\t" + meanings;
}

struct Comparison {
    const std::map<std::string, std::string>& oracle;
    int32_t articles = 0;
    std::vector<std::string> differences;
};

int32_t Compare(void* context, CDictionary& dictionary, int32_t element) {
    auto* comparison = static_cast<Comparison*>(context);
    if (dictionary.Elements()[element].kind != kKanjidicArticle) return 1;
    ++comparison->articles;
    const std::string ours = Facts(dictionary, element);
    const auto found = comparison->oracle.find(ours.substr(0, ours.find('\t')));
    const std::string theirs = found == comparison->oracle.end() ? "(not in kanjidic2)" : found->second;
    if (ours != theirs) comparison->differences.push_back(ours + "\n  kanjidic2: " + theirs);
    return 1;
}

TEST(KanjidicRealData, EveryKanjiAgreesWithKanjidic2) {
#ifdef _WIN32
    GTEST_SKIP() << "the oracle script runs in the native tree";
#endif
    const std::vector<uint8_t> bytes = ReadEdictFile("kanjidic");
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath("kanjidic") << " is not installed";
    const std::map<std::string, std::string> oracle = ReadOracle();
    if (oracle.empty()) GTEST_SKIP() << "kanjidic2.xml (kanjidic-xml) is not installed";
    const std::u16string text = DecodeEucJp(bytes);
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    Comparison comparison{oracle};
    ImportCallbacks callbacks;
    callbacks.onRecord = Compare;
    callbacks.context = &comparison;
    ASSERT_EQ(ImportKanjidic(dictionary, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);
    EXPECT_GT(comparison.articles, 6000);
    EXPECT_EQ(comparison.differences.size(), 0u)
        << comparison.differences.size() << " differ, the first: " << comparison.differences.front();
}

}  // namespace
