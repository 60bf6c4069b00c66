// DSL cards against python3-pyglossary, an independent DSL reader: the
// hand-written cards of article/tests/dsl_cards (every tag) and the cards
// import/tests/freedict_card_layouts.py makes from dict-freedict-eng-rus
// (bold forms, transcriptions, italic sense numbers) and, with
// OSTREL_PEER_CHECKS set, from dict-freedict-jpn-rus (6,700 cards). Per card, the peer's headwords equal our headword columns, and the visible
// text of its definition (tags dropped, blanks folded) with its bold and
// italic characters equals the body after ParseArticleLineStyles' cleaning,
// up to the differences listed below. Native only: the peer is python3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "article/dsl_format.h"
#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/with_source_parsers/imported_articles.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/peer_program.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

// Cards where the peer reads the markup otherwise, and why.
const std::map<std::string, const char*> kKnownDifferences = {
    {"stress", "the peer keeps the stress tags ['] [/'] as text"},
    {"sound", "the peer drops the file name of a [s] tag"},
    {"picture", "the peer drops the file name of a [s] tag"},
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + 1)
        parts.push_back(text.substr(at, end - at));
    parts.push_back(text.substr(at));
    return parts;
}

// The card's body cleaned, blanks folded as the peer's are: "text U+001E styles".
std::string CleanedBody(const DictionaryElement& body) {
    std::u16string text(body.text, static_cast<size_t>(body.length));
    std::vector<uint16_t> styles(text.size() + 1, 0);
    text.resize(static_cast<size_t>(ParseArticleLineStyles(text.data(), styles.data(), body.length, false)));
    std::u16string folded;
    std::string marks;
    bool blank = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] <= u' ') {
            if (!blank) folded += u' ', marks += '-';
            blank = true;
            continue;
        }
        folded += text[i];
        if (text[i] < 0xDC00 || text[i] > 0xDFFF) marks += char('0' + (styles[i] & 0x6));
        blank = false;
    }
    if (!folded.empty() && folded.back() == u' ') folded.pop_back(), marks.pop_back();
    return Utf16ToUtf8(folded) + "\x1e" + marks;
}

// The headwords of the card's columns, sorted.
std::string Headwords(const CDictionary& dictionary) {
    std::set<std::string> words;
    for (int32_t column : {2, 3, 5}) {
        ListCell cell;
        cell.columnKind = column;
        GetColumnText(dictionary, cell, column, 0);
        const std::string text = Utf16ToUtf8(std::u16string(cell.text, static_cast<size_t>(cell.length)));
        // One line per element kind, its elements joined by " ・ ".
        for (const std::string& line : Split(text, '\n'))
            for (size_t at = 0, end; at <= line.size(); at = end + sizeof(" ・ ") - 1) {
                end = std::min(line.find(" ・ ", at), line.size());
                if (end > at) words.insert(line.substr(at, end - at));
            }
    }
    std::string out;
    for (const std::string& w : words) out += w + "|";
    return out;
}

class DslCardsPeer : public testing::Test {
protected:
    // Compares every card of the UTF-16 DSL file; the differing cards' first headwords.
    // `language`: the index language of the dictionary the cards are read in.
    std::vector<std::string> Compare(const std::filesystem::path& file, std::u16string_view language,
                                     size_t& compared) {
        const auto peer = RunPeerProgram("python3", std::string("/usr/bin/python3 ") + SourcePath("/article/tests/dsl_cards_peer.py '") + file.string() + "' 2>/dev/null", {});
        if (!peer || peer->empty()) return {"no peer"};
        const std::vector<std::string>& lines = *peer;
        const std::vector<std::u16string> cards = ImportedArticleSpans(9, engine_, Utf16File(file));

        EXPECT_EQ(lines.size(), cards.size());
        std::vector<std::string> differing;
        compared = 0;
        for (size_t i = 0; i < lines.size() && i < cards.size(); ++i) {
            const std::vector<std::string> fields = Split(lines[i], '\x1e');
            std::vector<std::string> words = Split(fields[0], '\x1f');
            std::sort(words.begin(), words.end());
            std::string theirs;
            for (const std::string& w : words) theirs += w + "|";
            CDictionary card(0, engine_);
            std::copy(language.begin(), language.end(), card.languages[0]);
            if (!ParseStoredRecord(card, 9, cards[i])) {
                differing.push_back(words.front() + " (not parsed)");
                continue;
            }
            const DictionaryElement* body = nullptr;
            for (int32_t e = 1; e < card.ElementCount(); ++e)
                if (card.Elements()[e].kind == 5) body = &card.Elements()[e];
            const std::string ours = Headwords(card) + "\x1e" + (body ? CleanedBody(*body) : "\x1e");
            theirs += "\x1e" + fields[1] + "\x1e" + fields[2];
            ++compared;
            if (ours != theirs) differing.push_back(Split(fields[0], '\x1f').front());
        }
        return differing;
    }

    ScratchFolder folder_{"dsl-cards-peer"};
    CDMS engine_{SystemStorageIO()};
};

TEST_F(DslCardsPeer, HandWrittenCardsReadAsThePeerReadsThem) {
#ifdef _WIN32
    GTEST_SKIP() << "the peer runs in the native tree";
#endif
    const std::u16string text = DslTextOfUtf8File(SourcePath("/article/tests/dsl_cards/cards.dsl"));
    const std::filesystem::path file = folder_ / "cards.dsl";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(text.data()),
                                                static_cast<std::streamsize>(text.size() * 2));
    size_t compared = 0;
    const std::vector<std::string> differing = Compare(file, u"eng", compared);
    if (differing == std::vector<std::string>{"no peer"}) GTEST_SKIP() << "python3-pyglossary is not installed";
    EXPECT_GE(compared, 30u);
    for (const std::string& word : differing)
        EXPECT_TRUE(kKnownDifferences.count(word)) << "card " << word << " differs from the peer";
    EXPECT_EQ(differing.size(), kKnownDifferences.size());
}

TEST_F(DslCardsPeer, EnglishRussianCardsReadAsThePeerReadsThem) {
#ifdef _WIN32
    GTEST_SKIP() << "the source script runs in the native tree";
#endif
    const std::filesystem::path file = folder_ / "eng-rus.dsl";
    if (std::system((std::string("python3 ") + SourcePath("/import/tests/freedict_card_layouts.py english '") + file.string() +
                     "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "dict-freedict-eng-rus is not installed";
    size_t compared = 0;
    const std::vector<std::string> differing = Compare(file, u"eng", compared);
    if (differing == std::vector<std::string>{"no peer"}) GTEST_SKIP() << "python3-pyglossary is not installed";
    EXPECT_GT(compared, 1600u);
    EXPECT_TRUE(differing.empty()) << differing.size() << " cards differ, the first: " << differing.front();
}

TEST_F(DslCardsPeer, JapaneseRussianCardsReadAsThePeerReadsThem) {
#ifdef _WIN32
    GTEST_SKIP() << "the source script runs in the native tree";
#endif
    if (std::getenv("OSTREL_PEER_CHECKS") == nullptr) GTEST_SKIP() << "set OSTREL_PEER_CHECKS to run";
    if (std::system((std::string("python3 ") + SourcePath("/import/tests/freedict_card_layouts.py '") +
                     folder_.path().string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "dict-freedict-jpn-rus is not installed";
    size_t compared = 0;
    const std::vector<std::string> differing = Compare(folder_ / "jpn-rus-peer.dsl", u"jpn", compared);
    if (differing == std::vector<std::string>{"no peer"}) GTEST_SKIP() << "python3-pyglossary is not installed";
    EXPECT_GT(compared, 6000u);
    EXPECT_TRUE(differing.empty()) << differing.size() << " cards differ, the first: " << differing.front();
}

}  // namespace
