// Shared pieces of the compiler tests: a scratch folder, UTF-16 files, an
// engine with a dictionary object, a compile with fixed identity, the
// engine's structure verifier over a result, and own markup made from
// Debian's EDICT lines.
#pragma once

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/index_tree.h"
#include "storage/storage_io.h"
#include "storage/structure_verifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

class CompileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.emplace("import-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { folder_.reset(); }

    std::u16string Path(const std::string& name) const { return (*folder_ / name).u16string(); }

    static void WriteUtf16File(const std::u16string& path, std::u16string_view text) {
        std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
        out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
        for (char16_t c : text) out.put(static_cast<char>(c & 0xFF)).put(static_cast<char>(c >> 8));
    }
    static bool Exists(const std::u16string& path) { return std::filesystem::exists(std::filesystem::path(path)); }

    struct Options {
        bool compact = true;
        bool bulk = true;
        CDictionary* sourceDictionary = nullptr;
        size_t fullTextBatchPostings = 0;  // 0: the converter's own
        size_t sourcePartUnits = 0;        // 0: the converter's own
        std::array<std::u16string, 4> languages{};  // the dictionary's (a Tatoeba source needs two)
    };
    // Compiles `source` into `target` with a fixed identity; 1 on success.
    // `flags` 0: the format the sniffer finds.
    // `leftOut` receives the text of what the compile left out of the source.
    int32_t Compile(const std::u16string& source, const std::u16string& target, Options options,
                    SilentCompileUi* ui = nullptr, std::u16string* error = nullptr, uint32_t flags = 0,
                    std::u16string* leftOut = nullptr) {
        CDictionary dictionary(kFormatStoreDatabase, engine_);
        for (int i = 0; i < 4; ++i) std::copy_n(options.languages[i].data(), std::min<size_t>(options.languages[i].size(), 3), dictionary.languages[i]);
        SilentCompileUi silent;
        CConverter converter(dictionary, CConverter::kNewFile, ui ? *ui : silent, env_);
        converter.compactionEnabled = options.compact;
        converter.bulkLoadEnabled = options.bulk;
        converter.sourceDictionary = options.sourceDictionary;
        if (options.fullTextBatchPostings) converter.fullTextBatchPostings = options.fullTextBatchPostings;
        if (options.sourcePartUnits) converter.sourcePartUnits = options.sourcePartUnits;
        if (flags == 0) flags = options.sourceDictionary ? kFormatOwnText : DetectDictionaryFileFormat(source.c_str());
        const int32_t result = converter.Convert(flags, source, target);
        if (error) *error = converter.errorText;
        if (leftOut) *leftOut = converter.Report().Text();
        largestArticleBytes_ = converter.LargestArticleBytes();
        storedArticles_ = converter.StoredArticles();
        notWhole_ = converter.Report().NotWhole();
        return result;
    }

    // Every index of the program, dumped; "" when the file does not open.
    std::string DumpAll(const std::u16string& file, std::initializer_list<int32_t> indexes = {0, 101, 102, 106}) {
        int32_t id = 0;
        if (Failed(engine_.OpenFile(file, 2, DictionarySchemaText, &id))) return "";
        std::string dump;
        for (int32_t index : indexes) {
            dump += "index " + std::to_string(index) + "\n";
            EXPECT_EQ(DumpIndex(engine_, id, index, dump), DmsStatus::Success);
        }
        engine_.CloseFile(id);
        return dump;
    }

    // The entry count of an index of a compiled file; 0 when it does not open.
    uint32_t IndexEntries(const std::u16string& file, int32_t index) {
        int32_t id = 0;
        uint32_t count = 0;
        if (Failed(engine_.OpenFile(file, 2, DictionarySchemaText, &id))) return 0;
        EXPECT_EQ(CountIndexEntries(engine_, id, index, count), DmsStatus::Success);
        engine_.CloseFile(id);
        return count;
    }

    // The structure verifier's findings over the file and each index; empty when sound.
    std::vector<std::string> Verify(const std::u16string& file) {
        int32_t id = 0;
        if (Failed(engine_.OpenFile(file, 2, DictionarySchemaText, &id))) return {"cannot open"};
        DMSFile& opened = *engine_.FindFile(id);
        VerifyReport report = VerifyFile(opened);
        for (const IndexDefinition& index : opened.Description().indexes) {
            std::string problem;
            if (Failed(VerifyIndex(opened, index.keyId, &problem)))
                report.faults.push_back("index " + std::to_string(index.keyId) + ": " + problem);
        }
        engine_.CloseFile(id);
        return report.faults;
    }

    std::optional<ScratchFolder> folder_;
    CDMS engine_{SystemStorageIO()};
    FixedCompileEnv env_;
    uint64_t largestArticleBytes_ = 0;  // of the last Compile
    uint32_t storedArticles_ = 0;       // of the last Compile
    bool notWhole_ = false;             // the last Compile's source ended before its own end
};

// Own markup made from the first `limit` lines of Debian's EDICT (EUC-JP):
// "WORD [READING] /sense/sense/" becomes an article with the word, the
// reading and one translation per sense. Empty when the file is missing.
std::u16string EdictAsOwnMarkup(size_t limit);
// Own kanji markup made from the first `limit` kanji of Debian's KANJIDIC.
std::u16string KanjidicAsOwnMarkup(size_t limit);
