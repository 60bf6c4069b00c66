// The formatters' context in the program: a word looked up in the shelf's
// first dictionary (compiled here from Debian's EDICT lines) comes back as
// that dictionary's parsed entry, and the first dictionary asking for itself
// gets nothing, so its own parsed record stays as it is.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_element.h"
#include "dictionary/format_detection.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"
#include "ui/frame_article_context.h"

TEST(FrameArticleContext, WordsAreFoundInTheFirstDictionaryOnly) {
    RegisterImportParsers();
    ScratchFolder folder("frame-article-context");
    // The header line and 300 lines from the middle of Debian's EDICT.
    std::vector<uint8_t> bytes = ReadEdictFile("edict");
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    ASSERT_GT(lines.size(), 10000u);
    std::ofstream source(folder / "edict", std::ios::binary);
    std::vector<std::u16string> texts;
    for (size_t i : {size_t{0}}) source.write(reinterpret_cast<const char*>(lines[i].data()), lines[i].size()).put('\n');
    for (size_t i = lines.size() / 2; i < lines.size() / 2 + 300; ++i) {
        source.write(reinterpret_cast<const char*>(lines[i].data()), lines[i].size()).put('\n');
        texts.push_back(DecodeEucJpLine(lines[i]));
    }
    source.close();
    CDMS engine(SystemStorageIO());
    std::u16string sourcePath = (folder / "edict").u16string(), first = (folder / "first.qdx").u16string();
    {
        CDictionary compiled(kFormatStoreDatabase, engine);
        SilentCompileUi ui;
        FixedCompileEnv env;
        CConverter converter(compiled, CConverter::kNewFile, ui, env);
        ASSERT_EQ(converter.Convert(DetectDictionaryFileFormat(sourcePath.c_str()), sourcePath, first), 1);
    }
    std::u16string second = (folder / "second.qdx").u16string();
    std::filesystem::copy_file(std::filesystem::path(first), std::filesystem::path(second));

    CInput input;
    CShelf shelf(engine, nullptr, input);
    RDFDictionary* head = shelf.AddDictionary(kFormatStoreDatabase, first);
    RDFDictionary* asking = shelf.AddDictionary(kFormatStoreDatabase, second);
    ASSERT_EQ(head->Open(2), 0u);
    ASSERT_EQ(asking->Open(2), 0u);
    FrameArticleContext context(shelf);

    int checked = 0;
    for (const std::u16string& text : texts) {
        size_t open = text.find(u" ["), close = text.find(u"] /");
        if (open == std::u16string::npos || close == std::u16string::npos || close < open) continue;
        std::u16string word = text.substr(0, open), reading = text.substr(open + 2, close - open - 2);
        std::u16string gloss = text.substr(close + 3, text.find(u'/', close + 3) - close - 3);
        FoundEntry found;
        ASSERT_TRUE(context.FindInFirstDictionary(*asking, word, reading, found)) << checked;
        ASSERT_EQ(found.dictionary, head);
        const DictionaryElement& entry = head->Elements()[found.entryElement];
        ASSERT_EQ(entry.kind, kElementEntryStart);
        std::u16string span(entry.begin, entry.end + 1);
        EXPECT_NE(span.find(gloss), std::u16string::npos) << checked;
        EXPECT_FALSE(context.FindInFirstDictionary(*head, word, reading, found));
        if (++checked == 20) break;
    }
    EXPECT_EQ(checked, 20);
    FoundEntry none;
    EXPECT_FALSE(context.FindInFirstDictionary(*asking, u"not a word", u"ないことば", none));
}
