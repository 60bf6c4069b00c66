// DSL and WARODAI sources made at test time from Debian's
// dict-freedict-jpn-rus: every article's headwords against python3-pyglossary
// reading the same DSL, body text, readings, writings and sense lines against
// the entries, and every stored article parsed back as imported. Native only:
// the sources are made by a python3 script.
#include "common/tests/test_paths.h"
#include "import/dsl_import.h"
#include "import/dsl_source_loader.h"
#include "import/dsl_text_cleaners.h"
#include "import/warodai_import.h"

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

const char* const kIndex = "/usr/share/dictd/freedict-jpn-rus.index";
const std::string kScript = SourcePath("/import/tests/freedict_card_layouts.py");

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != text.npos; at = end + 1) lines.push_back(text.substr(at, end - at));
    return lines;
}

// What a command prints; empty when it fails.
std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return pclose(pipe) == 0 ? out : std::string();
}

std::u16string Cleaned(const DictionaryElement& e) {
    std::u16string out(static_cast<size_t>(e.length) + 1, u'\0');
    out.resize(static_cast<size_t>(SplitArticleText(out.data(), e.length + 1, e.text, e.length, nullptr)));
    return out;
}

// Blank runs (line breaks and tabs too) made one blank, none at the ends.
std::u16string Collapsed(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c <= 0x20) {
            if (!out.empty() && out.back() != u' ') out += u' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == u' ') out.pop_back();
    return out;
}

// How many of the lines differ; `first` shows the first difference.
size_t Mismatches(const std::vector<std::string>& expected, const std::vector<std::string>& seen, std::string& first) {
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size() && i < seen.size(); ++i)
        if (expected[i] != seen[i] && mismatches++ == 0) first = expected[i] + "\n" + seen[i];
    return mismatches;
}

struct Articles {
    uint16_t formatType = 0;
    std::vector<std::string> seen;  // in the layout of the facts
    std::vector<std::string> headwords;
    CDictionary* reader = nullptr;
    int32_t reparseMismatches = 0;
};

std::string DescribeDsl(const CDictionary& d, int32_t first, std::string& headwords) {
    std::u16string words, raw, body;
    for (int32_t e = first + 1; e < d.ElementCount(); ++e) {
        const DictionaryElement& element = d.Elements()[e];
        if (element.kind == 5) {
            body = Collapsed(Cleaned(element));
            continue;
        }
        raw += (raw.empty() ? u"" : u"\x1f") + std::u16string(element.text, element.length);
        words += (words.empty() ? u"" : u"\x1f") + Cleaned(element);
    }
    headwords = Utf16ToUtf8(words);
    return Utf16ToUtf8(raw + u"\x1e" + body);
}

std::string DescribeWarodai(const CDictionary& d, int32_t first) {
    std::u16string fields[3];
    for (int32_t e = first + 1; e < d.ElementCount(); ++e) {
        const DictionaryElement& element = d.Elements()[e];
        const int slot = element.kind == 3 ? 0 : element.kind == 4 ? 1 : element.kind == 29 || element.kind == 30 ? 2 : -1;
        if (slot < 0) continue;
        fields[slot] += (fields[slot].empty() ? u"" : u"\x1f") + std::u16string(element.text, element.length);
    }
    return Utf16ToUtf8(fields[0] + u"\x1e" + fields[1] + u"\x1e" + fields[2]);
}

std::u16string Kinds(const CDictionary& d, int32_t first) {
    std::u16string out;
    for (int32_t e = first; e < d.ElementCount(); ++e)
        out += std::u16string(d.Elements()[e].text, d.Elements()[e].length) + char16_t(u'0' + d.Elements()[e].kind);
    return out;
}

int32_t OnArticle(void* context, CDictionary& dictionary, int32_t element) {
    auto* articles = static_cast<Articles*>(context);
    const DictionaryElement& article = dictionary.Elements()[element];
    if (article.kind != 2) return 1;
    if (articles->formatType == 9) {
        std::string headwords;
        articles->seen.push_back(DescribeDsl(dictionary, element, headwords));
        articles->headwords.push_back(headwords);
    } else {
        articles->seen.push_back(DescribeWarodai(dictionary, element));
    }
    const std::vector<uint8_t> record =
        BuildArticleRecord(1, articles->formatType, {article.begin, size_t(article.end - article.begin) + 1});
    articles->reader->ParseRecord(record.data(), uint32_t(record.size()));
    // Line numbers differ by design (a stored article starts at line 0); kinds and texts must not.
    if (Kinds(*articles->reader, 0) != Kinds(dictionary, element)) ++articles->reparseMismatches;
    return 1;
}

class FreedictCards : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the script that makes the sources runs in the native tree";
#endif
        if (!std::filesystem::exists(kIndex)) GTEST_SKIP() << kIndex << " is not installed (dict-freedict-jpn-rus)";
        RegisterImportParsers();
        ASSERT_EQ(std::system(("python3 " + std::string(kScript) + " '" + folder_.path().string() + "'").c_str()), 0);
        articles_.reader = &reader_;
    }

    int32_t Import(decltype(&ImportDsl) importer, const std::u16string& text) {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnArticle;
        callbacks.context = &articles_;
        return importer(dictionary_, text.data(), uint32_t(text.size() * 2), 0, callbacks);
    }

    ScratchFolder folder_{"freedict-cards"};
    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    CDictionary reader_{0, engine_};
    Articles articles_;
};

TEST_F(FreedictCards, DslArticlesEqualTheEntriesAndThePeersHeadwords) {
    std::u16string text, message;
    ASSERT_TRUE(ReadSourceWithIncludes((folder_ / "jpn-rus.dsl").u16string(), 0x400, text, message));
    articles_.formatType = 9;
    // The language of the header's #INDEX_LANGUAGE, as opening the source sets it.
    std::copy_n(u"jpn", 4, dictionary_.languages[0]);
    std::copy_n(u"jpn", 4, reader_.languages[0]);
    ASSERT_EQ(Import(ImportDsl, text), 1);
    const std::vector<std::string> facts = Lines(ReadText(folder_ / "dsl_facts.txt"));
    ASSERT_EQ(articles_.seen.size(), facts.size());
    std::string first;
    EXPECT_EQ(Mismatches(facts, articles_.seen, first), 0u) << first;
    EXPECT_EQ(articles_.reparseMismatches, 0);

    const std::string peer = RunCommand("/usr/bin/python3 " + std::string(kScript) + " peer '" +
                                 (folder_ / "jpn-rus-peer.dsl").string() + "' 2>/dev/null");
    if (peer.empty()) GTEST_SKIP() << "python3-pyglossary is not installed";
    const std::vector<std::string> peerWords = Lines(peer);
    ASSERT_EQ(peerWords.size(), articles_.headwords.size());
    EXPECT_EQ(Mismatches(peerWords, articles_.headwords, first), 0u) << first;
}

TEST_F(FreedictCards, WarodaiCardsEqualTheEntries) {
    std::u16string text, message;
    ASSERT_TRUE(ReadUnicodeTextFile((folder_ / "jpn-rus.warodai").u16string(), 0x800, text, message));
    articles_.formatType = 10;
    ASSERT_EQ(Import(ImportWarodai, text), 1);
    const std::vector<std::string> facts = Lines(ReadText(folder_ / "warodai_facts.txt"));
    ASSERT_EQ(articles_.seen.size(), facts.size());
    std::string first;
    EXPECT_EQ(Mismatches(facts, articles_.seen, first), 0u) << first;
    EXPECT_EQ(articles_.reparseMismatches, 0);
}

}  // namespace
