// Random inputs to the data layer under the sanitizers: code lines, addon
// texts and inflection sections. OSTREL_LATIN_FUZZ=<rounds> runs a longer sweep.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "latin/addon_tables.h"
#include "latin/dictionary_entry.h"
#include "latin/dictionary_form.h"
#include "latin/inflection_table.h"
#include "latin_test_data.h"

namespace {

int Rounds(int normal) {
    const char* sweep = std::getenv("OSTREL_LATIN_FUZZ");
    return sweep != nullptr ? std::atoi(sweep) : normal;
}

// Text from pieces that the readers know, cut and joined at random.
std::string RandomText(std::mt19937& random, int pieces) {
    static const char* kPieces[] = {"TACKON ", "PREFIX ", "SUFFIX ", "PACK 1 0 INDEF", "N 3 1 C X", "V V",
        "ADJ 2 ", "--", "-", "\n", "\r\n", " ", "   ", "que", "com m", "PACKON w/", "999999999999", "X", "\t",
        "ADV POS                 1", "zzz", "\xff\xfe", "NUM    2 0 CARD   1000", "\0"};
    std::string text;
    for (int i = 0; i < pieces; ++i) {
        const char* piece = kPieces[random() % std::size(kPieces)];
        text += random() % 8 == 0 ? std::string(random() % 120, static_cast<char>(32 + random() % 95))
                                  : std::string(piece, piece[0] == 0 ? 1 : std::strlen(piece));
    }
    return text;
}

TEST(LatinDataFuzz, CodeLinesAndFormsStayInBounds) {
    std::mt19937 random(31);
    for (int round = 0; round < Rounds(3000); ++round) {
        std::string line(random() % 300, ' ');
        for (char& c : line) c = static_cast<char>(random() % 5 == 0 ? 32 + random() % 95 : 1 + random() % 255);
        DictionaryEntry entry;
        const char* end = nullptr;
        ParseDictionaryLine(line.c_str(), &entry, &end);
        ASSERT_LE(end, line.c_str() + line.size());
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        ASSERT_LT(std::strlen(form), static_cast<size_t>(kDictionaryFormSize));
        // Random codes within and beyond every table.
        entry.part = {static_cast<int32_t>(random() % 18) - 1, static_cast<int32_t>(random() % 12) - 1,
                      static_cast<int32_t>(random() % 12) - 1, static_cast<int32_t>(random() % 14) - 1, 0};
        for (auto& stem : entry.stems) {
            int n = random() % (kMaxStem + 1);
            for (int i = 0; i < n; ++i) stem[i] = static_cast<char>('a' + random() % 26);
            stem[n] = 0;
        }
        MakeDictionaryForm(form, entry);
        ASSERT_LT(std::strlen(form), static_cast<size_t>(kDictionaryFormSize));
        std::u16string wide(line.begin(), line.end());
        char16_t out[64];
        ASSERT_LT(MakeDictionaryFormText(out, 64, wide.c_str(), static_cast<int>(wide.size())), 64);
    }
}

TEST(LatinDataFuzz, AddonTextsNeverOverrunTheTables) {
    std::mt19937 random(105);
    AddonTables tables;
    for (int round = 0; round < Rounds(1500); ++round) {
        std::string text = RandomText(random, 1 + random() % 200);
        ParseAddons(text.data(), static_cast<int>(text.size()), &tables);
        ASSERT_LE(tables.tackonCount, kMaxTackons);
        ASSERT_LE(tables.prefixCount, kMaxPrefixes);
        for (int i = 0; i < tables.tackonCount; ++i) ASSERT_NE(tables.tackons[i].text[0], 0);
    }
}

TEST(LatinDataFuzz, RandomSectionsLoadWithoutHarm) {
    std::mt19937 random(122);
    MemoryLatinHost host;
    host.Install();
    for (int round = 0; round < Rounds(60); ++round) {
        host.inflects.assign(kInflectsFileSize, 0);
        for (int section = 1; section <= kSectionCount; ++section) {
            const int count = random() % kRecordsPerSection;
            for (int i = 0; i < count; ++i) {
                unsigned char* record = host.inflects.data() + (section - 1) * kSectionSize + i * kInflectionRecordSize;
                for (int b = 0; b < kInflectionRecordSize; ++b) record[b] = static_cast<unsigned char>(random());
                record[0] = static_cast<unsigned char>(1 + random() % 20);   // mostly valid parts of speech
                if (random() % 2) record[24] = static_cast<unsigned char>(random() % 8), record[25] = record[26] = record[27] = 0;
            }
        }
        ASSERT_EQ(LoadInflections(), 0);
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            ASSERT_EQ(LoadSectionForLetter(letter), 0);
            for (int length = 0; length <= kMaxEnding; ++length) {
                int from = 0, to = 0;
                if (!EndingRange(g_inflections.first, g_inflections.last, length, static_cast<unsigned char>(letter),
                                 &from, &to)) continue;
                ASSERT_GE(from, 0);
                ASSERT_LT(to, kRecordsPerSection);
            }
        }
    }
}

}  // namespace
