// The phrase split over dictionaries compiled from EDICT keys: the chosen
// words of a key as the rows of the translated-words list show them.
//
// Compiling EDICT's keys is most of the suite's time, and ctest runs the
// suite as several entries: the build compiles the files once and writes
// them to OSTREL_PHRASE_SPLIT_WRITE (japanese/CMakeLists.txt), the entries
// read them from OSTREL_PHRASE_SPLIT_FILES (the same files, byte for byte);
// without those the suite compiles its own.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "japanese/phrase_parse.h"
#include "japanese/tests/translator_fixture.h"

namespace ostrel::japanese {

// Every line of EDICT as "edict.qdx" (particles allowed) and a few of them
// as "words.qdx" (no particles), built once for the suite.
class PhraseSplitTest : public TranslatorTest {
protected:
    static constexpr const char16_t* kFiles[] = {u"C:\\D\\EDICT.QDX", u"C:\\D\\words.qdx"};

    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/edict/edict")) GTEST_SKIP() << "no EDICT";
        Dictionaries([](TranslatorDictionaries& d) {
            if (ReadSharedFiles(d)) return;
            d.Add(kFiles[0], EdictSlice(1, u""));
            d.Add(kFiles[1], EdictSlice(0, u"わがで"));
        });
        MakeList();
        UseSearchOptions();
    }
    // The files as another entry wrote them, opened; false when there are none.
    static bool ReadSharedFiles(TranslatorDictionaries& d) {
        const char* from = std::getenv("OSTREL_PHRASE_SPLIT_FILES");
        if (from == nullptr) return false;
        std::ifstream in(from, std::ios::binary);
        if (!in) return false;
        for (const char16_t* path : kFiles) {
            uint64_t size = 0;
            if (!in.read(reinterpret_cast<char*>(&size), sizeof size)) return false;
            std::vector<uint8_t> bytes(size);
            if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) return false;
            d.disk.SetContents(path, std::move(bytes));
        }
        for (const char16_t* path : kFiles) d.Open(path);
        return true;
    }
    // Writes the suite's files for the other entries (each file's size, then
    // its bytes), through a temporary so no reader meets half a file.
    static bool WriteSharedFiles(const TranslatorDictionaries& d, const std::filesystem::path& to) {
        const std::filesystem::path temporary = to.string() + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            for (const char16_t* path : kFiles) {
                const auto bytes = d.disk.Contents(path);
                if (!bytes) return false;
                const uint64_t size = bytes->size();
                out.write(reinterpret_cast<const char*>(&size), sizeof size);
                out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(size));
            }
            if (!out.flush()) return false;
        }
        std::error_code error;
        std::filesystem::rename(temporary, to, error);
        return !error;
    }
    // The options the search sets for a split.
    void UseSearchOptions() {
        options.underCursor = 0;
        options.minKanaLength = 2;
        options.skipNamesDictionary = 1;
    }
    // The chosen words' spans (start, length) in text order: the first row
    // of each start, rows inside a word already taken (its companions) left out.
    std::vector<std::pair<int32_t, int32_t>> ChosenSpans(std::u16string_view text) {
        EXPECT_EQ(ParsePhrase(*translator, *list, text, 0), 1u);
        std::vector<std::pair<int32_t, int32_t>> spans;
        int32_t end = -1;
        for (int32_t r = 0; r < list->RowCount(); ++r) {
            const WordListEntry& row = list->EntryAt(list->EntryOfRow(r));
            if (row.matchStart < end) continue;
            spans.emplace_back(row.matchStart, row.matchLength);
            end = row.matchStart + row.matchLength;
        }
        return spans;
    }
    // The chosen words joined by "|".
    std::u16string Split(std::u16string_view text) {
        std::u16string out;
        for (const auto& [start, length] : ChosenSpans(text)) {
            if (!out.empty()) out += u'|';
            out += text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
        }
        return out;
    }
};

}  // namespace ostrel::japanese
