#include "common/base/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "common/tests/test_files.h"

namespace {

std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

}  // namespace

TEST(Crc32, CheckValueOfTheStandardVector) {
    CCrc32Dynamic crc;
    crc.Init();
    EXPECT_EQ(crc.Compute(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc.Compute({}), 0u);
}

TEST(Crc32, AgreesWithZlibOnRandomBuffers) {
    CCrc32Dynamic crc;
    crc.Init();
    std::mt19937 random(7);
    for (size_t size : {1u, 3u, 255u, 4096u, 4097u, 100000u}) {
        std::vector<uint8_t> data(size);
        for (auto& b : data) b = uint8_t(random());
        EXPECT_EQ(crc.Compute(data), uint32_t(crc32(0, data.data(), uInt(size)))) << size;
    }
}

TEST(Crc32, FileCrcAgreesWithZlibOnDebianDictionaryFiles) {
    CCrc32Dynamic crc;
    crc.Init();
    for (const char* name : {"/usr/share/edict/edict", "/usr/share/edict/kanjidic"}) {
        const auto path = HostPath(name);
        const auto bytes = ReadBytes(path);
        ASSERT_FALSE(bytes.empty()) << name;
        uint32_t fileCrc = 0;
        ASSERT_EQ(crc.FileCrc32Win32(path.u16string().c_str(), fileCrc), 0) << name;
        EXPECT_EQ(fileCrc, uint32_t(crc32(0, bytes.data(), uInt(bytes.size())))) << name;
    }
}

TEST(Crc32, FileCrcReportsErrorsInsteadOfACrc) {
    CCrc32Dynamic crc;
    uint32_t value = 0;
    ScratchFolder folder("crc");
    WriteBytes(folder / "a.bin", {1, 2, 3});
    const std::u16string file = (folder / "a.bin").u16string();

    EXPECT_EQ(crc.FileCrc32Win32(file.c_str(), value), CCrc32Dynamic::kErrorCrc);  // no table yet
    crc.Init();
    EXPECT_EQ(crc.FileCrc32Win32(file.c_str(), value), 0);
    EXPECT_EQ(value, uint32_t(crc32(0, reinterpret_cast<const Bytef*>("\1\2\3"), 3)));

    const std::u16string missing = (folder / "missing.bin").u16string();
    EXPECT_EQ(crc.FileCrc32Win32(missing.c_str(), value), 2);  // file not found (ENOENT / ERROR_FILE_NOT_FOUND)

    // A folder opens natively but cannot be read: a read failure must give
    // its error, not the CRC of nothing. (Windows refuses it at the open.)
    const std::u16string folderName = folder.path().u16string();
    EXPECT_NE(crc.FileCrc32Win32(folderName.c_str(), value), 0);

    crc.Free();
    EXPECT_EQ(crc.FileCrc32Win32(file.c_str(), value), CCrc32Dynamic::kErrorCrc);
}
