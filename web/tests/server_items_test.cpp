// How an offered item compares with the shelf, its image and its target.
#include <gtest/gtest.h>

#include "web/server_items.h"

namespace {

CWebDictionary Offered(CWebDictionaries& list, const std::string& extra) {
    list.SetText("[Dic]\nUrl=http://h/d/\nFilename=a.qdx\nSize=1000\n" + extra);
    list.Parse();
    return list.Items().at(0);
}

TEST(ServerItems, MatchesByVersionThenDateThenFile) {
    CWebDictionaries list;
    CWebDictionary item = Offered(list, "Version=1.3\nDataDate=2024-05-01\n");
    InstalledFacts older{u"1.2", u"2024-05-01"};
    EXPECT_EQ(MatchLocalStatus(item, &older, 1000u), local_status::kNewerOnServer);
    InstalledFacts sameVersion{u"1.3", u"2024-04-30"};
    EXPECT_EQ(MatchLocalStatus(item, &sameVersion, 1000u), local_status::kNewerOnServer);   // by date
    InstalledFacts newerDate{u"1.3", u"2024-06-01"};
    EXPECT_EQ(MatchLocalStatus(item, &newerDate, 1u), local_status::kSame);
    InstalledFacts longerDate{u"", u"2024-05-01 extra"};   // compared over DataDate's length: equal
    EXPECT_EQ(MatchLocalStatus(item, &longerDate, 1000u), local_status::kSame);   // then the size
    EXPECT_EQ(MatchLocalStatus(item, &longerDate, 999u), local_status::kNewerOnServer);
    InstalledFacts shorterDate{u"", u"2024"};
    EXPECT_EQ(MatchLocalStatus(item, &shorterDate, 1000u), local_status::kNewerOnServer);
    EXPECT_EQ(MatchLocalStatus(item, nullptr, std::nullopt), local_status::kNotInstalled);
    EXPECT_EQ(MatchLocalStatus(item, nullptr, 1000u), local_status::kSame);
    EXPECT_EQ(MatchLocalStatus(item, nullptr, 5u), local_status::kNewerOnServer);
}

TEST(ServerItems, ImagesAndTargets) {
    CWebDictionaries list;
    CWebDictionary book = Offered(list, "Type=Book\n");
    CWebDictionary other = Offered(list, "");
    const int32_t bookImages[] = {10, 11, 9}, otherImages[] = {5, 6, 1};
    for (int32_t status = 0; status < 3; ++status) {
        book.localStatus = other.localStatus = status;
        EXPECT_EQ(ServerItemImage(book), bookImages[status]);
        EXPECT_EQ(ServerItemImage(other), otherImages[status]);
    }
    EXPECT_EQ(DownloadTargetPath(u"C:\\D", u"a.qdx"), u"C:\\D\\a.qdx");
    EXPECT_EQ(DownloadTargetPath(u"C:\\D\\", u"a.qdx"), u"C:\\D\\a.qdx");
    EXPECT_EQ(DownloadTargetPath(u"C:\\D", u"..\\a.qdx"), u"");
    EXPECT_EQ(DownloadTargetPath(u"C:\\" + std::u16string(245, u'd'), u"ab.qdx").size(), 255u);
    EXPECT_EQ(DownloadTargetPath(u"C:\\" + std::u16string(245, u'd'), u"abc.qdx"), u"");
}

}  // namespace
