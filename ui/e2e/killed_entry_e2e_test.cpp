// An entry killed at its time limit leaves nothing for the next: the first
// case starts the program and waits to be killed as ctest kills an entry
// (killed_entry.sh); the second, the next entry, finds no frame left over.
// Both run only in their own ctest entries (ui/CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "ui/e2e/program_session.h"

TEST(KilledEntry, StartsTheProgramAndWaitsToBeKilled) {
    PrepareTest(L"KilledEntry");
    ProgramRun run;
    ASSERT_NE(run.WaitForFrame(), nullptr);
    std::printf("frame up\n");
    std::fflush(stdout);
    Sleep(600000);
    FAIL() << "not killed";
}

TEST(KilledEntry, LeavesNoProgramToTheNextEntry) { EXPECT_EQ(FindFrame(), nullptr); }
