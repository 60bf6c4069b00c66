// A prepared text must answer exactly as the collator's Compare with that
// text second: stored B-trees are ordered by Compare and searched through
// prepared keys. Checked on every EDICT line's reading and headword (and a
// sample of ENAMDICT's; all of it with OSTREL_WHOLE_EDICT), their neighbours,
// texts full of contexts and texts past the per-call bounds, for both
// collators and both flags, one prepared object reused throughout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/collation/prepared_text.h"
#include "common/collation/tests/uca_whole_keys.h"
#include "common/collation/xcollator0.h"
#include "common/collation/xcollator1.h"
#include "common/tests/edict_files.h"

namespace {

struct CollatorCase {
    const char* name;
    ICollator& (*collator)();
    int32_t mode;
};

ICollator& Uca() {
    EXPECT_TRUE(UcaCollator().LoadTable());
    return UcaCollator();
}
ICollator& Dictionary() { return DictionaryCollator(); }

class PreparedTextAnswers : public testing::TestWithParam<CollatorCase> {
protected:
    void SetUp() override {
        collator_ = &GetParam().collator();
        for (uint32_t flags : {0u, 1u}) prepared_[flags] = NewPreparedText(*collator_);
    }

    // Both texts prepared in turn, against the other, with both flags.
    void ExpectComparesAlike(std::u16string_view a, std::u16string_view b) {
        for (uint32_t flags : {0u, 1u}) {
            PreparedText& prepared = *prepared_[flags];
            for (int swap = 0; swap < 2; ++swap) {
                std::u16string_view x = swap ? b : a, y = swap ? a : b;
                prepared.Prepare(y.data(), static_cast<uint32_t>(y.size()), GetParam().mode, flags);
                const int32_t expected = collator_->Compare(x.data(), static_cast<uint32_t>(x.size()), y.data(),
                                                            static_cast<uint32_t>(y.size()), GetParam().mode, flags);
                ASSERT_EQ(prepared.Compare(x.data(), static_cast<uint32_t>(x.size())), expected)
                    << "flags " << flags << " swap " << swap;
            }
        }
    }

    // Each line's reading against its headword and against the line before's.
    void ExpectComparesAlikeOnDictionaryLines(const char* file, size_t step) {
        std::vector<uint8_t> bytes = ReadEdictFile(file);
        std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
        ASSERT_GT(lines.size(), 100000u) << file;
        std::u16string previous;
        for (size_t n = 1; n < lines.size(); n += step) {
            std::u16string text = DecodeEucJpLine(lines[n]);
            size_t space = text.find(u' ');
            if (space == std::u16string::npos) continue;
            std::u16string headword = text.substr(0, space), reading = headword;
            size_t open = text.find(u" ["), close = text.find(u']');
            if (open == space && close != std::u16string::npos && close > open)
                reading = text.substr(open + 2, close - open - 2);
            ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(reading, headword)) << file << " line " << n;
            ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(reading, previous)) << file << " line " << n;
            previous = reading;
        }
    }

    ICollator* collator_ = nullptr;
    std::unique_ptr<PreparedText> prepared_[2];
};

TEST_P(PreparedTextAnswers, AsCompareOnEveryEdictLine) { ExpectComparesAlikeOnDictionaryLines("edict", 1); }

TEST_P(PreparedTextAnswers, AsCompareOnEnamdictLines) {
    ExpectComparesAlikeOnDictionaryLines("enamdict", std::getenv("OSTREL_WHOLE_EDICT") ? 1 : 16);
}

TEST_P(PreparedTextAnswers, AsCompareOnTextsFullOfContexts) {
    int k = 0;
    for (const auto& [a, b] : RandomTextPairs(ContextAlphabet(), 77, 20000))
        ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(a, b)) << k++;
    for (const auto& [a, b] : RandomTextPairs(u"かがカガあアーゝゞヽヾ々〻佐\u3099\u309B\uFF9E-", 78, 5000))
        ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(a, b)) << k++;
}

// 256 code points and 1000 elements cut the texts (U+FDFA has 18 elements);
// a null or empty text is the empty text.
TEST_P(PreparedTextAnswers, AsCompareOnEmptyTextsAndPastTheBounds) {
    ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(u"", u"a"));
    ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(u"", u""));
    prepared_[1]->Prepare(nullptr, 5, GetParam().mode, 1);
    EXPECT_EQ(prepared_[1]->Compare(u"a", 1), collator_->Compare(u"a", 1, nullptr, 0, GetParam().mode, 1));
    const std::u16string units[] = {u"a", u"か", u"カー", u"かゝ", u"佐々", u"\uFDFA", u"\u3099", u"\U00020000"};
    for (const std::u16string& unit : units)
        for (size_t count : {55u, 56u, 127u, 128u, 255u, 256u, 257u, 400u, 800u}) {
            std::u16string a;
            while (a.size() < count) a += unit;
            for (const std::u16string& b : {a, a + u"b", a.substr(0, a.size() - 1) + u"b", u"b" + a})
                ASSERT_NO_FATAL_FAILURE(ExpectComparesAlike(a, b)) << count;
        }
}

INSTANTIATE_TEST_SUITE_P(Collators, PreparedTextAnswers,
                         testing::Values(CollatorCase{"Uca", &Uca, 2}, CollatorCase{"Dictionary", &Dictionary, 2},
                                         CollatorCase{"DictionaryKatakanaFirst", &Dictionary, 6}),
                         [](const testing::TestParamInfo<CollatorCase>& info) { return info.param.name; });

}  // namespace
