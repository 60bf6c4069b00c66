// Removing an article's keys deletes only the entries that point at that
// article, even where other articles share the key.
#include "import/key_entries.h"
#include "import/article_record.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/storage_io.h"
#include "common/tests/test_files.h"
#include "dictionary/dictionary_schema.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(KeyEntries, RemovalKeepsOtherArticlesEntries) {
    ScratchFolder folder("import-key-entries");
    const std::filesystem::path path = folder / "keys.qdx";
    const std::string_view schema = DictionarySchemaText;
    CDMS engine(SystemStorageIO());
    int32_t file = 0;
    uint32_t cursor = 0;
    ASSERT_EQ(engine.CreateFile(path.u16string(), schema), DmsStatus::Success);
    ASSERT_EQ(engine.OpenFile(path.u16string(), 1, schema, &file), DmsStatus::Success);
    ASSERT_EQ(engine.OpenCursor(file, &cursor), DmsStatus::Success);
    ASSERT_EQ(engine.SelectIndex(cursor, 101), DmsStatus::Success);
    const DictionaryKey cat{u"ねこ", u"猫", 1, 0}, raccoon{u"ねこ", u"狸", 1, 0}, other{u"いぬ", u"犬", 1, 0};
    for (uint32_t position : {100u, 200u, 300u})
        ASSERT_EQ(InsertDictionaryKey(engine, cursor, 101, cat, MakeKeyReference(position, 1, 1, 0)), DmsStatus::Success);
    ASSERT_EQ(InsertDictionaryKey(engine, cursor, 101, raccoon, MakeKeyReference(200, 1, 1, 0)), DmsStatus::Success);
    ASSERT_EQ(InsertDictionaryKey(engine, cursor, 101, other, MakeKeyReference(200, 1, 1, 0)), DmsStatus::Success);

    EXPECT_EQ(RemoveDictionaryKey(engine, cursor, 101, cat, 200), DmsStatus::Success);
    EXPECT_EQ(RemoveDictionaryKey(engine, cursor, 101, {u"ぞう", u"象", 1, 0}, 200), DmsStatus::Success);
    std::string dump;
    ASSERT_EQ(DumpIndex(engine, file, 101, dump), DmsStatus::Success);
    EXPECT_EQ(dump, "いぬ\t犬\t-> @200 00000101\n"
                    "ねこ\t狸\t-> @200 00000101\n"
                    "ねこ\t猫\t-> @100 00000101\n"
                    "ねこ\t猫\t-> @300 00000101\n");
    engine.CloseCursor(cursor);
    EXPECT_EQ(engine.CloseFile(file), DmsStatus::Success);
}

}  // namespace
