// Debian's EDICT-format files compiled by the compiler and checked against an
// independent count (edict_key_counts.py over iconv's decoding): article
// count, index 101 and 102 entries, an empty index 106, and the header's
// name and copyright properties. A sample of every 25th line runs by default;
// OSTREL_WHOLE_EDICT=1 compiles the whole of edict and enamdict.
#include "import/tests/compile_fixture.h"

#include "common/tests/edict_files.h"
#include "dictionary/dictionary_properties.h"

#include <cstdio>
#include <cstdlib>

namespace {

class EdictCompileRealData : public CompileFixture, public testing::WithParamInterface<const char*> {
protected:
    // The header line and every `step`th line after it, as bytes.
    static std::string Sample(const std::vector<uint8_t>& bytes, size_t step) {
        std::string out;
        size_t number = 0;
        for (std::span<const uint8_t> line : SplitLines(bytes))
            if (number++ % step == 0) out.append(line.begin(), line.end()).push_back('\n');
        return out;
    }

    static std::string Oracle(const std::u16string& file) {
        const std::string command = "python3 " OSTREL_SOURCE_DIR "/import/tests/edict_key_counts.py '" +
                                    std::filesystem::path(file).string() + "'";
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
            pclose(pipe);
        }
        return out;
    }

    // Entries of indexes 0 (one pointer per stored article), 101 and 102,
    // then properties 1 and 2 (name and copyright).
    std::string Counts(const std::u16string& file) {
        int32_t id = 0;
        if (Failed(engine_.OpenFile(file, 2, DictionarySchemaText, &id))) return "cannot open";
        std::string out;
        for (int32_t index : {0, 101, 102}) {
            uint32_t count = 0;
            EXPECT_EQ(CountIndexEntries(engine_, id, index, count), DmsStatus::Success);
            out += (out.empty() ? "" : " ") + std::to_string(count);
        }
        uint32_t cursor = 0;
        if (!Failed(engine_.OpenCursor(id, &cursor)) && !Failed(engine_.SelectIndex(cursor, kIndexProperties))) {
            for (int32_t property : {1, 2}) {
                std::optional<std::u16string> text;
                if (!Failed(GetDictionaryProperty(engine_, cursor, property, text)) && text)
                    out += "\n" + Utf16ToUtf8(*text);
            }
            engine_.CloseCursor(cursor);
        }
        engine_.CloseFile(id);
        return out;
    }
};

TEST_P(EdictCompileRealData, CountsAgreeWithAnIndependentReading) {
#ifdef _WIN32
    GTEST_SKIP() << "the oracle script runs in the native tree";
#endif
    const std::vector<uint8_t> bytes = ReadEdictFile(GetParam());
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam()) << " is not installed";
    const bool whole = std::getenv("OSTREL_WHOLE_EDICT") != nullptr;
    const std::u16string source = Path(std::string(GetParam()) + ".src");
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        const std::string text = whole ? std::string(bytes.begin(), bytes.end()) : Sample(bytes, 25);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    const std::string oracle = Oracle(source);
    ASSERT_FALSE(oracle.empty());
    const std::u16string target = Path("out.qdx");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);

    const std::string counts = Counts(target);
    EXPECT_EQ(counts.substr(0, counts.find('\n')), oracle.substr(0, oracle.find('\n')));
    const std::string name = std::string("\n") + (GetParam() == std::string("edict") ? "EDICT" : "ENAMDICT");
    EXPECT_NE(counts.find(name), std::string::npos) << counts;
    EXPECT_NE(counts.find("\nCopyright"), std::string::npos) << counts;
    EXPECT_EQ(DumpAll(target, {106}), "index 106\n");
    EXPECT_TRUE(Verify(target).empty());
}

INSTANTIATE_TEST_SUITE_P(DebianFiles, EdictCompileRealData, testing::Values("edict", "enamdict"));

}  // namespace
