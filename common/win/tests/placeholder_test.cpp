#include <windows.h>
#include <gtest/gtest.h>
TEST(WinHarness, RunsUnderWine) { EXPECT_NE(GetDesktopWindow(), nullptr); }
