// The request URL split, the time tail, the announced length and the growth
// of memory replies.
#include <gtest/gtest.h>

#include "web/home_url.h"

namespace {

struct SplitCase {
    const char16_t* url;
    const char16_t* host;
    const char16_t* path;
    uint16_t port;
    bool secure;
    bool valid;
};

TEST(HomeUrl, SplitsHostPathPortAndScheme) {
    const SplitCase cases[] = {
        {u"https://www.example.org/a/b", u"www.example.org", u"/a/b", 443, true, true},
        {u"www.example.org:8080/x", u"www.example.org", u"/x", 8080, false, true},
        {u"www.example.org", u"www.example.org", u"", 80, false, true},
        {u"http://127.0.0.1:41234/update/", u"127.0.0.1", u"/update/", 41234, false, true},
        // The scheme decides TLS, not the port.
        {u"https://h:8443/", u"h", u"/", 8443, true, true},
        {u"http://h:443/", u"h", u"/", 443, false, true},
        // A port without a path is still read.
        {u"http://h:8080", u"h", u"", 8080, false, true},
        {u"http://h:65535/", u"h", u"/", 65535, false, true},
        {u"http://h:1/", u"h", u"/", 1, false, true},
        // Outside 1-65,535 or not a number: refused, never sent to another port.
        {u"http://h:65536/", u"h", u"/", 80, false, false},
        {u"http://h:0/", u"h", u"/", 80, false, false},
        {u"http://h:99999999999/", u"h", u"/", 80, false, false},
        {u"http://h:80a/", u"h", u"/", 80, false, false},
        {u"http://h:/", u"h", u"/", 80, false, false},
        // A scheme's letters are read in either case.
        {u"HTTP://h/", u"h", u"/", 80, false, true},
        {u"Https://h/a", u"h", u"/a", 443, true, true},
        {u"hTTpS://h:8443", u"h", u"", 8443, true, true},
        {u"HTTPS:/h/", u"HTTPS", u"/h/", 80, false, false},  // no "//": no scheme, and no port after the colon
        {u"x", u"", u"", 80, false, false},
    };
    for (const SplitCase& c : cases) {
        HomeUrlParts parts = SplitHomeUrl(c.url);
        SCOPED_TRACE(std::string(c.url, c.url + std::char_traits<char16_t>::length(c.url)));
        EXPECT_EQ(parts.valid, c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.path, c.path);
        EXPECT_EQ(parts.port, c.port);
        EXPECT_EQ(parts.secure, c.secure);
    }
}

TEST(HomeUrl, HomeSiteBaseKeepsSchemeHostAndPortOnly) {
    EXPECT_EQ(HomeSiteBaseUrl(u"www.example.org"), u"https://www.example.org/");
    EXPECT_EQ(HomeSiteBaseUrl(u"http://www.example.org/some/page.htm"), u"http://www.example.org/");
    EXPECT_EQ(HomeSiteBaseUrl(u"http://127.0.0.1:8080/"), u"http://127.0.0.1:8080/");
    EXPECT_EQ(HomeSiteBaseUrl(u"https://h:8443"), u"https://h:8443/");
    // A scheme in capitals is the same scheme, written in lower case, and not taken for a host.
    EXPECT_EQ(HomeSiteBaseUrl(u"HTTP://www.example.org/Page.htm"), u"http://www.example.org/");
    EXPECT_EQ(HomeSiteBaseUrl(u"Https://h:8443/x"), u"https://h:8443/");
}

TEST(HomeUrl, TimestampTailIsSecondsInDecimal) {
    std::u16string url = u"http://h/update/";
    AppendTimestampQuery(url, u'?', 1765000000);
    EXPECT_EQ(url, u"http://h/update/?1765000000");
}

TEST(HomeUrl, ContentLengthIsReadAsHttpWritesItAndAbsurdValuesAreNotTrusted) {
    EXPECT_EQ(ParseContentLength(u"0"), 0);
    EXPECT_EQ(ParseContentLength(u"4294967296"), 4294967296LL);  // past 32 bits: still exact
    EXPECT_EQ(ParseContentLength(u"-1"), -1);
    EXPECT_EQ(ParseContentLength(u""), -1);
    EXPECT_EQ(ParseContentLength(u"12x"), -1);
    EXPECT_EQ(ParseContentLength(u"999999999999999999"), 999999999999999999LL);  // 18 digits: the most taken
    EXPECT_EQ(ParseContentLength(u"99999999999999999999"), kContentLengthTooLarge);
    EXPECT_EQ(ParseContentLength(u"1000000000000000000"), kContentLengthTooLarge);
    // Blanks and tabs around the value, and leading zeros however many, as HTTP allows.
    EXPECT_EQ(ParseContentLength(u"\t5000\t"), 5000);
    EXPECT_EQ(ParseContentLength(u" \t 5000 "), 5000);
    EXPECT_EQ(ParseContentLength(std::u16string(80, u'0') + u"5000"), 5000);
    EXPECT_EQ(ParseContentLength(u"0000000000000000000000"), 0);
    EXPECT_EQ(ParseContentLength(u"\t"), -1);
    EXPECT_EQ(ParseContentLength(u"+5"), -1);
    EXPECT_EQ(ParseContentLength(u"5 000"), -1);
    EXPECT_EQ(ParseContentLength(u"5\v"), -1);
    EXPECT_EQ(InitialReplyCapacity(-1), 10000);
    EXPECT_EQ(InitialReplyCapacity(0), 10000);
    EXPECT_EQ(InitialReplyCapacity(1), 2);
    EXPECT_EQ(InitialReplyCapacity(kMemoryReplyCap), kMemoryReplyCap + 1);
    EXPECT_EQ(InitialReplyCapacity(kMemoryReplyCap + 1), 0);
    EXPECT_EQ(InitialReplyCapacity(4294967296LL), 0);
}

// Whatever capacity a reply starts with, every growth leaves room for a whole
// piece and the zero until the cap, and the cap is never passed.
TEST(HomeUrl, GrowthAlwaysLeavesRoomForTheNextPiece) {
    for (int64_t start : {int64_t(2), int64_t(1000), int64_t(2500), int64_t(10000), int64_t(40001)}) {
        int64_t capacity = start;
        int64_t received = start - 1;  // full
        int growths = 0;
        while (true) {
            int64_t grown = GrownReplyCapacity(capacity, received);
            if (grown == 0) break;
            ASSERT_GE(grown, std::min(received + 10001, kMemoryReplyCap + 1));
            ASSERT_LE(grown, kMemoryReplyCap + 1);
            capacity = grown;
            received = capacity - 1;
            ++growths;
        }
        EXPECT_EQ(received, kMemoryReplyCap);
        EXPECT_LT(growths, 20);
    }
    EXPECT_EQ(GrownReplyCapacity(10000, 0), 40000);
    EXPECT_EQ(GrownReplyCapacity(60000000, 59999999), 120000000);   // ×2 from 50,000,000
    EXPECT_EQ(GrownReplyCapacity(3, 2), 12288);                     // ×4 until a piece fits (3·4⁶)
}

TEST(HomeUrl, ProgressIsPerMilleAndClamped) {
    EXPECT_EQ(ProgressPerMille(500, 1000), 500);
    EXPECT_EQ(ProgressPerMille(999999, 999999), 1000);
    EXPECT_EQ(ProgressPerMille(1500000, 3000000), 500);   // received / (total / 1000) from 1,000,000
    EXPECT_EQ(ProgressPerMille(5000, 1000), 1000);        // more than announced
    EXPECT_EQ(ProgressPerMille(5000, -1), 0);
    EXPECT_EQ(ProgressPerMille(3000000000LL, 3000000000LL), 1000);
}

}  // namespace
