// BinFile: a small binary file object used by the source readers, the
// dictionary loaders and the update check. Every instance is linked into a
// list whose head its owner holds, so the owner can close them all at once.
// The file is reached through the C runtime's low-level descriptors (wide
// paths in the Windows build, POSIX natively).
#pragma once

#include <cstdint>
#include <fcntl.h>

class BinFile {
public:
    static constexpr int kMaxPath = 260;
    // Whole-file reads above this are refused: a 32-bit process could not
    // allocate them, and the work buffer's size is an i32.
    static constexpr uint64_t kMaxWholeFileSize = 0x7FFF0000;

    // Appends the object at the tail of the owner's list (`listHead` may be null).
    explicit BinFile(BinFile** listHead);
    BinFile(const BinFile&) = delete;
    BinFile& operator=(const BinFile&) = delete;
    virtual ~BinFile();

    // Closes the descriptor and frees the buffer; `forget` also clears path and size.
    void Close(bool forget);
    // Copies the path and takes size and last-write time from the directory
    // (both 0 when the file is missing). False for a null or over-long path.
    bool SetPath(const char16_t* path);

    int OpenRead();         // binary, read-only, shared; descriptor or -1
    int Open(int flags);    // <fcntl.h> flags (O_RDWR, O_CREAT, ...); binary is implied
    void CloseDescriptor();

    // Bytes transferred; 0 without a descriptor or buffer, or on error.
    int32_t Read(void* buffer, int32_t count);
    int32_t Write(const void* buffer, int32_t count);
    int64_t Seek(int64_t offsetFromStart);  // new offset, -1 when not open or on error

    // The work buffer, reallocated only when its size differs (null on failure).
    uint8_t* AllocBuffer(int32_t size);
    // Reads `count` bytes into the work buffer when it holds at least that many.
    int32_t ReadToBuffer(int32_t count);

    // The open file's length, else size and last-write time from the directory.
    uint64_t GetSize();
    // Reads the whole file into the work buffer (owned by the object) and
    // closes the descriptor. The buffer is followed by kWholeFilePadding zero
    // bytes so text parsers stop at its end; bufferSize is the file size.
    uint8_t* OpenReadWhole();
    static constexpr int kWholeFilePadding = 4;

    // The system error code of the last failed operation (Win32 error in the
    // Windows build, errno natively); 0 after a success.
    int32_t LastError() const { return lastError_; }

    BinFile** listHead;            // the owner's list head, or null
    BinFile* next = nullptr;
    BinFile* prev = nullptr;
    char16_t path[kMaxPath] = {};  // zero-terminated
    int descriptor = -1;           // -1 when closed (0 is a valid descriptor)
    uint8_t* buffer = nullptr;     // work buffer, owned
    int32_t bufferSize = 0;        // in bytes
    uint64_t fileSize = 0;         // in bytes
    uint64_t lastWriteTime = 0;    // seconds since 1970, as the directory reports it
    int32_t codePage = 0;          // of the file's text: 0 none, 51932 EUC-JP, 65001 UTF-8

private:
    void FreeBuffer();
    int32_t lastError_ = 0;
};
