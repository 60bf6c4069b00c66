// The POSIX file layer of the native build. Sharing follows the Windows rule
// (a writer excludes everyone, readers share) through open-file-description
// locks, which belong to one open file and are not dropped when another
// descriptor of the same file closes, as classic fcntl locks would be.
#if !defined(_WIN32)

#include "storage/storage_io.h"

#include "common/text/utf8.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

IoError FromErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT: return IoError::NoSpace;
    case ENOENT:
    case ENOTDIR: return IoError::NotFound;
    case EEXIST: return IoError::AlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS: return IoError::AccessDenied;
    case EAGAIN: return IoError::Sharing;
    default: return IoError::Failed;
    }
}

class PosixFile final : public IStorageFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    IoError ReadAt(uint64_t offset, std::span<uint8_t> out, size_t& done) override {
        done = 0;
        while (done < out.size()) {
            ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return FromErrno(errno);
            }
            if (n == 0) break;
            done += static_cast<size_t>(n);
        }
        return IoError::Ok;
    }

    IoError WriteAt(uint64_t offset, std::span<const uint8_t> bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return FromErrno(errno);
            }
            if (n == 0) return IoError::NoSpace;
            done += static_cast<size_t>(n);
        }
        return IoError::Ok;
    }

    IoError Size(uint64_t& size) override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return FromErrno(errno);
        size = static_cast<uint64_t>(st.st_size);
        return IoError::Ok;
    }

    IoError SetSize(uint64_t size) override {
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return FromErrno(errno);
        return IoError::Ok;
    }

    IoError Flush() override {
        if (::fsync(fd_) != 0) return FromErrno(errno);
        return IoError::Ok;
    }

private:
    int fd_;
};

// Takes the sharing lock of an open descriptor: shared for readers, exclusive
// for writers, never waiting.
IoError LockForSharing(int fd, bool writer) {
#if defined(F_OFD_SETLK)
    struct flock lock = {};
    lock.l_type = writer ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return IoError::Ok;
    if (errno == EAGAIN || errno == EACCES) return IoError::Sharing;
    if (errno != EINVAL) return FromErrno(errno);
#endif
    if (::flock(fd, (writer ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return IoError::Ok;
    return errno == EWOULDBLOCK ? IoError::Sharing : FromErrno(errno);
}

IoError OpenLocked(const std::string& path, int flags, bool writer, std::unique_ptr<IStorageFile>& file) {
    file.reset();
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return FromErrno(errno);
    IoError locked = LockForSharing(fd, writer);
    if (locked != IoError::Ok) {
        ::close(fd);
        return locked;
    }
    file = std::make_unique<PosixFile>(fd);
    return IoError::Ok;
}

class PosixStorageIO final : public IStorageIO {
public:
    IoError Open(std::u16string_view path, OpenAccess access, std::unique_ptr<IStorageFile>& file) override {
        bool writer = access == OpenAccess::ReadWrite;
        return OpenLocked(Utf16ToUtf8(path), writer ? O_RDWR : O_RDONLY, writer, file);
    }

    IoError CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        return OpenLocked(Utf16ToUtf8(path), O_RDWR | O_CREAT | O_EXCL, true, file);
    }

    IoError CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        // Locked before it is emptied, so a file another opener holds is not cut.
        IoError e = OpenLocked(Utf16ToUtf8(path), O_RDWR | O_CREAT, true, file);
        if (e != IoError::Ok) return e;
        e = file->SetSize(0);
        if (e != IoError::Ok) file.reset();
        return e;
    }

    IoError Delete(std::u16string_view path) override {
        if (::unlink(Utf16ToUtf8(path).c_str()) != 0) return FromErrno(errno);
        return IoError::Ok;
    }

    bool Exists(std::u16string_view path) override {
        struct stat st;
        return ::stat(Utf16ToUtf8(path).c_str(), &st) == 0;
    }

    IoError FlushFolder(std::u16string_view path) override {
        std::string p = Utf16ToUtf8(FullPath(path));
        size_t slash = p.rfind('/');
        std::string folder = slash == std::string::npos || slash == 0 ? "/" : p.substr(0, slash);
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return FromErrno(errno);
        int r = ::fsync(fd);
        int error = errno;
        ::close(fd);
        return r == 0 ? IoError::Ok : FromErrno(error);
    }

    std::u16string FullPath(std::u16string_view path) override {
        std::string p = Utf16ToUtf8(path);
        if (!p.empty() && p[0] == '/') return std::u16string(path);
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr) return std::u16string(path);
        return Utf8ToUtf16(std::string(cwd) + "/" + p);
    }

    IoError FreeSpace(std::u16string_view path, DriveSpace& space) override {
        std::string p = Utf16ToUtf8(FullPath(path));
        size_t slash = p.rfind('/');
        std::string folder = slash == std::string::npos || slash == 0 ? "/" : p.substr(0, slash);
        struct statvfs st;
        if (::statvfs(folder.c_str(), &st) != 0) return FromErrno(errno);
        space.available = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
        space.total = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
        space.free = static_cast<uint64_t>(st.f_bfree) * st.f_frsize;
        return IoError::Ok;
    }
};

}  // namespace

IStorageIO& SystemStorageIO() {
    static PosixStorageIO io;
    return io;
}

#endif  // !_WIN32
