// The POSIX file-replace layer of the native build: rename(2) replaces its
// target atomically; fsync of the file before and of its folder after makes
// the replacement survive a power cut.
#if !defined(_WIN32)

#include "dictionary/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "common/text/utf8.h"

namespace {

std::string NativePath(const char16_t* path) { return Utf16ToUtf8(path); }

// Flushes a file or folder to the disk; errno on failure, 0 on success.
int Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

namespace file_replace {

bool IsFile(const char16_t* path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsReadOnlyFile(const char16_t* path) {
    const std::string native = NativePath(path);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // Without any write bit the file counts as read-only even for a user who
    // could write it anyway, as the read-only attribute does on Windows.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(native.c_str(), W_OK) != 0;
}

bool Delete(const char16_t* path) { return ::unlink(NativePath(path).c_str()) == 0; }

int32_t MoveReplacing(const char16_t* from, const char16_t* to) {
    const std::string source = NativePath(from);
    const std::string target = NativePath(to);
    if (int error = Sync(source, O_RDONLY)) return error;
    if (::rename(source.c_str(), target.c_str()) != 0) return errno;
    Sync(FolderOf(target), O_RDONLY | O_DIRECTORY);  // best effort: the rename itself is done
    return 0;
}

int32_t CopyReplacing(const char16_t* from, const char16_t* to) {
    const int in = ::open(NativePath(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    const int out = ::open(NativePath(to).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) error = errno;
        if (got <= 0) break;
        for (ssize_t done = 0; done < got && !error;) {
            const ssize_t put = ::write(out, buffer + done, size_t(got - done));
            if (put < 0) error = errno;
            else done += put;
        }
        if (error) break;
    }
    if (!error && ::fsync(out) != 0) error = errno;
    ::close(in);
    if (::close(out) != 0 && !error) error = errno;
    return error;
}

}  // namespace file_replace

#endif  // !_WIN32
