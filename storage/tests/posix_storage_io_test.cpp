// The POSIX file layer: reads, writes and sizes on real files, flushes that
// reach the disk (every fsync counted), and the sharing rule through
// open-file-description locks (kept when another descriptor of the same file
// closes, unlike classic record locks).
#if !defined(_WIN32)

#include "common/tests/test_paths.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Every fsync of this program is counted, with the file it synced: a Flush
// that returns Ok must have reached the disk through the system call.
namespace {
int g_syncs = 0;
ino_t g_lastSynced = 0;
}  // namespace

extern "C" int fsync(int fd) {
    using Real = int (*)(int);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fsync"));
    struct stat st {};
    if (::fstat(fd, &st) == 0) g_lastSynced = st.st_ino;
    ++g_syncs;
    return real(fd);
}

namespace {

std::u16string TempPath(const char* name) {
    std::string p = BinaryPath() + "/storage_" + std::to_string(::getpid()) + "_" + name;
    return std::u16string(p.begin(), p.end());
}

TEST(PosixStorageIo, WriteReadSizeAndFlush) {
    IStorageIO& io = SystemStorageIO();
    std::u16string path = TempPath("rw.bin");
    io.Delete(path);
    std::unique_ptr<IStorageFile> f;
    ASSERT_EQ(io.CreateNew(path, f), IoError::Ok);
    std::vector<uint8_t> bytes(5000, 0x3C);
    ASSERT_EQ(f->WriteAt(100, bytes), IoError::Ok);
    int syncs = g_syncs;
    ASSERT_EQ(f->Flush(), IoError::Ok);
    EXPECT_EQ(g_syncs, syncs + 1);
    std::string narrow(path.begin(), path.end());
    struct stat file {};
    ASSERT_EQ(::stat(narrow.c_str(), &file), 0);
    EXPECT_EQ(g_lastSynced, file.st_ino);
    // The folder is synced for a creation to last.
    syncs = g_syncs;
    ASSERT_EQ(io.FlushFolder(path), IoError::Ok);
    EXPECT_EQ(g_syncs, syncs + 1);
    struct stat folder {};
    ASSERT_EQ(::stat(BinaryPath().c_str(), &folder), 0);
    EXPECT_EQ(g_lastSynced, folder.st_ino);
    uint64_t size = 0;
    ASSERT_EQ(f->Size(size), IoError::Ok);
    EXPECT_EQ(size, 5100u);
    std::vector<uint8_t> out(6000);
    size_t done = 0;
    ASSERT_EQ(f->ReadAt(0, out, done), IoError::Ok);
    EXPECT_EQ(done, 5100u);
    EXPECT_EQ(out[99], 0);
    EXPECT_EQ(out[100], 0x3C);
    ASSERT_EQ(f->SetSize(10), IoError::Ok);
    ASSERT_EQ(f->Size(size), IoError::Ok);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(io.CreateNew(path, f), IoError::AlreadyExists);
    f.reset();
    EXPECT_EQ(io.Delete(path), IoError::Ok);
    EXPECT_FALSE(io.Exists(path));
    EXPECT_EQ(io.Open(path, OpenAccess::Read, f), IoError::NotFound);
}

TEST(PosixStorageIo, OneWriterOrManyReaders) {
    IStorageIO& io = SystemStorageIO();
    std::u16string path = TempPath("share.bin");
    io.Delete(path);
    std::unique_ptr<IStorageFile> w, r1, r2, other;
    ASSERT_EQ(io.CreateNew(path, w), IoError::Ok);
    EXPECT_EQ(io.Open(path, OpenAccess::Read, other), IoError::Sharing);
    EXPECT_EQ(io.Open(path, OpenAccess::ReadWrite, other), IoError::Sharing);
    EXPECT_EQ(io.CreateAlways(path, other), IoError::Sharing);
    w.reset();
    ASSERT_EQ(io.Open(path, OpenAccess::Read, r1), IoError::Ok);
    ASSERT_EQ(io.Open(path, OpenAccess::Read, r2), IoError::Ok);
    EXPECT_EQ(io.Open(path, OpenAccess::ReadWrite, other), IoError::Sharing);
    // Closing one reader keeps the other's lock.
    r2.reset();
    EXPECT_EQ(io.Open(path, OpenAccess::ReadWrite, other), IoError::Sharing);
    r1.reset();
    EXPECT_EQ(io.Open(path, OpenAccess::ReadWrite, other), IoError::Ok);
    other.reset();
    io.Delete(path);
}

TEST(PosixStorageIo, FullPathAndFreeSpace) {
    IStorageIO& io = SystemStorageIO();
    std::u16string full = io.FullPath(u"relative.qdx");
    EXPECT_EQ(full.front(), u'/');
    EXPECT_EQ(full.substr(full.size() - 13), u"/relative.qdx");
    EXPECT_EQ(io.FullPath(u"/abs/x"), u"/abs/x");
    DriveSpace space;
    EXPECT_EQ(io.FreeSpace(TempPath("x"), space), IoError::Ok);
    EXPECT_EQ(io.FlushFolder(TempPath("x")), IoError::Ok);
    EXPECT_GT(space.available, 0u);
    EXPECT_LE(space.available, space.free);
    EXPECT_LE(space.free, space.total);
}

TEST(PosixStorageIo, NonAsciiPathsRoundTrip) {
    IStorageIO& io = SystemStorageIO();
    std::u16string path = TempPath("") + u"辞書_словарь_\U0001F4D6.qdx";
    io.Delete(path);
    std::unique_ptr<IStorageFile> f;
    ASSERT_EQ(io.CreateNew(path, f), IoError::Ok);
    f.reset();
    EXPECT_TRUE(io.Exists(path));
    EXPECT_EQ(io.Delete(path), IoError::Ok);
}

}  // namespace

#endif
