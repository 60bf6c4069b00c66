// Random damage to DSL and WARODAI texts through the importers, the
// one-article parsers and the cleaners: under the sanitizers nothing may read
// or write out of bounds. A fixed number of rounds, or OSTREL_FUZZ_SECONDS long.
#include "import/dsl_import.h"
#include "import/dsl_text_cleaners.h"
#include "import/dsl_unihan_order.h"
#include "import/warodai_import.h"

#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

namespace {

const std::u16string kSeeds[] = {
    u"#NAME \"Unihan x\"\n日\n [m1][b]Japanese(On):[/b] [c]にち[/c]\n [m1][b] Definition:[/b] [u] sun[/u]\n"
    u" [m1][b]-----------[/b]\n [m1][b]Unicode:[/b] U+65E5\n",
    u"#NAME Test\n{{c\n}}漢字\nかな\n\t[m1]1) [i]n[/i] [trn]a\\[b\\] <<x>>[/trn] [p]p[/p]\n中国\n [p]zhōng guó[/p]\n вм.[ref]x[/ref]\n",
    u"*c\n\nあい, あいだ【間・閒, 髪I】〔1〕\n1) ～する <a>x</a> делать\n• Также かみ【紙】\n• Др. чтение あわい\n[かみ]\n◇あい x\n",
};
const char16_t kAlphabet[] = u"[]{}\\<>()#～•【】・,;: \n\r\tあ漢aI\"…〔〕";

void Exercise(std::u16string_view text) {
    CDMS engine{SystemStorageIO()};
    CDictionary dictionary{0, engine};
    std::copy_n(u"cmn", 4, dictionary.languages[0]);
    ImportDsl(dictionary, text.data(), uint32_t(text.size() * 2), 0, ImportCallbacks{});
    dictionary.ClearParsedArticle();
    ImportWarodai(dictionary, text.data(), uint32_t(text.size() * 2), 0, ImportCallbacks{});
    dictionary.ClearParsedArticle();
    ParseDslArticle(dictionary, text.data(), int32_t(text.size()));
    ParseWarodaiArticle(dictionary, text.data(), int32_t(text.size()), 0);
    std::vector<uint16_t> bits(text.size() + 1, 0x8000);
    std::u16string out(text.size() + 1, u'\0');
    for (int32_t maximum : {1, 7, int32_t(out.size())}) {
        EXPECT_LE(SplitArticleText(out.data(), maximum, text.data(), int32_t(text.size()), bits.data()), maximum);
        EXPECT_LE(CleanArticleMarkup(out.data(), maximum, text.data(), int32_t(text.size()), bits.data()), maximum);
        DslTextCursor cursor{text.data(), int32_t(text.size())};
        EXPECT_LE(CollectDslTranslationWords(out.data(), maximum, cursor), maximum);
    }
    WriteSortedUnihanArticle(text);
}

TEST(DslWarodaiFuzz, DamagedTextsStayInBounds) {
    // Every run damages a fixed number of texts; OSTREL_FUZZ_SECONDS runs as
    // long as it says instead.
    const char* seconds = std::getenv("OSTREL_FUZZ_SECONDS");
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : 0);
    constexpr int64_t kRounds = 4000;
    std::mt19937 random(12345);
    for (int64_t round = 0; seconds ? std::chrono::steady_clock::now() < stop : round < kRounds; ++round) {
        std::u16string text = kSeeds[random() % std::size(kSeeds)];
        for (int edits = 1 + int(random() % 8); edits > 0 && !text.empty(); --edits) {
            const size_t at = random() % text.size();
            switch (random() % 3) {
            case 0: text.erase(at, 1 + random() % 4); break;
            case 1: text.insert(at, 1, kAlphabet[random() % (std::size(kAlphabet) - 1)]); break;
            default: text.resize(at); break;
            }
        }
        Exercise(text);
    }
}

}  // namespace
