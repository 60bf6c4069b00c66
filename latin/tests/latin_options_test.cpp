// The option sets: names, indexes and defaults, and the lookup by name.
#include <gtest/gtest.h>

#include <cstring>

#include "latin/latin_host.h"
#include "latin/latin_options.h"

namespace {

TEST(LatinOptions, NamesSitAtTheirIndexes) {
    EXPECT_STREQ(kWordOptionNames[DO_FIXES], "DO_FIXES");
    EXPECT_EQ(DO_FIXES, 8);
    EXPECT_STREQ(kDeveloperOptionNames[USE_OSTREL_FORMAT], "USE_OSTREL_FORMAT");
    EXPECT_EQ(USE_OSTREL_FORMAT, 28);
    EXPECT_EQ(kDeveloperOptionNames[kDeveloperOptionCount], nullptr);
    EXPECT_EQ(kWordOptionNames[kWordOptionCount], nullptr);
    EXPECT_EQ(kDeveloperOptionCount, 30);
    EXPECT_EQ(kWordOptionCount, 16);
    // The two tables share no name, so the lookup order never hides one.
    for (int d = 0; d < kDeveloperOptionCount; ++d)
        for (int w = 0; w < kWordOptionCount; ++w)
            EXPECT_STRNE(kDeveloperOptionNames[d], kWordOptionNames[w]);
}

TEST(LatinOptions, InitSetsEveryDefault) {
    InitLatinAnalyser(LatinHostCallbacks{});
    const char* developerOn[] = {"SHOW_DICTIONARY_CODES", "DO_TARVEL_CODES", "USE_PREFIXES",
        "USE_SUFFIXES", "USE_TACKONS", "DO_MEDIEVAL_TRICKS", "DO_SYNCOPE", "DO_TWO_WORDS",
        "INCLUDE_UNKNOWN_CONTEXT", "OMIT_ARCHAIC", "OMIT_UNCOMMON", "PAUSE_IN_SCREEN_OUTPUT",
        "MINIMIZE_OUTPUT", "USE_OSTREL_FORMAT"};
    for (int i = 0; i < kDeveloperOptionCount; ++i) {
        bool on = false;
        for (const char* name : developerOn) on = on || std::strcmp(name, kDeveloperOptionNames[i]) == 0;
        EXPECT_EQ(g_developerOptions.GetValue(i), on ? 1 : 0) << kDeveloperOptionNames[i];
    }
    const char* wordOn[] = {"TRIM_OUTPUT", "IGNORE_UNKNOWN_CAPS", "DO_COMPOUNDS", "DO_FIXES",
                            "DO_TRICKS", "DO_DICTIONARY_FORMS"};
    for (int i = 0; i < kWordOptionCount; ++i) {
        bool on = false;
        for (const char* name : wordOn) on = on || std::strcmp(name, kWordOptionNames[i]) == 0;
        EXPECT_EQ(g_wordOptions.GetValue(i), on ? 1 : 0) << kWordOptionNames[i];
    }
}

TEST(LatinOptions, SetByExactNameOnly) {
    InitLatinAnalyser(LatinHostCallbacks{});
    EXPECT_EQ(SetLatinOption("DO_FIXES", 0), 8);
    EXPECT_EQ(g_wordOptions[DO_FIXES], 0);
    EXPECT_EQ(SetLatinOption("do_fixes", 1), -1);
    EXPECT_EQ(SetLatinOption("DO_FIXE", 1), -1);
    EXPECT_EQ(g_wordOptions[DO_FIXES], 0);
    EXPECT_EQ(SetLatinOption("USE_PRODUCTION_FORMAT", 1), 29);
    EXPECT_EQ(g_developerOptions[USE_PRODUCTION_FORMAT], 1);
    // Options that nothing reads are still stored.
    EXPECT_EQ(SetLatinOption("DO_I_FOR_J", 7), 21);
    EXPECT_EQ(g_developerOptions[DO_I_FOR_J], 7);
    // A second initialisation puts the defaults back, the host's two included.
    InitLatinAnalyser(LatinHostCallbacks{});
    EXPECT_EQ(g_wordOptions[DO_FIXES], 1);
    EXPECT_EQ(g_developerOptions[USE_PRODUCTION_FORMAT], 0);
    EXPECT_EQ(g_developerOptions[DO_I_FOR_J], 0);
}

TEST(LatinOptions, SaveAndRestoreAllValues) {
    InitLatinAnalyser(LatinHostCallbacks{});
    int32_t saved[XParameters::kValueCount];
    g_wordOptions.SaveValues(saved);
    g_wordOptions.Set(TRIM_OUTPUT, 0);
    g_wordOptions.SetValue(99, 5);
    g_wordOptions.RestoreValues(saved);
    EXPECT_EQ(g_wordOptions[TRIM_OUTPUT], 1);
    EXPECT_EQ(g_wordOptions.GetValue(99), 0);
    {
        ScopedLatinOption scoped(g_developerOptions, DO_SYNCOPE, 0);
        EXPECT_EQ(g_developerOptions[DO_SYNCOPE], 0);
    }
    EXPECT_EQ(g_developerOptions[DO_SYNCOPE], 1);
}

}  // namespace
