// The translator's options: defaults, reading section "Translation", and what
// OK in the options dialog stores.
#include <gtest/gtest.h>

#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "japanese/trans_options.h"

namespace ostrel::japanese {
namespace {

struct OptionsFixture : ::testing::Test {
    MemoryProfileStore::Values values;
    CIni ini{std::make_unique<MemoryProfileStore>(&values)};
    void Set(const char16_t* key, const char16_t* value) { values[{u"translation", MemoryProfileStore::Fold(key)}] = value; }
    std::u16string Get(const char16_t* key) { return values[{u"translation", MemoryProfileStore::Fold(key)}]; }
};

TEST_F(OptionsFixture, MissingSectionAndEmptyValuesGiveTheDefaults) {
    Set(u"MinKanaLength", u"");
    CTransOptions options(ini);
    EXPECT_EQ(options.expand, 2);
    EXPECT_EQ(options.minKanaLength, 1);
    EXPECT_EQ(options.underCursor, 1);
    EXPECT_EQ(options.autoSwitchTranslationList, 1);
    EXPECT_EQ(options.reserved, 250);
    EXPECT_EQ(options.skipNamesDictionary, 0);
}

TEST_F(OptionsFixture, StoredValuesAreRead) {
    Set(u"Expand", u"0");
    Set(u"MinKanaLength", u"2");
    Set(u"UnderCursor", u"0");
    Set(u"AutoSwitchTranslationList", u"0");
    CTransOptions options(ini);
    EXPECT_EQ(options.expand, 0);
    EXPECT_EQ(options.minKanaLength, 2);
    EXPECT_EQ(options.underCursor, 0);
    EXPECT_EQ(options.autoSwitchTranslationList, 0);
}

struct DialogCase {
    int32_t expandBefore;
    bool expandChecked;
    int32_t expandAfter;
};

class DialogChoice : public OptionsFixture, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogChoice, KeepsAStillCheckedExpandAndNeverTouchesTheOthers) {
    CTransOptions options(ini);
    options.expand = GetParam().expandBefore;
    options.underCursor = 0;
    EXPECT_EQ(options.ApplyDialogChoice(ini, GetParam().expandChecked, true), 1);
    EXPECT_EQ(options.expand, GetParam().expandAfter);
    EXPECT_EQ(options.minKanaLength, 2);
    EXPECT_EQ(options.underCursor, 0);
    EXPECT_EQ(CTransOptions(ini).expand, GetParam().expandAfter);
    EXPECT_TRUE(Get(u"UnderCursor").empty());
    EXPECT_TRUE(Get(u"AutoSwitchTranslationList").empty());
}

INSTANTIATE_TEST_SUITE_P(TransOptions, DialogChoice,
                         ::testing::Values(DialogCase{2, true, 2},   // OK untouched keeps 2
                                           DialogCase{1, true, 1},
                                           DialogCase{0, true, 2},   // newly checked
                                           DialogCase{2, false, 0}));

}  // namespace
}  // namespace ostrel::japanese
