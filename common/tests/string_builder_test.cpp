#include "common/string_builder.h"

#include <gtest/gtest.h>

TEST(StringBuilder, PlaceholderUntilBuilt) { CStringBuilder b; EXPECT_TRUE(b.View().empty()); }
