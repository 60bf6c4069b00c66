// Real content through the YARXI importer: a source that
// kanjidic_yarxi_source.py writes from Debian's KANJIDIC, its readings
// romanised by kakasi, one reading-list article per kanji. The standard
// elements derived from each article (the kanji, the on readings back in
// katakana through RomajiToKana, the kun readings in hiragana) must equal
// kanjidic2.xml's, an independent encoding of the same data; every 25th
// article stored as a record parses back to the same elements. Native only:
// the scripts are python3 and kakasi.
#include "import/yarxi_import.h"

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// "kanji TAB on,on TAB kun,kun" of the standard elements after `article`.
std::string DerivedLine(const CDictionary& d, int32_t article) {
    std::string kanji, on, kun;
    for (int32_t i = article + 1; i < d.ElementCount(); ++i) {
        const DictionaryElement& e = d.Elements()[i];
        const std::string text = Utf16ToUtf8(std::u16string(e.text, static_cast<size_t>(e.length)));
        if (e.kind == 4 && kanji.empty()) kanji = text;
        if (e.kind == 11) on += (on.empty() ? "" : ",") + text;
        if (e.kind == 3) kun += (kun.empty() ? "" : ",") + text;
    }
    return kanji + "\t" + on + "\t" + kun;
}

struct Comparison {
    std::map<std::string, std::string> oracle;   // kanji -> its kanjidic2 line
    std::vector<std::string> differences;
    std::vector<std::u16string> stored;          // every 25th article's record text
    std::vector<std::string> storedLines;
    int32_t articles = 0;
};

int32_t Compare(void* context, CDictionary& dictionary, int32_t element) {
    auto* c = static_cast<Comparison*>(context);
    const std::string ours = DerivedLine(dictionary, element);
    const auto theirs = c->oracle.find(ours.substr(0, ours.find('\t')));
    if (theirs == c->oracle.end() || theirs->second != ours)
        c->differences.push_back(ours + "\n  kanjidic2: " + (theirs == c->oracle.end() ? "none" : theirs->second));
    if (c->articles++ % 25 == 0) {
        const DictionaryElement& e = dictionary.Elements()[element];
        c->stored.emplace_back(e.begin, static_cast<size_t>(e.end - e.begin) + 1);
        c->storedLines.push_back(ours);
    }
    return 1;
}

TEST(YarxiKanjidicRealData, DerivedKanjiAndReadingsEqualKanjidic2) {
#ifdef _WIN32
    GTEST_SKIP() << "the source script runs in the native tree";
#endif
    RegisterImportParsers();
    ScratchFolder folder("yarxi-kanjidic");
    const std::string source = (folder / "kanjidic-yarxi.txt").string();
    Comparison c;
    const std::string command = "python3 " OSTREL_SOURCE_DIR "/import/tests/kanjidic_yarxi_source.py " + source;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[8192];
        while (fgets(line, sizeof line, pipe)) {
            const std::string text(line, std::strcspn(line, "\n"));
            c.oracle[text.substr(0, text.find('\t'))] = text;
        }
        pclose(pipe);
    }
    if (c.oracle.empty()) GTEST_SKIP() << "kanjidic, kanjidic-xml or kakasi is not installed";
    std::ifstream in(source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);

    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    ImportCallbacks callbacks;
    callbacks.onRecord = Compare;
    callbacks.context = &c;
    ASSERT_EQ(ImportYarxi(dictionary, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);
    EXPECT_EQ(c.articles, static_cast<int32_t>(c.oracle.size()));
    EXPECT_TRUE(c.differences.empty()) << c.differences.size() << " differ, the first: " << c.differences.front();

    for (size_t i = 0; i < c.stored.size(); ++i) {
        const std::vector<uint8_t> record = BuildArticleRecord(1, 15, c.stored[i]);
        std::vector<char16_t> aligned((record.size() + 1) / 2);
        std::memcpy(aligned.data(), record.data(), record.size());
        CDictionary parsed(0, engine);
        ASSERT_EQ(parsed.ParseRecord(aligned.data(), static_cast<uint32_t>(record.size())), 1u);
        EXPECT_EQ(DerivedLine(parsed, 0), c.storedLines[i]);
    }
}

}  // namespace
