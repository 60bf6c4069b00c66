#include "common/base/bin_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/tests/test_files.h"

namespace {

std::u16string U16(const std::filesystem::path& p) { return p.u16string(); }

}  // namespace

TEST(BinFile, ObjectsLinkIntoTheOwnersListAndUnlinkWhenDestroyed) {
    BinFile* head = nullptr;
    auto* a = new BinFile(&head);
    auto* b = new BinFile(&head);
    auto* c = new BinFile(&head);
    EXPECT_EQ(head, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(c->prev, b);
    delete b;
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->prev, a);
    delete a;
    EXPECT_EQ(head, c);
    EXPECT_EQ(c->prev, nullptr);
    delete c;
    EXPECT_EQ(head, nullptr);
}

TEST(BinFile, WholeFileReadIsExactAndFollowedByZeros) {
    ScratchFolder folder("binfile-whole");
    const std::vector<unsigned char> bytes = {'e', 'd', 'i', 'c', 't', 0xA4, 0xA2};
    WriteBytes(folder / "x.txt", bytes);
    BinFile file(nullptr);
    ASSERT_TRUE(file.SetPath(U16(folder / "x.txt").c_str()));
    EXPECT_EQ(file.fileSize, bytes.size());
    EXPECT_GT(file.lastWriteTime, 0u);
    const uint8_t* data = file.OpenReadWhole();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(file.bufferSize, int32_t(bytes.size()));
    EXPECT_EQ(file.fileSize, bytes.size());
    EXPECT_EQ(std::memcmp(data, bytes.data(), bytes.size()), 0);
    for (int i = 0; i < BinFile::kWholeFilePadding; ++i) EXPECT_EQ(data[bytes.size() + size_t(i)], 0);
    EXPECT_EQ(file.descriptor, -1);  // closed after reading
}

TEST(BinFile, WholeReadOfAMissingOrEmptyFile) {
    ScratchFolder folder("binfile-empty");
    WriteBytes(folder / "empty", {});
    BinFile file(nullptr);
    file.SetPath(U16(folder / "empty").c_str());
    const uint8_t* data = file.OpenReadWhole();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(file.bufferSize, 0);
    EXPECT_EQ(data[0], 0);

    file.SetPath(U16(folder / "none").c_str());
    EXPECT_EQ(file.fileSize, 0u);
    EXPECT_EQ(file.lastWriteTime, 0u);
    EXPECT_EQ(file.OpenReadWhole(), nullptr);
    EXPECT_EQ(file.LastError(), 2);
}

TEST(BinFile, SizesAreSixtyFourBitAndHugeWholeReadsAreRefused) {
    ScratchFolder folder("binfile-huge");
    const auto name = folder / "sparse.bin";
    WriteBytes(name, {1});
    std::filesystem::resize_file(name, 5ull << 30);  // sparse: costs no disk
    BinFile file(nullptr);
    file.SetPath(U16(name).c_str());
    EXPECT_EQ(file.fileSize, 5ull << 30);
    EXPECT_EQ(file.GetSize(), 5ull << 30);
    EXPECT_EQ(file.OpenReadWhole(), nullptr);
    EXPECT_NE(file.LastError(), 0);
    EXPECT_EQ(file.buffer, nullptr);
    ASSERT_GE(file.OpenRead(), 0);
    EXPECT_EQ(file.GetSize(), 5ull << 30);
    EXPECT_EQ(file.Seek((4ull << 30) + 7), int64_t((4ull << 30) + 7));
}

TEST(BinFile, ReadWriteSeekAndErrorsGiveZero) {
    ScratchFolder folder("binfile-rw");
    BinFile file(nullptr);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 0);  // not open
    EXPECT_EQ(file.Write("abcd", 4), 0);
    EXPECT_EQ(file.Seek(0), -1);

    file.SetPath(U16(folder / "rw.bin").c_str());
    ASSERT_GE(file.Open(O_RDWR | O_CREAT | O_TRUNC), 0);
    EXPECT_EQ(file.Write("hello, world", 12), 12);
    EXPECT_EQ(file.GetSize(), 12u);
    EXPECT_EQ(file.Seek(7), 7);
    EXPECT_EQ(file.Read(buffer, 16), 5);
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(file.Read(buffer, 0), 0);
    EXPECT_EQ(file.Read(nullptr, 4), 0);

    ASSERT_GE(file.OpenRead(), 0);
    EXPECT_EQ(file.Write("x", 1), 0);  // the CRT's -1 becomes 0
    EXPECT_NE(file.LastError(), 0);

    EXPECT_NE(file.AllocBuffer(8), nullptr);
    uint8_t* same = file.buffer;
    EXPECT_EQ(file.AllocBuffer(8), same);
    file.Seek(0);
    EXPECT_EQ(file.ReadToBuffer(9), 0);  // more than the buffer holds
    EXPECT_EQ(file.ReadToBuffer(5), 5);
    EXPECT_EQ(std::memcmp(file.buffer, "hello", 5), 0);
    file.Close(true);
    EXPECT_EQ(file.path[0], 0);
    EXPECT_EQ(file.fileSize, 0u);
    EXPECT_EQ(file.buffer, nullptr);
}

TEST(BinFile, JapaneseAndCyrillicFileNames) {
    ScratchFolder folder("binfile-names");
    for (const char16_t* name : {u"辞書データ.qdx", u"словарь.txt"}) {
        const auto path = folder / std::filesystem::path(std::u16string(name));
        WriteBytes(path, {0x41, 0x42});
        BinFile file(nullptr);
        ASSERT_TRUE(file.SetPath(path.u16string().c_str()));
        EXPECT_EQ(file.fileSize, 2u);
        const uint8_t* data = file.OpenReadWhole();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data[1], 0x42);
    }
}

TEST(BinFile, OverlongPathsAreRefused) {
    BinFile file(nullptr);
    std::u16string longPath(300, u'a');
    EXPECT_FALSE(file.SetPath(longPath.c_str()));
    EXPECT_FALSE(file.SetPath(nullptr));
    EXPECT_EQ(file.path[0], 0);
}
