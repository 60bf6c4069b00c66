// ReplacingFile on real files, as the exports write the user's files: the
// old file stays byte for byte until the new content is whole, when the
// file system refuses a write midway or the target is read-only, and no
// temporary is left beside it.
#include "dictionary/replacing_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "common/tests/test_files.h"

namespace {

class ReplacingFileTest : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(folder / "out.rtf", std::ios::binary) << kOld; }
    std::u16string Target() const { return (folder / "out.rtf").u16string(); }
    // The folder holds the target alone, with `content`.
    void ExpectOnly(const std::string& content) {
        EXPECT_EQ(ReadText(folder / "out.rtf"), content);
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) files += !entry.is_directory();
        EXPECT_EQ(files, 1);
    }

    const std::string kOld = "the user's old export";
    ScratchFolder folder{"replacing-file"};
};

TEST_F(ReplacingFileTest, TheOldFileStaysUntilTheNewContentIsWhole) {
    const std::string text(300, 'n');
#ifndef _WIN32
    // A file system that refuses the write midway: a child process whose
    // files may not grow past 100 bytes writes 300.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        ReplacingFile file;
        const bool refused = file.Begin(Target()) && file.Write(text.data(), 60) &&
                             !file.Write(text.data() + 60, 240) && !file.Write("x", 1) && !file.Commit();
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ExpectOnly(kOld);
#endif
    // A read-only target is not replaced, nor written beside.
    std::filesystem::permissions(folder / "out.rtf", std::filesystem::perms::owner_read);
    {
        ReplacingFile file;
        EXPECT_FALSE(file.Begin(Target()));
        EXPECT_FALSE(file.Write(text.data(), 10));
        EXPECT_FALSE(file.Commit());
    }
    std::filesystem::permissions(folder / "out.rtf", std::filesystem::perms::owner_all);
    ExpectOnly(kOld);
    // A whole write in pieces replaces it.
    ReplacingFile file;
    ASSERT_TRUE(file.Begin(Target()));
    EXPECT_TRUE(file.Write(text.data(), 100) && file.Write(text.data(), 0) && file.Write(text.data() + 100, 200));
    ASSERT_TRUE(file.Commit());
    ExpectOnly(text);
}

}  // namespace
