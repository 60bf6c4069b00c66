// The translator's table of kept walks against a map, through additions and
// sweeps that keep all, some or none of what it holds.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "japanese/walk_table.h"

namespace ostrel::japanese {
namespace {

TEST(WalkTable, AgreesWithAMapThroughAdditionsAndSweeps) {
    WalkTable<int> table;
    std::map<std::u16string, int> model;
    std::mt19937 random(52);
    auto key = [](uint32_t n) { return u"k" + std::u16string(1, static_cast<char16_t>(0x3041 + n % 80)) +
                                       std::u16string(n / 80, u'x'); };
    constexpr uint32_t kKeys = 4000;
    for (int round = 0; round < 30; ++round) {
        for (int i = 0; i < 400; ++i) {
            const std::u16string k = key(random() % kKeys);
            if (int* kept = table.Find(k); kept != nullptr) {
                ASSERT_EQ(*kept, model.at(k));
                continue;
            }
            ASSERT_EQ(model.count(k), 0u);
            const int value = static_cast<int>(random() % 1000);
            table.Add(k).walk = value;
            model[k] = value;
        }
        // Every third round keeps all, every third none, the others about half.
        const int kind = round % 3;
        auto keep = [&](int value) { return kind == 0 || (kind == 1 && value % 2 == 0); };
        table.KeepIf([&](const auto& node) { return keep(node.walk); });
        std::erase_if(model, [&](const auto& entry) { return !keep(entry.second); });

        size_t visited = 0;
        table.ForEach([&](const auto& node) {
            ++visited;
            EXPECT_EQ(model.count(node.key), 1u);
        });
        ASSERT_EQ(table.Size(), model.size()) << round;
        ASSERT_EQ(visited, model.size()) << round;
        for (uint32_t n = 0; n < kKeys; ++n) {
            const int* kept = table.Find(key(n));
            ASSERT_EQ(kept != nullptr, model.count(key(n)) == 1) << round << " " << n;
        }
    }
}

}  // namespace
}  // namespace ostrel::japanese
