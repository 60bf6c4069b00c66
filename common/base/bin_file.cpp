#include "common/base/bin_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include "common/text/utf8.h"
#endif

namespace {

#ifdef _WIN32
const wchar_t* WidePath(const char16_t* path) { return reinterpret_cast<const wchar_t*>(path); }
int SystemError() { return _doserrno ? int(_doserrno) : errno; }

int OpenDescriptor(const char16_t* path, int flags) {
    return _wsopen(WidePath(path), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
}
int CloseFd(int fd) { return _close(fd); }
int ReadFd(int fd, void* to, unsigned count) { return _read(fd, to, count); }
int WriteFd(int fd, const void* from, unsigned count) { return _write(fd, from, count); }
int64_t SeekFd(int fd, int64_t offset) { return _lseeki64(fd, offset, SEEK_SET); }
bool LengthOf(int fd, uint64_t& size) {
    const int64_t n = _filelengthi64(fd);
    if (n < 0) return false;
    size = uint64_t(n);
    return true;
}
bool StatPath(const char16_t* path, uint64_t& size, uint64_t& time) {
    _wfinddata64_t data;
    const intptr_t handle = _wfindfirst64(WidePath(path), &data);
    if (handle == -1) return false;
    _findclose(handle);
    size = uint64_t(data.size);
    time = uint64_t(data.time_write);
    return true;
}
#else
std::string NativePath(const char16_t* path) { return Utf16ToUtf8(path); }
int SystemError() { return errno; }

int OpenDescriptor(const char16_t* path, int flags) {
    return ::open(NativePath(path).c_str(), flags | O_CLOEXEC, 0644);
}
int CloseFd(int fd) { return ::close(fd); }
int ReadFd(int fd, void* to, unsigned count) { return int(::read(fd, to, count)); }
int WriteFd(int fd, const void* from, unsigned count) { return int(::write(fd, from, count)); }
int64_t SeekFd(int fd, int64_t offset) { return ::lseek(fd, offset, SEEK_SET); }
bool LengthOf(int fd, uint64_t& size) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    size = uint64_t(st.st_size);
    return true;
}
bool StatPath(const char16_t* path, uint64_t& size, uint64_t& time) {
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = uint64_t(st.st_size);
    time = uint64_t(st.st_mtime);
    return true;
}
#endif

}  // namespace

BinFile::BinFile(BinFile** head) : listHead(head) {
    if (!listHead) return;
    if (!*listHead) {
        *listHead = this;
        return;
    }
    BinFile* tail = *listHead;
    while (tail->next) tail = tail->next;
    tail->next = this;
    prev = tail;
}

BinFile::~BinFile() {
    Close(true);
    if (prev) prev->next = next;
    if (next) next->prev = prev;
    if (listHead && *listHead == this) *listHead = next;
}

void BinFile::FreeBuffer() {
    std::free(buffer);
    buffer = nullptr;
    bufferSize = 0;
}

void BinFile::Close(bool forget) {
    CloseDescriptor();
    FreeBuffer();
    if (forget) {
        path[0] = 0;
        fileSize = 0;
        lastWriteTime = 0;
    }
}

bool BinFile::SetPath(const char16_t* newPath) {
    if (!newPath) return false;
    size_t length = 0;
    while (newPath[length]) ++length;
    if (length >= size_t(kMaxPath)) return false;
    std::memcpy(path, newPath, (length + 1) * sizeof(char16_t));
    fileSize = 0;
    lastWriteTime = 0;
    StatPath(path, fileSize, lastWriteTime);
    return true;
}

int BinFile::OpenRead() { return Open(O_RDONLY); }

int BinFile::Open(int flags) {
    CloseDescriptor();
    descriptor = OpenDescriptor(path, flags);
    lastError_ = descriptor < 0 ? SystemError() : 0;
    if (descriptor < 0) descriptor = -1;
    return descriptor;
}

void BinFile::CloseDescriptor() {
    if (descriptor >= 0) CloseFd(descriptor);
    descriptor = -1;
}

int32_t BinFile::Read(void* to, int32_t count) {
    if (descriptor < 0 || !to || count <= 0) return 0;
    int32_t done = 0;
    while (done < count) {
        const int n = ReadFd(descriptor, static_cast<uint8_t*>(to) + done, unsigned(count - done));
        if (n < 0) {
            lastError_ = SystemError();
            return 0;
        }
        if (n == 0) break;
        done += n;
    }
    lastError_ = 0;
    return done;
}

int32_t BinFile::Write(const void* from, int32_t count) {
    if (descriptor < 0 || !from || count <= 0) return 0;
    int32_t done = 0;
    while (done < count) {
        const int n = WriteFd(descriptor, static_cast<const uint8_t*>(from) + done, unsigned(count - done));
        if (n <= 0) {
            lastError_ = SystemError();
            return 0;
        }
        done += n;
    }
    lastError_ = 0;
    return done;
}

int64_t BinFile::Seek(int64_t offset) {
    if (descriptor < 0) return -1;
    const int64_t at = SeekFd(descriptor, offset);
    if (at < 0) lastError_ = SystemError();
    return at < 0 ? -1 : at;
}

uint8_t* BinFile::AllocBuffer(int32_t size) {
    if (size <= 0) return nullptr;
    if (buffer && bufferSize == size) return buffer;
    FreeBuffer();
    buffer = static_cast<uint8_t*>(std::malloc(size_t(size)));
    if (buffer) bufferSize = size;
    return buffer;
}

int32_t BinFile::ReadToBuffer(int32_t count) {
    if (!buffer || count <= 0 || bufferSize < count) return 0;
    return Read(buffer, count);
}

uint64_t BinFile::GetSize() {
    uint64_t size = 0;
    if (descriptor >= 0 && LengthOf(descriptor, size)) {
        fileSize = size;
        return size;
    }
    fileSize = 0;
    lastWriteTime = 0;
    StatPath(path, fileSize, lastWriteTime);
    return fileSize;
}

uint8_t* BinFile::OpenReadWhole() {
    FreeBuffer();
    if (OpenRead() < 0) return nullptr;
    uint64_t size = 0;
    if (!LengthOf(descriptor, size)) {
        lastError_ = SystemError();
        CloseDescriptor();
        return nullptr;
    }
    fileSize = size;
    if (size > kMaxWholeFileSize) {
#ifdef _WIN32
        lastError_ = 8;  // ERROR_NOT_ENOUGH_MEMORY
#else
        lastError_ = ENOMEM;
#endif
        CloseDescriptor();
        return nullptr;
    }
    buffer = static_cast<uint8_t*>(std::calloc(size_t(size) + kWholeFilePadding, 1));
    if (!buffer) {
        lastError_ = ENOMEM;
        CloseDescriptor();
        return nullptr;
    }
    bufferSize = int32_t(size);
    const int32_t read = Read(buffer, bufferSize);
    CloseDescriptor();
    if (uint64_t(read) != size) {
        FreeBuffer();
        return nullptr;
    }
    return buffer;
}
