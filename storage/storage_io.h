// The one small file interface the engine does all its I/O through. Three
// implementations: POSIX (native build, posix_storage_io.cpp), Win32
// (storage/win/), and SimulatedDisk (an in-memory disk with crash models and
// error injection, for tests). Nothing above this layer touches the OS.
//
// Sharing rule every implementation keeps: a file opened for writing is shared
// for reading only, so any number of readers may hold a file, or one writer,
// never both; an open that breaks the rule fails with IoError::Sharing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

enum class IoError : int32_t {
    Ok = 0,
    Failed,         // EIO and anything else the platform reports
    NoSpace,        // ENOSPC / ERROR_DISK_FULL
    NotFound,
    AlreadyExists,
    Sharing,        // held by another opener in a conflicting way
    AccessDenied,
};

// An open file. Offsets are absolute; there is no file pointer.
class IStorageFile {
public:
    virtual ~IStorageFile() = default;
    // Reads up to out.size() bytes; `done` is less only at the end of the file.
    virtual IoError ReadAt(uint64_t offset, std::span<uint8_t> out, size_t& done) = 0;
    // Writes all bytes or fails (a failed write may have written a prefix).
    virtual IoError WriteAt(uint64_t offset, std::span<const uint8_t> bytes) = 0;
    virtual IoError Size(uint64_t& size) = 0;
    // Extends with zeros or cuts the file.
    virtual IoError SetSize(uint64_t size) = 0;
    // Makes every earlier write of this file durable.
    virtual IoError Flush() = 0;
};

enum class OpenAccess { Read, ReadWrite };

// Space on the drive that holds a path, in bytes.
struct DriveSpace {
    uint64_t available = 0;  // to this user (quotas count)
    uint64_t total = 0;
    uint64_t free = 0;       // to anyone
};

class IStorageIO {
public:
    virtual ~IStorageIO() = default;
    // Opens an existing file (NotFound when there is none).
    virtual IoError Open(std::u16string_view path, OpenAccess access,
                         std::unique_ptr<IStorageFile>& file) = 0;
    // Creates a new, empty file for writing; AlreadyExists when the name is
    // taken (the check and the creation are one step).
    virtual IoError CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) = 0;
    // Creates or empties a file for writing (the journal).
    virtual IoError CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) = 0;
    virtual IoError Delete(std::u16string_view path) = 0;
    virtual bool Exists(std::u16string_view path) = 0;
    // Makes the creation and deletion of files in the folder holding `path`
    // durable (POSIX needs the folder itself synced; Windows has nothing to do).
    virtual IoError FlushFolder(std::u16string_view path) = 0;
    // The absolute form of a path (the path itself when it cannot be made).
    virtual std::u16string FullPath(std::u16string_view path) = 0;
    // The space of the drive that holds `path`.
    virtual IoError FreeSpace(std::u16string_view path, DriveSpace& space) = 0;
};

// The platform's real file system: POSIX natively, Win32 in the Windows
// build (defined in storage/win/, so Windows programs link ostrel_storage_win).
IStorageIO& SystemStorageIO();
