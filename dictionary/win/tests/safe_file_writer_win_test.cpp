// The safe file writer over the real Win32 calls, where a reader holding the
// target open without delete sharing makes MoveFileExW fail: nothing may be
// lost. (The portable tests run here too: replacing, backups, read-only.)
#include "dictionary/safe_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"

namespace {

std::vector<unsigned char> Text(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SafeFileWriterWin, TargetHeldOpenByAReaderStaysAndNewContentIsKept) {
    ScratchFolder folder("safe-file-writer-win");
    FakeAppContext app;
    ScopedAppContext scope(app);
    SafeFileWriter writer;
    const std::u16string target = (folder / "book.qdx").u16string();
    auto save = [&](std::string_view text) {
        EXPECT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, target), 1u);
        EXPECT_EQ(writer.Write(text.data(), int32_t(text.size())), 1u);
        return writer.EndWrite();
    };
    WriteBytes(folder / "book.qdx", Text("original"));
    ASSERT_EQ(save("first"), 1u);

    HANDLE reader = CreateFileW(reinterpret_cast<const wchar_t*>(target.c_str()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(save("second"), 0u);
    CloseHandle(reader);

    EXPECT_EQ(ReadBytes(folder / "book.qdx"), Text("first"));
    EXPECT_EQ(ReadBytes(folder / "book.BAK"), Text("original"));
    EXPECT_EQ(ReadBytes(folder / "book.qdx.tmp~"), Text("second"));
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Write failure for " + target + u"\n" + (folder / "book.qdx.tmp~").u16string());

    // With the reader gone the next save succeeds; the kept file, whose
    // content that save supersedes, goes with it.
    ASSERT_EQ(save("third"), 1u);
    EXPECT_EQ(ReadBytes(folder / "book.qdx"), Text("third"));
    EXPECT_FALSE(std::filesystem::exists(folder / "book.qdx.tmp~"));
}

// The first save of a run makes the backup: the target stays in its place
// while that happens, so a replace that then fails leaves it there.
TEST(SafeFileWriterWin, FirstSaveThatCannotReplaceLeavesTheTargetInPlace) {
    ScratchFolder folder("safe-file-writer-win-first");
    FakeAppContext app;
    ScopedAppContext scope(app);
    SafeFileWriter writer;
    const std::u16string target = (folder / "book.qdx").u16string();
    WriteBytes(folder / "book.qdx", Text("original"));
    HANDLE reader = CreateFileW(reinterpret_cast<const wchar_t*>(target.c_str()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, target), 1u);
    ASSERT_EQ(writer.Write("new", 3), 1u);
    EXPECT_EQ(writer.EndWrite(), 0u);
    CloseHandle(reader);

    EXPECT_EQ(ReadBytes(folder / "book.qdx"), Text("original"));
    EXPECT_EQ(ReadBytes(folder / "book.BAK"), Text("original"));
    EXPECT_EQ(ReadBytes(folder / "book.qdx.tmp~"), Text("new"));
}

}  // namespace
