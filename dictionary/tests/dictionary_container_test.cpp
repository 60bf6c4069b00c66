// ReadDictionaryFile on containers made by python3's zlib (sound and damaged),
// on Debian's edict as shipped, and on small and unknown files: content or a
// clear failure, never a success without content.
#include "common/tests/test_paths.h"
#include "dictionary/dictionary_container.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/base/bin_file.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/format_detection.h"

namespace {

std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(BinaryPath()) / "dictionary" / "test_fixtures" / name;
}

class ReadDictionaryFileTest : public ::testing::Test {
protected:
    uint32_t Read(const std::filesystem::path& path) {
        BinFile file(nullptr);
        EXPECT_TRUE(file.SetPath(path.u16string().c_str()));
        const uint32_t result = ReadDictionaryFile(file, content);
        EXPECT_EQ(file.descriptor, -1);
        EXPECT_EQ(file.buffer, nullptr);
        return result;
    }
    void ExpectNoContent(DictionaryFileError error) {
        EXPECT_EQ(content.error, error);
        EXPECT_TRUE(content.bytes.empty());
        EXPECT_EQ(content.size, 0u);
        EXPECT_FALSE(content.errorText.empty());
    }
    void ExpectContent(const std::vector<unsigned char>& expected) {
        EXPECT_EQ(content.error, DictionaryFileError::None);
        ASSERT_EQ(content.size, expected.size());
        ASSERT_EQ(content.bytes.size(), expected.size() + DictionaryFileContent::kPadding);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), content.bytes.begin()));
        for (uint32_t i = 0; i < DictionaryFileContent::kPadding; ++i) EXPECT_EQ(content.bytes[content.size + i], 0);
    }

    FakeAppContext app;
    ScopedAppContext scope{app};
    DictionaryFileContent content;
};

TEST_F(ReadDictionaryFileTest, ContainersInflateToTheirMarkup) {
    for (const char* name : {"words", "kanji_lower_case"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Read(Fixture(std::string(name) + ".ost")), 1u);
        ExpectContent(ReadBytes(Fixture(std::string(name) + ".content")));
        EXPECT_TRUE(content.formatFlags & kFormatCompressed);
    }
    EXPECT_EQ(content.formatFlags, 0x180100u);  // the kanji container, under 256 bytes, is not refused
    EXPECT_TRUE(app.messages.empty());
}

TEST_F(ReadDictionaryFileTest, DamagedContainersAreRefusedWithoutContent) {
    for (const char* name : {"length_too_small", "length_too_large", "length_huge", "length_zero",
                             "stream_flipped", "stream_truncated", "header_only"}) {
        SCOPED_TRACE(name);
        const auto before = ReadBytes(Fixture(std::string(name) + ".ost"));
        EXPECT_EQ(Read(Fixture(std::string(name) + ".ost")), 0u);
        ExpectNoContent(DictionaryFileError::CorruptContainer);
        EXPECT_NE(content.errorText.find(Fixture(std::string(name) + ".ost").u16string()), std::u16string::npos);
        EXPECT_EQ(ReadBytes(Fixture(std::string(name) + ".ost")), before);
    }
}

// Any single damaged byte of a container either fails or, where it cannot
// matter, still gives exactly the original content.
TEST_F(ReadDictionaryFileTest, NoDamagedByteGivesWrongContent) {
    const auto sound = ReadBytes(Fixture("words.ost"));
    const auto expected = ReadBytes(Fixture("words.content"));
    ScratchFolder folder("container-damage");
    for (size_t at = 0; at < sound.size(); at += 7) {
        auto damaged = sound;
        damaged[at] ^= 0xA5;
        WriteBytes(folder / "damaged.ost", damaged);
        SCOPED_TRACE(at);
        if (Read(folder / "damaged.ost") == 1) ExpectContent(expected);
    }
}

TEST_F(ReadDictionaryFileTest, OtherFormatsAreHandedOverAsTheyAre) {
    const std::filesystem::path edict = HostPath("/usr/share/edict/edict");
    ASSERT_EQ(Read(edict), 1u);
    EXPECT_EQ(content.formatFlags, 0x3440000u);
    ExpectContent(ReadBytes(edict));
}

TEST_F(ReadDictionaryFileTest, SmallKnownFileIsRead) {
    ScratchFolder folder("container-small");
    std::vector<unsigned char> markup;
    for (char16_t u : std::u16string(u"{\\rdf1\n{\\w 字}{\\t x}\n}\n")) {
        markup.push_back(static_cast<unsigned char>(u & 0xFF));
        markup.push_back(static_cast<unsigned char>(u >> 8));
    }
    WriteBytes(folder / "small.txt", markup);
    ASSERT_EQ(Read(folder / "small.txt"), 1u);
    EXPECT_EQ(content.formatFlags, 0x40200u);
    ExpectContent(markup);
}

// Only an unknown file of some size is worth a box; every failure has a text.
TEST_F(ReadDictionaryFileTest, MissingSmallAndUnknownFilesFail) {
    ScratchFolder folder("container-unknown");
    EXPECT_EQ(Read(folder / "missing.ost"), 0u);
    ExpectNoContent(DictionaryFileError::Unreadable);
    WriteBytes(folder / "notes.txt", std::vector<unsigned char>(200, 'a'));
    EXPECT_EQ(Read(folder / "notes.txt"), 0u);
    ExpectNoContent(DictionaryFileError::TooSmall);
    EXPECT_TRUE(app.messages.empty());

    WriteBytes(folder / "notes.txt", std::vector<unsigned char>(300, 'a'));
    EXPECT_EQ(Read(folder / "notes.txt"), 0u);
    ExpectNoContent(DictionaryFileError::UnknownFormat);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, (folder / "notes.txt").u16string() + u" - not a Ostrel dictionary file!");
    EXPECT_EQ(app.messages[0].caption, UIStringTable[178]);
    EXPECT_EQ(content.errorText, app.messages[0].text);
}

}  // namespace
