// The Win32 file layer of the Windows build. Files are opened shared for
// reading only, which gives the engine's sharing rule (one writer or many
// readers); the system's critical-error and open-file boxes are suppressed
// around every open, so a missing floppy or share gives a status, not a box.
#include "storage/storage_io.h"

#include <windows.h>

namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

IoError FromLastError(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return IoError::NoSpace;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return IoError::NotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return IoError::AlreadyExists;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return IoError::Sharing;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return IoError::AccessDenied;
    default: return IoError::Failed;
    }
}

// Suppresses the system's error boxes for the lifetime of the object.
class QuietErrorMode {
public:
    QuietErrorMode() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrorMode() { SetErrorMode(previous_); }

private:
    UINT previous_;
};

class Win32File final : public IStorageFile {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { CloseHandle(handle_); }

    IoError ReadAt(uint64_t offset, std::span<uint8_t> out, size_t& done) override {
        done = 0;
        while (done < out.size()) {
            OVERLAPPED at = {};
            uint64_t pos = offset + done;
            at.Offset = static_cast<DWORD>(pos);
            at.OffsetHigh = static_cast<DWORD>(pos >> 32);
            DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_, out.data() + done, want, &got, &at)) {
                DWORD error = GetLastError();
                if (error == ERROR_HANDLE_EOF) break;
                return FromLastError(error);
            }
            if (got == 0) break;
            done += got;
        }
        return IoError::Ok;
    }

    IoError WriteAt(uint64_t offset, std::span<const uint8_t> bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            OVERLAPPED at = {};
            uint64_t pos = offset + done;
            at.Offset = static_cast<DWORD>(pos);
            at.OffsetHigh = static_cast<DWORD>(pos >> 32);
            DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD put = 0;
            if (!WriteFile(handle_, bytes.data() + done, want, &put, &at)) return FromLastError(GetLastError());
            if (put == 0) return IoError::NoSpace;
            done += put;
        }
        return IoError::Ok;
    }

    IoError Size(uint64_t& size) override {
        LARGE_INTEGER s;
        if (!GetFileSizeEx(handle_, &s)) return FromLastError(GetLastError());
        size = static_cast<uint64_t>(s.QuadPart);
        return IoError::Ok;
    }

    IoError SetSize(uint64_t size) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(size);
        if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_))
            return FromLastError(GetLastError());
        return IoError::Ok;
    }

    IoError Flush() override {
        if (!FlushFileBuffers(handle_)) return FromLastError(GetLastError());
        return IoError::Ok;
    }

private:
    HANDLE handle_;
};

IoError OpenHandle(std::u16string_view path, DWORD access, DWORD disposition, std::unique_ptr<IStorageFile>& file) {
    file.reset();
    std::u16string p(path);
    QuietErrorMode quiet;
    HANDLE h = CreateFileW(Wide(p), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FromLastError(GetLastError());
    file = std::make_unique<Win32File>(h);
    return IoError::Ok;
}

class Win32StorageIO final : public IStorageIO {
public:
    IoError Open(std::u16string_view path, OpenAccess access, std::unique_ptr<IStorageFile>& file) override {
        DWORD rights = access == OpenAccess::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
        return OpenHandle(path, rights, OPEN_EXISTING, file);
    }

    IoError CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        return OpenHandle(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, file);
    }

    IoError CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        return OpenHandle(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, file);
    }

    IoError Delete(std::u16string_view path) override {
        std::u16string p(path);
        if (!DeleteFileW(Wide(p))) return FromLastError(GetLastError());
        return IoError::Ok;
    }

    bool Exists(std::u16string_view path) override {
        std::u16string p(path);
        QuietErrorMode quiet;
        return GetFileAttributesW(Wide(p)) != INVALID_FILE_ATTRIBUTES;
    }

    IoError FlushFolder(std::u16string_view) override { return IoError::Ok; }

    std::u16string FullPath(std::u16string_view path) override {
        std::u16string p(path);
        wchar_t buffer[MAX_PATH * 4];
        DWORD n = GetFullPathNameW(Wide(p), MAX_PATH * 4, buffer, nullptr);
        if (n == 0 || n >= MAX_PATH * 4) return p;
        return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
    }

    IoError FreeSpace(std::u16string_view path, DriveSpace& space) override {
        // The root of the file's drive (or share), from its full path.
        std::u16string full = FullPath(path);
        wchar_t root[MAX_PATH * 4];
        std::u16string folder = full.substr(0, full.find_last_of(u"\\/") + 1);
        if (!GetVolumePathNameW(Wide(folder), root, MAX_PATH * 4)) return IoError::Failed;
        // The extended query is looked up by name: very old systems lack it.
        using ExtendedQuery = BOOL(WINAPI*)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto extended = kernel ? reinterpret_cast<ExtendedQuery>(
                                     reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExW")))
                               : nullptr;
        if (extended != nullptr) {
            ULARGE_INTEGER toCaller, total, free;
            if (!extended(root, &toCaller, &total, &free)) return IoError::Failed;
            space.available = toCaller.QuadPart;
            space.total = total.QuadPart;
            space.free = free.QuadPart;
            return IoError::Ok;
        }
        DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
        if (!GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return IoError::Failed;
        uint64_t cluster = uint64_t{sectorsPerCluster} * bytesPerSector;
        space.available = space.free = freeClusters * cluster;
        space.total = clusters * cluster;
        return IoError::Ok;
    }
};

}  // namespace

IStorageIO& SystemStorageIO() {
    static Win32StorageIO io;
    return io;
}
