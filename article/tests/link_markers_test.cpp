// "<<…>>" link pairs in plain text.
#include <gtest/gtest.h>

#include "article/link_markers.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> Pairs(std::u16string_view text) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const LinkMarkers& link : FindLinkMarkers(text)) out.push_back({link.open, link.close});
    return out;
}

using PairList = std::vector<std::pair<int32_t, int32_t>>;

TEST(LinkMarkers, PairsInOrderUnpairedMarkersAreText) {
    EXPECT_EQ(Pairs(u"猫: <<ねこ【猫】>> 3, <<cat>>"), (PairList{{3, 10}, {16, 21}}));
    EXPECT_EQ(Pairs(u"<<>>"), (PairList{{0, 2}}));
    EXPECT_TRUE(Pairs(u"a >> b << c").empty());
    EXPECT_EQ(Pairs(u"<<a>> <<b"), (PairList{{0, 3}}));
    EXPECT_EQ(Pairs(u"<<<a>>>"), (PairList{{0, 4}}));
    EXPECT_TRUE(Pairs(u"").empty());
}

}  // namespace
