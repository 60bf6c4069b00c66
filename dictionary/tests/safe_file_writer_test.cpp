// The safe file writer on real files: backups once per run, refusals, and the
// failed replace that must keep both the target and the new content.
#include "dictionary/safe_file_writer.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/ui_text/ui_text.h"

namespace {

std::vector<unsigned char> Text(std::string_view text) { return {text.begin(), text.end()}; }

class SafeFileWriterTest : public ::testing::Test {
protected:
    std::u16string Path(const char* name) const { return (folder / name).u16string(); }
    std::vector<unsigned char> Contents(const char* name) const { return ReadBytes(folder / name); }
    bool Exists(const char* name) const { return std::filesystem::exists(folder / name); }

    // BeginWrite, Write, EndWrite of `text` onto `target`; EndWrite's result.
    uint32_t Save(const char* target, std::string_view text) {
        EXPECT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path(target)), 1u);
        EXPECT_EQ(writer.Write(text.data(), int32_t(text.size())), 1u);
        return writer.EndWrite();
    }

    ScratchFolder folder{"safe-file-writer"};
    FakeAppContext app;
    ScopedAppContext scope{app};
    SafeFileWriter writer;
};

TEST_F(SafeFileWriterTest, FirstSaveKeepsTheOldFileAsBackupAndLaterSavesKeepThatBackup) {
    WriteBytes(folder / "book.qdx", Text("original"));
    ASSERT_EQ(Save("book.qdx", "first"), 1u);
    EXPECT_EQ(Contents("book.qdx"), Text("first"));
    EXPECT_EQ(Contents("book.BAK"), Text("original"));
    EXPECT_TRUE(writer.BackupMade());

    ASSERT_EQ(Save("book.qdx", "second"), 1u);
    EXPECT_EQ(Contents("book.qdx"), Text("second"));
    EXPECT_EQ(Contents("book.BAK"), Text("original"));
    EXPECT_FALSE(Exists("book.qdx.tmp~"));
    EXPECT_TRUE(app.messages.empty());

    // A backup deleted during the run is made again from the file as it is.
    std::filesystem::remove(folder / "book.BAK");
    ASSERT_EQ(Save("book.qdx", "third"), 1u);
    EXPECT_EQ(Contents("book.BAK"), Text("second"));

    ASSERT_EQ(Save("new.txt", "content"), 1u);  // nothing to back up
    EXPECT_EQ(Contents("new.txt"), Text("content"));
    EXPECT_FALSE(Exists("new.BAK"));
}

TEST_F(SafeFileWriterTest, ReadOnlyTargetIsRefusedBeforeAnythingIsWritten) {
    WriteBytes(folder / "locked.txt", Text("keep"));
    std::filesystem::permissions(folder / "locked.txt", std::filesystem::perms::owner_read);
    EXPECT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path("locked.txt")), 0u);
    EXPECT_EQ(writer.Write("x", 1), 0u);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, Path("locked.txt") + u" is not accessible for write!");
    EXPECT_EQ(app.messages[0].caption, UIStringTable[174]);
    EXPECT_FALSE(Exists("locked.txt.tmp~"));
    EXPECT_EQ(Contents("locked.txt"), Text("keep"));
    std::filesystem::permissions(folder / "locked.txt", std::filesystem::perms::owner_all);
}

#ifndef _WIN32
// A save killed midway (the process ends with no destructor run) leaves its
// temporary; the next save of the same file removes it, and files of the
// user's with look-alike names stay.
TEST_F(SafeFileWriterTest, TheNextSaveRemovesWhatAKilledSaveLeft) {
    WriteBytes(folder / "notes.tmp", Text("user's own file"));
    WriteBytes(folder / "notes.txt", Text("old"));
    for (int kill = 0; kill < 2; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SafeFileWriter killed;
            const bool begun = killed.BeginWrite(SafeFileWriter::kModeWrite, Path("notes.txt")) == 1 &&
                               killed.Write("half", 4) == 1;
            _exit(begun ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Contents("notes.txt.tmp~"), Text("half"));
    ASSERT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path("notes.txt")), 1u);
    EXPECT_EQ(writer.TemporaryPath(), Path("notes.txt.tmp~"));
    ASSERT_EQ(writer.Write("new", 3), 1u);
    ASSERT_EQ(writer.EndWrite(), 1u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"notes.BAK", "notes.tmp", "notes.txt"}));
    EXPECT_EQ(Contents("notes.txt"), Text("new"));
    EXPECT_EQ(Contents("notes.tmp"), Text("user's own file"));
}

// The first save of a run killed while it makes the backup: the backup of
// the run before stays whole, where a copy written in its place was cut
// short (0 bytes); the next save removes the half copy.
TEST_F(SafeFileWriterTest, ASaveKilledWhileBackingUpKeepsThePreviousBackup) {
    const std::vector<unsigned char> previous = Text("the version before the last run");
    WriteBytes(folder / "book.BAK", previous);
    WriteBytes(folder / "book.txt", std::vector<unsigned char>(size_t{64} << 20, 'x'));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SafeFileWriter killed;
        killed.BeginWrite(SafeFileWriter::kModeWrite, Path("book.txt"));
        killed.Write("new", 3);
        killed.EndWrite();
        _exit(0);
    }
    // Killed as soon as the backup is being made, where it is written.
    bool copying = false;
    int status = 0;
    while (!copying && waitpid(child, &status, WNOHANG) == 0) {
        std::error_code error;
        copying = Exists("book.BAK.tmp~") || std::filesystem::file_size(folder / "book.BAK", error) != previous.size();
    }
    ASSERT_TRUE(copying) << "the save ended before it was seen backing up";
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    EXPECT_EQ(Contents("book.BAK"), previous);
    ASSERT_EQ(Save("book.txt", "next"), 1u);
    EXPECT_FALSE(Exists("book.BAK.tmp~"));
    EXPECT_EQ(Contents("book.BAK").size(), size_t{64} << 20);
}
#endif

TEST_F(SafeFileWriterTest, FailedWriteLeavesTheTargetAndRemovesTheTemporaryFile) {
    WriteBytes(folder / "data.txt", Text("old"));
    ASSERT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path("data.txt")), 1u);
    EXPECT_EQ(writer.Write("x", -1), 0u);
    EXPECT_EQ(writer.Write("y", 1), 0u);  // the error sticks
    EXPECT_EQ(writer.EndWrite(), 0u);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].caption, UIStringTable[172]);
    EXPECT_EQ(Contents("data.txt"), Text("old"));
    EXPECT_FALSE(Exists("data.txt.tmp~") || Exists("data.BAK"));
}

TEST_F(SafeFileWriterTest, AbandonedWriteLeavesNoTemporaryFile) {
    ASSERT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path("a.txt")), 1u);
    EXPECT_TRUE(Exists("a.txt.tmp~"));
    EXPECT_EQ(writer.ResetWriter(), 1u);
    EXPECT_FALSE(Exists("a.txt.tmp~"));
    auto abandoned = std::make_unique<SafeFileWriter>();
    ASSERT_EQ(abandoned->BeginWrite(SafeFileWriter::kModeWrite, Path("b.txt")), 1u);
    abandoned.reset();
    EXPECT_FALSE(Exists("b.txt.tmp~"));
    EXPECT_EQ(writer.BeginWrite(0, Path("c.txt")), 0u);  // only mode 1 writes
    EXPECT_FALSE(Exists("c.txt.tmp~"));
}

// The second save of a run used to delete the target (its backup already
// made) before renaming, and a failed rename then lost both. Here the final
// step cannot replace the target (a folder took its place): the target and
// the backup stay as they were and the new content stays in the temporary
// file, which the message names.
TEST_F(SafeFileWriterTest, FailedReplaceKeepsTargetBackupAndNewContent) {
    WriteBytes(folder / "book.qdx", Text("original"));
    ASSERT_EQ(Save("book.qdx", "first"), 1u);
    std::filesystem::remove(folder / "book.qdx");
    std::filesystem::create_directory(folder / "book.qdx");
    WriteBytes(folder / "book.qdx" / "inside", Text("untouched"));

    EXPECT_EQ(Save("book.qdx", "second"), 0u);
    EXPECT_EQ(Contents("book.qdx.tmp~"), Text("second"));
    EXPECT_EQ(Contents("book.BAK"), Text("original"));
    EXPECT_EQ(ReadBytes(folder / "book.qdx" / "inside"), Text("untouched"));
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Write failure for " + Path("book.qdx") + u"\n" + Path("book.qdx.tmp~"));
    EXPECT_TRUE(writer.TemporaryPath().empty());

    // The kept file is not the writer's any more: resetting leaves it.
    writer.ResetWriter();
    EXPECT_TRUE(Exists("book.qdx.tmp~"));
}

TEST(ReplaceExtension, ReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(ReplaceExtension(u"C:\\d.x\\book", u".BAK"), u"C:\\d.x\\book.BAK");
    EXPECT_EQ(ReplaceExtension(u"/d.x/a.b.c", u".tmp"), u"/d.x/a.b.tmp");
    EXPECT_EQ(ReplaceExtension(u"name", u".tmp"), u"name.tmp");
}

}  // namespace
