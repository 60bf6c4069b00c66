#include "common/text/url_encode.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Encodes with exactly the room asked for, the 0 included.
std::string Encode(const std::string& text) {
    uint32_t size = 0;
    auto bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    EXPECT_EQ(UrlEncode(bytes, nullptr, &size, 0), kUrlEncodeNoRoom);
    std::vector<uint8_t> out(size + 1, 0xEE);
    uint32_t room = size;
    EXPECT_EQ(UrlEncode(bytes, out.data(), &room, 0), kUrlEncodeOk);
    EXPECT_EQ(room + 1, size);
    EXPECT_EQ(out[size - 1], 0);
    EXPECT_EQ(out[size], 0xEE);
    return std::string(reinterpret_cast<const char*>(out.data()), room);
}

TEST(UrlEncode, KeepsLettersAndDigitsAndEscapesEverythingElse) {
    EXPECT_EQ(Encode("a b"), "a%20b");
    EXPECT_EQ(Encode("Az09"), "Az09");
    EXPECT_EQ(Encode("-_.~/?&="), "%2D%5F%2E%7E%2F%3F%26%3D");
    EXPECT_EQ(Encode("\xE8\xBE\x9E"), "%E8%BE%9E");   // UTF-8 of 辞
    EXPECT_EQ(Encode(""), "");
}

// Each byte against a model: letters and digits as themselves, else %XX.
TEST(UrlEncode, EveryByteValueMatchesTheModel) {
    for (int b = 1; b < 256; ++b) {
        std::string text(1, static_cast<char>(b));
        char model[4];
        if (std::isalnum(b) && b < 0x80) std::snprintf(model, sizeof model, "%c", b);
        else std::snprintf(model, sizeof model, "%%%02X", b);
        EXPECT_EQ(Encode(text), model) << b;
    }
}

// The size is a capacity that holds the terminator too: "a b" needs 5 bytes
// and its 0, and a buffer of exactly 5 is refused without being written.
TEST(UrlEncode, RefusesWhenTheTerminatorWouldNotFit) {
    uint8_t out[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    uint32_t size = 5;
    EXPECT_EQ(UrlEncode(reinterpret_cast<const uint8_t*>("a b"), out, &size, 0), kUrlEncodeNoRoom);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(out[5], 0xEE);
    size = 6;
    EXPECT_EQ(UrlEncode(reinterpret_cast<const uint8_t*>("a b"), out, &size, 0), kUrlEncodeOk);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out)), "a%20b");
}

TEST(UrlEncode, DropsBytesFromTheLimitOn) {
    std::string text(kUrlEncodeMaxInput + 10, 'x');
    EXPECT_EQ(Encode(text).size(), kUrlEncodeMaxInput);
}

TEST(UrlEncode, NullArgumentsAreRefused) {
    uint32_t size = 10;
    uint8_t out[10];
    EXPECT_EQ(UrlEncode(nullptr, out, &size, 0), kUrlEncodeNoRoom);
    EXPECT_EQ(UrlEncode(reinterpret_cast<const uint8_t*>("a"), out, nullptr, 0), kUrlEncodeNoRoom);
}

}  // namespace
