// Runs Unicode 5.2's WordBreakTest, SentenceBreakTest and LineBreakTest
// through the segmenters over the program's own tables. The segmenters apply
// reduced rules on purpose, so every difference is tied to the UAX rule the
// test file names at that position, and the number of differences per rule is
// pinned: a new kind of difference, or more of a known kind, fails.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/segmentation/text_segmentation.h"
#include "common/tests/test_paths.h"

namespace {

struct BreakCase {
    int line = 0;
    std::u16string text;
    std::vector<int32_t> unitOffset;   // unit offset of each code point, plus the end
    std::vector<bool> breaks;          // per code-point position 0..n: ÷ (true) or ×
    std::vector<std::string> rules;    // per position: the rule the file names and the
                                       // class of the code point after it ("18.0 CM")
};

// The comment reads "÷ [0.2] NAME (Class) × [9.0] NAME (Class) ÷ [0.3]".
void ReadMarkers(const std::string& comment, BreakCase& c) {
    const std::string kBreak = "÷ [", kJoin = "× [";
    for (size_t at = 0; at < comment.size();) {
        size_t b = comment.find(kBreak, at), j = comment.find(kJoin, at);
        size_t m = std::min(b, j);
        if (m == std::string::npos) return;
        size_t open = m + kBreak.size(), close = comment.find(']', open);
        if (close == std::string::npos) return;
        std::string rule = comment.substr(open, close - open);
        size_t next = std::min(comment.find(kBreak, close), comment.find(kJoin, close));
        size_t paren = comment.rfind('(', next == std::string::npos ? comment.size() : next);
        if (paren != std::string::npos && paren > close) {
            size_t end = comment.find(')', paren);
            rule += " " + comment.substr(paren + 1, end - paren - 1);
        }
        c.breaks.push_back(m == b);
        c.rules.push_back(rule);
        at = close;
    }
}

std::vector<BreakCase> ReadBreakTest(const std::string& name) {
    std::ifstream in(SourcePath() + "/resources/unicode/ucd-5.2.0/auxiliary/" + name);
    std::vector<BreakCase> cases;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        size_t hash = line.find('#');
        if (hash == 0 || line.empty()) continue;
        BreakCase c;
        c.line = number;
        std::istringstream fields(line.substr(0, hash));
        for (std::string token; fields >> token;) {
            if (token == "÷" || token == "×") continue;
            char32_t cp = std::stoul(token, nullptr, 16);
            c.unitOffset.push_back(static_cast<int32_t>(c.text.size()));
            if (cp >= 0x10000) {
                c.text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                c.text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                c.text += static_cast<char16_t>(cp);
            }
        }
        c.unitOffset.push_back(static_cast<int32_t>(c.text.size()));
        ReadMarkers(line.substr(hash), c);
        if (c.breaks.size() != c.unitOffset.size()) continue;
        cases.push_back(std::move(c));
    }
    return cases;
}

// "break@R": we break where the file joins by rule R; "join@R": the reverse.
using Tally = std::map<std::string, int>;

void TallyDifferences(const BreakCase& c, const std::set<int32_t>& ours, Tally& tally) {
    for (size_t k = 1; k + 1 < c.breaks.size(); ++k) {
        bool we = ours.count(c.unitOffset[k]) != 0;
        if (we != c.breaks[k]) ++tally[(we ? "break@" : "join@") + c.rules[k]];
    }
}

// The segment ends a forward segmenter gives over the whole text.
using Segmenter = int32_t (*)(const char16_t*, int32_t, int32_t*, int32_t*);
std::set<int32_t> SegmentEnds(const BreakCase& c, Segmenter next) {
    std::set<int32_t> ends;
    int32_t start = 0, end = 0, n = static_cast<int32_t>(c.text.size());
    while (next(c.text.data(), n, &start, &end)) {
        EXPECT_GT(end, start) << c.line;
        if (end <= start) break;
        ends.insert(end);
        start = end;
    }
    return ends;
}

std::string Show(const Tally& t) {
    std::string s;
    for (auto& [k, v] : t) s += "  {\"" + k + "\", " + std::to_string(v) + "},\n";
    return s;
}

TEST(UnicodeBreakTests, WordBoundariesDifferOnlyByTheReducedRules) {
    std::vector<BreakCase> cases = ReadBreakTest("WordBreakTest.txt");
    ASSERT_EQ(cases.size(), 978u);
    Tally tally;
    for (const BreakCase& c : cases) {
        std::set<int32_t> ours = SegmentEnds(c, NextWordBoundary);
        const int32_t n = static_cast<int32_t>(c.text.size());
        // The backward walk and WordAt must stay inside the text everywhere.
        for (int32_t p = 0; p < n; ++p) {
            int32_t s = -1, e = p;
            ASSERT_EQ(PrevWordBoundary(c.text.data(), n, &s, &e), 1);
            ASSERT_TRUE(s >= 0 && s <= p && e > p && e <= n) << c.line;
            ASSERT_EQ(WordAt(c.text.data(), n, p, &s, &e), 1);
            ASSERT_TRUE(s >= 0 && s <= p && e > p && e <= n) << c.line;
        }
        TallyDifferences(c, ours, tally);
    }
    const Tally expected = {
#include "common/segmentation/tests/word_break_deviations.inc"
    };
    EXPECT_EQ(tally, expected) << Show(tally);
}

TEST(UnicodeBreakTests, SentenceBoundariesDifferOnlyByTheReducedRules) {
    std::vector<BreakCase> cases = ReadBreakTest("SentenceBreakTest.txt");
    ASSERT_EQ(cases.size(), 490u);
    Tally tally;
    for (const BreakCase& c : cases) {
        TallyDifferences(c, SegmentEnds(c, NextSentence), tally);
    }
    const Tally expected = {
#include "common/segmentation/tests/sentence_break_deviations.inc"
    };
    EXPECT_EQ(tally, expected) << Show(tally);
}

TEST(UnicodeBreakTests, LastLineBreakDiffersOnlyByTheReducedRules) {
    std::vector<BreakCase> cases = ReadBreakTest("LineBreakTest.txt");
    ASSERT_EQ(cases.size(), 5202u);
    Tally tally;
    for (const BreakCase& c : cases) {
        int32_t n = static_cast<int32_t>(c.text.size());
        // The file's last opportunity before the final unit, as a unit index.
        int32_t expected = -1;
        size_t expectedAt = 0;
        for (size_t k = 1; k + 1 < c.breaks.size(); ++k) {
            if (c.breaks[k] && c.unitOffset[k] <= n - 1) {
                expected = c.unitOffset[k] - 1;
                expectedAt = k;
            }
        }
        int32_t ours = FindLastLineBreak(c.text.data(), n);
        ASSERT_TRUE(ours >= -1 && ours <= n - 2) << c.line;
        if (ours == expected) continue;
        if (ours > expected) {
            for (size_t k = 0; k < c.unitOffset.size(); ++k)
                if (c.unitOffset[k] == ours + 1) ++tally["break@" + c.rules[k]];
        } else {
            ++tally["join@" + c.rules[expectedAt]];
        }
    }
    const Tally expected = {
#include "common/segmentation/tests/line_break_deviations.inc"
    };
    EXPECT_EQ(tally, expected) << Show(tally);
}

}  // namespace
