// CRC-32 (reflected polynomial 0xEDB88320, initial value 0xFFFFFFFF, final
// value complemented: "123456789" gives 0xCBF43926). The update check uses the
// CRC of the program's own file; the table is built on demand and private to
// its user.
#pragma once

#include <cstdint>
#include <span>

class CCrc32Dynamic {
public:
    static constexpr int32_t kErrorCrc = 23;      // ERROR_CRC: no table
    static constexpr int32_t kBlockSize = 4096;   // bytes read per step

    CCrc32Dynamic() = default;
    CCrc32Dynamic(const CCrc32Dynamic&) = delete;
    CCrc32Dynamic& operator=(const CCrc32Dynamic&) = delete;
    virtual ~CCrc32Dynamic();

    void Init();   // (re)builds the table
    void Free();

    // Runs the register over `bytes` (no initial value, no final complement).
    uint32_t Update(uint32_t crc, std::span<const uint8_t> bytes) const;
    // The CRC of a whole buffer (0 without a table).
    uint32_t Compute(std::span<const uint8_t> bytes) const;

    // 0 with the file's CRC in `crc`; 23 without a table; otherwise the system
    // error of the failed open or read (never the CRC of part of a file).
    int32_t FileCrc32Win32(const char16_t* fileName, uint32_t& crc) const;

private:
    uint32_t* table_ = nullptr;  // 256 entries, null until Init
};
