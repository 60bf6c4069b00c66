// The news of the update reply and the decision to announce a version.
#include <gtest/gtest.h>

#include "web/news_items.h"

namespace {

bool Announces(const std::string& reply, uint32_t noRemind, std::u16string* edition = nullptr) {
    auto items = ParseNewsItems(reply);
    uint32_t version[4];
    bool shown = AnnouncedNewerVersion(items[kUpdateNewsItem - 1], noRemind, version);
    if (shown && edition) *edition = EditionName(version);
    return shown;
}

TEST(NewsItems, ReadsKeysSerialsAndValuesAnywhereInTheReply) {
    auto items = ParseNewsItems("<html>News1_12=abc<br>News2_000005=11.12 News:_7=ten News3_1234567=x "
                                "News4_8 =no News5_9=0123456789ABCDEF News6_3=a b");
    EXPECT_EQ(items[0].serial, 12u);
    EXPECT_EQ(items[0].value, "abc");            // "<" ends a value
    EXPECT_EQ(items[1].serial, 5u);
    EXPECT_EQ(items[1].value, "11.12");
    EXPECT_EQ(items[9].serial, 7u);              // item 10 is written ":"
    EXPECT_EQ(items[9].value, "ten");
    EXPECT_EQ(items[2].serial, 0u);              // a seventh digit: absent
    EXPECT_EQ(items[3].serial, 0u);              // digits not followed by "="
    EXPECT_EQ(items[4].value, "0123456789");     // cut to 10 bytes
    EXPECT_EQ(items[5].value, "a");              // a blank ends a value
    EXPECT_EQ(NewsItemCharacter(10), u':');
}

TEST(NewsItems, AnnouncesOnlyANewerVersionNotDismissed) {
    std::u16string edition;
    EXPECT_FALSE(Announces("News2_5=11.11.0", 0));
    EXPECT_TRUE(Announces("News2_5=11.12", 0, &edition));
    EXPECT_EQ(edition, u"Ostrel Pro 11.12");
    EXPECT_TRUE(Announces("News2_5=11.11.1", 0, &edition));
    EXPECT_EQ(edition, u"Ostrel Pro 11.11.1");
    EXPECT_TRUE(Announces("News2_5=12", 0, &edition));
    EXPECT_EQ(edition, u"Ostrel Pro 12");
    EXPECT_FALSE(Announces("News2_5=10.99.9", 0));
    EXPECT_FALSE(Announces("News2_5=11.12", 5));      // dismissed with this serial
    EXPECT_TRUE(Announces("News2_6=11.12", 5));       // a higher serial comes again
    EXPECT_FALSE(Announces("News2_0=11.12", 0));
    EXPECT_FALSE(Announces("News2_5=", 0));
    EXPECT_FALSE(Announces("News2_5=11.101", 0));     // not a version
    EXPECT_FALSE(Announces("News2_1234567=12", 0));
    EXPECT_EQ(DownloadPage(0), u"download/download_r.htm");
    EXPECT_EQ(DownloadPage(1), u"download/download_e.htm");
    EXPECT_EQ(DownloadPage(2), u"download/download_j.htm");
}

}  // namespace
