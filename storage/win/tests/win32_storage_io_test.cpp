// The Win32 file layer under the engine: sharing between openers, the
// journal beside a file in a folder with a dot, free space, and every line of
// EDICT stored and read back through real Windows files.
#include "common/tests/edict_files.h"
#include "storage/dms.h"
#include "storage/tests/dictionary_schema_text.h"
#include "storage/tests/edict_round_trip.h"

#include <gtest/gtest.h>

#include <windows.h>
#undef CreateFile  // <windows.h> maps it to CreateFileW; here it is CDMS::CreateFile

namespace {

std::u16string Utf16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string TempFolder() {
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    std::u16string folder = reinterpret_cast<const char16_t*>(buffer);
    folder += u"ostrel_storage_" + Utf16(std::to_string(GetCurrentProcessId()));
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()), nullptr);
    return folder;
}

TEST(Win32StorageIo, SecondWriterIsRefusedAndReadersShare) {
    IStorageIO& io = SystemStorageIO();
    std::u16string path = TempFolder() + u"\\share.qdx";
    io.Delete(path);
    CDMS engine(io);
    std::string schema = DictionarySchemaForTests();
    ASSERT_EQ(engine.CreateFile(path, schema), DmsStatus::Success);
    EXPECT_EQ(engine.CreateFile(path, schema), DmsStatus::FileAlreadyExists);
    int32_t writer = 0, other = 0, r1 = 0, r2 = 0;
    ASSERT_EQ(engine.OpenFile(path, 0, schema, &writer), DmsStatus::Success);
    EXPECT_EQ(engine.OpenFile(path, 0, schema, &other), DmsStatus::CannotOpenFile);
    EXPECT_EQ(engine.OpenFile(path, 2, schema, &other), DmsStatus::CannotOpenFile);
    ASSERT_EQ(engine.CloseFile(writer), DmsStatus::Success);
    ASSERT_EQ(engine.OpenFile(path, 2, schema, &r1), DmsStatus::Success);
    ASSERT_EQ(engine.OpenFile(path, 2, schema, &r2), DmsStatus::Success);
    EXPECT_EQ(engine.OpenFile(path, 1, schema, &other), DmsStatus::CannotOpenFile);
    engine.CloseFile(r1);
    engine.CloseFile(r2);
    io.Delete(path);
}

TEST(Win32StorageIo, JournalBesideAFileInADottedFolderGetsTrnAppended) {
    IStorageIO& io = SystemStorageIO();
    std::u16string folder = TempFolder() + u"\\v1.2";
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()), nullptr);
    std::u16string path = folder + u"\\dict";
    io.Delete(path);
    CDMS engine(io);
    std::string schema = DictionarySchemaForTests();
    ASSERT_EQ(engine.CreateFile(path, schema), DmsStatus::Success);
    int32_t id = 0;
    ASSERT_EQ(engine.OpenFile(path, 0, schema, &id), DmsStatus::Success);
    EXPECT_TRUE(io.Exists(folder + u"\\dict.trn"));
    EXPECT_FALSE(io.Exists(TempFolder() + u"\\v1.trn"));
    ASSERT_EQ(engine.CloseFile(id), DmsStatus::Success);
    EXPECT_FALSE(io.Exists(folder + u"\\dict.trn"));
    io.Delete(path);
}

TEST(Win32StorageIo, FreeSpaceOfTheTempDrive) {
    DriveSpace space;
    EXPECT_EQ(SystemStorageIO().FreeSpace(TempFolder() + u"\\x.qdx", space), IoError::Ok);
    EXPECT_GT(space.available, 0u);
    EXPECT_LE(space.free, space.total);
}

TEST(Win32StorageIo, EveryEdictLineReadsBack) {
    // Decoded through Windows' own EUC-JP code page on purpose: the real
    // system converter, not the program's tables.
    const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    std::string euc(bytes.begin(), bytes.end());
    ASSERT_GT(euc.size(), 1000000u);
    int n = MultiByteToWideChar(20932, 0, euc.data(), static_cast<int>(euc.size()), nullptr, 0);
    ASSERT_GT(n, 0) << "EUC-JP code page missing";
    std::u16string text(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(20932, 0, euc.data(), static_cast<int>(euc.size()), reinterpret_cast<wchar_t*>(text.data()), n);
    std::vector<std::u16string> lines = SplitLines(text);
    EXPECT_GT(lines.size(), 150000u);
    ExpectLinesRoundTrip(SystemStorageIO(), TempFolder() + u"\\edict.qdx", lines, 1);
}

}  // namespace
