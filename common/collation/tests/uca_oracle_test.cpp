// XCollator1 against an implementation no one here wrote: Perl's
// Unicode::Collate over the same DUCET 5.0.0 file, on samples of EDICT
// headwords, readings and glosses, ENAMDICT names and the Russian hunspell
// words. The build makes the oracle's keys (tools/uca_oracle), so this runs
// in both trees. The classes of texts where the two differ on purpose:
// - repetition signs and the prolonged sound sign: expanded by the collator
//   only; the oracle gets them written out;
// - voiced repetition signs in context: the collator writes the voicing once
//   whatever the kana before it; not expressible, left out;
// - ideographs U+9FBC..U+9FFF, U+4DB6..U+4DBF, U+2A6D7..U+2A6DF: the
//   collator gives them the ideograph bases of later versions; left out;
// - texts past the per-call bounds (256 code points, 744 weights): the
//   collator cuts them; glosses longer than a key segment are not sampled.
#include <gtest/gtest.h>

#include <algorithm>
#include <compare>
#include <fstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "common/collation/xcollator1.h"

namespace {

struct OracleSample {
    std::u16string text;
    std::vector<uint32_t> key;   // levels 1-3 with their separators
};

std::vector<OracleSample> ReadOracleKeys(size_t& leftOut) {
    std::ifstream in(BinaryPath("/uca_oracle_keys.txt"), std::ios::binary);
    std::vector<OracleSample> samples;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("# left out ", 0) == 0) {
            leftOut = std::stoul(line.substr(11));
            continue;
        }
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        OracleSample s;
        s.text = Utf8ToUtf16(std::string_view(line).substr(0, tab));
        for (size_t at = tab + 1; at < line.size();) {
            size_t next = line.find(' ', at);
            if (next == std::string::npos) next = line.size();
            s.key.push_back(std::stoul(line.substr(at, next - at), nullptr, 16));
            at = next + 1;
        }
        samples.push_back(std::move(s));
    }
    return samples;
}

std::vector<uint32_t> OurKeyToLevel3(std::u16string_view text) {
    std::vector<uint32_t> key(kMaxSortKeyWeights);
    key.resize(UcaCollator().GetSortKey(text.data(), static_cast<int32_t>(text.size()), key.data(), 1));
    int zeros = 0;
    for (size_t i = 0; i < key.size(); ++i)
        if (key[i] == 0 && ++zeros == 3) key.resize(i);
    return key;
}

template <typename T>
int Sign(T v) {
    return (v > 0) - (v < 0);
}

TEST(UcaOracle, KeysAndOrderAgreeWithUnicodeCollateOnDictionaryWords) {
    ASSERT_TRUE(UcaCollator().LoadTable());
    size_t leftOut = ~size_t{0};
    std::vector<OracleSample> samples = ReadOracleKeys(leftOut);
    ASSERT_GT(samples.size(), 40000u) << "the build makes uca_oracle_keys.txt with perl";
    EXPECT_LT(leftOut, 20u);
    size_t differences = 0;
    for (const OracleSample& s : samples) {
        if (OurKeyToLevel3(s.text) == s.key) continue;
        if (++differences <= 10) ADD_FAILURE() << "key differs for " << Utf16ToUtf8(s.text);
    }
    EXPECT_EQ(differences, 0u) << "of " << samples.size();
    // Compare itself, on neighbouring samples: primaries alone must give the
    // oracle's level-1 order, all levels its level-3 order where that decides.
    auto primaries = [](const std::vector<uint32_t>& key) {
        return std::vector<uint32_t>(key.begin(), std::find(key.begin(), key.end(), 0u));
    };
    size_t wrongOrder = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        const std::u16string &a = samples[i - 1].text, &b = samples[i].text;
        auto cmp = [&](uint32_t flags) {
            return UcaCollator().Compare(a.data(), uint32_t(a.size()), b.data(), uint32_t(b.size()), 0, flags);
        };
        int level1 = Sign(primaries(samples[i - 1].key) <=> primaries(samples[i].key));
        int level3 = Sign(samples[i - 1].key <=> samples[i].key);
        if (Sign(cmp(0)) != level1 || (level3 != 0 && Sign(cmp(1)) != level3)) ++wrongOrder;
    }
    EXPECT_EQ(wrongOrder, 0u);
}

}  // namespace
