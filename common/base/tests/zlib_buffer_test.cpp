#include "common/base/zlib_buffer.h"

#include <gtest/gtest.h>

#include <random>

#include "common/tests/test_files.h"

TEST(ZlibBuffer, RoundTripsDebianDictionaryFiles) {
    for (const char* name : {"/usr/share/edict/edict", "/usr/share/edict/enamdict", "/usr/share/edict/kanjidic"}) {
        const auto bytes = ReadBytes(HostPath(name));
        ASSERT_FALSE(bytes.empty()) << name;
        std::vector<uint8_t> packed, unpacked;
        ASSERT_EQ(ZCompressBuffer(packed, bytes), 0) << name;
        EXPECT_LT(packed.size(), bytes.size() / 2) << name;
        ASSERT_EQ(ZUncompressBuffer(unpacked, uint32_t(bytes.size()), packed), 0) << name;
        EXPECT_TRUE(unpacked == bytes) << name;
    }
}

TEST(ZlibBuffer, IncompressibleDataFitsTheBound) {
    std::mt19937 random(3);
    for (size_t size : {0u, 1u, 100u, 65536u, 300000u}) {
        std::vector<uint8_t> data(size);
        for (auto& b : data) b = uint8_t(random());
        std::vector<uint8_t> packed, unpacked;
        ASSERT_EQ(ZCompressBuffer(packed, data), 0) << size;
        EXPECT_LE(packed.size(), size + 12 + size / 100);
        ASSERT_EQ(ZUncompressBuffer(unpacked, uint32_t(size), packed), 0) << size;
        EXPECT_TRUE(unpacked == data);
    }
}

TEST(ZlibBuffer, EmptyInputAllocatesTwelveBytes) {
    std::vector<uint8_t> packed;
    ASSERT_EQ(ZCompressBuffer(packed, {}), 0);
    EXPECT_GE(packed.capacity(), 12u);
    EXPECT_LE(packed.size(), 12u);
}

TEST(ZlibBuffer, DamagedOrShortStreamsFail) {
    const std::vector<uint8_t> text(5000, 'a');
    std::vector<uint8_t> packed, out;
    ASSERT_EQ(ZCompressBuffer(packed, text), 0);
    EXPECT_EQ(ZUncompressBuffer(out, 4999, packed), 1);  // room too small
    auto damaged = packed;
    damaged[damaged.size() / 2] ^= 0xFF;
    damaged.back() ^= 0xFF;
    EXPECT_EQ(ZUncompressBuffer(out, 5000, damaged), 1);
    EXPECT_EQ(ZUncompressBuffer(out, 5000, std::span(packed).first(packed.size() - 3)), 1);
    EXPECT_TRUE(ZlibVersionUsable());
}
