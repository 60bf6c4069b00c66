#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/unicode/char_tables.h"
#include "common/unicode/search_key.h"
#include "common/tests/unicode_data_oracle.h"

namespace {

// Decompositions never change once assigned, so Debian's current database,
// restricted to characters of Unicode 5.2 and before, must give every record.
std::vector<bool> AssignedBy52(const std::string& derivedAgePath) {
    std::vector<bool> old(0x110000, false);
    std::ifstream in(derivedAgePath);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t semicolon = line.find(';');
        if (semicolon == std::string::npos) continue;
        std::string range = line.substr(0, semicolon);
        std::string age = line.substr(semicolon + 1, line.find('#') - semicolon - 1);
        int major = 0, minor = 0;
        if (std::sscanf(age.c_str(), " %d.%d", &major, &minor) != 2) continue;
        if (major > 5 || (major == 5 && minor > 2)) continue;
        uint32_t first = std::stoul(range, nullptr, 16), last = first;
        size_t dots = range.find("..");
        if (dots != std::string::npos) last = std::stoul(range.substr(dots + 2), nullptr, 16);
        for (uint32_t cp = first; cp <= last; ++cp) old[cp] = true;
    }
    return old;
}

std::vector<uint32_t> Record(const CharTableBlob& table, uint32_t codePoint) {
    std::vector<uint32_t> record;
    for (uint32_t at = table.Entry(codePoint); at != 0 && table.pool[at] != 0; ++at)
        record.push_back(table.pool[at]);
    return record;
}

bool KeptWhole(uint32_t codePoint, const std::vector<uint32_t>& decomposition) {
    if (codePoint == 0x0419 || codePoint == 0x0439 || codePoint == 0x00A0) return true;
    return codePoint >= 0x304C && codePoint <= 0x30FE && decomposition.size() >= 2 &&
           (decomposition[1] == 0x3099 || decomposition[1] == 0x309A);
}

TEST(DecompositionTable, EveryRecordEqualsCurrentUnicodeForCharactersUpTo52) {
    auto current = ReadOracleUnicodeData(OSTREL_HOST_ROOT "/usr/share/unicode/UnicodeData.txt");
    std::vector<bool> old = AssignedBy52(OSTREL_HOST_ROOT "/usr/share/unicode/DerivedAge.txt");
    ASSERT_GT(current.size(), 30000u) << "Debian's unicode-data is needed";
    const CharTableBlob* table = DecompositionTable();
    ASSERT_NE(table, nullptr);
    int compared = 0, keptWhole = 0;
    for (uint32_t cp = 0; cp < 0x110000; ++cp) {
        std::vector<uint32_t> stored = Record(*table, cp);
        if (!old[cp]) {
            ASSERT_TRUE(stored.empty()) << std::hex << cp << " is newer than 5.2";
            continue;
        }
        auto found = current.find(cp);
        std::vector<uint32_t> expected;
        if (found != current.end()) expected = found->second.decomposition;
        if (KeptWhole(cp, expected)) {
            ASSERT_TRUE(stored.empty()) << std::hex << cp;
            ++keptWhole;
            continue;
        }
        ASSERT_EQ(stored, expected) << std::hex << cp;
        if (!expected.empty()) ++compared;
    }
    EXPECT_EQ(compared + keptWhole, 5516);  // every decomposition of 5.2
    EXPECT_EQ(keptWhole, 3 + 60);           // U+00A0, Й, й and the voiced kana
}

// NormalizationTest.txt: column 5 is the full compatibility decomposition of
// every column. DecomposeString differs from it only where the program
// chose to, and each line that differs must be explained by these reasons.
enum Deviation {
    kHangulKept,        // Hangul syllables are not decomposed
    kNoBreakSpaceKept,  // U+00A0 has no record
    kComposedKept,      // voiced kana and Й/й stay whole for search keys
    kNotReordered,      // combining marks keep their input order
    kDeviationCount
};

class NormalizationModel {
public:
    // Undoes the program's deviations on `ours`, noting which were needed.
    std::vector<uint32_t> Adjust(const std::vector<uint32_t>& ours, bool (&used)[kDeviationCount]) const {
        std::vector<uint32_t> out;
        for (uint32_t cp : ours) Expand(cp, out, used, false);
        // Canonical ordering: stable sort of every run of non-zero classes.
        std::vector<uint32_t> sorted = out;
        for (size_t i = 0; i < sorted.size();) {
            size_t j = i;
            while (j < sorted.size() && Class(sorted[j]) != 0) ++j;
            std::stable_sort(sorted.begin() + i, sorted.begin() + j,
                             [&](uint32_t a, uint32_t b) { return Class(a) < Class(b); });
            i = j == i ? i + 1 : j;
        }
        if (sorted != out) used[kNotReordered] = true;
        return sorted;
    }

private:
    int Class(uint32_t cp) const {
        auto found = Unicode52().find(cp);
        return found == Unicode52().end() ? 0 : found->second.combiningClass;
    }

    void Expand(uint32_t cp, std::vector<uint32_t>& out, bool (&used)[kDeviationCount],
                bool inside) const {
        if (cp >= 0xAC00 && cp <= 0xD7A3) {
            used[kHangulKept] = true;
            uint32_t s = cp - 0xAC00;
            out.push_back(0x1100 + s / 588);
            out.push_back(0x1161 + (s % 588) / 28);
            if (s % 28) out.push_back(0x11A7 + s % 28);
            return;
        }
        auto found = Unicode52().find(cp);
        if (found != Unicode52().end() && !found->second.decomposition.empty() &&
            KeptWhole(cp, found->second.decomposition)) {
            used[cp == 0x00A0 ? kNoBreakSpaceKept : kComposedKept] = true;
            for (uint32_t part : found->second.decomposition) Expand(part, out, used, true);
            return;
        }
        if (inside && found != Unicode52().end() && !found->second.decomposition.empty()) {
            for (uint32_t part : found->second.decomposition) Expand(part, out, used, true);
            return;
        }
        out.push_back(cp);
    }
};

TEST(DecomposeString, MatchesNormalizationTestUpToTheListedDeviations) {
    std::ifstream in(SourcePath("/resources/unicode/ucd-5.2.0/NormalizationTest.txt"));
    ASSERT_TRUE(in.good());
    NormalizationModel model;
    int lines = 0, exact = 0;
    int deviations[kDeviationCount] = {};
    std::vector<char16_t> out(1100);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == '@') continue;
        std::vector<std::string> columns;
        size_t start = 0;
        for (int c = 0; c < 5; ++c) {
            size_t end = line.find(';', start);
            columns.push_back(line.substr(start, end - start));
            start = end + 1;
        }
        std::vector<uint32_t> expected = ParseCodePoints(columns[4]);
        ++lines;
        for (const std::string& column : columns) {
            std::u16string source = ToUtf16(ParseCodePoints(column));
            int32_t n = DecomposeString(source, out);
            ASSERT_GE(n, 0);
            std::vector<uint32_t> ours = ToCodePoints({out.data(), size_t(n)});
            if (ours == expected) {
                ++exact;
                continue;
            }
            bool used[kDeviationCount] = {};
            ASSERT_EQ(model.Adjust(ours, used), expected) << line;
            bool explained = false;
            for (int d = 0; d < kDeviationCount; ++d)
                if (used[d]) {
                    ++deviations[d];
                    explained = true;
                }
            ASSERT_TRUE(explained) << line;
        }
    }
    EXPECT_GT(lines, 17000);
    EXPECT_GT(exact, 2 * lines);  // all but Hangul and a few thousand columns come out exactly
    for (int d = 0; d < kDeviationCount; ++d) EXPECT_GT(deviations[d], 0) << "deviation " << d;
    std::printf("NormalizationTest: %d lines, %d columns exact; Hangul %d, U+00A0 %d, "
                "kept whole %d, not reordered %d\n",
                lines, exact, deviations[kHangulKept], deviations[kNoBreakSpaceKept],
                deviations[kComposedKept], deviations[kNotReordered]);
}

}  // namespace
