// The safe file writer over the real Win32 calls: MoveFileExW replaces an
// existing target (MoveFileW could not), a reader holding the target open
// without delete sharing makes the replace fail with nothing lost, and the
// read-only attribute refuses the target.
#include "dictionary/safe_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "common/tests/fake_app_context.h"

namespace {

const wchar_t* Wide(const std::u16string& path) { return reinterpret_cast<const wchar_t*>(path.c_str()); }

class SafeFileWriterWin : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t buffer[MAX_PATH];
        GetTempPathW(MAX_PATH, buffer);
        folder_ = reinterpret_cast<const char16_t*>(buffer);
        const std::string id = std::to_string(GetCurrentProcessId());
        folder_ += u"ostrel_writer_" + std::u16string(id.begin(), id.end());
        CreateDirectoryW(Wide(folder_), nullptr);
    }
    void TearDown() override {
        for (const char16_t* name : {u"\\book.qdx", u"\\book.BAK", u"\\book.tmp", u"\\book.1.tmp"}) {
            SetFileAttributesW(Wide(folder_ + name), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Wide(folder_ + name));
        }
        RemoveDirectoryW(Wide(folder_));
    }

    std::u16string Path(const char16_t* name) const { return folder_ + u"\\" + name; }

    void Put(const char16_t* name, const std::string& text) {
        HANDLE file = CreateFileW(Wide(Path(name)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string Get(const char16_t* name) const {
        HANDLE file = CreateFileW(Wide(Path(name)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        char buffer[256];
        DWORD read = 0;
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
        return std::string(buffer, read);
    }
    uint32_t Save(const std::string& text) {
        EXPECT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path(u"book.qdx")), 1u);
        EXPECT_EQ(writer.Write(text.data(), int32_t(text.size())), 1u);
        return writer.EndWrite();
    }

    std::u16string folder_;
    FakeAppContext app;
    ScopedAppContext scope{app};
    SafeFileWriter writer;
};

TEST_F(SafeFileWriterWin, ReplacesAnExistingTarget) {
    Put(u"book.qdx", "original");
    ASSERT_EQ(Save("first"), 1u);
    ASSERT_EQ(Save("second"), 1u);
    EXPECT_EQ(Get(u"book.qdx"), "second");
    EXPECT_EQ(Get(u"book.BAK"), "original");
    EXPECT_EQ(Get(u"book.tmp"), "<missing>");
}

TEST_F(SafeFileWriterWin, TargetHeldOpenByAReaderStaysAndNewContentIsKept) {
    Put(u"book.qdx", "original");
    ASSERT_EQ(Save("first"), 1u);
    // A reader that does not share deletion: the target cannot be replaced.
    HANDLE reader = CreateFileW(Wide(Path(u"book.qdx")), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Save("second"), 0u);
    CloseHandle(reader);

    EXPECT_EQ(Get(u"book.qdx"), "first");
    EXPECT_EQ(Get(u"book.BAK"), "original");
    EXPECT_EQ(Get(u"book.tmp"), "second");
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Write failure for " + Path(u"book.qdx") + u"\n" + Path(u"book.tmp"));

    // The next save leaves the kept file alone and succeeds once the reader is gone.
    ASSERT_EQ(Save("third"), 1u);
    EXPECT_EQ(Get(u"book.qdx"), "third");
    EXPECT_EQ(Get(u"book.tmp"), "second");
}

TEST_F(SafeFileWriterWin, ReadOnlyAttributeRefusesTheTarget) {
    Put(u"book.qdx", "original");
    SetFileAttributesW(Wide(Path(u"book.qdx")), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(writer.BeginWrite(SafeFileWriter::kModeWrite, Path(u"book.qdx")), 0u);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, Path(u"book.qdx") + u" is not accessible for write!");
    EXPECT_EQ(Get(u"book.tmp"), "<missing>");
    EXPECT_EQ(Get(u"book.qdx"), "original");
}

}  // namespace
