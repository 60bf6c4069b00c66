// The web-search URLs: word preparation for each command and the encoding,
// checked against Python's urllib.parse.quote as an outside peer.
#include <gtest/gtest.h>

#include <random>

#include "common/tests/peer_program.h"
#include "common/text/utf8.h"
#include "web/web_search.h"

namespace {

TEST(WebSearch, PreparesTheKanjiDictionaryQuery) {
    EXPECT_EQ(WebSearchUrl(40164, u"日本"), "https://www.yarxi.ru/online/?u=26085");
    EXPECT_EQ(PrepareWebSearchWord(40164, u"にほんご語"), u"にほんご");
    EXPECT_EQ(PrepareWebSearchWord(40164, u"Sakura2"), u"Sakura");
    EXPECT_EQ(WebSearchUrl(40164, u"Sakura2"), "https://www.yarxi.ru/online/?q=Sakura");
    EXPECT_EQ(PrepareWebSearchWord(40164, u"\U00020B9F"), u"134047");   // a surrogate pair
    EXPECT_EQ(PrepareWebSearchWord(40164, u"сакура"), u"さくら");      // Cyrillic to kana
    EXPECT_EQ(PrepareWebSearchWord(40164, u"ー長"), u"ー");             // U+30FC is kana
    EXPECT_EQ(PrepareWebSearchWord(40164, u"한국"), u"한국");           // anything else: whole
    EXPECT_EQ(PrepareWebSearchWord(40164, std::u16string(100, u'か')).size(), 80u);
}

TEST(WebSearch, CutsBlanksAndLengthBetweenCharacters) {
    EXPECT_EQ(WebSearchUrl(40183, u"cat \r\n\t"), "https://www.google.com/search?hl=en&q=cat");
    EXPECT_EQ(WebSearchUrl(40187, u"a b"), "https://dictionary.goo.ne.jp/srch/all/a%20b/m0u/");
    EXPECT_EQ(WebSearchUrl(40183, u""), "https://www.google.com/search?hl=en&q=");
    EXPECT_EQ(WebSearchUrl(1, u"x"), "");
    EXPECT_EQ(PrepareWebSearchWord(40183, std::u16string(300, u'x')).size(), 255u);
    // 254 letters and a pair across the 255-unit cut: the pair goes whole.
    std::u16string word = std::u16string(254, u'x') + u"\U00020B9F";
    EXPECT_EQ(PrepareWebSearchWord(40183, word), std::u16string(254, u'x'));
    // 100 kanji are 300 bytes of UTF-8: cut to 85 whole kanji, never to nothing.
    std::string url = WebSearchUrl(40186, std::u16string(100, u'語'));
    EXPECT_EQ(url, "https://ja.wikipedia.org/wiki/" + [] {
        std::string s;
        for (int i = 0; i < 85; ++i) s += "%E8%AA%9E";
        return s;
    }());
}

// Random words against urllib.parse.quote(s, safe=''), which also leaves
// "-._~" alone: those are escaped here, so the peer's output is adjusted.
TEST(WebSearch, EncodingMatchesPython) {
    std::mt19937 random(8103);
    const std::u16string pool = u"aZ09 -._~%&=+/?日本語かなカナёЖ\U0001F600\U00020B9F";
    std::vector<std::string> words;
    for (int i = 0; i < 200; ++i) {
        std::u16string word;
        for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n) {
            char16_t c = pool[random() % pool.size()];
            if (c >= 0xD800 && c <= 0xDBFF) continue;
            if (c >= 0xDC00 && c <= 0xDFFF) {
                size_t at = pool.find(c);
                word += pool[at - 1];
            }
            word += c;
        }
        words.push_back(Utf16ToUtf8(word));
    }
    auto peer = RunPeerProgram(
        "python3",
        "python3 -c \"import sys,urllib.parse\n"
        "for l in sys.stdin.buffer.read().decode().split(chr(10))[:-1]:\n"
        " q=urllib.parse.quote(l.rstrip(' '),safe='')\n"
        " print(q.replace('-','%2D').replace('.','%2E').replace('_','%5F').replace('~','%7E'))\"",
        words);
    if (!peer) GTEST_SKIP() << "python3 missing";
    ASSERT_EQ(peer->size(), words.size());
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(WebSearchUrl(40170, Utf8ToUtf16(words[i])), "https://jisho.org/search/" + (*peer)[i]) << words[i];
}

}  // namespace
