// Writes the phrase split's files for the suite's ctest entries, as the
// build runs it once the test program is linked (japanese/CMakeLists.txt);
// anywhere else it has nothing to do.
#include <gtest/gtest.h>

#include "japanese/tests/phrase_split_fixture.h"

namespace ostrel::japanese {
namespace {

TEST_F(PhraseSplitTest, FilesAreWrittenForTheOtherEntries) {
    const char* to = std::getenv("OSTREL_PHRASE_SPLIT_WRITE");
    if (to == nullptr) GTEST_SKIP() << "written only for ctest's entries";
    ASSERT_TRUE(WriteSharedFiles(*dictionaries, to));
    EXPECT_GT(std::filesystem::file_size(to), 1000000u);
}

}  // namespace
}  // namespace ostrel::japanese
