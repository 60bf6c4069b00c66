// The class rules against EDICT's own part-of-speech tags: each verb or
// i-adjective must fit the class its tag names. The godan verbs in -iru/-eru
// outside the 34 listed exceptions read as ichidan: a known limitation that
// count of v5r verbs the ichidan rule admits too shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "japanese/inflection_tables.h"
#include "japanese/tests/deinflection_test_support.h"
#include "japanese/word_class.h"

namespace ostrel::japanese {
namespace {

using namespace testing;

const std::map<std::u16string, uint32_t> kTagClasses = {
    {u"adj-i", kAdjectiveI}, {u"v5u", kGodanU},  {u"v5k", kGodanKu},   {u"v5g", kGodanGu},
    {u"vk", kKuru},          {u"v5s", kGodanSu}, {u"vs-i", kSuru},     {u"v1", kIchidan},
    {u"v5t", kGodanTsu},     {u"v5n", kGodanNu}, {u"v5b", kGodanBu},   {u"v5r", kGodanRu},
    {u"v5r-i", kGodanRu},    {u"v5m", kGodanMu}, {u"v5k-s", kIku},     {u"v5aru", kHonorificAru},
};

struct TagFigures {
    int words = 0;
    int fits = 0;
    int alsoIchidan = 0;  // godan verbs in る the ichidan rule admits too
};

TEST(EdictWordClassSweep, TaggedWordsFitTheirClass) {
    auto lines = ReadFixtureLines("edict.utf8");
    if (lines.empty()) GTEST_SKIP() << "edict is not installed";
    std::map<std::u16string, TagFigures> figures;
    for (const std::u16string& line : lines) {
        // "KANJI [READING] /(tags) gloss/.../" or "READING /(tags) gloss/.../"
        const size_t slash = line.find(u" /");
        if (slash == std::u16string::npos) continue;
        std::u16string_view head(line.data(), slash);
        std::u16string_view kanji, reading = head;
        const size_t bracket = head.find(u" [");
        if (bracket != std::u16string_view::npos && head.back() == u']') {
            kanji = head.substr(0, bracket);
            reading = head.substr(bracket + 2, head.size() - bracket - 3);
        }
        std::u16string_view glosses(line.data() + slash, line.size() - slash);
        for (size_t open = glosses.find(u'('); open != std::u16string_view::npos;
             open = glosses.find(u'(', open + 1)) {
            const size_t close = glosses.find(u')', open);
            if (close == std::u16string_view::npos) break;
            for (std::u16string_view tag : SplitFields(glosses.substr(open + 1, close - open - 1), u',')) {
                auto found = kTagClasses.find(std::u16string(tag));
                if (found == kTagClasses.end()) continue;
                TagFigures& figure = figures[found->first];
                ++figure.words;
                if (ClassFitsWord(found->second, reading, kanji) == 0) ++figure.fits;
                if (found->second == kGodanRu && ClassFitsWord(kIchidan, reading, kanji) == 0) ++figure.alsoIchidan;
            }
        }
    }
    int words = 0, fits = 0;
    for (const auto& [tag, figure] : figures) {
        std::string name(tag.begin(), tag.end());
        std::printf("%-6s words %6d fit %6.2f%% also ichidan %d\n", name.c_str(), figure.words,
                    100.0 * figure.fits / figure.words, figure.alsoIchidan);
        words += figure.words;
        fits += figure.fits;
    }
    ASSERT_GT(words, 0);
    std::printf("all    words %6d fit %6.2f%%\n", words, 100.0 * fits / words);
    EXPECT_GE(100.0 * fits / words, 98.4);  // first figure 99.41 %
}

}  // namespace
}  // namespace ostrel::japanese
