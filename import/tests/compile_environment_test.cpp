// The portable compile environment: GUID text in registry form, the
// creation-time text of the identity properties.
#include "import/compile_environment.h"

#include <gtest/gtest.h>

namespace {

TEST(CompileEnvironment, GuidTextAndCreationTime) {
    PortableCompileEnv env;
    const std::u16string a = env.NewGuidText(), b = env.NewGuidText();
    ASSERT_EQ(a.size(), 38u);
    EXPECT_EQ(a[0], u'{');
    EXPECT_EQ(a[9], u'-');
    EXPECT_EQ(a[15], u'4');  // a random GUID
    EXPECT_EQ(a[37], u'}');
    EXPECT_NE(a, b);
    EXPECT_EQ(FormatCompileTime({2026, 12, 7, 9, 5, 3}), u"2026-12-07 09:05:03");
    EXPECT_GE(env.LocalTime().year, 2020);
}

}  // namespace
