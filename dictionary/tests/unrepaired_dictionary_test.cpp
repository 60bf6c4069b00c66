// A dictionary left half-written by a save that was cut short: the header's
// write-back flag set and no journal that can put it right (none, an empty
// one, a damaged one). Read-only it still opens, as it stands, and says so
// once in a message naming the file and what the repair met; the file and
// its journal are left as they were, the dictionary beside it is not named,
// and a writable open still refuses it.
#include "dictionary/tests/word_list_fixture.h"

namespace {

class UnrepairedDictionaryTest : public WordListTest {};

TEST_F(UnrepairedDictionaryTest, AHalfWrittenDictionaryIsReadAsItStandsAndSaysSoOnce) {
    const std::u16string path = u"C:\\D\\half.qdx", journal = u"C:\\D\\half.trn";
    const std::vector<KeyPair> keys = EdictKeys("edict", 400);
    struct Case {
        std::optional<std::vector<uint8_t>> journal;  // none: no journal file
        const char16_t* reason;
        uint32_t writableStatus;
    };
    const Case cases[] = {
        {std::nullopt, u"Cannot open preimage file", 13},
        {std::vector<uint8_t>(100, 0x5A), u"Broken preimage file", 15},
        {std::vector<uint8_t>(), u"File broken after rollback", 18},
    };
    RDFDictionary* intact = AddSynthetic(u"C:\\D\\intact.qdx", EdictKeys("enamdict", 400));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reason, c.reason + std::char_traits<char16_t>::length(c.reason)));
        app.messages.clear();
        disk.Delete(path);
        WriteSynthetic(path, keys);
        std::vector<uint8_t> bytes = *disk.Contents(path);
        bytes[14] = bytes[15] = 0xFF;  // the write-back flag of the header page
        disk.SetContents(path, bytes);
        disk.Delete(journal);
        if (c.journal) disk.SetContents(journal, *c.journal);

        std::unique_ptr<RDFDictionary> writable = MakeDictionary(path);
        EXPECT_EQ(writable->Open(1), c.writableStatus);
        EXPECT_TRUE(app.messages.empty());

        std::unique_ptr<RDFDictionary> reader = MakeDictionary(path);
        ASSERT_EQ(reader->Open(2), 0u);
        EXPECT_EQ(StatusCode(reader->UnrepairedStatus()), static_cast<int32_t>(c.writableStatus));
        EXPECT_EQ(reader->readingCount, static_cast<int32_t>(keys.size()));  // read as it stands
        ASSERT_EQ(app.messages.size(), 1u);
        EXPECT_EQ(app.messages[0].text, u"The dictionary " + path + u" was left half-written by a save that did not "
                                        u"end, and the journal that would repair it cannot be used; it is read as "
                                        u"it was left:\n" + c.reason);
        EXPECT_EQ(app.messages[0].caption, u"Cannot Read a File");
        reader->Close();
        ASSERT_EQ(reader->Open(2), 0u);
        reader->Close();
        EXPECT_EQ(app.messages.size(), 1u) << "once";
        EXPECT_EQ(*disk.Contents(path), bytes) << "the file is left as it was";
        EXPECT_EQ(disk.Contents(journal), c.journal) << "and so is its journal";
    }
    EXPECT_FALSE(Failed(intact->UnrepairedStatus()));
    EXPECT_EQ(intact->ReadRefusal(), DmsStatus::Success);
}

}  // namespace
